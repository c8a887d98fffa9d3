// Car replays: packing of the small values, the 84-byte record, the
// driven car recorded every 200 ms of game time, and playback on any car
// with interpolation between records, a drifting clock and a loop that
// goes on from where the car first passed the replay's end point.
#include "vehicles/replays.h"

#include <algorithm>
#include <cmath>

#include "engine3d/matrix.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "vehicles/bytes.h"
#include "vehicles/drive.h"
#include "vehicles/physics.h"
#include "vehicles/vehicles.h"

namespace {

constexpr double kInv255 = 0.00392156862745098;
constexpr double kDriftReturn = 0.0001;  // DriftRate back toward 0, per ms
constexpr double kMinDriftRate = -0.2, kMaxDriftRate = 0.75;
constexpr const char* kHeaderOwner = "Replay for a car";
constexpr const char* kTableOwner = "SB_AllocMaxReplayTab";


TCAR* SimulatedCar(int32_t index) {
  if (!SB_IsValidCarIndex(index) || !SB_Var.Cars[index]) return nullptr;
  if (!SB_Hooks.IsCarSimulated || !SB_Hooks.IsCarSimulated(index)) return nullptr;
  return SB_Var.Cars[index];
}

double Millimetres(int32_t v) { return v * 0.001; }

// The 16-bit angle at base + d x f, d the short way round from base to to.
int32_t AngleStep(uint32_t baseField, uint32_t fromField, uint32_t toField, double f) {
  const int32_t base = static_cast<int32_t>(baseField << 6);
  const int32_t d = static_cast<int16_t>(static_cast<uint16_t>((toField << 6) - (fromField << 6)));
  return (base + SB_SaturateInt(d * f)) & 0xFFFF;
}

uint32_t Field(uint32_t packed, int32_t k) { return (packed >> (10 * k)) & 1023u; }

// Record r[i] to r[i + 1] at f: the car's pose, drive and sound words.
void PlaceBetween(TCAR* car, const TREPLAYREC& a, const TREPLAYREC& b, double f) {
  for (int32_t k = 0; k < 3; ++k)
    car->Position[k] = SB_Lerp(Millimetres(a.Position[k]), Millimetres(b.Position[k]), f);
  int32_t angles[3];
  SB_LerpAngles(a.Orientation, b.Orientation, f, angles);
  SB_SetOrientationFromAngles(car, angles);
  for (int32_t w = 0; w < SB_NBWHEELS; ++w) {
    car->Suspension[w] =
        SB_Lerp(SB_UnpackByte(a.Suspension[w], 0.2, 0.35), SB_UnpackByte(b.Suspension[w], 0.2, 0.35), f);
    car->WheelRoll[w] = SB_Lerp(a.WheelRoll[w], b.WheelRoll[w], f);
  }
  car->Speed = SB_Lerp(SB_UnpackByte(a.Speed, 0, 255), SB_UnpackByte(b.Speed, 0, 255), f);
  car->EngineSpeed = SB_Lerp(SB_UnpackByte(a.EngineSpeed, 0, SB_ENGINESPEEDRANGE),
                             SB_UnpackByte(b.EngineSpeed, 0, SB_ENGINESPEEDRANGE), f);
  car->Steering = SB_Lerp(SB_UnpackByte(a.Steering, -2.0, 4.0), SB_UnpackByte(b.Steering, -2.0, 4.0), f);
  car->MaxContactSpeed = SB_Lerp(SB_UnpackByte(a.ContactSpeed, 0, 10.0), SB_UnpackByte(b.ContactSpeed, 0, 10.0), f);
  for (int32_t k = 0; k < 3; ++k) {
    car->Velocity[k] = SB_Lerp(a.Velocity[k], b.Velocity[k], f);
    car->AngularVelocity[k] = SB_Lerp(a.AngularVelocity[k], b.AngularVelocity[k], f);
  }
  car->EngineVolume = SB_SaturateInt(SB_Lerp(a.EngineVolume, b.EngineVolume, f));
  car->EngineFrequency = SB_SaturateInt(SB_Lerp(a.EngineFrequency, b.EngineFrequency, f));
  car->SkidVolume = a.SkidVolume;
  car->SkidFrequency = a.SkidFrequency;
  car->ScrapeVolume = a.ScrapeVolume;
  car->ScrapeFrequency = a.ScrapeFrequency;
  car->AccelOn = a.Flags & 1;
  car->BrakeOn = (a.Flags >> 1) & 1;
  for (int32_t s = 0; s < SB_NBSURFACEFLAGS; ++s) car->SurfaceFlags[s] = (a.Flags >> (2 + s)) & 1;
  car->EngineStarted = 1;
}

// The record the loop goes on from: the first passage nearest the last
// record's position, the scan ending once the distance grows again.
int32_t LoopRecord(const TREPLAYREC* r, int32_t n) {
  const TREPLAYREC& last = r[n - 1];
  double best = 1e12;
  int32_t found = 0;
  for (int32_t j = 0; j < n - 1; ++j) {
    double d = 0.0;
    for (int32_t k = 0; k < 3; ++k) {
      const double delta = Millimetres(r[j].Position[k]) - Millimetres(last.Position[k]);
      d += delta * delta;
    }
    if (best < 1e12 && d > best + 1.0) break;
    if (d < best) {
      best = d;
      found = j;
    }
  }
  return found;
}

TREPLAY* NewReplay() { return static_cast<TREPLAY*>(SB_GetMem(sizeof(TREPLAY), kHeaderOwner)); }

// A recording header with its full table; null when either cannot be had.
TREPLAY* NewRecording() {
  TREPLAY* replay = NewReplay();
  if (!replay) return nullptr;
  SB_AllocMaxReplayTab(replay);
  if (replay->Records) return replay;
  SB_Release(replay);
  return nullptr;
}

void FreeRecording(TREPLAY*& replay) {
  if (!replay) return;
  SB_FreeReplayTab(replay);
  SB_Release(replay);
  replay = nullptr;
}

}  // namespace

