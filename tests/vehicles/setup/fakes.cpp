// Recording fakes of the car sounds, the brake lights, the replay state and
// the player order, in place of their weak stubs.
#include "net/net.h"
#include "scenery/brakelights.h"
#include "tests/vehicles/setup/setup_fixture.h"
#include "vehicles/carsounds.h"

namespace {
void Call(const char* text) {
  ztest::g_setupCalls.push_back(text);
  if (ztest::g_onCall) ztest::g_onCall(text);
}
}  // namespace

void SB_LoadCarSounds() { Call("LoadCarSounds"); }
void SB_FreeCarSounds() { Call("FreeCarSounds"); }
void SB_ResetCarSoundState(TCAR*) { Call("ResetCarSoundState"); }
void SB_ResetBrakeLights() { Call("ResetBrakeLights"); }
int32_t SB_IsCarReplayPlaying(int32_t i) { return i >= 0 && i < SB_MAXCARS && ztest::g_replaying[i] ? 1 : 0; }
int32_t NET_GetMyPlayerOrder() { return 5; }
// Called at every physics step for the cars near the driven one, itself included.
void SB_PlaceRemoteCar(int32_t index, int32_t) {
  if (index == SB_Var.DrivenCar && ztest::g_perStep) ztest::g_perStep(index);
}
