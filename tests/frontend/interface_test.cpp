// Entering and leaving the interface (INTERFACE, COMDEX, CALC_VITRE), the
// credits, and golden pictures of MAIN MENU and CHOOSE YOUR RACE.
#include <filesystem>

#include "frontend/interface.h"
#include "frontend/menuparts.h"
#include "platform/fs.h"
#include "system/palette.h"
#include "system/win/shell.h"
#include "tests/frontend/tree_fixture.h"
#include "tests/support/golden.h"

namespace ztest {
namespace {

namespace fs = std::filesystem;

class InterfaceTest : public TreeMenuTest {
 protected:
  void SetUp() override {
    TreeMenuTest::SetUp();
    LS_ReleaseHeap(SB_Var.MenuHeap);  // the words make their own
    SB_Var.MenuHeap = 0;
  }
};

TEST_F(InterfaceTest, InterfaceRunsInAHeapOfItsOwnAndRestoresTheConsole) {
  SB_Var.DevEnvPal = LS_AllocPalette();
  SB_Var.DevEnvPal->Entry[9] = {4, 5, 6};
  SB_Var.DrawConsole = 1;
  LS_SetInputMode(1);
  uint32_t heapSize = 0;
  int32_t drawConsole = -1, polls = 0;
  uint32_t inputMode = 9;
  OnPoll() = [&] {
    if (++polls == 20) {
      heapSize = LSI_GetHeapOf(SB_Var.MenuHeap)->Size;
      drawConsole = SB_Var.DrawConsole;
      inputMode = LSI_Var.InputMode;
      plat::SetKeyState('Q', true);
    }
  };
  EXPECT_EQ(SB_RunInterface(), 1);
  OnPoll() = nullptr;
  plat::ReleaseAllKeys();
  EXPECT_GE(heapSize, 6000000u);
  EXPECT_LT(heapSize, 6000000u + 4096);
  EXPECT_EQ(drawConsole, 0);
  EXPECT_EQ(inputMode, 0u);
  EXPECT_EQ(SB_Var.DrawConsole, 1);
  EXPECT_EQ(LSI_Var.InputMode, 1u);
  EXPECT_EQ(SB_Var.MenuHeap, 0u);
  EXPECT_EQ(LS_Var.Palette.Entry[9].Blue, 6);
  EXPECT_EQ(Exec().lines, (std::vector<std::string>{"CLOSENET", "QUIT"}));
  LS_FreePalette(SB_Var.DevEnvPal);
  SB_Var.DevEnvPal = nullptr;
}

// What the trade-show page sees while it runs, until Q ends it.
TEST_F(InterfaceTest, ComdexSetsTheMenusModeAroundItsHeap) {
  LSYS_SetVideoMode(800, 600, 16, 1);
  SB_Var.DrawConsole = 1;
  int32_t width = 0, height = 0, depth = 0, drawConsole = -1, screen = -1;
  uint32_t heapSize = 0;
  OnPoll() = [&] {
    if (screen >= 0 || SB_Var.DrawnMenuScreen != 12) return;
    width = LS_Var.Screen->SizeX, height = LS_Var.Screen->SizeY, depth = LS_Var.Screen->Depth;
    drawConsole = SB_Var.DrawConsole, screen = SB_Var.MenuScreen;
    heapSize = LSI_GetHeapOf(SB_Var.MenuHeap)->Size;
    plat::SetKeyState('Q', true);
  };
  EXPECT_EQ(SB_RunComdexInterface(), 1);
  OnPoll() = nullptr;
  plat::ReleaseAllKeys();
  EXPECT_EQ(std::vector<int32_t>({width, height, depth, drawConsole, screen}),
            std::vector<int32_t>({640, 480, 16, 0, 12}));
  EXPECT_GE(heapSize, 6000000u);
  EXPECT_EQ(LS_Var.Screen->SizeX, 640);
  EXPECT_EQ(SB_Var.DrawConsole, 1);
  EXPECT_EQ(SB_Var.MenuHeap, 0u);
}

class CalcVitreTest : public InterfaceTest {
 protected:
  std::string Made(const char* name) { return ReadFile(root_ + "/INTER/BMAPS/" + name); }
  static std::string Shipped(const char* name) {
    return ReadFile((fs::path(ZENTROVA_EXE).parent_path() / "data" / "INTER" / "BMAPS" / name).string());
  }
};

uint32_t g_heapWhileReading = 0;

TEST_F(CalcVitreTest, RewritesTheTwoBackgroundsAsShipped) {
  fs::remove(root_ + "/INTER/BMAPS/VITREOK.TGA");
  fs::remove(root_ + "/INTER/BMAPS/VITRETEX.TGA");
  g_heapWhileReading = 0;
  plat::SetReadObserver([](uint32_t) {
    if (SB_Var.MenuHeap) g_heapWhileReading = LSI_GetHeapOf(SB_Var.MenuHeap)->Size;
  });
  EXPECT_EQ(SB_CalcVitre(), 1);
  plat::SetReadObserver(nullptr);
  EXPECT_GE(g_heapWhileReading, 8000000u);
  EXPECT_LT(g_heapWhileReading, 8000000u + 4096);
  for (const char* name : {"VITREOK.TGA", "VITRETEX.TGA"}) {
    ASSERT_GT(Shipped(name).size(), 640u * 480u);
    EXPECT_EQ(Made(name), Shipped(name)) << name;
  }
  for (int32_t row : {1, 3, 18}) EXPECT_EQ(SB_Var.MenuBmaps[row].Picture, nullptr);
  EXPECT_EQ(SB_Var.MenuHeap, 0u);
  EXPECT_TRUE(Boxes().empty());
}

// Each composed pixel is the glass blended over the background, as the
// library blends one pixel; the band of the car chooser shows the
// background alone.
TEST_F(CalcVitreTest, TheGlassIsBlendedOverTheBackground) {
  ASSERT_EQ(SB_CalcVitre(), 1);
  BMAP* back = LS_LoadTga("INTER>BMAPS>FOND32.TGA", 0);
  BMAP* glass = LS_LoadTga("INTER>BMAPS>VITRE3.TGA", 0);
  BMAP* made = LS_LoadTga("INTER>BMAPS>VITREOK.TGA", 0);
  ASSERT_TRUE(back && glass && made);
  glass->Format = BMAP_ARGB8888;
  BMAP* one = LS_CreateBmap(1, 1, 32, 0);
  for (auto [x, y] : {std::pair{320, 20}, {5, 60}, {600, 400}, {320, 200}}) {
    LS_Bitmove(back, one, x, y, x, y, 0, 0, LS_BLIT_OPAQUE);
    LS_Bitmove(glass, one, x, y, x, y, 0, 0, LS_BLIT_ALPHA);
    EXPECT_EQ(LS_GetPixel(made, x, y) & 0xFFFFFF, LS_GetPixel(one, 0, 0) & 0xFFFFFF) << x << "," << y;
  }
  EXPECT_EQ(LS_GetPixel(made, 320, 200) & 0xFFFFFF, LS_GetPixel(back, 320, 200) & 0xFFFFFF);
  EXPECT_NE(LS_GetPixel(made, 320, 20) & 0xFFFFFF, LS_GetPixel(back, 320, 20) & 0xFFFFFF);
  for (BMAP* b : {back, glass, made, one}) LS_FreeBmap(b);
}

TEST_F(CalcVitreTest, AnUnwritableTargetIsSaidAndTheOtherWritten) {
  fs::remove(root_ + "/INTER/BMAPS/VITREOK.TGA");
  fs::remove(root_ + "/INTER/BMAPS/VITRETEX.TGA");
  fs::create_directory(root_ + "/INTER/BMAPS/VITREOK.TGA");
  SB_CalcVitre();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"VITRE NON SAUVEE"}));
  EXPECT_EQ(Made("VITRETEX.TGA"), Shipped("VITRETEX.TGA"));
}

