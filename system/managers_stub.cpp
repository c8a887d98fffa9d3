// Managers that are started and closed with the library but do nothing yet:
// each answers as a machine without that device would.
#include <cstring>

#include "platform/window.h"
#include "system/lsvar.h"
#include "system/managers.h"

int32_t LS_BmapLockCount = 0;

void LSYS_InitKbd() {}
void LSI_InitSpecial() {}
void LSI_CloseSpecial() {}
void LSYS_InitMouse() {}
void LSYS_ReleaseMouseClip() {}
void LSI_InitJoy() {}
void LSI_InitGraphic() {}
void LSI_CloseGraphic() {}
int32_t LSI_InitSound() { return 0; }
void LSI_CloseSound() {}
void LS_Beep() { plat::Beep(); }
void LS_InitSystemFont() {}
int32_t LSI_InitCD() { return 0; }
int32_t LSI_CloseCD() { return 1; }

int32_t LS_GetVideoModeCaps(VIDEOCAPS* caps) {
  if (!caps) return 0;
  std::memset(caps, 0, sizeof *caps);
  caps->Hardware = 1;
  return 1;
}

void SetSoundFormat(const SOUNDFORMAT*) {}
void LS_ClearBmap(BMAP*) {}
