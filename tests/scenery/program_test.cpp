// The built program headless on a copy of the default data tree: two
// accelerated races of the shipped start-up in one session, on the same
// map, whose textures stay loaded between them. The first race's go
// lights the start lamps, writes "  GO " and moves the road lights; the
// second race's grid must look as the first race's did, so that its go
// shows again.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/program.h"
#include "tests/support/testenv.h"

namespace fs = std::filesystem;

namespace {

// On the manual clock: a screenshot on the grid, accelerate (the gearbox
// chosen, then the go), a screenshot half a second later, leave; in the
// second race the grid's screenshot only, then leave.
constexpr const char* kKeys =
    "clock 20\n250 18 down\n0 83 down\n5 83 up\n0 18 up\n50 16 down\n10 16 up\n"
    "500ms 18 down\n0 83 down\n5 83 up\n0 18 up\n5 27 down\n2 27 up\n3 112 down\n5 112 up\n"
    "300 18 down\n0 83 down\n5 83 up\n0 18 up\n5 27 down\n2 27 up\n3 112 down\n5 112 up\n";

using TwoRacesTest = ztest::Environment;

TEST_F(TwoRacesTest, TheSecondRaceStartsWithTheLampsOut) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  // The start-up's settings without its decor objects, whose scripts run on
  // the clock and would make the two grids differ for reasons of their own.
  std::string startup = ztest::ReadFile(tree + "/dat/startup.txt");
  const size_t props = startup.find("USINGOBJECTS");
  ASSERT_NE(props, std::string::npos);
  startup.erase(props, startup.find('\n', props) + 1 - props);
  ztest::WriteFile(tree + "/dat/TWICE.TXT", startup + "PLAY\r\nPLAY\r\nQUIT\r\n");
  ztest::WriteFile(temp_ + "/keys.txt", kKeys);
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "twice.txt", temp_ + "/stderr.txt", 120), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "");
  const std::string grid = ztest::ReadFile(tree + "/SCREEN1.TGA"), go = ztest::ReadFile(tree + "/SCREEN2.TGA");
  ASSERT_EQ(grid.size(), 18u + 640 * 480 * 3);
  EXPECT_NE(go, grid);
  EXPECT_TRUE(ztest::ReadFile(tree + "/SCREEN3.TGA") == grid) << "the second race's grid differs from the first's";
}

}  // namespace