TEST_F(CalcVitreTest, MissingSourcesComposeFromTheirStandIns) {
  for (const char* name : {"FOND32.TGA", "VITRE3.TGA", "VITREDEF.TGA"}) fs::remove(root_ + "/INTER/BMAPS/" + name);
  EXPECT_EQ(SB_CalcVitre(), 1);
  for (const char* name : {"VITREOK.TGA", "VITRETEX.TGA"}) EXPECT_EQ(Made(name).size(), 18u + 640 * 480 * 4);
}

// The credits, on the manual clock: each step takes 25 ms, and there are
// screen height + credits height + 1 of them.
class CreditsTest : public TreeMenuTest {
 protected:
  void SetUp() override {
    TreeMenuTest::SetUp();
    InitInterface();
  }
  uint32_t Roll(const std::string& text) {
    WriteFile(root_ + "/INTER/FONTES/CREDITS.TXT", text);
    const uint32_t start = LSYS_GetTime();
    SB_ShowCredits();
    return LSYS_GetTime() - start;
  }
  static uint32_t ForHeight(uint32_t lines) { return 25 * (480 + lines + 28 + 1); }
};

TEST_F(CreditsTest, LineHeightsAndBadFiles) {
  struct Row {
    const char* name;
    std::string text;
    uint32_t ms;
  };
  std::string hundredThousand;
  for (int i = 0; i < 100000; ++i) hundredThousand += "1LINE\n";
  const Row rows[] = {
      {"styles", "3BIG\n1SMALL\n\n", ForHeight(36 + 14 + 14 + 14)},  // the last empty read counts too
      {"2 and others", "2TWO\nxOTHER\n", ForHeight(14 + 14 + 14)},
      {"empty", "", ForHeight(14)},
      {"no line end", "1END", ForHeight(14)},
      {"a long line", "1" + std::string(300, 'A') + "\n", ForHeight(3 * 14)},
      {"high bytes", "1\xE9\xFF\n3\x80\x90\n", ForHeight(14 + 36 + 14)},
      {"too many lines", hundredThousand, 0},  // no bitmap that large: no credits
  };
  for (const Row& r : rows) EXPECT_EQ(Roll(r.text), r.ms) << r.name;
}

