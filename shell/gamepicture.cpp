// Picture and palette helpers of the game: loading into owner-tagged
// bitmaps, the PCX size, stretching, near-black lifting and the nearest
// colour.
#include "shell/gamepicture.h"

#include <cstddef>
#include <cstring>

#include "shell/gamefile.h"
#include "shell/owner.h"
#include "system/file.h"
#include "system/picture.h"
#include "system/util.h"

namespace {

// Offsets and size of the PCX header's bounds: xmin, ymin, xmax, ymax.
constexpr int32_t kPcxBoundsEnd = 12;
constexpr int32_t kPcxXMin = 4, kPcxYMin = 6, kPcxXMax = 8, kPcxYMax = 10;

uint8_t* PixelAt(BMAP* bmap, int32_t x, int32_t y, int32_t bytes) {
  return bmap->Start + static_cast<ptrdiff_t>(y) * bmap->ByteLen + static_cast<ptrdiff_t>(x) * bytes;
}

// The source coordinate of a stretched one: i x (from - 1) / (to - 1).
int32_t StretchedFrom(int32_t i, int32_t from, int32_t to) {
  if (to < 2) return 0;
  return static_cast<int32_t>(static_cast<double>(i) * (from - 1) / (to - 1));
}

}  // namespace

namespace {

// Copies a picture the library loaded into a new bitmap of the depth and
// heap, tagged with the file name, and frees the library's one; null when
// the copy does not fit beside it.
BMAP* Adopt(BMAP* picture, int32_t depth, uintptr_t heap, const char* name) {
  if (!picture) return nullptr;
  BMAP* bmap = SB_CreateBmapIfFits(picture->SizeX, picture->SizeY, depth, heap, name);
  if (bmap) LS_Bitmove(picture, bmap, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  LS_FreeBmap(picture);
  return bmap;
}

}  // namespace

BMAP* SB_LoadTga(const char* name) {
  if (!name || !LS_FileExists(name)) return nullptr;
  return Adopt(LS_LoadTga(name, LS_DefaultHeap), 24, LS_DefaultHeap, name);
}

BMAP* SB_LoadPcx(const char* name, uintptr_t heap) {
  if (!name || !LS_FileExists(name)) return nullptr;
  BMAP* picture = LS_LoadPcx(name, LS_DefaultHeap);
  return Adopt(picture, picture ? picture->Depth : 8, heap, name);
}

PALETTE* SB_LoadPalette(const char* name) {
  if (!name || !LS_FileExists(name)) return nullptr;
  return LS_LoadPcxPalette(name);
}

int32_t SB_GetPcxSize(const char* name, int32_t* width, int32_t* height) {
  const int32_t file = SB_OpenFile(name, SB_OPEN_READ);
  if (!file) return 0;
  uint8_t header[kPcxBoundsEnd];
  const int32_t got = SB_ReadFile(file, header, kPcxBoundsEnd);
  SB_CloseFile(file);
  if (got != kPcxBoundsEnd) return 0;
  const int32_t xmin = LS_ReadLEWord(header + kPcxXMin), ymin = LS_ReadLEWord(header + kPcxYMin);
  const int32_t xmax = LS_ReadLEWord(header + kPcxXMax), ymax = LS_ReadLEWord(header + kPcxYMax);
  if (xmax < xmin || ymax < ymin) return 0;
  if (width) *width = xmax - xmin + 1;
  if (height) *height = ymax - ymin + 1;
  return 1;
}

void SB_FreePalette(PALETTE* palette) { LS_FreePalette(palette); }
void SB_SetPalette(const PALETTE* palette) { LS_SetPalette(palette); }

BMAP* SB_StretchBmap(BMAP* source, int32_t width, int32_t height) {
  if (!source || width < 1 || height < 1) return nullptr;
  BMAP* bmap = SB_CreateBmap(width, height, source->Depth, 0, "Stretch");
  if (!bmap) return nullptr;
  bmap->Format = source->Format;
  const int32_t bytes = source->Depth / 8;
  LS_LockBmap(source);
  LS_LockBmap(bmap);
  if (source->Start && bmap->Start) {
    for (int32_t y = 0; y < height; ++y) {
      const int32_t sy = StretchedFrom(y, source->SizeY, height);
      for (int32_t x = 0; x < width; ++x)
        std::memcpy(PixelAt(bmap, x, y, bytes),
                    PixelAt(source, StretchedFrom(x, source->SizeX, width), sy, bytes),
                    static_cast<size_t>(bytes));
    }
  }
  LS_UnlockBmap(bmap);
  LS_UnlockBmap(source);
  return bmap;
}

void SB_LiftNearBlack(BMAP* bmap) {
  if (!bmap) return;
  const int32_t bytes = bmap->Depth / 8;
  LS_LockBmap(bmap);
  for (int32_t y = 0; bmap->Start && y < bmap->SizeY; ++y) {
    for (int32_t x = 0; x < bmap->SizeX; ++x) {
      uint8_t* pixel = PixelAt(bmap, x, y, bytes);
      bool nearBlack = true;
      for (int32_t i = 0; i < bytes; ++i) nearBlack = nearBlack && pixel[i] < 8;
      if (!nearBlack) continue;
      for (int32_t i = 0; i < bytes; ++i)
        if (pixel[i]) pixel[i] = 8;
    }
  }
  LS_UnlockBmap(bmap);
}

int32_t SB_FindNearestColor(const PALETTE* palette, int32_t r, int32_t g, int32_t b) {
  if (!palette) return 0;
  const auto square = [](int64_t d) { return d * d; };
  int64_t best = 2000000000;
  int32_t found = 0;
  for (int32_t i = 0; i < 256; ++i) {
    const LS_RGB& c = palette->Entry[i];
    // Green first; an entry is left as soon as its partial sum is no better.
    int64_t sum = square(int64_t{c.Green} - g);
    if (sum >= best) continue;
    sum += square(int64_t{c.Red} - r);
    if (sum >= best) continue;
    sum += square(int64_t{c.Blue} - b);
    if (sum >= best) continue;
    best = sum;
    found = i;
  }
  return found;
}
