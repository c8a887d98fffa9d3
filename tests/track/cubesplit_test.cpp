// The split into cubes, on triangles built in code: edge cuts, slabs,
// cube keys, the insertion of small entitys, the first-vertex rule, the
// stored values of both passes, faces in cut planes, and the buffers that
// stop the construction when they overflow.
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/track/track_fixture.h"
#include "track/cubes.h"

namespace {

struct V3 {
  double x, y, z;
};

class CubeSplit : public ztest::TrackTest {
 protected:
  void TearDown() override {
    SB_FreeTLMAP(work_);
    SB_MapCapacities = SB_MAPCAPACITIES;
    ztest::TrackTest::TearDown();
  }
  // Appends a triangle (u, v of its first corner given, the others 0).
  void Add(std::vector<V3> v, const char* material = "ROAD", double u = 0, double vv = 0) {
    TLMAPFACE f{};
    for (int k = 0; k < 3; ++k) f.V[k] = {v[k].x, v[k].y, v[k].z, k ? 0 : u, k ? 0 : vv};
    std::memcpy(f.Material, material, std::strlen(material));
    faces_.push_back(f);
  }
  TLMAP* Map() {
    faces_.resize(faces_.size() + 64);
    map_ = TLMAP{static_cast<uint32_t>(faces_.size() - 64), faces_.data(), static_cast<uint32_t>(faces_.size()),
                 "SB_CopyMap"};
    SB_CalcMapNormals(&map_);
    return &map_;
  }
  // The small pass over the faces added so far.
  void SmallPass() {
    ASSERT_EQ(SB_InitMapConstruction(&work_), 1);
    SB_SplitMap2Cube(Map(), work_);
  }
  const TSMALLENTITY& Small(int32_t i) const { return SB_Var.Decor.SmallEntitys[i]; }
  const TMAPVERTEX& VertexOf(const TSMALLENTITY& s, int32_t face, int32_t k) const {
    const TMAPFACE& f = SB_Var.Decor.Faces[s.Faces / 32 + face];
    return SB_Var.Decor.Vertices[s.Vertices / 4 + f.Vertex[k]];
  }
  std::vector<TLMAPFACE> faces_;
  TLMAP map_{};
  TLMAP* work_ = nullptr;
};

TEST_F(CubeSplit, EdgeCutsAtAPlane) {
  const struct {
    std::vector<V3> v;
    uint32_t pieces;
  } rows[] = {{{{0, 0, 0}, {200, 0, 0}, {0, 0, 200}}, 3},
              {{{128, 0, 0}, {200, 0, 0}, {100, 0, 50}}, 2},
              {{{0, 0, 0}, {128.0001, 0, 0}, {0, 0, 10}}, 1}};  // within 1e-6 of the edge's end
  for (const auto& r : rows) {
    faces_.clear();
    Add(r.v);
    TLMAP* map = Map();
    for (uint32_t i = 0; i < map->NbFaces; ++i)
      for (int32_t e = 0; e < 3; ++e) SB_CutFaceAxis(map, i, e, (e + 1) % 3, 0, 128);
    ASSERT_EQ(map->NbFaces, r.pieces) << r.v[1].x;
    for (uint32_t i = 0; i < map->NbFaces; ++i) {
      bool low = true, high = true;
      for (const TLMAPVERTEX& p : map->Faces[i].V) {
        low = low && p.X <= 128, high = high && p.X >= 128;
        EXPECT_TRUE(p.X == 128 || p.X == 0 || p.X == r.v[0].x || p.X == r.v[1].x || p.X == r.v[2].x) << p.X;
      }
      EXPECT_TRUE(low || high || r.pieces == 1) << i;
    }
  }
}

TEST_F(CubeSplit, AMapInOneBandIsOneSlab) {
  Add({{10, 0, 10}, {100, 0, 10}, {10, 0, 100}});
  SmallPass();
  EXPECT_TRUE(Printed("Map conversion :  100/100"));
  EXPECT_EQ(SB_Var.Decor.NbSmallEntitys, 1);
}

TEST_F(CubeSplit, CubeNumbersAndKeys) {
  const struct {
    double mean;
    int32_t cube;
  } means[] = {{-0.5, -1}, {127.9, 0}, {128, 1}, {-129, -2}};
  for (const auto& m : means) {
    TLMAPFACE f{};
    for (TLMAPVERTEX& v : f.V) v = {m.mean, 0, 0, 0, 0};
    SB_SetFaceCube(&f);
    EXPECT_EQ(f.CubeX, m.cube) << m.mean;
  }
  const struct {
    int32_t cx, cy, cz;
    std::vector<int32_t> bytes;  // big x, y, z; small x, z, y
  } cubes[] = {{0, -3, 5, {64, 63, 65, 64, 65, 65}}, {2, 1, -3, {65, 64, 63, 62, 65, 65}}};
  for (const auto& c : cubes) {
    faces_.clear();
    const V3 o{128.0 * c.cx + 10, 128.0 * c.cy + 10, 128.0 * c.cz + 10};
    Add({o, {o.x + 20, o.y, o.z}, {o.x, o.y, o.z + 20}});
    SmallPass();
    const TBIGENTITY& b = SB_Var.Decor.BigEntitys[0];
    EXPECT_EQ(std::vector<int32_t>({b.KeyX, b.KeyY, b.KeyZ, Small(0).X, Small(0).Z, Small(0).Y}), c.bytes);
    SB_FreeTLMAP(work_), work_ = nullptr;
    SB_FreeDecor();
  }
}

TEST_F(CubeSplit, ANewSmallEntityStaysWithItsBigCube) {
  Add({{10, 0, 10}, {30, 0, 10}, {10, 0, 30}});            // big cube z 64
  Add({{10, 0, 1034}, {30, 0, 1034}, {10, 0, 1054}});      // big cube z 66, filed next
  Add({{138, 0, 10}, {158, 0, 10}, {138, 0, 30}});         // the first big cube again, next slab
  SmallPass();
  const TDECOR& d = SB_Var.Decor;
  ASSERT_EQ(d.NbBigEntitys, 2);
  EXPECT_EQ(std::vector<uint32_t>({d.BigEntitys[0].SmallEntitys, d.BigEntitys[0].NbSmallEntitys,
                                   d.BigEntitys[1].SmallEntitys}),
            std::vector<uint32_t>({0, 2, 32}));
  EXPECT_EQ(std::vector<int32_t>({Small(1).X, Small(2).Z}), std::vector<int32_t>({65, 64}));
}

TEST_F(CubeSplit, FacesBeginWithAFlaggedVertex) {
  Add({{10, 10, 10}, {30, 10, 10}, {10, 10, 30}}, "A");
  Add({{10, 10, 10}, {10, 30, 10}, {30, 30, 25}}, "B");  // shares vertex 0: kept
  Add({{50, 50, 50}, {60, 50, 50}, {10, 10, 10}}, "C");  // shares its third: turned
  SmallPass();
  const TMAPFACE* f = SB_Var.Decor.Faces;
  ASSERT_EQ(SB_Var.Decor.NbFaces, 3);
  EXPECT_EQ(std::vector<int32_t>({f[1].Vertex[0], f[2].Vertex[0], VertexOf(Small(0), 2, 1).X}),
            std::vector<int32_t>({0, 0, 50}));
  std::vector<int32_t> flags;
  for (int32_t i = 0; i < SB_Var.Decor.NbVertices; ++i) flags.push_back(SB_Var.Decor.Vertices[i].Flags);
  EXPECT_EQ(flags, std::vector<int32_t>({1, 0, 0, 0, 0, 0, 0}));
}

TEST_F(CubeSplit, StoredValuesOfASmallCubeFace) {
  const struct {
    int32_t names;  // texture names there already
    int32_t texture;
    uint16_t u, v;
  } rows[] = {{300, 44, 2047 | 0x8000, 4095}, {512, 0, 0, 0}};
  for (const auto& r : rows) {
    faces_.clear();
    SB_Var.NbTextures = r.names;
    for (int32_t i = 0; i < r.names; ++i) std::snprintf(SB_Var.TextureNames[i], 15, "T%d", i);
    Add({{130.4, 10, 20.5}, {150, 10, 20}, {130, 10, 40}}, "ROAD", 0.5, 1.0);
    SmallPass();
    const TMAPFACE& f = SB_Var.Decor.Faces[0];
    const TMAPVERTEX& v = VertexOf(Small(0), 0, 0);
    EXPECT_EQ(std::vector<int32_t>({v.X, v.Y, v.Z, f.Vertex[3], f.Normal[0], f.Normal[1], f.Normal[2]}),
              std::vector<int32_t>({2, 10, 21, 255, 64, 128, 64}));
    EXPECT_EQ(std::vector<int32_t>({f.Texture, f.TextureCoords[0], f.TextureCoords[1]}),
              std::vector<int32_t>({r.texture, r.u, r.v}));
    SB_FreeTLMAP(work_), work_ = nullptr;
    SB_FreeDecor();
  }
}

TEST_F(CubeSplit, DegenerateFacesGoAndFacesInACutPlaneGoTwice) {
  Add({{0, 0, 0}, {10, 0, 0}, {0, 0, 10}});
  Add({{50, 0, 0}, {50.2, 0, 0}, {60, 0, 10}}, "THIN");     // degenerate once rounded
  Add({{128, 0, 0}, {128, 10, 0}, {128, 0, 10}}, "WALL");  // in the plane x = 128
  Add({{200, 0, 0}, {210, 0, 0}, {200, 0, 10}});
  SmallPass();
  EXPECT_EQ(std::make_pair(SB_Var.Decor.NbSmallEntitys, SB_Var.Decor.NbFaces), std::make_pair(3, 4));
  // A long thin face over many cut planes, and a face of one point.
  Add({{-500, 0.3, 0}, {1500, 0.6, 1.2}, {-500, 0.6, 0.4}}, "LONG");
  Add({{5, 5, 5}, {5, 5, 5}, {5, 5, 5}}, "POINT");
  faces_.erase(faces_.begin() + 4, faces_.begin() + 68);
  SB_FreeTLMAP(work_), work_ = nullptr;
  SB_FreeDecor();
  SmallPass();
  EXPECT_GE(SB_Var.Decor.NbFaces, 4);
  for (int32_t i = 0; i < SB_Var.Decor.NbFaces; ++i) {
    const uint8_t* v = SB_Var.Decor.Faces[i].Vertex;
    EXPECT_TRUE(v[0] != v[1] && v[1] != v[2] && v[0] != v[2]) << i;
  }
}

TEST_F(CubeSplit, TheBigPassFilesReducedFacesIntoExistingBigCubes) {
  Add({{10, 20, 30}, {30, 20, 30}, {10, 20, 50}});
  SmallPass();
  Add({{5000, 20, 30}, {5020, 20, 30}, {5000, 20, 50}});  // no big cube there
  faces_.erase(faces_.begin() + 1, faces_.begin() + 65);  // the 64 spare records of the first map
  TLMAP* map = Map();
  SB_ReduceMap(map);
  SB_SplitMap2CubeBig(map, work_);
  const TDECOR& d = SB_Var.Decor;
  EXPECT_EQ(std::make_pair(d.BigEntitys[0].NbFaces, d.NbFaces), std::make_pair(uint8_t{1}, 2));
  const TWORDVERTEX& w = d.WordVertices[d.Faces[1].Vertex[0]];
  EXPECT_EQ(std::vector<int32_t>({w.X, w.Y, w.Z, w.Flags}), std::vector<int32_t>({266, 276, 286, 1}));
  EXPECT_EQ(SB_Var.MapFacesDropped, 1);
}

// Two lanes of a flat road across the cube boundary x = 128: the first a
// fan from one corner to its side's corners every 16 units, which the
// joins make a few large faces, the second cells of another material
// whose mapping keeps them apart, so that they keep the corners on the
// lanes' common side. No corner of a filed face lies inside an edge of
// another (where the rasterisers would leave a crack between them).
TEST_F(CubeSplit, TheFiledFacesMeetWithoutTJunctions) {
  auto corner = [](int32_t x, int32_t z, double v) { return TLMAPVERTEX{double(x), 10, double(z), x / 100.0, v}; };
  auto face = [&](TLMAPVERTEX a, TLMAPVERTEX b, TLMAPVERTEX c, const char* material) {
    TLMAPFACE f{};
    f.V[0] = a, f.V[1] = b, f.V[2] = c;
    std::memcpy(f.Material, material, std::strlen(material));
    faces_.push_back(f);
  };
  const TLMAPVERTEX hub = corner(8, 10, 0.1);
  face(hub, corner(248, 10, 0.1), corner(248, 30, 0.3), "ROAD");
  for (int32_t x = 8; x < 248; x += 16) {
    const int32_t e = x + 16;
    face(hub, corner(e, 30, 0.3), corner(x, 30, 0.3), "ROAD");
    const double far = (x / 16) % 2 ? 0.9 : 0.5;  // a mapping that bends at every corner
    face(corner(x, 30, 0.3), corner(e, 30, 0.3), corner(e, 50, far), "KERB");
    face(corner(x, 30, 0.3), corner(e, 50, far), corner(x, 50, 1.4 - far), "KERB");
  }
  SmallPass();
  // Every filed face's corners in map units: the small cube's place in
  // its big cube, then the corner's in the small cube.
  std::vector<std::array<std::array<int64_t, 3>, 3>> filed;
  const TDECOR& d = SB_Var.Decor;
  for (int32_t b = 0; b < d.NbBigEntitys; ++b) {
    const TBIGENTITY& big = d.BigEntitys[b];
    for (uint32_t k = 0; k < big.NbSmallEntitys; ++k) {
      const TSMALLENTITY& s = d.SmallEntitys[big.SmallEntitys / sizeof(TSMALLENTITY) + k];
      const int64_t cube[3] = {(big.KeyX - 64) * 4 + s.X - 64, (big.KeyY - 64) * 4 + s.Y - 64,
                               (big.KeyZ - 64) * 4 + s.Z - 64};
      for (int32_t f = 0; f < s.NbFaces; ++f) {
        std::array<std::array<int64_t, 3>, 3> t{};
        for (int32_t c = 0; c < 3; ++c) {
          const TMAPVERTEX& v = VertexOf(s, f, c);
          t[c] = {cube[0] * 128 + v.X, cube[1] * 128 + v.Y, cube[2] * 128 + v.Z};
        }
        filed.push_back(t);
      }
    }
  }
  ASSERT_EQ(filed.size(), static_cast<size_t>(d.NbFaces));
  int32_t inside = 0;
  for (const auto& t : filed)
    for (int32_t e = 0; e < 3; ++e) {
      const auto &a = t[e], &b = t[(e + 1) % 3];
      for (const auto& other : filed)
        for (const auto& p : other) {
          const int64_t u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, w[3] = {p[0] - a[0], p[1] - a[1], p[2] - a[2]};
          const int64_t cross[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
          const int64_t dot = u[0] * w[0] + u[1] * w[1] + u[2] * w[2], length2 = u[0] * u[0] + u[1] * u[1] + u[2] * u[2];
          inside += cross[0] == 0 && cross[1] == 0 && cross[2] == 0 && dot > 0 && dot < length2;
        }
    }
  EXPECT_EQ(inside, 0);
}

// 90 faces of their own corners in one cube: the 255-vertex limit leaves
// out 5 in the small cube and 5 in the big one, and the build says so.
TEST_F(CubeSplit, FacesLeftOutByTheCubeLimitsAreCounted) {
  TLMAP* map = SB_Init3dMap();
  map->Faces = static_cast<TLMAPFACE*>(SB_GetMem(90 * sizeof(TLMAPFACE), "test"));
  for (int i = 0; i < 90; ++i) {
    const double x = 10 + i % 10 * 10, y = i, z = 10 + i / 10 * 10;
    TLMAPFACE& f = map->Faces[map->NbFaces++];
    f.V[0] = {x, y, z, 0, 0}, f.V[1] = {x + 5, y, z, 0, 0}, f.V[2] = {x, y, z + 5, 0, 0};
  }
  SB_MapCapacities.Copy = 4000;
  EXPECT_EQ(SB_ConstructMap(map), 1);
  EXPECT_TRUE(Printed("Map warning: 10 faces dropped (cube limits)"));
  EXPECT_EQ(std::make_pair(SB_Var.Decor.SmallEntitys[0].NbFaces, SB_Var.Decor.BigEntitys[0].NbFaces),
            std::make_pair(uint8_t{85}, uint8_t{85}));
  SB_FreeTLMAP(map);
}

// Each growing buffer, made small, stops the construction with its name
// and leaves nothing allocated.
TEST_F(CubeSplit, FullBuffersStopTheConstruction) {
  const struct {
    uint32_t TMAPCAPACITIES::*field;
    const char* owner;
  } rows[] = {{&TMAPCAPACITIES::Copy, "SB_CopyMap"},
              {&TMAPCAPACITIES::Slab, "SB_SplitMap2Cube"},
              {&TMAPCAPACITIES::WorkGroup, "SB_InitMapConversion"}};
  for (const auto& r : rows) {
    TLMAP* map = SB_Init3dMap();
    map->Faces = static_cast<TLMAPFACE*>(SB_GetMem(4 * sizeof(TLMAPFACE), "test"));
    map->Faces[0].V[0] = {0, 0, 0, 0, 0}, map->Faces[0].V[1] = {200, 0, 0, 0, 0};
    map->Faces[0].V[2] = {0, 0, 100, 0, 0};
    map->Faces[1] = map->Faces[0];
    map->Faces[1].V[1].Y = 50;  // another plane: no join
    map->NbFaces = 2;
    SB_MapCapacities = SB_MAPCAPACITIES;
    SB_MapCapacities.Copy = 4000;
    SB_MapCapacities.*r.field = 2;
    SB_ClearPrintedLines();
    EXPECT_EQ(SB_ConstructMap(map), 0) << r.owner;
    EXPECT_TRUE(Printed(std::string("Map error: ") + r.owner + " full !!!")) << r.owner;
    EXPECT_EQ(SB_Var.NbMemOwners, 2) << r.owner;  // the map and its faces
    SB_FreeTLMAP(map);
  }
}

}  // namespace
