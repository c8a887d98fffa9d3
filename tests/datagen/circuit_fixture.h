// The library started on a copy of the build's data tree, with datagen's
// drive of the default circuit, for the tests of what datagen drove on it
// (the attract replay, the opponents' lap replays).
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "datagen/circuitdrive.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "tests/support/testenv.h"

namespace ztest {

class CircuitDriveTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    std::filesystem::copy(std::filesystem::path(ZENTROVA_EXE).parent_path() / "data", root_,
                          std::filesystem::copy_options::recursive);
    StartLibrary(64u << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
  }
  void TearDown() override {
    drive_.Stop();
    LibraryTest::TearDown();
  }
  // Metres from p to the nearest point of the centre line.
  static double OffLine(const double p[3]) {
    double best = 1e300;
    for (int32_t i = 0; i < SB_Var.NbBsplinePoints; ++i) {
      const TVECTOR& c = SB_Var.BsplinePoints[i];
      best = std::min(best, std::hypot(c.x - p[0], c.z - p[2]));
    }
    return best;
  }
  datagen::CircuitDrive drive_;
};

}  // namespace ztest
