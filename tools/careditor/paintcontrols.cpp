// The car paint editor's controls, once per pass: the mouse reading the
// car editors share, the sliders, arrows, dither and quit buttons with
// press, drag and release, the arrow keys, and the title, controls and
// pointer drawn over the carousel.
#include <cmath>

#include "frontend/bmapanim.h"
#include "frontend/types.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "tools/careditor/careditor.h"
#include "tools/careditor/paint.h"
#include "tools/trackedit/trackedit.h"
#include "vehicles/cars.h"
#include "vehicles/types.h"

namespace {

constexpr int32_t kLeftKey = 37, kRightKey = 39;
constexpr int32_t kTrackY = 400;
constexpr int32_t kKnobX[3] = {535, 570, 605};
constexpr int32_t kStripX[3] = {548, 583, 618};
constexpr double kRange[3] = {255.0, 510.0, 510.0};
constexpr double kLow[3] = {0.0, -255.0, -255.0};
// The arrows and the quit button: normal picture, pressed picture, centre.
struct TPAINTBUTTON {
  int32_t Normal, Pressed, X, Y;
};
constexpr TPAINTBUTTON kButtons[3] = {
    {CP_LEFTA, CP_LEFTB, 220, 180}, {CP_RIGHTA, CP_RIGHTB, 420, 180}, {CP_QUITA, CP_QUITB, 24, 456}};
constexpr int32_t kDitherX = 540, kDitherY = 300;

TVEHICLESETUP* Selected() {
  const int32_t s = SB_Var.SelectedSetup;
  return SB_Var.VehicleSetups && s >= 0 && s < SB_Var.NbVehicleSetups ? &SB_Var.VehicleSetups[s] : nullptr;
}

float* Delta(TVEHICLESETUP* s, int32_t slider) {
  return slider == 0 ? &s->HDelta : slider == 1 ? &s->SDelta : &s->VDelta;
}

// Inside the rectangle (edges included) of every frame of the picture
// centred there; a missing picture's box is empty.
bool Inside(int32_t pict, int32_t x, int32_t y) {
  int32_t x1, y1, x2, y2;
  GetBmapAnimBoxCentred(SB_CarPaintPicture(pict), x, y, &x1, &y1, &x2, &y2);
  return SB_Var.MouseX >= x1 && SB_Var.MouseX <= x2 && SB_Var.MouseY >= y1 && SB_Var.MouseY <= y2;
}

void Repaint() {
  if (!Selected()) return;
  SB_GenerateCarTextures(SB_Var.VehicleSetups, SB_Var.SelectedSetup);
  SB_BuildCarPaintStrips();
}

// Drags the held knobs by the mouse's vertical move (up raises), clamped
// to each slider's range; the release repaints.
void DragKnobs(int32_t buttons) {
  TVEHICLESETUP* s = Selected();
  const int32_t h = SB_CarPaintTrackHeight();
  if (!s || h < 1) return;
  const int32_t dy = SB_Var.MouseY - SB_Var.PrevMouseY;
  bool held = false;
  for (int32_t k = 0; k < 3; ++k) {
    if (!SB_Var.CarPaintKnobs[k]) continue;
    held = true;
    float* d = Delta(s, k);
    const double v = *d - static_cast<double>(dy) / h * kRange[k];
    *d = static_cast<float>(std::fmin(std::fmax(v, kLow[k]), 255.0));
  }
  if (held && buttons == 0) Repaint();
}

double FrameSeconds() { return SB_Var.FrameTime * 0.001; }

}  // namespace

// The track editor's reading: limited to the screen, the pointer put back
// only when it lay beyond it.
void SB_ReadCarPaintMouse() { SB_ReadEditMouse(); }

int32_t SB_CarPaintKnobY(int32_t slider) {
  const TVEHICLESETUP* s = Selected();
  const int32_t h = SB_CarPaintTrackHeight();
  if (!s || slider < 0 || slider > 2) return kTrackY;
  const double d = slider == 0 ? s->HDelta : slider == 1 ? s->SDelta : s->VDelta;
  return static_cast<int32_t>(std::trunc((255.0 - d) / kRange[slider] * h - h / 2 + kTrackY));
}

