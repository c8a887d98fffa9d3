// Object display: the pyramid and distance culls, levels of detail and the
// burned atoms, back faces, depth keys and the software list, light, and
// damaged atoms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "datagen/mapbuild.h"
#include "engine3d/camera.h"
#include "engine3d/object.h"
#include "engine3d/power.h"
#include "racescene/race3d.h"
#include "racescene/views.h"
#include "tests/racescene/accel/accel_fixture.h"
#include "track/decor.h"
#include "track/ground.h"
#include "vehicles/types.h"

namespace {

using ztest::AccelTest;

constexpr double kUnits = 60800.0;  // object units a metre

// An object of one part whose atom slots hold 1 to 5 triangles (main,
// simplified, burned, reduced 1, reduced 2), placed at a point in metres.
struct Model {
  TATOM atoms[OBJ_NBATOMS]{};
  std::vector<TPOINT3D> points[OBJ_NBATOMS];
  std::vector<TGRAF> faces[OBJ_NBATOMS];
  TMATERIAL material{};
  OBJECT object{};

  explicit Model(double x, double y, double z) {
    material.CardTexture = 5;
    for (int32_t a = 0; a < OBJ_NBATOMS; ++a) {
      for (int32_t f = 0; f <= a; ++f) Triangle(a, {{0, 0, 0}, {30000, 0, 0}, {0, 30000, 0}});
      object.Atoms[a] = &atoms[a];
    }
    for (int32_t k = 0; k < 9; ++k) object.Orientation[k] = k % 4 == 0 ? 1.0f : 0.0f;
    object.Position[0] = static_cast<float>(x * kUnits), object.Position[1] = static_cast<float>(y * kUnits);
    object.Position[2] = static_cast<float>(z * kUnits);
  }
  // A face of the atom on new points (offsets in object units).
  TGRAF& Face(int32_t a, const std::vector<std::array<int32_t, 3>>& corners, int32_t flags = 0) {
    TGRAF g{};
    g.NbPoints = static_cast<int32_t>(corners.size());
    for (size_t k = 0; k < corners.size(); ++k) {
      g.Points[k] = static_cast<int32_t>(points[a].size());
      points[a].push_back({corners[k][0], corners[k][1], corners[k][2], {0, 0, 0}, 0, 0});
    }
    g.G_TYPE = G_TYPE_TEXTURE, g.G_FLAGS = flags, g.G_TEXTURE = reinterpret_cast<uintptr_t>(&material);
    faces[a].push_back(g);
    Sync(a);
    return faces[a].back();
  }
  void Triangle(int32_t a, const std::vector<std::array<int32_t, 3>>& corners) { Face(a, corners); }
  void Sync(int32_t a) {
    atoms[a].Points = points[a].data(), atoms[a].NbPoints = static_cast<int32_t>(points[a].size());
    atoms[a].Faces = faces[a].data(), atoms[a].NbFaces = static_cast<int32_t>(faces[a].size());
  }
};

class ObjectDisplayTest : public AccelTest {
 protected:
  void SetUp() override {
    AccelTest::SetUp();
    SB_Var.DrawDistance = 150;
    SB_Var.Light = 1;
    SB_PlaceCamera(&camera_, 0, 0, 0, 0, 0, 0);
    SB_BuildViewPyramid(&window_);
    for (int32_t k = 0; k < 256; ++k) SB_Var.LightTables[0][k] = SB_Var.LightTables[1][k] = k;
  }
  // Polygons a car (or a placed object) adds to the scene.
  int32_t Draw(Model& m, TCAR* car, const double* position = nullptr, int32_t detail = 1) {
    POWER_ResetScene(&scene_);
    SB_DrawObject(&scene_, &window_, &m.object, &camera_, car, position, detail, 0, 0x123456);
    return scene_.NbPolygons;
  }
  static TCAR Car(double x, double y, double z) {
    TCAR car{};
    car.Position[0] = x, car.Position[1] = y, car.Position[2] = z;
    return car;
  }
  TCAMERA camera_{};
};

TEST_F(ObjectDisplayTest, PyramidDistanceDetailAndBurned) {
  // The left plane through the view's left edge, 20 m ahead.
  const TVECTOR n = SB_Var.ViewPyramid[0];
  const double edgeX = -20.0 * n.z / n.x;
  for (const auto& [outside, drawn] : {std::pair{2.0, 1}, std::pair{3.0, 0}}) {
    Model m(0, 0, 0);
    TCAR car = Car(edgeX - outside * n.x, 0, 20.0 - outside * n.z);
    EXPECT_EQ(Draw(m, &car, nullptr, 0), drawn) << outside;
  }
  struct Row {
    double d2;
    bool car, burned;
    int32_t faces;
  };
  // Main model up to 15 m, then simplified, first and second reduced.
  const Row rows[] = {{225.0, true, false, 1},  {226.0, true, false, 2},
                      {900.0, true, false, 2},  {900.5, true, false, 4}, {2100.0, true, false, 5},
                      {950.0, false, false, 1}, {900.0, true, true, 3},  {160.0 * 160.0, true, false, 0}};
  for (const Row& r : rows) {
    Model m(0, 0, std::sqrt(r.d2));
    TCAR car = Car(0, 0, std::sqrt(r.d2));
    car.Burned = r.burned;
    const double at[3] = {0, 0, std::sqrt(r.d2)};
    EXPECT_EQ(Draw(m, r.car ? &car : nullptr, r.car ? nullptr : at), r.faces) << r.d2;
    EXPECT_EQ(m.object.Atoms[OBJ_MAIN], &m.atoms[OBJ_MAIN]);
  }
}

TEST_F(ObjectDisplayTest, BackFacesAndSharedPoints) {
  struct Row {
    int32_t flags, normalZ, drawn;
  };
  const Row rows[] = {{0x20, -16384, 1}, {0x20, 16384, 0}, {0x20, 0, 0}, {0, 16384, 1}};
  for (const Row& r : rows) {
    Model m(0, 0, 10);
    m.faces[0][0].G_FLAGS = r.flags, m.faces[0][0].Normal[2] = r.normalZ;
    EXPECT_EQ(Draw(m, nullptr), r.drawn) << r.flags << " " << r.normalZ;
  }
  // A quad and a triangle on three of its points: four points transformed.
  Model m(0, 0, 10);
  m.faces[0].clear(), m.points[0].clear();
  m.Face(0, {{0, 0, 0}, {30000, 0, 0}, {30000, 30000, 0}, {0, 30000, 0}});
  m.faces[0].push_back(m.faces[0][0]);
  m.faces[0][1].NbPoints = 3;
  m.Sync(0);
  EXPECT_EQ(Draw(m, nullptr), 3);
  int32_t last = 0;
  for (const TPOINT3D& p : m.points[0]) last = std::max(last, p.Transformed);
  EXPECT_EQ(last, 3);
  EXPECT_EQ(scene_.NbVertices, 8);
}

// A pose beyond the integer range of object units is skipped; one whose
// points reach past it is held at its ends.
TEST_F(ObjectDisplayTest, PosesThatCannotBePlaced) {
  struct Row {
    double x, y, z;
    int32_t faces;
  };
  const Row rows[] = {{0, 0, 3e9, 0}, {0, 40000, 10, 0}, {0, 0, NAN, 0}, {35320.0, 0, 10, 1}};
  for (const Row& r : rows) {
    Model m(r.x, r.y, r.z);
    EXPECT_EQ(Draw(m, nullptr), r.faces) << r.x << " " << r.y << " " << r.z;
  }
  // The last row's second corner lies 30000 units past the range's end.
  EXPECT_NEAR(static_cast<TSGLPOLY*>(scene_.FirstPolygon)->Clip[1].X * 190.0, 2147483647.0, 512.0);
}

TEST_F(ObjectDisplayTest, DamagedAtomsDropTheirFaces) {
  Model m(0, 0, 10);
  m.faces[0][0].NbPoints = 5;
  m.faces[0].push_back(m.faces[0][0]);
  m.faces[0][1].NbPoints = 3, m.faces[0][1].Points[2] = 7;
  m.faces[0].push_back(m.faces[0][1]);
  m.faces[0][2].Points[2] = -1;
  m.Sync(0);
  EXPECT_EQ(Draw(m, nullptr), 0);
  m.atoms[0].NbPoints = 0;
  EXPECT_EQ(Draw(m, nullptr), 0);
}

TEST_F(ObjectDisplayTest, Light) {
  SB_Var.Renderer = SB_RENDERER_PVR;
  SB_Var.LightDir = {0.0, 0.0, 1.0};
  struct Row {
    int32_t light, flags;
    std::array<uint32_t, 3> colours;
  };
  const Row rows[] = {{1, 0, {0x123456, 0x123456, 0x123456}},
                      {2, 0, {150, 150, 150}},
                      {3, 0, {150, 100, 0}},
                      {3, 0x40, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF}}};
  for (const Row& r : rows) {
    SB_Var.Light = r.light;
    Model m(0, 0, 10);
    m.faces[0][0].Normal[2] = -16384, m.faces[0][0].G_FLAGS = r.flags;
    const int32_t normals[3] = {-16384, 0, 16384};
    for (int32_t k = 0; k < 3; ++k) m.points[0][k].Normal[2] = normals[k];
    ASSERT_EQ(Draw(m, nullptr), 1);
    for (int32_t k = 0; k < 3; ++k) EXPECT_EQ(polygons_[0].Vertices[k].Colour, r.colours[k]) << r.light << k;
  }
}

