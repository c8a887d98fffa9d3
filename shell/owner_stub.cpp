// Nothing is registered with an owner yet, so nothing can leak.
#include "shell/owner.h"

void SB_ReportBmapLeaks() {}
void SB_ReportMemLeaks() {}
