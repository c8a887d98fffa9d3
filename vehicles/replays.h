// Car replays and network car states: the record and state formats, the
// recording of the driven car every 200 ms, playback with interpolation,
// drift and a seamless loop, the replay file "Car replay file V1.01", and
// the remote cars placed from the last two states received. The calls of
// the physics, the race and the console are declared in vehicles/physics.h,
// vehicles/vehicles.h and vehicles/devenv.h.
#pragma once
#include <cstdint>

#include "vehicles/types.h"

constexpr int32_t SB_MAXREPLAYRECORDS = 1350;  // 4 min 30 s of recording
constexpr int32_t SB_REPLAYSTEP = 200;         // ms between two records
constexpr int32_t SB_REPLAYRECSIZE = 84;       // bytes of a record in the file
constexpr int32_t SB_CARSTATESIZE = 88;        // bytes of a car state on the wire
constexpr int32_t SB_CARSTATEMSGSIZE = 100;    // game message 13: type, car, reserved, state
constexpr int32_t SB_CARSTATEMSG = 13;
constexpr int32_t SB_REPLAYHEADERSIZE = 256;
constexpr int32_t SB_REPLAYFILEHEAD = SB_REPLAYHEADERSIZE + 8;  // header, car index, count
constexpr int32_t SB_LAGLIMIT = 250;  // ms of lag or of gap between states that make a car stale
constexpr double SB_ENGINESPEEDRANGE = 1047.1975511965977;  // rad/s, 10000 rpm

// Packing of small values into a byte and back.
uint8_t SB_PackByte(double v, double min, double range);
double SB_UnpackByte(uint8_t b, double min, double range);
inline double SB_Lerp(double a, double b, double f) { return a + (b - a) * f; }
inline double SB_Extrapolate(double a, double b, double t) { return b + (b - a) * t; }
// The orientation of a car as three 10-bit angle fields, and back into
// its Orientation and InsetMatrix.
uint32_t SB_PackOrientation(const TCAR* car);
void SB_SetOrientationFromAngles(TCAR* car, const int32_t angles[3]);
// The three 16-bit angles between two packed orientations at f (0 gives
// from), each the short way round; extrapolated: beyond to by t steps of
// (to - from).
void SB_LerpAngles(uint32_t from, uint32_t to, double f, int32_t angles[3]);
void SB_ExtrapolateAngles(uint32_t from, uint32_t to, double t, int32_t angles[3]);

// Bytes of a record and of a car state, little-endian.
void SB_WriteReplayRec(const TREPLAYREC& r, uint8_t* out);
void SB_ReadReplayRec(const uint8_t* in, TREPLAYREC* r);
void SB_WriteCarState(const TCARSTATE& s, uint8_t* out);
void SB_ReadCarState(const uint8_t* in, TCARSTATE* s);

// Recording: one record of the car into the replay (nothing when full).
void SB_RecordCarState(int32_t index, TREPLAY* replay);
// Playback: the car placed at playback-clock time T (ms).
void SB_PlaceCarFromReplay(int32_t index, TREPLAY* replay, int32_t time);

// The record tables: 1350 records for a recording.
void SB_AllocMaxReplayTab(TREPLAY* replay);
void SB_FreeReplayTab(TREPLAY* replay);
// Recordings of every car while SB_Var.CourseReplays is set.
void SB_AllocCarsReplays();
// Frees a car's playback replay, its record table too when no other car
// shares it.
void SB_FreeCarReplay(int32_t index);

// Writes the recording ("Car replay file V1.01") of the driven car, or of
// the car shown from its replay when none is driven; 1 when written. With
// no such car or no record it says so and writes nothing.
int32_t SB_SaveCarReplay(const char* name);

// Network states: a state received for a car (0 for an invalid index,
// else 1), and the driven car's state sent to the other players.
int32_t SB_ReceiveCarState(int32_t index, const TCARSTATE* state);
