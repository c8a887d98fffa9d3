// The generated circuit (a coarse tessellation) through the whole road:
// scene, construction, map file and back, then the polygon ground queries
// along its centre line, on its start grids and against its walls, in the
// software and the accelerator's renderer modes.
#include <cmath>
#include <string>

#include "datagen/netrace.h"
#include "engine3d/types.h"
#include "racescene/mapinfo.h"
#include "tests/track/track_fixture.h"
#include "track/track.h"

namespace {

class PolyCircuit : public ztest::TrackTest, public ::testing::WithParamInterface<int32_t> {
 protected:
  void SetUp() override {
    ztest::TrackTest::SetUp();
    ztest::WriteFile(Path("NETRACE.ASC"), datagen::NetraceScene(48));
    ztest::WriteFile(Path("NETRACE.TXT"), datagen::NetraceMapInfo());
    SB_Var.Renderer = GetParam();
  }
  static int32_t World(double metres) { return static_cast<int32_t>(std::trunc(metres * 320.0)); }
};

TEST_P(PolyCircuit, BuildsSavesReloadsAndCarriesTheCars) {
  ASSERT_EQ(SB_LoadAndBuildMap("NETRACE.ASC"), 1);
  EXPECT_GT(SB_Var.Decor.NbCube10Polys, 10);
  SB_SaveDecor("NETRACE.DEC");
  const std::string first = ztest::ReadFile(Path("NETRACE.DEC"));
  SB_FreeDecor();
  ASSERT_EQ(SB_LoadDecor("NETRACE.DEC"), 1);
  SB_SaveDecor("AGAIN.DEC");
  EXPECT_EQ(ztest::ReadFile(Path("AGAIN.DEC")), first);
  // Both renderers build and store the cube map with the polygons.
  size_t end = 0;
  const auto sections = ztest::ReadSections(first, true, &end);
  EXPECT_EQ(end, first.size());
  EXPECT_EQ(first[15], SB_MAPWITHCUBES);
  EXPECT_GT(sections.front().count, 0u);

  BuildListXZYPoly();
  TFACELISTENTRY list[256];
  for (const auto& p : datagen::NetraceCentreLine()) {
    const int32_t x = World(p[0]), z = World(p[2]);
    ASSERT_EQ(SB_GetPolyGroundHeight(x, z), -2044.0) << p[0] << " " << p[2];
    const int32_t n = SB_GetWheelContactFaces(list, 256, p.data());
    ASSERT_EQ(SB_GetHeightInFaceList(list, n, x, z), -2044.0) << p[0] << " " << p[2];
  }
  EXPECT_EQ(std::vector<int32_t>(SB_Var.GroundFlags, SB_Var.GroundFlags + SB_NBGROUNDFLAGS),
            std::vector<int32_t>(SB_NBGROUNDFLAGS, 0));

  // Every place of the grids: six lanes of 5 m, rows of 10 m.
  ASSERT_EQ(SB_LoadMapInfo("NETRACE.TXT"), 1);
  for (const TSTARTSLOT& s : SB_Var.StartSlots)
    for (int lane = 0; lane < 6; ++lane)
      for (int row = 0; row < 15; ++row) {
        const double x = s.X + lane * s.CarStepX + row * s.RowStepX,
                     z = s.Z + lane * s.CarStepZ + row * s.RowStepZ;
        EXPECT_EQ(SB_GetPolyGroundHeight(World(x), World(z)), -2044.0) << lane << " " << row;
      }

  // Across the road from a point of the first straight: the wall 16 m out.
  const auto line = datagen::NetraceCentreLine();
  const auto &p = line[10], &q = line[11];
  const double length = std::hypot(q[0] - p[0], q[2] - p[2]);
  const double nx = -(q[2] - p[2]) / length, nz = (q[0] - p[0]) / length;
  for (double side : {1.0, -1.0}) {
    const double inside[3] = {p[0] + side * 14 * nx, p[1], p[2] + side * 14 * nz};
    const int32_t n = SB_GetBodyContactFaces(list, 256, inside);
    double push[3];
    ASSERT_EQ(SB_GetBodyFaceContact(list, n, World(p[0] + side * 16.5 * nx), World(p[2] + side * 16.5 * nz),
                                    push, World(inside[0]), World(inside[2])),
              1)
        << side;
    EXPECT_LT(side * (push[0] * nx + push[2] * nz), 0) << side;  // back towards the road
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, PolyCircuit, ::testing::Values(0, SB_RENDERER_PVR));

}  // namespace
