// The game's event pump with the Alt+Enter full-screen switch, and its
// keys.
#pragma once
#include <cstdint>

// Pumps the window messages; Alt+Enter switches between full screen and a
// window once per press.
void SB_UpdateEvent();
void SB_PumpEvents();
// 1 while the key (a virtual-key code) is held, else 0; a press released
// since the key was last read counts once.
int32_t SB_KeyDown(int32_t key);
// 1 while the key is held now: the modifier of a chord.
int32_t SB_KeyHeld(int32_t key);
// Empties the keyboard buffer.
void SB_FlushKeyboard();
// The next typed character, pumping events until there is one; 0 at once
// when no key can come (headless, with nothing injected).
int32_t SB_WaitKey();

// What a loop that only waits for keys does between its steps (the idle
// console, a pause, the end menu, a key wait): unless a typed key is
// already waiting, it gives the processor away for up to ms milliseconds,
// cut short when input arrives.
constexpr uint32_t SB_IDLEMS = 50;
void SB_IdleWait(uint32_t ms = SB_IDLEMS);
