// TGA writer: a bitmap saved uncompressed, top row first, in the layout
// other tools read (8 bits with a 24-bit colour map, 16 bits as 5-5-5,
// 24 and 32 bits in blue, green, red (alpha) order).
#include <cstddef>
#include <cstring>

#include "system/file.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/picture.h"
#include "system/picture_io.h"

namespace {

constexpr uint32_t kTgaHeader = 18;
constexpr int32_t kTgaCreateMode = LS_O_BINARY | LS_O_TRUNC | LS_O_CREAT | LS_O_RDWR;  // 0x8302
constexpr uint8_t kTgaTopDown = 0x20;
constexpr uint16_t kTgaMapEntries = 256;
constexpr uint8_t kTgaMapBits = 24;
constexpr uint32_t kTgaMapBytes = kTgaMapEntries * 3;

void Put16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void WriteHeader(int16_t handle, const BMAP* bmap) {
  const bool mapped = bmap->Depth == 8;
  uint8_t h[kTgaHeader] = {};
  h[1] = mapped ? 1 : 0;  // colour map type
  h[2] = mapped ? 1 : 2;  // image type: colour-mapped or true-colour, uncompressed
  Put16(h + 5, mapped ? kTgaMapEntries : 0);
  h[7] = mapped ? kTgaMapBits : 0;
  Put16(h + 12, static_cast<uint32_t>(bmap->SizeX));
  Put16(h + 14, static_cast<uint32_t>(bmap->SizeY));
  h[16] = static_cast<uint8_t>(bmap->Depth);
  h[17] = kTgaTopDown;
  LS_Write(handle, h, kTgaHeader);
}

// The colour map: blue, green, red, each 6-bit component widened to 8 bits.
void WriteColourMap(int16_t handle, const PALETTE* palette) {
  uint8_t map[kTgaMapBytes];
  for (uint32_t i = 0; i < kTgaMapEntries; ++i) {
    const LS_RGB& c = palette->Entry[i];
    const uint8_t components[3] = {c.Blue, c.Green, c.Red};
    for (uint32_t k = 0; k < 3; ++k) {
      const uint32_t v = components[k] & 63u;
      map[i * 3 + k] = static_cast<uint8_t>((v << 2) | (v >> 4));
    }
  }
  LS_Write(handle, map, kTgaMapBytes);
}

// The format the file's pixels are in for a depth, given the source's.
int32_t FileFormat(const BMAP* bmap) {
  switch (bmap->Depth) {
    case 16: return BMAP_RGB555;
    case 24: return BMAP_RGB888;
    case 32:
      return bmap->Format == BMAP_ABGR8888 || bmap->Format == BMAP_ARGB8888 ? BMAP_ARGB8888 : BMAP_XRGB8888;
    default: return BMAP_PAL8;
  }
}

// Writes every row through the row buffer, converting the pixels to the
// file's format on a one-row record over the buffer.
void WriteRows(int16_t handle, BMAP* bmap, uint8_t* buffer, uint32_t rowBytes) {
  BMAP row = *bmap;
  row.SizeY = 1;
  row.ByteLen = static_cast<int32_t>(rowBytes);
  row.Start = buffer;
  row.Kind = 0;  // a memory record of the default heap: locking it touches no surface
  row.Surface = nullptr;
  row.LockCount = 1;
  row.Texture = 0;
  const int32_t format = FileFormat(bmap);
  const int32_t bytesPerPixel = bmap->Depth / 8;
  for (int32_t y = 0; y < bmap->SizeY; ++y) {
    std::memcpy(buffer, bmap->Start + static_cast<ptrdiff_t>(y) * bmap->ByteLen, rowBytes);
    row.Format = bmap->Format;
    if (bytesPerPixel > 1 && row.Format != format) LS_RemapBmap(&row, format);
    LSI_NativePixelsToLE(buffer, bmap->SizeX, bytesPerPixel);
    LS_Write(handle, buffer, static_cast<int32_t>(rowBytes));
  }
}

}  // namespace

int32_t LS_SaveTga(const char* name, BMAP* bmap, const PALETTE* palette, int32_t /*unused*/) {
  if (!name || !bmap || bmap->SizeX < 1 || bmap->SizeY < 1 || bmap->SizeX > 0xFFFF || bmap->SizeY > 0xFFFF)
    return 0;
  if (bmap->Depth != 8 && bmap->Depth != 16 && bmap->Depth != 24 && bmap->Depth != 32) return 0;
  const int16_t handle = LS_Open(name, kTgaCreateMode);
  if (handle < 0) return 0;
  WriteHeader(handle, bmap);
  if (bmap->Depth == 8) {
    const PALETTE* colours = palette ? palette : bmap->Palette ? bmap->Palette : &LS_Var.Palette;
    WriteColourMap(handle, colours);
  }
  const uint32_t rowBytes = static_cast<uint32_t>(bmap->SizeX) * static_cast<uint32_t>(bmap->Depth / 8);
  const bool room =
      ((rowBytes + 15) & ~15u) + LS_HEAP_HEADER <= LSI_GetHeapMaxFree(LSI_GetHeapOf(LS_DefaultHeap));
  auto* buffer = room ? static_cast<uint8_t*>(LS_GetMem(rowBytes)) : nullptr;
  if (!buffer) {
    LS_Close(handle);
    return 0;
  }
  LS_LockBmap(bmap);
  const bool reachable = bmap->Start != nullptr;
  if (reachable) WriteRows(handle, bmap, buffer, rowBytes);
  LS_UnlockBmap(bmap);
  LS_Release(buffer);
  LS_Close(handle);
  return reachable ? 1 : 0;
}
