// The wheel model of a physics step: injection, steering and brakes, the
// gearbox (manual and automatic), the engine and its torque curve, the
// drive that ties engine and wheels, the skid timer with the handbrake, and
// the wheel vectors the tyres read.
#include <cmath>

#include "engine3d/matrix.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "vehicles/carsounds.h"
#include "vehicles/drive.h"

namespace {

constexpr double kSlowSpeed = 8.333333333333334;      // m/s, 30 km/h
constexpr double kShiftSpeed = 13.88888888888889;     // m/s, 50 km/h
constexpr double kHandbrakeSlow = 5.555555555555555;  // m/s, 20 km/h
constexpr double kSkidSteer = 0.4273504273504273;
constexpr double kSlowSteer = 0.6666666666666666;
constexpr double kRpmMargin = 26.17993877991494;  // 250 rpm in rad/s
constexpr double kMaxDownshiftRpm = 8500.0;
constexpr double kOverRevRpm = 6000.0;
constexpr double kNoTorque = 100000.0;

bool RaceStarted() { return SB_Hooks.GetGameStep && SB_Hooks.GetGameStep() > 5; }

bool Skidding(const TCAR* car) { return car->SkidTimer > 0.0 && car->SkidTimer <= car->Derappetimemini; }

double WheelSum(const TCAR* car) {
  return car->WheelSpeeds[0] + car->WheelSpeeds[1] + car->WheelSpeeds[2] + car->WheelSpeeds[3];
}

// Moves v toward 0 by step, stopping at 0.
double TowardZero(double v, double step) {
  if (v > 0.0) return v > step ? v - step : 0.0;
  if (v < 0.0) return -v > step ? v + step : 0.0;
  return v;
}

// Without the gear-count check; 0 beyond the six ratios.
double RatioOf(const TCAR* car, int32_t gear) {
  if (gear >= 1 && gear <= SB_MAXGEARS) return car->GearRatios[gear - 1] * car->AxleRatio;
  if (gear == -1) return -(car->GearRatios[0] * car->AxleRatio);
  return 0.0;
}

void Steer(TCAR* car) {
  const double dt = SB_Var.PhysicsDt, speed = car->Speed;
  const bool left = car->LeftAmount > car->RightAmount;  // a tie goes to the right
  double input = left ? -car->LeftAmount : car->RightAmount;
  const bool analog = (left ? car->LeftAnalog : car->RightAnalog) != 0;
  double target = 0.0;
  if (analog) {
    target = Skidding(car)         ? input * kSkidSteer
             : speed <= kSlowSpeed ? input / 3.0
                                   : input / 3.0 / (speed * 0.014492753623188406 + 1.0);
    car->SteerAngle = target;
  } else {
    input = input > 0.5 ? 1.0 : input < -0.5 ? -1.0 : 0.0;
    target = Skidding(car)         ? input * kSkidSteer
             : speed <= kSlowSpeed ? input * kSlowSteer
                                   : input / ((speed - kSlowSpeed) * 0.4 + 1.8);
    const double rate = target != 0.0 ? 5.0 : 10.0;
    const double before = car->SteerAngle;
    const double after = before + (target - before) * dt * rate / (std::fabs(target) + 1.0);
    // A move never carries the angle past its target.
    car->SteerAngle = (before <= target) == (after <= target) && after != target ? after : target;
  }
  car->Steering = car->SteerAngle;
  if (car->HandBrake) return;
  for (double& w : car->WheelSpeeds) w = TowardZero(w, car->BrakeAmount * dt * 25.0);
}

// The automatic gearbox's measure of a gear: its torque at the wheels with
// the engine 250 rpm above what the wheels impose.
double ShiftTorque(const TCAR* car, int32_t gear) {
  const double t = SB_GetTotalRatio(car, gear) *
                   SB_GetEngineTorque(car, gear, SB_GetGearEngineSpeed(car, gear) + kRpmMargin);
  return car->AccelOn ? t : std::fabs(t);
}

void AutomaticShift(TCAR* car) {
  const int32_t gear = car->Gear;
  if (car->Speed > kShiftSpeed && ShiftTorque(car, gear + 1) > ShiftTorque(car, gear) &&
      car->EngineSpeed * SB_RPM > 7000.0)
    SB_GearUp(car);
  if (car->Gear < 2) return;
  const int32_t now = car->Gear;
  if (car->Speed < kShiftSpeed)
    SB_GearDown(car);
  else if (ShiftTorque(car, now - 1) > ShiftTorque(car, now) &&
           (SB_GetGearEngineSpeed(car, now - 1) + kRpmMargin) * SB_RPM < kMaxDownshiftRpm)
    SB_GearDown(car);
}

void Gearbox(TCAR* car) {
  const bool up = car->GearUp && !car->PrevGearUp, down = car->GearDown && !car->PrevGearDown;
  if (up && (!car->AutomaticGears || car->Gear < 1)) SB_GearUp(car);
  if (down && (!car->AutomaticGears || car->Gear < 2)) SB_GearDown(car);
  if (car->AutomaticGears && car->Gear >= 1) AutomaticShift(car);
  car->GearDelay -= SB_SaturateInt(std::round(SB_Var.PhysicsDt * 1000.0));
  if (car->GearDelay < 0) car->GearDelay = 0;
  car->PrevGearUp = car->GearUp;
  car->PrevGearDown = car->GearDown;
  car->TotalRatio = SB_GetTotalRatio(car, car->Gear);
}

// Sets every wheel to the speed the engine gives through the current ratio.
void WheelsFromEngine(TCAR* car) {
  const double w =
      car->TotalRatio != 0.0 ? car->EngineSpeed / car->TotalRatio * SB_ENGINETOWHEEL : car->EngineSpeed;
  for (double& s : car->WheelSpeeds) s = w;
}

void WheelVectors(TCAR* car) {
  const double s = std::sin(car->SteerAngle), c = std::cos(car->SteerAngle);
  for (int32_t i = 0; i < SB_NBWHEELS; ++i) {
    const double v = car->WheelSpeeds[i];
    car->WheelHeadings[i] = i < 2 ? TVECTOR{-s, 0.0, -c} : TVECTOR{0.0, 0.0, -1.0};
    car->WheelGroundVelocities[i] = i < 2 ? TVECTOR{-v * s, 0.0, -v * c} : TVECTOR{0.0, 0.0, -v};
  }
}

// Engaged from neutral below the skid rpm: the body is carried off at the
// wheels' speed.
void CarryOff(TCAR* car) {
  WheelVectors(car);
  TVECTOR mean{0.0, 0.0, 0.0};
  for (const TVECTOR& g : car->WheelGroundVelocities) mean = {mean.x + g.x, mean.y + g.y, mean.z + g.z};
  mean = {-mean.x * 0.25, -mean.y * 0.25, -mean.z * 0.25};
  E3D_MatMulVec(car->Orientation, &mean);
  car->Velocity[0] = mean.x;
  car->Velocity[1] = mean.y;
  car->Velocity[2] = mean.z;
}

void Drive(TCAR* car) {
  if (!car->EngineStarted || car->EngineStartTimer < SB_CRANKTIME || car->Gear == 0) return;
  const double rpm = car->EngineSpeed * SB_RPM;
  if (rpm < 2000.0 && car->AccelOn && !car->HandBrake && (car->Gear == 1 || car->Gear == -1))
    car->SkidTimer = car->Derappetimemini;
  const int32_t turn = car->PrevGear * car->Gear;
  if (turn > 0) {
    car->EngineSpeed = SB_GetGearEngineSpeed(car, car->Gear);
    if (car->HandBrake || car->BrakeOn) return;
    const double push = car->Clutch * car->TotalRatio * car->EngineTorque * SB_Var.PhysicsDt * 5e-6;
    for (double& s : car->WheelSpeeds) s += push;
    return;
  }
  WheelsFromEngine(car);
  if (turn < 0 || rpm > kOverRevRpm)
    car->SkidTimer = car->Derappetimemini;
  else
    CarryOff(car);
}

void SkidTimer(TCAR* car) {
  const double dt = SB_Var.PhysicsDt, mini = car->Derappetimemini, after = car->Derappetimeapresmini;
  const double threshold = car->AccelOn ? 1.2 : 1.1;
  bool slipping = false;
  double sum = 0.0;
  for (double s : car->Slips) {
    slipping |= s > threshold;
    sum += s;
  }
  double& t = car->SkidTimer;
  if (sum * 0.25 > 1.3) t = mini;
  if (t > mini) {
    t -= dt;
    if (!slipping) t = -after;
  } else if (t > 0.0) {
    t -= dt;
    if (t < 0.0001) t = 0.0001;
    if (!slipping) t = 0.0;
  } else {
    t -= dt;
    if (t < -after) t = -after;
    if (t <= -after && slipping) t = car->Derappetimeviragemini + mini;
  }
  if (!car->HandBrake) return;
  if (car->Speed > kSlowSpeed) t = mini;
  for (double& w : car->WheelSpeeds) w = TowardZero(w, (std::fabs(w) <= kHandbrakeSlow ? 25.0 : 15.0) * dt);
}

}  // namespace

