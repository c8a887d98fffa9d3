// The editors' 8-bit drawing routines: what each writes, their clipping to
// the screen and to a smaller bitmap, and other depths left alone.
#include <string>
#include <vector>

#include "shell/gamedraw.h"
#include "shell/owner.h"
#include "tests/tools/tools_fixture.h"
#include "tools/editdraw8.h"

namespace {

class EditDraw8 : public ztest::ToolsTest {
 protected:
  BMAP* Make(int32_t w, int32_t h, int32_t depth, uint8_t fill) {
    BMAP* b = SB_CreateBmap(w, h, depth, 0, "test");
    SB_FillRect(b, 0, 0, w - 1, h - 1, fill);
    made_.push_back(b);
    return b;
  }
  void TearDown() override {
    for (BMAP* b : made_) SB_FreeBmap(b);
    SB_Var.Pal3d = nullptr;
    ToolsTest::TearDown();
  }
  // The pixels of rows y0..y1, columns x0..x1, one string a row ('.' for 0).
  static std::vector<std::string> Rows(BMAP* b, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    std::vector<std::string> rows;
    LS_LockBmap(b);
    for (int32_t y = y0; y <= y1; ++y) {
      std::string row;
      for (int32_t x = x0; x <= x1; ++x) {
        const uint8_t p = b->Start[y * b->ByteLen + x];
        row += p ? static_cast<char>('0' + p % 10) : '.';
      }
      rows.push_back(row);
    }
    LS_UnlockBmap(b);
    return rows;
  }
  std::vector<BMAP*> made_;
};

TEST_F(EditDraw8, ClearAndCheckerWriteZeroInsideTheRectangleOnly) {
  BMAP* b = Make(8, 6, 8, 5);
  SB_ClearRect8(b, 1, 1, 3, 2);
  SB_CheckerRect8(b, 4, 1, 6, 4);
  EXPECT_EQ(Rows(b, 0, 0, 7, 5), (std::vector<std::string>{"55555555", "5....5.5", "5...5.55", "5555.5.5",
                                                            "55555.55", "55555555"}));
}

TEST_F(EditDraw8, RectanglesPastTheScreenOrASmallBitmapAreClipped) {
  BMAP* wide = Make(700, 500, 8, 5);
  SB_ClearRect8(wide, 630, 470, 699, 499);  // the screen stops at 639 x 479
  EXPECT_EQ(Rows(wide, 638, 478, 641, 481), (std::vector<std::string>{"..55", "..55", "5555", "5555"}));
  BMAP* small = Make(4, 3, 8, 5);  // a smaller bitmap: nothing written past it
  SB_ClearRect8(small, -5, -5, 100, 100);
  SB_CheckerRect8(small, -5, -5, 100, 100);
  SB_DrawDashedRect8(small, -5, -5, 100, 100);
  SB_ShadowBlit8(small, small, 0, 0, 3, 2, -100, -100);
  EXPECT_EQ(Rows(small, 0, 0, 3, 2), (std::vector<std::string>{"....", "....", "...."}));
  BMAP* deep = Make(8, 8, 16, 5);
  SB_ClearRect8(deep, 0, 0, 7, 7);
  SB_DrawDashedRect8(deep, 0, 0, 7, 7);
  LS_LockBmap(deep);
  EXPECT_EQ(reinterpret_cast<uint16_t*>(deep->Start)[9], 5);
  LS_UnlockBmap(deep);
}

TEST_F(EditDraw8, AShadowFallsSixPixelsRightAndDownFromTheSourcesNonZeroPixels) {
  BMAP* source = Make(4, 3, 8, 0);
  SB_FillRect(source, 1, 0, 2, 1, 7);  // a 2 x 2 block
  BMAP* target = Make(16, 12, 8, 5);
  SB_ShadowBlit8(source, target, 0, 0, 3, 2, 1, 1);
  EXPECT_EQ(Rows(target, 7, 6, 12, 10), (std::vector<std::string>{"555555", "5..555", "5..555", "555555",
                                                                  "555555"}));
  BMAP* edge = Make(640, 480, 8, 5);  // one column left at the screen's edge: nothing
  SB_ShadowBlit8(source, edge, 1, 0, 3, 2, 639 - 6, 100);
  EXPECT_EQ(Rows(edge, 634, 106, 639, 107), (std::vector<std::string>{"555555", "555555"}));
}

TEST_F(EditDraw8, TheDashedOutlineAlternatesRedAndBlueAroundTheCorners) {
  PALETTE palette{};
  palette.Entry[1] = {63, 0, 0}, palette.Entry[2] = {0, 0, 63}, palette.Entry[5] = {30, 30, 30};
  SB_Var.Pal3d = &palette;
  BMAP* b = Make(640, 480, 8, 5);
  SB_DrawDashedRect8(b, 2, 1, 5, 3);
  EXPECT_EQ(Rows(b, 1, 0, 6, 4), (std::vector<std::string>{"555555", "512125", "525515", "512125", "555555"}));
  SB_DrawDashedRect8(b, 630, 470, 900, 900);  // clipped at 639 and 479
  EXPECT_EQ(Rows(b, 637, 477, 639, 479), (std::vector<std::string>{"551", "552", "121"}));
  SB_DrawDashedRect8(b, 9, 9, 8, 20);  // reversed: nothing
  EXPECT_EQ(Rows(b, 8, 9, 9, 9), std::vector<std::string>{"55"});
}

}  // namespace
