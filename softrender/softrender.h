// The software renderer as the race and the video modes reach it: the map
// and frame routines of its renderer slots, the polygon fillers the back
// end installs, the fillers' row offsets and projection constants, the map
// renderer's state, and the time-stamp stopwatch.
#pragma once
#include <cstdint>

struct TCAMERA;
struct TSOFTSCENE;
struct _WINDOW;

void E3D_SoftRenderMap(TSOFTSCENE* view, TCAMERA* camera, _WINDOW* window);
void E3D_SoftDrawScene(_WINDOW* window, TSOFTSCENE* view);

// The fillers of the back-end table (8-bit, then 16-bit families).
void E3D_AffineTri8();
void E3D_PerspPolyOpaque8();
void E3D_PerspPolyTransp8();
void E3D_PerspTri8();
void E3D_AffineTri16();
void E3D_PerspPolyOpaque16();
void E3D_PerspPolyTransp16();

// The table of the 480 row start offsets of a view of that many bytes per
// line.
void E3D_SetRowOffsets(int32_t bytesPerLine);
// The perspective fillers' projection constants: -focal, -centre x and
// -centre y, stored by the two setters.
extern float E3D_NegFocal, E3D_NegCenterX, E3D_NegCenterY;
void E3D_SetPerspFocal(float negFocal);
void E3D_SetPerspCentre(float negCenterX, float negCenterY);
// Three state bytes of the map renderer that a view-state reset sets to
// 0, 0 and 1.
extern uint8_t E3D_SoftMapState[3];

// Clips the polygon of n twelve-word vertices (clip code in word 8: 2
// left, 4 right, 8 top, 16 bottom) against the window's edges in that
// order, copying it to `out` first unless the two are the same array;
// SB_Var.ClipEdgeProc makes each crossing. `out` needs room for n + 4
// vertices. The new count, 0 when nothing is left.
int32_t E3D_ClipPolyToScreen(const _WINDOW* window, const void* in, void* out, int32_t n);

// Notes the time-stamp counter; E3D_ElapsedTime gives the ticks since.
void E3D_StartTimer();
uint64_t E3D_ElapsedTime();
