// The HUD's text drawer at 8 and 16 bits: the common baseline, markup and
// advances, the width, what draws nothing, clipping at every edge, and
// texts that are too long or carry bad markup.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "shell/owner.h"
#include "tests/race/rules/hud_fixture.h"

namespace {

class HudTextTest : public ztest::HudTest, public ::testing::WithParamInterface<int32_t> {
 protected:
  void SetUp() override {
    ztest::HudTest::SetUp();
    LoadFonts();
    MakeOverlay(640, 480, GetParam());
  }
  // The leftmost and topmost pixel set on the overlay, -1 when none.
  void FirstInk(int32_t* x, int32_t* y) const {
    *x = *y = -1;
    for (int32_t j = 0; j < 480; ++j)
      for (int32_t i = 0; i < 640; ++i)
        if (Pixel(i, j)) {
          if (*y < 0) *y = j;
          if (*x < 0 || i < *x) *x = i;
        }
  }
  std::vector<uint32_t> Snapshot() const {
    std::vector<uint32_t> pixels;
    for (int32_t j = 0; j < 480; ++j)
      for (int32_t i = 0; i < 640; ++i) pixels.push_back(Pixel(i, j));
    return pixels;
  }
  int32_t Advance(int32_t slot, int32_t g) const { return GlyphWidth(g) - 1 + SB_Fonts[slot].Spacing; }
};

TEST_P(HudTextTest, EveryFontSitsOnTheBaselineOfFontZero) {
  for (int32_t slot = 0; slot < SB_NBFONTS; ++slot) {
    LS_ClearBmap(SB_Var.TextScreen);
    const std::string text = std::string("*").append(std::to_string(slot)).append("A");
    SB_DrawText(SB_Var.TextScreen, 100, 50, "%s", text.c_str());
    int32_t x, y;
    FirstInk(&x, &y);
    EXPECT_EQ(x, 100) << slot;
    EXPECT_EQ(y, 50 + 31 - SB_FONTHEIGHTS[slot]) << slot;
  }
}

TEST_P(HudTextTest, MarkupAndAdvances) {
  // Small and capital letters share a glyph.
  SB_DrawText(SB_Var.TextScreen, 10, 10, "a");
  const std::vector<uint32_t> small = Snapshot();
  LS_ClearBmap(SB_Var.TextScreen);
  SB_DrawText(SB_Var.TextScreen, 10, 10, "A");
  EXPECT_EQ(Snapshot(), small);
  // Font 0 is current: blank, number sign (no glyph) and fixed width.
  const int32_t fixed = SB_Fonts[0].FixedWidth;
  EXPECT_EQ(SB_GetTextWidth("A"), Advance(0, 0));
  EXPECT_EQ(SB_GetTextWidth(" "), Advance(0, 0));
  EXPECT_EQ(SB_GetTextWidth("#"), 4);
  EXPECT_EQ(SB_GetTextWidth("$AB $"), 3 * (fixed + 4));
  EXPECT_EQ(SB_GetTextWidth("*1B*2C"), Advance(1, 1) + Advance(2, 2));
  // The pen's advance is where the next glyph lands.
  LS_ClearBmap(SB_Var.TextScreen);
  SB_DrawText(SB_Var.TextScreen, 0, 0, "A#");
  SB_DrawText(SB_Var.TextScreen, SB_GetTextWidth("A#"), 0, "B");
  const std::vector<uint32_t> apart = Snapshot();
  LS_ClearBmap(SB_Var.TextScreen);
  SB_DrawText(SB_Var.TextScreen, 0, 0, "A#B");
  EXPECT_EQ(Snapshot(), apart);
  // On a 320-wide overlay "*0" gives font 1, "*1" and "*2" font 2.
  MakeOverlay(320, 200, GetParam());
  EXPECT_EQ(SB_GetTextWidth("*0A"), Advance(1, 0));
  EXPECT_EQ(SB_GetTextWidth("*1A"), Advance(2, 0));
  EXPECT_EQ(SB_GetTextWidth("*2A"), Advance(2, 0));
  // The markup lasts for its text only.
  EXPECT_EQ(SB_GetTextWidth("A"), Advance(0, 0));
}

TEST_P(HudTextTest, NothingToDraw) {
  SB_DrawText(nullptr, 0, 0, "A");
  SB_DrawText(SB_Var.TextScreen, 0, 0, "%s", "");
  SB_DisposeFonts();
  SB_DrawText(SB_Var.TextScreen, 0, 0, "A");
  EXPECT_EQ(SB_GetTextWidth("A"), 0);
  EXPECT_TRUE(Texts().empty());
  int32_t x, y;
  FirstInk(&x, &y);
  EXPECT_EQ(y, -1);
}

TEST_P(HudTextTest, TextsAreClippedAtEveryEdge) {
  // A 30 x 40 view into the middle of the overlay: whatever lands outside
  // it shows on the overlay around it.
  BMAP view = *SB_Var.TextScreen;
  const int32_t bytes = GetParam() / 8;
  view.Start += 200 * view.ByteLen + 300 * bytes;
  view.SizeX = 30;
  view.SizeY = 40;
  const struct {
    int32_t x, y;
  } places[] = {{-6, 5},    {20, 5},        {3, -25},           {3, 15},
                {-10, -20}, {INT32_MIN, 0}, {INT32_MAX - 5, 0}, {0, INT32_MAX - 5}};
  for (const auto& p : places) {
    SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
    LS_ClearBmap(SB_Var.TextScreen);
    SB_DrawText(&view, p.x, p.y, "*1WXYZ");
    BMAP* reference = SB_CreateBmap(130, 140, GetParam(), 0, "reference");
    reference->Format = SB_Var.TextScreen->Format;
    SB_DrawText(reference, p.x < -100 || p.x > 100 ? p.x : p.x + 50, p.y < -100 || p.y > 100 ? p.y : p.y + 50,
                "*1WXYZ");
    int32_t ink = 0;
    for (int32_t j = 0; j < 480; ++j)
      for (int32_t i = 0; i < 640; ++i) {
        const bool inside = i >= 300 && i < 330 && j >= 200 && j < 240;
        const uint32_t expected = inside ? LS_GetPixel(reference, i - 300 + 50, j - 200 + 50) : 0;
        ASSERT_EQ(Pixel(i, j), expected) << i << "," << j;
        ink += expected != 0;
      }
    EXPECT_EQ(ink > 0, p.x > -100 && p.x < 100 && p.y > -100 && p.y < 100);
    SB_FreeBmap(reference);
  }
}

TEST_P(HudTextTest, OverlongTextsAndBadMarkup) {
  const std::string name(300, 'N');
  SB_DrawText(SB_Var.TextScreen, 0, 0, "*1%s: -%s", name.c_str(), "1''00");
  SB_DrawText(SB_Var.TextScreen, 0, 0, "%600d", 7);
  ASSERT_EQ(Texts().size(), 2u);
  EXPECT_EQ(Texts()[0].text.size(), 255u);
  EXPECT_EQ(Texts()[1].text.size(), 255u);
  EXPECT_EQ(SB_GetTextWidth("%s", name.c_str()), 255 * Advance(0, 13));
  // "*" with anything but 0..2 changes nothing and both characters go;
  // a final "*" is dropped; codes 128..255 have no glyph.
  for (const char* bad : {"*3A", "*9A", "**A", "*xA", "A*"})
    EXPECT_EQ(SB_GetTextWidth("%s", bad), Advance(0, 0)) << bad;
  EXPECT_EQ(SB_GetTextWidth("\xC9\x80\xFF"), 3 * 4);
}

INSTANTIATE_TEST_SUITE_P(Depths, HudTextTest, ::testing::Values(8, 16));

}  // namespace
