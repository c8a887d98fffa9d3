// The models the physics calls that come with later work: wheel clearance
// and smoke. Weak, so that tests can put recording fakes in their place.
#include "vehicles/physics.h"
#include "vehicles/vehicles.h"

__attribute__((weak)) void SB_ComputeWheelClearance(int32_t) {}
__attribute__((weak)) void SB_EmitWheelSmoke() {}
