// The scenery in the program's accelerated race, as a user sees it: the
// shipped start-up on the data tree datagen writes, a screenshot by day
// with one car (the sky, the sun's flare and the car's shadow) and one at
// night with two cars after F7 brought the night (the stars and two
// beams), each compared with a reviewed golden picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "system/bmap.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/picture.h"
#include "tests/support/golden.h"
#include "tests/support/program.h"
#include "tests/support/testenv.h"

namespace {

namespace fs = std::filesystem;

// Picks the automatic gearbox, waits for the start, holds the keys given,
// takes a screenshot (Alt+S) and leaves the race and the menu.
std::string Keys(const std::string& held) {
  return "300 16 down\n10 16 up\n1500ms 16 up\n" + held +
         "500ms 18 down\n0 83 down\n5 83 up\n0 18 up\n5 27 down\n2 27 up\n3 112 down\n5 112 up\n";
}

class SceneryFrameTest : public ztest::LibraryTest {
 protected:
  // The race with the settings after the shipped start-up and the keys
  // held before the screenshot, compared with the golden picture.
  void Shoot(const std::string& settings, const std::string& held, const std::string& golden) {
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", root_,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    ztest::WriteFile(root_ + "/dat/SHOT.TXT", ztest::ReadFile(root_ + "/dat/startup.txt") + "\r\n" +
                                                  settings + "OUTPUT 1\r\nPLAY\r\nQUIT\r\n");
    ztest::WriteFile(temp_ + "/keys.txt", Keys(held));
    WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
    ASSERT_EQ(ztest::RunWithKeys(root_, config_, temp_ + "/keys.txt", "shot.txt", temp_ + "/stderr.txt", 120),
              0);
    EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "");
    const std::string console = ztest::ReadFile(root_ + "/CONSOLE.TXT");
    EXPECT_EQ(console.find("not found"), std::string::npos);
    StartLibrary(8u << 20);
    BMAP* shot = LS_LoadTga("SCREEN1.TGA", 0);
    ztest::ExpectGolden(shot, golden, root_);
    if (shot) LS_FreeBmap(shot);
  }
};

TEST_F(SceneryFrameTest, DayShowsTheSkyTheFlareAndACarsShadow) {
  Shoot("NUMBEROFCARS 1\r\n", "", "tests/scenery/golden/day.tga");
}

TEST_F(SceneryFrameTest, NightShowsTheStarsAndTwoBeams) {
  Shoot("NUMBEROFCARS 2\r\nEDITORMODE 1\r\n", "100ms 118 down\n7000ms 118 up\n",
        "tests/scenery/golden/night.tga");
}

}  // namespace
