// The console run: until the development environment exists, the console
// alone runs the start-up script and then reads and runs command lines
// until QUIT.
#include "shell/console.h"
#include "shell/gameevent.h"
#include "shell/gamepicture.h"
#include "shell/interpreter.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "shell/session.h"
#include "shell/startup.h"

namespace {
PALETTE* g_palette = nullptr;  // the background's palette, current while the console runs
}

void SB_ShowPleaseWait() {}

int32_t SB_RunConsole() {
  SB_FlushKeyboard();
  SB_Var.DrawConsole = 0;
  SB_Var.DevEnvBackground = SB_LoadPcx("pcx>devenv.pcx", 0);
  g_palette = SB_LoadPalette("pcx>devenv.pcx");
  if (g_palette) SB_SetPalette(g_palette);
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
  SB_FreePalette(g_palette);
  g_palette = nullptr;
  if (SB_Var.DevEnvBackground) SB_FreeBmap(SB_Var.DevEnvBackground);
  if (SB_Var.DevEnvScreen) SB_FreeBmap(SB_Var.DevEnvScreen);
  SB_Var.DevEnvBackground = SB_Var.DevEnvScreen = nullptr;
  SB_Var.RunDone = 1;
  return 0;
}
