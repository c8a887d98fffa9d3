// IFF picture reader: ILBM (1 to 8 bit planes per row, with or without a
// mask plane; not hold-and-modify nor extra-half-brite) and PBM (one byte
// per pixel), raw or ByteRun1 coded, into 8-bit bitmaps of even width.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "system/picture.h"
#include "system/picture_io.h"
#include "system/util.h"

namespace {

constexpr uint32_t kIffFormHeader = 12;  // "FORM", length, form type
constexpr uint32_t kIffChunkHeader = 8;  // ID and big-endian length
constexpr uint32_t kBmhdLength = 20;
constexpr int32_t kIffMaxPlanes = 8;
constexpr int32_t kMaskPlane = 1;  // masking value: a mask plane follows the colour planes
constexpr uint32_t kByteRunMax = 128;
// Display modes of the CAMG chunk whose pixels are not colour-map indices:
// hold-and-modify (a pixel changes one component of the pixel before it)
// and extra-half-brite (the upper half of the indices are halved colours).
constexpr uint32_t kCamgHam = 0x800, kCamgExtraHalfBrite = 0x80;

// The next count bytes of a plane or pixel stream, raw or ByteRun1 coded:
// control n below 128 copies n + 1 bytes, above 128 repeats the next byte
// 257 - n times, 128 does nothing. A packet runs on across rows; its
// literal bytes are copied and its repeats set a span at a time.
bool ReadBytes(LSI_RUNSOURCE* s, bool packed, uint8_t* out, size_t count) {
  if (!packed) {
    if (static_cast<size_t>(s->End - s->Next) < count) return false;
    std::memcpy(out, s->Next, count);
    s->Next += count;
    return true;
  }
  const uint8_t* next = s->Next;
  const uint8_t* const end = s->End;
  uint32_t left = s->Left;
  uint8_t repeat = s->Repeat, value = s->Value[0];
  bool whole = true;
  while (whole && count > 0) {
    while (left == 0) {
      if (next >= end) {
        whole = false;
        break;
      }
      const uint8_t control = *next++;
      if (control == 0x80) continue;
      repeat = control > 0x80;
      left = repeat ? 257u - control : control + 1u;
      if (repeat) {
        if (next >= end) {
          whole = false;
          break;
        }
        value = *next++;
      }
    }
    if (!whole) break;
    const size_t n = std::min<size_t>(left, count);
    if (repeat) {
      LSI_FillPacket<1>(out, &value, n);
    } else if (static_cast<size_t>(end - next) < n) {
      whole = false;
      break;
    } else {
      LSI_CopyPacket(out, next, n);
      next += n;
    }
    out += n;
    count -= n;
    left -= static_cast<uint32_t>(n);
  }
  s->Next = next;
  s->Left = left;
  s->Repeat = repeat;
  s->Value[0] = value;
  return whole;
}

bool ReadChunky(BMAP* bmap, LSI_RUNSOURCE* s, bool packed) {
  for (int32_t y = 0; y < bmap->SizeY; ++y)
    if (!ReadBytes(s, packed, bmap->Start + static_cast<ptrdiff_t>(y) * bmap->ByteLen,
                   static_cast<size_t>(bmap->SizeX)))
      return false;
  return true;
}

// Entry b holds the eight bits of b, bit 7 first, one in each byte in
// memory order: a plane byte spread over its eight pixels.
const std::array<uint64_t, 256> kSpread = [] {
  std::array<uint64_t, 256> table{};
  for (uint32_t b = 0; b < 256; ++b) {
    uint8_t bits[8];
    for (int i = 0; i < 8; ++i) bits[i] = (b >> (7 - i)) & 1;
    std::memcpy(&table[b], bits, 8);
  }
  return table;
}();

// Eight pixels from the bytes of planes P... at their place, the planes
// written out one by one.
template <int32_t... P>
uint64_t EightPixels(const uint8_t* planes, size_t planeBytes, std::integer_sequence<int32_t, P...>) {
  return ((kSpread[planes[P * planeBytes]] << P) | ...);
}

// Makes the first `groups` groups of eight pixels of a row, each at once
// from the bytes of all Planes planes at its place.
template <int32_t Planes>
void SpreadGroups(const uint8_t* planes, size_t planeBytes, uint8_t* row, int32_t groups) {
  for (int32_t i = 0; i < groups; ++i, ++planes, row += 8) {
    const uint64_t pixels = EightPixels(planes, planeBytes, std::make_integer_sequence<int32_t, Planes>());
    std::memcpy(row, &pixels, 8);
  }
}

using SpreadProc = void (*)(const uint8_t*, size_t, uint8_t*, int32_t);
constexpr SpreadProc kSpreadGroups[kIffMaxPlanes] = {SpreadGroups<1>, SpreadGroups<2>, SpreadGroups<3>,
                                                     SpreadGroups<4>, SpreadGroups<5>, SpreadGroups<6>,
                                                     SpreadGroups<7>, SpreadGroups<8>};

// Each row's planes (and the mask plane, read and dropped) are read whole,
// then its pixels made eight at a time; a last group narrower than eight
// takes its pixels from LSI_PlaneToChunky plane by plane.
bool ReadPlanar(BMAP* bmap, LSI_RUNSOURCE* s, const LSI_IFFINFO& info) {
  const size_t planeBytes = static_cast<size_t>((info.Width + 15) / 16 * 2);
  const int32_t planes = info.Planes + (info.Masking == kMaskPlane ? 1 : 0);
  const bool packed = info.Compression != 0;
  std::vector<uint8_t> rowPlanes(planeBytes * static_cast<size_t>(planes));
  const int32_t full = std::min(static_cast<int32_t>(planeBytes), bmap->SizeX / 8);
  const int32_t rest = std::min(static_cast<int32_t>(planeBytes) * 8, bmap->SizeX) - 8 * full;
  const SpreadProc spread = kSpreadGroups[info.Planes - 1];
  for (int32_t y = 0; y < bmap->SizeY; ++y) {
    uint8_t* row = bmap->Start + static_cast<ptrdiff_t>(y) * bmap->ByteLen;
    if (!ReadBytes(s, packed, rowPlanes.data(), rowPlanes.size())) return false;
    spread(rowPlanes.data(), planeBytes, row, full);
    if (rest > 0)
      for (int32_t p = 0; p < info.Planes; ++p)
        LSI_PlaneToChunky(rowPlanes[p * planeBytes + static_cast<size_t>(full)], row + 8 * full, p, rest);
  }
  return true;
}

// Bytes the body must hold (raw) or may unpack to (coded).
uint64_t BodyBytes(const LSI_IFFINFO& info, int32_t bmapWidth) {
  if (info.Kind == LSI_IFF_PBM) return uint64_t{static_cast<uint32_t>(bmapWidth)} * info.Height;
  const uint64_t planes = info.Planes + (info.Masking == kMaskPlane ? 1 : 0);
  return uint64_t{static_cast<uint32_t>((info.Width + 15) / 16 * 2)} * planes * info.Height;
}

BMAP* DecodeIff(const LSI_PICFILE& file, uintptr_t heap) {
  LSI_IFFINFO info;
  if (!LSI_ParseIff(file.Data, file.Size, &info)) return nullptr;
  const int32_t width = (info.Width + 1) & ~1;
  const bool packed = info.Compression != 0;
  const uint64_t needed = BodyBytes(info, width);
  if (needed > (packed ? LSI_MostUnpacked(info.BodyLength, 2, kByteRunMax) : info.BodyLength)) return nullptr;

  BMAP* bmap = LSI_CreatePictureBmap(width, info.Height, 8, heap, false);
  if (!bmap) return nullptr;
  LS_LockBmap(bmap);
  LSI_RUNSOURCE source;
  LSI_InitRunSource(&source, info.Body, info.Body + info.BodyLength);
  const bool read = bmap->Start && (info.Kind == LSI_IFF_PBM ? ReadChunky(bmap, &source, packed)
                                                             : ReadPlanar(bmap, &source, info));
  return LSI_EndPicturePass(bmap, read);
}

}  // namespace

