// No console screen yet: printed lines are kept in memory.
#include "shell/console.h"

#include <cstdarg>
#include <cstdio>

namespace {
std::vector<std::string>& Lines() {
  static std::vector<std::string> lines;
  return lines;
}
}  // namespace

void SB_ConsolePrintf(const char* format, ...) {
  if (!format) return;
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  Lines().push_back(text);
}

const std::vector<std::string>& SB_ConsoleStubLines() { return Lines(); }
void SB_ClearConsoleStubLines() { Lines().clear(); }
