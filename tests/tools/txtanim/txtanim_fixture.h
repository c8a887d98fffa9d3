// What the texture-animation tests share: an empty set and clipboard with
// the editor's screen made, typed characters for the dialogs, and at the end
// everything freed with no block left.
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/window.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "system/lsvar.h"
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
  // A scripted user: each poll of the input either types one character
  // (once the last one was taken) or sets the left button ('{' down, '}'
  // up); then no input can arrive any more.
  static std::deque<char>& Script() {
    static std::deque<char> script;
    return script;
  }
  static void Poll() {
    std::deque<char>& script = Script();
    if (script.empty()) {
      plat::SetMessageSource(nullptr);
      return;
    }
    if (LSI_Var.NbKeys > 0) return;
    const char c = script.front();
    script.pop_front();
    if (c == '{' || c == '}')
      plat::SetKeyState(1, c == '{');
    else
      plat::PostWindowMessage({plat::kMsgChar, static_cast<uint8_t>(c), 0});
  }
  static void Play(const std::string& events) {
    LSYS_InitMouse();
    Script().assign(events.begin(), events.end());
    plat::SetMessageSource(Poll);
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