uint8_t SB_PackByte(double v, double min, double range) {
  double x = (v - min) / range * 255.0;
  if (!(x > 0.0)) x = 0.0;  // NaN too
  if (x > 255.0) x = 255.0;
  return static_cast<uint8_t>(static_cast<int32_t>(x + 0.5));
}

double SB_UnpackByte(uint8_t b, double min, double range) { return b * kInv255 * range + min; }

uint32_t SB_PackOrientation(const TCAR* car) {
  uint32_t a, b, c;
  E3D_MatToAngles16(car->Orientation, &a, &b, &c);
  return ((a >> 6) & 1023u) | ((b >> 6) & 1023u) << 10 | ((c >> 6) & 1023u) << 20;
}

void SB_SetOrientationFromAngles(TCAR* car, const int32_t angles[3]) {
  E3D_MatFromAngles16(car->Orientation, angles[0], angles[1], angles[2]);
  for (int32_t r = 0; r < 3; ++r)
    for (int32_t c = 0; c < 3; ++c) car->InsetMatrix[r * 3 + c] = car->Orientation[c * 3 + r];
}

void SB_LerpAngles(uint32_t from, uint32_t to, double f, int32_t angles[3]) {
  for (int32_t k = 0; k < 3; ++k) angles[k] = AngleStep(Field(from, k), Field(from, k), Field(to, k), f);
}

void SB_ExtrapolateAngles(uint32_t from, uint32_t to, double t, int32_t angles[3]) {
  for (int32_t k = 0; k < 3; ++k) angles[k] = AngleStep(Field(to, k), Field(from, k), Field(to, k), t);
}

void SB_WriteReplayRec(const TREPLAYREC& r, uint8_t* out) {
  SB_PutLong(out, r.Time);
  for (int32_t k = 0; k < 3; ++k) SB_PutLong(out + 4 + 4 * k, static_cast<uint32_t>(r.Position[k]));
  SB_PutLong(out + 16, r.Orientation);
  const uint16_t words[6] = {static_cast<uint16_t>(r.EngineVolume), static_cast<uint16_t>(r.SkidVolume),
                             static_cast<uint16_t>(r.ScrapeVolume), r.EngineFrequency, r.SkidFrequency,
                             r.ScrapeFrequency};
  for (int32_t k = 0; k < 6; ++k) SB_PutWord(out + 20 + 2 * k, words[k]);
  out[32] = r.Speed;
  out[33] = r.EngineSpeed;
  out[34] = r.Steering;
  out[35] = r.ContactSpeed;
  for (int32_t w = 0; w < SB_NBWHEELS; ++w) out[36 + w] = r.Suspension[w];
  SB_PutFloats(out + 40, r.WheelRoll, SB_NBWHEELS);
  SB_PutFloats(out + 56, r.Velocity, 3);
  SB_PutFloats(out + 68, r.AngularVelocity, 3);
  out[80] = r.Flags;
  out[81] = out[82] = out[83] = 0;
}

