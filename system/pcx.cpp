// PCX reader: 8-bit pictures of one plane in run-length coded lines, and
// the 256-colour palette at the end of the file.
#include <algorithm>
#include <bit>
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

  BMAP* bmap = LSI_CreatePictureBmap(width, height, 8, heap, false);
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

namespace {

constexpr uint64_t kTopBits = 0x8080808080808080ull;

// Bits 7 of the bytes of a word that start a run (both top bits set).
uint64_t RunBytes(uint64_t word) { return word & (word << 1) & kTopBits; }

// A word read from memory as a number whose lowest byte is the first.
uint64_t InMemoryOrder(uint64_t word) {
  if constexpr (std::endian::native == std::endian::big) return __builtin_bswap64(word);
  return word;
}

// The place of the first byte a mask of RunBytes marks.
int32_t FirstMarked(uint64_t hits) {
  return (std::endian::native == std::endian::little ? std::countr_zero(hits) : std::countl_zero(hits)) / 8;
}

// The first byte from `from` up to `limit` that starts a run, eight bytes
// at a time while eight are left.
const uint8_t* NextRunByte(const uint8_t* from, const uint8_t* limit) {
  while (limit - from >= 8) {
    uint64_t word;
    std::memcpy(&word, from, 8);
    if (const uint64_t hits = RunBytes(word)) return from + FirstMarked(hits);
    from += 8;
  }
  while (from < limit && *from < kPcxRunFlag) ++from;
  return from;
}

// Decodes eight code bytes at a time while sixteen bytes of the row (up to
// keep) lie ahead and sixteen of the file: the literal bytes before the
// first run code among them are stored with one 8-byte copy, then a run of
// at most eight with one 8-byte fill (what is written past them is
// overwritten by the codes that follow), or a longer one exactly. Stops
// before a run that goes past keep, which the general path takes. Returns
// the next code byte.
const uint8_t* FastCodes(const uint8_t* next, const uint8_t* end, uint8_t* dest, int32_t& x, int32_t keep) {
  while (keep - x >= 16 && end - next >= 16) {
    uint64_t word;
    std::memcpy(&word, next, 8);
    std::memcpy(dest + x, &word, 8);
    const uint64_t hits = RunBytes(word);
    if (!hits) {
      x += 8;
      next += 8;
      continue;
    }
    const int32_t literals = FirstMarked(hits);
    x += literals;
    next += literals;
    // The run code is taken from the word already read: the place of the
    // next code then waits on one read of the file, not two.
    const uint32_t count = static_cast<uint32_t>(InMemoryOrder(word) >> (8 * literals)) & kPcxMaxRun;
    if (count > 8) {
      if (static_cast<int32_t>(count) > keep - x) break;
      LSI_FillPacket<1>(dest + x, next + 1, count);
    } else {
      const uint64_t fill = next[1] * 0x0101010101010101ull;
      std::memcpy(dest + x, &fill, 8);
    }
    x += static_cast<int32_t>(count);
    next += count ? 2 : 1;  // an empty run has no value byte
  }
  return next;
}

}  // namespace

// Codes go through the fast path while it can take them; otherwise literal
// bytes (below 192) are copied in spans reaching at most to the row's end
// and the file's, and a run is set whole and may go on into the next row.
// The row ends as soon as its bytes per line are decoded, whichever path
// decoded the last of them.
int32_t LSI_UnpackPcxRow(LSI_RUNSOURCE* s, uint8_t* dest, int32_t bytesPerLine, int32_t keep) {
  const uint8_t* next = s->Next;
  const uint8_t* const end = s->End;
  uint32_t left = s->Left;
  uint8_t value = s->Value[0];
  int32_t x = 0, whole = 1;
  keep = std::min(keep, bytesPerLine);
  while (x < bytesPerLine) {
    int32_t n;
    if (left > 0) {
      n = std::min(static_cast<int32_t>(left), bytesPerLine - x);
      if (x < keep) LSI_FillPacket<1>(dest + x, &value, static_cast<size_t>(std::min(x + n, keep) - x));
      left -= static_cast<uint32_t>(n);
    } else {
      next = FastCodes(next, end, dest, x, keep);
      // A run may have filled the row to its last byte: the next code
      // belongs to the next row.
      if (x >= bytesPerLine) break;
      if (next >= end) {
        whole = 0;
        break;
      }
      s->Repeat = 1;
      const uint8_t* span = NextRunByte(next, next + std::min<ptrdiff_t>(end - next, bytesPerLine - x));
      n = static_cast<int32_t>(span - next);
      if (n > 0) {
        if (x < keep) LSI_CopyPacket(dest + x, next, static_cast<size_t>(std::min(x + n, keep) - x));
        value = span[-1];
        next = span;
      } else {
        left = *next++ & kPcxMaxRun;
        if (left == 0) continue;  // an empty run has no value byte
        if (next >= end) {
          whole = 0;
          break;
        }
        value = *next++;
        continue;
      }
    }
    x += n;
  }
  s->Next = next;
  s->Left = left;
  s->Value[0] = value;
  return whole;
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
