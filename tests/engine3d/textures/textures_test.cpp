// The 3D palette and the map's texture pages: pictures read and packed
// into 64 KB-aligned pages, mip levels, placement records with their flag
// letters and level addresses, the least-used colours, and the key sort
// the packing uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "datagen/palette3d.h"
#include "datagen/tgawrite.h"
#include "engine3d/sort.h"
#include "engine3d/texpages.h"
#include "engine3d/videotable.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "race/types.h"
#include "racescene/race3d.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "system/palette.h"
#include "tests/support/testenv.h"

namespace {

using Lines = std::vector<std::string>;

// The status lines shown: the console's current line whenever it is shown
// holding text (a printed line has moved on by then).
Lines g_statuses;
void RecordStatus() {
  const char* line = SB_Var.ConsoleText[SB_Var.ConsoleLine];
  if (*line) g_statuses.push_back(line);
}

class TexturesTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(32u << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    SB_ResetVideoTable();
    Mode(8, BMAP_PAL8);
    std::snprintf(SB_Var.TexturePath, sizeof SB_Var.TexturePath, "TR>");
    std::filesystem::create_directories(root_ + "/TXT/TR");
    g_statuses.clear();
    SB_Hooks.NetUpdateEvent = RecordStatus;
    SB_ClearPrintedLines();
    allocs_ = LSI_Var.NbAlloc;
  }
  void TearDown() override {
    SB_FreeTextures();
    SB_FreePalette3d();
    EXPECT_EQ(std::vector<int32_t>({SB_Var.NbMemOwners, SB_Var.NbBmapOwners, LSI_Var.NbAlloc}),
              std::vector<int32_t>({0, 0, allocs_}));
    LibraryTest::TearDown();
  }
  static void Mode(int32_t depth, int32_t format) {
    TVIDEOMODE& m = SB_Var.VideoModes[SB_Var.VideoModeIndex];
    m.Depth = m.TextureDepth = depth;
    m.Format = m.TextureFormat = format;
  }
  static void Names(const std::vector<std::string>& names) {
    std::memset(SB_Var.TextureNames, 0, sizeof SB_Var.TextureNames);
    for (size_t i = 0; i < names.size(); ++i)
      std::memcpy(SB_Var.TextureNames[i], names[i].data(),
                  std::min<size_t>(names[i].size(), SB_TEXTURENAMESIZE));
    SB_Var.NbTextures = static_cast<int32_t>(names.size());
  }
  // An 8-bit PCX of the size whose texel (x, y) is x + y, in the 3D palette.
  void Pcx(const std::string& stem, int w, int h) {
    datagen::Picture8 p;
    p.width = w, p.height = h, p.palette = datagen::TexturePalette();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) p.pixels.push_back(static_cast<uint8_t>(x + y));
    ASSERT_TRUE(datagen::WritePcx(root_ + "/TXT/TR/" + stem + ".PCX", p));
  }
  void Tga(const std::string& stem, int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    ASSERT_TRUE(datagen::WriteTga(root_ + "/TXT/TR/" + stem + ".TGA", datagen::Picture24(w, h, r, g, b)));
  }
  void Palette() {
    ASSERT_TRUE(datagen::WritePcx(root_ + "/TXT/TR/PALETTE.PCX", datagen::TexturePalettePicture()));
    ASSERT_EQ(SB_LoadPalette3d(nullptr), 1);
  }
  // Pages made by hand: their count, the block and its bitmaps.
  static void Pages(int32_t count) {
    SB_Var.NbTextTri = 0;
    SB_Var.NbTexturePages = count;
    ASSERT_EQ(SB_AllocTexturePages(), 1);
    SB_LoadTexturesTga();
  }
  int32_t allocs_ = 0;
  static TEXTTRI Rect(int32_t w, int32_t h) { return TEXTTRI{w * h, 0, 0, w, h, 0, "", 1, {}}; }
};

