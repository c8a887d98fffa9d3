// What the track editor's tests share: an editor picture written into the
// data folder, a 3D palette, an 8-bit overlay, the mouse on, and frames
// run with keys held and the mouse at a point.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "datagen/pcxwrite.h"
#include "platform/window.h"
#include "shell/owner.h"
#include "system/input.h"
#include "tests/tools/tools_fixture.h"
#include "tools/editors.h"

namespace ztest {

constexpr int32_t kLeftButton = 1, kRightButton = 2;

class TrackEditor : public ztest::ToolsTest {
 protected:
  void SetUp() override {
    ToolsTest::SetUp();
    for (int i = 0; i < 256; ++i) palette_.Entry[i] = {uint8_t(i & 63), uint8_t((i >> 2) & 63), uint8_t(63 - (i & 63))};
    SB_Var.Pal3d = &palette_;
    SB_Var.TextScreen = SB_CreateBmap(640, 480, 8, 0, "overlay");
    LSYS_InitMouse();
    datagen::Picture8 picture{320, 286, std::vector<uint8_t>(320 * 286, 7), std::vector<uint8_t>(768, 40)};
    const std::vector<uint8_t> bytes = datagen::EncodePcx(picture);
    ztest::WriteFile(Path("PCX/EDITOR.PCX"), std::string(bytes.begin(), bytes.end()));
  }
  void TearDown() override {
    SB_FreeEdit();
    SB_FreeBmap(SB_Var.TextScreen);
    SB_Var.Pal3d = nullptr;
    plat::ReleaseAllKeys();
    ToolsTest::TearDown();
  }
  // One editor frame with these keys held and the mouse there.
  static void Frame(std::vector<int32_t> keys = {}, int32_t x = 320, int32_t y = 240) {
    for (int32_t key : keys) plat::SetKeyState(key, true);
    plat::SetCursorPos(x, y);
    SB_UpdateEdit();
    for (int32_t key : keys) plat::SetKeyState(key, false);
  }
  static std::vector<std::string> Tags() {
    std::vector<std::string> tags;
    for (int32_t i = 0; i < SB_Var.NbBmapOwners; ++i) tags.push_back(SB_BmapOwners[i].Owner);
    return tags;
  }
  PALETTE palette_{};
};

}  // namespace ztest
