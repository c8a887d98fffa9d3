// The input script of the end-to-end tests: key events played at
// message-pump passes, after the device back end's when one runs.
#include "platform/inputscript.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/window.h"

namespace plat {
namespace {

constexpr int32_t kAltKey = 18;

enum class Kind { Key, Mouse, Char, Dump };

struct Event {
  uint64_t wait;  // pumps, or ms of the clock, to wait after the previous event
  bool inMs;
  Kind kind;
  int32_t a, b;  // key and down, pointer x and y, or character and 0
  std::string file;  // the picture a dump writes
};

struct Script {
  std::vector<Event> events;
  size_t next = 0;
  uint64_t lastPump = 0;  // pass at which the previous event was played
  uint32_t lastTime = 0;  // and the clock then
  MessageSource before = nullptr;  // the source the script plays after
};
Script g_script;

// A count of at most 9 digits, so that it fits any field it fills.
bool ParseCount(const std::string& text, uint64_t* value) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  *value = std::stoull(text);
  return true;
}

// Parses an event line; on failure names the form it was expected to have.
bool ParseEvent(const std::string& line, Event* event, std::string* expected) {
  std::istringstream in(line);
  std::vector<std::string> f;
  for (std::string word; in >> word;) f.push_back(word);
  *expected = "<pumps|Nms> <key 1..255> <down|up>";
  if (f.size() < 2) return false;
  if (f[1] == "mouse") *expected = "<pumps|Nms> mouse <x> <y>";
  if (f[1] == "char") *expected = "<pumps|Nms> char <code 1..255>";
  if (f[1] == "dump") *expected = "<pumps|Nms> dump <file>";
  std::string wait = f[0];
  const bool inMs = wait.size() > 2 && wait.compare(wait.size() - 2, 2, "ms") == 0;
  if (inMs) wait.resize(wait.size() - 2);
  uint64_t pumps = 0, a = 0, b = 0;
  if (!ParseCount(wait, &pumps)) return false;
  if (f[1] == "mouse") {
    if (f.size() != 4 || !ParseCount(f[2], &a) || !ParseCount(f[3], &b)) return false;
    *event = {pumps, inMs, Kind::Mouse, static_cast<int32_t>(a), static_cast<int32_t>(b), {}};
  } else if (f[1] == "dump") {
    if (f.size() != 3) return false;
    *event = {pumps, inMs, Kind::Dump, 0, 0, f[2]};
  } else if (f[1] == "char") {
    if (f.size() != 3 || !ParseCount(f[2], &a) || a < 1 || a > 255) return false;
    *event = {pumps, inMs, Kind::Char, static_cast<int32_t>(a), 0, {}};
  } else {
    if (f.size() != 3 || !ParseCount(f[1], &a) || a < 1 || a > 255 || (f[2] != "down" && f[2] != "up")) return false;
    *event = {pumps, inMs, Kind::Key, static_cast<int32_t>(a), f[2] == "down", {}};
  }
  return true;
}

// "clock <ms>": 0 when the line is not of that form (ms must be above 0).
uint32_t ParseClock(const std::string& line) {
  std::istringstream in(line);
  std::string word, ms, rest;
  uint64_t value = 0;
  if (!(in >> word >> ms) || word != "clock" || (in >> rest) || !ParseCount(ms, &value)) return 0;
  return static_cast<uint32_t>(value);
}

void PlayKey(int32_t key, bool down) {
  SetKeyState(key, down);
  const bool system = KeyState(kAltKey) || key == kAltKey;
  const uint32_t message = down ? (system ? kMsgSysKeyDown : kMsgKeyDown) : (system ? kMsgSysKeyUp : kMsgKeyUp);
  intptr_t lParam = 1;
  if (!down) lParam |= intptr_t{3} << 30;  // previous state and transition
  PostWindowMessage({message, static_cast<uintptr_t>(key), lParam});
}

// What the window's client area of the primary surface shows, as an uncompressed 24-bit TGA with its
// rows bottom up; a failure is said on standard error and the script goes
// on.
void Dump(const std::string& file) {
  const ClientArea c = GetWindowClient();
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  std::ofstream out;
  if (ReadFront({c.x, c.y, c.x + c.width, c.y + c.height}, pixels, &w, &h)) out.open(file, std::ios::binary);
  if (!out) {
    std::fprintf(stderr, "zentrova: input script: cannot dump the screen to %s\n", file.c_str());
    return;
  }
  const uint8_t head[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(w), uint8_t(w >> 8), uint8_t(h),
                            uint8_t(h >> 8), 24, 0};
  out.write(reinterpret_cast<const char*>(head), sizeof head);
  std::vector<char> row(static_cast<size_t>(w) * 3);
  for (int32_t y = h - 1; y >= 0; --y) {
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t rgb = pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
      row[size_t(x) * 3] = char(rgb & 0xFF), row[size_t(x) * 3 + 1] = char(rgb >> 8 & 0xFF);
      row[size_t(x) * 3 + 2] = char(rgb >> 16 & 0xFF);
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
}

void Play(const Event& e) {
  switch (e.kind) {
    case Kind::Key: PlayKey(e.a, e.b != 0); break;
    case Kind::Mouse: SetCursorPos(e.a, e.b); break;
    case Kind::Char: PostWindowMessage({kMsgChar, static_cast<uintptr_t>(e.a), 1}); break;
    case Kind::Dump: Dump(e.file); break;
  }
}

void PlayDueEvents() {
  if (g_script.before) g_script.before();
  while (g_script.next < g_script.events.size()) {
    const Event& e = g_script.events[g_script.next];
    if (e.inMs ? TickMs() - g_script.lastTime < e.wait : PumpCount() < g_script.lastPump + e.wait) return;
    g_script.lastPump = PumpCount();
    g_script.lastTime = TickMs();
    ++g_script.next;
    Play(e);
  }
  // Played to its end, the script leaves: only the devices' keys, if any,
  // can come after it.
  SetMessageSource(g_script.before);
}

}  // namespace

bool LoadInputScript(const std::string& path, std::string* error) {
  std::ifstream in(path);
  if (!in) {
    if (error) *error = "cannot read " + path;
    return false;
  }
  Script script;
  uint32_t clockStep = 0;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string::npos || line[start] == '#') continue;
    std::string expected;
    if (line.compare(start, 5, "clock") == 0) {
      clockStep = script.events.empty() && !clockStep ? ParseClock(line) : 0;
      expected = "clock <ms above 0>, as the first line";
      if (clockStep) continue;
    } else {
      Event event;
      if (ParseEvent(line, &event, &expected)) {
        script.events.push_back(event);
        continue;
      }
    }
    if (error) *error = path + ":" + std::to_string(number) + ": expected " + expected;
    return false;
  }
  if (clockStep) {
    // The manual clock goes on from the time it is now.
    SetManualTime(TickMs());
    UseManualClock(true);
  }
  SetPumpClockStep(clockStep);
  script.lastPump = PumpCount();
  script.lastTime = TickMs();
  // A script loaded again keeps the source the first one played after.
  const MessageSource current = GetMessageSource();
  script.before = current == PlayDueEvents ? g_script.before : current;
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