TEST_F(ObjectDisplayTest, SoftwareListOrderAndKeys) {
  SB_Var.Renderer = 0;
  std::vector<TSOFTPOLY> polys(20);
  std::vector<TSOFTVERTEX> verts(80);
  TSOFTSCENE soft{};
  soft.Polygons = polys.data(), soft.Vertices = verts.data();
  // A car's key is its place 3200 map units away pulled a big cell nearer;
  // an object without a car takes its nearest face's key (the face keys
  // in object units, 190 a map unit): the quad 0.75 x 4 x 1,608,000, or
  // with its near flag (32,000 more) the triangle 3 x 1,613,000.
  const struct {
    bool car;
    int32_t nearFlag;
    int32_t key;
    std::vector<int32_t> order;  // map keys, and the object's faces by corner count
  } rows[] = {{true, 0, 3 * 3200 - 49152, {30000, 3, 4, -100000}},
              {false, 0, 4824000 / 190, {30000, 3, 4, -100000}},
              {false, 0x80000, 4839000 / 190, {30000, 4, 3, -100000}}};
  for (const auto& r : rows) {
    SB_ResetUserView(&soft);
    // Two map polygons, keys 30000 and -100000: the object's key lies between.
    polys[0].Key = 30000, polys[1].Key = -100000, polys[0].Next = &polys[1], polys[1].Next = nullptr;
    soft.PolygonCursor = &polys[2], soft.NbPolygons = 2;
    Model m(0, 0, 10);  // 3200 map units away
    m.faces[0].clear(), m.points[0].clear();
    m.Face(0, {{0, 0, 1000000}, {1, 0, 1000000}, {1, 1, 1000000}, {0, 1, 1000000}}, r.nearFlag);
    m.Face(0, {{0, 0, 1005000}, {1, 0, 1005000}, {1, 1, 1005000}});
    TCAR car = Car(0, 0, 10);
    SB_DrawObject(&soft, &window_, &m.object, &camera_, r.car ? &car : nullptr, nullptr, 0, 0, 0);
    EXPECT_EQ(SB_Var.ObjectKey, r.key);
    std::vector<int32_t> order;
    for (auto* p = static_cast<TSOFTPOLY*>(soft.FirstPolygon); p; p = p->Next)
      order.push_back(p->Key == SB_Var.ObjectKey ? p->NbVertices : p->Key);
    EXPECT_EQ(order, r.order);
  }
  Model m(0, 0, 10);
  SB_ResetUserView(&soft);
  SB_DrawObjectDirect(&soft, &window_, &m.object, &camera_, nullptr, 0);
  EXPECT_EQ(SB_Var.ObjectKey, 3 * 3200 - 49152 + 30400000);
}

