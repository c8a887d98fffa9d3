// The event pump's Alt+Enter switch, key states and the key wait.
#include "shell/gameevent.h"

#include <gtest/gtest.h>

#include "platform/window.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "tests/fakes/shell_fakes.h"

namespace {

constexpr int32_t kEnter = 13, kAlt = 18;

class GameEvent : public ztest::ShellTest {};

TEST_F(GameEvent, AltEnterTogglesOncePerPress) {
  plat::SetKeyState(kAlt, true);
  plat::SetKeyState(kEnter, true);
  for (int i = 0; i < 5; ++i) SB_UpdateEvent();
  EXPECT_EQ(ztest::Shell().toggles, 1);
  plat::SetKeyState(kEnter, false);
  SB_UpdateEvent();
  SB_UpdateEvent();
  EXPECT_EQ(ztest::Shell().toggles, 1);
  plat::SetKeyState(kEnter, true);
  SB_PumpEvents();
  SB_PumpEvents();
  EXPECT_EQ(ztest::Shell().toggles, 2);
}

TEST_F(GameEvent, AltOrEnterAloneDoesNothing) {
  plat::SetKeyState(kEnter, true);
  SB_UpdateEvent();
  plat::SetKeyState(kEnter, false);
  plat::SetKeyState(kAlt, true);
  SB_UpdateEvent();
  EXPECT_EQ(ztest::Shell().toggles, 0);
  EXPECT_EQ(SB_Var.AltEnterLatch, 0);
}

TEST_F(GameEvent, KeysReadTheirHeldState) {
  EXPECT_EQ(SB_KeyDown(81), 0);
  plat::SetKeyState(81, true);
  EXPECT_EQ(SB_KeyDown(81), 1);
  EXPECT_EQ(SB_KeyDown(-1), 0);
  EXPECT_EQ(SB_KeyDown(256), 0);
}

TEST_F(GameEvent, FlushEmptiesTheKeyboardBuffer) {
  LSI_PutKey('a');
  LSI_PutKey('b');
  SB_FlushKeyboard();
  EXPECT_EQ(LS_GetKey(), 0);
}

TEST_F(GameEvent, WaitKeyPumpsUntilACharacterArrives) {
  struct Script {
    static void Step() {
      static int pass = 0;
      if (++pass == 7) plat::PostWindowMessage({plat::kMsgChar, 'k', 0});
    }
  };
  plat::SetMessageSource(Script::Step);
  EXPECT_EQ(SB_WaitKey(), 'k');
  plat::SetMessageSource(nullptr);
  LSI_PutKey('z');
  EXPECT_EQ(SB_WaitKey(), 'z');
}

}  // namespace
