// Records of the track that other floors hold: a start slot of the
// circuit, where the grid begins and how it steps.
#pragma once
#include <cstdint>

constexpr int SB_NBSTARTSLOTS = 3;

struct TSTARTSLOT {
  double X, Y, Z;   // start position, metres
  double CarStepX;  // cos(a) x 5.0: from one car to the next across the grid
  double CarStepZ;  // sin(a) x 5.0
  double RowStepX;  // sin(a) x 10.0: from one grid row to the next
  double RowStepZ;  // cos(a) x -10.0
  double Angle;     // heading about the vertical axis, radians
};

constexpr int32_t SB_MAXTEXTURES = 512;  // names and names2 tables
constexpr int32_t SB_TEXTURENAMESIZE = 15;
