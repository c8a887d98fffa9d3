// The race frames drawn by the software renderer's fillers: the whole
// program in this process on a copy of the build's data tree, four cars
// and PLAY with the game's own reset values, at VIDEOMODE 7 once with the
// 8-bit polygon families (VECTOR) and once with the 1/z triangle filler
// (PERSPECTIVE), and at VIDEOMODE 17 with the 16-bit families (VECTOR).
// The screenshot of the eleventh race frame (the cars on the grid, the
// follow camera behind the driven one), and of a frame just after the go
// with the decor objects on, is compared with a reviewed golden picture
// per video mode and renderer.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "console/startup.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "race/sequencer.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/picture.h"
#include "tests/support/golden.h"
#include "tests/support/testenv.h"

namespace {

namespace fs = std::filesystem;

// Alt+S held from the frame before the shot for 1,000 polls of the manual
// clock, each a millisecond, so that the run repeats exactly; the race is
// left after the shot.
constexpr int32_t kShotFrame = 11;
int32_t g_polls = 0;
void Keys() {
  plat::AdvanceManualTime(1);
  const bool held = SB_Var.RaceFrames >= kShotFrame - 1 && g_polls < 1000;
  if (held) ++g_polls;
  plat::SetKeyState(18, held), plat::SetKeyState(83, held);
  if (SB_Var.RaceFrames >= kShotFrame) SB_Var.LeaveRace = 1;
}

// After the go, with the decor objects on: accelerate held for two frames
// from the twelfth chooses the gearbox and the training race goes on to
// the go; Alt+S is held from the third frame after it, and the race is
// left after the shot.
constexpr int32_t kPressFrame = 12;
int32_t g_goFrame = -1;
void GoKeys() {
  plat::AdvanceManualTime(1);
  const int32_t frame = SB_Var.RaceFrames;
  plat::SetKeyState(16, frame >= kPressFrame && frame < kPressFrame + 2);
  if (g_goFrame < 0 && frame > kPressFrame && SB_GetGameStep() > 14) g_goFrame = frame;
  const bool held = g_goFrame >= 0 && frame >= g_goFrame + 2 && g_polls < 1000;
  if (held) ++g_polls;
  plat::SetKeyState(18, held), plat::SetKeyState(83, held);
  if (g_goFrame >= 0 && frame >= g_goFrame + 3) SB_Var.LeaveRace = 1;
}

struct Shot {
  const char* videoMode;
  const char* renderer;
};

class FirstFrameTest : public ztest::Environment, public testing::WithParamInterface<Shot> {
 protected:
  // The race of the settings and the video mode, the screenshot its keys
  // take compared with the golden picture of the name's prefix.
  void Shoot(const std::string& settings, void (*keys)(), const std::string& prefix) {
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", root_,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    const std::string mode = GetParam().videoMode, renderer = GetParam().renderer;
    ztest::WriteFile(root_ + "/dat/FRAME.TXT", "USINGCARS 1\r\nNUMBEROFCARS 4\r\n" + settings + "VIDEOMODE " + mode +
                                                   "\r\nMODE " + renderer + "\r\nPLAY\r\nQUIT\r\n");
    WriteWinIni("[ZIDADE]\nMaster=FALSE\n");  // screenshots are taken outside master mode
    g_polls = 0, g_goFrame = -1;
    plat::SetMessageSource(keys);
    std::vector<const char*> args = {"zentrova", "-S:frame.txt"};
    EXPECT_EQ(ztest::ExitCodeOf([&] { SB_Main(int16_t(args.size()), const_cast<char**>(args.data())); }), 0);
    plat::SetMessageSource(nullptr);
    ASSERT_TRUE(ztest::FileExists(root_ + "/SCREEN1.TGA"));

    // The library is closed; it is started again to read both pictures.
    ASSERT_EQ(LS_InitZidAde(8u << 20), 1);
    BMAP* shot = LS_LoadTga("SCREEN1.TGA", 0);
    ASSERT_NE(shot, nullptr);
    // The 1/z renderer's pictures carry its short name.
    const std::string tag = renderer == "PERSPECTIVE" ? "PERSP" : renderer;
    ztest::ExpectGolden(shot, "tests/softrender/golden/" + prefix + mode + "_" + tag + ".tga", root_);
    LS_FreeBmap(shot);
    LS_CloseZidAde();
    LSI_CloseMemory();
  }
};

TEST_P(FirstFrameTest, MatchesTheGoldenPicture) { Shoot("", Keys, "frame"); }

// The gantry's panels whole, "GO" on the first, the go lamps lit; the
// decor objects in their colours.
TEST_P(FirstFrameTest, AfterTheGoMatchesTheGoldenPicture) {
  Shoot("USINGOBJECTS dat>decor.txt\r\n", GoKeys, "go");
  EXPECT_GT(g_goFrame, kPressFrame);
}

INSTANTIATE_TEST_SUITE_P(Renderers, FirstFrameTest,
                         testing::Values(Shot{"7", "VECTOR"}, Shot{"7", "PERSPECTIVE"}, Shot{"17", "VECTOR"}),
                         [](const testing::TestParamInfo<Shot>& info) {
                           return std::string("Mode") + info.param.videoMode + "_" + info.param.renderer;
                         });

}  // namespace
