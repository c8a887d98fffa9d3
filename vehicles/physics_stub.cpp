// The models the physics calls that come with later work: race order and
// pacing, wheel clearance and smoke. Until then, of the race order only
// the cars' track progress is kept. Weak, so that tests can put recording
// fakes in their place.
#include "vehicles/physics.h"
#include "vehicles/vehicles.h"

__attribute__((weak)) void SB_ComputeWheelClearance(int32_t) {}
__attribute__((weak)) void SB_UpdateRaceStanding() { SB_UpdateCarsTrackProgress(); }
__attribute__((weak)) void SB_LinkRaceOrder() {}
__attribute__((weak)) void SB_PaceReplayBehindLeader() {}
__attribute__((weak)) void SB_PaceReplaysAgainstLive() {}
__attribute__((weak)) void SB_EmitWheelSmoke() {}
