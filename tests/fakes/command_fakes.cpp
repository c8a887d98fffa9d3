// Recording fakes in place of the weak stubs the console words call, and
// the console-word fixture.
#include "tests/fakes/command_fakes.h"

#include "console/interpreter.h"
#include "race/kiosk.h"
#include "race/session.h"
#include "scenery/decorobjects.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "tools/tools.h"
#include "vehicles/controls.h"
#include "vehicles/replays.h"
#include "vehicles/setups.h"

namespace ztest {

CommandFakes& Commands() {
  static CommandFakes fakes;
  return fakes;
}

void CommandTest::SetUp() {
  ShellTest::SetUp();
  ResetFakes();
  Commands() = CommandFakes{};
}

int32_t CommandTest::Run(const std::string& line) { return SB_ExecCommand("@%s", line.c_str()); }

std::vector<std::string> CommandTest::Printed() {
  std::vector<std::string> lines = SB_PrintedLines();
  SB_ClearPrintedLines();
  return lines;
}

}  // namespace ztest

using ztest::Record;

// Kiosk and the race session's pictures.
void SB_InstallKioskHook() { Record("InstallKioskHook"); }
void SB_RemoveKioskHook() { Record("RemoveKioskHook"); }
void SB_PlayLogoIntro() { Record("PlayLogoIntro"); }

// Vehicles.
void SB_AllocCarsReplays() { Record("AllocCarsReplays %d", SB_Var.NbCars); }
int32_t SB_SaveCarReplay(const char* name) {
  Record("SaveCarReplay %s", name);
  return 1;
}
void SB_CenterJoystick() { Record("CenterJoystick"); }
void SB_SetSelectedSetup(int32_t n) {
  Record("SetSelectedSetup %d", n);
  SB_Var.SelectedSetup = n;
}
int32_t SB_SaveVehicleSetups(const char* name) {
  Record("SaveVehicleSetups %s", name);
  return 1;
}
int32_t SB_LoadCars(TVEHICLESETUP*, int32_t flag) {
  Record("LoadCars %d %d reduction %d", SB_Var.NbCars, flag, SB_Var.TextureReduction);
  return 1;
}
void SB_FreeCars() { Record("FreeCars"); }
void SB_BuildTCARDEFINITIONs(TVEHICLESETUP*) { Record("BuildTCARDEFINITIONs"); }
int32_t SB_WriteTCARDEFINITION(const char* name) {
  Record("WriteTCARDEFINITION %s", name);
  return 1;
}
int32_t SB_ReadTCARDEFINITION(const char* name) {
  Record("ReadTCARDEFINITION %s", name);
  return ztest::Commands().definitionsFound;
}
int32_t SB_ApplyTCARDEFINITIONs(TVEHICLESETUP*) {
  Record("ApplyTCARDEFINITIONs");
  return 1;
}
void SB_FreeTCARDEFINITIONs() { Record("FreeTCARDEFINITIONs"); }

// Scenery and editors.
void LoadObjectScript(const char* name) { Record("LoadObjectScript %s", name); }
void SB_CarPaintEditor(BMAP* picture, int32_t depth) {
  Record("CarPaintEditor %s %d cars %d", picture == SB_Var.DevEnvScreen ? "console" : "other", depth,
         SB_Var.NbCars);
}
