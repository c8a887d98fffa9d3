// The point-in-polygon test: inside and outside of either winding, a point
// on an edge, corners sharing a pixel dropped, and too few or too many
// corners.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "engine3d/pointinpolygon.h"
#include "platform/accel/types.h"

namespace {

std::vector<TSGLVERTEX> Polygon(std::initializer_list<std::pair<float, float>> corners) {
  std::vector<TSGLVERTEX> v;
  for (const auto& [x, y] : corners) v.push_back({x, y, 0, 0, 0, 0, 0, 0});
  return v;
}

int32_t Inside(const std::vector<TSGLVERTEX>& p, float x, float y) {
  return SB_PointInPolygon(static_cast<int32_t>(p.size()), p.data(), x, y);
}

TEST(PointInPolygon, TriangleOfEitherWindingAndItsEdges) {
  const auto forward = Polygon({{0, 0}, {10, 0}, {0, 10}}), backward = Polygon({{0, 10}, {10, 0}, {0, 0}});
  const struct {
    float x, y;
    int32_t inside;
  } kRows[] = {{2, 2, 1}, {20, 20, 0}, {-1, 2, 0}, {6, 6, 0}, {9.9f, 0.05f, 1}};
  for (const auto& r : kRows) {
    EXPECT_EQ(Inside(forward, r.x, r.y), r.inside) << r.x << " " << r.y;
    EXPECT_EQ(Inside(backward, r.x, r.y), r.inside) << r.x << " " << r.y;
  }
  // A point on an edge counts on that edge's s <= 0 side: inside for the
  // winding whose edges all see the inside there.
  EXPECT_EQ(std::pair(Inside(forward, 5, 0), Inside(backward, 5, 0)), std::pair(0, 1));
}

TEST(PointInPolygon, CornersSharingAPixelAreOneAndTooFewGiveNothing) {
  EXPECT_EQ(Inside(Polygon({{3.1f, 3.2f}, {3.5f, 3.9f}, {3.8f, 3.3f}}), 3.4f, 3.4f), 0) << "one pixel";
  EXPECT_EQ(Inside(Polygon({{0, 0}, {0.5f, 0.5f}, {10, 0}, {10, 10}, {0, 10}}), 5, 5), 1)
      << "a doubled corner";
  EXPECT_EQ(Inside(Polygon({{0, 0}, {10, 0}}), 5, 0), 0);
  EXPECT_EQ(SB_PointInPolygon(3, nullptr, 1, 1), 0);
  std::vector<TSGLVERTEX> many;
  for (int i = 0; i < 33; ++i)
    many.push_back({100 + 50 * std::cos(i * 0.19f), 100 + 50 * std::sin(i * 0.19f), 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(Inside(many, 100, 100), 0) << "more than 32 corners";
  many.resize(32);
  EXPECT_EQ(Inside(many, 100, 100), 1);
}

}  // namespace
