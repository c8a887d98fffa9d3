// Errors and their modes (the one home of the report's layout), WIN.INI
// switches, the run log and the library's start and close.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/window.h"
#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"
#include "tests/support/testenv.h"

namespace {

using ztest::ExitCodeOf;

// True when text ends with the pattern, where "9" stands for any digit.
bool EndsLike(const std::string& text, const std::string& pattern) {
  if (text.size() < pattern.size()) return false;
  const std::string tail = text.substr(text.size() - pattern.size());
  for (size_t i = 0; i < pattern.size(); ++i)
    if (pattern[i] == '9' ? !std::isdigit(static_cast<unsigned char>(tail[i])) : tail[i] != pattern[i]) return false;
  return true;
}

class ErrorTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary();
  }
};

TEST_F(ErrorTest, EachModeActsOnItsOwn) {
  EXPECT_EQ(LSI_Var.ErrorMode, LS_ERRMODE_FATAL);  // set at start
  struct Row {
    uint32_t mode;
    int32_t accepted, exitCode;
    uint32_t lastError;
    size_t boxes;
    int beeps;
  } rows[] = {{LS_ERRMODE_FATAL, 1, 1, 4, 1, 0}, {LS_ERRMODE_KEEP, 1, -999, 4, 0, 0},
              {LS_ERRMODE_IGNORE, 1, -999, 77, 0, 0}, {LS_ERRMODE_LOG, 1, -999, 4, 0, 0},
              {LS_ERRMODE_BEEP, 1, -999, 4, 0, 1}, {9, 0, -999, 77, 0, 0}};  // an invalid mode: nothing at all
  for (const Row& r : rows) {
    plat::ClearShownMessageBoxes();
    plat::ResetBeepCount();
    LSI_Var.LastError = 77;
    const int32_t accepted = LS_SetErrorMode(r.mode);
    const int32_t exitCode = ExitCodeOf([] { LS_Error(4, " : %s", "C:/X"); });
    EXPECT_EQ((std::tuple{accepted, exitCode, LS_GetLastError(), Boxes().size(), plat::BeepCount()}),
              (std::tuple{r.accepted, r.exitCode, r.lastError, r.boxes, r.beeps})) << r.mode;
  }
  EXPECT_EQ(ztest::ReadFile(root_ + "/LSDEBUG.ERM"), "LS_ERROR: 4       File not found  : C:/X \n\n");
}

TEST_F(ErrorTest, ReportsNameTheirCodeAndText) {
  EXPECT_EQ(ExitCodeOf([] { LS_Error(4, " : %s", "C:/X"); }), 1);
  EXPECT_EQ(Boxes().back(), "LS_ERROR: 4       File not found  : C:/X \n");
  LS_SetErrorMode(LS_ERRMODE_LOG);
  LS_Error(12, " : %ld", 64L);
  LS_Error(10, "%s", "");
  LS_Error(24, "x");
  LS_Error(47, "y");
  EXPECT_EQ(ErrorFile(),
            "LS_ERROR: 12     LS_GetMem failed  : 64 \n\n"
            "LS_ERROR: 10      LS_Close Failed  \n\n"
            "LS_ERROR: 24 Numéro de scène incorrect x \n\n"
            "LS_ERROR: 47 Zone déjà affectée y \n\n");
  // No file can be made: silence.
  LS_SetCurrentDir(">missing>dir");
  LS_Error(4, "x");
  EXPECT_EQ(LS_GetLastError(), 4u);
  // A code past the table shows a box of its own; long texts are bounded.
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(ExitCodeOf([] { LS_Error(99, "x"); }), -999);
  EXPECT_EQ(Boxes().back(), "Error no doesn't exist");
  const std::string path(3000, 'P');
  EXPECT_EQ(ExitCodeOf([&] { LS_Error(4, " : %s", path.c_str()); }), 1);
  EXPECT_LT(Boxes().back().size(), 1300u);
  EXPECT_EQ(Boxes().back().rfind("LS_ERROR: 4 ", 0), 0u);
}

