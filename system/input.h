// The library's clock, stopwatch and waits; the keyboard (a buffer of
// typed characters and the held state of every key); the mouse; the
// joysticks.
#pragma once
#include <cstdint>

// The library clock in milliseconds. It stands still while the application
// is inactive: a pause freezes it, the resume takes the paused span out.
uint32_t LS_GetTime();
uint32_t LSYS_GetTime();
void LSYS_PauseTime();
void LSYS_ResumeTime();
// Sleeps ms milliseconds of the tick count (so it ends during a pause too),
// after showing in the window what was drawn and not yet shown.
void LS_Wait(uint32_t ms);
// The stopwatch: restarted by every key press, character, button press and
// activation, so LS_GetChrono gives the time since the last user input.
void LS_StartChrono();
uint32_t LS_GetChrono();

// The filter point of keys, key states and random numbers; it gives its
// input back unchanged.
int32_t LSI_InputFilter(int32_t value);

// Keyboard: LSYS_InitKbd empties the buffer.
void LSYS_InitKbd();
// Stores a typed character (from WM_CHAR); dropped while 16 are waiting.
void LSI_PutKey(uint32_t character);
// Pumps messages, then takes the oldest character; 0 when none.
int32_t LS_GetKey();
// 1 while a character is waiting or input can still arrive; 0 when no key
// will ever come (headless, with nothing injected).
int32_t LSYS_KeyMayCome();
void LS_ClearKeyboard();
void LS_FlushKeyboard();
// 1 while the key (a virtual-key code 0 to 255) is held, else 0; a key
// pressed and released since its last test reads 1 once. Pumps first
// unless the input mode is 1.
int32_t LS_KeyDown(int32_t key);
// 1 while the key is held now, else 0: no press already released counts
// and none is used up. Chords read their modifier so (Shift+D, Alt+S), so
// that a modifier tapped a moment before does not join a later key.
int32_t LS_KeyHeld(int32_t key);
// Forgets the presses of keys and buttons no test has read yet: a text
// field that took the typed keys as characters, or a change of input mode,
// leaves none of them to act later.
void LS_ForgetKeyTaps();
void LSI_InitSpecial();
void LSI_CloseSpecial();

// Mouse: in client coordinates (front-screen pixels); buttons bit 0 left,
// bit 1 right, a button pressed and released since the last reading of the
// buttons read as held once. Everything reads 0 and does nothing while the mouse
// manager is off.
void LSYS_InitMouse();
// Frees the confinement and turns the mouse manager off.
void LSYS_ReleaseMouseClip();
void LS_GetMouse(int32_t* x, int32_t* y, int32_t* buttons);
void LS_SetMousePos(int32_t x, int32_t y);
// Confines the cursor to x1 <= x < x2, y1 <= y < y2.
void LS_SetMouseLimits(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// Joysticks 1 to 5 (ids 0 to 4).
struct JOYPOS {
  uint32_t RawX;
  uint32_t RawY;
  double X;  // -1 to 1
  double Y;
  uint32_t Buttons;  // bit n: button n + 1
};
// Probes the joysticks and keeps their calibration.
void LSI_InitJoy();
// Reads joystick n; 1 when read, 0 when absent, not answering, or refused
// while a bitmap is locked.
int32_t LSYS_GetJoyPos(int32_t n, JOYPOS* position);
