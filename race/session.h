// The race session: a whole race from its settings to the console again,
// its start and reset, and the programme's pictures around the console.
#pragma once
#include <cstdint>

// The please-wait picture "miscpict>pleasewa.tga" centred on the cleared
// screen; nothing without it.
void SB_ShowPleaseWait();
// The logo picture and film (console word INTRO); skipped in debug mode or
// without "miscpict>tamrisk.tga".
void SB_PlayLogoIntro();
// Runs the console once, then marks the run phase done; the console's
// result.
int32_t SB_RunConsole();

// A whole race: settings, cars, map and 3D palette, then the session; 1
// raced, 0 failed (and nothing is left loaded).
int32_t SB_PlayRace();
// Loads the map, or builds it from its scene with SB_Var.BuildMap; 0 when
// its file is missing or does not load.
int32_t SB_LoadMapFiles();
// Set-up in its logged order, the race loop, tear-down in reverse order.
void SB_RaceSession();
// The network gate before the loop: 1 go, 0 fail.
int32_t SB_CheckNetworkStart();
// Cars, car sounds, physics clocks, brake lights and vehicle parameters to
// their start.
void SB_StartRace();
// Race timer, day/night state, decor animation, replay clocks, scores, gap
// tables, camera and race flags back to their start.
void SB_RaceTeardown();
