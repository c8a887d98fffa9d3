// The default car driven round the default circuit by the scripted driver,
// through the race-phase sequencer of an offline race on the manual clock,
// the driven car recorded into the local replay: how datagen records the
// attract replay, and what the tests and benchmarks drive.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "datagen/scripteddriver.h"
#include "vehicles/types.h"

namespace datagen {

// The library started headless over the data tree at root (drive C:; the
// user's configuration in a folder of its own that is removed at the end),
// on the manual clock from 0, with the game's hooks and fresh globals; a
// writable folder, when given, is drive D:.
class TreeLibrary {
 public:
  TreeLibrary(const std::string& root, uint32_t heapBytes, const std::string& writable = "");
  ~TreeLibrary();
  TreeLibrary(const TreeLibrary&) = delete;
  TreeLibrary& operator=(const TreeLibrary&) = delete;
  bool Started() const { return started_; }

 private:
  std::string config_;
  bool started_ = false;
};

// Joystick 1 plugged with axes of 0..1000, at x, y (-1..1) and buttons.
void SetStick(double x, double y, uint32_t buttons);

class CircuitDrive {
 public:
  CircuitDrive() = default;
  ~CircuitDrive() { Stop(); }
  CircuitDrive(const CircuitDrive&) = delete;
  CircuitDrive& operator=(const CircuitDrive&) = delete;

  // Installs a map of its own with its centre line and start slots in
  // place of the circuit's; false, with the reason in *error, on failure.
  using MapLoader = std::function<bool(std::string* error)>;

  // The circuit's map, centre line and map information (or the loader's
  // map) and the prototypes from drive C:, then one car of the default
  // prototype on the grid of an offline race at its first step, the game
  // clock, the replay clocks and the local recording started. False, with
  // the reason in *error, when a part is missing.
  bool Start(std::string* error, const MapLoader& loader = {});
  // The grid place the car starts from (0 the pole, the default), for the
  // next Start.
  void SetGridPlace(int32_t place) { gridPlace_ = place; }
  // The number of cars of the next Start (1 to SB_MAXCARS, 1 the default):
  // car 0 is driven, the others stand on the grid unless a replay is
  // loaded on them.
  void SetCars(int32_t cars) { cars_ = cars; }
  // One car more, of the default prototype, standing on the pole through
  // the drive, for the next Start: what a driven car from a place behind
  // finds there in a race.
  void SetPoleCar(bool standing) { poleCar_ = standing; }
  // One race frame of ms milliseconds: the clock, the driver's stick (which
  // adjust, when given, may change), the sequencer, the lap counters and
  // the car update (physics, recording).
  void Frame(uint32_t ms, const std::function<void(DriverInput&)>& adjust = {});
  // Frees the car, the prototypes, the centre line and the map.
  void Stop();

  TCAR& Car() const { return *SB_Var.Cars[0]; }
  ScriptedDriver& Driver() { return driver_; }

 private:
  void MoveToGridPlace(int32_t place);
  void KeepPoleCar();

  ScriptedDriver driver_;
  bool started_ = false;
  int32_t gridPlace_ = 0;
  int32_t cars_ = 1;
  bool poleCar_ = false;
  TCAR pole_{};  // the pose of the pole, for the car standing there
};

// A lap replay: the default car from a grid place until it has finished
// its first lap and is past its grid place again (so that the replay's
// loop goes on racing), driven by the scripted driver at its paces on its
// line, recorded and written as a replay file at path (a logical name such
// as "SA0.REP"). From a place behind, a car stands on the pole, as the
// player's car may when the replay races it, and the driver passes it.
// False, with the reason in *error, on failure.
struct LapReplay {
  const char* path;
  int32_t gridPlace;
  double straightSpeed, bendSpeed, lineOffset;
};
bool RecordLapReplay(const LapReplay& lap, std::string* error);

// The attract replay "SA0.REP" from the pole, and the opponents' replays
// of the race of four cars ("SA1.REP" to "SA3.REP", the race script "GAME"
// loads them on cars 1 to 3): each from its own grid place behind, on a
// line and at paces of its own.
extern const LapReplay kAttractReplay;
extern const LapReplay kOpponentReplays[3];

}  // namespace datagen
