// The car-sound listener: each car's distance from the race camera gives
// its attenuation, and the change of that distance since the last frame
// its Doppler factor (sound at 300 m/s). A camera cut leaves the factors
// as they were, so that the jump is not heard.
#include <cmath>

#include "shell/sbvar.h"
#include "vehicles/carsounds.h"
#include "vehicles/vehicles.h"

namespace {

constexpr double kNoDistance = 1e8;
constexpr double kSoundSpeed = 300.0;  // m/s
constexpr double kNearFalloff = 0.0015;  // the driven and replay cars
constexpr double kFarFalloff = 0.0025;   // the others
constexpr double kDecibelScale = 750.0;  // hundredths of a dB per unit of ln

}  // namespace

void SB_ResetSoundListener() {
  TCARSOUNDS& s = SB_Var.CarSounds;
  for (int32_t i = 0; i < SB_MAXCARS; ++i) {
    s.FrequencyFactor[i] = s.VolumeFactor[i] = 1.0;
    s.PrevDistance[i] = kNoDistance;
  }
}

void SB_CarSoundListener(int32_t index) {
  if (SB_Var.FrameTime == 0 || !SB_IsValidCarIndex(index) || !SB_Var.Cars[index]) return;
  const TCAR& car = *SB_Var.Cars[index];
  TCARSOUNDS& s = SB_Var.CarSounds;
  const double dx = car.Position[0] - SB_Var.Camera.PosX, dy = car.Position[1] - SB_Var.Camera.PosY,
               dz = car.Position[2] - SB_Var.Camera.PosZ;
  const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
  double doppler = 1.0;
  if (s.PrevDistance[index] < kNoDistance) {
    const double closing = (s.PrevDistance[index] - d) * 1000.0 / SB_Var.FrameTime;
    const double den = kSoundSpeed - closing;
    if (den > 0.001) doppler = kSoundSpeed / den;
  }
  s.PrevDistance[index] = d;
  const bool near = index == SB_Var.DrivenCar || index == SB_Var.ReplayCar;
  double attenuation = 1.0 / (1.0 + d * d * (near ? kNearFalloff : kFarFalloff));
  if (!(attenuation >= 0.0)) attenuation = 0.0;  // a NaN distance is heard as none
  if (SB_Var.Camera.Cut) return;
  s.FrequencyFactor[index] = doppler;
  s.VolumeFactor[index] = attenuation;
}

void SB_ApplySoundListener(int32_t index, double* frequency, double* volume) {
  if (index < 0 || index >= SB_MAXCARS) return;
  const TCARSOUNDS& s = SB_Var.CarSounds;
  *frequency *= s.FrequencyFactor[index];
  *volume += kDecibelScale * std::log(s.VolumeFactor[index]);
}
