// The car carousel: the cars drawn at rest and while moving, the step's
// speed, truncation and selection, the settle step, and indices with no
// car.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>
#include <vector>

#include "shell/sbvar.h"
#include "tests/support/testenv.h"
#include "tools/careditor/careditor.h"
#include "vehicles/types.h"

namespace {

using Placed = std::tuple<int32_t, double, double>;  // car, x, depth

class CarouselTest : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(4 << 20);
  }
  void TearDown() override {
    for (auto& c : SB_Var.Cars) c = nullptr;
    LibraryTest::TearDown();
  }
  void MakeCars(int32_t n) {
    cars_.clear();
    for (int32_t i = 0; i < n; ++i) {
      cars_.push_back(std::make_unique<TCAR>());
      SB_Var.Cars[i] = cars_.back().get();
    }
    SB_Var.NbCars = n;
  }
  // The cars each preview posed: their positions are cleared before.
  std::vector<Placed> Preview(bool chooser) {
    for (auto& c : cars_) c->Position[0] = NAN;
    chooser ? SB_DrawCarCarousel() : SB_DrawCarPaintPreview();
    std::vector<Placed> placed;
    for (size_t i = 0; i < cars_.size(); ++i)
      if (!std::isnan(cars_[i]->Position[0]))
        placed.emplace_back(static_cast<int32_t>(i), cars_[i]->Position[0], cars_[i]->Position[2]);
    return placed;
  }
  std::vector<std::unique_ptr<TCAR>> cars_;
};

TEST_F(CarouselTest, AtRestThreeCarsAroundTheSelection) {
  const struct {
    bool chooser;
    int32_t n, selected;
    std::vector<Placed> placed;  // by car index
  } kRows[] = {
      {false, 9, 0, {{0, 0.0, 7.5}, {1, 10.0, 13.5}, {8, -10.0, 13.5}}},
      {true, 8, 3, {{2, -15.0, 24.0}, {3, 0.0, 7.5}, {4, 15.0, 24.0}}},
  };
  for (const auto& r : kRows) {
    MakeCars(r.n);
    (r.chooser ? SB_Var.NbSelectableSetups : SB_Var.NbVehicleSetups) = r.n;
    SB_Var.SelectedSetup = r.selected;
    SB_Var.SetupScrollTarget = SB_Var.SetupScroll = -r.selected;
    SB_Var.SetupScrollPos = -r.selected * (r.chooser ? 15.0 : 10.0);
    SB_Var.FrameTime = 25;
    r.chooser ? SB_TurnCarCarousel() : SB_TurnCarPaintCarousel();
    const auto placed = Preview(r.chooser);
    ASSERT_EQ(placed.size(), 3u) << r.chooser;
    for (size_t i = 0; i < placed.size(); ++i) {
      EXPECT_EQ(std::get<0>(placed[i]), std::get<0>(r.placed[i]));
      EXPECT_NEAR(std::get<1>(placed[i]), std::get<1>(r.placed[i]), 1e-9);
      EXPECT_NEAR(std::get<2>(placed[i]), std::get<2>(r.placed[i]), 1e-9);
    }
    EXPECT_EQ(SB_Var.SelectedSetup, r.selected);
    EXPECT_EQ(cars_[r.selected]->Steering, 0.5) << "front wheels shown turned";
  }
}

