// The car chooser on CHOOSE CAR, in this process: an arrow key highlights
// its screen arrow and steps once per press, Esc keeps the centred setup,
// and a choice left before the row has slid from the paint editor's
// spacing still selects the setup it entered on; MAIN MENU comes back. A
// click on the right arrow steps on its release and plays the select-car
// wave, as the left arrow key does at its press; each pass pumps the
// network three times.
#include <gtest/gtest.h>

#include <map>

#include "frontend/menuparts.h"
#include "platform/window.h"
#include "shell/sbvar.h"
#include "tests/frontend/tree_fixture.h"
#include "tools/tools.h"

namespace {

using CarChooserTest = ztest::TreeMenuTest;
using CarChooserWaves = ztest::SoundMenuTest;
constexpr int32_t kEsc = 27, kLeftKey = 37;
constexpr int32_t kSelectCarRow = 10;

TEST_F(CarChooserTest, AnArrowKeyHighlightsItsArrowAndStepsOncePerPress) {
  StartOn(2);
  SB_Var.NbSelectableSetups = 8;
  SB_Var.NbCars = 4;
  SB_Var.TextureReduction = 1;
  int32_t carsInside = 0, reductionInside = -1;
  int polls = 0;
  int32_t heldState = -1, releasedState = -1, targetWhileHeld = 99;
  ztest::OnPoll() = [&] {
    if (SB_Var.DrawnMenuScreen != 3) return;
    ++polls;
    plat::SetKeyState(kLeftKey, polls >= 10 && polls < 200);
    if (polls == 199) {
      heldState = SB_Var.MenuScreens[3].Items[1].State;
      targetWhileHeld = SB_Var.SetupScrollTarget;
    }
    if (polls == 300) releasedState = SB_Var.MenuScreens[3].Items[1].State;
    if (polls == 300) carsInside = SB_Var.NbCars, reductionInside = SB_Var.TextureReduction;
    plat::SetKeyState(kEsc, polls >= 400);
  };
  SB_RunCarEditor(16);
  ztest::OnPoll() = nullptr;
  plat::ReleaseAllKeys();
  EXPECT_EQ(heldState, 1) << "highlighted while the key is held";
  EXPECT_EQ(releasedState, 0) << "back to rest";
  EXPECT_EQ(targetWhileHeld, -1) << "one step for one press";
  EXPECT_EQ(SB_Var.SelectedSetup, 1) << "Esc keeps the centred setup";
  EXPECT_EQ(SB_Var.SetupScrollPos, -10.0);
  EXPECT_EQ(SB_Var.DrawnMenuScreen, 2);
  EXPECT_EQ(SB_Var.MenuScreen, 2);
  EXPECT_EQ(carsInside * 10 + reductionInside, 80) << "one car per selectable setup, no reduction";
  EXPECT_EQ(SB_Var.NbCars * 10 + SB_Var.TextureReduction, 41) << "both restored";
}

TEST_F(CarChooserTest, LeftBeforeTheRowArrivesTheEntrySetupStays) {
  StartOn(2);
  SB_Var.NbSelectableSetups = 8;
  SB_Var.SelectedSetup = 3;
  SB_Var.SetupScrollTarget = SB_Var.SetupScroll = -3;
  SB_Var.SetupScrollPos = -30.0;
  int polls = 0;
  double seen = 0.0;
  ztest::OnPoll() = [&] {
    if (SB_Var.DrawnMenuScreen != 3) return;
    if (++polls == 20) seen = SB_Var.SetupScrollPos;
    plat::SetKeyState(kEsc, polls >= 20);
  };
  SB_RunCarEditor(16);
  ztest::OnPoll() = nullptr;
  plat::ReleaseAllKeys();
  EXPECT_GT(seen, -45.0) << "still sliding from -30 to -45";
  EXPECT_EQ(SB_Var.SelectedSetup, 3);
  EXPECT_EQ(SB_Var.SetupScrollPos, -30.0);
  EXPECT_EQ(SB_Var.CarChoiceCancel, 0);
}

TEST_F(CarChooserTest, EscHeldOnEntryRunsNoPassAndSettlesTheTarget) {
  StartOn(2);
  SB_Var.NbSelectableSetups = 8;
  SB_Var.SetupScrollTarget = 2;
  plat::SetKeyState(kEsc, true);
  SB_RunCarEditor(16);
  plat::ReleaseAllKeys();
  EXPECT_EQ(SB_Var.SelectedSetup, 6);
  EXPECT_EQ(SB_Var.SetupScrollTarget, -6);
  EXPECT_EQ(SB_Var.DrawnMenuScreen, 2);
}

// Counted in passes (carousel drawings, the entry's first): passes 5..9
// hold the button on the right arrow, passes 20..24 the left arrow key;
// the wave is played in the pass of the click's release and of the key's
// press, each of which steps once.
TEST_F(CarChooserWaves, TheRightArrowsClickAndTheLeftKeyPlayTheSelectCarWave) {
  StartOn(2);
  SB_Var.NbSelectableSetups = 8;
  ASSERT_STREQ(SB_Var.MenuSounds[kSelectCarRow].FileName, "INTER>SONS>SELCTCAR.WAV");
  ztest::Chooser() = {};
  std::map<int32_t, int32_t> targets;
  ztest::OnPoll() = [&] {
    const int32_t pass = static_cast<int32_t>(ztest::Chooser().netUpdatesAtDraw.size());
    ztest::Chooser().pass = pass;
    targets.emplace(pass, SB_Var.SetupScrollTarget);  // as the pass before left it
    plat::SetCursorPos(410, 345);  // on the arrow placed at (396, 330)
    plat::SetKeyState(1, pass >= 5 && pass < 10);
    plat::SetKeyState(kLeftKey, pass >= 20 && pass < 25);
    plat::SetKeyState(kEsc, pass >= 30);
  };
  SB_RunCarEditor(16);
  ztest::OnPoll() = nullptr;
  plat::ReleaseAllKeys();
  SOUND* wave = MenuWave(kSelectCarRow);
  ASSERT_NE(wave, nullptr);
  std::vector<int32_t> passes;  // of the select-car wave; the button plays its own click too
  for (const auto& [pass, played] : ztest::Chooser().waves)
    if (played == wave) passes.push_back(pass);
  EXPECT_EQ(passes, (std::vector<int32_t>{10, 20})) << "the click's release, the key's press";
  EXPECT_EQ((std::vector<int32_t>{targets[10], targets[11], targets[20], targets[21]}), (std::vector<int32_t>{0, 1, 1, 0}))
      << "one step at the release, one back at the press";
}

TEST_F(CarChooserTest, EachPassPumpsTheNetworkThreeTimes) {
  StartOn(2);
  SB_Var.NbSelectableSetups = 8;
  ztest::Chooser() = {};
  ztest::OnPoll() = [&] { plat::SetKeyState(kEsc, ztest::Chooser().netUpdatesAtDraw.size() >= 25); };
  SB_RunCarEditor(16);
  ztest::OnPoll() = nullptr;
  plat::ReleaseAllKeys();
  const std::vector<int32_t>& at = ztest::Chooser().netUpdatesAtDraw;
  ASSERT_GE(at.size(), 25u);
  // From the entry's drawing to the first pass's, two: the entry pumps
  // before it draws.
  for (size_t i = 2; i < at.size(); ++i) EXPECT_EQ(at[i] - at[i - 1], 3) << "pass " << i;
}

}  // namespace
