// The car paint editor run whole on the console's picture at 8 and 16
// bits: knob positions, drags clamped and repainting on release only,
// arrows, dither, quit with its captured presses, the sliding title, Esc
// held on entry, a missing slider track, and the mode left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "datagen/carmodels.h"

#include "shell/console.h"
#include "shell/gamedraw.h"
#include "tests/support/golden.h"
#include "system/asm3d/zidade3d.h"
#include "system/lsvar.h"
#include "tests/tools/careditor/careditor_fixture.h"
#include "tools/careditor/careditor.h"
#include "tools/careditor/paint.h"
#include "tools/tools.h"
#include "vehicles/devenv.h"
#include "vehicles/setups.h"
#include "vehicles/vehicles.h"

namespace {

using ztest::kLeftKey;

class PaintEditorTest : public ztest::CarEditorTest, public testing::WithParamInterface<int32_t> {
 protected:
  void Run() {
    BMAP* source = SB_CreateBmap(640, 480, 8, 0, "source");
    SB_Var.DevEnvScreen = source;
    SB_CarPaintEditor(source, GetParam());
    SB_Var.DevEnvScreen = nullptr;
    SB_FreeBmap(source);
    ExpectModeRestored();
  }
  void ExpectModeRestored() {
    ASSERT_NE(LS_Var.Screen, nullptr);
    EXPECT_EQ(LS_Var.Screen->SizeX, 640);
    EXPECT_EQ(LS_Var.Screen->SizeY, 480);
    EXPECT_EQ(LS_Var.Screen->Depth, 16);
    for (const std::string& tag : Tags()) EXPECT_EQ(tag.rfind("CarEditor", 0), std::string::npos) << tag;
  }
  // The project's car models loaded and one car per setup made at the
  // video mode's 8 bits with no palette, as CAREDITOR makes them.
  void LoadCars() {
    LS_InitSinTable();  // as the program starts
    for (const datagen::CarModel& car : datagen::CarModels()) ASSERT_TRUE(datagen::WriteCarModel(root_, car));
    SB_LoadVehiclePrototypes(nullptr);
    SB_Var.VideoModeIndex = 0;
    SB_Var.VideoModes[0].Depth = 8;
    SB_Var.NbCars = 9;
    SB_LoadCars(setups_, 1);
  }
  // The knob's centre for the setup's delta (track height 150).
  static int32_t KnobY(double delta, double range) {
    return static_cast<int32_t>(std::trunc((255.0 - delta) / range * 150 - 75 + 400));
  }
};

TEST_P(PaintEditorTest, KnobsSitOnTheirValue) {
  SB_Var.CarEditorDepth = GetParam();
  ASSERT_EQ(SB_LoadCarPaintArt(), 1);
  EXPECT_EQ(SB_CarPaintTrackHeight(), 150);
  const struct {
    float h, s, v;
    int32_t y[3];
  } kRows[] = {{0, 0, 0, {475, 400, 400}}, {255, -255, 255, {325, 475, 325}}, {100, 100, -100, {416, 370, 429}}};
  for (const auto& r : kRows) {
    setups_[0] = {};
    setups_[0].HDelta = r.h, setups_[0].SDelta = r.s, setups_[0].VDelta = r.v;
    for (int k = 0; k < 3; ++k) EXPECT_EQ(SB_CarPaintKnobY(k), r.y[k]) << r.h << " " << k;
  }
  SB_FreeCarPaintArt();
}

TEST_P(PaintEditorTest, DragsStopAtTheEndsAndRepaintOnRelease) {
  setups_[0].HDelta = 0, setups_[0].SDelta = 0;
  const int32_t hueY = KnobY(0, 255), satY = KnobY(0, 510);
  int repaintsBeforeRelease = -1;
  Play({{535, hueY, false}, {535, hueY, true}, {535, hueY - 100, true}, {535, hueY - 400, true}, {535, hueY - 400, false},
        {570, satY, false}, {570, satY, true}, {570, satY + 300, true}, {570, satY + 300, false}});
  auto play = ztest::g_afterPass;
  ztest::g_afterPass = [&, play](int n) {
    if (n == 3) repaintsBeforeRelease = static_cast<int>(ztest::g_repaints.size());
    if (n == 2) {
      EXPECT_NEAR(setups_[0].HDelta, 170.0, 1e-3) << "moves during the drag";
    }
    play(n);
  };
  Run();
  EXPECT_EQ(repaintsBeforeRelease, 0) << "no repaint during a drag";
  EXPECT_EQ(setups_[0].HDelta, 255.0f);
  EXPECT_EQ(setups_[0].SDelta, -255.0f);
  EXPECT_EQ(ztest::g_repaints, (std::vector<int32_t>{0, 0})) << "one repaint per release";
}

TEST_P(PaintEditorTest, ArrowsDitherAndQuit) {
  setups_[0].Dither = 1;
  const int32_t hueY = KnobY(setups_[0].HDelta, 255);
  Play({{220, 180, true},                          // left arrow: a step on the press
        {300, 300, true},   {220, 180, true},    // slide off and back: nothing more
        {220, 180, false},  {540, 300, true},    // dither on press
        {540, 300, false},  {24, 456, true},     // quit pressed, slid off and back
        {300, 300, true},   {24, 456, true},   {24, 456, false},
        {535, hueY + 75, false}, {535, hueY + 75, true}, {24, 456, true}, {24, 456, false},  // a knob press
        {10, 10, false, kLeftKey}, {10, 10, false}});
  Run();
  EXPECT_EQ(ztest::g_passes, 16) << "no quit by any of those releases";
  EXPECT_EQ(SB_Var.SetupScrollTarget, -2) << "the arrow's press and the key, settled on setup 2";
  EXPECT_EQ(SB_Var.SelectedSetup, 2);
  EXPECT_EQ(setups_[0].Dither, 0) << "toggled off";
  EXPECT_EQ(ztest::g_repaints, (std::vector<int32_t>{0, 0})) << "the dither toggle and the knob's release";
}

TEST_P(PaintEditorTest, QuitOnReleaseAndTheKeyOnTheLastSetupWraps) {
  SB_Var.SetupScrollTarget = SB_Var.SetupScroll = -8;
  SB_Var.SetupScrollPos = -80.0;
  SB_Var.SelectedSetup = 8;
  Play({{10, 10, false, kLeftKey}, {10, 10, false}, {24, 456, true}, {24, 456, false}, {10, 10, false}, {10, 10, false}});
  Run();
  EXPECT_EQ(ztest::g_passes, 4) << "the release over quit ends the loop";
  EXPECT_EQ(SB_Var.SelectedSetup, 0);
  EXPECT_EQ(SB_Var.SetupScrollPos, 0.0);
}

TEST_P(PaintEditorTest, TheTitleSlidesInSixPixelsAPass) {
  std::vector<int32_t> xs;
  std::vector<Step> steps(120, Step{320, 240, false});
  Play(steps);
  auto play = ztest::g_afterPass;
  ztest::g_afterPass = [&, play](int n) {
    xs.push_back(SB_Var.CarPaintTitleX);
    play(n);
  };
  Run();
  ASSERT_EQ(xs.size(), 120u);
  EXPECT_EQ(xs[0], 640) << "the first pass follows the clock's reset at once";
  for (int n = 1; n <= 106; ++n) EXPECT_EQ(xs[static_cast<size_t>(n)], 640 - 6 * n) << n;
  EXPECT_EQ(xs[107], 0) << "arrives after 107 passes of 25 ms";
}

// The frame's 8-bit pixels, cars included, are indices into the console's
// palette: the screen shows that palette while the editor runs.
TEST_P(PaintEditorTest, AtEightBitsTheScreenShowsTheConsolePalette) {
  if (GetParam() != 8) GTEST_SKIP() << "a palette only at 8 bits";
  for (LS_RGB& e : LS_Var.Palette.Entry) e = {1, 2, 3};
  int32_t same = -1;
  Play({{320, 240, false}});
  auto play = ztest::g_afterPass;
  ztest::g_afterPass = [&, play](int n) {
    if (n == 0)
      same = std::equal(std::begin(palette_.Entry) + 1, std::end(palette_.Entry), std::begin(LS_Var.Palette.Entry) + 1,
                        [](const LS_RGB& a, const LS_RGB& b) { return a.Red == b.Red && a.Green == b.Green && a.Blue == b.Blue; });
    play(n);
  };
  Run();
  EXPECT_EQ(same, 1);
}

TEST_P(PaintEditorTest, EscHeldOnEntryRunsNoPass) {
  plat::SetKeyState(ztest::kEsc, true);
  Run();
  EXPECT_EQ(ztest::g_passes, 0);
}

TEST_P(PaintEditorTest, WithoutTheSliderTrackTheEditorRefuses) {
  SB_ClearPrintedLines();
  TearDown();
  skip_ = {"INTERFAC/BOUTONS/VBARA.TGA"};
  SetUp();
  Play({});
  Run();
  EXPECT_EQ(ztest::g_passes, 0);
  const auto lines = Printed();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Car editor: interfac>boutons>vbara missing !!!"), lines.end());
}

TEST_P(PaintEditorTest, AOneRowTrackIsRefusedToo) {
  datagen::Picture24 track(12, 1, 80, 80, 80);
  ASSERT_TRUE(datagen::WriteTga(Path("INTERFAC/BOUTONS/VBARA.TGA"), track));
  SB_ClearPrintedLines();
  Play({});  // Esc after a first pass, should one run
  Run();
  EXPECT_EQ(ztest::g_passes, 0);
  const auto lines = Printed();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Car editor: interfac>boutons>vbara missing !!!"), lines.end());
}

TEST_P(PaintEditorTest, TheTitleStepIsTheFrameTimePlusTwoQuartered) {
  SB_Var.CarEditorDepth = GetParam();
  const struct {
    int32_t frameTime, x;
  } kRows[] = {{25, 634}, {2, 633}, {1, 633}, {26, 626}, {5000, 0}};
  SB_Var.CarPaintTitleX = 640;
  for (const auto& r : kRows) {
    SB_Var.FrameTime = r.frameTime;
    SB_DrawCarPaintTitle();
    EXPECT_EQ(SB_Var.CarPaintTitleX, r.x) << r.frameTime;
  }
}

// After 120 passes of 25 ms with setup 0's hue dragged to half way: the
// title in place, the controls, the knobs at the setup's values and the
// strips of its colours, the pointer, and the carousel of the nine cars,
// made as the program makes them (at the 8-bit video mode's depth, before
// the editor's palette) and shown in their colours, the centred one
// repainted at the drag's release.
TEST_P(PaintEditorTest, GoldenFrameAfter120Passes) {
  if (GetParam() != 16) GTEST_SKIP() << "one picture, at the default depth";
  LoadCars();
  setups_[0].SDelta = 60.0f, setups_[0].VDelta = -40.0f;
  const int32_t hueY = KnobY(0, 255);
  std::vector<Step> steps = {{535, hueY, false}, {535, hueY, true}, {535, hueY - 75, true}, {535, hueY - 75, false}};
  steps.resize(120, Step{300, 260, false});
  Play(steps);
  BMAP* shot = SB_CreateBmap(640, 480, 24, 0, "shot");
  auto play = ztest::g_afterPass;
  ztest::g_afterPass = [&, play](int n) {
    if (n == 119) SB_Bitmove(SB_Var.CarEditorFrame, shot, 0, 0, 639, 479, 0, 0);
    play(n);
  };
  Run();
  SB_FreeCars();
  SB_FreeVehiclePrototypes();
  EXPECT_EQ(ztest::g_repaints, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 0})) << "each car once, then the release";
  // The centred car, at the middle of the frame's top half, in colour.
  int32_t coloured = 0;
  LS_LockBmap(shot);
  for (int32_t y = 40; y < 170; ++y)
    for (int32_t x = 240; x < 400; ++x) {
      const uint8_t* p = shot->Start + y * shot->ByteLen + x * 3;
      coloured += std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) > 60;
    }
  LS_UnlockBmap(shot);
  EXPECT_GT(coloured, 2000);
  ztest::ExpectGolden(shot, "tests/tools/golden/careditor16.tga", root_);
  SB_FreeBmap(shot);
}

INSTANTIATE_TEST_SUITE_P(Depths, PaintEditorTest, testing::Values(8, 16));

}  // namespace