TEST_F(ErrorTest, HookThatShowsTheErrorSuppressesTheBoxButNotTheExit) {
  static std::string hookText;
  LS_SetErrorHook([](const char* text) -> int32_t {
    hookText = text;
    return 1;
  });
  EXPECT_EQ(ExitCodeOf([] { LS_Error(0, "boom"); }), 1);
  EXPECT_EQ(hookText, "LS_ERROR: 0           User Error boom \n");
  EXPECT_TRUE(Boxes().empty());
  LS_SetErrorHook([](const char*) -> int32_t { return 0; });
  EXPECT_EQ(ExitCodeOf([] { LS_Error(0, "boom"); }), 1);
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(ErrorTest, MessageAndDisplayErrorNames) {
  LS_Message("value %d", 42);
  EXPECT_EQ(Boxes().back(), "value 42");
  EXPECT_STREQ(LSYS_GetDDrawErrorText(4), "DDERR_SURFACELOST");
  EXPECT_STREQ(LSYS_GetDDrawErrorText(12345), "Unknown Error Code");
}

// WIN.INI switches: on exactly when "TRUE"; Master turns the others off.
class SwitchTest : public ztest::Environment {};

TEST_F(SwitchTest, SwitchesOfTheFile) {
  const std::tuple<const char*, uint32_t, uint32_t, uint32_t> rows[] = {
      {nullptr, 1, 0, 0},  // no file: defaults
      {"[zidade]\nmaster = FALSE\nDebug=TRUE\nInfo=TRUEX\n", 0, 1, 0},
      {"[ZIDADE]\nMaster=true\nDebug=TRUE\nInfo=TRUE\n", 0, 1, 1},
      {"[ZIDADE]\nMaster=TRUE\nDebug=TRUE\nInfo=TRUE\n", 1, 0, 0},
      {"[ZIDADE]\nMaster=FALSE\n#Debug=TRUE\n# Info=TRUE\n", 0, 0, 0},  // comments are no keys
  };
  for (auto [ini, master, debug, info] : rows) {
    if (ini) WriteWinIni(ini);
    LSI_ReadSwitches();
    EXPECT_EQ((std::tuple{LSI_Var.Master, LSI_Var.Debug, LSI_Var.Info}), (std::tuple{master, debug, info}))
        << (ini ? ini : "no file");
    if (!ini) { EXPECT_FALSE(ztest::FileExists(config_ + "/win.ini")); }
  }
}

TEST_F(SwitchTest, GarbageIsDroppedAndTheFileRewritten) {
  WriteWinIni(std::string("[ZIDADE]\nMaster=FALSE\n\x01\x02garbage\nno equals here\n[broken\nDebug=TRU", 63));
  LSI_ReadSwitches();
  EXPECT_EQ(LSI_Var.Master + LSI_Var.Debug, 0u);
  EXPECT_EQ(ztest::ReadFile(config_ + "/win.ini"), "[ZIDADE]\nMaster=FALSE\n");
  // Comments are neither garbage nor keys: the file stays as written.
  const std::string commented = "# switches\n[ZIDADE]\n; old\n#Master=TRUE\nMaster=FALSE\n# Debug TRUE\n";
  WriteWinIni(commented);
  LSI_ReadSwitches();
  EXPECT_EQ(LSI_Var.Master, 0u);
  EXPECT_EQ(ztest::ReadFile(config_ + "/win.ini"), commented);
}

// The run log.
class RunLogTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  }
  std::string Log() { return ztest::ReadFile(config_ + "/LS1.CFG"); }
  void Restart() {
    LS_CloseZidAde();
    started_ = false;
  }
};

