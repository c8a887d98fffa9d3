// The menus' message box, measured on the front screen it is blended
// onto, and the line cut to fit its item's rectangle.
#include <algorithm>
#include <cstring>
#include <vector>

#include "frontend/menuparts.h"
#include "system/font.h"
#include "tests/frontend/tree_fixture.h"

namespace ztest {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

struct Box {
  int32_t x1 = 640, y1 = 480, x2 = -1, y2 = -1;
  int32_t Width() const { return x2 - x1 + 1; }
  int32_t Height() const { return y2 - y1 + 1; }
};

class MenuTextTest : public TreeMenuTest {
 protected:
  void SetUp() override {
    TreeMenuTest::SetUp();
    InitInterface();
  }
  // The front screen all white.
  static void WhiteScreen() { LS_FillRect(LS_Var.Screen, 0, 0, 639, 479, OnScreen(kWhite)); }
  // The rectangle of pixels no longer white.
  static Box Changed() {
    Box b;
    const uint32_t white = OnScreen(kWhite);
    for (int32_t y = 0; y < 480; ++y)
      for (int32_t x = 0; x < 640; ++x)
        if (LS_GetPixel(LS_Var.Screen, x, y) != white) {
          b.x1 = std::min(b.x1, x), b.y1 = std::min(b.y1, y);
          b.x2 = std::max(b.x2, x), b.y2 = std::max(b.y2, y);
        }
    return b;
  }
  // White under the box's half-transparent black, by the library's blend.
  static uint32_t Shaded() {
    BMAP* one = LS_CreateBmap(1, 1, 32, 0);
    one->Format = BMAP_ARGB8888;
    *reinterpret_cast<uint32_t*>(one->Start) = 0x7F000000u;
    BMAP* two = LS_CreateBmap(1, 1, 16, 0);
    LS_FillRect(two, 0, 0, 0, 0, OnScreen(kWhite));
    LS_Bitmove(one, two, 0, 0, 0, 0, 0, 0, LS_BLIT_ALPHA);
    const uint32_t value = LS_GetPixel(two, 0, 0);
    LS_FreeBmap(one);
    LS_FreeBmap(two);
    return value;
  }
  // First row, from the top, with a pixel that is neither white nor the
  // box's shade, between the columns.
  static int32_t FirstInkRow(int32_t from, int32_t x1, int32_t x2) {
    const uint32_t white = OnScreen(kWhite), shade = Shaded();
    for (int32_t y = from; y < 480; ++y)
      for (int32_t x = x1; x <= x2; ++x) {
        const uint32_t p = LS_GetPixel(LS_Var.Screen, x, y);
        if (p != white && p != shade) return y;
      }
    return -1;
  }
  static int32_t FirstInkColumn(int32_t y1, int32_t y2) {
    const uint32_t white = OnScreen(kWhite), shade = Shaded();
    for (int32_t x = 0; x < 640; ++x)
      for (int32_t y = y1; y <= y2; ++y) {
        const uint32_t p = LS_GetPixel(LS_Var.Screen, x, y);
        if (p != white && p != shade) return x;
      }
    return -1;
  }
};

TEST_F(MenuTextTest, BoxSizesByFontAndLines) {
  FONT* big = SB_Var.MenuFontBig;
  FONT* small = SB_Var.MenuFontSmall;
  ASSERT_NE(big, nullptr);
  ASSERT_NE(small, nullptr);
  const int32_t widest = LS_GetStringWidth(big, "CHOOSE ANOTHER PROTOCOL");
  struct Row {
    FONT* font;
    int32_t text, width, height;
  };
  const Row rows[] = {
      {big, 83, std::min(widest + 20, 640), 40 * 2 + 24},
      {big, 57, LS_GetStringWidth(big, "PLEASE WAIT") + 40, 60},
      {small, 57, LS_GetStringWidth(small, "PLEASE WAIT") + 20, 23},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    for (int32_t at : {0, 300}) {  // the position given is not used
      WhiteScreen();
      drawscreentext(r.font, r.text, at, at);
      const Box b = Changed();
      EXPECT_EQ(b.Width(), r.width);
      EXPECT_EQ(b.Height(), r.height);
      EXPECT_EQ(b.x1, (640 - r.width) / 2);
      EXPECT_EQ(b.y1, (480 - r.height) / 2);
      EXPECT_EQ(LS_GetPixel(LS_Var.Screen, b.x1, b.y1), Shaded());
    }
  }
}

TEST_F(MenuTextTest, BigLinesAreCentredFrom12And42Apart) {
  WhiteScreen();
  drawscreentext(SB_Var.MenuFontBig, 83, 0, 0);
  const Box b = Changed();
  const int32_t first = FirstInkRow(b.y1, b.x1, b.x2);
  const int32_t second = FirstInkRow(b.y1 + 12 + 42, b.x1, b.x2);
  EXPECT_GE(first, b.y1 + 12);
  EXPECT_LT(first, b.y1 + 12 + 36);
  EXPECT_EQ(second - first, 42);  // both lines start with a capital C
  const int32_t narrower = LS_GetStringWidth(SB_Var.MenuFontBig, "CONNECTION FAILED");
  EXPECT_NEAR(FirstInkColumn(first, first + 30), b.x1 + (b.Width() - narrower) / 2, 2);
}

TEST_F(MenuTextTest, AnEmptyTextDrawsNothing) {
  WhiteScreen();
  drawscreentext(SB_Var.MenuFontBig, 26, 0, 0);
  drawscreentext(SB_Var.MenuFontBig, 86, 0, 0);
  EXPECT_EQ(Changed().x2, -1);
}

// The window's repaint copies the rectangle, corners included, from the
// interface's bitmap.
TEST_F(MenuTextTest, ARepaintCopiesItsRectangle) {
  LS_FillRect(SB_Var.MenuBmap, 0, 0, 639, 479, 0x1234);
  WhiteScreen();
  ShowScreenRect(10, 20, 30, 40);
  const Box b = Changed();
  EXPECT_EQ(std::vector<int32_t>({b.x1, b.y1, b.x2, b.y2}), std::vector<int32_t>({10, 20, 30, 40}));
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 30, 40), 0x1234u);
}