TEST_F(TexturesTest, ThePaletteLoadsOnceFromTheTexturePath) {
  datagen::Picture8 bad = datagen::TexturePalettePicture();
  ztest::WriteFile(root_ + "/TXT/GARBAGE.PCX", std::string(2000, '\x0C'));
  ASSERT_TRUE(datagen::WritePcx(root_ + "/TXT/SHORT.PCX", bad));
  std::filesystem::resize_file(root_ + "/TXT/SHORT.PCX", 700);
  for (const char* name : {"txt>none.pcx", "txt>garbage.pcx", "txt>short.pcx"}) {
    SB_ClearPrintedLines();
    EXPECT_EQ(SB_LoadPalette3d(name), 0) << name;
    EXPECT_EQ(SB_PrintedLines(), (Lines{"Loading palette...", "File error... palette file not found"}))
        << name;
    EXPECT_EQ(SB_Var.Pal3d, nullptr);
  }
  SB_ClearPrintedLines();
  Palette();
  EXPECT_EQ(SB_LoadPalette3d("txt>none.pcx"), 1);
  EXPECT_EQ(SB_PrintedLines(),
            (Lines{"Loading palette...", "Loading palette...", "Tried to load pal3d twice..."}));
  // Entry 255 is the fonts' background and no other entry is.
  const LS_RGB reserved{SB_FONTBACK_RED / 4, SB_FONTBACK_GREEN / 4, SB_FONTBACK_BLUE / 4};
  for (int32_t i = 0; i < 256; ++i)
    EXPECT_EQ(std::memcmp(&SB_Var.Pal3d->Entry[i], &reserved, 3) == 0, i == 255) << i;
  LS_InitColorSearch(SB_Var.Pal3d);
  EXPECT_EQ(LS_FindNearestColor(reserved.Red, reserved.Green, reserved.Blue), SB_FONTBACKINDEX);
  SB_FreePalette3d();
  EXPECT_EQ(SB_Var.Pal3d, nullptr);
}

TEST_F(TexturesTest, TheKeySortPutsTheLargestFirst) {
  std::mt19937 random(7);
  std::vector<std::vector<int32_t>> cases = {{3, 9, -2, 9, 0}, {}, {5}, {1, 2}, {2, 1}, {4, 4, 4, 4}};
  std::vector<int32_t> seeded(500), ascending(64);
  for (int32_t& k : seeded) k = static_cast<int32_t>(random() % 2000001) - 1000000;
  for (int32_t i = 0; i < 64; ++i) ascending[i] = i - 32;
  cases.push_back(seeded);
  cases.push_back(ascending);
  for (std::vector<int32_t> keys : cases) {
    std::vector<void*> records;
    for (int32_t& k : keys) records.push_back(&k);
    E3D_SortByKey(records.data(), static_cast<int32_t>(records.size()));
    std::vector<int32_t> got;
    for (void* r : records) got.push_back(*static_cast<int32_t*>(r));
    std::sort(keys.rbegin(), keys.rend());
    EXPECT_EQ(got, keys);
  }
}

TEST_F(TexturesTest, PicturesGetOneRecordPerFileAndPlaceholdersWhenUnfit) {
  Pcx("WALL", 16, 8);
  Pcx("BIG", 256, 256);
  Pcx("WIDE", 257, 4);
  Pcx("LONGNAME", 4, 2);
  ztest::WriteFile(root_ + "/TXT/TR/SHORT.PCX", "\x0A\x05");
  Names({"WALL", std::string("WALL\0\0\0\0T", 9), "BIG", "WIDE", "NONE", "LONGNAME1234567", "SHORT"});
  SB_ReadTextureSizes();
  struct Row {
    const char* name;
    int32_t w, h, found;
  };
  const Row rows[] = {{"TXT>TR>WALL.PCX", 16, 8, 1},    {"TXT>TR>BIG.PCX", 256, 256, 1},
                      {"TXT>TR>WIDE.PCX", 32, 32, 0},   {"TXT>TR>NONE.PCX", 32, 32, 0},
                      {"TXT>TR>LONGNAME.PCX", 4, 2, 1}, {"TXT>TR>SHORT.PCX", 32, 32, 0}};
  ASSERT_EQ(SB_Var.NbTextTri, 6);
  for (int32_t i = 0; i < 6; ++i) {
    const TEXTTRI& r = *SB_Var.TextTriOrder[i];
    EXPECT_EQ(std::vector<int32_t>({r.Width, r.Height, r.Area, r.Found}),
              std::vector<int32_t>({rows[i].w, rows[i].h, rows[i].w * rows[i].h, rows[i].found}))
        << rows[i].name;
    EXPECT_STREQ(r.Name, rows[i].name);
  }
  EXPECT_EQ(SB_PrintedLines(), (Lines{"Pcx not found TXT>TR>NONE.PCX !!!"}));
  // A texture path that fills its field, unterminated, is read within it.
  std::memset(SB_Var.TexturePath, 'P', sizeof SB_Var.TexturePath);
  char file[SB_TEXTTRINAMESIZE];
  EXPECT_TRUE(SB_TextureFileName("ABCDEFGHIJKLMNO", file));
  EXPECT_EQ(std::string(file), "TXT>" + std::string(32, 'P') + "ABCDEFGH.PCX");
}

