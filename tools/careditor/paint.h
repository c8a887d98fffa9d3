// The car paint editor's parts: its pictures and strips, and the steps of
// one pass.
#pragma once
#include <cstdint>

struct BMAP;
struct BMAPANIM;

// The pictures in load order.
enum TCARPAINTPICT : int32_t {
  CP_CARA, CP_CARB, CP_MOUSE, CP_LEFTA, CP_LEFTB, CP_RIGHTA, CP_RIGHTB, CP_QUITA, CP_QUITB,
  CP_VBARA, CP_BARA, CP_BARB, CP_ERRORA, CP_ERRORB, CP_NBPICTS
};

// Clears the bitmap and puts the caller's picture on it (the background's
// restore procedure); 1.
int32_t SB_CarPaintRedraw(BMAP* bmap);
// The 14 pictures, then the six strips of the slider track's height; 0
// (everything made freed again) without a track of at least 2 rows or
// without a strip.
int32_t SB_LoadCarPaintArt();
void SB_FreeCarPaintArt();
// The six strips for the slider track's height (0, nothing kept, without a
// track of 2 rows or a strip), and their release.
int32_t SB_AllocCarPaintWork();
void SB_FreeCarPaintWork();
BMAPANIM* SB_CarPaintPicture(int32_t which);
// The slider track's height h, 0 without the work.
int32_t SB_CarPaintTrackHeight();
// The knob's y for the slider 0 hue, 1 saturation, 2 value.
int32_t SB_CarPaintKnobY(int32_t slider);
void SB_EditCarPaint();
void SB_CarPaintKeys();
void SB_DrawCarPaintTitle();
void SB_DrawCarPaintControls();
void SB_DrawCarPaintPointer();
// The strips of the slider 0..2: as shown, and in HSV before conversion
// (null without the work).
BMAP* SB_CarPaintStrip(int32_t slider);
BMAP* SB_CarPaintHsvStrip(int32_t slider);
// Row r of h of the three strips (hue, saturation, value rows; bytes hue,
// saturation, value) for the deltas H, S and V.
void SB_CarPaintStripRow(int32_t r, int32_t h, double H, double S, double V, uint8_t rows[3][3]);
