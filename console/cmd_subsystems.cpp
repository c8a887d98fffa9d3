// Console words that start the work of other subsystems: the vehicles'
// setups, replays and paint editor, the menus and intro, decor objects,
// the centre-line tools and road generator, and the 3D engine's video
// modes and accelerator versions.
#include <cstddef>
#include <cstring>

#include "console/commands.h"
#include "console/consoleedit.h"
#include "engine3d/videotable.h"
#include "frontend/interface.h"
#include "platform/accel/sgl.h"
#include "race/session.h"
#include "scenery/decorobjects.h"
#include "shell/console.h"
#include "shell/gamepicture.h"
#include "shell/sbvar.h"
#include "shell/textnumber.h"
#include "system/file.h"
#include "tools/bsplines.h"
#include "tools/tools.h"
#include "vehicles/controls.h"
#include "vehicles/devenv.h"
#include "vehicles/replays.h"
#include "vehicles/setups.h"
#include "vehicles/vehicles.h"

namespace {

constexpr const char* kVehicleSetupsFile = "dat>nrcar.cfg";

// Runs the tool on the name, or prints the usage text without one.
int32_t WithName(const SB_COMMANDWORDS& w, const char* usage, void (*tool)(const char*)) {
  if (w.Args[0][0])
    tool(w.Args[0]);
  else
    SB_ConsolePrintf("%s", usage);
  return 1;
}

void SaveTextCars(const char* name) {
  SB_BuildTCARDEFINITIONs(SB_Var.VehicleSetups);
  SB_WriteTCARDEFINITION(name);
  SB_FreeTCARDEFINITIONs();
}

void LoadTextCars(const char* name) {
  if (SB_ReadTCARDEFINITION(name)) SB_ApplyTCARDEFINITIONs(SB_Var.VehicleSetups);
  SB_FreeTCARDEFINITIONs();
}

// A file that exists but is refused has said why already.
void LoadBspline(const char* name) {
  if (!SB_LoadBsplines(name) && !LS_FileExists(name)) SB_ConsolePrintf("Error: file %s not found !!!", name);
}

// The driven car's replay; a usage error without a name.
int32_t SaveReplay(const SB_COMMANDWORDS& w, bool ask) {
  if (!w.Args[0][0]) {
    SB_ConsolePrintf("Error: type SAVEREPLAY name !!!");
    return 0;
  }
  if (ask) {
    char answer[SB_INPUTSIZE];
    SB_ConsoleInput("Do you want to save (y/n): ", answer);
    LS_StrUpper(answer);
    if (std::strcmp(answer, "Y") != 0) return 1;
  }
  SB_SaveCarReplay(w.Args[0]);
  return 1;
}

// One line per field that the record has, "%s" taking its text.
template <typename RECORD>
struct TVERSIONLINE {
  const char* Format;
  const char* RECORD::*Field;
};

template <typename RECORD, size_t N>
void PrintVersions(const RECORD* record, const TVERSIONLINE<RECORD> (&lines)[N]) {
  if (!record) return;
  for (const TVERSIONLINE<RECORD>& line : lines) {
    const char* text = record->*line.Field;
    SB_ConsolePrintf(line.Format, text ? text : "");
  }
}

constexpr TVERSIONLINE<TSGLVERSIONS> kVersionLines[] = {
    {"library                  : %s", &TSGLVERSIONS::library},
    {"required_header          : %s", &TSGLVERSIONS::required_header},
};
constexpr TVERSIONLINE<TSGLWINVERSIONS> kWinVersionLines[] = {
    {"required_sglwin32_header : %s", &TSGLWINVERSIONS::required_sglwin32_header},
    {"sgl_vxd_rev              : %s", &TSGLWINVERSIONS::sgl_vxd_rev},
    {"pci_bridge_vendor_id     : %s", &TSGLWINVERSIONS::pci_bridge_vendor_id},
    {"pci_bridge_device_id     : %s", &TSGLWINVERSIONS::pci_bridge_device_id},
    {"pci_bridge_rev           : %s", &TSGLWINVERSIONS::pci_bridge_rev},
    {"pci_bridge_irq           : %s", &TSGLWINVERSIONS::pci_bridge_irq},
    {"pci_bridge_io_base       : %s", &TSGLWINVERSIONS::pci_bridge_io_base},
    {"tsp_rev                  : %s", &TSGLWINVERSIONS::tsp_rev},
    {"tsp_mem_size             : %smo", &TSGLWINVERSIONS::tsp_mem_size},
    {"isp_rev                  : %s", &TSGLWINVERSIONS::isp_rev},
    {"mode                     : %s", &TSGLWINVERSIONS::mode},
    {"status                   : %s", &TSGLWINVERSIONS::status},
    {"build_info               : %s", &TSGLWINVERSIONS::build_info},
};

}  // namespace

// Vehicles.
int32_t SB_SaveTextCarsCommand(const SB_COMMANDWORDS& w) {
  return WithName(w, "Usage: SAVETEXTCARS [file] !!!", SaveTextCars);
}
int32_t SB_LoadTextCarsCommand(const SB_COMMANDWORDS& w) {
  return WithName(w, "Usage: LOADTEXTCARS [file] !!!", LoadTextCars);
}
int32_t SB_AskSaveReplayCommand(const SB_COMMANDWORDS& w) { return SaveReplay(w, true); }
int32_t SB_SaveReplayCommand(const SB_COMMANDWORDS& w) { return SaveReplay(w, false); }

