// Errors and their modes, WIN.INI switches, the run log and the library's
// start and close.
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
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '9' ? !std::isdigit(static_cast<unsigned char>(tail[i])) : tail[i] != pattern[i])
      return false;
  }
  return true;
}

class ErrorTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary();
  }
};

TEST(ErrorTable, HoldsFortyEightRowsAndItsEnd) {
  for (int i = 0; i < 48; ++i) {
    EXPECT_EQ(LS_ErrorTable[i].Code, i);
    EXPECT_NE(LS_ErrorTable[i].Text, nullptr);
  }
  EXPECT_EQ(LS_ErrorTable[48].Code, -1);
  EXPECT_STREQ(LS_ErrorTable[0].Text, "User Error");
  EXPECT_STREQ(LS_ErrorTable[12].Text, "LS_GetMem failed");
  EXPECT_STREQ(LS_ErrorTable[23].Text, "Network");
  EXPECT_STREQ(LS_ErrorTable[24].Text, "Numéro de scène incorrect");
  EXPECT_STREQ(LS_ErrorTable[46].Text, "Opération sur Zone NULL");
  EXPECT_STREQ(LS_ErrorTable[47].Text, "Zone déjà affectée");
}

TEST_F(ErrorTest, FatalModeShowsTheReportAndExitsWithOne) {
  EXPECT_EQ(LSI_Var.ErrorMode, LS_ERRMODE_FATAL);
  EXPECT_EQ(ExitCodeOf([] { LS_Error(4, " : %s", "C:/X"); }), 1);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "LS_ERROR: 4       File not found  : C:/X \n");
  EXPECT_EQ(LS_GetLastError(), 4u);
}

