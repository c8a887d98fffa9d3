// ".PLG" files: the empty file, the shipped meshes read back, files cut
// at every byte, bad counts and indices, trailing bytes; and the near-plane
// correction's frame, its cases and its degenerate triangles.
#include "scenery/plg.h"

#include <cmath>
#include <set>

#include "datagen/carshadows.h"
#include "scenery/nearplane.h"
#include "tests/scenery/scenery_fixture.h"

namespace {

using scenerytest::SceneryTest;

// The fixture checks that no heap block is left.
class PlgTest : public SceneryTest {
 protected:
  TPLG* Load(const datagen::Bytes& bytes) {
    ztest::WriteFile(root_ + "/PLG/TEST.PLG", std::string(bytes.begin(), bytes.end()));
    return LoadPlg("PLG>TEST.PLG");
  }
  static datagen::PlgMesh Triangle() {
    datagen::PlgMesh m;
    m.vertices = {{0, 0, 0}, {5, 0, 0}, {0, 5, 0}};
    m.polygons = {{{0, 0, 7}, {0, 1, 2}, {}}};
    return m;
  }
};

TEST_F(PlgTest, EmptyFileIsAnEmptyMesh) {
  TPLG* plg = Load(datagen::Bytes(8, 0));
  ASSERT_NE(plg, nullptr);
  EXPECT_EQ(std::pair(plg->NbVertices, plg->NbPolygons), std::pair(0u, 0u));
  EXPECT_EQ(FreePlg(plg), 1);
  EXPECT_EQ(FreePlg(nullptr), 0);
  EXPECT_EQ(LoadPlg("PLG>NONE.PLG"), nullptr);
}

TEST_F(PlgTest, ShippedMeshesReadBackClosedAndSmall) {
  for (const datagen::NamedPlg& named : datagen::ShadowMeshes()) {
    SCOPED_TRACE(named.path);
    TPLG* plg = Load(datagen::PlgBytes(named.mesh));
    ASSERT_NE(plg, nullptr);
    const datagen::PlgMesh& m = named.mesh;
    ASSERT_EQ(plg->NbVertices, m.vertices.size());
    EXPECT_LE(plg->NbVertices, 64u);
    for (size_t i = 0; i < m.vertices.size(); ++i)
      EXPECT_EQ(std::vector<int32_t>(plg->Vertices[i], plg->Vertices[i] + 3),
                std::vector<int32_t>(m.vertices[i].begin(), m.vertices[i].end()));
    ASSERT_EQ(plg->NbPolygons, m.polygons.size());
    std::multiset<std::pair<uint32_t, uint32_t>> edges;
    for (size_t p = 0; p < m.polygons.size(); ++p) {
      const TPLGPOLY& got = plg->Polygons[p];
      EXPECT_EQ(std::vector<uint32_t>(got.Indices, got.Indices + got.NbIndices), m.polygons[p].indices);
      EXPECT_EQ(std::vector<int32_t>(got.Vector, got.Vector + 3),
                std::vector<int32_t>(m.polygons[p].vector.begin(), m.polygons[p].vector.end()));
      for (uint32_t k = 0; k < got.NbIndices; ++k)
        edges.insert({got.Indices[k], got.Indices[(k + 1) % got.NbIndices]});
    }
    // Closed: every edge is walked once each way.
    for (const auto& [a, b] : edges) EXPECT_EQ(edges.count({b, a}), 1u) << a << " " << b;
    FreePlg(plg);
  }
}

TEST_F(PlgTest, FileCutAtAnyByteIsRefused) {
  const datagen::Bytes whole = datagen::PlgBytes(datagen::ShadowMeshes()[1].mesh);
  for (size_t n = 0; n < whole.size(); ++n)
    EXPECT_EQ(Load(datagen::Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n))), nullptr)
        << n;
}

TEST_F(PlgTest, CountsIndicesAndLengthMustMatchTheFile) {
  struct Row {
    const char* what;
    void (*change)(datagen::PlgMesh&);
    bool loads;
  };
  const Row kRows[] = {
      {"as made", [](datagen::PlgMesh&) {}, true},
      {"N 0", [](datagen::PlgMesh& m) { m.vertexCount = 0; }, false},
      {"N 2", [](datagen::PlgMesh& m) { m.vertexCount = 2; }, false},
      {"N 2^32-1", [](datagen::PlgMesh& m) { m.vertexCount = 0xFFFFFFFF; }, false},
      {"P 0", [](datagen::PlgMesh& m) { m.polygonCount = 0; }, false},
      {"P 2", [](datagen::PlgMesh& m) { m.polygonCount = 2; }, false},
      {"P 2^32-1", [](datagen::PlgMesh& m) { m.polygonCount = 0xFFFFFFFF; }, false},
      {"K 0", [](datagen::PlgMesh& m) { m.polygons[0].count = 0; }, false},
      {"K 2", [](datagen::PlgMesh& m) { m.polygons[0].count = 2; }, false},
      {"K 2^32-1", [](datagen::PlgMesh& m) { m.polygons[0].count = 0xFFFFFFFF; }, false},
      {"two indices",
       [](datagen::PlgMesh& m) {
         m.polygons[0].indices = {0, 1};
       },
       false},
      {"two indices, then four",
       [](datagen::PlgMesh& m) {
         m.polygons[0].indices = {0, 1};
         m.polygons.push_back({{0, 0, 7}, {0, 1, 2, 1}, {}});
       },
       false},
      {"index N", [](datagen::PlgMesh& m) { m.polygons[0].indices[2] = 3; }, false},
      {"index 2^32-1", [](datagen::PlgMesh& m) { m.polygons[0].indices[1] = 0xFFFFFFFF; }, false},
  };
  for (const Row& r : kRows) {
    datagen::PlgMesh m = Triangle();
    r.change(m);
    TPLG* plg = Load(datagen::PlgBytes(m));
    EXPECT_EQ(plg != nullptr, r.loads) << r.what;
    FreePlg(plg);
  }
  datagen::Bytes trailing = datagen::PlgBytes(Triangle());
  trailing.push_back(0);
  EXPECT_EQ(Load(trailing), nullptr) << "a trailing byte";
}

