// The driven car's wheel model (steering, brakes, gearbox, engine, drive,
// skid timer) and its contact pass (ground, tyres, body on the ground,
// walls and other cars), with the contact record they share.
#pragma once
#include <cstdint>

#include "vehicles/physics.h"
#include "vehicles/types.h"

struct TFACELISTENTRY;

constexpr double SB_RPM = 9.549296585513721;             // rad/s to rpm
constexpr double SB_RADPERRPM = 0.10471975511965977;     // rpm to rad/s
constexpr double SB_WHEELTOENGINE = 1.884;               // wheel speed x total ratio to engine rad/s
constexpr double SB_ENGINETOWHEEL = 0.5307855626326964;  // 1 / 1.884
constexpr double SB_NOCONTACTSLIP = 1.25;                // slip of a wheel in the air
constexpr int32_t SB_GEARDELAY = 250;                    // ms after a gear change or refusal
constexpr double SB_CRANKTIME = 2.0;                     // s from the engine start to the drive
constexpr int32_t SB_MAXFACES = 256;                     // faces gathered per list and step

// A float to int32, saturating at the ends of the range; NaN gives 0.
inline int32_t SB_SaturateInt(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// One contact of a car point (world axes, metres): the point, its
// penetration or push, the surface normal (zero when the push is too small
// to give one), the point's index in its list, and for a car contact the
// other car's velocity at the point.
struct TCONTACT {
  double Point[3];
  double Push[3];
  double Normal[3];
  int32_t Index;
  double OtherVelocity[3];
};

// Wheel model (SB_StepWheels, vehicles/physics.h), run at the start of every step.
// 0 for neutral and gears beyond the count; gear 1's for reverse, negated.
double SB_GetTotalRatio(const TCAR* car, int32_t gear);
// The engine speed (rad/s) the wheels impose in a gear.
double SB_GetGearEngineSpeed(const TCAR* car, int32_t gear);
double SB_GetEngineTorque(const TCAR* car, int32_t gear, double engineSpeed);
void SB_GearUp(TCAR* car);
void SB_GearDown(TCAR* car);
void SB_UpdateEngine(TCAR* car);

// Contact pass (SB_ApplyContacts, vehicles/physics.h), in the force phase of every step.
// The ground contacts of count world points over a wheel face list; the
// number of contacts written to out.
int32_t SB_FindGroundContacts(const TFACELISTENTRY* faces, int32_t nbFaces, const double (*points)[3],
                              int32_t count, TCONTACT* out);
// The tyre forces of the wheel contacts under a skid timer; apply 0 only
// measures the slips.
void SB_ApplyTyreForces(TCAR* body, const TCONTACT* contacts, int32_t count, double skidTimer, int32_t apply);
void SB_ApplyBodyGroundForces(TCAR* body, const TCONTACT* contacts, int32_t count);
// The wall crossings of the segments from the car's centre to its points
// over a body face list.
int32_t SB_FindWallContacts(const TFACELISTENTRY* faces, int32_t nbFaces, const double* centre,
                            const double (*points)[3], int32_t count, TCONTACT* out);
// The points of body inside the other car's ellipse.
int32_t SB_FindCarContacts(const TCAR* body, const TCAR* other, const double (*points)[3], int32_t count,
                           TCONTACT* out);
// Horizontal pushes of wall contacts, or of car contacts when other is set.
void SB_ApplyWallForces(TCAR* body, const TCONTACT* contacts, int32_t count, const TCAR* other);
