// Conversion between pixel formats: the copy between bitmaps of different
// formats (mask moves, ordered dithering to 16 bits, palette lookup and
// nearest-colour search), the in-place remap, and the palette remap table.
#include <array>
#include <cstring>

#include "system/bmap.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "system/pixel.h"

namespace {

template <int Shift>
constexpr std::array<uint32_t, 256> ShiftTable() {
  std::array<uint32_t, 256> t{};
  for (uint32_t i = 0; i < 256; ++i) t[i] = i >> Shift;
  return t;
}

// Dither tables: the quotient and the remainder (in eighths for 5 bits, in
// quarters for 6) of an 8-bit component scaled to 5 or 6 bits.
struct DitherTables {
  uint8_t q5[256], e5[256], q6[256], e6[256];
};

constexpr DitherTables MakeDither() {
  DitherTables t{};
  for (uint32_t v = 0; v < 256; ++v) {
    t.q5[v] = static_cast<uint8_t>((31 * v + 16) / 255);
    t.e5[v] = static_cast<uint8_t>((31 * v + 16) % 255 * 8 / 255);
    t.q6[v] = static_cast<uint8_t>((63 * v + 32) / 255);
    t.e6[v] = static_cast<uint8_t>((63 * v + 32) % 255 * 4 / 255);
  }
  return t;
}

constexpr DitherTables kDither = MakeDither();
// Thresholds by (y mod 4, x mod 4).
constexpr uint8_t kThreshold5[4][4] = {{0, 4, 1, 5}, {6, 2, 7, 3}, {1, 5, 0, 4}, {7, 3, 6, 2}};
constexpr uint8_t kThreshold6[4][4] = {{0, 2, 0, 2}, {3, 1, 3, 1}, {0, 2, 0, 2}, {3, 1, 3, 1}};

// Nearest-colour answers of one copy, keyed by the 18-bit colour; a
// generation number empties it at the start of each copy.
constexpr uint32_t kCacheSize = 1u << 18;
uint32_t g_cacheGeneration[kCacheSize];
uint8_t g_cacheIndex[kCacheSize];
uint32_t g_generation = 0;

void EmptyCache() {
  if (++g_generation == 0) {
    std::memset(g_cacheGeneration, 0, sizeof g_cacheGeneration);
    g_generation = 1;
  }
}

// Where one copy reads and writes, with the pixel sizes.
struct Rows {
  BMAP* source;
  BMAP* destination;
  int32_t x1, y1, width, height, x, y;
  int32_t in, out;  // bytes per pixel
  const uint8_t* From(int32_t j) const { return LSI_PixelAt(source, x1, y1 + j); }
  uint8_t* To(int32_t j) const { return LSI_PixelAt(destination, x, y + j); }
};

uint32_t Component(uint32_t pixel, uint32_t mask, uint32_t shift) { return (pixel & mask) >> shift; }

// Moves a pixel's components from one format's masks to another's; alpha
// only when the new format has it.
uint32_t MovePixel(uint32_t p, const PIXELFORMAT& from, const PIXELFORMAT& to) {
  uint32_t v = LSI_ScaleComponent(Component(p, from.RedMask, from.RedShift), from.RedBits, to.RedBits)
                   << to.RedShift |
               LSI_ScaleComponent(Component(p, from.GreenMask, from.GreenShift), from.GreenBits, to.GreenBits)
                   << to.GreenShift |
               LSI_ScaleComponent(Component(p, from.BlueMask, from.BlueShift), from.BlueBits, to.BlueBits)
                   << to.BlueShift;
  if (to.AlphaMask)
    v |= (LSI_ScaleComponent(Component(p, from.AlphaMask, from.AlphaShift), from.AlphaBits, to.AlphaBits)
          << to.AlphaShift) &
         to.AlphaMask;
  return v;
}

void DitherCopy(const Rows& r, bool transparent) {
  PIXELFORMAT sf;
  LS_GetPixelFormat(&sf, r.source->Format);
  const bool green6 = r.destination->Format == BMAP_RGB565;
  for (int32_t j = 0; j < r.height; ++j) {
    const uint8_t* from = r.From(j);
    uint8_t* to = r.To(j);
    const int32_t row = (r.y + j) & 3;
    for (int32_t i = 0; i < r.width; ++i, from += r.in, to += 2) {
      const uint32_t p = LSI_LoadPixel(from, r.in);
      if (transparent && p == 0) continue;
      const uint32_t red = Component(p, sf.RedMask, sf.RedShift) & 255;
      const uint32_t green = Component(p, sf.GreenMask, sf.GreenShift) & 255;
      const uint32_t blue = Component(p, sf.BlueMask, sf.BlueShift) & 255;
      const uint32_t t5 = kThreshold5[row][(r.x + i) & 3];
      const uint32_t r5 = kDither.q5[red] + (kDither.e5[red] > t5);
      const uint32_t b5 = kDither.q5[blue] + (kDither.e5[blue] > t5);
      uint32_t value;
      if (green6) {
        const uint32_t g6 = kDither.q6[green] + (kDither.e6[green] > kThreshold6[row][(r.x + i) & 3]);
        value = r5 << 11 | g6 << 5 | b5;
      } else {
        value = r5 << 10 | (kDither.q5[green] + (kDither.e5[green] > t5)) << 5 | b5;
      }
      LSI_StorePixel(to, 2, value);
    }
  }
}

void MaskCopy(const Rows& r, bool transparent) {
  PIXELFORMAT sf, df;
  LS_GetPixelFormat(&sf, r.source->Format);
  LS_GetPixelFormat(&df, r.destination->Format);
  for (int32_t j = 0; j < r.height; ++j) {
    const uint8_t* from = r.From(j);
    uint8_t* to = r.To(j);
    for (int32_t i = 0; i < r.width; ++i, from += r.in, to += r.out) {
      const uint32_t p = LSI_LoadPixel(from, r.in);
      if (transparent && p == 0) continue;
      LSI_StorePixel(to, r.out, MovePixel(p, sf, df));
    }
  }
}

void NearestCopy(const Rows& r, bool transparent) {
  const PALETTE* palette = r.destination->Palette ? r.destination->Palette : &LS_Var.Palette;
  LS_InitColorSearch(palette);
  PIXELFORMAT sf;
  LS_GetPixelFormat(&sf, r.source->Format);
  EmptyCache();
  for (int32_t j = 0; j < r.height; ++j) {
    const uint8_t* from = r.From(j);
    uint8_t* to = r.To(j);
    for (int32_t i = 0; i < r.width; ++i, from += r.in, ++to) {
      const uint32_t p = LSI_LoadPixel(from, r.in);
      if (transparent && p == 0) continue;
      const uint32_t red = LSI_ScaleComponent(Component(p, sf.RedMask, sf.RedShift), sf.RedBits, 6);
      const uint32_t green = LSI_ScaleComponent(Component(p, sf.GreenMask, sf.GreenShift), sf.GreenBits, 6);
      const uint32_t blue = LSI_ScaleComponent(Component(p, sf.BlueMask, sf.BlueShift), sf.BlueBits, 6);
      const uint32_t key = (red & 63) << 12 | (green & 63) << 6 | (blue & 63);
      if (g_cacheGeneration[key] != g_generation) {
        g_cacheIndex[key] = static_cast<uint8_t>(LS_FindNearestColor(red & 63, green & 63, blue & 63));
        g_cacheGeneration[key] = g_generation;
      }
      *to = g_cacheIndex[key];
    }
  }
}

// Every pixel through the table; 16-bit destinations two pixels at a time,
// the last one alone when the width is odd.
void TableRowOpaque(const uint8_t* from, uint8_t* to, int32_t width, int32_t out, const uint32_t* table) {
  int32_t i = 0;
  if (out == 2) {
    for (; i + 1 < width; i += 2, to += 4) {
      const uint32_t pair = (table[from[i]] & 0xFFFF) | table[from[i + 1]] << 16;
      std::memcpy(to, &pair, 4);
    }
  }
  for (; i < width; ++i, to += out) LSI_StorePixel(to, out, table[from[i]]);
}

void PaletteCopy(const Rows& r, bool transparent) {
  PIXELFORMAT df;
  LS_GetPixelFormat(&df, r.destination->Format);
  LSI_BuildRemapTable(r.source->Palette, &df, r.destination->Format);
  const uint32_t* table = LSI_RemapTable.Value;
  for (int32_t j = 0; j < r.height; ++j) {
    const uint8_t* from = r.From(j);
    uint8_t* to = r.To(j);
    if (!transparent) {
      TableRowOpaque(from, to, r.width, r.out, table);
      continue;
    }
    for (int32_t i = 0; i < r.width; ++i, to += r.out)
      if (from[i]) LSI_StorePixel(to, r.out, table[from[i]]);
  }
}

void IndexCopy(const Rows& r, bool transparent) {
  for (int32_t j = 0; j < r.height; ++j) {
    const uint8_t* from = r.From(j);
    uint8_t* to = r.To(j);
    for (int32_t i = 0; i < r.width; ++i)
      if (!transparent || from[i]) to[i] = from[i];
  }
}

uint32_t WidenFrom6(uint32_t component, uint32_t bits) {
  if (!bits) return 0;
  return LSI_ScaleComponent(component & 63, 6, bits);
}

}  // namespace