// A replay file into a car slot: without a slot, the one the file names.
int32_t SB_LoadReplayCommand(const SB_COMMANDWORDS& w) {
  if (!w.Args[0][0]) return 1;
  const int32_t slot = w.Args[1][0] ? SB_TextToLong(w.Args[1]) : -1;
  const int32_t start = w.Args[1][0] && w.Args[2][0] ? SB_TextToLong(w.Args[2]) : 0;
  SB_LoadCarReplay(w.Args[0], slot, start);
  return 1;
}

int32_t SB_InitReplayCommand(const SB_COMMANDWORDS&) {
  SB_FreeAllCarReplays();
  return 1;
}

int32_t SB_CalibrateCommand(const SB_COMMANDWORDS&) {
  SB_CenterJoystick();
  return 1;
}

int32_t SB_CarEditorCommand(const SB_COMMANDWORDS& w) {
  SB_EditUserCar(std::strcmp(w.Args[0], "8") == 0 ? 8 : 16);
  return 1;
}

// One car per local setup, painted on the console's picture; the setups
// are saved whichever way the editor was left.
void SB_EditUserCar(int32_t depth) {
  const int32_t cars = SB_Var.NbCars;
  const int32_t reduction = SB_Var.TextureReduction;
  SB_Var.TextureReduction = 0;
  SB_SetNumberOfCars(SB_Var.NbVehicleSetups);
  SB_ConsolePrintf("Duplicating user cars...");
  SB_LoadCars(SB_Var.VehicleSetups, 1);
  if (SB_Var.DevEnvScreen) SB_CarPaintEditor(SB_Var.DevEnvScreen, depth);
  SB_ConsolePrintf("Free user cars...");
  SB_FreeCars();
  SB_SaveVehicleSetups(kVehicleSetupsFile);
  SB_SetNumberOfCars(cars);
  SB_Var.TextureReduction = reduction;
}

// Front end.
int32_t SB_CalcVitreCommand(const SB_COMMANDWORDS&) {
  SB_ConsolePrintf("Calculating a vitre...");
  SB_CalcVitre();
  return 1;
}

int32_t SB_InterfaceCommand(const SB_COMMANDWORDS&) {
  SB_ConsolePrintf("Launching the interface...");
  SB_RunInterface();
  return 1;
}

int32_t SB_ComdexCommand(const SB_COMMANDWORDS&) {
  SB_ConsolePrintf("Launching the comdex interface...");
  SB_RunComdexInterface();
  return 1;
}

// The intro shows its own pictures; the console's palette comes back after.
int32_t SB_IntroCommand(const SB_COMMANDWORDS&) {
  SB_ConsolePrintf("Launching the intro...");
  SB_PlayLogoIntro();
  if (SB_Var.DevEnvPal) SB_SetPalette(SB_Var.DevEnvPal);
  return 1;
}

// Scenery and editors.
int32_t SB_UsingObjectsCommand(const SB_COMMANDWORDS& w) {
  const char* name = w.Args[0];
  if (!name[0]) {
    SB_ConsolePrintf("Objects Movement %s", SB_Var.DecorObjectsOn ? "Enabled" : "Disabled");
    return 1;
  }
  SB_Var.DecorObjectsOn = LS_FileExists(name) ? 1 : 0;
  if (SB_Var.DecorObjectsOn) {
    LoadObjectScript(name);
    SB_ConsolePrintf("Objects Movements Enabled (%s)", name);
  } else {
    SB_ConsolePrintf("Objects Movements disabled...");
  }
  return 1;
}

int32_t SB_LoadBsplineCommand(const SB_COMMANDWORDS& w) {
  return WithName(w, "syntax: LOADBSPLINE name !!!", LoadBspline);
}
int32_t SB_SaveBsplineCommand(const SB_COMMANDWORDS& w) {
  return WithName(w, "syntax: SAVEBSPLINE name !!!", SB_SaveBsplines);
}
int32_t SB_SaveBsplineMeterCommand(const SB_COMMANDWORDS& w) {
  return WithName(w, "syntax: SAVEBSPLINEMETER name !!!", SB_SaveBsplinesMeters);
}
int32_t SB_MakeRoadCommand(const SB_COMMANDWORDS& w) {
  return WithName(w, "syntax: MAKEROAD name !!!", MakeRoad);
}

// 3D engine.
int32_t SB_VideoListCommand(const SB_COMMANDWORDS&) {
  SB_ListVideoModes();
  return 1;
}

int32_t SB_PvrVersionCommand(const SB_COMMANDWORDS&) {
  if (!(SB_Var.RendererCaps & SB_CAPS_PVR)) {
    SB_ConsolePrintf("PowerVR Card not present !");
    return 1;
  }
  PrintVersions(sgl_get_versions(), kVersionLines);
  PrintVersions(sgl_get_win_versions(), kWinVersionLines);
  return 1;
}
