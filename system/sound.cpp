// Sound effects, the portable calls: load, free, play, stop, status,
// frequency, volume, position and the primary format.
#include "system/sound.h"

#include <cstring>

#include "platform/audio.h"
#include "platform/window.h"
#include "system/bmap.h"
#include "system/file.h"
#include "system/lsvar.h"
#include "system/module.h"
#include "system/win/dsound.h"

namespace {

// The common entry of every portable call: false when sound is off or a
// bitmap is locked (error 8 with the call's name).
bool MayRun(const char* name) {
  if (!LSI_Var.SoundOn) return false;
  return LSI_RefuseWhileLocked(name) == 0;
}

}  // namespace

int32_t LSI_InitSound() {
  LSI_Var.NbSound = 0;
  LSI_Var.SoundOn = static_cast<uint32_t>(LSYS_InitSound());
  return static_cast<int32_t>(LSI_Var.SoundOn);
}

void LSI_CloseSound() {
  LS_CloseModuleSystem();  // its stream goes with the device
  LSYS_CloseSound();
  LSI_Var.SoundOn = 0;
}

void LS_Beep() {
  plat::Beep();
  plat::audio::PlayBeep();
}

SOUND* LS_LoadSound(const char* name, HHEAP heap) {
  if (!MayRun("LS_LoadSound") || !name) return nullptr;
  char path[LS_PATHSIZE];
  if (std::strlen(name) >= sizeof path) return nullptr;
  std::strcpy(path, name);
  if (!LS_AddExtension(path, ".WAV")) return nullptr;
  SOUND* sound = LSYS_LoadWave(path);
  if (!sound) return nullptr;
  sound->Heap = heap;
  if (heap == LS_DefaultHeap) return sound;
  if (LSLoadSound(sound, heap)) {
    sound->Frequency = static_cast<int32_t>(sound->SampleRate);
    sound->Volume = 0;
    ++LSI_Var.NbSound;
  }
  return sound;
}

void LS_FreeSound(SOUND* sound) {
  if (!MayRun("LS_FreeSound") || !sound) return;
  StopSound(sound, 0);
  if (sound->Buffer) {
    LSYS_ReleaseSound(sound);
    --LSI_Var.NbSound;
  }
  if (sound->FileImage) LS_Release(sound->FileImage);
  LS_Release(sound);
}

int32_t PlaySound(SOUND* sound, int32_t frequency, int32_t once) {
  if (!MayRun("PlaySound") || !sound) return 0;
  StopSound(sound, 0);
  if (frequency == 0) frequency = static_cast<int32_t>(sound->SampleRate);
  sound->Once = once;
  if (LSYS_SetSoundFrequency(sound, frequency)) sound->Frequency = frequency;
  return LSYS_PlaySound(sound, once);
}

int32_t StopSound(SOUND* sound, int32_t) {
  if (!MayRun("StopSound") || !sound) return 0;
  if (LS_GetSoundStatus(sound) != LS_SOUND_PLAYING) return 0;
  LSYS_SetSoundPosition(sound, 0);
  return LSYS_StopSound(sound);
}

int32_t LS_GetSoundStatus(SOUND* sound) {
  if (!MayRun("LS_GetSoundStatus") || !sound) return LS_SOUND_NONE;
  return LSYS_GetSoundStatus(sound);
}

int32_t LS_SetSoundFrequence(SOUND* sound, int32_t hertz) {
  if (!MayRun("LS_SetSoundFrequence") || !sound) return 0;
  if (hertz == sound->Frequency) return 1;
  if (!LSYS_SetSoundFrequency(sound, hertz)) return 0;
  sound->Frequency = hertz;
  return 1;
}

int32_t LS_SetSoundVolume(SOUND* sound, int32_t volume) {
  if (!MayRun("LS_SetSoundVolume") || !sound) return 0;
  if (volume == sound->Volume) return 1;
  if (!LSYS_SetSoundVolume(sound, volume)) return 0;
  sound->Volume = volume;
  return 1;
}

int32_t LS_SetSoundPosition(SOUND* sound, uint32_t offset) {
  if (!MayRun("LS_SetSoundPosition") || !sound) return 0;
  return LSYS_SetSoundPosition(sound, offset);
}

void SetSoundFormat(const SOUNDFORMAT* format) {
  if (!MayRun("SetSoundFormat") || !format) return;
  if (!LSYS_SetPrimaryFormat(format)) LSYS_SoundError("Set Format Primary Error!");
}