TEST_F(ErrorTest, KeepModeOnlyStoresTheCode) {
  EXPECT_EQ(LS_SetErrorMode(LS_ERRMODE_KEEP), 1);
  EXPECT_EQ(ExitCodeOf([] { LS_Error(4, "x"); }), -999);
  EXPECT_EQ(LS_GetLastError(), 4u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ErrorTest, IgnoreAndInvalidModesDoNothing) {
  LSI_Var.LastError = 77;
  EXPECT_EQ(LS_SetErrorMode(LS_ERRMODE_IGNORE), 1);
  LS_Error(4, "x");
  EXPECT_EQ(LS_GetLastError(), 77u);
  EXPECT_EQ(LS_SetErrorMode(0), 0);
  EXPECT_EQ(LSI_Var.ErrorMode, 6u);
  EXPECT_EQ(ExitCodeOf([] { LS_Error(4, "x"); }), -999);
  EXPECT_EQ(LS_GetLastError(), 77u);
  EXPECT_EQ(LS_SetErrorMode(9), 0);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ErrorTest, LogModeAppendsToTheErrorFile) {
  LS_SetErrorMode(LS_ERRMODE_LOG);
  LS_Error(12, " : %ld", 64L);
  LS_Error(10, "%s", "");
  EXPECT_EQ(ztest::ReadFile(root_ + "/LSDEBUG.ERM"),
            "LS_ERROR: 12     LS_GetMem failed  : 64 \n\n"
            "LS_ERROR: 10      LS_Close Failed  \n\n");
  EXPECT_EQ(LS_GetLastError(), 10u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ErrorTest, LogModeIsSilentWhenTheFileCannotBeMade) {
  LS_SetErrorMode(LS_ERRMODE_LOG);
  LS_SetCurrentDir(">missing>dir");
  LS_Error(4, "x");
  EXPECT_EQ(LS_GetLastError(), 4u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ErrorTest, BeepModeBeeps) {
  LS_SetErrorMode(LS_ERRMODE_BEEP);
  LS_Error(3, "x");
  EXPECT_EQ(plat::BeepCount(), 1);
  EXPECT_EQ(LS_GetLastError(), 3u);
}

TEST_F(ErrorTest, UnknownCodeShowsItsOwnBox) {
  EXPECT_EQ(ExitCodeOf([] { LS_Error(99, "x"); }), -999);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "Error no doesn't exist");
}

int g_hookCalls = 0;
std::string g_hookText;

TEST_F(ErrorTest, HookThatShowsTheErrorSuppressesTheBoxButNotTheExit) {
  g_hookCalls = 0;
  LS_SetErrorHook([](const char* text) -> int32_t {
    ++g_hookCalls;
    g_hookText = text;
    return 1;
  });
  EXPECT_EQ(ExitCodeOf([] { LS_Error(0, "boom"); }), 1);
  EXPECT_EQ(g_hookCalls, 1);
  EXPECT_EQ(g_hookText, "LS_ERROR: 0           User Error boom \n");
  EXPECT_TRUE(Boxes().empty());

  LS_SetErrorHook([](const char*) -> int32_t { return 0; });
  EXPECT_EQ(ExitCodeOf([] { LS_Error(0, "boom"); }), 1);
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(ErrorTest, LongTextsAreBounded) {
  const std::string path(3000, 'P');
  EXPECT_EQ(ExitCodeOf([&] { LS_Error(4, " : %s", path.c_str()); }), 1);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_LT(Boxes()[0].size(), 1300u);
  EXPECT_EQ(Boxes()[0].rfind("LS_ERROR: 4 ", 0), 0u);
}

TEST_F(ErrorTest, MessageAndDisplayErrorNames) {
  LS_Message("value %d", 42);
  EXPECT_EQ(Boxes().back(), "value 42");
  EXPECT_STREQ(LSYS_GetDDrawErrorText(0), "DD_OK");
  EXPECT_STREQ(LSYS_GetDDrawErrorText(4), "DDERR_SURFACELOST");
  EXPECT_STREQ(LSYS_GetDDrawErrorText(12345), "Unknown Error Code");
}

// WIN.INI switches.
class SwitchTest : public ztest::Environment {};

TEST_F(SwitchTest, DefaultsWithoutAFile) {
  LSI_ReadSwitches();
  EXPECT_EQ(LSI_Var.Master, 1u);
  EXPECT_EQ(LSI_Var.Debug, 0u);
  EXPECT_EQ(LSI_Var.Info, 0u);
  EXPECT_FALSE(ztest::FileExists(config_ + "/win.ini"));
}

TEST_F(SwitchTest, ValuesMustBeExactlyTrue) {
  WriteWinIni("[zidade]\nmaster = FALSE\nDebug=TRUE\nInfo=TRUEX\n");
  LSI_ReadSwitches();
  EXPECT_EQ(LSI_Var.Master, 0u);
  EXPECT_EQ(LSI_Var.Debug, 1u);
  EXPECT_EQ(LSI_Var.Info, 0u);
  WriteWinIni("[ZIDADE]\nMaster=true\nDebug=TRUE\nInfo=TRUE\n");
  LSI_ReadSwitches();
  EXPECT_EQ(LSI_Var.Master, 0u);
  EXPECT_EQ(LSI_Var.Info, 1u);
}

TEST_F(SwitchTest, MasterTurnsDebugAndInfoOff) {
  WriteWinIni("[ZIDADE]\nMaster=TRUE\nDebug=TRUE\nInfo=TRUE\n");
  LSI_ReadSwitches();
  EXPECT_EQ(LSI_Var.Master, 1u);
  EXPECT_EQ(LSI_Var.Debug, 0u);
  EXPECT_EQ(LSI_Var.Info, 0u);
}

TEST_F(SwitchTest, GarbageIsDroppedAndTheFileRewritten) {
  WriteWinIni(std::string("[ZIDADE]\nMaster=FALSE\n\x01\x02garbage\nno equals here\n[broken\nDebug=TRU", 63));
  LSI_ReadSwitches();
  EXPECT_EQ(LSI_Var.Master, 0u);
  EXPECT_EQ(LSI_Var.Debug, 0u);
  EXPECT_EQ(ztest::ReadFile(config_ + "/win.ini"), "[ZIDADE]\nMaster=FALSE\n");
  WriteWinIni("");
  LSI_ReadSwitches();
  EXPECT_EQ(LSI_Var.Master, 1u);
}

// The run log.
class RunLogTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  }
  std::string Log() { return ztest::ReadFile(config_ + "/LS1.CFG"); }
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
  EXPECT_EQ(ours.substr(0, 6), "00041 ");
  EXPECT_TRUE(EndsLike(ours, " : Unknown   > 99/99/9999 : 99:99:99           \n")) << ours;
  EXPECT_GE(ours.size(), 6 + 50 + 46u);
  LS_CloseZidAde();
  started_ = false;
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
  LS_CloseZidAde();
  started_ = false;
  ztest::WriteFile(config_ + "/LS1.CFG", "x\x01garbage\n00007 kept           \n\xff");
  StartLibrary();
  const std::string log = Log();
  EXPECT_EQ(log.substr(0, 6), "00002\n");
  EXPECT_EQ(log.substr(6, 22), "00007 kept           \n");
  EXPECT_EQ(log.substr(28, 6), "00001 ");
}

TEST_F(RunLogTest, UserNameComesFromTheRegistry) {
  ztest::WriteFile(config_ + "/registry.txt", "[Network\\Logon]\nusername=1:6a65616e00\n");
  StartLibrary();
  EXPECT_NE(Log().find(" : jean      > "), std::string::npos);
}

TEST_F(RunLogTest, MasterModeTouchesNoLog) {
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
  EXPECT_EQ(LSI_Var.ErrorMode, LS_ERRMODE_FATAL);
  EXPECT_NE(LS_DefaultHeap, 0u);
  EXPECT_EQ(LSI_Var.NbAlloc, 0);
  EXPECT_STREQ(LS_Var.CurrentDir, "");
  EXPECT_STREQ(LS_Var.RootDir.Root, "C:");
  EXPECT_EQ(LSI_Var.ErrorHook, nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(LifecycleTest, InfoSwitchAnnouncesEachManager) {
  WriteWinIni("[ZIDADE]\nMaster=FALSE\nInfo=TRUE\n");
  StartLibrary();
  const std::vector<std::string> expected = {
      "Init Memory Manager", "Init Directory Manager", "Init Kbd Manager",      "Init Special Manager",
      "Init Mouse Manager",  "Init Graphic Manager",   "Init System font Manager", "Init CD Manager",
      "Init Joy Manager"};
  EXPECT_EQ(Boxes(), expected);
}

TEST_F(LifecycleTest, CloseShowsLeakCountsUnlessMaster) {
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  StartLibrary();
  LS_GetMem(10);
  LS_GetMem(10);
  LSI_Var.NbPal = -1;
  EXPECT_EQ(LS_CloseZidAde(), 1);
  started_ = false;
  const std::vector<std::string> expected = {"LSI_Var.NbAlloc: 2", "LSI_Var.NbPal: -1"};
  EXPECT_EQ(Boxes(), expected);
}

TEST_F(LifecycleTest, MasterModeShowsNoLeaks) {
  StartLibrary();
  LS_GetMem(10);
  LS_CloseZidAde();
  started_ = false;
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(LifecycleTest, HeapThatCannotBeMadeEndsTheProcess) {
  EXPECT_EQ(ExitCodeOf([] { LS_InitZidAde(0xFFFFFFF0u); }), 1);
  ASSERT_FALSE(Boxes().empty());
  EXPECT_EQ(Boxes().back().rfind("LS_ERROR: 11    Not Enough Memory", 0), 0u);
}

}  // namespace
