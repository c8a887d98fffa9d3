// The game's music: CD track 2 during races, and the console's music
// commands, the test module played, stopped and freed with the module
// system.
#include "frontend/media.h"

#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/cdaudio.h"
#include "system/file.h"
#include "system/heap.h"
#include "system/module.h"

const char* const SB_TESTMODULE = "mod>test.mod";

namespace {
constexpr int32_t kFullVolume = 64;
constexpr int32_t kRaceTrack = 2;
constexpr int32_t kRaceRepeats = 10000;
}  // namespace

// Weak, so that the race's tests can record the calls instead.
__attribute__((weak)) int32_t SB_StartCdMusic() {
  if (SB_Var.CdSong) LS_PlayCDTrack(kRaceTrack, kRaceRepeats);
  return 1;
}

__attribute__((weak)) int32_t SB_StopCdMusic() {
  if (SB_Var.CdSong) LS_StopCD();
  return 1;
}

// A module that failed to load is tried again by the next PLAYMOD; until
// one is loaded nothing plays.
int32_t SB_ConsolePlayMod() {
  if (!SB_Var.TestModule) {
    if (!LS_FileExists(SB_TESTMODULE)) {
      SB_ConsolePrintf("Missing module %s", SB_TESTMODULE);
      return 0;
    }
    if (!SB_Var.ModuleSystemOn) {
      SB_ConsolePrintf("Initializing module system.");
      LS_InitModuleSystem();
      SB_Var.ModuleSystemOn = 1;
    }
    SB_ConsolePrintf("Loading module %s", SB_TESTMODULE);
    SB_Var.TestModule = LS_LoadModule(SB_TESTMODULE, LS_DefaultHeap);
    if (!SB_Var.TestModule) return 0;
  }
  LS_PlayModule(SB_Var.TestModule, kFullVolume, 0);
  return 1;
}

int32_t SB_ConsoleStopMod() {
  if (!SB_Var.ModuleSystemOn || !SB_Var.TestModule) return 0;
  SB_ConsolePrintf("Stopping module.");
  return LS_StopModule(0);
}

int32_t SB_ConsoleCloseMod() {
  if (!SB_Var.ModuleSystemOn) return 0;
  if (SB_Var.TestModule) {
    SB_ConsolePrintf("Freeing module.");
    LS_FreeModule(SB_Var.TestModule);
    SB_Var.TestModule = nullptr;
  }
  SB_ConsolePrintf("Closing module system.");
  const int32_t result = LS_CloseModuleSystem();
  SB_Var.ModuleSystemOn = 0;
  return result;
}
