// The typist: a message source that types a script into the console.
#include "tests/fakes/typist.h"

#include <cstring>

#include "platform/window.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/lsvar.h"

namespace ztest {
namespace {

constexpr int32_t kUpKey = 38, kDownKey = 40;
constexpr int32_t kHoldPolls = 8;  // more than the pumps of one editor step

struct Typist {
  std::string text;
  size_t at = 0;
  bool started = false;  // the loop has run: the start's flush is over
  int32_t key = 0, hold = 0;
  std::vector<TypistSnap> snaps;
  int32_t prompts = 0;
};

Typist& T() {
  static Typist typist;
  return typist;
}

void Post(char c) { plat::PostWindowMessage({plat::kMsgChar, static_cast<uint8_t>(c), 0}); }

void Poll() {
  Typist& t = T();
  if (t.hold > 0) {
    if (--t.hold == kHoldPolls) plat::SetKeyState(t.key, false);
    return;
  }
  if (LSI_Var.NbKeys > 0) return;
  if (std::strcmp(SB_Var.ConsoleText[SB_Var.ConsoleLine], "Press any key to continue") == 0) {
    ++t.prompts;
    Post(' ');
    return;
  }
  t.started = t.started || SB_Var.DrawConsole;
  if (!t.started || t.at >= t.text.size()) return;
  const char c = t.text[t.at++];
  if (c == kTypeUp || c == kTypeDown) {
    t.key = c == kTypeUp ? kUpKey : kDownKey;
    plat::SetKeyState(t.key, true);
    t.hold = 2 * kHoldPolls;
  } else if (c == kTypeSnap) {
    t.snaps.push_back({SB_Var.ConsoleHistory[SB_EDITLINE], SB_Var.DrawConsole});
  } else {
    Post(c);
  }
}

}  // namespace

void StartTyping(const std::string& text) {
  T() = Typist{};
  T().text = text;
  plat::SetMessageSource(Poll);
}

void StopTyping() { plat::SetMessageSource(nullptr); }
const std::vector<TypistSnap>& Snaps() { return T().snaps; }
int32_t PagerPrompts() { return T().prompts; }

}  // namespace ztest
