// Recording fakes in place of the weak stubs the console words call, and
// the console-word fixture.
#include "tests/shell/command_fakes.h"

#include "frontend/interface.h"
#include "scenery/decorobjects.h"
#include "shell/console.h"
#include "shell/interpreter.h"
#include "shell/kiosk.h"
#include "shell/sbvar.h"
#include "shell/session.h"
#include "tools/tools.h"
#include "track/decor.h"
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

namespace {

void Note(const std::string& call) { ztest::Fakes().calls.push_back(call); }
std::string Text(const char* text) { return text ? text : "(null)"; }

}  // namespace

// Track, kiosk and the race session's pictures.
void SB_FreeDecor() { Note("FreeDecor"); }
void SB_InstallKioskHook() { Note("InstallKioskHook"); }
void SB_RemoveKioskHook() { Note("RemoveKioskHook"); }
void SB_PlayLogoIntro() { Note("PlayLogoIntro"); }

// Vehicles.
void SB_AllocCarsReplays() { Note("AllocCarsReplays " + std::to_string(SB_Var.NbCars)); }
void SB_FreeCarsReplays() { Note("FreeCarsReplays"); }
int32_t SB_SaveCarReplay(const char* name) {
  Note("SaveCarReplay " + Text(name));
  return 1;
}
void SB_CenterJoystick() { Note("CenterJoystick"); }
void SB_SetSelectedSetup(int32_t n) {
  Note("SetSelectedSetup " + std::to_string(n));
  SB_Var.SelectedSetup = n;
}
int32_t SB_SaveVehicleSetups(const char* name) {
  Note("SaveVehicleSetups " + Text(name));
  return 1;
}
int32_t SB_LoadCars(TVEHICLESETUP*, int32_t flag) {
  Note("LoadCars " + std::to_string(SB_Var.NbCars) + " " + std::to_string(flag) + " reduction " +
       std::to_string(SB_Var.TextureReduction));
  return 1;
}
void SB_FreeCars() { Note("FreeCars"); }
void SB_BuildTCARDEFINITIONs(TVEHICLESETUP*) { Note("BuildTCARDEFINITIONs"); }
int32_t SB_WriteTCARDEFINITION(const char* name) {
  Note("WriteTCARDEFINITION " + Text(name));
  return 1;
}
int32_t SB_ReadTCARDEFINITION(const char* name) {
  Note("ReadTCARDEFINITION " + Text(name));
  return ztest::Commands().definitionsFound;
}
void SB_ApplyTCARDEFINITIONs(TVEHICLESETUP*) { Note("ApplyTCARDEFINITIONs"); }
void SB_FreeTCARDEFINITIONs() { Note("FreeTCARDEFINITIONs"); }

// Scenery and editors.
void LoadObjectScript(const char* name) { Note("LoadObjectScript " + Text(name)); }
int32_t SB_LoadBsplines(const char* name) {
  Note("LoadBsplines " + Text(name));
  return ztest::Commands().bsplinesFound;
}
void SB_SaveBsplines(const char* name) { Note("SaveBsplines " + Text(name)); }
void SB_SaveBsplinesMeters(const char* name) { Note("SaveBsplinesMeters " + Text(name)); }
void MakeRoad(const char* name) { Note("MakeRoad " + Text(name)); }
void SB_CarPaintEditor(BMAP* picture, int32_t depth) {
  Note("CarPaintEditor " + std::string(picture == SB_Var.DevEnvScreen ? "console" : "other") + " " +
       std::to_string(depth) + " cars " + std::to_string(SB_Var.NbCars));
}

// Front end.
int32_t SB_RunInterface() {
  Note("RunInterface");
  return 1;
}
int32_t SB_RunComdexInterface() {
  Note("RunComdexInterface");
  return 1;
}
int32_t SB_CalcVitre() {
  Note("CalcVitre");
  return 1;
}

// The accelerator library's versions.
const TSGLVERSIONS* sgl_get_versions() { return ztest::Commands().versions; }
const TSGLWINVERSIONS* sgl_get_win_versions() { return ztest::Commands().winVersions; }
