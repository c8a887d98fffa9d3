// The engine sound model, once a race frame: the car heard from inside or
// behind (the driven car, else the replay car) gets the full model, with
// the engine in two layers crossfaded by the revs, rolling and skid
// sounds chosen by the surface and the scraping of the body; every other
// car is heard through its own engine channel. Only wanted values are
// written; the commit at the end of the frame applies them.
#include <cmath>

#include "shell/hooks.h"
#include "shell/sbsound.h"
#include "shell/sbvar.h"
#include "vehicles/carsounds.h"
#include "vehicles/drive.h"
#include "vehicles/vehicles.h"

namespace {

constexpr int32_t kSilent = -10000;
constexpr int32_t kPlainHertz = 11025;
constexpr double kDecibelScale = 750.0;
constexpr double kRampRise = 0.7, kRampFall = 0.35, kRampFloor = -350.0;  // per ms
constexpr double kLowRevs = 2000.0, kHighRevs = 6000.0, kCrossfade = 0.00025;
constexpr int32_t kInCarCamera = 2;

void Set(int32_t channel, int32_t hertz, int32_t volume) {
  TSBSOUND* sound = SB_CarSound(channel);
  SB_SetSoundFrequence(sound, hertz);
  SB_SetSoundVolume(sound, volume);
}

// The one channel of a group that sounds, the others silent; none when
// chosen is -1.
void Choose(int32_t first, int32_t last, int32_t chosen, int32_t hertz, int32_t volume) {
  for (int32_t c = first; c <= last; ++c) Set(c, hertz, c == chosen ? volume : kSilent);
}

void StepThrottleRamp(TCAR* car) {
  if (car->AccelOn)
    car->ThrottleRamp = std::fmin(car->ThrottleRamp + SB_Var.FrameTime * kRampRise, 0.0);
  else
    car->ThrottleRamp = std::fmax(car->ThrottleRamp - SB_Var.FrameTime * kRampFall, kRampFloor);
}

// The high- and low-rev layers' volumes at the engine's revs.
void EngineLayers(double rpm, double* high, double* low) {
  if (!(rpm > kLowRevs)) {  // NaN too
    *high = kSilent, *low = 0.0;
  } else if (rpm >= kHighRevs) {
    *high = 0.0, *low = kSilent;
  } else {
    const double x = (rpm - kLowRevs) * kCrossfade;
    *high = kDecibelScale * std::log(x), *low = kDecibelScale * std::log(1.0 - x);
  }
}

struct Heard {
  double frequency, volume;
};

Heard Through(int32_t index, double frequency, double volume) {
  SB_ApplySoundListener(index, &frequency, &volume);
  return {frequency, volume};
}

int32_t Hz(const Heard& h) { return SB_SoundFrequencyWord(h.frequency); }
int32_t Vol(const Heard& h) { return SB_SoundVolumeWord(h.volume); }

void FullModel(int32_t index, TCAR* car) {
  SB_CarSoundListener(index);
  StepThrottleRamp(car);
  const double g = car->Speed <= 0.5 ? car->Speed : car->Speed / 122.0 + 0.5;
  double high = 0.0, low = 0.0;
  EngineLayers(car->EngineSpeed * SB_RPM, &high, &low);
  high += car->ThrottleRamp;
  if (!car->EngineStarted) high = low = kSilent;
  const Heard h = Through(index, car->EngineFrequency, high), l = Through(index, car->EngineFrequency, low);
  const Heard skid = Through(index, car->SkidFrequency, car->SkidVolume);
  const Heard scrape = Through(index, car->ScrapeFrequency, car->ScrapeVolume);
  const Heard rolling = Through(index, 1.0, kDecibelScale * std::log(g + 0.001));
  const bool inCar = SB_Var.CameraMode == kInCarCamera;
  const int32_t* flags = car->SurfaceFlags;  // flags 1 to 5 at 0 to 4
  int32_t roll = -1, derap = SB_SND_DERAP;
  if (flags[4]) roll = SB_SND_ROULE5;
  else if (flags[0]) roll = SB_SND_ROULE4;
  else if (flags[1]) roll = inCar ? SB_SND_ROULE3 : SB_SND_ROULE2;
  if (flags[0]) derap = SB_SND_DERAP5;
  else if (flags[1]) derap = inCar ? SB_SND_DERAP4 : SB_SND_DERAP3;
  Choose(SB_SND_ROULE2, SB_SND_ROULE5, roll, kPlainHertz, Vol(rolling));
  Set(SB_SND_FROTTE, Hz(scrape), Vol(scrape));
  Choose(SB_SND_DERAP, SB_SND_DERAP5, derap, Hz(skid), Vol(skid));
  const int32_t layers = inCar ? SB_SND_MOTOR3 : SB_SND_MOTOR;
  const int32_t quiet = inCar ? SB_SND_MOTOR : SB_SND_MOTOR3;
  Set(layers, Hz(h), Vol(h));
  Set(layers + 1, Hz(l), Vol(l));
  Set(quiet, kPlainHertz, kSilent);
  Set(quiet + 1, kPlainHertz, kSilent);
  SB_SetSoundVolume(SB_Var.CarSounds.Engines[index], kSilent);
}

void SimpleModel(int32_t index, TCAR* car) {
  SB_CarSoundListener(index);
  StepThrottleRamp(car);
  const Heard e = Through(index, car->EngineFrequency, car->EngineStarted ? car->ThrottleRamp : kSilent);
  TSBSOUND* engine = SB_Var.CarSounds.Engines[index];
  const bool simulated = SB_Hooks.IsCarSimulated && SB_Hooks.IsCarSimulated(index);
  SB_SetSoundFrequence(engine, Hz(e));
  SB_SetSoundVolume(engine, simulated ? Vol(e) : kSilent);
}

// The car heard in full: the driven car, else the replay car; -1 none.
int32_t HeardCar() {
  for (int32_t index : {SB_Var.DrivenCar, SB_Var.ReplayCar})
    if (SB_IsValidCarIndex(index) && SB_Var.Cars[index]) return index;
  return -1;
}

}  // namespace

void SB_UpdateCarSounds() {
  if (!SB_Var.UsingCars || !SB_Var.UsingSound) return;
  const int32_t heard = HeardCar();
  if (heard >= 0) FullModel(heard, SB_Var.Cars[heard]);
  for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i)
    if (i != heard && SB_Var.Cars[i]) SimpleModel(i, SB_Var.Cars[i]);
}
