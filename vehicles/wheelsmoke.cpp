// The smoke a sliding car leaves: its largest contact speed fills an
// accumulator of puffs (capped, four times faster with heavy smoke), and
// each whole puff starts a pair at the rear wheels, spread along the path
// the car took since the last frame.
#include <cmath>

#include "engine3d/matrix.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "vehicles/physics.h"
#include "vehicles/vehicles.h"

namespace {

constexpr double kMaxPuffs = 20.0;
constexpr double kHeavySmoke = 4.0;  // any USINGSMOKE but 1
constexpr double kPuffLift = 0.5;    // m above the wheel point
constexpr int32_t kSmokeKind = 1;
constexpr int32_t kRearWheels[] = {2, 3};

void PuffPair(const TCAR& car, const double at[3]) {
  for (int32_t wheel : kRearWheels) {
    TVECTOR point = car.WheelPoints[wheel];
    point.y += car.WheelHeightOffset - kPuffLift;
    E3D_MatMulVec(car.Orientation, &point);
    const double position[3] = {at[0] + point.x, at[1] + point.y, at[2] + point.z};
    const TVECTOR& heading = car.WheelHeadings[wheel];
    const double velocity[3] = {heading.x, heading.y, heading.z};
    if (SB_Hooks.AddSmoke) SB_Hooks.AddSmoke(position, velocity, kSmokeKind);
  }
}

void Smoke(TCAR* car) {
  const double old = car->SmokeAccumulator;
  double gained = car->MaxContactSpeed * SB_Var.FrameTime * 0.001;
  if (SB_Var.UsingSmoke != 1) gained *= kHeavySmoke;
  const double owed = old + gained;
  car->SmokeAccumulator = owed >= 0.0 ? std::fmin(owed, kMaxPuffs) : 0.0;  // NaN none
  if (car->SmokeAccumulator < 1.0) return;
  const double* now = car->Position;
  const TVECTOR& prev = car->PrevPosition;
  // The move of this frame in steps of one puff; the first puff where the
  // accumulator passed 1, so that every puff lies on the path behind the
  // car. Above 0 whenever the last pass left less than one puff owed.
  const double parts = car->SmokeAccumulator - old;
  const double scale = parts > 0.0 ? 1.0 / parts : 0.0;
  const double step[3] = {(now[0] - prev.x) * scale, (now[1] - prev.y) * scale, (now[2] - prev.z) * scale};
  const double first = parts > 0.0 ? 1.0 - old : 0.0;
  double p[3] = {prev.x + step[0] * first, prev.y + step[1] * first, prev.z + step[2] * first};
  while (car->SmokeAccumulator >= 1.0) {
    PuffPair(*car, p);
    for (int32_t i = 0; i < 3; ++i) p[i] += step[i];
    car->SmokeAccumulator -= 1.0;
  }
}

}  // namespace

void SB_EmitWheelSmoke() {
  if (!SB_Var.UsingCars || !SB_Var.UsingSmoke || !SB_Hooks.IsCarSimulated) return;
  for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i) {
    TCAR* car = SB_Var.Cars[i];
    if (!car || !SB_Hooks.IsCarSimulated(i)) continue;
    Smoke(car);
    car->PrevPosition = {car->Position[0], car->Position[1], car->Position[2]};
  }
}
