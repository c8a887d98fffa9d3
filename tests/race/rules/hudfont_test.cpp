// The race fonts: strips cut into glyphs and runs, their owner tags and
// release, the change of depth, and strips that are missing, damaged,
// short, solid or refused memory.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/owner.h"
#include "system/heap.h"
#include "tests/race/rules/hud_fixture.h"

namespace {

class HudFontTest : public ztest::HudTest {
 protected:
  // Owner-table rows whose tag is the text.
  static int MemOwners(const std::string& tag) {
    int n = 0;
    for (int32_t i = 0; i < SB_Var.NbMemOwners; ++i) n += tag == SB_MemOwners[i].Owner;
    return n;
  }
  // Draws each glyph through its runs into a cleared bitmap of the font's
  // depth and checks that exactly its ink is there.
  void ExpectGlyphsMatchTheStrip(int32_t slot, bool exactColours) {
    const TSBFONT& f = SB_Fonts[slot];
    BMAP* b = SB_CreateBmap(16, f.Height, f.Depth, 0, "glyph");
    if (f.Depth == 16) b->Format = BMAP_RGB565;
    for (int32_t g = 0; g < f.NbGlyphs; ++g) {
      LS_ClearBmap(b);
      SB_DrawGlyph(&f, b, g, 1, 0);
      for (int32_t y = 0; y < f.Height; ++y)
        for (int32_t x = 0; x < 16; ++x) {
          const int32_t gx = x - 1;
          const bool ink = gx >= 0 && gx < GlyphWidth(g) && InkAt(g, gx, y);
          const uint32_t pixel = LS_GetPixel(b, x, y);
          if (exactColours)
            ASSERT_EQ(pixel, ink ? static_cast<uint32_t>(InkIndex(g, gx, y)) : 0u) << slot << " " << g;
          else
            ASSERT_EQ(pixel != 0, ink) << slot << " " << g << " " << x << "," << y;
        }
    }
    SB_FreeBmap(b);
  }
};

TEST_F(HudFontTest, TheThreeFontsComeFromTheirStrips) {
  LoadFonts();
  EXPECT_EQ(SB_Var.CurrentFont, &SB_Fonts[0]);
  const int32_t glyphs[] = {48, 48, 45}, heights[] = {31, 20, 10}, spacing[] = {4, 2, 4};
  for (int32_t slot = 0; slot < SB_NBFONTS; ++slot) {
    const TSBFONT& f = SB_Fonts[slot];
    ASSERT_EQ(f.Loaded, 1) << slot;
    EXPECT_EQ(f.NbGlyphs, glyphs[slot]);
    EXPECT_EQ(f.Height, heights[slot]);
    EXPECT_EQ(SB_GetFontHeight(slot), heights[slot]);
    EXPECT_EQ(f.Spacing, spacing[slot]);
    EXPECT_EQ(f.FixedWidth, GlyphWidth(4) - 1 + 1);  // the widest glyph's width + 1
    EXPECT_EQ(f.Depth, 8);
    EXPECT_EQ(f.Source, nullptr);  // freed once built
    for (int32_t g = 0; g < f.NbGlyphs; ++g) {
      EXPECT_EQ(f.Spans[g].First, GlyphFirst(g));
      EXPECT_EQ(f.Spans[g].Last, GlyphFirst(g) + GlyphWidth(g) - 1);
    }
    EXPECT_EQ(f.CharMap[static_cast<unsigned char>('a')], 0);
    EXPECT_EQ(f.CharMap[static_cast<unsigned char>('-')], 44);
    EXPECT_EQ(f.CharMap[static_cast<unsigned char>('#')], SB_NOGLYPH);
    ExpectGlyphsMatchTheStrip(slot, true);
  }
  EXPECT_EQ(SB_GetFontHeight(3), 0);
  EXPECT_EQ(MemOwners("s->fonts"), 3);
  EXPECT_EQ(MemOwners("s->fontsData=SB_GetMem"), 3);
  EXPECT_EQ(MemOwners("s->fontsData[0]=SB_GetMem"), 3);
  EXPECT_EQ(MemOwners("s->fontsData[47]=SB_GetMem"), 2);
  SB_DisposeFonts();
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
  EXPECT_EQ(SB_Var.NbBmapOwners, 0);
  EXPECT_EQ(SB_Fonts[0].Loaded, 0);
}

TEST_F(HudFontTest, RemappingToSixteenBitsKeepsTheShapes) {
  LoadFonts();
  const int32_t runs = SB_Fonts[1].Glyphs[7].Count;
  MakeOverlay(640, 480, 16);  // remaps the fonts to the mode's depth
  for (int32_t slot = 0; slot < SB_NBFONTS; ++slot) {
    ASSERT_EQ(SB_Fonts[slot].Depth, 16);
    EXPECT_EQ(SB_Fonts[slot].Bmap->Format, BMAP_RGB565);
    ExpectGlyphsMatchTheStrip(slot, false);
  }
  EXPECT_EQ(SB_Fonts[1].Glyphs[7].Count, runs);
  EXPECT_EQ(SB_Var.NbBmapOwners, 4);  // three fonts and the overlay: the pictures were freed
}

TEST_F(HudFontTest, BadStrips) {
  struct Case {
    const char* what;
    std::string file;  // "" for no file
    int32_t loaded;
    int32_t wideGlyph0;  // Last of glyph 0 when the glyphs are checked, -1 not checked
    int32_t filledGlyphs;
  };
  const datagen::Picture24 strip = TestStrip(0);
  datagen::WriteTga(temp_ + "/good.tga", strip);
  const std::string good = ztest::ReadFile(temp_ + "/good.tga");
  datagen::WriteTga(temp_ + "/short.tga", TestStrip(0, 10));
  datagen::WriteTga(temp_ + "/solid.tga", datagen::Picture24(50, 31, 200, 10, 10));
  datagen::WriteTga(temp_ + "/empty.tga", datagen::Picture24(50, 31, SB_FONTBACK_RED, 0, SB_FONTBACK_BLUE));
  const Case cases[] = {
      {"missing", "", 0, -1, 0},
      {"truncated", good.substr(0, good.size() / 2), 0, -1, 0},
      {"not a picture", "MAP FILE, NOT A PICTURE", 0, -1, 0},
      {"narrower than its glyphs", ztest::ReadFile(temp_ + "/short.tga"), 1, GlyphWidth(0) - 1, 10},
      {"no background column", ztest::ReadFile(temp_ + "/solid.tga"), 1, 49, 1},
      {"all background", ztest::ReadFile(temp_ + "/empty.tga"), 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::remove((root_ + "/MISCPICT/FONT.TGA").c_str());
    if (!c.file.empty()) ztest::WriteFile(root_ + "/MISCPICT/FONT.TGA", c.file);
    SB_SelectFont(0);
    const int32_t owners = SB_Var.NbMemOwners + SB_Var.NbBmapOwners;
    EXPECT_EQ(SB_LoadFont(0), c.loaded);
    const TSBFONT& f = SB_Fonts[0];
    EXPECT_EQ(f.Loaded, c.loaded);
    if (c.loaded) {
      EXPECT_EQ(f.Spans[0].Last, c.wideGlyph0);
      int32_t filled = 0;
      for (int32_t g = 0; g < f.NbGlyphs; ++g) filled += f.Glyphs[g].Count ? 1 : 0;
      EXPECT_EQ(filled, c.filledGlyphs);
      // Glyphs that were not found are empty: no advance, no pixels.
      EXPECT_EQ(f.Spans[47].Last - f.Spans[47].First, 0);
    } else {
      EXPECT_EQ(SB_Var.NbMemOwners + SB_Var.NbBmapOwners, owners);
      if (!SB_Var.TextScreen) MakeOverlay(64, 64, 8);
      SB_DrawText(SB_Var.TextScreen, 0, 0, "ABC");
      EXPECT_TRUE(Texts().empty());
    }
    SB_FreeFont(0);
  }
}

TEST_F(HudFontTest, RefusedMemoryLeavesTheFontUnloaded) {
  WritePicture(SB_FONTFILES[0], TestStrip(0));
  // Leave ever more memory free until the font loads: every earlier
  // attempt fails somewhere along the way and must leave nothing behind.
  bool loaded = false;
  int refusals = 0;
  for (uint32_t left = 0; left < (1u << 20) && !loaded; left += 2048) {
    const uint32_t free = LS_GetFreeMem();
    void* hog = LS_GetMem(free > left + 4096 ? free - left - 4096 : 16);
    ASSERT_NE(hog, nullptr);
    loaded = SB_LoadFont(0) == 1;
    if (!loaded) {
      ++refusals;
      EXPECT_EQ(SB_Var.NbMemOwners + SB_Var.NbBmapOwners, 0) << left;
    }
    SB_FreeFont(0);
    LS_Release(hog);
  }
  EXPECT_TRUE(loaded);
  EXPECT_GT(refusals, 20);  // the load failed at many different points
}

}  // namespace
