// The rigid body: its inertia, forces and torques at points, gravity,
// spoiler, slipstream, drag, and the motion the integration gives, checked
// as physical motion (the stored angular velocity's sign is the body's own
// affair).
#include <cmath>

#include "engine3d/matrix.h"
#include "tests/vehicles/vehicle_fixture.h"

namespace {

class BodyTest : public ztest::PhysicsTest {
 protected:
  void SetUp() override {
    PhysicsTest::SetUp();
    MakeCars(2);
    SB_Var.PhysicsDt = 0.01;
  }
  TVECTOR Force() const { return {cars_[0].Force[0], cars_[0].Force[1], cars_[0].Force[2]}; }
  void Clear() {
    std::fill(Car(0).Force, Car(0).Force + 3, 0.0), std::fill(Car(0).Torque, Car(0).Torque + 3, 0.0);
  }
  // A body axis in the world; the lean of the roof from upright.
  TVECTOR Axis(TVECTOR v) { return E3D_MatMulVec(Car(0).Orientation, &v), v; }
  double Lean() { return std::acos(-Axis({0, -1, 0}).y); }
  // A push at a point during the first step only, then free motion.
  void Push(TVECTOR point, TVECTOR force, int32_t steps) {
    int32_t step = 0;
    ztest::g_contacts = [&](TCAR* car) {
      const double p[3] = {point.x, point.y, point.z}, f[3] = {force.x, force.y, force.z};
      if (step++ == 0) SB_AddForceAtPoint(p, f, car, SB_Var.PhysicsDt);
    };
    for (int32_t i = 0; i < steps; ++i) SB_PhysicsStep(0);
    ztest::g_contacts = nullptr;
  }
};

TEST_F(BodyTest, AOneTonneBoxFallsFreelyFromRest) {
  EXPECT_DOUBLE_EQ(Car(0).InvInertia[0], 12 / 21582.5);
  EXPECT_DOUBLE_EQ(Car(0).InvInertia[1], 12 / 25570.0);
  EXPECT_DOUBLE_EQ(Car(0).InvInertia[2], 12 / 4832.5);
  SB_Var.FrameTime = 1000;  // 100 steps
  SB_SimulateCar(0);
  EXPECT_NEAR(Car(0).Velocity[1], 9.81, 1e-9);
  EXPECT_NEAR(Car(0).Position[1], 4.95405, 1e-9);
}

TEST_F(BodyTest, ForcesAtPointsGiveTheirTorques) {
  const double p[3] = {1, 2, 3}, f[3] = {10, 20, 30}, d[3] = {0, 0, 2}, o[3] = {1, 1, 1};
  Car(0).Position[0] = 1.0;  // centre - point = (0, -2, -3)
  SB_AddForceAtPoint(p, f, &Car(0), 0.5);
  EXPECT_EQ(Force().y, 10.0);
  EXPECT_EQ(Car(0).Torque[0], -2 * 15 + 3 * 10.0);
  EXPECT_EQ(Car(0).Torque[1], -3 * 5.0);
  EXPECT_EQ(Car(0).Torque[2], 2 * 5.0);
  Clear();
  SB_AddPlanarForceAtPoint(p, f, &Car(0), 0.5);
  EXPECT_EQ(Force().y + Car(0).Torque[0] + Car(0).Torque[2], 0.0);
  EXPECT_EQ(Car(0).Torque[1], -3 * 5.0);
  Clear();
  SB_AddPlanarForceLever(p, f, &Car(0), 0.5, 0.0);
  EXPECT_EQ(Force().z, 15.0);
  EXPECT_EQ(Car(0).Torque[1], 0.0);
  double out[3];
  SB_ProjectPointOnLine(p, d, o, out);
  EXPECT_EQ(out[0] + out[1] + out[2], 1 + 1 + 3.0);
}

TEST_F(BodyTest, TheSpoilerPressesOnlyWhileMovingForward) {
  Car(0).Spoilerforce = 100;
  for (double heading : {0.0, 1.0})
    for (double speed : {10.0, -10.0}) {
      E3D_MatFromAngles(Car(0).Orientation, 0, heading, 0);
      E3D_MatTranspose(Car(0).Orientation, Car(0).InsetMatrix);
      const TVECTOR v = Axis({0, 0, speed});
      Car(0).Velocity[0] = v.x, Car(0).Velocity[2] = v.z;
      Clear();
      SB_ApplySpoilerForce(&Car(0));
      TVECTOR body = Force();
      E3D_MatMulVec(Car(0).InsetMatrix, &body);
      EXPECT_NEAR(body.y, speed > 0 ? 1500 * 0.01 : 0.0, 1e-9) << heading;
      EXPECT_NEAR(body.x, 0.0, 1e-9);
    }
}

// Car 1 at (x, z) from car 0, moving along z: car 0 is drawn only from
// behind it, within half its speed in metres, and in its wake (its centre
// less than 2.4 m from car 1's line), not from beside it.
TEST_F(BodyTest, ACarAheadDrawsTheCarBehindIt) {
  const double rows[][4] = {{0, 5, 20, 50 * 100 / std::pow(5, 1.5)},
                            {0, 11, 20, 0},
                            {0, -5, 20, 0},
                            {0, 0.5, 20, 0},
                            {0, 0.5, 1, 0},
                            {2.3, 5, 20, 50 * 100 / std::pow(std::hypot(2.3, 5), 1.5)},
                            {-2.5, 5, 20, 0},
                            {4.8, 5, 45, 0}};
  for (const auto& r : rows) {
    Car(1).Position[0] = r[0];
    Car(1).Position[2] = r[1];
    Car(1).Velocity[2] = r[2];
    Clear();
    SB_ApplySlipstream(0);
    EXPECT_NEAR(Force().z, r[3] * 0.01, 1e-9) << r[0] << ", " << r[1];
  }
  Car(1).Position[0] = 0;
  Car(1).Position[2] = 5;
  Clear();
  ztest::g_simulated[1] = false;
  SB_ApplySlipstream(0);
  SB_ApplySlipstream(-1);
  SB_ApplySlipstream(2);
  EXPECT_EQ(Force().z, 0.0);
}

TEST_F(BodyTest, AirDragSlowsEachComponentAndSpinWithoutTheDivisor) {
  Car(0).Airfrict = 0.5, Car(0).Airfrictrot = 2.0, Car(0).DragDivisor = 0.8;
  const double v[3] = {10, -4, 0}, w[3] = {-3, 0, 1};
  for (int i = 0; i < 3; ++i) Car(0).Velocity[i] = v[i], Car(0).AngularVelocity[i] = w[i];
  SB_ApplyAirDrag(&Car(0));
  for (int i = 0; i < 3; ++i) {
    EXPECT_DOUBLE_EQ(Car(0).Velocity[i], v[i] - v[i] * std::fabs(v[i]) * 0.5 * 0.01 / 0.8);
    EXPECT_DOUBLE_EQ(Car(0).AngularVelocity[i], w[i] - w[i] * std::fabs(w[i]) * 2.0 * 0.01);
  }
}

TEST_F(BodyTest, ScaleAndCatchUpStretchTheDistanceOnly) {
  const double rows[][3] = {{0.0, 1.0, 0.1}, {0.5, 1.0, 0.1}, {2.0, 1.0, 0.2}, {0.0, 0.9, 0.09}};
  for (const auto& r : rows) {
    MakeCars(1);
    SB_Var.ForcedScale = r[0];
    Car(0).CatchUp = r[1];
    Car(0).Velocity[2] = 10.0;
    SB_IntegrateBody(&Car(0));
    EXPECT_DOUBLE_EQ(Car(0).Position[2], r[2]) << r[0];
    EXPECT_EQ(Car(0).Velocity[2], 10.0);
  }
}

TEST_F(BodyTest, WithoutSpinTheOrientationStaysBitForBit) {
  E3D_MatFromAngles(Car(0).Orientation, 0, 0, 0.6);  // leaning past the limit
  double before[9];
  std::copy(Car(0).Orientation, Car(0).Orientation + 9, before);
  SB_IntegrateBody(&Car(0));
  EXPECT_TRUE(std::equal(before, before + 9, Car(0).Orientation));
}

TEST_F(BodyTest, ARollImpulseLeansTheCarNoFurtherThanHalfARadian) {
  Push({1, 0, 0}, {0, -1e5, 0}, 100);
  EXPECT_NEAR(Lean(), 0.5, 1e-9);
  double product[9];
  E3D_MatMul(Car(0).Orientation, Car(0).InsetMatrix, product);
  for (int k = 0; k < 9; ++k) EXPECT_NEAR(product[k], k % 4 == 0 ? 1.0 : 0.0, 1e-12);
}

TEST_F(BodyTest, APushToTheRightAtTheNoseTurnsTheCarRight) {
  Push({0, 0, 2}, {2e5, 0, 0}, 10);
  EXPECT_GT(Axis({0, 0, 1}).x, 0.01);
  EXPECT_NEAR(Lean(), 0.0, 1e-9);
}

}  // namespace
