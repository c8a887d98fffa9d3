// The physics meters: a bar per wheel for its slip, green while it grips
// and orange, shortening, once it slides or leaves the ground, drawn into
// the meter picture, which is then laid over the bottom right corner of
// the race's view (DRAWINFO).
#include <algorithm>
#include <cmath>

#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "vehicles/vehicles.h"

namespace {

struct Box {
  int32_t x1, y1, x2, y2;
};
// By wheel: front right, front left (the upper row), rear right, rear left.
constexpr Box kBoxes[SB_NBWHEELS] = {{86, 2, 106, 29}, {2, 2, 22, 29}, {86, 82, 106, 109}, {2, 82, 22, 109}};
constexpr int32_t kNeededWidth = 107, kNeededHeight = 110;
constexpr int32_t kFromRight = 109, kFromBottom = 112;
constexpr int32_t kFullBar = 20;

// The slip in twentieths, rounded; NaN none, huge values saturated.
int32_t Twentieths(double slip) {
  const double n = std::floor(slip * kFullBar + 0.5);
  if (!(n > 0.0)) return 0;
  return n >= 1e9 ? 1000000000 : static_cast<int32_t>(n);
}

const TCAR* MeteredCar() {
  for (int32_t index : {SB_Var.DrivenCar, SB_Var.ReplayCar})
    if (SB_IsValidCarIndex(index) && SB_Var.Cars[index]) return SB_Var.Cars[index];
  return nullptr;
}

void DrawBars(BMAP* meter, const TCAR& car) {
  const int32_t green = SB_FindNearestColor(SB_Var.Pal3d, 0, 63, 0);
  const int32_t orange = SB_FindNearestColor(SB_Var.Pal3d, 63, 31, 0);
  for (int32_t k = 0; k < SB_NBWHEELS; ++k) {
    const Box& b = kBoxes[k];
    SB_FillRect(meter, b.x1, b.y1, b.x2, b.y2, 0);
    const int32_t n = Twentieths(car.Slips[k]);
    const int32_t length = n < kFullBar ? n : std::max(0, kFullBar - (n - kFullBar) / 4);
    if (length > 0)
      SB_FillRect(meter, b.x1 + 1, b.y1, b.x1 + length, b.y2, static_cast<uint32_t>(n < kFullBar ? green : orange));
  }
}

}  // namespace

void SB_DrawPhysicsMeters() {
  BMAP* meter = SB_Var.MeterBitmap;
  if (!SB_Var.DrawInfo || !meter || meter->SizeX < kNeededWidth || meter->SizeY < kNeededHeight) return;
  const TCAR* car = MeteredCar();
  if (car && SB_Var.Pal3d) DrawBars(meter, *car);
  if (!SB_Var.TextScreen) return;
  const _WINDOW& view = SB_Var.ScreenWindow;
  SB_BitmoveTransparent(meter, SB_Var.TextScreen, 0, 0, meter->SizeX - 1, meter->SizeY - 1,
                        view.W_POSX + view.W_WIDTH - kFromRight, view.W_POSY + view.W_HEIGHT - kFromBottom);
}
