// The command interpreter: echo, words, the keyword table, the race and
// network interpreter behind it, and the limits of lines and words.
#include "console/interpreter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/commandtable.h"
#include "datagen/fliwrite.h"
#include "frontend/media.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/fli.h"
#include "tests/fakes/shell_fakes.h"

namespace {

using Lines = std::vector<std::string>;
using Words = std::vector<std::string>;

class Interpreter : public ztest::ShellTest {};

TEST_F(Interpreter, AnAtSignRunsALineWithoutItsEcho) {
  SB_ConsolePrintf("old text");
  EXPECT_EQ(SB_ExecCommand("@CLS"), 1);
  EXPECT_EQ(SB_PrintedLines(), Lines{"old text"});
  EXPECT_EQ(Line(0), "");
  EXPECT_EQ(SB_Var.ConsoleLine, 0);

  SB_ConsolePrintf("old text");
  EXPECT_EQ(SB_ExecCommand("CLS"), 1);
  EXPECT_EQ(SB_PrintedLines(), (Lines{"old text", "old text", ">CLS"}));
  EXPECT_EQ(Line(0), "");  // the echo was cleared with the rest
}

TEST_F(Interpreter, EchoPrintsTheRestOfTheLineAsTyped) {
  EXPECT_EQ(SB_ExecCommand("%s", "echo 100% done"), 1);
  EXPECT_EQ(SB_PrintedLines(), (Lines{">echo 100% done", "100% done"}));
  SB_ClearPrintedLines();
  EXPECT_EQ(SB_ExecCommand("%s", "@ECHO  two  blanks %s %n"), 1);
  EXPECT_EQ(SB_PrintedLines(), Lines{" two  blanks %s %n"});
}

TEST_F(Interpreter, AnEmptyLineIsHandledQuietly) {
  EXPECT_EQ(SB_ExecCommand("%s", ""), 1);
  EXPECT_TRUE(SB_PrintedLines().empty());
  EXPECT_TRUE(ztest::Shell().netCommands.empty());
}

TEST_F(Interpreter, UnknownWordsGoToTheNetworkThenGiveASyntaxError) {
  EXPECT_EQ(SB_ExecCommand("%s", "foo  bar baz"), 0);
  ASSERT_EQ(ztest::Shell().netCommands.size(), 1u);
  EXPECT_EQ(ztest::Shell().netCommands[0], (Words{"", "BAR", "BAZ", "", " bar baz", "FOO"}));
  EXPECT_EQ(SB_PrintedLines(), (Lines{">foo  bar baz", "Syntax error, or batch error !!!"}));
}

TEST_F(Interpreter, AWordTheNetworkKnowsIsHandled) {
  EXPECT_EQ(SB_ExecCommand("@closenet now"), 1);
  EXPECT_TRUE(SB_PrintedLines().empty());
}

TEST_F(Interpreter, ALineBeginningWithABlankHasNoKeywordAndNoMessage) {
  EXPECT_EQ(SB_ExecCommand("@ ECHO x"), 0);
  EXPECT_TRUE(SB_PrintedLines().empty());
  ASSERT_EQ(ztest::Shell().netCommands.size(), 1u);
  EXPECT_EQ(ztest::Shell().netCommands[0], (Words{"ECHO", "X", "", "", "ECHO x", ""}));
}

TEST_F(Interpreter, KeywordsMatchWholeInAnyCase) {
  EXPECT_EQ(SB_ExecCommand("@quit"), 1);
  EXPECT_EQ(SB_Var.QuitConsole, 1);
  SB_Var.QuitConsole = 0;
  for (const char* line : {"@QUI", "@QUITS", "@Qu1t"}) {
    EXPECT_EQ(SB_ExecCommand("%s", line), 0) << line;
    EXPECT_EQ(SB_Var.QuitConsole, 0) << line;
  }
  EXPECT_EQ(ztest::Shell().netCommands.size(), 4u);  // QUIT's own "@CLOSENET", then the three
  EXPECT_EQ(SB_ExecCommand("@QuIt"), 1);
  EXPECT_EQ(SB_Var.QuitConsole, 1);
}

// A one-frame film written where PRELOADFLI looks for it.
void PutRaceFilm(const std::string& root) {
  const datagen::FilmPicture picture{4, 2, std::vector<uint8_t>(8, 7)};
  const std::vector<uint8_t> bytes =
      datagen::EncodeFilm(datagen::MakeFilm(true, {picture}, std::vector<uint8_t>(768, 50), 66));
  ztest::WriteFile(root + "/INTRO/ZENTRACE.FLC", std::string(bytes.begin(), bytes.end()));
}

TEST_F(Interpreter, QuitClosesTheMusicTheFilmAndTheNetworkQuietly) {
  ztest::WriteFile(root_ + "/MOD/TEST.MOD", "not a module");  // starts the system, loads nothing
  PutRaceFilm(root_);
  SB_ExecCommand("@PLAYMOD");
  SB_ExecCommand("@PRELOADFLI");
  ASSERT_NE(SB_Var.PreloadedFli, nullptr);
  SB_ClearPrintedLines();
  EXPECT_EQ(SB_ExecCommand("QUIT"), 1);
  EXPECT_EQ(SB_PrintedLines(), (Lines{">QUIT", "Closing module system.", "Discarding .FLI file"}));
  EXPECT_EQ(SB_Var.PreloadedFli, nullptr);
  ASSERT_FALSE(ztest::Shell().netCommands.empty());
  EXPECT_EQ(ztest::Shell().netCommands.back()[5], "CLOSENET");
  EXPECT_EQ(SB_Var.QuitConsole, 1);
  EXPECT_EQ(SB_Var.ModuleSystemOn, 0);
}

// PRELOADFLI loads the race film once and keeps it; DISCARDFLI frees it,
// and says so only when there was one.
TEST_F(Interpreter, FilmWordsLoadKeepAndFreeTheRaceFilm) {
  EXPECT_EQ(SB_ExecCommand("@PRELOADFLI"), 1);
  EXPECT_EQ(SB_Var.PreloadedFli, nullptr);
  PutRaceFilm(root_);
  EXPECT_EQ(SB_ExecCommand("@PRELOADFLI"), 1);
  FLI* film = SB_Var.PreloadedFli;
  ASSERT_NE(film, nullptr);
  EXPECT_EQ(SB_ExecCommand("@PRELOADFLI"), 1);
  EXPECT_EQ(SB_Var.PreloadedFli, film);
  EXPECT_EQ(SB_ExecCommand("@DISCARDFLI extra"), 1);
  EXPECT_EQ(SB_ExecCommand("@DISCARDFLI"), 1);
  EXPECT_EQ(SB_PrintedLines(), (Lines{"Preloading .FLI file", "Preloading .FLI file", ".FLI already in memory",
                                      "Discarding .FLI file"}));
  EXPECT_EQ(SB_Var.PreloadedFli, nullptr);
}

TEST_F(Interpreter, ClearConsoleEmptiesTheHistory) {
  for (int i = 0; i < SB_HISTORYLINES; ++i) SB_Var.ConsoleHistory[i][0] = 'x';
  EXPECT_EQ(SB_ExecCommand("@CLEARCONSOLE"), 1);
  for (int i = 0; i < SB_HISTORYLINES; ++i) EXPECT_EQ(SB_Var.ConsoleHistory[i][0], 0);
}

TEST_F(Interpreter, LongLinesAndWordsAreCut) {
  const std::string longWord(300, 'w');
  EXPECT_EQ(SB_ExecCommand("%s", std::string("@").append(longWord).append(" ").append(150, 'v').append(" x").c_str()), 0);
  EXPECT_EQ(SB_ExecCommand("%s", std::string("@FOO ").append(300, 'a').c_str()), 0);
  ASSERT_EQ(ztest::Shell().netCommands.size(), 2u);
  const Words& first = ztest::Shell().netCommands[0];
  EXPECT_EQ(first[5], std::string(255, 'W'));
  EXPECT_EQ(first[0], std::string(150, 'V'));
  EXPECT_EQ(first[1], "X");
  EXPECT_EQ(first[4], std::string(150, 'v') + " x");
  const Words& second = ztest::Shell().netCommands[1];
  EXPECT_EQ(second[0], std::string(255, 'A'));
  EXPECT_EQ(second[4], std::string(255, 'a'));

  SB_ClearPrintedLines();
  const std::string line = std::string("ECHO ").append(600, 'e');
  EXPECT_EQ(SB_ExecCommand("%s", line.c_str()), 1);
  ASSERT_EQ(SB_PrintedLines().size(), 2u);
  EXPECT_EQ(SB_PrintedLines()[0], std::string(">").append(line, 0, 511));
  EXPECT_EQ(SB_PrintedLines()[1], std::string(255, 'e'));
}

TEST_F(Interpreter, WordsSplitAtSingleBlanks) {
  SB_COMMANDWORDS words;
  SB_SplitCommandLine("map  circuit\ttab a b c d e", &words);
  EXPECT_STREQ(words.Keyword, "MAP");
  EXPECT_STREQ(words.Args[0], "");
  EXPECT_STREQ(words.Args[1], "CIRCUIT\tTAB");
  EXPECT_STREQ(words.Args[2], "A");
  EXPECT_STREQ(words.Args[3], "B");
  EXPECT_STREQ(words.Rest, " circuit\ttab a b c d e");
  SB_SplitCommandLine("run", &words);
  EXPECT_STREQ(words.Keyword, "RUN");
  EXPECT_STREQ(words.Rest, "");
  EXPECT_STREQ(words.Args[0], "");
  SB_SplitCommandLine("echo ", &words);
  EXPECT_STREQ(words.Rest, "");
  EXPECT_STREQ(words.Args[0], "");
}

TEST_F(Interpreter, TheTableKeepsItsOrderOfKeywords) {
  for (const char* keyword : {"CLEARCONSOLE", "RUN", "PRELOADFLI", "DISCARDFLI", "PLAYMOD", "STOPMOD", "QUIT",
                              "CLS", "ECHO", "KEYQUITBATCH"})
    EXPECT_NE(SB_FindCommand(keyword), nullptr) << keyword;
  EXPECT_EQ(SB_FindCommand("echo"), nullptr);  // words arrive upper-cased
  EXPECT_EQ(SB_FindCommand(""), nullptr);
  EXPECT_EQ(SB_FindCommand(nullptr), nullptr);
}

TEST(Blanks, SqueezeKeepsTheFirstOfEachRun) {
  char line[] = "  ECHO  a ";
  SB_SqueezeBlanks(line);
  EXPECT_STREQ(line, "ECHO a ");
  char tabs[] = "\t\tX\t \t Y\x01\x02";
  SB_SqueezeBlanks(tabs);
  EXPECT_STREQ(tabs, "X\tY\x01");
  char blank[] = "   \t ";
  SB_SqueezeBlanks(blank);
  EXPECT_STREQ(blank, "");
  char high[] = " \xE9t\xE9";
  SB_SqueezeBlanks(high);
  EXPECT_STREQ(high, "\xE9t\xE9");
}

TEST(Blanks, TrimLeftRemovesBlanksAndTabs) {
  char line[] = " \t ECHO x ";
  SB_TrimLeft(line);
  EXPECT_STREQ(line, "ECHO x ");
  char none[] = "x";
  SB_TrimLeft(none);
  EXPECT_STREQ(none, "x");
}

TEST(BatchArgs, MarkersAreReplacedOnce) {
  char line[SB_WORDSIZE] = "x%1y%1";
  SB_ReplaceBatchArg(line, '1', "4");
  EXPECT_STREQ(line, "x4y4");
  char empty[SB_WORDSIZE] = "x%1y";
  SB_ReplaceBatchArg(empty, '1', "");
  EXPECT_STREQ(empty, "xy");
  char again[SB_WORDSIZE] = "%1-%1";
  SB_ReplaceBatchArg(again, '1', "%1%2");
  EXPECT_STREQ(again, "%1%2-%1%2");
  SB_ReplaceBatchArg(again, '2', "b");
  EXPECT_STREQ(again, "%1b-%1b");
}

TEST(BatchArgs, TheLineIsCutToItsBuffer) {
  char line[SB_WORDSIZE] = "%1%1%1";
  SB_ReplaceBatchArg(line, '1', std::string(200, 'a').c_str());
  EXPECT_EQ(std::string(line), std::string(255, 'a'));
  char small[8] = "ab%1cd";
  SB_ReplaceBatchArg(small, '1', "123456", sizeof small);
  EXPECT_STREQ(small, "ab12345");
}

}  // namespace
