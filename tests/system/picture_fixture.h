// Fixture and test encoders of the picture-file tests: TGA, IFF and "Radoro"
// files built byte by byte, run-length coders for each, and reading a
// bitmap's pixels back. The fixture checks that every test gives back what
// it took and leaves the default heap's direction as it found it.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "system/heap.h"
#include "system/picture.h"
#include "system/pixel.h"
#include "tests/system/bmap_fixture.h"

namespace ztest {

using Bytes = std::vector<uint8_t>;

inline void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  WriteFile(path, std::string(bytes.begin(), bytes.end()));
}
inline Bytes ReadBytes(const std::string& path) {
  const std::string text = ReadFile(path);
  return Bytes(text.begin(), text.end());
}
inline void PutLE16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutBE16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v >> 8));
  b.push_back(static_cast<uint8_t>(v));
}
inline void PutBE32(Bytes& b, uint32_t v) {
  PutBE16(b, v >> 16);
  PutBE16(b, v & 0xFFFF);
}
inline void PutPixel(Bytes& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline Bytes Cut(const Bytes& b, size_t length) {
  return Bytes(b.begin(), b.begin() + static_cast<long>(length));
}

// Deterministic pixel values of the given bits, with runs and noise mixed.
inline std::vector<uint32_t> TestPixels(int width, int height, int bytesPerPixel, uint32_t seed = 1) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width * height));
  const uint32_t mask = bytesPerPixel == 4 ? 0xFFFFFFFFu : (1u << (8 * bytesPerPixel)) - 1;
  uint32_t state = seed * 2654435761u + 12345;
  for (size_t i = 0; i < pixels.size(); ++i) {
    state = state * 1664525u + 1013904223u;
    const bool flat = (i / 5) % 3 == 0;  // every third group of five is one colour
    pixels[i] = (flat ? 0x5A3C7E91u * static_cast<uint32_t>(i / 15 + 1) : state >> 3) & mask;
  }
  return pixels;
}

// The pixels of a bitmap, top row first, its padding left out.
inline std::vector<uint32_t> PixelsOf(BMAP* bmap) {
  std::vector<uint32_t> out;
  LS_LockBmap(bmap);
  for (int32_t y = 0; y < bmap->SizeY; ++y)
    for (int32_t x = 0; x < bmap->SizeX; ++x)
      out.push_back(LSI_LoadPixel(LSI_PixelAt(bmap, x, y), LSI_BytesPerPixel(bmap)));
  LS_UnlockBmap(bmap);
  return out;
}

// TGA -----------------------------------------------------------------

struct TgaSpec {
  int width = 0, height = 0;
  uint8_t imageType = 2, depth = 24, descriptor = 0x20;
  uint8_t mapType = 0, mapBits = 0;
  uint16_t mapLength = 0;
  std::string id;
};

inline Bytes TgaHeader(const TgaSpec& s) {
  Bytes b;
  b.push_back(static_cast<uint8_t>(s.id.size()));
  b.push_back(s.mapType);
  b.push_back(s.imageType);
  PutLE16(b, 0);
  PutLE16(b, s.mapLength);
  b.push_back(s.mapBits);
  PutLE16(b, 0);
  PutLE16(b, 0);
  PutLE16(b, static_cast<uint32_t>(s.width));
  PutLE16(b, static_cast<uint32_t>(s.height));
  b.push_back(s.depth);
  b.push_back(s.descriptor);
  b.insert(b.end(), s.id.begin(), s.id.end());
  b.insert(b.end(), static_cast<size_t>(s.mapLength) * ((s.mapBits + 7) / 8), 0x77);
  return b;
}

// Pixels (top row first) as the file stores them: rows in file order.
inline Bytes TgaRows(const std::vector<uint32_t>& pixels, int width, int height, int bytes, bool topDown) {
  Bytes b;
  for (int r = 0; r < height; ++r) {
    const int y = topDown ? r : height - 1 - r;
    for (int x = 0; x < width; ++x) PutPixel(b, pixels[static_cast<size_t>(y * width + x)], bytes);
  }
  return b;
}

