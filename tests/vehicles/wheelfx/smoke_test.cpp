// The wheel smoke: none standing still, pairs of puffs at the rear wheels
// spread along the path, the accumulator's cap, heavy smoke, the puffs'
// place, velocity and kind, and the switches and cars that give none.
#include <cmath>

#include "engine3d/matrix.h"
#include "tests/vehicles/wheelfx/wheelfx_fixture.h"
#include "vehicles/physics.h"

namespace {

class Smoke : public ztest::DriveTest {
 protected:
  void SetUp() override {
    DriveTest::SetUp();
    ztest::g_puffs.clear();
    SB_Var.UsingSmoke = 1;
    SB_Var.FrameTime = 20;
    Car(1).TexturesReady = 0;  // only car 0 takes part
  }
  // frames frames sliding at speed m/s along z, from z = 0.
  void Slide(double speed, int32_t frames) {
    for (int32_t f = 0; f < frames; ++f) {
      Car().MaxContactSpeed = speed;
      if (std::isfinite(speed)) Car().Position[2] += speed * SB_Var.FrameTime * 0.001;
      SB_EmitWheelSmoke();
    }
  }
};

TEST_F(Smoke, NoneStandingStill) {
  Slide(0.0, 100);
  EXPECT_TRUE(ztest::g_puffs.empty());
  EXPECT_EQ(Car().PrevPosition.z, Car().Position[2]);
}

TEST_F(Smoke, SlidingOneSecondGivesTwentyPairsAlongThePath) {
  SB_EmitWheelSmoke();  // the previous position
  Slide(20.0, 50);
  ASSERT_EQ(ztest::g_puffs.size(), 40u);
  const TVECTOR rear[2] = {Car().WheelPoints[2], Car().WheelPoints[3]};
  for (size_t i = 0; i < ztest::g_puffs.size(); ++i) {
    const ztest::Puff& p = ztest::g_puffs[i];
    const TVECTOR& w = rear[i % 2];  // wheel 2, then 3
    EXPECT_DOUBLE_EQ(p.position[0], Car().Position[0] + w.x) << i;
    EXPECT_DOUBLE_EQ(p.position[1], Car().Position[1] + w.y + Car().WheelHeightOffset - 0.5) << i;
    EXPECT_EQ(p.kind, 1);
  }
  // One pair a metre along the 20 m the car slid, none ahead of it.
  for (size_t i = 0; i < ztest::g_puffs.size(); i += 2)
    EXPECT_NEAR(ztest::g_puffs[i].position[2], 1.0 + static_cast<double>(i / 2) + rear[0].z, 1e-9) << i;
}

TEST_F(Smoke, TheAccumulatorIsCappedAndHeavySmokeIsFourTimes) {
  SB_EmitWheelSmoke();
  Slide(5000.0, 1);  // 100 owed, 20 kept
  EXPECT_EQ(ztest::g_puffs.size(), 40u);
  ztest::g_puffs.clear();
  SB_Var.UsingSmoke = 2;
  Slide(5.0, 10);  // 0.1 a frame, four times
  EXPECT_EQ(ztest::g_puffs.size(), 8u);
  ztest::g_puffs.clear();
  SB_Var.UsingSmoke = 1;
  Slide(5.0, 40);
  EXPECT_EQ(ztest::g_puffs.size(), 8u);
  ztest::g_puffs.clear();
  Slide(std::nan(""), 3);  // no number: nothing, and smoke again after
  EXPECT_TRUE(ztest::g_puffs.empty());
  Slide(50.0, 1);
  EXPECT_EQ(ztest::g_puffs.size(), 2u);
}

TEST_F(Smoke, PuffsTurnWithTheCarAndMoveAtTheWheelsHeading) {
  E3D_MatRotY(Car().Orientation, 1.0);
  Car().WheelHeadings[2] = {0.1, 0.2, 0.3};
  Car().WheelHeadings[3] = {0.4, 0.5, 0.6};
  SB_EmitWheelSmoke();
  Car().MaxContactSpeed = 50.0;  // one puff owed
  SB_EmitWheelSmoke();
  ASSERT_EQ(ztest::g_puffs.size(), 2u);
  for (int32_t k = 0; k < 2; ++k) {
    TVECTOR w = Car().WheelPoints[2 + k];
    w.y += Car().WheelHeightOffset - 0.5;
    E3D_MatMulVec(Car().Orientation, &w);
    const ztest::Puff& p = ztest::g_puffs[static_cast<size_t>(k)];
    EXPECT_NEAR(p.position[0], w.x, 1e-12);
    EXPECT_NEAR(p.position[2], w.z, 1e-12);
    const TVECTOR& h = Car().WheelHeadings[2 + k];
    EXPECT_EQ(p.velocity, (std::array<double, 3>{h.x, h.y, h.z}));  // car axes, as they are
  }
}

TEST_F(Smoke, NoneWithSmokeOrCarsOffOrForCarsNotSimulated) {
  for (int32_t which = 0; which < 3; ++which) {
    SB_Var.UsingSmoke = which == 0 ? 0 : 1;
    SB_Var.UsingCars = which == 1 ? 0 : 1;
    Car().TexturesReady = which == 2 ? 0 : 1;
    Slide(100.0, 5);
    EXPECT_TRUE(ztest::g_puffs.empty()) << which;
  }
}

}  // namespace
