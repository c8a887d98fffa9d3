// Road pieces as the track takes them: the written scene read back by the
// scene reader, its materials and facings, then built into a map whose
// road the ground queries find along the piece.
#include <cmath>
#include <cstring>
#include <set>

#include "system/file.h"
#include "tests/tools/road_fixture.h"
#include "track/decor.h"
#include "track/ground.h"
#include "track/scene.h"

namespace {

using ztest::DefaultPiece;

// World units of scene metres; scene (0, 0, 0) is world (-2048, -2048,
// -2048) and heights grow downward.
int32_t W(double metres) { return static_cast<int32_t>(std::lround((metres - 6.4) * 320)); }
double WorldHeight(double z) { return 32 * (-10 * z - 64); }

class RoadMap : public ztest::ToolsTest {
 protected:
  uint32_t HeapSize() const override { return 160u << 20; }
  void SetUp() override {
    ztest::ToolsTest::SetUp();
    LS_SetErrorMode(LS_ERRMODE_KEEP);  // as the map tests run the construction
    ztest::WriteFile(Path("GAME/KEEP"), "");
    ztest::WriteFile(Path("ASC/KEEP"), "");
    ASSERT_EQ(LS_SetCurrentDir(">GAME"), 1);
  }
  void TearDown() override {
    SB_FreeListXZYPoly();
    SB_FreeXZYList();
    SB_FreeDecor();
    ztest::ToolsTest::TearDown();
  }
};

// The road query answers from the cube map, which keeps vertices in whole
// map units (10 cm) and plane normals in bytes: within 1 cm on the flat
// piece, within the map's own 10 cm on the others.
struct TPIECE {
  const char* what;
  TROADPARAMS params;
  double tolerance;  // world units
};

std::vector<TPIECE> Pieces() {
  TROADPARAMS d = DefaultPiece(), v = DefaultPiece(), b = DefaultPiece(), h = DefaultPiece(), ie = DefaultPiece();
  v.HeadingSmooth = 1, v.StartBank = 0.1f, v.HeadingChange = -1.5707964f, v.Length = 200;
  b.SlopeSmooth = 1, b.SlopeCurve = 1, b.AltitudeChange = 10 * 0.63661975f;
  h.SlopeSmooth = 1, h.StartGradient = std::atan2(10.0f, 100.0f);
  ie.SlopeSmooth = 1, ie.BankSmooth = 1, ie.SlopeCurve = 2, ie.BankChange = 0.1f, ie.AltitudeChange = 5 * 0.63661975f;
  return {{"D", d, 3.2}, {"V", v, 32}, {"B", b, 32}, {"H", h, 32}, {"IE", ie, 32}};
}

TEST_F(RoadMap, PiecesAreReadAndBuiltAsWritten) {
  for (const TPIECE& piece : Pieces()) {
    CalcRoadAndSaveAscii("..>ASC>PIECE.ASC", &piece.params);
    const std::string text = ztest::ReadFile(Path("ASC/PIECE.ASC"));
    TLMAP* map = SB_LoadAsciiMap("..>ASC>PIECE.ASC");
    ASSERT_NE(map, nullptr) << piece.what;
    ASSERT_EQ(map->NbFaces, uint32_t(RoadNbFaces)) << piece.what;
    SB_CalcMapNormals(map);
    std::set<std::string> materials;
    for (uint32_t i = 0; i < map->NbFaces; ++i) {
      const TLMAPFACE& f = map->Faces[i];
      const std::string name(f.Material, strnlen(f.Material, 8)), flags(f.Material + 8, strnlen(f.Material + 8, 7));
      materials.insert(name + " " + flags);
      if (name != "MUR1") {
        EXPECT_GT(f.NormalY, 0.5) << piece.what << " " << name << " " << i;
        continue;
      }
      // Walls are seen from the road as floors are from above: the track's
      // normals point away from the visible side (a floor's is +Y, down).
      // Across the straight pieces the road's middle is map X 100.
      EXPECT_LT(std::fabs(f.NormalY), 0.2) << piece.what << " " << i;
      const double x = (f.V[0].X + f.V[1].X + f.V[2].X) / 3;
      if (piece.params.HeadingChange == 0) {
        EXPECT_GT(f.NormalX * (x - 100), 0.9 * std::fabs(x - 100)) << piece.what << " " << i;
      }
    }
    EXPECT_EQ(materials, (std::set<std::string>{"CANIV1 C", "MUR1 M", "ROUT1 C", "ROUT2 C"})) << piece.what;
    SB_FreeTLMAP(map);

    // Built into a map: road at every sample's lane centres, on the
    // written profile.
    SB_ClearPrintedLines();
    ASSERT_EQ(SB_LoadAndBuildMap("..>ASC>PIECE.ASC"), 1) << piece.what;
    for (const std::string& l : SB_PrintedLines()) {
      EXPECT_EQ(l.find("rror"), std::string::npos) << piece.what << ": " << l;
      EXPECT_EQ(l.find("Map warning"), std::string::npos) << piece.what << ": " << l;
    }
    BuildXZYList();
    BuildListXZYPoly();
    for (int32_t i = 0; i < SB_Var.NbTextures; ++i)
      SB_Var.TexturePlaces[i].C = std::memchr(SB_Var.TextureNames[i] + 8, 'C', 7) != nullptr;
    const std::vector<TROADVERTEX> lanes = ztest::StripVertices(text);
    int32_t checked = 0;
    for (const TROADVERTEX& a : lanes)
      for (const TROADVERTEX& b : lanes)
        if (b.V == a.V && b.U == a.U + 1)  // a strip's edges: its two lanes' centres
          for (double f : {0.25, 0.75}) {
            const double x = a.X + f * (b.X - a.X), y = a.Y + f * (b.Y - a.Y), z = a.Z + f * (b.Z - a.Z);
            ASSERT_NEAR(SB_GetRoadHeight(W(x), W(y)), WorldHeight(z), piece.tolerance)
                << piece.what << " " << x << " " << y;
            ++checked;
          }
    EXPECT_GT(checked, 0) << piece.what;
    SB_FreeListXZYPoly();
    SB_FreeXZYList();
    SB_FreeDecor();
  }
}

}  // namespace