TEST_F(TexturesTest, RectanglesPackFirstFitIntoPages) {
  struct Case {
    std::vector<std::pair<int32_t, int32_t>> sizes;
    std::vector<std::vector<int32_t>> places;  // x, y, page
  };
  const Case cases[] = {
      {{{128, 128}, {128, 128}, {128, 128}, {128, 128}, {128, 128}},
       {{0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 1}}},
      {{{256, 256}, {128, 128}, {64, 64}}, {{0, 0, 0}, {0, 0, 1}, {128, 0, 1}}},
      {{{200, 100}, {100, 100}, {56, 50}, {200, 100}}, {{0, 0, 0}, {0, 100, 0}, {200, 0, 0}, {0, 0, 1}}},
  };
  for (const Case& c : cases) {
    std::vector<TEXTTRI> records;
    for (const auto& [w, h] : c.sizes) records.push_back(Rect(w, h));
    SB_Var.NbTextTri = static_cast<int32_t>(records.size());
    for (size_t i = 0; i < records.size(); ++i) SB_Var.TextTriOrder[i] = &records[i];
    SB_PackTextures();
    std::vector<std::vector<int32_t>> places;
    for (const TEXTTRI& r : records) places.push_back({r.X, r.Y, r.Page});
    EXPECT_EQ(places, c.places);
    EXPECT_EQ(SB_Var.NbTexturePages, c.places.back()[2] + 1);
  }
  // Sides that are not powers of two: no two rectangles of a page share a
  // column of a row, and each stays inside its page.
  std::vector<TEXTTRI> records;
  for (const auto& [w, h] : std::vector<std::pair<int32_t, int32_t>>{
           {100, 100}, {60, 150}, {101, 60}, {100, 100}, {60, 150}, {101, 60}, {55, 55}})
    records.push_back(Rect(w, h));
  SB_Var.NbTextTri = static_cast<int32_t>(records.size());
  for (size_t i = 0; i < records.size(); ++i) SB_Var.TextTriOrder[i] = &records[i];
  SB_PackTextures();
  for (size_t i = 0; i < records.size(); ++i) {
    const TEXTTRI& a = records[i];
    EXPECT_TRUE(a.X >= 0 && a.Y >= 0 && a.X + a.Width <= 256 && a.Y + a.Height <= 256) << i;
    for (size_t j = 0; j < i; ++j) {
      const TEXTTRI& b = records[j];
      const bool apart = a.Page != b.Page || a.X + a.Width <= b.X || b.X + b.Width <= a.X ||
                         a.Y + a.Height <= b.Y || b.Y + b.Height <= a.Y;
      EXPECT_TRUE(apart) << i << " over " << j;
    }
  }
  SB_Var.NbTextTri = 0;
}

