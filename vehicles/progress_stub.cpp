// The cars' progress along the centre line comes with the track's centre
// line; until then there is none to keep. Weak, so that tests can put a
// recording fake in its place.
#include "vehicles/vehicles.h"

__attribute__((weak)) void SB_UpdateCarsTrackProgress() {}
