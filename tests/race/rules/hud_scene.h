// A MULTIRACE under way in which the HUD shows every element of the driven
// car (placed 2 of 3, a checkpoint just passed, gaps both ways, points,
// wrong way, remaining time), at an odd 300 ms phase so that blinking
// elements show. Shared by the HUD tests and the HUD benchmark.
#pragma once
#include "race/racerules.h"
#include "shell/sbvar.h"

inline void SetHudSceneUnderWay(TCAR& driven) {
  SB_Var.NbLaps = 3;
  SB_Var.Time = 1500;
  driven.RaceTime = 5000;
  driven.LapTime = 20000;
  driven.BestLap = 70000;
  driven.Place = 2;
  driven.GapAhead = 1500.0;
  driven.GapBehind = 2500.0;
  driven.Points = 150;
  driven.WrongWay = 1;
  driven.RemainingTime = 30000;
  SB_Var.AheadIndex = 1;
  SB_Var.BehindIndex = 2;
  SB_Var.RaceClock = 10000;
  SB_Var.CheckpointClock = 9500;
  SB_Var.CheckpointLapTime = 15000;
  SB_Var.CheckpointNumber = 2;
}
