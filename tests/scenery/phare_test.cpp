// Headlight beams: the beam object and its parts (missing, refused), which
// cars get a beam, the in-car part, the far end moved onto the road, the
// faces as submitted, and beams reaching behind the camera.
#include "scenery/phare.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <memory>

#include "datagen/headlights.h"
#include "datagen/meshes.h"
#include "datagen/modelwrite.h"
#include "engine3d/object.h"
#include "platform/accel/sgl.h"
#include "scenery/framefx.h"
#include "tests/scenery/accel_calls.h"
#include "tests/scenery/scenery_fixture.h"
#include "vehicles/types.h"

namespace {

using scenerytest::g_calls;

// A car whose body stands at z (object units) ahead of the camera, upright.
struct TestCar {
  TCAR car{};
  OBJECT body{};
  explicit TestCar(float z = 190 * 2000, float x = 0) {
    static constexpr float kUpright[9] = {0, -1, 0, 0, 0, 1, -1, 0, 0};
    for (int k = 0; k < 9; ++k) body.Orientation[k] = kUpright[k];
    body.Position[0] = x, body.Position[2] = z;
    car.Object = &body;
  }
};

class PhareTest : public scenerytest::CardTest {
 protected:
  void SetUp() override {
    CardTest::SetUp();
    SB_Var.DrivenCar = 0, SB_Var.ReplayCar = -1, SB_Var.CameraMode = 1, SB_Var.HeadlightsOn = 1;
    for (int k = 0; k < 9; ++k) camera_.Matrix[k] = k % 4 == 0 ? 1.0 : 0.0;
  }
  void TearDown() override {
    POWER_ClosePhare();
    CardTest::TearDown();
  }
  void WriteBeams() { ASSERT_TRUE(datagen::WriteBeamObject(root_ + "/OBC/PHARE")); }
  static int32_t InUse() {
    int32_t n = 0;
    for (int32_t i = 0; i < SB_NBPHAREVOLUMES; ++i) n += SB_PhareVolume(i).InUse;
    return n;
  }
  void Build(TestCar& c, int32_t index) { POWER_BuildPhareVolume(&camera_, &c.car, index); }

