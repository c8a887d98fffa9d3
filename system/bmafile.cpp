// Reader of the library's own bitmap file ("Radoro" signature, extension
// "BMA"): rows of 8, 16, 24 or 32 bits, stored as they are or run-length
// coded row by row.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "system/file.h"
#include "system/picture.h"
#include "system/picture_io.h"
#include "system/util.h"

namespace {

constexpr uint32_t kBmaHeader = 34;
constexpr char kBmaSignature[] = "Radoro";
constexpr uint32_t kBmaSignatureLength = 6;
constexpr uint8_t kBmaRaw = 0;
constexpr uint8_t kBmaPacked = 1;
constexpr uint32_t kBmaMaxRun = 127;

// One coded row of rowBytes bytes: control n below 128 copies n bytes, n
// from 128 repeats the next byte n - 128 times. A packet longer than what
// is left of the row is cut at the row's end.
bool UnpackRow(const uint8_t*& at, const uint8_t* end, uint8_t* dest, int32_t rowBytes) {
  int32_t x = 0;
  while (x < rowBytes) {
    if (at >= end) return false;
    const uint8_t control = *at++;
    const int32_t count = control & 0x7F;
    const int32_t n = std::min(count, rowBytes - x);
    if (control & 0x80) {
      if (at >= end) return false;  // the value byte is there even for a count of 0
      std::memset(dest + x, *at++, static_cast<size_t>(n));
    } else {
      if (end - at < n) return false;
      std::memcpy(dest + x, at, static_cast<size_t>(n));
      at += std::min<ptrdiff_t>(count, end - at);  // literal bytes past the row's end are dropped
    }
    x += n;
  }
  return true;
}

bool ReadRows(BMAP* bmap, const uint8_t* pixels, const uint8_t* end, bool packed, int32_t fileRowBytes) {
  const int32_t bytesPerPixel = bmap->Depth / 8;
  const int32_t rowBytes = bmap->SizeX * bytesPerPixel;
  for (int32_t y = 0; y < bmap->SizeY; ++y) {
    uint8_t* row = bmap->Start + static_cast<ptrdiff_t>(y) * bmap->ByteLen;
    if (packed) {
      if (!UnpackRow(pixels, end, row, rowBytes)) return false;
    } else {
      std::memcpy(row, pixels, static_cast<size_t>(rowBytes));
      pixels += fileRowBytes;
    }
    LSI_LEPixelsToNative(row, bmap->SizeX, bytesPerPixel);
  }
  return true;
}

BMAP* DecodeBma(const LSI_PICFILE& file, uintptr_t heap) {
  if (file.Size < kBmaHeader || std::memcmp(file.Data, kBmaSignature, kBmaSignatureLength) != 0)
    return nullptr;
  const uint8_t* h = file.Data;
  const int32_t width = LS_ReadLEWord(h + 24), height = LS_ReadLEWord(h + 26);
  const int32_t fileRowBytes = LS_ReadLEWord(h + 28);
  const int32_t depth = h[30], packing = h[31];
  if (depth != 8 && depth != 16 && depth != 24 && depth != 32) return nullptr;
  if (packing != kBmaRaw && packing != kBmaPacked) return nullptr;
  if (width < 1 || height < 1) return nullptr;
  const uint64_t rowBytes = uint64_t{static_cast<uint32_t>(width)} * static_cast<uint32_t>(depth / 8);
  const uint64_t available = file.Size - kBmaHeader;
  if (packing == kBmaRaw) {
    if (static_cast<uint64_t>(fileRowBytes) < rowBytes) return nullptr;
    if (uint64_t{static_cast<uint32_t>(fileRowBytes)} * static_cast<uint32_t>(height - 1) + rowBytes >
        available)
      return nullptr;
  } else if (rowBytes * static_cast<uint32_t>(height) > LSI_MostUnpacked(available, 2, kBmaMaxRun)) {
    return nullptr;
  }

  BMAP* bmap = LSI_CreatePictureBmap(width, height, depth, heap);
  if (!bmap) return nullptr;
  LS_LockBmap(bmap);
  const bool read = bmap->Start && ReadRows(bmap, file.Data + kBmaHeader, file.Data + file.Size,
                                            packing == kBmaPacked, fileRowBytes);
  return LSI_EndPicturePass(bmap, read);
}

}  // namespace

BMAP* LS_LoadBmapFile(const char* name, uintptr_t heap) {
  if (!name) return nullptr;
  char full[LS_PATHSIZE];
  if (std::strlen(name) >= sizeof full) return nullptr;
  std::strcpy(full, name);
  if (!LS_AddExtension(full, ".BMA")) return nullptr;
  LSI_PICFILE file;
  if (!LSI_LoadPictureFile(full, &file)) return nullptr;
  BMAP* bmap = DecodeBma(file, heap);
  LSI_FreePictureFile(&file);
  return bmap;
}
