// The readers' fast paths against plain decoding, on seeded random
// run-length streams: TGA packets of every pixel size, PCX codes and IFF
// bodies (ILBM planes of 1 to 8 bits with and without a mask, PBM bytes),
// rows of runs and literals at widths 1 to 700, with and without a pad
// byte, runs ending anywhere in a row and at its last byte, runs going on
// into the next row, and streams cut short, followed by more bytes, or
// made of random bytes. The plain decoders below take one byte or pixel
// at a time, as the formats define them. Each stream lies in a block of
// exactly its size, and each row in one of exactly the row's size, so
// that the sanitizers see any access beyond them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "system/picture.h"
#include "tests/system/picture_fixture.h"

namespace {

using ztest::Bytes;

constexpr int kStreams = 10000;  // per reader
constexpr int kMaxWidth = 700;

class Rng {
 public:
  explicit Rng(uint32_t seed) : engine_(seed) {}
  // A number below n (n > 0).
  uint32_t operator()(uint32_t n) { return static_cast<uint32_t>(engine_() % n); }

 private:
  std::mt19937 engine_;
};

// A copy of the bytes in a block of exactly their size.
std::unique_ptr<uint8_t[]> Exact(const Bytes& bytes) {
  auto block = std::make_unique<uint8_t[]>(bytes.size());
  if (!bytes.empty()) std::memcpy(block.get(), bytes.data(), bytes.size());
  return block;
}

// A coded stream damaged or not: left whole, followed by more bytes (as
// the palette follows a PCX's rows), cut short, or replaced by random
// bytes. Returns what was done, for messages.
std::string Damage(Rng& rng, Bytes& stream) {
  switch (rng(8)) {
    case 0:
    case 1: return "whole";
    case 2:
    case 3:
    case 4: {
      const size_t more = rng(2) ? 769 : 1 + rng(40);
      for (size_t i = 0; i < more; ++i) stream.push_back(static_cast<uint8_t>(rng(256)));
      return "followed by " + std::to_string(more) + " bytes";
    }
    case 5:
    case 6:
      stream.resize(rng(static_cast<uint32_t>(stream.size()) + 1));
      return "cut to " + std::to_string(stream.size()) + " bytes";
    default:
      stream.resize(rng(static_cast<uint32_t>(stream.size()) * 2 + 2));
      for (uint8_t& b : stream) b = static_cast<uint8_t>(rng(256));
      return "random bytes";
  }
}

// Packet lengths of a stream: mostly short (the fast paths' packets), some
// long, and some that end exactly at the current row's end.
uint32_t PacketLength(Rng& rng, uint32_t most, uint32_t toRowEnd) {
  switch (rng(4)) {
    case 0: return toRowEnd <= most && toRowEnd > 0 ? toRowEnd : 1 + rng(most);
    case 1: return 1 + rng(most);
    default: return 1 + rng(std::min<uint32_t>(most, 8));
  }
}

// Compares the rows two decoders give: each row whole in both or failing in
// both, and a whole row the same. Returns an empty text when they agree.
template <typename Fast, typename Plain>
std::string CompareRows(int height, size_t rowBytes, Fast fast, Plain plain) {
  for (int y = 0; y < height; ++y) {
    const auto a = std::make_unique<uint8_t[]>(rowBytes), b = std::make_unique<uint8_t[]>(rowBytes);
    const bool fastWhole = fast(a.get()), plainWhole = plain(b.get());
    if (fastWhole != plainWhole)
      return "row " + std::to_string(y) + (fastWhole ? " whole, plain: cut short" : " cut short, plain: whole");
    if (!fastWhole) return {};
    const auto at = std::mismatch(a.get(), a.get() + rowBytes, b.get());
    if (at.first != a.get() + rowBytes)
      return "row " + std::to_string(y) + " byte " + std::to_string(at.first - a.get()) + ": " +
             std::to_string(*at.first) + ", plain: " + std::to_string(*at.second);
  }
  return {};
}

// PCX ------------------------------------------------------------------

struct PlainPcx {
  const uint8_t* next;
  const uint8_t* end;
  uint32_t left = 0;
  uint8_t value = 0;

