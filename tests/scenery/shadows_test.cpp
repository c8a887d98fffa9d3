// Car shadow volumes: the meshes of each shadow level and their edge
// tables, meshes over the limits, which cars and parts cast, the facing of
// the polygons to the sun, the volumes' planes and boxes as submitted, and
// a plane that cannot be corrected.
#include "scenery/shadows.h"

#include <array>
#include <cmath>
#include <memory>

#include "datagen/carshadows.h"
#include "engine3d/object.h"
#include "platform/accel/sgl.h"
#include "scenery/framefx.h"
#include "scenery/plg.h"
#include "tests/scenery/accel_calls.h"
#include "tests/scenery/scenery_fixture.h"
#include "vehicles/types.h"

namespace {

using scenerytest::g_calls;

// A car of the given place (object units) with a body and four wheels.
struct TestCar {
  TCAR car{};
  OBJECT body{}, wheels[4]{};
  // Upright: model x (the roof) up, y forward, z to the left; else the
  // model axes are the view's.
  explicit TestCar(float x = 0, float y = 0, float z = 0, bool upright = false) {
    static constexpr float kUpright[9] = {0, -1, 0, 0, 0, 1, -1, 0, 0};
    for (OBJECT* o : {&body, &wheels[0], &wheels[1], &wheels[2], &wheels[3]}) {
      for (int k = 0; k < 9; ++k) o->Orientation[k] = upright ? kUpright[k] : k % 4 == 0 ? 1.0f : 0.0f;
      o->Position[0] = x, o->Position[1] = y, o->Position[2] = z;
    }
    car.Object = &body;
    for (int k = 0; k < 4; ++k) car.Wheels[k] = &wheels[k];
  }
};

class ShadowTest : public scenerytest::CardTest {
 protected:
  void SetUp() override {
    CardTest::SetUp();
    SB_Var.DrivenCar = 0, SB_Var.ReplayCar = -1, SB_Var.CameraMode = 1;
    for (int k = 0; k < 9; ++k) camera_.Matrix[k] = k % 4 == 0 ? 1.0 : 0.0;
    SB_Var.SunPos[0] = 0, SB_Var.SunPos[1] = -1000, SB_Var.SunPos[2] = 20;  // high above, a little ahead
    for (const datagen::NamedPlg& plg : datagen::ShadowMeshes()) {
      const datagen::Bytes bytes = datagen::PlgBytes(plg.mesh);
      ztest::WriteFile(root_ + "/" + plg.path, std::string(bytes.begin(), bytes.end()));
    }
    scene_ = std::make_unique<TSOFTSCENE>();
  }
  void TearDown() override {
    POWER_CloseShadow();
    CardTest::TearDown();
  }
  static int32_t Meshes() {
    int32_t n = 0;
    for (int32_t s = 0; s < SB_NBSHADOWSLOTS; ++s) n += SB_ShadowSlot(s).Mesh ? 1 << s : 0;
    return n;
  }
  void Build(TestCar& c, int32_t index) { POWER_BuildCarShadow(scene_.get(), &camera_, &c.car, index); }
  void WritePlg(const std::string& path, const datagen::PlgMesh& mesh) {
    const datagen::Bytes bytes = datagen::PlgBytes(mesh);
    ztest::WriteFile(root_ + "/" + path, std::string(bytes.begin(), bytes.end()));
  }

