// The cross-fade, the screen transitions on the manual clock, and the
// brightness looks of buttons.
#include <cmath>

#include "tests/frontend/menu_fixture.h"

namespace ztest {
namespace {

class CrossFadeTest : public MenuTest {
 protected:
  BMAP* Make(int32_t w, int32_t h, int32_t format, const std::function<uint32_t(int, int)>& f) {
    BMAP* b = LS_CreateBmap(w, h, 16, 0);
    b->Format = format;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) reinterpret_cast<uint16_t*>(b->Start + y * b->ByteLen)[x] = static_cast<uint16_t>(f(x, y));
    owned_.push_back(b);
    return b;
  }
  void TearDown() override {
    for (BMAP* b : owned_) LS_FreeBmap(b);
    MenuTest::TearDown();
  }
  static uint32_t At(BMAP* b, int x, int y) { return reinterpret_cast<uint16_t*>(b->Start + y * b->ByteLen)[x]; }
  std::vector<BMAP*> owned_;
};

// Red and blue take i from src1's column and j from src2's row (0..31),
// green i and j up to 63.
TEST_F(CrossFadeTest, TablesBlendEachComponent) {
  const double a = 0.3;
  BMAP* s1 = Make(64, 64, BMAP_RGB565, [](int x, int) { return (x & 31) << 11 | x << 5 | (x & 31); });
  BMAP* s2 = Make(64, 64, BMAP_RGB565, [](int, int y) { return (y & 31) << 11 | y << 5 | (y & 31); });
  BMAP* d = Make(64, 64, BMAP_RGB565, [](int, int) { return 0; });
  BmapCrossFade(d, s1, s2, a, 2);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const uint32_t five = static_cast<uint32_t>((y & 31) * a + (x & 31) * (1 - a));
      const uint32_t six = static_cast<uint32_t>(y * a + x * (1 - a));
      ASSERT_EQ(At(d, x, y), five << 11 | six << 5 | five) << x << "," << y;
    }
}

TEST_F(CrossFadeTest, NearlyWholeAndLineSetsAndRefusals) {
  auto src1 = [](int, int) { return 0x1234u; };
  auto src2 = [](int x, int y) { return static_cast<uint32_t>(x * 977 + y * 31) & 0x7FFF; };
  for (double a : {0.995, 1.7}) {
    BMAP* d = Make(8, 8, BMAP_RGB555, [](int, int) { return 0; });
    BmapCrossFade(d, Make(8, 8, BMAP_RGB555, src1), Make(8, 8, BMAP_RGB555, src2), a, 2);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) ASSERT_EQ(At(d, x, y), src2(x, y)) << a;
  }
  const struct {
    int32_t lines;
    bool even, odd;
  } sets[] = {{0, true, false}, {1, false, true}, {2, true, true}};
  for (const auto& s : sets) {
    BMAP* d = Make(4, 4, BMAP_RGB555, [](int, int) { return 0x7FFFu; });
    BmapCrossFade(d, Make(4, 4, BMAP_RGB555, src1), Make(4, 4, BMAP_RGB555, src1), 0.5, s.lines);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(At(d, 1, y), (y % 2 ? s.odd : s.even) ? 0x1234u : 0x7FFFu) << s.lines;
  }
  // Mixed formats or sizes write nothing.
  BMAP* d = Make(4, 4, BMAP_RGB555, [](int, int) { return 0x7FFFu; });
  BmapCrossFade(d, Make(4, 4, BMAP_RGB565, src1), Make(4, 4, BMAP_RGB555, src1), 0.5, 2);
  BmapCrossFade(d, Make(4, 4, BMAP_RGB555, src1), Make(8, 8, BMAP_RGB555, src1), 0.5, 2);
  BmapCrossFade(d, Make(8, 8, BMAP_RGB555, src1), Make(8, 8, BMAP_RGB555, src1), 0.5, 2);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(At(d, 0, y), 0x7FFFu);
}

std::vector<std::pair<double, int32_t>>& Steps() {
  static std::vector<std::pair<double, int32_t>> s;
  return s;
}

class TransitionTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    Background(0x30A050);
    Steps().clear();
    SetTransitionObserver([](double a, int32_t lines) { Steps().push_back({a, lines}); });
  }
  // The interface on screen 1, then screen 0 with the given transition.
  void Change(int32_t kind, int32_t drawBackground = 1) {
    Screen(1, 4, {});
    Screen(0, kind, {}).DrawBackground = drawBackground;
    InitInterfaceFast();
    SB_Var.MenuScreen = 1;
    prepareecran(SB_Var.MenuBmap);
    Steps().clear();
    SB_Var.MenuScreen = 0;
    start_ = LSYS_GetTime();
    prepareecran(SB_Var.MenuBmap);
  }
  // Every pixel of the interface screen equals the image's (the
  // background's 16-bit copy, or one value).
  bool ScreenIs(uint32_t value, bool background = false) {
    BMAP* image = LS_CreateBmap(640, 480, 16, 0);
    if (background) LS_Bitmove(SB_Var.MenuBackground, image, 0, 0, 639, 479, 0, 0, LS_BLIT_OPAQUE);
    bool same = true;
    for (int y = 0; y < 480 && same; ++y)
      for (int x = 0; x < 640 && same; ++x)
        same = Pixel(SB_Var.MenuBmap, x, y) == (background ? Pixel(image, x, y) : value);
    LS_FreeBmap(image);
    return same;
  }
  uint32_t start_ = 0;
};

