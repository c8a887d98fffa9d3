// What a race frame draws into the current view besides the map: the cars,
// the background objects, the decor objects, and on the accelerator the
// shadows and beams of the nearby cars, then the smoke, fire and
// explosions.
#include <utility>

#include "engine3d/object.h"
#include "engine3d/videotable.h"
#include "race/raceframe.h"
#include "racescene/race3d.h"
#include "scenery/effects.h"
#include "shell/sbvar.h"
#include "vehicles/types.h"

namespace {

constexpr uint32_t kHighlightColour = 0xFFFFFF;
constexpr double kBackObcScale = 60800.0;
constexpr int32_t kInsideCamera = 2;

void DrawCar(TCAMERA* camera, TSOFTSCENE* view, int32_t index) {
  TCAR* car = SB_Var.Cars[index];
  const uint32_t colour = car->Highlight ? kHighlightColour : SB_Var.LightColor;
  SB_DrawObject(view, &SB_Var.ScreenWindow, car->Object, camera, car, car->Position, 1, index, colour);
}

double Distance2(const TCAMERA* camera, const TCAR* car) {
  const double dx = car->Position[0] - camera->PosX, dy = car->Position[1] - camera->PosY,
               dz = car->Position[2] - camera->PosZ;
  return dx * dx + dy * dy + dz * dz;
}

}  // namespace

void SB_DrawWorldObjects(TCAMERA* camera, TSOFTSCENE* view) {
  SB_DrawCars(camera, view);
  SB_DrawBackObcs(camera, view);
  SB_DrawDecorObjects(view);
}

void SB_DrawCarEffects(TCAMERA* camera, TSOFTSCENE* view) {
  SB_DrawNearCarsPvr(camera, view);
  SB_DrawFumee(view, &SB_Var.ScreenWindow);
  SB_DrawFireAndExplosions(view, &SB_Var.ScreenWindow);
}

void SB_DrawNearCarsPvr(TCAMERA* camera, TSOFTSCENE* view) {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  const double threshold = static_cast<double>(SB_Var.DrawDistance) * SB_Var.DrawDistance;
  int32_t index[SB_MAXCARS];
  double distance[SB_MAXCARS];
  int32_t n = 0;
  for (int32_t i = 0; i < SB_MAXCARS; ++i) {
    if (!SB_Var.Cars[i] || !SB_IsCarSimulated(i)) continue;
    const double d = Distance2(camera, SB_Var.Cars[i]);
    if (d > threshold) continue;
    index[n] = i;
    distance[n++] = d;
  }
  // Exchange sort, nearest first; equal distances keep their index order.
  for (int32_t i = 0; i < n; ++i)
    for (int32_t j = i + 1; j < n; ++j)
      if (distance[j] < distance[i] || (distance[j] == distance[i] && index[j] < index[i])) {
        std::swap(distance[i], distance[j]);
        std::swap(index[i], index[j]);
      }
  for (int32_t k = 0; k < n; ++k) {
    TCAR* car = SB_Var.Cars[index[k]];
    POWER_BuildCarShadow(view, camera, car, index[k]);
    POWER_BuildPhareVolume(camera, car, index[k]);
  }
}

void SB_DrawCars(TCAMERA* camera, TSOFTSCENE* view) {
  if (!SB_Var.UsingCars) return;
  const int32_t driven = SB_Var.DrivenCar, replay = SB_Var.ReplayCar;
  for (int32_t i = 0; i < SB_MAXCARS; ++i)
    if (i != driven && i != replay && SB_IsCarSimulated(i)) DrawCar(camera, view, i);
  if (SB_Var.CameraMode == kInsideCamera) return;
  if (SB_IsCarSimulated(driven)) DrawCar(camera, view, driven);
  if (replay != driven && SB_IsCarSimulated(replay)) DrawCar(camera, view, replay);
}

void SB_DrawBackObcs(TCAMERA* camera, TSOFTSCENE* view) {
  for (int32_t i = 0; i < SB_Var.NbBackObcs && i < SB_MAXBACKOBCS; ++i) {
    const TBACKOBC& back = SB_Var.BackObcs[i];
    OBJECT* instance = back.Instance;
    if (!instance) continue;
    // Every part at the object's place; the axes were given at set-up.
    for (OBJECT* part = instance; part; part = part->Next) {
      part->Position[0] = static_cast<float>(back.X * kBackObcScale);
      part->Position[1] = static_cast<float>(back.Y * kBackObcScale);
      part->Position[2] = static_cast<float>(back.Z * kBackObcScale);
    }
    SB_DrawObjectDirect(view, &SB_Var.ScreenWindow, instance, camera, nullptr, 0);
  }
}
