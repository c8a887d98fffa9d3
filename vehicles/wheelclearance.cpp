// The drawn wheels' clearance: for each wheel of a simulated car, the
// height of the road under it (or under a point 1 m beside it) turned
// into the car's axes, so that the wheels follow the road. Over a hole
// the clearance stays as it was.
#include "engine3d/matrix.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "track/ground.h"
#include "vehicles/drive.h"
#include "vehicles/vehicles.h"

namespace {

constexpr double kWorldUnits = 320.0;  // of the ground queries, per metre
// The wheel's own point, then the points 1 m away, in the order tried.
constexpr double kTried[5][2] = {{0, 0}, {-1, 0}, {0, -1}, {1, 0}, {0, 1}};

// The road's height (world units) under x, z or beside it; SB_NOGROUND when none.
double RoadNear(double x, double z) {
  for (const auto& t : kTried) {
    const double h = SB_GetRoadHeight(SB_SaturateInt((x + t[0]) * kWorldUnits), SB_SaturateInt((z + t[1]) * kWorldUnits));
    if (h < SB_NOGROUND) return h;
  }
  return SB_NOGROUND;
}

}  // namespace

void SB_ComputeWheelClearance(int32_t index) {
  if (!SB_IsValidCarIndex(index) || !SB_Var.Cars[index]) return;
  if (!SB_Hooks.IsCarSimulated || !SB_Hooks.IsCarSimulated(index)) return;
  TCAR* car = SB_Var.Cars[index];
  TMATRIX inverse;
  E3D_MatTranspose(car->Orientation, inverse);
  for (int32_t k = 0; k < SB_NBWHEELS; ++k) {
    TVECTOR w = car->WheelOffsets[k];
    E3D_MatMulVec(car->Orientation, &w);
    w = {w.x + car->Position[0], w.y + car->Position[1], w.z + car->Position[2]};
    const double h = RoadNear(w.x, w.z);
    if (!(h < SB_NOGROUND)) continue;
    TVECTOR road = {w.x - car->Position[0], h / kWorldUnits - car->Position[1], w.z - car->Position[2]};
    E3D_MatMulVec(inverse, &road);
    car->Suspension[k] = road.y - car->WheelOffsets[k].y;
  }
}