TEST_F(TexturesTest, EightBitPagesHoldTheirPicturesOn64KBoundaries) {
  Palette();
  for (const char* stem : {"A", "B", "C", "D"}) Pcx(stem, 128, 128);
  Pcx("E", 64, 32);
  Names({"E", "A", "B", "C", "D"});
  SB_ClearPrintedLines();
  SB_LoadTexturePages();
  ASSERT_EQ(SB_Var.NbTexturePages, 2);
  for (int32_t p = 0; p < 2; ++p)
    EXPECT_EQ(reinterpret_cast<uintptr_t>(SB_Var.TexturePages[p]->Start) % 65536, 0u);
  const TEXTTRI& e = *SB_Var.TextTriOrder[4];
  EXPECT_EQ(std::vector<int32_t>({e.X, e.Y, e.Page}), std::vector<int32_t>({0, 0, 1}));
  const uint8_t* page = SB_Var.TexturePages[1]->Start;
  EXPECT_EQ(std::vector<int32_t>({page[0], page[3 * 256 + 5], page[31 * 256 + 63], page[32 * 256], page[64]}),
            std::vector<int32_t>({0, 8, 94, 0, 0}));
  // Two pages and four levels of one level page each, every block one
  // page more than it holds, and one page more for the levels' alignment.
  const Lines printed = SB_PrintedLines();
  EXPECT_EQ(printed.front(), "Preparing textures loading...");
  EXPECT_EQ(printed.back(), "Memory used for textures 960kb...");
  EXPECT_NE(std::find(printed.begin(), printed.end(), "Loaded 5 textures out of 5..."), printed.end());
  EXPECT_EQ(
      std::count(g_statuses.begin(), g_statuses.end(), "Loading texture (256 couleurs) 5: TXT>TR>E.PCX"), 1);
  // Pages loaded again give back the earlier ones first.
  SB_ClearPrintedLines();
  SB_LoadTexturePages();
  EXPECT_EQ(Lines(SB_PrintedLines().begin(), SB_PrintedLines().begin() + 2),
            (Lines{"Textures released", "Preparing textures loading..."}));
}

TEST_F(TexturesTest, SixteenBitPagesReadTheTargaCutToItsRectangle) {
  Mode(16, BMAP_RGB565);
  for (const char* stem : {"RED", "BIG", "GONE", "BAD"}) Pcx(stem, 16, 16);
  Tga("RED", 16, 16, 255, 0, 0);
  Tga("BIG", 40, 40, 0, 0, 255);  // larger than its rectangle
  ztest::WriteFile(root_ + "/TXT/TR/BAD.TGA", "not a picture");
  Names({"RED", "BIG", "GONE", "BAD"});
  SB_LoadTexturePages();
  // The large picture is cut to its rectangle: the page holds no texel
  // but those of the two pictures read.
  const uint16_t* page = reinterpret_cast<const uint16_t*>(SB_Var.TexturePages[0]->Start);
  const TEXTTRI* r = SB_Var.TextTri;  // in the names' order
  EXPECT_EQ(std::vector<uint32_t>(
                {page[r[0].X], page[15 * 256 + r[1].X + 15], page[5 * 256 + r[2].X + 5], page[r[3].X]}),
            std::vector<uint32_t>({0xF800, 0x001F, 0, 0}));
  EXPECT_EQ(65536 - std::count(page, page + 65536, 0), 2 * 16 * 16);  // red and blue only
  const Lines printed = SB_PrintedLines();
  for (const char* line : {"Tga not found TXT>TR>GONE.TGA !!!", "Corrupted tga TXT>TR>BAD.TGA !!!"})
    EXPECT_NE(std::find(printed.begin(), printed.end(), line), printed.end()) << line;
  EXPECT_EQ(std::count_if(g_statuses.begin(), g_statuses.end(),
                          [](const std::string& l) { return l.rfind("Loading texture (65K) ", 0) == 0; }),
            4);
}

