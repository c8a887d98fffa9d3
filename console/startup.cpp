// The game's main function: start-up, the console run, shutdown.
#include "console/startup.h"

#include <cstdio>
#include <cstring>

#include "console/hooks.h"
#include "net/net.h"
#include "platform/debug.h"
#include "race/session.h"
#include "racescene/videomode.h"
#include "shell/gameclock.h"
#include "shell/gameevent.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "softrender/fpu.h"
#include "system/asm3d/zidade3d.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/file.h"
#include "system/graphic.h"
#include "system/heap.h"
#include "system/sound.h"
#include "system/win/shell.h"

const char* const SB_INSTALLPATH = "HDISK:>program files>tamrisk entertainment>zentrova race";
const char* const SB_RUNTIMEMARKER = "pcx>devenv.pcx";
const char* const SB_MASTERDIR = "HDISK:>master";

namespace {
constexpr size_t kMaxArgument = 255;

// Copies an argument for matching; arguments longer than the copy can hold
// are not options and are skipped.
bool UpperCopy(const char* argument, char (&copy)[kMaxArgument + 1]) {
  if (!argument || std::strlen(argument) > kMaxArgument) return false;
  std::strcpy(copy, argument);
  LS_StrUpper(copy);
  return true;
}
}  // namespace

void SB_ParseArgs(int16_t argc, char** argv) {
  std::strcpy(SB_Var.StartupScript, "startup.txt");
  SB_Var.MemoryClass = -1;
  for (int16_t i = 0; i < argc; ++i) {
    char copy[kMaxArgument + 1];
    if (!argv || !UpperCopy(argv[i], copy)) continue;
    if (std::strncmp(copy, "-S:", 3) == 0)
      std::snprintf(SB_Var.StartupScript, sizeof SB_Var.StartupScript, "%s", copy + 3);
    if (std::strncmp(copy, "-M:", 3) == 0) {
      if (std::strcmp(copy + 3, "LOW") == 0) SB_Var.MemoryClass = SB_MEMORY_LOW;
      if (std::strcmp(copy + 3, "HIGH") == 0) SB_Var.MemoryClass = SB_MEMORY_HIGH;
    }
  }
}

void SB_GetMemoryClass() {
  if (SB_Var.MemoryClass != -1) return;
  LS_MEMORYSTATUS status{};
  LSYS_GetMemoryStatus(&status);
  // A signed 32-bit class holds at most 2 GiB - 1.
  SB_Var.MemoryClass = status.TotalPhys > INT32_MAX ? INT32_MAX : static_cast<int32_t>(status.TotalPhys);
}

void SB_SetRuntimeDirectory(const char* installPath) {
  if (!LS_FileExists(SB_RUNTIMEMARKER)) {
    LS_SetCurrentDir(SB_MASTERDIR);
    if (!LS_FileExists(SB_RUNTIMEMARKER)) {
      LS_SetCurrentDir(installPath);
      if (!LS_FileExists(SB_RUNTIMEMARKER)) {
        LS_Message("Bad runtime directory !");
        LS_Exit(-1);
      }
    }
  }
  std::snprintf(SB_Var.RuntimePath, sizeof SB_Var.RuntimePath, "%s%s", LS_Var.RootDir.Root,
                LS_Var.CurrentDir);
}

int32_t SB_OnActivate(int32_t active) {
  // Time spent in another application must not show as one long frame;
  // a network race keeps its clock running.
  if (active && !NET_IsConnected()) SB_ResetClock();
  return 1;
}

int32_t SB_DebugBreak(const char*) {
  plat::DebugBreak();
  return 0;
}

void SB_Init(int16_t argc, char** argv) {
  SB_Var.HeapSize = SB_HEAPSIZE;
  SB_ParseArgs(argc, argv);
  SB_GetMemoryClass();
  LS_InitZidAde(static_cast<uint32_t>(SB_Var.HeapSize));
  SB_UpdateEvent();
  SB_SetRuntimeDirectory(SB_INSTALLPATH);
  LS_InitSinTable();
  E3D_SetFpuControl();
  SB_SetDisplayMode(640, 480, 16);
  SB_InitVideoModes();
  VIDEOCAPS caps{};
  LS_GetVideoModeCaps(&caps);
  if (caps.Hardware == 0)
    LS_Error(0, "\n\n\nDIRECTDRAW : NO HARDWARE SUPPORT !\n\nPLEASE CHECK YOUR DIRECTX VIDEO DRIVER.");
  SB_UpdateEvent();
  const SOUNDFORMAT format{11025, 1, 8};
  SetSoundFormat(&format);
  if (LSI_Var.Debug) LS_SetErrorHook(SB_DebugBreak);
  LSYS_SetActivateHook(SB_OnActivate);
  LSYS_SetRunInactiveHook(NET_IsSessionOpen);
}

void SB_Run() {
  SB_ShowPleaseWait();
  SB_Var.RunDone = 0;
  while (!SB_Var.RunDone) SB_RunConsole();
  SB_ReportBmapLeaks();
  SB_ReportMemLeaks();
}

void SB_Shutdown() {
  E3D_RestoreFpuControl();
  LS_ClearBmap(LS_Var.Screen);
  LS_Close3D();
  LS_CloseZidAde();
  LS_Exit(0);
}

int32_t SB_Main(int16_t argc, char** argv) {
  SB_InstallHooks();
  // The record holds start values other than zero (tables, defaults).
  SB_ResetVars();
  SB_Init(argc, argv);
  SB_Run();
  SB_Shutdown();
}
