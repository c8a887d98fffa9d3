// The development environment: the start-up and tear-down in their order,
// the defaults, the loop with typed lines, and start-up scripts good and
// bad.
#include "console/devenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "datagen/tgawrite.h"
#include "race/session.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/lsvar.h"
#include "tests/fakes/race_fakes.h"
#include "tests/fakes/shell_fakes.h"
#include "tests/fakes/typist.h"
#include "tools/bsplines.h"

namespace {

using Lines = std::vector<std::string>;

bool Printed(const std::string& line) {
  const Lines& lines = SB_PrintedLines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Each printed line joins the record of calls, as "> " + text, so that
// prints and calls can be checked in one order.
size_t g_traced = 0;
int32_t g_maxMemOwners = 0, g_maxBmapOwners = 0;
void Trace() {
  const Lines& lines = SB_PrintedLines();
  for (; g_traced < lines.size(); ++g_traced) ztest::Fakes().calls.push_back("> " + lines[g_traced]);
  g_maxMemOwners = std::max(g_maxMemOwners, SB_Var.NbMemOwners);
  g_maxBmapOwners = std::max(g_maxBmapOwners, SB_Var.NbBmapOwners);
}

class DevEnv : public ztest::ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ztest::ResetFakes();
    MakeScreen(16);
    ztest::WriteDevEnvPicture(root_);
    std::snprintf(SB_Var.RuntimePath, sizeof SB_Var.RuntimePath, "C:");
    std::snprintf(SB_Var.StartupScript, sizeof SB_Var.StartupScript, "TEST.TXT");
  }
  void TearDown() override {
    ztest::StopTyping();
    ShellTest::TearDown();
  }
  void Script(const std::string& text) { ztest::WriteFile(root_ + "/DAT/TEST.TXT", text); }
  // The console session with the typed text; blocks held before it must
  // be held after it.
  void Run(const std::string& typed) {
    SB_ClearPrintedLines();
    SB_Var.DrawConsole = 0;  // as at the program's start: typing waits for the loop
    ztest::StartTyping(typed);
    SB_DevEnv();
    ztest::StopTyping();
    EXPECT_EQ(SB_Var.NbMemOwners, 0);
    EXPECT_EQ(SB_Var.NbBmapOwners, 0);
    EXPECT_EQ(SB_Var.DevEnvPal, nullptr);
  }
};

TEST_F(DevEnv, StartUpAndTearDownRunInTheirOrderAndSetTheDefaults) {
  Script("DRAWCONSOLE\r\nQUIT\r\nECHO after quit");
  SB_Var.GameMode = 3;
  SB_Var.BuildMap = 1;
  g_traced = 0;
  g_maxMemOwners = g_maxBmapOwners = 0;
  ztest::Shell().onNetUpdate = Trace;
  SB_GetBsplinesAngles();  // the race line's metre table, which the tear-down releases
  ASSERT_NE(SB_Var.BsplineMeters, nullptr);
  Run("");
  EXPECT_EQ(SB_Var.BsplineMeters, nullptr);
  EXPECT_EQ(ztest::Fakes().calls, (Lines{"AllocLocalReplay",
                                         "> Launching the game on C: !!!",
                                         "> Loading vehicle prototypes...",
                                         "LoadVehiclePrototypes",
                                         "LoadBackObcFile",
                                         "InitVehicleSetups",
                                         "ClearCarReplaySlots",
                                         "LoadVehicleSetups dat>nrcar.cfg",
                                         "InitBirds",
                                         "LoadScratch",
                                         "LoadExplosionBmaps",
                                         "InitVParams",
                                         "> >DRAWCONSOLE",
                                         "> Drawing the console texts: 0",
                                         "> >QUIT",
                                         "> >ECHO after quit",
                                         "> after quit",
                                         "FreeCarsReplays",
                                         "FreeBsplinePoints",
                                         "FreeConsoleList",
                                         "FreeDecor",
                                         "FreeExplosionBmaps",
                                         "FreeScratch",
                                         "FreeBirds",
                                         "> Free decor objects stuff...",
                                         "FreeDecorNames",
                                         "> Free decor objects...",
                                         "FreeDecorObjects",
                                         "FreeBackObc",
                                         "FreeAllCarReplays",
                                         "> Free vehicle prototypes...",
                                         "FreeVehiclePrototypes",
                                         "FreeLocalReplay"}));
  // Five blocks (with the metre table) and three bitmaps (the background,
  // the scratch overlay and the explosions) were held meanwhile, and all
  // given back (Run).
  EXPECT_EQ(g_maxMemOwners, 5);
  EXPECT_EQ(g_maxBmapOwners, 3);
  EXPECT_STREQ(SB_Var.CircuitFile, "netrace.txt");
  EXPECT_STREQ(SB_Var.AsciiMapFile, "..>ASC>netrace.asc");
  EXPECT_STREQ(SB_Var.DecorMapFile, "DEC>netrace.dec");
  EXPECT_STREQ(SB_Var.ConfigFile, "TXT>netrace.txt");
  EXPECT_STREQ(SB_Var.BankFile, "BNK>NETRACE.BNK");
  EXPECT_STREQ(SB_Var.TexturePath, "travun>");
  EXPECT_EQ(SB_Var.BuildMap, 0);
  EXPECT_EQ(SB_Var.SplitTextureRepeats, 1);
  EXPECT_EQ(SB_Var.FarDistance, 38400);
  EXPECT_EQ(SB_Var.DrawDistance, 300);
  EXPECT_EQ(SB_Var.NoTimeLimit, 1);
  EXPECT_EQ(SB_Var.GameMode, 0);
  EXPECT_EQ(SB_Var.HistoryIndex, SB_EDITLINE);
  EXPECT_EQ(SB_Var.DrawConsole, 0);  // QUIT in the script: no loop step
  EXPECT_EQ(SB_Var.DevEnvBackground, nullptr);
  EXPECT_EQ(SB_Var.DevEnvScreen, nullptr);
}