TEST_F(TexturesTest, MipLevelsAverageTheirBlocksAndTheTexturesFindTheirLevels) {
  Mode(16, BMAP_RGB555);
  Pages(5);
  // Page 0 a checker of white and black, page 1 texel (x, y) = x.
  for (int32_t y = 0; y < 256; ++y)
    for (int32_t x = 0; x < 256; ++x) {
      uint16_t* t = reinterpret_cast<uint16_t*>(SB_Var.TexturePages[0]->Start) + y * 256 + x;
      *t = (x + y) % 2 ? 0x7FFF : 0;
      reinterpret_cast<uint16_t*>(SB_Var.TexturePages[1]->Start)[y * 256 + x] = static_cast<uint16_t>(x & 31);
    }
  SB_ResampleTextures();
  struct Row {
    int32_t level, page, levelPage, x, y;
  };
  const Row rows[] = {
      {1, 1, 0, 128, 0}, {1, 3, 0, 128, 128}, {1, 4, 1, 0, 0}, {2, 4, 0, 0, 64}, {4, 4, 0, 64, 0}};
  for (const Row& r : rows) {
    const TMIPPAGE& m = SB_Var.MipPages[r.level - 1][r.page];
    EXPECT_EQ(std::vector<int32_t>({m.X, m.Y}), std::vector<int32_t>({r.x, r.y})) << r.level << " " << r.page;
    EXPECT_EQ(m.Texels, SB_Var.MipPages[r.level - 1][0].Texels + r.levelPage * 2 * 65536);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(m.Texels) % 65536, 0u);
  }
  const uint16_t* level1 = reinterpret_cast<const uint16_t*>(SB_Var.MipPages[0][0].Texels);
  EXPECT_EQ(std::vector<uint32_t>({level1[0], level1[128 + 5]}), std::vector<uint32_t>({0x3DEF, 10}));
  EXPECT_EQ(SB_PrintedLines().back(), "Resampling textures for mipmapping: 100/100  0s");

  // A 64 x 32 texture at (64, 32) of page 4: its levels' first texels and
  // the fillers' selectors.
  Names({"X"});
  TTEXTUREPLACE& t = SB_Var.TexturePlaces[0];
  t.PageNumber = 4, t.X = 64, t.Y = 32, t.Log2Width = 6, t.Log2Height = 5;
  SB_InitTextureAddresses();
  const ptrdiff_t texels[4] = {4128, 18448, 1160, 580};
  for (int32_t level = 0; level < 4; ++level)
    EXPECT_EQ(t.MipTexels[level] - SB_Var.MipPages[level][4].Texels, 2 * texels[level]) << level + 1;
  EXPECT_EQ(std::vector<int32_t>(
                {t.Selector, t.MipSelector[0], t.MipSelector[1], t.MipSelector[2], t.MipSelector[3]}),
            std::vector<int32_t>({19, 28, 37, 46, 55}));
  EXPECT_EQ(std::vector<int32_t>({SB_PowerOfTwoIndex(256), SB_PowerOfTwoIndex(2), SB_PowerOfTwoIndex(1),
                                  SB_PowerOfTwoIndex(96), SB_PowerOfTwoIndex(512)}),
            std::vector<int32_t>({8, 1, 0, 0, 0}));

  // The same checker read as 5-6-5.
  Mode(16, BMAP_RGB565);
  SB_FreeTextureHandles();
  SB_ResampleTextures();
  EXPECT_EQ(*reinterpret_cast<const uint16_t*>(SB_Var.MipPages[0][0].Texels), 0x3BEF);
}

// The key held and the clock moved by the message pump the resampler
// drives once per output row.
int32_t g_pumps = 0, g_escapeAt = 0;
void Pump() {
  plat::AdvanceManualTime(100);
  if (++g_pumps == g_escapeAt) plat::SetKeyState(27, true);
}

TEST_F(TexturesTest, MoreThan256PagesKeepEachLevelsPlaces) {
  Pages(257);
  SB_ResampleTextures();
  const TMIPPAGE& last = SB_Var.MipPages[0][256];
  EXPECT_EQ(std::vector<intptr_t>({last.Texels - SB_Var.MipPages[0][0].Texels, last.X, last.Y}),
            std::vector<intptr_t>({64 * 65536, 0, 0}));
  EXPECT_EQ(SB_Var.MipPages[1][0].Texels + 16 * 65536, SB_Var.MipPages[1][256].Texels);
}

