// What the 8-bit fillers make of bad input from their callers: in a view
// fenced by guard bytes and from a page that is its own allocation, every
// row of the table draws what it says and touches nothing outside.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "tests/support/fillpages.h"

namespace {

using ztest::Corner;
using ztest::FenceCanvas;
using ztest::Page;

enum class Filler { Opaque, Transp, Affine, PerspTri };
constexpr Filler kFillers[] = {Filler::Opaque, Filler::Transp, Filler::Affine, Filler::PerspTri};

struct Input {
  std::vector<TSOFTVERTEX> corners;
  int32_t k = 0;
  float matrix[9] = {-1, 0, 0, 0, 1.0f / 256, 0, 0, 0, 1.0f / 256};
  TSOFTORIGIN origin{};
  int32_t height = 48;
};

FenceCanvas Fill(Filler f, Input in) {
  FenceCanvas canvas(64, in.height, 0xAA);
  std::vector<uint8_t> page = ztest::TexturePage(Page::Column);
  E3D_NegFocal = -1, E3D_NegCenterX = 0, E3D_NegCenterY = 0;
  canvas.Select();
  const auto n = static_cast<int32_t>(in.corners.size());
  TSOFTVERTEX* c = in.corners.data();
  if (f == Filler::Opaque || f == Filler::Transp) {
    (f == Filler::Opaque ? E3D_PerspPolyOpaque8 : E3D_PerspPolyTransp8)(in.k, n ? c : nullptr, n, page.data(),
                                                                          canvas.First(), &in.origin, in.matrix);
  } else if (n == 3) {
    (f == Filler::Affine ? E3D_AffineTri8 : E3D_PerspTri8)(in.k, &canvas.window, page.data(), &c[0], &c[1], &c[2], 0);
  }
  EXPECT_TRUE(canvas.FenceIntact());
  return canvas;
}

Input Tri(TSOFTVERTEX a, TSOFTVERTEX b, TSOFTVERTEX c) { return Input{{a, b, c}}; }

TEST(FillerBadInput, NothingIsDrawn) {
  const FenceCanvas blank(64, 48, 0xAA), tall(64, 700, 0xAA);
  const struct {
    const char* what;
    Input in;
  } rows[] = {
      {"corners on one row", Tri(Corner(0, 5), Corner(30, 5), Corner(60, 5))},
      {"no corner", Input{}},
      {"one corner", Input{{Corner(5, 5)}}},
      {"two corners", Input{{Corner(5, 5), Corner(20, 30)}}},
      {"left of the view", Tri(Corner(-1, 5), Corner(30, 5), Corner(20, 30))},
      {"right of the view", Tri(Corner(10, 5), Corner(65, 5), Corner(20, 30))},
      {"above the view", Tri(Corner(10, -1), Corner(30, 5), Corner(20, 30))},
      {"below the view", Tri(Corner(10, 5), Corner(30, 5), Corner(20, 49))},
      {"far beyond", Tri(Corner(10, 5), Corner(1 << 30, 5), Corner(20, -(1 << 30)))},
  };
  for (Filler f : kFillers)
    for (const auto& r : rows) EXPECT_EQ(Fill(f, r.in).bytes, blank.bytes) << r.what << " filler " << int(f);
  // Below row 600 of a taller view: the edge tables end there.
  Input deep = Tri(Corner(10, 5), Corner(30, 5), Corner(20, 601));
  deep.height = 700;
  for (Filler f : kFillers) EXPECT_EQ(Fill(f, deep).bytes, tall.bytes) << int(f);
  deep.corners[2].Y = 600;
  for (Filler f : kFillers) EXPECT_NE(Fill(f, deep).bytes, tall.bytes) << int(f);
}

TEST(FillerBadInput, SizeIndexesOutOfRangeAreTakenAs63) {
  for (Filler f : kFillers) {
    Input in = Tri(Corner(0, 0, 0, 0, 1), Corner(60, 0, 60 * 256, 0, 1), Corner(0, 40, 0, 40 * 256, 1));
    in.k = 63;
    const FenceCanvas want = Fill(f, in);
    for (int32_t k : {-1, 64, 255}) {
      in.k = k;
      EXPECT_EQ(Fill(f, in).bytes, want.bytes) << k << " filler " << int(f);
    }
    EXPECT_EQ(want.At(2, 1), f == Filler::Transp ? 0xAA : 0);  // the 2 x 2 texture: columns 0 and 1
    EXPECT_EQ(want.At(3, 1), 1);
  }
}

// No trap and no read outside the page: a zero or NaN denominator or
// depth, and coordinates far outside the texture.
TEST(FillerBadInput, NonFiniteGradientsAndFarCoordinatesStayInsideThePage) {
  const float nan = std::nanf("");
  const float matrices[][9] = {{0, 0, 0, 0, 1, 0, 0, 0, 1},
                               {nan, nan, nan, nan, nan, nan, nan, nan, nan},
                               {-1, 0.01f, 0, 0, 1e30f, 0, 0, 0, -1e30f},
                               {-1, -0.05f, 0, 0, 1, 0, 0, 0, 1}};  // D crosses 0 within the span
  for (Filler f : {Filler::Opaque, Filler::Transp})
    for (const auto& m : matrices) {
      Input in = Tri(Corner(0, 0), Corner(60, 0), Corner(0, 40));
      std::copy(m, m + 9, in.matrix);
      Fill(f, in);
    }
  for (int32_t z : {0, -5, 1 << 30}) {
    Input in = Tri(Corner(0, 0, INT32_MAX, INT32_MIN, z), Corner(60, 0, INT32_MIN, 7, 1), Corner(0, 40, 5, INT32_MAX, z));
    Fill(Filler::PerspTri, in);
    Fill(Filler::Affine, in);
  }
  Input far = Tri(Corner(0, 0), Corner(60, 0), Corner(0, 40));
  far.origin.UOffset = 1e12f, far.origin.VOffset = -1e12f;
  Fill(Filler::Opaque, far);
}

}  // namespace
