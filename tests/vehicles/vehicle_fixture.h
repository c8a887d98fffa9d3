// Fixtures of the vehicle tests: a car table with rigid bodies for the
// physics, and a started library with the project's car models written
// under drive C: for the loading tests, both checking that nothing is left
// allocated. The recording fakes of the models the physics calls.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "datagen/carmodels.h"
#include "engine3d/object.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "tests/system/bmap_fixture.h"
#include "vehicles/cars.h"
#include "vehicles/devenv.h"
#include "vehicles/physics.h"
#include "vehicles/setups.h"

namespace ztest {

// The fakes' record of calls, and which cars count as simulated.
std::vector<std::string>& Calls();
extern bool g_simulated[SB_MAXCARS];
// Forces the contact pass adds in place of the ground's, when set.
extern std::function<void(TCAR*)> g_contacts;
void InstallVehicleHooks();

// n cars at rest at the origin, upright, car 0 driven, all simulated.
class PhysicsTest : public Environment {
 protected:
  TCAR cars_[SB_MAXCARS] = {};
  void SetUp() override;
  void MakeCars(int32_t n);
  TCAR& Car(int32_t i) { return cars_[i]; }
};

class VehicleTest : public BmapTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Writes the six car models under C:, each changed first when asked.
  void PutCars(const std::function<void(datagen::CarModel&)>& change = {});
};

}  // namespace ztest
