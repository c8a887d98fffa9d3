// The track editor's tile renderer on maps built in code: corner pixels and
// texture size index, depth keys and the order of stacked floors, what each
// screen depth and switch draws, and a tile past the list's room.
#include <algorithm>
#include <cstring>
#include <vector>

#include "datagen/mapbuild.h"
#include "engine3d/sort.h"
#include "shell/gamedraw.h"
#include "shell/owner.h"
#include "system/lsvar.h"
#include "tests/tools/tools_fixture.h"
#include "tools/trackedit/trackedit.h"
#include "track/decor.h"
#include "track/ground.h"

namespace {

using datagen::Point3;

// Tile (0, 0) holds the small cube of map x and z 128..255.
constexpr int32_t kCell = 128;

class EditTile : public ztest::ToolsTest {
 protected:
  void SetUp() override {
    ToolsTest::SetUp();
    tile_ = SB_CreateBmap(640, 480, 8, 0, "tile");
    LS_InitWindowFull(tile_, &SB_Var.EditTileWindow, 12);
    screen_ = SB_CreateBmap(8, 8, 8, 0, "screen");
    savedScreen_ = LS_Var.Screen;
    LS_Var.Screen = screen_;
    SB_Var.EditClearColor = 9, SB_Var.EditOutlineColor = 0;
    pages_.assign(2 * 256 * 256, 0);
    std::fill(pages_.begin(), pages_.begin() + 256 * 256, 40);
    std::fill(pages_.begin() + 256 * 256, pages_.end(), 50);
  }
  void TearDown() override {
    LS_Var.Screen = savedScreen_;
    SB_FreeXZYList();
    SB_FreeDecor();
    SB_FreeBmap(screen_);
    SB_FreeBmap(tile_);
    ToolsTest::TearDown();
  }
  // Installs the map, with textures 0 and 1 of one colour each, 64 x 32.
  void Install(const datagen::MapBuilder& b) {
    b.Install();
    BuildXZYList();
    SB_Var.NbTextures = 2;
    for (int32_t t = 0; t < 2; ++t) {
      TTEXTUREPLACE& p = SB_Var.TexturePlaces[t];
      p.Texels = pages_.data() + t * 256 * 256, p.Log2Width = 6, p.Log2Height = 5;
    }
  }
  // A flat quadrangle over the whole cell at map height y.
  static void Floor(datagen::MapBuilder& b, int32_t y, int32_t texture) {
    b.CubeFace({{kCell, y, kCell}, {2 * kCell, y, kCell}, {2 * kCell, y, 2 * kCell}, {kCell, y, 2 * kCell}},
               datagen::kCubeUp, texture);
  }
  int32_t List(int32_t column = 0, int32_t row = 0) {
    return SB_ListEditTileFaces(pointers_.data(), entries_.data(), column, row);
  }
  uint8_t Pixel(int32_t x, int32_t y) {
    LS_LockBmap(tile_);
    const uint8_t p = tile_->Start[y * tile_->ByteLen + x];
    LS_UnlockBmap(tile_);
    return p;
  }
  BMAP* tile_ = nullptr;
  BMAP* screen_ = nullptr;
  BMAP* savedScreen_ = nullptr;
  std::vector<uint8_t> pages_;
  std::vector<TEDITTILEFACE> entries_ = std::vector<TEDITTILEFACE>(SB_EDITMAXTILEFACES);
  std::vector<TEDITTILEFACE*> pointers_ = std::vector<TEDITTILEFACE*>(SB_EDITMAXTILEFACES);
};

TEST_F(EditTile, CornersLandOnTilePixelsWithMapZUpward) {
  datagen::MapBuilder b;
  b.Texture("A"), b.Texture("B");
  b.CubeFace({{kCell, 0, kCell}, {2 * kCell, 0, kCell}, {kCell + 64, 0, 2 * kCell}}, datagen::kCubeUp, 1);
  Install(b);
  struct Row { int32_t size; int32_t x[3], y[3]; };
  for (const Row& r : {Row{16, {0, 16, 8}, {16, 16, 0}}, Row{1, {0, 1, 1}, {1, 1, 0}},
                       Row{5, {0, 5, 3}, {5, 5, 0}}, Row{256, {0, 256, 128}, {256, 256, 0}}}) {
    SB_Var.EditTileSize = r.size;
    ASSERT_EQ(List(), 1) << r.size;
    const TEDITTILEFACE& e = entries_[0];
    EXPECT_EQ(e.NbCorners, 3);
    for (int32_t k = 0; k < 3; ++k) {
      EXPECT_EQ(e.X[k], r.x[k]) << r.size << " corner " << k;
      EXPECT_EQ(e.Y[k], r.y[k]) << r.size << " corner " << k;
    }
    EXPECT_EQ(e.SizeIndex, 19);  // 64 x 32: (9 - 6) x 8 - 5
    EXPECT_EQ(e.Texels, pages_.data() + 256 * 256);
  }
  EXPECT_EQ(List(1, 0), 0);    // the neighbouring cell is empty
  EXPECT_EQ(List(90, 90), 0);  // outside the map
}

TEST_F(EditTile, AQuadranglesKeyIsThreeQuartersOfItsSumAndTheHigherFloorIsDrawnFirst) {
  datagen::MapBuilder b;
  b.Texture("A"), b.Texture("B");
  Floor(b, 100, 0);
  b.CubeFace({{kCell, 100, kCell}, {2 * kCell, 100, kCell}, {kCell, 100, 2 * kCell}}, datagen::kCubeUp, 0);
  Floor(b, 300, 1);  // a road in the cell below (heights grow downward)
  Install(b);
  SB_Var.EditTileSize = 16;
  ASSERT_EQ(List(), 3);
  std::vector<int32_t> keys;
  for (int32_t i = 0; i < 3; ++i) keys.push_back(entries_[i].Key);
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys[0], keys[1]);  // flat quadrangle and triangle at one height
  EXPECT_GT(keys[2], keys[0]);
  // The larger key is the road below, drawn first and covered by the deck.
  SB_DrawEditTile(tile_, 0, 0);
  EXPECT_EQ(Pixel(12, 4), 40);
}

