// Timer, keyboard, mouse and joystick: the clock's pauses, the keyboard
// buffer and input modes, the mouse in a scaled window with confinement,
// and the joysticks' ids and scaling.
#include "system/input.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "platform/joystick.h"
#include "platform/window.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "system/win/shell.h"
#include "tests/support/testenv.h"

namespace {

using ztest::ExitCodeOf;

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
    size_t n = 0;
    std::vector<plat::WindowMessage> all;
    plat::WindowMessage m{};
    while (plat::PeekWindowMessage(m)) all.push_back(m), ++n;
    for (const auto& message : all) plat::PostWindowMessage(message);
    return n;
  }
};

TEST_F(InputTest, TheClockStandsStillWhilePaused) {
  plat::SetManualTime(1000);
  const uint32_t offset = LSI_Var.TimeOffset;
  ASSERT_EQ(LS_GetTime(), 1000u - offset);
  LSYS_PauseTime();
  plat::AdvanceManualTime(4000);
  LSYS_PauseTime();  // a second pause keeps the first one's start
  plat::AdvanceManualTime(6000);
  EXPECT_EQ(LS_GetTime(), 1000u - offset);
  EXPECT_EQ(LSYS_GetTime(), LS_GetTime());
  LSYS_ResumeTime();
  EXPECT_EQ(LS_GetTime(), 1000u - offset);
  plat::AdvanceManualTime(5);
  EXPECT_EQ(LS_GetTime(), 1005u - offset);
  LSYS_ResumeTime();  // without a pause: nothing
  EXPECT_EQ(LS_GetTime(), 1005u - offset);
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

TEST_F(InputTest, TheBufferKeepsSixteenCharacters) {
  for (int i = 0; i < 20; ++i) Post(plat::kMsgChar, static_cast<uintptr_t>('a' + i));
  std::string read;
  for (int i = 0; i < 16; ++i) read += static_cast<char>(LS_GetKey());
  EXPECT_EQ(read, "abcdefghijklmnop");
  EXPECT_EQ(LS_GetKey(), 0);
  // Windows-1252 characters come back unsigned.
  Post(plat::kMsgChar, 0xE9);
  Post(plat::kMsgChar, 0x80);
  EXPECT_EQ(LS_GetKey(), 0xE9);
  EXPECT_EQ(LS_GetKey(), 0x80);
  Post(plat::kMsgChar, 'x');
  Post(plat::kMsgChar, 'y');
  LS_ClearKeyboard();
  EXPECT_EQ(LSI_Var.NbKeys, 0);
  Post(plat::kMsgChar, 'z');
  LS_UpdateEvent();
  LSYS_InitKbd();
  EXPECT_EQ(LS_GetKey(), 0);
}

TEST_F(InputTest, InputModesDecideWhoPumps) {
  plat::SetKeyState('A', true);
  LSYS_InitMouse();

  LS_SetInputMode(1);
  Post(plat::kMsgChar, 'q');
  EXPECT_EQ(LS_KeyDown('A'), 1);
  int32_t x, y, b;
  LS_GetMouse(&x, &y, &b);
  EXPECT_EQ(Waiting(), 1u);  // nothing dispatched

  LS_SetInputMode(2);
  LS_GetMouse(&x, &y, &b);
  EXPECT_EQ(Waiting(), 1u);
  EXPECT_EQ(LS_KeyDown('A'), 1);
  EXPECT_EQ(Waiting(), 0u);

  LS_SetInputMode(0);
  Post(plat::kMsgChar, 'r');
  LS_GetMouse(&x, &y, &b);
  EXPECT_EQ(Waiting(), 0u);
  Post(plat::kMsgChar, 's');
  EXPECT_EQ(LS_KeyDown('B'), 0);
  EXPECT_EQ(Waiting(), 0u);
  EXPECT_EQ(LSI_Var.NbKeys, 3);

  LS_SetInputMode(7);
  EXPECT_EQ(LSI_Var.InputMode, 0u);
}

TEST_F(InputTest, KeyStatesOutsideTheTableAreUp) {
  plat::SetKeyState(255, true);
  plat::SetKeyState(256, true);
  plat::SetKeyState(-1, true);
  EXPECT_EQ(LS_KeyDown(255), 1);
  EXPECT_EQ(LS_KeyDown(256), 0);
  EXPECT_EQ(LS_KeyDown(-1), 0);
  EXPECT_EQ(LS_KeyDown(1000000), 0);
}

TEST_F(InputTest, SpecialKeysStartWithEveryKeyAndStopAtClose) {
  EXPECT_EQ(LSI_Var.SpecialOn, 1u);
  for (uint8_t bits : LSI_Var.SpecialKeys) EXPECT_EQ(bits, 0xFF);
  LSI_CloseSpecial();
  EXPECT_EQ(LSI_Var.SpecialOn, 0u);
}

TEST_F(InputTest, MouseReadsNothingWhileItsManagerIsOff) {
  LSYS_ReleaseMouseClip();
  plat::SetCursorPos(10, 10);
  plat::SetKeyState(1, true);
  int32_t x = -1, y = -1, b = -1;
  LS_GetMouse(&x, &y, &b);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(b, 0);
  LS_SetMousePos(30, 30);
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
  EXPECT_EQ(x, 320);
  EXPECT_EQ(y, 240);
  EXPECT_EQ(b, 2);

  LS_SetMouseLimits(0, 0, 640, 480);
  EXPECT_EQ(LSI_Var.MouseLimits[2], 640);
  plat::PointerMoved(5000, 5000);
  LS_GetMouse(&x, &y, nullptr);
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 479);
  LS_SetMouseLimits(100, 50, 200, 60);
  LS_GetMouse(&x, &y, nullptr);  // the confinement moves the cursor in
  EXPECT_EQ(x, 199);
  EXPECT_EQ(y, 59);
  LS_SetMousePos(0, 0);
  LS_GetMouse(&x, &y, nullptr);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 50);
  LSYS_ReleaseMouseClip();
  EXPECT_FALSE(plat::GetCursorClip(nullptr));
}

