// Timer, keyboard, mouse and joystick: the clock's pauses, the keyboard
// buffer and input modes, the mouse in a scaled window with confinement,
// and the joysticks' ids and scaling.
#include "system/input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/joystick.h"
#include "platform/window.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "system/win/shell.h"
#include "tests/support/testenv.h"

namespace {

class InputTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(4u << 20);
    LS_UpdateEvent();  // the first activation
  }
  static void Post(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
    plat::PostWindowMessage({message, wParam, lParam});
  }
  static size_t Waiting() {
    std::vector<plat::WindowMessage> all;
    for (plat::WindowMessage m{}; plat::PeekWindowMessage(m);) all.push_back(m);
    for (const auto& message : all) plat::PostWindowMessage(message);
    return all.size();
  }
};

TEST_F(InputTest, TheClockStandsStillWhilePaused) {
  plat::SetManualTime(1000);
  const uint32_t at = LS_GetTime();
  LSYS_PauseTime();
  plat::AdvanceManualTime(4000);
  LSYS_PauseTime();  // a second pause keeps the first one's start
  plat::AdvanceManualTime(6000);
  EXPECT_EQ(LS_GetTime(), at);
  LSYS_ResumeTime();
  plat::AdvanceManualTime(5);
  EXPECT_EQ(LS_GetTime(), at + 5);
  LSYS_ResumeTime();  // without a pause: nothing
  EXPECT_EQ(LS_GetTime(), at + 5);
}

TEST_F(InputTest, WaitSleepsTickTimeAlsoWhilePaused) {
  plat::SetManualTime(500);
  LS_Wait(2500);
  EXPECT_EQ(plat::TickMs(), 3000u);
  LSYS_PauseTime();
  LS_Wait(10);
  EXPECT_EQ(plat::TickMs(), 3010u);
  LS_StartChrono();
  plat::AdvanceManualTime(40);
  EXPECT_EQ(LS_GetChrono(), 0u);  // the stopwatch reads the library clock
  LSYS_ResumeTime();
  plat::AdvanceManualTime(40);
  EXPECT_EQ(LS_GetChrono(), 40u);
}

// A wait shows what was drawn before it: nothing pumps the window's
// messages during the wait, so the presenter is asked first, at the tick
// the wait begins.
TEST_F(InputTest, AWaitShowsWhatWasDrawnFirst) {
  static std::vector<uint32_t> shownAt;
  shownAt.clear();
  plat::SetPresenter([] {}, [] { shownAt.push_back(plat::TickMs()); });
  plat::SetManualTime(700);
  LS_Wait(2500);
  plat::SetPresenter(nullptr, nullptr);
  EXPECT_EQ(shownAt, std::vector<uint32_t>{700});
  EXPECT_EQ(plat::TickMs(), 3200u);
}

TEST_F(InputTest, TheBufferKeepsSixteenCharacters) {
  for (int i = 0; i < 20; ++i) Post(plat::kMsgChar, static_cast<uintptr_t>('a' + i));
  std::string read;
  for (int i = 0; i < 16; ++i) read += static_cast<char>(LS_GetKey());
  EXPECT_EQ(read, "abcdefghijklmnop");
  EXPECT_EQ(LS_GetKey(), 0);
  Post(plat::kMsgChar, 0xE9);  // Windows-1252 characters come back unsigned
  EXPECT_EQ(LS_GetKey(), 0xE9);
  Post(plat::kMsgChar, 'x');
  LS_ClearKeyboard();
  EXPECT_EQ(LSI_Var.NbKeys, 0);
  Post(plat::kMsgChar, 'z');
  LS_UpdateEvent();
  LSYS_InitKbd();
  EXPECT_EQ(LS_GetKey(), 0);
}

// Mode 1: nothing pumps; 2: the key reads pump; 0: both pump.
TEST_F(InputTest, InputModesDecideWhoPumps) {
  plat::SetKeyState('A', true);
  LSYS_InitMouse();
  int32_t x, y, b;
  LS_SetInputMode(1);
  Post(plat::kMsgChar, 'q');
  EXPECT_EQ(LS_KeyDown('A'), 1);
  LS_GetMouse(&x, &y, &b);
  EXPECT_EQ(Waiting(), 1u);
  LS_SetInputMode(2);
  LS_GetMouse(&x, &y, &b);
  EXPECT_EQ(Waiting(), 1u);
  LS_KeyDown('A');
  EXPECT_EQ(Waiting(), 0u);
  LS_SetInputMode(0);
  Post(plat::kMsgChar, 'r');
  LS_GetMouse(&x, &y, &b);
  EXPECT_EQ(Waiting(), 0u);
  Post(plat::kMsgChar, 's');
  EXPECT_EQ(LS_KeyDown('B'), 0);
  EXPECT_EQ(LSI_Var.NbKeys, 3);
  LS_SetInputMode(7);
  EXPECT_EQ(LSI_Var.InputMode, 0u);
}

