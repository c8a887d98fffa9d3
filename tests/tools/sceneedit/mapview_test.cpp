// The scene editor's map: the view transform, the turned markers, the
// outlines of the map's cells and the bad links they skip.
#include <cmath>
#include <vector>

#include "shell/gamedraw.h"
#include "tests/support/testmap.h"
#include "tests/tools/sceneedit/sceneedit_fixture.h"

namespace {

using ztest::SceneEditor;

TEST_F(SceneEditor, WorldToMapAndBack) {
  int32_t px = 0, py = 0;
  SB_WorldToMapView(view_, 0.0, 7.0, 0.0, &px, &py);
  EXPECT_EQ(px, 320);
  EXPECT_EQ(py, 240);
  SB_WorldToMapView(view_, 40.0, 0.0, 40.0, &px, &py);
  EXPECT_EQ(px, 330);
  EXPECT_EQ(py, 230);
  // Far points are held 1e9 pixels out; one that is not a number has no
  // pixel.
  const double nan = std::nan("");
  const struct {
    double x, z;
    int32_t on, px, py;
  } far[] = {{1e308, -1e308, 1, 1000000320, 1000000240},
             {-HUGE_VAL, 4.0, 1, -999999680, 239},
             {nan, 0.0, 0, -1000000000, -1000000000},
             {0.0, nan, 0, -1000000000, -1000000000}};
  for (const auto& r : far) {
    EXPECT_EQ(SB_WorldToMapView(view_, r.x, 0.0, r.z, &px, &py), r.on) << r.x << " " << r.z;
    EXPECT_EQ(std::pair(px, py), std::pair(r.px, r.py)) << r.x << " " << r.z;
  }
  for (double w : {-123.4, 0.5, 77.7}) {
    SB_WorldToMapView(view_, w, 0.0, -w, &px, &py);
    double x = 0, z = 0;
    SB_MapViewToWorld(view_, px, py, &x, &z);
    EXPECT_LT(std::fabs(x - w), 4.0) << w;
    EXPECT_LT(std::fabs(z + w), 4.0) << w;
  }
}

class RotStretch : public SceneEditor {
 protected:
  void SetUp() override {
    SceneEditor::SetUp();
    picture_ = SB_CreateBmap(32, 16, 16, 0, "picture");
    LS_FillRect(picture_, 0, 0, 31, 15, 0x1111);
    LS_FillRect(picture_, 24, 6, 31, 9, 0x2222);  // a block right of the centre
  }
  void TearDown() override {
    SB_FreeBmap(picture_);
    SceneEditor::TearDown();
  }
  BMAP* picture_ = nullptr;
};

TEST_F(RotStretch, HalfSizeInASquareOf27) {
  BMAP* out = rotstretch(picture_, 0.5, 0.0);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->SizeX, 27);
  EXPECT_EQ(out->SizeY, 27);
  int32_t minX = 99, maxX = -1, minY = 99, maxY = -1;
  for (int32_t y = 0; y < 27; ++y)
    for (int32_t x = 0; x < 27; ++x)
      if (LS_GetPixel(out, x, y)) minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y),
                                  maxY = std::max(maxY, y);
  // Half size, give or take the column and row the truncation toward zero
  // takes on the low side.
  EXPECT_NEAR(maxX - minX + 1, 16, 1);
  EXPECT_NEAR(maxY - minY + 1, 8, 1);
  EXPECT_NEAR((minX + maxX) / 2.0, 13.0, 1.0);
  EXPECT_NEAR((minY + maxY) / 2.0, 13.0, 1.0);
  EXPECT_EQ(LS_GetPixel(out, 13 + 6, 13), 0x2222u);  // right of the centre
  SB_FreeBmap(out);
  EXPECT_EQ(rotstretch(nullptr, 0.5, 0.0), nullptr);
}

TEST_F(RotStretch, AQuarterTurnPutsTheRightSideAbove) {
  BMAP* out = rotstretch(picture_, 0.5, M_PI / 2);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(LS_GetPixel(out, 13, 13 - 6), 0x2222u);
  EXPECT_NE(LS_GetPixel(out, 13 + 6, 13), 0x2222u);
  SB_FreeBmap(out);
}

TEST_F(SceneEditor, TheRingIsOutlinedInCyanOnly) {
  ztest::BuildRingMap();
  SB_Var.MapScale = 1.0;
  E3D_CalcMap(view_);
  ztest::FreeRingMap();
  ASSERT_NE(SB_Var.MapBmap, nullptr);
  const uint32_t cyan = SB_RgbToPixel16(0, 255, 255);
  int32_t lit = 0, other = 0;
  LS_LockBmap(SB_Var.MapBmap);
  for (int32_t y = 0; y < 480; ++y)
    for (int32_t x = 0; x < 640; ++x) {
      const uint32_t p = LS_GetPixel(SB_Var.MapBmap, x, y);
      lit += p == cyan, other += p != cyan && p != 0;
    }
  LS_UnlockBmap(SB_Var.MapBmap);
  EXPECT_EQ(other, 0);
  EXPECT_GT(lit, 1000);
  // Along the row of the centre, the lines lie on the ring (road, kerbs
  // and walls, 143.4 to 156.6 m out) and nowhere else.
  int32_t onRing = 0;
  for (int32_t x = 321; x < 640; ++x)
    if (LS_GetPixel(SB_Var.MapBmap, x, 240) == cyan) {
      EXPECT_GE(x - 320, 143) << x;
      EXPECT_LE(x - 320, 157) << x;
      ++onRing;
    }
  EXPECT_GT(onRing, 1);
}

