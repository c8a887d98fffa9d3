// The models the physics calls that come with later work: replays and
// network states, race order and pacing. Until
// then no car is placed from a replay or the network, and of
// the race order only the cars' track progress is kept. Weak, so that
// tests can put recording fakes in their place.
#include "vehicles/physics.h"
#include "vehicles/vehicles.h"

__attribute__((weak)) void SB_RecordTick(int32_t) {}
__attribute__((weak)) void SB_PackCarState(int32_t) {}
__attribute__((weak)) void SB_PlaceRemoteCar(int32_t, int32_t) {}
__attribute__((weak)) void SB_PlayReplayTick(int32_t, int32_t, int32_t) {}
__attribute__((weak)) void SB_UpdateRaceStanding() { SB_UpdateCarsTrackProgress(); }
__attribute__((weak)) void SB_LinkRaceOrder() {}
__attribute__((weak)) void SB_PaceReplayBehindLeader() {}
__attribute__((weak)) void SB_PaceReplaysAgainstLive() {}
