// The race loop: the debug-mode switch of F1-F5, the frame of each mode,
// the race keys, the display toggles, the video reload and the end after a
// lost session.
#include "race/raceloop.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/clock.h"
#include "platform/window.h"
#include "race/hud.h"
#include "race/sequencer.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/win/shell.h"
#include "tests/race/race_fixture.h"

namespace {

using Trace = ztest::Lines;
constexpr int32_t kF1 = 112, kF2 = 113, kF3 = 114, kF4 = 115, kF5 = 116, kEsc = 27, kV = 86;

// The keys held now are released one after the other, in their order,
// each after the pump has run three more times.
constexpr uint64_t kPumpsHeld = 3;
std::vector<int32_t> g_held;
uint64_t g_releaseAt = 0;
void ReleaseLater() {
  if (g_held.empty() || plat::PumpCount() < g_releaseAt) return;
  plat::SetKeyState(g_held.front(), false);
  g_held.erase(g_held.begin());
  g_releaseAt += kPumpsHeld;
}

class RaceLoopTest : public ztest::SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    plat::SetMessageSource(ReleaseLater);
    LS_SetInputMode(1);  // as in a race: key tests do not pump
  }
  void TearDown() override {
    plat::SetMessageSource(nullptr);
    SessionTest::TearDown();
  }
  static void Hold(std::vector<int32_t> keys) {
    for (int32_t key : keys) plat::SetKeyState(key, true);
    g_held = std::move(keys);
    g_releaseAt = plat::PumpCount() + kPumpsHeld;
  }
  static void Release(int32_t key) { plat::SetKeyState(key, false); }
  // Holds the key and checks the race keys.
  static void Press(int32_t key) {
    plat::SetKeyState(key, true);
    SB_CheckRaceKeys();
  }
  // The trace's entries among these names.
  static Trace Only(const std::set<std::string>& names) {
    Trace out;
    for (const std::string& t : ztest::Traced())
      if (names.count(t)) out.push_back(t);
    return out;
  }
};

TEST_F(RaceLoopTest, FunctionKeysEnterTheEditorsInTheirOrder) {
  struct Case {
    std::vector<int32_t> keys;
    int32_t editorMode, decorObjects, mode;
  };
  const Case cases[] = {
      {{kF2, kF1}, 1, 0, SB_DEBUG_VPARAMS},  // F2 first, then F1: the last one wins
      {{kF2}, 1, 0, SB_DEBUG_TRACKEDITOR},   {{kF3}, 1, 0, SB_DEBUG_TXTANIM},
      {{kF4}, 1, 0, SB_DEBUG_GAME},          {{kF4}, 1, 1, SB_DEBUG_DECOREDITOR},
      {{kF5}, 1, 0, SB_DEBUG_SCENEEDITOR},   {{kF2}, 0, 0, SB_DEBUG_GAME},
  };
  for (const Case& c : cases) {
    ztest::Session().trace.clear();
    SB_Var.DebugMode = SB_DEBUG_GAME;
    SB_Var.EditorMode = c.editorMode;
    SB_Var.DecorObjectsOn = c.decorObjects;
    Hold(c.keys);
    plat::AdvanceManualTime(50);
    SB_SwitchDebugMode();
    EXPECT_EQ(SB_Var.DebugMode, c.mode) << c.keys[0];
    const bool entered = c.mode != SB_DEBUG_GAME;
    EXPECT_EQ(SB_Var.Time == plat::TickMs(), entered) << c.keys[0];  // the clock is reset
    EXPECT_EQ(ztest::TracedWith("SB_EnterEdit").size(), c.keys[0] == kF2 && c.editorMode ? 1u : 0u);
    for (int32_t key : c.keys) Release(key);
  }
}

TEST_F(RaceLoopTest, AnyFunctionKeyLeavesADebugModeOnItsRelease) {
  BMAP* const raceScreen = LS_Var.Screen;
  BMAP* screen = LS_CreateBmap(64, 48, 8, LS_DefaultHeap);
  LS_Var.Screen = screen;
  for (int32_t key = kF1; key <= kF5; ++key) {
    SB_Var.DebugMode = SB_DEBUG_TXTANIM;
    LS_FillRect(screen, 0, 0, 63, 47, 7);  // an editor's picture
    LSI_PutKey('a');
    Hold({key});
    plat::AdvanceManualTime(50);
    SB_SwitchDebugMode();
    EXPECT_EQ(SB_Var.DebugMode, SB_DEBUG_GAME);
    EXPECT_FALSE(plat::KeyState(key));  // waited for the release
    EXPECT_EQ(LSI_Var.NbKeys, 0);
    EXPECT_EQ(SB_Var.Time, plat::TickMs());
    EXPECT_EQ(LS_GetPixel(screen, 0, 0), 0u);  // the screen's bands come back clear
  }
  LS_Var.Screen = raceScreen;
  LS_FreeBmap(screen);
  SB_Var.DebugMode = SB_DEBUG_TXTANIM;
  SB_SwitchDebugMode();  // no key: the mode stays
  EXPECT_EQ(SB_Var.DebugMode, SB_DEBUG_TXTANIM);
}