TEST_F(CarouselTest, StepMovesWithoutOvershootAndSelectsOnTruncation) {
  MakeCars(9);
  SB_Var.NbVehicleSetups = 9;
  SB_Var.FrameTime = 25;
  SB_Var.SetupScrollTarget = -1;  // stepping 0 -> 1
  double pos = 0.0;
  int passes = 0;
  bool fourSeen = false;
  while (SB_Var.SetupScrollPos != -10.0 && passes < 100) {
    const double d = -10.0 - pos, v = 25 * 0.016 * (std::fabs(d) / 10.0 + 1.0);
    SB_TurnCarPaintCarousel();
    ++passes;
    EXPECT_EQ(SB_Var.SetupScrollPos, std::fmax(pos - v, -10.0)) << passes;
    pos = SB_Var.SetupScrollPos;
    if (pos != -10.0) {
      EXPECT_EQ(SB_Var.SelectedSetup, 0) << "until exactly -10";
      fourSeen |= Preview(false).size() == 4;
    }
  }
  EXPECT_TRUE(fourSeen) << "four cars while the row moves";
  EXPECT_EQ(SB_Var.SelectedSetup, 0) << "the pass that arrives selects from the position before";
  SB_TurnCarPaintCarousel();
  EXPECT_EQ(SB_Var.SelectedSetup, 1);
  // Back from 1 to 0: the second pass is the first to start above -10.
  SB_Var.SetupScrollTarget = 0;
  SB_TurnCarPaintCarousel();
  EXPECT_EQ(SB_Var.SelectedSetup, 1);
  SB_TurnCarPaintCarousel();
  EXPECT_EQ(SB_Var.SelectedSetup, 0);
  for (int i = 0; i < 100 && SB_Var.SetupScrollPos != 0.0; ++i) {
    SB_TurnCarPaintCarousel();
    EXPECT_LE(SB_Var.SetupScrollPos, 0.0) << "no overshoot on the way up";
  }
  EXPECT_EQ(SB_Var.SetupScrollPos, 0.0);
  EXPECT_EQ(SB_CarouselMod(-1, 9), 8);
  EXPECT_EQ(SB_CarouselMod(-9, 9), 0);
  EXPECT_EQ(SB_CarouselMod(-10, 9), 8);
}

TEST_F(CarouselTest, SettleBringsTheRowBackIntoRange) {
  const struct {
    int32_t target, n, selected;
  } kRows[] = {{-20, 9, 2}, {7, 9, 2}, {-3, 8, 3}, {0, 9, 0}};
  for (const auto& r : kRows) {
    SB_Var.SetupScrollTarget = r.target;
    SB_Var.SetupScrollPos = 123.0;
    SB_SettleCarousel(r.n);
    EXPECT_EQ(SB_Var.SelectedSetup, r.selected) << r.target;
    EXPECT_EQ(SB_Var.SetupScrollTarget, -r.selected);
    EXPECT_EQ(SB_Var.SetupScroll, -r.selected);
    EXPECT_EQ(SB_Var.SetupScrollPos, -r.selected * 10.0) << "the paint spacing for both editors";
  }
}

TEST_F(CarouselTest, ChooserSlidesFromThePaintSpacingAndSelectsAsItGoes) {
  MakeCars(8);
  SB_Var.NbSelectableSetups = 8;
  SB_Var.SetupScrollTarget = -3;
  SB_SettleCarousel(8);  // at rest on 3, the position -30
  SB_Var.FrameTime = 25;
  SB_TurnCarCarousel();
  EXPECT_EQ(SB_Var.SelectedSetup, 2) << "-30 / 15 truncates to -2";
  EXPECT_LT(SB_Var.SetupScrollPos, -30.0);
  SB_SettleCarousel(8);
  EXPECT_EQ(SB_Var.SelectedSetup, 3) << "left before arriving";
  SB_Var.SetupScrollPos = -30.0;
  for (int i = 0; i < 200 && SB_Var.SetupScrollPos != -45.0; ++i) SB_TurnCarCarousel();
  EXPECT_EQ(SB_Var.SetupScrollPos, -45.0);
  SB_SettleCarousel(8);
  EXPECT_EQ(SB_Var.SelectedSetup, 3);
}

TEST_F(CarouselTest, IndicesWithoutACarDrawNothing) {
  MakeCars(3);
  SB_Var.Cars[1] = nullptr;
  for (int32_t index : {-1, 1, 3, 40}) SB_PlaceEditorCar(index, 0, 0, 0, 5, 0, 5);
  for (auto& c : cars_) EXPECT_EQ(c->Position[0], 0.0);
  SB_PlaceEditorCar(2, 0, 0, 0, 5, 0, 6);
  EXPECT_EQ(cars_[2]->Position[2], 6.0);
}

}  // namespace
