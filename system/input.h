// Keyboard, special keys, mouse and joystick managers.
#pragma once

void LSYS_InitKbd();  // empties the keyboard buffer
void LSI_InitSpecial();
void LSI_CloseSpecial();
void LSYS_InitMouse();
void LSYS_ReleaseMouseClip();
void LSI_InitJoy();
