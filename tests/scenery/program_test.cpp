// The built program headless on a copy of the default data tree: two
// accelerated races of the shipped start-up in one session, on the same
// map, whose textures stay loaded between them. The first race's go
// lights the start lamps, writes "  GO " and moves the road lights; the
// second race's grid must look as the first race's did, so that its go
// shows again. And Alt+S over the developer's texture-memory report,
// and over a sliding car's puffs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "system/bmap.h"
#include "system/font.h"
#include "system/lsvar.h"
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

// With DRAWDEVINFO on, holding F10 over the accelerated race draws the
// texture-memory report into the race overlay; Alt+S taken meanwhile
// writes the overlay as the screen shows it, the report included.
constexpr const char* kReportKeys =
    "clock 20\n250 121 down\n5 18 down\n0 83 down\n5 83 up\n0 18 up\n5 121 up\n"
    "5 27 down\n2 27 up\n3 112 down\n5 112 up\n";

using ReportShotTest = ztest::LibraryTest;

// Pixels of a 640 x 480 shot's text at (x, y) that are not the system
// font's glyphs of the text drawn opaque, in two colours of the shot's
// own; the whole area when the shot has but one colour there.
int32_t Misdrawn(const std::string& shot, const std::string& text, int32_t x0, int32_t y0) {
  const auto width = static_cast<int32_t>(text.size()) * 8, height = 8;
  BMAP* alone = LS_CreateBmap(width, height, 8, 0);
  if (!alone) return -1;
  LS_ClearBmap(alone);
  LS_DrawString(LS_Var.SysFont, alone, text.c_str(), 0, 0, LS_BLIT_OPAQUE);
  std::string ink, paper;
  int32_t wrong = 0;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const size_t at = 18 + (static_cast<size_t>(y0 + y) * 640 + static_cast<size_t>(x0 + x)) * 3;
      std::string& expected = LS_GetPixel(alone, x, y) ? ink : paper;
      if (expected.empty()) expected = shot.substr(at, 3);
      wrong += shot.compare(at, 3, expected) != 0;
    }
  LS_FreeBmap(alone);
  return ink.empty() || ink == paper ? width * height : wrong;
}

TEST_F(ReportShotTest, AltSCapturesTheTextureMemoryReport) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  const std::string startup = ztest::ReadFile(tree + "/dat/startup.txt");
  ztest::WriteFile(tree + "/dat/REPORT.TXT", startup + "DRAWDEVINFO 1\r\nPLAY\r\nQUIT\r\n");
  ztest::WriteFile(temp_ + "/keys.txt", kReportKeys);
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "report.txt", temp_ + "/stderr.txt", 120), 0);
  const std::string shot = ztest::ReadFile(tree + "/SCREEN1.TGA");
  ASSERT_EQ(shot.size(), 18u + 640 * 480 * 3);
  // The report's last line starts "FreeMem:" at (10, 220).
  StartLibrary();
  EXPECT_EQ(Misdrawn(shot, "FreeMem:", 10, 220), 0) << "the report is not in the shot";
}

// On a card of half a megabyte the circuit's textures do not all fit:
// with DRAWDEVINFO on, the race shows its cache's state at (100, 100).
// The state follows what each frame needed, so three shots are taken a
// second apart: the line shows in one at least.
TEST_F(ReportShotTest, ASmallCardShowsTheCacheFull) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  const std::string startup = ztest::ReadFile(tree + "/dat/startup.txt");
  ztest::WriteFile(tree + "/dat/REPORT.TXT", startup + "DRAWDEVINFO 1\r\nPLAY\r\nQUIT\r\n");
  const std::string shot = "18 down\n0 83 down\n5 83 up\n0 18 up\n";
  ztest::WriteFile(temp_ + "/keys.txt", "clock 20\n250 " + shot + "50 " + shot + "50 " + shot +
                                            "5 27 down\n2 27 up\n3 112 down\n5 112 up\n");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  setenv("ZENTROVA_ACCEL_MB", "0.5", 1);
  const int code = ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "report.txt", temp_ + "/stderr.txt", 120);
  unsetenv("ZENTROVA_ACCEL_MB");
  EXPECT_EQ(code, 0);
  StartLibrary();
  int32_t shown = 0;
  for (int n = 1; n <= 3; ++n) {
    const std::string picture = ztest::ReadFile(tree + "/SCREEN" + std::to_string(n) + ".TGA");
    ASSERT_EQ(picture.size(), 18u + 640 * 480 * 3) << n;
    shown += Misdrawn(picture, "CACHE FULL (Nb: ", 100, 100) == 0;
  }
  EXPECT_GE(shown, 1) << "no cache line in the shots";
}

// The shipped start-up's race with the wheels' smoke as it sets it and
// switched off: the gearbox chosen, the go, the engine, first gear, then
// full throttle and a hand-brake turn to the left, with a screenshot
// during the slide. The puffs left behind the sliding car make the two
// shots differ.
constexpr const char* kSlideKeys =
    "clock 20\n250 16 down\n5 16 up\n250 16 down\n5 16 up\n150 65 down\n5 65 up\n5 16 down\n"
    "200 37 down\n0 17 down\n40 18 down\n0 83 down\n5 83 up\n0 18 up\n"
    "5 17 up\n5 37 up\n5 16 up\n5 27 down\n2 27 up\n3 112 down\n5 112 up\n";

using SmokeShotTest = ztest::Environment;

TEST_F(SmokeShotTest, ASlidingCarLeavesPuffs) {
  std::string shots[2];
  for (int smoke = 0; smoke < 2; ++smoke) {
    const std::string tree = temp_ + "/tree" + std::to_string(smoke);
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
    std::string startup = ztest::ReadFile(tree + "/dat/startup.txt");
    const size_t props = startup.find("USINGOBJECTS");
    ASSERT_NE(props, std::string::npos);
    startup.erase(props, startup.find('\n', props) + 1 - props);  // props move on the clock of their own
    ASSERT_NE(startup.find("USINGSMOKE 1"), std::string::npos) << "the shipped start-up leaves smoke off";
    if (!smoke) startup += "USINGSMOKE 0\r\n";
    ztest::WriteFile(tree + "/dat/SLIDE.TXT", startup + "PLAY\r\nQUIT\r\n");
    ztest::WriteFile(temp_ + "/keys.txt", kSlideKeys);
    WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
    EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "slide.txt", temp_ + "/stderr.txt", 120), 0);
    shots[smoke] = ztest::ReadFile(tree + "/SCREEN1.TGA");
    ASSERT_EQ(shots[smoke].size(), 18u + 640 * 480 * 3);
  }
  // Puffs are light grey and translucent: they only brighten what lies
  // behind them, over a good part of the view.
  int32_t brighter = 0, darker = 0;
  for (size_t i = 18; i < shots[0].size(); ++i) {
    const int d = static_cast<uint8_t>(shots[1][i]) - static_cast<uint8_t>(shots[0][i]);
    brighter += d > 8, darker += d < -8;
  }
  EXPECT_GT(brighter, 3000) << "no puffs behind the sliding car";
  EXPECT_LT(darker, brighter / 10);
}
