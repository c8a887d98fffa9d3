// Pictures made by another toolkit (netpbm, converted at test time) load
// with the colours of the original, pixel for pixel; and what LS_SaveTga
// writes, netpbm reads back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "datagen/devenv.h"
#include "system/font.h"
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

Bytes Ppm(const std::vector<Rgba>& pixels) {
  const std::string header = "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n";
  Bytes b(header.begin(), header.end());
  for (const Rgba& p : pixels) b.insert(b.end(), {p.r, p.g, p.b});
  return b;
}

Bytes PamWithAlpha(const std::vector<Rgba>& pixels) {
  const std::string header = "P7\nWIDTH " + std::to_string(kWidth) + "\nHEIGHT " + std::to_string(kHeight) +
                             "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  Bytes b(header.begin(), header.end());
  for (const Rgba& p : pixels) b.insert(b.end(), {p.r, p.g, p.b, p.a});
  return b;
}

class ToolPictureTest : public ztest::PictureTest {
 protected:
  // Runs a netpbm program on a file of the temporary folder; fails the test,
  // naming the package, when the program is not installed.
  Bytes Convert(const std::string& program, const std::string& options, const Bytes& input) {
    const std::string check = "command -v " + program + " >/dev/null 2>&1";
    if (std::system(check.c_str()) != 0) {
      ADD_FAILURE() << program << " is missing: install the netpbm package (scripts/setup.sh does)";
      return {};
    }
    ztest::WriteFileBytes(temp_ + "/in.pnm", input);
    const std::string command =
        program + " " + options + " '" + temp_ + "/in.pnm' >'" + root_ + "/CONVERTED' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ztest::ReadBytes(root_ + "/CONVERTED");
  }

  BMAP* LoadAs(BMAP* (*reader)(const char*, uintptr_t), const Bytes& file) {
    Put("tool.pic", file);
    return reader("tool.pic", 0);
  }

  static Rgba FromTrueColour(uint32_t v, int32_t depth) {
    return {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v),
            depth == 32 ? static_cast<uint8_t>(v >> 24) : uint8_t{0}};
  }
  // Compares colours, alpha too when asked.
  static void ExpectSame(const std::vector<Rgba>& got, const std::vector<Rgba>& want, bool alpha,
                         const char* what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); ++i) {
      Rgba w = want[i];
      Rgba g = got[i];
      if (!alpha) w.a = g.a = 0;
      EXPECT_EQ(g, w) << what << " pixel " << i;
      if (!(g == w)) return;
    }
  }
  // The pixels of an indexed bitmap through a palette of 8-bit (r, g, b).
  static std::vector<Rgba> ThroughPalette(BMAP* b, const uint8_t* palette, int columns) {
    std::vector<Rgba> out;
    const std::vector<uint32_t> indices = ztest::PixelsOf(b);
    for (int y = 0; y < b->SizeY; ++y)
      for (int x = 0; x < columns; ++x) {
        const uint8_t* c = palette + indices[static_cast<size_t>(y * b->SizeX + x)] * 3;
        out.push_back({c[0], c[1], c[2], 0});
      }
    return out;
  }
};

TEST_F(ToolPictureTest, TrueColourTgaOfPamtotga) {
  const std::vector<Rgba> want = ToolPicture();
  for (const char* options : {"-rgb", "-rgb -norle"}) {
    BMAP* b = LoadAs(LS_LoadTga, Convert("pamtotga", options, Ppm(want)));
    ASSERT_NE(b, nullptr) << options;
    EXPECT_EQ(b->Depth, 24);
    std::vector<Rgba> got;
    for (uint32_t v : ztest::PixelsOf(b)) got.push_back(FromTrueColour(v, 24));
    ExpectSame(got, want, false, options);
    LS_FreeBmap(b);

    b = LoadAs(LS_LoadTga, Convert("pamtotga", options, PamWithAlpha(want)));
    ASSERT_NE(b, nullptr) << options << " alpha";
    EXPECT_EQ(b->Depth, 32);
    EXPECT_EQ(b->Format, BMAP_ARGB8888);
    got.clear();
    for (uint32_t v : ztest::PixelsOf(b)) got.push_back(FromTrueColour(v, 32));
    ExpectSame(got, want, true, options);
    LS_FreeBmap(b);
  }
}