// The 8-bit software shadow: laid on a flat square of road (-57.6 m to
// 44.8 m in x and z, 6.4 m up) under a car, a corner found by the probes
// around it when just off the edge; none at 16 bits, on the accelerator or
// off the map.
TEST_F(ObjectDisplayTest, SoftwareShadowOnTheGround) {
  SB_Var.Renderer = 0;  // the cube map and its lists are the software path's
  datagen::MapBuilder map;
  const int32_t road = map.Texture("ROAD    C");
  map.FlatSquare(-512, -512, 8, 0, road, map.Material("ROAD    C"));
  map.Install();
  BuildXZYList();
  SB_Var.TexturePlaces[road].C = 1;
  std::vector<TSOFTPOLY> polys(20);
  std::vector<TSOFTVERTEX> verts(80);
  TSOFTSCENE soft{};
  soft.Polygons = polys.data(), soft.Vertices = verts.data();
  struct Row {
    int32_t renderer, depth;
    double x;  // of the car; its shadow reaches 0.8 m to each side
    bool shadow;
  };
  const Row rows[] = {{0, 8, 0.0, true},
                      {0, 8, 44.5, true},
                      {0, 16, 0.0, false},
                      {SB_RENDERER_PVR, 8, 0.0, false},
                      {0, 8, 48.0, false}};
  for (const Row& r : rows) {
    SB_Var.Renderer = r.renderer;
    SB_Var.VideoModes[0].Depth = r.depth;
    SB_ResetUserView(&soft);
    SB_PlaceCamera(&camera_, static_cast<int32_t>(r.x * 320), -9 * 320, -10 * 320, 0, 0, 0);
    Model m(r.x, -7.0, 0);
    TCAR car = Car(r.x, -7.0, 0);
    for (int32_t k = 0; k < 9; ++k) car.Orientation[k] = k % 4 == 0 ? 1.0 : 0.0;
    const double vectors[4][3] = {{0, 0, 0}, {0, 0, 4}, {-0.8, 0, -2}, {1.6, 0, 0}};
    std::memcpy(car.ShadowVectors, vectors, sizeof vectors);
    SB_DrawObject(&soft, &window_, &m.object, &camera_, &car, nullptr, 0, 0, 0);
    bool found = false;
    for (int32_t i = 0; i < soft.NbPolygons; ++i) found |= polys[i].Kind == 0 && polys[i].NbVertices == 4;
    EXPECT_EQ(found, r.shadow) << r.x << " " << r.depth;
  }
  SB_FreeDecor();
}

}  // namespace
