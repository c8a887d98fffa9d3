// The interface loop: its keys, the hooks it calls, and what it leaves.
#include <string>

#include "shell/hooks.h"
#include "tests/frontend/menu_fixture.h"

namespace ztest {
namespace {

std::vector<std::string>& Commands() {
  static std::vector<std::string> c;
  return c;
}
int g_shots = 0;

int32_t RecordCommand(const char* format, ...) {
  Commands().push_back(format);
  return 1;
}

class LoopTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    Commands().clear();
    g_shots = 0;
    saved_ = SB_Hooks;
    SB_Hooks.ExecCommand = RecordCommand;
    SB_Hooks.ScreenShot = [](BMAP* screen) { g_shots += screen == LS_Var.Screen; };
    Background(0x101010);
    for (int32_t s : {0, 2}) Screen(s, 4, {Item(ITEMKIND_TEXT, 0, 10, 10, 10, 10, 50, 50)});
  }
  void TearDown() override {
    SB_Hooks = saved_;
    MenuTest::TearDown();
  }
  SB_HOOKS saved_;
};

TEST_F(LoopTest, QEndsAndEscapeGoesToTheMainMenu) {
  int polls = 0, screenAtQ = -9;
  OnPoll() = [&] {
    ++polls;
    plat::SetKeyState(27, polls >= 20 && polls < 30);  // Escape, then released
    if (polls == 200) {
      screenAtQ = SB_Var.MenuScreen;
      plat::SetKeyState(27, true);  // on the main menu Escape does nothing
      plat::SetKeyState('Q', true);
    }
  };
  const uint32_t used = LSI_GetHeapFreeMem(LSI_GetHeapOf(SB_Var.MenuHeap));
  RunInterfaceLoop();
  EXPECT_EQ(screenAtQ, 2);
  EXPECT_EQ(Commands(), (std::vector<std::string>{"CLOSENET", "QUIT"}));
  EXPECT_GT(g_shots, 2);
  EXPECT_EQ(SB_Var.MenuScreen, -1);
  EXPECT_EQ(SB_Var.DrawnMenuScreen, -1);
  EXPECT_EQ(LSI_GetHeapFreeMem(LSI_GetHeapOf(SB_Var.MenuHeap)), used);  // nothing left in the interface heap
  for (const TMENUSCREEN& screen : SB_Var.MenuScreens)
    for (const TMENUITEM& item : screen.Items) ASSERT_LT(item.Value, 256);
  EXPECT_EQ(SB_Var.MenuBmap, nullptr);
}

// A touchpad's taps: each press and its release come in one poll, at
// polls that fall on every part of a pass (the cursor's drawing reads the
// pointer between two dispatches); every one reaches the item as a click.
TEST_F(LoopTest, TapsInOnePollClickTheItemUnderThePointer) {
  Picture("INTER/BMAPS/CURSOR.TGA", 8, 8, [](int, int) { return 0xFFFFFFFFu; });
  SB_Var.MenuScreens[0].CursorShown = 1;
  constexpr int kTaps = 12, kFirst = 40, kEvery = 41;  // some three passes apart
  int polls = 0;
  OnPoll() = [&] {
    ++polls;
    if (polls >= kFirst && polls < kFirst + kTaps * kEvery && (polls - kFirst) % kEvery == 0) {
      plat::SetCursorPos(30, 20);  // the hot spot 10 pixels lower: on the item
      plat::SetKeyState(1, true);
      plat::SetKeyState(1, false);
    }
    plat::SetKeyState('Q', polls >= kFirst + kTaps * kEvery + 20);
  };
  RunInterfaceLoop();
  int downs = 0, ups = 0;
  for (const auto& [item, events] : Received()) {
    downs += item == 0 && (events & MENU_DOWN);
    ups += item == 0 && (events & MENU_UP);
  }
  EXPECT_EQ(std::pair(downs, ups), std::pair(kTaps, kTaps));
}

TEST_F(LoopTest, MissingPicturesAndALostSurface) {
  SB_Var.MenuBmaps[1].FileName = "INTER>BMAPS>NONE.TGA";
  WriteFile(root_ + "/INTER/BMAPS/CUT.TGA", std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x20\0", 14));
  SB_Var.MenuBmaps[2].FileName = "INTER>BMAPS>CUT.TGA";
  Screen(0, 4, {Item(ITEMKIND_BUTTON, 1, 100, 100), Item(ITEMKIND_BUTTON, 2, 200, 100)});
  Start();
  EXPECT_EQ(SB_Var.MenuBmaps[1].Picture->SizeX, 32);
  EXPECT_EQ(SB_Var.MenuBmaps[2].Picture->Depth, 32);
  SB_Var.MenuHotItem = -1;
  DispatchItemEvents(&SB_Var.MenuScreens[0], 110, 100, 0);
  EXPECT_EQ(SB_Var.MenuHotItem, -1);  // a stand-in is never hit
  // The screen rebuilt after its surface was lost equals the one before.
  std::vector<uint32_t> before;
  for (int y = 0; y < 480; y += 3)
    for (int x = 0; x < 640; x += 3) before.push_back(Pixel(SB_Var.MenuBmap, x, y));
  SB_Var.MenuScreenReady = 1;
  RestoreInterfaceCursor(SB_Var.MenuBmap);
  EXPECT_EQ(SB_Var.MenuScreenReady, 0);
  std::vector<uint32_t> after;
  for (int y = 0; y < 480; y += 3)
    for (int x = 0; x < 640; x += 3) after.push_back(Pixel(SB_Var.MenuBmap, x, y));
  EXPECT_EQ(after, before);
  FreeInterface(0);
}

TEST_F(LoopTest, JapaneseTitles) {
  SB_Var.Japan = 1;
  Picture("JPN/MAINMENU.TGA", 30, 10, [](int, int) { return 0xFFFF0000u; });
  Picture("JPN/CHOORACE.TGA", 30, 10, [](int, int) { return 0xFF0000u; }, 24);
  InitInterfaceFast();
  LoadJapaneseTitles();
  EXPECT_NE(SB_Var.JapanTitles[1], nullptr);
  EXPECT_EQ(SB_Var.JapanTitles[2], nullptr);
  EXPECT_EQ(Boxes().back(), "Japan name JPN>CHOORACE.TGA not in 32bit depth");
  TMENUITEM title = Item(ITEMKIND_TITLE, 0, 5, 5);
  DrawItem(SB_Var.MenuBmap, &title);
  EXPECT_EQ(Pixel(SB_Var.MenuBmap, 6, 6) >> 11, 31u);  // the red title, not the text
  FreeInterface(0);
  EXPECT_EQ(SB_Var.JapanTitles[1], nullptr);
}

}  // namespace
}  // namespace ztest
