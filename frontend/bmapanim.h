// Bitmap animations beyond the busy cursor's: the loader of any base name
// (frames in the default heap, owner-tagged), its release, the transparent
// and centred draws and the centred box.
#pragma once
#include <cstdint>

#include "frontend/types.h"

struct BMAP;

// Frames "base.TGA", "base0.TGA", "base1.TGA", ... at the car editors'
// depth; null without any.
BMAPANIM* LoadBmapAnim(const char* base);
void FreeBmapAnim(BMAPANIM* anim);
void DrawBmapAnimTransparent(BMAPANIM* anim, BMAP* dst, int32_t x, int32_t y, double dt);
void DrawBmapAnimCentred(BMAPANIM* anim, BMAP* dst, int32_t x, int32_t y, double dt);
void DrawBmapCentred(BMAP* bmap, BMAP* dst, int32_t x, int32_t y);
void GetBmapAnimBoxCentred(BMAPANIM* anim, int32_t x, int32_t y, int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2);
// Advances by dt seconds: whole periods step the frame, the rest carries.
void AdvanceBmapAnim(BMAPANIM* anim, double dt);
