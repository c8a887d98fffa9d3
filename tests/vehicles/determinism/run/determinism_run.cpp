// The determinism tests' program, run by them in processes of their own.
//
//   determinism_run drive <data tree> <out folder> <seed>
//     drives the default car round the default circuit with the scripted
//     driver for 90 s of game time at seeded frame times of 5 to 50 ms, and
//     writes the replay "DRIVE.REP" and "STATES.BIN": the bytes of a frame's
//     entry, then per frame its length, the game time and the driven car's
//     state.
//   determinism_run play <folder> <seed>
//     loads <folder>/DRIVE.REP on a car, writes "PLACED.BIN" (the car's
//     position placed at each record's time but the last) and
//     "PLAYBACK.BIN" (the bytes of a frame's entry, then per frame its
//     length and the placed state after the playback tick, at seeded frame
//     times once through the replay and on into its loop).
//
// The states are the cars' fields as bits, little-endian; exit code 0 when
// the run got through.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "datagen/circuitdrive.h"
#include "shell/sbvar.h"
#include "vehicles/physics.h"
#include "vehicles/replays.h"
#include "vehicles/vehicles.h"

namespace {

constexpr int32_t kDriveMs = 90000;
constexpr int32_t kPlayExtraMs = 20000;  // beyond the replay's end, into the loop

// Seeded frame lengths of 5 to 50 ms.
class FrameTimes {
 public:
  explicit FrameTimes(uint32_t seed) : state_(seed) {}
  uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return 5 + (state_ >> 16) % 46;
  }

 private:
  uint32_t state_;
};

class Bits {
 public:
  void U32(uint32_t v) {
    for (int32_t i = 0; i < 4; ++i) bytes_.push_back(static_cast<char>(v >> (8 * i)));
  }
  void I32(const int32_t* v, int32_t n) {
    for (int32_t i = 0; i < n; ++i) U32(static_cast<uint32_t>(v[i]));
  }
  void F64(const double* v, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
      uint64_t u;
      std::memcpy(&u, &v[i], sizeof u);
      U32(static_cast<uint32_t>(u));
      U32(static_cast<uint32_t>(u >> 32));
    }
  }
  void Vectors(const TVECTOR* v, int32_t n) {
    for (int32_t i = 0; i < n; ++i) F64(&v[i].x, 1), F64(&v[i].y, 1), F64(&v[i].z, 1);
  }
  void Bytes(const uint8_t* v, int32_t n) { bytes_.append(reinterpret_cast<const char*>(v), static_cast<size_t>(n)); }
  size_t Size() const { return bytes_.size(); }
  // The file: the size of one frame's entry, then the entries.
  bool WriteFrames(const std::string& path, size_t frameBytes) const {
    Bits head;
    head.U32(static_cast<uint32_t>(frameBytes));
    head.bytes_ += bytes_;
    return head.Write(path);
  }
  bool Write(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(out.write(bytes_.data(), static_cast<std::streamsize>(bytes_.size())).flush());
  }

 private:
  std::string bytes_;
};

// Every field the physics, the controls, the race rules or a replay
// placement moves.
void CarBits(const TCAR& c, Bits* out) {
  const int32_t words[] = {c.EngineStarted, c.CenterLineIndex, c.Sector,       c.Laps,          c.Gear,
                           c.PrevGear,      c.AutomaticGears,  c.GearDelay,    c.SkidVolume,    c.SkidFrequency,
                           c.ScrapeVolume,  c.ScrapeFrequency, c.EngineVolume, c.EngineFrequency};
  out->I32(words, static_cast<int32_t>(std::size(words)));
  out->I32(c.SurfaceFlags, SB_NBSURFACEFLAGS);
  const uint8_t keys[] = {c.HandBrake, c.GearUp, c.GearDown, c.AccelOn, c.BrakeOn, c.LeftOn, c.RightOn};
  out->Bytes(keys, static_cast<int32_t>(std::size(keys)));
  const double values[] = {c.Distance,    c.RaceClock,       c.LeftAmount,    c.RightAmount,  c.AccelAmount,
                           c.BrakeAmount, c.EngineSpeed,     c.Speed,         c.Steering,     c.DragDivisor,
                           c.SteerAngle,  c.TotalRatio,      c.Injection,     c.EngineStartTimer,
                           c.EngineTorque, c.SkidTimer,      c.MaxContactSpeed};
  out->F64(values, static_cast<int32_t>(std::size(values)));
  out->F64(c.Position, 3);
  out->F64(c.Velocity, 3);
  out->F64(c.Orientation, 9);
  out->F64(c.InsetMatrix, 9);
  out->F64(c.AngularVelocity, 3);
  out->F64(c.Force, 3);
  out->F64(c.Torque, 3);
  out->F64(c.Suspension, SB_NBWHEELS);
  out->F64(c.WheelRoll, SB_NBWHEELS);
  out->F64(c.WheelSpeeds, SB_NBWHEELS);
  out->F64(c.Slips, SB_NBWHEELS);
  out->F64(c.Deformations, SB_NBGROUNDPOINTS);
  out->Vectors(c.WheelHeadings, SB_NBWHEELS);
  out->Vectors(c.WheelGroundVelocities, SB_NBWHEELS);
}

