// The draw list on views built by hand: what is skipped and rejected, the
// draw kinds, the mip and fill-mode choices, the entries a polygon gives,
// the buffers' limits and the frame's texture use.
#include <string>

#include "engine3d/object.h"
#include "system/bmap.h"
#include "tests/softrender/drawlist_fixture.h"

namespace ztest {
namespace {

TEST_F(DrawListTest, OnlyKinds0135781And11AreListed) {
  struct Row {
    uint8_t kind;
    int32_t entries;
  } rows[] = {{1, 1}, {2, 0}, {3, 1}, {4, 0}, {5, 1}, {6, 0}, {9, 0}, {10, 0}, {0, 1}, {11, 1}, {12, 0}, {255, 0}};
  for (const Row& r : rows) {
    Limits(10, 100);
    Add(r.kind, Triangle(0, 0, 1000));
    Build();
    EXPECT_EQ(E3D_SoftDraws.NbDraws, r.entries) << int{r.kind};
  }
}

TEST_F(DrawListTest, ANonZeroAndOfTheCodesRejectsBeforeAnyClip) {
  Add(1, {At(-5000, 0, 1000), At(-5000, 100, 1000), At(-4000, 0, 1000)});  // all left of the screen
  Add(1, {At(0, 0, 50), At(100, 0, 60), At(0, 100, 70)});                   // all behind the near plane
  const int32_t vertices = scene_.NbVertices;
  Build();
  EXPECT_EQ(E3D_SoftDraws.NbDraws, 0);
  EXPECT_EQ(scene_.NbVertices, vertices);
  EXPECT_EQ(SB_Var.TexturePlaces[0].UsedThisFrame, 0);
}

TEST_F(DrawListTest, TheTablesGiveTheDrawKinds) {
  BMAP* bitmap = LS_CreateBmap(256, 256, 8, 0);
  TMATERIAL material{};
  material.Bitmap = bitmap, material.Pixels = bitmap->Start;
  struct Row {
    uint8_t kind;
    int32_t a, p, t;
  } rows[] = {{1, 1, 5, 9}, {3, 3, 6, 10}, {5, 1, 5, 9}, {7, 1, 1, 1}, {8, 3, 3, 3}};
  for (const Row& r : rows) {
    SB_Var.TexturePlaces[0].RenderKind = r.kind;
    const int32_t want[3] = {r.a, r.p, r.t};
    for (int32_t mode = 0; mode < 3; ++mode) {
      Limits(10, 100);
      SB_Var.TexturePlaces[0].Loaded = mode > 0;
      SB_Var.SoftFillers = mode == 1;
      Add(r.kind, Triangle(0, 0, 1000), 1000, 0, &material);
      Build();
      ASSERT_EQ(E3D_SoftDraws.NbDraws, 1) << int{r.kind} << " " << mode;
      EXPECT_EQ(Draws()[0].Kind, want[mode]) << int{r.kind} << " " << mode;
    }
  }
  LS_FreeBmap(bitmap);
}

TEST_F(DrawListTest, TheDepthKeyChoosesTheMipLevel) {
  struct Row {
    int32_t key;
    uint8_t far, none;
    int32_t level;
  } rows[] = {{9599, 0, 0, 0},    {9600, 0, 0, 1},  {28800, 0, 0, 2},  {81600, 0, 0, 4}, {200000, 0, 0, 4},
              {47999, 1, 0, 0},   {48000, 1, 0, 1}, {192000, 1, 0, 4}, {81600, 0, 1, 0}};
  for (const Row& r : rows) {
    Limits(10, 100);
    TTEXTUREPLACE& place = SB_Var.TexturePlaces[0];
    place.I = r.far, place.N = r.none, place.Loaded = 0;
    TSOFTPOLY* poly = Add(1, Triangle(0, 0, 1000), r.key);
    Build();
    ASSERT_EQ(E3D_SoftDraws.NbDraws, 1) << r.key;
    const TSOFTDRAW& e = Draws()[0];
    EXPECT_EQ(E3D_SoftTextureBase(&scene_, e.Texture), r.level ? place.MipTexels[r.level - 1] : place.Texels) << r.key;
    EXPECT_EQ(e.SizeIndex, r.level ? place.MipSelector[r.level - 1] : place.Selector) << r.key;
    EXPECT_EQ(poly->FirstVertex[1].U, 2560 >> r.level) << r.key;
    EXPECT_EQ(poly->FirstVertex[2].V, 2560 >> r.level) << r.key;
  }
}

TEST_F(DrawListTest, TheFarDistanceAndThePerspectiveFlagChooseTheFill) {
  SB_Var.FarDistance = 38400;
  SB_Var.TexturePlaces[0].N = 1;
  struct Row {
    int32_t key;
    uint8_t loaded;
    int32_t kind;
  } rows[] = {{38400, 1, 5}, {38401, 1, 1}, {1000, 0, 1}};
  for (const Row& r : rows) {
    Limits(10, 100);
    SB_Var.TexturePlaces[0].Loaded = r.loaded;
    Add(1, Square(0, 0, 1000), r.key);
    Build();
    ASSERT_GE(E3D_SoftDraws.NbDraws, 1) << r.key;
    EXPECT_EQ(Draws()[0].Kind, r.kind) << r.key;
  }
}

TEST_F(DrawListTest, APolygonGivesOneEntryPerFanTriangleOrOnePerspectiveRecord) {
  SB_Var.TexturePlaces[0].Loaded = 0;
  struct Row {
    std::vector<TSOFTVERTEX> corners;
    int32_t entries;
  } rows[] = {
      {Triangle(0, 0, 1000), 1},
      {Square(0, 0, 1000), 2},
      {LeftCorner(), 3},  // a pentagon once clipped
  };
  for (const Row& r : rows) {
    Limits(10, 100);
    Add(1, r.corners);
    Build();
    EXPECT_EQ(E3D_SoftDraws.NbDraws, r.entries) << r.corners.size();
    EXPECT_EQ(E3D_SoftDraws.NbTris, r.entries);
    for (int32_t i = 0; i < E3D_SoftDraws.NbDraws; ++i)
      for (uint32_t c : Tris()[Draws()[i].Fill].Corner) {
        const TSOFTVERTEX& v = vertices_[c];
        EXPECT_TRUE(v.X >= 0 && v.X <= 640 && v.Y >= 0 && v.Y <= 400) << v.X << " " << v.Y;
      }
  }
  Limits(10, 100);
  SB_Var.TexturePlaces[0].Loaded = 1;
  Add(1, LeftCorner());
  Build();
  ASSERT_EQ(E3D_SoftDraws.NbDraws, 1);
  EXPECT_EQ(E3D_SoftDraws.NbPersps, 1);
  EXPECT_EQ(Persps()[0].NbVertices, 5);
  EXPECT_EQ(Draws()[0].Fill, 0u);
}

TEST_F(DrawListTest, FullBuffersDropTheNextPolygonAndTheWalkGoesOn) {
  for (int32_t i = 0; i < 2100; ++i) Add(1, Triangle(0, 0, 1000), 50000);  // affine: 2000 fit
  for (int32_t i = 0; i < 1600; ++i) Add(1, Square(0, 0, 1000));  // perspective: 1500 fit
  Add(1, Triangle(0, 0, 1000), 50000);
  Build();
  EXPECT_EQ(E3D_SoftDraws.NbTris, 2000);
  EXPECT_EQ(E3D_SoftDraws.NbPersps, 1500);
  EXPECT_EQ(E3D_SoftDraws.NbDraws, 3500);
}

// Each buffer's limit drops only what it holds; the entry limit, reached
// once both are full, drops every kind of polygon.
TEST_F(DrawListTest, EachLimitDropsOnlyWhatItBounds) {
  BMAP* bitmap = LS_CreateBmap(256, 256, 8, 0);
  TMATERIAL material{};
  material.Bitmap = bitmap, material.Pixels = bitmap->Start;
  struct Row {
    int32_t tris, persps;  // written before the last polygon, a square
    uint8_t kind;
    int32_t key;  // past the far distance: filled affine
    int32_t newTris, newPersps;
  } rows[] = {
      {2000, 0, 1, 1000, 0, 1},     {2000, 0, 1, 50000, 0, 0},     {0, 1500, 1, 50000, 2, 0},
      {0, 1500, 1, 1000, 0, 0},     {2000, 1500, 1, 1000, 0, 0},   {2000, 1500, 1, 50000, 0, 0},
      {2000, 1500, 0, 1000, 0, 0},  {2000, 1500, 11, 1000, 0, 0},  {2000, 1500, 7, 1000, 0, 0},
      {1999, 1500, 0, 1000, 1, 0},  // the fan's second triangle dropped
  };
  for (const Row& r : rows) {
    Limits(6000, 16000);
    for (int32_t i = 0; i < r.tris; ++i) Add(1, Triangle(0, 0, 1000), 50000);
    for (int32_t i = 0; i < r.persps; ++i) Add(1, Square(0, 0, 1000));
    Add(r.kind, Square(0, 0, 1000), r.key, 0, &material);
    Build();
    const std::string row = std::to_string(r.tris) + "/" + std::to_string(r.persps) + " kind " +
                            std::to_string(r.kind) + " key " + std::to_string(r.key);
    EXPECT_EQ(E3D_SoftDraws.NbTris, r.tris + r.newTris) << row;
    EXPECT_EQ(E3D_SoftDraws.NbPersps, r.persps + r.newPersps) << row;
    EXPECT_EQ(E3D_SoftDraws.NbDraws, E3D_SoftDraws.NbTris + E3D_SoftDraws.NbPersps) << row;
  }
  LS_FreeBmap(bitmap);
}

TEST_F(DrawListTest, WithoutVertexRoomAPolygonThatNeedsClippingIsSkipped) {
  Limits(10, 16);
  SB_Var.TexturePlaces[0].Loaded = 0;
  Add(1, LeftCorner());          // needs the screen clip
  Add(1, Triangle(0, 0, 1000));         // does not
  Build();
  ASSERT_EQ(E3D_SoftDraws.NbDraws, 1);
  EXPECT_EQ(Tris()[Draws()[0].Fill].Corner[0], 4u);
}

TEST_F(DrawListTest, TheFrameCountsEachUsedTextureOnce) {
  SB_Var.NbTextures = 3;
  SB_Var.TexturePlaces[2].UsedThisFrame = 1;
  Add(1, Triangle(0, 0, 1000), 1000, 0);
  Add(1, Triangle(0, 0, 1000), 1000, 0);
  Add(1, Triangle(0, 0, 1000), 1000, 1);
  Build();
  EXPECT_EQ(SB_Var.FrameTextureMemory, 3000);
  EXPECT_EQ(SB_Var.TexturePlaces[0].UsedThisFrame, 1);
  EXPECT_EQ(SB_Var.TexturePlaces[1].UsedThisFrame, 1);
  EXPECT_EQ(SB_Var.TexturePlaces[2].UsedThisFrame, 0);
}

TEST_F(DrawListTest, BadPolygonsAreSkipped) {
  Add(1, {At(0, 0, 1000), At(100, 0, 1000), At(0, 100, 1000), At(100, 100, 1000), At(50, 150, 1000)});
  Add(1, Triangle(0, 0, 1000), 1000, 2);  // material at NbTextures
  Add(7, Triangle(0, 0, 1000));           // no texture record
  TMATERIAL bare{};
  Add(8, Triangle(0, 0, 1000), 1000, 0, &bare);  // a record without bitmap
  Build();
  EXPECT_EQ(E3D_SoftDraws.NbDraws, 0);
  Add(1, Triangle(0, 0, 1000));
  SB_Var.TriBuffers[1] = nullptr;
  Build();
  EXPECT_EQ(E3D_SoftDraws.NbDraws, 0);
}

TEST_F(DrawListTest, AFaceWithoutTextureAreaIsFilledAffine) {
  for (int32_t fillers : {1, 0}) {
    Limits(10, 100);
    SB_Var.SoftFillers = fillers;
    Add(1, {At(0, 0, 1000, 256, 256), At(100, 0, 1000, 256, 256), At(0, 100, 1000, 256, 256)});
    Build();
    ASSERT_EQ(E3D_SoftDraws.NbDraws, 1);
    EXPECT_EQ(Draws()[0].Kind, 1) << fillers;
  }
}

TEST_F(DrawListTest, AnObjectTextureWrapsInsideItsBitmapsRows) {
  struct Row {
    int32_t height, size;
  } rows[] = {{256, 0}, {100, 2}, {64, 2}, {2, 7}, {1, -1}};  // -1: skipped
  for (const Row& r : rows) {
    BMAP* bitmap = LS_CreateBmap(256, r.height, 8, 0);
    TMATERIAL material{};
    material.Bitmap = bitmap, material.Pixels = bitmap->Start;
    Limits(10, 100);
    Add(7, Triangle(0, 0, 1000), 1000, 0, &material);
    Build();
    ASSERT_EQ(E3D_SoftDraws.NbDraws, r.size < 0 ? 0 : 1) << r.height;
    if (r.size < 0) {
      LS_FreeBmap(bitmap);
      continue;
    }
    EXPECT_EQ(Draws()[0].SizeIndex, r.size) << r.height;
    EXPECT_EQ(E3D_SoftTextureBase(&scene_, Draws()[0].Texture), bitmap->Start);
    LS_FreeBmap(bitmap);
  }
}

}  // namespace
}  // namespace ztest
