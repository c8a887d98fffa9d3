// The contact pass: ground contacts with their neighbours and limits, the
// tyre regimes, the body on the ground with its damage, wall and car
// pushes with the scrape sound, the ghost car's drift, and whole cars
// stepped on built maps (settling, a wall, a kerb, far away, the face
// lists full).
#include <cmath>

#include "engine3d/matrix.h"
#include "shell/console.h"
#include "tests/vehicles/drive/drive_fixture.h"

namespace {

class Contacts : public ztest::DriveTest {
 protected:
  TFACELISTENTRY faces_[SB_MAXFACES];
  int32_t Gather(bool body = false) {
    const double at[3] = {0, 0, 0};
    return body ? SB_GetBodyContactFaces(faces_, SB_MAXFACES, at)
                : SB_GetWheelContactFaces(faces_, SB_MAXFACES, at);
  }
  TCONTACT Contact(std::array<double, 3> p, std::array<double, 3> push, std::array<double, 3> n,
                   int32_t index) {
    TCONTACT c{};
    for (int32_t i = 0; i < 3; ++i) c.Point[i] = p[i], c.Push[i] = push[i], c.Normal[i] = n[i];
    c.Index = index;
    return c;
  }
  void Clear() {
    for (int32_t i = 0; i < 3; ++i) Car().Force[i] = Car().Torque[i] = 0.0;
  }
  double Lean() {
    TVECTOR roof{0, -1, 0};
    E3D_MatMulVec(Car().Orientation, &roof);
    return std::acos(-roof.y);
  }
};

TEST_F(Contacts, GroundContactsTakeTheFirstUsableHeight) {
  Road(-20, 0, 0, 20, 0.0);
  Road(0, -20, 20, 0, -0.1);
  Road(-20, -20, 0, -0.01, -0.5, 0.1);  // rising toward -x
  Install();
  const int32_t n = Gather();
  const struct {
    double x, y, z;
    bool touches;
    double pushY;
    const char* why;
  } rows[] = {
      {-5, 0.1, 5, true, -0.1, "under the floor"},
      {-5, -0.1, 5, false, 0, "above it"},
      {-5, 0.74, 5, true, -0.74, "within 240 units"},
      {-5, 0.75, 5, false, 0, "240 units is usable, but no contact"},
      {-5, 0.76, 5, false, 0, "too deep, and so are the neighbours"},
      {0.5, 0.05, 5, true, -0.05, "x - 1 first"},
      {0.5, 0.05, 0.5, true, -0.05, "x - 1 before z - 1"},
      {5, 0.05, 0.5, true, -0.15, "z - 1"},
      {5, 0.05, 5, false, 0, "no ground within 1 m: the gap"},
  };
  for (const auto& r : rows) {
    const double p[1][3] = {{r.x, r.y, r.z}};
    TCONTACT c{};
    ASSERT_EQ(SB_FindGroundContacts(faces_, n, p, 1, &c), r.touches ? 1 : 0) << r.why;
    if (r.touches) {
      EXPECT_NEAR(c.Push[1], r.pushY, 1e-9) << r.why;
    }
  }
  // On the slope: N is the face's normal, B = d x N.y x N.
  const double p[1][3] = {{-5, -0.9, -5}};  // 0.1 m under the slope
  TCONTACT c{};
  ASSERT_EQ(SB_FindGroundContacts(faces_, n, p, 1, &c), 1);
  const double k = 1 / std::sqrt(1.01);
  EXPECT_NEAR(c.Normal[0], 0.1 * k, 2e-4);
  EXPECT_NEAR(c.Normal[1], -k, 2e-4);
  EXPECT_NEAR(c.Push[0], -0.1 * c.Normal[1] * c.Normal[0], 1e-12);
}

TEST_F(Contacts, TyreRegimes) {
  const struct {
    double timer;
    uint8_t handbrake, apply;
    double slip, fx, fz, wheel, volume, frequency, fastest;
    const char* why;
  } rows[] = {
      {-0.4, 0, 1, 0.1118033988749895, -50, -100, 3.0, -10000, 10000, 0, "grip"},
      {0.6, 0, 1, 0.1118033988749895, -50, -100, 3.0, -10000, 10000, 0, "bend"},
      {0.3, 1, 1, 0.1118033988749895, -11.25, -22.5, 2.0004, -955, 10055, 3.0413812651491097,
       "skid, handbrake"},
      {0.3, 0, 1, 0.1118033988749895, -15, -30, 2.0004, -955, 10055, 3.0413812651491097, "skid"},
      {-0.1, 0, 1, 0.1118033988749895, -23.75, -47.5, 2.2503, -2205, 10055, 6.082762530298219, "recovery"},
      {0.3, 0, 0, 0.1118033988749895, 0, 0, 2.0, -10000, 10000, 0, "measured only"},
  };
  for (const auto& r : rows) {
    Clear();
    Car().Velocity[0] = 0.5, Car().Velocity[2] = 3.0;
    Car().WheelSpeeds[2] = 2.0;
    Car().WheelGroundVelocities[2] = {0, 0, -2.0};
    Car().WheelHeadings[2] = {0, 0, -1};
    Car().HandBrake = r.handbrake;
    Car().SkidVolume = -10000, Car().SkidFrequency = 10000;
    Car().Slips[2] = 1.25;
    const TCONTACT c = Contact({-1, 0.6, -1.8}, {0, 0, 0}, {0, -1, 0}, 2);
    SB_ApplyTyreForces(&Car(), &c, 1, r.timer, r.apply);
    EXPECT_NEAR(Car().Slips[2], r.slip, 1e-12) << r.why;
    EXPECT_NEAR(Car().Force[0], r.fx, 1e-9) << r.why;
    EXPECT_NEAR(Car().Force[2], r.fz, 1e-9) << r.why;
    EXPECT_NEAR(Car().Torque[2], r.fx * 0.05, 1e-9) << r.why;  // the force acts 0.05 m below the centre
    EXPECT_NEAR(Car().WheelSpeeds[2], r.wheel, 1e-12) << r.why;
    EXPECT_EQ(Car().SkidVolume, r.volume) << r.why;
    EXPECT_EQ(Car().SkidFrequency, r.frequency) << r.why;
    EXPECT_NEAR(Car().MaxContactSpeed, r.fastest, 1e-12) << r.why;
  }
}

TEST_F(Contacts, SlipsStayFiniteWhateverTheDivisor) {
  for (double divisor : {0.0, -3.0, 1e-9, double{NAN}}) {
    Car().Roueadherance = Car().Roueadherancederapp = divisor;
    Car().Velocity[0] = 1.0;
    const TCONTACT c = Contact({1, 0.6, 1.8}, {0, 0, 0}, {0, -1, 0}, 0);
    for (double timer : {-0.4, 0.3}) {
      SB_ApplyTyreForces(&Car(), &c, 1, timer, 1);
      EXPECT_DOUBLE_EQ(Car().Slips[0], 1e6) << divisor;
    }
  }
}

TEST_F(Contacts, TheBodyOnTheGroundPushesAndDents) {
  const struct {
    double push, before;
    int32_t index, slot;
    double after;
    int32_t damaged;
  } rows[] = {
      {0.01, 0, 0, 0, 0, 0},           // k = 0.0004
      {0.5, 0, 9, 9, 0.02, 1},         // k = 0.02 on the roof point's slot
      {0.5, 0.49, 4, 0, 0.5, 1},       // capped at 0.5
      {0.5, 0.4999, 4, 0, 0.4999, 0},  // what is left is no dent
  };
  for (const auto& r : rows) {
    Car().Damaged = 0;
    Car().DragDivisor = 1.0;
    std::fill(Car().Deformations, Car().Deformations + SB_NBGROUNDPOINTS, r.before);
    Clear();
    const TCONTACT c = Contact({0, 0.5, 0}, {0, -r.push, 0}, {0, -1, 0}, r.index);
    SB_ApplyBodyGroundForces(&Car(), &c, 1);
    EXPECT_NEAR(Car().Force[1], -200000 * r.push * 0.01, 1e-9);
    EXPECT_NEAR(Car().DragDivisor, 1.0 - 0.01 * 200000 * r.push * 2e-7, 1e-15);
    EXPECT_NEAR(Car().Deformations[r.slot], r.after, 1e-15) << r.push << " " << r.before;
    EXPECT_EQ(Car().Damaged, r.damaged) << r.push << " " << r.before;
  }
  // Friction sticks below Adherance x |Fn| and slides above.
  Car().Velocity[0] = 0.2;
  for (double adherance : {1e6, 1e-6}) {
    Car().Adherance = adherance;
    Car().Frotdynamic = 3.0;
    Clear();
    const TCONTACT c = Contact({0, 0.5, 0}, {0, -0.01, 0}, {0, -1, 0}, 0);
    SB_ApplyBodyGroundForces(&Car(), &c, 1);
    EXPECT_NEAR(Car().Force[0], adherance > 1 ? -100000 * 0.2 * 0.01 : -2000 * 3.0 * 0.01, 1e-9);
  }
}

TEST_F(Contacts, WallsPushHorizontallyAndScrape) {
  Walls(-20, -20, 1.0, 20);  // the edge x = 1 m is a wall
  Install();
  const int32_t n = Gather(true);
  const double centre[3] = {0, 0, 0}, points[3][3] = {{1.2, 1, 0}, {1.006, 1, 0.5}, {0.8, 1, 0}};
  TCONTACT c[3];
  ASSERT_EQ(SB_FindWallContacts(faces_, n, centre, points, 3, c), 2);
  EXPECT_NEAR(c[0].Push[0], -0.2, 1e-9);
  EXPECT_EQ(c[0].Normal[0], -1.0);
  EXPECT_EQ(c[1].Normal[0], 0.0);  // a push of 1 mm gives no normal
  EXPECT_EQ(c[1].Index, 1);
  const double far[1][3] = {{1e12, 1, NAN}};
  EXPECT_EQ(SB_FindWallContacts(faces_, n, centre, far, 1, c), 0);
  // The response: planar force and yaw, the scrape above 1 m/s, damage.
  const struct {
    double vx, vz, fx, fz;
  } rows[] = {{2, 1, -600, -0.002 * 0.01}, {0.5, 0.5, -450, -0.001 * 0.01}};
  for (const auto& r : rows) {
    Clear();
    Car().Velocity[0] = r.vx, Car().Velocity[2] = r.vz;
    Car().ScrapeVolume = -10000, Car().ScrapeFrequency = 10000;
    const TCONTACT wall = Contact({1, 0.3, 0}, {-0.2, 0, 0}, {-1, 0, 0}, 3);
    SB_ApplyWallForces(&Car(), &wall, 1, nullptr);
    EXPECT_NEAR(Car().Force[0], r.fx, 1e-9) << r.vx;
    EXPECT_NEAR(Car().Force[2], r.fz, 1e-12) << r.vx;
    EXPECT_EQ(Car().Force[1] + Car().Torque[0] + Car().Torque[2], 0.0);
    EXPECT_EQ(Car().ScrapeVolume, r.vx > 1 ? -100 : -10000);
    EXPECT_EQ(Car().ScrapeFrequency, r.vx > 1 ? 12000 : 10000);
  }
  EXPECT_NEAR(Car().Deformations[3], 0.012 + 0.009, 1e-12);  // k = |F| x 2e-7, twice
  EXPECT_EQ(Car().Damaged, 1);
}

TEST_F(Contacts, OtherCarsAreEllipses) {
  const struct {
    double otherX, otherZ, pointX, pointZ, distance;
    int32_t touches;
    const char* why;
  } rows[] = {
      {2.5, 0, 1.2, 0, 2.5, 1, "side by side: 1.3 m from its centre"},
      {2.7, 0, 1.2, 0, 2.7, 0, "1.5 m is outside 1.38"},
      {0, 4.6, 0, 2.5, 4.6, 1, "nose to tail below 2.3 m"},
      {0, 4.6, 0, 2.2, 4.6, 0, "and not at 2.4 m"},
      {4.61, 0, 3.5, 0, 4.61, 0, "centres over 4.6 m apart"},
      {2.5, 0, 1.2, 0, 20.5, 0, "far from the driven car"},
  };
  for (const auto& r : rows) {
    Car(1).Position[0] = r.otherX, Car(1).Position[2] = r.otherZ;
    Car(1).DistanceToDriven = r.distance;
    const double p[1][3] = {{r.pointX, 1, r.pointZ}};
    TCONTACT c{};
    EXPECT_EQ(SB_FindCarContacts(&Car(), &Car(1), p, 1, &c), r.touches) << r.why;
  }
  // Side by side: 1.3 m across is 2.1667 on the ellipse's scale, and the
  // sideways normal and push are scaled back by 0.6, the push twice.
  Car(1).Position[0] = 2.5, Car(1).Position[2] = 0.0, Car(1).DistanceToDriven = 2.5;
  const double side[1][3] = {{1.2, 1, 0}};
  TCONTACT c{};
  ASSERT_EQ(SB_FindCarContacts(&Car(), &Car(1), side, 1, &c), 1);
  EXPECT_NEAR(c.Normal[0], -0.6, 1e-12);
  EXPECT_NEAR(c.Push[0], -0.36 * (2.3 - 1.3 / 0.6), 1e-12);
  // The push on the relative velocity, scaled by 0.9 x min(1 + 0.2 |u|, 2).
  for (double speed : {1.0, 5.0}) {
    Clear();
    Car().Velocity[0] = speed;
    const TCONTACT c = Contact({1, 0, 0}, {-0.1, 0, 0}, {-1, 0, 0}, 0);
    SB_ApplyWallForces(&Car(), &c, 1, &Car(1));
    EXPECT_NEAR(Car().Force[0], (-20000 * 0.9 * std::fmin(1 + 0.2 * speed, 2) - 10000 * speed) * 0.01, 1e-9);
  }
}

TEST_F(Contacts, AGhostCarTouchedDrifts) {
  Road(-20, -20, 20, 20, 0.0);
  Install();
  TREPLAY replay{};
  SB_Var.CarReplays[1] = &replay;
  Car(1).Position[0] = 2.5, Car(1).DistanceToDriven = 2.5;
  const struct {
    double progress, x, drift;
  } rows[] = {{10, 2.5, 0.1}, {5, 2.5, 0.2}, {30, 2.5, 0.1}, {30, 8.0, 0.1}};
  for (const auto& r : rows) {
    Car(1).Distance = r.progress, Car().Distance = 10;
    Car(1).Position[0] = r.x;
    SB_ApplyContacts(0, &Car());
    EXPECT_NEAR(replay.DriftRate, r.drift, 1e-15) << r.progress;
  }
  SB_Var.CarReplays[1] = nullptr;
}

TEST_F(Contacts, OffItsWheelsTheBodyTouchesAndTheRoofMeetsWalls) {
  Road(-20, -20, 20, 20, 0.0);
  Walls(0.9, 0.05, 2, 0.15);  // only the ray to the roof point (0.95, 0.1) crosses it
  Walls(-20, -20, -10, 20);
  Install();
  Stand(&Car(), 0, 0.01, 0);
  SB_ApplyContacts(0, &Car());
  EXPECT_EQ(Car().Force[0], 0.0);
  EXPECT_LT(Car().Slips[0], 1.0);
  Clear();
  Car().Position[1] = 0.2;  // wheels 0.8 m under the road, body corners in it
  SB_ApplyContacts(0, &Car());
  EXPECT_EQ(Car().Slips[0], SB_NOCONTACTSLIP);
  EXPECT_LT(Car().Force[1], -1000.0);  // pushed up
  EXPECT_LT(Car().Force[0], -1.0);     // and off the wall by its roof
}

TEST_F(Contacts, OnThreeWheelsTheCarIsOnItsWheels) {
  // A hole under the front right wheel (1, 1.8), more than a metre wide
  // round it, which the other wheels miss.
  Road(-20, -20, -0.02, 20, 0.0);
  Road(2.1, -20, 20, 20, 0.0);
  Road(-0.02, -20, 2.1, 0.75, 0.0);
  Road(-0.02, 2.9, 2.1, 20, 0.0);
  Walls(0.9, 0.05, 2, 0.15);      // crossed only by the ray to the roof point (0.95, 0.1)
  Walls(-20, -20, -10, 20);
  Install();
  Stand(&Car(), 0, 0.3, 0);  // the body's low corners 0.2 m in the road
  SB_ApplyContacts(0, &Car());
  EXPECT_EQ(Car().Slips[0], SB_NOCONTACTSLIP);
  for (int32_t w = 1; w < 4; ++w) EXPECT_LT(Car().Slips[w], 1.0) << w;
  // The three springs alone push up, nothing pushes sideways, and the
  // body is not dented.
  const double springs = 3 * Car().Rouesolreaction * 0.3 * SB_Var.PhysicsDt;
  EXPECT_NEAR(Car().Force[1], -springs, springs * 1e-6);
  EXPECT_EQ(Car().Force[0], 0.0);
  EXPECT_EQ(Car().Damaged, 0);
}

TEST_F(Contacts, ACarDroppedOntoTheFloorSettlesOnItsWheels) {
  // A floor of one face, and the default circuit's square (its road 4 world
  // units above map height 0, cut at the cells' edges).
  for (bool circuit : {false, true}) {
    double floor = 0.0;
    if (circuit) {
      datagen::MapBuilder square;
      square.FlatSquare(-1024, -1024, 16, 0, square.Texture("ROAD    C"), square.Material("ROAD    C"));
      square.Install();
      floor = -2044 / 320.0;
    } else {
      Road(-20, -20, 20, 20, 0.0);
      Walls(-20, -20, 20, 20);
      map_.Install();
    }
    BuildListXZYPoly();
    ztest::SetTestCar(&Car());
    Stand(&Car(), 0, floor - 0.1, 0);
    Steps(300);
    for (double s : Car().Slips) EXPECT_LT(s, 0.01) << circuit;
    EXPECT_LT(std::fabs(Car().Velocity[1]), 1e-3) << circuit;
    EXPECT_EQ(Car().Damaged, 0) << circuit;
    EXPECT_LT(Car().Position[1] + 0.5, floor) << circuit;  // the lowest ground points stay above
    EXPECT_NEAR(Car().Position[1] + 0.6, floor + 2452.5 / 100000, 2e-3) << circuit;  // the springs' sag
    SB_FreeListXZYPoly();
  }
}

TEST_F(Contacts, ACarDrivenIntoAWallStopsScrapesAndIsDamaged) {
  Road(-20, -20, 20, 20, 0.0);
  Walls(-20, -20, 20, 5.0);
  Install();
  Stand(&Car(), 0, 0.02, 0);
  Car().Velocity[2] = 10.0;
  for (double& w : Car().WheelSpeeds) w = 10.0;
  int32_t loudest = -10000;
  for (int32_t i = 0; i < 200; ++i) {
    SB_PhysicsStep(0);
    loudest = std::max(loudest, Car().ScrapeVolume);
  }
  EXPECT_LT(Car().Position[2], 2.7);
  EXPECT_LT(Car().Velocity[2], 0.5);
  EXPECT_GT(loudest, -10000);
  EXPECT_EQ(Car().Damaged, 1);
}

TEST_F(Contacts, AKerbRollsTheCarNoFurtherThanHalfARadian) {
  Road(-20, -20, 0.3, 20, 0.0);
  Road(0.3, -20, 20, 20, -0.5);  // a kerb under the right wheels
  Walls(-20, -20, 20, 20);
  Install();
  Stand(&Car(), 0, 0.0, 0);
  double most = 0.0;
  for (int32_t i = 0; i < 100; ++i) {
    SB_PhysicsStep(0);
    most = std::fmax(most, Lean());
  }
  EXPECT_GT(most, 0.45);
  EXPECT_LE(most, 0.5 + 1e-9);
}

TEST_F(Contacts, FarAwayOrWildStatesFallWithoutHarm) {
  Road(-20, -20, 20, 20, 0.0);
  for (int32_t i = 0; i < 300; ++i) {  // more faces around the car than a list holds
    const double x = -1.5 + 0.2 * (i % 15), z = -2 + 0.2 * (i / 15);
    Face(SB_WHEELRUN, x, z, x + 0.2, z + 0.2, 0.0);
    Face(SB_BODYRUN, x, z, x + 0.2, z + 0.2, 0.0);
  }
  Install();
  Stand(&Car(), 0, 0.0, 0);
  Steps(5);
  EXPECT_TRUE(std::isfinite(Car().Position[1]));
  for (double v : {100000.0, 1e300, double{NAN}, double{INFINITY}}) {
    ztest::SetTestCar(&Car());
    std::fill(Car().Position, Car().Position + 3, v);
    Steps(10);
    if (v == 100000.0) {
      EXPECT_NEAR(Car().Velocity[1], 0.981, 1e-9);  // free fall
    }
    for (double s : Car().Slips) EXPECT_EQ(s, SB_NOCONTACTSLIP);
  }
}

// A step that leaves a non-finite state is undone: the car stays where it
// was, at rest, and the console says so once.
TEST_F(Contacts, AStepThatLeavesNoFiniteStateIsUndone) {
  Road(-20, -20, 20, 20, 0.0);
  Walls(-20, -20, 20, 20);
  Install();
  Stand(&Car(), 0, 0.02, 0);
  Steps(10);
  SB_ClearPrintedLines();
  Car().Velocity[2] = 10.0;
  Car().Airfrict = INFINITY;  // the drag overflows
  const TCAR before = Car();
  Steps(3);
  EXPECT_EQ(SB_PrintedLines(), std::vector<std::string>{"Car 0: physics state not finite, put back on its last one"});
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(Car().Position[i], before.Position[i]);
    EXPECT_EQ(Car().Velocity[i], 0.0);
  }
  Car().Airfrict = 0.0;  // a good step again: a later failure is said again
  Steps(1);
  Car().Velocity[2] = 10.0, Car().Airfrict = INFINITY;
  Steps(1);
  EXPECT_EQ(SB_PrintedLines().size(), 2u);
}

}  // namespace
