// The interface's waves: the sound table and the screen-change table, the
// loading of the waves a screen names, playing once or looping, the fade-in
// of looping background waves and their release with the interface.
#include <cstring>

#include "frontend/menu.h"
#include "frontend/menuparts.h"
#include "shell/gameevent.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/file.h"
#include "system/sound.h"

namespace {

constexpr int32_t kLowMemoryBytes = 25000000;  // below it the waves are mono
constexpr int32_t kWaveRate = 22050;
constexpr int32_t kFadeStep = 400;   // hundredths of a decibel per step
constexpr int32_t kFullVolume = 0;
constexpr int32_t kSelectCarRow = 10;

constexpr TMENUSOUND kMenuSounds[SB_NBMENUSOUNDS] = {
    {"", nullptr},
    {"INTER>SONS>CHOOSCAR.WAV", nullptr},
    {"INTER>SONS>CHRONO.WAV", nullptr},
    {"INTER>SONS>COMMAND.WAV", nullptr},
    {"INTER>SONS>CONFIG.WAV", nullptr},
    {"INTER>SONS>CPURACE.WAV", nullptr},
    {"INTER>SONS>MENU1.WAV", nullptr},
    {"INTER>SONS>NETRACE.WAV", nullptr},
    {"INTER>SONS>RALENTI1.WAV", nullptr},
    {"INTER>SONS>RALENTI2.WAV", nullptr},
    {"INTER>SONS>SELCTCAR.WAV", nullptr},
    {"INTER>SONS>SLIDE.WAV", nullptr},
    {"INTER>SONS>STARTENG.WAV", nullptr},
    {"INTER>SONS>STRTRACE.WAV", nullptr},
    {"INTER>SONS>BLANK.WAV", nullptr},
    {"INTER>SONS>STARTENP.WAV", nullptr},
    {"", nullptr},
    {"INTER>SONS>CHOOSCAM.WAV", nullptr},
    {"INTER>SONS>CHRONO.WAV", nullptr},
    {"INTER>SONS>COMMAND.WAV", nullptr},
    {"INTER>SONS>CONFIG.WAV", nullptr},
    {"INTER>SONS>CPURACEM.WAV", nullptr},
    {"INTER>SONS>MENU1M.WAV", nullptr},
    {"INTER>SONS>NETRACEM.WAV", nullptr},
    {"INTER>SONS>RALENT1M.WAV", nullptr},
    {"INTER>SONS>RALENT2M.WAV", nullptr},
    {"INTER>SONS>SELCTCAM.WAV", nullptr},
    {"INTER>SONS>SLIDE.WAV", nullptr},
    {"INTER>SONS>STARTENM.WAV", nullptr},
    {"INTER>SONS>STRTRACM.WAV", nullptr},
    {"INTER>SONS>BLANK.WAV", nullptr},
    {"INTER>SONS>STARTENP.WAV", nullptr},
};

constexpr TSCREENCHANGESOUND kScreenChangeSounds[SB_NBSCREENCHANGESOUNDS] = {
    {0, 1, 0, {}}, {1, 2, 0, {}}, {2, 4, 0, {}}, {4, 2, 0, {}}, {2, 5, 0, {}}, {5, 2, 8, {}},
    {7, 2, 8, {}}, {8, 2, 8, {}}, {9, 2, 8, {}}, {3, 2, 9, {}}, {0, 0, 0, {}}, {0, 0, 0, {}},
};

bool LowMemory() { return SB_Var.MemoryClass < kLowMemoryBytes; }

void SetWaveFormat(int32_t channels) {
  const SOUNDFORMAT format{static_cast<uint16_t>(kWaveRate), static_cast<uint16_t>(channels), 16};
  SetSoundFormat(&format);
}

// Loads row's wave from the file of row + off unless it holds one; a
// missing file empties the row. True when a wave was newly loaded.
bool LoadRow(int32_t row, int32_t off) {
  if (row < 0 || row >= SB_MENUSOUNDLOWMEMORY) return false;
  TMENUSOUND& slot = SB_Var.MenuSounds[row];
  const char* file = SB_Var.MenuSounds[row + off].FileName;
  if (!file || !*file || !LS_FileExists(file)) {
    if (slot.Wave) {  // the file went away: no dangling wave stays listed
      UnregisterPlayedWave(slot.Wave);
      LS_FreeSound(slot.Wave);
    }
    slot.Wave = nullptr;
    return false;
  }
  if (slot.Wave) return false;
  SOUND* wave = LS_LoadSound(file, LS_SOUNDHEAP_HARDWARE);
  if (wave && !wave->Buffer) {  // a format the output cannot play: silence
    LS_FreeSound(wave);
    wave = nullptr;
  }
  slot.Wave = wave;
  return wave != nullptr;
}

}  // namespace

