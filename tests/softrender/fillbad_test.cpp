// What the 8- and 16-bit fillers make of bad input from their callers: in
// a view fenced by guard pixels and from a page that is its own
// allocation, every row of the table draws what it says and touches
// nothing outside.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "softrender/fill16/persppoly16.h"
#include "tests/support/fillpages.h"

namespace {

using ztest::Corner;
using ztest::FenceCanvas;
using ztest::FenceCanvas16;
using ztest::Page;

enum class Filler { Opaque, Transp, Affine, PerspTri, Opaque16, Transp16, Affine16, Pal16 };
constexpr Filler kFillers[] = {Filler::Opaque,   Filler::Transp,   Filler::Affine,   Filler::PerspTri,
                               Filler::Opaque16, Filler::Transp16, Filler::Affine16, Filler::Pal16};
constexpr Filler kPolygonFillers[] = {Filler::Opaque, Filler::Transp, Filler::Opaque16, Filler::Transp16,
                                      Filler::Pal16};

bool Wide(Filler f) { return f >= Filler::Opaque16; }

struct Input {
  std::vector<TSOFTVERTEX> corners;
  int32_t k = 0;
  uint32_t mask = 0xFFFF;  // the filler from 8-bit pages takes a mask
  float matrix[9] = {-1, 0, 0, 0, 1.0f / 256, 0, 0, 0, 1.0f / 256};
  TSOFTORIGIN origin{};
  int32_t height = 48;
};

// The view after the filler, its pixels widened to 16 bits: 0xAA or
// 0xAAAA where nothing was drawn.
struct View {
  std::vector<uint16_t> pixels;
  int32_t stride = 0, guard = 0;
  uint16_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>((guard + y) * stride + guard + x)]; }
};

template <class Pixel>
View Widen(const ztest::FenceCanvasOf<Pixel>& canvas) {
  EXPECT_TRUE(canvas.FenceIntact());
  return {std::vector<uint16_t>(canvas.bytes.begin(), canvas.bytes.end()), canvas.stride, canvas.guard};
}

View Fill8(Filler f, Input& in) {
  FenceCanvas canvas(64, in.height, 0xAA);
  std::vector<uint8_t> page = ztest::TexturePage(Page::Column);
  canvas.Select();
  const auto n = static_cast<int32_t>(in.corners.size());
  TSOFTVERTEX* c = n ? in.corners.data() : nullptr;
  if (f == Filler::Opaque || f == Filler::Transp)
    (f == Filler::Opaque ? E3D_PerspPolyOpaque8 : E3D_PerspPolyTransp8)(in.k, c, n, page.data(), canvas.First(),
                                                                          &in.origin, in.matrix);
  else if (n == 3)
    (f == Filler::Affine ? E3D_AffineTri8 : E3D_PerspTri8)(in.k, &canvas.window, page.data(), &c[0], &c[1], &c[2], 0);
  return Widen(canvas);
}

View Fill16(Filler f, Input& in) {
  FenceCanvas16 canvas(64, in.height, 0xAAAA);
  std::vector<uint16_t> page = ztest::TexturePage16();
  std::vector<uint8_t> page8 = ztest::TexturePage(Page::Column);
  std::vector<uint16_t> colours(256);
  for (size_t i = 0; i < colours.size(); ++i) colours[i] = static_cast<uint16_t>(i);
  canvas.Select();
  const auto n = static_cast<int32_t>(in.corners.size());
  TSOFTVERTEX* c = n ? in.corners.data() : nullptr;
  auto* texels = reinterpret_cast<uint8_t*>(page.data());
  if (f == Filler::Opaque16 || f == Filler::Transp16)
    (f == Filler::Opaque16 ? E3D_PerspPolyOpaque16 : E3D_PerspPolyTransp16)(in.k, c, n, texels, canvas.First(),
                                                                             &in.origin, in.matrix);
  else if (f == Filler::Pal16)
    E3D_PerspPolyPal16(in.mask, c, n, page8.data(), colours.data(), canvas.First(), &in.origin, in.matrix);
  else if (n == 3)
    E3D_AffineTri16(in.k, &canvas.window, texels, &c[0], &c[1], &c[2], 0);
  return Widen(canvas);
}

View Fill(Filler f, Input in) {
  E3D_NegFocal = -1, E3D_NegCenterX = 0, E3D_NegCenterY = 0;
  return Wide(f) ? Fill16(f, in) : Fill8(f, in);
}

// The view as the filler found it.
View Blank(Filler f, int32_t height) {
  return Wide(f) ? Widen(FenceCanvas16(64, height, 0xAAAA)) : Widen(FenceCanvas(64, height, 0xAA));
}

Input Tri(TSOFTVERTEX a, TSOFTVERTEX b, TSOFTVERTEX c) { return Input{{a, b, c}}; }

TEST(FillerBadInput, NothingIsDrawn) {
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
  for (Filler f : kFillers) {
    const View blank = Blank(f, 48), tall = Blank(f, 700);
    for (const auto& r : rows) EXPECT_EQ(Fill(f, r.in).pixels, blank.pixels) << r.what << " filler " << int(f);
    // Below row 600 of a taller view: the edge tables end there.
    Input deep = Tri(Corner(10, 5), Corner(30, 5), Corner(20, 601));
    deep.height = 700;
    EXPECT_EQ(Fill(f, deep).pixels, tall.pixels) << int(f);
    deep.corners[2].Y = 600;
    EXPECT_NE(Fill(f, deep).pixels, tall.pixels) << int(f);
  }
}

TEST(FillerBadInput, SizeIndexesOutOfRangeAreTakenAs63AndMasksBy16Bits) {
  for (Filler f : kFillers) {
    Input in = Tri(Corner(0, 0, 0, 0, 1), Corner(60, 0, 60 * 256, 0, 1), Corner(0, 40, 0, 40 * 256, 1));
    in.k = 63, in.mask = 0x0101;
    const View want = Fill(f, in);
    for (int32_t k : {-1, 64, 255}) {
      in.k = k, in.mask = 0xFFFF0101u;
      EXPECT_EQ(Fill(f, in).pixels, want.pixels) << k << " filler " << int(f);
    }
    // The 2 x 2 texture: columns 0 and 1, and at 16 bits rows 0 and 1.
    const uint16_t hole = f == Filler::Transp ? 0xAA : 0;
    EXPECT_EQ(want.At(2, 1), Wide(f) && f != Filler::Pal16 ? 0x0100 : hole) << int(f);
    EXPECT_EQ(want.At(3, 1), Wide(f) && f != Filler::Pal16 ? 0x0101 : 1) << int(f);
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
  for (Filler f : kPolygonFillers) {
    for (const auto& m : matrices) {
      Input in = Tri(Corner(0, 0), Corner(60, 0), Corner(0, 40));
      std::copy(m, m + 9, in.matrix);
      Fill(f, in);
    }
    Input far = Tri(Corner(0, 0), Corner(60, 0), Corner(0, 40));
    far.origin.UOffset = 1e12f, far.origin.VOffset = -1e12f;
    Fill(f, far);
    far.origin.UOffset = nan, far.origin.VOffset = INFINITY;
    Fill(f, far);
  }
  for (int32_t z : {0, -5, 1 << 30}) {
    Input in = Tri(Corner(0, 0, INT32_MAX, INT32_MIN, z), Corner(60, 0, INT32_MIN, 7, 1), Corner(0, 40, 5, INT32_MAX, z));
    for (Filler f : {Filler::PerspTri, Filler::Affine, Filler::Affine16}) Fill(f, in);
  }
}

}  // namespace