// A key tapped between two tests reads held at the next, once; a chord's
// modifier is read as held now, so that a modifier tapped before does not
// join a later key, and that reading uses up no tap.
TEST_F(InputTest, ATapReadsOnceAndAModifierAsHeldNow) {
  plat::SetKeyState(16, true);
  plat::SetKeyState(16, false);
  EXPECT_EQ(LS_KeyHeld(16), 0);
  EXPECT_EQ(LS_KeyDown(16), 1);
  EXPECT_EQ(LS_KeyDown(16), 0);
  plat::SetKeyState(16, true);
  EXPECT_EQ(LS_KeyHeld(16), 1);
  EXPECT_EQ(LS_KeyDown(16), 1);
}

TEST_F(InputTest, KeyStatesOutsideTheTableAreUp) {
  for (int32_t key : {255, 256, -1}) plat::SetKeyState(key, true);
  EXPECT_EQ(LS_KeyDown(255), 1);
  EXPECT_EQ(LS_KeyDown(256) + LS_KeyDown(-1) + LS_KeyDown(1000000), 0);
}

TEST_F(InputTest, SpecialKeysStartWithEveryKeyAndStopAtClose) {
  EXPECT_EQ((std::tuple{LSI_Var.SpecialOn, LSI_Var.SpecialKeys[0]}), (std::tuple{1u, uint8_t{0xFF}}));
  LSI_CloseSpecial();
  EXPECT_EQ(LSI_Var.SpecialOn, 0u);
}

TEST_F(InputTest, MouseReadsNothingWhileItsManagerIsOff) {
  LSYS_ReleaseMouseClip();
  plat::SetCursorPos(10, 10);
  plat::SetKeyState(1, true);
  int32_t x = -1, y = -1, b = -1;
  LS_GetMouse(&x, &y, &b);
  EXPECT_EQ((std::tuple{x, y, b}), (std::tuple{0, 0, 0}));
  LS_SetMouseLimits(0, 0, 5, 5);
  EXPECT_FALSE(plat::GetCursorClip(nullptr));
  LS_GetMouse(nullptr, nullptr, nullptr);
}

TEST_F(InputTest, MouseFollowsTheFrameInAScaledWindowAndStaysInItsLimits) {
  LSYS_InitMouse();
  plat::SetWindowGeometry({1280, 960, 640, 480});
  plat::PointerMoved(640, 480);
  plat::SetKeyState(2, true);
  int32_t x, y, b;
  LS_GetMouse(&x, &y, &b);
  EXPECT_EQ((std::tuple{x, y, b}), (std::tuple{320, 240, 2}));
  LS_SetMouseLimits(0, 0, 640, 480);
  plat::PointerMoved(5000, 5000);
  LS_GetMouse(&x, &y, nullptr);
  EXPECT_EQ((std::tuple{x, y}), (std::tuple{639, 479}));
  LS_SetMouseLimits(100, 50, 200, 60);
  LS_GetMouse(&x, &y, nullptr);  // the confinement moves the cursor in
  EXPECT_EQ((std::tuple{x, y}), (std::tuple{199, 59}));
  LS_SetMousePos(0, 0);
  LS_GetMouse(&x, &y, nullptr);
  EXPECT_EQ((std::tuple{x, y}), (std::tuple{100, 50}));
  LSYS_ReleaseMouseClip();
  EXPECT_FALSE(plat::GetCursorClip(nullptr));
}

TEST_F(InputTest, JoystickOneIsIdZeroAndAbsentOnesReadNothing) {
  plat::JoyCaps caps;
  plat::PlugJoystick(0, caps);
  plat::PlugJoystick(4, caps);
  LSI_InitJoy();
  JOYPOS p{};
  plat::SetJoystickPosition(0, {0, 65535, 5});
  ASSERT_EQ(LSYS_GetJoyPos(1, &p), 1);
  EXPECT_EQ((std::tuple{p.RawX, p.RawY, p.X, p.Y, p.Buttons}), (std::tuple{0u, 65535u, -1.0, 1.0, 5u}));
  for (auto [id, answer] : {std::tuple{2, 0}, {5, 1}, {0, 0}, {6, 0}}) EXPECT_EQ(LSYS_GetJoyPos(id, &p), answer) << id;
  EXPECT_EQ(LSYS_GetJoyPos(1, nullptr), 0);
  plat::UnplugJoystick(0);  // a device that stops answering after the probe
  EXPECT_EQ(LSYS_GetJoyPos(1, &p), 0);
  plat::PlugJoystick(1, caps);  // plugged after the probe: unknown until the next probe
  EXPECT_EQ(LSYS_GetJoyPos(2, &p), 0);
  LSI_InitJoy();
  EXPECT_EQ(LSYS_GetJoyPos(2, &p), 1);
}

TEST_F(InputTest, JoystickAxesScaleFromTheirMinimum) {
  plat::JoyCaps caps;
  caps.xMin = 100;
  caps.xMax = 200;
  caps.yMin = caps.yMax = 300;  // an empty range reads 0
  plat::PlugJoystick(0, caps);
  LSI_InitJoy();
  JOYPOS p{};
  for (auto [raw, x] : {std::pair{100u, -1.0}, {150u, 0.0}, {200u, 1.0}}) {
    plat::SetJoystickPosition(0, {raw, 300, 0});
    ASSERT_EQ(LSYS_GetJoyPos(1, &p), 1);
    EXPECT_EQ((std::tuple{p.X, p.Y}), (std::tuple{x, 0.0})) << raw;
  }
}

}  // namespace