  // Codes are read only while the row needs a byte: a byte below 192 is
  // itself, a byte above gives a run of its low 6 bits (0: nothing) of
  // the byte after it, which may go on into the next row.
  bool Row(uint8_t* row, int bytesPerLine, int keep) {
    for (int x = 0; x < bytesPerLine; ++x) {
      while (left == 0) {
        if (next >= end) return false;
        const uint8_t code = *next++;
        if (code < 0xC0) {
          value = code;
          left = 1;
        } else if ((left = code & 0x3Fu) != 0) {
          if (next >= end) return false;
          value = *next++;
        }
      }
      if (x < keep) row[x] = value;
      --left;
    }
    return true;
  }
};

Bytes PcxStream(Rng& rng, int bytesPerLine, int height) {
  const uint32_t literals = rng(101);  // percent of codes that are literal bytes
  Bytes s;
  const int total = bytesPerLine * height;
  for (int at = 0; at < total;) {
    if (rng(100) < literals) {
      s.push_back(static_cast<uint8_t>(rng(0xC0)));
      ++at;
    } else if (rng(50) == 0) {
      s.push_back(0xC0);  // a run of nothing
    } else {
      const uint32_t n = PacketLength(rng, 63, static_cast<uint32_t>(bytesPerLine - at % bytesPerLine));
      s.insert(s.end(), {static_cast<uint8_t>(0xC0 | n), static_cast<uint8_t>(rng(256))});
      at += static_cast<int>(n);
    }
  }
  return s;
}

TEST(PictureStreams, PcxRowsAsThePlainDecodingGivesThem) {
  Rng rng(116001);
  for (int i = 0; i < kStreams; ++i) {
    const int width = 1 + static_cast<int>(rng(kMaxWidth));
    const int pad = rng(3) ? static_cast<int>(rng(2)) : static_cast<int>(rng(9));
    const int bytesPerLine = width + pad;
    const int height = 1 + static_cast<int>(rng(std::min(12, 1 + 3000 / bytesPerLine)));
    Bytes stream = PcxStream(rng, bytesPerLine, height);
    const std::string damage = Damage(rng, stream);
    const auto data = Exact(stream);
    LSI_RUNSOURCE fast;
    LSI_InitRunSource(&fast, data.get(), data.get() + stream.size());
    PlainPcx plain{data.get(), data.get() + stream.size()};
    const std::string differs = CompareRows(
        height, static_cast<size_t>(width),
        [&](uint8_t* row) { return LSI_UnpackPcxRow(&fast, row, bytesPerLine, width) != 0; },
        [&](uint8_t* row) { return plain.Row(row, bytesPerLine, width); });
    ASSERT_EQ(differs, "") << "stream " << i << ": width " << width << ", " << bytesPerLine << " bytes per line, "
                           << height << " rows, " << damage;
  }
}

// TGA ------------------------------------------------------------------

struct PlainTga {
  const uint8_t* next;
  const uint8_t* end;
  int unit;
  uint32_t left = 0;
  bool repeat = false;
  uint8_t value[4] = {};

