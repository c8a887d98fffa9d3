// Sound before an output exists: off, apart from the system beep.
#include "platform/window.h"
#include "system/sound.h"

int32_t LSI_InitSound() { return 0; }
void LSI_CloseSound() {}
void LS_Beep() { plat::Beep(); }
void SetSoundFormat(const SOUNDFORMAT*) {}
