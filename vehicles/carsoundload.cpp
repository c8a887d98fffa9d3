// The race's car-sound channels: loaded at race start in their order, then
// one engine channel per car, each loaded one entered in the registry that
// the silence, mute, commit and free passes walk; freed at the race's end.
// A file that does not load leaves its channel null.
#include "shell/sbsound.h"
#include "shell/sbvar.h"
#include "vehicles/carsounds.h"
#include "vehicles/types.h"

namespace {

constexpr int32_t kCountdownChannels = 4;  // "3", "2", "1" and "go"

void Enter(TSBSOUND** slot, const char* file) {
  TCARSOUNDS& s = SB_Var.CarSounds;
  *slot = SB_LoadSound(file);
  if (*slot) s.Registry[s.NbRegistered++] = slot;
}

}  // namespace

void SB_LoadCarSounds() {
  SB_FreeCarSounds();
  if (!SB_Var.UsingSound) return;
  TCARSOUNDS& s = SB_Var.CarSounds;
  for (int32_t i = 0; i < SB_NBCARSOUNDS; ++i) Enter(&s.Channels[i], SB_CarSoundFile(i));
  const int32_t cars = SB_Var.NbCars < SB_MAXCARS ? SB_Var.NbCars : SB_MAXCARS;
  for (int32_t i = 0; i < cars; ++i) Enter(&s.Engines[i], SB_CarSoundFile(SB_SND_MOTOR));
  for (int32_t i = 0; i < kCountdownChannels; ++i) SB_Var.CountdownSounds[i] = s.Channels[SB_SND_COUNT3 + i];
}

void SB_FreeCarSounds() {
  TCARSOUNDS& s = SB_Var.CarSounds;
  for (int32_t i = 0; i < s.NbRegistered; ++i) {
    SB_StopSound(*s.Registry[i]);
    SB_FreeSound(*s.Registry[i]);
    *s.Registry[i] = nullptr;
    s.Registry[i] = nullptr;
  }
  s.NbRegistered = 0;
  for (TSBSOUND*& countdown : SB_Var.CountdownSounds) countdown = nullptr;
}

void SB_ResetCarSoundState(TCAR* car) {
  if (!car) return;
  car->EngineVolume = -10000;
  car->SkidVolume = -10000;
  SB_ResetSoundListener();
}