// Run-length codes a stream of pixels; with rowWidth, packets stop at each
// row's end, else they run on across rows.
inline Bytes TgaRle(const Bytes& raw, int bytes, int rowWidth = 0) {
  const size_t unit = static_cast<size_t>(bytes), count = raw.size() / unit;
  auto same = [&](size_t a, size_t b) {
    return std::equal(&raw[a * unit], &raw[a * unit] + unit, &raw[b * unit]);
  };
  auto limit = [&](size_t i) {
    size_t end = std::min(count, i + 128);
    if (rowWidth)
      end = std::min(end, (i / static_cast<size_t>(rowWidth) + 1) * static_cast<size_t>(rowWidth));
    return end;
  };
  Bytes out;
  for (size_t i = 0; i < count;) {
    const size_t end = limit(i);
    size_t run = 1;
    while (i + run < end && same(i, i + run)) ++run;
    if (run >= 2) {
      out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
      out.insert(out.end(), &raw[i * unit], &raw[i * unit] + unit);
      i += run;
      continue;
    }
    size_t n = 1;
    while (i + n < end && !(i + n + 1 < end && same(i + n, i + n + 1))) ++n;
    out.push_back(static_cast<uint8_t>(n - 1));
    out.insert(out.end(), &raw[i * unit], &raw[(i + n) * unit]);
    i += n;
  }
  return out;
}

// A whole TGA file of the pixels.
inline Bytes TgaFile(TgaSpec spec, const std::vector<uint32_t>& pixels, bool packed,
                     bool packetsCrossRows = true) {
  const int bytes = (spec.depth + 7) / 8;
  spec.imageType = packed ? 10 : spec.mapType ? 1 : 2;
  Bytes b = TgaHeader(spec);
  const Bytes rows = TgaRows(pixels, spec.width, spec.height, bytes, (spec.descriptor & 0x20) != 0);
  const Bytes body = packed ? TgaRle(rows, bytes, packetsCrossRows ? 0 : spec.width) : rows;
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

// IFF -----------------------------------------------------------------

inline Bytes IffChunk(const char* id, const Bytes& data, bool pad = true) {
  Bytes b(id, id + 4);
  PutBE32(b, static_cast<uint32_t>(data.size()));
  b.insert(b.end(), data.begin(), data.end());
  if (pad && (data.size() & 1)) b.push_back(0);
  return b;
}

inline Bytes IffForm(const char* type, const std::vector<Bytes>& chunks) {
  Bytes inner(type, type + 4);
  for (const Bytes& c : chunks) inner.insert(inner.end(), c.begin(), c.end());
  Bytes b{'F', 'O', 'R', 'M'};
  PutBE32(b, static_cast<uint32_t>(inner.size()));
  b.insert(b.end(), inner.begin(), inner.end());
  return b;
}

inline Bytes Bmhd(int width, int height, int planes, int masking, int compression) {
  Bytes b;
  PutBE16(b, static_cast<uint32_t>(width));
  PutBE16(b, static_cast<uint32_t>(height));
  PutBE16(b, 0);
  PutBE16(b, 0);
  b.push_back(static_cast<uint8_t>(planes));
  b.push_back(static_cast<uint8_t>(masking));
  b.push_back(static_cast<uint8_t>(compression));
  b.push_back(0);
  PutBE16(b, 0);
  b.push_back(10);
  b.push_back(11);
  PutBE16(b, static_cast<uint32_t>(width));
  PutBE16(b, static_cast<uint32_t>(height));
  return b;
}

// ByteRun1 of a stream: runs of 3 or more as (257 - n, value), the rest as
// literal packets; packets may cross rows.
inline Bytes ByteRun1(const Bytes& raw) {
  Bytes out;
  for (size_t i = 0; i < raw.size();) {
    size_t run = 1;
    while (i + run < raw.size() && run < 128 && raw[i + run] == raw[i]) ++run;
    if (run >= 3) {
      out.push_back(static_cast<uint8_t>(257 - run));
      out.push_back(raw[i]);
      i += run;
      continue;
    }
    size_t n = 0;
    while (i + n < raw.size() && n < 128) {
      if (i + n + 2 < raw.size() && raw[i + n] == raw[i + n + 1] && raw[i + n] == raw[i + n + 2]) break;
      ++n;
    }
    out.push_back(static_cast<uint8_t>(n - 1));
    out.insert(out.end(), raw.begin() + static_cast<long>(i), raw.begin() + static_cast<long>(i + n));
    i += n;
  }
  return out;
}

// The plane rows of an ILBM body: per row, each plane (then the mask plane
// when asked, all ones) of ((width + 15) / 16) x 2 bytes.
inline Bytes IlbmPlanes(const std::vector<uint8_t>& pixels, int width, int height, int planes, bool mask) {
  const int rowBytes = (width + 15) / 16 * 2;
  Bytes b;
  for (int y = 0; y < height; ++y) {
    for (int p = 0; p < planes + (mask ? 1 : 0); ++p) {
      for (int i = 0; i < rowBytes; ++i) {
        uint8_t byte = 0;
        for (int bit = 0; bit < 8; ++bit) {
          const int x = i * 8 + bit;
          const bool on = x < width && (p == planes || (pixels[static_cast<size_t>(y * width + x)] >> p) & 1);
          if (on) byte = static_cast<uint8_t>(byte | (0x80 >> bit));
        }
        b.push_back(byte);
      }
    }
  }
  return b;
}

// "Radoro" ---------------------------------------------------------------

inline Bytes BmaHeader(int width, int height, int rowBytes, int depth, int packing) {
  Bytes b{'R', 'a', 'd', 'o', 'r', 'o'};
  b.resize(24, 0xEE);  // bytes not read
  PutLE16(b, static_cast<uint32_t>(width));
  PutLE16(b, static_cast<uint32_t>(height));
  PutLE16(b, static_cast<uint32_t>(rowBytes));
  b.push_back(static_cast<uint8_t>(depth));
  b.push_back(static_cast<uint8_t>(packing));
  PutLE16(b, 0);
  return b;
}

// One row run-length coded: runs of 3 or more as (0x80 | n, value), the
// rest in literal packets of up to 127 bytes.
inline Bytes BmaPackRow(const Bytes& row) {
  Bytes out;
  for (size_t i = 0; i < row.size();) {
    size_t run = 1;
    while (i + run < row.size() && run < 127 && row[i + run] == row[i]) ++run;
    if (run >= 3) {
      out.push_back(static_cast<uint8_t>(0x80 | run));
      out.push_back(row[i]);
      i += run;
      continue;
    }
    size_t n = 0;
    while (i + n < row.size() && n < 127) {
      if (i + n + 2 < row.size() && row[i + n] == row[i + n + 1] && row[i + n] == row[i + n + 2]) break;
      ++n;
    }
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), row.begin() + static_cast<long>(i), row.begin() + static_cast<long>(i + n));
    i += n;
  }
  return out;
}

