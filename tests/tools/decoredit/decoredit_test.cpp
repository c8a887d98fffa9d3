// The decor-object editor over three decor objects made in memory: the
// object and block buttons, the position, angle and table buttons, go-to,
// the right-button drag of the panel, objects it cannot edit, and a
// missing or unusable panel picture.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "datagen/editor2.h"
#include "engine3d/matrix.h"
#include "engine3d/object.h"
#include "platform/window.h"
#include "shell/gamedraw.h"
#include "system/input.h"
#include "tests/support/golden.h"
#include "tests/tools/trackedit/trackedit_fixture.h"
#include "tools/decoredit/decoredit.h"
#include "tools/editors.h"
#include "tools/trackedit/trackedit.h"

namespace {

constexpr int32_t kLeft = 1, kRight = 2, kShift = 16;
constexpr int32_t kX = 100, kY = 100;  // the panel's corner at set-up

class DecorEditor : public ztest::TrackEditor {
 protected:
  void SetUp() override {
    TrackEditor::SetUp();
    const std::vector<uint8_t> bytes = datagen::EncodePcx(datagen::DecorPanelPicture());
    ztest::WriteFile(Path("PCX/EDITOR2.PCX"), std::string(bytes.begin(), bytes.end()));
    SB_Edit();  // the cursor's picture
    for (int32_t i = 0; i < 3; ++i) {
      std::snprintf(objects_[i].Name, sizeof objects_[i].Name, "PART%d", i);
      E3D_MatIdentityF(objects_[i].Orientation);
    }
    commands_[0].Flags = DECOR_TABLE, commands_[0].TableCursor = 3.0;
    Block(0, commands_, 2, &objects_[0], {1.5, 2.25, -3.0});
    Block(1, commands_ + 1, 1, &objects_[1], {-7.0, 0.0, 9.75});
    Block(2, nullptr, 0, &objects_[2], {0.0, 0.0, 0.0});
    decor_[0] = TDECOROBJ{&objects_[0], 2, 0, blocks_};
    decor_[1] = TDECOROBJ{&objects_[2], 1, -1, blocks_ + 2};  // no block running
    decor_[2] = TDECOROBJ{nullptr, 0, -1, nullptr};           // no blocks at all
    std::strcpy(names_[0], "DAT>DECOR>MOULIN.TXT");
    std::strcpy(names_[1], "BALLON.TXT");
    std::strcpy(names_[2], "DAT>EMPTY.TXT");
    SB_Var.DecorObjects = decor_, SB_Var.NbDecorObjects = 3, SB_Var.DecorScriptNames = names_;
    SB_Var.DecorObjectsOn = 1;
    SB_InitDecorEditor();
  }
  void TearDown() override {
    SB_FreeDecorEditor();
    SB_Var.DecorObjects = nullptr, SB_Var.NbDecorObjects = 0, SB_Var.DecorScriptNames = nullptr;
    SB_Var.DecorObjectsOn = 0;
    TrackEditor::TearDown();
  }
  void Block(int32_t i, TDECORCMD* commands, int32_t count, OBJECT* object, TVECTOR at) {
    blocks_[i].Commands = commands, blocks_[i].NbCommands = count, blocks_[i].Object = object;
    blocks_[i].Position[0] = at.x, blocks_[i].Position[1] = at.y, blocks_[i].Position[2] = at.z;
  }
  static void E3D_MatIdentityF(float* m) {
    for (int32_t k = 0; k < 9; ++k) m[k] = k % 4 == 0 ? 1.0f : 0.0f;
  }
  // One frame with these buttons (and Shift) held and the mouse there.
  static void Step(int32_t buttons, int32_t x, int32_t y, bool shift = false) {
    plat::SetKeyState(1, (buttons & kLeft) != 0);
    plat::SetKeyState(2, (buttons & kRight) != 0);
    plat::SetKeyState(kShift, shift);
    plat::SetCursorPos(x, y);
    SB_UpdateDecorEditor();
  }
  // A press of the panel button at (dx, dy), held for frames frames.
  static void Press(int32_t dx, int32_t dy, int32_t frames = 1, bool shift = false) {
    Step(0, kX + dx + 2, kY + dy + 2, shift);
    for (int32_t i = 0; i < frames; ++i) Step(kLeft, kX + dx + 2, kY + dy + 2, shift);
    Step(0, kX + dx + 2, kY + dy + 2, shift);
  }
  static uint32_t Angle(const OBJECT& o, int32_t k) {
    TMATRIX m;
    for (int32_t i = 0; i < 9; ++i) m[i] = o.Orientation[i];
    uint32_t a[3];
    E3D_MatToAngles16(m, &a[0], &a[1], &a[2]);
    return a[k];
  }
  OBJECT objects_[3]{};
  TDECORCMD commands_[3]{};
  TDECORBLOCK blocks_[3]{};
  TDECOROBJ decor_[3]{};
  char names_[3][SB_DECORNAMESIZE]{};
};

TEST_F(DecorEditor, NextObjectOncePerPressAndNotPastTheLast) {
  SB_Var.DecorEditBlock = 1;
  Press(218, 3, 5);
  EXPECT_EQ(SB_Var.DecorEditObject, 1);
  EXPECT_EQ(SB_Var.DecorEditBlock, 0);
  Press(218, 3);
  EXPECT_EQ(SB_Var.DecorEditObject, 2);
  Press(218, 3);
  EXPECT_EQ(SB_Var.DecorEditObject, 2);
  Press(184, 3);
  EXPECT_EQ(SB_Var.DecorEditObject, 1);
}

TEST_F(DecorEditor, BlocksChangeWithinTheObject) {
  Press(218, 20);
  EXPECT_EQ(SB_Var.DecorEditBlock, 1);
  Press(218, 20);  // no third block
  EXPECT_EQ(SB_Var.DecorEditBlock, 1);
  Press(184, 20);
  EXPECT_EQ(SB_Var.DecorEditBlock, 0);
}

TEST_F(DecorEditor, HoldingPlusXTenFramesMovesFiveOrAHundredMetres) {
  Press(216, 46, 10);
  EXPECT_FLOAT_EQ(objects_[0].Position[0], 5 * 60800.0f);
  Press(182, 46, 10, true);
  EXPECT_FLOAT_EQ(objects_[0].Position[0], -95 * 60800.0f);
  Press(216, 70, 1);
  EXPECT_FLOAT_EQ(objects_[0].Position[2], 0.5f * 60800.0f);
  EXPECT_FLOAT_EQ(objects_[0].Position[1], 0.0f);
}

TEST_F(DecorEditor, AnglesWrapAt16Bits) {
  TMATRIX m;
  E3D_MatFromAngles16(m, 65530, 0, 0);
  for (int32_t k = 0; k < 9; ++k) objects_[0].Orientation[k] = static_cast<float>(m[k]);
  Press(216, 85, 1);
  EXPECT_LT(Angle(objects_[0], 0), 20u);
  Press(182, 97, 1, true);
  EXPECT_NEAR(Angle(objects_[0], 1), 65536 - 512, 2);
}

TEST_F(DecorEditor, TheTableButtonsStopAtZero) {
  Press(105, 162, 1);
  EXPECT_DOUBLE_EQ(commands_[0].TableCursor, 0.0);
  Press(139, 162, 3);
  EXPECT_DOUBLE_EQ(commands_[0].TableCursor, 15.0);
  Press(139, 162, 1, true);
  EXPECT_DOUBLE_EQ(commands_[0].TableCursor, 65.0);
  // A held inert button holds the table buttons off.
  Step(0, kX + 110, kY + 130);
  Step(kLeft, kX + 110, kY + 130);
  EXPECT_DOUBLE_EQ(commands_[0].TableCursor, 65.0);
  Step(0, kX + 110, kY + 130);
}

TEST_F(DecorEditor, GoToPutsTheCameraTargetOnTheBlock) {
  SB_Var.DecorEditBlock = 1;
  Press(199, 132, 1);
  EXPECT_EQ(SB_Var.Camera.TargetX, -2240);
  EXPECT_EQ(SB_Var.Camera.TargetY, 0);
  EXPECT_EQ(SB_Var.Camera.TargetZ, 3120);
  blocks_[1].Position[0] = std::nan("");  // not a place
  Press(199, 132, 1);
  EXPECT_EQ(SB_Var.Camera.TargetX, -2240);
}

TEST_F(DecorEditor, ARightDragShowsAnOutlineAndMovesThePanel) {
  Step(0, kX + 10, kY + 10);
  Step(kRight, kX + 10, kY + 10);
  EXPECT_EQ(SB_Var.DecorEditDragging, 1);
  Step(kRight, 300, 250);
  Step(kRight, 300, 250);  // the outline at the position the last frame computed
  const uint32_t red = SB_EditNearestOverlayColor(63, 0, 0);
  const int32_t left = 300 - 10, top = 250 - 10;
  EXPECT_EQ(LS_GetPixel(SB_Var.TextScreen, left, top + 50), red);
  EXPECT_EQ(LS_GetPixel(SB_Var.TextScreen, left + 255, top + 50), red);
  EXPECT_EQ(LS_GetPixel(SB_Var.TextScreen, left + 100, top + 168), red);
  EXPECT_NE(LS_GetPixel(SB_Var.TextScreen, left + 100, top + 169), red);
  Step(0, 300, 250);
  EXPECT_EQ(SB_Var.DecorEditDragging, 0);
  EXPECT_EQ(SB_Var.DecorEditX, left);
  EXPECT_EQ(SB_Var.DecorEditY, top);
  Step(kRight, 5, 5);  // outside the panel: nothing
  EXPECT_EQ(SB_Var.DecorEditDragging, 0);
}

TEST_F(DecorEditor, WithoutABlockToEditOnlyTheChoosersAct) {
  SB_Var.DecorEditObject = 1;  // its current block is -1
  Press(216, 46, 3);
  EXPECT_FLOAT_EQ(objects_[2].Position[0], 0.0f);
  SB_Var.DecorEditObject = 2;  // no blocks
  Press(216, 46, 3);
  Press(139, 162, 1);
  Press(199, 132, 1);
  EXPECT_EQ(SB_Var.Camera.TargetX, 0);
  Press(184, 3);
  EXPECT_EQ(SB_Var.DecorEditObject, 1);
  commands_[0].TableCursor = 3.0;
  blocks_[0].CurrentCommand = 7;  // past the block's commands
  SB_Var.DecorEditObject = 0;
  Press(105, 162, 1);
  Press(216, 46, 1);
  EXPECT_DOUBLE_EQ(commands_[0].TableCursor, 3.0);
  EXPECT_FLOAT_EQ(objects_[0].Position[0], 0.0f);
}

TEST_F(DecorEditor, ThePathFileName) {
  EXPECT_STREQ(SB_PathFileName("DAT>DECOR>MOULIN.TXT"), ">MOULIN.TXT");
  EXPECT_STREQ(SB_PathFileName("BALLON.TXT"), "BALLON.TXT");
}

TEST_F(DecorEditor, WithoutItsPanelTheEditorNeitherDrawsNorActs) {
  SB_FreeDecorEditor();
  for (const std::string& bytes : {std::string(), std::string("not a picture at all")}) {
    if (bytes.empty())
      std::remove(Path("PCX/EDITOR2.PCX").c_str());
    else
      ztest::WriteFile(Path("PCX/EDITOR2.PCX"), bytes);
    SB_InitDecorEditor();
    EXPECT_EQ(SB_Var.DecorEditPanel, nullptr);
    SB_ClearBmap(SB_Var.TextScreen);
    Press(216, 46, 3);
    EXPECT_FLOAT_EQ(objects_[0].Position[0], 0.0f);
    EXPECT_EQ(LS_GetPixel(SB_Var.TextScreen, kX + 20, kY + 20), 0u);
    SB_FreeDecorEditor();
  }
}

}  // namespace

// The panel with its values after a press of plus x, pinned as a golden
// picture: the 8-bit overlay through the 3D palette.
namespace {

TEST_F(DecorEditor, ThePanelWithItsValues) {
  objects_[0].Position[1] = 2.5f * 60800;
  Press(216, 46, 1);
  Step(0, kX + 150, kY + 60);
  BMAP* shot = SB_CreateBmap(640, 480, 24, 0, "shot");
  SB_Var.TextScreen->Palette = SB_Var.Pal3d;
  SB_Bitmove(SB_Var.TextScreen, shot, 0, 0, 639, 479, 0, 0);
  LS_LockBmap(shot);
  ztest::ExpectGolden(shot, "tests/tools/golden/decoredit.tga", root_);
  LS_UnlockBmap(shot);
  SB_FreeBmap(shot);
}

}  // namespace
