// WAVE files: the file image in the default heap, the RIFF header, the
// "fmt " chunk and the walk to the "data" chunk. Every read is bounded by
// the bytes of the image.
#include <cstring>

#include "system/error.h"
#include "system/file.h"
#include "system/util.h"
#include "system/win/dsound.h"

namespace {

constexpr uint32_t kRiffHeader = 12;      // "RIFF", size, "WAVE"
constexpr uint32_t kFmtStart = 20;        // "fmt " tag and length before it
constexpr uint32_t kFmtMinLength = 16;    // the PCM format fields
constexpr uint32_t kChunkHeader = 8;      // tag and length
constexpr int kDataChunkReach = 4;        // "data" is one of the first four chunks

// A tag as the 32-bit value of its four characters read little-endian.
constexpr uint32_t TagValue(const char (&t)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(t[0])) | static_cast<uint32_t>(static_cast<uint8_t>(t[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(t[2])) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(t[3])) << 24;
}

constexpr uint32_t kRiff = TagValue("RIFF");
constexpr uint32_t kWave = TagValue("WAVE");
constexpr uint32_t kFmt = TagValue("fmt ");
constexpr uint32_t kData = TagValue("data");

constexpr uint32_t Reversed(uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
}

// The tag at p, in either byte order.
bool IsTag(const uint8_t* p, uint32_t tag) {
  const uint32_t v = LS_ReadLELong(p);
  return v == tag || v == Reversed(tag);
}

int32_t ReadSigned(const uint8_t* p) { return static_cast<int32_t>(LS_ReadLELong(p)); }

// Reads the whole file into a block of the default heap; null when it is
// missing, empty or cannot be read whole.
uint8_t* LoadImage(const char* name, uint32_t* size) {
  if (!LS_FileExists(name)) return nullptr;
  const int32_t length = LS_GetFileSize(name);
  if (length <= 0) return nullptr;
  auto* image = static_cast<uint8_t*>(LS_GetMem(static_cast<uint32_t>(length)));
  if (!image) return nullptr;
  const int16_t handle = LS_Open(name, LS_O_BINARY);
  const int32_t got = handle < 0 ? 0 : LS_Read(handle, image, length);
  if (handle >= 0) LS_Close(handle);
  if (got != length) {
    LS_Release(image);
    return nullptr;
  }
  *size = static_cast<uint32_t>(length);
  return image;
}

}  // namespace

void LSI_WaveError() { LS_Message("%s", "Wave Format Error "); }

int32_t LSI_FindWaveData(SOUND* sound, const uint8_t* at, uint32_t left) {
  for (int chunk = 0; chunk < kDataChunkReach && left >= kChunkHeader; ++chunk) {
    const int32_t length = ReadSigned(at + 4);
    const uint32_t room = left - kChunkHeader;
    if (IsTag(at, kData)) {
      if (length >= 0) {
        sound->DataLength = static_cast<uint32_t>(length) < room ? static_cast<uint32_t>(length) : room;
        sound->Data = const_cast<uint8_t*>(at + kChunkHeader);
      }
      return 1;
    }
    if (length < 0 || static_cast<uint32_t>(length) > room) break;
    at += kChunkHeader + static_cast<uint32_t>(length);
    left = room - static_cast<uint32_t>(length);
  }
  LSI_WaveError();
  return 0;
}

int32_t LSYS_ReadWaveHeader(SOUND* sound, const uint8_t* image, uint32_t size) {
  if (size < 8 || !IsTag(image, kRiff)) return 0;
  if (ReadSigned(image + 4) < 0) return 1;  // a record without format
  if (size < kRiffHeader || !IsTag(image + 8, kWave)) return 0;
  if (size < kFmtStart || !IsTag(image + 12, kFmt)) return 0;
  const int32_t fmtLength = ReadSigned(image + 16);
  if (fmtLength < static_cast<int32_t>(kFmtMinLength) || static_cast<uint32_t>(fmtLength) > size - kFmtStart)
    return 0;
  const uint8_t* fmt = image + kFmtStart;
  sound->FormatTag = LS_ReadLEWord(fmt);
  sound->Channels = LS_ReadLEWord(fmt + 2);
  sound->SampleRate = LS_ReadLELong(fmt + 4);
  sound->AvgBytesPerSec = LS_ReadLELong(fmt + 8);
  sound->BlockAlign = LS_ReadLEWord(fmt + 12);
  sound->BitsPerSample = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(LS_ReadLEWord(fmt + 14))));
  const uint32_t next = kFmtStart + static_cast<uint32_t>(fmtLength);
  return LSI_FindWaveData(sound, image + next, size - next);
}

SOUND* LSYS_LoadWave(const char* name) {
  auto* sound = static_cast<SOUND*>(LS_GetMem(sizeof(SOUND)));
  if (!sound) return nullptr;
  std::memset(sound, 0, sizeof *sound);
  uint32_t size = 0;
  uint8_t* image = LoadImage(name, &size);
  if (!image) {
    LS_Release(sound);
    return nullptr;
  }
  sound->FileImage = image;
  sound->Heap = LS_DefaultHeap;
  if (!LSYS_ReadWaveHeader(sound, image, size)) {
    LS_Release(image);
    LS_Release(sound);
    return nullptr;
  }
  return sound;
}
