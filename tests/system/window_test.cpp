// The window shell: the pump while active and inactive, the window
// procedure's messages and hooks, repainting, closing, the pump refused
// while a bitmap is locked, window creation and the style switch.
#include "platform/window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/display.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/graphic.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/win/shell.h"
#include "tests/support/testenv.h"

namespace {

using ztest::ExitCodeOf;

// What the hooks saw, in order.
std::vector<std::string> g_seen;

int32_t Seen(const std::string& what) { return g_seen.push_back(what), 1; }
int32_t RecordActivate(int32_t active) { return Seen("activate " + std::to_string(active)); }
int32_t RecordPause() { return Seen("pause"); }
int32_t RecordResume() { return Seen("resume"); }
void RecordRepaint(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Seen("repaint " + std::to_string(x1) + " " + std::to_string(y1) + " " + std::to_string(x2) + " " + std::to_string(y2));
}
void RecordUser(intptr_t lParam) { Seen("user " + std::to_string(lParam)); }

class WindowTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(4u << 20);
    LS_UpdateEvent();  // the first activation
    g_seen.clear();
    LSYS_SetActivateHook(RecordActivate);
    LSYS_SetMusicHooks(RecordPause, RecordResume);
  }
  void TearDown() override {
    plat::SetMessageSource(nullptr);
    LibraryTest::TearDown();
  }
  static void Post(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
    plat::PostWindowMessage({message, wParam, lParam});
  }
};

// The test's message source: activates the application at tick 11000 and
// notes the library clock and the tick count at every poll.
std::vector<uint32_t> g_clockAtPoll, g_tickAtPoll;
void ActivateAt11000() {
  g_clockAtPoll.push_back(LS_GetTime());
  g_tickAtPoll.push_back(plat::TickMs());
  if (plat::TickMs() == 11000 && g_tickAtPoll.size() >= 2 && g_tickAtPoll[g_tickAtPoll.size() - 2] < 11000)
    plat::PostWindowMessage({plat::kMsgActivateApp, 1, 0});
}

TEST_F(WindowTest, AnInactiveApplicationWaitsInThePumpWithItsClockStopped) {
  plat::SetManualTime(1000);
  Post(plat::kMsgActivateApp, 0);
  g_clockAtPoll.clear();
  g_tickAtPoll.clear();
  plat::SetMessageSource(ActivateAt11000);
  LS_UpdateEvent();
  EXPECT_EQ((std::tuple{plat::TickMs(), LS_GetTime()}), (std::tuple{11000u, 1000u}));
  ASSERT_GT(g_tickAtPoll.size(), 100u);
  EXPECT_EQ(g_tickAtPoll[2] - g_tickAtPoll[1], 50u);  // polls 50 ms apart, the clock stopped
  EXPECT_EQ(std::count(g_clockAtPoll.begin(), g_clockAtPoll.end(), 1000u), g_clockAtPoll.size());
  EXPECT_EQ(g_seen, (std::vector<std::string>{"pause", "activate 0", "resume", "activate 1"}));
  plat::AdvanceManualTime(5);
  EXPECT_EQ(LS_GetTime(), 1005u);
}

// The run-inactive hook's answer, and a message source that changes it at
// tick 3000 (a network session opening or closing while the focus is
// elsewhere) and counts its polls.
int32_t g_runInactive = 0, g_polls = 0;
int32_t RunInactive() { return g_runInactive; }
void FlipRunInactiveAt3000() {
  ++g_polls;
  if (plat::TickMs() == 3000) g_runInactive = !g_runInactive;
}

TEST_F(WindowTest, AnInactiveApplicationRunsOnWhileTheHookSaysSo) {
  plat::SetManualTime(1000);
  g_runInactive = 1;
  LSYS_SetRunInactiveHook(RunInactive);
  plat::SetMessageSource(FlipRunInactiveAt3000);
  Post(plat::kMsgActivateApp, 0);  // the focus goes, as the window system reports it
  g_polls = 0;
  LS_UpdateEvent();
  EXPECT_EQ((std::tuple{g_polls, LSYS_Shell.Active}), (std::tuple{2, 0}));  // the message, then none: back
  plat::AdvanceManualTime(500);
  g_polls = 0;
  LS_UpdateEvent();
  EXPECT_EQ((std::tuple{g_polls, LS_GetTime()}), (std::tuple{1, 1500u}));  // at once, the clock running
  // The session closes: the next pump stops the clock and waits for the
  // focus, dispatching what comes.
  g_runInactive = 0;
  plat::SetMessageSource(ActivateAt11000);
  g_clockAtPoll.clear();
  g_tickAtPoll.clear();
  LS_UpdateEvent();
  EXPECT_EQ((std::tuple{plat::TickMs(), LS_GetTime()}), (std::tuple{11000u, 1500u}));
  EXPECT_EQ(g_seen, (std::vector<std::string>{"pause", "activate 0", "resume", "activate 1"}));
}