TEST_F(ToolPictureTest, ColourMappedTgaOfPamtotga) {
  const std::vector<Rgba> want = ToolPicture();
  const Bytes file = Convert("pamtotga", "-cmap -norle", Ppm(want));
  ASSERT_GE(file.size(), 18u);
  ASSERT_EQ(file[1], 1);   // colour map
  ASSERT_EQ(file[7], 24);  // of blue, green, red entries
  const size_t mapAt = 18u + file[0];
  const size_t entries = file[5] | file[6] << 8;
  std::vector<uint8_t> palette(768, 0);
  for (size_t i = 0; i < entries && i < 256; ++i) {
    palette[i * 3] = file[mapAt + i * 3 + 2];
    palette[i * 3 + 1] = file[mapAt + i * 3 + 1];
    palette[i * 3 + 2] = file[mapAt + i * 3];
  }
  BMAP* b = LoadAs(LS_LoadTga, file);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Depth, 8);
  ExpectSame(ThroughPalette(b, palette.data(), kWidth), want, false, "cmap");
  LS_FreeBmap(b);
}

TEST_F(ToolPictureTest, PcxOfPpmtopcx) {
  const std::vector<Rgba> want = ToolPicture();
  const Bytes file = Convert("ppmtopcx", "-8bit", Ppm(want));
  ASSERT_GE(file.size(), 128u + 769u);
  BMAP* b = LoadAs(LS_LoadPcx, file);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->SizeX, kWidth);
  ExpectSame(ThroughPalette(b, &file[file.size() - 768], kWidth), want, false, "pcx");
  PALETTE* palette = LS_LoadPcxPalette("tool.pic");
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->Entry[ztest::PixelsOf(b)[0]].Red, want[0].r >> 2);
  LS_FreePalette(palette);
  LS_FreeBmap(b);

  // Three planes of 8 bits: a picture this reader does not take.
  EXPECT_EQ(LoadAs(LS_LoadPcx, Convert("ppmtopcx", "-24bit", Ppm(want))), nullptr);
}

TEST_F(ToolPictureTest, IlbmOfPpmtoilbm) {
  const std::vector<Rgba> want = ToolPicture();
  for (const char* options : {"", "-fixplanes 8", "-nocompress"}) {
    const Bytes file = Convert("ppmtoilbm", options, Ppm(want));
    // The colour map, found the way the reader finds its chunks.
    const uint8_t* cmap = LSI_FindIffChunk(file.data() + 12, file.data() + file.size(), "CMAP");
    ASSERT_NE(cmap, nullptr) << options;
    std::vector<uint8_t> palette(768, 0);
    std::copy_n(cmap + 8, std::min<uint32_t>(LS_ReadBELong(cmap + 4), 768), palette.begin());
    BMAP* b = LoadAs(LS_LoadIff, file);
    ASSERT_NE(b, nullptr) << options;
    EXPECT_EQ(b->SizeX, kWidth + 1);
    ExpectSame(ThroughPalette(b, palette.data(), kWidth), want, false, options);
    LS_FreeBmap(b);
  }
  EXPECT_EQ(LoadAs(LS_LoadIff, Convert("ppmtoilbm", "-ham6", Ppm(want))), nullptr);  // not colour indices
}

TEST_F(ToolPictureTest, SavedTgaReadsBackInNetpbm) {
  const std::vector<Rgba> want = ToolPicture();
  std::vector<uint32_t> values;
  for (const Rgba& p : want) values.push_back(static_cast<uint32_t>(p.r) << 16 | p.g << 8 | p.b);
  for (const int32_t depth : {24, 32}) {
    std::vector<uint32_t> pixels = values;
    if (depth == 32)
      for (uint32_t& v : pixels) v |= 0xFF000000u;
    BMAP* b = Filled(kWidth, kHeight, depth, pixels);
    ASSERT_EQ(LS_SaveTga("saved.tga", b, nullptr, 0), 1);
    LS_FreeBmap(b);
    const Bytes ppm = Convert("tgatoppm", "", ztest::ReadBytes(root_ + "/SAVED.TGA"));
    const std::string header = "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n";
    ASSERT_GE(ppm.size(), header.size()) << depth;
    EXPECT_EQ(std::string(ppm.begin(), ppm.begin() + static_cast<long>(header.size())), header);
    std::vector<Rgba> got;
    for (size_t i = header.size(); i + 2 < ppm.size(); i += 3)
      got.push_back({ppm[i], ppm[i + 1], ppm[i + 2], 0});
    ExpectSame(got, want, false, "tgatoppm");
  }
}

