// The console's text: printing, the status line, scrolling, the log file
// and the history.
#include "shell/console.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/window.h"
#include "shell/gamefile.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"

const char* const SB_CONSOLEFILE = "HDISK:>CONSOLE.TXT";

namespace {

constexpr size_t kPrintedKept = 1000;

std::vector<std::string>& Printed() {
  static std::vector<std::string> lines;
  return lines;
}
std::string& LastStatus() {
  static std::string text;
  return text;
}

// The whole formatted text, however long.
std::string Format(const char* format, va_list args) {
  if (!format) return {};
  va_list copy;
  va_copy(copy, args);
  char small[256];
  const int length = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (length < 0) return {};
  if (static_cast<size_t>(length) < sizeof small) return small;
  std::string text(static_cast<size_t>(length), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, args);
  return text;
}

char* CurrentLine() {
  if (SB_Var.ConsoleLine < 0 || SB_Var.ConsoleLine >= SB_CONSOLELINES) SB_Var.ConsoleLine = 0;
  return SB_Var.ConsoleText[SB_Var.ConsoleLine];
}

// Empties the current line and puts the first 80 characters of the text in it.
void WriteCurrentLine(const std::string& text) {
  char* line = CurrentLine();
  const size_t kept = text.size() < SB_CONSOLECOLUMNS ? text.size() : SB_CONSOLECOLUMNS;
  std::memset(line, 0, SB_CONSOLECOLUMNS + 1);
  std::memcpy(line, text.data(), kept);
}

void Advance() {
  if (SB_Var.ConsoleLine < SB_CONSOLELINES - 1) {
    ++SB_Var.ConsoleLine;
    return;
  }
  std::memmove(SB_Var.ConsoleText[0], SB_Var.ConsoleText[1],
               sizeof SB_Var.ConsoleText[0] * (SB_CONSOLELINES - 1));
  std::memset(SB_Var.ConsoleText[SB_CONSOLELINES - 1], 0, sizeof SB_Var.ConsoleText[0]);
}

// From the moment the player is ready for a network race until its end,
// the text is stored but neither drawn nor pumped. A line printed by what
// the console's pump runs does not pump again: that pump's own loop takes
// what else arrived, where one nested pump per line would deepen the
// stack with every message waiting.
void Show() {
  static bool pumping = false;
  if (SB_Var.XState >= XSTATE_READY2PLAY) return;
  SB_DrawConsole();
  if (SB_Hooks.NetUpdateEvent && !pumping) {
    pumping = true;
    SB_Hooks.NetUpdateEvent();
    pumping = false;
  }
  SB_NullHook();
}

void Remember(const std::string& text) {
  std::vector<std::string>& lines = Printed();
  if (lines.size() >= kPrintedKept) lines.erase(lines.begin(), lines.begin() + kPrintedKept / 2);
  lines.push_back(text);
}

}  // namespace

void SB_ConsolePrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = Format(format, args);
  va_end(args);
  Remember(text);
  SB_LogConsoleLine(text.c_str());
  plat::EchoLine(text);
  WriteCurrentLine(text);
  Advance();
  Show();
}

void SB_ConsoleStatus(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = Format(format, args);
  va_end(args);
  WriteCurrentLine(text);
  LastStatus() = text;
  Show();
}

void SB_ClearConsole() {
  std::memset(SB_Var.ConsoleText, 0, sizeof SB_Var.ConsoleText);
  SB_Var.ConsoleLine = 0;
}

void SB_ClearHistory() { std::memset(SB_Var.ConsoleHistory, 0, sizeof SB_Var.ConsoleHistory); }

void SB_SetFileOutput(int32_t flag) { SB_Var.FileOutput = flag; }

void SB_StartConsoleFile() {
  if (!SB_Var.FileOutput) return;
  const int32_t file = SB_OpenFile(SB_CONSOLEFILE, SB_OPEN_CREATE);
  if (!file) return;
  static const char kHeading[] = "CONSOLE\n";
  SB_WriteFile(file, kHeading, sizeof kHeading - 1);
  SB_CloseFile(file);
}

void SB_LogConsoleLine(const char* text) {
  if (!SB_Var.FileOutput) return;
  const int32_t file = SB_OpenFile(SB_CONSOLEFILE, SB_OPEN_APPEND);
  if (!file) return;
  std::string line = text ? text : "";
  line += '\n';
  SB_WriteFile(file, line.data(), static_cast<int32_t>(line.size() > INT32_MAX ? INT32_MAX : line.size()));
  SB_CloseFile(file);
}

const std::vector<std::string>& SB_PrintedLines() { return Printed(); }
void SB_ClearPrintedLines() {
  Printed().clear();
  LastStatus().clear();
}
const std::string& SB_LastStatusLine() { return LastStatus(); }
