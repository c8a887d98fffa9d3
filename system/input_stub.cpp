// Input managers before the window system exists: no keys, mouse or joystick.
#include "system/input.h"

void LSYS_InitKbd() {}
void LSI_InitSpecial() {}
void LSI_CloseSpecial() {}
void LSYS_InitMouse() {}
void LSYS_ReleaseMouseClip() {}
void LSI_InitJoy() {}
