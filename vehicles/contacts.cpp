// The contact pass of a physics step: the faces near the car gathered
// once, the wheels' ground contacts and the tyre model (grip, skid and
// recovery), the body on the ground when the car is off its wheels, and the
// horizontal pushes of walls and other cars, with the damage, the skid and
// scrape sound words and the replay drift of a touched ghost car.
#include <cmath>

#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "track/ground.h"
#include "vehicles/drive.h"

namespace {

constexpr double kMapUnits = 320.0;                           // map units per metre
constexpr double kGroundReach = 240.0;                        // map units between a point and a usable height
constexpr double kLeastDivisor = 1e-6;                        // slip divisors at or below it count as it
constexpr double kTyreHeight = 0.05;                          // car-space y at which the tyre forces act
constexpr double kCarHalfLength = 2.3, kCarWidthScale = 0.6;  // the other car's ellipse

struct Vec {
  double x, y, z;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(Vec a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(Vec a) { return std::sqrt(Dot(a, a)); }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec Load(const double* v) { return {v[0], v[1], v[2]}; }
Vec Load(const TVECTOR& v) { return {v.x, v.y, v.z}; }
void Store(Vec v, double* out) { out[0] = v.x, out[1] = v.y, out[2] = v.z; }
// Column-major matrix times vector.
Vec Turn(const double* m, Vec v) {
  return {m[0] * v.x + m[3] * v.y + m[6] * v.z, m[1] * v.x + m[4] * v.y + m[7] * v.z,
          m[2] * v.x + m[5] * v.y + m[8] * v.z};
}

// The velocity of a world point of the body; the stored angular velocity
// is the negated physical one.
Vec PointVelocity(const TCAR* car, Vec p) {
  const Vec w = Load(car->AngularVelocity) * -1.0;
  return Load(car->Velocity) + Cross(w, p - Load(car->Position));
}

Vec ToWorld(const TCAR* car, Vec local) { return Load(car->Position) + Turn(car->Orientation, local); }

double Divisor(double d) { return d > kLeastDivisor ? d : kLeastDivisor; }

void AddForce(TCAR* car, Vec p, Vec f) {
  double point[3], force[3];
  Store(p, point), Store(f, force);
  SB_AddForceAtPoint(point, force, car, SB_Var.PhysicsDt);
}

// An impact of size k at the point of deformation slot: the drag divisor
// drops, and a deformation that grows by more than 0.005 marks the car.
void Damage(TCAR* car, double k, int32_t slot) {
  car->DragDivisor -= 0.01 * k;
  if (slot < 0 || slot >= SB_NBGROUNDPOINTS) return;
  const double room = 0.5 - car->Deformations[slot];
  if (k > room) k = room;
  if (!(k > 0.005)) return;
  car->Deformations[slot] += k;
  car->Damaged = 1;
}

// A usable height within reach of the point, its face's normal left for
// SB_GetLastGroundNormal.
bool Usable(double h, double y) { return h != SB_NOGROUND && std::fabs(y - h) <= kGroundReach; }

double HeightNear(const TFACELISTENTRY* faces, int32_t nbFaces, Vec p) {
  const double y = p.y * kMapUnits;
  const double tries[5][2] = {{0, 0}, {-1, 0}, {0, -1}, {1, 0}, {0, 1}};
  double h = SB_NOGROUND;
  for (const auto& t : tries) {
    h = SB_GetHeightInFaceList(faces, nbFaces, SB_SaturateInt((p.x + t[0]) * kMapUnits),
                               SB_SaturateInt((p.z + t[1]) * kMapUnits));
    if (Usable(h, y)) break;
  }
  return h;
}

// The wheel's slip on the road, in the regime the skid timer s gives.
struct Tyre {
  Vec point, u, heading, tangent, rolling;  // force point, its velocity, slips
};

void Grip(TCAR* car, int32_t i, const Tyre& t, int32_t apply) {
  car->Slips[i] = Length(t.tangent) / Divisor(car->Roueadherance);
  if (!apply) return;
  AddForce(car, t.point, t.tangent * -car->Rouefrotstatic);
  car->WheelSpeeds[i] = -Dot(t.heading, t.rolling);  // rolls with the road
}

// Skid, and recovery with f rising from 0 to 1 toward grip.
void Slide(TCAR* car, int32_t i, const Tyre& t, int32_t apply, bool recovery, double f) {
  const double slip = Length(t.tangent);
  car->Slips[i] = slip / Divisor(car->Roueadherancederapp);
  if (!apply) return;
  const double speed = (recovery ? 2.0 : 1.0) * Length(t.u);
  if (speed > car->MaxContactSpeed) car->MaxContactSpeed = speed;
  const double skid = std::fmin(slip * 40.0 - 1000.0, 0.0);
  car->SkidVolume = SB_SaturateInt(recovery ? f * -5000.0 + skid : skid);
  car->SkidFrequency = SB_SaturateInt(slip * 50.0 + 10000.0);
  double c = car->Rouefrotdynamic;
  if (recovery)
    c = f * (car->Rouefrotstatic - car->Rouefrotdynamic) + car->Rouefrotdynamic;
  else if (i >= 2 && car->HandBrake)
    c *= 0.75;
  AddForce(car, t.point, t.tangent * -c);
  const double sliding =
      car->WheelSpeeds[i] - Dot(t.heading, t.tangent) * car->Roueaccelderap * SB_Var.PhysicsDt;
  car->WheelSpeeds[i] = recovery ? f * -Dot(t.heading, t.rolling) + (1.0 - f) * sliding : sliding;
}

// The twelve points against walls and cars: on the wheels the sides and
// the four last side points; off them the sides and the roof.
int32_t WallPoints(const TCAR* car, bool onWheels, double (*out)[3]) {
  for (int32_t n = 0; n < 12; ++n) {
    const int32_t k = onWheels && n >= 8 ? n + 4 : n;
    Store(ToWorld(car, Load(car->SidePoints[k])), out[n]);
  }
  return 12;
}

void TouchOtherCars(int32_t index, TCAR* car, const double (*points)[3], int32_t count) {
  TCONTACT contacts[SB_NBSIDEPOINTS];
  for (int32_t j = 0; j < SB_Var.NbCars && j < SB_MAXCARS; ++j) {
    const TCAR* other = SB_Var.Cars[j];
    if (j == index || !other || !SB_Hooks.IsCarSimulated || !SB_Hooks.IsCarSimulated(j)) continue;
    const int32_t n = SB_FindCarContacts(car, other, points, count, contacts);
    SB_ApplyWallForces(car, contacts, n, other);
    // A ghost car touched drifts: a car not ahead of this one is hurried
    // past, one ahead is held back.
    if (n > 0 && SB_Var.CarReplays[j])
      SB_Var.CarReplays[j]->DriftRate += SB_Var.PhysicsDt * (other->Distance > car->Distance ? -10.0 : 10.0);
  }
}

TFACELISTENTRY g_wheelFaces[SB_MAXFACES], g_bodyFaces[SB_MAXFACES];

}  // namespace

int32_t SB_FindGroundContacts(const TFACELISTENTRY* faces, int32_t nbFaces, const double (*points)[3],
                              int32_t count, TCONTACT* out) {
  int32_t n = 0;
  for (int32_t i = 0; i < count; ++i) {
    const Vec p = Load(points[i]);
    const double h = HeightNear(faces, nbFaces, p), y = p.y * kMapUnits;
    if (!(h != SB_NOGROUND && std::fabs(y - h) < kGroundReach && y > h)) continue;
    int32_t nx = 0, ny = 0, nz = 0;
    SB_GetLastGroundNormal(&nx, &ny, &nz);
    const Vec normal{nx / 8192.0, ny / 8192.0, nz / 8192.0};
    const double depth = h * 0.003125 - p.y;
    TCONTACT& c = out[n++];
    c = TCONTACT{};
    Store(p, c.Point);
    Store(normal * (depth * normal.y), c.Push);
    Store(normal, c.Normal);
    c.Index = i;
  }
  return n;
}

void SB_ApplyTyreForces(TCAR* body, const TCONTACT* contacts, int32_t count, double skidTimer,
                        int32_t apply) {
  const double mini = body->Derappetimemini, smooth = body->Derappetimesmooth;
  body->MaxContactSpeed = 0.0;
  for (int32_t k = 0; k < count; ++k) {
    const TCONTACT& c = contacts[k];
    const int32_t i = c.Index;
    if (i < 0 || i >= SB_NBWHEELS) continue;
    Vec local = Turn(body->InsetMatrix, Load(c.Point) - Load(body->Position));
    local.y = kTyreHeight;
    Tyre t;
    t.point = ToWorld(body, local);
    t.u = PointVelocity(body, t.point);
    t.heading = Turn(body->Orientation, Load(body->WheelHeadings[i]));
    const Vec n = Load(c.Normal), w = t.u + Turn(body->Orientation, Load(body->WheelGroundVelocities[i]));
    if (apply) {
      Vec f = Load(c.Push) * body->Rouesolreaction;
      if (Dot(n, w) < 0.0) f = f - n * (body->Rouesolfrotnormal * Dot(n, w));
      AddForce(body, t.point, f);
    }
    t.tangent = w - n * Dot(n, w);
    t.rolling = t.u - n * Dot(n, t.u);
    if (skidTimer <= -smooth || skidTimer > mini)
      Grip(body, i, t, apply);
    else if (skidTimer > 0.0)
      Slide(body, i, t, apply, false, 0.0);
    else
      Slide(body, i, t, apply, true, -skidTimer / smooth);
  }
}

void SB_ApplyBodyGroundForces(TCAR* body, const TCONTACT* contacts, int32_t count) {
  for (int32_t k = 0; k < count; ++k) {
    const TCONTACT& c = contacts[k];
    const Vec p = Load(c.Point), n = Load(c.Normal), u = PointVelocity(body, p);
    Vec fn = Load(c.Push) * body->Solreaction;
    if (Dot(n, u) < 0.0) fn = fn - n * (body->Solfrotnormal * Dot(n, u));
    AddForce(body, p, fn);
    const double normal = Length(fn);
    const int32_t slot = c.Index >= 0 && c.Index < SB_NBGROUNDPOINTS ? body->DeformationSlots[c.Index] : -1;
    Damage(body, normal * 2e-7, slot);
    const Vec t = u - n * Dot(n, u);
    const double slide = Length(t);
    if (slide < body->Adherance * normal)
      AddForce(body, p, t * -body->Frotstatic);
    else if (slide > 0.0)
      AddForce(body, p, t * (-normal * body->Frotdynamic / slide));
  }
}

int32_t SB_FindWallContacts(const TFACELISTENTRY* faces, int32_t nbFaces, const double* centre,
                            const double (*points)[3], int32_t count, TCONTACT* out) {
  const int32_t cx = SB_SaturateInt(centre[0] * kMapUnits), cz = SB_SaturateInt(centre[2] * kMapUnits);
  int32_t n = 0;
  for (int32_t i = 0; i < count; ++i) {
    double push[3];
    if (!SB_GetBodyFaceContact(faces, nbFaces, SB_SaturateInt(points[i][0] * kMapUnits),
                               SB_SaturateInt(points[i][2] * kMapUnits), push, cx, cz))
      continue;
    TCONTACT& c = out[n++];
    c = TCONTACT{};
    Store(Load(points[i]), c.Point);
    Store(Load(push), c.Push);
    const double sq = Dot(Load(push), Load(push));
    if (sq > 0.001) Store(Load(push) * (1.0 / std::sqrt(sq)), c.Normal);
    c.Index = i;
  }
  return n;
}

int32_t SB_FindCarContacts(const TCAR* body, const TCAR* other, const double (*points)[3], int32_t count,
                           TCONTACT* out) {
  const double dx = other->Position[0] - body->Position[0], dz = other->Position[2] - body->Position[2];
  if (!(other->DistanceToDriven <= SB_NEARCAR) || !(dx * dx + dz * dz <= 21.16)) return 0;
  int32_t n = 0;
  for (int32_t i = 0; i < count; ++i) {
    const Vec local = Turn(other->InsetMatrix, Load(points[i]) - Load(other->Position));
    const double x = local.x * 1.6666666666666667, z = local.z, q = x * x + z * z;
    if (!(q > 0.01)) continue;
    const double length = std::sqrt(q);
    if (!(length < kCarHalfLength)) continue;
    Vec normal{x / length, 0.0, z / length};
    normal.x *= kCarWidthScale;
    Vec push = normal * (kCarHalfLength - length);
    push.x *= kCarWidthScale;
    TCONTACT& c = out[n++];
    c = TCONTACT{};
    Store(Load(points[i]), c.Point);
    Store(Turn(other->Orientation, push), c.Push);
    Store(Turn(other->Orientation, normal), c.Normal);
    Store(PointVelocity(other, Load(points[i])), c.OtherVelocity);
    c.Index = i;
  }
  return n;
}

void SB_ApplyWallForces(TCAR* body, const TCONTACT* contacts, int32_t count, const TCAR* other) {
  for (int32_t k = 0; k < count; ++k) {
    const TCONTACT& c = contacts[k];
    const Vec p = Load(c.Point), n = Load(c.Normal), push = Load(c.Push);
    Vec u = PointVelocity(body, p);
    double scale = 1.0;
    if (other) {
      u = u - Load(c.OtherVelocity);
      scale = 0.9 * std::fmin(1.0 + 0.2 * Length(u), 2.0);
    }
    Vec f = push * (body->Solreaction * scale);
    if (Dot(n, u) < 0.0) f = f - n * (body->Solfrotnormal * Dot(n, u));
    if (Dot(u, u) > 1.0) {
      const int32_t volume = SB_SaturateInt(std::fmin(Length(push) * 2500.0 - 500.0, -100.0));
      const int32_t frequency = SB_SaturateInt(Length(push) * 10000.0 + 10000.0);
      if (volume > body->ScrapeVolume) body->ScrapeVolume = volume;
      if (frequency > body->ScrapeFrequency) body->ScrapeFrequency = frequency;
    }
    double point[3], force[3];
    Store(p, point), Store(f, force);
    SB_AddPlanarForceAtPoint(point, force, body, SB_Var.PhysicsDt);
    Damage(body, Length(f) * 2e-7, c.Index);
    Store((u - n * Dot(n, u)) * (-0.002 * body->Frotdynamic), force);
    SB_AddPlanarForceLever(point, force, body, SB_Var.PhysicsDt, 0.0);
  }
}

void SB_ApplyContacts(int32_t index, TCAR* car) {
  for (double& s : car->Slips) s = SB_NOCONTACTSLIP;
  car->SkidVolume = car->ScrapeVolume = -10000;
  car->SkidFrequency = car->ScrapeFrequency = 10000;
  const int32_t nbBody = SB_GetBodyContactFaces(g_bodyFaces, SB_MAXFACES, car->Position);
  const int32_t nbWheel = SB_GetWheelContactFaces(g_wheelFaces, SB_MAXFACES, car->Position);
  double points[SB_NBGROUNDPOINTS][3];
  for (int32_t i = 0; i < SB_NBWHEELS; ++i) {
    const TVECTOR& w = car->WheelPoints[i];
    Store(ToWorld(car, {w.x, w.y + car->WheelHeightOffset, w.z}), points[i]);
  }
  TCONTACT contacts[SB_NBGROUNDPOINTS];
  const int32_t wheels = SB_FindGroundContacts(g_wheelFaces, nbWheel, points, SB_NBWHEELS, contacts);
  SB_ApplyTyreForces(car, contacts, wheels, car->SkidTimer, 1);
  const bool onWheels = wheels >= 3;
  if (!onWheels) {
    for (int32_t i = 0; i < SB_NBGROUNDPOINTS; ++i)
      Store(ToWorld(car, Load(car->GroundPoints[i])), points[i]);
    const int32_t n = SB_FindGroundContacts(g_wheelFaces, nbWheel, points, SB_NBGROUNDPOINTS, contacts);
    SB_ApplyBodyGroundForces(car, contacts, n);
  }
  const int32_t count = WallPoints(car, onWheels, points);
  const int32_t walls = SB_FindWallContacts(g_bodyFaces, nbBody, car->Position, points, count, contacts);
  SB_ApplyWallForces(car, contacts, walls, nullptr);
  TouchOtherCars(index, car, points, count);
}
