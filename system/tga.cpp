// TGA reader: uncompressed (image types 1 and 2) and run-length coded
// (type 10) pictures of 8, 15, 16, 24 and 32 bits, rows bottom-up or
// top-down.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <type_traits>

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

// Rows stored bottom-up are written downwards in memory, where the
// processor does not fetch ahead by itself: while the decoder writes file
// row r, the row after it is asked for (a raw row's copy needs no help).
void FetchNextRow(const BMAP* bmap, int32_t r, bool topDown, size_t rowBytes) {
  if (topDown || r + 1 >= bmap->SizeY) return;
  const uint8_t* next = RowOf(bmap, r + 1, topDown);
  for (size_t k = 0; k < rowBytes; k += 64) __builtin_prefetch(next + k, 1);
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
  const size_t rowBytes = static_cast<size_t>(bmap->SizeX) * bytesPerPixel;
  for (int32_t r = 0; r < bmap->SizeY; ++r) {
    uint8_t* row = RowOf(bmap, r, topDown);
    FetchNextRow(bmap, r, topDown, rowBytes);
    if (!LSI_UnpackTgaRow(&source, row, bmap->SizeX, bytesPerPixel)) return false;
    LSI_LEPixelsToNative(row, bmap->SizeX, bytesPerPixel);
  }
  return true;
}

}  // namespace

namespace {

// Bytes a packet may take to go through the fast path.
constexpr size_t kTgaBlock = 32;

// At least kTgaBlock bytes of the pixel value at `from` repeated (the
// block has room for one pixel more).
template <size_t Unit>
void RepeatBlock(uint8_t* block, const uint8_t* from) {
  if constexpr (Unit == 3 && std::endian::native == std::endian::little) {
    // Three words repeat the 3-byte value eight times; made in registers,
    // so that reading the block back does not wait on narrow stores.
    const uint64_t v = from[0] | uint64_t{from[1]} << 8 | uint64_t{from[2]} << 16;
    const uint64_t words[4] = {v | v << 24 | v << 48, v >> 16 | v << 8 | v << 32 | v << 56, v >> 8 | v << 16 | v << 40,
                               v | v << 24 | v << 48};
    std::memcpy(block, words, kTgaBlock);
  } else if constexpr (Unit == 3) {
    uint8_t value[Unit];
    std::memcpy(value, from, Unit);
    for (size_t i = 0; i < kTgaBlock; i += Unit) std::memcpy(block + i, value, Unit);
  } else {
    using Word = std::conditional_t<Unit == 1, uint8_t, std::conditional_t<Unit == 2, uint16_t, uint32_t>>;
    Word value;
    std::memcpy(&value, from, Unit);
    const uint64_t word = value * (~uint64_t{0} / static_cast<Word>(~Word{0}));
    for (size_t i = 0; i < kTgaBlock; i += 8) std::memcpy(block + i, &word, 8);
  }
}

// Decodes the packets that start at `next` while a whole block of the row
// lies ahead and the file holds a header and a block more, and each run's
// pixels fit in kTgaBlock bytes, and each literal packet's too or, at 3 and
// 4 bytes a pixel (where photographs hold many literal packets of a few
// blocks), in whole blocks that the row and the file still hold (at 1 and
// 2 bytes such packets are long, and one copy of the general path serves
// them better). Each packet writes a whole block,
// copied from the file (literal) or from its repeated value (run), with no
// branch on its kind, and a longer literal packet the blocks after it; the
// next packet overwrites what lies beyond this one's pixels. Returns the
// first packet left to the general path.
template <size_t Unit>
const uint8_t* FastPackets(const uint8_t* next, const uint8_t* end, uint8_t* dest, int32_t& x, int32_t width) {
  uint8_t block[kTgaBlock + 4];
  while (static_cast<size_t>(width - x) * Unit >= kTgaBlock && static_cast<size_t>(end - next) > kTgaBlock) {
    const uint8_t head = *next;
    const size_t count = (head & 0x7Fu) + 1;
    const bool run = (head & 0x80) != 0;
    // The bytes the packet writes: one block for a run, whole blocks for
    // literal pixels.
    const size_t blocks = run || Unit < 3 ? (count * Unit > kTgaBlock ? ~size_t{0} : kTgaBlock)
                                          : (count * Unit + kTgaBlock - 1) / kTgaBlock * kTgaBlock;
    if (blocks > std::min(static_cast<size_t>(width - x) * Unit, static_cast<size_t>(end - next) - 1)) break;
    RepeatBlock<Unit>(block, next + 1);
    uint8_t* at = dest + static_cast<size_t>(x) * Unit;
    std::memcpy(at, run ? block : next + 1, kTgaBlock);
    for (size_t b = kTgaBlock; b < blocks; b += kTgaBlock) std::memcpy(at + b, next + 1 + b, kTgaBlock);
    x += static_cast<int32_t>(count);
    next += 1 + (run ? Unit : count * Unit);
  }
  return next;
}

// Decodes one row of pixels of Unit bytes. The source's fields are worked
// on in locals (the pixel stores could otherwise alias them) and written
// back as the packet-by-packet decoding leaves them, also on failure
// (Repeat and Value mean something only while Left is not 0). Short
// packets take the fast path; the others are copied or filled by loops
// whose pixel size is known when compiled.
template <size_t Unit>
int32_t UnpackRow(LSI_RUNSOURCE* s, uint8_t* dest, int32_t width) {
  const uint8_t* next = s->Next;
  const uint8_t* const end = s->End;
  uint32_t left = s->Left;
  uint8_t repeat = s->Repeat;
  uint8_t value[Unit];
  std::memcpy(value, s->Value, Unit);
  int32_t x = 0, whole = 1;
  while (x < width) {
    if (left == 0) {
      next = FastPackets<Unit>(next, end, dest, x, width);
      if (x >= width) break;
      if (next >= end) {
        whole = 0;
        break;
      }
      const uint8_t head = *next++;
      left = (head & 0x7Fu) + 1;
      repeat = head >> 7;
      if (repeat) {
        if (static_cast<size_t>(end - next) < Unit) {
          whole = 0;
          break;
        }
        std::memcpy(value, next, Unit);
        next += Unit;
      }
    }
    const int32_t n = std::min(static_cast<int32_t>(left), width - x);
    uint8_t* at = dest + static_cast<size_t>(x) * Unit;
    if (!repeat) {
      const size_t bytes = static_cast<size_t>(n) * Unit;
      if (static_cast<size_t>(end - next) < bytes) {
        whole = 0;
        break;
      }
      LSI_CopyPacket(at, next, bytes);
      next += bytes;
    } else {
      LSI_FillPacket<Unit>(at, value, static_cast<size_t>(n));
    }
    x += n;
    left -= static_cast<uint32_t>(n);
  }
  s->Next = next;
  s->Left = left;
  s->Repeat = repeat;
  std::memcpy(s->Value, value, Unit);
  return whole;
}

}  // namespace

int32_t LSI_UnpackTgaRow(LSI_RUNSOURCE* s, uint8_t* dest, int32_t width, int32_t bytesPerPixel) {
  switch (bytesPerPixel) {
    case 1: return UnpackRow<1>(s, dest, width);
    case 2: return UnpackRow<2>(s, dest, width);
    case 3: return UnpackRow<3>(s, dest, width);
    case 4: return UnpackRow<4>(s, dest, width);
    default: return 0;
  }
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

  BMAP* bmap = LSI_CreatePictureBmap(h.Width, h.Height, bytesPerPixel * 8, heap, false);
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