TEST_F(ToolPictureTest, SavedColourMappedTgaReadsBackInNetpbm) {
  // Indices 0 to 15 through a palette of 6-bit components.
  PALETTE palette{};
  for (int i = 0; i < 256; ++i)
    palette.Entry[i] = {static_cast<uint8_t>(i * 4 % 64), static_cast<uint8_t>(63 - i % 64),
                        static_cast<uint8_t>(i % 7 * 9)};
  std::vector<uint32_t> indices;
  for (int i = 0; i < kWidth * kHeight; ++i) indices.push_back(static_cast<uint32_t>((i * 7 + i / 5) % 16));
  BMAP* b = Filled(kWidth, kHeight, 8, indices);
  ASSERT_EQ(LS_SaveTga("saved.tga", b, &palette, 0), 1);
  LS_FreeBmap(b);
  const Bytes ppm = Convert("tgatoppm", "", ztest::ReadBytes(root_ + "/SAVED.TGA"));
  const std::string header = "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n";
  ASSERT_EQ(ppm.size(), header.size() + kWidth * kHeight * 3);
  auto widen = [](uint8_t c) { return static_cast<uint8_t>(c << 2 | c >> 4); };
  for (size_t i = 0; i < indices.size(); ++i) {
    const LS_RGB& c = palette.Entry[indices[i]];
    const uint8_t* got = &ppm[header.size() + i * 3];
    ASSERT_EQ(Bytes(got, got + 3), (Bytes{widen(c.Red), widen(c.Green), widen(c.Blue)})) << i;
  }
}

// As a user sees it: system-font text drawn over the console background,
// saved, and read by netpbm.
TEST_F(ToolPictureTest, SystemFontTextOverTheConsoleBackground) {
  ASSERT_TRUE(datagen::WritePcx(root_ + "/DEVENV.PCX", datagen::DevEnvPicture()));
  BMAP* background = LS_LoadPcx("devenv.pcx", 0);
  PALETTE* palette = LS_LoadPcxPalette("devenv.pcx");
  ASSERT_NE(background, nullptr);
  ASSERT_NE(palette, nullptr);
  const char* lines[] = {"Zentrova console ready.", "0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~",
                         "The quick brown fox jumps over the lazy dog",
                         "\xC7\xFC\xE9\xE2\xE4\xE0\xE5\xE7\xEA\xEB\xE8\xEF"
                         "\xEE\xEC\xC4\xC5\xC9\xE6\xC6\xF4\xF6\xF2\xFB\xF9"};
  for (int i = 0; i < 4; ++i)
    LS_DrawString(LS_Var.SysFont, background, lines[i], 16, 16 + i * 12, LS_BLIT_TRANSPARENT);
  ASSERT_EQ(LS_SaveTga("look.tga", background, palette, 0), 1);
  const Bytes ppm = Convert("tgatoppm", "", ztest::ReadBytes(root_ + "/LOOK.TGA"));
  const std::string header = "P6\n640 480\n255\n";
  ASSERT_EQ(ppm.size(), header.size() + 640u * 480u * 3u);
  // Ink is white, everything else dark.
  int white = 0;
  for (int32_t y = 0; y < 480; ++y)
    for (int32_t x = 0; x < 640; ++x) {
      const uint8_t* p = &ppm[header.size() + static_cast<size_t>(y * 640 + x) * 3];
      const bool ink = LS_GetPixel(background, x, y) == 255;
      if (ink) {
        ++white;
        ASSERT_EQ(Bytes(p, p + 3), (Bytes{255, 255, 255})) << x << " " << y;
      } else {
        ASSERT_LT(p[0] + p[1] + p[2], 3 * 90) << x << " " << y;
      }
    }
  EXPECT_GT(white, 500);
  // The first character's ink, cell for cell.
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x)
      EXPECT_EQ(
          LS_GetPixel(background, 16 + x, 16 + y) == 255,
          LS_GetPixel(LS_Var.SysFont->Picture, ('Z' - 32) * 8 % 320 + x, ('Z' - 32) / 40 * 8 + y) == 255);
  LS_FreePalette(palette);
  LS_FreeBmap(background);
}

}  // namespace
