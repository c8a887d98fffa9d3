// Input for the console as a user gives it, through the message pump: a
// text typed one character at a time once the console loop runs (the
// keyboard buffer holds 16, so each waits until the last was taken), the
// Up and Down arrows held for a step and released, and snapshots of the
// edit line between them. A pager's prompt is answered with a blank.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ztest {

// Marks in the typed text.
constexpr char kTypeUp = '\x01';
constexpr char kTypeDown = '\x02';
constexpr char kTypeSnap = '\x03';

struct TypistSnap {
  std::string edit;     // the line being edited
  int32_t drawConsole;  // SB_Var.DrawConsole
  bool operator==(const TypistSnap&) const = default;
};

// Installs the typist as the message source; StopTyping removes it.
void StartTyping(const std::string& text);
void StopTyping();
const std::vector<TypistSnap>& Snaps();
// How many pager prompts were answered.
int32_t PagerPrompts();

}  // namespace ztest
