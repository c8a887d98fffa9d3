// The car-sound channels' files and the small helpers every pass shares:
// a channel by its number, a one-shot start, and the conversion of a
// computed volume or frequency into the channel's integer word.
#include <cmath>
#include <cstdint>

#include "shell/sbsound.h"
#include "shell/sbvar.h"
#include "vehicles/carsounds.h"

namespace {

constexpr const char* kFiles[SB_NBCARSOUNDS] = {
    "wav>derap.wav",    "wav>derap3.wav",   "wav>derap4.wav",   "wav>derap5.wav",  "wav>frotte.wav",
    "wav>rapport.wav",  "wav>geardwn.wav",  "wav>geardwn1.wav", "wav>geardwn2.wav", "wav>geardwn3.wav",
    "wav>gearup.wav",   "wav>motor.wav",    "wav>motor2.wav",   "wav>motor3.wav",  "wav>motor4.wav",
    "wav>motor5.wav",   "wav>roule2.wav",   "wav>roule3.wav",   "wav>roule4.wav",  "wav>roule5.wav",
    "wav>3.wav",        "wav>2.wav",        "wav>1.wav",        "wav>go.wav",      "wav>demar1.wav",
    "wav>bluesky.wav",  "wav>tututu.wav"};

constexpr int32_t kOneShotHertz = 11025;
constexpr double kSilent = -10000.0;

}  // namespace

const char* SB_CarSoundFile(int32_t channel) {
  return channel >= 0 && channel < SB_NBCARSOUNDS ? kFiles[channel] : nullptr;
}

TSBSOUND* SB_CarSound(int32_t channel) {
  return channel >= 0 && channel < SB_NBCARSOUNDS ? SB_Var.CarSounds.Channels[channel] : nullptr;
}

void SB_PlayCarOneShot(TSBSOUND* sound) {
  SB_PlaySound(sound, kOneShotHertz, 1);
  SB_SetSoundVolume(sound, 0);
}

int32_t SB_SoundVolumeWord(double volume) {
  if (!(volume > kSilent)) return static_cast<int32_t>(kSilent);  // NaN too
  if (volume > 0.0) return 0;
  return static_cast<int32_t>(volume);
}

int32_t SB_SoundFrequencyWord(double hertz) {
  if (!(hertz > 0.0)) return 0;  // NaN too
  if (hertz >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(hertz);
}
