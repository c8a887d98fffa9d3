// The track editor's frame: set-up and release of its bitmaps, the tile
// geometry by zoom, the zoom and scroll keys, the mouse edges, the Space
// reset and the position read-out.
#include <cstring>
#include <string>
#include <vector>

#include "shell/owner.h"
#include "tests/tools/trackedit/trackedit_fixture.h"
#include "tools/trackedit/trackedit.h"

namespace {

constexpr int32_t kKeyAdd = 0x6B, kKeySubtract = 0x6D, kKeySpace = 0x20;
using ztest::TrackEditor;
using ztest::kLeftButton;

TEST_F(TrackEditor, TileSizeGivesTileCountsAndCentreOrigin) {
  struct Row { int32_t size, tilesX, tilesY, originX, originY; };
  for (const Row& r : {Row{16, 20, 15, 312, 232}, Row{4, 80, 60, 318, 238}, Row{1, 320, 240, 320, 240},
                       Row{256, 1, 1, 192, 112}}) {
    SB_SetEditZoom(r.size);
    EXPECT_EQ(SB_Var.EditTileSize, r.size);
    EXPECT_EQ(SB_Var.EditTilesX, r.tilesX) << r.size;
    EXPECT_EQ(SB_Var.EditTilesY, r.tilesY) << r.size;
    EXPECT_EQ(SB_Var.EditOriginX, r.originX) << r.size;
    EXPECT_EQ(SB_Var.EditOriginY, r.originY) << r.size;
  }
}

TEST_F(TrackEditor, SetUpTagsItsBitmapsAndReleaseLeavesNone) {
  SB_Edit();
  EXPECT_EQ(Tags(), (std::vector<std::string>{"overlay", "SB_Edit", "SB_Edit 2", "SB_Edit 3", "pcx>editor.pcx"}));
  EXPECT_EQ(SB_Var.EditZoom, 16);
  EXPECT_EQ(SB_Var.EditTool, 2);
  EXPECT_EQ(SB_Var.EditGrid, 1);
  SB_FreeEdit();
  EXPECT_EQ(Tags(), std::vector<std::string>{"overlay"});
}

TEST_F(TrackEditor, AMissingOrDeepPictureLeavesTheEditorUnavailable) {
  const std::string good = ztest::ReadFile(Path("PCX/EDITOR.PCX"));
  std::string deep = good;
  deep[65] = 3;  // three colour planes: 24 bits
  // Missing, not a picture, cut short, 24-bit.
  const std::string files[] = {"", "not a picture", good.substr(0, good.size() / 2), deep};
  for (const std::string& bytes : files) {
    std::remove(Path("PCX/EDITOR.PCX").c_str());
    if (!bytes.empty()) ztest::WriteFile(Path("PCX/EDITOR.PCX"), bytes);
    SB_Edit();
    EXPECT_EQ(Printed(), std::vector<std::string>{"Track editor unavailable (pcx>editor.pcx) !!!"});
    EXPECT_EQ(Tags(), std::vector<std::string>{"overlay"});
    SB_Var.DebugMode = 1;
    SB_EnterEdit();
    EXPECT_EQ(SB_Var.DebugMode, 0);
    SB_UpdateEdit();  // nothing to run
  }
}

TEST_F(TrackEditor, KeypadZoomActsOncePerPressWithinItsBounds) {
  SB_Edit();
  for (int i = 0; i < 5; ++i) Frame({kKeyAdd});  // held: once
  EXPECT_EQ(SB_Var.EditZoom, 32);
  Frame();
  Frame({kKeyAdd});
  EXPECT_EQ(SB_Var.EditZoom, 64);
  Frame();
  Frame({kKeyAdd, kKeySubtract});  // doubled then halved
  EXPECT_EQ(SB_Var.EditZoom, 64);
  EXPECT_EQ(SB_Var.EditTileSize, 64);
  SB_Var.EditZoom = 256, SB_SetEditZoom(256);
  Frame();
  Frame({kKeyAdd});
  EXPECT_EQ(SB_Var.EditZoom, 256);
  SB_Var.EditZoom = 1, SB_SetEditZoom(1);
  Frame();
  Frame({kKeySubtract});
  EXPECT_EQ(SB_Var.EditZoom, 1);
  SB_Var.Edit3DView = 1;  // the perspective view keeps the top view's zoom
  Frame();
  Frame({kKeyAdd});
  EXPECT_EQ(SB_Var.EditZoom, 1);
}

TEST_F(TrackEditor, TheLeftButtonAtAScreenEdgeScrollsATileAFrame) {
  SB_Edit();
  struct Row { int32_t x, y, scrollX, scrollY; };
  for (const Row& r : {Row{639, 240, 1, 0}, Row{638, 240, 0, 0}, Row{0, 240, -1, 0}, Row{320, 479, 0, 1},
                       Row{320, 0, 0, -1}, Row{700, 900, 1, 1}}) {
    SB_Var.EditScrollX = SB_Var.EditScrollY = 0;
    Frame({kLeftButton}, r.x, r.y);
    EXPECT_EQ(SB_Var.EditScrollX, r.scrollX) << r.x << "," << r.y;
    EXPECT_EQ(SB_Var.EditScrollY, r.scrollY) << r.x << "," << r.y;
  }
  SB_Var.EditScrollX = SB_Var.EditScrollY = 0;
  Frame({}, 639, 240);  // no button
  EXPECT_EQ(SB_Var.EditScrollX, 0);
  EXPECT_EQ(SB_Var.EditDrag, 0);
}

TEST_F(TrackEditor, SpaceResetsTheViewButKeepsThePerspectiveSwitch) {
  SB_Edit();
  SB_Var.EditZoom = 64, SB_SetEditZoom(64);
  SB_Var.EditScrollX = 3, SB_Var.EditScrollY = -2, SB_Var.EditTool = 4, SB_Var.EditGrid = 0;
  SB_Var.EditOutlines = 1, SB_Var.EditZoomInLit = 1, SB_Var.Edit3DView = 1;
  Frame({kKeySpace});
  EXPECT_EQ(SB_Var.EditZoom, 4);
  EXPECT_EQ(SB_Var.EditTileSize, 4);
  EXPECT_EQ(SB_Var.EditScrollX, 0);
  EXPECT_EQ(SB_Var.EditScrollY, 0);
  EXPECT_EQ(SB_Var.EditTool, 2);
  EXPECT_EQ(SB_Var.EditGrid, 1);
  EXPECT_EQ(SB_Var.EditOutlines, 0);
  EXPECT_EQ(SB_Var.EditZoomInLit, 0);
  EXPECT_EQ(SB_Var.Edit3DView, 1);
}

TEST_F(TrackEditor, TheReadOutGivesTheCentreTilesPositionAndSpaceOverNoGround) {
  SB_Edit();
  Frame({}, 320, 240);
  SB_DrawEditMouse();
  // No map: no ground under the mouse.
  EXPECT_EQ(SB_Var.MouseX, 320);
  std::vector<uint8_t> row(200);
  BMAP* s = SB_Var.TextScreen;
  LS_LockBmap(s);
  std::memcpy(row.data(), s->Start + 466 * s->ByteLen + 10, row.size());
  LS_UnlockBmap(s);
  bool drawn = false;
  for (uint8_t p : row) drawn |= p != row[0];
  EXPECT_TRUE(drawn);
}

int32_t g_warps = 0;

// The pointer is put back only when it lay beyond the screen: on a display
// a move made after the reading would else be undone every frame.
TEST_F(TrackEditor, ThePointerIsPutBackOnlyWhenLimited) {
  const plat::WindowBackend counting = {nullptr, nullptr, nullptr, [](int32_t, int32_t) { ++g_warps; }, nullptr};
  plat::SetWindowBackend(&counting);
  plat::SetWindowGeometry({1280, 960, 640, 480});
  SB_Edit();
  g_warps = 0;
  for (int32_t i = 0; i < 3; ++i) Frame({}, 320, 240);
  EXPECT_EQ(g_warps, 3);  // the test's own moves only
  Frame({}, 700, 500);
  EXPECT_EQ(g_warps, 5);
  EXPECT_EQ(SB_Var.MouseX, 639);
  int32_t x = 0, y = 0;
  plat::GetCursorPos(&x, &y);
  EXPECT_EQ(std::pair(x, y), std::pair(639, 479));
  plat::SetWindowBackend(nullptr);
  plat::SetWindowGeometry({});
}

}  // namespace
