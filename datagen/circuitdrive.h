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
  // One race frame of ms milliseconds: the clock, the driver's stick (which
  // adjust, when given, may change), the sequencer, the lap counters and
  // the car update (physics, recording).
  void Frame(uint32_t ms, const std::function<void(DriverInput&)>& adjust = {});
  // Frees the car, the prototypes, the centre line and the map.
  void Stop();

  TCAR& Car() const { return *SB_Var.Cars[0]; }
  ScriptedDriver& Driver() { return driver_; }

 private:
  ScriptedDriver driver_;
  bool started_ = false;
};

// The attract replay: the default car from the grid until it has finished
// its first lap, recorded and written as a replay file at path (a logical
// name such as "SA0.REP"). False, with the reason in *error, on failure.
bool RecordAttractReplay(const char* path, std::string* error);

}  // namespace datagen
