// The car update of a race frame: the driven car's physics in fixed steps
// of 10 ms of simulated time, the other cars placed at the same step times
// when near it and once a frame otherwise, the race order, and every car's
// pose into its display object.
#include "vehicles/physics.h"

#include <cmath>

#include "engine3d/matrix.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "vehicles/cars.h"
#include "vehicles/drive.h"
#include "vehicles/vehicles.h"

namespace {

bool IsSimulated(int32_t index) { return SB_Hooks.IsCarSimulated && SB_Hooks.IsCarSimulated(index); }

int32_t CarCount() { return SB_Var.NbCars < SB_MAXCARS ? SB_Var.NbCars : SB_MAXCARS; }

// Every car of the table, with its index.
template <typename Visit>
void ForEachCar(Visit visit) {
  for (int32_t i = 0; i < CarCount(); ++i)
    if (SB_Var.Cars[i]) visit(i, SB_Var.Cars[i]);
}

void MeasureDistances() {
  const int32_t driven = SB_Var.DrivenCar;
  const bool live = SB_IsValidCarIndex(driven) && SB_Var.Cars[driven] && IsSimulated(driven);
  ForEachCar([&](int32_t, TCAR* car) {
    if (!live) {
      car->DistanceToDriven = SB_FARAWAY;
      return;
    }
    const double* p = SB_Var.Cars[driven]->Position;
    const double dx = car->Position[0] - p[0], dy = car->Position[1] - p[1], dz = car->Position[2] - p[2];
    car->DistanceToDriven = std::sqrt(dx * dx + dy * dy + dz * dz);
  });
}

// The cars near the driven one placed at a step's end time.
void PlaceNearCars(double t, int32_t elapsed) {
  const int32_t time = SB_SaturateInt(t);
  ForEachCar([&](int32_t i, TCAR* car) {
    if (!(car->DistanceToDriven < SB_NEARCAR)) return;
    SB_PlaceRemoteCar(i, time);
    SB_PlayReplayTick(i, time, elapsed);
  });
}

// Turns the step's impulses into velocities: the torque through the body's
// axes and its inverse moments of inertia.
void ApplyImpulses(TCAR* car) {
  for (int32_t i = 0; i < 3; ++i) car->Velocity[i] += car->Force[i] * car->InvMass;
  TVECTOR torque{car->Torque[0], car->Torque[1], car->Torque[2]};
  E3D_MatMulVec(car->InsetMatrix, &torque);
  torque = {torque.x * car->InvInertia[0], torque.y * car->InvInertia[1], torque.z * car->InvInertia[2]};
  E3D_MatMulVec(car->Orientation, &torque);
  car->AngularVelocity[0] += torque.x;
  car->AngularVelocity[1] += torque.y;
  car->AngularVelocity[2] += torque.z;
}

bool AllFinite(const double* v, int32_t n) {
  for (int32_t i = 0; i < n; ++i)
    if (!std::isfinite(v[i])) return false;
  return true;
}

// The state the next steps and the display start from.
bool StateIsFinite(const TCAR* car) {
  const double drive[] = {car->EngineSpeed, car->SteerAngle, car->SkidTimer, car->Speed};
  return AllFinite(car->Position, 3) && AllFinite(car->Velocity, 3) && AllFinite(car->Orientation, 9) &&
         AllFinite(car->AngularVelocity, 3) && AllFinite(car->WheelSpeeds, SB_NBWHEELS) &&
         AllFinite(car->WheelRoll, SB_NBWHEELS) && AllFinite(drive, 4);
}

// A step that left the car's state non-finite is undone: the car is put
// back where the step began, at rest, and the console says so once until
// a step goes well again.
void Undo(int32_t index, TCAR* car, const TCAR& before) {
  *car = before;
  for (int32_t i = 0; i < 3; ++i) car->Velocity[i] = car->AngularVelocity[i] = 0.0;
  for (double& w : car->WheelSpeeds) w = 0.0;
  car->EngineSpeed = car->Speed = 0.0;
  if (!before.StateRestored)
    SB_ConsolePrintf("Car %ld: physics state not finite, put back on its last one", static_cast<long>(index));
  car->StateRestored = 1;
}

void Step(int32_t index, TCAR* car) {
  for (int32_t i = 0; i < 3; ++i) car->Force[i] = car->Torque[i] = 0.0;
  SB_StepWheels(car);
  SB_ApplyGravity(car);
  SB_ApplySpoilerForce(car);
  SB_ApplySlipstream(index);
  SB_ApplyContacts(index, car);
  ApplyImpulses(car);
  car->PrevGear = car->Gear;
  SB_ApplyAirDrag(car);
  SB_IntegrateBody(car);
}

}  // namespace

