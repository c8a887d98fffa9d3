// The polygon map's geometry on faces made in code: clipping in space and
// in texture space, the shape tests, splitting and merging.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/track/track_fixture.h"
#include "track/polymap.h"

namespace {

using Points = std::vector<TPOLYPOINT>;

class PolyGeom : public ztest::TrackTest {
 protected:
  void SetUp() override {
    ztest::TrackTest::SetUp();
    poly_ = SB_NewTLMAPPOLY(4, 16, "test");
  }
  void TearDown() override {
    SB_FreeTLMAPPOLY(poly_);
    ztest::TrackTest::TearDown();
  }
  // Appends a face facing up (y) with the material.
  int32_t Add(const Points& points, int16_t material = 0) {
    SB_ReserveTLMAPPOLY(poly_, static_cast<int32_t>(points.size()), 1);
    poly_->Faces[poly_->NbFaces] = {static_cast<uint32_t>(poly_->NbPoints), 0,        1, 0,
                                    static_cast<uint16_t>(points.size()),   material, 0};
    for (const TPOLYPOINT& p : points) poly_->Points[poly_->NbPoints++] = p;
    return poly_->NbFaces++;
  }
  Points Face(int32_t i) const {
    const TPOLYFACE& f = poly_->Faces[i];
    return Points(poly_->Points + f.FirstPoint, poly_->Points + f.FirstPoint + f.NbPoints);
  }
  TLMAPPOLY* poly_ = nullptr;
};

// A point of the ground plane y = 0 whose texture follows x and z.
TPOLYPOINT G(double x, double z) { return {x, 0, z, x / 10, z / 10}; }
const Points kSquare = {G(0, 0), G(0, 10), G(10, 10), G(10, 0)};

TEST_F(PolyGeom, ClippingKeepsThePositiveSide) {
  struct Row {
    const char* what;
    Points face;
    double cut;  // along x in space, along u in texture space (x / 10)
    size_t kept;
    double firstX;  // of the first point kept
  } rows[] = {
      {"through the middle", kSquare, 5, 4, 5},
      {"touching at one vertex", {G(0, 0), G(10, 5), G(0, 10)}, 10, 1, 10},
      {"wholly discarded", kSquare, 20, 0, 0},
  };
  for (bool uv : {false, true})
    for (const Row& r : rows) {
      const int32_t face = Add(r.face);
      if (uv) {
        const double point[2] = {r.cut / 10, 0}, normal[2] = {1, 0};
        SB_ClipFaceByUVLine(poly_, face, point, normal);
      } else {
        const double point[3] = {r.cut, 0, 0}, normal[3] = {1, 0, 0};
        SB_ClipFaceByPlane(poly_, face, point, normal);
      }
      const Points kept = Face(face);
      ASSERT_EQ(kept.size(), r.kept) << r.what << uv;
      for (const TPOLYPOINT& p : kept) {
        EXPECT_GE(p.X, r.cut - 1e-9) << r.what << uv;
        EXPECT_NEAR(p.U, p.X / 10, 1e-12) << r.what;  // u and v follow x and z
        EXPECT_NEAR(p.V, p.Z / 10, 1e-12) << r.what;
      }
      if (!kept.empty()) {
        EXPECT_EQ(kept[0].X, r.firstX) << r.what;
      }
    }
  SB_PurifyTLMAPPOLY(poly_);
  EXPECT_EQ(poly_->NbFaces, 2);  // the two halves
}

TEST_F(PolyGeom, NormalizingShiftsTheSmallestUAndVIntoTheFirstRepeat) {
  const int32_t face = Add({{0, 0, 0, 3.5, -1.25}, {1, 0, 0, 4.5, 0}, {0, 0, 1, 4, 2}});
  SB_NormalizeFaceUV(poly_, face);
  const Points p = Face(face);
  EXPECT_EQ(std::vector<double>({p[0].U, p[1].U, p[2].U, p[0].V, p[2].V}),
            std::vector<double>({0.5, 1.5, 1.0, 0.75, 4.0}));
}

TEST_F(PolyGeom, ShapeTests) {
  const float up[3] = {0, 1, 0}, down[3] = {0, -1, 0};
  const Points concave = {G(0, 0), G(0, 10), G(2, 5), G(10, 10), G(10, 0)};
  const Points flat = {G(0, 0), G(0, 10), G(0, 20), G(10, 0)};
  EXPECT_EQ(SB_PolyIsConvex(kSquare.data(), 4, down), 1);
  EXPECT_EQ(SB_PolyIsConvex(kSquare.data(), 4, up), 1);  // one sign throughout, either sign
  EXPECT_EQ(SB_PolyIsConvex(concave.data(), 5, down), 0);
  EXPECT_EQ(SB_PolyIsConvex(flat.data(), 4, down), 0);  // |t| < 0.01 at the straight corner

  struct Row {
    double off;
    int32_t count;
  } rows[] = {{0.05, 3}, {0.2, 4}};
  for (const Row& r : rows) {
    Points p = {G(0, 0), G(5, r.off), G(10, 0), G(5, 10)};
    EXPECT_EQ(SB_RemoveCollinearPoints(p.data(), 4), r.count) << r.off;
  }
  Points line = {G(0, 0), G(5, 0), G(10, 0), G(5, 0.01)};
  EXPECT_EQ(SB_RemoveCollinearPoints(line.data(), 4), 0);

  // Edge measure sqrt(dx^4 + dy^4 + dz^4): 1 x 1 gives sqrt(2) < 4; the
  // closing edge is never measured.
  const Points shortClosing = {G(0, 0), G(10, 0), G(10, 10), G(1, 1)};
  EXPECT_EQ(SB_PolyEdgesLongEnough(shortClosing.data(), 4), 1);
  const Points shortSecond = {G(0, 0), G(10, 0), G(11, 1), G(0, 10)};
  EXPECT_EQ(SB_PolyEdgesLongEnough(shortSecond.data(), 4), 0);
  Add(shortClosing);
  EXPECT_EQ(SB_SplitShortEdgedFace(poly_, 0), 0);
  const int32_t pentagon = Add({G(0, 0), G(10, 0), G(11, 1), G(10, 10), G(0, 10)});
  EXPECT_EQ(SB_SplitShortEdgedFace(poly_, pentagon), 1);
  EXPECT_EQ(SB_Var.NbDebuggedFaces, 2);  // three triangles for one face
  EXPECT_EQ(poly_->NbFaces, 5);
  EXPECT_EQ(poly_->Faces[pentagon].NbPoints, 0);
}

TEST_F(PolyGeom, BestCornerAndTextureAxes) {
  Points triangle = {G(0, 0), G(1, 0), G(0, 1)};
  EXPECT_EQ(SB_RotatePolyToBestCorner(triangle.data(), 3), 0);
  Points sliver = {G(0, 0), G(10, 0.1), G(20, 0), G(10, -0.1)};  // every corner flat or sharp
  EXPECT_EQ(SB_RotatePolyToBestCorner(sliver.data(), 4), -1);
  Points quad = {G(0, 0), G(0, 10), G(30, 10), G(30, -5)};
  EXPECT_EQ(SB_RotatePolyToBestCorner(quad.data(), 4), 2);  // the corner at (30, -5): edges 15 + 30.4
  EXPECT_EQ(std::vector<double>({quad[0].X, quad[0].Z}), std::vector<double>({30, 10}));

  double u[3], v[3];
  const TPOLYPOINT o = G(0, 0), a = G(10, 0), b = G(0, 10);
  ASSERT_EQ(SB_TextureAxes(&a, &o, &b, u, v), 1);
  EXPECT_EQ(std::vector<double>(u, u + 3), std::vector<double>({10, 0, 0}));
  EXPECT_EQ(std::vector<double>(v, v + 3), std::vector<double>({0, 0, 10}));
  const TPOLYPOINT same = {0, 0, 10, 0.5, 0.00999};  // det = 0.00999
  EXPECT_EQ(SB_TextureAxes(&a, &o, &same, u, v), 0);
}

TEST_F(PolyGeom, RemappingProjectsOnTheLargestNormalComponent) {
  // Planes across each axis: projecting on the wrong one would be degenerate.
  struct Row {
    TPOLYPOINT o, a, b;
  } rows[] = {
      {{5, 0, 0, 0, 0}, {5, 10, 0, 1, 0}, {5, 0, 10, 0, 1}},
      {{0, 5, 0, 0, 0}, {10, 5, 0, 1, 0}, {0, 5, 10, 0, 1}},
      {{0, 0, 5, 0, 0}, {10, 0, 5, 1, 0}, {0, 10, 5, 0, 1}},
  };
  auto at = [](const Row& r, double s, double t) {
    TPOLYPOINT p;
    SB_LerpPolyPoint(&p, &r.o, &r.a, s);
    p.X += (r.b.X - r.o.X) * t, p.Y += (r.b.Y - r.o.Y) * t, p.Z += (r.b.Z - r.o.Z) * t;
    p.U = p.V = 9;
    return p;
  };
  for (const Row& r : rows) {
    Points p = {at(r, 2, 3), at(r, 7.5, 3.5)};
    ASSERT_EQ(SB_RemapPolyTexture(p.data(), 2, &r.a, &r.o, &r.b), 1);
    const std::vector<double> uv = {p[0].U, p[0].V, p[1].U,
                                    p[1].V};  // (2, 3) and (7.5, 3.5), less their floors
    for (size_t k = 0; k < uv.size(); ++k) EXPECT_NEAR(uv[k], (std::vector<double>{0, 0, 5.5, 0.5})[k], 1e-9);
    p = {at(r, 2, 3), at(r, 10, 3)};  // u 8 once 2 is taken off
    EXPECT_EQ(SB_RemapPolyTexture(p.data(), 2, &r.a, &r.o, &r.b), 0);
  }
}

TEST_F(PolyGeom, MergingCoplanarNeighbours) {
  struct Row {
    const char* what;
    int32_t simplification;
    Points second;
    int16_t material;
    int32_t faces;  // after simplifying
  } rows[] = {
      {"square", 1, {G(0, 0), G(10, 10), G(10, 0)}, 0, 1},
      {"square, merging off", 0, {G(0, 0), G(10, 10), G(10, 0)}, 0, 2},
      {"concave pair", 1, {G(0, 0), G(10, 10), G(20, 15)}, 0, 2},
      {"other material", 1, {G(0, 0), G(10, 10), G(10, 0)}, 1, 2},
      {"other mapping", 1, {{0, 0, 0, 0, 0}, {10, 0, 10, 1.3, 1}, {10, 0, 0, 1, 0}}, 0, 2},
  };
  for (const Row& r : rows) {
    poly_->NbFaces = poly_->NbPoints = 0;
    SB_Var.NbSimplifiedFaces = 0;
    SB_Var.Simplification = r.simplification;
    Add({G(0, 0), G(0, 10), G(10, 10)});
    Add(r.second, r.material);
    SB_SimplifyTLMAPPOLY(poly_);
    ASSERT_EQ(poly_->NbFaces, r.faces) << r.what;
    EXPECT_EQ(SB_Var.NbSimplifiedFaces, 2 - r.faces) << r.what;
    if (r.faces == 1) {
      const Points merged = Face(0);
      ASSERT_EQ(merged.size(), 4u);
      for (const TPOLYPOINT& p : merged) {
        EXPECT_NEAR(p.U, p.X / 10, 1e-9);
        EXPECT_NEAR(p.V, p.Z / 10, 1e-9);
      }
    }
  }
}

// Trying a pair turns both faces to their best corner, merged or not: with
// merging on, a quadrangle that merges with nothing (the only other face is
// of another material, far off) still ends turned; with merging off it
// keeps its order.
TEST_F(PolyGeom, FacesLeftAloneAreTurnedToTheirBestCorner) {
  const Points quad = {G(0, 0), G(0, 100), G(300, 400), G(200, 0)};
  Points turned = quad;
  ASSERT_GT(SB_RotatePolyToBestCorner(turned.data(), 4), 0);
  for (int32_t simplification : {0, 1}) {
    poly_->NbFaces = poly_->NbPoints = 0;
    SB_Var.Simplification = simplification;
    Add(quad);
    Add({G(1000, 1000), G(1000, 1100), G(1100, 1100)}, 1);
    SB_SimplifyTLMAPPOLY(poly_);
    ASSERT_EQ(poly_->NbFaces, 2);
    const Points kept = Face(0), expected = simplification ? turned : quad;
    ASSERT_EQ(kept.size(), 4u);
    for (size_t k = 0; k < kept.size(); ++k) EXPECT_EQ(kept[k].X, expected[k].X) << simplification << " " << k;
  }
}

// A fan of 600 triangles round one point, its rim far enough out that no
// rim point is dropped as collinear: merges stop at 100 vertices, and the
// repeated passes grow the arrays past any reserve.
TEST_F(PolyGeom, MergesStopAtAHundredVertices) {
  SB_Var.Simplification = 1;
  const int n = 600;
  const double r = 4000;
  auto rim = [&](int i) {
    const double a = 2 * M_PI * i / n;
    return TPOLYPOINT{r * std::cos(a), 0, r * std::sin(a), 0, 0};
  };
  for (int i = 0; i < n; ++i) Add({G(0, 0), rim(i + 1), rim(i)});
  for (int32_t i = 0; i < poly_->NbPoints; ++i) {
    TPOLYPOINT& p = poly_->Points[i];
    p.U = 4 + p.X * 0.0009, p.V = 4 + p.Z * 0.0009;  // the disc spans 7.2 repeats
  }
  SB_SimplifyTLMAPPOLY(poly_);
  EXPECT_EQ(poly_->OutOfMemory, 0);
  int32_t largest = 0;
  for (int32_t i = 0; i < poly_->NbFaces; ++i) largest = std::max<int32_t>(largest, poly_->Faces[i].NbPoints);
  // Without the cap two or three polygons would cover the disc.
  EXPECT_LE(largest, SB_MAXPOLYVERTICES);
  EXPECT_GT(largest, 50);
  EXPECT_GE(poly_->NbFaces, n / (SB_MAXPOLYVERTICES - 1) + 1);
}

}  // namespace