const uint8_t* LSI_FindIffChunk(const uint8_t* data, const uint8_t* end, const char* tag) {
  const uint8_t* at = data;
  while (at < end && static_cast<size_t>(end - at) >= kIffChunkHeader) {
    const uint32_t length = LS_ReadBELong(at + 4);
    if (length > static_cast<size_t>(end - at) - kIffChunkHeader) return nullptr;
    if (std::memcmp(at, tag, 4) == 0) return at;
    const size_t step = kIffChunkHeader + size_t{length} + (length & 1);
    if (step >= static_cast<size_t>(end - at)) return nullptr;
    at += step;
  }
  return nullptr;
}

void LSI_PlaneToChunky(uint8_t byte, uint8_t* pixels, int32_t plane, int32_t count) {
  if (count <= 0) return;
  const size_t n = static_cast<size_t>(std::min(count, 8));
  uint64_t word = plane >= 0 && plane < 8 ? kSpread[byte] << plane : 0;
  if (plane != 0) {
    uint64_t old = 0;
    std::memcpy(&old, pixels, n);
    word |= old;
  }
  std::memcpy(pixels, &word, n);
}

int32_t LSI_ParseIff(const uint8_t* data, uint32_t size, LSI_IFFINFO* info) {
  std::memset(info, 0, sizeof *info);
  info->FileSize = size;
  if (size < kIffFormHeader || std::memcmp(data, "FORM", 4) != 0) return 0;
  info->Kind = std::memcmp(data + 8, "PBM", 3) == 0 ? LSI_IFF_PBM : LSI_IFF_ILBM;
  const uint64_t formEnd = std::min<uint64_t>(uint64_t{kIffChunkHeader} + LS_ReadBELong(data + 4), size);
  const uint8_t* chunks = data + kIffFormHeader;
  const uint8_t* end = data + formEnd;
  const uint8_t* bmhd = LSI_FindIffChunk(chunks, end, "BMHD");
  const uint8_t* body = LSI_FindIffChunk(chunks, end, "BODY");
  if (!bmhd || !body || LS_ReadBELong(bmhd + 4) < kBmhdLength) return 0;
  // A picture whose pixels are not indices would load with wrong colours.
  const uint8_t* camg = LSI_FindIffChunk(chunks, end, "CAMG");
  if (camg && LS_ReadBELong(camg + 4) >= 4 &&
      (LS_ReadBELong(camg + kIffChunkHeader) & (kCamgHam | kCamgExtraHalfBrite)))
    return 0;
  const uint8_t* h = bmhd + kIffChunkHeader;
  info->Width = LS_ReadBEWord(h);
  info->Height = LS_ReadBEWord(h + 2);
  info->Planes = h[8];
  info->Masking = h[9];
  info->Compression = h[10];
  info->Body = body + kIffChunkHeader;
  info->BodyLength = LS_ReadBELong(body + 4);
  if (info->Width < 1 || info->Height < 1 || info->Compression > 1) return 0;
  if (info->Kind == LSI_IFF_PBM) return info->Planes == 8 ? 1 : 0;
  return info->Planes >= 1 && info->Planes <= kIffMaxPlanes ? 1 : 0;
}

int32_t LSI_ReadIffHeader(const char* name, LSI_IFFINFO* info) {
  std::memset(info, 0, sizeof *info);
  LSI_PICFILE file;
  if (!LSI_LoadPictureFile(name, &file)) return 0;
  const int32_t taken = LSI_ParseIff(file.Data, file.Size, info);
  LSI_FreePictureFile(&file);
  info->Body = nullptr;  // it pointed into the freed image
  return taken;
}

BMAP* LS_LoadIff(const char* name, uintptr_t heap) {
  LSI_PICFILE file;
  if (!LSI_LoadPictureFile(name, &file)) return nullptr;
  BMAP* bmap = DecodeIff(file, heap);
  LSI_FreePictureFile(&file);
  return bmap;
}
