// Program start-up: command line, memory class, runtime directory, the
// whole run in process and the built executable on a temporary data tree.
#include "console/startup.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "datagen/devenv.h"
#include "platform/memory.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/file.h"
#include "system/lsvar.h"
#include "system/win/shell.h"
#include "tests/fakes/shell_fakes.h"
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

// Each parse starts from the defaults; class -1 is the machine's memory.
TEST(CommandLine, ScriptAndMemoryClassOptions) {
  const std::string huge = "-S:" + std::string(400, 'x');
  const struct {
    std::vector<const char*> args;
    const char* script;
    int32_t memoryClass;
  } rows[] = {
      {{}, "startup.txt", -1},
      {{"-s:race.txt", "-m:high"}, "RACE.TXT", 68157441},  // lower case is understood
      {{"-M:LOW"}, "startup.txt", 0},
      {{"-M:LOWER"}, "startup.txt", -1},  // the memory word must be exact
      {{"-S:first.txt", "", "-X:what", "-S:second.txt", "-M:", huge.c_str(), "-S"}, "SECOND.TXT", -1},
      {{"-S:"}, "", -1},
  };
  for (const auto& row : rows) {
    Parse(row.args);
    EXPECT_STREQ(SB_Var.StartupScript, row.script) << row.script;
    EXPECT_EQ(SB_Var.MemoryClass, row.memoryClass) << row.script;
    SB_GetMemoryClass();
    EXPECT_EQ(SB_Var.MemoryClass, row.memoryClass == -1 ? PhysicalClass() : row.memoryClass);
  }
  EXPECT_GT(PhysicalClass(), 0);
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

// The marker picture is looked for here, then in MASTER, then in the
// installation directory.
TEST_F(StartupTest, RuntimeDirectoryIsWhereTheMarkerIs) {
  const std::pair<const char*, const char*> rows[] = {
      {"", "C:"},
      {"/Master", "C:>MASTER"},
      {"/Program Files/Tamrisk Entertainment/Zentrova Race", "C:>PROGRAM FILES>TAMRISK ENTERTAINMENT>ZENTROVA RACE"},
  };
  for (const auto& [dir, path] : rows) {
    if (dir != rows[0].first) {  // a fresh tree for each row
      TearDown();
      SetUp();
    }
    Marker(dir);
    StartLibrary();
    SB_SetRuntimeDirectory(SB_INSTALLPATH);
    EXPECT_STREQ(SB_Var.RuntimePath, path);
    EXPECT_EQ(LS_FileExists("pcx>devenv.pcx"), 1) << dir;
    EXPECT_TRUE(Boxes().empty());
  }
}

TEST_F(StartupTest, NoRuntimeDirectoryEndsWithMinusOne) {
  StartLibrary();
  EXPECT_EQ(ExitCodeOf([] { SB_SetRuntimeDirectory(SB_INSTALLPATH); }), -1);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "Bad runtime directory !");
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

TEST_F(StartupTest, TheProgramRunsInactiveWhileANetworkSessionIsOpen) {
  Marker("");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  SB_Init(0, nullptr);
  started_ = true;
  ASSERT_NE(LSYS_Shell.RunInactiveHook, nullptr);
  const XSTATE kept = SB_Var.XState;
  const struct {
    XSTATE state;
    int32_t runs;
  } rows[] = {{XSTATE_NONET, 0}, {XSTATE_NETINITED, 0}, {XSTATE_CONNECTED, 1}, {XSTATE_PLAYING, 1}, {XSTATE_ENDOFRACE, 1}};
  for (const auto& row : rows) {
    SB_Var.XState = row.state;
    EXPECT_EQ(LSYS_Shell.RunInactiveHook(), row.runs) << row.state;
  }
  SB_Var.XState = kept;
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

// The whole program in this process: SB_Main on a tree made here, with a
// start-up script that leaves the console to its loop. After the first
// loop step the screen is read and QUIT is given.
enum class Picture { Good, Empty, HeaderOnly, NotAPicture };
struct WholeRun {
  const char* name;
  Picture picture;
};
// Printed by its name, so that the test's name is the same in every build.
void PrintTo(const WholeRun& run, std::ostream* out) { *out << run.name; }

struct Frame {
  bool taken = false;
  uint32_t shown[2] = {}, wanted[2] = {};  // two points without text
  bool promptWhite = false;                // the ">" of the edit line
  bool devEnvPaletteCurrent = false;
};
Frame g_frame;
Picture g_picture;

void TakeFrame() {
  if (!SB_Var.DrawConsole || g_frame.taken) return;
  g_frame.taken = true;
  BMAP* screen = LS_Var.Screen;
  PIXELFORMAT format{};
  LS_GetPixelFormat(&format, screen->Format);
  LSI_BuildRemapTable(&LS_Var.Palette, &format, screen->Format);
  const LSI_REMAPTABLE colours = LSI_RemapTable;
  static const datagen::Picture8 picture = datagen::DevEnvPicture();
  const int32_t points[2][2] = {{320, 240}, {639, 479}};
  for (int i = 0; i < 2; ++i) {
    const int32_t x = points[i][0], y = points[i][1];
    g_frame.shown[i] = LS_GetPixel(screen, x, y);
    g_frame.wanted[i] = g_picture == Picture::Good ? colours.Value[picture.pixels[size_t(y * 640 + x)]] : 0;
  }
  const LS_RGB ink = LS_Var.Palette.Entry[255];
  for (int32_t y = 8 * SB_Var.ConsoleLine; y < 8 * SB_Var.ConsoleLine + 8; ++y)
    for (int32_t x = 0; x < 8; ++x) g_frame.promptWhite |= LS_GetPixel(screen, x, y) == colours.Value[255];
  g_frame.promptWhite &= ink.Red == 63 && ink.Green == 63 && ink.Blue == 63;
  g_frame.devEnvPaletteCurrent =
      SB_Var.DevEnvPal && std::memcmp(SB_Var.DevEnvPal, &LS_Var.Palette, sizeof LS_Var.Palette) == 0;
  SB_Var.QuitConsole = 1;
}

class WholeRunTest : public ztest::Environment, public ::testing::WithParamInterface<WholeRun> {};

TEST_P(WholeRunTest, EndsWithZeroAndNothingLeft) {
  const WholeRun& run = GetParam();
  ztest::WriteDevEnvPicture(root_);
  const std::string picture = root_ + "/PCX/DEVENV.PCX";
  if (run.picture == Picture::Empty) ztest::WriteFile(picture, "");
  if (run.picture == Picture::HeaderOnly) std::filesystem::resize_file(picture, 128);
  if (run.picture == Picture::NotAPicture) ztest::WriteFile(picture, "This is not a picture.");
  ztest::WriteFile(root_ + "/DAT/E2E.TXT", "ECHO e2e\r\n");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  ztest::Shell() = ztest::ShellFakes{};
  ztest::Shell().onNetUpdate = TakeFrame;
  g_frame = Frame{};
  g_picture = run.picture;
  SB_ClearPrintedLines();
  std::vector<const char*> args = {"zentrova", "-s:e2e.txt"};
  EXPECT_EQ(ExitCodeOf([&] { SB_Main(int16_t(args.size()), const_cast<char**>(args.data())); }), 0);
  // No leak report, and none of the library's counts either.
  EXPECT_TRUE(Boxes().empty()) << Boxes().front();
  EXPECT_EQ(SB_Var.HeapSize, 16000000);
  EXPECT_STREQ(SB_Var.StartupScript, "E2E.TXT");
  EXPECT_STREQ(SB_Var.RuntimePath, "C:");
  EXPECT_EQ(SB_Var.TextureScale, 2);  // any machine has over 24 MB
  EXPECT_EQ(SB_PrintedLines()[2], ">ECHO e2e");
  EXPECT_EQ(SB_Var.RunDone, 1);
  EXPECT_EQ(LSI_GetHeapMaxFree(reinterpret_cast<HEAP*>(LS_DefaultHeap)), 0u);  // closed
  // The first loop step drew the background, or a cleared one, through the
  // console's palette, and the prompt in white.
  ASSERT_TRUE(g_frame.taken);
  EXPECT_EQ(g_frame.shown[0], g_frame.wanted[0]);
  EXPECT_EQ(g_frame.shown[1], g_frame.wanted[1]);
  EXPECT_TRUE(g_frame.promptWhite);
  EXPECT_EQ(g_frame.devEnvPaletteCurrent, run.picture == Picture::Good);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, WholeRunTest,
    ::testing::Values(WholeRun{"Plain", Picture::Good}, WholeRun{"EmptyPicture", Picture::Empty},
                      WholeRun{"PictureCutAfterItsHeader", Picture::HeaderOnly},
                      WholeRun{"NotAPicture", Picture::NotAPicture}),
    [](const ::testing::TestParamInfo<WholeRun>& info) { return std::string(info.param.name); });

// The built program, headless, on a copy of the build's data tree.
class ProgramTest : public ztest::Environment {
 protected:
  int Run(const std::string& script, std::string& errors) {
    const std::string log = temp_ + "/stderr.txt";
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY ZENTROVA_HEADLESS=1 ZENTROVA_DRIVES='C=fixed:" + root_ +
        "' ZENTROVA_CONFIG_DIR='" + config_ + "' timeout 60 '" ZENTROVA_EXE "' -S:" + script + " 2>'" + log +
        "'";
    const int status = std::system(command.c_str());
    errors = ztest::ReadFile(log);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
  }
};

TEST_F(ProgramTest, SmokeRunOfAScriptWithItsLog) {
  const std::filesystem::path data = std::filesystem::path(ZENTROVA_EXE).parent_path() / "data";
  std::filesystem::copy(data, root_, std::filesystem::copy_options::recursive);
  ztest::WriteFile(root_ + "/dat/smoke.txt",
                   "OUTPUT 1\r\nECHO smoke start\r\nRUN smokearg.txt one two\r\nECHO smoke end\r\nQUIT\r\n");
  ztest::WriteFile(root_ + "/dat/smokearg.txt", "ECHO arg1=%1 arg2=%2\r\n");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  std::string errors;
  EXPECT_EQ(Run("smoke.txt", errors), 0);
  EXPECT_EQ(errors.find("not released owner"), std::string::npos) << errors;
  EXPECT_EQ(errors.find("LSI_Var.Nb"), std::string::npos) << errors;
  const std::string log = ztest::ReadFile(root_ + "/CONSOLE.TXT");
  EXPECT_EQ(log.rfind("CONSOLE\n", 0), 0u);
  size_t at = 0;
  for (const char* line :
       {"File Output enabled...", ">ECHO smoke start", "smoke start", ">RUN smokearg.txt one two",
        ">ECHO arg1=ONE arg2=TWO", "arg1=ONE arg2=TWO", ">ECHO smoke end", "smoke end", ">QUIT"}) {
    at = log.find(std::string("\n").append(line).append("\n"), at);
    ASSERT_NE(at, std::string::npos) << line << " missing or out of order in\n" << log;
  }
  EXPECT_EQ(log.find("Syntax error, or batch error !!!"), std::string::npos);
  EXPECT_EQ(log.find("File error"), std::string::npos);
  EXPECT_EQ(ztest::ReadFile(config_ + "/LS1.CFG").substr(0, 12), "00002\n***** ");  // the run log
}

TEST_F(ProgramTest, SaysBadRuntimeDirectoryWithoutTheMarker) {
  std::string errors;
  EXPECT_EQ(Run("test.txt", errors), 255);  // exit code -1
  EXPECT_NE(errors.find("Bad runtime directory !"), std::string::npos);
}

}  // namespace