TEST_F(RaceLoopTest, EachDebugModeRunsItsFrame) {
  MakeRaceScreen();
  const std::set<std::string> names = {
      "SB_SetLightTint 1",    "SB_SetLightTint 0.5", "SB_UpdateOptionsFade", "SB_SnapshotControls",
      "SB_Show3dScreen",      "SB_UpdateEdit",       "SB_VParamsEditorFrame", "SB_TxtAnimEditor",
      "SB_Copy3dScreen",      "SB_UpdateDecorEditor", "SB_UpdateSceneEditor overlay"};
  struct Case {
    int32_t mode, mouseMoved;
    bool clock;
    Trace trace;
  };
  const Trace vparams = {"SB_SetLightTint 0.5", "SB_SnapshotControls", "SB_VParamsEditorFrame"};
  Trace vparamsMoved = vparams;
  vparamsMoved.insert(vparamsMoved.end(), 3, "SB_VParamsEditorFrame");
  const Case cases[] = {
      {0, 0, true, {"SB_SetLightTint 1", "SB_UpdateOptionsFade", "SB_SnapshotControls", "SB_Show3dScreen"}},
      {1, 0, false, {"SB_SetLightTint 0.5", "SB_UpdateEdit"}},
      {2, 0, true, vparams},
      {2, 1, true, vparamsMoved},
      {3, 0, true, {"SB_SetLightTint 0.5", "SB_TxtAnimEditor", "SB_Copy3dScreen"}},
      {4, 0, true, {"SB_SetLightTint 0.5", "SB_SnapshotControls", "SB_UpdateDecorEditor", "SB_Show3dScreen"}},
      {5, 0, true,
       {"SB_SetLightTint 0.5", "SB_SnapshotControls", "SB_UpdateSceneEditor overlay", "SB_Show3dScreen"}},
      {6, 0, false, {}},
  };
  for (const Case& c : cases) {
    ztest::Session().trace.clear();
    ztest::Session().mouseMoved = c.mouseMoved;
    SB_Var.DebugMode = c.mode;
    plat::AdvanceManualTime(25);
    SB_DoFrame();
    EXPECT_EQ(Only(names), c.trace) << c.mode;
    EXPECT_EQ(SB_Var.Time == plat::TickMs(), c.clock) << c.mode;
  }
}

TEST_F(RaceLoopTest, EscPausesOrLeavesAndF1F2ActOnlyAtTheEndMenuOrInPause) {
  SB_SetGameModeSteps(SB_TRAINING);
  while (SB_GetGameStep() != SB_STEP_RACING) SB_NextGameStep();
  for (int32_t paused : {1, 0}) {
    Press(kEsc);
    EXPECT_EQ(SB_Var.Paused, paused);
    SB_CheckRaceKeys();  // still held: no new edge
    EXPECT_EQ(SB_Var.Paused, paused);
    Release(kEsc);
    SB_CheckRaceKeys();
  }
  plat::SetKeyState(kF1, true);
  Press(kF2);  // neither end menu nor pause
  EXPECT_EQ(std::pair(SB_Var.LeaveRace, SB_Var.RaceOver), std::pair(0, 0));
  SB_Var.StepListEnd = 1;
  SB_CheckRaceKeys();
  EXPECT_EQ(std::pair(SB_Var.LeaveRace, SB_Var.RaceOver), std::pair(1, 1));
  EXPECT_EQ(ztest::TracedWith("SB_MuteCarSoundsNow").size(), 1u);

  Release(kF1);
  Release(kF2);
  SB_Var.LeaveRace = 0;
  SB_Var.DebugMode = SB_DEBUG_SCENEEDITOR;
  Press(kEsc);  // in a debug mode Esc leaves the race
  EXPECT_EQ(SB_Var.LeaveRace, 1);
}

TEST_F(RaceLoopTest, F3AndF4ToggleOnTheirPressEdges) {
  SB_ShowHudParts();
  plat::SetKeyState(kF3, true);
  SB_CheckDisplayKeys();
  SB_CheckDisplayKeys();
  EXPECT_EQ(SB_Var.ShowInset, 0);
  EXPECT_EQ(SB_Var.ShowDashboard, 1);
  plat::SetKeyState(kF4, true);
  Release(kF3);
  SB_CheckDisplayKeys();
  plat::SetKeyState(kF3, true);
  SB_CheckDisplayKeys();
  EXPECT_EQ(SB_Var.ShowInset, 1);
  EXPECT_EQ(SB_Var.ShowDashboard, 0);
}