TEST_F(WindowTest, ASessionOpenedWhileInactiveRestartsTheStoppedClock) {
  plat::SetManualTime(1000);
  g_runInactive = 0;
  LSYS_SetRunInactiveHook(RunInactive);
  plat::SetMessageSource(FlipRunInactiveAt3000);
  Post(plat::kMsgActivateApp, 0);
  LS_UpdateEvent();  // waits, the clock stopped at 1000, until the hook says to run at 3000
  EXPECT_EQ((std::tuple{plat::TickMs(), LS_GetTime(), LSYS_Shell.Active}), (std::tuple{3000u, 1000u, 0}));
  plat::AdvanceManualTime(250);
  EXPECT_EQ(LS_GetTime(), 1250u);
}

int32_t PumpAgain(int32_t active) {
  Seen("activate " + std::to_string(active));
  EXPECT_EQ(LSYS_PumpMessages(), 1);  // nested: at once
  return Seen("nested returned");
}

TEST_F(WindowTest, APumpInsideADispatchedMessageReturnsAtOnce) {
  LSYS_SetActivateHook(PumpAgain);
  Post(plat::kMsgMove);
  Post(plat::kMsgChar, 'x');
  LS_UpdateEvent();
  EXPECT_EQ(g_seen, (std::vector<std::string>{"activate 1", "nested returned"}));
  EXPECT_EQ(LSI_Var.NbKeys, 1);  // the character came after the nested pump
}

TEST_F(WindowTest, ScreenSaverAndMonitorPowerNeverStart) {
  EXPECT_EQ(LSYS_WindowProc(plat::kMsgSysCommand, 0xF140, 0), 1);
  EXPECT_EQ(LSYS_WindowProc(plat::kMsgSysCommand, 0xF170, 2), 1);
  EXPECT_EQ(LSYS_WindowProc(plat::kMsgSysCommand, 0xF020, 0), 0);  // minimise: the default
}

TEST_F(WindowTest, TheRegisteredMessageReachesItsHook) {
  ASSERT_EQ(LSYS_UserMessage, plat::RegisterWindowMessage("ZIDADE"));
  EXPECT_EQ(LSYS_WindowProc(LSYS_UserMessage, 0, 4), 1);  // no hook: still answered
  LSYS_SetUserMessageHook(RecordUser);
  Post(LSYS_UserMessage, 0, 3);
  LS_UpdateEvent();
  EXPECT_EQ(g_seen, (std::vector<std::string>{"user 3"}));
}

TEST_F(WindowTest, DraggingPausesOnceAndTheMoveResumes) {
  plat::SetManualTime(2000);
  const uint32_t before = LS_GetTime();
  Post(plat::kMsgMoving);
  Post(plat::kMsgMoving);
  LS_UpdateEvent();
  plat::AdvanceManualTime(3000);
  EXPECT_EQ(LS_GetTime(), before);
  Post(plat::kMsgMove);
  LS_UpdateEvent();
  EXPECT_EQ(g_seen, (std::vector<std::string>{"activate 0", "activate 1"}));
  plat::AdvanceManualTime(7);
  EXPECT_EQ(LS_GetTime(), before + 7);
  // Without an activation hook a drag does not pause.
  LSYS_SetActivateHook(nullptr);
  Post(plat::kMsgMoving);
  LS_UpdateEvent();
  plat::AdvanceManualTime(10);
  EXPECT_EQ(LS_GetTime(), before + 17);
}

TEST_F(WindowTest, ExposingRepaintsTheScreensRectangles) {
  LSYS_SetRepaintHook(RecordRepaint);
  plat::InvalidateWindow(nullptr);  // no screen yet: validated, nothing drawn
  LS_UpdateEvent();
  EXPECT_TRUE(g_seen.empty());
  LSYS_SetVideoMode(640, 480, 16, 1);
  plat::InvalidateWindow(nullptr);
  LS_UpdateEvent();
  EXPECT_EQ(g_seen, (std::vector<std::string>{"repaint 0 0 639 479"}));
  g_seen.clear();
  const plat::Rect a{10, 20, 30, 40}, outside{700, 0, 800, 10}, across{600, 470, 700, 500};
  plat::InvalidateWindow(&a);
  plat::InvalidateWindow(&outside);
  plat::InvalidateWindow(&across);
  LS_UpdateEvent();  // one region; the later paint messages find it validated
  EXPECT_EQ(g_seen, (std::vector<std::string>{"repaint 10 20 29 39", "repaint 600 470 639 479"}));
  LSYS_SetRepaintHook(nullptr);
}

TEST_F(WindowTest, ClosingTheWindowEndsTheProgramWithZero) {
  LSYS_SetVideoMode(640, 480, 16, 1);
  Post(plat::kMsgClose);
  EXPECT_EQ(ExitCodeOf([] { LS_UpdateEvent(); }), 0);
  EXPECT_FALSE(plat::DisplayOpen());
}

