// A car's pose copied into its display object: the model axes, the wheels
// at the physics' wheel points, the shown suspension, steering and roll.
#include <cmath>

#include "engine3d/matrix.h"
#include "tests/vehicles/vehicle_fixture.h"

namespace {

class PlacementTest : public ztest::VehicleTest {
 protected:
  TCAR* car_ = nullptr;
  void SetUp() override {
    VehicleTest::SetUp();
    PutCars();
    SB_LoadVehiclePrototypes(nullptr);
    car_ = LoadVehicle();
    ASSERT_NE(car_, nullptr);
    E3D_MatIdentity(car_->Orientation);
    for (double& s : car_->Suspension) s = 0.32;
  }
  void TearDown() override {
    SB_FreeVehicle(car_);
    VehicleTest::TearDown();
  }
  // A model-axis vector turned by a displayed object, in car axes of the
  // world (metres for a point, with its position).
  static TVECTOR Shown(const OBJECT* o, TVECTOR v, bool point) {
    TMATRIX m;
    for (int k = 0; k < 9; ++k) m[k] = o->Orientation[k];
    E3D_MatMulVec(m, &v);
    if (point) v = {(v.x + o->Position[0]) / 60800, (v.y + o->Position[1]) / 60800, (v.z + o->Position[2]) / 60800};
    return v;
  }
  void Heading(double a) { E3D_MatFromAngles(car_->Orientation, 0, a, 0); }
};

TEST_F(PlacementTest, TheModelsAxesBecomeTheCarsAxes) {
  Heading(1.0);
  SB_PlaceCarObject(car_);
  const TVECTOR model[3] = {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}};  // front, roof, left
  const TVECTOR car[3] = {{0, 0, 1}, {0, -1, 0}, {-1, 0, 0}};
  for (int i = 0; i < 3; ++i) {
    TVECTOR want = car[i];
    E3D_MatMulVec(car_->Orientation, &want);
    const TVECTOR got = Shown(car_->Object, model[i], false);
    EXPECT_NEAR(got.x, want.x, 1e-6);
    EXPECT_NEAR(got.y, want.y, 1e-6);
    EXPECT_NEAR(got.z, want.z, 1e-6);
  }
}

TEST_F(PlacementTest, WheelsAreDrawnAtThePhysicsWheelPoints) {
  const double points[4][3] = {{1, 0, 1.8}, {-1, 0, 1.8}, {-1, 0, -1.8}, {1, 0, -1.8}};
  for (double heading : {0.0, 1.0, 4.0}) {
    Heading(heading);
    car_->Position[0] = 5;
    car_->Position[2] = -7;
    SB_PlaceCarObject(car_);
    EXPECT_FLOAT_EQ(car_->Object->Position[0], 5 * 60800.0f);
    int matched = 0;
    for (OBJECT* wheel : car_->Wheels) {
      const TATOM* atom = wheel->Atoms[OBJ_MAIN];
      TVECTOR low{1e9, 1e9, 1e9}, high{-1e9, -1e9, -1e9};
      for (int32_t i = 0; i < atom->NbPoints; ++i) {
        const TPOINT3D& p = atom->Points[i];
        low = {std::min(low.x, double(p.X)), std::min(low.y, double(p.Y)), std::min(low.z, double(p.Z))};
        high = {std::max(high.x, double(p.X)), std::max(high.y, double(p.Y)), std::max(high.z, double(p.Z))};
      }
      const TVECTOR c = Shown(wheel, {(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2}, true);
      for (int k = 0; k < 4; ++k) {
        TVECTOR w{points[k][0], points[k][1], points[k][2]};
        E3D_MatMulVec(car_->Orientation, &w);
        if (std::fabs(c.x - 5 - w.x) < 0.01 && std::fabs(c.z + 7 - w.z) < 0.01) matched |= 1 << k;
      }
    }
    EXPECT_EQ(matched, 15) << heading;
  }
}

TEST_F(PlacementTest, TheSuspensionIsShownWithinItsRange) {
  const double rows[][2] = {{0.1, 0.2}, {0.7, 0.55}, {0.3, 0.3}};
  for (const auto& r : rows) {
    car_->Suspension[2] = r[0];
    car_->Position[1] = 2.0;
    SB_PlaceCarObject(car_);
    EXPECT_NEAR(car_->Wheels[2]->Position[1] / 60800.0, 2.0 + 0.2 + r[1] - 0.32, 1e-6) << r[0];
  }
}

TEST_F(PlacementTest, FrontWheelsSteerAndEveryWheelRolls) {
  car_->Steering = 0.3;
  car_->WheelRoll[3] = 0.32 * M_PI / 2;  // a quarter turn
  SB_PlaceCarObject(car_);
  EXPECT_NEAR(Shown(car_->Wheels[0], {0, 1, 0}, false).x, std::sin(0.3), 1e-6);  // rolls to the right
  EXPECT_NEAR(Shown(car_->Wheels[2], {0, 1, 0}, false).x, 0.0, 1e-6);
  const TVECTOR top = Shown(car_->Wheels[3], {1, 0, 0}, false);  // its top mark now at the front
  EXPECT_NEAR(top.z, 1.0, 1e-6);

  car_->OutOfRace = 1;
  car_->Position[0] = 9;
  SB_PlaceCarObject(car_);
  SB_PlaceCarObject(nullptr);
  EXPECT_EQ(car_->Object->Position[0], 0.0f);
}

}  // namespace
