// The window toolkit: colours, bevels, the clipped line, labels, the press
// and release rules of tool buttons, the title-bar drag and the clean-up.
#include "tests/tools/sceneedit/sceneedit_fixture.h"

#include "shell/gamedraw.h"
#include "system/asm3d/zidade3d.h"

namespace {

using ztest::kLeft;
using ztest::SceneEditor;

TEST_F(SceneEditor, RgbToPixel16ByTheScreenFormat) {
  EXPECT_EQ(SB_RgbToPixel16(255, 0, 255), 0xF81Fu);
  screen_->Format = BMAP_RGB555;
  EXPECT_EQ(SB_RgbToPixel16(255, 0, 255), 0x7C1Fu);
}

TEST_F(SceneEditor, BevelStylesLightFaceAndDark) {
  struct ROW {
    uint32_t style;
    int32_t light, face, dark;
  };
  const ROW rows[] = {{0, 208, 176, 144}, {1, 80, 112, 144}, {2, 255, 223, 191}, {3, 112, 144, 176}};
  for (const ROW& r : rows) {
    SB_DrawBevelBox(view_, 10, 10, 20, 12, r.style);
    EXPECT_EQ(Pixel(10, 10), SB_RgbToPixel16(r.light, r.light, r.light)) << r.style;  // top row
    EXPECT_EQ(Pixel(10, 21), SB_RgbToPixel16(r.light, r.light, r.light)) << r.style;  // left column
    EXPECT_EQ(Pixel(15, 15), SB_RgbToPixel16(r.face, r.face, r.face)) << r.style;
    EXPECT_EQ(Pixel(29, 11), SB_RgbToPixel16(r.dark, r.dark, r.dark)) << r.style;  // right column
    EXPECT_EQ(Pixel(15, 21), SB_RgbToPixel16(r.dark, r.dark, r.dark)) << r.style;  // bottom row
  }
  SB_DrawBevelBox(nullptr, 0, 0, 5, 5, 0);  // nothing to draw into
}

TEST_F(SceneEditor, LinesAreCutAtTheWindowOrDropped) {
  _WINDOW window;
  LS_InitWindowFull(view_, &window, 12);
  LS_LockWindow(&window);
  SB_ToolDrawLine(&window, -10, 5, 10, 5, 0xFFFF);
  SB_ToolDrawLine(&window, -10, 50, -2, 60, 0xFFFF);  // both ends left
  SB_ToolDrawLine(&window, 30, -5, 40, -1, 0xFFFF);   // both ends above
  LS_UnlockWindow(&window);
  EXPECT_EQ(Pixel(0, 5), 0xFFFFu);
  EXPECT_EQ(Pixel(10, 5), 0xFFFFu);
  EXPECT_EQ(Pixel(11, 5), 0u);
  for (int32_t y = 0; y < 70; ++y)
    for (int32_t x = 0; x < 50; ++x)
      if (y != 5) {
        ASSERT_EQ(Pixel(x, y), 0u) << x << "," << y;
      }
}

TEST_F(SceneEditor, ALabelWiderThanItsButtonIsNotDrawn) {
  TTOOLWINDOW* window = SB_CreateToolWindow(0, 0, 64, 40, "Wide", nullptr);
  TTOOLBUTTON* wide = SB_AddToolButton(window, 0, 0, 20, 12, "Longer");
  TTOOLBUTTON* fits = SB_AddToolButton(window, 0, 14, 58, 12, "Ok");
  SB_DrawToolButtons(view_, window->FirstButton);
  const uint32_t face = SB_RgbToPixel16(176, 176, 176);
  for (int32_t y = 1; y < 11; ++y)
    for (int32_t x = 1; x < 19; ++x) ASSERT_EQ(Pixel(x, y), face) << x << "," << y;
  int32_t ink = 0;
  for (int32_t y = 15; y < 25; ++y)
    for (int32_t x = 1; x < 57; ++x) ink += Pixel(x, y) != face;
  EXPECT_GT(ink, 0);
  EXPECT_EQ(wide->Next, fits);
  EXPECT_EQ(fits->Previous, wide);
  SB_FreeToolWindow(window);
  SB_FreeToolButton(wide);
  SB_FreeToolButton(fits);
  EXPECT_EQ(SB_Var.ToolWindows, nullptr);
}

TEST_F(SceneEditor, TheToolsWindowAndItsButtonsOnTheFirstFrame) {
  Frame(0, 600, 400);
  const TTOOLWINDOW* w = SB_Var.ToolsWindow;
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(SB_Var.ToolWindows, w);
  EXPECT_EQ(std::string(w->Title), "Tools");
  EXPECT_EQ(w->X, 10);
  EXPECT_EQ(w->Y, 10);
  EXPECT_EQ(w->Width, 64);
  EXPECT_EQ(w->Height, 256);
  EXPECT_EQ(w->Client->SizeX, 60);
  EXPECT_EQ(w->Client->SizeY, 242);
  const char* labels[] = {"Select", "Move", "RotY", "RotX", "RotZ", "Main", "Loupe", "Route"};
  int32_t i = 0;
  for (const TTOOLBUTTON* b = w->FirstButton; b; b = b->Next, ++i) {
    ASSERT_LT(i, 8);
    EXPECT_EQ(std::string(b->Label), labels[i]);
    EXPECT_EQ(b->X, 1);
    EXPECT_EQ(b->Y, 1 + 13 * i);
    EXPECT_EQ(b->Width, 58);
    EXPECT_EQ(b->Height, 12);
  }
  EXPECT_EQ(i, 8);
}

TEST_F(SceneEditor, AClickOnSelectActivatesIt) {
  Frame(0, 600, 400);
  Frame(0, 13, 23);
  Frame(kLeft, 13, 23);
  EXPECT_EQ(SB_Var.PressedButton, SB_Var.ToolButtons[SB_TOOLSELECT]);
  Frame(0, 13, 23);
  EXPECT_EQ(SB_Var.ActiveTool, SB_Var.ToolButtons[SB_TOOLSELECT]);
  EXPECT_EQ(SB_Var.ActiveTool->State, SB_BUTTONPRESSED | SB_BUTTONHOT);
  Frame(0, 70, 34);  // the far corner of the button
  EXPECT_EQ(SB_Var.HotButton, SB_Var.ToolButtons[SB_TOOLSELECT]);
}

TEST_F(SceneEditor, APressOnTheActiveToolSwitchesItOff) {
  ChooseTool(SB_TOOLMOVE);
  TTOOLBUTTON* move = SB_Var.ToolButtons[SB_TOOLMOVE];
  ASSERT_EQ(SB_Var.ActiveTool, move);
  const int32_t x = 20, y = 10 + 12 + move->Y + 3;
  Frame(kLeft, x, y);
  Frame(0, x, y);
  EXPECT_EQ(SB_Var.ActiveTool, nullptr);
  EXPECT_EQ(move->State & SB_BUTTONPRESSED, 0u);
}

TEST_F(SceneEditor, APressReleasedOutsideTheButtonLeavesNoTool) {
  ChooseTool(SB_TOOLMOVE);
  TTOOLBUTTON* main = SB_Var.ToolButtons[SB_TOOLMAIN];
  const int32_t x = 20, y = 10 + 12 + main->Y + 3;
  Frame(0, x, y);
  Frame(kLeft, x, y);
  Frame(kLeft, 300, 300);
  Frame(0, 300, 300);
  EXPECT_EQ(SB_Var.ActiveTool, nullptr);
  EXPECT_EQ(SB_Var.PressedButton, nullptr);
  EXPECT_EQ(main->State & SB_BUTTONPRESSED, 0u);
  EXPECT_EQ(SB_Var.ToolButtons[SB_TOOLMOVE]->State & SB_BUTTONPRESSED, 0u);
}

TEST_F(SceneEditor, ATitleBarDragMovesTheWindowByTheMouseTravel) {
  Frame(0, 30, 15);
  Frame(kLeft, 30, 15);
  Frame(kLeft, 20, 5);
  Frame(kLeft, -40, -30);  // no bounds
  EXPECT_EQ(SB_Var.ToolsWindow->X, 10 - 70);
  EXPECT_EQ(SB_Var.ToolsWindow->Y, 10 - 45);
  Frame(0, -40, -30);
  EXPECT_EQ(SB_Var.DraggedWindow, nullptr);
}

int32_t g_warps = 0;

// The pointer is put back only when it lay beyond the view: on a display a
// move made after the reading would else be undone every pass.
TEST_F(SceneEditor, TheMouseIsPulledBackIntoTheViewOnlyWhenBeyondIt) {
  const plat::WindowBackend counting = {nullptr, nullptr, nullptr, [](int32_t, int32_t) { ++g_warps; }, nullptr};
  plat::SetWindowBackend(&counting);
  plat::SetWindowGeometry({1280, 960, 640, 480});
  g_warps = 0;
  for (int32_t i = 0; i < 3; ++i) Frame(0, 300, 200);
  EXPECT_EQ(g_warps, 3);  // the test's own moves only
  Frame(0, 900, 700);
  EXPECT_EQ(g_warps, 5);
  EXPECT_EQ(SB_Var.EditorMouseX, 639);
  EXPECT_EQ(SB_Var.EditorMouseY, 479);
  plat::SetWindowBackend(nullptr);
  plat::SetWindowGeometry({});
}

// The clean-up leaves no reference into the freed records: the next
// race's first clicks run on new ones (the sanitizers watch).
TEST_F(SceneEditor, TheCleanUpClearsEveryReference) {
  ChooseTool(SB_TOOLSELECT);
  Frame(0, 30, 15);
  Frame(kLeft, 30, 15);  // a title drag under way, Select still the tool
  Frame(kLeft, 31, 15);
  ASSERT_NE(SB_Var.DraggedWindow, nullptr);
  ASSERT_NE(SB_Var.ActiveTool, nullptr);
  SB_FreeSceneEditor();
  EXPECT_EQ(SB_Var.ActiveTool, nullptr);
  EXPECT_EQ(SB_Var.DraggedWindow, nullptr);
  Frame(0, 14, 39);  // the next race: Move pressed, not released
  Frame(kLeft, 14, 39);
  ASSERT_NE(SB_Var.PressedButton, nullptr);
  ASSERT_NE(SB_Var.HotButton, nullptr);
  SB_FreeSceneEditor();
  EXPECT_EQ(SB_Var.ToolWindows, nullptr);
  EXPECT_EQ(SB_Var.HotButton, nullptr);
  EXPECT_EQ(SB_Var.PressedButton, nullptr);
  EXPECT_EQ(SB_Var.ActiveTool, nullptr);
  EXPECT_EQ(SB_Var.DraggedWindow, nullptr);
  EXPECT_EQ(SB_Var.MapDirty, 1);
  ChooseTool(SB_TOOLLOUPE);
  EXPECT_EQ(SB_Var.ActiveTool, SB_Var.ToolButtons[SB_TOOLLOUPE]);
  EXPECT_EQ(SB_Var.ToolsWindow->X, 10);
}

}  // namespace
