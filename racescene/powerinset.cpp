// The accelerator's car-position inset: a square in the lower left of the
// view where every simulated car is a small top-down picture of the SCARS
// texture around the followed car; and that texture's loading.
#include <algorithm>
#include <cmath>

#include "engine3d/matrix.h"
#include "engine3d/power.h"
#include "engine3d/texcache.h"
#include "platform/accel/sgl.h"
#include "racescene/powerscene.h"
#include "racescene/race3d.h"
#include "scenery/lensflare.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/file.h"
#include "system/picture.h"
#include "vehicles/types.h"
#include "vehicles/vehicles.h"

namespace {

constexpr const char* kScarsFile = "MISCPICT>SCARS.TGA";
constexpr int32_t kInsetX = 32, kInsetBelow = 192;
constexpr double kCarHalfLength = 2.25, kMaxDistance = 50.0;
constexpr double kMinScale = 2.0, kMaxScale = 7.5;
constexpr float kInsetDepth = 6000.0f;
constexpr float kCellWidth = 0.5f, kCellHeight = 0.2265625f;
constexpr int32_t kPictureOfSetup[8] = {4, 7, 5, 6, 0, 1, 2, 3};
constexpr int32_t kFirstInsetStep = 10;

bool Simulated(int32_t car) { return SB_Hooks.IsCarSimulated ? SB_Hooks.IsCarSimulated(car) != 0 : true; }

// The conditions shared by the texture count and the drawing; the
// followed car, or -1.
int32_t FollowedCar() {
  if (SB_Var.Renderer != SB_RENDERER_PVR || !SB_Var.InsetOn || !SB_Var.UsingCars || !SB_Var.PreviousView ||
      SB_Var.CameraMode == 0 || SB_Var.NbCars < 2 || !SB_IsValidCarIndex(SB_Var.DrivenCar))
    return -1;
  const int32_t car = SB_IsValidCarIndex(SB_Var.ReplayCar) ? SB_Var.ReplayCar : SB_Var.DrivenCar;
  return SB_Var.Cars[car] ? car : -1;
}

void Quad(const TSGLVERTEX (&v)[4], int32_t slot) {
  static const uint32_t kIndices[1][4] = {{0, 1, 2, 3}};
  SGLCONTEXT& c = SB_Var.SglContext;
  c.TextureName = POWER_SlotName(slot);
  c.SortDepth = kInsetDepth;
  sgltri_quads(&c, 1, kIndices, v);
}

void DrawInsetBackground(float x, float y, float side) {
  if (!SB_Var.InsetBackTexture) return;
  TSGLVERTEX v[4];
  const float xs[4] = {x, x + side, x + side, x}, ys[4] = {y, y, y + side, y + side};
  for (int32_t i = 0; i < 4; ++i)
    v[i] = {xs[i], ys[i], 0.2f, 5.0f, 0xFFFFFF, 0, i == 1 || i == 2 ? 1.0f : 0.0f, i >= 2 ? 1.0f : 0.0f};
  Quad(v, SB_Var.InsetBackTexture);
}

void DrawInsetCar(const TCAR* followed, const TCAR* car, int32_t index, double cx, double cy, double scale) {
  TVECTOR p{car->Position[0] - followed->Position[0], car->Position[1] - followed->Position[1],
            car->Position[2] - followed->Position[2]};
  TVECTOR a{1.0, 0.0, 0.0}, b{0.0, 0.0, kCarHalfLength};
  E3D_MatMulVec(car->Orientation, &a);
  E3D_MatMulVec(car->Orientation, &b);
  for (TVECTOR* w : {&p, &a, &b}) E3D_MatMulVec(followed->InsetMatrix, w);
  float u0 = 0.0f, v0 = 0.0f;
  POWER_InsetCarCell(SB_GetCarSetupNumber(index), &u0, &v0);
  const float depth = static_cast<float>((19 - index) * 0.01);
  // Front left, front right, back right, back left; forward is up.
  static constexpr double kSide[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
  TSGLVERTEX v[4];
  for (int32_t i = 0; i < 4; ++i) {
    const double x = p.x + kSide[i][0] * a.x + kSide[i][1] * b.x,
                 z = p.z + kSide[i][0] * a.z + kSide[i][1] * b.z;
    v[i].X = static_cast<float>(x * scale + cx + 0.5);
    v[i].Y = static_cast<float>(-z * scale + cy + 0.5);
    v[i].Depth = depth, v[i].InvW = 1.0f / depth, v[i].Colour = 0xFFFFFF, v[i].Specular = 0;
    v[i].U = u0 + (kSide[i][0] > 0 ? kCellWidth : 0.0f), v[i].V = v0 + (kSide[i][1] > 0 ? 0.0f : kCellHeight);
  }
  Quad(v, SB_Var.ScarsTexture);
}

}  // namespace

void POWER_InsetCarCell(int32_t setup, float* u, float* v) {
  const int32_t picture = kPictureOfSetup[setup >= 0 && setup < 8 ? setup : 0];
  *u = static_cast<float>(picture / 4) * kCellWidth;
  *v = static_cast<float>(picture % 4) * kCellHeight;
}

void POWER_CountInsetTextures(TSOFTSCENE* scene) {
  if (!scene || FollowedCar() < 0) return;
  for (int32_t slot : {SB_Var.ScarsTexture, SB_Var.InsetBackTexture})
    if (slot > 0 && slot < SB_NBTEXTURESLOTS) ++scene->TextureUses[slot];
}

void POWER_DrawCarsInset() {
  const int32_t followed = FollowedCar();
  if (followed < 0 || !SB_Var.ShowInset) return;
  if (!SB_Hooks.GetGameStep || SB_Hooks.GetGameStep() < kFirstInsetStep) return;
  const TCAR* me = SB_Var.Cars[followed];
  double nearest = -1.0;
  for (int32_t i = 0; i < SB_Var.NbCars; ++i) {
    const TCAR* car = SB_Var.Cars[i];
    if (i == followed || !car || !Simulated(i)) continue;
    const double dx = car->Position[0] - me->Position[0], dy = car->Position[1] - me->Position[1],
                 dz = car->Position[2] - me->Position[2];
    const double d = std::sqrt(dx * dx + dy * dy + dz * dz) + kCarHalfLength;
    if (nearest < 0.0 || d < nearest) nearest = d;
  }
  if (nearest < 0.0 || nearest > kMaxDistance) return;
  int32_t x = kInsetX, y = SB_Var.ScreenWindow.W_HEIGHT - kInsetBelow, w = SB_INSETSIDE, h = SB_INSETSIDE;
  POWER_SetInsetViewport(x, y, w, h);
  const double scale = std::clamp(w * 0.4 / nearest, kMinScale, kMaxScale);
  const double cx = x + w / 2.0, cy = y + w / 2.0;
  DrawInsetBackground(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w));
  if (SB_Var.ScarsTexture)
    for (int32_t i = 0; i < SB_Var.NbCars; ++i)
      if (SB_Var.Cars[i] && Simulated(i)) DrawInsetCar(me, SB_Var.Cars[i], i, cx, cy, scale);
  POWER_RestoreViewport();
}

__attribute__((weak)) void POWER_LoadScarsTexture() {
  if (!SB_Var.InsetOn || SB_Var.Renderer != SB_RENDERER_PVR) return;
  SB_Var.ScarsTexture = 0;
  if (!LS_FileExists(kScarsFile)) {
    SB_ConsolePrintf("File %s not found", kScarsFile);
    return;
  }
  BMAP* picture = LS_LoadTga(kScarsFile, 0);
  if (!picture) return;
  if (picture->Format != BMAP_ARGB8888 || !picture->Start) {
    LS_FreeBmap(picture);
    return;
  }
  // To the texture format, the alpha inverted: the card counts
  // transparency where the picture counts opacity.
  BMAP* texture = SB_ConvertBmapTo32(picture);
  if (!texture) return;
  SB_InvertAlpha32(texture);
  SB_Var.ScarsTexture = POWER_CreateCachedTexture(texture, 3, 3, 0);
  SB_FreeBmap(texture);
}

__attribute__((weak)) void POWER_FreeScarsTexture() {
  if (SB_Var.ScarsTexture) POWER_RemoveCachedTexture(SB_Var.ScarsTexture);
  SB_Var.ScarsTexture = 0;
}
