// The network, race and front-end calls the race and network words make,
// seen through the linker's wrapping (tests/networds/wraps.cpp): each call
// is recorded as a line, then the real function runs, or a fake answer is
// given where a test asks for one.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "net/types.h"

namespace ztest {

struct NetWordCalls {
  std::vector<std::string> calls;          // "NET_CreateServer S1 ALBA 2 8"
  std::map<std::string, int32_t> answers;  // by function name: a fake's result, the real one skipped
  std::vector<NET_ENUMENTRY> sessions;     // a faked enumeration's entries
  std::function<void()> duringRace;        // inside a faked SB_PlayRace
};

NetWordCalls& Wraps();

// The recorded calls whose line starts with one of the names.
std::vector<std::string> CallsOf(std::initializer_list<const char*> names);

}  // namespace ztest
