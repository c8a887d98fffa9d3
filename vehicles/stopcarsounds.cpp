// The race's car sounds stopped and their channels freed (a failed race
// set-up, and the race's end).
#include "vehicles/carsounds.h"
#include "vehicles/vehicles.h"

void SB_StopCarSounds() { SB_FreeCarSounds(); }