void SB_EditCarPaint() {
  const int32_t B = SB_Var.Buttons, P = SB_Var.PrevButtons;
  int32_t* knobs = SB_Var.CarPaintKnobs;
  int32_t* hits = SB_Var.CarPaintHits;
  if (B == 0 && P == 0)
    for (int32_t k = 0; k < 3; ++k) knobs[k] = Inside(CP_BARA, kKnobX[k], SB_CarPaintKnobY(k)) ? 1 : 0;
  const bool anyKnob = knobs[0] || knobs[1] || knobs[2];
  if (anyKnob) SB_Var.CarEditorCaptured = 1;
  const bool before = hits[0] || hits[1] || hits[2] || anyKnob;
  for (int32_t i = 0; i < 3; ++i) hits[i] = Inside(kButtons[i].Normal, kButtons[i].X, kButtons[i].Y) ? 1 : 0;
  const bool now = hits[0] || hits[1] || hits[2] || anyKnob;
  if (B || P) DragKnobs(B);
  const bool captured = SB_Var.CarEditorCaptured != 0;
  if (B && !P && !captured) {
    if (hits[0]) SB_Var.SetupScrollTarget -= 1;
    if (hits[1]) SB_Var.SetupScrollTarget += 1;
    TVEHICLESETUP* s = Selected();
    if (s && Inside(CP_ERRORA, kDitherX, kDitherY)) {
      s->Dither ^= 1;
      Repaint();
    }
  }
  if (P && !B && !captured && hits[2]) SB_Var.CarEditorQuit = 1;
  if (before && !now) SB_Var.CarEditorCaptured = 1;
  if (B == 0 || SB_Var.CarEditorCaptured) {
    if (B == 0) SB_Var.CarEditorCaptured = 0;
    hits[0] = hits[1] = hits[2] = 0;
  }
}

void SB_CarPaintKeys() {
  const int32_t left = LS_KeyDown(kLeftKey) ? 1 : 0, right = LS_KeyDown(kRightKey) ? 1 : 0;
  if (left && !SB_Var.ArrowKeysDown[0]) SB_Var.SetupScrollTarget -= 1;
  if (right && !SB_Var.ArrowKeysDown[1]) SB_Var.SetupScrollTarget += 1;
  SB_Var.ArrowKeysDown[0] = left;
  SB_Var.ArrowKeysDown[1] = right;
}

void SB_DrawCarPaintTitle() {
  const int32_t step = SB_Var.FrameTime + 2;
  SB_Var.CarPaintTitleX -= step >= 0 ? step / 4 : -((-step + 3) / 4);
  if (SB_Var.CarPaintTitleX < 0) SB_Var.CarPaintTitleX = 0;
  if (SB_Var.CarPaintTitleX > 0)
    DrawBmapAnimTransparent(SB_CarPaintPicture(CP_CARA), SB_Var.CarEditorFrame, SB_Var.CarPaintTitleX, 0,
                            FrameSeconds());
  else
    DrawBmapAnimTransparent(SB_CarPaintPicture(CP_CARB), SB_Var.CarEditorFrame, 0, 0, FrameSeconds());
}

void SB_DrawCarPaintControls() {
  BMAP* frame = SB_Var.CarEditorFrame;
  const double dt = FrameSeconds();
  const TVEHICLESETUP* s = Selected();
  DrawBmapAnimCentred(SB_CarPaintPicture(s && s->Dither ? CP_ERRORB : CP_ERRORA), frame, kDitherX, kDitherY, dt);
  for (int32_t i = 0; i < 3; ++i) {
    const TPAINTBUTTON& b = kButtons[i];
    DrawBmapAnimCentred(SB_CarPaintPicture(SB_Var.CarPaintHits[i] ? b.Pressed : b.Normal), frame, b.X, b.Y, dt);
  }
  for (int32_t k = 0; k < 3; ++k) DrawBmapAnimCentred(SB_CarPaintPicture(CP_VBARA), frame, kKnobX[k], kTrackY, dt);
  for (int32_t k = 0; k < 3; ++k) {
    BMAP* strip = SB_CarPaintStrip(k);
    if (strip) DrawBmapCentred(strip, frame, kStripX[k], kTrackY);
  }
  for (int32_t k = 0; k < 3; ++k) {
    const bool held = SB_Var.CarPaintKnobs[k] && SB_Var.Buttons;
    DrawBmapAnimCentred(SB_CarPaintPicture(held ? CP_BARB : CP_BARA), frame, kKnobX[k], SB_CarPaintKnobY(k), dt);
  }
}

void SB_DrawCarPaintPointer() {
  DrawBmapAnimTransparent(SB_CarPaintPicture(CP_MOUSE), SB_Var.CarEditorFrame, SB_Var.MouseX, SB_Var.MouseY,
                          FrameSeconds());
}
