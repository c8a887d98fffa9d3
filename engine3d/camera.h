// The race camera record: where the camera is and looks, in the forms the
// renderers need.
#pragma once
#include <cstdint>

#include "system/asm3d/zidade3d.h"

// Positions in 1/320 metre, angles in 16-bit turns kept in 32-bit words.
struct TCAMERA {
  uint32_t Angles[3];  // pitch, heading, roll
  uint32_t TargetAngles[3];
  int32_t Position[3];
  int32_t TargetPosition[3];
  double Metres[3];  // Position x 0.003125
  FIXFRAME Frame;
  FIXFRAME PreviousFrame;
  double PreviousPosition[3];
  int32_t RotatedPosition[3];
  float FloatFrame[12];  // rotation, then position x 190
  uint32_t Cut;          // 1 in a frame where the camera jumped
  double PreviousMatrix[9];
  double Matrix[9];
  int32_t CenterLineIndex;
  int32_t HoldTimer;  // ms
  int32_t ModeWord;
};