void SB_ReadReplayRec(const uint8_t* in, TREPLAYREC* r) {
  *r = TREPLAYREC{};
  r->Time = SB_GetLong(in);
  for (int32_t k = 0; k < 3; ++k) r->Position[k] = static_cast<int32_t>(SB_GetLong(in + 4 + 4 * k));
  r->Orientation = SB_GetLong(in + 16);
  r->EngineVolume = static_cast<int16_t>(SB_GetWord(in + 20));
  r->SkidVolume = static_cast<int16_t>(SB_GetWord(in + 22));
  r->ScrapeVolume = static_cast<int16_t>(SB_GetWord(in + 24));
  r->EngineFrequency = SB_GetWord(in + 26);
  r->SkidFrequency = SB_GetWord(in + 28);
  r->ScrapeFrequency = SB_GetWord(in + 30);
  r->Speed = in[32];
  r->EngineSpeed = in[33];
  r->Steering = in[34];
  r->ContactSpeed = in[35];
  for (int32_t w = 0; w < SB_NBWHEELS; ++w) r->Suspension[w] = in[36 + w];
  SB_GetFloats(in + 40, r->WheelRoll, SB_NBWHEELS);
  SB_GetFloats(in + 56, r->Velocity, 3);
  SB_GetFloats(in + 68, r->AngularVelocity, 3);
  r->Flags = in[80];
}

void SB_RecordCarState(int32_t index, TREPLAY* replay) {
  if (!replay || !replay->Records || replay->RecordCount >= SB_MAXREPLAYRECORDS) return;
  if (!SB_IsValidCarIndex(index) || !SB_Var.Cars[index]) return;
  const TCAR* car = SB_Var.Cars[index];
  TREPLAYREC& r = replay->Records[replay->RecordCount];
  r = TREPLAYREC{};
  const int64_t since = static_cast<int64_t>(SB_Var.Time) - SB_Var.RecordStart;
  r.Time = static_cast<uint32_t>(std::max<int64_t>(since, 0));
  for (int32_t k = 0; k < 3; ++k) r.Position[k] = SB_SaturateInt(car->Position[k] * 1000.0);
  r.Orientation = SB_PackOrientation(car);
  r.EngineVolume = SB_SaturateShort(car->EngineVolume);
  r.SkidVolume = SB_SaturateShort(car->SkidVolume);
  r.ScrapeVolume = SB_SaturateShort(car->ScrapeVolume);
  r.EngineFrequency = SB_SaturateWord(car->EngineFrequency);
  r.SkidFrequency = SB_SaturateWord(car->SkidFrequency);
  r.ScrapeFrequency = SB_SaturateWord(car->ScrapeFrequency);
  r.Speed = SB_PackByte(car->Speed, 0, 255);
  r.EngineSpeed = SB_PackByte(car->EngineSpeed, 0, SB_ENGINESPEEDRANGE);
  r.Steering = SB_PackByte(car->Steering, -2.0, 4.0);
  r.ContactSpeed = SB_PackByte(car->MaxContactSpeed, 0, 10.0);
  for (int32_t w = 0; w < SB_NBWHEELS; ++w) {
    r.Suspension[w] = SB_PackByte(car->Suspension[w], 0.2, 0.35);
    r.WheelRoll[w] = static_cast<float>(car->WheelRoll[w]);
  }
  for (int32_t k = 0; k < 3; ++k) {
    r.Velocity[k] = static_cast<float>(car->Velocity[k]);
    r.AngularVelocity[k] = static_cast<float>(car->AngularVelocity[k]);
  }
  uint8_t flags = (car->AccelOn ? 1 : 0) | (car->BrakeOn ? 2 : 0) | (car->EngineStarted ? 128 : 0);
  for (int32_t s = 0; s < SB_NBSURFACEFLAGS; ++s)
    if (car->SurfaceFlags[s]) flags |= static_cast<uint8_t>(4 << s);
  r.Flags = flags;
  ++replay->RecordCount;
}

__attribute__((weak)) void SB_RecordTick(int32_t index) {
  if (!SimulatedCar(index)) return;
  const int64_t due = static_cast<int64_t>(SB_Var.Time) - SB_Var.RecordClock;
  if (due <= SB_REPLAYSTEP) return;
  SB_RecordCarState(index, SB_Var.LocalReplay);
  if (SB_Var.CourseReplays == 1) SB_RecordCarState(index, SB_Var.CarRecordings[index]);
  // The clock stays on its 200 ms grid: as many steps as leave at most 200 owed.
  SB_Var.RecordClock += static_cast<uint32_t>((due - 1) / SB_REPLAYSTEP * SB_REPLAYSTEP);
}

