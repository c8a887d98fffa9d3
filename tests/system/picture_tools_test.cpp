// Pictures made by another toolkit (netpbm, converted at test time) load
// with the colours of the original, pixel for pixel; and what LS_SaveTga
// writes, netpbm reads back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "datagen/pcxwrite.h"
#include "system/picture.h"
#include "system/util.h"
#include "tests/system/picture_fixture.h"

namespace {

using ztest::Bytes;

constexpr int kWidth = 21, kHeight = 7;  // odd, and not a multiple of 16

struct Rgba {
  uint8_t r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

// At most 16 colours, each in runs and alone.
std::vector<Rgba> ToolPicture() {
  std::vector<Rgba> out;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const int c = x < 6 ? y % 3 : (x * 3 + y * 5) % 16;
      out.push_back({static_cast<uint8_t>(c * 16 + 3), static_cast<uint8_t>(255 - c * 15),
                     static_cast<uint8_t>(c * 37 % 256), static_cast<uint8_t>((x * 12 + y) % 256)});
    }
  return out;
}

std::string PpmHeader(int width = kWidth, int height = kHeight) {
  return "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
}

// The picture as a PPM, or with its alpha as a PAM.
Bytes Pnm(const std::vector<Rgba>& pixels, bool alpha = false) {
  const std::string header = alpha ? "P7\nWIDTH " + std::to_string(kWidth) + "\nHEIGHT " + std::to_string(kHeight) +
                                         "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                                   : PpmHeader();
  Bytes b(header.begin(), header.end());
  for (const Rgba& p : pixels) {
    b.insert(b.end(), {p.r, p.g, p.b});
    if (alpha) b.push_back(p.a);
  }
  return b;
}

// The colours of a PPM's pixels, after its header.
std::vector<Rgba> PpmPixels(const Bytes& ppm, size_t header) {
  std::vector<Rgba> out;
  for (size_t i = header; i + 2 < ppm.size(); i += 3) out.push_back({ppm[i], ppm[i + 1], ppm[i + 2], 0});
  return out;
}

class ToolPictureTest : public ztest::PictureTest {
 protected:
  // Runs a netpbm program on a file of the temporary folder; fails the test,
  // naming the package, when the program is not installed.
  Bytes Convert(const std::string& program, const std::string& options, const Bytes& input) {
    if (std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) != 0) {
      ADD_FAILURE() << program << " is missing: install the netpbm package (scripts/setup.sh does)";
      return {};
    }
    ztest::WriteFile(temp_ + "/in.pnm", std::string(input.begin(), input.end()));
    const std::string command = program + " " + options + " '" + temp_ + "/in.pnm' >'" + root_ + "/CONVERTED' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ztest::ReadBytes(root_ + "/CONVERTED");
  }
  BMAP* LoadAs(BMAP* (*reader)(const char*, uintptr_t), const Bytes& file) { return reader(Put("tool.pic", file).c_str(), 0); }

  // Compares colours, alpha too when asked.
  static void ExpectSame(std::vector<Rgba> got, std::vector<Rgba> want, bool alpha, const std::string& what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); ++i) {
      if (!alpha) want[i].a = got[i].a = 0;
      ASSERT_EQ(got[i], want[i]) << what << " pixel " << i;
    }
  }
  // The pixels of a bitmap: true colour, or indices through a palette of
  // 8-bit (r, g, b), the first columns only.
  static std::vector<Rgba> Colours(BMAP* b, const uint8_t* palette = nullptr, int columns = kWidth) {
    std::vector<Rgba> out;
    const std::vector<uint32_t> values = ztest::PixelsOf(b);
    for (int y = 0; y < b->SizeY; ++y)
      for (int x = 0; x < columns; ++x) {
        const uint32_t v = values[static_cast<size_t>(y * b->SizeX + x)];
        if (palette)
          out.push_back({palette[v * 3], palette[v * 3 + 1], palette[v * 3 + 2], 0});
        else
          out.push_back({static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v),
                         static_cast<uint8_t>(v >> 24)});
      }
    return out;
  }
};

TEST_F(ToolPictureTest, TrueColourTgaOfPamtotga) {
  const std::vector<Rgba> want = ToolPicture();
  for (const char* options : {"-rgb", "-rgb -norle"})
    for (const bool alpha : {false, true}) {
      BMAP* b = LoadAs(LS_LoadTga, Convert("pamtotga", options, Pnm(want, alpha)));
      ASSERT_NE(b, nullptr) << options;
      EXPECT_EQ(b->Format, alpha ? BMAP_ARGB8888 : BMAP_RGB888);
      ExpectSame(Colours(b), want, alpha, options);
      LS_FreeBmap(b);
    }
}

