// What the picture readers share: the file image in the default heap, the
// bitmap made only when the target heap can hold it, and the pixel order
// of 16-bit words.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "system/bmap.h"

// A whole file in a block of the default heap, taken from the other end of
// the heap than the bitmaps (the heap's direction is flipped for the load
// and put back at once). The bytes start on a 64-byte boundary inside the
// block: the system's copy of a file into memory a few bytes past such a
// boundary runs several times slower.
struct LSI_PICFILE {
  uint8_t* Data;
  uint32_t Size;
  void* Block;  // what the heap gave, released by LSI_FreePictureFile
};
// false when the file is missing, empty, unreadable or larger than the
// heap's largest gap.
bool LSI_LoadPictureFile(const char* name, LSI_PICFILE* file);
void LSI_FreePictureFile(LSI_PICFILE* file);

// The most pixel bytes that `available` bytes of run-length code can give
// when every packet of `cost` bytes yields `yield` bytes.
uint64_t LSI_MostUnpacked(uint64_t available, uint32_t cost, uint32_t yield);

// LS_CreateBmap, refused with null (no error raised) when the sizes are
// not positive or a memory bitmap would not fit in its heap's largest gap.
// A reader that writes every pixel of a memory bitmap (or frees it) asks
// for it uncleared.
BMAP* LSI_CreatePictureBmap(int64_t width, int64_t height, int32_t depth, uintptr_t kind, bool cleared = true);

// Ends a reader's pixel pass over a bitmap it locked: unlocks it, and frees
// it when the pass failed. Returns the bitmap, or null after a failure.
BMAP* LSI_EndPicturePass(BMAP* bmap, bool read);

// Turns little-endian pixels of 2 or 4 bytes into the machine's order, in
// place (other sizes are bytes already).
void LSI_LEPixelsToNative(uint8_t* pixels, int32_t count, int32_t bytesPerPixel);
// The opposite, for writing.
void LSI_NativePixelsToLE(uint8_t* pixels, int32_t count, int32_t bytesPerPixel);

// Copies of the decoders' packets, mostly a few bytes long: in words, with
// no call into the C library below 64 bytes.
inline void LSI_CopyPacket(uint8_t* to, const uint8_t* from, size_t bytes) {
  if (bytes > 64) {
    std::memcpy(to, from, bytes);
    return;
  }
  for (; bytes >= 8; bytes -= 8, to += 8, from += 8) std::memcpy(to, from, 8);
  if (bytes & 4) {
    std::memcpy(to, from, 4);
    to += 4;
    from += 4;
  }
  if (bytes & 2) {
    std::memcpy(to, from, 2);
    to += 2;
    from += 2;
  }
  if (bytes & 1) *to = *from;
}

// Writes count copies of a Unit-byte value: blocks of whole pixels that
// are also whole words, then single pixels (bytes: a word, a half, a
// quarter, a byte).
template <size_t Unit>
inline void LSI_FillPacket(uint8_t* at, const uint8_t* value, size_t count) {
  constexpr size_t kBlock = Unit == 3 ? 24 : Unit == 1 ? 8 : 16;
  size_t bytes = count * Unit;
  uint8_t block[kBlock];
  for (size_t i = 0; i < kBlock; i += Unit) std::memcpy(block + i, value, Unit);
  for (; bytes >= kBlock; bytes -= kBlock, at += kBlock) std::memcpy(at, block, kBlock);
  if constexpr (Unit == 1) {
    if (bytes & 4) {
      std::memcpy(at, block, 4);
      at += 4;
    }
    if (bytes & 2) {
      std::memcpy(at, block, 2);
      at += 2;
    }
    if (bytes & 1) *at = block[0];
  } else {
    for (; bytes > 0; bytes -= Unit, at += Unit) std::memcpy(at, value, Unit);
  }
}
