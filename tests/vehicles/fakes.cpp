// Recording fakes in place of the weak stubs the physics calls.
#include <cmath>
#include <string>

#include "engine3d/powercache.h"
#include "system/bmap.h"
#include "tests/vehicles/vehicle_fixture.h"

namespace {
void Call(const std::string& text) { ztest::g_calls.push_back(text); }
std::string N(long v) { return std::to_string(v); }
}  // namespace

void SB_StepWheels(TCAR*) { Call("step " + N(std::lround(SB_Var.PhysicsDt * 1000.0))); }
void SB_ApplyContacts(int32_t index, TCAR* car) {
  Call("contacts " + N(index));
  if (ztest::g_contacts) ztest::g_contacts(car);
}
void SB_ApplyControlsToCar(int32_t index) { Call("controls " + N(index)); }
void SB_ComputeWheelClearance(int32_t index) { Call("clearance " + N(index)); }
void SB_RecordTick(int32_t index) { Call("record " + N(index)); }
void SB_PackCarState(int32_t index) { Call("pack " + N(index)); }
void SB_PlaceRemoteCar(int32_t index, int32_t time) { Call("remote " + N(index) + " " + N(time)); }
void SB_PlayReplayTick(int32_t index, int32_t time, int32_t elapsed) {
  Call("replay " + N(index) + " " + N(time) + " " + N(elapsed));
}
void SB_UpdateCarsTrackProgress() { Call("progress"); }
void SB_EmitWheelSmoke() { Call("smoke"); }

int32_t POWER_CreateTextureFromBmap(BMAP* bitmap, int32_t side, int32_t format, int32_t kind, int32_t flags) {
  static int32_t next = 0;
  Call("card " + N(bitmap->SizeX) + "x" + N(bitmap->SizeY) + " side " + N(side) + " (" + N(format) + ", " +
       N(kind) + ", " + N(flags) + ")");
  ztest::g_cardTextures.insert(++next);
  return next;
}
int32_t POWER_RemoveCachedTexture(int32_t slot) {
  ztest::g_cardTextures.erase(slot);
  return 1;
}
