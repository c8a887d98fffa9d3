// The race order of a frame: every car's track progress, the racing cars'
// positions, the gaps and ranking, the links to the cars just ahead and
// behind, and the pacing that plays replay opponents slightly later or
// earlier so that they stay in touch with the live cars.
#include <cmath>

#include "net/types.h"
#include "netlink/netlink.h"
#include "race/types.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "vehicles/physics.h"
#include "vehicles/types.h"
#include "vehicles/vehicles.h"

namespace {

// Cars that timed out rank behind every running car.
constexpr double kOutOfTimeKey = -10000.0;
// A replay car nearer than 14.6 m (squared, x and z) to the car ahead
// falls back, up to this rate.
constexpr double kCloseSquared = 213.16;
constexpr double kFallBackMax = 0.25;
constexpr double kFallBackPerMs = 0.001;
// Behind a live car a replay car closes in, down to this rate; far ahead of
// a live car it waits for it, up to the other.
constexpr double kCatchUpMin = -0.025;
constexpr double kWaitMax = 0.05;
constexpr double kPacePerMs = 0.0005;
constexpr double kWaitGap = -200.0;  // progress of the live car behind, relative
constexpr int32_t kLiveLookAhead = 3;

int32_t CarCount() { return SB_Var.NbCars < SB_MAXCARS ? SB_Var.NbCars : SB_MAXCARS; }

TCAR* Record(int32_t index) { return SB_IsValidCarIndex(index) ? SB_Var.Cars[index] : nullptr; }

bool IsSimulated(int32_t index) { return SB_Hooks.IsCarSimulated && SB_Hooks.IsCarSimulated(index); }

bool IsInGame(int32_t index) { return SB_Hooks.IsCarInGame && SB_Hooks.IsCarInGame(index); }

// A valid, simulated car with a record: one the pacing may look at.
TCAR* SimulatedCar(int32_t index) {
  TCAR* car = Record(index);
  return car && IsSimulated(index) ? car : nullptr;
}

bool IsReplayCar(int32_t index) { return SB_Var.CarReplays[index] != nullptr; }

int32_t RacingCount() {
  if (!SB_Hooks.GetNbRacingCars || !SB_Hooks.GetIndPlayerCarIndex) return 0;
  return SB_Hooks.GetNbRacingCars();
}

bool NetworkRacing() { return NET_IsConnected() && SB_Var.XState >= XSTATE_READY2PLAY; }

void CallHook(void (*hook)()) {
  if (hook) hook();
}

// The rate moved down by the frame's share, to no less than the floor; a
// rate already at or below the floor (a contact's push) is left alone.
void PaceDown(TREPLAY* replay) {
  if (replay->DriftRate <= kCatchUpMin) return;
  replay->DriftRate -= SB_Var.FrameTime * kPacePerMs;
  if (replay->DriftRate < kCatchUpMin) replay->DriftRate = kCatchUpMin;
}

void PaceUp(TREPLAY* replay, double perMs, double ceiling) {
  if (replay->DriftRate >= ceiling) return;
  replay->DriftRate += SB_Var.FrameTime * perMs;
  if (replay->DriftRate >= ceiling) replay->DriftRate = ceiling;
}

// Whether one of the up to three cars ahead of car i, along the links, is a
// simulated live car; the chain stops at the first car that is not valid
// and simulated.
bool LiveCarAhead(const TCAR* car) {
  for (int32_t step = 0; step < kLiveLookAhead; ++step) {
    const int32_t ahead = car->CarAhead;
    car = SimulatedCar(ahead);
    if (!car) return false;
    if (!IsReplayCar(ahead)) return true;
  }
  return false;
}

// Whether the car behind is a simulated live car more than 200 progress
// units back (the difference counted in whole units).
bool LiveCarFarBehind(const TCAR* car) {
  const int32_t behind = car->CarBehind;
  const TCAR* other = SimulatedCar(behind);
  if (!other || IsReplayCar(behind)) return false;
  return std::trunc(other->Distance - car->Distance) < kWaitGap;
}

}  // namespace

