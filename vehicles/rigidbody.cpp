// The car's rigid body: impulses at points, gravity, spoiler down-force,
// slipstream, air drag, and the integration of position and orientation
// with the lean held within half a radian of upright.
#include <cmath>

#include "engine3d/matrix.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "vehicles/physics.h"
#include "vehicles/vehicles.h"

namespace {

constexpr double kWakeWidth = 2.4;  // m across the line of travel: two bodies of 2.4 m side by side overlap nearer

double Dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double Norm(const double* a) { return std::sqrt(Dot(a, a)); }

void MulVec(const double* m, const double* v, double* out) {
  TVECTOR t{v[0], v[1], v[2]};
  E3D_MatMulVec(m, &t);
  out[0] = t.x;
  out[1] = t.y;
  out[2] = t.z;
}

bool IsSimulated(int32_t index) { return SB_Hooks.IsCarSimulated && SB_Hooks.IsCarSimulated(index); }

// The rotation by angle about the unit axis u: B Rx(angle) B^T, where B's
// columns are u, a unit e at right angles to it, and u x e.
void AxisRotation(const double* u, double angle, TMATRIX r) {
  double e[3] = {0.0, u[2], -u[1]};
  const double n = Norm(e);
  if (u[1] == 0.0 && u[2] == 0.0) {
    e[1] = -u[0];
  } else {
    e[1] /= n;
    e[2] /= n;
  }
  const double f[3] = {u[1] * e[2] - u[2] * e[1], u[2] * e[0] - u[0] * e[2], u[0] * e[1] - u[1] * e[0]};
  TMATRIX b, bt, x;
  for (int32_t i = 0; i < 3; ++i) {
    b[i] = u[i];
    b[3 + i] = e[i];
    b[6 + i] = f[i];
  }
  E3D_MatTranspose(b, bt);
  E3D_MatRotX(x, angle);
  E3D_MatMul(b, x, r);
  E3D_MatMul(r, bt, r);
}

// Turns the orientation so that the roof leans at most SB_MAXLEAN from the
// world's up direction.
void LimitLean(TCAR* car) {
  const double up[3] = {0.0, -1.0, 0.0};
  double roof[3];
  MulVec(car->Orientation, up, roof);
  const double n = Norm(roof);
  if (n == 0.0) return;
  const double c = Dot(up, roof) / n;
  const double lean = std::acos(c < -1.0 ? -1.0 : c > 1.0 ? 1.0 : c);
  if (!(lean > SB_MAXLEAN)) return;
  // The direction at SB_MAXLEAN from up in the plane of up and the roof.
  double side[3] = {roof[0] / n - c * up[0], roof[1] / n - c * up[1], roof[2] / n - c * up[2]};
  const double s = Norm(side);
  if (s == 0.0) return;  // upside down: no plane to turn in
  TVECTOR from{roof[0], roof[1], roof[2]}, to;
  to.x = std::cos(SB_MAXLEAN) * up[0] + std::sin(SB_MAXLEAN) * side[0] / s;
  to.y = std::cos(SB_MAXLEAN) * up[1] + std::sin(SB_MAXLEAN) * side[1] / s;
  to.z = std::cos(SB_MAXLEAN) * up[2] + std::sin(SB_MAXLEAN) * side[2] / s;
  TMATRIX turn;
  E3D_MatFromVectors(&from, &to, turn);
  E3D_MatMul(turn, car->Orientation, car->Orientation);
}

}  // namespace

void SB_AddForceAtPoint(const double point[3], const double force[3], TCAR* body, double scale) {
  const double f[3] = {force[0] * scale, force[1] * scale, force[2] * scale};
  const double r[3] = {body->Position[0] - point[0], body->Position[1] - point[1],
                       body->Position[2] - point[2]};
  for (int32_t i = 0; i < 3; ++i) body->Force[i] += f[i];
  body->Torque[0] += r[1] * f[2] - r[2] * f[1];
  body->Torque[1] += r[2] * f[0] - r[0] * f[2];
  body->Torque[2] += r[0] * f[1] - r[1] * f[0];
}

void SB_AddPlanarForceLever(const double point[3], const double force[3], TCAR* body, double scale,
                            double lever) {
  const double fx = force[0] * scale, fz = force[2] * scale;
  body->Force[0] += fx;
  body->Force[2] += fz;
  body->Torque[1] += ((body->Position[2] - point[2]) * fx - (body->Position[0] - point[0]) * fz) * lever;
}

void SB_AddPlanarForceAtPoint(const double point[3], const double force[3], TCAR* body, double scale) {
  SB_AddPlanarForceLever(point, force, body, scale, 1.0);
}

void SB_ProjectPointOnLine(const double point[3], const double direction[3], const double origin[3],
                           double out[3]) {
  const double d[3] = {point[0] - origin[0], point[1] - origin[1], point[2] - origin[2]};
  const double k = Dot(d, direction) / Dot(direction, direction);
  for (int32_t i = 0; i < 3; ++i) out[i] = origin[i] + direction[i] * k;
}

