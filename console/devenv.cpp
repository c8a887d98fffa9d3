// The development environment: the console's start-up, its loop and its
// tear-down, each step in a fixed order.
#include "console/devenv.h"

#include <cstdio>
#include <string>

#include "console/consoleedit.h"
#include "console/interpreter.h"
#include "console/startup.h"
#include "engine3d/videotable.h"
#include "net/net.h"
#include "platform/fs.h"
#include "platform/window.h"
#include "race/racerules.h"
#include "scenery/devenv.h"
#include "shell/console.h"
#include "shell/gameevent.h"
#include "shell/gamepicture.h"
#include "shell/hooks.h"
#include "shell/keyfile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/file.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "tools/bsplines.h"
#include "track/bspline.h"
#include "track/decor.h"
#include "vehicles/devenv.h"
#include "vehicles/vehicles.h"

const char* const SB_DEVENVPICTURE = "pcx>devenv.pcx";

namespace {

// The background and its palette. A picture without a palette keeps the
// current one: a null palette would turn everything black.
void LoadBackground() {
  SB_Var.DevEnvBackground = SB_LoadPcx(SB_DEVENVPICTURE, 0);
  SB_Var.DevEnvPal = SB_LoadPalette(SB_DEVENVPICTURE);
  if (SB_Var.DevEnvPal) SB_SetPalette(SB_Var.DevEnvPal);
}

void ClearConsoleState() {
  SB_Var.QuitConsole = 0;
  SB_ClearHistory();
  SB_Var.HistoryIndex = SB_EDITLINE;
  SB_ClearConsole();
}

void SetDefaultCircuit() {
  std::snprintf(SB_Var.CircuitFile, sizeof SB_Var.CircuitFile, "netrace.txt");
  std::snprintf(SB_Var.AsciiMapFile, sizeof SB_Var.AsciiMapFile, "..>ASC>netrace.asc");
  std::snprintf(SB_Var.DecorMapFile, sizeof SB_Var.DecorMapFile, "DEC>netrace.dec");
  std::snprintf(SB_Var.ConfigFile, sizeof SB_Var.ConfigFile, "TXT>netrace.txt");
  std::snprintf(SB_Var.BankFile, sizeof SB_Var.BankFile, "BNK>NETRACE.BNK");
  std::snprintf(SB_Var.TexturePath, sizeof SB_Var.TexturePath, "travun>");
  SB_Var.SplitTextureRepeats = 1;
  SB_Var.BuildMap = 0;
  SB_Var.FarDistance = 38400;
  SB_Var.DrawDistance = 300;
}

// What every race shares: vehicles, background objects, birds and the
// effects' pictures.
void LoadSharedData() {
  SB_ConsolePrintf("Loading vehicle prototypes...");
  SB_LoadVehiclePrototypes(nullptr);
  LoadBackObcFile();
  SB_InitVehicleSetups();
  SB_ClearCarReplaySlots();
  SB_FindVideoMode(0);
  SB_LoadVehicleSetups("dat>nrcar.cfg");
  InitBirds();
  SB_InitKeyFiles();
  SB_LoadScratch();
  SB_LoadExplosionBmaps();
}

// Headless with no key to come, a start-up script that cannot be read
// leaves the run nothing to do: after the console's message, standard
// error names the script
// as the game and as the host name it, and the program ends with an error
// code.
[[noreturn]] void EndForUnreadableScript() {
  char logical[LS_PATHSIZE];
  std::snprintf(logical, sizeof logical, "DAT>%s", SB_Var.StartupScript);
  LS_StrUpper(logical);
  char physical[LS_PATHSIZE];
  std::snprintf(physical, sizeof physical, "%s", logical);
  std::string host;
  if (LSI_GetPhysicalPath(physical) < 0) physical[0] = 0;
  if (!physical[0] || !plat::ResolveHostPath(physical, true, host)) host = physical;
  std::fprintf(stderr, "zentrova: cannot read the start-up script %s (%s)\n", logical, host.c_str());
  LS_Exit(1);
}

}  // namespace

int32_t SB_InitDevEnv() {
  // Nothing is drawn until the loop starts: a start-up script runs on the
  // please-wait picture.
  SB_Var.DrawConsole = 0;
  SB_AllocLocalReplay();
  LoadBackground();
  ClearConsoleState();
  SB_ConsolePrintf("Launching the game on %s !!!", SB_Var.RuntimePath);
  SetDefaultCircuit();
  LoadSharedData();
  SB_ExecCommand("@TIME ON");
  SB_ConsoleStartHook();
  SB_InitVParams();
  SB_SetGameMode(SB_TRAINING);
  SB_Var.TextureScale = SB_Var.MemoryClass > SB_LARGEMEMORYCLASS ? 2 : 4;
  return SB_ExecCommand("@run %s", SB_Var.StartupScript);
}

void SB_FreeDevEnvScreen() {
  if (SB_Var.DevEnvScreen) SB_FreeBmap(SB_Var.DevEnvScreen);
  SB_Var.DevEnvScreen = nullptr;
}

void SB_FreeDevEnv() {
  SB_FreeCarsReplays();
  SB_FreeBsplinesMeters();
  SB_FreeBsplinePoints();
  NET_FreeConsoleList();
  SB_FreeDecor();
  SB_FreeExplosionBmaps();
  SB_FreeScratch();
  SB_FreeBirds();
  SB_ConsolePrintf("Free decor objects stuff...");
  SB_FreeDecorNames();
  SB_ConsolePrintf("Free decor objects...");
  SB_FreeDecorObjects();
  FreeBackObc();
  SB_FreeAllCarReplays();
  SB_ConsolePrintf("Free vehicle prototypes...");
  SB_FreeVehiclePrototypes();
  SB_FreePalette(SB_Var.DevEnvPal);
  SB_Var.DevEnvPal = nullptr;
  SB_FreeDevEnvBackground();
  SB_FreeDevEnvScreen();
  SB_FreeLocalReplay();
}

int32_t SB_DevEnv() {
  SB_FlushKeyboard();
  SB_InitDevEnv();
  if (!SB_OutermostBatchRead() && plat::Headless() && !LSYS_KeyMayCome()) EndForUnreadableScript();
  while (!SB_Var.QuitConsole) {
    SB_Var.DrawConsole = 1;
    SB_NullHook();
    SB_ConsoleStep();
    // Headless, with no key to come, nothing could ever end the loop: it
    // ends as a typed QUIT would.
    if (!SB_Var.QuitConsole && !LSYS_KeyMayCome()) SB_ExecCommand("@QUIT");
    SB_ConsoleIdle();
  }
  SB_FreeDevEnv();
  return 0;
}
