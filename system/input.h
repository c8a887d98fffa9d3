// Keyboard, special keys, mouse and joystick managers.
#pragma once
#include <cstdint>

void LSYS_InitKbd();  // empties the keyboard buffer
void LSI_InitSpecial();
void LSI_CloseSpecial();
void LSYS_InitMouse();
void LSYS_ReleaseMouseClip();
void LSI_InitJoy();

// The keyboard: the oldest typed character (0 when none) and the held
// state of a virtual key.
int32_t LS_GetKey();
int32_t LS_KeyDown(int32_t key);
void LS_ClearKeyboard();
void LS_FlushKeyboard();
