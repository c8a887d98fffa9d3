// The car-sound channels' wanted state applied at the end of a race frame,
// and silence applied at once (the pause).
#include "shell/sbsound.h"
#include "shell/sbvar.h"
#include "vehicles/vehicles.h"

void SB_CommitCarSounds() {
  const TCARSOUNDS& s = SB_Var.CarSounds;
  for (int32_t i = 0; i < s.NbRegistered; ++i)
    if (*s.Registry[i]) SB_UpdateSound(*s.Registry[i]);
}

void SB_MuteCarSoundsNow() {
  const TCARSOUNDS& s = SB_Var.CarSounds;
  for (int32_t i = 0; i < s.NbRegistered; ++i) SB_ApplySoundVolume(*s.Registry[i], -10000);
}