TEST_F(TexturesTest, EightBitLevelsMixThroughThePaletteUntilEscape) {
  Palette();
  Pages(2);
  std::mt19937 random(3);
  for (int32_t p = 0; p < 2; ++p)
    for (int32_t i = 0; i < 65536; ++i) SB_Var.TexturePages[p]->Start[i] = static_cast<uint8_t>(random());
  g_pumps = 0, g_escapeAt = 15;
  plat::SetMessageSource(Pump);
  SB_ClearPrintedLines();
  SB_ResampleTextures();
  plat::SetMessageSource(nullptr);
  plat::SetKeyState(27, false);
  ASSERT_EQ(g_pumps, 480);  // one per output row of every level of both pages
  // Page 0 before Escape: each texel the nearest colour to its block's
  // mean, asked of the search afresh; page 1 after: the block's first.
  LS_InitColorSearch(SB_Var.Pal3d);
  const uint8_t* level = SB_Var.MipPages[0][0].Texels;
  int32_t wrong = 0;
  for (int32_t y = 0; y < 128; ++y)
    for (int32_t x = 0; x < 128; ++x) {
      int32_t sum[3] = {0, 0, 0};
      for (int32_t k = 0; k < 4; ++k) {
        const LS_RGB& c =
            SB_Var.Pal3d->Entry[SB_Var.TexturePages[0]->Start[(2 * y + k / 2) * 256 + 2 * x + k % 2]];
        sum[0] += c.Red, sum[1] += c.Green, sum[2] += c.Blue;
      }
      wrong += level[y * 256 + x] != LS_FindNearestColor(sum[0] / 4, sum[1] / 4, sum[2] / 4);
      wrong += level[y * 256 + 128 + x] != SB_Var.TexturePages[1]->Start[2 * y * 256 + 2 * x];
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(Lines(g_statuses.begin(), g_statuses.begin() + 2),
            (Lines{"Resampling textures for mipmapping: 2/100  1s",
                   "Resizing textures for mipmapping: 4/100  2s"}));
  EXPECT_EQ(SB_PrintedLines().back(), "Resizing textures for mipmapping: 100/100  48s");
}

TEST_F(TexturesTest, PlacementRecordsTellWhereAndHowEachNameIsDrawn) {
  Pcx("F", 64, 16);
  const std::string f("F\0\0\0\0\0\0\0", 8);
  Names({f + "TZDCMIN", f + "LHBAUVF", f + "EO123R", f + "S", "NONE"});
  SB_LoadTexturePages();
  SB_BuildTextureDescriptors();
  const auto flags = [](const TTEXTUREPLACE& t) {
    return std::vector<int32_t>({t.RenderKind, t.Z, t.D, t.C,      t.M,   t.I,     t.N,
                                 t.L,          t.H, t.B, t.Loaded, t.A,   t.U,     t.V,
                                 t.F,          t.E, t.O, t.One,    t.Two, t.Three, t.Variant});
  };
  const std::vector<std::vector<int32_t>> expected = {
      {3, 1, 1, 1, 1, 1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0},
      {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1},
      {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2},
      {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};
  for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(flags(SB_Var.TexturePlaces[i]), expected[i]) << i;
  const TTEXTUREPLACE& t = SB_Var.TexturePlaces[0];
  const TEXTTRI& r = SB_Var.TextTri[0];
  EXPECT_EQ(std::vector<int32_t>({t.Width, t.Height, t.Log2Width, t.Log2Height, t.Size, t.PageNumber}),
            std::vector<int32_t>({64, 16, 6, 4, 1024, r.Page}));
  EXPECT_EQ(t.Texels, SB_Var.TexturePages[r.Page]->Start + r.Y * 256 + r.X);
  EXPECT_EQ(SB_Var.TexturePlaces[4].Size, 32 * 32);

  // The accelerator's words of non-square textures in their squares.
  SB_Var.Renderer = SB_RENDERER_PVR;
  Names({"W", "T"});
  SB_Var.TextTri[0] = TEXTTRI{0, 0, 16, 64, 16, 5, "TXT>TR>W.PCX", 1, {}};
  SB_Var.TextTri[1] = TEXTTRI{1, 32, 0, 16, 64, 6, "TXT>TR>T.PCX", 1, {}};
  SB_Var.NbTextTri = 2;
  SB_BuildTextureDescriptors();
  const auto words = [](const TTEXTUREPLACE& p) {
    return std::vector<intptr_t>({p.TallShift, p.WideShift, p.TallOffset, p.WideOffset, p.PageNumber,
                                  reinterpret_cast<intptr_t>(p.Texels)});
  };
  EXPECT_EQ(words(SB_Var.TexturePlaces[0]), std::vector<intptr_t>({0, 2, 0, 2048, 5, 0}));
  EXPECT_EQ(words(SB_Var.TexturePlaces[1]), std::vector<intptr_t>({2, 0, 4096, 0, 6, 0}));
  SB_Var.Renderer = 0;
}

// In the accelerator's race the editors get software pages of their own:
// the card's picture records and placements stay as they were, the pages'
// placements go apart, once, and go with the pages.
TEST_F(TexturesTest, TheAcceleratorsEditorsGetPagesOfTheirOwn) {
  Pcx("F", 64, 16);
  Pcx("G", 32, 32);
  Names({"F", "G"});
  SB_LoadEditorTexturePages();  // a software mode: its own pages serve
  EXPECT_EQ(SB_Var.NbTexturePages, 0);
  EXPECT_EQ(SB_SoftTexturePlaces(), SB_Var.TexturePlaces);
  SB_Var.Renderer = SB_RENDERER_PVR;
  SB_Var.TextTri[0] = TEXTTRI{0, 0, 0, 64, 16, 5, "TXT>TR>F.PCX", 1, {}};
  SB_Var.TextTri[1] = TEXTTRI{1, 0, 0, 32, 32, 6, "TXT>TR>G.PCX", 1, {}};
  SB_Var.TextTriOrder[0] = &SB_Var.TextTri[0], SB_Var.TextTriOrder[1] = &SB_Var.TextTri[1];
  SB_Var.NbTextTri = 2;
  SB_BuildTextureDescriptors();
  const std::vector<char> records(reinterpret_cast<char*>(SB_Var.TextTri),
                                  reinterpret_cast<char*>(SB_Var.TextTri + SB_MAXTEXTTRI));
  const std::vector<char> places(reinterpret_cast<char*>(SB_Var.TexturePlaces),
                                 reinterpret_cast<char*>(SB_Var.TexturePlaces + SB_MAXTEXTURES));
  SB_LoadEditorTexturePages();
  EXPECT_EQ(std::memcmp(records.data(), SB_Var.TextTri, records.size()), 0);
  EXPECT_EQ(std::memcmp(places.data(), SB_Var.TexturePlaces, places.size()), 0);
  EXPECT_EQ(SB_Var.NbTextTri, 2);
  EXPECT_EQ(SB_Var.TextTriOrder[1], &SB_Var.TextTri[1]);
  ASSERT_EQ(SB_SoftTexturePlaces(), SB_Var.EditTexturePlaces);
  ASSERT_EQ(SB_Var.NbTexturePages, 1);
  for (int32_t i = 0; i < 2; ++i) {
    const TTEXTUREPLACE& t = SB_Var.EditTexturePlaces[i];
    ASSERT_NE(t.Texels, nullptr) << i;
    EXPECT_EQ(t.PageNumber, 0) << i;
    EXPECT_EQ(t.Texels, SB_Var.TexturePages[0]->Start + t.Y * 256 + t.X) << i;
    EXPECT_EQ(t.Texels[3 * 256 + 5], 8) << i;  // texel (5, 3) of the picture
  }
  const uintptr_t heap = SB_Var.TextureHeap;
  SB_LoadEditorTexturePages();  // made already
  EXPECT_EQ(SB_Var.TextureHeap, heap);
  SB_FreeTextures();
  EXPECT_EQ(SB_Var.EditTexturePlaces[0].Texels, nullptr);
  EXPECT_EQ(SB_Var.EditTexturePlaces[1].Width, 0);
  SB_Var.Renderer = 0;
}

TEST_F(TexturesTest, TheLeastUsedColoursAreReportedFromTheFirst193) {
  Palette();
  Pcx("ALL", 193, 2);  // texel (x, y) = x + y
  Names({"ALL"});
  SB_LoadTexturePages();
  SB_BuildTextureDescriptors();
  SB_ClearPrintedLines();
  SB_ReportTextureColors();
  // Black and white are also greys 192 and 254, which the texels take.
  EXPECT_EQ(SB_PrintedLines(),
            (Lines{"Less used colors in the textures:", "Color 0: r0 g0 b0  ** not used **",
                   "Color 191: r63 g63 b63  ** not used **", "Color 1: r0 g0 b21  2 pixels",
                   "Color 2: r0 g0 b42  2 pixels"}));
  const uint8_t* page = SB_Var.TexturePages[0]->Start;
  EXPECT_EQ(std::vector<int32_t>({page[0], page[191], page[256 + 190], page[256 + 192]}),
            std::vector<int32_t>({192, 254, 254, 193}));
  SB_FreeTextures();
  EXPECT_EQ(SB_PrintedLines().back(), "Textures released");
  EXPECT_EQ(
      std::vector<uintptr_t>({SB_Var.TextureHeap, SB_Var.MipHeaps[0], uintptr_t(SB_Var.NbTexturePages)}),
      std::vector<uintptr_t>({0, 0, 0}));
}

TEST_F(TexturesTest, ANewMapsDecorAndCubeFacesFollowItsTextures) {
  Palette();
  Pcx("A", 64, 32);
  Pcx("B", 16, 16);
  Names({"A", "B", "A"});
  // Cube faces: one of a small cube, then one of its big cube, the second
  // carrying bit 8 of its texture number; polygons naming the decor's names.
  TMAPFACE faces[3] = {};
  faces[0].Texture = 0;
  faces[1].Texture = 1;
  faces[2].Texture = 3;  // beyond the names: left as it is
  const uint16_t coords[8] = {4095, 2048, 0, 4095, 100, 100, 0, 0};
  std::memcpy(faces[0].TextureCoords, coords, sizeof coords);
  std::memcpy(faces[1].TextureCoords, coords, sizeof coords);
  std::memcpy(faces[2].TextureCoords, coords, sizeof coords);
  TSMALLENTITY small{};
  small.Faces = 0, small.NbFaces = 2;
  TBIGENTITY big{};
  big.Faces = 2 * sizeof(TMAPFACE), big.NbFaces = 1, big.NbSmallEntitys = 1;
  TFFACEPOLY polys[4] = {};
  const uint16_t materials[4] = {0, 1, 2, 9};
  for (int32_t i = 0; i < 4; ++i) polys[i].Material = materials[i];
  TDECOR& d = SB_Var.Decor;
  d.Faces = faces, d.NbFaces = 3, d.BigEntitys = &big, d.NbBigEntitys = 1, d.SmallEntitys = &small;
  d.NbSmallEntitys = 1, d.FacePolys = polys, d.NbFacePolys = 4, d.NewlyLoaded = 1;
  const char names2[3][SB_TEXTURENAMESIZE] = {"B", "A", "Q"};
  std::memcpy(d.Names2, names2, sizeof names2);
  d.NbNames2 = 3;
  SB_LoadMapTextures();
  EXPECT_EQ(
      std::vector<int32_t>({polys[0].Material, polys[1].Material, polys[2].Material, polys[3].Material}),
      std::vector<int32_t>({1, 2, 0, 0}));
  EXPECT_EQ(std::vector<uint16_t>(faces[0].TextureCoords, faces[0].TextureCoords + 6),
            std::vector<uint16_t>({1023, 256, 0, 511, 25, 12}));
  EXPECT_EQ(std::vector<uint16_t>({faces[1].TextureCoords[0], faces[2].TextureCoords[0]}),
            std::vector<uint16_t>({255, 4095}));
  const Lines printed = SB_PrintedLines();
  EXPECT_EQ(printed[printed.size() - 5], "Less used colors in the textures:");
  EXPECT_EQ(d.FacesRescaled, 1);

  // Bit 8 of the texture number moves to the second v.
  faces[0].Texture = 4, faces[0].TextureCoords[0] = 0x8000 | 1000, faces[0].TextureCoords[3] = 0x7FFF;
  SB_Var.NbTextures = 300;
  SB_Var.TexturePlaces[260].Width = 256, SB_Var.TexturePlaces[260].Height = 128;
  d.FacesRescaled = 0;
  SB_RescaleMapTextureCoords();
  EXPECT_EQ(std::vector<uint16_t>({faces[0].TextureCoords[0], faces[0].TextureCoords[3]}),
            std::vector<uint16_t>({1000, 0x8000 | 16383}));

  // A count of names beyond the table loads nothing.
  SB_ClearPrintedLines();
  SB_Var.NbTextures = 600;
  SB_LoadMapTextures();
  EXPECT_EQ(SB_PrintedLines(), (Lines{"Map error: 600 texture names !!!"}));
  d = TDECOR{};
}

}  // namespace
