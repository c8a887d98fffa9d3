// The handling tests' maps and the start of their drives.
#include "tests/vehicles/handling/handling_fixture.h"

#include <vector>

#include "engine3d/texpages.h"

namespace ztest {

namespace {

constexpr double kUnits = 320.0;  // world units a metre
using Corners = std::vector<std::array<double, 3>>;

// A flat rectangle of road in the ground and wheel runs, metres.
void Road(datagen::MapBuilder& b, int32_t material, double x0, double z0, double x1, double z1) {
  const Corners c = {{x0 * kUnits, 0, z0 * kUnits},
                     {x0 * kUnits, 0, z1 * kUnits},
                     {x1 * kUnits, 0, z1 * kUnits},
                     {x1 * kUnits, 0, z0 * kUnits}};
  for (int32_t run : {SB_GROUNDRUN, SB_WHEELRUN}) AddCutFace(b, run, c, datagen::kPolyUp, material);
}

// A wall 1 m high along z at x, facing -x, in the body run.
void Wall(datagen::MapBuilder& b, int32_t material, double x, double z0, double z1) {
  const Corners c = {{x * kUnits, 0, z0 * kUnits},
                     {x * kUnits, 0, z1 * kUnits},
                     {x * kUnits, -kUnits, z1 * kUnits},
                     {x * kUnits, -kUnits, z0 * kUnits}};
  for (int32_t run : {SB_GROUNDRUN, SB_BODYRUN}) AddCutFace(b, run, c, PolyNormal(-1, 0, 0), material);
}

// n centre-line points from the function of their index.
template <typename At>
void CentreLine(int32_t n, At at) {
  auto* points = static_cast<TVECTOR*>(SB_GetMem(n * static_cast<int32_t>(sizeof(TVECTOR)), "test centre line"));
  for (int32_t i = 0; i < n; ++i) points[i] = at(i);
  SB_Var.BsplinePoints = points;
  SB_Var.NbBsplinePoints = n;
  SB_Var.BsplineValid = 1;
}

// The first grid place at (x, z) heading along +z; the slot's origin sits
// 0.2 m above the road, as the circuit's map information puts it.
void Slot(double x, double z) {
  TSTARTSLOT& s = SB_Var.StartSlots[0];
  s = {x - 15.0, -0.2, z, 5.0, 0.0, 0.0, -10.0, 0.0};  // the two-lane grid's first car is in lane 3
}

}  // namespace

bool TestTrack::Install(std::string* error) const {
  datagen::MapBuilder b;
  const int32_t road = b.Material("ROAD    C"), wall = b.Material("MUR1 M");
  b.Texture("ROAD    C"), b.Texture("MUR1 M");
  const double half = kStraightLength / 2;
  switch (kind) {
    case kStraight:
      Road(b, road, -20, -half - 50, 20, half + 50);
      break;
    case kSkidPad:
      Road(b, road, -300, -300, 300, 300);
      break;
    case kFloor:
      Road(b, road, -kFloorHalf, -kFloorHalf, kFloorHalf, kFloorHalf);
      break;
    case kWall:
      Road(b, road, -300, -300, kWallX + 20, 300);
      Wall(b, wall, kWallX, -300, 300);
      break;
  }
  b.Install();
  SB_Var.Decor.NbNames2 = SB_Var.NbTextures;
  BuildListXZYPoly();
  BuildXZYList();
  SB_BuildTextureDescriptors();
  if (kind == kStraight) {
    // Up the road, then back far to its side, so that the line's closing
    // leg is nowhere near it.
    const int32_t n = static_cast<int32_t>(kStraightLength);
    CentreLine(n + 3, [&](int32_t i) {
      return i <= n ? TVECTOR{0, 0, i - half} : TVECTOR{1000.0, 0, i == n + 1 ? half : -half};
    });
    Slot(0, -half + 10);
  } else {
    const int32_t n = static_cast<int32_t>(2 * M_PI * kPadRadius);
    CentreLine(n, [&](int32_t i) {
      const double a = 2 * M_PI * i / n;
      return TVECTOR{std::cos(a) * kPadRadius, 0, std::sin(a) * kPadRadius};
    });
    Slot(kPadRadius, 0);
  }
  (void)error;
  return true;
}

void HandlingTest::Start(const TestTrack* track, uint32_t ms) {
  std::string error;
  const bool started =
      track ? drive_.Start(&error, [track](std::string* e) { return track->Install(e); }) : drive_.Start(&error);
  ASSERT_TRUE(started) << error;
  time_ = crankEnd_ = 0.0;
  for (int32_t frame = 0; frame < 40000 / static_cast<int32_t>(ms) && Car().Gear != 1; ++frame) {
    const bool cranking = Car().EngineStartTimer < SB_CRANKTIME;
    Frame(ms);
    if (cranking && Car().EngineStartTimer >= SB_CRANKTIME) crankEnd_ = time_;
  }
  ASSERT_EQ(Car().Gear, 1);
  ASSERT_EQ(SB_Var.AutomaticGears, 1);
}

void HandlingTest::Launch(double x, double z, double heading, double speed) {
  TCAR& car = Car();
  E3D_MatFromAngles(car.Orientation, 0.0, heading, 0.0);
  E3D_MatTranspose(car.Orientation, car.InsetMatrix);
  car.Position[0] = x, car.Position[2] = z;
  for (int32_t i = 0; i < 3; ++i) car.Velocity[i] = car.Orientation[6 + i] * speed, car.AngularVelocity[i] = 0.0;
  car.Velocity[1] = 0.0;
  for (double& w : car.WheelSpeeds) w = speed;
  car.SkidTimer = car.SkidTimerStart;
}

}  // namespace ztest
