// Program entry and command-line split.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "system/win/shell.h"

char** LSYS_SplitCommandLine(const char* commandLine, int32_t* count) {
  std::vector<char*> arguments;
  if (commandLine && *commandLine) {
    const char* start = commandLine;
    for (;;) {
      const char* end = std::strchr(start, ' ');
      const size_t length = end ? static_cast<size_t>(end - start) : std::strlen(start);
      char* argument = static_cast<char*>(std::malloc(length + 1));
      std::memcpy(argument, start, length);
      argument[length] = 0;
      arguments.push_back(argument);
      if (!end) break;
      start = end + 1;
    }
  }
  *count = static_cast<int32_t>(arguments.size());
  char** array = static_cast<char**>(std::calloc(arguments.size() + 1, sizeof(char*)));
  for (size_t i = 0; i < arguments.size(); ++i) array[i] = arguments[i];
  return array;
}

void LSYS_FreeArguments(char** arguments, int32_t count) {
  if (!arguments) return;
  for (int32_t i = 0; i < count; ++i) std::free(arguments[i]);
  std::free(arguments);
}

int WinMain(void*, void*, const char* commandLine, int) {
  int32_t count = 0;
  char** arguments = LSYS_SplitCommandLine(commandLine, &count);
  if (count > INT16_MAX) count = INT16_MAX;
  SB_Main(static_cast<int16_t>(count), arguments);
  LSYS_FreeArguments(arguments, count);
  return 0;
}
