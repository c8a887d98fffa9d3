// The game's sound channels: loading, the wanted state, the commit and
// the immediate operations.
#include "shell/sbsound.h"

#include <algorithm>

#include "shell/owner.h"
#include "system/error.h"
#include "system/file.h"
#include "system/sound.h"

namespace {

constexpr int32_t kNewFrequency = 11025;
constexpr int32_t kNewVolume = -10000;

// False, after the library's box, when the channel lost its sound.
bool HasSound(const TSBSOUND* sound) {
  if (sound->Sound) return true;
  LS_Message("SNd->SND 0");
  return false;
}

}  // namespace

TSBSOUND* SB_LoadSound(const char* name) {
  if (!name || !LS_FileExists(name)) return nullptr;
  auto* sound = static_cast<TSBSOUND*>(SB_GetMem(sizeof(TSBSOUND), "SB_LoadSound"));
  if (!sound) return nullptr;
  const int32_t size = LS_GetFileSize(name);
  sound->Size = size > 0 ? static_cast<uint32_t>(size) : 0;
  sound->Sound = LS_LoadSound(name, LS_SOUNDHEAP_HARDWARE);
  if (!sound->Sound) {
    SB_Release(sound);
    return nullptr;
  }
  SB_ApplySoundVolume(sound, kNewVolume);
  SB_ApplySoundFrequence(sound, kNewFrequency);
  return sound;
}

void SB_FreeSound(TSBSOUND* sound) {
  if (!sound) return;
  if (HasSound(sound)) LS_FreeSound(sound->Sound);
  SB_Release(sound);
}

void SB_SetSoundVolume(TSBSOUND* sound, int32_t volume) {
  if (sound) sound->WantedVolume = volume;
}

void SB_SetSoundFrequence(TSBSOUND* sound, int32_t hertz) {
  if (sound) sound->WantedFrequency = hertz;
}

void SB_PlaySound(TSBSOUND* sound, int32_t hertz, int32_t loopFlag) {
  if (!sound) return;
  sound->WantedFrequency = hertz;
  sound->WantedPlaying = 1;
  sound->LoopFlag = loopFlag;
  sound->Playing = 0;
}

void SB_UpdateSound(TSBSOUND* sound) {
  if (!sound || !HasSound(sound)) return;
  if (sound->Playing != sound->WantedPlaying) {
    if (sound->WantedPlaying)
      SB_StartSound(sound, sound->WantedFrequency, sound->LoopFlag);
    else
      SB_StopSound(sound);
  }
  if (sound->Frequency != sound->WantedFrequency) SB_ApplySoundFrequence(sound, sound->WantedFrequency);
  if (sound->Volume != sound->WantedVolume) SB_ApplySoundVolume(sound, sound->WantedVolume);
}

void SB_StartSound(TSBSOUND* sound, int32_t hertz, int32_t loopFlag) {
  if (!sound || !HasSound(sound)) return;
  hertz = std::clamp(hertz, SB_SOUND_MINFREQ, SB_SOUND_MAXFREQ);
  PlaySound(sound->Sound, hertz, loopFlag);
  sound->WantedPlaying = sound->Playing = 1;
  sound->WantedFrequency = sound->Frequency = hertz;
}

void SB_StopSound(TSBSOUND* sound) {
  if (!sound || !HasSound(sound)) return;
  StopSound(sound->Sound, 0);
  sound->WantedPlaying = sound->Playing = 0;
}

void SB_ApplySoundFrequence(TSBSOUND* sound, int32_t hertz) {
  if (!sound || !HasSound(sound)) return;
  hertz = std::clamp(hertz, SB_SOUND_MINFREQ, SB_SOUND_MAXFREQ);
  LS_SetSoundFrequence(sound->Sound, hertz);
  sound->WantedFrequency = sound->Frequency = hertz;
}

void SB_ApplySoundVolume(TSBSOUND* sound, int32_t volume) {
  if (!sound || !HasSound(sound)) return;
  volume = std::clamp(volume, SB_SOUND_MINVOLUME, SB_SOUND_MAXVOLUME);
  if (volume == SB_SOUND_MINVOLUME) {
    if (sound->WantedPlaying) SB_StopSound(sound);
  } else if (!sound->WantedPlaying) {
    SB_StartSound(sound, sound->Sound->Frequency, 0);
  }
  LS_SetSoundVolume(sound->Sound, volume - SB_SOUND_VOLUMEOFFSET);
  sound->WantedVolume = sound->Volume = volume;
}
