// Input managers before the window system exists: no keys, mouse or joystick.
#include "system/input.h"

void LSYS_InitKbd() {}
void LSI_InitSpecial() {}
void LSI_CloseSpecial() {}
void LSYS_InitMouse() {}
void LSYS_ReleaseMouseClip() {}
void LSI_InitJoy() {}
int32_t LS_GetKey() { return 0; }
int32_t LS_KeyDown(int32_t) { return 0; }
void LS_ClearKeyboard() {}
void LS_FlushKeyboard() {}
