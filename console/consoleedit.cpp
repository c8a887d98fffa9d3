// The console's line editor with its history, and the line input after a
// prompt.
#include "console/consoleedit.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "console/interpreter.h"
#include "console/startup.h"
#include "net/net.h"
#include "shell/console.h"
#include "shell/gameclock.h"
#include "shell/gameevent.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/input.h"

namespace {

constexpr int32_t kBackspace = 8, kEnter = 13;
constexpr int32_t kLeftKey = 37, kUpKey = 38, kDownKey = 40;

// True once per press: the key is held now and was not at the last step.
bool Pressed(int32_t key, int32_t& heldBefore) {
  const int32_t held = SB_KeyDown(key);
  const bool pressed = held && !heldBefore;
  heldBefore = held;
  return pressed;
}

bool Typeable(int32_t c) { return c >= 32 && c <= 127; }

void RemoveLast(char* text) {
  const size_t length = std::strlen(text);
  if (length) text[length - 1] = 0;
}

void Append(char* text, int32_t c) {
  const size_t length = std::strlen(text);
  text[length] = static_cast<char>(c);
  text[length + 1] = 0;
}

bool CursorShown() { return (SB_GetTime() & SB_CURSORBLINK) != 0; }

char* EditLine() { return SB_Var.ConsoleHistory[SB_EDITLINE]; }

void Recall(int32_t index) {
  if (index < 0 || index >= SB_EDITLINE) {
    EditLine()[0] = 0;
    return;
  }
  std::memcpy(EditLine(), SB_Var.ConsoleHistory[index], sizeof SB_Var.ConsoleHistory[0]);
}

// Runs the edited line unless it is blank; it then joins the history as
// its newest line and the edit line starts empty.
void Execute() {
  SB_SqueezeBlanks(EditLine());
  if (!EditLine()[0]) return;
  char line[SB_CONSOLECOLUMNS + 1];
  std::memcpy(line, EditLine(), sizeof line);
  SB_ExecCommand("%s", line);
  std::memmove(SB_Var.ConsoleHistory[0], SB_Var.ConsoleHistory[1],
               sizeof SB_Var.ConsoleHistory[0] * (SB_EDITLINE - 1));
  std::memcpy(SB_Var.ConsoleHistory[SB_EDITLINE - 1], line, sizeof line);
  EditLine()[0] = 0;
  SB_Var.HistoryIndex = SB_EDITLINE;
}

char* CurrentLine() {
  if (SB_Var.ConsoleLine < 0 || SB_Var.ConsoleLine >= SB_CONSOLELINES) SB_Var.ConsoleLine = 0;
  return SB_Var.ConsoleText[SB_Var.ConsoleLine];
}

}  // namespace

void SB_ConsoleStep() {
  SB_UpdateEvent();
  const int32_t c = LS_GetKey();
  char* edit = EditLine();
  if (c == kBackspace)
    RemoveLast(edit);
  else if (c == kEnter)
    Execute();
  else if (Typeable(c) && std::strlen(edit) < SB_EDITMAX)
    Append(edit, c);

  if (Pressed(kUpKey, SB_Var.UpKeyHeld) && SB_Var.HistoryIndex > 0) Recall(--SB_Var.HistoryIndex);
  if (Pressed(kDownKey, SB_Var.DownKeyHeld) && SB_Var.HistoryIndex < SB_EDITLINE)
    Recall(++SB_Var.HistoryIndex);
  if (Pressed(kLeftKey, SB_Var.LeftKeyHeld)) RemoveLast(edit);

  SB_ConsoleShowCommandLine(edit);
  SB_DrawConsole();
  NET_UpdateEvent();
}

void SB_ConsoleIdle() { SB_IdleWait(SB_CURSORBLINK - SB_GetTime() % SB_CURSORBLINK); }

void SB_ConsoleShowCommandLine(const char* text) {
  std::snprintf(CurrentLine(), SB_CONSOLECOLUMNS + 1, ">%.*s%s", static_cast<int>(SB_EDITMAX),
                text ? text : "", CursorShown() ? "_" : "");
}

void SB_ConsoleShowInputLine(const char* text) {
  std::snprintf(CurrentLine(), SB_CONSOLECOLUMNS + 1, "%.*s%s", static_cast<int>(SB_INPUTMAX),
                text ? text : "", CursorShown() ? "_" : "");
}

void SB_ConsoleInput(const char* prompt, char* buffer) {
  if (!buffer) return;
  if (!prompt) prompt = "";
  buffer[0] = 0;
  const size_t promptLength = std::strlen(prompt);
  for (;;) {
    SB_NullHook();
    SB_UpdateEvent();
    const int32_t c = LS_GetKey();
    // Headless, with nothing injected, no key can come: the line ends as
    // if Enter were pressed.
    if (c == kEnter || (!c && !LSYS_KeyMayCome())) break;
    if (c == kBackspace)
      RemoveLast(buffer);
    else if (Typeable(c) && promptLength + std::strlen(buffer) < SB_INPUTMAX)
      Append(buffer, c);
    if (Pressed(kLeftKey, SB_Var.LeftKeyHeld)) RemoveLast(buffer);
    std::string shown = prompt;
    shown += buffer;
    SB_ConsoleShowInputLine(shown.c_str());
    SB_DrawConsole();
    NET_UpdateEvent();
    SB_ConsoleIdle();
  }
  SB_ConsolePrintf("%s%s", prompt, buffer);
}
