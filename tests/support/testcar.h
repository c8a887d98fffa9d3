// A car record for the physics tests and benchmarks: the defaults of the
// engine and the body points, with tyre and skid values that drive well.
#pragma once
#include <cstdint>

#include "vehicles/drive.h"

namespace ztest {

// A car record with the defaults of the engine, the points of the body and
// tyre and skid values that drive well, at rest and upright at the origin,
// in the game.
inline void SetTestCar(TCAR* car) {
  *car = TCAR{};
  SB_InitRigidBody(car, 2.1, 0.65, 4.6, 1000.0);
  car->CatchUp = car->DragDivisor = 1.0;
  car->TexturesReady = 1;  // in the game
  const double ratios[SB_MAXGEARS] = {3.3, 1.99, 1.35, 1.0, 0.79, 0.65};
  for (int32_t g = 0; g < SB_MAXGEARS; ++g) car->GearRatios[g] = ratios[g];
  car->GearCount = 5, car->AxleRatio = 4.1;
  car->InjectionIdle = 3.0, car->InjectionFull = 240.0, car->InternalFriction = 0.18;
  car->InvEngineInertia = 1.0 / 60.0, car->PowerDropStart = 4000.0, car->PowerDropStrength = 0.6;
  car->BoostEnd = 2000.0, car->BoostStrength = 0.3, car->MinTorque = 1500.0, car->Clutch = 1.5;
  car->Derappetimemini = 0.5, car->Derappetimeviragemini = 0.3, car->Derappetimeapresmini = 0.4;
  car->Derappetimesmooth = 0.4, car->SkidTimer = -0.4;
  const TVECTOR wheels[SB_NBWHEELS] = {{1, 0, 1.8}, {-1, 0, 1.8}, {-1, 0, -1.8}, {1, 0, -1.8}};
  for (int32_t i = 0; i < SB_NBWHEELS; ++i) car->WheelPoints[i] = wheels[i];
  car->WheelHeightOffset = 0.6;
  const TVECTOR ground[SB_NBGROUNDPOINTS] = {{1.2, 0.5, 2.5},    {-1.2, 0.5, 2.5},    {-1.2, 0.5, -2.5},
                                             {1.2, 0.5, -2.5},   {1.2, 0.15, 2.5},    {-1.2, 0.15, 2.5},
                                             {1.2, -0.15, -2.5}, {-1.2, -0.15, -2.5}, {0.95, -0.5, 0.1},
                                             {-0.95, -0.5, 0.1}, {0.95, -0.5, -1.5},  {-0.95, -0.5, -1.5}};
  const int32_t slots[SB_NBGROUNDPOINTS] = {0, 1, 2, 3, 0, 1, 2, 3, 8, 9, 10, 11};
  for (int32_t i = 0; i < SB_NBGROUNDPOINTS; ++i)
    car->GroundPoints[i] = ground[i], car->DeformationSlots[i] = slots[i];
  const TVECTOR sides[SB_NBSIDEPOINTS] = {
      {1.2, 1, 2.5},     {-1.2, 1, 2.5},     {1.2, 1, -2.5},     {-1.2, 1, -2.5},
      {0, 1, 2.5},       {-1.2, 1, 0},       {0, 1, -2.5},       {1.2, 1, 0},
      {0.95, -0.5, 0.1}, {-0.95, -0.5, 0.1}, {0.95, -0.5, -1.5}, {-0.95, -0.5, -1.5},
      {1.2, 1, 1.25},    {-1.2, 1, 1.25},    {1.2, 1, -1.25},    {-1.2, 1, -1.25}};
  for (int32_t i = 0; i < SB_NBSIDEPOINTS; ++i) car->SidePoints[i] = sides[i];
  car->Rouesolreaction = 100000.0, car->Rouesolfrotnormal = 8000.0;
  car->Roueadherance = car->Roueadherancederapp = 10.0;
  car->Rouefrotstatic = 10000.0, car->Rouefrotdynamic = 3000.0, car->Roueaccelderap = 0.04;
  car->Solreaction = 200000.0, car->Solfrotnormal = 10000.0, car->Adherance = 1000000.0;
  car->Frotstatic = 100000.0, car->Frotdynamic = 1.0;
  for (double& s : car->Slips) s = SB_NOCONTACTSLIP;
}

}  // namespace ztest
