// The race frame: one frame of a race in its fixed order, the pipelined
// user views, the drawing of cars, background and decor objects, automatic
// detail, the screenshot, and the car predicates used all over the race.
#pragma once
#include <cstdint>

struct BMAP;
struct TCAMERA;
struct TSOFTSCENE;
struct _WINDOW;

// A valid car with a record, not out of the race, and not switched off by
// the mode (only the local cars while a CONTROLLEDRACE waits for its start
// or in networked TRAINING).
int32_t SB_IsCarEnabled(int32_t car);
// Enabled with its textures ready.
int32_t SB_IsCarInGame(int32_t car);
// In the game and, while the race runs, not played back from a replay.
int32_t SB_IsCarSimulated(int32_t car);

void SB_RaceFrame();

// The accelerator's fast path: no NORENDER, renderer 3, library debug off,
// no SLOWRENDER. On it the accelerator draws the previous frame's view
// while the next is built.
int32_t SB_IsFastRenderPath();
void SB_StartPvrFrame(_WINDOW* window, TSOFTSCENE* view);
void SB_RenderPvrFrame(_WINDOW* window, TSOFTSCENE* view);
// Unless NORENDER: on the fast path the wait for the accelerator; else the
// view rendered now (started and waited for on the accelerator only).
void SB_FinishFrameRender(_WINDOW* window, TSOFTSCENE* view);
// Draw and far distances from the last frame's duration.
void SB_AutoDetail();

void SB_DrawWorldObjects(TCAMERA* camera, TSOFTSCENE* view);
void SB_DrawCarEffects(TCAMERA* camera, TSOFTSCENE* view);
// Shadows and headlight beams of the cars within the draw distance,
// nearest first (accelerator only).
void SB_DrawNearCarsPvr(TCAMERA* camera, TSOFTSCENE* view);
void SB_DrawCars(TCAMERA* camera, TSOFTSCENE* view);
void SB_DrawBackObcs(TCAMERA* camera, TSOFTSCENE* view);

// With S and Alt held (never in master mode): the bitmap in the 3D palette
// as the next free "screen%ld.tga", 24 bits.
void SB_ScreenShot(BMAP* bmap);
// The race frame's screenshot step: with the keys above, a shot of the
// race overlay is due; SB_TakeRaceScreenShot, once the frame's overlay is
// composed, writes it.
void SB_RaceScreenShot();
void SB_TakeRaceScreenShot();
