// Fixture of the controls and race set-up tests: a started library with
// drive C:, a car table of zero-filled records, the race step and the
// simulated cars under the test's control, and what the recording fakes of
// the car sounds and brake lights saw.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/joystick.h"
#include "platform/window.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/input.h"
#include "tests/support/testenv.h"
#include "vehicles/controls.h"
#include "vehicles/types.h"
#include "vehicles/vehicles.h"
#include "vehicles/vparams.h"

namespace ztest {

inline std::vector<std::string> g_setupCalls;
inline std::function<void(const char*)> g_onCall;  // sees each recorded call
inline int32_t g_gameStep = 15;
inline bool g_replaying[SB_MAXCARS];

inline std::function<void(int32_t)> g_perStep;  // after each physics step of the driven car

// Joystick id (0 or 1) plugged with axes of 0..1000, at x, y (-1..1 and
// beyond).
inline void Stick(int32_t id, double x, double y, uint32_t buttons = 0) {
  plat::JoyCaps caps;
  caps.xMax = caps.yMax = 1000;
  caps.buttons = 4;
  plat::PlugJoystick(id, caps);
  plat::SetJoystickPosition(id, {static_cast<uint32_t>((x + 1) * 500 + 0.5),
                                 static_cast<uint32_t>((y + 1) * 500 + 0.5), buttons});
  LSI_InitJoy();
}

class SetupTest : public LibraryTest {
 protected:
  TCAR cars_[SB_MAXCARS] = {};
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(4 << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    g_setupCalls.clear();
    g_onCall = nullptr;
    g_gameStep = 15;
    for (bool& r : g_replaying) r = false;
    SB_Hooks.GetGameStep = [] { return g_gameStep; };
    SB_Hooks.IsCarSimulated = [](int32_t) { return 1; };
    SB_ClearPrintedLines();
    plat::ResetJoysticks();
    LSI_InitJoy();
  }
  void TearDown() override {
    for (TCAR*& car : SB_Var.Cars) car = nullptr;
    SB_Hooks = SB_HOOKS{};
    LibraryTest::TearDown();
  }
  void MakeCars(int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
      cars_[i] = TCAR{};
      SB_Var.Cars[i] = &cars_[i];
    }
    SB_Var.NbCars = n;
    SB_Var.UsingCars = 1;
    SB_Var.DrivenCar = 0;
  }
  void WriteVParams(const std::string& text) { WriteFile(root_ + "/DAT/VPARAMS.TXT", text); }
};

}  // namespace ztest
