// What the handling tests share: the default car of the build's data tree
// (its prototypes and shipped parameter file) driven by the scripted
// driver through the race's start, on maps the tests make (a long
// straight, a skid pad, a wall on a flat square) or on the default
// circuit, with the figures the manoeuvres measure.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "datagen/circuitdrive.h"
#include "datagen/mapbuild.h"
#include "engine3d/matrix.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "tests/support/testenv.h"
#include "tests/support/testmap.h"
#include "track/decor.h"
#include "track/ground.h"
#include "vehicles/drive.h"

namespace ztest {

constexpr double kKmh = 1 / 3.6;  // m/s of 1 km/h
constexpr double kG = 9.81;

// A map made by a test: flat road faces at height 0 (with walls when the
// map has them) and a centre line of one point a metre.
struct TestTrack {
  enum Kind { kStraight, kSkidPad, kWall, kFloor } kind;
  static constexpr double kStraightLength = 6000.0;  // m along +z, centred on 0
  static constexpr double kPadRadius = 80.0;         // m, round the origin
  static constexpr double kWallX = 30.0;             // m: the wall's line x, along z
  static constexpr double kFloorHalf = 1500.0;       // m: a square floor round the origin

  bool Install(std::string* error) const;
};

class HandlingTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    std::filesystem::copy(std::filesystem::path(ZENTROVA_EXE).parent_path() / "data", root_,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    StartLibrary(64u << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
  }
  void TearDown() override {
    drive_.Stop();
    LibraryTest::TearDown();
  }

  // The car on the grid of the map (the default circuit without one), then
  // driven in frames of ms until its engine has cranked and it is in first
  // gear; crankEnd_ is the time the crank ended.
  void Start(const TestTrack* track, uint32_t ms);
  // One frame of ms: the driver's stick, changed by adjust when given.
  void Frame(uint32_t ms, const std::function<void(datagen::DriverInput&)>& adjust = {}) {
    drive_.Frame(ms, adjust);
    time_ += ms * 0.001;
  }
  TCAR& Car() { return drive_.Car(); }
  double Speed() { return std::hypot(Car().Velocity[0], Car().Velocity[2]); }
  // The car moving along its heading turned by angle (rad) about the
  // vertical, at speed m/s, its wheels rolling with it.
  void Launch(double x, double z, double heading, double speed);

  datagen::CircuitDrive drive_;
  double time_ = 0.0;     // s of game time since the start
  double crankEnd_ = 0.0;  // s
};

// Full throttle and the driver's steering.
inline void FlatOut(datagen::DriverInput& in) { in.y = -1.0; }
// No pedal and no steering.
inline void Hands(datagen::DriverInput& in) { in.x = in.y = 0.0; }

}  // namespace ztest