void SB_PhysicsStep(int32_t index) {
  if (index < 0 || index >= CarCount() || !SB_Var.Cars[index] || !IsSimulated(index)) return;
  TCAR* car = SB_Var.Cars[index];
  const bool finite = StateIsFinite(car);
  const TCAR before = *car;
  Step(index, car);
  if (!finite) return;  // no finite state to go back to
  if (StateIsFinite(car))
    car->StateRestored = 0;
  else
    Undo(index, car, before);
}

void SB_SimulateCar(int32_t index) {
  if (!SB_IsValidCarIndex(index) || !SB_Var.Cars[index] || !IsSimulated(index)) return;
  TCAR* car = SB_Var.Cars[index];
  car->DragDivisor += SB_Var.FrameTime * 0.001 * 0.001;
  if (car->DragDivisor > 1.0) car->DragDivisor = 1.0;
  if (car->DragDivisor < 0.8) car->DragDivisor = 0.8;
  if (index == SB_Var.DrivenCar) SB_ApplyControlsToCar(index);
  if (SB_Var.GameSpeedMode == 0)
    SB_Var.PhysicsAccumulator += SB_Var.FrameTime * SB_Var.FixedGameSpeed * 0.01;
  else
    SB_Var.PhysicsAccumulator += SB_Var.FloatingGameSpeed * 0.4;
  double t = static_cast<double>(SB_Var.Time) - SB_Var.FrameTime;
  SB_Var.PhysicsDt = 0.01;
  SB_Var.PhysicsInvDt = 100.0;
  while (SB_Var.PhysicsAccumulator > SB_PHYSICSSTEP) {
    SB_PhysicsStep(index);
    SB_Var.PhysicsAccumulator -= SB_PHYSICSSTEP;
    t += SB_PHYSICSSTEP;
    PlaceNearCars(t, static_cast<int32_t>(SB_PHYSICSSTEP));
  }
  if (SB_Var.PhysicsAccumulator > 0.0) {
    const double last = SB_Var.PhysicsAccumulator;
    SB_Var.PhysicsDt = last * 0.001;
    SB_Var.PhysicsInvDt = 1.0 / SB_Var.PhysicsDt;
    SB_PhysicsStep(index);
    SB_Var.PhysicsAccumulator = 0.0;
    t += last;
    PlaceNearCars(t, SB_SaturateInt(last));
  }
  SB_SetEngineFrequency(car);
  SB_ComputeWheelClearance(index);
  SB_RecordTick(index);
  SB_PackCarState(index);
}

void SB_UpdateCars() {
  if (!SB_Var.UsingCars) return;
  if (SB_Hooks.ProfileStart) SB_Hooks.ProfileStart();
  MeasureDistances();
  SB_SimulateCar(SB_Var.DrivenCar);
  const int32_t now = static_cast<int32_t>(SB_Var.Time);
  ForEachCar([&](int32_t i, TCAR* car) {
    if (car->DistanceToDriven < SB_NEARCAR) return;
    SB_PlaceRemoteCar(i, now);
    SB_PlayReplayTick(i, now, SB_Var.FrameTime);
  });
  // With no car driven here, the car shown from its replay is recorded in
  // its place, so that what was shown can be saved.
  if (!SB_IsValidCarIndex(SB_Var.DrivenCar)) SB_RecordTick(SB_Var.ReplayCar);
  SB_UpdateRaceStanding();
  SB_LinkRaceOrder();
  SB_PaceReplayBehindLeader();
  SB_PaceReplaysAgainstLive();
  ForEachCar([](int32_t, TCAR* car) { SB_PlaceCarObject(car); });
  ForEachCar([](int32_t, TCAR* car) { car->RaceClock += SB_Var.FrameTime * 0.001; });
  SB_EmitWheelSmoke();
  if (SB_Hooks.ProfileStop) SB_Hooks.ProfileStop();
}
