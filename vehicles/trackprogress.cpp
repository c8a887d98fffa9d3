// The cars' progress along the centre line, kept once a frame: the
// track's per-car update for every car of the table. Weak, so that tests
// can put a recording fake in its place.
#include "shell/sbvar.h"
#include "track/bspline.h"
#include "vehicles/vehicles.h"

__attribute__((weak)) void SB_UpdateCarsTrackProgress() {
  for (TCAR* car : SB_Var.Cars)
    if (car) SB_UpdateCarTrackProgress(car);
}
