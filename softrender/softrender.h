// The software renderer as the race and the video modes reach it: the map
// and frame routines of its renderer slots, the polygon fillers the back
// end installs, the fillers' row offsets and projection constants, the map
// renderer's state, and the time-stamp stopwatch.
#pragma once
#include <cstdint>

struct TCAMERA;
struct TSOFTSCENE;
struct TSOFTVERTEX;
struct TSOFTORIGIN;
struct _WINDOW;

void E3D_SoftRenderMap(TSOFTSCENE* view, TCAMERA* camera, _WINDOW* window);
void E3D_SoftDrawScene(_WINDOW* window, TSOFTSCENE* view);
// Fills the band of the 3D view above the panorama's top edge
// (SB_Var.BackgroundFillLimit, which the panorama sets) with the
// panorama's fill colour.
void SB_FillAbovePanorama();

// The fillers of the back-end table (8-bit, then 16-bit families): the
// triangle fillers take (size index, window, texture base, three corners,
// transparent), the polygon fillers (size index, corners, count, texture
// base, the window's first pixel, origin block, gradient matrix).
void E3D_AffineTri8(int32_t sizeIndex, _WINDOW* window, uint8_t* texture, TSOFTVERTEX* a, TSOFTVERTEX* b,
                    TSOFTVERTEX* c, int32_t transparent);
void E3D_PerspPolyOpaque8(int32_t sizeIndex, TSOFTVERTEX* vertices, int32_t count, uint8_t* texture,
                          uint8_t* firstPixel, TSOFTORIGIN* origin, float* matrix);
void E3D_PerspPolyTransp8(int32_t sizeIndex, TSOFTVERTEX* vertices, int32_t count, uint8_t* texture,
                          uint8_t* firstPixel, TSOFTORIGIN* origin, float* matrix);
void E3D_PerspTri8(int32_t sizeIndex, _WINDOW* window, uint8_t* texture, TSOFTVERTEX* a, TSOFTVERTEX* b,
                   TSOFTVERTEX* c, int32_t transparent);
void E3D_AffineTri16(int32_t sizeIndex, _WINDOW* window, uint8_t* texture, TSOFTVERTEX* a, TSOFTVERTEX* b,
                     TSOFTVERTEX* c, int32_t transparent);
void E3D_PerspPolyOpaque16(int32_t sizeIndex, TSOFTVERTEX* vertices, int32_t count, uint8_t* texture,
                           uint8_t* firstPixel, TSOFTORIGIN* origin, float* matrix);
void E3D_PerspPolyTransp16(int32_t sizeIndex, TSOFTVERTEX* vertices, int32_t count, uint8_t* texture,
                           uint8_t* firstPixel, TSOFTORIGIN* origin, float* matrix);

// Whether the 1/z triangle filler takes a doubled area as no area.
bool E3D_PerspTriTooThin(float doubledArea);

// The table of the row start offsets of a view of that many bytes per
// line, one per row of the largest view.
extern int32_t E3D_RowOffsets[600];
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

// Notes the time-stamp counter and gives it; E3D_ElapsedTime gives the
// ticks since (modulo 2^64).
uint64_t E3D_StartTimer();
uint64_t E3D_ElapsedTime();
