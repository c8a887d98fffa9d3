// A car's pose copied into its display object: the model axes, the wheels
// at the physics' wheel points, the shown suspension, steering and roll.
#include <cmath>
#include <numbers>

#include "engine3d/matrix.h"
#include "tests/vehicles/vehicle_fixture.h"

namespace {

class PlacementTest : public ztest::VehicleTest {
 protected:
  TCAR* car_ = nullptr;
  void SetUp() override {
    VehicleTest::SetUp();
    LoadSet();
    car_ = LoadVehicle();
    ASSERT_NE(car_, nullptr);
    E3D_MatIdentity(car_->Orientation);
    std::fill(car_->Suspension, car_->Suspension + 4, 0.32);
  }
  void TearDown() override {
    SB_FreeVehicle(car_);
    VehicleTest::TearDown();
  }
  // A model vector as a displayed object turns it, in metres from the
  // world's origin for a point.
  static TVECTOR Shown(const OBJECT* o, TVECTOR v, bool point = false) {
    TMATRIX m;
    std::copy(o->Orientation, o->Orientation + 9, m);
    E3D_MatMulVec(m, &v);
    if (point)
      v = {(v.x + o->Position[0]) / 60800, (v.y + o->Position[1]) / 60800, (v.z + o->Position[2]) / 60800};
    return v;
  }
  TVECTOR InCar(TVECTOR v) { return E3D_MatMulVec(car_->Orientation, &v), v; }
};

TEST_F(PlacementTest, TheModelsFrontRoofAndLeftBecomeTheCars) {
  E3D_MatFromAngles(car_->Orientation, 0, 1.0, 0);
  SB_PlaceCarObject(car_);
  const TVECTOR model[3] = {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}, car[3] = {{0, 0, 1}, {0, -1, 0}, {-1, 0, 0}};
  for (int i = 0; i < 3; ++i) {
    const TVECTOR got = Shown(car_->Object, model[i]), want = InCar(car[i]);
    EXPECT_NEAR(std::fabs(got.x - want.x) + std::fabs(got.y - want.y) + std::fabs(got.z - want.z), 0, 1e-6)
        << i;
  }
}

TEST_F(PlacementTest, WheelsAreDrawnAtThePhysicsWheelPoints) {
  const TVECTOR points[4] = {{1, 0, 1.8}, {-1, 0, 1.8}, {-1, 0, -1.8}, {1, 0, -1.8}};
  car_->Position[0] = 5, car_->Position[2] = -7;
  for (double heading : {0.0, 1.0, 4.0}) {
    E3D_MatFromAngles(car_->Orientation, 0, heading, 0);
    SB_PlaceCarObject(car_);
    int matched = 0;
    for (OBJECT* wheel : car_->Wheels) {
      const TATOM* atom = wheel->Atoms[OBJ_MAIN];
      TVECTOR low{1e9, 1e9, 1e9}, high{-1e9, -1e9, -1e9};
      for (const TPOINT3D* p = atom->Points; p < atom->Points + atom->NbPoints; ++p) {
        low = {std::min(low.x, 1.0 * p->X), std::min(low.y, 1.0 * p->Y), std::min(low.z, 1.0 * p->Z)};
        high = {std::max(high.x, 1.0 * p->X), std::max(high.y, 1.0 * p->Y), std::max(high.z, 1.0 * p->Z)};
      }
      const TVECTOR c =
          Shown(wheel, {(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2}, true);
      for (int k = 0; k < 4; ++k) {
        const TVECTOR w = InCar(points[k]);
        if (std::fabs(c.x - 5 - w.x) < 0.01 && std::fabs(c.z + 7 - w.z) < 0.01) matched |= 1 << k;
      }
    }
    EXPECT_EQ(matched, 15) << heading;
  }
}

TEST_F(PlacementTest, TheSuspensionIsShownWithinItsRange) {
  const double rows[][2] = {{0.1, 0.2}, {0.7, 0.55}, {0.3, 0.3}};
  car_->Position[1] = 2.0;
  for (const auto& r : rows) {
    car_->Suspension[2] = r[0];
    SB_PlaceCarObject(car_);
    EXPECT_NEAR(car_->Wheels[2]->Position[1] / 60800.0, 2.0 + 0.25 + r[1] - 0.32, 1e-6) << r[0];
  }
}

TEST_F(PlacementTest, FrontWheelsSteerAndEveryWheelRolls) {
  car_->Steering = 0.3;
  car_->WheelRoll[3] = 0.32 * std::numbers::pi / 2;  // a quarter turn forward
  SB_PlaceCarObject(car_);
  EXPECT_NEAR(Shown(car_->Wheels[0], {0, 1, 0}).x, std::sin(0.3), 1e-6);  // heading to the right
  EXPECT_NEAR(Shown(car_->Wheels[2], {0, 1, 0}).x, 0.0, 1e-6);
  EXPECT_NEAR(Shown(car_->Wheels[3], {1, 0, 0}).z, 1.0, 1e-6);  // its top now at the front
  car_->OutOfRace = 1;
  car_->Position[0] = 9;
  SB_PlaceCarObject(car_);
  SB_PlaceCarObject(nullptr);
  EXPECT_EQ(car_->Object->Position[0], 0.0f);
}

}  // namespace