// A quick tap (down and up between two readings) has one reader: with the
// editors on, the switch for a key that opens an editor (F4 only with decor
// objects) and for every function key inside an editor; else the display
// toggle. The display check that runs first leaves the switch's tap alone.
TEST_F(RaceLoopTest, ATapGoesToTheEditorThatOwnsItsKeyElseToTheDisplay) {
  struct Case {
    int32_t key, editorMode, decorObjects, mode;
    bool toggled;
    int32_t modeAfter;
  };
  const Case cases[] = {
      {kF3, 1, 0, SB_DEBUG_GAME, false, SB_DEBUG_TXTANIM},
      {kF4, 1, 1, SB_DEBUG_GAME, false, SB_DEBUG_DECOREDITOR},
      {kF4, 1, 0, SB_DEBUG_GAME, true, SB_DEBUG_GAME},
      {kF3, 0, 1, SB_DEBUG_GAME, true, SB_DEBUG_GAME},
      {kF3, 1, 1, SB_DEBUG_TXTANIM, false, SB_DEBUG_GAME},
      {kF4, 1, 0, SB_DEBUG_TXTANIM, false, SB_DEBUG_GAME},
      {kF4, 1, 1, SB_DEBUG_DECOREDITOR, false, SB_DEBUG_GAME},
  };
  for (const Case& c : cases) {
    SB_ShowHudParts();
    SB_Var.EditorMode = c.editorMode;
    SB_Var.DecorObjectsOn = c.decorObjects;
    SB_Var.DebugMode = c.mode;
    plat::SetKeyState(c.key, true);
    Release(c.key);
    SB_CheckDisplayKeys();
    const int32_t shown = c.key == kF3 ? SB_Var.ShowInset : SB_Var.ShowDashboard;
    EXPECT_EQ(shown, c.toggled ? 0 : 1) << c.key << " in mode " << c.mode;
    SB_SwitchDebugMode();
    EXPECT_EQ(SB_Var.DebugMode, c.modeAfter) << c.key << " in mode " << c.mode;
    SB_CheckDisplayKeys();  // the tap is used up
    EXPECT_EQ(c.key == kF3 ? SB_Var.ShowInset : SB_Var.ShowDashboard, shown);
  }
}

TEST_F(RaceLoopTest, VAppliesTheNextVideoModeOrEndsOnNoVideoRam) {
  MakeRaceScreen();
  SB_Var.VideoModeIndex = 13;  // 512 x 384 x 16; the next 16-bit row is 640 x 400
  plat::SetKeyState(kV, true);
  SB_CheckVideoReload();  // only with EDITORMODE
  EXPECT_TRUE(ztest::TracedWith("SB_Create3dScreen").empty());
  Release(kV);
  SB_CheckVideoReload();
  SB_Var.EditorMode = 1;
  plat::SetKeyState(kV, true);
  SB_CheckVideoReload();
  SB_CheckVideoReload();  // held: no second switch
  EXPECT_EQ(SB_Var.VideoModeIndex, 14);
  EXPECT_EQ(ztest::Traced(), (Trace{"SB_Create3dScreen 640x400x16", "SB_RemapPanel", "SB_RemapScratch",
                                    "SB_RemapPanel", "SB_RemapScratch"}));
  Release(kV);
  SB_CheckVideoReload();
  plat::SetKeyState(kV, true);
  ztest::Session().overlayFails = true;
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(ztest::ExitCodeOf(SB_CheckVideoReload), 1);
  ASSERT_FALSE(Boxes().empty());
  EXPECT_NE(Boxes().back().find("Not enough video ram"), std::string::npos);
}

// Headless with no key to come, a race, its pause and its end menu end
// after a frame as the leave key would; the pause and the end menu wait
// for keys giving the processor away.
int32_t g_idles = 0;
TEST_F(RaceLoopTest, WithNoKeyToComeTheRaceEndsAfterAFrame) {
  MakeRaceScreen();
  plat::SetIdleWaiter([](uint32_t) { ++g_idles; });
  plat::SetMessageSource(nullptr);
  for (const auto& [paused, menu, idles] : {std::tuple{0, 0, 0}, {1, 0, 1}, {0, 1, 1}}) {
    ztest::Session().trace.clear();
    SB_Var.LeaveRace = SB_Var.RaceFrames = g_idles = 0;
    SB_Var.Paused = paused;
    SB_Var.StepListEnd = menu;
    SB_RaceLoop();
    EXPECT_EQ(std::tuple(SB_Var.RaceFrames, SB_Var.LeaveRace, g_idles), std::tuple(1, 1, idles))
        << paused << menu;
    EXPECT_EQ(ztest::TracedWith("SB_MuteCarSoundsNow").size(), 1u);
  }
  plat::SetIdleWaiter(nullptr);
  SB_Var.DebugMode = SB_DEBUG_TXTANIM;
  plat::SetKeyState(kF1, true);  // held for ever: nothing waits for its release
  SB_SwitchDebugMode();
  EXPECT_EQ(SB_Var.DebugMode, SB_DEBUG_GAME);
}

TEST_F(RaceLoopTest, TheLoopEnds3000MsAfterTheSessionWasLost) {
  MakeRaceScreen();
  SB_Var.SessionLost = 1;
  ztest::Session().onFrame = [] { plat::AdvanceManualTime(100); };
  SB_Var.Time = plat::TickMs() - 100;  // the frame before
  SB_RaceLoop();
  EXPECT_EQ(SB_Var.LeaveRace, 0);
  EXPECT_EQ(SB_Var.RaceFrames, 31);  // 3100 ms lost
}

}  // namespace
