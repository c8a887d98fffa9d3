// The console's music commands: the test module played, stopped and freed
// with the module system.
#include "frontend/media.h"

#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/heap.h"
#include "system/module.h"

const char* const SB_TESTMODULE = "mod>test.mod";

namespace {
constexpr int32_t kFullVolume = 64;
}

int32_t SB_ConsolePlayMod() {
  if (!SB_Var.ModuleSystemOn) {
    LS_InitModuleSystem();
    SB_Var.ModuleSystemOn = 1;
  }
  if (!SB_Var.TestModule) SB_Var.TestModule = LS_LoadModule(SB_TESTMODULE, LS_DefaultHeap);
  if (!SB_Var.TestModule) return 0;
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
