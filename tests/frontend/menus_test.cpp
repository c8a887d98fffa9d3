// The menus on the generated tree: every used screen prepared with its
// pictures, the screen graph the buttons walk, the races started from the
// menus with the interface torn down and rebuilt, the car choice and the
// quit question.
#include <algorithm>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/display.h"
#include "shell/settings.h"
#include "system/util.h"
#include "tests/frontend/tree_fixture.h"

namespace ztest {
namespace {

using Lines = std::vector<std::string>;

constexpr int32_t kUsedScreens[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 12, 13, 14};

bool Overlap(const TMENUITEM& a, const TMENUITEM& b) {
  return a.HitX1 < b.HitX2 && b.HitX1 < a.HitX2 && a.HitY1 < b.HitY2 && b.HitY1 < a.HitY2;
}

bool HasRectangle(const TMENUITEM& item) { return item.HitX2 > item.HitX1 && item.HitY2 > item.HitY1; }

uint32_t AlphaAt(BMAP* b, int32_t x, int32_t y) {
  LS_LockBmap(b);
  const uint32_t a = b->Start[static_cast<intptr_t>(y) * b->ByteLen + x * 4 + 3];
  LS_UnlockBmap(b);
  return a;
}

using MenusTest = TreeMenuTest;

TEST_F(MenusTest, EveryUsedScreenPreparesFromTheTree) {
  InitInterface();
  SB_Var.MenuNormalFactor = SB_MENUNORMALFACTOR;
  HEAP* heap = LSI_GetHeapOf(SB_Var.MenuHeap);
  for (int32_t s : kUsedScreens) {
    SCOPED_TRACE(s);
    Show(s);
    ASSERT_EQ(SB_Var.DrawnMenuScreen, s);
    ASSERT_NE(SB_Var.MenuBackground, nullptr);
    EXPECT_EQ(SB_Var.MenuBackground->SizeX, 640);
    const TMENUSCREEN& screen = SB_Var.MenuScreens[s];
    for (int32_t i = 0; i < screen.NbItems; ++i) {
      const TMENUITEM& item = screen.Items[i];
      if (item.Kind != ITEMKIND_BITMAP && item.Kind != ITEMKIND_BUTTON) continue;
      SCOPED_TRACE(i);
      BMAP* picture = SB_Var.MenuBmaps[item.Index].Picture;
      ASSERT_NE(picture, nullptr);
      EXPECT_FALSE(picture->SizeX == SB_MENUPLACEHOLDER && picture->SizeY == SB_MENUPLACEHOLDER);
      EXPECT_LE(item.X + picture->SizeX, 640);
      EXPECT_LE(item.Y + picture->SizeY, 480);
      // A live button is hit on its visible pixels, so its centre shows; a
      // frame (drawn disabled) is a rim around a clear inside, which leaves
      // the items it surrounds as they are.
      if (item.Kind == ITEMKIND_BUTTON) {
        ASSERT_EQ(picture->Depth, 32);
        const uint32_t centre = AlphaAt(picture, picture->SizeX / 2, picture->SizeY / 2);
        if (item.RestState == ITEMSTATE_DISABLED) {
          EXPECT_EQ(centre, 0u);
          EXPECT_GT(AlphaAt(picture, 2, picture->SizeY / 2), 0u);
        } else {
          EXPECT_GT(centre, 0u);
        }
      }
    }
    for (int32_t i = 0; i < screen.NbItems; ++i)
      for (int32_t j = i + 1; j < screen.NbItems; ++j) {
        const TMENUITEM &a = screen.Items[i], &b = screen.Items[j];
        if (a.Live && b.Live && HasRectangle(a) && HasRectangle(b)) {
          EXPECT_FALSE(Overlap(a, b)) << i << " " << j;
        }
      }
    EXPECT_GT(LSI_GetHeapFreeMem(heap), 0u);
  }
  EXPECT_EQ(SB_Var.MenuBmaps[SB_MENUBACKROW].Picture->Depth, 32);
  EXPECT_EQ(LS_GetLastError(), 0);
}

TEST_F(MenusTest, TheSplashesPassToTheMainMenuWithoutInput) {
  StartOn(0);
  CurrentMenuScreen()->Callback();
  EXPECT_EQ(SB_Var.MenuScreen, 1);
  CurrentMenuScreen()->Callback();
  EXPECT_EQ(SB_Var.DrawnMenuScreen, 2);
  CurrentMenuScreen()->Callback();  // the main menu's sound loop: it stays
  EXPECT_EQ(SB_Var.MenuScreen, 2);
  EXPECT_EQ(SB_Var.MenuHotKeys, 1);
}

TEST_F(MenusTest, TheScreenGraph) {
  struct Row {
    int32_t screen, item, after;
    Lines lines;
  };
  const Row rows[] = {
      {2, 1, 5, {}},  {5, 2, 2, {}},  {2, 3, 4, {}},   {4, 39, 2, {}}, {4, 40, 13, {}},
      {13, 9, 4, {}}, {5, 3, 7, {}},  {7, 3, 5, {}},   {7, 4, 8, {}},  {8, 14, 7, {}},
      {14, 1, 10, {}}, {10, 4, 14, {}}, {14, 2, 9, {}}, {14, 4, 8, {"CLOSENET"}}, {9, 21, 14, {"CLOSENET"}},
  };
  StartOn(2);
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.screen) + "." + std::to_string(r.item));
    Show(r.screen);
    Exec().lines.clear();
    SB_Var.MenuScreenReady = 1;
    Click(r.item);
    EXPECT_EQ(SB_Var.MenuScreen, r.after);
    EXPECT_EQ(SB_Var.DrawnMenuScreen, r.after);
    EXPECT_EQ(Exec().lines, r.lines);
  }
}

