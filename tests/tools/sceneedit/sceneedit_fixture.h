// What the scene editor's tests share: a 640 x 480 view of 16 bits (5-6-5)
// standing for the race overlay, the screen it takes its depth from, the
// markers and cursors written by datagen's drawing, two cars in the game,
// the mouse on, and frames run with buttons and keys held.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "datagen/careditorpics.h"
#include "datagen/editor2.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "system/bmap.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "tests/tools/tools_fixture.h"
#include "tools/editors.h"
#include "tools/sceneedit/sceneedit.h"
#include "vehicles/types.h"

namespace ztest {

constexpr int32_t kLeft = 1, kRight = 2;

class SceneEditor : public ToolsTest {
 protected:
  void SetUp() override {
    ToolsTest::SetUp();
    plat::UseManualClock(true);
    plat::SetManualTime(1000);
    screen_ = SB_CreateBmap(640, 480, 16, 0, "screen");
    screen_->Format = BMAP_RGB565;
    savedScreen_ = LS_Var.Screen;
    LS_Var.Screen = screen_;
    view_ = SB_CreateBmap(640, 480, 16, 0, "overlay");
    view_->Format = BMAP_RGB565;
    LSYS_InitMouse();
    WritePictures();
    for (int32_t i = 0; i < 2; ++i) {
      E3D_Identity(cars_[i].Orientation);
      SB_Var.Cars[i] = &cars_[i];
    }
    SB_Var.NbCars = 2;
    SB_Hooks.IsCarInGame = [](int32_t car) { return car >= 0 && car < 2 ? 1 : 0; };
  }
  void TearDown() override {
    SB_FreeSceneEditor();
    SB_FreeBmap(view_);
    LS_Var.Screen = savedScreen_;
    SB_FreeBmap(screen_);
    SB_Hooks.IsCarInGame = nullptr;
    plat::ReleaseAllKeys();
    plat::UseManualClock(false);
    ToolsTest::TearDown();
  }
  void WritePictures() {
    Tga("MISCPICT/PETITCAR.TGA", datagen::CarMarkerPicture());
    Tga("MISCPICT/PETITCAM.TGA", datagen::CameraMarkerPicture());
    for (const datagen::CarEditorPicture& p : datagen::CarEditorPictures())
      if (p.path == "INTERFAC/CURSOR.TGA") Tga(p.path, p.picture);  // the tree's one cursor picture
    Tga("INTERFAC/SELECT.TGA", datagen::SelectCursorPicture());
    Tga("INTERFAC/LOUPE.TGA", datagen::LoupeCursorPicture());
    Tga("INTERFAC/HAND.TGA", datagen::HandCursorPicture());
  }
  void Tga(const std::string& name, const datagen::Picture24& picture) {
    WriteFile(Path(name), "");
    ASSERT_TRUE(datagen::WriteTga(Path(name), picture));
  }
  static void E3D_Identity(double* m) {
    for (int32_t k = 0; k < 9; ++k) m[k] = k % 4 == 0 ? 1.0 : 0.0;
  }
  // One editor frame with these buttons and keys held and the mouse there.
  void Frame(int32_t buttons, int32_t x, int32_t y, std::vector<int32_t> keys = {}) {
    plat::SetKeyState(1, (buttons & kLeft) != 0);
    plat::SetKeyState(2, (buttons & kRight) != 0);
    for (int32_t key : keys) plat::SetKeyState(key, true);
    plat::SetCursorPos(x, y);
    SB_UpdateSceneEditor(view_);
    for (int32_t key : keys) plat::SetKeyState(key, false);
  }
  // A click on tool button i of the Tools window (first frame makes it).
  void ChooseTool(int32_t tool) {
    Frame(0, 600, 400);
    const TTOOLBUTTON* b = SB_Var.ToolButtons[tool];
    const int32_t x = 10 + 2 + b->X + 5, y = 10 + 12 + b->Y + 5;
    Frame(0, x, y);
    Frame(kLeft, x, y);
    Frame(0, x, y);
  }
  uint32_t Pixel(int32_t x, int32_t y) { return LS_GetPixel(view_, x, y); }
  BMAP* screen_ = nullptr;
  BMAP* savedScreen_ = nullptr;
  BMAP* view_ = nullptr;
  TCAR cars_[2]{};
};

}  // namespace ztest
