// The carousel of the car editors: one car per setup in a row in front of
// a fixed camera, sliding toward its target a step per pass and slowing as
// it closes in, the centred car being the selected setup. The paint editor
// and the chooser differ only in their constants.
#include <cmath>

#include "engine3d/camera.h"
#include "engine3d/matrix.h"
#include "racescene/race3d.h"
#include "racescene/views.h"
#include "shell/sbvar.h"
#include "softrender/softrender.h"
#include "tools/careditor/careditor.h"
#include "vehicles/cars.h"

namespace {

struct TCAROUSEL {
  double Spacing;  // units per car
  double Growth;   // depth added per unit off centre
  bool Chooser;
};

constexpr TCAROUSEL kPaint = {10.0, 0.6, false};
constexpr TCAROUSEL kChooser = {15.0, 1.1, true};
constexpr double kCentreDepth = 7.5;
constexpr double kSettleSpacing = 10.0;  // both editors settle on the paint spacing
constexpr double kTilt = 0.4;            // rad about the lateral axis
constexpr double kWheelTurn = 0.5;       // rad, the front wheels shown turned

int32_t SetupCount(const TCAROUSEL& c) { return c.Chooser ? SB_Var.NbSelectableSetups : SB_Var.NbVehicleSetups; }

// The selection of the position before the move: the integer position
// truncated toward zero.
int32_t Step(const TCAROUSEL& c) {
  const int32_t n = SetupCount(c);
  SB_Var.SetupScroll = static_cast<int32_t>(std::trunc(SB_Var.SetupScrollPos / c.Spacing));
  const int32_t selected = n > 0 ? SB_CarouselMod(-SB_Var.SetupScroll, n) : 0;
  if (c.Chooser) SB_Var.SelectedSetup = selected;
  const double target = SB_Var.SetupScrollTarget * c.Spacing;
  const double d = target - SB_Var.SetupScrollPos;
  const double v = SB_Var.FrameTime * 0.016 * (std::fabs(d) / c.Spacing + 1.0);
  double& pos = SB_Var.SetupScrollPos;
  if (pos > target) {
    pos -= v;
    if (pos < target) pos = target;
  }
  if (pos < target) {
    pos += v;
    if (pos > target) pos = target;
  }
  return selected;
}

void Preview(const TCAROUSEL& c) {
  TCAMERA* camera = &SB_Var.CarEditorCamera;
  SB_PlaceCamera(camera, 0, 0, 0, 0, 0, 0);
  SB_UpdateCamera(camera, 1.0, 1.0);
  int32_t focal = SB_Var.Focal;
  if (c.Chooser) {
    SB_Var.ScreenWindow.W_POSX = 60;
    SB_Var.ScreenWindow.W_WIDTH = 530;
    SB_Var.CenterX = 263;
    SB_Var.CenterY = 195;
    focal = SB_Var.Focal / 2;
  } else {
    SB_Var.CenterY = 80;
  }
  SB_Var.CenterXF = static_cast<float>(SB_Var.CenterX);
  SB_Var.CenterYF = static_cast<float>(SB_Var.CenterY);
  if (SB_Var.CurrentView)
    SB_SetView(SB_Var.CurrentView, camera, &SB_Var.ScreenWindow, focal, SB_Var.DetailDistance, 0);
  SB_Var.CarEditorSpin += SB_Var.FrameTime * 0.001;
  const int32_t n = SetupCount(c);
  const int32_t s = SB_Var.SetupScroll;
  const double p = SB_Var.SetupScrollPos;
  int32_t first = -s - 1, last = 1 - s;
  if (p > s * c.Spacing) --first;
  if (s * c.Spacing > p) ++last;
  for (int32_t k = first; n > 0 && k <= last; ++k) {
    const double x = k * c.Spacing + p;
    SB_PlaceEditorCar(SB_CarouselMod(k, n), 0.0, SB_Var.CarEditorSpin, 0.0, x, 0.0,
                      kCentreDepth + c.Growth * std::fabs(x));
  }
  if (SB_Var.PreviousView) E3D_SoftDrawScene(&SB_Var.ScreenWindow, SB_Var.PreviousView);
  SB_SwapViewBuffers();
}

}  // namespace

int32_t SB_CarouselMod(int32_t k, int32_t n) { return k >= 0 ? k % n : n - 1 - ((-1 - k) % n); }

void SB_TurnCarPaintCarousel() {
  const int32_t before = SB_Var.SelectedSetup;
  SB_Var.SelectedSetup = Step(kPaint);
  if (SB_Var.SelectedSetup != before) SB_BuildCarPaintStrips();
}

void SB_TurnCarCarousel() { Step(kChooser); }

void SB_DrawCarPaintPreview() { Preview(kPaint); }

void SB_DrawCarCarousel() { Preview(kChooser); }

void SB_PlaceEditorCar(int32_t index, double a1, double a2, double a3, double x, double y, double z) {
  if (index < 0 || index >= SB_Var.NbCars || index >= SB_MAXCARS) return;
  TCAR* car = SB_Var.Cars[index];
  if (!car) return;
  car->Position[0] = x;
  car->Position[1] = y;
  car->Position[2] = z;
  car->Steering = kWheelTurn;
  TMATRIX tilt, turn;
  E3D_MatFromAngles(tilt, kTilt, 0, 0);
  E3D_MatFromAngles(turn, a1, a2, a3);
  E3D_MatMul(tilt, turn, car->Orientation);
  SB_PlaceCarObject(car);
  if (car->Object && SB_Var.CurrentView)
    SB_DrawObject(SB_Var.CurrentView, &SB_Var.ScreenWindow, car->Object, &SB_Var.CarEditorCamera, nullptr, nullptr,
                  0, 0, 0xFFFFFF);
}

void SB_SettleCarousel(int32_t n) {
  if (n > 0) SB_Var.SelectedSetup = SB_CarouselMod(-SB_Var.SetupScrollTarget, n);
  SB_Var.SetupScrollTarget = SB_Var.SetupScroll = -SB_Var.SelectedSetup;
  SB_Var.SetupScrollPos = SB_Var.SetupScrollTarget * kSettleSpacing;
}
