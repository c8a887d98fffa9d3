// Fixture of the replay and car-state tests: a started library with drive
// C: for replay files, a few upright cars at rest, the driven car's
// recording made, and what the network fakes saw; nothing may be left
// allocated at the end.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "tests/support/testenv.h"
#include "vehicles/devenv.h"
#include "vehicles/physics.h"
#include "vehicles/replays.h"
#include "vehicles/vehicles.h"

namespace ztest {

// Messages the network fake was asked to send, and the player order it
// answers.
inline std::vector<std::string> g_sent;
inline int32_t g_playerOrder = 0;
inline bool g_replaySimulated[SB_MAXCARS];

class ReplayTest : public LibraryTest {
 protected:
  TCAR cars_[SB_MAXCARS] = {};
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(8 << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    g_sent.clear();
    g_playerOrder = 0;
    for (bool& s : g_replaySimulated) s = true;
    SB_Hooks.IsCarSimulated = [](int32_t car) {
      return car >= 0 && car < SB_MAXCARS && g_replaySimulated[car] ? 1 : 0;
    };
    for (int32_t i = 0; i < SB_MAXCARS; ++i) {
      SB_InitRigidBody(&cars_[i], 2.1, 0.65, 4.6, 1000.0);
      SB_Var.Cars[i] = &cars_[i];
    }
    SB_Var.NbCars = 4;
    SB_Var.DrivenCar = 0;
    SB_AllocLocalReplay();
    ASSERT_NE(SB_Var.LocalReplay, nullptr);
    SB_ClearPrintedLines();
  }
  void TearDown() override {
    SB_FreeAllCarReplays();
    SB_FreeCarsReplays();
    SB_FreeLocalReplay();
    EXPECT_EQ(SB_Var.NbMemOwners, 0) << "blocks left";
    SB_Hooks = SB_HOOKS{};
    LibraryTest::TearDown();
  }
  TCAR& Car(int32_t i) { return cars_[i]; }
  static std::vector<std::string> Printed() { return SB_PrintedLines(); }
};

}  // namespace ztest
