// No CD device yet.
#include "system/cdaudio.h"

int32_t LSI_InitCD() { return 0; }
int32_t LSI_CloseCD() { return 1; }
int32_t LSI_CDNotify(uint32_t) { return 1; }
