// The console run: until the development environment exists, the console
// alone runs the start-up script and then reads and runs command lines
// until QUIT.
#include "shell/console.h"
#include "shell/gameevent.h"
#include "shell/interpreter.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "shell/session.h"
#include "shell/startup.h"

void SB_ShowPleaseWait() {}

int32_t SB_RunConsole() {
  SB_FlushKeyboard();
  SB_Var.DrawConsole = 0;
  SB_Var.QuitConsole = 0;
  SB_ClearHistory();
  SB_Var.HistoryIndex = SB_EDITLINE;
  SB_ClearConsole();
  SB_ConsolePrintf("Launching the game on %s !!!", SB_Var.RuntimePath);
  SB_ExecCommand("@run %s", SB_Var.StartupScript);
  while (!SB_Var.QuitConsole) {
    SB_Var.DrawConsole = 1;
    SB_NullHook();
    SB_ConsoleStep();
  }
  if (SB_Var.DevEnvScreen) SB_FreeBmap(SB_Var.DevEnvScreen);
  SB_Var.DevEnvScreen = nullptr;
  SB_Var.RunDone = 1;
  return 0;
}