TEST_F(RunLogTest, CountsRunsAndMarksTheEnd) {
  ztest::WriteFile(config_ + "/LS1.CFG", "00041\n00040 old line           \n");
  StartLibrary();
  const std::string started = Log();
  ASSERT_EQ(started.substr(0, 6), "00042\n");
  const size_t line = started.find("\n00041 ");
  ASSERT_NE(line, std::string::npos);
  EXPECT_NE(started.find("00040 old line"), std::string::npos);
  const std::string ours = started.substr(line + 1);
  EXPECT_TRUE(EndsLike(ours, " : Unknown   > 99/99/9999 : 99:99:99           \n")) << ours;
  EXPECT_GE(ours.size(), 6 + 50 + 46u);
  Restart();
  const std::string ended = Log();
  ASSERT_EQ(ended.size(), started.size());
  const std::string closed = ended.substr(line + 1);
  EXPECT_EQ(closed.substr(0, 6), "***** ");
  EXPECT_TRUE(EndsLike(closed, " : Unknown   > 99/99/9999 : 99:99:99 - 99:99:99\n")) << closed;
  EXPECT_EQ(closed.substr(5, closed.size() - 17), ours.substr(5, ours.size() - 17));
}

TEST_F(RunLogTest, MissingOrGarbledLogStartsAtRunOne) {
  StartLibrary();
  EXPECT_EQ(Log().substr(0, 12), "00002\n00001 ");
  Restart();
  ztest::WriteFile(config_ + "/LS1.CFG", "x\x01garbage\n00007 kept           \n\xff");
  StartLibrary();
  EXPECT_EQ(Log().substr(0, 34), "00002\n00007 kept           \n00001 ");
}

TEST_F(RunLogTest, UserNameComesFromTheRegistryAndMasterKeepsNoLog) {
  ztest::WriteFile(config_ + "/registry.txt", "[Network\\Logon]\nusername=1:6a65616e00\n");
  StartLibrary();
  EXPECT_NE(Log().find(" : jean      > "), std::string::npos);
  Restart();
  std::remove((config_ + "/LS1.CFG").c_str());
  WriteWinIni("[ZIDADE]\nMaster=TRUE\n");
  StartLibrary();
  EXPECT_FALSE(ztest::FileExists(config_ + "/LS1.CFG"));
}

// Library start and close.
class LifecycleTest : public ztest::LibraryTest {};

TEST_F(LifecycleTest, StartSetsUpMemoryDirectoriesAndFatalMode) {
  LSI_Var.ErrorMode = 2;
  std::strcpy(LS_Var.CurrentDir, "OLD");
  StartLibrary(100000);
  EXPECT_EQ((std::tuple{LSI_Var.ErrorMode, std::string(LS_Var.CurrentDir), std::string(LS_Var.RootDir.Root)}),
            (std::tuple{LS_ERRMODE_FATAL, std::string(), std::string("C:")}));
  EXPECT_NE(LS_DefaultHeap, 0u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(LifecycleTest, InfoSwitchAnnouncesEachManager) {
  WriteWinIni("[ZIDADE]\nMaster=FALSE\nInfo=TRUE\n");
  StartLibrary();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Init Memory Manager", "Init Directory Manager", "Init Kbd Manager",
                                               "Init Special Manager", "Init Mouse Manager", "Init Graphic Manager",
                                               "Init System font Manager", "Init CD Manager", "Init Joy Manager"}));
}

TEST_F(LifecycleTest, CloseShowsLeakCountsUnlessMaster) {
  for (const char* master : {"FALSE", "TRUE"}) {
    WriteWinIni(std::string("[ZIDADE]\nMaster=") + master + "\n");
    plat::ClearShownMessageBoxes();
    StartLibrary();
    LS_GetMem(10);
    LS_GetMem(10);
    LSI_Var.NbPal = -1;
    EXPECT_EQ(LS_CloseZidAde(), 1);
    started_ = false;
    const std::vector<std::string> leaks{"LSI_Var.NbAlloc: 2", "LSI_Var.NbPal: -1"};
    EXPECT_EQ(Boxes(), std::strcmp(master, "FALSE") == 0 ? leaks : std::vector<std::string>{}) << master;
    LSI_CloseMemory();
  }
}

TEST_F(LifecycleTest, HeapThatCannotBeMadeEndsTheProcess) {
  EXPECT_EQ(ExitCodeOf([] { LS_InitZidAde(0xFFFFFFF0u); }), 1);
  ASSERT_FALSE(Boxes().empty());
  EXPECT_EQ(Boxes().back().rfind("LS_ERROR: 11    Not Enough Memory", 0), 0u);
}

}  // namespace