TEST_F(InputTest, JoystickOneIsIdZeroAndAbsentOnesReadNothing) {
  plat::JoyCaps caps;
  caps.buttons = 4;
  plat::PlugJoystick(0, caps);
  plat::PlugJoystick(4, caps);
  LSI_InitJoy();
  JOYPOS p{};
  plat::SetJoystickPosition(0, {0, 65535, 5});
  ASSERT_EQ(LSYS_GetJoyPos(1, &p), 1);
  EXPECT_EQ(p.RawX, 0u);
  EXPECT_EQ(p.RawY, 65535u);
  EXPECT_DOUBLE_EQ(p.X, -1.0);
  EXPECT_DOUBLE_EQ(p.Y, 1.0);
  EXPECT_EQ(p.Buttons, 5u);
  EXPECT_EQ(LSYS_GetJoyPos(2, &p), 0);
  EXPECT_EQ(LSYS_GetJoyPos(5, &p), 1);
  EXPECT_EQ(LSYS_GetJoyPos(0, &p), 0);
  EXPECT_EQ(LSYS_GetJoyPos(6, &p), 0);
  EXPECT_EQ(LSYS_GetJoyPos(1, nullptr), 0);
  // A device that stops answering after the probe.
  plat::UnplugJoystick(0);
  EXPECT_EQ(LSYS_GetJoyPos(1, &p), 0);
  // Plugged after the probe: unknown until the next probe.
  plat::PlugJoystick(1, caps);
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
  plat::SetJoystickPosition(0, {100, 300, 0});
  ASSERT_EQ(LSYS_GetJoyPos(1, &p), 1);
  EXPECT_DOUBLE_EQ(p.X, -1.0);
  EXPECT_DOUBLE_EQ(p.Y, 0.0);
  plat::SetJoystickPosition(0, {150, 300, 0});
  LSYS_GetJoyPos(1, &p);
  EXPECT_DOUBLE_EQ(p.X, 0.0);
  plat::SetJoystickPosition(0, {200, 300, 0});
  LSYS_GetJoyPos(1, &p);
  EXPECT_DOUBLE_EQ(p.X, 1.0);
}

}  // namespace
