// The trade-show control page on the generated data tree: its loop on
// screen 12, the controller's texts refreshed each pass, the three
// controller words, the exit question, Q and Escape.
#include "frontend/menus.h"
#include "net/ctrl.h"
#include "shell/owner.h"
#include "system/font.h"
#include "tests/frontend/tree_fixture.h"
#include "tests/support/pixels.h"

namespace ztest {
namespace {

class ComdexTest : public TreeMenuTest {
 protected:
  // The page shows the controller's state, which tests set: each test
  // starts from the controller's state as found and leaves it so.
  void SetUp() override {
    TreeMenuTest::SetUp();
    controller_ = CTRL_State();
  }
  void TearDown() override {
    CTRL_State() = controller_;
    TreeMenuTest::TearDown();
  }
  // The page set up as testinterface sets it up, without its loop.
  void Open() {
    InitComdexInterface();
    SB_Var.MenuNormalFactor = 0.5;
    SB_Var.MenuScreen = 12;
    RedrawPage(SB_Var.MenuBmap);
  }
  void Close() {
    FreeComdexInterface();
    SB_Var.MenuScreen = SB_Var.DrawnMenuScreen = -1;
  }
  // The item's hit rectangle of the bitmap.
  static std::vector<uint32_t> Field(BMAP* bmap, int32_t item) {
    const TMENUITEM& it = SB_Var.MenuScreens[12].Items[item];
    std::vector<uint32_t> all = PixelsOf(bmap), out;
    for (int32_t y = it.HitY1; y < it.HitY2; ++y)
      for (int32_t x = it.HitX1; x < it.HitX2; ++x) out.push_back(all[static_cast<size_t>(y * bmap->SizeX + x)]);
    return out;
  }
  TCTRL controller_{};
};

// The loop runs on screen 12 at the page's dim normal look, and what the
// page took from the interface heap is all given back.
TEST_F(ComdexTest, ThePageRunsOnScreen12AndGivesItsHeapBack) {
  const uint32_t freeBefore = LSI_GetHeapFreeMem(LSI_GetHeapOf(SB_Var.MenuHeap));
  int32_t screen = -1, polls = 0;
  double factor = 0;
  OnPoll() = [&] {
    if (++polls != 5) return;
    screen = SB_Var.MenuScreen, factor = SB_Var.MenuNormalFactor;
    plat::SetKeyState('Q', true);
  };
  testinterface();
  EXPECT_EQ(screen, 12);
  EXPECT_DOUBLE_EQ(factor, 0.5);
  EXPECT_EQ(LSI_GetHeapFreeMem(LSI_GetHeapOf(SB_Var.MenuHeap)), freeBefore);
  EXPECT_EQ(SB_Var.MenuBmap, nullptr);
  EXPECT_EQ(SB_Var.MenuFontBig, nullptr);
}

// Each pass writes the controller's three texts over the background, each
// in its font: the state in the small one, the race's best time and the
// record ("NONE" without one) in the big one.
TEST_F(ComdexTest, EachPassShowsTheControllersTexts) {
  Open();
  CTRL_State().GameState = 4;
  ComdexScreen();
  struct Row {
    int32_t item;
    FONT* font;
    const char* text;
  };
  BMAP* expected = SB_CreateBmap(640, 480, 16, BMAP_VIDEOMEM, "expected");
  LS_Bitmove(SB_Var.MenuBackground, expected, 0, 0, 639, 479, 0, 0, LS_BLIT_OPAQUE);
  for (const Row& r : {Row{9, SB_Var.MenuFontSmall, "RACE IN PROGRESS         "},
                       Row{8, SB_Var.MenuFontBig, "0:00:00 "}, Row{7, SB_Var.MenuFontBig, "NONE"}}) {
    const TMENUITEM& it = SB_Var.MenuScreens[12].Items[r.item];
    LS_DrawString(r.font, expected, r.text, it.HitX1, it.HitY1, LS_BLIT_ALPHA);
    EXPECT_EQ(Field(SB_Var.MenuBmap, r.item), Field(expected, r.item)) << r.item;
    EXPECT_NE(Field(SB_Var.MenuBmap, r.item), Field(SB_Var.MenuBackground, r.item)) << r.item;
  }
  SB_FreeBmap(expected);
  Close();
}

TEST_F(ComdexTest, TheButtonsSendTheControllerWords) {
  Open();
  for (int32_t item : {1, 2, 3}) Click(item);
  EXPECT_EQ(Exec().lines, (std::vector<std::string>{"@LAUNCHRACE", "@ENDOFRACE", "@STARTPRACTICE"}));
  Close();
}

// QUIT asks: N goes back to the page, Y ends it.
TEST_F(ComdexTest, QuitAsksAndOnlyYesEndsThePage) {
  Open();
  for (const auto& [key, quits] : {std::pair{'N', 0}, std::pair{'Y', 1}}) {
    SB_Var.MenuQuit = 0;
    OnPoll() = [key = key] { plat::SetKeyState(key, true); };
    Click(4);
    OnPoll() = nullptr;
    plat::ReleaseAllKeys();
    EXPECT_EQ(SB_Var.MenuQuit, quits) << key;
    EXPECT_EQ(SB_Var.MenuScreen, 12);
  }
  Close();
}

// Escape held for many passes leaves the page as it is; Q ends it within
// the pass that sees it (a pass pumps the messages a few times).
TEST_F(ComdexTest, EscapeDoesNothingAndQEndsThePage) {
  int32_t polls = 0, quitAt = 0, passes = 0;
  bool stayed = true;
  OnPoll() = [&] {
    if (SB_Var.DrawnMenuScreen != 12 || quitAt) {
      polls += quitAt ? 1 : 0;
      return;
    }
    plat::SetKeyState(27, true);
    stayed = stayed && SB_Var.MenuScreen == 12;
    if (++passes == 60) {
      plat::SetKeyState('Q', true);
      quitAt = 1;
    }
  };
  testinterface();
  EXPECT_TRUE(stayed);
  EXPECT_EQ(passes, 60);
  EXPECT_LE(polls, 8);
}

// The page as its loop shows it: the three controller buttons at their
// resting look, readable, the two best-time captions at full brightness,
// the controller's texts without a network.
TEST_F(ComdexTest, GoldenPage) {
  LS_SetMousePos(600, 20);
  BMAP* shown = LS_CreateBmap(640, 480, 24, 0);
  int32_t polls = 0;
  OnPoll() = [&] {
    if (++polls != 40) return;
    LS_Bitmove(LS_Var.Screen, shown, 0, 0, 639, 479, 0, 0, LS_BLIT_OPAQUE);
    plat::SetKeyState('Q', true);
  };
  testinterface();
  LS_Bitmove(shown, LS_Var.Screen, 0, 0, 639, 479, 0, 0, LS_BLIT_OPAQUE);
  LS_FreeBmap(shown);
  ExpectReducedGolden("tests/frontend/golden/comdex.tga", root_);
}

}  // namespace
}  // namespace ztest
