// The conversion of small scenes into polygon cells: cuts at cell borders
// and texture repeats, the stored values, shared offsets, the three runs,
// the console lines, Escape, full outputs and degenerate scenes.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/window.h"
#include "tests/track/track_fixture.h"
#include "track/decorcheck.h"
#include "track/polymap.h"
#include "track/scene.h"

namespace {

constexpr const char kRoad[15] = "ROUT\0\0\0\0C";
constexpr const char kWall[15] = "MUR\0\0\0\0\0M";
constexpr const char kGrass[15] = "HERBE";
constexpr const char kBoth[15] = "PONT\0\0\0\0CM";

TLMAPVERTEX V(double x, double y, double z, double u = 0, double v = 0) { return {x, y, z, u, v}; }

class AscDec : public ztest::TrackTest {
 protected:
  void SetUp() override {
    ztest::TrackTest::SetUp();
    map_ = SB_Init3dMap();
  }
  void TearDown() override {
    SB_ConversionLimits = {};
    plat::SetKeyState(SB_KEY_ESCAPE, false);
    SB_FreeTLMAP(map_);
    ztest::TrackTest::TearDown();
  }
  void Add(TLMAPVERTEX a, TLMAPVERTEX b, TLMAPVERTEX c, const char* material = kGrass) {
    if (map_->NbFaces == map_->Capacity) {
      const uint32_t capacity = map_->Capacity * 2 + 16;
      auto* faces =
          static_cast<TLMAPFACE*>(SB_GetMem(static_cast<int32_t>(capacity * sizeof(TLMAPFACE)), "test"));
      if (map_->Faces)
        std::memcpy(faces, map_->Faces, map_->NbFaces * sizeof(TLMAPFACE)), SB_Release(map_->Faces);
      map_->Faces = faces, map_->Capacity = capacity;
    }
    TLMAPFACE& f = map_->Faces[map_->NbFaces++];
    f = TLMAPFACE{};
    f.V[0] = a, f.V[1] = b, f.V[2] = c;
    std::memcpy(f.Material, material, 15);
  }
  // A flat triangle facing up (its corners wound for an up normal).
  void Floor(double x, double z, double size, const char* material = kGrass, double u0 = 0, double du = 0) {
    Add(V(x, 0, z, u0, 0), V(x + size, 0, z, u0 + du, 0), V(x, 0, z + size, u0, 1), material);
  }
  static const TDECOR& D() { return SB_Var.Decor; }
  // Every cell's runs follow one another, and its faces' links lie in the
  // cell's own runs of links.
  static bool CellsHoldTogether() {
    for (int32_t i = 0; i < D().NbCube10Polys; ++i) {
      const TFCUBE10POLY& c = D().Cube10Polys[i];
      if (c.FaceRuns[SB_BODYRUN] != c.FaceRuns[SB_WHEELRUN] + c.NbFaces[SB_WHEELRUN] * sizeof(TFFACEPOLY) ||
          c.FaceRuns[SB_GROUNDRUN] != c.FaceRuns[SB_BODYRUN] + c.NbFaces[SB_BODYRUN] * sizeof(TFFACEPOLY))
        return false;
      for (int32_t run = 0; run < SB_CELLRUNS; ++run)
        for (int32_t f = 0; f < c.NbFaces[run]; ++f) {
          const TFFACEPOLY& face = SB_CellFaces(&c, run)[f];
          if (face.PointOffsets < c.PPointOffsets ||
              face.PointOffsets + 4 * face.NbCorners > c.PPointOffsets + 4 * c.NbPPointOffsets)
            return false;
        }
    }
    return SB_CheckDecorLinks() == nullptr;
  }
  static std::vector<TFPOINTOFFSET> Corners(const TFFACEPOLY& f) {
    std::vector<TFPOINTOFFSET> out;
    for (int k = 0; k < f.NbCorners; ++k) out.push_back(*SB_FacePolyPoint(&f, k));
    return out;
  }
  TLMAP* map_ = nullptr;
};

TEST_F(AscDec, ATriangleAcrossACellBorderIsCutIntoTwoCells) {
  Floor(300, 0, 50);  // x 494 .. 544 after the shift: the border at 512
  ASSERT_EQ(SB_ConvertAscToDec(map_), 1);
  ASSERT_EQ(D().NbCube10Polys, 2);
  for (int c = 0; c < 2; ++c) {
    const TFCUBE10POLY& cell = D().Cube10Polys[c];
    EXPECT_EQ(cell.X, 64 + c);
    ASSERT_EQ(cell.NbFaces[SB_GROUNDRUN], 1);
    const auto corners = Corners(*SB_CellFaces(&cell, SB_GROUNDRUN));
    const uint16_t border = c == 0 ? 16384 : 0;
    EXPECT_EQ(
        std::count_if(corners.begin(), corners.end(), [&](const TFPOINTOFFSET& p) { return p.X == border; }),
        2)
        << c;
  }
}

TEST_F(AscDec, StoredValues) {
  // Offsets x 32 (194 -> 6208), textures x 8191.875 (1 -> 8192, 8 -> 65535,
  // 7.9 -> 64716), normals x 8192 + 8256.5 (up -> 16448, zero -> 8256).
  Add(V(0, 0, 0, 0, 0), V(10, 0, 0, 8, 0), V(0, 0, 10, 1, 7.9));
  ASSERT_EQ(SB_ConvertAscToDec(map_), 1);
  ASSERT_EQ(D().NbFacePolys, 1);
  const TFFACEPOLY& f = D().FacePolys[0];
  EXPECT_EQ(std::vector<uint16_t>(f.Normal, f.Normal + 3), std::vector<uint16_t>({8256, 16448, 8256}));
  std::vector<uint16_t> got;
  for (int k = 0; k < 3; ++k) {
    const TFPOINTOFFSET& p = *SB_FacePolyPoint(&f, k);
    const TFPOINTTEXTURE& t = *SB_FacePolyTexturePoint(&f, k);
    got.insert(got.end(), {p.X, p.Y, p.Z, t.U, t.V});
  }
  EXPECT_EQ(got, std::vector<uint16_t>(
                     {6208, 6208, 6208, 0, 0, 6528, 6208, 6208, 65535, 0, 6208, 6208, 6528, 8192, 64716}));
  EXPECT_EQ(std::vector<uint16_t>(f.Box, f.Box + 4), std::vector<uint16_t>({6208, 6528, 6208, 6528}));
}

TEST_F(AscDec, ATextureOfTwentyRepeatsIsCutEveryEighth) {
  // u grows 20 repeats along x and v 20 along z, from 0.2 and 0.3.
  Add(V(0, 0, 0, 0.2, 0.3), V(100, 0, 0, 20.2, 0.3), V(0, 0, 100, 0.2, 20.3));
  ASSERT_EQ(SB_ConvertAscToDec(map_), 1);
  ASSERT_EQ(D().NbCube10Polys, 1);
  EXPECT_EQ(D().NbFacePolys, 6);  // u and v each cut at 8 and 16 repeats, inside the triangle
  double area = 0;
  for (int i = 0; i < D().NbFacePolys; ++i) {
    const TFFACEPOLY& f = D().FacePolys[i];
    // Each piece keeps its scene coordinates less a whole number of
    // repeats, starts in the first repeat and spans at most eight.
    double shiftU = 0, shiftV = 0, lowU = 9, lowV = 9;
    for (int k = 0; k < f.NbCorners; ++k) {
      const TFPOINTOFFSET& p = *SB_FacePolyPoint(&f, k);
      const TFPOINTTEXTURE& t = *SB_FacePolyTexturePoint(&f, k);
      const double x = p.X / 32.0 - 194, z = p.Z / 32.0 - 194;
      const double u = t.U / 8191.875, v = t.V / 8191.875;
      const double su = 0.2 + 0.2 * x - u, sv = 0.3 + 0.2 * z - v;
      if (k == 0) shiftU = su, shiftV = sv;
      EXPECT_NEAR(su, shiftU, 0.01) << i;
      EXPECT_NEAR(sv, shiftV, 0.01) << i;
      lowU = std::min(lowU, u), lowV = std::min(lowV, v);
      const TFPOINTOFFSET& q = *SB_FacePolyPoint(&f, (k + 1) % f.NbCorners);
      area += (p.X / 32.0) * (q.Z / 32.0) - (q.X / 32.0) * (p.Z / 32.0);
    }
    EXPECT_NEAR(shiftU, std::round(shiftU), 0.01) << i;
    EXPECT_NEAR(shiftV, std::round(shiftV), 0.01) << i;
    EXPECT_LT(lowU, 1.0) << i;
    EXPECT_LT(lowV, 1.0) << i;
  }
  EXPECT_NEAR(std::abs(area) / 2, 5000, 1);  // the pieces cover the triangle once
}

TEST_F(AscDec, EqualOffsetsAreSharedWithinACellOnly) {
  Add(V(0, 0, 0), V(10, 0, 0), V(0, 0, 10));
  Add(V(10, 0, 0), V(10, 0, 10), V(0, 0, 10));
  Add(V(512, 0, 0), V(522, 0, 0), V(512, 0, 10));  // the same offsets one cell on
  ASSERT_EQ(SB_ConvertAscToDec(map_), 1);
  ASSERT_EQ(D().NbCube10Polys, 2);
  EXPECT_EQ(D().Cube10Polys[0].NbPointOffsets, 4);
  EXPECT_EQ(D().Cube10Polys[1].NbPointOffsets, 3);
  EXPECT_EQ(D().NbPointOffsets, 7);
  EXPECT_EQ(D().NbPPointOffsets, 9);
}

// A conversion finds nothing of the one before it: a scene converted after
// another gives the arrays it gives on its own.
TEST_F(AscDec, AConversionKeepsNothingOfTheLastOne) {
  auto convert = [&](double shift) {
    map_->NbFaces = 0;
    for (int32_t i = 0; i < 40; ++i)
      for (int32_t j = 0; j < 40; ++j)
        Floor(i * 30 - 100 + shift, j * 30 - 100 + shift, 25, (i + j) % 3 ? kGrass : kRoad, i * 0.1, 0.5 + shift);
    for (int32_t j = 0; j < 40; ++j)  // faces on a cell border, filed from both sides
      Add(V(512, 0, j * 30 + shift), V(512, 10, j * 30), V(512, 0, j * 30 + 25), j % 2 ? kWall : kBoth);
    EXPECT_EQ(SB_ConvertAscToDec(map_), 1);
    auto bytes = [](const void* p, size_t n) {
      const auto* b = static_cast<const uint8_t*>(p);
      return std::vector<uint8_t>(b, b + n);
    };
    return std::vector<std::vector<uint8_t>>{
        bytes(D().PointOffsets, D().NbPointOffsets * sizeof(TFPOINTOFFSET)),
        bytes(D().PointTextures, D().NbPointTextures * sizeof(TFPOINTTEXTURE)),
        bytes(D().PPointOffsets, D().NbPPointOffsets * 4u), bytes(D().PPointTextures, D().NbPPointTextures * 4u),
        bytes(D().FacePolys, D().NbFacePolys * sizeof(TFFACEPOLY)),
        bytes(D().Cube10Polys, D().NbCube10Polys * sizeof(TFCUBE10POLY))};
  };
  const auto alone = convert(3);
  convert(0);
  EXPECT_EQ(convert(3), alone);
}

TEST_F(AscDec, FacesLandInTheirRuns) {
  Floor(0, 0, 10, kGrass);
  Floor(20, 0, 10, kRoad);
  Add(V(40, 0, 0), V(40, -10, 0), V(50, 0, 0), kWall);
  Floor(60, 0, 10, kBoth);
  ASSERT_EQ(SB_ConvertAscToDec(map_), 1);
  ASSERT_EQ(D().NbCube10Polys, 1);
  const TFCUBE10POLY& c = D().Cube10Polys[0];
  EXPECT_EQ(std::vector<int>({c.NbFaces[SB_WHEELRUN], c.NbFaces[SB_BODYRUN], c.NbFaces[SB_GROUNDRUN]}),
            std::vector<int>({2, 2, 4}));
  // Wheel, body, ground, one after the other from the cell's start.
  EXPECT_EQ(c.FaceRuns[SB_WHEELRUN], 0u);
  EXPECT_EQ(c.FaceRuns[SB_BODYRUN], 2 * sizeof(TFFACEPOLY));
  EXPECT_EQ(c.FaceRuns[SB_GROUNDRUN], 4 * sizeof(TFFACEPOLY));
  std::vector<uint16_t> materials;
  for (int i = 0; i < 4; ++i) materials.push_back(D().FacePolys[i].Material);
  EXPECT_EQ(materials,
            std::vector<uint16_t>({1, 3, 2, 3}));  // names in first-use order: grass, road, wall, both
  EXPECT_EQ(D().NbNames2, 4);
  EXPECT_EQ(std::memcmp(D().Names2[2], kWall, 15), 0);
  // Only the ground faces have texture pairs.
  EXPECT_EQ(c.NbPPointTextures, 12);
  EXPECT_EQ(c.NbPPointOffsets, 24);
  for (int i = 0; i < D().NbFacePolys; ++i) {
    const TFFACEPOLY& f = D().FacePolys[i];
    for (const TFPOINTOFFSET& p : Corners(f))
      EXPECT_TRUE(p.X >= f.Box[0] && p.X <= f.Box[1] && p.Z >= f.Box[2] && p.Z <= f.Box[3]);
  }
  EXPECT_EQ(SB_Var.TFMapReady, 1);
  EXPECT_EQ(SB_CheckDecorLinks(), nullptr);
}

TEST_F(AscDec, ConsoleLinesAndMerging) {
  for (int32_t simplification : {0, 1}) {
    map_->NbFaces = 0;
    SB_ClearPrintedLines();
    SB_Var.Simplification = simplification;
    Add(V(0, 0, 0, 0, 0), V(10, 0, 0, 1, 0), V(0, 0, 10, 0, 1), kRoad);
    Add(V(10, 0, 0, 1, 0), V(10, 0, 10, 1, 1), V(0, 0, 10, 0, 1), kRoad);
    ASSERT_EQ(SB_ConvertAscToDec(map_), 1);
    const int32_t faces = simplification ? 1 : 2;
    EXPECT_EQ(D().Cube10Polys[0].NbFaces[SB_WHEELRUN], faces);
    EXPECT_EQ(D().Cube10Polys[0].NbFaces[SB_GROUNDRUN], faces);
    for (const std::string& line :
         {std::string("ASC to DEC conversion algorithm..."),
          "...Sol faces: " + std::to_string(faces) + ", Mur faces: 0...",
          "...Simplified faces: " + std::to_string(2 * simplification) + ". Debugged faces: 0."})
      EXPECT_TRUE(Printed(line)) << line;
    EXPECT_EQ(SB_LastStatusLine(), "...Before 0; after 2; Points 6; Cubes 1...");
  }
}

TEST_F(AscDec, AnEmptyMapGivesNoCell) {
  ASSERT_EQ(SB_ConvertAscToDec(map_), 1);
  EXPECT_EQ(D().NbCube10Polys, 0);
  EXPECT_TRUE(Printed("...Sol faces: 0, Mur faces: 0..."));
}

TEST_F(AscDec, EscapeStopsTheConversionAndTheConstruction) {
  Floor(0, 0, 10);
  plat::SetKeyState(SB_KEY_ESCAPE, true);
  EXPECT_EQ(SB_ConvertAscToDec(map_), 0);
  EXPECT_TRUE(Printed("Map conversion stopped !!!"));
  SB_ClearPrintedLines();
  EXPECT_EQ(SB_ConstructMap(map_), 0);
  EXPECT_TRUE(Printed("Map conversion stopped !!!"));
  EXPECT_EQ(SB_Var.NbMemOwners, 2);  // the test's map only
  EXPECT_EQ(SB_Var.Decor.Loaded, 0);
}

// Two cells of a road, a wall and grass faces: each output given too little
// room names itself, and the construction keeps nothing.
TEST_F(AscDec, AFullOutputFailsTheConstruction) {
  struct Row {
    TMAPCONVERSIONLIMITS limits;
    const char* name;
  } rows[] = {
      {{5, 1000, 1000, 1000, 1000, 10, 512}, "TFPPOINTOFFSET"},
      {{1000, 5, 1000, 1000, 1000, 10, 512}, "TFPPOINTTEXTURE"},
      {{1000, 1000, 5, 1000, 1000, 10, 512}, "TFPOINTOFFSET"},
      {{1000, 1000, 1000, 3, 1000, 10, 512}, "TFPOINTTEXTURE"},
      {{1000, 1000, 1000, 1000, 3, 10, 512}, "TFFACEPOLY"},
      {{1000, 1000, 1000, 1000, 1000, 1, 512}, "TFCUBE10POLY"},
      {{1000, 1000, 1000, 1000, 1000, 10, 2}, "names2"},
  };
  for (double x : {0.0, 600.0}) {
    Floor(x, 0, 10, kRoad);
    Add(V(x + 40, 0, 0), V(x + 40, -10, 0), V(x + 50, 0, 0), kWall);
    Floor(x + 60, 0, 10, kGrass);
  }
  for (const Row& r : rows) {
    SB_ClearPrintedLines();
    SB_ConversionLimits = r.limits;
    EXPECT_EQ(SB_ConstructMap(map_), 0) << r.name;
    EXPECT_TRUE(Printed(std::string("Map conversion error: ") + r.name + " full !!!")) << r.name;
    EXPECT_EQ(SB_Var.NbMemOwners, 2) << r.name;
  }
  // A cell's counts are 16-bit: 7,300 copies of one triangle in all three
  // runs overflow its links, however much room the array has.
  SB_ConversionLimits = {};
  map_->NbFaces = 0;
  for (int i = 0; i < 7300; ++i) Floor(0, 0, 10, kBoth);
  SB_ClearPrintedLines();
  EXPECT_EQ(SB_ConvertAscToDec(map_), 0);
  EXPECT_TRUE(Printed("Map conversion error: TFPPOINTOFFSET full !!!"));
}

TEST_F(AscDec, AFaceOfMoreCornersThanAByteHoldsIsRefused) {
  ASSERT_EQ(SB_InitMapConversion(), 1);
  TLMAPPOLY* poly = SB_NewTLMAPPOLY(1, 256, "test");
  poly->Faces[0].NbPoints = 256;
  poly->NbFaces = 1, poly->NbPoints = 256;
  for (int k = 0; k < 256; ++k)
    poly->Points[k] = {100 + std::cos(k * 0.0245) * 50, 10, 100 + std::sin(k * 0.0245) * 50, 0, 0};
  EXPECT_EQ(SB_AddGroundCell(poly), 0);
  EXPECT_TRUE(Printed("Map conversion error: TFFACEPOLY full !!!"));
  SB_FreeTLMAPPOLY(poly);
}

// Degenerate scenes end with a map whose cells and links hold together.
TEST_F(AscDec, DegenerateScenesGiveACleanMap) {
  struct Face {
    TLMAPVERTEX a, b, c;
    const char* material;
  };
  struct Row {
    const char* what;
    std::vector<Face> faces;
    int32_t simplification;
  } rows[] = {
      {"zero area",
       {{V(0, 0, 0), V(10, 0, 0), V(20, 0, 0), kBoth}, {V(5, 5, 5), V(5, 5, 5), V(5, 5, 5), kBoth}},
       0},
      {"corners on a border", {{V(318, 0, 0), V(318, 0, 10), V(300, 0, 5), kBoth}}, 0},
      {"200 repeats", {{V(0, 0, 0, -100, -100), V(100, 0, 0, 100, -100), V(0, 0, 100, -100, 100), kBoth}}, 1},
      // Filed from both sides of the border: its wheel and body faces land in
      // the far cell before the near one is made, then again after.
      {"in a border plane",
       {{V(318, 0, 0), V(318, 10, 0), V(318, 0, 10), kBoth},
        {V(300, 0, 0), V(310, 0, 0), V(300, 0, 10), kGrass}},
       0},
  };
  for (const Row& r : rows) {
    map_->NbFaces = 0;
    SB_Var.Simplification = r.simplification;
    for (const Face& f : r.faces) Add(f.a, f.b, f.c, f.material);
    ASSERT_EQ(SB_ConvertAscToDec(map_), 1) << r.what;
    EXPECT_TRUE(CellsHoldTogether()) << r.what;
  }
  // The last row: the far cell made first, its wheel face filed from both sides.
  ASSERT_EQ(D().NbCube10Polys, 2);
  EXPECT_EQ(D().Cube10Polys[0].X, 65);
  EXPECT_EQ(D().Cube10Polys[0].NbFaces[SB_WHEELRUN], 2);
  // 600 triangles of one cell, merged.
  map_->NbFaces = 0;
  SB_Var.Simplification = 1;
  for (int i = 0; i < 600; ++i) {
    const double a0 = 2 * M_PI * i / 600, a1 = 2 * M_PI * (i + 1) / 600;
    Add(V(100, 0, 100, 0.5, 0.5), V(100 + 90 * std::cos(a1), 0, 100 + 90 * std::sin(a1), 0.5, 1),
        V(100 + 90 * std::cos(a0), 0, 100 + 90 * std::sin(a0), 1, 0.5), kBoth);
  }
  ASSERT_EQ(SB_ConvertAscToDec(map_), 1);
  EXPECT_TRUE(CellsHoldTogether());
}

}  // namespace
