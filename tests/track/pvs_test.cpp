// Visibility sets on occlusion pictures written by the PCX writer or
// filled in code: the line walk, the lists behind walls, cells off the
// picture and codes that would alias, a full list, bad pictures, and the
// face check.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "datagen/pcxwrite.h"
#include "tests/track/track_fixture.h"
#include "track/cubes.h"
#include "track/track.h"

namespace {

class Pvs : public ztest::TrackTest {
 protected:
  void TearDown() override {
    SB_MapCapacities = SB_MAPCAPACITIES;
    ztest::TrackTest::TearDown();
  }
  // A map of one small cube at each cube x (z 0), its seen arrays left to
  // the build.
  void Cubes(const std::vector<int32_t>& xs, const std::vector<int32_t>& zs = {}) {
    datagen::MapBuilder m;
    const int32_t t = m.Texture("ROAD");
    for (size_t i = 0; i < xs.size(); ++i) {
      const int32_t x = xs[i], z = i < zs.size() ? 128 * zs[i] : 0;
      m.CubeFace({{128 * x + 10, 0, z + 10}, {128 * x + 20, 0, z + 10}, {128 * x + 10, 0, z + 20}}, datagen::kCubeUp, t);
    }
    m.Install();
    for (void* block : {static_cast<void*>(SB_Var.Decor.SeenEntitys), static_cast<void*>(SB_Var.Decor.SeenEntitysList)})
      if (block) SB_Release(block);
    SB_Var.Decor.SeenEntitys = nullptr, SB_Var.Decor.SeenEntitysList = nullptr;
  }
  // "txt>pvs.pcx", 640 x 480, every pixel the fill, with the columns
  // [wallFrom, wallTo] (or the rows [rowFrom, rowTo]) set to 1.
  void Picture(uint8_t fill, int32_t wallFrom = 1, int32_t wallTo = 0, int32_t rowFrom = 1, int32_t rowTo = 0) {
    datagen::Picture8 p{SB_PVSWIDTH, SB_PVSHEIGHT, std::vector<uint8_t>(SB_PVSWIDTH * SB_PVSHEIGHT, fill),
                        std::vector<uint8_t>(768, 0)};
    for (int32_t y = 0; y < p.height; ++y)
      for (int32_t x = 0; x < p.width; ++x)
        if ((x >= wallFrom && x <= wallTo) || (y >= rowFrom && y <= rowTo)) p.pixels[y * p.width + x] = 1;
    const std::vector<uint8_t> bytes = datagen::EncodePcx(p);
    ztest::WriteFile(Path("TXT/PVS.PCX"), std::string(bytes.begin(), bytes.end()));
  }
  std::vector<uint16_t> List() const {
    const TDECOR& d = SB_Var.Decor;
    return std::vector<uint16_t>(d.SeenEntitysList + 1, d.SeenEntitysList + d.NbSeenEntitysList);
  }
  uint32_t Seen(int32_t i) const { return SB_Var.Decor.SeenEntitys[i]; }
};

TEST_F(Pvs, LineWalk) {
  BMAP* b = SB_CreateBmap(16, 16, 8, 0, "test");
  b->Start[5 * b->ByteLen + 5] = 1;
  const struct {
    int32_t x1, y1, x2, y2, clear;
  } rows[] = {{0, 5, 5, 5, 0},  {10, 5, 5, 5, 1},  {5, 5, 10, 5, 1}, {5, 5, 5, 5, 1},  {5, 0, 5, 10, 0},
              {5, 10, 5, 0, 0}, {5, 5, 5, 12, 1},  {0, 0, 10, 10, 0}, {10, 10, 0, 0, 0}, {0, 0, 10, 2, 1},
              {0, 0, 7, 14, 1}, {3, 1, 7, 9, 0}};
  for (const auto& r : rows) EXPECT_EQ(SB_PvsLineClear(b, r.x1, r.y1, r.x2, r.y2), r.clear) << r.x1 << r.y1 << r.x2 << r.y2;
  SB_FreeBmap(b);
  EXPECT_EQ(std::vector<int32_t>({SB_PvsCode(1, 0), SB_PvsCode(4, 0), SB_PvsCode(-4, 0), SB_PvsCode(0, 1)}),
            std::vector<int32_t>({32897, 32900, 32892, 33152}));
}

TEST_F(Pvs, WithoutPvsOrWallsNoCubeIsHidden) {
  for (int32_t usingPvs : {0, 1}) {
    Cubes({0, 4});
    Picture(0);
    SB_Var.UsingPvs = usingPvs;
    SB_ClearPrintedLines();
    SB_3D_BuildPvs();
    EXPECT_EQ(std::vector<uint32_t>({Seen(0), Seen(1)}), std::vector<uint32_t>({0, 0}));
    EXPECT_EQ(SB_Var.Decor.NbSeenEntitysList, 1);
    EXPECT_EQ(Printed("PVS ok..."), usingPvs == 1);
  }
}

TEST_F(Pvs, AWallHidesTheCubesBehindIt) {
  Cubes({0, 4});
  Picture(0, 320, 325);  // cells at pixel x 314 and 330, samples 2 wide either side
  SB_Var.UsingPvs = 1;
  SB_3D_BuildPvs();
  EXPECT_EQ(List(), std::vector<uint16_t>({32900, 65535, 32892, 65535}));
  EXPECT_EQ(std::vector<uint32_t>({Seen(0), Seen(1)}), std::vector<uint32_t>({2, 6}));
  for (const char* line : {"Building PVS...", "PVS progress: 0/2  Hidden: 3", "PVS ok..."})
    EXPECT_TRUE(Printed(line)) << line;
}

// The picture's top rows lie on the far side (cube z up): a wall across
// rows 192 to 196 parts the cubes at z 10 and 14 (rows 202 and 186) and
// leaves those at z -10 and -14 (rows 282 and 298), where a picture read
// upside down would have it, in sight of each other.
TEST_F(Pvs, TheTopOfThePictureIsTheFarSide) {
  const std::vector<int32_t> zs = {10, 14, -10, -14};
  Cubes({0, 0, 0, 0}, zs);
  Picture(0, 1, 0, 192, 196);
  SB_Var.UsingPvs = 1;
  SB_3D_BuildPvs();
  // The small entity of each cube z, then whether cube i's list (at a byte
  // offset into the seen list) holds cube j.
  const TDECOR& d = SB_Var.Decor;
  std::vector<int32_t> entity(zs.size(), -1);
  for (int32_t b = 0; b < d.NbBigEntitys; ++b) {
    const TBIGENTITY& big = d.BigEntitys[b];
    for (int32_t k = 0; k < big.NbSmallEntitys; ++k) {
      const int32_t s = static_cast<int32_t>(big.SmallEntitys / sizeof(TSMALLENTITY)) + k;
      const int32_t z = 4 * big.KeyZ - 256 + d.SmallEntitys[s].Z - 64;
      for (size_t i = 0; i < zs.size(); ++i)
        if (zs[i] == z) entity[i] = s;
    }
  }
  ASSERT_EQ(std::count(entity.begin(), entity.end(), -1), 0);
  auto hidden = [&](int32_t i, int32_t j) {
    const uint16_t* list = d.SeenEntitysList;
    for (uint32_t k = Seen(entity[i]) / 2; k != 0 && list[k] != 65535; ++k)
      if (list[k] == SB_PvsCode(0, zs[j] - zs[i])) return true;
    return false;
  };
  EXPECT_TRUE(hidden(0, 1) && hidden(1, 0));
  EXPECT_FALSE(hidden(2, 3) || hidden(3, 2));
}

// On a picture that blocks everywhere, cells off the picture and pairs
// whose codes would alias stay visible.
TEST_F(Pvs, CellsOffThePictureAndFarPairsStayVisible) {
  Cubes({-70, 0, 60, 100});
  Picture(1);
  SB_Var.UsingPvs = 1;
  SB_3D_BuildPvs();
  const std::vector<uint16_t> codes = List();
  EXPECT_EQ(std::count(codes.begin(), codes.end(), SB_PvsCode(70, 0)), 1);   // -70 and 0 hide each other
  EXPECT_EQ(std::count(codes.begin(), codes.end(), SB_PvsCode(130, 0)), 0);  // too far for a code
  EXPECT_EQ(std::count(codes.begin(), codes.end(), SB_PvsCode(40, 0)), 0);   // 100 is off the picture
  EXPECT_EQ(std::count(codes.begin(), codes.end(), 65535), 3);               // 100 has no list
}

// Codes reach 127 cells down but only 126 up: of two cubes 127 cells
// apart that hide each other, only the one further up lists the other.
TEST_F(Pvs, TwoCubesAtTheReachListOneWay) {
  Cubes({-63, 64});
  Picture(1);
  SB_Var.UsingPvs = 1;
  SB_3D_BuildPvs();
  EXPECT_EQ(List(), std::vector<uint16_t>({SB_PvsCode(-127, 0), 65535}));
}

TEST_F(Pvs, AFullListLeavesTheRestVisible) {
  Cubes({0, 4});
  Picture(0, 320, 325);
  SB_Var.UsingPvs = 1;
  SB_MapCapacities.SeenList = 4;
  SB_3D_BuildPvs();
  EXPECT_TRUE(Printed("PVS list full..."));
  EXPECT_EQ(List(), std::vector<uint16_t>({32900, 65535}));
  EXPECT_EQ(Seen(1), 0u);
}

// Pictures that cannot be read give the message; a blocking picture too
// small for the cells, or cut short, leaves them visible.
TEST_F(Pvs, BadPicturesBuildNoLists) {
  const auto pcx = [](int32_t w, int32_t h, size_t keep) {
    const auto b = datagen::EncodePcx({w, h, std::vector<uint8_t>(w * h, 1), std::vector<uint8_t>(768, 0)});
    return std::string(b.begin(), b.begin() + std::min(keep, b.size()));
  };
  const struct {
    const char* name;
    std::string bytes;
    bool message;
  } rows[] = {{"missing", "", true},
              {"not a picture", std::string(2000, 'x'), true},
              {"small", pcx(100, 100, SIZE_MAX), false},
              {"truncated", pcx(640, 480, 300), true}};
  for (const auto& r : rows) {
    Cubes({0, 4});
    if (!r.bytes.empty()) ztest::WriteFile(Path("TXT/PVS.PCX"), r.bytes);
    SB_Var.UsingPvs = 1;
    SB_ClearPrintedLines();
    SB_3D_BuildPvs();
    EXPECT_EQ(Printed("Error while loading bmap in txt>pvs.pcx..."), r.message) << r.name;
    EXPECT_EQ(SB_Var.Decor.NbSeenEntitysList, 1) << r.name;
  }
}

TEST_F(Pvs, AFaceWithVertex255IsReportedOnce) {
  datagen::MapBuilder m;
  const int32_t t = m.Texture("ROAD");
  m.BigCubeFace({0, 0, 0}, {{0, 0, 0}, {512, 0, 0}, {0, 0, 512}}, t);
  m.BigCubeFace({0, 0, 0}, {{0, 0, 0}, {512, 0, 512}, {0, 0, 512}}, t);
  m.Install();
  SB_CheckFacePoints();
  EXPECT_TRUE(Boxes().empty());
  SB_Var.Decor.Faces[0].Vertex[2] = SB_Var.Decor.Faces[1].Vertex[1] = 255;
  SB_CheckFacePoints();
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Face with pnt number 255"});
}

}  // namespace