TEST_F(ToolPictureTest, ColourMappedTgaOfPamtotga) {
  const std::vector<Rgba> want = ToolPicture();
  const Bytes file = Convert("pamtotga", "-cmap -norle", Pnm(want));
  ASSERT_GE(file.size(), 18u);
  ASSERT_EQ(file[1], 1);   // colour map
  ASSERT_EQ(file[7], 24);  // of blue, green, red entries
  std::vector<uint8_t> palette(768, 0);
  for (size_t i = 0; i < static_cast<size_t>(file[5] | file[6] << 8) && i < 256; ++i)
    for (size_t k = 0; k < 3; ++k) palette[i * 3 + k] = file[18u + file[0] + i * 3 + 2 - k];
  BMAP* b = LoadAs(LS_LoadTga, file);
  ASSERT_NE(b, nullptr);
  ExpectSame(Colours(b, palette.data()), want, false, "cmap");
  LS_FreeBmap(b);
}

TEST_F(ToolPictureTest, PcxOfPpmtopcx) {
  const std::vector<Rgba> want = ToolPicture();
  const Bytes file = Convert("ppmtopcx", "-8bit", Pnm(want));
  ASSERT_GE(file.size(), 128u + 769u);
  BMAP* b = LoadAs(LS_LoadPcx, file);
  ASSERT_NE(b, nullptr);
  ExpectSame(Colours(b, &file[file.size() - 768]), want, false, "pcx");
  PALETTE* palette = LS_LoadPcxPalette("tool.pic");
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->Entry[ztest::PixelsOf(b)[0]].Red, want[0].r >> 2);
  LS_FreePalette(palette);
  LS_FreeBmap(b);
  // Three planes of 8 bits: a picture this reader does not take.
  EXPECT_EQ(LoadAs(LS_LoadPcx, Convert("ppmtopcx", "-24bit", Pnm(want))), nullptr);
}

TEST_F(ToolPictureTest, IlbmOfPpmtoilbm) {
  const std::vector<Rgba> want = ToolPicture();
  for (const char* options : {"-fixplanes 8", "-nocompress"}) {
    const Bytes file = Convert("ppmtoilbm", options, Pnm(want));
    // The colour map, found the way the reader finds its chunks.
    const uint8_t* cmap = LSI_FindIffChunk(file.data() + 12, file.data() + file.size(), "CMAP");
    ASSERT_NE(cmap, nullptr) << options;
    std::vector<uint8_t> palette(768, 0);
    std::copy_n(cmap + 8, std::min<uint32_t>(LS_ReadBELong(cmap + 4), 768), palette.begin());
    BMAP* b = LoadAs(LS_LoadIff, file);
    ASSERT_NE(b, nullptr) << options;
    EXPECT_EQ(b->SizeX, kWidth + 1);
    ExpectSame(Colours(b, palette.data()), want, false, options);
    LS_FreeBmap(b);
  }
  EXPECT_EQ(LoadAs(LS_LoadIff, Convert("ppmtoilbm", "-ham6", Pnm(want))), nullptr);  // not colour indices
}

TEST_F(ToolPictureTest, SavedTgaReadsBackInNetpbm) {
  const std::vector<Rgba> want = ToolPicture();
  // 8 bits: indices 0 to 15 through a palette of 6-bit components.
  PALETTE palette{};
  std::vector<uint32_t> indices;
  std::vector<Rgba> mapped;
  auto widen = [](uint8_t c) { return static_cast<uint8_t>(c << 2 | c >> 4); };
  for (int i = 0; i < 256; ++i)
    palette.Entry[i] = {static_cast<uint8_t>(i * 4 % 64), static_cast<uint8_t>(63 - i % 64), static_cast<uint8_t>(i % 7 * 9)};
  for (int i = 0; i < kWidth * kHeight; ++i) {
    indices.push_back(static_cast<uint32_t>((i * 7 + i / 5) % 16));
    const LS_RGB& c = palette.Entry[indices.back()];
    mapped.push_back({widen(c.Red), widen(c.Green), widen(c.Blue), 0});
  }
  for (const int32_t depth : {8, 24, 32}) {
    std::vector<uint32_t> pixels = indices;
    if (depth > 8) {
      pixels.clear();
      for (const Rgba& p : want) pixels.push_back((depth == 32 ? 0xFF000000u : 0) | p.r << 16 | p.g << 8 | p.b);
    }
    BMAP* b = Filled(kWidth, kHeight, depth, pixels);
    ASSERT_EQ(LS_SaveTga("saved.tga", b, &palette, 0), 1);
    const Bytes ppm = Convert("tgatoppm", "", ztest::ReadBytes(root_ + "/SAVED.TGA"));
    const std::string header = PpmHeader();
    ASSERT_EQ(std::string(ppm.begin(), ppm.begin() + static_cast<long>(std::min(header.size(), ppm.size()))), header);
    ExpectSame(PpmPixels(ppm, header.size()), depth == 8 ? mapped : want, false, "depth " + std::to_string(depth));
  }
}

}  // namespace