TEST_F(CreditsTest, TheyRiseOneLinePerStep) {
  int32_t top = -2;
  uint32_t start = LSYS_GetTime();
  OnPoll() = [&] {
    if (top != -2 || LSYS_GetTime() - start != 25 * 100) return;
    top = -1;
    for (int32_t y = 0; y < 480 && top < 0; ++y)
      for (int32_t x = 0; x < 640; ++x)
        if (LS_GetPixel(LS_Var.Screen, x, y)) {
          top = y;
          break;
        }
  };
  start = LSYS_GetTime();
  Roll("3ZENTROVA\n");
  OnPoll() = nullptr;
  // After 100 steps the credits' first line starts at 380; the big
  // letters' ink lies inside its 36 rows.
  EXPECT_GE(top, 380);
  EXPECT_LT(top, 380 + 36);
}

TEST_F(CreditsTest, EscapeStopsThemAndAMissingFileShowsNothing) {
  plat::SetKeyState(27, true);
  EXPECT_EQ(Roll("1A\n"), 0u);
  plat::SetKeyState(27, false);
  fs::remove(root_ + "/INTER/FONTES/CREDITS.TXT");
  LS_FillRect(LS_Var.Screen, 0, 0, 639, 479, 0x1234);
  const uint32_t start = LSYS_GetTime();
  SB_ShowCredits();
  EXPECT_EQ(LSYS_GetTime(), start);
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 320, 240), 0x1234u);
}

using GoldenMenusTest = TreeMenuTest;

TEST_F(GoldenMenusTest, MainMenuWithThePointerOnRace) {
  StartOn(2);
  const TMENUITEM& race = SB_Var.MenuScreens[2].Items[1];
  const int32_t x = (race.HitX1 + race.HitX2) / 2, y = (race.HitY1 + race.HitY2) / 2 - SB_MENUHITDROP;
  LS_SetMousePos(x, y);
  DispatchItemEvents(CurrentMenuScreen(), x, y, 0);
  ASSERT_EQ(race.State, ITEMSTATE_HILITE);
  UpdateInterfaceCursor();
  ExpectReducedGolden("tests/frontend/golden/mainmenu.tga", root_);
}

TEST_F(GoldenMenusTest, ChooseYourRace) {
  LS_SetMousePos(600, 250);
  StartOn(5);
  UpdateInterfaceCursor();
  ExpectReducedGolden("tests/frontend/golden/chooserace.tga", root_);
}

// SELECT COMMAND with the default keys and marks its screen callback
// draws, and DETAIL SETTING.
TEST_F(GoldenMenusTest, SelectCommandAndDetailSetting) {
  LS_SetMousePos(600, 20);
  StartOn(4);
  SB_Var.MenuScreenReady = 0;
  CurrentMenuScreen()->Callback();
  ShowMenuBitmap(SB_Var.MenuBmap);
  UpdateInterfaceCursor();
  ExpectReducedGolden("tests/frontend/golden/selectcommand.tga", root_);
  Show(13);
  UpdateInterfaceCursor();
  ExpectReducedGolden("tests/frontend/golden/detailsetting.tga", root_);
}

}  // namespace
}  // namespace ztest
