// The guard of calls that must not run while a bitmap is locked, and a row
// per guarded call outside the sound calls (whose table is in the sound
// tests).
#include <gtest/gtest.h>

#include <functional>

#include "platform/joystick.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/input.h"
#include "system/graphic.h"
#include "system/lsvar.h"
#include "tests/support/testenv.h"

namespace {

class LockGuardTest : public ztest::LibraryTest {
 protected:
  void TearDown() override {
    LS_BmapLockCount = 0;
    LibraryTest::TearDown();
  }
};

TEST_F(LockGuardTest, RefusesWithErrorEightAndTheCallersName) {
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  EXPECT_EQ(LSI_RefuseWhileLocked("PlaySound"), 0);
  EXPECT_EQ(LS_GetLastError(), 0u);
  LS_BmapLockCount = 1;
  EXPECT_EQ(LSI_RefuseWhileLocked("PlaySound"), 1);
  EXPECT_EQ(LS_GetLastError(), 8u);
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(ztest::ExitCodeOf([] { LSI_RefuseWhileLocked("LSYS_GetJoyPos"); }), 1);
  EXPECT_EQ(Boxes().back(),
            "LS_ERROR: 8           Bmap Error !\nCannot execute function (LSYS_GetJoyPos) while bmap locked \n");
}

TEST_F(LockGuardTest, GuardedCalls) {
  StartLibrary();
  plat::PlugJoystick(0, plat::JoyCaps{});
  LSI_InitJoy();
  LS_SetErrorMode(LS_ERRMODE_LOG);
  LS_BmapLockCount = 1;
  const std::pair<const char*, std::function<void()>> calls[] = {
      {"LSYS_GetJoyPos", [] {
         JOYPOS p{};
         EXPECT_EQ(LSYS_GetJoyPos(1, &p), 0);
       }},
      {"LSYS_SetVideoMode", [] {
         LSYS_SetVideoMode(640, 480, 16, 1);
         EXPECT_EQ(LS_Var.Screen, nullptr);
       }},
  };
  for (const auto& [name, call] : calls) {
    call();
    EXPECT_EQ(Logged(std::string("(") + name + ") while bmap locked"), 1) << name;
  }
}

}  // namespace