void SB_PlaceCarFromReplay(int32_t index, TREPLAY* replay, int32_t time) {
  if (!replay || !SB_IsValidCarIndex(index) || !SB_Var.Cars[index]) return;
  const int32_t n = replay->LoadedCount;
  const TREPLAYREC* r = replay->Records;
  if (n < 2 || !r) return;  // a single record has nowhere to go
  const int64_t t = static_cast<int64_t>(replay->StartTime) + (static_cast<int64_t>(time) - replay->ClockBase);
  if (t < r[0].Time) return;
  for (int32_t i = 0; i < n - 1; ++i) {
    if (r[i].Time <= t && t < r[i + 1].Time) {
      const double f = static_cast<double>(t - r[i].Time) / static_cast<double>(r[i + 1].Time - r[i].Time);
      PlaceBetween(SB_Var.Cars[index], r[i], r[i + 1], f);
      return;
    }
  }
  const int32_t j = LoopRecord(r, n);
  const int64_t base = static_cast<int64_t>(time) - r[j].Time + replay->StartTime;
  replay->ClockBase = SB_SaturateInt(static_cast<double>(base));
}

__attribute__((weak)) void SB_PlayReplayTick(int32_t index, int32_t time, int32_t elapsed) {
  if (!SB_IsValidCarIndex(index)) return;
  TREPLAY* replay = SB_Var.CarReplays[index];
  if (!replay) return;
  const double back = elapsed * kDriftReturn;
  if (replay->DriftRate >= 0.0)
    replay->DriftRate = std::max(replay->DriftRate - back, 0.0);
  else
    replay->DriftRate = std::min(replay->DriftRate + back, 0.0);
  replay->DriftRate = std::clamp(replay->DriftRate, kMinDriftRate, kMaxDriftRate);
  replay->Drift -= elapsed * replay->DriftRate;
  const double at = static_cast<double>(time) + SB_SaturateInt(replay->Drift);
  SB_PlaceCarFromReplay(index, replay, SB_SaturateInt(at));
}

__attribute__((weak)) int32_t SB_IsCarReplayPlaying(int32_t index) {
  return SB_IsValidCarIndex(index) && SB_Var.CarReplays[index] ? 1 : 0;
}

__attribute__((weak)) void SB_ResetReplayClocks() {
  const int32_t now = static_cast<int32_t>(SB_Var.Time);
  for (TREPLAY* replay : SB_Var.CarReplays) {
    if (!replay) continue;
    replay->ClockBase = now;
    replay->Drift = replay->DriftRate = 0.0;
    replay->RecordCount = 0;
  }
  if (SB_Var.LocalReplay) SB_Var.LocalReplay->RecordCount = 0;
  for (TREPLAY* recording : SB_Var.CarRecordings)
    if (recording) recording->RecordCount = 0;
  SB_Var.RecordStart = SB_Var.RecordClock = SB_Var.Time;
}

void SB_AllocMaxReplayTab(TREPLAY* replay) {
  if (!replay) return;
  replay->Records =
      static_cast<TREPLAYREC*>(SB_GetMem(SB_MAXREPLAYRECORDS * static_cast<int32_t>(sizeof(TREPLAYREC)), kTableOwner));
}

void SB_FreeReplayTab(TREPLAY* replay) {
  if (!replay || !replay->Records) return;
  SB_Release(replay->Records);
  replay->Records = nullptr;
}

__attribute__((weak)) void SB_AllocLocalReplay() {
  if (!SB_Var.LocalReplay) SB_Var.LocalReplay = NewRecording();
}

__attribute__((weak)) void SB_FreeLocalReplay() { FreeRecording(SB_Var.LocalReplay); }

__attribute__((weak)) void SB_AllocCarsReplays() {
  if (SB_Var.CourseReplays != 1) return;
  const int32_t cars = std::min(SB_Var.NbCars, SB_MAXCARS);
  for (int32_t i = 0; i < cars; ++i)
    if (!SB_Var.CarRecordings[i]) SB_Var.CarRecordings[i] = NewRecording();
}

__attribute__((weak)) void SB_FreeCarsReplays() {
  for (TREPLAY*& recording : SB_Var.CarRecordings) FreeRecording(recording);
}

__attribute__((weak)) void SB_ClearCarReplaySlots() {
  for (TREPLAY*& replay : SB_Var.CarReplays) replay = nullptr;
}
