// The car paint editor's pictures and its colour strips: one strip per
// slider, each row the colour the slider would give at that row's knob
// position, the other two deltas as they stand.
#include <algorithm>
#include <cmath>

#include "frontend/bmapanim.h"
#include "frontend/types.h"
#include "shell/gamedraw.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "tools/careditor/careditor.h"
#include "tools/careditor/paint.h"
#include "vehicles/paint.h"
#include "vehicles/types.h"

namespace {

constexpr const char* kPictNames[CP_NBPICTS] = {
    "interfac>titles>cara",    "interfac>titles>carb",    "interfac>mouse>mouse",   "interfac>boutons>lefta",
    "interfac>boutons>leftb",  "interfac>boutons>righta", "interfac>boutons>rightb", "interfac>boutons>quita",
    "interfac>boutons>quitb",  "interfac>boutons>vbara",  "interfac>boutons>bara",   "interfac>boutons>barb",
    "interfac>boutons>errora", "interfac>boutons>errorb"};
constexpr const char* kStripOwners[6] = {"CarEditor 4", "CarEditor 5", "CarEditor 6",
                                         "CarEditor 7", "CarEditor 8", "CarEditor 9"};
constexpr int32_t kStripWidth = 8;

BMAPANIM* gPicts[CP_NBPICTS];
BMAP* gStrips[6];  // HSV and shown, for hue, saturation and value in turn
int32_t gTrackHeight;

}  // namespace

void SB_FreeCarPaintWork() {
  for (BMAP*& s : gStrips) {
    SB_FreeBmap(s);
    s = nullptr;
  }
  gTrackHeight = 0;
}

int32_t SB_AllocCarPaintWork() {
  const BMAPANIM* track = gPicts[CP_VBARA];
  const int32_t h = track ? track->Frames[0]->SizeY : 0;
  if (h < 2) return 0;
  for (int32_t i = 0; i < 6; ++i) {
    gStrips[i] = SB_CreateBmap(kStripWidth, h, i % 2 ? SB_Var.CarEditorDepth : 24, LS_DefaultHeap, kStripOwners[i]);
    if (!gStrips[i]) {
      SB_FreeCarPaintWork();
      return 0;
    }
  }
  gTrackHeight = h;
  return 1;
}

namespace {

int32_t Clamp255(double x) { return static_cast<int32_t>(std::trunc(std::clamp(x, 0.0, 255.0))); }
// The low 8 bits of x truncated toward zero (a hue out of range wraps).
uint8_t Low8(double x) { return static_cast<uint8_t>(static_cast<int64_t>(std::trunc(x)) & 255); }

}  // namespace

int32_t SB_LoadCarPaintArt() {
  for (int32_t i = 0; i < CP_NBPICTS; ++i) gPicts[i] = LoadBmapAnim(kPictNames[i]);
  if (SB_AllocCarPaintWork()) return 1;
  SB_FreeCarPaintArt();
  return 0;
}

void SB_FreeCarPaintArt() {
  SB_FreeCarPaintWork();
  for (BMAPANIM*& p : gPicts) {
    FreeBmapAnim(p);
    p = nullptr;
  }
}

BMAPANIM* SB_CarPaintPicture(int32_t which) { return which >= 0 && which < CP_NBPICTS ? gPicts[which] : nullptr; }

int32_t SB_CarPaintTrackHeight() { return gTrackHeight; }

// One row of each strip, bytes hue, saturation, value: the row's own
// slider runs the whole range from the top row (largest) to the bottom.
void SB_CarPaintStripRow(int32_t r, int32_t h, double H, double S, double V, uint8_t rows[3][3]) {
  const double f = static_cast<double>(r) / (h - 1);
  const uint8_t hue = Low8(H + 82), sat = Low8(Clamp255(S + 128)), val = Low8(Clamp255(V + 192));
  const uint8_t kRows[3][3] = {{Low8(82 - 255 * f), sat, val},
                               {hue, Low8(Clamp255(383 - 510 * f)), val},
                               {hue, sat, Low8(Clamp255(447 - 510 * f))}};
  std::copy(&kRows[0][0], &kRows[0][0] + 9, &rows[0][0]);
}

void SB_BuildCarPaintStrips() {
  const int32_t h = gTrackHeight;
  const TVEHICLESETUP* setups = SB_Var.VehicleSetups;
  const int32_t sel = SB_Var.SelectedSetup;
  if (h < 2 || !setups || sel < 0 || sel >= SB_Var.NbVehicleSetups) return;
  const TVEHICLESETUP& s = setups[sel];
  for (int32_t k = 0; k < 3; ++k) {
    BMAP* hsv = gStrips[2 * k];
    LS_LockBmap(hsv);
    for (int32_t r = 0; r < h; ++r) {
      uint8_t rows[3][3];
      SB_CarPaintStripRow(r, h, s.HDelta, s.SDelta, s.VDelta, rows);
      uint8_t* p = hsv->Start + static_cast<ptrdiff_t>(r) * hsv->ByteLen;
      for (int32_t x = 0; x < kStripWidth; ++x) std::copy(rows[k], rows[k] + 3, p + 3 * x);
    }
    LS_UnlockBmap(hsv);
    SB_BmapHSVtoRGB(hsv);
    gStrips[2 * k + 1]->Palette = SB_Var.Pal3d;
    SB_BitmoveFloyd(hsv, gStrips[2 * k + 1], 0, 0, kStripWidth - 1, h - 1, 0, 0);
  }
}

BMAP* SB_CarPaintStrip(int32_t slider) { return slider >= 0 && slider < 3 ? gStrips[2 * slider + 1] : nullptr; }
BMAP* SB_CarPaintHsvStrip(int32_t slider) { return slider >= 0 && slider < 3 ? gStrips[2 * slider] : nullptr; }