  // A head byte gives (low 7 bits) + 1 pixels: repeated (bit 7 set) from
  // the one pixel after it, or the pixels after it; a packet may go on
  // into the next row.
  bool Row(uint8_t* row, int width) {
    for (int x = 0; x < width; ++x, --left) {
      if (left == 0) {
        if (next >= end) return false;
        const uint8_t head = *next++;
        left = (head & 0x7Fu) + 1;
        repeat = head & 0x80;
        if (repeat && !Take(value)) return false;
      }
      if (repeat)
        std::memcpy(row + x * unit, value, static_cast<size_t>(unit));
      else if (!Take(row + x * unit))
        return false;
    }
    return true;
  }
  bool Take(uint8_t* pixel) {
    if (end - next < unit) return false;
    std::memcpy(pixel, next, static_cast<size_t>(unit));
    next += unit;
    return true;
  }
};

Bytes TgaStream(Rng& rng, int width, int height, int unit) {
  const uint32_t runs = rng(101);  // percent of packets that are runs
  Bytes s;
  const int total = width * height;
  auto pixel = [&] {
    for (int k = 0; k < unit; ++k) s.push_back(static_cast<uint8_t>(rng(256)));
  };
  for (int at = 0; at < total;) {
    const uint32_t n = PacketLength(rng, 128, static_cast<uint32_t>(width - at % width));
    const bool run = rng(100) < runs;
    s.push_back(static_cast<uint8_t>((run ? 0x80 : 0) | (n - 1)));
    for (uint32_t k = 0; k < (run ? 1 : n); ++k) pixel();
    at += static_cast<int>(n);
  }
  return s;
}

TEST(PictureStreams, TgaRowsAsThePlainDecodingGivesThem) {
  Rng rng(116002);
  for (int i = 0; i < kStreams; ++i) {
    const int unit = 1 + static_cast<int>(rng(4));
    const int width = 1 + static_cast<int>(rng(kMaxWidth));
    const int height = 1 + static_cast<int>(rng(std::min(12, 1 + 3000 / (width * unit))));
    Bytes stream = TgaStream(rng, width, height, unit);
    const std::string damage = Damage(rng, stream);
    const auto data = Exact(stream);
    LSI_RUNSOURCE fast;
    LSI_InitRunSource(&fast, data.get(), data.get() + stream.size());
    PlainTga plain{data.get(), data.get() + stream.size(), unit};
    const std::string differs = CompareRows(
        height, static_cast<size_t>(width * unit),
        [&](uint8_t* row) { return LSI_UnpackTgaRow(&fast, row, width, unit) != 0; },
        [&](uint8_t* row) { return plain.Row(row, width); });
    ASSERT_EQ(differs, "") << "stream " << i << ": " << unit << " bytes a pixel, width " << width << ", "
                           << height << " rows, " << damage;
  }
}

// IFF ------------------------------------------------------------------

// ByteRun1 or raw bytes, one at a time: control n below 128 copies n + 1
// bytes, above 128 repeats the next byte 257 - n times, 128 does nothing;
// a packet may go on into the next row.
struct PlainByteRun1 {
  const uint8_t* next;
  const uint8_t* end;
  bool packed;
  uint32_t left = 0;
  bool repeat = false;
  uint8_t value = 0;

