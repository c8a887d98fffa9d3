// TGA reader: uncompressed (image types 1 and 2) and run-length coded
// (type 10) pictures of 8, 15, 16, 24 and 32 bits, rows bottom-up or
// top-down.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "system/picture.h"
#include "system/picture_io.h"
#include "system/util.h"

namespace {

constexpr uint32_t kTgaHeader = 18;
constexpr uint8_t kTgaTopDown = 0x20;   // descriptor bit: first row stored is the top one
constexpr int32_t kTgaMaxPacket = 128;  // pixels of one packet

struct TgaHeader {
  uint8_t IdLength, MapType, ImageType;
  uint16_t MapFirst, MapLength;
  uint8_t MapBits;
  uint16_t Width, Height;
  uint8_t Depth, Descriptor;
};

TgaHeader ReadHeader(const uint8_t* d) {
  TgaHeader h;
  h.IdLength = d[0];
  h.MapType = d[1];
  h.ImageType = d[2];
  h.MapFirst = LS_ReadLEWord(d + 3);
  h.MapLength = LS_ReadLEWord(d + 5);
  h.MapBits = d[7];
  h.Width = LS_ReadLEWord(d + 12);
  h.Height = LS_ReadLEWord(d + 14);
  h.Depth = d[16];
  h.Descriptor = d[17];
  return h;
}

int32_t FormatOfDepth(int32_t depth) {
  switch (depth) {
    case 8: return BMAP_PAL8;
    case 16: return BMAP_RGB555;
    case 24: return BMAP_RGB888;
    default: return BMAP_ARGB8888;
  }
}

// The destination of file row r.
uint8_t* RowOf(const BMAP* bmap, int32_t r, bool topDown) {
  const int32_t y = topDown ? r : bmap->SizeY - 1 - r;
  return bmap->Start + static_cast<ptrdiff_t>(y) * bmap->ByteLen;
}

bool ReadRaw(BMAP* bmap, const uint8_t* pixels, int32_t bytesPerPixel, bool topDown) {
  const size_t rowBytes = static_cast<size_t>(bmap->SizeX) * bytesPerPixel;
  for (int32_t r = 0; r < bmap->SizeY; ++r) {
    uint8_t* row = RowOf(bmap, r, topDown);
    std::memcpy(row, pixels + r * rowBytes, rowBytes);
    LSI_LEPixelsToNative(row, bmap->SizeX, bytesPerPixel);
  }
  return true;
}

bool ReadPacked(BMAP* bmap, const uint8_t* pixels, const uint8_t* end, int32_t bytesPerPixel, bool topDown) {
  LSI_RUNSOURCE source;
  LSI_InitRunSource(&source, pixels, end);
  for (int32_t r = 0; r < bmap->SizeY; ++r) {
    uint8_t* row = RowOf(bmap, r, topDown);
    if (!LSI_UnpackTgaRow(&source, row, bmap->SizeX, bytesPerPixel)) return false;
    LSI_LEPixelsToNative(row, bmap->SizeX, bytesPerPixel);
  }
  return true;
}

}  // namespace

int32_t LSI_UnpackTgaRow(LSI_RUNSOURCE* s, uint8_t* dest, int32_t width, int32_t bytesPerPixel) {
  const size_t unit = static_cast<size_t>(bytesPerPixel);
  int32_t x = 0;
  while (x < width) {
    if (s->Left == 0) {
      if (s->Next >= s->End) return 0;
      const uint8_t head = *s->Next++;
      s->Left = (head & 0x7Fu) + 1;
      s->Repeat = head >> 7;
      if (s->Repeat) {
        if (static_cast<size_t>(s->End - s->Next) < unit) return 0;
        std::memcpy(s->Value, s->Next, unit);
        s->Next += unit;
      }
    }
    const int32_t n = std::min(static_cast<int32_t>(s->Left), width - x);
    uint8_t* at = dest + x * unit;
    if (!s->Repeat) {
      if (static_cast<size_t>(s->End - s->Next) < n * unit) return 0;
      std::memcpy(at, s->Next, n * unit);
      s->Next += n * unit;
    } else if (unit == 1) {
      std::memset(at, s->Value[0], static_cast<size_t>(n));
    } else {
      for (int32_t i = 0; i < n; ++i, at += unit) std::memcpy(at, s->Value, unit);
    }
    x += n;
    s->Left -= static_cast<uint32_t>(n);
  }
  return 1;
}

namespace {

BMAP* DecodeTga(const LSI_PICFILE& file, uintptr_t heap) {
  if (file.Size < kTgaHeader) return nullptr;
  const TgaHeader h = ReadHeader(file.Data);
  const bool packed = h.ImageType == 10;
  if (h.ImageType != 1 && h.ImageType != 2 && !packed) return nullptr;
  if (h.Depth != 8 && h.Depth != 15 && h.Depth != 16 && h.Depth != 24 && h.Depth != 32) return nullptr;
  const int32_t bytesPerPixel = (h.Depth + 7) / 8;
  // A skipped colour-map entry takes whole bytes.
  const uint64_t offset = kTgaHeader + h.IdLength + uint64_t{h.MapLength} * ((h.MapBits + 7u) / 8u);
  if (offset > file.Size) return nullptr;
  const uint64_t available = file.Size - offset;
  const uint64_t most = packed ? LSI_MostUnpacked(available, 1 + bytesPerPixel, kTgaMaxPacket)
                               : available / static_cast<uint64_t>(bytesPerPixel);
  if (uint64_t{h.Width} * h.Height > most) return nullptr;

  BMAP* bmap = LSI_CreatePictureBmap(h.Width, h.Height, bytesPerPixel * 8, heap);
  if (!bmap) return nullptr;
  LS_LockBmap(bmap);
  const bool topDown = (h.Descriptor & kTgaTopDown) != 0;
  const uint8_t* pixels = file.Data + offset;
  const bool read =
      bmap->Start && (packed ? ReadPacked(bmap, pixels, file.Data + file.Size, bytesPerPixel, topDown)
                             : ReadRaw(bmap, pixels, bytesPerPixel, topDown));
  if (!LSI_EndPicturePass(bmap, read)) return nullptr;
  bmap->Format = FormatOfDepth(bmap->Depth);
  return bmap;
}

}  // namespace

BMAP* LS_LoadTga(const char* name, uintptr_t heap) {
  LSI_PICFILE file;
  if (!LSI_LoadPictureFile(name, &file)) return nullptr;
  BMAP* bmap = DecodeTga(file, heap);
  LSI_FreePictureFile(&file);
  return bmap;
}
