// Records and constants of the vehicles that other floors hold: the car
// record (one per car of the race, reached through its car index in
// SB_Var.Cars), the vehicle setup with its stickers, the network car state
// and the control-state block.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine3d/types.h"

struct OBJECT;

constexpr int32_t SB_MAXCARS = 16;
constexpr int32_t SB_NBWHEELS = 4;  // front right, front left, rear right, rear left
constexpr int32_t SB_NBSURFACEFLAGS = 5;
constexpr int32_t SB_NBSTICKERS = 12;  // stickers a setup holds
constexpr int32_t SB_GLASSLAYOUTWORDS = 17;
constexpr int32_t SB_NBPROTOTYPEFILES = 5;      // full, simplified, burned, reduced 2, reduced 3
constexpr int32_t SB_PROTONAMESIZE = 256;       // bytes of a prototype file name
constexpr int32_t SB_TRANSITNONE = 2147483647;  // TCAR::TransitOffset before it is known
constexpr int32_t SB_MAXGEARS = 6;
constexpr int32_t SB_NBGROUNDPOINTS = 12;  // body points tested against the ground
constexpr int32_t SB_NBSIDEPOINTS = 16;    // body points tested against walls and cars

// A sticker painted on a car texture: its picture ("interfac>sticker>" +
// name), the texture it goes on and its centre there, in texels.
struct TSTICKER {
  char Name[23];
  int8_t Texture;
  int16_t X;
  int16_t Y;
};
static_assert(sizeof(TSTICKER) == 28, "the stored sticker");

// How one car looks: paint shifts of the body's hue band, stickers, a short
// name and the prototype set it is made from (empty: the loaded set). The
// same bytes are stored in the setup file and sent over the network.
struct TVEHICLESETUP {
  float HDelta;  // hue, 0..255 a full turn
  float SDelta;  // saturation, -255..255
  float VDelta;  // value, -255..255
  char Name[8];
  uint8_t Dither;   // car textures reduced to 8 bits by error diffusion
  uint8_t Changed;  // the car's textures must be generated again
  uint8_t NbStickers;
  int8_t SetupNumber;  // the local setup this copy came from
  TSTICKER Stickers[SB_NBSTICKERS];
  char PrototypeName[64];
};
static_assert(sizeof(TVEHICLESETUP) == 424, "the stored vehicle setup");
static_assert(offsetof(TVEHICLESETUP, Name) == 12 && offsetof(TVEHICLESETUP, Dither) == 20 &&
                  offsetof(TVEHICLESETUP, Stickers) == 24 && offsetof(TVEHICLESETUP, PrototypeName) == 360,
              "the stored field offsets");

// One car's state as the network sends it: positions in millimetres, the
// orientation as three 10-bit angles, small values packed in bytes.
struct TCARSTATE {
  uint32_t Time;  // ms of the sender's clock; local time once received
  int32_t Position[3];
  uint32_t Orientation;
  int16_t EngineVolume;
  uint16_t EngineFrequency;  // Hz, up to 65535
  float Speed;
  float RaceDistance;  // laps
  float Steering;
  float ContactSpeed;
  uint8_t Suspension[SB_NBWHEELS];
  float WheelRoll[SB_NBWHEELS];
  float Velocity[3];
  float AngularVelocity[3];
  uint8_t Flags;  // BrakeOn, the surface flags in bits 1..5, EngineStarted in bit 6
  uint8_t Spare[3];
};
static_assert(sizeof(TCARSTATE) == 88, "the car state of a network message");

constexpr int32_t SB_NBCONTROLS = 9;  // entries of the control map
constexpr int32_t SB_NBVPARAMS = 42;      // rows of the vehicle-parameter table
constexpr int32_t SB_NBVPARAMSLOTS = 44;  // slots of the parameter block

// The parameter block: the slots the vehicle-parameter table and its file
// "dat>vparams.txt" address, in slot order (two of them have no row).
struct TVPARAMBLOCK {
  double Gears[SB_MAXGEARS];  // Gear #1..#6
  int32_t GearNb;
  double TransEssieu;
  double Power;
  double InjectionMini;
  double InjectionDecrease;
  double InjectionMaxi;
  double ForceFrotInt;
  double MotorMasse;
  double MotorChuteStart;
  double ForceChutePower;
  double ForceStartStart;
  double ForceStartPower;
  double Couplemini;
  double Spoilerforce;
  double Slot20;  // no row
  double Embrayage1;
  double Embrayage2;  // no row: the second clutch value
  double Turnspeed;
  double Solreaction;
  double Solfrotnormal;
  double Adherance;
  double Frotstatic;
  double Frotdynamic;
  double Rouesolreaction;
  double Rouesolfrotnormal;
  double Roueadherance;
  double Roueadherancederapp;
  double Rouefrotstatic;
  double Rouefrotdynamic;
  double Applyheight;
  double Amortheight;
  double Airfrict;
  double Airfrictrot;
  double Roueaccelderap;
  double Derappetimesmooth;
  double Derappetimemini;
  double Derappetimeviragemini;
  double Derappetimeapresmini;
};

