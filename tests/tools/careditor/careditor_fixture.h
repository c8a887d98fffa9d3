// What the car editors' tests share: the editors' pictures written into
// the data folder by datagen's own drawing, nine vehicle setups, the
// console's picture and palette, the mouse on, and a hook run after each
// editor pass (the test program wraps the pass's last drawing call and the
// car repaint, tests/CMakeLists.txt) that plays the test's input.
#pragma once
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "datagen/careditorpics.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "tests/tools/tools_fixture.h"
#include "vehicles/types.h"

namespace ztest {

// Set by the test: called after pass n (0 first) of an editor loop.
extern std::function<void(int n)> g_afterPass;
extern int g_passes;
// The selected setup at each car repaint.
extern std::vector<int32_t> g_repaints;

constexpr int32_t kEsc = 27, kLeftKey = 37, kRightKey = 39;

class CarEditorTest : public ToolsTest {
 protected:
  void SetUp() override {
    ToolsTest::SetUp();
    for (const datagen::CarEditorPicture& p : datagen::CarEditorPictures())
      if (!skip_.count(p.path)) {
        std::filesystem::create_directories(std::filesystem::path(Path(p.path)).parent_path());
        ASSERT_TRUE(datagen::WriteTga(Path(p.path), p.picture)) << p.path;
      }
    for (int i = 0; i < 256; ++i) palette_.Entry[i] = {uint8_t(i & 63), uint8_t((i >> 2) & 63), uint8_t(63 - (i & 63))};
    SB_Var.DevEnvPal = &palette_;
    for (int i = 0; i < 9; ++i) {
      setups_[i].HDelta = 10.0f * i;
      setups_[i].Dither = 0;
    }
    SB_Var.VehicleSetups = setups_;
    SB_Var.NbVehicleSetups = 9;
    LSYS_InitMouse();
    plat::SetMessageSource([] {});
    g_passes = 0;
    g_repaints.clear();
    g_afterPass = nullptr;
  }
  void TearDown() override {
    plat::SetMessageSource(nullptr);
    plat::ReleaseAllKeys();
    SB_Var.VehicleSetups = nullptr;
    SB_Var.DevEnvPal = nullptr;
    g_afterPass = nullptr;
    ToolsTest::TearDown();
  }
  // One input step per pass: the mouse there with the left button held or
  // not; after the last step, Esc.
  struct Step {
    int32_t x, y;
    bool down;
    int32_t key = 0;  // held during the pass
  };
  void Play(const std::vector<Step>& steps) {
    auto apply = [steps](int n) {
      if (n > 0 && steps[static_cast<size_t>(n - 1)].key) plat::SetKeyState(steps[static_cast<size_t>(n - 1)].key, false);
      if (n >= static_cast<int>(steps.size())) {
        plat::SetKeyState(kEsc, true);
        return;
      }
      const Step& s = steps[static_cast<size_t>(n)];
      plat::SetCursorPos(s.x, s.y);
      plat::SetKeyState(1, s.down);
      if (s.key) plat::SetKeyState(s.key, true);
    };
    apply(0);
    g_afterPass = [apply](int n) {
      plat::AdvanceManualTime(25);
      apply(n + 1);
    };
  }
  static std::vector<std::string> Tags() {
    std::vector<std::string> tags;
    for (int32_t i = 0; i < SB_Var.NbBmapOwners; ++i) tags.push_back(SB_BmapOwners[i].Owner);
    return tags;
  }
  std::set<std::string> skip_;
  PALETTE palette_{};
  TVEHICLESETUP setups_[9]{};
};

}  // namespace ztest