  TCAMERA camera_{};
};

TEST_F(PhareTest, MissingObjectOrPartIsReported) {
  POWER_InitPhare();
  EXPECT_EQ(SB_PrintedLines(), std::vector<std::string>{"Phares not found !"});
  TestCar c;
  Build(c, 1);
  EXPECT_EQ(InUse(), 0);
  // An object holding only "phare".
  datagen::Model model;
  model.atomNames = {"PHARE"};
  datagen::ModelObject o;
  o.name = "phare", o.atom = 0;
  model.objects = {o};
  std::filesystem::create_directories(root_ + "/OBC/PHARE");
  ASSERT_TRUE(datagen::WriteBytes(root_ + "/OBC/PHARE/PHARE.OBC", datagen::ObcBytes(model, {})));
  ASSERT_TRUE(datagen::WriteBytes(root_ + "/OBC/PHARE/PHARE.ATM",
                                  datagen::AtmBytes(datagen::BoxMesh({"PHARE", 1000, 0, 64, 64}), {})));
  SB_ClearPrintedLines();
  POWER_ClosePhare();
  POWER_InitPhare();
  EXPECT_EQ(SB_PrintedLines(), std::vector<std::string>{"Phare Object (phare2) not found !"});
  EXPECT_NE(SB_PharePart(0), nullptr);
  EXPECT_EQ(SB_PharePart(1), nullptr);
}

TEST_F(PhareTest, PartsOverTheLimitsAreRefused) {
  // "phare" of 101 points and one face, "phare2" of 59 faces over 3 points.
  datagen::ModelAtom many, faces;
  many.name = "PHARE", faces.name = "PHARE2";
  for (int32_t i = 0; i < 101; ++i) many.points.push_back({i, 0, i % 7, {}});
  many.faces = {datagen::FaceOver(many, {0, 1, 2})};
  faces.points = {{0, 0, 0, {}}, {100, 0, 0, {}}, {0, 100, 0, {}}};
  for (int32_t i = 0; i < 59; ++i) faces.faces.push_back(datagen::FaceOver(faces, {0, 1, 2}));
  datagen::Model model;
  model.atomNames = {"PHARE", "PHARE2"};
  for (uint32_t i = 0; i < 2; ++i) {
    datagen::ModelObject o;
    o.name = i ? "phare2" : "phare", o.atom = i, o.next = i ? datagen::kNoIndex : 1;
    model.objects.push_back(o);
  }
  std::filesystem::create_directories(root_ + "/OBC/PHARE");
  ASSERT_TRUE(datagen::WriteBytes(root_ + "/OBC/PHARE/PHARE.OBC", datagen::ObcBytes(model, {})));
  ASSERT_TRUE(datagen::WriteBytes(root_ + "/OBC/PHARE/PHARE.ATM", datagen::AtmBytes(many, {})));
  ASSERT_TRUE(datagen::WriteBytes(root_ + "/OBC/PHARE/PHARE2.ATM", datagen::AtmBytes(faces, {})));
  POWER_InitPhare();
  EXPECT_EQ(SB_PrintedLines(), (std::vector<std::string>{"Phare Object (phare) too large !",
                                                         "Phare Object (phare2) too large !"}));
  EXPECT_EQ(SB_PharePart(0), nullptr);
  EXPECT_EQ(SB_PharePart(1), nullptr);
}

TEST_F(PhareTest, SixCarsAtNightNoneByDay) {
  WriteBeams();
  POWER_InitPhare();
  ASSERT_TRUE(SB_PrintedLines().empty());
  TestCar c;
  SB_Var.HeadlightsOn = 0;
  Build(c, 1);
  EXPECT_EQ(InUse(), 0) << "by day";
  SB_Var.HeadlightsOn = 1;
  for (int i = 0; i < 7; ++i) Build(c, i + 1);
  EXPECT_EQ(InUse(), 6);
  POWER_DrawPhareVolumes();
  ASSERT_EQ(g_calls.size(), 6u);
  EXPECT_EQ(InUse(), 0) << "emptied when submitted";
  const scenerytest::AccelCall& v = g_calls[0];
  EXPECT_EQ(v.context.VolumeKind, 2u);
  EXPECT_EQ(v.context.LightColour, 0x609880u);
  ASSERT_EQ(v.items.size(), 8u);
  for (int32_t f = 0; f < 8; ++f)
    EXPECT_EQ(v.items[f], (std::array<int32_t, 4>{3 * f, 3 * f + 1, 3 * f + 2, 0}));
  SB_Var.Renderer = 0;
  Build(c, 1);
  EXPECT_EQ(InUse(), 0) << "software";
}

TEST_F(PhareTest, FarEndIsMovedOntoTheRoadAndTheInCarPartLowered) {
  WriteBeams();
  POWER_InitPhare();
  TestCar c;
  const struct { int32_t cameraMode, index, inCar; } kRows[] = {{1, 0, 0}, {2, 0, 1}, {2, 1, 0}};
  for (const auto& r : kRows) {
    SB_Var.CameraMode = r.cameraMode;
    Build(c, r.index);
    const TPHAREVOLUME& v = SB_PhareVolume(0);
    ASSERT_EQ(v.InUse, 1);
    EXPECT_EQ(v.Object, SB_PharePart(r.inCar));
    // Face 0 is (0, 1, 2) of the far end: each point (x, y + lift +
    // 4,000,000, z) turned upright (depth = model y) and scaled by 1/190.
    const TATOM* mesh = v.Object->Atoms[OBJ_MAIN];
    const int32_t* corners = mesh->Faces[0].Points;
    for (int k = 0; k < 3; ++k) {
      const TPOINT3D& p = mesh->Points[corners[k]];
      ASSERT_LT(corners[k], 4);
      const double depth = (p.Y + (r.inCar ? -100000 : 0) + 4000000 + 190 * 2000) * 0.005263158;
      EXPECT_NEAR(v.Vertices[k].Depth, depth * 0.001, 1e-4) << k;
      EXPECT_NEAR(v.Vertices[k].X, 320 + (-p.Z * 0.005263158) * 320 / depth, 1e-2) << k;
      EXPECT_NEAR(v.Vertices[k].Y, 240 + (-p.X * 0.005263158) * 320 / depth, 1e-2) << k;
    }
    POWER_DrawPhareVolumes();
  }
}

TEST_F(PhareTest, BeamReachingBehindIsCorrectedOrAbandoned) {
  WriteBeams();
  POWER_InitPhare();
  // The car 1 m ahead: the beam's near end lies behind the camera; its
  // faces reaching there are corrected in front of the near plane.
  TestCar near(190 * 320);
  Build(near, 1);
  ASSERT_EQ(InUse(), 1);
  for (const TSGLVERTEX& p : SB_PhareVolume(0).Vertices) EXPECT_GE(p.Depth, 0.0f);
  POWER_DrawPhareVolumes();
}

TEST_F(PhareTest, BeamThatCannotBeCorrectedIsAbandonedForTheFrame) {
  // A beam with a face of two equal corners near the car: fine while in
  // view, uncorrectable once the car is behind the camera.
  datagen::ModelAtom atom;
  atom.name = "PHARE";
  for (const auto& [x, y, z] : {std::array{0, 0, 60000},
                                {0, 0, -60000},
                                {-60000, 0, 0},
                                {60000, 0, 0},
                                {0, 138000, 30000},
                                {0, 138000, -30000}})
    atom.points.push_back({x, y, z, {}});
  atom.faces = {datagen::FaceOver(atom, {0, 1, 2}), datagen::FaceOver(atom, {4, 4, 5})};
  datagen::Model model;
  model.atomNames = {"PHARE"};
  for (uint32_t i = 0; i < 2; ++i) {
    datagen::ModelObject o;
    o.name = i ? "phare2" : "phare", o.atom = 0, o.next = i ? datagen::kNoIndex : 1;
    model.objects.push_back(o);
  }
  std::filesystem::create_directories(root_ + "/OBC/PHARE");
  ASSERT_TRUE(datagen::WriteBytes(root_ + "/OBC/PHARE/PHARE.OBC", datagen::ObcBytes(model, {})));
  ASSERT_TRUE(datagen::WriteBytes(root_ + "/OBC/PHARE/PHARE.ATM", datagen::AtmBytes(atom, {})));
  POWER_InitPhare();
  TestCar ahead, behind(-190 * 3200);
  Build(ahead, 1);
  EXPECT_EQ(InUse(), 1);
  POWER_DrawPhareVolumes();
  Build(behind, 1);
  EXPECT_EQ(InUse(), 0);
  POWER_DrawPhareVolumes();
  EXPECT_EQ(g_calls.size(), 1u);
}

TEST_F(PhareTest, ProjectionRefusesPointsLessThanOneDeep) {
  TSGLVERTEX out{0, 0, 0, 0, 7, 7, NAN, NAN};
  const double at[3] = {64, -32, 640}, zero[3] = {1, 1, 0}, shallow[3] = {1, 1, 0.5};
  ASSERT_EQ(POWER_ProjectPharePoint(at, &out), 1);
  EXPECT_EQ(std::vector<float>({out.X, out.Y}), std::vector<float>({352, 224}));
  EXPECT_FLOAT_EQ(out.Depth, 0.64f);
  EXPECT_FLOAT_EQ(out.InvW, 2.0f / 640);
  EXPECT_EQ(std::vector<float>({out.U, out.V}), std::vector<float>({0, 0}));
  EXPECT_EQ(POWER_ProjectPharePoint(zero, &out), 0);
  EXPECT_EQ(POWER_ProjectPharePoint(shallow, &out), 0);
  // Barely in front and far aside: beyond the card's coordinates, which
  // would drop the volume and fail the frame's render.
  const double aside[3] = {5000, 1, 1.5}, below[3] = {1, -5000, 1.5}, reached[3] = {4600, 4600, 1.5};
  EXPECT_EQ(POWER_ProjectPharePoint(aside, &out), 0);
  EXPECT_EQ(POWER_ProjectPharePoint(below, &out), 0);
  EXPECT_EQ(POWER_ProjectPharePoint(reached, &out), 1);
}

}  // namespace