void SB_SortCarKeys(SB_CARKEY* list, int32_t count) {
  for (int32_t pass = 0; pass + 1 < count; ++pass)
    for (int32_t i = 0; i + 1 < count - pass; ++i)
      if (list[i].Key > list[i + 1].Key) {
        const SB_CARKEY t = list[i];
        list[i] = list[i + 1];
        list[i + 1] = t;
      }
}

int32_t SB_CountActiveCars() {
  int32_t count = 0;
  const int32_t racing = RacingCount();
  for (int32_t i = 0; i < racing; ++i)
    if (IsInGame(SB_Hooks.GetIndPlayerCarIndex(i))) ++count;
  return count;
}

void SB_UpdateRacePositions() {
  const int32_t racing = RacingCount();
  for (int32_t i = 0; i < racing && i < CarCount(); ++i)
    if (SB_Var.Cars[i]) SB_Var.Cars[i]->Place = racing;
  SB_CARKEY list[SB_MAXCARS];
  int32_t count = 0;
  for (int32_t i = 0; i < racing && count < SB_MAXCARS; ++i) {
    const int32_t index = SB_Hooks.GetIndPlayerCarIndex(i);
    const TCAR* car = Record(index);
    if (!car || !IsInGame(index)) continue;
    double key = car->Distance;
    if (car->OutOfTime && !car->Finished) key += kOutOfTimeKey - car->Place;
    list[count++] = {index, key};
  }
  SB_SortCarKeys(list, count);
  for (int32_t k = 0; k < count; ++k) SB_Var.Cars[list[k].Car]->Place = count - k;
}

void SB_UpdateRaceStanding() {
  SB_UpdateCarsTrackProgress();
  SB_UpdateRacePositions();
  const bool network = NetworkRacing();
  if (network || SB_Var.GameMode == SB_OFFLINE) CallHook(SB_Hooks.UpdateGaps);
  if (network) CallHook(SB_Hooks.UpdateRanking);
}

void SB_LinkRaceOrder() {
  // Descending progress is ascending on its negation; equal progress keeps
  // the index order.
  SB_CARKEY order[SB_MAXCARS];
  int32_t count = 0;
  for (int32_t i = 0; i < CarCount(); ++i)
    if (SB_Var.Cars[i]) order[count++] = {i, -SB_Var.Cars[i]->Distance};
  SB_SortCarKeys(order, count);
  for (int32_t k = 0; k < count; ++k) {
    TCAR* car = SB_Var.Cars[order[k].Car];
    car->CarAhead = k > 0 ? order[k - 1].Car : -1;
    car->CarBehind = k + 1 < count ? order[k + 1].Car : -1;
  }
}

void SB_PaceReplayBehindLeader() {
  for (int32_t i = 0; i < CarCount(); ++i) {
    TREPLAY* replay = SB_Var.CarReplays[i];
    const TCAR* car = replay ? SimulatedCar(i) : nullptr;
    if (!car) continue;
    const int32_t j = car->CarAhead;
    const TCAR* ahead = SimulatedCar(j);
    if (!ahead || !(ahead->Distance > car->Distance || (ahead->Distance == car->Distance && j > i))) continue;
    const double dx = ahead->Position[0] - car->Position[0];
    const double dz = ahead->Position[2] - car->Position[2];
    if (dx * dx + dz * dz < kCloseSquared) PaceUp(replay, kFallBackPerMs, kFallBackMax);
  }
}

void SB_PaceReplaysAgainstLive() {
  for (int32_t i = 0; i < CarCount(); ++i) {
    TREPLAY* replay = SB_Var.CarReplays[i];
    const TCAR* car = replay ? SimulatedCar(i) : nullptr;
    if (!car) continue;
    if (LiveCarAhead(car))
      PaceDown(replay);
    else if (LiveCarFarBehind(car))
      PaceUp(replay, kPacePerMs, kWaitMax);
  }
}
