// Car records: one car copied from the prototype set with its parts found
// and its wheels measured, freed, given its own materials, and its pose
// copied into its display object once a frame.
#include <cstdio>
#include <cstring>

#include "engine3d/material.h"
#include "engine3d/matrix.h"
#include "engine3d/object.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "vehicles/cars.h"
#include "vehicles/vparams.h"

namespace {

constexpr const char* kWheelNames[SB_NBWHEELS] = {"rouavdr", "rouavga", "rouardr", "rouarga"};
constexpr const char* kBodyName = "caisse";
constexpr double kDefaultWheelRadius = 0.3;
constexpr double kAnchor = 0.2;                        // right wheels +, left wheels -
constexpr double kDisplayUnits = 60800.0;              // display units per metre
constexpr double kModelScale = 1.6666666666666667e-5;  // metres per model unit
constexpr double kShownLow = 0.2, kShownHigh = 0.55;   // the suspension as drawn

OBJECT* FindPart(OBJECT* list, const char* name) {
  char upper[E3D_NAMELEN + 1];
  std::snprintf(upper, sizeof upper, "%s", name);
  return SB_FindObjectByName(list, upper);
}

void CopyToFloats(const TMATRIX m, float* to) {
  for (int32_t k = 0; k < 9; ++k) to[k] = static_cast<float>(m[k]);
}

void PositionToFloats(const double* metres, float* to) {
  for (int32_t k = 0; k < 3; ++k) to[k] = static_cast<float>(metres[k] * kDisplayUnits);
}

// The wheel parts, offsets, anchors and radius of a new car.
void MeasureWheels(TCAR* car) {
  const OBJECT* body = car->Body;
  for (int32_t k = 0; k < SB_NBWHEELS; ++k) {
    const OBJECT* wheel = car->Wheels[k];
    if (!wheel) continue;
    const double* w = wheel->StoredPosition;
    const double* b = body->StoredPosition;
    // Model axes to car axes: x = -model z, y = -model x, z = model y.
    car->WheelOffsets[k] = {-(w[2] - b[2]), -(w[0] - b[0]), w[1] - b[1]};
    car->WheelAnchors[k].Lateral = k % 2 == 0 ? kAnchor : -kAnchor;
  }
  car->WheelRadius = kDefaultWheelRadius;
  if (car->Wheels[0]) {
    // An empty or flat mesh would give no radius or a negative one, which
    // the wheel roll divides by.
    const double extent = SB_GetAtomExtent(car->Wheels[0]);
    if (extent > 0.0) car->WheelRadius = 0.5 * extent;
  }
}

}  // namespace

double SB_GetAtomExtent(const OBJECT* part) {
  double low = 1e9, high = -1e9;
  const TATOM* atom = part ? part->Atoms[OBJ_MAIN] : nullptr;
  for (int32_t i = 0; IsAtom(atom) && i < atom->NbPoints; ++i) {
    const double v = atom->Points[i].X * kModelScale;
    if (v < low) low = v;
    if (v > high) high = v;
  }
  return high - low;
}

TCAR* LoadVehicle() {
  TCAR* car = static_cast<TCAR*>(SB_GetMem(sizeof(TCAR), "Load Vehicle"));
  if (!car) return nullptr;
  car->Object = DupObject(SB_Var.VehiclePrototype, 1);
  if (!car->Object) {
    SB_Release(car);
    return nullptr;
  }
  for (int32_t k = 0; k < SB_NBWHEELS; ++k) {
    car->Wheels[k] = FindPart(car->Object, kWheelNames[k]);
    if (!car->Wheels[k]) SB_ConsolePrintf("...'%s' is missing in the prototype !!!", kWheelNames[k]);
  }
  car->Body = FindPart(car->Object, kBodyName);
  if (!car->Body) {
    SB_ConsolePrintf("...'%s' is missing in the prototype !!!", kBodyName);
    SB_ConsolePrintf("...prototype not loaded !!!");
    FreeObject(car->Object);
    SB_Release(car);
    return nullptr;
  }
  MeasureWheels(car);
  // The values the physics set-up leaves to the parameter file: without
  // them a zero-filled record gives NaN slips and a sinking car.
  SB_FillUnsetVParams(car);
  return car;
}

void SB_FreeVehicle(TCAR* car) {
  if (!car) return;
  for (TCAR*& slot : SB_Var.Cars)
    if (slot == car) slot = nullptr;
  FreeObject(car->Object);
  SB_Release(car);
}

void SB_SetObjectMaterials(OBJECT* object, MLIBENTRY* entry) {
  if (!object || !entry) return;
  UnmapObjectMaterials(object);
  for (OBJECT* o = object; o; o = o->Next) o->Materials = entry;
  RemapObjectMaterials(object);
}

void SB_PlaceCarObject(TCAR* car) {
  if (!car || car->OutOfRace || !car->Object) return;
  TMATRIX m, s, front, w, rotation;
  E3D_MatMul(car->Orientation, SB_Var.CarAxisMatrix, m);
  E3D_MatRotX(s, -car->Steering);
  E3D_MatMul(m, s, front);
  CopyToFloats(m, car->Object->Orientation);
  PositionToFloats(car->Position, car->Object->Position);
  for (int32_t k = 0; k < SB_NBWHEELS; ++k) {
    OBJECT* wheel = car->Wheels[k];
    if (!wheel) continue;
    TVECTOR offset = car->WheelOffsets[k];
    const double shown = car->Suspension[k] < kShownLow    ? kShownLow
                         : car->Suspension[k] > kShownHigh ? kShownHigh
                                                           : car->Suspension[k];
    offset.y += shown - car->WheelRadius;
    E3D_MatMulVec(car->Orientation, &offset);
    if (car->WheelRadius != 0.0)
      E3D_MatRotZ(w, car->WheelRoll[k] / car->WheelRadius);
    else
      E3D_MatIdentity(w);
    E3D_MatMul(k < 2 ? front : m, w, rotation);
    CopyToFloats(rotation, wheel->Orientation);
    const double at[3] = {car->Position[0] + offset.x, car->Position[1] + offset.y,
                          car->Position[2] + offset.z};
    PositionToFloats(at, wheel->Position);
  }
}
