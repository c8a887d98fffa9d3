// Until the console screen exists, printed lines are kept in order, so that
// their texts can be read back.
#include <cstdarg>
#include <cstdio>

#include "shell/console.h"
#include "shell/console_stub.h"

namespace {
std::vector<std::string> g_lines;
}

void SB_ConsolePrintf(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format ? format : "", args);
  va_end(args);
  g_lines.push_back(text);
}

const std::vector<std::string>& SB_PrintedLines() { return g_lines; }
void SB_ClearPrintedLines() { g_lines.clear(); }
