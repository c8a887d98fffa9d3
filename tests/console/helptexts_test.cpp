// Typed texts: TYPE with its pager, HELP, waits that cannot hang a headless
// run, and the help texts and scripts the data tree ships.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "console/commandtable.h"
#include "console/consoleedit.h"
#include "console/interpreter.h"
#include "shell/console.h"
#include "shell/gameevent.h"
#include "shell/textlines.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "tests/fakes/shell_fakes.h"
#include "tests/fakes/typist.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class HelpTexts : public ztest::ShellTest {
 protected:
  void TearDown() override {
    ztest::StopTyping();
    ShellTest::TearDown();
  }
};

TEST_F(HelpTexts, TypeCopesWithMissingEmptyLongAndBinaryFiles) {
  SB_ExecCommand("@TYPE missing.txt");
  EXPECT_EQ(SB_PrintedLines(), Lines{"File error... type DIR for directory..."});

  ztest::WriteFile(root_ + "/EMPTY.TXT", "");
  SB_ClearPrintedLines();
  SB_ExecCommand("@TYPE empty.txt");
  EXPECT_EQ(SB_PrintedLines(), Lines{""});

  ztest::WriteFile(root_ + "/LONG.TXT", std::string(300, 'x') + "\r\nend");
  SB_ClearPrintedLines();
  SB_ExecCommand("@TYPE long.txt");
  EXPECT_EQ(SB_PrintedLines(), (Lines{std::string(255, 'x'), "end"}));

  std::string binary;
  for (int round = 0; round < 4; ++round)
    for (int c = 0; c < 256; ++c) binary += static_cast<char>(c);
  ztest::WriteFile(root_ + "/BINARY.BIN", binary);
  SB_ClearPrintedLines();
  SB_ExecCommand("@TYPE binary.bin");
  EXPECT_EQ(SB_PrintedLines().size(), 9u);  // four line feeds and four carriage returns
}

TEST_F(HelpTexts, HelpPagesAfter45LinesAndGoesOnWithAKey) {
  std::string text;
  for (int i = 1; i <= 50; ++i) text += "line " + std::to_string(i) + "\r\n";
  ztest::WriteFile(root_ + "/HELP.TXT", text);
  ztest::StartTyping("");  // answers the pager's prompt
  EXPECT_EQ(SB_ExecCommand("HELP"), 1);
  EXPECT_EQ(ztest::PagerPrompts(), 1);
  EXPECT_EQ(LSI_Var.NbKeys, 0);  // the pager took the key
  const Lines& lines = SB_PrintedLines();
  ASSERT_EQ(lines.size(), 52u);  // the echo, 50 lines and the empty last one
  EXPECT_EQ(lines[0], ">HELP");
  EXPECT_EQ(lines[50], "line 50");
}

TEST_F(HelpTexts, HeadlessWaitsEndAtOnce) {
  // No source of input: nothing can be typed any more.
  EXPECT_EQ(SB_WaitKey(), 0);
  char answer[SB_INPUTSIZE];
  LSI_PutKey('y');
  SB_ConsoleInput("Save? ", answer);
  EXPECT_STREQ(answer, "y");  // what was injected is still taken
  SB_ConsoleInput("Again? ", answer);
  EXPECT_STREQ(answer, "");
  EXPECT_EQ(SB_PrintedLines(), (Lines{"Save? y", "Again? "}));
}

// The shipped scripts and help texts end every line with CR LF: batches
// and TYPE split lines at carriage returns only.
// Every text file of the data tree, as the console reads it: lines of
// printable text that fit its 80 columns, whatever the line ends.
TEST(ShippedTexts, ReadAsPrintableLinesOfTheConsole) {
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(ZENTROVA_SOURCE_DIR) / "data")) {
    std::string extension = entry.path().extension().string();
    for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!entry.is_regular_file() || extension != ".TXT") continue;
    ++files;
    const std::string text = ztest::ReadFile(entry.path().string());
    SB_ForEachLine(text.data(), static_cast<int32_t>(text.size()), [&](const char* line) {
      const std::string l = line;
      EXPECT_LE(l.size(), 80u) << entry.path() << ": " << l;
      EXPECT_TRUE(std::all_of(l.begin(), l.end(), [](char c) { return c >= ' ' || c == '\t'; }))
          << entry.path() << ": " << l;
      return true;
    });
  }
  EXPECT_GE(files, 4);  // the start-up script, HELP, INFO and the race parameters
}

// HELP lists exactly the words the console answers: the command table's
// (SAVECONSOLE to KEYQUITBATCH, the console's own) and the race and
// network words. Each of its command lines
// is a syntax, at least two blanks and a description, within 80 columns.
TEST(ShippedTexts, HelpListsExactlyTheWordsTheConsoleAnswers) {
  std::set<std::string> answered = {
      "ENDOFRACE", "STARTPRACTICE", "RESTARTRACE", "LAUNCHRACE",  "FAME",         "HALLOFFAME",
      "RACEMODE",  "BROADCAST",     "PLAY",        "WATCH",       "JOIN",         "LEAVE",
      "CREATE",    "SERVER",        "SERVERSLIST", "MYSERVERSLIST", "PLAYERSLIST", "PROTOCOLSLIST",
      "PROTOCOL",  "INFOS",         "LIST",        "STARTNET",    "CLOSENET"};
  for (const SB_COMMAND* c = SB_FindCommand("SAVECONSOLE"); c <= SB_FindCommand("KEYQUITBATCH"); ++c)
    answered.insert(c->Keyword);
  std::set<std::string> listed;
  std::istringstream help(ztest::ReadFile(ZENTROVA_SOURCE_DIR "/data/HELP.TXT"));
  for (std::string line; std::getline(help, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    EXPECT_LE(line.size(), 80u) << line;
    if (line.rfind("  ", 0) != 0) continue;
    const size_t gap = line.find("  ", 2);
    ASSERT_LT(gap, line.size()) << "no description apart: " << line;
    // The keyword, and each further keyword after a comma.
    std::istringstream syntax(line.substr(2, gap - 2));
    bool keyword = true;
    for (std::string word; syntax >> word; keyword = word.back() == ',') {
      if (keyword) listed.insert(word.back() == ',' ? word.substr(0, word.size() - 1) : word);
    }
  }
  EXPECT_EQ(listed, answered);
}

}  // namespace