TEST_F(WindowTest, ThePumpWhileABitmapIsLockedUnlocksTheScreenAndRaisesError8) {
  LSYS_SetVideoMode(640, 480, 16, 1);
  LS_LockBmap(LS_Var.Screen);
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  Post(plat::kMsgChar, 'k');
  LS_UpdateEvent();
  EXPECT_EQ((std::tuple{LS_GetLastError(), LS_BmapLockCount, LSI_Var.NbKeys}), (std::tuple{8u, 0, 1}));  // it pumped
  LS_SetErrorMode(LS_ERRMODE_LOG);
  LS_LockBmap(LS_Var.Screen);
  LS_UpdateEvent();
  EXPECT_EQ(Logged("No UpdateEvent during a LockBmap"), 1);
}

TEST_F(WindowTest, CharactersKeysAndButtonsRestartTheStopwatch) {
  for (uint32_t message : {plat::kMsgKeyDown, plat::kMsgSysKeyDown, plat::kMsgChar, plat::kMsgRButtonDown}) {
    plat::AdvanceManualTime(300);
    Post(message, 'a');
    LS_UpdateEvent();
    EXPECT_EQ(LS_GetChrono(), 0u) << message;
  }
  plat::AdvanceManualTime(300);
  Post(plat::kMsgKeyUp, 'a');
  LS_UpdateEvent();
  EXPECT_EQ(LS_GetChrono(), 300u);
  Post(plat::kMsgActivateApp, 0);
  Post(plat::kMsgActivateApp, 1);
  LS_UpdateEvent();
  EXPECT_EQ(LS_GetChrono(), 0u);
}

TEST_F(WindowTest, TheStyleSwitchShowsTheCursorOnlyInTheFrame) {
  const void* fullScreen = LSYS_MainWindow;
  plat::ShowCursor(false);  // as the program's entry does
  EXPECT_EQ(LSYS_SetWindowStyle(640, 480, 256), 1);
  EXPECT_NE(LSYS_MainWindow, fullScreen);
  EXPECT_EQ((std::tuple{plat::CursorCount(), plat::GetWindowState().framed, plat::GetWindowClient().width}),
            (std::tuple{0, true, 640}));
  EXPECT_EQ(LSYS_SetWindowStyle(640, 480, 256), 0);  // nothing changes
  // Any style but 256 is full screen, and is kept as 0.
  EXPECT_EQ(LSYS_SetWindowStyle(640, 480, 512), 1);
  EXPECT_EQ((std::tuple{LS_Var.Style, LSYS_MainWindow, plat::CursorCount()}), (std::tuple{0, fullScreen, -1}));
}

TEST(WindowCreation, QueuesTheFirstActivationAndReadsTheDesktop) {
  plat::ResetWindowState();
  plat::ResetDisplay();
  LSI_ResetVars();
  plat::DisplayMode desktop;
  desktop.width = 1024;
  desktop.height = 768;
  desktop.format.bitsPerPixel = 32;
  desktop.format.redMask = 0xFF0000;
  desktop.format.greenMask = 0xFF00;
  desktop.format.blueMask = 0xFF;
  plat::SetDesktopMode(desktop);
  ASSERT_EQ(LSYS_CreateWindows(nullptr, 1), 1);
  EXPECT_EQ((std::tuple{LSYS_ScreenWidth, LSYS_ScreenHeight, LSYS_DesktopDepth, LSYS_Shell.Active}),
            (std::tuple{1024, 768, 32, 0}));
  plat::WindowMessage m{};
  ASSERT_TRUE(plat::PeekWindowMessage(m));
  EXPECT_EQ((std::tuple{m.message, m.wParam}), (std::tuple{plat::kMsgActivateApp, uintptr_t{1}}));
  plat::ResetDisplay();
}

bool NoWindow(const std::string&) { return false; }

TEST(WindowCreation, NoWindowEndsTheEntryWithOne) {
  plat::ResetWindowState();
  LSI_ResetVars();
  const plat::WindowBackend failing = {NoWindow, nullptr, nullptr, nullptr, nullptr};
  plat::SetWindowBackend(&failing);
  EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 1);
  EXPECT_EQ(LSYS_MainWindow, nullptr);
  plat::ResetWindowState();
}

TEST(CommandLineSplit, LongArgumentsAreCopiedWhole) {
  const std::string longWord(100000, 'w');
  const std::string line = "-S:a " + longWord + " ";
  int32_t count = 0;
  char** args = LSYS_SplitCommandLine(line.c_str(), &count);
  ASSERT_EQ(count, 3);
  EXPECT_EQ(std::string(args[1]), longWord);
  EXPECT_STREQ(args[2], "");  // a blank at the end leaves an empty argument
  LSYS_FreeArguments(args, count);
}

}  // namespace
