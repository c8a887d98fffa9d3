// The built program headless, as a new user tries the track editor at
// 8 and 16 bits: editors on, F2 in a race, the race-line tool, three right
// clicks on the top view, a picture of the screen, F2 back to the race,
// Escape; the line then saved as a metre table that the circuit loads in
// the next race. And F2 under the shipped start-up, the accelerator's, as
// under the software mode.
#include "tests/support/program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "tests/support/dumpshot.h"
#include "tests/support/testenv.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPoints[3][2] = {{200, 150}, {320, 200}, {420, 300}};

std::string Keys(const std::string& before, const std::string& after) {
  std::string keys = "# pumps key state\n300 113 down\n5 113 up\n";
  keys += "10 mouse 616 204\n5 1 down\n3 1 up\n";  // the race-line tool
  keys += "5 mouse 300 330\n10 dump " + before + "\n";
  for (const auto& p : kPoints)
    keys += "5 mouse " + std::to_string(p[0]) + " " + std::to_string(p[1]) + "\n5 2 down\n3 2 up\n";
  keys += "5 mouse 300 330\n10 dump " + after + "\n";
  keys += "5 113 down\n5 113 up\n5 27 down\n2 27 up\n";
  return keys;
}

using TrackEditorProgram = ztest::Environment;

TEST_F(TrackEditorProgram, ARaceLineLaidWithTheMouseAtEightAndSixteenBits) {
  for (const char* mode : {"7", "17"}) {
    SCOPED_TRACE(std::string("VIDEOMODE ") + mode);
    const std::string tree = temp_ + "/tree" + mode;
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
    ztest::WriteFile(tree + "/dat/TE.TXT", std::string("OUTPUT 1\r\nEDITORMODE 1\r\nVIDEOMODE ") + mode +
                                               "\r\nPLAY\r\nSAVEBSPLINEMETER TXT>MYLINE.BSP\r\nQUIT\r\n");
    const std::string before = temp_ + "/before" + mode + ".tga", after = temp_ + "/after" + mode + ".tga";
    ztest::WriteFile(temp_ + "/keys.txt", Keys(before, after));
    WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
    EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "te.txt", temp_ + "/stderr.txt", 120),
              0);
    EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt").find("not released"), std::string::npos);
    const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
    EXPECT_NE(console.find("Bspline meter TXT>MYLINE.BSP saved."), std::string::npos);

    // The top view, then the same with the line's three points on it.
    const ztest::DumpShot empty = ztest::ReadDump(before), laid = ztest::ReadDump(after);
    ASSERT_EQ(empty.width, 640);
    ASSERT_EQ(laid.width, 640);
    ASSERT_EQ(laid.height, 480);
    for (const auto& p : kPoints) EXPECT_GT(laid.Differences(empty, p[0] - 3, p[1] - 3, 7, 7), 4);
    EXPECT_EQ(laid.Differences(empty, 100, 400, 100, 40), 0);  // away from the line

    // A metre table: its count, then that many points of three doubles.
    const std::string table = ztest::ReadFile(tree + "/txt/MYLINE.BSP");
    ASSERT_GT(table.size(), 4u + 24 * 10);
    EXPECT_EQ((table.size() - 4) % 24, 0u);
  }
  // The circuit's next race takes the saved line as its centre line.
  const std::string tree = temp_ + "/tree17";
  std::string info = ztest::ReadFile(tree + "/txt/netrace.txt");
  const size_t at = info.find("BSPLINENAME: TXT>NETRACE.BSP");
  ASSERT_NE(at, std::string::npos);
  info.replace(at, 28, "BSPLINENAME: TXT>MYLINE.BSP");
  ztest::WriteFile(tree + "/txt/netrace.txt", info);
  ztest::WriteFile(tree + "/dat/RACE.TXT", "OUTPUT 1\r\nPLAY\r\nQUIT\r\n");
  ztest::WriteFile(temp_ + "/keys.txt", "300 27 down\n2 27 up\n");
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "race.txt", temp_ + "/stderr.txt", 120),
            0);
  const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  EXPECT_NE(console.find("Duplicating user cars..."), std::string::npos);
  EXPECT_EQ(console.find("Bspline file"), std::string::npos);
}

// The shipped start-up (VIDEOMODE 17, MODE PVR) with the editors on, and
// the same with MODE VECTOR: F2's top view shows the circuit, its faces
// outlined in the outline colour on the clear colour, the same picture in
// both.
TEST_F(TrackEditorProgram, TheTopViewUnderTheShippedStartUpIsTheSoftwareModes) {
  const char* modes[] = {"", "MODE VECTOR\r\n"};
  ztest::DumpShot shots[2];
  for (int m = 0; m < 2; ++m) {
    SCOPED_TRACE(m ? "MODE VECTOR" : "MODE PVR");
    const std::string tree = temp_ + "/tree" + std::to_string(m);
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
    ztest::WriteFile(tree + "/dat/TV.TXT", ztest::ReadFile(tree + "/dat/startup.txt") +
                                               "\r\nOUTPUT 1\r\nEDITORMODE 1\r\n" + modes[m] + "PLAY\r\nQUIT\r\n");
    const std::string shot = temp_ + "/top" + std::to_string(m) + ".tga";
    ztest::WriteFile(temp_ + "/keys.txt", "# pumps key state\n300 113 down\n5 113 up\n10 mouse 300 330\n10 dump " +
                                              shot + "\n5 113 down\n5 113 up\n5 27 down\n2 27 up\n3 112 down\n5 112 up\n");
    WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
    EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "tv.txt", temp_ + "/stderr.txt", 120), 0);
    EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt").find("not released"), std::string::npos);
    shots[m] = ztest::ReadDump(shot);
    ASSERT_EQ(shots[m].width, 640);
    ASSERT_EQ(shots[m].height, 480);
  }
  // The outline colour (the palette's nearest to magenta) along the
  // circuit's faces, inside the view, away from the panel's buttons.
  int32_t outlined = 0;
  std::set<uint32_t> colours;
  for (int32_t y = 100; y < 400; ++y)
    for (int32_t x = 50; x < 590; ++x) {
      const uint32_t c = shots[0].At(x, y);
      const int32_t r = int32_t(c >> 16), g = int32_t(c >> 8 & 255), b = int32_t(c & 255);
      outlined += r > 150 && b > 150 && g < 100;
      colours.insert(c);
    }
  EXPECT_GT(outlined, 5000);
  EXPECT_GE(colours.size(), 2u);
  EXPECT_EQ(shots[0].Differences(shots[1], 0, 0, 640, 480), 0);
}

}  // namespace