TEST_F(MenusTest, RaceChoiceRebuildsTheControlMap) {
  StartOn(2);
  SB_Var.ControlMode = 1;
  for (int32_t& key : SB_Var.ControlMap) key = 0;
  Click(1);
  EXPECT_EQ(SB_Var.MenuScreen, 5);
  EXPECT_NE(SB_Var.ControlMap[0], 0);
}

TEST_F(MenusTest, AFailedCloseOfTheNetworkIsAnError) {
  StartOn(14);
  LS_SetErrorMode(LS_ERRMODE_LOG);
  Exec().answer = [](const std::string&) { return 0; };
  Click(4);
  EXPECT_EQ(SB_Var.MenuScreen, 8);
  EXPECT_EQ(Logged("Closenet Error in RetourReseauGames"), 1);
}

int32_t StoredPlayers() {
  int32_t value = -1;
  uint32_t size = sizeof value;
  LS_RegOpen(SB_SETTINGSKEY);
  LS_RegGetValue("NbPlayers", &value, &size);
  LS_RegClose();
  return value;
}

// Each race: the button, the lines sent, the screen returned to, whether
// a setting changed while the race script runs is saved around the race,
// and whether the race runs its race clock (the switch of TIME OFF from
// before the script, whatever the script says, and given back after the
// race), with the switch set as the console's start-up sets it.
TEST_F(MenusTest, RacesLeaveTheInterfaceAndComeBack) {
  struct Row {
    int32_t screen, item;
    const char* run;
    int32_t back;
    bool savedAroundTheRace, picturesFreedFirst, raceClock;
  };
  const Row rows[] = {{5, 1, "RUN PMONTRE", 5, true, false, true},
                      {5, 4, "RUN GAME", 5, true, true, true},
                      {2, 4, "RUN DEMO", 2, false, false, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.run);
    StartOn(r.screen);
    SB_Var.MenuNbPlayers = 3;
    SB_SaveSettings();
    uintptr_t heapAtPlay = 1;
    bool bitmapAtPlay = true, picturesAtRun = false;
    int32_t switchAtRun = -1, switchAtPlay = -1;
    const int32_t row = SB_Var.MenuScreens[r.screen].Items[r.item].Index;
    Exec().lines.clear();
    SB_Var.NoTimeLimit = 1;
    Exec().answer = [&](const std::string& line) {
      if (line == r.run) {
        SB_Var.MenuNbPlayers = 5;
        switchAtRun = SB_Var.NoTimeLimit;
        picturesAtRun = SB_Var.MenuBmaps[row].Picture != nullptr;
      }
      if (line == "PLAY") {
        switchAtPlay = SB_Var.NoTimeLimit;
        heapAtPlay = SB_Var.MenuHeap;
        bitmapAtPlay = SB_Var.MenuBmap != nullptr;
      }
      return 1;
    };
    Click(r.item);
    EXPECT_EQ(Exec().lines[0], r.run);
    EXPECT_EQ(Exec().lines.back(), "(please wait)");
    EXPECT_EQ(std::count(Exec().lines.begin(), Exec().lines.end(), "PLAY"), 1);
    EXPECT_EQ(heapAtPlay, 0u);
    EXPECT_FALSE(bitmapAtPlay);
    ASSERT_NE(SB_Var.MenuHeap, 0u);
    EXPECT_GE(LSI_GetHeapOf(SB_Var.MenuHeap)->Size, 6000000u);
    EXPECT_LT(LSI_GetHeapOf(SB_Var.MenuHeap)->Size, 6000000u + 4096);
    EXPECT_EQ(SB_Var.DrawnMenuScreen, r.back);
    EXPECT_EQ(StoredPlayers(), r.savedAroundTheRace ? 5 : 3);
    EXPECT_EQ(picturesAtRun, !r.picturesFreedFirst);
    EXPECT_EQ(switchAtRun, r.raceClock ? 0 : 1);
    EXPECT_EQ(switchAtPlay, r.raceClock ? 0 : 1);
    EXPECT_EQ(SB_Var.NoTimeLimit, 1);
    FreeInterface(0);
    LS_ReleaseHeap(SB_Var.MenuHeap);
    SB_Var.MenuHeap = LS_GetHeap(6000000);
  }
}

