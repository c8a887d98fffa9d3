// Typed texts: TYPE with its pager, HELP, waits that cannot hang a headless
// run, and the help texts and scripts the data tree ships.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "console/commandtable.h"
#include "console/consoleedit.h"
#include "console/interpreter.h"
#include "shell/console.h"
#include "shell/gameevent.h"
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
  EXPECT_EQ(SB_PrintedLines().size(), 5u);  // four carriage returns
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
std::vector<fs::path> ShippedTexts() {
  const fs::path data = fs::path(ZENTROVA_SOURCE_DIR) / "data";
  std::vector<fs::path> texts;
  for (const auto& entry : fs::directory_iterator(data / "dat")) texts.push_back(entry.path());
  for (const auto& entry : fs::directory_iterator(data)) {
    std::string extension = entry.path().extension().string();
    for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (entry.is_regular_file() && extension == ".TXT") texts.push_back(entry.path());
  }
  return texts;
}

TEST(ShippedTexts, EndTheirLinesWithCarriageReturnAndLineFeed) {
  const std::vector<fs::path> texts = ShippedTexts();
  EXPECT_GE(texts.size(), 3u);  // the start-up script, HELP and INFO
  for (const fs::path& path : texts) {
    const std::string text = ztest::ReadFile(path.string());
    ASSERT_GE(text.size(), 2u) << path;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << path;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r') {
        EXPECT_EQ(text[i + 1], '\n') << path << " at " << i;
      } else if (text[i] == '\n') {
        EXPECT_EQ(i > 0 ? text[i - 1] : 0, '\r') << path << " at " << i;
      }
    }
  }
}

// The interpreter's words and the race and network words.
const char* const kWords[] = {
    "SAVECONSOLE", "TEXTURESCALE", "NUMBEROFCARS", "SAVETEXTCARS", "LOADTEXTCARS", "COURSEREPLAYS",
    "ASKSAVEREPLAY", "SAVEREPLAY", "SCALE", "LOADREPLAY", "INITREPLAY", "CALIBRATE", "CLEARCONSOLE", "TYPE",
    "RUN", "HELP", "INFO", "PRELOADFLI", "DISCARDFLI", "PLAYMOD", "STOPMOD", "QUIT", "CLS", "MEMINFO", "MODE",
    "MAP", "CARNUM", "CARNUMEXIST", "BUILDMAP", "BUILDBANK", "SIMPLIFICATION", "VIDEOMODE", "FLAT", "JAPAN",
    "NOCACHE", "NORENDER", "SLOWRENDER", "VIDEOLIST", "AUTODETAIL", "EDITORMODE", "JOYSTICKON",
    "JOYSTICKVOLANT", "DRAWDEVINFO", "USINGSMOKE", "USINGCARS", "FINDBOSSES", "FIXEDGAMESPEED",
    "FLOATINGGAMESPEED", "GAMESPEEDMODE", "DRAWINFO", "USINGSOUND", "AUTOMATIC", "MIPMAP", "USINGOBJECTS",
    "USINGPVS", "VERSION", "PVRVERSION", "VIEWIMAGE", "TEXTUREREDUCTION", "CAREDITOR", "ECHO",
    "DEFAULTDIRECTORY", "TIME", "SHADOW", "LIGHT", "DETAIL", "RUFISPLAYING", "PVRMIPMAP", "MEMORY",
    "ZORIRADEMO", "ZORIRATIMEOUT", "ZORIRANIGHTDAY", "ZORIRACAMERA", "CDSONG", "DRAWCONSOLE", "DELAY",
    "LOADBSPLINE", "SAVEBSPLINE", "SAVEBSPLINEMETER", "MAKEROAD", "COPY", "CPU", "CALC_VITRE", "INTERFACE",
    "INTRO", "INTERKEYB", "INTERJOY", "INTERCUST", "OUTPUT", "COMDEX", "MAKEICONE", "UNALPHA", "BMAPTO16",
    "KEYQUITBATCH",
    // Race and network.
    "ENDOFRACE", "STARTPRACTICE", "RESTARTRACE", "LAUNCHRACE", "FAME", "HALLOFFAME", "RACEMODE", "BROADCAST",
    "PLAY", "WATCH", "JOIN", "LEAVE", "CREATE", "SERVER", "SERVERSLIST", "MYSERVERSLIST", "PLAYERSLIST",
    "PROTOCOLSLIST", "PROTOCOL", "INFOS", "LIST", "STARTNET", "CLOSENET"};

// The command table tries the console's words (the list up to
// KEYQUITBATCH) in the list's order.
TEST(ShippedTexts, TheCommandTableHoldsEveryConsoleWordInOrder) {
  const SB_COMMAND* previous = nullptr;
  for (const char* word : kWords) {
    const SB_COMMAND* command = SB_FindCommand(word);
    ASSERT_NE(command, nullptr) << word;
    if (previous) {
      EXPECT_EQ(command, previous + 1) << word;
    }
    if (std::string(word) == "KEYQUITBATCH") break;
    previous = command;
  }
}

TEST(ShippedTexts, HelpNamesEveryWordInLinesOf80Characters) {
  std::istringstream help(ztest::ReadFile(ZENTROVA_SOURCE_DIR "/data/HELP.TXT"));
  std::vector<std::string> named;
  for (std::string line; std::getline(help, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    EXPECT_LE(line.size(), 80u) << line;
    // Words are runs of capitals, digits and underscores.
    std::string word;
    for (char c : line + ' ') {
      if (std::isupper(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)) ||
          c == '_') {
        word += c;
      } else if (!word.empty()) {
        named.push_back(word);
        word.clear();
      }
    }
  }
  for (const char* word : kWords)
    EXPECT_NE(std::find(named.begin(), named.end(), word), named.end()) << word << " is not in HELP.TXT";
}

}  // namespace
