// The game's sound channels: each over one library sound, with a wanted
// state that any code may change during a frame and the state last applied
// to the sound; SB_UpdateSound applies the difference once.
#pragma once
#include <cstdint>

struct SOUND;

struct TSBSOUND {
  SOUND* Sound;           // loaded with a buffer of its own
  uint32_t Size;          // bytes of the sound file
  int32_t WantedPlaying;  // 1 when the sound should play
  int32_t WantedFrequency;
  int32_t WantedVolume;   // hundredths of a decibel, -3000 (silent) to 0
  int32_t Playing;        // 1 when last started, 0 when stopped
  int32_t Frequency;      // Hz last applied
  int32_t Volume;         // volume last applied
  int32_t LoopFlag;       // passed to the library's play: 1 once, 0 loops
};

constexpr int32_t SB_SOUND_MINFREQ = 5000;
constexpr int32_t SB_SOUND_MAXFREQ = 40000;
constexpr int32_t SB_SOUND_MINVOLUME = -3000;
constexpr int32_t SB_SOUND_MAXVOLUME = 0;
// The library volume sits this far below the channel's.
constexpr int32_t SB_SOUND_VOLUMEOFFSET = 100;

// A new channel, stopped at -3000 and 11025 Hz; null when the file is
// missing or cannot be loaded.
TSBSOUND* SB_LoadSound(const char* name);
void SB_FreeSound(TSBSOUND* sound);

// Wanted state, applied by the next SB_UpdateSound.
void SB_SetSoundVolume(TSBSOUND* sound, int32_t volume);
void SB_SetSoundFrequence(TSBSOUND* sound, int32_t hertz);
// Asks for a restart from the beginning at the frequency, even when playing.
void SB_PlaySound(TSBSOUND* sound, int32_t hertz, int32_t loopFlag);
void SB_UpdateSound(TSBSOUND* sound);

// Applied at once, to both copies.
void SB_StartSound(TSBSOUND* sound, int32_t hertz, int32_t loopFlag);
void SB_StopSound(TSBSOUND* sound);
void SB_ApplySoundFrequence(TSBSOUND* sound, int32_t hertz);
// Also the on/off control: -3000 stops the channel, above it a stopped
// channel starts looping.
void SB_ApplySoundVolume(TSBSOUND* sound, int32_t volume);
