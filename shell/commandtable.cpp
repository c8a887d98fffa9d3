// The command table and the commands of the console itself: its screen
// and history, batches, the test module and the film kept in memory, and
// the end of the console.
#include "shell/commandtable.h"

#include <cstring>

#include "frontend/media.h"
#include "shell/console.h"
#include "shell/consolewords.h"
#include "shell/gameevent.h"
#include "shell/sbvar.h"

namespace {

constexpr int32_t kShiftKey = 16, kEscapeKey = 27;

int32_t ClearConsoleCommand(const SB_COMMANDWORDS&) {
  SB_ClearHistory();
  return 1;
}

int32_t RunCommand(const SB_COMMANDWORDS& words) {
  if (words.Args[0][0]) SB_RunBatch(words.Args[0], words.Args[1], words.Args[2]);
  return 1;
}

int32_t PreloadFliCommand(const SB_COMMANDWORDS&) {
  SB_PreloadFli("INTRO>ZENTRACE.FLC", "INTRO>RACE22.WAV");
  return 1;
}

int32_t DiscardFliCommand(const SB_COMMANDWORDS&) {
  SB_DiscardFli();
  return 1;
}

int32_t PlayModCommand(const SB_COMMANDWORDS&) {
  SB_ConsolePlayMod();
  return 1;
}

int32_t StopModCommand(const SB_COMMANDWORDS&) {
  SB_ConsoleStopMod();
  return 1;
}

int32_t QuitCommand(const SB_COMMANDWORDS&) {
  SB_ConsoleCloseMod();
  SB_ExecCommand("@DISCARDFLI");
  SB_ExecCommand("@CLOSENET");
  SB_Var.QuitConsole = 1;
  return 1;
}

int32_t ClsCommand(const SB_COMMANDWORDS&) {
  SB_ClearConsole();
  return 1;
}

int32_t EchoCommand(const SB_COMMANDWORDS& words) {
  SB_ConsolePrintf("%s", words.Rest);
  return 1;
}

// A batch that wants to be breakable runs this between its lines.
int32_t KeyQuitBatchCommand(const SB_COMMANDWORDS&) {
  SB_UpdateEvent();
  if (SB_KeyDown(kShiftKey) && SB_KeyDown(kEscapeKey)) {
    SB_ConsolePrintf("Batch execution user break !!!");
    SB_BreakBatch();
  }
  return 1;
}

// In the order in which the keywords are tried.
const SB_COMMAND kCommands[] = {
    {"CLEARCONSOLE", ClearConsoleCommand},
    {"TYPE", SB_TypeCommand},
    {"RUN", RunCommand},
    {"HELP", SB_HelpCommand},
    {"INFO", SB_InfoCommand},
    {"PRELOADFLI", PreloadFliCommand},
    {"DISCARDFLI", DiscardFliCommand},
    {"PLAYMOD", PlayModCommand},
    {"STOPMOD", StopModCommand},
    {"QUIT", QuitCommand},
    {"CLS", ClsCommand},
    {"ECHO", EchoCommand},
    {"TIME", SB_TimeCommand},
    {"DRAWCONSOLE", SB_DrawConsoleCommand},
    {"OUTPUT", SB_OutputCommand},
    {"KEYQUITBATCH", KeyQuitBatchCommand},
};

}  // namespace

const SB_COMMAND* SB_FindCommand(const char* keyword) {
  if (!keyword) return nullptr;
  for (const SB_COMMAND& command : kCommands)
    if (std::strcmp(command.Keyword, keyword) == 0) return &command;
  return nullptr;
}
