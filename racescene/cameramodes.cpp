// The nine race-camera modes: where each puts the camera around the
// followed car, the free camera's keys and the trackside spots.
#include <algorithm>
#include <cmath>

#include "engine3d/camera.h"
#include "engine3d/matrix.h"
#include "racescene/racecamera.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "system/input.h"
#include "track/bspline.h"

namespace {

constexpr int32_t kShiftKey = 16, kCtrlKey = 17, kSpaceKey = 32, kPageUpKey = 33, kPageDownKey = 34;
constexpr int32_t kLeftKey = 37, kUpKey = 38, kRightKey = 39, kDownKey = 40;
constexpr int32_t kNoGround = 100000;
constexpr double kWorldUnits = 320.0;  // per metre

const TCAR& Car(int32_t index) { return *SB_Var.Cars[index]; }

void Snap(TCAMERA* c) { SB_UpdateCamera(c, 1.0, 1.0); }

void TargetAt(TCAMERA* c, const double metres[3]) {
  c->TargetX = E3D_TruncToInt32(metres[0] * kWorldUnits);
  c->TargetY = E3D_TruncToInt32(metres[1] * kWorldUnits);
  c->TargetZ = E3D_TruncToInt32(metres[2] * kWorldUnits);
}

void AnglesOf(TCAMERA* c, const TMATRIX m) {
  E3D_MatToAngles16Simple(m, &c->TargetAngleX, &c->TargetAngleY, &c->TargetAngleZ);
}

void SetAngles(TCAMERA* c, int64_t pitch, int64_t heading, int64_t roll) {
  c->TargetAngleX = static_cast<uint32_t>(pitch) & 0xFFFF;
  c->TargetAngleY = static_cast<uint32_t>(heading) & 0xFFFF;
  c->TargetAngleZ = static_cast<uint32_t>(roll) & 0xFFFF;
}

// Moves the target d units backward along the view of its own angles.
void Behind(TCAMERA* c, int32_t d) {
  FIXFRAME frame;
  SB_SetCameraFixedFrame(&frame, c->TargetX, c->TargetY, c->TargetZ, static_cast<int32_t>(c->TargetAngleX),
                         static_cast<int32_t>(c->TargetAngleY), static_cast<int32_t>(c->TargetAngleZ));
  LS_MoveMatrixZ(&frame, -d);
  c->TargetX = frame.Position[0];
  c->TargetY = frame.Position[1];
  c->TargetZ = frame.Position[2];
}

void KeepAboveGround(TCAMERA* c, int32_t h) {
  const int32_t ground = SB_GetCameraGroundHeight(c->TargetX, c->TargetZ);
  c->TargetY = static_cast<int32_t>(std::min<int64_t>(c->TargetY, int64_t{ground} - h));
}

// The car's angles, with the pitch, heading offset and roll a mode sets.
void FromCarAngles(TCAMERA* c, const TCAR& car, int32_t pitch, int32_t headingOffset) {
  AnglesOf(c, car.Orientation);
  SetAngles(c, pitch, int64_t{c->TargetAngleY} + headingOffset, 0);
}

int32_t GroundAtMetres(double x, double z) {
  return SB_GetCameraGroundHeight(E3D_TruncToInt32(x * kWorldUnits), E3D_TruncToInt32(z * kWorldUnits));
}

// Steps 3 and 4 of the trackside and finish cameras: a spot over ground
// (else the target, else above the car), taken at once or, once settled,
// only after the hold time.
void MoveToSpot(TCAMERA* c, const TCAR& car, double spot[3]) {
  if (GroundAtMetres(spot[0], spot[2]) == kNoGround) {
    spot[0] = c->TargetX / kWorldUnits;
    spot[1] = c->TargetY / kWorldUnits;
    spot[2] = c->TargetZ / kWorldUnits;
    if (GroundAtMetres(spot[0], spot[2]) == kNoGround) {
      spot[0] = car.Position[0];
      spot[1] = car.Position[1] - 12.0;
      spot[2] = car.Position[2];
    }
  }
  TCAMERA at = *c;
  TargetAt(&at, spot);
  if (!SB_Var.CameraSettled) {
    TargetAt(c, spot);
    return;
  }
  c->HoldTimer += SB_Var.FrameTime;
  const bool moved = at.TargetX != c->TargetX || at.TargetY != c->TargetY || at.TargetZ != c->TargetZ;
  if (moved && c->HoldTimer > 4000) {
    TargetAt(c, spot);
    c->HoldTimer = 0;
    c->Cut = 1;
  }
}

// The centre-line point a step ahead of the car, wrapping either way.
const TVECTOR& PointAhead(const TCAR& car) {
  const int64_t n = SB_Var.NbBsplinePoints;
  const int64_t step = static_cast<int64_t>(std::trunc(std::clamp(car.Speed * 2.0, -1e9, 1e9)));
  return SB_Var.BsplinePoints[((car.CenterLineIndex + step) % n + n) % n];
}

}  // namespace