  TCAMERA camera_{};
  std::unique_ptr<TSOFTSCENE> scene_;
};

TEST_F(ShadowTest, LevelChoosesTheMeshes) {
  const struct {
    int32_t level, renderer, meshes;
  } kRows[] = {{3, SB_RENDERER_PVR, 7}, {2, SB_RENDERER_PVR, 1}, {1, SB_RENDERER_PVR, 0}, {3, 0, 0}};
  for (const auto& r : kRows) {
    SB_Var.Shadow = r.level, SB_Var.Renderer = r.renderer;
    POWER_InitShadow();
    EXPECT_EQ(Meshes(), r.meshes) << r.level;
    POWER_CloseShadow();
  }
}

TEST_F(ShadowTest, EdgeTablesHoldEachEdgeOnceWithBothPolygons) {
  SB_Var.Shadow = 3;
  POWER_InitShadow();
  const struct { int32_t slot, edges; } kRows[] = {{0, 12}, {1, 12}, {2, 24}};
  for (const auto& r : kRows) {
    const TSHADOWSLOT& s = SB_ShadowSlot(r.slot);
    ASSERT_EQ(s.NbEdges, r.edges) << r.slot;
    for (int32_t k = 0; k < s.NbEdges; ++k) {
      const TSHADOWEDGE& e = s.Edges[k];
      EXPECT_GE(e.Second, 0);
      EXPECT_NE(e.First, e.Second);
      // Stored as the first polygon walks it.
      const TPLGPOLY& p = s.Mesh->Polygons[e.First];
      bool walked = false;
      for (uint32_t i = 0; i < p.NbIndices; ++i)
        walked |= p.Indices[i] == uint32_t(e.A) && p.Indices[(i + 1) % p.NbIndices] == uint32_t(e.B);
      EXPECT_TRUE(walked) << k;
    }
  }
}

TEST_F(ShadowTest, MeshesOverTheLimitsAreRefusedByName) {
  datagen::PlgMesh big;
  for (int i = 0; i < 401; ++i) big.vertices.push_back({i, 0, 0});
  big.polygons = {{{0, 0, 1}, {0, 1, 2}, {}}};
  WritePlg("PLG/CAISSE.PLG", big);
  // 201 polygons walking the first one's three edges back: within the
  // edge table, over the polygons.
  datagen::PlgMesh stack;
  stack.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  stack.polygons = {{{0, 0, 1}, {0, 1, 2}, {}}};
  for (int i = 0; i < 200; ++i) stack.polygons.push_back({{0, 0, -1}, {0, 2, 1}, {}});
  WritePlg("PLG/TOIT.PLG", stack);
  // 101 separate triangles: 303 edges.
  datagen::PlgMesh apart;
  for (uint32_t i = 0; i < 101; ++i) {
    for (int32_t k = 0; k < 3; ++k) apart.vertices.push_back({int32_t(i), k, 0});
    apart.polygons.push_back({{0, 0, 1}, {3 * i, 3 * i + 1, 3 * i + 2}, {}});
  }
  WritePlg("PLG/ROUE.PLG", apart);
  SB_Var.Shadow = 3;
  POWER_InitShadow();
  EXPECT_EQ(Meshes(), 0);
  EXPECT_EQ(SB_PrintedLines(), (std::vector<std::string>{"Shadow mesh PLG>CAISSE.PLG too large !",
                                                         "Shadow mesh PLG>TOIT.PLG too large !",
                                                         "Shadow mesh PLG>ROUE.PLG too large !"}));
}

TEST_F(ShadowTest, NearestThreeCastUnlessNightFlaggedOrDrivenInCar) {
  SB_Var.Shadow = 3;
  POWER_InitShadow();
  TestCar c(0, 0, 600000);
  const struct {
    const char* what;
    int32_t headlights, flag, cameraMode, index, cars;
  } kRows[] = {{"by day", 0, 0, 1, 0, 1},          {"at night", 1, 0, 1, 0, 0},
               {"flagged", 0, 1, 1, 0, 0},         {"driven, in car", 0, 0, 2, 0, 0},
               {"another, in car", 0, 0, 2, 1, 1}, {"replayed, in car", 0, 0, 2, 3, 0}};
  SB_Var.ReplayCar = 3;
  for (const auto& r : kRows) {
    scene_->NbShadowVolumes = 0;
    SB_Var.HeadlightsOn = r.headlights, SB_Var.CameraMode = r.cameraMode;
    c.car.SurfaceFlags[2] = r.flag;
    Build(c, r.index);
    EXPECT_EQ(scene_->NbShadowVolumes, r.cars) << r.what;
  }
  scene_->NbShadowVolumes = 0;
  SB_Var.CameraMode = 1, c.car.SurfaceFlags[2] = 0;
  for (int i = 0; i < 4; ++i) Build(c, i + 1);
  EXPECT_EQ(scene_->NbShadowVolumes, 3);
}

TEST_F(ShadowTest, PartsAreBroughtIntoViewAtTheirIndex) {
  SB_Var.Shadow = 3;
  POWER_InitShadow();
  TestCar first(0, 0, 600000), second(190 * 100, 0, 190 * 4000);
  second.wheels[3].Position[0] = 190 * 300;
  Build(first, 0);
  Build(second, 1);
  const TPLG& wheel = *SB_ShadowSlot(2).Mesh;
  // Volume part x 3 + car: the second car's fourth wheel is part 5.
  const TSHADOWVOLUME& v = scene_->ShadowVolumes[5 * 3 + 1];
  EXPECT_NEAR(v.View[0][0], wheel.Vertices[0][0] * 0.005263158 + 300, 1e-2);
  EXPECT_NEAR(v.View[0][2], wheel.Vertices[0][2] * 0.005263158 + 4000, 1e-2);
  EXPECT_NEAR(scene_->ShadowVolumes[0 * 3 + 1].View[0][0],
              SB_ShadowSlot(0).Mesh->Vertices[0][0] * 0.005263158 + 100, 1e-2);
  EXPECT_EQ(v.Light[1], -1000 * 320.0);
}

TEST_F(ShadowTest, LevelTwoCastsTheHullOnly) {
  SB_Var.Shadow = 2;
  POWER_InitShadow();
  TestCar c(0, 0, 600000);
  Build(c, 0);
  POWER_DrawShadows(scene_.get());
  EXPECT_EQ(g_calls.size(), 1u);
}

TEST_F(ShadowTest, SunAboveLightsTheRoofAndBoundsTheSilhouette) {
  // The body block alone, lit from straight above.
  SB_Var.Shadow = 3;
  POWER_InitShadow();
  SB_Var.SunPos[2] = 4000 / 320.0;  // over the car
  TestCar c(0, 0, 190 * 4000, true);
  c.car.Wheels[0] = c.car.Wheels[1] = c.car.Wheels[2] = c.car.Wheels[3] = nullptr;
  Build(c, 0);
  const TPLG& body = *SB_ShadowSlot(0).Mesh;
  const TSHADOWVOLUME& v = scene_->ShadowVolumes[0];
  int32_t lit = 0, litPolygon = -1;
  for (uint32_t p = 0; p < body.NbPolygons; ++p)
    if (v.Facing[p]) ++lit, litPolygon = static_cast<int32_t>(p);
  ASSERT_EQ(lit, 1);
  // Model +x is up: the lit polygon is the roof, whose vector points up.
  EXPECT_GT(body.Polygons[litPolygon].Vector[0], 0);
  SB_Var.SglContext.VolumeKind = 0;
  POWER_DrawShadows(scene_.get());
  ASSERT_EQ(g_calls.size(), 2u) << "body and roof";
  const scenerytest::AccelCall& body_ = g_calls[0];
  EXPECT_EQ(body_.context.VolumeKind, 1u);
  // Four side planes round the roof's edges and the roof as the cap; the
  // edges between unlit sides give none. Slots from the mesh's 8 vertices.
  ASSERT_EQ(body_.items.size(), 5u);
  for (size_t i = 0; i < body_.items.size(); ++i)
    EXPECT_EQ(body_.items[i],
              (std::array<int32_t, 4>{int32_t(8 + 3 * i), int32_t(9 + 3 * i), int32_t(10 + 3 * i), 0}));
  // The box: held to the window, the roof's corners and their points 1,500
  // units farther from the light.
  EXPECT_GE(v.Box[0], 0);
  EXPECT_LE(v.Box[2], 640);
  EXPECT_LT(v.Box[0], v.Box[2]);
  EXPECT_LT(v.Box[1], v.Box[3]);
}

TEST_F(ShadowTest, ProjectionAndBox) {
  const double p[3] = {100, -50, 1000};
  TSGLVERTEX out{0, 0, 0, 0, 7, 7, NAN, NAN};  // what the view's memory held
  POWER_ShadowProjectPoint(p, &out);
  EXPECT_EQ(std::vector<float>({out.U, out.V}), std::vector<float>({0, 0}))
      << "cleared for the card's checks";
  EXPECT_EQ(std::vector<float>({out.X, out.Y, out.Depth, out.InvW}),
            std::vector<float>({352, 224, 1, 0.002f}));
  TSHADOWVOLUME v{};
  v.Box[0] = v.Box[1] = INT32_MAX, v.Box[2] = v.Box[3] = 0;
  POWER_ShadowGrowBox({10.7f, 20.2f, 0, 0, 0, 0, 0, 0}, v);
  POWER_ShadowGrowBox({5.9f, 30.0f, 0, 0, 0, 0, 0, 0}, v);
  POWER_ShadowGrowBox({3e20f, -3e20f, 0, 0, 0, 0, 0, 0}, v);  // held, not undefined
  EXPECT_EQ(std::vector<int32_t>(v.Box, v.Box + 4), std::vector<int32_t>({5, INT32_MIN, INT32_MAX, 30}));
}

TEST_F(ShadowTest, UncorrectablePlaneDropsTheVolumeWithOneMessageARace) {
  // One lit polygon whose first three corners lie on a line: its cap has
  // no plane, so the part's volume is dropped and the race told once.
  datagen::PlgMesh flat;
  flat.vertices = {
      {-19000, 0, 171000}, {0, 0, 171000}, {19000, 0, 171000}, {19000, 0, 209000}, {-19000, 0, 209000}};
  flat.polygons = {{{0, -16384, 0}, {0, 1, 2, 3, 4}, {}}};
  WritePlg("PLG/CARENV.PLG", flat);
  SB_Var.Shadow = 2;
  POWER_InitShadow();
  SB_Var.SunPos[0] = 0, SB_Var.SunPos[1] = -10, SB_Var.SunPos[2] = 5;
  TestCar c;
  for (int frame = 0; frame < 2; ++frame) {
    scene_->NbShadowVolumes = 0;
    Build(c, 0);
    ASSERT_EQ(scene_->ShadowVolumes[0].Facing[0], 1);
    POWER_DrawShadows(scene_.get());
  }
  EXPECT_TRUE(g_calls.empty());
  const auto& lines = SB_PrintedLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "cannot correct plan"), 1);
}

}  // namespace
