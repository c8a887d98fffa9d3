// The camera record's smoothing toward its target and the frames the
// renderers read: fixed-point, float (positions x 190) and the matrix.
#include "engine3d/camera.h"

#include <cmath>
#include <cstring>

#include "engine3d/matrix.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "track/ground.h"

namespace {

constexpr uint32_t kAngleMask = 0xFFFF;

// One angle moved by f of the shorter way to its target.
uint32_t SmoothAngle(uint32_t current, uint32_t target, double f) {
  const int16_t d = static_cast<int16_t>(static_cast<uint16_t>(target - current));
  return (current + static_cast<uint32_t>(static_cast<int32_t>(std::floor(d * f + 0.5)))) & kAngleMask;
}

int32_t SmoothCoordinate(int32_t current, int32_t target, double f) {
  const double d = static_cast<double>(target) - static_cast<double>(current);
  return static_cast<int32_t>(current + static_cast<int64_t>(std::floor(d * f + 0.5)));
}

}  // namespace

void SB_SetCameraFixedFrame(FIXFRAME* frame, int32_t x, int32_t y, int32_t z, int32_t pitch, int32_t heading,
                            int32_t roll) {
  LS_InitMatrix(frame, x, y, z);
  LS_RotateY(frame, static_cast<uint16_t>(heading));
  LS_RotateZ(frame, static_cast<uint16_t>(roll));
  LS_RotateX(frame, static_cast<uint16_t>(pitch));
}

void SB_SetCameraFloatFrame(float frame[12], int32_t x, int32_t y, int32_t z, int32_t pitch, int32_t heading,
                            int32_t roll) {
  TMATRIX m;
  E3D_MatFromAngles16(m, pitch, heading, roll);
  for (int k = 0; k < 9; ++k) frame[k] = static_cast<float>(m[k]);
  frame[9] = static_cast<float>(x * 190.0);
  frame[10] = static_cast<float>(y * 190.0);
  frame[11] = static_cast<float>(z * 190.0);
}

void SB_UpdateCamera(TCAMERA* c, double a, double b) {
  c->PrevFrame = c->Frame;
  c->PrevX = c->CurrentX;
  c->PrevY = c->CurrentY;
  c->PrevZ = c->CurrentZ;
  const double f = a * b;
  if (f < 0.9999) {
    c->AngleX = SmoothAngle(c->AngleX, c->TargetAngleX, f);
    c->AngleY = SmoothAngle(c->AngleY, c->TargetAngleY, f);
    c->AngleZ = SmoothAngle(c->AngleZ, c->TargetAngleZ, f);
    c->CurrentX = SmoothCoordinate(c->CurrentX, c->TargetX, f);
    c->CurrentY = SmoothCoordinate(c->CurrentY, c->TargetY, f);
    c->CurrentZ = SmoothCoordinate(c->CurrentZ, c->TargetZ, f);
  } else {
    c->AngleX = c->TargetAngleX & kAngleMask;
    c->AngleY = c->TargetAngleY & kAngleMask;
    c->AngleZ = c->TargetAngleZ & kAngleMask;
    c->CurrentX = c->TargetX;
    c->CurrentY = c->TargetY;
    c->CurrentZ = c->TargetZ;
  }
  const int32_t pitch = static_cast<int32_t>(c->AngleX), heading = static_cast<int32_t>(c->AngleY),
                roll = static_cast<int32_t>(c->AngleZ);
  SB_SetCameraFloatFrame(c->FloatFrame, c->CurrentX, c->CurrentY, c->CurrentZ, pitch, heading, roll);
  SB_SetCameraFixedFrame(&c->Frame, c->CurrentX, c->CurrentY, c->CurrentZ, pitch, heading, roll);
  int32_t rotated[3] = {c->Frame.Position[0], c->Frame.Position[1], c->Frame.Position[2]};
  LS_TransformPoint(&c->Frame, rotated);
  c->RotatedX = rotated[0];
  c->RotatedY = rotated[1];
  c->RotatedZ = rotated[2];
  c->PosX = c->CurrentX * 0.003125;
  c->PosY = c->CurrentY * 0.003125;
  c->PosZ = c->CurrentZ * 0.003125;
  std::memcpy(c->PrevMatrix, c->Matrix, sizeof(TMATRIX));
  E3D_MatFromFixed(&c->Frame.Rotation[0][0], c->Matrix);
}

void SB_PlaceCamera(TCAMERA* c, int32_t x, int32_t y, int32_t z, int32_t pitch, int32_t heading, int32_t roll) {
  c->TargetX = x;
  c->TargetY = y;
  c->TargetZ = z;
  c->TargetAngleX = static_cast<uint32_t>(pitch) & kAngleMask;
  c->TargetAngleY = static_cast<uint32_t>(heading) & kAngleMask;
  c->TargetAngleZ = static_cast<uint32_t>(roll) & kAngleMask;
  SB_UpdateCamera(c, 1.0, 1.0);
}

void SB_ResetCamera(TCAMERA* c) {
  SB_PlaceCamera(c, 0, 0, 0, 0, 0, 0);
  SB_Var.Camera.BsplineIndex = 0;
}

void SB_CameraLookAt(TCAMERA* c, const double p[3]) {
  const double dx = p[0] - c->TargetX * 0.003125;
  const double dy = p[1] - c->TargetY * 0.003125;
  const double dz = p[2] - c->TargetZ * 0.003125;
  const double heading = std::fabs(dx) < 0.001 && std::fabs(dz) < 0.001 ? 0.0 : std::atan2(dx, dz);
  const double pitch = std::atan2(dy, std::sqrt(dx * dx + dz * dz));
  TMATRIX m;
  E3D_MatFromAngles(m, pitch, heading, 0.0);
  E3D_MatToAngles16Simple(m, &c->TargetAngleX, &c->TargetAngleY, &c->TargetAngleZ);
}

int32_t SB_GetCameraGroundHeight(int32_t x, int32_t z) {
  const double road = SB_GetRoadHeight(x, z);
  const double h = road < 99999.0 ? road : SB_GetGroundHeight(x, z);
  return static_cast<int32_t>(h);
}
