// Records and constants of the vehicles that other floors hold: the car
// record (one per car of the race, reached through its car index in
// SB_Var.Cars) and the control-state block.
#pragma once
#include <cstdint>

struct OBJECT;

constexpr int32_t SB_MAXCARS = 16;

struct TCAR {
  double Position[3];     // metres
  double Orientation[9];  // rotation matrix, column after column
  double InsetMatrix[9];  // turns other cars into this car's frame (car inset)
  double Velocity[3];
  double Speed;        // m/s
  double EngineSpeed;  // rad/s
  int32_t Gear;        // -1..6
  int32_t AutomaticGears;
  int32_t CenterLineIndex;
  int32_t Sector;         // 0..9
  int32_t Laps;           // laps completed; negative before the first lap
  int32_t LastLapChange;  // laps at the last lap change
  int32_t SectorSkip;
  double Distance;      // centre-line points (metres) since the start, laps included
  double BestDistance;  // distance at the last frame in which it grew
  double PrevDistance;  // distance of the previous frame
  int32_t WrongWay;
  int32_t WrongWayTime;   // ms
  double RaceClock;       // seconds
  int32_t RaceTime;       // ms
  int32_t LapTime;        // ms, current lap
  int32_t RemainingTime;  // ms
  int32_t BestLap;        // ms, 0 none
  double GapAhead;        // ms, -1.0 none
  double GapBehind;
  int32_t Place;  // 1 leads
  int32_t Points;
  int32_t OutOfTime;
  int32_t Finished;
  int32_t OutOfRace;  // the two out-of-race words: either takes the car out
  int32_t OutOfRace2;
  int32_t TexturesReady;
  int32_t Highlight;           // drawn in full white
  int32_t Burned;              // non-zero once the car has burned
  int32_t LightTable;          // lit with the first light-colour table
  double CatchUpTarget;        // catch-up factor the ranking aims at
  double CatchUp;              // smoothed toward the target
  double CatchUp2;             // follows once the first has arrived
  OBJECT* Body;                // the body part, whose position gives the depth
  OBJECT* Object;              // the display object list
  double ShadowVectors[4][3];  // car axes: origin, then three edges
};

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
