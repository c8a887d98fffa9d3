// FLI and FLC films, decoded frame by frame into a bitmap of the film's
// size: 8-bit palette indices, or 16-bit colours looked up from the film's
// palette. A film sits wholly in memory (mode 1) or is read frame by frame
// from its open file (mode 2); after its last frame it starts again.
#pragma once
#include <cstdint>

#include "system/bmap.h"
#include "system/palette.h"

constexpr uint16_t FLI_MAGIC = 0xAF11;
constexpr uint16_t FLC_MAGIC = 0xAF12;
constexpr uint16_t FLI_FRAME_TYPE = 0xF1FA;
constexpr uint32_t FLI_HEADER_SIZE = 128;
constexpr uint32_t FLI_FRAME_HEADER_SIZE = 16;
constexpr uint32_t FLI_CHUNK_HEADER_SIZE = 6;
// The record's size where pointers are 32 bits.
constexpr uint32_t FLI_RECORD_SIZE32 = 2872;

// Header fields.
constexpr uint32_t FLI_MAGIC_FIELD = 4;
constexpr uint32_t FLI_FRAMES_FIELD = 6;
constexpr uint32_t FLI_WIDTH_FIELD = 8;
constexpr uint32_t FLI_HEIGHT_FIELD = 10;
constexpr uint32_t FLI_SPEED_FIELD = 16;  // FLC: 32-bit ms; FLI: 16-bit, 1/70 s
constexpr uint32_t FLI_FIRST_FRAME_FIELD = 80;
constexpr uint32_t FLI_SECOND_FRAME_FIELD = 84;

// Open modes.
constexpr int32_t FLI_MODE_MEMORY = 1;  // the whole file loaded at open
constexpr int32_t FLI_MODE_FILE = 2;    // frames read from the open file

// Chunk types.
constexpr uint16_t FLI_COLOR_256 = 4;
constexpr uint16_t FLI_DELTA_FLC = 7;
constexpr uint16_t FLI_COLOR_64 = 11;
constexpr uint16_t FLI_DELTA_FLI = 12;
constexpr uint16_t FLI_BLACK = 13;
constexpr uint16_t FLI_BYTE_RUN = 15;
constexpr uint16_t FLI_COPY = 16;
constexpr uint16_t FLI_PSTAMP = 18;

// One open film. The caller may put a bitmap of its own, of the film's
// size, in Bmap between frames; the frames are decoded into whatever Bmap
// holds.
struct FLI {
  int32_t NbFrame;
  BMAP* Bmap;
  PALETTE Palette;       // 6-bit components, kept for 8-bit frames
  int32_t PalChanged;    // set by every palette chunk; the caller clears it
  int32_t Delay;         // milliseconds between frames
  int32_t CurrentFrame;  // 0 .. NbFrame - 1: the frame decoded next
  uint32_t Colors[256];  // the film's colours as 0xRRGGBB
  uint32_t Lookup[256];  // the colours as pixels of a 16-bit Bmap
  int32_t Mode;
  int32_t Handle;           // the open file (mode 2)
  uint32_t ReadOffset;      // next frame in Buffer (mode 1)
  uint32_t FirstFrame;      // file offset of the first frame
  uint32_t SecondFrame;     // FLC: file offset of the second frame
  const uint8_t* ChunkData; // data of the chunk being decoded
  uint32_t BufferSize;      // bytes in Buffer
  uint8_t* Buffer;          // the file's image (mode 1) or one frame (mode 2)
  int32_t IsFlc;
};
static_assert(sizeof(void*) != 4 || sizeof(FLI) == FLI_RECORD_SIZE32, "FLI record size");

// Opens a film; kind is the frame bitmap's kind or heap handle, format its
// pixel-format code (2, 4 or 16). Null when the file is missing or not a
// film this player can read.
FLI* LS_OpenFli(const char* name, int32_t mode, uintptr_t kind, int32_t format);
// Decodes the next frame into Bmap; 0 for null.
int32_t LS_PlayFliFrame(FLI* fli);
// Closes the file, frees Bmap, the buffer and the record; 0 for null.
int32_t LS_CloseFli(FLI* fli);
// Moves the read position to a file offset.
void LSI_SeekFli(FLI* fli, uint32_t offset);

// Decodes the frame's chunks (size bytes holding count chunks) into Bmap,
// which the caller has locked.
void LSI_DecodeFliChunks(FLI* fli, const uint8_t* data, uint32_t size, uint32_t count);
