// The centre line, until the track exists: no points are ever loaded, so
// nothing is freed and no search is made; the camera keeps its index,
// wrapped onto the line. Weak, so that tests can put recording fakes in
// their place.
#include "track/bspline.h"

#include "shell/sbvar.h"

__attribute__((weak)) void SB_FreeBsplinePoints() {}

__attribute__((weak)) void SB_GetNearestBsplinePoint(const double*, double* nearest, double* alternative) {
  *nearest = *alternative = 0.0;
}

__attribute__((weak)) int32_t SB_UpdateCameraBsplineIndex(TCAMERA* camera) {
  const int32_t n = SB_Var.NbBsplinePoints;
  if (!SB_Var.BsplineValid || n <= 0) return 0;
  camera->BsplineIndex = (camera->BsplineIndex % n + n) % n;
  return camera->BsplineIndex;
}
