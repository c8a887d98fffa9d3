// What the texture-animation tests share: an empty set and clipboard with
// the editor's screen made, typed characters for the dialogs, and at the end
// everything freed with no block left.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window.h"
#include "shell/sbvar.h"
#include "tests/tools/tools_fixture.h"
#include "tools/txtanim/txtanim.h"

namespace ztest {

class TxtAnimTest : public ToolsTest {
 protected:
  void SetUp() override {
    ToolsTest::SetUp();
    ASSERT_TRUE(SB_TxtAnimSetUpUi());
    SB_Var.TxtAnimSet = SB_TxtAnimNewSet(0);
    SB_Var.TxtAnimClipboard = SB_TxtAnimNewSet(1);
  }
  void TearDown() override {
    SB_TxtAnimFreeSet(SB_Var.TxtAnimSet);
    SB_TxtAnimFreeSet(SB_Var.TxtAnimClipboard);
    SB_Var.TxtAnimSet = SB_Var.TxtAnimClipboard = nullptr;
    SB_TxtAnimFreeUi();
    ToolsTest::TearDown();
  }
  // Characters waiting for the next dialog (8 is Backspace, 13 Enter).
  static void Type(const std::string& text) {
    for (char c : text) plat::PostWindowMessage({plat::kMsgChar, static_cast<uint8_t>(c), 0});
  }
  // The last message box's text, then forgotten.
  static std::string Said() {
    std::string text = SB_TxtAnimUi.LastMessage;
    SB_TxtAnimUi.LastMessage[0] = 0;
    return text;
  }
  static TTXTANIM* Anim() { return SB_TxtAnimCurrent(); }
  // A new animation of n steps, each step's delay its index + 1 so that
  // moves can be followed.
  static TTXTANIM* NewAnim(int32_t n) {
    SB_TxtAnimNew();
    for (int32_t i = 1; i < n; ++i) SB_TxtAnimAddStep();
    for (int32_t i = 0; i < n; ++i) Anim()->Steps[i].Delay = i + 1;
    return Anim();
  }
  static std::vector<int32_t> Delays() {
    std::vector<int32_t> delays;
    for (int32_t i = 0; i < Anim()->NbSteps; ++i) delays.push_back(Anim()->Steps[i].Delay);
    return delays;
  }
};

}  // namespace ztest