  bool Byte(uint8_t* out) {
    if (!packed) return Literal(out);
    while (left == 0) {
      if (next >= end) return false;
      const uint8_t control = *next++;
      if (control == 0x80) continue;
      repeat = control > 0x80;
      left = repeat ? 257u - control : control + 1u;
      if (repeat) {
        if (next >= end) return false;
        value = *next++;
      }
    }
    --left;
    if (!repeat) return Literal(out);
    *out = value;
    return true;
  }
  bool Literal(uint8_t* out) {
    if (next >= end) return false;
    *out = *next++;
    return true;
  }
};

Bytes ByteRun1Stream(Rng& rng, int total, int rowBytes) {
  const uint32_t runs = rng(101);
  Bytes s;
  for (int at = 0; at < total;) {
    if (rng(50) == 0) {
      s.push_back(0x80);  // a packet of nothing
      continue;
    }
    const uint32_t n = PacketLength(rng, 128, static_cast<uint32_t>(rowBytes - at % rowBytes));
    if (n >= 2 && rng(100) < runs) {
      s.insert(s.end(), {static_cast<uint8_t>(257 - n), static_cast<uint8_t>(rng(256))});
    } else {
      s.push_back(static_cast<uint8_t>(n - 1));
      for (uint32_t k = 0; k < n; ++k) s.push_back(static_cast<uint8_t>(rng(256)));
    }
    at += static_cast<int>(n);
  }
  return s;
}

struct IffCase {
  bool pbm;
  int width, height, planes, masking, compression;
  std::string Describe() const {
    std::ostringstream o;
    o << (pbm ? "PBM" : "ILBM") << " " << width << " x " << height << ", " << planes << " planes, masking " << masking
      << ", compression " << compression;
    return o.str();
  }
  int BmapWidth() const { return (width + 1) & ~1; }
  int PlaneBytes() const { return (width + 15) / 16 * 2; }
  // Bytes of one row in the body.
  int RowBytes() const { return pbm ? BmapWidth() : PlaneBytes() * (planes + (masking == 1 ? 1 : 0)); }
};

// The bitmap rows the body gives, or nothing when it is cut short: bit 7
// of a plane byte is the first of its eight pixels, plane p gives bit p.
bool PlainIff(const IffCase& c, const Bytes& body, std::vector<Bytes>* rows) {
  PlainByteRun1 source{body.data(), body.data() + body.size(), c.compression != 0};
  Bytes row(static_cast<size_t>(c.RowBytes()));
  for (int y = 0; y < c.height; ++y) {
    for (uint8_t& b : row)
      if (!source.Byte(&b)) return false;
    Bytes pixels(static_cast<size_t>(c.BmapWidth()), 0);
    for (int x = 0; x < c.BmapWidth(); ++x)
      for (int p = 0; p < (c.pbm ? 0 : c.planes); ++p)
        pixels[x] |= static_cast<uint8_t>((row[p * c.PlaneBytes() + x / 8] >> (7 - x % 8) & 1) << p);
    rows->push_back(c.pbm ? row : pixels);
  }
  return true;
}

class PictureStreamsIff : public ztest::PictureTest {};

TEST_F(PictureStreamsIff, IlbmAndPbmPixelsAsThePlainDecodingGivesThem) {
  Rng rng(116003);
  for (int i = 0; i < kStreams; ++i) {
    IffCase c{rng(5) == 0, 1 + static_cast<int>(rng(kMaxWidth)), 0, 8, 0, static_cast<int>(rng(4) != 0)};
    if (!c.pbm) c.planes = 1 + static_cast<int>(rng(8)), c.masking = rng(3) == 0 ? 1 : static_cast<int>(rng(4));
    c.height = 1 + static_cast<int>(rng(std::min(12, 1 + 2000 / c.RowBytes())));
    const int total = c.RowBytes() * c.height;
    Bytes body;
    if (c.compression) {
      body = ByteRun1Stream(rng, total, c.RowBytes());
    } else {
      for (int k = 0; k < total; ++k) body.push_back(static_cast<uint8_t>(rng(256)));
    }
    const std::string damage = Damage(rng, body);
    const Bytes file = ztest::IffForm(c.pbm ? "PBM " : "ILBM",
                                      {ztest::IffChunk("BMHD", ztest::Bmhd(c.width, c.height, c.planes, c.masking,
                                                                           c.compression)),
                                       ztest::IffChunk("BODY", body, false)});
    std::vector<Bytes> want;
    const bool whole = PlainIff(c, body, &want);
    BMAP* b = LS_LoadIff(Put("stream.lbm", file).c_str(), 0);
    ASSERT_EQ(b != nullptr, whole) << "stream " << i << ": " << c.Describe() << ", " << damage;
    if (!b) continue;
    LS_LockBmap(b);
    int wrongRow = -1;
    for (int y = 0; y < c.height && wrongRow < 0; ++y)
      if (b->SizeX != c.BmapWidth() || std::memcmp(b->Start + y * b->ByteLen, want[y].data(), want[y].size()) != 0)
        wrongRow = y;
    LS_UnlockBmap(b);
    LS_FreeBmap(b);
    ASSERT_EQ(wrongRow, -1) << "stream " << i << ": " << c.Describe() << ", " << damage;
  }
}

}  // namespace
