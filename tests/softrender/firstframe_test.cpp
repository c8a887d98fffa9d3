// The race frames drawn by the software renderer's fillers: the whole
// program in this process on the data tree datagen writes, four cars
// and PLAY with the game's own reset values, at VIDEOMODE 7 once with the
// 8-bit polygon families (VECTOR) and once with the 1/z triangle filler
// (PERSPECTIVE), and at VIDEOMODE 17 with the 16-bit families (VECTOR).
// The screenshot of the eleventh race frame (the cars on the grid, the
// follow camera behind the driven one), and of a frame just after the go
// with the decor objects on, is compared with a reviewed golden picture
// per video mode and renderer.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/programshot.h"

namespace {

struct Shot {
  const char* videoMode;
  const char* renderer;
};

class FirstFrameTest : public ztest::ProgramShotTest, public testing::WithParamInterface<Shot> {
 protected:
  // The race of the settings and the video mode, the screenshot its keys
  // take compared with the golden picture of the name's prefix.
  void Shoot(const std::string& settings, void (*keys)(), const std::string& prefix) {
    const std::string mode = GetParam().videoMode, renderer = GetParam().renderer;
    // The 1/z renderer's pictures carry its short name.
    const std::string tag = renderer == "PERSPECTIVE" ? "PERSP" : renderer;
    ExpectShot(keys, "tests/softrender/golden/" + prefix + mode + "_" + tag + ".tga",
               "USINGCARS 1\r\nNUMBEROFCARS 4\r\n" + settings + "VIDEOMODE " + mode + "\r\nMODE " + renderer +
                   "\r\nPLAY\r\nQUIT\r\n");
  }
};

TEST_P(FirstFrameTest, MatchesTheGoldenPicture) { Shoot("", ztest::GridShotKeys, "frame"); }

// The gantry's panels whole, "GO" on the first, the go lamps lit; the
// decor objects in their colours.
TEST_P(FirstFrameTest, AfterTheGoMatchesTheGoldenPicture) {
  Shoot("USINGOBJECTS dat>decor.txt\r\n", ztest::GoShotKeys, "go");
  EXPECT_GT(ztest::g_goFrame, ztest::kPressFrame);
}

INSTANTIATE_TEST_SUITE_P(Renderers, FirstFrameTest,
                         testing::Values(Shot{"7", "VECTOR"}, Shot{"7", "PERSPECTIVE"}, Shot{"17", "VECTOR"}),
                         [](const testing::TestParamInfo<Shot>& info) {
                           return std::string("Mode") + info.param.videoMode + "_" + info.param.renderer;
                         });

}  // namespace
