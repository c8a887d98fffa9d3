// The menus end to end: the program run headless on a copy of the data
// tree from INTERFACE, driven by the pointer and keys of an input script
// on the manual clock: RACE, TIME TRIAL, the race left with Escape and
// F1, BACK, QUIT and Y, with a screenshot before the race and one after.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/program.h"
#include "tests/support/testenv.h"

namespace {

namespace fs = std::filesystem;

// The pointer's positions are 10 pixels above the buttons' centres (the
// cursor's hot spot): RACE (191, 125), TIME TRIAL (220, 136), BACK (76, 428),
// QUIT (70, 421). A screenshot is Alt+S held.
constexpr const char* kKeys =
    "clock 1\n"
    "8000ms mouse 191 115\n10 1 down\n10 1 up\n"
    "4000ms mouse 220 126\n50 18 down\n0 83 down\n40 83 up\n0 18 up\n10 1 down\n10 1 up\n"
    "8000ms 27 down\n5 27 up\n5 112 down\n5 112 up\n"
    "6000ms 18 down\n0 83 down\n40 83 up\n0 18 up\n"
    "10 mouse 76 418\n10 1 down\n10 1 up\n"
    "4000ms mouse 70 411\n10 1 down\n10 1 up\n1000ms 89 down\n";

const std::vector<std::string> kLines = {">INTERFACE", ">RUN PMONTRE", ">RACEMODE STANDALONE", ">MAP NETRACE",
                                         ">PLAY", "Duplicating user cars...", "Memory used in game: ",
                                         "DisposeVehicles...", ">CLOSENET", ">QUIT"};

class MenusProgramTest : public ztest::Environment {};

TEST_F(MenusProgramTest, ATimeTrialFromTheMenusAndBack) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  ztest::WriteFile(tree + "/dat/UI.TXT", "OUTPUT 1\r\nINTERFACE\r\n");
  ztest::WriteFile(temp_ + "/keys.txt", kKeys);
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "ui.txt", temp_ + "/stderr.txt"), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "");

  std::istringstream log(ztest::ReadFile(tree + "/CONSOLE.TXT"));
  size_t next = 0;
  int plays = 0;
  for (std::string line; std::getline(log, line);) {
    plays += line == ">PLAY";
    if (next < kLines.size() && line.rfind(kLines[next], 0) == 0) ++next;
  }
  EXPECT_EQ(next, kLines.size()) << "missing or out of order: " << kLines[std::min(next, kLines.size() - 1)];
  EXPECT_EQ(plays, 1);

  const std::string before = ztest::ReadFile(tree + "/SCREEN1.TGA"), after = ztest::ReadFile(tree + "/SCREEN2.TGA");
  ASSERT_EQ(before.size(), 18u + 640 * 480 * 3);
  EXPECT_EQ(before, after);  // CHOOSE YOUR RACE again, TIME TRIAL under the pointer
}

// Without the time trial's script the race still starts.
TEST_F(MenusProgramTest, AMissingRaceScriptStillPlays) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  fs::remove(tree + "/dat/PMONTRE");
  ztest::WriteFile(tree + "/dat/UI.TXT", "OUTPUT 1\r\nINTERFACE\r\n");
  ztest::WriteFile(temp_ + "/keys.txt",
                   "clock 1\n8000ms mouse 191 115\n10 1 down\n10 1 up\n4000ms mouse 220 126\n10 1 down\n10 1 up\n"
                   "8000ms 27 down\n5 27 up\n5 112 down\n5 112 up\n");
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "ui.txt", temp_ + "/stderr.txt"), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "");
  const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  const size_t run = console.find(">RUN PMONTRE"), play = console.find(">PLAY");
  EXPECT_NE(run, std::string::npos);
  EXPECT_NE(play, std::string::npos);
  EXPECT_LT(run, play);
  EXPECT_NE(console.find("DisposeVehicles..."), std::string::npos);
}

// SELECT COMMAND: a click on GEAR UP's key field, the A key typed, BACK,
// QUIT and Y; the registry then holds the key and the user keys' choice.
// COMMAND (503, 156), GEAR UP's field (515, 242).
TEST_F(MenusProgramTest, AUserKeyChosenOnSelectCommandIsStored) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  ztest::WriteFile(tree + "/dat/UI.TXT", "OUTPUT 1\r\nINTERFACE\r\n");
  ztest::WriteFile(temp_ + "/keys.txt",
                   "clock 1\n8000ms mouse 503 146\n10 1 down\n10 1 up\n"
                   "4000ms mouse 515 232\n10 1 down\n10 1 up\n"
                   "1000ms char 97\n0 65 down\n500ms 65 up\n"
                   "1000ms mouse 76 418\n10 1 down\n10 1 up\n"
                   "4000ms mouse 70 411\n10 1 down\n10 1 up\n1000ms 89 down\n");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "ui.txt", temp_ + "/stderr.txt"), 0);
  const std::string registry = ztest::ReadFile(config_ + "/registry.txt");
  // Values are stored as "name=type:hex bytes".
  EXPECT_NE(registry.find("GearUp=1:4100"), std::string::npos) << registry;
  EXPECT_NE(registry.find("ChoixInput=4:02000000"), std::string::npos) << registry;
}

}  // namespace
