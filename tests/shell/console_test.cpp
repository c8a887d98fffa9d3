// The console's text: printing, scrolling, the status line, the log file,
// and drawing on the screen.
#include "shell/console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "net/netplayer.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/heap.h"
#include "tests/fakes/shell_fakes.h"

namespace {

using Lines = std::vector<std::string>;

class Console : public ztest::ShellTest {
 protected:
  std::string Log() { return ztest::ReadFile(root_ + "/CONSOLE.TXT"); }
  // Whether any pixel of the screen's rectangle (inclusive) is not 0.
  static bool Inked(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    for (int32_t y = y1; y <= y2; ++y)
      for (int32_t x = x1; x <= x2; ++x)
        if (LS_GetPixel(LS_Var.Screen, x, y)) return true;
    return false;
  }
};

TEST_F(Console, LinesFillTheScreenThenScroll) {
  for (int i = 0; i < 59; ++i) SB_ConsolePrintf("L%d", i);
  EXPECT_EQ(SB_Var.ConsoleLine, 59);
  EXPECT_EQ(Line(0), "L0");
  SB_ConsolePrintf("L59");  // the last line is written, then the text moves up
  EXPECT_EQ(SB_Var.ConsoleLine, 59);
  EXPECT_EQ(Line(0), "L1");
  EXPECT_EQ(Line(58), "L59");
  EXPECT_EQ(Line(59), "");
  SB_ConsolePrintf("L60");
  EXPECT_EQ(SB_Var.ConsoleLine, 59);
  EXPECT_EQ(Line(0), "L2");
  EXPECT_EQ(Line(58), "L60");
  EXPECT_EQ(SB_PrintedLines().size(), 61u);
}

TEST_F(Console, TheScreenShowsEightyCharactersAndTheLogAll) {
  SB_SetFileOutput(1);
  SB_StartConsoleFile();
  const std::string hundred(100, 'h');
  SB_ConsolePrintf("%s", hundred.c_str());
  EXPECT_EQ(Line(0), hundred.substr(0, 80));
  const std::string long600(600, 'x');
  SB_ConsolePrintf("%s", long600.c_str());
  EXPECT_EQ(Line(1), long600.substr(0, 80));
  EXPECT_EQ(Log(), "CONSOLE\n" + hundred + "\n" + long600 + "\n");
  EXPECT_EQ(SB_PrintedLines().back(), long600);
}

TEST_F(Console, StartingTheLogMakesItAnew) {
  ztest::WriteFile(root_ + "/CONSOLE.TXT", "old log\n");
  SB_SetFileOutput(1);
  SB_StartConsoleFile();
  SB_ConsolePrintf("a %d", 1);
  EXPECT_EQ(Log(), "CONSOLE\na 1\n");
  SB_SetFileOutput(0);
  SB_ConsolePrintf("not logged");
  SB_StartConsoleFile();
  EXPECT_EQ(Log(), "CONSOLE\na 1\n");
}

TEST_F(Console, AMissingLogIsSkippedQuietly) {
  SB_SetFileOutput(1);
  SB_ConsolePrintf("no file");
  EXPECT_FALSE(ztest::FileExists(root_ + "/CONSOLE.TXT"));
  EXPECT_EQ(LS_GetLastError(), 0u);
  EXPECT_EQ(Line(0), "no file");
}

TEST_F(Console, TheStatusLineNeitherAdvancesNorLogs) {
  SB_SetFileOutput(1);
  SB_StartConsoleFile();
  SB_ConsolePrintf("first");
  SB_ConsoleStatus("Press any key to continue");
  EXPECT_EQ(SB_Var.ConsoleLine, 1);
  EXPECT_EQ(Line(1), "Press any key to continue");
  SB_ConsolePrintf("second");  // overwrites the status
  EXPECT_EQ(Line(1), "second");
  EXPECT_EQ(Log(), "CONSOLE\nfirst\nsecond\n");
  EXPECT_EQ(SB_PrintedLines(), (Lines{"first", "second"}));
}

TEST_F(Console, ClearingEmptiesTheText) {
  SB_ConsolePrintf("a");
  SB_ConsolePrintf("b");
  SB_ClearConsole();
  EXPECT_EQ(SB_Var.ConsoleLine, 0);
  for (int i = 0; i < SB_CONSOLELINES; ++i) EXPECT_EQ(Line(i), "");
}

TEST_F(Console, PrintingDrawsAndPumpsTheNetwork) {
  MakeScreen(16);
  SB_Var.DrawConsole = 1;
  SB_ConsolePrintf("A");
  EXPECT_EQ(ztest::Shell().netUpdates, 1);
  EXPECT_TRUE(Inked(0, 0, 7, 7));      // the letter
  EXPECT_FALSE(Inked(8, 0, 300, 15));  // nothing beside it
  ASSERT_NE(SB_Var.DevEnvScreen, nullptr);
  EXPECT_EQ(SB_Var.DevEnvScreen->Kind, BMAP_SYSMEM);
  EXPECT_EQ(SB_Var.DevEnvScreen->Depth, 16);
  ASSERT_EQ(SB_Var.NbBmapOwners, 1);
  EXPECT_STREQ(SB_BmapOwners[0].Owner, "dev env");
  SB_ConsolePrintf("B");  // the console bitmap is made once
  EXPECT_EQ(SB_Var.NbBmapOwners, 1);
  EXPECT_TRUE(Inked(0, 8, 7, 15));
}

TEST_F(Console, FreeMemoryIsRightAlignedAtTheTop) {
  MakeScreen(16);
  SB_Var.DrawConsole = 1;
  SB_DrawConsole();
  char text[32];
  const int length = std::snprintf(text, sizeof text, "%ldk", static_cast<long>(LS_GetFreeMem() / 1024));
  const int32_t left = (80 - length) * 8;
  EXPECT_TRUE(Inked(left, 0, left + 7, 7));
  EXPECT_TRUE(Inked(632, 0, 639, 7));  // the "k"
  EXPECT_FALSE(Inked(0, 0, left - 1, 7));
  EXPECT_FALSE(Inked(0, 8, 639, 479));
}

TEST_F(Console, TheBackgroundIsCopiedUnderTheText) {
  MakeScreen(16);
  SB_Var.DevEnvBackground = SB_CreateBmap(640, 480, 16, 0, "background");
  LS_FillRect(SB_Var.DevEnvBackground, 0, 0, 639, 479, 0x1234);
  SB_Var.DrawConsole = 1;
  SB_ConsolePrintf("text");
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 320, 300), 0x1234u);
  SB_FreeBmap(SB_Var.DevEnvBackground);
  SB_Var.DevEnvBackground = nullptr;
}

