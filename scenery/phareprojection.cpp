// The beam volumes' projection header, which the view set-up hands on:
// the beams project with the views' own focal length and centre, so there
// is nothing to keep. Weak, so that tests can put recording fakes in their
// place.
#include "scenery/framefx.h"

__attribute__((weak)) void POWER_SetPhareFocal(float) {}
__attribute__((weak)) void POWER_SetPhareCentre(float, float) {}
