// A car's physics at race start: the race fields, controls, live
// parameters, car points and rigid body back to their defaults; the
// parameter block turned into live values and back; and the car's place on
// the start grid.
#include <cmath>
#include <cstring>

#include "engine3d/matrix.h"
#include "shell/sbvar.h"
#include "vehicles/physics.h"
#include "vehicles/vehicles.h"
#include "vehicles/vparams.h"

namespace {

constexpr double kSilent = -10000.0;
constexpr double kStartClearance = 0.2;  // m between the slot origin and the wheel points
constexpr int32_t kSixLanes[6] = {3, 2, 4, 1, 5, 0};
constexpr int32_t kDeformationSlots[SB_NBGROUNDPOINTS] = {0, 1, 2, 3, 0, 1, 2, 3, 8, 9, 10, 11};

// The car points: wheels, ground points and side points (see TCAR).
constexpr TVECTOR kWheelPoints[SB_NBWHEELS] = {{1, 0, 1.8}, {-1, 0, 1.8}, {-1, 0, -1.8}, {1, 0, -1.8}};
constexpr TVECTOR kRoof[4] = {{0.95, -0.5, 0.1}, {-0.95, -0.5, 0.1}, {0.95, -0.5, -1.5}, {-0.95, -0.5, -1.5}};
constexpr TVECTOR kGroundPoints[SB_NBGROUNDPOINTS] = {
    {1.2, 0.5, 2.5},   {-1.2, 0.5, 2.5},   {1.2, 0.5, -2.5},   {-1.2, 0.5, -2.5},
    {1.2, 0.15, 2.5},  {-1.2, 0.15, 2.5},  {1.2, -0.15, -2.5}, {-1.2, -0.15, -2.5},
    kRoof[0],          kRoof[1],           kRoof[2],           kRoof[3]};
constexpr TVECTOR kSidePoints[SB_NBSIDEPOINTS] = {
    {1.2, 1, 2.5}, {-1.2, 1, 2.5}, {1.2, 1, -2.5}, {-1.2, 1, -2.5}, {0, 1, 2.5},    {-1.2, 1, 0},
    {0, 1, -2.5},  {1.2, 1, 0},    kRoof[0],       kRoof[1],       kRoof[2],       kRoof[3],
    {1.2, 1, 1.25}, {-1.2, 1, 1.25}, {1.2, 1, -1.25}, {-1.2, 1, -1.25}};

void ResetRaceFields(TCAR* car, int32_t first) {
  car->RaceClock = 0.0;
  car->RaceTime = car->LapTime = 0;
  car->CenterLineIndex = car->Sector = car->Laps = car->LastLapChange = car->SectorSkip = 0;
  car->Distance = car->BestDistance = car->PrevDistance = 0.0;
  car->ProgressMeasured = 0;
  car->WrongWay = car->WrongWayTime = 0;
  car->Place = 1;
  car->CarAhead = car->CarBehind = -1;
  if (!first) return;
  car->TransitOffset = SB_TRANSITNONE;
  car->LagResidue = car->Stale = car->StatesReceived = 0;
}

void ClearControls(TCAR* car) {
  car->HandBrake = car->GearUp = car->GearDown = car->AccelOn = car->BrakeOn = car->LeftOn = car->RightOn = 0;
  car->LeftAmount = car->RightAmount = car->AccelAmount = car->BrakeAmount = 0.0;
  car->LeftAnalog = car->RightAnalog = car->AccelAnalog = car->BrakeAnalog = 0;
}

// The live defaults; the ones left out keep what the record holds.
void DefaultParameters(TCAR* car) {
  static constexpr double kGears[5] = {3.3, 1.99, 1.35, 1.0, 0.79};
  std::memcpy(car->GearRatios, kGears, sizeof kGears);
  car->GearCount = 5;
  car->AxleRatio = 4.1;
  car->Power = 0.6;
  car->InjectionIdle = 3.0;
  car->InjectionFull = 240.0;
  car->InjectionDecrease = 120.0;
  car->InternalFriction = 0.18;
  car->EngineInertia = 60.0;
  car->InvEngineInertia = 1.0 / 60.0;
  car->PowerDropStart = 4000.0;
  car->PowerDropStrength = 0.6;
  car->BoostEnd = 2000.0;
  car->BoostStrength = 0.3;
  car->MinTorque = 1500.0;
  car->Clutch = 1.5;
  car->Clutch2 = 300.0;
  car->Turnspeed = 8.0;
  car->Solreaction = 200000.0;
  car->Solfrotnormal = 10000.0;
  car->Adherance = 1000000.0;
  car->Frotstatic = 100000.0;
  car->Frotdynamic = 0.0;
  car->Roueaccelderap = 0.04;
  car->Amortheight = 0.5;
  car->Airfrict = car->Airfrictrot = 0.0;
}

void DefaultPoints(TCAR* car) {
  std::memcpy(car->WheelPoints, kWheelPoints, sizeof kWheelPoints);
  std::memcpy(car->GroundPoints, kGroundPoints, sizeof kGroundPoints);
  std::memcpy(car->SidePoints, kSidePoints, sizeof kSidePoints);
  std::memcpy(car->DeformationSlots, kDeformationSlots, sizeof kDeformationSlots);
  for (double& d : car->Deformations) d = 0.0;
}

void ResetDrive(TCAR* car) {
  car->CatchUp = car->CatchUp2 = car->CatchUpTarget = 1.0;
  car->DragDivisor = 1.0;
  car->AutomaticGears = SB_Var.AutomaticGears;
  car->Gear = car->PrevGear = car->GearDelay = 0;
  car->PrevGearUp = car->PrevGearDown = 0;
  car->EngineStarted = 0;
  car->SteerAngle = 0.0;
  car->EngineStartTimer = car->EngineSpeed = car->EngineTorque = car->Injection = car->TotalRatio = 0.0;
  for (int32_t k = 0; k < SB_NBWHEELS; ++k) {
    car->WheelSpeeds[k] = 0.0;
    car->WheelHeadings[k] = car->WheelGroundVelocities[k] = TVECTOR{};
  }
  car->SkidTimer = -car->Derappetimeapresmini;
  car->EngineVolume = car->SkidVolume = car->ScrapeVolume = static_cast<int32_t>(kSilent);
  car->Speed = car->MaxContactSpeed = 0.0;
  car->Damaged = 0;
  for (int32_t& flag : car->SurfaceFlags) flag = 0;
}

// The wheels' contact with the road below the car's centre: the first
// wheel part's height in the model plus the tyre's radius.
double WheelHeightOffset(const TCAR* car) {
  for (int32_t k = 0; k < SB_NBWHEELS; ++k)
    if (car->Wheels[k]) return car->WheelOffsets[k].y + car->WheelRadius;
  return car->WheelRadius;
}

}  // namespace

