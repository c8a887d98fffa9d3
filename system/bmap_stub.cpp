// Bitmaps arrive with their own module; nothing to clear yet.
#include "system/bmap.h"

void LS_ClearBmap(BMAP*) {}
