// The chunks of a film frame: palettes, line deltas, run-length and
// uncompressed pictures, black. Every read stays inside its chunk and
// every write inside the frame bitmap; data that runs past a row, the last
// line or the chunk is clipped there.
#include <algorithm>
#include <cstring>

#include "system/error.h"
#include "system/fli.h"
#include "system/util.h"

namespace {

// Reads a chunk's bytes; every read is preceded by Has.
struct Reader {
  const uint8_t* at;
  const uint8_t* end;
  bool Has(size_t n) const { return static_cast<size_t>(end - at) >= n; }
  size_t Left() const { return static_cast<size_t>(end - at); }
  uint8_t Byte() { return *at++; }
  uint16_t Word() {
    const uint16_t v = LS_ReadLEWord(at);
    at += 2;
    return v;
  }
};

// Where pixels go: the rows of the frame bitmap as it stands, taking the
// film's bytes (8-bit) or their colours (16-bit). Depth 0 leaves the
// bitmap untouched.
struct Target {
  uint8_t* start = nullptr;
  int64_t byteLen = 0, width = 0, height = 0;
  int depth = 0;
  const uint32_t* lookup = nullptr;
};

Target TargetOf(const FLI* fli) {
  Target t;
  const BMAP* b = fli->Bmap;
  if (!b || !b->Start || b->SizeX <= 0 || b->SizeY <= 0) return t;
  if (b->Format == BMAP_PAL8 && b->Depth == 8)
    t.depth = 8;
  else if ((b->Format == BMAP_RGB555 || b->Format == BMAP_RGB565) && b->Depth == 16)
    t.depth = 16;
  else
    return t;
  t.start = b->Start;
  t.byteLen = b->ByteLen;
  t.width = b->SizeX;
  t.height = b->SizeY;
  t.lookup = fli->Lookup;
  return t;
}

// Clips n pixels at (x, y) to the row; false when none is left. Leaves the
// first pixel, the count and how many source pixels were dropped in front.
bool Clip(const Target& t, int64_t& x, int64_t y, int64_t& n, int64_t& dropped) {
  if (t.depth == 0 || y < 0 || y >= t.height || n <= 0) return false;
  const int64_t first = std::max<int64_t>(x, 0), last = std::min(x + n, t.width);
  if (first >= last) return false;
  dropped = first - x;
  x = first;
  n = last - first;
  return true;
}

inline void Store16(uint8_t* at, uint32_t value) {
  const uint16_t v = static_cast<uint16_t>(value);
  std::memcpy(at, &v, 2);
}

void PutSpan(const Target& t, int64_t x, int64_t y, const uint8_t* source, int64_t n) {
  int64_t dropped = 0;
  if (!Clip(t, x, y, n, dropped)) return;
  source += dropped;
  uint8_t* row = t.start + y * t.byteLen;
  if (t.depth == 8) {
    std::memcpy(row + x, source, static_cast<size_t>(n));
    return;
  }
  uint8_t* at = row + 2 * x;
  for (int64_t i = 0; i < n; ++i, at += 2) Store16(at, t.lookup[source[i]]);
}

void FillSpan(const Target& t, int64_t x, int64_t y, uint8_t value, int64_t n) {
  int64_t dropped = 0;
  if (!Clip(t, x, y, n, dropped)) return;
  uint8_t* row = t.start + y * t.byteLen;
  if (t.depth == 8) {
    std::memset(row + x, value, static_cast<size_t>(n));
    return;
  }
  const uint32_t colour = t.lookup[value];
  uint8_t* at = row + 2 * x;
  for (int64_t i = 0; i < n; ++i, at += 2) Store16(at, colour);
}

// A word repeated: pixels low, high, low, high... from x.
void FillPairs(const Target& t, int64_t x, int64_t y, uint8_t low, uint8_t high, int64_t pairs) {
  int64_t n = 2 * pairs, dropped = 0;
  if (!Clip(t, x, y, n, dropped)) return;
  const uint8_t pixel[2] = {low, high};
  uint8_t* row = t.start + y * t.byteLen;
  for (int64_t i = 0; i < n; ++i) {
    const uint8_t v = pixel[(dropped + i) & 1];
    if (t.depth == 8)
      row[x + i] = v;
    else
      Store16(row + 2 * (x + i), t.lookup[v]);
  }
}

// Scales a 6-bit component to 8 bits as stored: 63 gives 255.
uint8_t Scale64(uint8_t c) {
  c &= 0x3F;
  return static_cast<uint8_t>(c << 2 | c >> 4);
}

// Rebuilds the palette (8-bit frames) or the colour lookup (16-bit) from
// all 256 colours, by the frame bitmap's format.
void RefreshColours(FLI* fli) {
  const int32_t format = fli->Bmap ? fli->Bmap->Format : 0;
  if (format != BMAP_PAL8 && format != BMAP_RGB555 && format != BMAP_RGB565) {
    LS_Error(0, "Unsupported render depth for .FLI");
    return;
  }
  for (int i = 0; i < 256; ++i) {
    const uint32_t r = fli->Colors[i] >> 16 & 0xFF, g = fli->Colors[i] >> 8 & 0xFF, b = fli->Colors[i] & 0xFF;
    if (format == BMAP_PAL8)
      fli->Palette.Entry[i] = {static_cast<uint8_t>(LS_Comp6Table[r]), static_cast<uint8_t>(LS_Comp6Table[g]),
                               static_cast<uint8_t>(LS_Comp6Table[b])};
    else if (format == BMAP_RGB555)
      fli->Lookup[i] = LS_Comp5Table[r] << 10 | LS_Comp5Table[g] << 5 | LS_Comp5Table[b];
    else
      fli->Lookup[i] = LS_Comp5Table[r] << 11 | LS_Comp6Table[g] << 5 | LS_Comp5Table[b];
  }
}

// COLOR_256 and COLOR_64: packets of a skip and a count (0 means 256) of
// colours; colours past 255 end the chunk.
void DecodePalette(FLI* fli, Reader in, bool sixBits) {
  if (in.Has(2)) {
    uint32_t packets = in.Word(), index = 0;
    for (; packets > 0 && index < 256 && in.Has(2); --packets) {
      index += in.Byte();
      uint32_t count = in.Byte();
      if (count == 0) count = 256;
      for (; count > 0 && index < 256 && in.Has(3); --count, ++index) {
        uint8_t rgb[3] = {in.Byte(), in.Byte(), in.Byte()};
        if (sixBits)
          for (uint8_t& c : rgb) c = Scale64(c);
        fli->Colors[index] = static_cast<uint32_t>(rgb[0]) << 16 | static_cast<uint32_t>(rgb[1]) << 8 | rgb[2];
      }
    }
  }
  fli->PalChanged = 1;
  RefreshColours(fli);
}

// The packets of one DELTA_FLC line at y.
void DeltaFlcLine(const Target& t, Reader& in, int64_t y, uint32_t packets) {
  int64_t x = 0;
  for (; packets > 0 && in.Has(2); --packets) {
    x += in.Byte();
    const int8_t count = static_cast<int8_t>(in.Byte());
    if (count > 0) {
      const size_t bytes = std::min<size_t>(2 * static_cast<size_t>(count), in.Left());
      PutSpan(t, x, y, in.at, static_cast<int64_t>(bytes));
      in.at += bytes;
      x += static_cast<int64_t>(bytes);
    } else {
      if (!in.Has(2)) break;
      const uint8_t low = in.Byte(), high = in.Byte();
      if (count < 0) {
        FillPairs(t, x, y, low, high, -count);
        x += -2 * count;
      }
    }
  }
}

// DELTA_FLC: a count of lines, each led by words that skip lines, set the
// last pixel or give its packet count.
void DecodeDeltaFlc(const Target& t, Reader in) {
  if (!in.Has(2)) return;
  uint32_t lines = in.Word();
  for (int64_t y = 0; lines > 0 && y < t.height && in.Has(2);) {
    uint16_t word = in.Word();
    const uint16_t code = word & 0xC000;
    if (code == 0xC000) {
      y -= static_cast<int16_t>(word);
      continue;
    }
    --lines;
    if (code == 0x4000) {
      LS_Error(0, "Unwanted code in delta flc");
      ++y;
      continue;
    }
    if (code == 0x8000) {
      const uint8_t last = static_cast<uint8_t>(word & 0xFF);
      PutSpan(t, t.width - 1, y, &last, 1);
      if (!in.Has(2)) break;
      word = in.Word();
    }
    DeltaFlcLine(t, in, y, word);
    ++y;
  }
}

// DELTA_FLI: a first line and a count of lines, each of byte packets.
void DecodeDeltaFli(const Target& t, Reader in) {
  if (!in.Has(4)) return;
  int64_t y = in.Word();
  for (uint32_t lines = in.Word(); lines > 0 && y < t.height && in.Has(1); --lines, ++y) {
    int64_t x = 0;
    for (uint32_t packets = in.Byte(); packets > 0 && in.Has(2); --packets) {
      x += in.Byte();
      const int8_t count = static_cast<int8_t>(in.Byte());
      if (count > 0) {
        const size_t bytes = std::min<size_t>(static_cast<size_t>(count), in.Left());
        PutSpan(t, x, y, in.at, static_cast<int64_t>(bytes));
        in.at += bytes;
        x += static_cast<int64_t>(bytes);
      } else if (count < 0) {
        if (!in.Has(1)) break;
        FillSpan(t, x, y, in.Byte(), -count);
        x += -count;
      }
    }
  }
}

// BYTE_RUN: each row a packet-count byte (not needed), then runs (count
// > 0, one byte) and copies (count < 0) until the row is full.
void DecodeByteRun(const Target& t, Reader in) {
  for (int64_t y = 0; y < t.height && in.Has(1); ++y) {
    in.Byte();
    for (int64_t x = 0; x < t.width && in.Has(1);) {
      const int8_t count = static_cast<int8_t>(in.Byte());
      if (count < 0) {
        const size_t bytes = std::min<size_t>(static_cast<size_t>(-count), in.Left());
        PutSpan(t, x, y, in.at, static_cast<int64_t>(bytes));
        in.at += bytes;
        x += static_cast<int64_t>(bytes);
      } else if (count > 0) {
        if (!in.Has(1)) break;
        FillSpan(t, x, y, in.Byte(), count);
        x += count;
      }
    }
  }
}

// FLI_COPY: the picture row after row, uncompressed.
void DecodeCopy(const Target& t, Reader in) {
  for (int64_t y = 0; y < t.height && in.Left() > 0; ++y) {
    const size_t bytes = std::min<size_t>(static_cast<size_t>(t.width), in.Left());
    PutSpan(t, 0, y, in.at, static_cast<int64_t>(bytes));
    in.at += bytes;
  }
}

void DecodeBlack(FLI* fli) {
  BMAP* b = fli->Bmap;
  if (!b) return;
  LS_UnlockBmap(b);
  LS_ClearBmap(b);
  LS_LockBmap(b);
}

void DecodeChunk(FLI* fli, uint16_t type, Reader in) {
  switch (type) {
    case FLI_COLOR_256: DecodePalette(fli, in, false); break;
    case FLI_COLOR_64: DecodePalette(fli, in, true); break;
    case FLI_DELTA_FLC: DecodeDeltaFlc(TargetOf(fli), in); break;
    case FLI_DELTA_FLI: DecodeDeltaFli(TargetOf(fli), in); break;
    case FLI_BLACK: DecodeBlack(fli); break;
    case FLI_BYTE_RUN: DecodeByteRun(TargetOf(fli), in); break;
    case FLI_COPY: DecodeCopy(TargetOf(fli), in); break;
    case FLI_PSTAMP: break;
    default: LS_Error(0, "Unrecognized Chunk 0x%X", type); break;
  }
}

}  // namespace

void LSI_DecodeFliChunks(FLI* fli, const uint8_t* data, uint32_t size, uint32_t count) {
  uint32_t at = 0;
  for (; count > 0; --count) {
    if (size - at < FLI_CHUNK_HEADER_SIZE) {
      LS_Error(0, "Bad .FLC format");
      break;
    }
    const uint32_t chunkSize = LS_ReadLELong(data + at);
    const uint16_t type = LS_ReadLEWord(data + at + 4);
    if (chunkSize < FLI_CHUNK_HEADER_SIZE || chunkSize > size - at) {
      LS_Error(0, "Bad .FLC format");
      break;
    }
    fli->ChunkData = data + at + FLI_CHUNK_HEADER_SIZE;
    DecodeChunk(fli, type, Reader{fli->ChunkData, data + at + chunkSize});
    at += chunkSize;
  }
  fli->ChunkData = nullptr;
}
