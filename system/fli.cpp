// Opening, stepping and closing films: the header, the search for the
// first frame, frames read from memory or from the file, and the loop back
// to the first frame after the last.
#include "system/fli.h"

#include <algorithm>
#include <cstring>

#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"
#include "system/util.h"

namespace {

constexpr int32_t kFliTicksPerSecond = 70;  // FLI speed unit: 1/70 s
constexpr int32_t kNoFile = -1;

struct FilmHeader {
  uint16_t magic, frames, width, height;
  uint32_t speed;  // as the format stores it
  uint32_t firstFrame, secondFrame;
};

FilmHeader ParseHeader(const uint8_t* h) {
  FilmHeader f{};
  f.magic = LS_ReadLEWord(h + FLI_MAGIC_FIELD);
  f.frames = LS_ReadLEWord(h + FLI_FRAMES_FIELD);
  f.width = LS_ReadLEWord(h + FLI_WIDTH_FIELD);
  f.height = LS_ReadLEWord(h + FLI_HEIGHT_FIELD);
  const bool flc = f.magic == FLC_MAGIC;
  f.speed = flc ? LS_ReadLELong(h + FLI_SPEED_FIELD) : LS_ReadLEWord(h + FLI_SPEED_FIELD);
  if (flc) {
    f.firstFrame = LS_ReadLELong(h + FLI_FIRST_FRAME_FIELD);
    f.secondFrame = LS_ReadLELong(h + FLI_SECOND_FRAME_FIELD);
  }
  return f;
}

// The size of the open file, its position kept; -1 when unknown.
int32_t OpenFileSize(int16_t handle) {
  const int32_t at = LS_Seek(handle, 0, 1);
  const int32_t end = LS_Seek(handle, 0, 2);
  if (at < 0 || LS_Seek(handle, at, 0) != at) return -1;
  return end;
}

// Frees whatever the film holds, then the record.
void Discard(FLI* fli) {
  if (fli->Handle != kNoFile) LS_Close(static_cast<int16_t>(fli->Handle));
  if (fli->Buffer) LS_Release(fli->Buffer);
  if (fli->Bmap) LS_FreeBmap(fli->Bmap);
  LS_Release(fli);
}

// Mode 1: the file's image in Buffer, the file closed. Mode 2: a frame
// buffer of one picture's bytes (no more than the file holds).
bool LoadFilm(FLI* fli, uint32_t fileSize, const FilmHeader& h) {
  const int16_t handle = static_cast<int16_t>(fli->Handle);
  if (fli->Mode == FLI_MODE_MEMORY) {
    fli->Buffer = static_cast<uint8_t*>(LS_GetMem(fileSize));
    if (!fli->Buffer) return false;
    fli->BufferSize = fileSize;
    const bool read = LS_Seek(handle, 0, 0) == 0 &&
                      LS_Read(handle, fli->Buffer, static_cast<int32_t>(fileSize)) == static_cast<int32_t>(fileSize);
    LS_Close(handle);
    fli->Handle = kNoFile;
    return read;
  }
  fli->BufferSize = std::min(static_cast<uint32_t>(h.width) * h.height, fileSize);
  fli->Buffer = static_cast<uint8_t*>(LS_GetMem(fli->BufferSize));
  return fli->Buffer != nullptr;
}

// The 16-byte block header at a file offset; false when it cannot be read.
bool ReadBlockHeader(FLI* fli, uint32_t offset, uint8_t* header) {
  if (fli->Mode == FLI_MODE_MEMORY) {
    if (offset > fli->BufferSize || fli->BufferSize - offset < FLI_FRAME_HEADER_SIZE) return false;
    std::memcpy(header, fli->Buffer + offset, FLI_FRAME_HEADER_SIZE);
    return true;
  }
  const int16_t handle = static_cast<int16_t>(fli->Handle);
  return LS_Seek(handle, static_cast<int32_t>(offset), 0) == static_cast<int32_t>(offset) &&
         LS_Read(handle, header, FLI_FRAME_HEADER_SIZE) == static_cast<int32_t>(FLI_FRAME_HEADER_SIZE);
}

// The first frame block at or after the header, other blocks skipped by
// their size; false when a block is too small or runs past the end.
bool FindFirstFrame(FLI* fli, uint32_t fileSize, uint32_t* found) {
  for (uint32_t at = FLI_HEADER_SIZE; at <= fileSize && fileSize - at >= FLI_FRAME_HEADER_SIZE;) {
    uint8_t header[FLI_FRAME_HEADER_SIZE];
    if (!ReadBlockHeader(fli, at, header)) return false;
    if (LS_ReadLEWord(header + 4) == FLI_FRAME_TYPE) {
      *found = at;
      return true;
    }
    const uint32_t size = LS_ReadLELong(header);
    if (size < FLI_FRAME_HEADER_SIZE || size > fileSize - at) return false;
    at += size;
  }
  return false;
}

// An FLC names its first frame (0: not recorded, found as in an FLI).
bool PlaceFirstFrame(FLI* fli, uint32_t fileSize, const FilmHeader& h) {
  if (fli->IsFlc && h.firstFrame != 0) {
    if (h.firstFrame < FLI_HEADER_SIZE || h.firstFrame > fileSize - FLI_FRAME_HEADER_SIZE) return false;
    fli->FirstFrame = h.firstFrame;
    return true;
  }
  return FindFirstFrame(fli, fileSize, &fli->FirstFrame);
}

bool MakeFrameBmap(FLI* fli, const FilmHeader& h, uintptr_t kind, int32_t format) {
  PIXELFORMAT pixel;
  LS_GetPixelFormat(&pixel, format);
  fli->Bmap = LS_CreateBmap(h.width, h.height, static_cast<int32_t>(pixel.BitsPerPixel), kind);
  if (!fli->Bmap) return false;
  fli->Bmap->Format = format;
  return true;
}

int32_t DelayOf(const FilmHeader& h) {
  if (h.magic == FLC_MAGIC) return static_cast<int32_t>(std::min<uint32_t>(h.speed, INT32_MAX));
  return static_cast<int32_t>(h.speed * 1000 / kFliTicksPerSecond);
}

// How a frame ends: the next frame follows it, or the film has lost its
// place and starts again from its first frame.
enum class FrameEnd { kNext, kRestart };

// Checks a frame header; body gets the bytes after it, which must lie
// within left. A block that is not a frame but has a usable size is
// passed over as a frame without chunks.
FrameEnd CheckFrameHeader(const uint8_t* header, uint32_t left, uint32_t* body, uint32_t* chunks) {
  const uint32_t size = LS_ReadLELong(header);
  *chunks = LS_ReadLEWord(header + 6);
  *body = size >= FLI_FRAME_HEADER_SIZE ? size - FLI_FRAME_HEADER_SIZE : 0;
  if (LS_ReadLEWord(header + 4) != FLI_FRAME_TYPE || size < FLI_FRAME_HEADER_SIZE) {
    LS_Error(0, "Bad .FLC format");
    *chunks = 0;
    return size >= FLI_FRAME_HEADER_SIZE && *body <= left ? FrameEnd::kNext : FrameEnd::kRestart;
  }
  if (*body > left) {
    LS_Error(0, ".FLC Frame too big (>%dko)", static_cast<int32_t>(left / 1024));
    return FrameEnd::kRestart;
  }
  return FrameEnd::kNext;
}

// Mode 1: the frame is decoded where it lies in the file's image.
FrameEnd FrameInMemory(FLI* fli, const uint8_t** data, uint32_t* size, uint32_t* chunks) {
  const uint32_t at = fli->ReadOffset;
  if (at > fli->BufferSize || fli->BufferSize - at < FLI_FRAME_HEADER_SIZE) {
    LS_Error(0, "Bad .FLC format");
    return FrameEnd::kRestart;
  }
  const uint32_t left = fli->BufferSize - at - FLI_FRAME_HEADER_SIZE;
  const FrameEnd end = CheckFrameHeader(fli->Buffer + at, left, size, chunks);
  if (end == FrameEnd::kNext) {
    *data = fli->Buffer + at + FLI_FRAME_HEADER_SIZE;
    fli->ReadOffset = at + FLI_FRAME_HEADER_SIZE + *size;
  }
  return end;
}

// Mode 2: the frame is read into the frame buffer, grown to hold it.
FrameEnd FrameFromFile(FLI* fli, const uint8_t** data, uint32_t* size, uint32_t* chunks) {
  const int16_t handle = static_cast<int16_t>(fli->Handle);
  uint8_t header[FLI_FRAME_HEADER_SIZE];
  if (LS_Read(handle, header, FLI_FRAME_HEADER_SIZE) != static_cast<int32_t>(FLI_FRAME_HEADER_SIZE)) {
    LS_Error(0, "Bad .FLC format");
    return FrameEnd::kRestart;
  }
  const int32_t at = LS_Seek(handle, 0, 1);
  const int32_t fileSize = OpenFileSize(handle);
  const uint32_t left = at < 0 || fileSize < at ? 0 : static_cast<uint32_t>(fileSize - at);
  const FrameEnd end = CheckFrameHeader(header, left, size, chunks);
  if (end == FrameEnd::kRestart) return end;
  if (*chunks == 0 || *size == 0) {
    LS_Seek(handle, at + static_cast<int32_t>(*size), 0);
    return end;
  }
  if (*size > fli->BufferSize) {
    LS_Release(fli->Buffer);
    fli->Buffer = static_cast<uint8_t*>(LS_GetMem(*size));
    fli->BufferSize = fli->Buffer ? *size : 0;
    if (!fli->Buffer) {
      LS_Seek(handle, at + static_cast<int32_t>(*size), 0);
      return end;
    }
  }
  const int32_t got = LS_Read(handle, fli->Buffer, static_cast<int32_t>(*size));
  if (got != static_cast<int32_t>(*size)) {
    LS_Error(0, ".FLC Frame too big (>%dko)", (got < 0 ? 0 : got) / 1024);
    return FrameEnd::kRestart;
  }
  *data = fli->Buffer;
  return end;
}

void Advance(FLI* fli, FrameEnd end) {
  if (end == FrameEnd::kNext && ++fli->CurrentFrame < fli->NbFrame) return;
  LSI_SeekFli(fli, fli->FirstFrame);
  fli->CurrentFrame = 0;
}

}  // namespace

