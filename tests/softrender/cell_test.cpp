// The software map frame's work on a cell: vertices transformed at most
// once, projection and clip codes at their edges, the face listing's
// distance, facing and networked-race tests, and the depth keys.
#include "tests/softrender/softmap_fixture.h"

namespace {

using ztest::HandCell;
using ztest::HandFace;
using ztest::SetViewVertex;
using ztest::SoftMapTest;

// Three faces in one big entity ahead: two facing the camera that share an
// edge b-c (first vertices a and c), one facing away (first vertex f). The
// eager first vertices are transformed before the listing, the others
// that a listed face uses when projected, and g, h of the back face never.
TEST_F(SoftMapTest, EachVertexTransformedOnceAndCountedOnceWhenProjected) {
  const int32_t t = builder_.Texture("ROAD");
  const datagen::Point3 a{224, 224, 256}, b{288, 224, 256}, c{288, 288, 256}, d{224, 288, 256};
  builder_.BigCubeFace({0, 0, 1}, {a, b, c}, t, ztest::kFacing);
  builder_.BigCubeFace({0, 0, 1}, {c, d, b}, t, ztest::kFacing);
  builder_.BigCubeFace({0, 0, 1}, {{100, 100, 300}, {120, 100, 300}, {120, 120, 300}}, t, ztest::kAway);
  builder_.Install();
  View(0, 0, 0);
  SB_Var.FarDistanceSq = 96000.0f * 96000.0f;
  SB_TransformMapSectors(&camera_);
  ASSERT_EQ(E3D_SoftMap.NbVisible, 1);
  TSOFTCELL cell{}, *cursor = &cell, *pointers[1], **pointer = pointers;
  SB_AddSoftPolygonEntry(&E3D_SoftMap.Visible[0], &cursor, &pointer);
  ASSERT_EQ(cell.NbVertices, 7);
  E3D_SoftMap.NbTransformed = E3D_SoftMap.NbProjected = 0;
  E3D_SoftCullCell(nullptr, &cell);
  EXPECT_EQ(E3D_SoftMap.NbCellFaces, 2);
  EXPECT_EQ(E3D_SoftMap.NbTransformed, 3);  // a, c and f
  E3D_SoftProjectCell(nullptr, &cell);
  EXPECT_EQ(E3D_SoftMap.NbTransformed, 5);  // and b, d
  EXPECT_EQ(E3D_SoftMap.NbProjected, 4);    // a, b, c, d
}

// Camera z 400 with focal 400 puts camera x and y on the screen one for
// one from the centre (320, 200) of the 640 x 400 view.
TEST_F(SoftMapTest, ProjectionAndClipCodesAtTheEdges) {
  View(0, 0, 0);
  const struct {
    int32_t x, y, z;
    int32_t code, screenX, screenY;
  } rows[] = {
      {0, 0, 127, CLIP_NEAR, -1, -1},
      {0, 0, 128, 0, 320, 200},
      {320, 0, 400, CLIP_RIGHT, 640, 200},
      {319, 0, 400, 0, 639, 200},
      {-320, 0, 400, 0, 0, 200},
      {-321, 0, 400, CLIP_LEFT, -1, 200},
      {0, 200, 400, CLIP_BOTTOM, 320, 400},
      {0, 199, 400, 0, 320, 399},
      {0, -201, 400, CLIP_TOP, 320, -1},
      {-321, -201, 400, CLIP_LEFT | CLIP_TOP, -1, -1},
      {3, 1, 800, 0, 322, 201},  // 1.5 and 0.5 rounded to the nearest
  };
  for (const auto& r : rows) {
    HandCell hand;
    hand.vertices = {{0, 0, 0, SB_WORDVERTEX_MARKED, 0}};
    SetViewVertex(0, r.x, r.y, r.z);
    E3D_SoftMap.Vertices[0].ScreenX = E3D_SoftMap.Vertices[0].ScreenY = -1;
    E3D_SoftProjectObjVerts(hand.Make());
    const TVIEWVERTEX& v = E3D_SoftMap.Vertices[0];
    EXPECT_EQ(std::vector<int32_t>({v.Code, v.ScreenX, v.ScreenY}),
              std::vector<int32_t>({r.code, r.screenX, r.screenY}))
        << r.x << " " << r.y << " " << r.z;
  }
}

TEST_F(SoftMapTest, ListingDropsFarBackAndHiddenFaces) {
  View(0, 0, 0);
  SB_Var.FarDistanceSq = 1000.0f * 1000.0f;
  TTEXTUREPLACE& place = SB_Var.TexturePlaces[0];
  const struct {
    const char* what;
    int32_t x, y, z;
    std::array<uint8_t, 3> normal;
    uint8_t d, a;
    int32_t multiView;
    bool kept;
  } rows[] = {
      {"at the far distance", 0, 0, 1000, ztest::kFacing, 0, 0, 0, false},
      {"inside it", 0, 0, 999, ztest::kFacing, 0, 0, 0, true},
      {"edge-on", 500, 0, 0, ztest::kFacing, 0, 0, 0, false},
      {"edge-on, double-sided", 500, 0, 0, ztest::kFacing, 1, 0, 0, true},
      {"facing away", 0, 0, 10, ztest::kAway, 0, 0, 0, false},
      {"facing away, double-sided", 0, 0, 10, ztest::kAway, 1, 0, 0, true},
      {"letter A in a networked race", 0, 0, 10, ztest::kFacing, 0, 1, 1, false},
      {"letter A in another race", 0, 0, 10, ztest::kFacing, 0, 1, 0, true},
      {"networked race without A", 0, 0, 10, ztest::kFacing, 0, 0, 1, true},
  };
  for (const auto& r : rows) {
    HandCell hand;
    hand.vertices.assign(3, TWORDVERTEX{});
    hand.faces = {HandFace({0, 1, 2, 255}, r.normal)};
    SetViewVertex(0, r.x, r.y, r.z);
    place.D = r.d, place.A = r.a, SB_Var.MultiView = r.multiView;
    E3D_SoftListObjPolys(hand.Make());
    EXPECT_EQ(E3D_SoftMap.NbCellFaces, r.kept ? 1 : 0) << r.what;
    EXPECT_EQ(hand.vertices[2].Flags, r.kept ? SB_WORDVERTEX_MARKED : 0) << r.what;
  }
}

TEST_F(SoftMapTest, DepthKeys) {
  const struct {
    std::vector<int32_t> z;
    uint8_t bias;
    int32_t key;
  } rows[] = {
      {{100, 200, 300}, 0, 600},
      {{1, 2, 3, 5}, 0, 8},     // 33 >> 2
      {{-1, -2, -3, -5}, 0, -9},  // -33 >> 2
      {{100, 200, 300}, 1, 600 - 7680},
      {{1000, 1000, 1000, 1000}, 1, 3000 - 7680},
  };
  for (const auto& r : rows) {
    TMAPFACE face = HandFace({0, 1, 2, static_cast<uint8_t>(r.z.size() == 3 ? 255 : 3)});
    for (size_t i = 0; i < r.z.size(); ++i) SetViewVertex(static_cast<int32_t>(i), 0, 0, r.z[i]);
    SB_Var.TexturePlaces[0].Z = r.bias;
    E3D_SoftMap.CellFaces[0] = &face;
    E3D_SoftMap.NbCellFaces = 1;
    E3D_SoftSetDepthKeys(nullptr);
    EXPECT_EQ(static_cast<int32_t>(face.ShadeOrKey), r.key) << r.z.size() << " corners, bias " << int{r.bias};
  }
}

}  // namespace