// The triangle as three points, and back.
struct Tri {
  TTRIANGLE t;
  Tri(std::initializer_list<std::array<double, 3>> p) {
    int i = 0;
    for (const auto& q : p) t[i][0] = q[0], t[i][1] = q[1], t[i][2] = q[2], ++i;
  }
  std::array<double, 3> Normal() const {
    const double a[3] = {t[1][0] - t[0][0], t[1][1] - t[0][1], t[1][2] - t[0][2]};
    const double b[3] = {t[2][0] - t[0][0], t[2][1] - t[0][1], t[2][2] - t[0][2]};
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  }
  // The plane's value at a point: 0 on the plane of the original triangle.
  static double Plane(const std::array<double, 3>& n, const double* on, const double* p) {
    return n[0] * (p[0] - on[0]) + n[1] * (p[1] - on[1]) + n[2] * (p[2] - on[2]);
  }
};

TEST(NearPlane, FrameKeepsTheFirstPointAndSpansTheThousandUnitFrame) {
  Tri t{{0, 0, 500}, {10, 0, 500}, {0, 10, 600}};
  ASSERT_EQ(E3D_CorrectTrianglePlane(t.t), 1);
  EXPECT_EQ(std::vector<double>({t.t[0][0], t.t[0][1], t.t[0][2]}), std::vector<double>({0, 0, 500}));
  EXPECT_EQ(std::vector<double>({t.t[1][0], t.t[1][1], t.t[1][2]}), std::vector<double>({1000, 0, 500}));
  const double k = 1000 / std::sqrt(10100.0);
  EXPECT_NEAR(t.t[2][0], 0, 1e-9);
  EXPECT_NEAR(t.t[2][1], 10 * k, 1e-9);
  EXPECT_NEAR(t.t[2][2], 500 + 100 * k, 1e-9);
}

TEST(NearPlane, PlaneFacingTheCameraComesToTheNearPlane) {
  Tri t{{0, 0, 50}, {10, 0, 50}, {0, 10, 50}};
  ASSERT_EQ(E3D_CorrectTrianglePlane(t.t), 1);
  EXPECT_EQ(std::vector<double>({t.t[0][2], t.t[1][2], t.t[2][2]}), std::vector<double>({128, 128, 128}));
}

TEST(NearPlane, PointBehindIsMirroredOntoThePlaneKeepingTheFacing) {
  for (bool swapped : {false, true}) {
    Tri t = swapped ? Tri{{0, 0, 50}, {0, 100, 400}, {100, 0, 400}}
                    : Tri{{0, 0, 50}, {100, 0, 400}, {0, 100, 400}};
    const Tri original = t;
    const auto n = original.Normal();
    ASSERT_EQ(E3D_CorrectTrianglePlane(t.t), 1);
    EXPECT_NEAR(t.t[0][2], 206.0, 1e-9) << "2 x 128 - 50";
    for (int i = 0; i < 3; ++i) {
      EXPECT_GE(t.t[i][2], 128.0);
      EXPECT_NEAR(Tri::Plane(n, original.t[0], t.t[i]), 0.0, 1e-6) << i;
    }
    const auto m = t.Normal();
    EXPECT_GT(n[0] * m[0] + n[1] * m[1] + n[2] * m[2], 0.0) << swapped;
  }
}

TEST(NearPlane, SeededTrianglesKeepTheirPlaneAndFacingInFront) {
  uint32_t seed = 3;
  auto next = [&seed](double low, double high) {
    seed = seed * 1664525u + 1013904223u;
    return low + (high - low) * (seed >> 8) / 16777216.0;
  };
  int32_t corrected = 0;
  for (int32_t trial = 0; trial < 500; ++trial) {
    Tri t{{next(-500, 500), next(-500, 500), next(-300, 600)},
          {next(-500, 500), next(-500, 500), next(-300, 600)},
          {next(-500, 500), next(-500, 500), next(-300, 600)}};
    const Tri original = t;
    const auto n = original.Normal();
    const double size = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (E3D_CorrectTrianglePlane(t.t) != 1) continue;
    ++corrected;
    const auto m = t.Normal();
    EXPECT_GT(n[0] * m[0] + n[1] * m[1] + n[2] * m[2], 0.0) << trial;
    for (int i = 0; i < 3; ++i) {
      EXPECT_GE(t.t[i][2], 128.0 - 1e-9) << trial;
      EXPECT_NEAR(Tri::Plane(n, original.t[0], t.t[i]) / size, 0.0, 1e-6) << trial << " " << i;
    }
  }
  EXPECT_GT(corrected, 400);
}

TEST(NearPlane, ShortEdgesAndFlatTrianglesAreDegenerate) {
  const struct {
    const char* what;
    Tri t;
  } kRows[] = {{"first edge", Tri{{0, 0, 50}, {0.00005, 0, 50}, {0, 10, 50}}},
               {"in line", Tri{{0, 0, 50}, {10, 0, 50}, {20, 0, 50}}},
               {"third on the first", Tri{{0, 0, 50}, {10, 0, 50}, {0, 0, 50}}}};
  for (auto r : kRows) {
    EXPECT_EQ(E3D_TrianglePlaneFrame(r.t.t), 0) << r.what;
    EXPECT_EQ(E3D_CorrectTrianglePlane(r.t.t), 0) << r.what;
  }
}

}  // namespace
