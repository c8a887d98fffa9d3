// The engine sound's pitch: the frequency word the sounds, the replays and
// the network carry, written from the engine's rpm after each frame's
// steps of the driven car. The engine sample is one firing cycle that
// sounds as 1500 rpm when played at 11000 Hz; the rule follows it linearly
// from 5000 Hz at a standstill to 39000 Hz at 8500 rpm, within the sound
// channels' 5000..40000 Hz.
#include <cmath>

#include "vehicles/physics.h"
#include "vehicles/types.h"

namespace {

constexpr double kRpmPerRadS = 9.549296585513721;
constexpr double kBaseHz = 5000.0, kHzPerRpm = 4.0, kMaxHz = 40000.0;

}  // namespace

void SB_SetEngineFrequency(TCAR* car) {
  if (!car) return;
  const double rpm = car->EngineSpeed * kRpmPerRadS;
  double hz = kBaseHz + kHzPerRpm * rpm;
  if (!(hz > kBaseHz)) hz = kBaseHz;  // NaN too
  if (hz > kMaxHz) hz = kMaxHz;
  car->EngineFrequency = static_cast<int32_t>(hz);
}