TEST_F(TransitionTest, StepsOnTheManualClock) {
  const double p = 3.1415;
  const struct {
    int32_t kind, total;
  } kinds[] = {{4, 1500}, {2, 3000}, {6, 3000}};
  for (const auto& k : kinds) {
    Change(k.kind);
    const size_t n = static_cast<size_t>(k.total / 50);
    ASSERT_EQ(Steps().size(), n + 1) << k.kind;
    for (size_t s = 0; s < n; ++s) {
      const double budget = k.total - 50.0 * (s + 1);
      EXPECT_DOUBLE_EQ(Steps()[s].first, 0.5 + 0.5 * std::cos(p - (1 - budget / k.total) * p)) << k.kind << " " << s;
      EXPECT_EQ(Steps()[s].second, static_cast<int32_t>(s % 2)) << k.kind << " " << s;
    }
    EXPECT_EQ(Steps()[n], (std::pair<double, int32_t>{1.0, 2}));
    EXPECT_GE(LSYS_GetTime() - start_, static_cast<uint32_t>(k.total));
    EXPECT_TRUE(ScreenIs(0, true)) << k.kind;
    FreeInterface(0);
  }
}

TEST_F(TransitionTest, EscapeAndCompositions) {
  plat::SetKeyState(27, true);
  Change(4);
  EXPECT_EQ(Steps(), (std::vector<std::pair<double, int32_t>>{{1.0, 2}}));
  EXPECT_TRUE(ScreenIs(0, true));
  plat::SetKeyState(27, false);
  FreeInterface(0);

  Change(3);  // on black, whatever the background
  EXPECT_TRUE(ScreenIs(0));
  FreeInterface(0);

  // Kind 6 without the background starts from the front screen.
  Screen(1, 4, {});
  Screen(0, 6, {}).DrawBackground = 0;
  InitInterfaceFast();
  SB_Var.MenuScreen = 1;
  prepareecran(SB_Var.MenuBmap);
  LS_FillRect(LS_Var.Screen, 0, 0, 639, 479, 0x1234);
  SB_Var.MenuScreen = 0;
  prepareecran(SB_Var.MenuBmap);
  EXPECT_TRUE(ScreenIs(0x1234));
  FreeInterface(0);
}

TEST_F(MenuTest, BrightnessLooksOfAButton) {
  BMAP* src = LS_CreateBmap(1, 1, 32, 0);
  BMAP* dst = LS_CreateBmap(1, 1, 32, 0);
  *reinterpret_cast<uint32_t*>(src->Start) = 0x4DE664C8;  // alpha 77, red 230, green 100, blue 200
  const struct {
    double factor;
    uint32_t expected;
  } rows[] = {{1.15, 0x4DFF72E5}, {0.95, 0x4DDA5FBE}, {0.65, 0x4D954182}};
  for (const auto& r : rows) {
    BmapScaleBrightness(dst, src, r.factor);
    EXPECT_EQ(*reinterpret_cast<uint32_t*>(dst->Start), r.expected) << r.factor;
  }
  LS_FreeBmap(src);
  LS_FreeBmap(dst);

  // Each look: the scaled picture over the background at (X, Y).
  Background(0x102030);
  Picture("INTER/BMAPS/B.TGA", 20, 10, [](int x, int) { return x < 10 ? 0xFFC86432u : 0u; });
  SB_Var.MenuBmaps[1].FileName = "INTER>BMAPS>B.TGA";
  TMENUITEM button = Item(ITEMKIND_BUTTON, 1, 50, 60);
  Screen(0, 4, {button});
  Start();
  TMENUITEM& item = SB_Var.MenuScreens[0].Items[0];
  const TMENUBMAP& row = SB_Var.MenuBmaps[1];
  EXPECT_EQ(Pixel(row.Highlighted, 0, 0), OnScreen(0xBE5F2F));
  EXPECT_EQ(Pixel(row.Normal, 0, 0), OnScreen(0x824120));
  EXPECT_EQ(Pixel(row.Pressed, 0, 0), OnScreen(0xE57239));
  for (BMAP* look : {row.Highlighted, row.Normal, row.Pressed}) EXPECT_EQ(Pixel(look, 15, 5), OnScreen(0x102030));
  const struct {
    int32_t state, selected;
    BMAP* look;
  } draws[] = {{0, 2, row.Normal},      {0, 1, row.Pressed}, {1, 2, row.Highlighted},
               {1, 3, row.Pressed},     {2, 2, row.Pressed}};
  for (const auto& d : draws) {
    item.State = d.state, item.Selected = d.selected;
    DrawItem(SB_Var.MenuBmap, &item);
    EXPECT_EQ(Pixel(SB_Var.MenuBmap, 50, 60), Pixel(d.look, 0, 0)) << d.state << " " << d.selected;
  }
  item.State = 3;  // the picture itself, blended
  DrawItem(SB_Var.MenuBmap, &item);
  BMAP* blended = LS_CreateBmap(1, 1, 16, 0);
  LS_Bitmove(row.Picture, blended, 0, 0, 0, 0, 0, 0, LS_BLIT_ALPHA);
  EXPECT_EQ(Pixel(SB_Var.MenuBmap, 50, 60), Pixel(blended, 0, 0));
  EXPECT_NE(Pixel(blended, 0, 0), Pixel(row.Pressed, 0, 0));
  LS_FreeBmap(blended);
  FreeInterface(0);

  // An item that never reacts (a caption) is never highlighted: it rests
  // at full brightness.
  button.Live = 0;
  Screen(0, 4, {button});
  SB_Var.DrawnMenuScreen = -1;
  Start();
  EXPECT_EQ(Pixel(row.Normal, 0, 0), OnScreen(0xC86432));
  FreeInterface(0);
}

}  // namespace
}  // namespace ztest