// One row of the vehicle-parameter table: the key, the field's type (0
// int32, 1 float, 2 and 3 double) and byte offset in TVPARAMBLOCK, the
// editor's range and two help lines.
struct TVPARAMDESC {
  char Name[32];
  uint32_t Type;
  uint32_t Field;
  float Min;
  float Max;
  char Help1[256];
  char Help2[256];
};
static_assert(sizeof(TVPARAMDESC) == 560, "a row of the vehicle-parameter table");

// The vehicle-parameter editor's state beside SB_Var.VParamsCar, Scroll and
// Editing: its 640 x 480 picture, the row under the pointer and the row
// being typed (table rows, -1 none), the edit box's place and text, and
// the mouse and paging keys of this frame and the last.
constexpr int32_t SB_VPEDITTEXT = 32;
struct BMAP;
struct TVPARAMSEDITOR {
  BMAP* Picture;  // made at the editor's first frame of a race
  int32_t HoveredRow;
  int32_t EditedRow;
  int32_t BoxX, BoxY;
  char Text[SB_VPEDITTEXT + 1];
  int32_t MouseX, MouseY, Buttons;
  int32_t PrevMouseX, PrevMouseY, PrevButtons;
  int32_t Frames;  // the caret blinks by them
  int32_t PageUpHeld, PageDownHeld;
};

// A wheel's lateral anchor: +0.2 on the right, -0.2 on the left.
struct TWHEELANCHOR {
  double Lateral;
  double Spare[2];
};
static_assert(sizeof(TWHEELANCHOR) == 24, "one anchor record");

// The car record. Units: metres, seconds, kilograms, radians; the world's y
// axis grows downward; in the car's own axes +x is its right, +y down and +z
// forward. Matrices are column after column: column j of Orientation is
// body axis j in world coordinates.
struct TCAR {
  int32_t EngineStarted;    // the engine has run its start; set by replay placement
  int32_t TexturesReady;    // the car counts as in game only while set
  double DistanceToDriven;  // m; below 20 the car is placed at every physics step
  double WheelRadius;       // m

  // Network placement.
  TCARSTATE LastState;    // the last state received
  TCARSTATE PrevState;    // the one before it
  TCARSTATE OutState;     // what this machine sends for the car
  int32_t LagResidue;     // ms between the local clock and the last state's time
  int32_t Remote;         // driven on another machine, placed from the states
  int32_t TransitOffset;  // least (local - sender) time seen, SB_TRANSITNONE when unknown
  int32_t Stale;          // the received states are 250 ms old or more apart
  int32_t StatesReceived;

  // The race rules' words.
  int32_t CenterLineIndex;
  int32_t Sector;         // 0..9
  int32_t Laps;           // laps completed; negative before the first lap
  int32_t LastLapChange;  // laps at the last lap change
  int32_t SectorSkip;
  double Distance;      // centre-line points (metres) since the start, laps included
  double BestDistance;  // distance at the last frame in which it grew
  double PrevDistance;  // distance of the previous frame
  int32_t ProgressMeasured;  // the progress was measured since the car was set up
  int32_t WrongWay;
  int32_t WrongWayTime;   // ms
  double RaceClock;       // seconds
  int32_t RaceTime;       // ms
  int32_t LapTime;        // ms, current lap
  int32_t RemainingTime;  // ms
  int32_t BestLap;        // ms, 0 none
  double GapAhead;        // ms, -1.0 none
  double GapBehind;
  int32_t Place;      // 1 leads
  int32_t CarAhead;   // the car just ahead by track progress, -1 none
  int32_t CarBehind;  // the car just behind, -1 none
  int32_t Points;
  int32_t OutOfTime;
  int32_t Finished;
  int32_t OutOfRace;  // the two out-of-race words: either takes the car out
  int32_t OutOfRace2;
  int32_t Highlight;           // drawn in full white
  int32_t Burned;              // non-zero once the car has burned
  int32_t LightTable;          // lit with the first light-colour table
  double CatchUpTarget;        // catch-up factor the ranking aims at
  double CatchUp;              // smoothed toward the target; scales the distance travelled per step
  double CatchUp2;             // follows once the first has arrived
  double ThrottleRamp;         // hundredths of a dB, -350..0: the engine sound follows the throttle
  double ShadowVectors[4][3];  // car axes: origin, then three edges

