// Fixture and test encoders of the picture-file tests: TGA, IFF and "Radoro"
// files built byte by byte with one run-length packer, and reading a
// bitmap's pixels back. The fixture checks that every test gives back what
// it took and leaves the default heap's direction as it found it.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "system/heap.h"
#include "system/picture.h"
#include "system/pixel.h"
#include "tests/support/pixels.h"
#include "tests/system/bmap_fixture.h"

namespace ztest {

using Bytes = std::vector<uint8_t>;

inline Bytes ReadBytes(const std::string& path) {
  const std::string text = ReadFile(path);
  return Bytes(text.begin(), text.end());
}
inline void PutLE(Bytes& b, uint32_t v, int bytes = 2) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void PutBE(Bytes& b, uint32_t v, int bytes = 2) {
  for (int i = bytes - 1; i >= 0; --i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline Bytes Cut(const Bytes& b, size_t length) { return Bytes(b.begin(), b.begin() + static_cast<long>(length)); }

// Deterministic pixel values of the given bytes, with runs and noise mixed.
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

// Run-length codes units of `unit` bytes: a run of at least minRun equal
// units as run(n) and the unit, the rest as literal(n) and n units; at
// most maxCount units a packet, and packets stop every `stop` units when
// stop is not 0.
struct Packer {
  size_t unit = 1, minRun = 3, maxCount = 128, stop = 0;
  std::function<uint8_t(size_t)> run, literal;

  Bytes operator()(const Bytes& raw) const {
    const size_t count = raw.size() / unit;
    auto same = [&](size_t a, size_t b) { return std::equal(&raw[a * unit], &raw[a * unit] + unit, &raw[b * unit]); };
    auto runAt = [&](size_t i, size_t end) {
      size_t n = 1;
      while (i + n < end && same(i, i + n)) ++n;
      return n;
    };
    Bytes out;
    for (size_t i = 0; i < count;) {
      size_t end = std::min(count, i + maxCount);
      if (stop) end = std::min(end, (i / stop + 1) * stop);
      size_t n = runAt(i, end);
      if (n >= minRun) {
        out.push_back(run(n));
        out.insert(out.end(), &raw[i * unit], &raw[i * unit] + unit);
      } else {
        for (n = 1; i + n < end && runAt(i + n, end) < minRun;) ++n;
        out.push_back(literal(n));
        out.insert(out.end(), &raw[i * unit], &raw[(i + n) * unit]);
      }
      i += n;
    }
    return out;
  }
};

// ByteRun1 of IFF bodies: runs as 257 - n, literals as n - 1; packets may cross rows.
inline Bytes ByteRun1(const Bytes& raw) {
  return Packer{1, 3, 128, 0, [](size_t n) { return static_cast<uint8_t>(257 - n); },
                [](size_t n) { return static_cast<uint8_t>(n - 1); }}(raw);
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
  Bytes b{static_cast<uint8_t>(s.id.size()), s.mapType, s.imageType, 0, 0};
  PutLE(b, s.mapLength);
  b.push_back(s.mapBits);
  PutLE(b, 0, 4);  // origin
  PutLE(b, static_cast<uint32_t>(s.width));
  PutLE(b, static_cast<uint32_t>(s.height));
  b.insert(b.end(), {s.depth, s.descriptor});
  b.insert(b.end(), s.id.begin(), s.id.end());
  b.insert(b.end(), static_cast<size_t>(s.mapLength) * ((s.mapBits + 7) / 8), 0x77);
  return b;
}

// A whole TGA file of the pixels (top row first); run-length packets cross
// rows unless asked not to.
inline Bytes TgaFile(TgaSpec spec, const std::vector<uint32_t>& pixels, bool packed, bool packetsCrossRows = true) {
  const int bytes = (spec.depth + 7) / 8;
  spec.imageType = packed ? 10 : spec.mapType ? 1 : 2;
  Bytes rows;
  for (int r = 0; r < spec.height; ++r) {
    const int y = (spec.descriptor & 0x20) ? r : spec.height - 1 - r;
    for (int x = 0; x < spec.width; ++x) PutLE(rows, pixels[static_cast<size_t>(y * spec.width + x)], bytes);
  }
  const Packer tga{static_cast<size_t>(bytes), 2, 128, packetsCrossRows ? 0 : static_cast<size_t>(spec.width),
                   [](size_t n) { return static_cast<uint8_t>(0x80 | (n - 1)); },
                   [](size_t n) { return static_cast<uint8_t>(n - 1); }};
  Bytes b = TgaHeader(spec);
  const Bytes body = packed ? tga(rows) : rows;
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

// IFF -----------------------------------------------------------------

inline Bytes IffChunk(const char* id, const Bytes& data, bool pad = true) {
  Bytes b(id, id + 4);
  PutBE(b, static_cast<uint32_t>(data.size()), 4);
  b.insert(b.end(), data.begin(), data.end());
  if (pad && (data.size() & 1)) b.push_back(0);
  return b;
}

inline Bytes IffForm(const char* type, const std::vector<Bytes>& chunks) {
  Bytes inner(type, type + 4);
  for (const Bytes& c : chunks) inner.insert(inner.end(), c.begin(), c.end());
  Bytes b{'F', 'O', 'R', 'M'};
  PutBE(b, static_cast<uint32_t>(inner.size()), 4);
  b.insert(b.end(), inner.begin(), inner.end());
  return b;
}

inline Bytes Bmhd(int width, int height, int planes, int masking, int compression) {
  Bytes b;
  PutBE(b, static_cast<uint32_t>(width));
  PutBE(b, static_cast<uint32_t>(height));
  PutBE(b, 0, 4);
  b.insert(b.end(), {static_cast<uint8_t>(planes), static_cast<uint8_t>(masking), static_cast<uint8_t>(compression),
                     0, 0, 0, 10, 11});
  PutBE(b, static_cast<uint32_t>(width));
  PutBE(b, static_cast<uint32_t>(height));
  return b;
}

// A PBM or ILBM file of a header and a body, the body coded when asked.
inline Bytes IffPicture(const char* type, const Bytes& bmhd, const Bytes& raw, bool packed) {
  return IffForm(type, {IffChunk("BMHD", bmhd), IffChunk("BODY", packed ? ByteRun1(raw) : raw, false)});
}

// The plane rows of an ILBM body: per row, each plane (then the mask plane
// when asked, all ones) of ((width + 15) / 16) x 2 bytes.
inline Bytes IlbmPlanes(const std::vector<uint8_t>& pixels, int width, int height, int planes, bool mask) {
  const int rowBytes = (width + 15) / 16 * 2;
  Bytes b;
  for (int y = 0; y < height; ++y)
    for (int p = 0; p < planes + (mask ? 1 : 0); ++p)
      for (int i = 0; i < rowBytes; ++i) {
        uint8_t byte = 0;
        for (int bit = 0; bit < 8; ++bit) {
          const int x = i * 8 + bit;
          if (x < width && (p == planes || (pixels[static_cast<size_t>(y * width + x)] >> p) & 1))
            byte = static_cast<uint8_t>(byte | (0x80 >> bit));
        }
        b.push_back(byte);
      }
  return b;
}

// "Radoro" ---------------------------------------------------------------

inline Bytes BmaHeader(int width, int height, int rowBytes, int depth, int packing) {
  Bytes b(24, 0xEE);  // bytes 6 to 23 are not read
  std::copy_n("Radoro", 6, b.begin());
  PutLE(b, static_cast<uint32_t>(width));
  PutLE(b, static_cast<uint32_t>(height));
  PutLE(b, static_cast<uint32_t>(rowBytes));
  b.insert(b.end(), {static_cast<uint8_t>(depth), static_cast<uint8_t>(packing), 0, 0});
  return b;
}

// Rows run-length coded one by one: runs as 0x80 | n, literals as n, at
// most 127 bytes a packet.
inline Bytes BmaFile(const std::vector<uint32_t>& pixels, int width, int height, int depth, int packing) {
  const int bytes = depth / 8;
  const Packer bma{1, 3, 127, static_cast<size_t>(width * bytes), [](size_t n) { return static_cast<uint8_t>(0x80 | n); },
                   [](size_t n) { return static_cast<uint8_t>(n); }};
  Bytes rows;
  for (uint32_t v : pixels) PutLE(rows, v, bytes);
  Bytes b = BmaHeader(width, height, width * bytes, depth, packing);
  const Bytes body = packing ? bma(rows) : rows;
  b.insert(b.end(), body.begin(), body.end());
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
    FreeOwned();
    EXPECT_EQ(HeapDirection(), 0u) << "heap direction left flipped";
    EXPECT_EQ(LSI_Var.NbFont, nbFont_) << "fonts left";
    EXPECT_EQ(LS_GetFreeMem(), free_) << "heap bytes left";
    BmapTest::TearDown();
  }

  static uint32_t HeapDirection() { return LSI_GetHeapOf(LS_DefaultHeap)->Direction; }

  // Writes the bytes as C:\<name> and returns the name.
  std::string Put(const std::string& name, const Bytes& bytes) {
    WriteFile(root_ + "/" + name, std::string(bytes.begin(), bytes.end()));
    return name;
  }

  // Loads with the reader; a bitmap comes back freed, its pixels returned.
  // Checks that a load that fails leaves the counts as they were.
  template <typename Reader>
  bool Load(Reader reader, const std::string& name, std::vector<uint32_t>* pixels = nullptr, BMAP** kept = nullptr) {
    const int16_t allocs = LSI_Var.NbAlloc, bmaps = LSI_Var.NbBmap;
    const uint32_t freeBytes = LS_GetFreeMem();
    BMAP* b = reader(name.c_str(), uintptr_t{0});
    EXPECT_EQ(HeapDirection(), 0u);
    if (!b) {
      EXPECT_EQ((std::tuple{LSI_Var.NbAlloc, LSI_Var.NbBmap, LS_GetFreeMem()}), (std::tuple{allocs, bmaps, freeBytes}));
      return false;
    }
    EXPECT_EQ(LSI_Var.NbAlloc, allocs + 2);  // the record and the pixels; the file block is gone
    if (pixels) *pixels = PixelsOf(b);
    kept ? void(*kept = b) : LS_FreeBmap(b);
    return true;
  }

  int16_t nbFont_ = 0;
  uint32_t free_ = 0;
};

}  // namespace ztest
