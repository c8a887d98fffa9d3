// The live ranking of the racing cars by distance, and the driven car's
// catch-up factor: a clear leader is slowed a little, a car in the pack is
// not.
#include "race/raceframe.h"
#include "race/racerules.h"
#include "shell/sbvar.h"
#include "vehicles/vehicles.h"

namespace {

// Out-of-time cars rank behind every running car.
constexpr double kOutOfTimeKey = -10000.0;
// Cars closer than this behind the driven car count as its pack.
constexpr double kPackDistance = 50.0;
// Factor change per second.
constexpr double kSmoothing = 0.01;

double Toward(double value, double target, double step) {
  if (value < target) return value + step > target ? target : value + step;
  if (value > target) return value - step < target ? target : value - step;
  return value;
}

// The driven car's target: the lowest sorted position still within the
// pack distance behind it decides how far ahead of the field it runs.
void SetTarget(const SB_CARKEY* ranked, int32_t count, int32_t k, TCAR* driven) {
  int32_t j = k;
  for (int32_t i = k - 1; i >= 0; --i)
    if (SB_Var.Cars[ranked[i].Car]->Distance > driven->Distance - kPackDistance) j = i;
  const double f = 1.0 - static_cast<double>(j) / (count - 1);
  driven->CatchUpTarget = 1.0 - (1.0 - f * f) * 0.1;
}

}  // namespace

void SB_UpdateRanking() {
  if (SB_Var.GameMode == SB_FREERACE) return;
  const double dt = SB_Var.FrameTime * 0.001;
  SB_CARKEY ranked[NET_MAXPLAYERS];
  int32_t count = 0;
  const int32_t racing = SB_GetNbRacingCars();
  for (int32_t i = 0; i < racing && count < NET_MAXPLAYERS; ++i) {
    const int32_t index = SB_GetIndPlayerCarIndex(i);
    if (!SB_IsCarInGame(index)) continue;
    const TCAR* car = SB_Var.Cars[index];
    double key = car->Distance;
    if (car->OutOfTime && !car->Finished) key += kOutOfTimeKey - car->Place;
    ranked[count++] = {index, key};
  }
  TCAR* driven = SB_DrivenCarRecord();
  if (count < 2) {
    if (driven) driven->CatchUpTarget = driven->CatchUp = driven->CatchUp2 = 1.0;
    return;
  }
  SB_SortCarKeys(ranked, count);
  for (int32_t k = 0; k < count; ++k) {
    SB_Var.Cars[ranked[k].Car]->Place = count - k;
    if (driven && ranked[k].Car == SB_Var.DrivenCar) SetTarget(ranked, count, k, driven);
  }
  if (!driven) return;
  driven->CatchUp = Toward(driven->CatchUp, driven->CatchUpTarget, kSmoothing * dt);
  if (driven->CatchUp == driven->CatchUpTarget)
    driven->CatchUp2 = Toward(driven->CatchUp2, driven->CatchUpTarget, kSmoothing * dt);
}
