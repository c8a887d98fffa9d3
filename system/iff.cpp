// IFF picture reader: ILBM (1 to 8 bit planes per row, with or without a
// mask plane; not hold-and-modify nor extra-half-brite) and PBM (one byte
// per pixel), raw or ByteRun1 coded, into 8-bit bitmaps of even width.
#include <algorithm>
#include <cstddef>
#include <cstring>

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

// The next byte of a plane or pixel stream, raw or ByteRun1 coded: control
// n below 128 copies n + 1 bytes, above 128 repeats the next byte 257 - n
// times, 128 does nothing. A packet runs on across rows.
bool NextByte(LSI_RUNSOURCE* s, bool packed, uint8_t* out) {
  if (!packed) {
    if (s->Next >= s->End) return false;
    *out = *s->Next++;
    return true;
  }
  while (s->Left == 0) {
    if (s->Next >= s->End) return false;
    const uint8_t control = *s->Next++;
    if (control == 0x80) continue;
    s->Repeat = control > 0x80;
    s->Left = s->Repeat ? 257u - control : control + 1u;
    if (s->Repeat) {
      if (s->Next >= s->End) return false;
      s->Value[0] = *s->Next++;
    }
  }
  --s->Left;
  if (s->Repeat) {
    *out = s->Value[0];
    return true;
  }
  if (s->Next >= s->End) return false;
  *out = *s->Next++;
  return true;
}

bool ReadChunky(BMAP* bmap, LSI_RUNSOURCE* s, bool packed) {
  for (int32_t y = 0; y < bmap->SizeY; ++y) {
    uint8_t* row = bmap->Start + static_cast<ptrdiff_t>(y) * bmap->ByteLen;
    for (int32_t x = 0; x < bmap->SizeX; ++x)
      if (!NextByte(s, packed, row + x)) return false;
  }
  return true;
}

bool ReadPlanar(BMAP* bmap, LSI_RUNSOURCE* s, const LSI_IFFINFO& info) {
  const int32_t planeBytes = (info.Width + 15) / 16 * 2;
  const int32_t planes = info.Planes + (info.Masking == kMaskPlane ? 1 : 0);
  const bool packed = info.Compression != 0;
  for (int32_t y = 0; y < bmap->SizeY; ++y) {
    uint8_t* row = bmap->Start + static_cast<ptrdiff_t>(y) * bmap->ByteLen;
    for (int32_t p = 0; p < planes; ++p) {
      for (int32_t i = 0; i < planeBytes; ++i) {
        uint8_t byte;
        if (!NextByte(s, packed, &byte)) return false;
        const int32_t count = std::min(8, bmap->SizeX - 8 * i);
        if (p < info.Planes && count > 0) LSI_PlaneToChunky(byte, row + 8 * i, p, count);
      }
    }
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

  BMAP* bmap = LSI_CreatePictureBmap(width, info.Height, 8, heap);
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
  for (int32_t i = 0; i < count && i < 8; ++i) {
    const uint8_t bit = (byte >> (7 - i)) & 1;
    if (plane == 0)
      pixels[i] = bit;
    else
      pixels[i] = static_cast<uint8_t>(pixels[i] | (bit << plane));
  }
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
