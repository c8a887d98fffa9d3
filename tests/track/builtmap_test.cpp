// Maps built whole from scenes: the generated circuit (software renderer,
// visibility sets on) and the ramp-and-bridge scene are built, saved, freed,
// loaded again and asked for the ground.
#include <cmath>
#include <cstring>
#include <string>

#include "datagen/netrace.h"
#include "datagen/pcxwrite.h"
#include "datagen/rampbridge.h"
#include "tests/track/track_fixture.h"
#include "track/scene.h"

namespace {

// World units of scene metres (x 320) and the world height of a map height.
int32_t W(double metres) { return static_cast<int32_t>(std::lround(metres * 320)); }

class BuiltMap : public ztest::TrackTest {
 protected:
  uint32_t HeapSize() const override { return 200u << 20; }
  // Build, save, free, load, the lookup lists, the road letters; a second
  // save gives the same file.
  void Build(const std::string& scene) {
    ztest::WriteFile(Path("ASC/SCENE.ASC"), scene);
    ASSERT_EQ(SB_LoadAndBuildMap("ASC>SCENE.ASC"), 1);
    for (const std::string& l : SB_PrintedLines()) EXPECT_EQ(l.find("Map warning"), std::string::npos) << l;
    SB_SaveDecor("FIRST.DEC");
    SB_FreeDecor();
    ASSERT_EQ(SB_LoadDecor("FIRST.DEC"), 1);
    BuildXZYList();
    BuildListXZYPoly();
    for (int32_t i = 0; i < SB_Var.NbTextures; ++i)
      SB_Var.TexturePlaces[i].C = std::memchr(SB_Var.TextureNames[i] + 8, 'C', 7) != nullptr;
    SB_SaveDecor("SECOND.DEC");
    EXPECT_EQ(ztest::ReadFile(Path("FIRST.DEC")), ztest::ReadFile(Path("SECOND.DEC")));
  }
};

TEST_F(BuiltMap, TheCircuitHasRoadAlongItsCentreLineAndOnItsGrids) {
  const std::vector<uint8_t> pvs = datagen::EncodePcx(datagen::NetracePvsPicture());
  ztest::WriteFile(Path("TXT/TRAVUN/PVS.PCX"), std::string(pvs.begin(), pvs.end()));
  std::strcpy(SB_Var.TexturePath, "TRAVUN>");
  SB_Var.UsingPvs = SB_Var.SplitTextureRepeats = 1;
  Build(datagen::NetraceScene());
  const TDECOR& d = SB_Var.Decor;
  EXPECT_TRUE(d.NbFaces && d.NbVertices && d.NbWordVertices && d.NbSmallEntitys && d.NbBigEntitys);
  EXPECT_GT(d.NbSeenEntitysList, 1);
  ASSERT_GT(d.NbCube10Polys, 0);
  for (const auto& p : datagen::NetraceCentreLine()) {
    const int32_t x = W(p[0]), z = W(p[2]);
    ASSERT_EQ(SB_GetRoadHeight(x, z), -2048.0) << p[0] << " " << p[2];
    ASSERT_EQ(SB_GetGroundHeight(x, z), -2048.0) << p[0] << " " << p[2];
    ASSERT_EQ(SB_GetPolyGroundHeight(x, z), -2044.0) << p[0] << " " << p[2];
  }
  // Every place of both grids: six lanes 5 m apart, rows 10 m apart.
  double x0, y0, z0, a;
  ASSERT_EQ(std::sscanf(datagen::NetraceMapInfo().c_str(),
                        "BSPLINENAME: TXT>NETRACE.BSP\r\nFIRSTCAROFF: %lf,%lf,%lf\r\nCARINITANGLEY: %lf", &x0, &y0, &z0,
                        &a),
            4);
  for (int lane = 0; lane < 6; ++lane)
    for (int row = 0; row < 15; ++row) {
      const double x = x0 + lane * 5 * std::cos(a) + row * 10 * std::sin(a);
      const double z = z0 + lane * 5 * std::sin(a) - row * 10 * std::cos(a);
      EXPECT_LT(SB_GetRoadHeight(W(x), W(z)), SB_NOGROUND) << lane << " " << row;
    }
}

TEST_F(BuiltMap, TheBridgeAndTheRamp) {
  Build(datagen::RampBridgeScene());
  // Scene height Z metres is map height -10 Z, world 32 (-10 Z - 64).
  auto height = [](double z) { return 32 * (-10 * z - 64); };
  const int32_t origin = W(-6.4);  // scene (0, 0) in world units
  EXPECT_EQ(SB_GetRoadHeight(origin, origin), height(0));
  EXPECT_EQ(SB_GetLowestGroundHeight(origin, origin), height(datagen::kBridgeDeck));
  for (double y = datagen::kRampFrom + 1; y < datagen::kRampTo; y += 3.7) {
    const double slope = datagen::kBridgeDeck * (datagen::kRampTo - y) / (datagen::kRampTo - datagen::kRampFrom);
    EXPECT_NEAR(SB_GetRoadHeight(origin, W(y - 6.4)), height(slope), 40) << y;
  }
}

}  // namespace
