// The default circuit from datagen's tree under drive C: (map, centre line,
// map information, the car prototypes and the shipped parameter file), with
// the cars of a race made from the prototypes and set up by the race start.
#pragma once
#include <cstdlib>

#include "engine3d/texpages.h"
#include "race/session.h"
#include "racescene/mapinfo.h"
#include "tests/vehicles/setup/setup_fixture.h"
#include "track/decor.h"
#include "track/ground.h"
#include "track/track.h"
#include "vehicles/cars.h"
#include "vehicles/devenv.h"
#include "vehicles/physics.h"

namespace ztest {

class CircuitTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    const std::string command =
        "'" ZENTROVA_DATAGEN "' '" + root_ + "' '" + std::string(ZENTROVA_SOURCE_DIR) + "/data' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    StartLibrary(64 << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    g_setupCalls.clear();
    g_onCall = nullptr;
    for (bool& r : g_replaying) r = false;
    ASSERT_EQ(SB_LoadDecor("DEC>NETRACE.DEC"), 1);
    BuildListXZYPoly();
    BuildXZYList();
    SB_BuildTextureDescriptors();  // the road's letter C, which the road query reads
    ASSERT_EQ(SB_LoadMapInfo("TXT>NETRACE.TXT"), 1);
    SB_Var.CurStartSlots = &SB_Var.StartSlots[0];
    SB_LoadVehiclePrototypes(nullptr);
    ASSERT_NE(SB_Var.VehiclePrototype, nullptr);
  }
  void TearDown() override {
    for (TCAR* car : SB_Var.Cars) SB_FreeVehicle(car);
    SB_FreeVehiclePrototypes();
    SB_FreeListXZYPoly();
    SB_FreeXZYList();
    SB_FreeDecor();
    SB_Hooks = SB_HOOKS{};
    LibraryTest::TearDown();
  }
  // n cars made and set up for the race, every one simulated.
  void MakeRace(int32_t n) {
    SB_Var.NbCars = n;
    SB_Var.UsingCars = 1;
    SB_Var.DrivenCar = 0;
    for (int32_t i = 0; i < n; ++i) ASSERT_NE(SB_Var.Cars[i] = LoadVehicle(), nullptr);
    SB_Hooks.IsCarSimulated = [](int32_t) { return 1; };
    SB_StartRace();
  }
  // A point of the car (car axes) in the world.
  static void ToWorld(const TCAR& car, const TVECTOR& p, double out[3]) {
    for (int32_t r = 0; r < 3; ++r)
      out[r] = car.Position[r] + car.Orientation[r] * p.x + car.Orientation[3 + r] * p.y + car.Orientation[6 + r] * p.z;
  }
  // The ground's height (metres) under a world point on the polygon cells,
  // which the wheels stand on (the circuit has no cube map yet); none:
  // 100000 / 320.
  static double RoadUnder(const double p[3]) {
    return SB_GetPolyGroundHeight(static_cast<int32_t>(p[0] * 320.0), static_cast<int32_t>(p[2] * 320.0)) / 320.0;
  }
};

}  // namespace ztest
