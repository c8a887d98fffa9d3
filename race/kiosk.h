// Kiosk demo mode: a kiosk shell starts the game and talks with it through
// the registered window message "ZIDADE"; the game announces the race's
// start, the player's Esc and the play-time limit, and the shell ends,
// restarts or quits the race. Also the information page shown before a
// race.
#pragma once
#include <cstdint>

// Codes the game sends.
constexpr int32_t SB_KIOSK_RACESTART = 5;
constexpr int32_t SB_KIOSK_ESCAPE = 6;
constexpr int32_t SB_KIOSK_TIMEOUT = 7;
// Codes the game receives.
constexpr int32_t SB_KIOSK_ENDRACE = 1;
constexpr int32_t SB_KIOSK_ENDRACE2 = 3;
constexpr int32_t SB_KIOSK_QUIT = 4;

void SB_InstallKioskHook();
void SB_RemoveKioskHook();
// A received code; acts only in kiosk mode, other codes are ignored.
// 1 when acted on.
int32_t SB_KioskMessage(int32_t code);
// Posts a code to all top-level windows.
void SB_PostKioskCode(int32_t code);
// Per race-loop iteration in kiosk mode, in place of the race keys.
void SB_CheckKioskKeys();
void SB_MinimizeWindow();
void SB_RestoreWindow();

// Loads "miscpict>info.tga" into SB_Var.InfoPage when it exists; always 1.
int32_t SB_LoadInfoPage();
// Frees the page if present; always 1.
int32_t SB_FreeInfoPage();
