// The car chooser on CHOOSE CAR, in this process: an arrow key highlights
// its screen arrow and steps once per press, Esc keeps the centred setup,
// and a choice left before the row has slid from the paint editor's
// spacing still selects the setup it entered on; MAIN MENU comes back.
#include <gtest/gtest.h>

#include "platform/window.h"
#include "shell/sbvar.h"
#include "tests/frontend/tree_fixture.h"
#include "tools/tools.h"

namespace {

using CarChooserTest = ztest::TreeMenuTest;
constexpr int32_t kEsc = 27, kLeftKey = 37;

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

}  // namespace