// DrawClippedText on item 1 of screen 10 (its rectangle (200,178)-(460,193)).
class ClippedTextTest : public MenuTextTest {
 protected:
  void SetUp() override {
    MenuTextTest::SetUp();
    item_ = SB_Var.MenuScreens[10].Items[1];
  }
  std::string Cut(const char* text, int32_t width) {
    std::strcpy(buffer_ + 2, text);
    item_.HitX2 = item_.HitX1 + width;
    DrawClippedText(&item_, SB_Var.MenuBackground, SB_Var.MenuFontSmall, buffer_ + 2);
    return buffer_ + 2;
  }
  TMENUITEM item_{};
  char buffer_[64] = {'#', '#'};
};

TEST_F(ClippedTextTest, CutsToFit) {
  FONT* font = SB_Var.MenuFontSmall;
  struct Row {
    const char* text;
    int32_t width;
    const char* kept;
  };
  const Row rows[] = {
      {"ABCDEF", LS_GetStringWidth(font, "ABCDEF") + 1, "ABCDEF"},  // fits
      {"ABCDEF", LS_GetStringWidth(font, "ABCDEF"), "AB..."},      // exactly as wide: one off, dots
      {"AB CD", LS_GetStringWidth(font, "AB C"), "AB "},           // ends on a blank: no dots
      {"AB", LS_GetStringWidth(font, "AB"), "."},                  // one left: one dot
      {"AB", 1, ""},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(Cut(r.text, r.width), r.kept) << r.text << " " << r.width;
    EXPECT_EQ(std::string(buffer_, 2), "##");  // nothing written before the text
  }
}

TEST_F(ClippedTextTest, ALockedBitmapIsSaidAndNotDrawn) {
  LS_FillRect(SB_Var.MenuBmap, 0, 0, 639, 479, 0);
  LS_LockBmap(SB_Var.MenuBmap);
  Cut("TEXT", 200);
  LS_UnlockBmap(SB_Var.MenuBmap);
  ASSERT_FALSE(Boxes().empty());
  EXPECT_EQ(Boxes().back(), "video locke");
  const auto Drawn = [this] {
    int32_t n = 0;
    for (int32_t x = item_.HitX1; x < item_.HitX1 + 40; ++x) n += LS_GetPixel(SB_Var.MenuBmap, x, item_.HitY1 + 5) != 0;
    return n;
  };
  EXPECT_EQ(Drawn(), 0);
  Cut("TEXT", 200);  // drawn: the background and the text
  EXPECT_GT(Drawn(), 0);
}

}  // namespace
}  // namespace ztest
