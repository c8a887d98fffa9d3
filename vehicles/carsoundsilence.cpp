// Every car-sound channel asked to fall silent at the next commit.
#include "shell/sbsound.h"
#include "shell/sbvar.h"
#include "vehicles/vehicles.h"

void SB_SilenceCarSounds() {
  const TCARSOUNDS& s = SB_Var.CarSounds;
  for (int32_t i = 0; i < s.NbRegistered; ++i) SB_SetSoundVolume(*s.Registry[i], -10000);
}