void SB_InitCarPhysics(TCAR* car, int32_t, int32_t first) {
  if (!car) return;
  ResetRaceFields(car, first);
  ClearControls(car);
  DefaultParameters(car);
  DefaultPoints(car);
  ResetDrive(car);
  SB_InitRigidBody(car, 2.1, 0.65, 4.6, 1000.0);
  SB_StoreVParams(car);
  car->WheelHeightOffset = WheelHeightOffset(car);
  car->EngineStarted = 0;  // the engine-running flag
}

void SB_ApplyVParams(TCAR* car) {
  if (!car) return;
  const TVPARAMBLOCK& b = car->VParams;
  // A count from the file beyond the six ratios would index past them.
  car->GearCount = b.GearNb < 1 ? 1 : b.GearNb > SB_MAXGEARS ? SB_MAXGEARS : b.GearNb;
  for (int32_t g = 0; g < car->GearCount; ++g) car->GearRatios[g] = b.Gears[g];
  const double p = b.Power;
  car->AxleRatio = b.TransEssieu;
  car->Power = p;
  car->PowerDropStart = b.MotorChuteStart;
  car->BoostEnd = b.ForceStartStart;
  car->Clutch = b.Embrayage1;
  car->Clutch2 = b.Embrayage2;
  car->Turnspeed = b.Turnspeed;
  car->Solreaction = b.Solreaction;
  car->Solfrotnormal = b.Solfrotnormal;
  car->Adherance = b.Adherance;
  car->Frotstatic = b.Frotstatic;
  car->Frotdynamic = b.Frotdynamic;
  car->Rouesolreaction = b.Rouesolreaction;
  car->Rouesolfrotnormal = b.Rouesolfrotnormal;
  car->Roueadherance = b.Roueadherance;
  car->Roueadherancederapp = b.Roueadherancederapp;
  car->Rouefrotstatic = b.Rouefrotstatic;
  car->Rouefrotdynamic = b.Rouefrotdynamic;
  car->Amortheight = b.Amortheight;
  car->Airfrict = b.Airfrict;
  car->Airfrictrot = b.Airfrictrot;
  car->Spoilerforce = b.Spoilerforce;
  car->Roueaccelderap = b.Roueaccelderap;
  car->Derappetimesmooth = b.Derappetimesmooth;
  car->Derappetimemini = b.Derappetimemini;
  car->Derappetimeviragemini = b.Derappetimeviragemini;
  car->Derappetimeapresmini = b.Derappetimeapresmini;
  car->InjectionIdle = b.InjectionMini * p;
  car->InjectionFull = b.InjectionMaxi * p;
  car->InjectionDecrease = b.InjectionDecrease * p;
  car->InternalFriction = b.ForceFrotInt * p;
  car->EngineInertia = b.MotorMasse * p;
  car->PowerDropStrength = b.ForceChutePower * p;
  car->BoostStrength = b.ForceStartPower * p;
  car->MinTorque = b.Couplemini * p;
  car->InvEngineInertia = car->EngineInertia != 0.0 ? 1.0 / car->EngineInertia : 0.0;
  car->SkidTimerStart = -b.Derappetimeapresmini;  // a running skid is left alone
}

