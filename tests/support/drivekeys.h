// Input-script keys that drive the player's car of a race on the default
// circuit on the real clock, as a player could: accelerate and gear up
// pressed afresh so that the engine starts whenever "GO" comes, and Left
// tapped in every period with accelerate held, which takes the car round
// the oval along its walls in about a minute.
#pragma once
#include <string>

namespace ztest {

// `periods` periods of `period` ms. Round the oval: from the `steerFrom`-th
// period on (once the car has left the grid; steered from a standing start
// at a high frame rate it spins), Left tapped for 100 ms in each;
// accelerate held, released for 20 ms with gear up pressed in each of the
// first `fresh`. Else accelerate and gear up pressed for 60 ms in each:
// the car creeps along the start's straight. The window is dumped to
// <dumps>/dump<k>.tga at every `dumpEvery`-th period from the 12th on, and
// to <dumps>/final.tga after the last.
inline std::string DriveKeys(bool round, int period, int periods, int fresh, int steerFrom, int dumpEvery,
                             const std::string& dumps) {
  std::string keys;
  for (int k = 0, dumped = 0; k < periods; ++k) {
    const std::string wait = std::to_string(period - 100) + "ms ";
    if (!round)
      keys += std::to_string(period - 60) + "ms 16 down\n0 65 down\n60ms 16 up\n0 65 up\n";
    else if (k < steerFrom)
      keys += wait + "16 up\n0 65 down\n20ms 16 down\n80ms 65 up\n";
    else if (k < fresh)
      keys += wait + "37 down\n0 16 up\n0 65 down\n20ms 16 down\n0 65 up\n80ms 37 up\n";
    else
      keys += wait + "37 down\n100ms 37 up\n";
    if (k >= 12 && (k - 12) % dumpEvery == 0) keys += "0 dump " + dumps + "/dump" + std::to_string(dumped++) + ".tga\n";
  }
  return keys + "0 dump " + dumps + "/final.tga\n500ms 16 up\n";
}

}  // namespace ztest
