// The control-state block: the map's keys, joystick axes and buttons read
// into it, the joysticks rescaled and held in range, and the block copied
// into a car record.
#include "vehicles/controls.h"

#include <cmath>
#include <cstring>

#include "shell/gameevent.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/input.h"

namespace {

constexpr double kAnalogBound = 0.05;  // both sides: below it a negative axis reads, above it a positive one
constexpr double kDigitalBound = 0.5;
constexpr double kOnThreshold = 0.2;
constexpr int32_t kRacingStep = 15;
constexpr int32_t kLastKey = 254;

double HoldInRange(double v) {
  if (std::isnan(v)) return 0.0;
  return v < -1.0 ? -1.0 : v > 1.0 ? 1.0 : v;
}

// One joystick code (1025..1036) read from a stick.
void ReadStick(int32_t code, const JOYPOS& stick, double* value, uint8_t* analog) {
  const double x = stick.X, y = stick.Y;
  switch (code) {
    case 1025: if (x < kAnalogBound) *value = -x, *analog = 1; break;
    case 1026: if (x > kAnalogBound) *value = x, *analog = 1; break;
    case 1027: if (y < kAnalogBound) *value = -y, *analog = 1; break;
    case 1028: if (y > kAnalogBound) *value = y, *analog = 1; break;
    case 1029: if (x < -kDigitalBound) *value = 1.0; break;
    case 1030: if (x > kDigitalBound) *value = 1.0; break;
    case 1031: if (y < -kDigitalBound) *value = 1.0; break;
    case 1032: if (y > kDigitalBound) *value = 1.0; break;
    default: *value = (stick.Buttons >> (code - 1033)) & 1u; break;  // 1033..1036: buttons bits 0..3
  }
}

bool MapUses(int32_t first, int32_t last) {
  for (int32_t code : SB_Var.ControlMap)
    if (code >= first && code <= last) return true;
  return false;
}

// The squared response of an x axis, keeping its sign.
void SquareX(JOYPOS* stick) { stick->X = stick->X > 0.0 ? stick->X * stick->X : -(stick->X * stick->X); }

int32_t GameStep() { return SB_Hooks.GetGameStep ? SB_Hooks.GetGameStep() : 0; }

}  // namespace

void SB_RecentreJoystick(JOYPOS* p) {
  const double cx = SB_Var.JoystickCenter[0], cy = SB_Var.JoystickCenter[1];
  p->X = p->X >= cx ? (p->X - cx) / std::fabs(1.0 - cx) : (p->X - cx) / std::fabs(1.0 + cx);
  p->Y = p->Y >= cy ? (p->Y - cy) / std::fabs(1.0 - cy) : (p->Y - cy) / std::fabs(1.0 + cy);
}

int32_t SB_ReadJoystick(int32_t n, JOYPOS* position) {
  *position = JOYPOS{};
  if (!LSYS_GetJoyPos(n, position)) {
    *position = JOYPOS{};
    return 0;
  }
  if (n == 1) SB_RecentreJoystick(position);
  position->X = HoldInRange(position->X);
  position->Y = HoldInRange(position->Y);
  return 1;
}

void SB_ReadControl(int32_t index, double* value, uint8_t* analog, const JOYPOS* joy1, const JOYPOS* joy2,
                    int32_t joy1Present, int32_t joy2Present) {
  *value = 0.0;
  *analog = 0;
  if (index < 0 || index >= SB_NBCONTROLS) return;
  int32_t code = SB_Var.ControlMap[index];
  if (code < SB_JOY1FIRST) {
    if (code > 0 && code <= kLastKey) *value = SB_KeyDown(code);
    return;
  }
  if (code > SB_JOYLAST) return;
  const bool second = code >= SB_JOY2FIRST;
  if (second) code -= SB_JOY2FIRST - SB_JOY1FIRST;
  const JOYPOS* stick = second ? joy2 : joy1;
  if (!(second ? joy2Present : joy1Present) || !stick) return;
  ReadStick(code, *stick, value, analog);
}

void SB_BuildControls(TCONTROLS* block) {
  *block = TCONTROLS{};
  JOYPOS sticks[2] = {};
  int32_t present[2] = {};
  for (int32_t n = 0; n < 2; ++n) {
    const int32_t first = n == 0 ? SB_JOY1FIRST : SB_JOY2FIRST;
    if (!MapUses(first, first + 11)) continue;
    present[n] = SB_ReadJoystick(n + 1, &sticks[n]);
    if (present[n] && !SB_Var.LinearInput) SquareX(&sticks[n]);
  }
  double* amounts[] = {&block->AccelAmount, &block->BrakeAmount, &block->LeftAmount, &block->RightAmount};
  uint8_t* analogs[] = {&block->AccelAnalog, &block->BrakeAnalog, &block->LeftAnalog, &block->RightAnalog};
  uint8_t* bytes[] = {&block->HandBrake, &block->GearUp, &block->GearDown, &block->Camera, &block->Light};
  for (int32_t k = 0; k < SB_NBCONTROLS; ++k) {
    double value;
    uint8_t analog;
    SB_ReadControl(k, &value, &analog, &sticks[0], &sticks[1], present[0], present[1]);
    if (k <= SB_CTRL_RIGHT) {
      *amounts[k] = value;
      *analogs[k] = analog;
    } else {
      *bytes[k - SB_CTRL_HANDBRAKE] = static_cast<uint8_t>(static_cast<int32_t>(value + 0.1));
    }
  }
  block->AccelOn = block->AccelAmount > kOnThreshold;
  block->BrakeOn = block->BrakeAmount > kOnThreshold;
  block->LeftOn = block->LeftAmount > kOnThreshold;
  block->RightOn = block->RightAmount > kOnThreshold;
}

void SB_SetCarControls(TCAR* car, const TCONTROLS* block) {
  if (!car || !block) return;
  car->HandBrake = car->GearUp = car->GearDown = car->AccelOn = car->LeftOn = car->RightOn = 0;
  car->LeftAmount = car->RightAmount = car->AccelAmount = 0.0;
  car->LeftAnalog = car->RightAnalog = car->AccelAnalog = car->BrakeAnalog = 0;
  car->BrakeAmount = 1.0;
  car->BrakeOn = 1;
  // Held until the racing phase: the lap counter that was meant to hold
  // the car is negative behind the start line for the whole race.
  const int32_t step = GameStep();
  if (step < kRacingStep || car->Finished || SB_Var.CameraMode == 0) return;
  car->GearUp = block->GearUp;
  car->GearDown = block->GearDown;
  car->HandBrake = block->HandBrake;
  car->AccelOn = block->AccelOn;
  car->BrakeOn = block->BrakeOn;
  car->LeftOn = block->LeftOn;
  car->RightOn = block->RightOn;
  car->LeftAmount = block->LeftAmount;
  car->RightAmount = block->RightAmount;
  car->AccelAmount = block->AccelAmount;
  car->BrakeAmount = block->BrakeAmount;
  car->LeftAnalog = block->LeftAnalog;
  car->RightAnalog = block->RightAnalog;
  car->AccelAnalog = block->AccelAnalog;
  car->BrakeAnalog = block->BrakeAnalog;
}

void SB_SetCarControlsFromCurrent(TCAR* car) { SB_SetCarControls(car, &SB_Var.Controls); }
