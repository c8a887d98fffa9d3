// Pictures made by another toolkit (netpbm, converted at test time) load
// with the colours of the original, pixel for pixel: a photograph-like
// picture, large flat areas and a flat border on the right and at the
// bottom, from 640 x 480 down to 1 x 1, as PCX, TGA and ILBM with the
// tools' colour-map, plane and run-length options; and what LS_SaveTga
// writes, netpbm reads back. Without netpbm the tests are skipped, saying
// so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
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
Bytes Pnm(const std::vector<Rgba>& pixels, bool alpha = false, int width = kWidth, int height = kHeight) {
  const std::string header = alpha ? "P7\nWIDTH " + std::to_string(width) + "\nHEIGHT " + std::to_string(height) +
                                         "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                                   : PpmHeader(width, height);
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

// Source pictures -----------------------------------------------------

enum class Scene { kPhoto, kFlat, kBorder };
constexpr Scene kScenes[] = {Scene::kPhoto, Scene::kFlat, Scene::kBorder};
const char* SceneName(Scene s) { return s == Scene::kPhoto ? "photo" : s == Scene::kFlat ? "flat" : "border"; }
constexpr int kSizes[][2] = {{640, 480}, {333, 201}, {17, 3}, {1, 1}};

struct SourcePicture {
  int width = 0, height = 0;
  std::vector<Rgba> pixels;
  std::string name;  // scene and size, for messages
};

uint32_t Noise(int x, int y, int channel) {
  uint32_t h = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^
               static_cast<uint32_t>(channel) * 83492791u;
  h ^= h >> 13;
  h *= 0x5BD1E995u;
  return h ^ (h >> 15);
}

// A level from 0 to 255 of one channel: ramps (along x, y or both by
// channel) with a little noise; or twelve flat rectangles; or the ramps
// with a flat border of a sixteenth of the width on the right and of the
// height at the bottom (a run that ends at each row's last byte).
int Level(Scene scene, int x, int y, int w, int h, int channel) {
  if (scene == Scene::kFlat) return ((x * 4 / w) * 64 + (y * 3 / h) * 21 + channel * 40) % 256;
  if (scene == Scene::kBorder && (x >= w - std::max(1, w / 16) || y >= h - std::max(1, h / 16)))
    return 200 - channel * 30;
  const int wx = std::max(w - 1, 1), hy = std::max(h - 1, 1);
  const int ramp = channel % 3 == 0 ? x * 255 / wx : channel % 3 == 1 ? y * 255 / hy : (x * 127 / wx + y * 128 / hy);
  return std::clamp(ramp + static_cast<int>(Noise(x, y, channel) % 9) - 4, 0, 255);
}

// Colour i of 256 different ones, made of 5-bit components widened to 8
// bits, so that a colour map of 16-bit entries holds each exactly.
Rgba Colour(uint32_t i) {
  auto widen = [](uint32_t c) { return static_cast<uint8_t>(c << 3 | c >> 2); };
  return {widen(i % 32), widen(i / 32 * 4 + i % 3), widen(i * 7 % 32), 0};
}

// The scene in at most 2^bits colours (an index level through Colour), or
// in true colour with alpha when bits is 0.
SourcePicture ScenePicture(Scene scene, int width, int height, int bits) {
  SourcePicture p{width, height, {},
                  std::string(SceneName(scene)) + " " + std::to_string(width) + "x" + std::to_string(height)};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      auto level = [&](int c) { return static_cast<uint8_t>(Level(scene, x, y, width, height, c)); };
      if (bits) {
        p.pixels.push_back(Colour(static_cast<uint32_t>(level(0) >> (8 - bits))));
      } else {
        p.pixels.push_back({level(0), level(1), level(2), level(3)});
      }
    }
  return p;
}

// Every scene at every size.
template <typename Check>
void ForEachPicture(int bits, Check check) {
  for (const Scene scene : kScenes)
    for (const auto& size : kSizes) check(ScenePicture(scene, size[0], size[1], bits));
}