void SB_StoreVParams(TCAR* car) {
  if (!car) return;
  TVPARAMBLOCK& b = car->VParams;
  std::memcpy(b.Gears, car->GearRatios, sizeof b.Gears);
  b.GearNb = car->GearCount;
  b.TransEssieu = car->AxleRatio;
  b.Power = car->Power;
  b.MotorChuteStart = car->PowerDropStart;
  b.ForceStartStart = car->BoostEnd;
  b.Embrayage1 = car->Clutch;
  b.Embrayage2 = car->Clutch2;
  b.Turnspeed = car->Turnspeed;
  b.Solreaction = car->Solreaction;
  b.Solfrotnormal = car->Solfrotnormal;
  b.Adherance = car->Adherance;
  b.Frotstatic = car->Frotstatic;
  b.Frotdynamic = car->Frotdynamic;
  b.Rouesolreaction = car->Rouesolreaction;
  b.Rouesolfrotnormal = car->Rouesolfrotnormal;
  b.Roueadherance = car->Roueadherance;
  b.Roueadherancederapp = car->Roueadherancederapp;
  b.Rouefrotstatic = car->Rouefrotstatic;
  b.Rouefrotdynamic = car->Rouefrotdynamic;
  b.Amortheight = car->Amortheight;
  b.Airfrict = car->Airfrict;
  b.Airfrictrot = car->Airfrictrot;
  b.Spoilerforce = car->Spoilerforce;
  b.Roueaccelderap = car->Roueaccelderap;
  b.Derappetimesmooth = car->Derappetimesmooth;
  b.Derappetimemini = car->Derappetimemini;
  b.Derappetimeviragemini = car->Derappetimeviragemini;
  b.Derappetimeapresmini = car->Derappetimeapresmini;
  const double p = car->Power;
  if (!(p > 0.0)) return;  // the scaled entries cannot be recovered: they stay
  b.InjectionMini = car->InjectionIdle / p;
  b.InjectionMaxi = car->InjectionFull / p;
  b.InjectionDecrease = car->InjectionDecrease / p;
  b.ForceFrotInt = car->InternalFriction / p;
  b.MotorMasse = car->EngineInertia / p;
  b.ForceChutePower = car->PowerDropStrength / p;
  b.ForceStartPower = car->BoostStrength / p;
  b.Couplemini = car->MinTorque / p;
}

void SB_FillUnsetVParams(TCAR* car) {
  if (!car) return;
  const TVPARAMBLOCK& s = SB_ShippedVParams;
  car->GearRatios[SB_MAXGEARS - 1] = s.Gears[SB_MAXGEARS - 1];
  car->Spoilerforce = s.Spoilerforce;
  car->Rouesolreaction = s.Rouesolreaction;
  car->Rouesolfrotnormal = s.Rouesolfrotnormal;
  car->Roueadherance = s.Roueadherance;
  car->Roueadherancederapp = s.Roueadherancederapp;
  car->Rouefrotstatic = s.Rouefrotstatic;
  car->Rouefrotdynamic = s.Rouefrotdynamic;
  car->Derappetimesmooth = s.Derappetimesmooth;
  car->Derappetimemini = s.Derappetimemini;
  car->Derappetimeviragemini = s.Derappetimeviragemini;
  car->Derappetimeapresmini = s.Derappetimeapresmini;
}

void SB_PlaceCarOnGrid(TCAR* car, int32_t index) {
  if (!car) return;
  const int32_t n = SB_Var.GridCount;
  int32_t lane, row;
  if (SB_Var.GridStart) {
    lane = 3 - n % 2;
    row = 2 * n;
  } else {
    lane = kSixLanes[n % 6];
    row = n / 6;
    if (row % 2) lane = 5 - lane;
  }
  if (const TSTARTSLOT* slot = SB_Var.CurStartSlots) {
    car->Position[0] = slot->X + lane * slot->CarStepX + row * slot->RowStepX;
    car->Position[1] = slot->Y - car->WheelHeightOffset + kStartClearance;
    car->Position[2] = slot->Z + lane * slot->CarStepZ + row * slot->RowStepZ;
    E3D_MatFromAngles(car->Orientation, 0.0, slot->Angle, 0.0);
    E3D_MatTranspose(car->Orientation, car->InsetMatrix);
  }
  if (!SB_IsCarReplayPlaying(index)) ++SB_Var.GridCount;
}