FLI* LS_OpenFli(const char* name, int32_t mode, uintptr_t kind, int32_t format) {
  if (mode != FLI_MODE_MEMORY && mode != FLI_MODE_FILE) return nullptr;
  const int16_t handle = LS_Open(name, LS_O_BINARY);
  if (handle < 0) return nullptr;
  const int32_t fileSize = OpenFileSize(handle);
  uint8_t bytes[FLI_HEADER_SIZE];
  const bool whole = fileSize >= static_cast<int32_t>(FLI_HEADER_SIZE) &&
                     LS_Read(handle, bytes, FLI_HEADER_SIZE) == static_cast<int32_t>(FLI_HEADER_SIZE);
  const FilmHeader h = whole ? ParseHeader(bytes) : FilmHeader{};
  if (!whole || (h.magic != FLI_MAGIC && h.magic != FLC_MAGIC) || h.width == 0 || h.height == 0) {
    LS_Close(handle);
    return nullptr;
  }
  auto* fli = static_cast<FLI*>(LS_GetMem(sizeof(FLI)));
  if (!fli) {
    LS_Close(handle);
    return nullptr;
  }
  std::memset(fli, 0, sizeof *fli);
  fli->Mode = mode;
  fli->Handle = handle;
  fli->IsFlc = h.magic == FLC_MAGIC;
  fli->NbFrame = h.frames;
  fli->SecondFrame = h.secondFrame;
  const uint32_t size = static_cast<uint32_t>(fileSize);
  if (!LoadFilm(fli, size, h) || !PlaceFirstFrame(fli, size, h) || !MakeFrameBmap(fli, h, kind, format)) {
    Discard(fli);
    return nullptr;
  }
  fli->Delay = DelayOf(h);
  LSI_SeekFli(fli, fli->FirstFrame);
  return fli;
}

int32_t LS_PlayFliFrame(FLI* fli) {
  if (!fli) return 0;
  if (fli->CurrentFrame >= fli->NbFrame) {
    LS_Error(0, "End Of FLI !");
    return 1;
  }
  const uint8_t* data = nullptr;
  uint32_t size = 0, chunks = 0;
  const FrameEnd end = fli->Mode == FLI_MODE_MEMORY ? FrameInMemory(fli, &data, &size, &chunks)
                                                    : FrameFromFile(fli, &data, &size, &chunks);
  if (data && chunks > 0) {
    BMAP* bmap = fli->Bmap;
    LS_LockBmap(bmap);
    LSI_DecodeFliChunks(fli, data, size, chunks);
    LS_UnlockBmap(bmap);
  }
  Advance(fli, end);
  return 1;
}

int32_t LS_CloseFli(FLI* fli) {
  if (!fli) return 0;
  Discard(fli);
  return 1;
}

void LSI_SeekFli(FLI* fli, uint32_t offset) {
  if (!fli) return;
  if (fli->Mode == FLI_MODE_MEMORY)
    fli->ReadOffset = offset;
  else
    LS_Seek(static_cast<int16_t>(fli->Handle), static_cast<int32_t>(offset), 0);
}
