// The sound system's side of the platform: the sound device, the primary
// buffer, each sound's buffer calls, the sound error box and WAVE loading.
#pragma once
#include <cstdint>

#include "system/heap.h"
#include "system/sound.h"

namespace plat::audio {
struct Device;
}

// Null while sound is off. The music player shares both.
extern plat::audio::Device* LSYS_DirectSound;
extern plat::audio::Buffer* LSYS_PrimarySoundBuffer;
// The primary buffer's format as a sound record (null while sound is off).
extern SOUND* LSYS_PrimarySound;

int32_t LSYS_InitSound();
void LSYS_CloseSound();
void LSYS_SetSoundCooperative();

// Makes the sound's buffer from its format and copies its PCM into it; 1
// on success, 0 (and the record without buffer) otherwise.
int32_t LSLoadSound(SOUND* sound, HHEAP heap);

// Buffer calls: each does nothing and gives 0 when the sound has no buffer.
int32_t LSYS_SetSoundVolume(SOUND* sound, int32_t volume);
int32_t LSYS_SetSoundFrequency(SOUND* sound, int32_t hertz);
int32_t LSYS_PlaySound(SOUND* sound, int32_t once);
int32_t LSYS_StopSound(SOUND* sound);
int32_t LSYS_ReleaseSound(SOUND* sound);
int32_t LSYS_GetSoundStatus(SOUND* sound);
int32_t LSYS_SetSoundPosition(SOUND* sound, uint32_t offset);
int32_t LSYS_SetPrimaryFormat(const SOUNDFORMAT* format);

// With the Debug switch on: a box captioned "Zidade Sound Error".
void LSYS_SoundError(const char* text);

// WAVE files: loads the file into the default heap and reads its header
// into a new record; null for a missing or unusable file.
SOUND* LSYS_LoadWave(const char* name);
// Reads the RIFF header and the "fmt " chunk of an image of size bytes;
// 0 when it is not a WAVE file.
int32_t LSYS_ReadWaveHeader(SOUND* sound, const uint8_t* image, uint32_t size);
// Walks at most four chunks from at (left bytes) to "data"; 0, after the
// "Wave Format Error " box, when it is not among them.
int32_t LSI_FindWaveData(SOUND* sound, const uint8_t* at, uint32_t left);
void LSI_WaveError();