void SB_CameraRearView(TCAMERA* c, int32_t car) {
  FromCarAngles(c, Car(car), -8192, 32768);
  TargetAt(c, Car(car).Position);
  Behind(c, 2560);
  Snap(c);
}

void SB_CameraChase(TCAMERA* c, int32_t car) {
  FromCarAngles(c, Car(car), 2048, -16384);
  TargetAt(c, Car(car).Position);
  Behind(c, 2560);
  Snap(c);
}

void SB_CameraFixedAngle(TCAMERA* c, int32_t car) {
  TMATRIX m;
  E3D_MatFromAngles(m, -0.09424777960769379, -2.5132741228718345, 0.0);
  E3D_MatMul(m, Car(car).Orientation, m);
  AnglesOf(c, m);
  TargetAt(c, Car(car).Position);
  Behind(c, 1040);
  KeepAboveGround(c, 160);
  Snap(c);
}

void SB_CameraSwing(TCAMERA* c, int32_t car) {
  const double t = Car(car).RaceClock;
  AnglesOf(c, Car(car).Orientation);
  const double turn = t * 2000 + (std::cos(t / 12) + std::sin(t / 9) + std::cos(t * 0.2)) * 32768;
  const double tilt = (std::cos(t / 3) + std::sin(t * 0.2) + std::cos(t / 7)) * 1024 + 4096;
  SetAngles(c, E3D_TruncToInt32(tilt), int64_t{c->TargetAngleY} + E3D_TruncToInt32(turn), 0);
  TargetAt(c, Car(car).Position);
  Behind(c, E3D_TruncToInt32((std::cos(t / 4) + std::sin(t / 7) + std::cos(t / 9)) * 256 + 2048));
  const double sway = (std::cos(t / 4) + std::sin(t * 0.2) + std::cos(t / 7)) * 2048;
  const double nod = (std::cos(t * 0.2) + std::cos(t / 3) + std::sin(t / 4)) * 2048;
  SetAngles(c, int64_t{c->TargetAngleX} + E3D_TruncToInt32(nod), int64_t{c->TargetAngleY} + E3D_TruncToInt32(sway),
            0);
  KeepAboveGround(c, 160);
  Snap(c);
}

void SB_CameraFollow(TCAMERA* c, int32_t car) {
  const TCAR& k = Car(car);
  TMATRIX tilt, turn;
  E3D_MatRotX(tilt, 0.35);
  // The body's forward axis, Orientation . (0, 0, 1), along which the car
  // drives: its transpose's would turn the camera round for a car heading
  // across the world's z axis.
  E3D_MatRotY(turn, std::atan2(k.Orientation[6], k.Orientation[8]));
  E3D_MatMul(tilt, turn, tilt);
  AnglesOf(c, tilt);
  if (SB_Var.CameraSettled)
    SB_UpdateCamera(c, SB_Var.FrameTime * 0.001, 4.0);
  else
    Snap(c);
  TargetAt(c, k.Position);
  c->TargetAngleX = c->AngleX;
  c->TargetAngleY = c->AngleY;
  c->TargetAngleZ = c->AngleZ;
  Behind(c, 1600);
  SB_CameraLookAt(c, k.Position);
  Snap(c);
}

void SB_CameraInCar(TCAMERA* c, int32_t car) {
  const TCAR& k = Car(car);
  AnglesOf(c, k.Orientation);
  // The body's up axis, half a metre above the car's centre.
  const double* up = &k.InsetMatrix[3];
  c->TargetX = E3D_TruncToInt32(std::floor((k.Position[0] - 0.5 * up[0]) * kWorldUnits + 0.5));
  c->TargetY = E3D_TruncToInt32(std::floor((k.Position[1] - 0.5 * up[1]) * kWorldUnits + 0.5));
  c->TargetZ = E3D_TruncToInt32(std::floor((k.Position[2] - 0.5 * up[2]) * kWorldUnits + 0.5));
  Snap(c);
}

