// The wrapped calls: the test program links with --wrap for each name
// given to WRAP below (tests/CMakeLists.txt reads them from this file), so
// the words' calls land here, are recorded, and run the real function
// unless a test gave a fake answer.
#include "tests/networds/wraps.h"

#include <cstring>

#include "shell/owner.h"

namespace ztest {

NetWordCalls& Wraps() {
  static NetWordCalls w;
  return w;
}

std::vector<std::string> CallsOf(std::initializer_list<const char*> names) {
  std::vector<std::string> out;
  for (const std::string& c : Wraps().calls)
    for (const char* n : names)
      if (c.rfind(n, 0) == 0 && (c.size() == std::strlen(n) || c[std::strlen(n)] == ' ')) out.push_back(c);
  return out;
}

}  // namespace ztest

namespace {

std::string Text(const char* s) { return s ? s : "-"; }

// Records the call; true when a fake answer was given (in *answer).
bool Record(const char* name, const std::string& args, int32_t* answer) {
  auto& w = ztest::Wraps();
  w.calls.push_back(args.empty() ? std::string(name) : std::string(name) + " " + args);
  const auto it = w.answers.find(name);
  if (it == w.answers.end()) return false;
  *answer = it->second;
  return true;
}

// A faked enumeration: a copy of the test's entries as the caller's array.
NET_ENUMENTRY* FakeList(int32_t* count) {
  const auto& s = ztest::Wraps().sessions;
  *count = 0;
  if (s.empty()) return nullptr;
  auto* list = static_cast<NET_ENUMENTRY*>(SB_GetMem(static_cast<int32_t>(s.size() * sizeof(NET_ENUMENTRY)), "fake"));
  std::memcpy(list, s.data(), s.size() * sizeof(NET_ENUMENTRY));
  *count = static_cast<int32_t>(s.size());
  return list;
}

}  // namespace

// WRAP(mangled name, result, parameters): declares the real function and
// opens the wrapper's body.
#define WRAP(mangled, result, ...)                 \
  extern "C" result __real_##mangled(__VA_ARGS__); \
  extern "C" result __wrap_##mangled(__VA_ARGS__)

WRAP(_Z16NET_CreateServerPKcS0_ii, int32_t, const char* server, const char* player, int32_t type, int32_t max) {
  int32_t a = 0;
  const std::string args = Text(server) + " " + Text(player) + " " + std::to_string(type) + " " + std::to_string(max);
  return Record("NET_CreateServer", args, &a) ? a : __real__Z16NET_CreateServerPKcS0_ii(server, player, type, max);
}
WRAP(_Z14NET_JoinServerPKcS0_, int32_t, const char* player, const char* server) {
  int32_t a = 0;
  return Record("NET_JoinServer", Text(player) + " " + Text(server), &a) ? a
                                                                        : __real__Z14NET_JoinServerPKcS0_(player, server);
}
WRAP(_Z13NET_BroadcastPKc, int32_t, const char* text) {
  int32_t a = 0;
  return Record("NET_Broadcast", Text(text), &a) ? a : __real__Z13NET_BroadcastPKc(text);
}
WRAP(_Z15NET_GetSessionsPij, NET_ENUMENTRY*, int32_t* count, uint32_t ms) {
  int32_t a = 0;
  return Record("NET_GetSessions", std::to_string(ms), &a) ? FakeList(count) : __real__Z15NET_GetSessionsPij(count, ms);
}
WRAP(_Z22NET_GetSessionsCheckedPijS_, NET_ENUMENTRY*, int32_t* count, uint32_t ms, int32_t* cancelled) {
  int32_t a = 0;
  if (!Record("NET_GetSessionsChecked", std::to_string(ms), &a))
    return __real__Z22NET_GetSessionsCheckedPijS_(count, ms, cancelled);
  *cancelled = a;
  return FakeList(count);
}
WRAP(_Z16NET_GetProtocolsPi, NET_ENUMENTRY*, int32_t* count) {
  int32_t a = 0;
  return Record("NET_GetProtocols", "", &a) ? FakeList(count) : __real__Z16NET_GetProtocolsPi(count);
}
WRAP(_Z23NET_SetControllerStatusji, int32_t, uint32_t state, int32_t sub) {
  int32_t a = 0;
  return Record("NET_SetControllerStatus", std::to_string(state) + " " + std::to_string(sub), &a)
             ? a
             : __real__Z23NET_SetControllerStatusji(state, sub);
}
WRAP(_Z14SB_SetGameModei, int32_t, int32_t mode) {
  int32_t a = 0;
  return Record("SB_SetGameMode", std::to_string(mode), &a) ? a : __real__Z14SB_SetGameModei(mode);
}
WRAP(_Z18SB_SetNumberOfCarsi, void, int32_t n) {
  int32_t a = 0;
  if (!Record("SB_SetNumberOfCars", std::to_string(n), &a)) __real__Z18SB_SetNumberOfCarsi(n);
}
// The race itself never runs here.
WRAP(_Z11SB_PlayRacev, int32_t, void) {
  int32_t a = 1;
  Record("SB_PlayRace", "", &a);
  if (ztest::Wraps().duringRace) ztest::Wraps().duringRace();
  return a;
}
WRAP(_Z17SB_LoadIntroPictsv, void, void) {
  int32_t a = 0;
  if (!Record("SB_LoadIntroPicts", "", &a)) __real__Z17SB_LoadIntroPictsv();
}
WRAP(_Z17SB_FreeIntroPictsv, void, void) {
  int32_t a = 0;
  if (!Record("SB_FreeIntroPicts", "", &a)) __real__Z17SB_FreeIntroPictsv();
}
WRAP(_Z18SB_FreeOptionPictsv, void, void) {
  int32_t a = 0;
  if (!Record("SB_FreeOptionPicts", "", &a)) __real__Z18SB_FreeOptionPictsv();
}
WRAP(_Z14CTRL_EndOfRacev, int32_t, void) {
  int32_t a = 0;
  return Record("CTRL_EndOfRace", "", &a) ? a : __real__Z14CTRL_EndOfRacev();
}
WRAP(_Z18CTRL_LaunchNewRacev, int32_t, void) {
  int32_t a = 0;
  return Record("CTRL_LaunchNewRace", "", &a) ? a : __real__Z18CTRL_LaunchNewRacev();
}
WRAP(_Z20CTRL_StartNewRaceNowv, int32_t, void) {
  int32_t a = 0;
  return Record("CTRL_StartNewRaceNow", "", &a) ? a : __real__Z20CTRL_StartNewRaceNowv();
}
WRAP(_Z22CTRL_EnterPracticeModev, int32_t, void) {
  int32_t a = 0;
  return Record("CTRL_EnterPracticeMode", "", &a) ? a : __real__Z22CTRL_EnterPracticeModev();
}
WRAP(_Z18CTRL_UpdateRecordsjjPKc, void, uint32_t lap, uint32_t race, const char* name) {
  int32_t a = 0;
  if (!Record("CTRL_UpdateRecords", std::to_string(lap) + " " + std::to_string(race) + " " + Text(name), &a))
    __real__Z18CTRL_UpdateRecordsjjPKc(lap, race, name);
}
WRAP(_Z7LS_Beepv, void, void) {
  int32_t a = 0;
  if (!Record("LS_Beep", "", &a)) __real__Z7LS_Beepv();
}
