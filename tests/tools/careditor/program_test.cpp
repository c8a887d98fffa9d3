// The built program headless on a copy of the default data tree, as a new
// user tries the car tools: CAREDITOR with a hue drag, whose release
// repaints the centred car (the input script's pictures) and which saves
// the changed setups; the main menu's car button, CHOOSE CAR with the cars
// in colour, two right-arrow clicks and the car area, which store the
// player's setup and write no setup file;
// and F11 in an accelerated race with the developer display, whose frame
// taken with Alt+S shows the inspector's description.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "tests/support/dumpshot.h"
#include "tests/support/program.h"
#include "tests/support/testenv.h"

namespace fs = std::filesystem;

namespace {

class CarToolsProgram : public ztest::Environment {
 protected:
  std::string CopyTree() {
    const std::string tree = temp_ + "/tree";
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
    return tree;
  }
  int Run(const std::string& tree, const std::string& script, const std::string& keys) {
    ztest::WriteFile(temp_ + "/keys.txt", keys);
    return ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", script, temp_ + "/stderr.txt", 300);
  }
};

TEST_F(CarToolsProgram, CarEditorRepaintsTheCarAtTheHuesReleaseAndSavesIt) {
  const std::string tree = CopyTree();
  ztest::WriteFile(tree + "/dat/CE.TXT", "OUTPUT 1\r\nDRAWCONSOLE 1\r\nCAREDITOR\r\nQUIT\r\n");
  // Left at once, the editor saves the setups as they were.
  EXPECT_EQ(Run(tree, "ce.txt", "100 27 down\n"), 0);
  const std::string before = ztest::ReadFile(tree + "/dat/NRCAR.CFG");
  ASSERT_FALSE(before.empty());
  // Setup 0's hue is 0: its knob sits at the foot of the track (535, 475);
  // dragged up 75 of its 150 rows and released, then pictures of the
  // editor before and after.
  const std::string shots[2] = {temp_ + "/before.tga", temp_ + "/after.tga"};
  EXPECT_EQ(Run(tree, "ce.txt",
                "40 mouse 535 475\n40 dump " + shots[0] + "\n40 1 down\n40 mouse 535 440\n40 mouse 535 400\n40 1 up\n"
                "40 mouse 300 300\n40 dump " + shots[1] + "\n5 27 down\n"),
            0);
  // The centred car, turning above the arrows: green as made, magenta
  // once repainted half way round the hues; never a dark shape.
  int32_t green[2] = {}, magenta[2] = {};
  for (int k = 0; k < 2; ++k) {
    const ztest::DumpShot shot = ztest::ReadDump(shots[k]);
    ASSERT_EQ(shot.width * shot.height, 640 * 480) << shots[k];
    for (int32_t y = 40; y < 170; ++y)
      for (int32_t x = 240; x < 400; ++x) {
        const uint32_t p = shot.At(x, y);
        const int32_t r = p >> 16 & 255, g = p >> 8 & 255, b = p & 255;
        green[k] += g > r + 40 && g > b + 40;
        magenta[k] += r > g + 40 && b > g + 40;
      }
  }
  EXPECT_GT(green[0], 2000);
  EXPECT_LT(magenta[0], 100);
  EXPECT_GT(magenta[1], 2000) << "repainted at the release";
  EXPECT_LT(green[1], 100);
  const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  EXPECT_NE(console.find("CarEditor Inits successful terminated..."), std::string::npos);
  EXPECT_NE(console.find("Saving cars configuration dat>nrcar.cfg..."), std::string::npos);
  const std::string after = ztest::ReadFile(tree + "/dat/NRCAR.CFG");
  EXPECT_EQ(after.size(), before.size());
  EXPECT_NE(after, before) << "the hue changed";
}

TEST_F(CarToolsProgram, TheMenuCarChoiceStoresTheCentredSetup) {
  const std::string tree = CopyTree();
  const std::string before = ztest::ReadFile(tree + "/dat/NRCAR.CFG");
  ztest::WriteFile(tree + "/dat/UI.TXT", "OUTPUT 1\r\nINTERFACE\r\n");
  // CAR (190, 330); a picture of CHOOSE CAR; the right arrow (410, 345)
  // twice; the car area (320, 220); QUIT (30, 411) and Y.
  const std::string shot = temp_ + "/chooser.tga";
  EXPECT_EQ(Run(tree, "ui.txt",
                "clock 1\n8000ms mouse 190 330\n10 1 down\n10 1 up\n6000ms dump " + shot +
                    "\n0 mouse 410 345\n10 1 down\n10 1 up\n"
                "1000ms 1 down\n10 1 up\n2000ms mouse 320 220\n10 1 down\n10 1 up\n"
                "4000ms mouse 30 411\n10 1 down\n10 1 up\n1000ms 89 down\n"),
            0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "");
  // The cars in the band across the screen in their colours (the stock
  // setups' green), not dark shapes.
  const ztest::DumpShot chooser = ztest::ReadDump(shot);
  ASSERT_EQ(chooser.width * chooser.height, 640 * 480);
  int32_t green = 0;
  for (int32_t y = 120; y < 320; ++y)
    for (int32_t x = 0; x < 640; ++x) {
      const uint32_t p = chooser.At(x, y);
      const int32_t r = p >> 16 & 255, g = p >> 8 & 255, b = p & 255;
      green += g > r + 40 && g > b + 40;
    }
  EXPECT_GT(green, 5000);
  EXPECT_NE(ztest::ReadFile(config_ + "/registry.txt").find("NumberOfCars=4:06000000"), std::string::npos);
  EXPECT_EQ(ztest::ReadFile(tree + "/dat/NRCAR.CFG"), before) << "the chooser writes no setup file";
  const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  EXPECT_NE(console.find("Free user cars..."), std::string::npos);
}

TEST_F(CarToolsProgram, F11DescribesThePolygonUnderTheMouse) {
  const std::string tree = CopyTree();
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");  // screenshots outside master mode
  ztest::WriteFile(tree + "/dat/IN.TXT", "RUN STARTUP.TXT\r\nDRAWDEVINFO 1\r\nPLAY\r\nQUIT\r\n");
  EXPECT_EQ(Run(tree, "in.txt",
                "clock 1\n300ms mouse 200 300\n100ms 122 down\n300ms mouse 210 310\n300ms 18 down\n0 83 down\n"
                "40 83 up\n0 18 up\n300ms 81 down\n100ms 122 up\n100ms 81 up\n100ms 27 down\n100ms 27 up\n"
                "100ms 112 down\n100ms 112 up\n"),
            0);
  // The description's first line, drawn opaque at (10, 10) over the
  // frame: its band holds the system font's two colours only.
  const std::string shot = ztest::ReadFile(tree + "/SCREEN1.TGA");
  ASSERT_GE(shot.size(), 18u + 640 * 480 * 3);
  const size_t start = 18 + static_cast<unsigned char>(shot[0]);
  std::set<std::string> colours;
  int glyphs = 0;
  for (int y = 10; y < 18; ++y)
    for (int x = 100; x < 400; ++x) {
      const std::string p = shot.substr(start + static_cast<size_t>(y * 640 + x) * 3, 3);
      colours.insert(p);
      glyphs += p != std::string(3, '\0');
    }
  EXPECT_EQ(colours.size(), 2u);
  EXPECT_GT(glyphs, 100);
}

}  // namespace
