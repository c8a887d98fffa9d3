// Fixtures of the vehicle tests: a car table with rigid bodies for the
// physics, and a started library with the project's car models written
// under drive C: for the loading tests, both checking that nothing is left
// allocated; and what the recording fakes of the physics' stubs saw.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "datagen/carmodels.h"
#include "engine3d/object.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "tests/system/bmap_fixture.h"
#include "vehicles/cars.h"
#include "vehicles/devenv.h"
#include "vehicles/physics.h"
#include "vehicles/setups.h"
#include "vehicles/vehicles.h"

namespace ztest {

// The fakes' calls; which cars count as simulated; forces the contact
// pass adds when set.
inline std::vector<std::string> g_calls;
inline bool g_simulated[SB_MAXCARS];
inline std::function<void(TCAR*)> g_contacts;
// The card textures the fake accelerator cache holds.
inline std::set<int32_t> g_cardTextures;

inline void InstallVehicleHooks() {
  g_calls.clear();
  for (bool& s : g_simulated) s = true;
  SB_Hooks.IsCarSimulated = [](int32_t car) {
    return car >= 0 && car < SB_MAXCARS && g_simulated[car] ? 1 : 0;
  };
  SB_Hooks.ProfileStart = [] { g_calls.push_back("profile start"); };
  SB_Hooks.ProfileStop = [] { g_calls.push_back("profile stop"); };
}

// n cars at rest at the origin, upright, car 0 driven, all simulated.
class PhysicsTest : public Environment {
 protected:
  TCAR cars_[SB_MAXCARS] = {};
  void SetUp() override {
    Environment::SetUp();
    InstallVehicleHooks();
  }
  void MakeCars(int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
      cars_[i] = TCAR{};
      SB_InitRigidBody(&cars_[i], 2.1, 0.65, 4.6, 1000.0);
      cars_[i].CatchUp = cars_[i].DragDivisor = 1.0;
      SB_Var.Cars[i] = &cars_[i];
    }
    SB_Var.NbCars = n;
    SB_Var.UsingCars = 1;
    SB_Var.DrivenCar = 0;
  }
  TCAR& Car(int32_t i) { return cars_[i]; }
};

class VehicleTest : public BmapTest {
 protected:
  void SetUp() override {
    BmapTest::SetUp();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    InstallVehicleHooks();
    SB_ClearPrintedLines();
  }
  void TearDown() override {
    SB_FreeCars();
    SB_FreeVehiclePrototypes();
    EXPECT_EQ(SB_Var.NbMemOwners, 0) << "blocks left";
    EXPECT_EQ(E3D_MlibEntries, nullptr) << "library entries left";
    BmapTest::TearDown();
  }
  // Writes the six car models under C:, the one at path changed first.
  void PutCars(const std::string& path = "", const std::function<void(datagen::CarModel&)>& change = {}) {
    for (datagen::CarModel car : datagen::CarModels()) {
      if (car.path == path) change(car);
      ASSERT_TRUE(datagen::WriteCarModel(root_, car));
    }
  }
  // The default set loaded from the models, its full model changed first.
  void LoadSet(const std::function<void(datagen::CarModel&)>& change = [](datagen::CarModel&) {}) {
    PutCars("OBC/STOCKCAR/STOCKCAR.OBC", change);
    SB_LoadVehiclePrototypes(nullptr);
    SB_ClearPrintedLines();
  }
};

}  // namespace ztest
