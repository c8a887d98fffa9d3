// The player's controls: the control map read into the control-state
// block once a frame (two are kept, this frame's and the previous one's,
// for press edges), the block copied into a car, and the joystick centre.
#pragma once
#include <cstdint>

#include "vehicles/types.h"

struct JOYPOS;

// Control indices of SB_Var.ControlMap.
enum : int32_t {
  SB_CTRL_ACCEL,
  SB_CTRL_BRAKE,
  SB_CTRL_LEFT,
  SB_CTRL_RIGHT,
  SB_CTRL_HANDBRAKE,
  SB_CTRL_GEARUP,
  SB_CTRL_GEARDOWN,
  SB_CTRL_CAMERA,
  SB_CTRL_LIGHT,
};
constexpr int32_t SB_JOY1FIRST = 1025;  // joystick 1: 1025..1036
constexpr int32_t SB_JOY2FIRST = 1037;  // joystick 2: 1037..1048, the same codes + 12
constexpr int32_t SB_JOYLAST = 1048;

// Every control of the map into a cleared block.
void SB_BuildControls(TCONTROLS* block);
// One control: its value (0 or 1 for a key or a button, the axis amount
// for an axis) and whether it came from an axis; an absent stick reads 0.
void SB_ReadControl(int32_t index, double* value, uint8_t* analog, const JOYPOS* joy1, const JOYPOS* joy2,
                    int32_t joy1Present, int32_t joy2Present);
// The block into the car's control fields; before the racing phase, for a
// finished car and with the free camera only the brake, held.
void SB_SetCarControls(TCAR* car, const TCONTROLS* block);
void SB_SetCarControlsFromCurrent(TCAR* car);
// Joystick n (1 or 2); joystick 1 is rescaled around its centre. Both axes
// are held within -1..1, NaN reading 0. 1 when the stick answered.
int32_t SB_ReadJoystick(int32_t n, JOYPOS* position);
void SB_RecentreJoystick(JOYPOS* position);

// Waits for a key or a button and takes joystick 1's position as its
// centre ("No joystick 1 found !!!" without one).
void SB_CenterJoystick();