TEST_F(DevEnv, TextureScaleFollowsTheMemoryClass) {
  for (const auto& [memoryClass, scale] : {std::pair{25165824, 4}, std::pair{25165825, 2}}) {
    SB_Var.MemoryClass = memoryClass;
    SB_InitDevEnv();
    EXPECT_EQ(SB_Var.TextureScale, scale) << memoryClass;
    SB_FreeDevEnv();
  }
}

TEST_F(DevEnv, TypedLinesRunAndJoinTheHistory) {
  using ztest::kTypeDown, ztest::kTypeSnap, ztest::kTypeUp;
  // No script: the console reads the keyboard at once.
  Run(std::string("echo hi\r   \rdrawconsole 0\r") + kTypeSnap + kTypeUp + kTypeSnap + kTypeUp + kTypeSnap +
      kTypeDown + kTypeSnap + kTypeDown + kTypeSnap + "quit\r");
  EXPECT_EQ(SB_PrintedLines(),
            (Lines{"Launching the game on C: !!!", "Loading vehicle prototypes...",
                   "File error... type DIR for directory...", ">echo hi", "hi", ">drawconsole 0",
                   "Drawing the console texts: 0", ">quit", "Free decor objects stuff...",
                   "Free decor objects...", "Free vehicle prototypes..."}));
  // DRAWCONSOLE 0 lasts until the next step; Up and Down walk the history.
  EXPECT_EQ(ztest::Snaps(),
            (std::vector<ztest::TypistSnap>{
                {"", 0}, {"drawconsole 0", 1}, {"echo hi", 1}, {"drawconsole 0", 1}, {"", 1}}));
  // The blank line was not stored.
  EXPECT_STREQ(SB_Var.ConsoleHistory[30], "quit");
  EXPECT_STREQ(SB_Var.ConsoleHistory[29], "drawconsole 0");
  EXPECT_STREQ(SB_Var.ConsoleHistory[28], "echo hi");
  EXPECT_STREQ(SB_Var.ConsoleHistory[27], "");
  EXPECT_EQ(SB_Var.DrawConsole, 1);
}

