// Program start-up: command line, memory class, runtime directory, the
// whole run in process and the built executable on a temporary data tree.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/memory.h"
#include "shell/sbvar.h"
#include "shell/startup.h"
#include "system/asm3d/zidade3d.h"
#include "system/error.h"
#include "system/file.h"
#include "system/win/shell.h"
#include "tests/support/testenv.h"

namespace {

using ztest::ExitCodeOf;

void Parse(std::vector<const char*> args) {
  SB_ParseArgs(static_cast<int16_t>(args.size()), const_cast<char**>(args.data()));
}

int32_t PhysicalClass() {
  const uint64_t total = plat::GetMemoryStatus().totalPhysical;
  const uint64_t clamped = total > UINT32_MAX ? UINT32_MAX : total;
  return clamped > INT32_MAX ? INT32_MAX : static_cast<int32_t>(clamped);
}

TEST(CommandLine, DefaultsWithoutArguments) {
  Parse({});
  EXPECT_STREQ(SB_Var.StartupScript, "startup.txt");
  EXPECT_EQ(SB_Var.MemoryClass, -1);
  SB_GetMemoryClass();
  EXPECT_EQ(SB_Var.MemoryClass, PhysicalClass());
  EXPECT_GT(SB_Var.MemoryClass, 0);
}

TEST(CommandLine, LowerCaseOptionsAreUnderstood) {
  Parse({"-s:race.txt", "-m:high"});
  EXPECT_STREQ(SB_Var.StartupScript, "RACE.TXT");
  EXPECT_EQ(SB_Var.MemoryClass, 68157441);
  SB_GetMemoryClass();
  EXPECT_EQ(SB_Var.MemoryClass, 68157441);
  Parse({"-M:LOW"});
  EXPECT_EQ(SB_Var.MemoryClass, 0);
}

TEST(CommandLine, MemoryWordMustBeExact) {
  Parse({"-M:LOWER"});
  EXPECT_EQ(SB_Var.MemoryClass, -1);
  SB_GetMemoryClass();
  EXPECT_EQ(SB_Var.MemoryClass, PhysicalClass());
}

TEST(CommandLine, LastScriptWinsAndOtherArgumentsAreIgnored) {
  const std::string huge = "-S:" + std::string(400, 'x');
  Parse({"-S:first.txt", "", "-X:what", "-S:second.txt", "-M:", huge.c_str(), "-S"});
  EXPECT_STREQ(SB_Var.StartupScript, "SECOND.TXT");
  EXPECT_EQ(SB_Var.MemoryClass, -1);
  Parse({"-S:"});
  EXPECT_STREQ(SB_Var.StartupScript, "");
}

TEST(CommandLine, SplitsAtSingleBlanks) {
  int32_t count = -1;
  char** args = LSYS_SplitCommandLine("a  b", &count);
  ASSERT_EQ(count, 3);
  EXPECT_STREQ(args[0], "a");
  EXPECT_STREQ(args[1], "");
  EXPECT_STREQ(args[2], "b");
  LSYS_FreeArguments(args, count);
  args = LSYS_SplitCommandLine("", &count);
  EXPECT_EQ(count, 0);
  LSYS_FreeArguments(args, count);
  args = LSYS_SplitCommandLine("\"-S:a b\"", &count);
  EXPECT_EQ(count, 2);  // quotes mean nothing
  LSYS_FreeArguments(args, count);
}

class StartupTest : public ztest::LibraryTest {
 protected:
  void Marker(const std::string& dir) { ztest::WriteFile(root_ + dir + "/pcx/devenv.pcx", "x"); }
};

TEST_F(StartupTest, RuntimeDirectoryIsTheCurrentOne) {
  Marker("");
  StartLibrary();
  SB_SetRuntimeDirectory(SB_INSTALLPATH);
  EXPECT_STREQ(SB_Var.RuntimePath, "C:");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(StartupTest, RuntimeDirectoryFallsBackToMaster) {
  Marker("/Master");
  StartLibrary();
  SB_SetRuntimeDirectory(SB_INSTALLPATH);
  EXPECT_STREQ(SB_Var.RuntimePath, "C:>MASTER");
  EXPECT_EQ(LS_FileExists("pcx>devenv.pcx"), 1);
}

TEST_F(StartupTest, RuntimeDirectoryFallsBackToTheInstallation) {
  Marker("/Program Files/Tamrisk Entertainment/Zentrova Race");
  StartLibrary();
  SB_SetRuntimeDirectory(SB_INSTALLPATH);
  EXPECT_STREQ(SB_Var.RuntimePath, "C:>PROGRAM FILES>TAMRISK ENTERTAINMENT>ZENTROVA RACE");
}

TEST_F(StartupTest, NoRuntimeDirectoryEndsWithMinusOne) {
  StartLibrary();
  EXPECT_EQ(ExitCodeOf([] { SB_SetRuntimeDirectory(SB_INSTALLPATH); }), -1);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "Bad runtime directory !");
}

TEST_F(StartupTest, WholeRunEndsWithZeroAndNoLeaks) {
  Marker("");
  ztest::WriteFile(root_ + "/DAT/BOOT.TXT", "QUIT\r\n");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  char* argv[] = {const_cast<char*>("-s:boot.txt")};
  EXPECT_EQ(ExitCodeOf([&] { SB_Main(1, argv); }), 0);
  EXPECT_TRUE(Boxes().empty()) << Boxes().front();
  EXPECT_STREQ(SB_Var.StartupScript, "BOOT.TXT");
  EXPECT_EQ(SB_Var.HeapSize, 16000000);
  EXPECT_EQ(SB_Var.RunDone, 1);
  EXPECT_EQ(LSI_GetHeapMaxFree(reinterpret_cast<HEAP*>(LS_DefaultHeap)), 0u);  // closed
}

TEST_F(StartupTest, DebugSwitchInstallsTheDebugHook) {
  Marker("");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\nDebug=TRUE\n");
  SB_Init(0, nullptr);
  started_ = true;
  EXPECT_EQ(LSI_Var.ErrorHook, &SB_DebugBreak);
  EXPECT_EQ(SB_DebugBreak("text"), 0);  // no debugger: returns at once
  EXPECT_EQ(LSYS_GetActivateHook(), &SB_OnActivate);
  EXPECT_EQ(SB_OnActivate(1), 1);
  EXPECT_EQ(SB_OnActivate(0), 1);
}

TEST_F(StartupTest, InitBuildsTheCosineTable) {
  Marker("");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  std::memset(LS_CosTable, 0, sizeof LS_CosTable);
  SB_Init(0, nullptr);
  started_ = true;
  EXPECT_EQ(LS_CosTable[0], 16384);
  EXPECT_EQ(LS_CosTable[512], 11585);
  EXPECT_EQ(LS_CosTable[2048], -16384);
}

// The built program on a temporary data tree.
class ProgramTest : public ztest::Environment {
 protected:
  int Run(std::string& errors) {
    const std::string log = temp_ + "/stderr.txt";
    const std::string command = "ZENTROVA_DRIVES='C=fixed:" + root_ + "' ZENTROVA_CONFIG_DIR='" + config_ +
                                "' '" ZENTROVA_EXE "' -S:test.txt 2>'" + log + "'";
    const int status = std::system(command.c_str());
    errors = ztest::ReadFile(log);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
  }
};

TEST_F(ProgramTest, RunsOnADataTreeWithTheMarker) {
  ztest::WriteFile(root_ + "/PCX/DEVENV.PCX", "x");
  ztest::WriteFile(root_ + "/DAT/TEST.TXT", "QUIT");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  std::string errors;
  EXPECT_EQ(Run(errors), 0);
  EXPECT_EQ(errors, "");
  const std::string log = ztest::ReadFile(config_ + "/LS1.CFG");
  EXPECT_EQ(log.substr(0, 12), "00002\n***** ");
}

TEST_F(ProgramTest, SaysBadRuntimeDirectoryWithoutTheMarker) {
  std::string errors;
  EXPECT_EQ(Run(errors), 255);  // exit code -1
  EXPECT_NE(errors.find("Bad runtime directory !"), std::string::npos);
}

}  // namespace
