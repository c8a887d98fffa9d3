// The console words the console's own run needs, until the whole command
// set exists: TYPE with its pager, HELP and INFO, which type their texts,
// the TIME and DRAWCONSOLE switches and the log's OUTPUT. Weak, so that
// the command set's own words take their place.
#include "shell/consolewords.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "shell/console.h"
#include "shell/gameevent.h"
#include "shell/gamefile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/file.h"

namespace {

constexpr int32_t kPageLines = 45;
constexpr char kCarriageReturn = 13, kLineFeed = 10;

// Before every 46th line the reader is asked for a key.
void PrintTypedLine(const char* line, int32_t& printed) {
  if (printed > 0 && printed % kPageLines == 0) {
    SB_ConsoleStatus("Press any key to continue");
    SB_WaitKey();
  }
  SB_ConsolePrintf("%s", line);
  ++printed;
}

// A decimal number; text that is not one reads 0, and larger ones saturate.
int32_t Number(const char* word) {
  errno = 0;
  const long value = std::strtol(word, nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

// Lines end at a carriage return (a line feed right after it is skipped)
// and are cut at 255 characters; the text after the last one is printed
// too, so an empty file prints one empty line.
__attribute__((weak)) void SB_TypeFile(const char* name) {
  if (!name || !LS_FileExists(name)) {
    SB_ConsolePrintf("File error... type DIR for directory...");
    return;
  }
  const int32_t size = LS_GetFileSize(name);
  const char* text = size > 0 ? static_cast<const char*>(SB_LoadFile(name)) : nullptr;
  if (size > 0 && !text) {
    SB_ConsolePrintf("Internal error... error wile loading...");
    return;
  }
  char line[SB_WORDSIZE];
  size_t length = 0;
  int32_t printed = 0;
  for (int32_t i = 0; i < size; ++i) {
    if (text[i] == kCarriageReturn) {
      line[length] = 0;
      PrintTypedLine(line, printed);
      length = 0;
      if (i + 1 < size && text[i + 1] == kLineFeed) ++i;
    } else if (length < sizeof line - 1) {
      line[length++] = text[i];
    }
  }
  line[length] = 0;
  PrintTypedLine(line, printed);
  if (text) SB_Release(const_cast<char*>(text));
}

__attribute__((weak)) int32_t SB_TypeCommand(const SB_COMMANDWORDS& words) {
  if (words.Args[0][0]) SB_TypeFile(words.Args[0]);
  return 1;
}

__attribute__((weak)) int32_t SB_HelpCommand(const SB_COMMANDWORDS&) {
  SB_ExecCommand("@type help.txt");
  return 1;
}

__attribute__((weak)) int32_t SB_InfoCommand(const SB_COMMANDWORDS&) {
  SB_ExecCommand("@type info.txt");
  return 1;
}

__attribute__((weak)) int32_t SB_TimeCommand(const SB_COMMANDWORDS& words) {
  const char* word = words.Args[0];
  if (!std::strcmp(word, "ON") || !std::strcmp(word, "1")) {
    SB_Var.NoTimeLimit = 1;
  } else if (!std::strcmp(word, "OFF") || !std::strcmp(word, "0")) {
    SB_Var.NoTimeLimit = 0;
  } else {
    SB_ConsolePrintf("Usage: TIME [ON] or TIME [OFF]");
    return 0;
  }
  return 1;
}

__attribute__((weak)) int32_t SB_DrawConsoleCommand(const SB_COMMANDWORDS& words) {
  if (words.Args[0][0]) SB_Var.DrawConsole = Number(words.Args[0]) > 0 ? 1 : 0;
  SB_ConsolePrintf("Drawing the console texts: %ld", static_cast<long>(SB_Var.DrawConsole));
  return 1;
}

__attribute__((weak)) int32_t SB_OutputCommand(const SB_COMMANDWORDS& words) {
  if (!words.Args[0][0]) {
    SB_ConsolePrintf("Syntax error, or batch error !!!");
    return 0;
  }
  SB_SetFileOutput(Number(words.Args[0]));
  if (SB_Var.FileOutput) {
    SB_StartConsoleFile();
    SB_ConsolePrintf("File Output enabled...");
  } else {
    SB_ConsolePrintf("File Output disabled...");
  }
  return 1;
}
