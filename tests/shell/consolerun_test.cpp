// The program's console run: the start-up script, batches run from it, and
// QUIT ending the program cleanly with nothing left allocated.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "datagen/pcxwrite.h"
#include "platform/window.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "shell/startup.h"
#include "tests/support/testenv.h"

namespace {

using Lines = std::vector<std::string>;

class ConsoleRun : public ztest::LibraryTest {
 protected:
  void Background() {
    datagen::Picture8 picture;
    picture.width = 640;
    picture.height = 480;
    picture.pixels.assign(640 * 480, 3);
    picture.palette.assign(768, 40);
    std::filesystem::create_directories(root_ + "/PCX");
    ASSERT_TRUE(datagen::WritePcx(root_ + "/PCX/DEVENV.PCX", picture));
  }
  int Main(const char* argument) {
    WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
    char* argv[] = {const_cast<char*>(argument)};
    SB_ClearPrintedLines();
    return ztest::ExitCodeOf([&] { SB_Main(1, argv); });
  }
};

TEST_F(ConsoleRun, TheStartUpScriptRunsUntilQuit) {
  Background();
  ztest::WriteFile(root_ + "/DAT/BOOT.TXT",
                   "ECHO hello\r\nRUN OTHER.TXT\r\nQUIT\r\n@ECHO the batch ends first\r\n");
  ztest::WriteFile(root_ + "/DAT/OTHER.TXT", "ECHO from other");
  EXPECT_EQ(Main("-S:boot.txt"), 0);
  EXPECT_TRUE(Boxes().empty()) << Boxes().front();  // no leak reported
  EXPECT_EQ(SB_PrintedLines(),
            (Lines{"Launching the game on C: !!!", ">ECHO hello", "hello", ">RUN OTHER.TXT",
                   ">ECHO from other", "from other", ">QUIT", "the batch ends first"}));
  EXPECT_EQ(SB_Var.QuitConsole, 1);
  EXPECT_EQ(SB_Var.RunDone, 1);
  EXPECT_EQ(SB_Var.DevEnvScreen, nullptr);
}

// Types a text, one character per pass of the message pump, once the
// console reads the keyboard (the start empties its buffer).
const char* g_typed = "";
void TypeOnePerPass() {
  if (SB_Var.DrawConsole && *g_typed)
    plat::PostWindowMessage({plat::kMsgChar, static_cast<uint8_t>(*g_typed++), 0});
}

TEST_F(ConsoleRun, WithoutItsScriptTheConsoleReadsTheKeyboard) {
  Background();
  g_typed = "echo typed\rquit\r";
  plat::SetMessageSource(TypeOnePerPass);
  EXPECT_EQ(Main("-S:none.txt"), 0);
  plat::SetMessageSource(nullptr);
  EXPECT_TRUE(Boxes().empty()) << Boxes().front();
  EXPECT_EQ(SB_PrintedLines(),
            (Lines{"Launching the game on C: !!!", "File error... type DIR for directory...", ">echo typed",
                   "typed", ">quit"}));
}

}  // namespace
