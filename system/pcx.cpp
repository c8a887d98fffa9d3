// PCX reader: 8-bit pictures of one plane in run-length coded lines, and
// the 256-colour palette at the end of the file.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "system/file.h"
#include "system/picture.h"
#include "system/picture_io.h"
#include "system/util.h"

namespace {

constexpr uint32_t kPcxHeader = 128;
constexpr uint8_t kPcxManufacturer = 10;
constexpr uint8_t kPcxVersion = 5;
constexpr uint8_t kPcxRunFlag = 0xC0;  // bytes above 191 start a run
constexpr uint32_t kPcxMaxRun = 63;
constexpr uint8_t kPcxPaletteMarker = 12;
constexpr int32_t kPcxPaletteTail = 769;  // the marker and 256 x (red, green, blue)

BMAP* DecodePcx(const LSI_PICFILE& file, uintptr_t heap) {
  if (file.Size < kPcxHeader) return nullptr;
  const uint8_t* h = file.Data;
  // Only 8-bit pictures of one plane: a 24-bit picture has three.
  if (h[0] != kPcxManufacturer || h[1] != kPcxVersion || h[3] != 8 || h[65] != 1) return nullptr;
  const int32_t xmin = LS_ReadLEWord(h + 4), ymin = LS_ReadLEWord(h + 6);
  const int32_t xmax = LS_ReadLEWord(h + 8), ymax = LS_ReadLEWord(h + 10);
  const int32_t bytesPerLine = LS_ReadLEWord(h + 66);
  const int32_t width = xmax - xmin + 1, height = ymax - ymin + 1;
  if (width < 1 || height < 1 || bytesPerLine < width) return nullptr;
  const uint64_t coded = uint64_t{static_cast<uint32_t>(bytesPerLine)} * static_cast<uint32_t>(height);
  if (coded > LSI_MostUnpacked(file.Size - kPcxHeader, 2, kPcxMaxRun)) return nullptr;

  BMAP* bmap = LSI_CreatePictureBmap(width, height, 8, heap);
  if (!bmap) return nullptr;
  LS_LockBmap(bmap);
  bool read = bmap->Start != nullptr;
  LSI_RUNSOURCE source;
  LSI_InitRunSource(&source, file.Data + kPcxHeader, file.Data + file.Size);
  for (int32_t y = 0; read && y < height; ++y)
    read = LSI_UnpackPcxRow(&source, bmap->Start + static_cast<ptrdiff_t>(y) * bmap->ByteLen, bytesPerLine,
                            width);
  return LSI_EndPicturePass(bmap, read);
}

}  // namespace

int32_t LSI_UnpackPcxRow(LSI_RUNSOURCE* s, uint8_t* dest, int32_t bytesPerLine, int32_t keep) {
  int32_t x = 0;
  while (x < bytesPerLine) {
    if (s->Left == 0) {
      if (s->Next >= s->End) return 0;
      const uint8_t code = *s->Next++;
      s->Repeat = 1;
      if (code >= kPcxRunFlag) {
        s->Left = code & kPcxMaxRun;
        if (s->Left == 0) continue;  // an empty run has no value byte
        if (s->Next >= s->End) return 0;
        s->Value[0] = *s->Next++;
      } else {
        s->Left = 1;
        s->Value[0] = code;
      }
    }
    const int32_t n = std::min(static_cast<int32_t>(s->Left), bytesPerLine - x);
    if (x < keep) std::memset(dest + x, s->Value[0], static_cast<size_t>(std::min(x + n, keep) - x));
    x += n;
    s->Left -= static_cast<uint32_t>(n);
  }
  return 1;
}

BMAP* LS_LoadPcx(const char* name, uintptr_t heap) {
  LSI_PICFILE file;
  if (!LSI_LoadPictureFile(name, &file)) return nullptr;
  BMAP* bmap = DecodePcx(file, heap);
  LSI_FreePictureFile(&file);
  return bmap;
}

PALETTE* LS_LoadPcxPalette(const char* name) {
  const int32_t size = LS_GetFileSize(name);
  if (size < kPcxPaletteTail) return nullptr;
  const int16_t handle = LS_Open(name, LS_O_BINARY);
  if (handle < 0) return nullptr;
  uint8_t tail[kPcxPaletteTail];
  const bool read = LS_Seek(handle, size - kPcxPaletteTail, 0) == size - kPcxPaletteTail &&
                    LS_Read(handle, tail, kPcxPaletteTail) == kPcxPaletteTail;
  LS_Close(handle);
  if (!read || tail[0] != kPcxPaletteMarker) return nullptr;
  PALETTE* palette = LS_AllocPalette();
  if (!palette) return nullptr;
  for (int i = 0; i < 256; ++i) {
    palette->Entry[i].Red = static_cast<uint8_t>(tail[1 + i * 3] >> 2);
    palette->Entry[i].Green = static_cast<uint8_t>(tail[2 + i * 3] >> 2);
    palette->Entry[i].Blue = static_cast<uint8_t>(tail[3 + i * 3] >> 2);
  }
  return palette;
}