inline Bytes BmaFile(const std::vector<uint32_t>& pixels, int width, int height, int depth, int packing) {
  const int bytes = depth / 8;
  Bytes b = BmaHeader(width, height, width * bytes, depth, packing);
  for (int y = 0; y < height; ++y) {
    Bytes row;
    for (int x = 0; x < width; ++x) PutPixel(row, pixels[static_cast<size_t>(y * width + x)], bytes);
    const Bytes coded = packing ? BmaPackRow(row) : row;
    b.insert(b.end(), coded.begin(), coded.end());
  }
  return b;
}

// Fixture ---------------------------------------------------------------

class PictureTest : public BmapTest {
 protected:
  void SetUp() override {
    BmapTest::SetUp();
    nbFont_ = LSI_Var.NbFont;
    free_ = LS_GetFreeMem();
  }
  void TearDown() override {
    EXPECT_EQ(HeapDirection(), 0u) << "heap direction left flipped";
    EXPECT_EQ(LSI_Var.NbFont, nbFont_) << "fonts left";
    EXPECT_EQ(LS_GetFreeMem(), free_) << "heap bytes left";
    BmapTest::TearDown();
  }

  static uint32_t HeapDirection() { return LSI_GetHeapOf(LS_DefaultHeap)->Direction; }

  // Writes the bytes as C:\<name> and returns the name.
  std::string Put(const std::string& name, const Bytes& bytes) {
    WriteFileBytes(root_ + "/" + name, bytes);
    return name;
  }

  // Loads with the reader; a bitmap comes back freed, its pixels returned.
  // Checks that a load that fails leaves the counts as they were.
  template <typename Reader>
  bool Load(Reader reader, const std::string& name, std::vector<uint32_t>* pixels = nullptr,
            BMAP** kept = nullptr) {
    const int16_t allocs = LSI_Var.NbAlloc, bmaps = LSI_Var.NbBmap;
    const uint32_t freeBytes = LS_GetFreeMem();
    BMAP* b = reader(name.c_str(), uintptr_t{0});
    EXPECT_EQ(HeapDirection(), 0u);
    if (!b) {
      EXPECT_EQ(LSI_Var.NbAlloc, allocs);
      EXPECT_EQ(LSI_Var.NbBmap, bmaps);
      EXPECT_EQ(LS_GetFreeMem(), freeBytes);
      return false;
    }
    EXPECT_EQ(LSI_Var.NbAlloc, allocs + 2);  // the record and the pixels; the file block is gone
    if (pixels) *pixels = PixelsOf(b);
    if (kept)
      *kept = b;
    else
      LS_FreeBmap(b);
    return true;
  }

  int16_t nbFont_ = 0;
  uint32_t free_ = 0;
};

}  // namespace ztest
