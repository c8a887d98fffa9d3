// What the wheel and contact tests share: a started library with a table
// of cars carrying working test values, the game step the engine start
// reads through the sequencer, the sounds the wheel model starts, and maps built in code (floor,
// slope, wall, kerb, a gap in the road) over which the ground queries run.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "console/hooks.h"
#include "datagen/mapbuild.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "tests/support/testcar.h"
#include "tests/support/testenv.h"
#include "track/decor.h"
#include "track/ground.h"
#include "vehicles/drive.h"

namespace ztest {

inline std::vector<std::string> g_sounds;  // recorded by the sound fakes

// World units of metres (the ground queries' 1/320 m).
constexpr int32_t U(double metres) { return static_cast<int32_t>(metres * 320.0); }

class DriveTest : public LibraryTest {
 protected:
  TCAR cars_[SB_MAXCARS] = {};
  datagen::MapBuilder map_;
  int32_t road_ = map_.Material("ROAD    C");

  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(48 << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    g_sounds.clear();
    SB_InstallHooks();  // the sequencer's predicates; no step list is the racing step
    for (int32_t i = 0; i < 2; ++i) {
      SetTestCar(&cars_[i]);
      SB_Var.Cars[i] = &cars_[i];
    }
    SB_Var.NbCars = 2;
    SB_Var.UsingCars = 1;
    SB_Var.DrivenCar = 0;
    cars_[1].Position[0] = cars_[1].DistanceToDriven = 1000.0;  // far away unless a test brings it
    SB_Var.PhysicsDt = 0.01;
  }
  void TearDown() override {
    SB_FreeListXZYPoly();
    SB_FreeXZYList();
    SB_FreeDecor();
    EXPECT_EQ(SB_Var.NbMemOwners, 0);
    LibraryTest::TearDown();
  }
  TCAR& Car(int32_t i = 0) { return cars_[i]; }

  // A flat face of one run, x and z in metres (within one 51.2 m cell around
  // the origin), at height y metres (y down), tilted by the slopes dy/dx and
  // dy/dz.
  void Face(int32_t run, double x0, double z0, double x1, double z1, double y, double sx = 0.0,
            double sz = 0.0) {
    auto h = [&](double x, double z) { return U(y + sx * x + sz * z); };
    const double n = std::sqrt(sx * sx + sz * sz + 1.0);
    const std::array<uint16_t, 3> normal = {static_cast<uint16_t>(8256 - sx / n * 8192),
                                            static_cast<uint16_t>(8256 + 8192 / n),
                                            static_cast<uint16_t>(8256 - sz / n * 8192)};
    map_.PolyFace(run,
                  {{U(x0), h(x0, z0), U(z0)},
                   {U(x1), h(x1, z0), U(z0)},
                   {U(x1), h(x1, z1), U(z1)},
                   {U(x0), h(x0, z1), U(z1)}},
                  normal, road_);
  }
  // Road in the wheel run; the body run's face edges are the walls.
  void Road(double x0, double z0, double x1, double z1, double y, double sx = 0.0, double sz = 0.0) {
    Face(SB_WHEELRUN, x0, z0, x1, z1, y, sx, sz);
  }
  void Walls(double x0, double z0, double x1, double z1) { Face(SB_BODYRUN, x0, z0, x1, z1, 0.0); }
  void Install() {
    map_.Install();
    BuildListXZYPoly();
  }
  // The car standing with its wheel points at height y (metres).
  void Stand(TCAR* car, double x, double y, double z) {
    car->Position[0] = x, car->Position[1] = y - car->WheelHeightOffset, car->Position[2] = z;
  }
  // Whole race steps of the driven car.
  void Steps(int32_t n) {
    for (int32_t i = 0; i < n; ++i) SB_PhysicsStep(0);
  }
};

}  // namespace ztest
