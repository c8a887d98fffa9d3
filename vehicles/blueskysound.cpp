// The jingle of the race's end phase, started by the camera.
#include "vehicles/carsounds.h"
#include "vehicles/vehicles.h"

void SB_PlayBlueskySound() { SB_PlayCarOneShot(SB_CarSound(SB_SND_BLUESKY)); }