  // The display: a copy of the prototype set, its body part and wheels.
  OBJECT* Object;
  OBJECT* Body;                 // "caisse", whose position gives the depth
  OBJECT* Wheels[SB_NBWHEELS];  // "rouavdr", "rouavga", "rouardr", "rouarga"; null when missing

  // The driver's inputs, copied from the controls each frame.
  uint8_t HandBrake;
  uint8_t GearUp;
  uint8_t GearDown;
  uint8_t AccelOn;
  uint8_t BrakeOn;
  uint8_t LeftOn;
  uint8_t RightOn;
  double LeftAmount;
  double RightAmount;
  double AccelAmount;
  double BrakeAmount;
  uint8_t LeftAnalog;
  uint8_t RightAnalog;
  uint8_t AccelAnalog;
  uint8_t BrakeAnalog;

  // Engine and drive.
  double EngineSpeed;  // rad/s
  int32_t Gear;        // -1..6
  int32_t PrevGear;    // the gear of the previous step
  int32_t AutomaticGears;
  double Speed;     // m/s
  double Steering;  // rad, front-wheel angle, positive to the right

  // The rigid body. The angular velocity and the torque accumulator are
  // kept with the opposite sign of the physical ones; the force and torque
  // accumulators hold impulses (force x step time) of one step.
  int32_t SurfaceFlags[SB_NBSURFACEFLAGS];
  double Position[3];  // centre of mass, world
  double Velocity[3];
  double Orientation[9];  // body to world
  double InsetMatrix[9];  // its transpose, world to body: turns other cars into this car's frame
  double AngularVelocity[3];
  double Force[3];
  double Torque[3];
  double InvInertia[3];  // inverse principal moments about the body x, y and z axes
  double Mass;           // kg
  double InvMass;
  double Airfrict;      // linear air friction
  double Airfrictrot;   // rotational air friction
  double Spoilerforce;  // down-force per m/s of forward speed
  double DragDivisor;   // 0.8..1.0, divides the linear air friction

  // Wheels as displayed.
  TVECTOR WheelOffsets[SB_NBWHEELS];  // car axes, from the body part
  TWHEELANCHOR WheelAnchors[SB_NBWHEELS];
  double Suspension[SB_NBWHEELS];  // m, shown within 0.2..0.55
  double WheelRoll[SB_NBWHEELS];   // m rolled
  double SmokeAccumulator;         // puffs owed to the rear wheels, 0..20
  TVECTOR PrevPosition;            // Position at the last smoke pass

  // Drive: steering, gearbox and engine (live values of the vehicle
  // parameters, those marked x Power already multiplied).
  double SteerAngle;  // rad; Steering is its published copy
  int32_t GearDelay;  // ms before the next gear change
  uint8_t PrevGearUp;  // the keys at the previous step, for press edges
  uint8_t PrevGearDown;
  int32_t GearCount;
  double GearRatios[SB_MAXGEARS];  // gears 1..6
  double AxleRatio;
  double TotalRatio;  // of the current gear
  double InjectionIdle;  // x Power
  double InjectionFull;  // x Power
  double Injection;
  double InternalFriction;  // x Power
  double InvEngineInertia;
  double PowerDropStart;     // rpm
  double PowerDropStrength;  // x Power
  double BoostEnd;           // rpm
  double BoostStrength;      // x Power
  double MinTorque;          // x Power
  double Clutch;
  double EngineStartTimer;  // s since the engine was started
  double EngineTorque;
  double WheelSpeeds[SB_NBWHEELS];  // m/s of the tyre surfaces, forward positive
  TVECTOR WheelHeadings[SB_NBWHEELS];  // car axes
  TVECTOR WheelGroundVelocities[SB_NBWHEELS];
  double SkidTimer;  // s: above the minimum a bend, down to 0 a skid, below 0 the recovery
  double Derappetimemini;
  double Derappetimeviragemini;
  double Derappetimeapresmini;
  double Derappetimesmooth;

