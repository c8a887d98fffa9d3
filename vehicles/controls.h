// The control-state block: what the player's controls say in one frame.
// Two are kept, this frame's and the previous one's, for press edges.
#pragma once
#include <cstdint>

struct TCONTROLS {
  uint8_t HandBrake;
  uint8_t GearUp;
  uint8_t GearDown;
  uint8_t AccelOn;  // AccelAmount above 0.2; also the confirm control of the menus in a race
  uint8_t BrakeOn;  // BrakeAmount above 0.2
  uint8_t LeftOn;
  uint8_t RightOn;
  uint8_t Camera;
  uint8_t Light;
  double LeftAmount;
  double RightAmount;
  double AccelAmount;
  double BrakeAmount;
  uint8_t LeftAnalog;  // 1 when the amount came from an analog axis
  uint8_t RightAnalog;
  uint8_t AccelAnalog;
  uint8_t BrakeAnalog;
};

// Waits for a key or a button and takes joystick 1's position as its
// centre ("No joystick 1 found !!!" without one).
void SB_CenterJoystick();
