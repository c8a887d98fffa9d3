// The four planes of the view pyramid, as unit normals in camera space,
// against which the object display culls cars.
#include <cmath>

#include "racescene/views.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"

namespace {

TVECTOR Unit(double x, double y, double z) {
  const double n = std::sqrt(x * x + y * y + z * z);
  return n > 0.0 ? TVECTOR{x / n, y / n, z / n} : TVECTOR{0.0, 0.0, 0.0};
}

}  // namespace

void SB_BuildViewPyramid(const _WINDOW* window) {
  const double f = SB_Var.Focal;
  const double w = window->W_WIDTH / 2, h = window->W_HEIGHT / 2;
  SB_Var.ViewPyramid[0] = Unit(f, 0.0, w + 1);   // left
  SB_Var.ViewPyramid[1] = Unit(-f, 0.0, w - 1);  // right
  SB_Var.ViewPyramid[2] = Unit(0.0, f, h + 1);   // top
  SB_Var.ViewPyramid[3] = Unit(0.0, -f, h - 1);  // bottom
}