TEST_F(Console, WithoutDrawingTheScreenStaysAsItWas) {
  MakeScreen(16);
  LS_FillRect(LS_Var.Screen, 0, 0, 639, 479, 0x0F0F);
  SB_Var.DrawConsole = 0;
  SB_ConsolePrintf("hidden");
  EXPECT_EQ(Line(0), "hidden");
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 0, 0), 0x0F0Fu);
  EXPECT_EQ(SB_Var.DevEnvScreen, nullptr);
  EXPECT_EQ(ztest::Shell().netUpdates, 1);  // still pumped
}

TEST_F(Console, ReadyForANetworkRaceTheTextIsOnlyStored) {
  MakeScreen(16);
  LS_FillRect(LS_Var.Screen, 0, 0, 639, 479, 0x0F0F);
  SB_Var.DrawConsole = 1;
  for (XSTATE state : {XSTATE_READY2PLAY, XSTATE_PLAYING, XSTATE_ENDOFRACE}) {
    SB_Var.XState = state;
    SB_ConsolePrintf("state %u", state);
    SB_ConsoleStatus("status");
  }
  EXPECT_EQ(ztest::Shell().netUpdates, 0);
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 0, 0), 0x0F0Fu);
  EXPECT_EQ(Line(2), "state 10");
  EXPECT_EQ(Line(3), "status");
  SB_Var.XState = XSTATE_REMAPPINGCARS;
  SB_ConsolePrintf("drawn");
  EXPECT_EQ(ztest::Shell().netUpdates, 1);
  EXPECT_NE(LS_GetPixel(LS_Var.Screen, 0, 0), 0x0F0Fu);
}

TEST_F(Console, WithoutAScreenNothingIsDrawn) {
  SB_Var.DrawConsole = 1;
  SB_ConsolePrintf("no screen");
  EXPECT_EQ(SB_Var.DevEnvScreen, nullptr);
}

}  // namespace