void SB_ResetInterfaceSounds() {
  std::memcpy(SB_Var.MenuSounds, kMenuSounds, sizeof kMenuSounds);
  std::memcpy(SB_Var.ScreenChangeSounds, kScreenChangeSounds, sizeof kScreenChangeSounds);
  for (SOUND*& wave : SB_Var.PlayedWaves) wave = nullptr;
}

SOUND* MenuWave(int32_t row) {
  return row >= 0 && row < SB_MENUSOUNDLOWMEMORY ? SB_Var.MenuSounds[row].Wave : nullptr;
}

void LoadScreenSounds() {
  const TMENUSCREEN* screen = CurrentMenuScreen();
  if (!screen) return;
  const int32_t off = LowMemory() ? SB_MENUSOUNDLOWMEMORY : 0;
  const int32_t channels = LowMemory() ? 1 : 2;
  LoadRow(screen->Sound, off);
  const int32_t count = screen->NbItems < SB_MENUITEMS ? screen->NbItems : SB_MENUITEMS;
  for (int32_t i = 0; i < count; ++i) {
    const TMENUITEM& item = screen->Items[i];
    if (item.Sound == 0) continue;
    if (LoadRow(item.Sound, off)) SetWaveFormat(channels);
    if (LoadRow(item.FadeSound, off)) SetWaveFormat(channels);
  }
}

void LoadSelectCarWave() {
  if (LoadRow(kSelectCarRow, 0)) SetWaveFormat(2);
}

void PlayInterfaceWave(SOUND* wave) {
  if (wave) PlaySound(wave, 0, 1);
}

void PlayInterfaceWaveLooped(SOUND* wave) {
  if (wave && LS_GetSoundStatus(wave) != LS_SOUND_PLAYING) PlaySound(wave, 0, 0);
}

void StopInterfaceWave(SOUND* wave) {
  if (wave) StopSound(wave, 0);
}

void RegisterPlayedWave(SOUND* wave) {
  if (!wave) return;
  for (SOUND*& slot : SB_Var.PlayedWaves)
    if (!slot) {
      slot = wave;
      return;
    }
  LS_Message("Trop de Waves joues en meme temps augmenter MAXPLAYEDWAVES");
}

void UnregisterPlayedWave(SOUND* wave) {
  if (!wave) return;
  SOUND** waves = SB_Var.PlayedWaves;
  for (int32_t i = 0; i < MAXPLAYEDWAVES && waves[i]; ++i) {
    if (waves[i] != wave) continue;
    StopInterfaceWave(wave);
    for (int32_t j = i; j + 1 < MAXPLAYEDWAVES; ++j) waves[j] = waves[j + 1];
    waves[MAXPLAYEDWAVES - 1] = nullptr;
    return;
  }
}

void UpdateInterfaceWaves() {
  SB_UpdateEvent();
  for (SOUND* wave : SB_Var.PlayedWaves) {
    if (!wave) break;
    if (LS_GetSoundStatus(wave) != LS_SOUND_PLAYING) continue;
    const int32_t volume = wave->Volume + kFadeStep;
    LS_SetSoundVolume(wave, volume < kFullVolume ? volume : kFullVolume);
  }
}

void StopTransitionWave() {
  for (const TSCREENCHANGESOUND& row : SB_Var.ScreenChangeSounds) {
    if (row.FromScreen != SB_Var.DrawnMenuScreen || row.ToScreen != SB_Var.MenuScreen) continue;
    SOUND* wave = MenuWave(row.Sound);
    StopInterfaceWave(wave);
    UnregisterPlayedWave(wave);
    return;
  }
}

void FreeInterfaceWaves() {
  for (int32_t row = 0; row < SB_MENUSOUNDLOWMEMORY; ++row) {
    TMENUSOUND& slot = SB_Var.MenuSounds[row];
    if (slot.Wave) LS_FreeSound(slot.Wave);
    slot.Wave = nullptr;
  }
  for (SOUND*& wave : SB_Var.PlayedWaves) wave = nullptr;
}