  // Contacts: car points (car axes), tyre and body parameters, and what a
  // step leaves for the sounds, smoke, replays and textures.
  TVECTOR WheelPoints[SB_NBWHEELS];
  double WheelHeightOffset;  // added to the wheel points' y
  TVECTOR GroundPoints[SB_NBGROUNDPOINTS];
  TVECTOR SidePoints[SB_NBSIDEPOINTS];  // eight sides, the four roof points, four more sides
  double Deformations[SB_NBGROUNDPOINTS];  // 0..0.5
  int32_t DeformationSlots[SB_NBGROUNDPOINTS];  // of each ground point
  double Rouesolreaction, Rouesolfrotnormal, Roueadherance, Roueadherancederapp, Rouefrotstatic,
      Rouefrotdynamic, Roueaccelderap;
  double Solreaction, Solfrotnormal, Adherance, Frotstatic, Frotdynamic;
  double Slips[SB_NBWHEELS];  // 1.25 without contact
  double MaxContactSpeed;     // m/s, the step's largest
  int32_t SkidVolume;  // hundredths of dB
  int32_t SkidFrequency;  // Hz
  int32_t ScrapeVolume;
  int32_t ScrapeFrequency;
  int32_t Damaged;
  int32_t StateRestored;  // the last step was undone for a non-finite state

  // The vehicle parameters as the parameter table and its file hold them,
  // and the live values the physics set-up keeps beside the drive's.
  TVPARAMBLOCK VParams;
  double Power;
  double InjectionDecrease;  // x Power; kept, not read by the physics
  double EngineInertia;      // x Power; InvEngineInertia is its inverse
  double Clutch2;            // the block's slot after the clutch; kept, not read
  double Turnspeed;          // kept, not read
  double Amortheight;        // kept, not read
  double SkidTimerStart;     // -Derappetimeapresmini

  // The engine sound's words: volume in hundredths of a dB, frequency in Hz.
  int32_t EngineVolume;
  int32_t EngineFrequency;

  // Set once the window clouds were drawn into the car's glass texture.
  int32_t CloudsDrawn;
};

// The cars' sound channels of a race, in their load order (vehicles/carsounds.h
// names the files), one engine channel per car for the other cars, the
// registry of every loaded channel's slot, and the listener tables by car
// index. Channels are game sound channels; a null one was not loaded.
constexpr int32_t SB_NBCARSOUNDS = 27;
struct TSBSOUND;
struct TCARSOUNDS {
  TSBSOUND* Channels[SB_NBCARSOUNDS];
  TSBSOUND* Engines[SB_MAXCARS];
  TSBSOUND** Registry[SB_NBCARSOUNDS + SB_MAXCARS];
  int32_t NbRegistered;
  double FrequencyFactor[SB_MAXCARS];  // Doppler, 1.0 at reset
  double VolumeFactor[SB_MAXCARS];     // distance attenuation, 1.0 at reset
  double PrevDistance[SB_MAXCARS];     // m from the camera, 1e8 when none
};

// One record of a replay, taken every 200 ms: positions in millimetres,
// the orientation as three 10-bit angles, small values packed in bytes.
// The frequency words hold 0..65535 Hz, the volume words hundredths of a dB.
struct TREPLAYREC {
  uint32_t Time;  // ms since the recording started
  int32_t Position[3];
  uint32_t Orientation;
  int16_t EngineVolume;
  int16_t SkidVolume;
  int16_t ScrapeVolume;
  uint16_t EngineFrequency;
  uint16_t SkidFrequency;
  uint16_t ScrapeFrequency;
  uint8_t Speed;        // 0..255 m/s
  uint8_t EngineSpeed;  // 0..1047.2 rad/s
  uint8_t Steering;     // -2..2 rad
  uint8_t ContactSpeed;  // 0..10 m/s, the step's largest contact speed
  uint8_t Suspension[SB_NBWHEELS];  // 0.2..0.55 m
  float WheelRoll[SB_NBWHEELS];
  float Velocity[3];
  float AngularVelocity[3];
  uint8_t Flags;  // AccelOn, BrakeOn, the five surface flags, EngineStarted in bit 7
  uint8_t Spare[3];
};
static_assert(sizeof(TREPLAYREC) == 84, "a replay record");

// A replay played back on a car, or a car's recording.
struct TREPLAY {
  char Name[256];        // file of a loaded replay; empty for recordings
  TREPLAYREC* Records;   // may be shared by several cars
  int32_t RecordCount;   // written so far (recordings)
  int32_t LoadedCount;   // read from the file (playback)
  int32_t StartTime;     // ms into the replay at which playback begins
  int32_t ClockBase;     // game time when the playback clock last started
  double Drift;          // ms added to the playback time
  double DriftRate;      // change of Drift per ms; car contacts push it
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
