// Fixture of the film tests: a started library with the leak checks of the
// bitmap tests, synthetic pictures and palettes, films written on drive
// C:, and the frames a film should show.
#pragma once
#include <gtest/gtest.h>

#include <dirent.h>

#include <cstdint>
#include <string>
#include <vector>

#include "datagen/fliwrite.h"
#include "system/fli.h"
#include "tests/support/pixels.h"
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
  datagen::FilmPicture p{width, height, {}};
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

// Pictures that follow each other: some lines left alone, others changed
// in places (and at their last pixel), so that deltas hold skips, runs
// and copies.
inline std::vector<datagen::FilmPicture> FilmPictures(int width, int height, int count) {
  std::vector<datagen::FilmPicture> pictures{FilmPictureOf(width, height, 0)};
  for (int step = 1; step < count; ++step) {
    datagen::FilmPicture p = pictures.back();
    for (int y = 0; y < p.height; ++y) {
      if ((y + step) % 4 == 0) continue;
      uint8_t* row = p.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(p.width);
      for (int x = (y * 7 + step) % 5; x < p.width; x += 9 + step % 3) row[x] = static_cast<uint8_t>(row[x] + 97 + step);
      for (int x = 3; x < p.width / 2 && x < 12; ++x) row[x] = static_cast<uint8_t>(step * 40 + y);
      if ((y + step) % 3 == 0) row[p.width - 1] = static_cast<uint8_t>(row[p.width - 1] ^ 0x80);
    }
    pictures.push_back(p);
  }
  return pictures;
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
  // What the film's frame shows for the picture: its indices, or in a
  // 16-bit format the film's colour of each index.
  static std::vector<uint32_t> Expected(const FLI* fli, const datagen::FilmPicture& p) {
    std::vector<uint32_t> out;
    for (uint8_t i : p.pixels) out.push_back(fli->Bmap->Depth == 8 ? i : fli->Lookup[i]);
    return out;
  }
  static std::vector<uint32_t> Shown(FLI* fli) { return PixelsOf(fli->Bmap); }
};

}  // namespace ztest