TEST_F(MenusTest, AFailingPlayIsANetworkErrorAndTheInterfaceComesBack) {
  StartOn(5);
  Exec().answer = [](const std::string& line) { return line == "PLAY" ? 0 : 1; };
  Click(1);
  EXPECT_EQ(Exec().lines, (Lines{"RUN PMONTRE", "VIDEOMODE 18", "AUTOMATIC 1", "DETAIL HIGH", "SHADOW HIGH", "PLAY",
                                 "Erreur Reseau DEVENVEEXEC PLAY", "(please wait)"}));
  EXPECT_EQ(SB_Var.DrawnMenuScreen, 5);
  EXPECT_NE(SB_Var.MenuBmap, nullptr);
}

TEST_F(MenusTest, OutOfVideoMemoryIsShownForItsTimeAndCleared) {
  for (bool outOfMemory : {false, true}) {
    StartOn(5);
    uint32_t afterPlay = 0;
    Exec().answer = [&](const std::string& line) {
      if (line == "PLAY") {
        SB_Var.OutOfVideoRam = outOfMemory;
        afterPlay = LSYS_GetTime();
      }
      return 1;
    };
    Click(1);
    const uint32_t rebuilt = LSYS_GetTime() - afterPlay;
    EXPECT_EQ(SB_Var.OutOfVideoRam, 0);
    // The screen's transition takes its time either way; the message adds 2500 ms.
    if (outOfMemory) {
      EXPECT_GE(rebuilt, 2500u + 1500u);
    } else {
      EXPECT_LT(rebuilt, 2500u);
    }
    FreeInterface(0);
    LS_ReleaseHeap(SB_Var.MenuHeap);
    SB_Var.MenuHeap = LS_GetHeap(6000000);
  }
}

// The cars of CHOOSE CAR take a while to make: when their making starts,
// the window has been shown the screen as it stands, "PLEASE WAIT" on it.
std::vector<uint32_t>& Presented() {
  static std::vector<uint32_t> pixels;
  return pixels;
}

std::vector<uint32_t> FrontPixels() {
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  plat::ReadFront(plat::Rect{0, 0, 640, 480}, pixels, &w, &h);
  return pixels;
}

TEST_F(MenusTest, PleaseWaitIsInTheWindowBeforeTheCarsAreMade) {
  StartOn(2);
  Presented().clear();
  plat::SetPresenter([] {}, [] { Presented() = FrontPixels(); });
  static bool shownFirst = false;
  static std::vector<uint32_t> atCall;
  shownFirst = false;
  atCall.clear();
  SB_Hooks.RunCarEditor = [](int32_t) {
    atCall = Presented();
    shownFirst = !atCall.empty() && atCall == FrontPixels();
  };
  Click(2);
  plat::SetPresenter(nullptr, nullptr);
  EXPECT_TRUE(shownFirst);
  // What was shown is MAIN MENU with the message's box over its middle.
  BMAP* work = LS_CreateBmap(640, 480, 24, 0);
  LS_Bitmove(SB_Var.MenuBmap, work, 0, 0, 639, 479, 0, 0, LS_BLIT_OPAQUE);
  // The pixels that differ: the box, centred.
  int32_t x1 = 640, y1 = 480, x2 = -1, y2 = -1, changed = 0;
  ASSERT_EQ(atCall.size(), 640u * 480u);
  for (int32_t y = 0; y < 480; ++y)
    for (int32_t x = 0; x < 640; ++x) {
      const uint32_t a = atCall[static_cast<size_t>(y) * 640 + x];
      const uint8_t* b = work->Start + static_cast<intptr_t>(y) * work->ByteLen + x * 3;
      // Within the rounding of 16-bit colours read two ways.
      if (std::abs(int(a >> 16 & 255) - b[2]) <= 8 && std::abs(int(a >> 8 & 255) - b[1]) <= 8 &&
          std::abs(int(a & 255) - b[0]) <= 8)
        continue;
      ++changed;
      x1 = std::min(x1, x), y1 = std::min(y1, y), x2 = std::max(x2, x), y2 = std::max(y2, y);
    }
  LS_FreeBmap(work);
  EXPECT_GT(changed, 2000);
  EXPECT_NEAR(x1 + x2, 639, 4) << x1 << ".." << x2;
  EXPECT_NEAR(y1 + y2, 479, 4) << y1 << ".." << y2;
  EXPECT_LT(y2 - y1, 80);
}

