// Sound effects: the manager's start and close, the beep, the primary
// output format, and WAVE sounds that play once or looping, stop, re-tune
// and fade. Every call does nothing (and returns 0) while sound is off, and
// refuses while a bitmap is locked.
#pragma once
#include <cstdint>

#include "system/heap.h"

namespace plat::audio {
struct Buffer;
}

int32_t LSI_InitSound();
void LSI_CloseSound();
void LS_Beep();

struct SOUNDFORMAT {
  uint16_t Rate;
  uint16_t Channels;
  uint32_t Bits;  // 8, or 16 for any other value
};
void SetSoundFormat(const SOUNDFORMAT* format);

// One loaded sound. With a buffer the PCM lives in the buffer only; in the
// default heap it stays in Data, inside FileImage.
struct SOUND {
  uint32_t SampleRate;
  uint32_t DataLength;  // bytes of PCM
  uint16_t Reserved0;
  uint16_t BlockAlign;
  uint16_t FormatTag;  // 1 = PCM
  uint16_t Channels;
  uint32_t Reserved1;
  uint32_t AvgBytesPerSec;
  uint32_t BitsPerSample;
  uint8_t* Data;    // the PCM inside FileImage, null once in a buffer
  void* FileImage;  // the whole file in the default heap, null once freed
  uint32_t Reserved2;
  int32_t Frequency;  // playback frequency last set, Hz
  int32_t Volume;     // volume last set, hundredths of a decibel (0 = full)
  plat::audio::Buffer* Buffer;
  int32_t Once;  // 1: the last play was one-shot, 0: looping
  HHEAP Heap;    // as given to LS_LoadSound; 8 when the buffer is in hardware
  uint32_t Reserved3;
};

// Heap handle LS_LoadSound reads as "a buffer in the sound card's memory
// when it has room" (the others ask for a buffer in software).
constexpr HHEAP LS_SOUNDHEAP_HARDWARE = 4;
// Heap value of a sound whose buffer lies in hardware memory.
constexpr HHEAP LS_SOUNDHEAP_INHARDWARE = 8;

// Status of LS_GetSoundStatus.
constexpr int32_t LS_SOUND_NONE = 0;
constexpr int32_t LS_SOUND_PLAYING = 1;
constexpr int32_t LS_SOUND_STOPPED = 3;

// Loads "name" (".WAV" added when it has no extension). In the default
// heap the record keeps its PCM and gets no buffer; in any other heap it
// gets a buffer at its own rate and full volume.
SOUND* LS_LoadSound(const char* name, HHEAP heap);
void LS_FreeSound(SOUND* sound);
// Stops, then plays from the start once (once != 0) or looping, at the
// frequency (0: the sound's own rate).
int32_t PlaySound(SOUND* sound, int32_t frequency, int32_t once);
// Stops and rewinds a playing sound; the second argument is not used.
int32_t StopSound(SOUND* sound, int32_t unused);
int32_t LS_GetSoundStatus(SOUND* sound);
int32_t LS_SetSoundFrequence(SOUND* sound, int32_t hertz);
int32_t LS_SetSoundVolume(SOUND* sound, int32_t volume);
int32_t LS_SetSoundPosition(SOUND* sound, uint32_t offset);
