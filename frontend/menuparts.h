// What the interface engine calls of the rest of the front end: the
// interface waves, the bitmap animations, the command texts of the options
// screen, the credits and the repaint of a screen rectangle.
#pragma once
#include <cstdint>

struct BMAP;
struct BMAPANIM;
struct SOUND;

// Interface waves. The reset restores the sound and screen-change tables
// and empties the played list. MenuWave: the loaded wave of a row, or null.
void SB_ResetInterfaceSounds();
SOUND* MenuWave(int32_t row);
void LoadScreenSounds();
void LoadSelectCarWave();
void PlayInterfaceWave(SOUND* wave);
void PlayInterfaceWaveLooped(SOUND* wave);
void StopInterfaceWave(SOUND* wave);
void RegisterPlayedWave(SOUND* wave);
void UnregisterPlayedWave(SOUND* wave);
// One fade step of every played wave; it pumps the events first, and is
// the interface loop's only pump.
void UpdateInterfaceWaves();
void StopTransitionWave();
// Frees every interface wave and empties the played list.
void FreeInterfaceWaves();

// Bitmap animations: the busy cursor.
BMAPANIM* loadbmapanim();
void FreeBmapAnimSys(BMAPANIM* anim);
void DrawBmapAnim(BMAPANIM* anim, BMAP* dst, int32_t x, int32_t y, double dt);
void GetBmapAnimBox(BMAPANIM* anim, int32_t x, int32_t y, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2);
// Seconds since the previous call, at most 0.02.
double GetAnimTimeStep();

// The options screen's command texts redrawn into a bitmap.
void RefreshCommandTexts(BMAP* dst);
// The credits roll.
void SB_ShowCredits();
// Repaints a rectangle of the screen from the interface bitmap.
void ShowScreenRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
