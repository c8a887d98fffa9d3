// The race loop: per iteration the events, the debug-mode switch of the
// function keys, the frame of the current mode and the race keys.
#pragma once
#include <cstdint>

// Debug modes (SB_Var.DebugMode).
constexpr int32_t SB_DEBUG_GAME = 0;
constexpr int32_t SB_DEBUG_TRACKEDITOR = 1;
constexpr int32_t SB_DEBUG_VPARAMS = 2;
constexpr int32_t SB_DEBUG_TXTANIM = 3;
constexpr int32_t SB_DEBUG_DECOREDITOR = 4;
constexpr int32_t SB_DEBUG_SCENEEDITOR = 5;

// Iterates until SB_Var.LeaveRace, or 3000 ms after the session was lost.
void SB_RaceLoop();
// F1-F5: into a debug mode (with SB_Var.EditorMode), or back to the game.
void SB_SwitchDebugMode();
// One frame of the current debug mode.
void SB_DoFrame();
// Esc (pause, or leave a debug mode), F1 (leave) and F2 (end or restart)
// at the end menu or in pause; the kiosk keys in kiosk mode.
void SB_CheckRaceKeys();
// F3 and F4 toggle the car inset and the dashboard.
void SB_CheckDisplayKeys();
// Silences the car sounds at once and leaves the loop.
void SB_QuitRace();
void SB_ShowHudParts();
// V (with SB_Var.EditorMode): the next video mode of the same texture
// format; fatal error 0 "Not enough video ram" when it cannot be set.
void SB_CheckVideoReload();
// The bitmaps in the screen's format after a video-mode change: fonts,
// second dial, LED panels, scratch overlay.
void SB_RemapRaceBitmaps();