int Drive(const std::string& tree, const std::string& folder, uint32_t seed) {
  datagen::TreeLibrary library(tree, 64u << 20, folder);
  std::string error;
  datagen::CircuitDrive drive;
  if (!library.Started() || !drive.Start(&error)) {
    std::fprintf(stderr, "determinism_run: %s\n", error.c_str());
    return 1;
  }
  FrameTimes times(seed);
  Bits states;
  size_t frameBytes = 0;
  const uint32_t start = SB_Var.Time;
  while (SB_Var.Time - start < static_cast<uint32_t>(kDriveMs)) {
    const uint32_t ms = times.Next();
    drive.Frame(ms);
    const size_t before = states.Size();
    states.U32(ms);
    states.U32(SB_Var.Time);
    CarBits(drive.Car(), &states);
    frameBytes = states.Size() - before;
  }
  const int32_t records = SB_Var.LocalReplay ? SB_Var.LocalReplay->RecordCount : 0;
  std::printf("%d records, %d laps, centre-line point %d\n", static_cast<int>(records),
              static_cast<int>(drive.Car().Laps), static_cast<int>(drive.Car().CenterLineIndex));
  if (SB_SaveCarReplay("D:>DRIVE.REP") != 1 || !states.WriteFrames(folder + "/STATES.BIN", frameBytes)) {
    std::fprintf(stderr, "determinism_run: cannot write into %s\n", folder.c_str());
    return 1;
  }
  return 0;
}

int Play(const std::string& folder, uint32_t seed) {
  datagen::TreeLibrary library(folder, 16u << 20);
  TCAR car{};
  SB_Var.Cars[0] = &car;
  SB_Var.NbCars = 1;
  SB_Var.UsingCars = 1;
  if (!library.Started() || SB_LoadCarReplay("DRIVE.REP", 0, 0) != 1) {
    std::fprintf(stderr, "determinism_run: cannot load %s/DRIVE.REP\n", folder.c_str());
    return 1;
  }
  TREPLAY* replay = SB_Var.CarReplays[0];
  if (!replay || replay->LoadedCount < 2) {
    std::fprintf(stderr, "determinism_run: %s/DRIVE.REP holds fewer than two records\n", folder.c_str());
    return 1;
  }
  Bits placed, playback;
  for (int32_t i = 0; i + 1 < replay->LoadedCount; ++i) {
    const int64_t at = static_cast<int64_t>(replay->ClockBase) + replay->Records[i].Time - replay->StartTime;
    SB_PlaceCarFromReplay(0, replay, static_cast<int32_t>(at));
    placed.F64(car.Position, 3);
  }
  SB_ResetReplayClocks();
  FrameTimes times(seed);
  size_t frameBytes = 0;
  const int64_t end = static_cast<int64_t>(SB_Var.Time) + replay->Records[replay->LoadedCount - 1].Time + kPlayExtraMs;
  for (int64_t time = SB_Var.Time; time < end;) {
    const uint32_t ms = times.Next();
    time += ms;
    SB_PlayReplayTick(0, static_cast<int32_t>(time), static_cast<int32_t>(ms));
    const size_t before = playback.Size();
    playback.U32(ms);
    CarBits(car, &playback);
    frameBytes = playback.Size() - before;
  }
  SB_FreeAllCarReplays();
  SB_Var.Cars[0] = nullptr;
  if (!placed.Write(folder + "/PLACED.BIN") || !playback.WriteFrames(folder + "/PLAYBACK.BIN", frameBytes)) {
    std::fprintf(stderr, "determinism_run: cannot write into %s\n", folder.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "drive" && argc == 5) return Drive(argv[2], argv[3], static_cast<uint32_t>(std::stoul(argv[4])));
  if (mode == "play" && argc == 4) return Play(argv[2], static_cast<uint32_t>(std::stoul(argv[3])));
  std::fprintf(stderr,
               "usage: determinism_run drive <data tree> <out folder> <seed>\n"
               "       determinism_run play <folder> <seed>\n");
  return 2;
}
