// The console's line editor and history, and the line input after a prompt,
// driven by typed characters and held keys (a typed line run, stored and
// QUIT: devenv_test.cpp).
#include "console/consoleedit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/window.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "tests/fakes/shell_fakes.h"

namespace {

using Lines = std::vector<std::string>;
constexpr int32_t kLeft = 37, kUp = 38, kDown = 40;

class ConsoleEdit : public ztest::ShellTest {
 protected:
  // Each character is typed and taken by one step of the editor.
  static void Type(const std::string& text) {
    for (char c : text) {
      LSI_PutKey(static_cast<uint8_t>(c));
      SB_ConsoleStep();
    }
  }
  // One press of an arrow: held for a step, then released for a step.
  static void Press(int32_t key) {
    plat::SetKeyState(key, true);
    SB_ConsoleStep();
    plat::SetKeyState(key, false);
    SB_ConsoleStep();
  }
  static std::string Edit() { return SB_Var.ConsoleHistory[SB_EDITLINE]; }
};

TEST_F(ConsoleEdit, UpAndDownBrowseTheHistory) {
  Type("@ECHO 1\r@ECHO 2\r@ECHO 3\r");
  Press(kUp);
  EXPECT_EQ(Edit(), "@ECHO 3");
  Press(kUp);
  Press(kUp);
  EXPECT_EQ(Edit(), "@ECHO 1");
  Press(kDown);
  EXPECT_EQ(Edit(), "@ECHO 2");
  Press(kDown);
  EXPECT_EQ(Edit(), "@ECHO 3");
  Press(kDown);
  EXPECT_EQ(Edit(), "");
  EXPECT_EQ(SB_Var.HistoryIndex, SB_EDITLINE);
  Press(kDown);  // nothing below the edit line
  EXPECT_EQ(SB_Var.HistoryIndex, SB_EDITLINE);
  Press(kUp);
  Type("\r");  // a line taken from the history, run: browsing starts anew
  EXPECT_EQ(SB_Var.HistoryIndex, SB_EDITLINE);
  EXPECT_EQ(Edit(), "");
}

TEST_F(ConsoleEdit, UpStopsAtTheOldestLine) {
  for (int i = 0; i < 40; ++i) Press(kUp);
  EXPECT_EQ(SB_Var.HistoryIndex, 0);
  EXPECT_EQ(Edit(), "");
}

TEST_F(ConsoleEdit, HeldKeysActOncePerPress) {
  Type("abc");
  plat::SetKeyState(kLeft, true);
  for (int i = 0; i < 10; ++i) SB_ConsoleStep();
  EXPECT_EQ(Edit(), "ab");
  plat::SetKeyState(kLeft, false);
  SB_ConsoleStep();
  Press(kLeft);
  EXPECT_EQ(Edit(), "a");
  Type("\b\b");  // Backspace on an empty line does nothing
  EXPECT_EQ(Edit(), "");
}

TEST_F(ConsoleEdit, OnlyPrintableCharactersUpTo78AreTaken) {
  Type("a\xE9\x80\xFF\x1F\tb\x7F");
  EXPECT_EQ(Edit(), "ab\x7F");
  Type("\b\b\b" + std::string(78, 'x') + "y");
  EXPECT_EQ(Edit(), std::string(78, 'x'));
}

TEST_F(ConsoleEdit, ABlankLineIsNeitherRunNorStored) {
  Type("   \t \r");
  EXPECT_TRUE(SB_PrintedLines().empty());
  EXPECT_TRUE(ztest::Shell().netCommands.empty());
  EXPECT_STREQ(SB_Var.ConsoleHistory[30], "");
}

TEST_F(ConsoleEdit, BlanksAreSqueezedBeforeTheLineRuns) {
  Type("  ECHO  a \r");
  EXPECT_EQ(SB_PrintedLines(), (Lines{">ECHO a ", "a "}));
  EXPECT_STREQ(SB_Var.ConsoleHistory[30], "ECHO a ");
}

TEST_F(ConsoleEdit, TheCursorBlinksWithTheClock) {
  plat::SetManualTime(0);
  Type("ls");
  EXPECT_EQ(Line(SB_Var.ConsoleLine), ">ls");
  plat::SetManualTime(256);
  SB_ConsoleStep();
  EXPECT_EQ(Line(SB_Var.ConsoleLine), ">ls_");
  plat::SetManualTime(512);
  SB_ConsoleStep();
  EXPECT_EQ(Line(SB_Var.ConsoleLine), ">ls");
  // Idle, the console waits for the blink's next change; not with a key
  // waiting to be read.
  static std::vector<uint32_t> waits;
  plat::SetIdleWaiter([](uint32_t ms) { waits.push_back(ms); });
  plat::SetManualTime(1000);
  SB_ConsoleIdle();
  LSI_PutKey('a');
  SB_ConsoleIdle();
  plat::SetIdleWaiter(nullptr);
  EXPECT_EQ(waits, std::vector<uint32_t>{24});
}

TEST_F(ConsoleEdit, EachStepPumpsTheNetwork) {
  SB_ConsoleStep();
  SB_ConsoleStep();
  EXPECT_EQ(ztest::Shell().netUpdates, 2);
}

TEST_F(ConsoleEdit, InputAfterAPromptIsPrintedWhole) {
  for (int c : std::initializer_list<int>{'a', 'b', 8, 'c', 13}) LSI_PutKey(static_cast<uint32_t>(c));
  char answer[SB_INPUTSIZE];
  SB_ConsoleInput("Name: ", answer);
  EXPECT_STREQ(answer, "ac");
  EXPECT_EQ(SB_PrintedLines(), Lines{"Name: ac"});
  EXPECT_EQ(Line(0), "Name: ac");
}

TEST_F(ConsoleEdit, PromptAndAnswerHoldAtMost79Characters) {
  const std::string prompt(75, 'p');
  for (int c : std::initializer_list<int>{'1', '2', '3', '4', '5', '6', 0xE9, 13})
    LSI_PutKey(static_cast<uint32_t>(c));
  char answer[SB_INPUTSIZE];
  SB_ConsoleInput(prompt.c_str(), answer);
  EXPECT_STREQ(answer, "1234");
  EXPECT_EQ(SB_PrintedLines(), Lines{prompt + "1234"});
}

TEST_F(ConsoleEdit, LeftRemovesFromTheAnswerOncePerPress) {
  struct Script {
    static void Step() {
      // The answer's keys arrive one pump after another; Left is held for
      // several pumps before Enter.
      static int pass = 0;
      ++pass;
      if (pass == 1) LSI_PutKey('x');
      if (pass == 2) LSI_PutKey('y');
      if (pass == 5) plat::SetKeyState(37, true);
      if (pass == 30) LSI_PutKey(13);
    }
  };
  plat::SetMessageSource(Script::Step);
  char answer[SB_INPUTSIZE];
  SB_ConsoleInput("? ", answer);
  plat::SetMessageSource(nullptr);
  plat::SetKeyState(37, false);
  EXPECT_STREQ(answer, "x");
}

}  // namespace
