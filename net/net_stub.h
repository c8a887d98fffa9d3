// What the network stand-in was asked, for tests.
#pragma once
#include <cstdint>
#include <string>

struct NET_STUBLOG {
  int32_t Updates = 0;           // NET_UpdateEvent calls
  void (*OnUpdate)() = nullptr;  // called by each NET_UpdateEvent
  int32_t Commands = 0;          // SB_NetConsoleCommand calls
  std::string Words[6];          // the last call's first to fourth words, rest, keyword
};

NET_STUBLOG& NET_StubLog();