TEST_F(EditTile, EachDepthAndSwitchDrawsTexturedFacesOrOutlines) {
  datagen::MapBuilder b;
  b.Texture("A"), b.Texture("B");
  // Tile pixels (2, 14), (14, 14), (14, 2) at size 16.
  b.CubeFace({{kCell + 16, 0, kCell + 16}, {kCell + 112, 0, kCell + 16}, {kCell + 112, 0, kCell + 112}},
             datagen::kCubeUp, 1);
  Install(b);
  PALETTE palette{};
  for (int i = 0; i < 256; ++i) palette.Entry[i] = {uint8_t(i / 8), uint8_t(i / 8), uint8_t(i / 8)};
  palette.Entry[77] = {63, 0, 63};  // the outline colour
  SB_Var.Pal3d = &palette;
  SB_Var.EditTileSize = 16;
  struct Row { int32_t depth, objectMode, outlines, view3d; uint8_t inside; bool outlined; };
  for (const Row& r : {Row{8, 0, 0, 0, 50, false}, Row{8, 0, 1, 0, 50, true}, Row{8, 1, 0, 0, 50, false},
                       Row{8, 1, 1, 0, 9, true}, Row{16, 0, 0, 0, 9, true}, Row{16, 1, 1, 0, 9, true},
                       Row{8, 0, 1, 1, 9, false}}) {
    screen_->Depth = r.depth;
    SB_Var.EditObjectMode = r.objectMode, SB_Var.EditOutlines = r.outlines, SB_Var.Edit3DView = r.view3d;
    SB_FillRect(tile_, 0, 0, 639, 479, 3);
    SB_DrawEditTile(tile_, 0, 0);
    const testing::Message row = testing::Message() << r.depth << r.objectMode << r.outlines << r.view3d;
    EXPECT_EQ(Pixel(11, 10), r.inside) << row;
    EXPECT_EQ(Pixel(14, 8) == 77, r.outlined) << row;  // on the right side
    EXPECT_EQ(Pixel(0, 0), 9) << row;                  // the clear colour around the face
    EXPECT_EQ(Pixel(16, 16), 3) << row;                // outside the square: untouched
  }
  screen_->Depth = 8;
  SB_Var.Pal3d = nullptr;
}

TEST_F(EditTile, AListStopsAtItsRoomAndBadFacesAreSkippedOrLeftPlain) {
  datagen::MapBuilder b;
  b.Texture("A"), b.Texture("B");
  for (int32_t level = 0; level < 5; ++level)
    for (int32_t f = 0; f < 205; ++f)
      b.CubeFace({{kCell, level * kCell, kCell}, {2 * kCell, level * kCell, kCell},
                  {kCell + f % 40, level * kCell, 2 * kCell}},
                 datagen::kCubeUp, 0);
  Install(b);
  SB_Var.EditTileSize = 16;
  EXPECT_EQ(List(), SB_EDITMAXTILEFACES);
  SB_DrawEditTile(tile_, 0, 0);  // on the stack, no overflow (sanitizers)
  // A corner naming no vertex, a texture past the loaded ones.
  TDECOR& d = SB_Var.Decor;
  d.Faces[0].Vertex[1] = 200;
  d.Faces[1].Texture = 7;
  const int32_t count = List();
  EXPECT_EQ(count, SB_EDITMAXTILEFACES);
  bool plain = false;
  for (int32_t i = 0; i < count; ++i) plain |= entries_[i].Texels == nullptr;
  EXPECT_TRUE(plain);
  SB_DrawEditTile(tile_, 0, 0);
}

}  // namespace