TEST_F(DevEnv, BadStartUpScriptsLeaveAnInteractiveConsole) {
  struct Case {
    const char* what;
    std::string script;
    std::string printed;  // a line the run prints
    bool interactive;     // the typed QUIT ends it
  };
  const std::string longLine = std::string("ECHO ").append(300, 'x');
  const std::string hugeLine = std::string("ECHO ").append(100000, 'y');
  static const char kOddBytes[] = "ECHO a\0b\xFF\r\n\xE9\x80\x01\r\nQUIT\r\n";
  const Case cases[] = {
      {"missing", "", "File error... type DIR for directory...", true},
      {"empty", "", ">quit", true},
      {"lone line feeds", "ECHO a\nECHO b\nQUIT", "b", false},
      {"long lines", longLine + "\r\n" + hugeLine, std::string(">").append(longLine, 0, 255), true},
      {"NUL and high bytes", std::string(kOddBytes, sizeof kOddBytes - 1), "a", false},
      {"a script that runs itself", "RUN TEST.TXT", "Batch nesting too deep !!!", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (std::strcmp(c.what, "missing") != 0) Script(c.script);
    Run("quit\r");
    EXPECT_TRUE(Printed(c.printed));
    EXPECT_EQ(Printed(">quit"), c.interactive);
    EXPECT_EQ(SB_Var.QuitConsole, 1);
    for (const std::string& line : SB_PrintedLines()) EXPECT_LE(line.size(), 256u);
  }
}

// The shipped start-up script greets and points to HELP; HELP and INFO
// page their texts, and nothing fails on the way.
TEST_F(DevEnv, TheShippedStartUpScriptRunsCleanly) {
  for (const char* name : {"dat/startup.txt", "HELP.TXT", "INFO.TXT"})
    ztest::WriteFile(root_ + "/" + name, ztest::ReadFile(std::string(ZENTROVA_SOURCE_DIR "/data/") + name));
  const std::string help = ztest::ReadFile(root_ + "/HELP.TXT");
  const size_t lastLine = help.rfind("\r\n", help.size() - 3) + 2;
  const std::string info = ztest::ReadFile(root_ + "/INFO.TXT");
  std::snprintf(SB_Var.StartupScript, sizeof SB_Var.StartupScript, "startup.txt");
  Run("help\rinfo\rquit\r");
  EXPECT_EQ(SB_PrintedLines()[2], "Welcome to the Zentrova developer console.");
  EXPECT_EQ(SB_PrintedLines()[4], "Type INTERFACE to play from the menus, RUN GAME then PLAY to race three");
  EXPECT_EQ(SB_PrintedLines()[5], "opponents; PLAY alone is practice: the three other cars stay on the grid.");
  EXPECT_TRUE(Printed(help.substr(lastLine, help.size() - 2 - lastLine)));  // past HELP's first page
  EXPECT_TRUE(Printed(info.substr(0, info.find('\r'))));                    // INFO
  EXPECT_GE(ztest::PagerPrompts(), 2);
  EXPECT_FALSE(Printed("Syntax error, or batch error !!!"));
  EXPECT_FALSE(Printed("File error... type DIR for directory..."));
}

// Headless with nothing left to type, the console ends as QUIT would
// rather than wait for ever; with no script it could read, with an error.
TEST_F(DevEnv, NoInputToComeEndsTheConsole) {
  Script("ECHO started");
  SB_ClearPrintedLines();
  EXPECT_EQ(SB_DevEnv(), 0);
  EXPECT_TRUE(Printed("started"));
  EXPECT_EQ(SB_Var.QuitConsole, 1);
  EXPECT_FALSE(Printed("Syntax error, or batch error !!!"));
  std::filesystem::remove(root_ + "/DAT/TEST.TXT");
  EXPECT_EQ(ztest::ExitCodeOf(SB_DevEnv), 1);
  EXPECT_TRUE(Printed("File error... type DIR for directory..."));
  SB_FreeDevEnv();
}

TEST_F(DevEnv, PleaseWaitIsCentredOnTheClearedScreen) {
  LS_FillRect(LS_Var.Screen, 0, 0, 639, 479, 0x1234);
  SB_ShowPleaseWait();  // no picture: nothing drawn
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 0, 0), 0x1234u);
  std::filesystem::create_directories(root_ + "/MISCPICT");
  ASSERT_TRUE(datagen::WriteTga(root_ + "/MISCPICT/PLEASEWA.TGA", datagen::Picture24(101, 51, 255, 0, 0)));
  SB_ShowPleaseWait();
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 0, 0), 0u);
  // At ((640 - 101) / 2, (480 - 51) / 2), rounded toward zero.
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 268, 213), 0u);
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 269, 214), 0xF800u);
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 369, 264), 0xF800u);
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 370, 265), 0u);
}

}  // namespace