TEST_F(SceneEditor, AMapWithoutCellsIsEmpty) {
  E3D_CalcMap(view_);
  ASSERT_NE(SB_Var.MapBmap, nullptr);
  LS_LockBmap(SB_Var.MapBmap);
  for (int32_t y = 0; y < 480; y += 7)
    for (int32_t x = 0; x < 640; x += 7) ASSERT_EQ(LS_GetPixel(SB_Var.MapBmap, x, y), 0u);
  LS_UnlockBmap(SB_Var.MapBmap);
}

// One cell at the origin with one face of n corners on a circle of 25 m,
// its links as given.
class OneFace : public SceneEditor {
 protected:
  void Build(int32_t corners, int32_t facesClaimed, uint32_t firstLink) {
    points_.clear(), links_.clear();
    for (int32_t k = 0; k < corners; ++k) {
      const double a = 2 * M_PI * k / corners;
      points_.push_back({static_cast<uint16_t>(8192 + 8000 * std::cos(a)), 8192,
                         static_cast<uint16_t>(8192 + 8000 * std::sin(a))});
      links_.push_back(static_cast<uint32_t>(k * sizeof(TFPOINTOFFSET)));
    }
    // A triangle of corners 0, 2 and 4 lies just past the face array.
    faces_[0] = faces_[1] = TFFACEPOLY{};
    faces_[0].NbCorners = static_cast<uint8_t>(corners);
    faces_[0].PointOffsets = firstLink;
    faces_[1].NbCorners = 3;
    links_.insert(links_.end(), {0, 2 * sizeof(TFPOINTOFFSET), 4 * sizeof(TFPOINTOFFSET)});
    faces_[1].PointOffsets = static_cast<uint32_t>(corners * sizeof(uint32_t));
    cell_ = TFCUBE10POLY{};
    cell_.X = cell_.Y = cell_.Z = 64;
    cell_.NbFaces[SB_GROUNDRUN] = static_cast<uint16_t>(facesClaimed);
    TDECOR& d = SB_Var.Decor;
    d.PointOffsets = points_.data(), d.NbPointOffsets = corners;
    d.PPointOffsets = links_.data(), d.NbPPointOffsets = static_cast<int32_t>(links_.size());
    d.FacePolys = faces_, d.NbFacePolys = 1;
    d.Cube10Polys = &cell_, d.NbCube10Polys = 1;
    SB_Var.MapScale = 0.125;
    E3D_CalcMap(view_);
    d = TDECOR{};
  }
  // The first non-zero pixel around the point (world metres from the
  // centre), or 0.
  uint32_t At(double x, double z) {
    const int32_t px = 320 + static_cast<int32_t>(x / 0.125), py = 240 - static_cast<int32_t>(z / 0.125);
    for (int32_t dy = -1; dy <= 1; ++dy)
      for (int32_t dx = -1; dx <= 1; ++dx)
        if (uint32_t p = LS_GetPixel(SB_Var.MapBmap, px + dx, py + dy)) return p;
    return 0;
  }
  uint32_t AtCorner(double angle) { return At(25 * std::cos(angle), 25 * std::sin(angle)); }
  std::vector<TFPOINTOFFSET> points_;
  std::vector<uint32_t> links_;
  TFFACEPOLY faces_[2]{};
  TFCUBE10POLY cell_{};
};

TEST_F(OneFace, SeventyCornersAreOutlinedFromTheFirst64) {
  Build(70, 1, 0);
  const uint32_t cyan = SB_RgbToPixel16(0, 255, 255);
  EXPECT_EQ(AtCorner(2 * M_PI * 10 / 70), cyan);
  EXPECT_EQ(AtCorner(2 * M_PI * 66 / 70), 0u);  // beyond corner 63 the chord back to 0 cuts inside
}

TEST_F(OneFace, LinksPastTheArraysAreSkipped) {
  Build(8, 40, 0);  // the cell claims 40 faces of the one there is
  EXPECT_EQ(AtCorner(0.0), SB_RgbToPixel16(0, 255, 255));
  EXPECT_EQ(At(12.5, 12.5), 0u);  // the triangle past the face array is not read
  SB_FreeBmap(SB_Var.MapBmap), SB_Var.MapBmap = nullptr;
  Build(8, 1, 4 * 4);  // the face's corners run past the link array
  EXPECT_EQ(AtCorner(0.0), 0u);
}

TEST_F(SceneEditor, ASelectedCarIsAllTint) {
  cars_[0].Position[0] = 40.0;  // pixel (330, 240)
  cars_[1].Position[0] = -120.0;  // pixel (290, 240)
  SB_Var.CarSelected[0] = 1;
  SB_Var.Camera.PosX = 1e6;  // off the view
  displayobject(view_);
  const uint32_t tint = SB_RgbToPixel16(240, 0, 0);
  int32_t tinted = 0, other = 0, plain = 0;
  for (int32_t y = 225; y < 256; ++y)
    for (int32_t x = 315; x < 346; ++x) {
      const uint32_t p = Pixel(x, y);
      tinted += p == tint, other += p != tint && p != 0;
    }
  for (int32_t y = 225; y < 256; ++y)
    for (int32_t x = 278; x < 303; ++x) plain += Pixel(x, y) != 0 && Pixel(x, y) != tint;
  EXPECT_GT(tinted, 40);
  EXPECT_EQ(other, 0);
  EXPECT_GT(plain, 40);  // the other car keeps its colours
}

}  // namespace
