// The vehicle tests' fixtures and the recording fakes in place of the
// physics' weak stubs.
#include "tests/vehicles/vehicle_fixture.h"

#include <cstdio>

#include "system/error.h"

namespace ztest {

std::vector<std::string>& Calls() {
  static std::vector<std::string> calls;
  return calls;
}
bool g_simulated[SB_MAXCARS];
std::function<void(TCAR*)> g_contacts;

namespace {

void Call(const char* format, long a = 0, long b = 0, long c = 0) {
  char text[128];
  std::snprintf(text, sizeof text, format, a, b, c);
  Calls().push_back(text);
}

}  // namespace

void InstallVehicleHooks() {
  Calls().clear();
  for (bool& s : g_simulated) s = true;
  SB_Hooks.IsCarSimulated = [](int32_t car) { return car >= 0 && car < SB_MAXCARS && g_simulated[car] ? 1 : 0; };
  SB_Hooks.ProfileStart = [] { Call("profile start"); };
  SB_Hooks.ProfileStop = [] { Call("profile stop"); };
}

void PhysicsTest::SetUp() {
  Environment::SetUp();
  InstallVehicleHooks();
}

void PhysicsTest::MakeCars(int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    cars_[i] = TCAR{};
    SB_InitRigidBody(&cars_[i], 2.1, 0.65, 4.6, 1000.0);
    cars_[i].CatchUp = cars_[i].DragDivisor = 1.0;
    SB_Var.Cars[i] = &cars_[i];
  }
  SB_Var.NbCars = n;
  SB_Var.UsingCars = 1;
  SB_Var.DrivenCar = 0;
  SB_Var.FixedGameSpeed = 100;
}

void VehicleTest::SetUp() {
  BmapTest::SetUp();
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  InstallVehicleHooks();
  SB_ClearPrintedLines();
}

void VehicleTest::TearDown() {
  SB_FreeCars();
  SB_FreeVehiclePrototypes();
  EXPECT_EQ(SB_Var.NbMemOwners, 0) << "blocks left";
  EXPECT_EQ(SB_Var.NbBmapOwners, 0) << "bitmaps left";
  EXPECT_EQ(E3D_MlibEntries, nullptr) << "library entries left";
  BmapTest::TearDown();
}

void VehicleTest::PutCars(const std::function<void(datagen::CarModel&)>& change) {
  for (datagen::CarModel car : datagen::CarModels()) {
    if (change) change(car);
    ASSERT_TRUE(datagen::WriteCarModel(root_, car));
  }
}

}  // namespace ztest

// The models the physics calls, recorded.
using ztest::Call;
void SB_StepWheels(TCAR*) { Call("step %ld", static_cast<long>(SB_Var.PhysicsDt * 1000.0 + 0.5)); }
void SB_ApplyContacts(int32_t index, TCAR* car) {
  Call("contacts %ld", index);
  if (ztest::g_contacts) ztest::g_contacts(car);
}
void SB_ApplyControlsToCar(int32_t index) { Call("controls %ld", index); }
void SB_ComputeWheelClearance(int32_t index) { Call("clearance %ld", index); }
void SB_RecordTick(int32_t index) { Call("record %ld", index); }
void SB_PackCarState(int32_t index) { Call("pack %ld", index); }
void SB_PlaceRemoteCar(int32_t index, int32_t time) { Call("remote %ld %ld", index, time); }
void SB_PlayReplayTick(int32_t index, int32_t time, int32_t elapsed) { Call("replay %ld %ld %ld", index, time, elapsed); }
void SB_UpdateCarsTrackProgress() { Call("progress"); }
void SB_EmitWheelSmoke() { Call("smoke"); }
