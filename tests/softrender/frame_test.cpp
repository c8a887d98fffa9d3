// The software map frame whole: painter's order inside and across cells,
// the polygons and vertices it writes, the view's limits, and what a map
// that passed the loader's check may still hold.
#include <cstring>

#include "tests/softrender/softmap_fixture.h"

namespace {

using ztest::HandCell;
using ztest::HandFace;
using ztest::SetViewVertex;
using ztest::SoftMapTest;

// Three entities, met by the gathering in x order at middle depth (x -1),
// near (x 0) and far (x 1), each with three walls at different depths and
// its own texture.
class SoftFrameTest : public SoftMapTest {
 protected:
  void ThreeCells() {
    middle_ = builder_.Texture("MIDDLE"), near_ = builder_.Texture("NEAR"), far_ = builder_.Texture("FAR");
    for (int32_t wz : {300, 200, 400}) Wall(-1, 2, wz, middle_);
    for (int32_t wz : {300, 200, 400}) Wall(0, 1, wz, near_);
    for (int32_t wz : {250, 350, 150}) Wall(1, 3, wz, far_);
    builder_.Install();
  }
  int32_t middle_ = 0, near_ = 0, far_ = 0;
};

TEST_F(SoftFrameTest, FarCellsFirstLargestKeyFirstAndTheListClosed) {
  ThreeCells();
  View(0, 0, 0);
  // An earlier producer's polygon: the map's follow it.
  auto* first = static_cast<TSOFTPOLY*>(scene_.PolygonCursor);
  *first = {};
  first->Next = first + 1, first->Key = 1 << 30, first->NbVertices = 3;
  scene_.PolygonCursor = first + 1;
  scene_.VertexCursor = static_cast<TSOFTVERTEX*>(scene_.VertexCursor) + 3;
  scene_.NbPolygons = 1, scene_.NbVertices = 3;
  Frame();
  const std::vector<TSOFTPOLY*> p = Polygons();
  ASSERT_EQ(p.size(), 10u);
  std::vector<int32_t> materials;
  for (size_t i = 1; i < p.size(); ++i) {
    materials.push_back(p[i]->Material);
    EXPECT_EQ(p[i - 1]->Next, p[i]);
    if (i > 1 && p[i]->Material == p[i - 1]->Material) {
      EXPECT_GT(p[i - 1]->Key, p[i]->Key);
    }
  }
  EXPECT_EQ(materials, std::vector<int32_t>({far_, far_, far_, middle_, middle_, middle_, near_, near_, near_}));
  EXPECT_EQ(p.back()->Next, nullptr);
  EXPECT_EQ(p[1]->FirstVertex, &vertices_[3]);
  EXPECT_EQ(scene_.NbVertices, 3 + 9 * 4);
  EXPECT_EQ(scene_.VertexCursor, &vertices_[39]);
}

// Corners 0..3 with screen x 1000 + i, texture u 10 i + 1 and v 100 + i;
// the rotation code in bit 15 of the first u, first v and second u.
TEST_F(SoftFrameTest, RotationCodesPermuteVerticesAndTextureCornersTogether) {
  View(0, 0, 0);
  SB_Var.Decor.FacesRescaled = 1;
  SB_Var.TexturePlaces[5 + 256].RenderKind = 3;
  const struct {
    int32_t code, corners;
    std::vector<int32_t> order;
  } rows[] = {{0, 4, {0, 1, 2, 3}}, {1, 3, {1, 2, 0}},    {2, 3, {2, 0, 1}},    {3, 4, {1, 2, 3, 0}},
              {4, 4, {2, 3, 0, 1}}, {5, 4, {3, 0, 1, 2}}, {6, 4, {0, 1, 2, 3}}, {7, 4, {0, 1, 2, 3}},
              {4, 3, {0, 1, 2}}};  // a quadrangle's code on a triangle keeps the stored order
  for (const auto& r : rows) {
    SB_ResetUserView(&scene_);
    TMAPFACE face = HandFace({0, 1, 2, static_cast<uint8_t>(r.corners == 3 ? 255 : 3)}, ztest::kFacing, 5);
    for (int32_t k = 0; k < 4; ++k) {
      face.TextureCoords[2 * k] = static_cast<uint16_t>(10 * k + 1);
      face.TextureCoords[2 * k + 1] = static_cast<uint16_t>(100 + k);
      SetViewVertex(k, 10 + k, 20 + k, 500 + k);
      E3D_SoftMap.Vertices[k].ScreenX = 1000 + k, E3D_SoftMap.Vertices[k].ScreenY = 2000 + k;
      E3D_SoftMap.Vertices[k].Code = 1 << k;
    }
    for (int32_t bit = 0; bit < 3; ++bit) face.TextureCoords[bit] |= static_cast<uint16_t>((r.code >> bit & 1) << 15);
    face.TextureCoords[3] |= 0x8000;  // page 1
    face.ShadeOrKey = 1234;
    E3D_SoftMap.CellFaces[0] = &face;
    E3D_SoftMap.NbCellFaces = 1;
    E3D_SoftEmitPolys(&scene_);
    ASSERT_EQ(scene_.NbPolygons, 1);
    const TSOFTPOLY& p = polygons_[0];
    EXPECT_EQ(std::vector<int32_t>({p.Key, p.NbVertices, p.Kind, p.Material}),
              std::vector<int32_t>({1234, r.corners, 3, 256 + 5}));
    for (int32_t k = 0; k < r.corners; ++k) {
      const TSOFTVERTEX& v = p.FirstVertex[k];
      const int32_t c = r.order[static_cast<size_t>(k)];
      EXPECT_EQ(std::vector<int32_t>({v.X, v.Y, v.Code, v.CamX, v.CamY, v.CamZ, v.U, v.V}),
                std::vector<int32_t>({1000 + c, 2000 + c, 1 << c, 10 + c, 20 + c, 500 + c, (10 * c + 1) << 4,
                                      (100 + c) << 4}))
          << "code " << r.code << " corner " << k;
    }
  }
}

// The first cell (the far one) holds three quadrangles: a limit reached
// there stops it and leaves the later cells out.
TEST_F(SoftFrameTest, LimitsStopTheCellAndLaterCells) {
  ThreeCells();
  const struct {
    int32_t faces, vertices, drawn;
  } rows[] = {
      {2, 100, 2},          // the polygon count reaches the limit
      {100, 4 + 8, 2},      // 8 vertices: at least the limit less 4
      {100, 4 + 9, 3},      // 12 vertices after the third
      {100, 4 + 12 + 1, 4}, // the next cell starts, with room for one
  };
  for (const auto& r : rows) {
    Limits(r.faces, r.vertices);
    View(0, 0, 0);
    Frame();
    EXPECT_EQ(scene_.NbPolygons, r.drawn) << r.faces << " " << r.vertices;
    EXPECT_LE(scene_.NbVertices, r.vertices);
  }
}

// A triangle is refused as a quadrangle is once the vertex count is at
// the limit less 4.
TEST_F(SoftFrameTest, NoTrianglePastTheVertexMargin) {
  Limits(10, 4 + 3);
  View(0, 0, 0);
  TMAPFACE faces[2] = {HandFace({0, 1, 2, 255}), HandFace({0, 1, 2, 255})};
  E3D_SoftMap.CellFaces[0] = &faces[0], E3D_SoftMap.CellFaces[1] = &faces[1];
  E3D_SoftMap.NbCellFaces = 2;
  E3D_SoftEmitPolys(&scene_);
  EXPECT_EQ(scene_.NbPolygons, 1);
}

// The far wall lies past the far distance (40,000) though its entity is
// gathered; the near wall's first vertex, read before the projection,
// must be its own and not the far cell's vertex of the same number.
TEST_F(SoftFrameTest, FirstVertexWithoutTheEagerFlagIsNeverStale) {
  const int32_t t = builder_.Texture("ROAD");
  Wall(0, 1, 256, t);
  Wall(0, 3, 256, t);
  builder_.Install();
  for (const uint8_t flags : {SB_WORDVERTEX_EAGER, uint8_t{0}}) {
    for (int32_t i = 0; i < SB_Var.Decor.NbWordVertices; ++i) SB_Var.Decor.WordVertices[i].Flags = flags;
    View(0, 0, 0, 0, 0, 40000);
    Frame();
    ASSERT_EQ(E3D_SoftMap.NbCells, 2);
    ASSERT_EQ(scene_.NbPolygons, 1) << "flags " << int{flags};
    EXPECT_EQ(polygons_[0].FirstVertex[0].CamZ, 16384 - 2048);  // word 256: the middle, an eighth of a cell back
  }
}

// What the loader's check lets through: indexes past the 129-entry tables
// skip the entity or the face; empty entities and a camera far away list
// nothing.
TEST_F(SoftFrameTest, OutOfTableIndexesAndEmptyMapsListNothing) {
  const int32_t t = builder_.Texture("ROAD");
  const struct {
    const char* what;
    int32_t cube;  // x number of the big cube, the camera beside it
    int32_t corner;
    std::array<uint8_t, 3> normal;
    int32_t drawn;
  } rows[] = {
      {"last column", 64, 288, ztest::kFacing, 1},       {"column 129", 65, 288, ztest::kFacing, 0},
      {"word 515", 0, 515, ztest::kFacing, 1},           {"word 516", 0, 516, ztest::kFacing, 0},
      {"normal 128", 0, 288, {64, 64, 128}, 1},           {"normal 129", 0, 288, {64, 64, 129}, 0},
  };
  for (const auto& r : rows) {
    builder_ = {};
    builder_.BigCubeFace({r.cube, 0, 1}, {{224, 224, 256}, {r.corner, 224, 256}, {224, 288, 256}}, t, r.normal);
    builder_.Install();
    View(r.cube * 16384, 0, 0);
    Frame();
    EXPECT_EQ(scene_.NbPolygons, r.drawn) << r.what;
  }
  ThreeCells();
  for (int32_t part = 0; part < 2; ++part) {
    for (int32_t i = 0; i < SB_Var.Decor.NbBigEntitys; ++i)
      (part ? SB_Var.Decor.BigEntitys[i].NbWordVertices : SB_Var.Decor.BigEntitys[i].NbFaces) = 0;
    View(0, 0, 0);
    Frame();
    EXPECT_EQ(scene_.NbPolygons, 0) << (part ? "no vertices" : "no faces");
  }
  builder_ = {};
  ThreeCells();
  for (const auto& [x, y] : {std::pair{2000000000, 0}, std::pair{0, 2000000000}, std::pair{-2000000000, -2000000000}}) {
    View(x, y, 0);
    Frame();
    EXPECT_EQ(scene_.NbPolygons, 0) << x << " " << y;
  }
}

}  // namespace
