// The map's face shading by the light direction, and the camera-zone
// factor that widens the accelerator's depth range near one place of the
// circuit.
#include <cmath>

#include "engine3d/power.h"
#include "racescene/powerscene.h"
#include "racescene/race3d.h"
#include "shell/sbvar.h"
#include "track/types.h"

namespace {

// The camera zone: a sphere with its factor, inner radius and band.
struct TZONE {
  double X, Y, Z, Factor, Inner, Band;
};
constexpr TZONE kZone = {-950.0, -21.0, -70.0, 8.0, 100.0, 200.0};
constexpr double kMaxShade = 150.0;

double ShadeOf(double nx, double ny, double nz) {
  const double k = 1.0 / 8192.0;
  const TVECTOR& l = SB_Var.LightDir;
  const double s = 100.0 + 100.0 * (nx * l.x * k + ny * l.y * k + nz * l.z * k);
  return s > kMaxShade ? kMaxShade : s;
}

uint8_t Byte(double s) { return static_cast<uint8_t>(static_cast<int32_t>(s) & 0xFF); }

}  // namespace

void SB_ShadeMapVertex(TMAPFACE* face) {
  const double s = ShadeOf(face->Normal[0] - 64.0, face->Normal[1] - 64.0, face->Normal[2] - 64.0);
  face->ShadeOrKey = static_cast<uint32_t>(static_cast<int32_t>(s));
}

void SB_ShadeDecorVertex(TFFACEPOLY* face) {
  const double nx = face->Normal[0] - 8192.0, ny = face->Normal[1] - 8192.0, nz = face->Normal[2] - 8192.0;
  face->Shades = Byte(ShadeOf(nx, ny, nz)) | static_cast<uint32_t>(Byte(ShadeOf(-nx, -ny, -nz))) << 8;
}

__attribute__((weak)) void SB_RefreshLighting() {
  if (SB_Var.SunDrop == SB_Var.LastLightLevel) return;
  SB_Var.LastLightLevel = SB_Var.SunDrop;
  TDECOR& d = SB_Var.Decor;
  if (SB_Var.Renderer != SB_RENDERER_PVR && d.Faces)
    for (int32_t i = 0; i < d.NbFaces; ++i) SB_ShadeMapVertex(&d.Faces[i]);
  if (d.FacePolys)
    for (int32_t i = 0; i < d.NbFacePolys; ++i) SB_ShadeDecorVertex(&d.FacePolys[i]);
}

double SB_CalcCameraZoneFactor(const double p[3]) {
  const double dx = p[0] - kZone.X, dy = p[1] - kZone.Y, dz = p[2] - kZone.Z;
  const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
  if (d >= kZone.Inner + kZone.Band) return 1.0;
  if (d <= kZone.Inner) return kZone.Factor;
  return (kZone.Factor - 1.0) * (1.0 - (d - kZone.Inner) / kZone.Band) + 1.0;
}

__attribute__((weak)) void SB_UpdateCameraZoneFactor() {
  const double p[3] = {SB_Var.Camera.PosX, SB_Var.Camera.PosY, SB_Var.Camera.PosZ};
  SB_Var.ZoneFactor = SB_CalcCameraZoneFactor(p) * SB_Var.GlareDepthFactor * SB_Var.NightDepthFactor;
  SB_Var.ProjFactor = static_cast<float>(0.5 / SB_Var.ZoneFactor);
}
