// The system font arrives with the picture loaders.
#include "system/font.h"

void LS_InitSystemFont() {}
