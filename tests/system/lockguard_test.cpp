// The guard of calls that must not run while a bitmap is locked.
#include <gtest/gtest.h>

#include "system/bmap.h"
#include "system/error.h"
#include "tests/support/testenv.h"

namespace {

class LockGuardTest : public ztest::Environment {
 protected:
  void TearDown() override {
    LS_BmapLockCount = 0;
    Environment::TearDown();
  }
};

TEST_F(LockGuardTest, PassesWhileNothingIsLocked) {
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  EXPECT_EQ(LSI_RefuseWhileLocked("PlaySound"), 0);
  EXPECT_EQ(LS_GetLastError(), 0u);
}

TEST_F(LockGuardTest, RefusesWithErrorEightAndTheCallersName) {
  LS_BmapLockCount = 1;
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  EXPECT_EQ(LSI_RefuseWhileLocked("PlaySound"), 1);
  EXPECT_EQ(LS_GetLastError(), 8u);
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(ztest::ExitCodeOf([] { LSI_RefuseWhileLocked("LSYS_GetJoyPos"); }), 1);
  EXPECT_EQ(Boxes().back(),
            "LS_ERROR: 8           Bmap Error !\nCannot execute function (LSYS_GetJoyPos) while bmap locked \n");
}

}  // namespace
