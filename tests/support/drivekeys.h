// Input-script keys that drive the player's car of a race on the default
// circuit, as a player could: accelerate and gear up pressed afresh so
// that the engine starts whenever "GO" comes, and Left tapped in every
// period with accelerate held, which takes the car round the oval along
// its walls in about a minute; and the race parameters a test's copy of
// the data tree races with.
#pragma once
#include <map>
#include <sstream>
#include <string>

#include "tests/support/testenv.h"

namespace ztest {

// `periods` periods of `period` ms. Round the oval: from the `steerFrom`-th
// period on (once the car has left the grid; steered from a standing start
// at a high frame rate it spins), Left tapped for `tap` ms in each;
// accelerate held, released for 20 ms with gear up pressed in each of the
// first `fresh`. Else accelerate and gear up pressed for 60 ms in each:
// the car creeps along the start's straight. The window is dumped to
// <dumps>/dump<k>.tga at every `dumpEvery`-th period from the 12th on, and
// to <dumps>/final.tga after the last.
inline std::string DriveKeys(bool round, int period, int periods, int fresh, int steerFrom, int dumpEvery,
                             const std::string& dumps, int tap = 100) {
  std::string keys;
  for (int k = 0, dumped = 0; k < periods; ++k) {
    const std::string wait = std::to_string(period - 100) + "ms ";
    if (!round)
      keys += std::to_string(period - 60) + "ms 16 down\n0 65 down\n60ms 16 up\n0 65 up\n";
    else if (k < steerFrom)
      keys += wait + "16 up\n0 65 down\n20ms 16 down\n80ms 65 up\n";
    else if (k < fresh)
      keys += wait + "37 down\n0 16 up\n0 65 down\n20ms 16 down\n0 65 up\n" + std::to_string(tap - 20) + "ms 37 up\n";
    else
      keys += std::to_string(period - tap) + "ms 37 down\n" + std::to_string(tap) + "ms 37 up\n";
    if (k >= 12 && (k - 12) % dumpEvery == 0) keys += "0 dump " + dumps + "/dump" + std::to_string(dumped++) + ".tga\n";
  }
  return keys + "0 dump " + dumps + "/final.tga\n500ms 16 up\n";
}

// The start of a race: accelerate tapped twice, so that one of the taps
// chooses the automatic gearbox whenever the choice comes.
constexpr const char* kChooseTheGearbox = "300 16 down\n10 16 up\n500ms 16 down\n10 16 up\n";
// Esc and F1, which leave the race.
constexpr const char* kLeaveTheRace = "0 27 down\n2 27 up\n3 112 down\n5 112 up\n";

// The tree's race parameters with the lines' keys given the values asked
// (the other lines kept).
inline void SetRaceKeys(const std::string& tree, const std::map<std::string, std::string>& keys) {
  std::istringstream in(ReadFile(tree + "/txt/netrace.txt"));
  std::string text;
  for (std::string line; std::getline(in, line);) {
    for (const auto& [key, value] : keys)
      if (line.rfind(key + ":", 0) == 0) line = key + ": " + value;
    text += line + "\n";
  }
  WriteFile(tree + "/txt/netrace.txt", text);
}

}  // namespace ztest