// Colour maps as the files store them, as (r, g, b) of 8 bits.
std::vector<uint8_t> TgaMap(const Bytes& file) {
  std::vector<uint8_t> palette(768, 0);
  if (file.size() < 18 || file[1] != 1) return palette;
  const size_t length = std::min<size_t>(LS_ReadLEWord(&file[5]), 256), entry = (file[7] + 7u) / 8u;
  const uint8_t* map = &file[18u + file[0]];
  if (18u + file[0] + length * entry > file.size()) return palette;
  auto widen = [](uint32_t c) { return static_cast<uint8_t>(c << 3 | c >> 2); };
  for (size_t i = 0; i < length; ++i) {
    const uint8_t* e = map + i * entry;
    const uint32_t word = e[0] | e[1] << 8;  // 16 bits: 5-5-5, red highest
    const Rgba c = entry == 2 ? Rgba{widen(word >> 10 & 31), widen(word >> 5 & 31), widen(word & 31), 0}
                              : Rgba{e[2], e[1], e[0], 0};
    palette[i * 3] = c.r, palette[i * 3 + 1] = c.g, palette[i * 3 + 2] = c.b;
  }
  return palette;
}

std::vector<uint8_t> IlbmMap(const Bytes& file) {
  std::vector<uint8_t> palette(768, 0);
  // Found the way the reader finds its chunks.
  if (const uint8_t* cmap = LSI_FindIffChunk(file.data() + 12, file.data() + file.size(), "CMAP"))
    std::copy_n(cmap + 8, std::min<uint32_t>(LS_ReadBELong(cmap + 4), 768), palette.begin());
  return palette;
}

class ToolPictureTest : public ztest::PictureTest {
 protected:
  void SetUp() override {
    PictureTest::SetUp();
    for (const char* program : {"ppmtopcx", "pamtotga", "ppmtoilbm", "tgatoppm"})
      if (std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) != 0)
        GTEST_SKIP() << program << " is missing: pictures written by netpbm are not checked "
                     << "(install the netpbm package; scripts/setup.sh does)";
  }
  // Runs a netpbm program on a file of the temporary folder named after
  // the picture (pamtotga stores that name in the file).
  Bytes Convert(const std::string& program, const std::string& options, const Bytes& input) {
    ztest::WriteFile(temp_ + "/in.pnm", std::string(input.begin(), input.end()));
    const std::string command = program + " " + options + " '" + temp_ + "/in.pnm' >'" + root_ + "/CONVERTED' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ztest::ReadBytes(root_ + "/CONVERTED");
  }
  Bytes Convert(const std::string& program, const std::string& options, const SourcePicture& p, bool alpha = false) {
    return Convert(program, options, Pnm(p.pixels, alpha, p.width, p.height));
  }
  BMAP* LoadAs(BMAP* (*reader)(const char*, uintptr_t), const Bytes& file) { return reader(Put("tool.pic", file).c_str(), 0); }

  // Compares colours, alpha too when asked: how many pixels differ and
  // where the first is.
  static void ExpectSame(std::vector<Rgba> got, std::vector<Rgba> want, bool alpha, const std::string& what,
                         int width = kWidth) {
    ASSERT_EQ(got.size(), want.size()) << what;
    if (!alpha)
      for (size_t i = 0; i < got.size(); ++i) want[i].a = got[i].a = 0;
    const auto first = std::mismatch(got.begin(), got.end(), want.begin());
    if (first.first == got.end()) return;
    const size_t at = static_cast<size_t>(first.first - got.begin());
    size_t wrong = 0;
    for (size_t i = at; i < got.size(); ++i) wrong += got[i] == want[i] ? 0 : 1;
    ADD_FAILURE() << what << ": " << wrong << " of " << got.size() << " pixels differ, the first at ("
                  << at % static_cast<size_t>(width) << ", " << at / static_cast<size_t>(width) << ")";
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
  // Loads the file and compares it with the picture, through the palette
  // when given; an IFF bitmap has an even width.
  void ExpectLoads(BMAP* (*reader)(const char*, uintptr_t), const Bytes& file, const SourcePicture& p,
                   const std::vector<uint8_t>* palette, bool alpha, const std::string& what) {
    BMAP* b = LoadAs(reader, file);
    ASSERT_NE(b, nullptr) << what;
    const int width = reader == LS_LoadIff ? (p.width + 1) & ~1 : p.width;
    EXPECT_EQ(std::tuple(b->SizeX, b->SizeY), std::tuple(width, p.height)) << what;
    ExpectSame(Colours(b, palette ? palette->data() : nullptr, p.width), p.pixels, alpha, what, p.width);
    LS_FreeBmap(b);
  }
};