double SB_GetTotalRatio(const TCAR* car, int32_t gear) {
  if (gear > car->GearCount || gear == 0) return 0.0;
  return RatioOf(car, gear);
}

double SB_GetGearEngineSpeed(const TCAR* car, int32_t gear) {
  return WheelSum(car) * 0.25 * RatioOf(car, gear) * SB_WHEELTOENGINE;
}

double SB_GetEngineTorque(const TCAR* car, int32_t gear, double w) {
  if (w < 0.0) return kNoTorque;
  double t = car->Injection * w - car->InternalFriction * w * w + car->MinTorque;
  const double drop = car->PowerDropStart * SB_RADPERRPM, boost = car->BoostEnd * SB_RADPERRPM;
  if (w > drop) t -= (w - drop) * (w - drop) * car->PowerDropStrength;
  if (gear != 1 && w < boost) t += (w - boost) * (w - boost) * car->BoostStrength;
  if (gear == 1 && t > 0.0 && t < kNoTorque) t = kNoTorque;
  if (!car->AccelOn && t > 0.0) t = 0.0;
  if (t < 0.0 && gear != 0) t *= 0.8;
  return t;
}

void SB_GearUp(TCAR* car) {
  if (car->EngineStartTimer < SB_CRANKTIME || car->GearDelay != 0 || car->Gear >= car->GearCount) return;
  car->Gear = car->Gear == -1 ? 1 : car->Gear + 1;
  SB_PlayGearSound(car);
  car->GearDelay = SB_GEARDELAY;
}

