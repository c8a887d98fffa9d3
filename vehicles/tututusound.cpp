// The jingle the race-phase steps start.
#include "vehicles/carsounds.h"
#include "vehicles/vehicles.h"

void SB_PlayTututuSound() { SB_PlayCarOneShot(SB_CarSound(SB_SND_TUTUTU)); }
