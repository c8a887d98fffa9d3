// What the picture readers share: the file image in the default heap, the
// bitmap made only when the target heap can hold it, and the pixel order
// of 16-bit words.
#pragma once
#include <cstdint>

#include "system/bmap.h"

// A whole file in a block of the default heap, taken from the other end of
// the heap than the bitmaps (the heap's direction is flipped for the load
// and put back at once).
struct LSI_PICFILE {
  uint8_t* Data;
  uint32_t Size;
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
BMAP* LSI_CreatePictureBmap(int64_t width, int64_t height, int32_t depth, uintptr_t kind);

// Ends a reader's pixel pass over a bitmap it locked: unlocks it, and frees
// it when the pass failed. Returns the bitmap, or null after a failure.
BMAP* LSI_EndPicturePass(BMAP* bmap, bool read);

// Turns little-endian pixels of 2 or 4 bytes into the machine's order, in
// place (other sizes are bytes already).
void LSI_LEPixelsToNative(uint8_t* pixels, int32_t count, int32_t bytesPerPixel);
// The opposite, for writing.
void LSI_NativePixelsToLE(uint8_t* pixels, int32_t count, int32_t bytesPerPixel);