const std::array<uint32_t, 256> LS_Comp5Table = ShiftTable<3>();
const std::array<uint32_t, 256> LS_Comp6Table = ShiftTable<2>();

LSI_REMAPTABLE LSI_RemapTable;

void LSI_BuildRemapTable(const PALETTE* palette, const PIXELFORMAT* format, int32_t code) {
  if (!format) return;
  const PALETTE* p = palette ? palette : &LS_Var.Palette;
  LSI_REMAPTABLE& t = LSI_RemapTable;
  if (t.Built && t.Format == code && std::memcmp(&t.Palette, p, sizeof *p) == 0) return;
  for (int i = 0; i < 256; ++i) {
    const LS_RGB& c = p->Entry[i];
    t.Value[i] = WidenFrom6(c.Red, format->RedBits) << format->RedShift |
                 WidenFrom6(c.Green, format->GreenBits) << format->GreenShift |
                 WidenFrom6(c.Blue, format->BlueBits) << format->BlueShift;
  }
  if (format->AlphaMask) t.Value[0] = format->AlphaMask;
  std::memmove(&t.Palette, p, sizeof *p);
  t.Format = code;
  t.Built = 1;
  ++t.Builds;
}

void LSI_BitmoveConvert(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                        int32_t x, int32_t y, int32_t mode) {
  if (!LSI_ClipBitmove(source, destination, x1, y1, x2, y2, x, y)) return;
  LS_LockBmap(source);
  LS_LockBmap(destination);
  if (source->Start && destination->Start) {
    const Rows rows{source,
                    destination,
                    x1,
                    y1,
                    x2 - x1 + 1,
                    y2 - y1 + 1,
                    x,
                    y,
                    LSI_BytesPerPixel(source),
                    LSI_BytesPerPixel(destination)};
    const bool transparent = (mode & LS_BLIT_TRANSPARENT) != 0;
    const bool deep = source->Depth == 24 || source->Depth == 32;
    const int32_t to = destination->Format;
    if (deep && destination->Depth == 16 && (to == BMAP_RGB555 || to == BMAP_RGB565))
      DitherCopy(rows, transparent);
    else if (source->Depth != 8 && destination->Depth != 8)
      MaskCopy(rows, transparent);
    else if (source->Depth != 8)
      NearestCopy(rows, transparent);
    else if (destination->Depth != 8)
      PaletteCopy(rows, transparent);
    else
      IndexCopy(rows, transparent);
  }
  LS_UnlockBmap(destination);
  LS_UnlockBmap(source);
}

int32_t LS_RemapBmap(BMAP* bmap, int32_t code) {
  if (!bmap) return 0;
  if (bmap->Format == code) return 1;
  PIXELFORMAT from, to;
  LS_GetPixelFormat(&from, bmap->Format);
  LS_GetPixelFormat(&to, code);
  if (to.BitsPerPixel != static_cast<uint32_t>(bmap->Depth)) {
    LS_Error(8, " :  Cannot Remap BMAP");
    return 0;
  }
  LS_LockBmap(bmap);
  const bool reachable = bmap->Start != nullptr;
  if (reachable && bmap->Depth > 8) {
    const int32_t bytes = LSI_BytesPerPixel(bmap);
    for (int32_t y = 0; y < bmap->SizeY; ++y) {
      uint8_t* at = LSI_PixelAt(bmap, 0, y);
      for (int32_t x = 0; x < bmap->SizeX; ++x, at += bytes)
        LSI_StorePixel(at, bytes, MovePixel(LSI_LoadPixel(at, bytes), from, to));
    }
  }
  if (reachable) bmap->Format = code;
  LS_UnlockBmap(bmap);
  return reachable ? 1 : 0;
}
