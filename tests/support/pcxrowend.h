// The smallest PCX in which a run ends at the last byte of a row that has
// no pad byte, as common tools write a flat right border: a decoder that
// reads on past the full row takes the next row's first literal as a run
// and shifts every later row.
#pragma once
#include <cstdint>
#include <vector>

namespace ztest {

// 32 x 2, one 8-bit plane, 32 bytes per line. Row 0: the literals 1..16
// and a run of 16 sevens; row 1: the literals 20..51; then the palette,
// entry i (4i, 255 - 4i, 20i, each mod 256): entries 0 to 63 differ even
// at six bits.
inline std::vector<uint8_t> RowEndRunPcx() {
  std::vector<uint8_t> b{10, 5, 1, 8, 0, 0, 0, 0, 31, 0, 1, 0};
  b.resize(65, 0);
  b.insert(b.end(), {1, 32, 0});  // planes, bytes per line
  b.resize(128, 0);
  for (uint8_t v = 1; v <= 16; ++v) b.push_back(v);
  b.insert(b.end(), {0xD0, 7});
  for (uint8_t v = 20; v <= 51; ++v) b.push_back(v);
  b.push_back(12);
  for (int i = 0; i < 256; ++i)
    b.insert(b.end(), {static_cast<uint8_t>(4 * i), static_cast<uint8_t>(255 - 4 * i), static_cast<uint8_t>(20 * i)});
  return b;
}

// Its pixels, top row first.
inline std::vector<uint32_t> RowEndRunPixels() {
  std::vector<uint32_t> p;
  for (uint32_t v = 1; v <= 16; ++v) p.push_back(v);
  p.insert(p.end(), 16, 7);
  for (uint32_t v = 20; v <= 51; ++v) p.push_back(v);
  return p;
}

}  // namespace ztest
