// The input script of headless runs: key events played at message-pump
// passes.
#include "platform/inputscript.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/clock.h"
#include "platform/window.h"

namespace plat {
namespace {

constexpr int32_t kAltKey = 18;

struct KeyEvent {
  uint64_t wait;  // pumps, or ms of the clock, to wait after the previous event
  bool inMs;
  int32_t key;  // or the character's code
  bool down;
  bool character;  // a typed character rather than a key
};

struct Script {
  std::vector<KeyEvent> events;
  size_t next = 0;
  uint64_t lastPump = 0;  // pass at which the previous event was played
  uint32_t lastTime = 0;  // and the clock then
};
Script g_script;

bool ParseLine(const std::string& line, KeyEvent* event) {
  std::istringstream in(line);
  std::string wait, state, rest;
  int key = 0;
  if (!(in >> wait)) return false;
  const bool inMs = wait.size() > 2 && wait.compare(wait.size() - 2, 2, "ms") == 0;
  if (inMs) wait.resize(wait.size() - 2);
  if (wait.empty() || wait.size() > 9 || wait.find_first_not_of("0123456789") != std::string::npos) return false;
  std::string first;
  if (!(in >> first)) return false;
  const bool character = first == "char";
  if (character) {
    if (!(in >> key) || (in >> rest) || key < 1 || key > 255) return false;
    *event = {std::stoull(wait), inMs, key, true, true};
    return true;
  }
  try {
    size_t used = 0;
    key = std::stoi(first, &used);
    if (used != first.size()) return false;
  } catch (...) {
    return false;
  }
  if (!(in >> state) || (in >> rest)) return false;
  if (key < 1 || key > 255 || (state != "down" && state != "up")) return false;
  *event = {std::stoull(wait), inMs, key, state == "down", false};
  return true;
}

void Play(const KeyEvent& e) {
  if (e.character) {
    PostWindowMessage({kMsgChar, static_cast<uintptr_t>(e.key), 1});
    return;
  }
  SetKeyState(e.key, e.down);
  const bool system = KeyState(kAltKey) || e.key == kAltKey;
  const uint32_t message = e.down ? (system ? kMsgSysKeyDown : kMsgKeyDown) : (system ? kMsgSysKeyUp : kMsgKeyUp);
  intptr_t lParam = 1;
  if (!e.down) lParam |= intptr_t{3} << 30;  // previous state and transition
  PostWindowMessage({message, static_cast<uintptr_t>(e.key), lParam});
}

void PlayDueEvents() {
  while (g_script.next < g_script.events.size()) {
    const KeyEvent& e = g_script.events[g_script.next];
    if (e.inMs ? TickMs() - g_script.lastTime < e.wait : PumpCount() < g_script.lastPump + e.wait) return;
    g_script.lastPump = PumpCount();
    g_script.lastTime = TickMs();
    ++g_script.next;
    Play(e);
  }
  // Played to its end, the script leaves: no key can come after it.
  SetMessageSource(nullptr);
}

}  // namespace

bool LoadInputScript(const std::string& path, std::string* error) {
  std::ifstream in(path);
  if (!in) {
    if (error) *error = "cannot read " + path;
    return false;
  }
  Script script;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string::npos || line[start] == '#') continue;
    KeyEvent event;
    if (!ParseLine(line, &event)) {
      if (error)
        *error = path + ":" + std::to_string(number) +
                 ": expected <pumps|Nms> <key 1..255> <down|up> or <pumps|Nms> char <code 1..255>";
      return false;
    }
    script.events.push_back(event);
  }
  script.lastPump = PumpCount();
  script.lastTime = TickMs();
  g_script = script;
  SetMessageSource(PlayDueEvents);
  return true;
}

bool LoadInputScriptFromEnvironment() {
  const char* path = std::getenv(kInputScriptVariable);
  if (!path || !*path) return true;
  std::string error;
  if (LoadInputScript(path, &error)) return true;
  std::fprintf(stderr, "zentrova: input script: %s\n", error.c_str());
  return false;
}

}  // namespace plat
