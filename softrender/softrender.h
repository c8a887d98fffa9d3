// The software renderer as the race reaches it: the map and frame routines
// of its renderer slots, and the time-stamp stopwatch.
#pragma once
#include <cstdint>

struct TCAMERA;
struct TSOFTSCENE;
struct _WINDOW;

void E3D_SoftRenderMap(TSOFTSCENE* view, TCAMERA* camera, _WINDOW* window);
void E3D_SoftDrawScene(_WINDOW* window, TSOFTSCENE* view);

// Notes the time-stamp counter; E3D_ElapsedTime gives the ticks since.
void E3D_StartTimer();
uint64_t E3D_ElapsedTime();
