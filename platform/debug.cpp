// A debugger is attached when the process has a tracer.
#include "platform/debug.h"

#include <csignal>
#include <fstream>
#include <string>

namespace plat {

bool DebuggerAttached() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("TracerPid:", 0) == 0) return std::stol(line.substr(10)) != 0;
  return false;
}

void DebugBreak() {
  if (DebuggerAttached()) std::raise(SIGTRAP);
}

}  // namespace plat
