// The console session until the development environment exists: the
// console alone, on its background and palette, with the default circuit
// and detail and the first available video mode, runs the start-up script
// and then reads and runs command lines until QUIT.
#include <cstdio>

#include "engine3d/videotable.h"
#include "shell/console.h"
#include "shell/devenv.h"
#include "shell/gameevent.h"
#include "shell/gamepicture.h"
#include "shell/interpreter.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "shell/startup.h"

namespace {

constexpr const char* kBackground = "pcx>devenv.pcx";

void SetDefaults() {
  std::snprintf(SB_Var.AsciiMapFile, sizeof SB_Var.AsciiMapFile, "%s", "..>ASC>netrace.asc");
  std::snprintf(SB_Var.DecorMapFile, sizeof SB_Var.DecorMapFile, "%s", "DEC>netrace.dec");
  std::snprintf(SB_Var.ConfigFile, sizeof SB_Var.ConfigFile, "%s", "TXT>netrace.txt");
  std::snprintf(SB_Var.TexturePath, sizeof SB_Var.TexturePath, "%s", "travun>");
  SB_Var.BuildMap = 0;
  SB_Var.FarDistance = 38400;
  SB_Var.DrawDistance = 300;
  SB_FindVideoMode(0);
}

}  // namespace

int32_t SB_DevEnv() {
  SB_FlushKeyboard();
  SB_Var.DrawConsole = 0;
  SB_Var.DevEnvBackground = SB_LoadPcx(kBackground, 0);
  SB_Var.DevEnvPal = SB_LoadPalette(kBackground);
  if (SB_Var.DevEnvPal) SB_SetPalette(SB_Var.DevEnvPal);
  SB_Var.QuitConsole = 0;
  SB_ClearHistory();
  SB_Var.HistoryIndex = SB_EDITLINE;
  SB_ClearConsole();
  SB_ConsolePrintf("Launching the game on %s !!!", SB_Var.RuntimePath);
  SetDefaults();
  SB_ExecCommand("@run %s", SB_Var.StartupScript);
  while (!SB_Var.QuitConsole) {
    SB_Var.DrawConsole = 1;
    SB_NullHook();
    SB_ConsoleStep();
  }
  SB_FreePalette(SB_Var.DevEnvPal);
  SB_Var.DevEnvPal = nullptr;
  SB_FreeDevEnvBackground();
  if (SB_Var.DevEnvScreen) SB_FreeBmap(SB_Var.DevEnvScreen);
  SB_Var.DevEnvScreen = nullptr;
  return 0;
}

void SB_FreeDevEnvBackground() {
  if (SB_Var.DevEnvBackground) SB_FreeBmap(SB_Var.DevEnvBackground);
  SB_Var.DevEnvBackground = nullptr;
}