void SB_InitRigidBody(TCAR* body, double width, double height, double length, double mass) {
  for (int32_t i = 0; i < 3; ++i)
    body->Velocity[i] = body->AngularVelocity[i] = body->Force[i] = body->Torque[i] = 0.0;
  E3D_MatFromAngles(body->Orientation, 0.0, 0.0, 0.0);
  E3D_MatTranspose(body->Orientation, body->InsetMatrix);
  body->Mass = mass;
  body->InvMass = 1.0 / mass;
  body->InvInertia[0] = 12.0 / (mass * (height * height + length * length));
  body->InvInertia[1] = 12.0 / (mass * (width * width + length * length));
  body->InvInertia[2] = 12.0 / (mass * (width * width + height * height));
  body->Steering = body->SteerAngle = 0.0;
}

void SB_ApplyGravity(TCAR* car) {
  const double force[3] = {0.0, car->Mass * SB_GRAVITY, 0.0};
  SB_AddForceAtPoint(car->Position, force, car, SB_Var.PhysicsDt);
}

void SB_ApplySpoilerForce(TCAR* car) {
  double v[3];
  MulVec(car->InsetMatrix, car->Velocity, v);
  if (!(v[2] > 0.0)) return;
  const double body[3] = {0.0, car->Spoilerforce * v[2] * 1.5, 0.0};
  double force[3];
  MulVec(car->Orientation, body, force);
  SB_AddForceAtPoint(car->Position, force, car, SB_Var.PhysicsDt);
}

void SB_ApplySlipstream(int32_t index) {
  if (!SB_IsValidCarIndex(index) || !SB_Var.Cars[index]) return;
  TCAR* car = SB_Var.Cars[index];
  for (int32_t j = 0; j < SB_Var.NbCars && j < SB_MAXCARS; ++j) {
    const TCAR* other = SB_Var.Cars[j];
    if (j == index || !other || !IsSimulated(j)) continue;
    const double d[3] = {other->Position[0] - car->Position[0], other->Position[1] - car->Position[1],
                         other->Position[2] - car->Position[2]};
    const double speed = Norm(other->Velocity), gap = Norm(d);
    if (!(speed > 1.0 && gap > 1.0 && gap < 0.5 * speed)) continue;
    // Only a car in the other's wake is drawn along: its centre within a
    // body's width of the other's line of travel. A car passed beside it
    // (a car standing on the grid as the field goes by) is not.
    const double across[3] = {d[1] * other->Velocity[2] - d[2] * other->Velocity[1],
                              d[2] * other->Velocity[0] - d[0] * other->Velocity[2],
                              d[0] * other->Velocity[1] - d[1] * other->Velocity[0]};
    if (!(Norm(across) < kWakeWidth * speed)) continue;
    const double k = 50.0 * Dot(other->Velocity, d) / std::pow(gap, 1.5);
    if (!(k > 0.0)) continue;  // car i is not behind car j
    const double force[3] = {k * other->Velocity[0] / speed, k * other->Velocity[1] / speed,
                             k * other->Velocity[2] / speed};
    SB_AddForceAtPoint(car->Position, force, car, SB_Var.PhysicsDt);
  }
}

void SB_ApplyAirDrag(TCAR* car) {
  double kd = car->Airfrict * SB_Var.PhysicsDt;
  if (car->DragDivisor != 0.0) kd /= car->DragDivisor;
  const double kr = car->Airfrictrot * SB_Var.PhysicsDt;
  for (int32_t i = 0; i < 3; ++i) {
    car->Velocity[i] -= car->Velocity[i] * std::fabs(car->Velocity[i]) * kd;
    car->AngularVelocity[i] -= car->AngularVelocity[i] * std::fabs(car->AngularVelocity[i]) * kr;
  }
}

void SB_IntegrateBody(TCAR* car) {
  const double f = car->CatchUp * (SB_Var.ForcedScale > 0.5 ? SB_Var.ForcedScale : 1.0);
  const double dt = SB_Var.PhysicsDt;
  for (int32_t i = 0; i < 3; ++i) car->Position[i] += car->Velocity[i] * f * dt;
  const double w = Norm(car->AngularVelocity);
  if (w == 0.0) return;
  const double u[3] = {car->AngularVelocity[0] / w, car->AngularVelocity[1] / w, car->AngularVelocity[2] / w};
  // The stored angular velocity is the negated physical one: turning by
  // -w dt about u is the physical turn.
  TMATRIX turn;
  AxisRotation(u, -w * dt, turn);
  E3D_MatMul(turn, car->Orientation, car->Orientation);
  LimitLean(car);
  E3D_MatOrthonormalize(car->Orientation);
  E3D_MatTranspose(car->Orientation, car->InsetMatrix);
}
