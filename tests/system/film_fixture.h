// Fixture of the film tests: a started library with the leak checks of the
// bitmap tests, synthetic pictures and palettes, films written on drive
// C:, and reading back decoded frames.
#pragma once
#include <gtest/gtest.h>

#include <dirent.h>

#include <cstdint>
#include <string>
#include <vector>

#include "datagen/fliwrite.h"
#include "system/fli.h"
#include "tests/system/bmap_fixture.h"

namespace ztest {

// 256 colours of 0-255 components, all different, covering the range.
inline std::vector<uint8_t> FilmPalette() {
  std::vector<uint8_t> rgb(768);
  for (int i = 0; i < 256; ++i) {
    rgb[i * 3 + 0] = static_cast<uint8_t>(i);
    rgb[i * 3 + 1] = static_cast<uint8_t>(255 - i);
    rgb[i * 3 + 2] = static_cast<uint8_t>(i * 37 + 11);
  }
  return rgb;
}

// A picture of gradients, flat blocks (for runs) and noise (for copies),
// different for each seed and using every index 0-255.
inline datagen::FilmPicture FilmPictureOf(int width, int height, int seed) {
  datagen::FilmPicture p;
  p.width = width;
  p.height = height;
  uint32_t noise = 12345u + static_cast<uint32_t>(seed) * 7919u;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      uint8_t v = static_cast<uint8_t>((x * 3 + y * 5 + seed * 29) & 0xFF);
      if ((x / 8 + y / 4 + seed) % 3 == 0) v = static_cast<uint8_t>(200 + seed);
      if ((x + y * 3 + seed) % 11 == 0) v = static_cast<uint8_t>(noise >> 24);
      p.pixels.push_back(v);
    }
  return p;
}

// The next picture: some lines left alone, others changed in places (and
// at their last pixel), so that deltas hold skips, runs and copies.
inline datagen::FilmPicture ChangedPicture(const datagen::FilmPicture& from, int step) {
  datagen::FilmPicture p = from;
  for (int y = 0; y < p.height; ++y) {
    if ((y + step) % 4 == 0) continue;
    uint8_t* row = p.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(p.width);
    for (int x = (y * 7 + step) % 5; x < p.width; x += 9 + step % 3) row[x] = static_cast<uint8_t>(row[x] + 97 + step);
    for (int x = 3; x < p.width / 2 && x < 12; ++x) row[x] = static_cast<uint8_t>(step * 40 + y);
    if ((y + step) % 3 == 0) row[p.width - 1] = static_cast<uint8_t>(row[p.width - 1] ^ 0x80);
  }
  return p;
}

inline std::vector<datagen::FilmPicture> FilmPictures(int width, int height, int count) {
  std::vector<datagen::FilmPicture> pictures{FilmPictureOf(width, height, 0)};
  for (int i = 1; i < count; ++i) pictures.push_back(ChangedPicture(pictures.back(), i));
  return pictures;
}

// The 16-bit colour of a 0-255 colour in format 4 (5-5-5) or 16 (5-6-5).
inline uint16_t Colour16(int32_t format, uint32_t r, uint32_t g, uint32_t b) {
  if (format == BMAP_RGB555) return static_cast<uint16_t>((r >> 3) << 10 | (g >> 3) << 5 | b >> 3);
  return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
}

// Open file descriptors of this process.
inline int OpenDescriptors() {
  int count = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d)) ++count;
    closedir(d);
  }
  return count;
}

class FilmTest : public BmapTest {
 protected:
  void SetUp() override {
    BmapTest::SetUp();
    LogErrors();
  }

  // Writes the film on drive C: and returns its name.
  std::string Put(const std::string& name, const datagen::Film& film) {
    WriteBytes(name, datagen::EncodeFilm(film));
    return name;
  }
  void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteFile(root_ + "/" + name, std::string(bytes.begin(), bytes.end()));
  }

  // The frame bitmap's pixels, row after row (8-bit indices or 16-bit
  // values).
  static std::vector<uint32_t> Pixels(const BMAP* b) {
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < b->SizeY; ++y)
      for (int32_t x = 0; x < b->SizeX; ++x) {
        const uint8_t* at = b->Start + static_cast<ptrdiff_t>(y) * b->ByteLen + x * (b->Depth / 8);
        out.push_back(b->Depth == 8 ? at[0] : static_cast<uint32_t>(at[0] | at[1] << 8));
      }
    return out;
  }
  // What a frame of the picture looks like in the format.
  static std::vector<uint32_t> Expected(const datagen::FilmPicture& p, int32_t format,
                                        const std::vector<uint8_t>& rgb) {
    std::vector<uint32_t> out;
    for (uint8_t i : p.pixels)
      out.push_back(format == BMAP_PAL8 ? i : Colour16(format, rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]));
    return out;
  }
  // The report lines of user errors with these texts, in order.
  static std::string Reports(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& t : texts) all += "LS_ERROR: 0           User Error " + t + " \n\n";
    return all;
  }
};

}  // namespace ztest
