// Picture files: TGA, PCX (with its palette), IFF ILBM/PBM and the
// library's own "Radoro" bitmap file read into new bitmaps, and bitmaps
// written as TGA files.
//
// Every reader takes the bitmap's kind or heap handle as LS_CreateBmap
// does, and gives null for a missing, damaged or refused file, with nothing
// left allocated.
#pragma once
#include <cstdint>

#include "system/bmap.h"
#include "system/palette.h"

// Picture type codes.
constexpr int32_t LS_PIC_NONE = 0;
constexpr int32_t LS_PIC_PCX = 1;
constexpr int32_t LS_PIC_GIF = 2;  // recognised, but no reader exists
constexpr int32_t LS_PIC_LBM = 3;
constexpr int32_t LS_PIC_TGA = 4;
constexpr int32_t LS_PIC_BMA = 5;

// The type from the (at most three) characters after the name's first dot.
int32_t LS_GetPictureType(const char* name);
BMAP* LS_LoadPicture(const char* name, int32_t type, uintptr_t heap);

BMAP* LS_LoadTga(const char* name, uintptr_t heap);
// Writes the bitmap uncompressed, top row first; 1 on success. An 8-bit
// bitmap gets a 256-entry colour map from the palette, else the bitmap's,
// else the current one. The fourth argument is not used.
int32_t LS_SaveTga(const char* name, BMAP* bmap, const PALETTE* palette, int32_t unused);

BMAP* LS_LoadPcx(const char* name, uintptr_t heap);
// The 256 colours at the end of the file, components turned to 6 bits.
PALETTE* LS_LoadPcxPalette(const char* name);

BMAP* LS_LoadIff(const char* name, uintptr_t heap);
// Adds ".BMA" to a name without extension.
BMAP* LS_LoadBmapFile(const char* name, uintptr_t heap);

// A run-length coded source whose packets may run on from one row into
// the next: the bytes still to read and the packet in progress.
struct LSI_RUNSOURCE {
  const uint8_t* Next;
  const uint8_t* End;
  uint32_t Left;     // units the current packet still owes
  uint8_t Repeat;    // the packet repeats Value; otherwise it copies from Next
  uint8_t Value[4];  // the repeated unit
};
void LSI_InitRunSource(LSI_RUNSOURCE* source, const uint8_t* data, const uint8_t* end);

// Decode one row; 0 when the source ends before the row is whole. A packet
// longer than the row goes on into the next call.
// TGA: width pixels of bytesPerPixel bytes each.
int32_t LSI_UnpackTgaRow(LSI_RUNSOURCE* source, uint8_t* dest, int32_t width, int32_t bytesPerPixel);
// PCX: bytesPerLine bytes, of which the first keep are stored.
int32_t LSI_UnpackPcxRow(LSI_RUNSOURCE* source, uint8_t* dest, int32_t bytesPerLine, int32_t keep);

// IFF pieces.
struct LSI_IFFINFO {
  uint32_t FileSize;
  int32_t Width;  // as stored; the bitmap is rounded up to an even width
  int32_t Height;
  int32_t Planes;
  int32_t Kind;  // 1 ILBM (planar), 2 PBM (chunky)
  int32_t Compression;
  int32_t Masking;  // 1: a mask plane follows the colour planes of each row
  const uint8_t* Body;
  uint32_t BodyLength;
};
constexpr int32_t LSI_IFF_ILBM = 1;
constexpr int32_t LSI_IFF_PBM = 2;
// Reads the header of a file; 1 when it is a picture this reader takes.
int32_t LSI_ReadIffHeader(const char* name, LSI_IFFINFO* info);
// The same from a file image; Body points into it.
int32_t LSI_ParseIff(const uint8_t* data, uint32_t size, LSI_IFFINFO* info);
// The chunk with the tag in the chunk list from data to end (ID, big-endian
// length, data, padded to even); null when it is absent or a chunk before
// it does not fit.
const uint8_t* LSI_FindIffChunk(const uint8_t* data, const uint8_t* end, const char* tag);
// Spreads one plane byte over eight pixels, bit 7 first: plane 0 sets each
// pixel to its bit, a later plane p ORs the bit in as bit p. Only the first
// count pixels are written.
void LSI_PlaneToChunky(uint8_t byte, uint8_t* pixels, int32_t plane, int32_t count);
