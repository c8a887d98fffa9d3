// The physics meters, on a 108 x 111 picture over a test palette: the
// four wheels' boxes, green and orange bars, the copy into the view's
// corner with colour 0 transparent, and the cases that draw nothing.
#include <limits>

#include "shell/owner.h"
#include "system/palette.h"
#include "tests/support/pixels.h"
#include "tests/vehicles/wheelfx/wheelfx_fixture.h"
#include "vehicles/vehicles.h"

namespace {

constexpr uint32_t kPanel = 5, kView = 7, kGreen = 10, kOrange = 20;

class Meters : public ztest::DriveTest {
 protected:
  PALETTE palette_ = {};
  void SetUp() override {
    DriveTest::SetUp();
    for (LS_RGB& e : palette_.Entry) e = {40, 40, 63};
    palette_.Entry[0] = {0, 0, 0};
    palette_.Entry[kGreen] = {2, 58, 3};
    palette_.Entry[kOrange] = {60, 30, 4};
    SB_Var.Pal3d = &palette_;
    SB_Var.DrawInfo = 1;
    SB_Var.MeterBitmap = Picture(108, 111, kPanel);
    SB_Var.TextScreen = Picture(640, 480, kView);
    SB_Var.ScreenWindow.W_POSX = 10, SB_Var.ScreenWindow.W_POSY = 20;
    SB_Var.ScreenWindow.W_WIDTH = 600, SB_Var.ScreenWindow.W_HEIGHT = 400;
  }
  void TearDown() override {
    SB_FreeBmap(SB_Var.MeterBitmap);
    SB_FreeBmap(SB_Var.TextScreen);
    SB_Var.Pal3d = nullptr;
    DriveTest::TearDown();
  }
  static BMAP* Picture(int32_t w, int32_t h, uint32_t colour) {
    BMAP* b = SB_CreateBmap(w, h, 8, 0, "meter test");
    LS_FillRect(b, 0, 0, w - 1, h - 1, colour);
    return b;
  }
  static uint32_t At(BMAP* b, int32_t x, int32_t y) { return ztest::PixelsOf(b)[static_cast<size_t>(y * b->SizeX + x)]; }
  // The pixels of one row of a box, from its left edge.
  static std::vector<uint32_t> Row(int32_t x1, int32_t x2, int32_t y) {
    const std::vector<uint32_t> all = ztest::PixelsOf(SB_Var.MeterBitmap);
    return std::vector<uint32_t>(all.begin() + y * 108 + x1, all.begin() + y * 108 + x2 + 1);
  }
  static std::vector<uint32_t> Bar(int32_t length, uint32_t colour) {
    std::vector<uint32_t> row(21, 0);
    for (int32_t i = 1; i <= length; ++i) row[static_cast<size_t>(i)] = colour;
    return row;
  }
};

TEST_F(Meters, EachWheelHasItsBoxAndBar) {
  const double slips[4] = {0.5, 0.0, 1.25, 0.97};  // wheels 0..3
  for (int32_t k = 0; k < 4; ++k) Car().Slips[k] = slips[k];
  SB_DrawPhysicsMeters();
  const struct {
    int32_t x1, y1, x2, y2;
    std::vector<uint32_t> bar;
  } boxes[] = {{86, 2, 106, 29, Bar(10, kGreen)},
               {2, 2, 22, 29, Bar(0, kGreen)},
               {86, 82, 106, 109, Bar(19, kOrange)},
               {2, 82, 22, 109, Bar(19, kGreen)}};
  for (const auto& b : boxes) {
    for (int32_t y : {b.y1, b.y2}) EXPECT_EQ(Row(b.x1, b.x2, y), b.bar) << b.x1 << " " << y;
    EXPECT_EQ(At(SB_Var.MeterBitmap, b.x1 - 1, b.y1), kPanel);  // nothing outside the box
    EXPECT_EQ(At(SB_Var.MeterBitmap, b.x2 + 1, b.y2), kPanel);
    EXPECT_EQ(At(SB_Var.MeterBitmap, b.x1, b.y1 - 1), kPanel);
    EXPECT_EQ(At(SB_Var.MeterBitmap, b.x2, b.y2 + 1), kPanel);
  }
}

TEST_F(Meters, LongSlipsShortenTheOrangeBar) {
  const struct {
    double slip;
    int32_t length;
    uint32_t colour;
  } rows[] = {{0.97, 19, kGreen}, {1.0, 20, kOrange},  {1.25, 19, kOrange}, {2.0, 15, kOrange},
              {6.0, 0, kOrange},  {1e300, 0, kOrange}, {-1.0, 0, kGreen},   {std::nan(""), 0, kGreen}};
  for (const auto& r : rows) {
    Car().Slips[1] = r.slip;
    SB_DrawPhysicsMeters();
    EXPECT_EQ(Row(2, 22, 10), Bar(r.length, r.colour)) << r.slip;
  }
}

TEST_F(Meters, ThePanelIsLaidOverTheViewsCornerWithColourZeroClear) {
  for (double& slip : Car().Slips) slip = 0.0;
  SB_DrawPhysicsMeters();
  const int32_t x0 = 10 + 600 - 109, y0 = 20 + 400 - 112;
  EXPECT_EQ(At(SB_Var.TextScreen, x0, y0), kPanel);
  EXPECT_EQ(At(SB_Var.TextScreen, x0 + 107, y0 + 110), kPanel);
  EXPECT_EQ(At(SB_Var.TextScreen, x0 + 108, y0 + 111), kView);
  EXPECT_EQ(At(SB_Var.TextScreen, x0 - 1, y0), kView);
  EXPECT_EQ(At(SB_Var.TextScreen, x0 + 2, y0 + 2), kView);  // a cleared box shows the view
  EXPECT_EQ(At(SB_Var.TextScreen, x0 + 87, y0 + 2), kView);  // wheel 0's empty bar
}

TEST_F(Meters, NothingWithoutDrawInfoOrAFittingPicture) {
  Car().Slips[1] = 0.5;
  SB_Var.DrawInfo = 0;
  SB_DrawPhysicsMeters();
  EXPECT_EQ(At(SB_Var.MeterBitmap, 3, 10), kPanel);
  EXPECT_EQ(At(SB_Var.TextScreen, 600, 400), kView);
  SB_Var.DrawInfo = 1;
  BMAP* small = Picture(106, 111, kPanel);  // one pixel too narrow
  std::swap(small, SB_Var.MeterBitmap);
  SB_DrawPhysicsMeters();
  EXPECT_EQ(ztest::PixelsOf(SB_Var.MeterBitmap), std::vector<uint32_t>(106 * 111, kPanel));
  EXPECT_EQ(At(SB_Var.TextScreen, 600, 400), kView);
  SB_FreeBmap(SB_Var.MeterBitmap);
  SB_Var.MeterBitmap = nullptr;
  SB_DrawPhysicsMeters();  // none at all
  SB_Var.MeterBitmap = small;
}

}  // namespace