// The car choice runs on CHOOSE CAR until its back button or the car area
// is clicked, then MAIN MENU is back.
TEST_F(MenusTest, TheCarChoice) {
  for (int32_t leaving : {3, 4}) {
    SCOPED_TRACE(leaving);
    StartOn(2);
    int polls = 0;
    int32_t screenSeen = -1;
    uint32_t last = 0;
    int still = 0;
    // Once the clock stands still, the transition is over and the choice's
    // loop, which never sleeps, is running.
    OnPoll() = [&] {
      if (SB_Var.DrawnMenuScreen != 3) return;
      const uint32_t now = LSYS_GetTime();
      still = now == last ? still + 1 : 0;
      last = now;
      if (still < 3) return;
      ++polls;
      if (polls == 2) SB_Var.CarChoiceNext = 1;  // a step, read and cleared by the chooser
      if (polls != 8) return;
      screenSeen = SB_Var.MenuScreen;
      Click(leaving);
    };
    Click(2);
    OnPoll() = nullptr;
    EXPECT_EQ(screenSeen, 3);
    EXPECT_EQ(SB_Var.CarChoiceEnd, 0) << "read and cleared by the chooser";
    EXPECT_EQ(SB_Var.CarChoiceCancel, 0) << "every way out keeps the car";
    EXPECT_EQ(SB_Var.CarChoiceNext, 0);
    EXPECT_EQ(SB_Var.DrawnMenuScreen, 2);
    FreeInterface(0);
  }
}

TEST_F(MenusTest, QuitAsksAndNGoesBack) {
  StartOn(2);
  int polls = 0;
  OnPoll() = [&] { plat::SetKeyState('N', ++polls > 3); };
  Click(5);
  OnPoll() = nullptr;
  plat::SetKeyState('N', false);
  EXPECT_EQ(SB_Var.MenuQuit, 0);
  EXPECT_EQ(SB_Var.MenuScreen, 2);
  polls = 0;
  OnPoll() = [&] { plat::SetKeyState('Y', ++polls > 3); };
  Click(5);
  OnPoll() = nullptr;
  plat::SetKeyState('Y', false);
  EXPECT_EQ(SB_Var.MenuQuit, 1);
}

// Headless, once no input can arrive any more, the question ends as Y.
TEST_F(MenusTest, QuitWithoutAnyMoreInputIsYes) {
  StartOn(2);
  plat::SetMessageSource(nullptr);
  Click(5);
  EXPECT_EQ(SB_Var.MenuQuit, 1);
}

// A picture deleted from the tree and one cut short: each button gets a
// clear stand-in that is never hit; the rest of the screen works.
TEST_F(MenusTest, AMissingOrTruncatedButtonIsNeverHit) {
  std::filesystem::remove(root_ + "/INTER/BMAPS/DEFIM1.TGA");
  const std::string cut = ReadFile(root_ + "/INTER/BMAPS/DEFIM2.TGA");
  WriteFile(root_ + "/INTER/BMAPS/DEFIM2.TGA", cut.substr(0, cut.size() / 2));
  StartOn(2);
  for (int32_t item : {1, 3}) {
    const TMENUITEM& it = SB_Var.MenuScreens[2].Items[item];
    EXPECT_EQ(SB_Var.MenuBmaps[it.Index].Picture->SizeX, SB_MENUPLACEHOLDER);
    const int32_t x = it.X + 16, y = it.Y + 16 - SB_MENUHITDROP;
    DispatchItemEvents(CurrentMenuScreen(), x, y, 1);
    DispatchItemEvents(CurrentMenuScreen(), x, y, 0);
    EXPECT_EQ(SB_Var.MenuHotItem, -1);
    EXPECT_EQ(SB_Var.MenuScreen, 2);
  }
  OnPoll() = [] { plat::SetKeyState('Y', true); };
  Click(5);
  OnPoll() = nullptr;
  plat::SetKeyState('Y', false);
  EXPECT_EQ(SB_Var.MenuQuit, 1);
}

}  // namespace
}  // namespace ztest