void SB_CameraFree(TCAMERA* c) {
  const int32_t t = SB_Var.FrameTime;
  const int32_t ground = SB_GetCameraGroundHeight(c->TargetX, c->TargetZ);
  int64_t pitch = c->TargetAngleX, heading = c->TargetAngleY, roll = 0;
  if (LS_KeyDown(kPageUpKey)) pitch -= int64_t{t} * 10;
  if (LS_KeyDown(kPageDownKey)) pitch += int64_t{t} * 10;
  if (LS_KeyDown(kLeftKey)) {
    roll = 2048;
    heading -= int64_t{t} * 10;
  } else if (LS_KeyDown(kRightKey)) {
    roll = -2048;
    heading += int64_t{t} * 10;
  }
  SetAngles(c, pitch, heading, roll);
  const int32_t speed = LS_KeyDown(kShiftKey) ? 16 : LS_KeyDown(kCtrlKey) ? 1 : 4;
  const int32_t move = LS_KeyDown(kUpKey) ? t * speed : LS_KeyDown(kDownKey) ? -t * speed : 0;
  FIXFRAME frame;
  LS_InitMatrix(&frame, c->TargetX, c->TargetY, c->TargetZ);
  LS_RotateY(&frame, static_cast<uint16_t>(c->TargetAngleY));
  LS_MoveMatrixZ(&frame, move);
  c->TargetX = frame.Position[0];
  c->TargetY = frame.Position[1];
  c->TargetZ = frame.Position[2];
  const bool overGround = ground < 99999;
  if (overGround) c->TargetY = ground - (LS_KeyDown(kSpaceKey) ? 992 : 352);
  if (SB_Var.CameraSettled)
    SB_UpdateCamera(c, t * 0.001, 4.0);
  else if (overGround)
    Snap(c);
}

void SB_CameraTrackside(TCAMERA* c, int32_t car) {
  const TCAR& k = Car(car);
  double spot[3] = {k.Position[0] + 2 * k.Velocity[0], k.Position[1], k.Position[2] + 2 * k.Velocity[2]};
  if (SB_Var.UsingCars && SB_Var.BsplineValid && SB_Var.NbBsplinePoints > 0 && SB_Var.BsplinePoints) {
    const TVECTOR& p = PointAhead(k);
    spot[0] = p.x;
    spot[2] = p.z;
  }
  spot[0] = std::floor(spot[0] * 0.05 + 0.5) * 20;
  spot[2] = std::floor(spot[2] * 0.05 + 0.5) * 20;
  spot[1] -= 2;
  MoveToSpot(c, k, spot);
  const int32_t ground = SB_GetCameraGroundHeight(c->TargetX, c->TargetZ);
  if (ground < 99999) {  // over land without ground the camera stays where the spot is
    c->TargetY = std::min(c->TargetY, ground - 640);
    c->TargetY = std::max(c->TargetY, ground - 1600);
  }
  SB_CameraLookAt(c, k.Position);
  Snap(c);
}

void SB_CameraFinish(TCAMERA* c, int32_t car) {
  if (!SB_Var.CurStartSlots) {
    SB_CameraTrackside(c, car);
    return;
  }
  const TCAR& k = Car(car);
  const TSTARTSLOT& slot = SB_Var.CurStartSlots[0];
  double spot[3] = {slot.X, slot.Y - 2, slot.Z};
  MoveToSpot(c, k, spot);
  const int32_t ground = SB_GetCameraGroundHeight(c->TargetX, c->TargetZ);
  c->TargetY = static_cast<int32_t>(std::min<int64_t>(c->TargetY, int64_t{ground} - 640));
  const double dx = k.Position[0] - c->TargetX / kWorldUnits;
  const double dy = k.Position[1] - c->TargetY / kWorldUnits;
  const double dz = k.Position[2] - c->TargetZ / kWorldUnits;
  const double heading = std::fabs(dx) < 0.01 && std::fabs(dz) < 0.01 ? 0.0 : std::atan2(dx, dz);
  TMATRIX m;
  E3D_MatFromAngles(m, std::atan2(dy, std::sqrt(dx * dx + dz * dz)), heading, 0.0);
  AnglesOf(c, m);
  Snap(c);
}