void SB_GearDown(TCAR* car) {
  if (car->EngineStartTimer < SB_CRANKTIME || car->GearDelay != 0 || car->Gear <= -1) return;
  const double rpm = SB_GetGearEngineSpeed(car, car->Gear - 1) * SB_RPM;
  if (rpm < kMaxDownshiftRpm) {
    car->Gear = car->Gear == 1 ? -1 : car->Gear - 1;
    SB_PlayGearSound(car);
    if (rpm > kOverRevRpm) SB_PlayGearDownVariant();
  } else {
    SB_PlayRapportSound();
  }
  car->GearDelay = SB_GEARDELAY;
}

void SB_UpdateEngine(TCAR* car) {
  if (!car->EngineStarted) {
    car->EngineStartTimer = car->EngineSpeed = 0.0;
    if (!RaceStarted() || SB_Var.PrevControls.AccelOn || !car->AccelOn) return;
    car->EngineStarted = 1;
    SB_PlayStartSound();
    return;
  }
  if (car->EngineStartTimer < SB_CRANKTIME) {
    car->EngineStartTimer += SB_Var.PhysicsDt;
    car->EngineSpeed = 0.0;
    return;
  }
  car->EngineTorque = SB_GetEngineTorque(car, car->Gear, car->EngineSpeed);
  car->EngineSpeed += car->InvEngineInertia * SB_Var.PhysicsDt * car->EngineTorque;
}

void SB_StepWheels(TCAR* car) {
  car->Injection = car->InjectionIdle + (car->InjectionFull - car->InjectionIdle) * car->AccelAmount;
  Steer(car);
  Gearbox(car);
  SB_UpdateEngine(car);
  Drive(car);
  for (int32_t i = 0; i < SB_NBWHEELS; ++i) car->WheelRoll[i] += car->WheelSpeeds[i] * SB_Var.PhysicsDt;
  car->Speed = std::fabs(WheelSum(car)) * 0.25;
  SkidTimer(car);
  WheelVectors(car);
}