TEST_F(ToolPictureTest, TrueColourTgaOfPamtotga) {
  // Rows bottom-up, the picture's name in the identification field.
  ForEachPicture(0, [&](const SourcePicture& p) {
    for (const char* options : {"-rgb", "-rgb -norle"})
      for (const bool alpha : {false, true}) {
        const std::string what = p.name + " " + options + (alpha ? " alpha" : "");
        const Bytes file = Convert("pamtotga", options, p, alpha);
        ASSERT_EQ(file.size() > 17 ? file[16] : 0, alpha ? 32 : 24) << what;
        BMAP* b = LoadAs(LS_LoadTga, file);
        ASSERT_NE(b, nullptr) << what;
        EXPECT_EQ(b->Format, alpha ? BMAP_ARGB8888 : BMAP_RGB888) << what;
        ExpectSame(Colours(b, nullptr, p.width), p.pixels, alpha, what, p.width);
        LS_FreeBmap(b);
      }
  });
}

TEST_F(ToolPictureTest, ColourMappedTgaOfPamtotga) {
  // 8-bit indices into a map of 24-bit or of 16-bit entries, which the
  // reader skips.
  ForEachPicture(8, [&](const SourcePicture& p) {
    for (const char* options : {"-cmap -norle", "-cmap16 -norle"}) {
      const Bytes file = Convert("pamtotga", options, p);
      ASSERT_GE(file.size(), 18u) << p.name << " " << options;
      EXPECT_EQ(std::tuple(file[1], file[2], file[16]), std::tuple(1, 1, 8)) << p.name << " " << options;
      const std::vector<uint8_t> palette = TgaMap(file);
      ExpectLoads(LS_LoadTga, file, p, &palette, false, p.name + " " + options);
    }
  });
  // Run-length coded indices are image type 9, which the reader does not take.
  const Bytes coded = Convert("pamtotga", "-cmap", ScenePicture(Scene::kFlat, 17, 3, 8));
  ASSERT_GE(coded.size(), 18u);
  EXPECT_EQ(coded[2], 9);
  EXPECT_EQ(LoadAs(LS_LoadTga, coded), nullptr);
}

TEST_F(ToolPictureTest, PcxOfPpmtopcx) {
  ForEachPicture(8, [&](const SourcePicture& p) {
    const Bytes file = Convert("ppmtopcx", "-8bit", p);
    ASSERT_GE(file.size(), 128u + 769u) << p.name;
    const std::vector<uint8_t> palette(file.end() - 768, file.end());
    ExpectLoads(LS_LoadPcx, file, p, &palette, false, p.name);
  });
  // The palette reader gives the same colours at six bits.
  const SourcePicture p = ScenePicture(Scene::kPhoto, 17, 3, 8);
  const Bytes file = Convert("ppmtopcx", "-8bit", p);
  BMAP* b = LoadAs(LS_LoadPcx, file);
  ASSERT_NE(b, nullptr);
  PALETTE* palette = LS_LoadPcxPalette("tool.pic");
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->Entry[ztest::PixelsOf(b)[0]].Red, p.pixels[0].r >> 2);
  LS_FreePalette(palette);
  LS_FreeBmap(b);
  // Three planes of 8 bits: a picture this reader does not take.
  EXPECT_EQ(LoadAs(LS_LoadPcx, Convert("ppmtopcx", "-24bit", p)), nullptr);
}

TEST_F(ToolPictureTest, IlbmOfPpmtoilbm) {
  for (const int planes : {1, 4, 8})
    ForEachPicture(planes, [&](const SourcePicture& p) {
      for (const char* compression : {"-compress", "-nocompress"}) {
        const std::string options = "-maxplanes 8 -fixplanes " + std::to_string(planes) + " " + compression;
        const Bytes file = Convert("ppmtoilbm", options, p);
        const std::vector<uint8_t> palette = IlbmMap(file);
        ExpectLoads(LS_LoadIff, file, p, &palette, false, p.name + " " + options);
      }
    });
  EXPECT_EQ(LoadAs(LS_LoadIff, Convert("ppmtoilbm", "-ham6", Pnm(ToolPicture()))), nullptr);  // not colour indices
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
