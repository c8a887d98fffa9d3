// Batch files: line ends, arguments, nesting, breaks, missing files and
// damaged text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/interpreter.h"
#include "platform/window.h"
#include "shell/console.h"
#include "shell/keyfile.h"
#include "shell/sbvar.h"
#include "tests/fakes/shell_fakes.h"

namespace {

using Lines = std::vector<std::string>;

class Batch : public ztest::ShellTest {
 protected:
  void Script(const std::string& name, const std::string& text) {
    ztest::WriteFile(root_ + "/DAT/" + name, text);
  }
  // Runs the line without its echo and returns what it printed.
  Lines Run(const std::string& line) {
    SB_ClearPrintedLines();
    SB_ExecCommand("%s", ("@" + line).c_str());
    return SB_PrintedLines();
  }
};

// CR LF, LF and CR end lines alike, mixed too, in batches, TYPE and keyed
// files.
TEST_F(Batch, EveryLineEndEndsALine) {
  const std::vector<std::vector<std::string>> kEnds = {
      {"\r\n", "\r\n", "\r\n"}, {"\n", "\n", "\n"}, {"\r", "\r", "\r"}, {"\n", "\r", "\r\n"}};
  for (const std::vector<std::string>& end : kEnds) {
    const std::string text = "@ECHO NAME: x" + end[0] + "@ECHO N: 7" + end[1] + end[2];
    Script("A.TXT", text);
    EXPECT_EQ(Run("RUN A.TXT"), (Lines{"NAME: x", "N: 7"})) << text;
    EXPECT_EQ(Run("TYPE DAT>A.TXT"), (Lines{"@ECHO NAME: x", "@ECHO N: 7", "", ""})) << text;
    TKEYFILE* keyed = SB_OpenKeyFile("DAT>A.TXT");
    char name[8] = {};
    int32_t n = 0;
    EXPECT_EQ(SB_ScanKeyFile(keyed, 1, "NAME: %sN: %d", {name, &n}), 2) << text;
    EXPECT_EQ(std::pair(std::string(name), n), std::pair(std::string("x"), 7)) << text;
    SB_CloseKeyFile(keyed);
  }
}

TEST_F(Batch, TheLastLineRunsWithoutACarriageReturn) {
  Script("A.TXT", "@ECHO one\r\n@ECHO last");
  EXPECT_EQ(Run("RUN A.TXT"), (Lines{"one", "last"}));
}

TEST_F(Batch, LinesAreEchoedUnlessMarked) {
  Script("A.TXT", "ECHO one\r\n\r\n");
  EXPECT_EQ(Run("RUN A.TXT"), (Lines{">ECHO one", "one"}));
}

TEST_F(Batch, ArgumentsReplaceTheirMarkers) {
  Script("ARGS.TXT", " \t@ECHO x%1y\r\n@ECHO [%2]");
  EXPECT_EQ(Run("RUN ARGS.TXT 4 five"), (Lines{"x4y", "[FIVE]"}));
  EXPECT_EQ(Run("RUN ARGS.TXT"), (Lines{"xy", "[]"}));
}

TEST_F(Batch, InnerCommandsLeaveTheBatchsArgumentsAlone) {
  Script("B.TXT", "@ECHO %1\r\n@ECHO %2\r\n@ECHO %1 %2");
  EXPECT_EQ(Run("RUN B.TXT X Y"), (Lines{"X", "Y", "X Y"}));
}

TEST_F(Batch, ANestedRunReturnsToTheOuterBatch) {
  Script("OUTER.TXT", "@ECHO 1\r\n@RUN INNER.TXT %1\r\n@ECHO 3");
  Script("INNER.TXT", "@ECHO 2%1");
  EXPECT_EQ(Run("RUN OUTER.TXT b"), (Lines{"1", "2B", "3"}));
  EXPECT_EQ(SB_Var.BatchDepth, 0);
}

TEST_F(Batch, ABatchRunningItselfStopsAtSixteen) {
  Script("SELF.TXT", "@ECHO in\r\n@RUN SELF.TXT\r\n@ECHO out");
  const Lines printed = Run("RUN SELF.TXT");
  Lines expected(16, "in");
  expected.push_back("Batch nesting too deep !!!");
  EXPECT_EQ(printed, expected);  // the break stops every level
  EXPECT_EQ(SB_Var.BatchDepth, 0);
  EXPECT_EQ(SB_Var.BatchBreak, 1);
  EXPECT_EQ(Run("RUN SELF.TXT").size(), 17u);  // a new batch clears the break
}

TEST_F(Batch, ABreakStopsEveryBatchBeforeItsNextLine) {
  Script("OUTER.TXT", "@ECHO 1\r\n@RUN INNER.TXT\r\n@ECHO 4");
  Script("INNER.TXT", "@ECHO 2\r\n@BREAKNOW\r\n@ECHO 3");
  struct Breaker {
    static void OnNet() {
      const auto& commands = ztest::Shell().netCommands;
      if (!commands.empty() && commands.back()[5] == "BREAKNOW") SB_BreakBatch();
    }
  };
  ztest::Shell().onNetUpdate = Breaker::OnNet;
  const Lines printed = Run("RUN OUTER.TXT");
  EXPECT_EQ(printed, (Lines{"1", "2", "Syntax error, or batch error !!!"}));
}

TEST_F(Batch, ShiftEscapeBreaksABatchThatAsksForIt) {
  Script("OUTER.TXT", "@ECHO 1\r\n@RUN INNER.TXT\r\n@ECHO 4");
  Script("INNER.TXT", "@ECHO 2\r\n@KEYQUITBATCH\r\n@ECHO 3");
  plat::SetKeyState(16, true);
  plat::SetKeyState(27, true);
  EXPECT_EQ(Run("RUN OUTER.TXT"), (Lines{"1", "2", "Batch execution user break !!!"}));
  Script("PLAIN.TXT", "@ECHO 1\r\n@ECHO 2");  // no KEYQUITBATCH: the keys do nothing
  EXPECT_EQ(Run("RUN PLAIN.TXT"), (Lines{"1", "2"}));
  plat::SetKeyState(27, false);  // Shift alone
  EXPECT_EQ(Run("RUN OUTER.TXT"), (Lines{"1", "2", "3", "4"}));
}

TEST_F(Batch, MissingFilesSaySo) {
  EXPECT_EQ(Run("RUN NONE.TXT"), Lines{"File error... type DIR for directory..."});
  EXPECT_EQ(Run("RUN"), Lines{});
  const std::string longName(255, 'n');
  EXPECT_EQ(Run("RUN " + longName), Lines{"File error... type DIR for directory..."});
}

TEST_F(Batch, AnEmptyFileRunsAndPrintsNothing) {
  Script("EMPTY.TXT", "");
  EXPECT_EQ(Run("RUN EMPTY.TXT"), Lines{});
}

TEST_F(Batch, AFileTooLargeToLoadSaysSo) {
  Script("HUGE.TXT", std::string(5 << 20, 'x'));
  EXPECT_EQ(Run("RUN HUGE.TXT"), Lines{"Internal error... error wile loading..."});
}

TEST_F(Batch, AnEndlessLineIsCutTo255Characters) {
  Script("LONG.TXT", "@ECHO " + std::string(100000, 'a'));
  EXPECT_EQ(Run("RUN LONG.TXT"), Lines{std::string(249, 'a')});
}

TEST_F(Batch, ControlAndHighBytesDoNoHarm) {
  std::string text = "@ECHO a";
  text += '\0';
  text += "b\r\n@ECHO \xE9\xFF\x80\x01\r\n";
  text += std::string(1, '\0') + "\r\n@%\r\n@%%1%\r\n@ECHO %s%n%d";
  Script("BYTES.TXT", text);
  const std::string syntax = "Syntax error, or batch error !!!";
  EXPECT_EQ(Run("RUN BYTES.TXT"), (Lines{"a", "\xE9\xFF\x80\x01", syntax, syntax, "%s%n%d"}));
}

// The menus' race scripts as shipped, run with the settings a start-up of
// only INTERFACE leaves (no cars): each race uses its cars. The races run
// their race clock (TIME OFF) also when typed at the console after the
// shipped start-up's TIME ON; the demonstration keeps the switch.
TEST_F(Batch, TheMenusRaceScriptsUseCars) {
  struct Row {
    const char* script;
    bool timeOff;
  };
  const Row rows[] = {{"PMONTRE", true}, {"GAME", true}, {"PNET", true}, {"PJNET", true}, {"DEMO", false}};
  for (const Row& r : rows)
    for (int32_t before : {0, 1}) {
      const std::string text = ztest::ReadFile(std::string(ZENTROVA_SOURCE_DIR) + "/data/dat/" + r.script);
      ASSERT_FALSE(text.empty()) << r.script;
      Script(r.script, text);
      SB_Var.UsingCars = 0;
      SB_Var.NoTimeLimit = before;
      Run(std::string("RUN ") + r.script);
      EXPECT_EQ(SB_Var.UsingCars, 1) << r.script;
      EXPECT_EQ(SB_Var.NoTimeLimit, r.timeOff ? 0 : before) << r.script;
    }
}

}  // namespace
