// The default car driven round the default circuit by the scripted driver
// through the race-phase sequencer, and the attract replay recorded from
// its first lap.
#include "datagen/circuitdrive.h"

#include <stdlib.h>

#include <algorithm>

#include <filesystem>
#include <vector>

#include "console/hooks.h"
#include "engine3d/texpages.h"
#include "platform/clock.h"
#include "platform/config.h"
#include "platform/fs.h"
#include "platform/joystick.h"
#include "platform/window.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "race/session.h"
#include "racescene/mapinfo.h"
#include "shell/gameclock.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"
#include "system/input.h"
#include "system/win/shell.h"
#include "track/bspline.h"
#include "track/decor.h"
#include "track/track.h"
#include "vehicles/cars.h"
#include "vehicles/devenv.h"
#include "vehicles/replays.h"
#include "vehicles/vehicles.h"
#include "vehicles/vparams.h"

namespace datagen {

namespace {

constexpr const char* kMap = "DEC>NETRACE.DEC";
constexpr const char* kMapInfo = "TXT>NETRACE.TXT";
constexpr int32_t kMaxLapFrames = 20000;  // 400 s of 20 ms frames: a lap that never ends
constexpr uint32_t kLapFrameMs = 20;

}  // namespace

TreeLibrary::TreeLibrary(const std::string& root, uint32_t heapBytes, const std::string& writable) {
  char pattern[] = "/tmp/zentrova-drive-XXXXXX";
  if (const char* made = mkdtemp(pattern)) config_ = made;
  plat::SetConfigDir(config_);
  plat::SetMessageBoxEcho(false);
  std::vector<plat::DriveConfig> drives = {{'C', plat::DriveType::Fixed, "", root}};
  if (!writable.empty()) drives.push_back({'D', plat::DriveType::Fixed, "", writable});
  plat::ConfigureDrives(drives);
  plat::UseManualClock(true);
  plat::SetManualTime(0);
  plat::ResetJoysticks();
  if (!LSI_InitMemory(heapBytes)) return;
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  LSI_InitDirectory();
  SB_InstallHooks();
  SB_ResetVars();
  // The windows exist and are active, so that nothing waits for an activation.
  LSYS_CreateWindows(nullptr, 1);
  LSYS_PumpMessages();
  started_ = true;
}

TreeLibrary::~TreeLibrary() {
  LSI_CloseMemory();
  plat::SetConfigDir("");
  std::error_code ec;
  if (!config_.empty()) std::filesystem::remove_all(config_, ec);
}

void SetStick(double x, double y, uint32_t buttons) {
  plat::JoyCaps caps;
  caps.xMax = caps.yMax = 1000;
  caps.buttons = 4;
  plat::PlugJoystick(0, caps);
  plat::SetJoystickPosition(0, {static_cast<uint32_t>((x + 1) * 500 + 0.5), static_cast<uint32_t>((y + 1) * 500 + 0.5),
                                buttons});
  LSI_InitJoy();
}

namespace {

// The default circuit: its map, lookup lists and map information.
bool LoadCircuit(std::string* error) {
  if (SB_LoadDecor(kMap) != 1) {
    *error = std::string("cannot load ") + kMap;
    return false;
  }
  BuildListXZYPoly();
  BuildXZYList();
  SB_BuildTextureDescriptors();  // the road's letter, which the road query reads
  if (SB_LoadMapInfo(kMapInfo) != 1) {
    *error = std::string("cannot load ") + kMapInfo;
    return false;
  }
  return true;
}

}  // namespace

bool CircuitDrive::Start(std::string* error, const MapLoader& loader) {
  Stop();
  SB_InstallHooks();
  started_ = true;
  if (!(loader ? loader(error) : LoadCircuit(error))) return false;
  SB_Var.CurStartSlots = &SB_Var.StartSlots[0];
  SB_LoadVehiclePrototypes(nullptr);
  SB_Var.GameMode = SB_OFFLINE;
  SB_Var.GridStart = 1;
  SB_ApplyGameModeSettings();
  if (!loader) SB_EvolutionPrepare();
  if (!SB_Var.VehiclePrototype || SB_Var.NbBsplinePoints < 2) {
    *error = "no car prototypes or no centre line";
    return false;
  }
  SB_Var.ControlMode = 0;
  SB_Var.LinearInput = 1;
  SB_SetControlMap();
  SetStick(0, 0, 0);
  SB_Var.CameraMode = 1;
  SB_Var.NbCars = std::clamp(cars_ + (poleCar_ ? 1 : 0), 1, SB_MAXCARS);
  SB_Var.UsingCars = 1;
  SB_Var.DrivenCar = 0;
  for (int32_t i = 0; i < SB_Var.NbCars; ++i)
    if (!(SB_Var.Cars[i] = LoadVehicle())) {
      *error = "cannot make the cars";
      return false;
    }
  if (poleCar_) {
    SB_Var.GridCount = 0;
    SB_PlaceCarOnGrid(&pole_, 0);
    SB_Var.GridCount = 0;
  }
  MoveToGridPlace(gridPlace_);
  SB_StartRace();
  KeepPoleCar();
  for (int32_t i = 0; i < SB_Var.NbCars; ++i) SB_Var.Cars[i]->TexturesReady = 1;
  SB_SetGameModeSteps(SB_OFFLINE);
  SB_Var.RaceClockStart = -1;  // a fresh race: its clock starts at the first lap
  SB_ResetClock();
  SB_AllocLocalReplay();
  SB_ResetReplayClocks();
  driver_ = ScriptedDriver{};
  return true;
}

// The game mode's start slot, as the map information loaded it for this
// drive, moved by the step from the grid's first place to the place given
// (as the game's own grid places the cars), so that car 0 starts there at
// every placing.
void CircuitDrive::MoveToGridPlace(int32_t place) {
  const ptrdiff_t index = SB_Var.CurStartSlots - SB_Var.StartSlots;
  if (place <= 0 || index < 0 || index >= SB_NBSTARTSLOTS) return;
  TSTARTSLOT& slot = SB_Var.StartSlots[index];
  TCAR& car = *SB_Var.Cars[0];
  double at[2][2];
  for (int32_t k = 0; k < 2; ++k) {
    SB_Var.GridCount = k == 0 ? 0 : place;
    SB_PlaceCarOnGrid(&car, 0);
    at[k][0] = car.Position[0];
    at[k][1] = car.Position[2];
  }
  SB_Var.GridCount = 0;
  slot.X += at[1][0] - at[0][0];
  slot.Z += at[1][1] - at[0][1];
}

// The last car back on the pole, standing, wherever the grid (which the
// race's start lays out again) put it.
void CircuitDrive::KeepPoleCar() {
  if (!poleCar_) return;
  TCAR& car = *SB_Var.Cars[SB_Var.NbCars - 1];
  car.Position[0] = pole_.Position[0];  // the height is the grid's, as the race placed it
  car.Position[2] = pole_.Position[2];
  std::copy(std::begin(pole_.Orientation), std::end(pole_.Orientation), car.Orientation);
  std::copy(std::begin(pole_.InsetMatrix), std::end(pole_.InsetMatrix), car.InsetMatrix);
  std::fill(std::begin(car.Velocity), std::end(car.Velocity), 0.0);
  std::fill(std::begin(car.AngularVelocity), std::end(car.AngularVelocity), 0.0);
}

void CircuitDrive::Frame(uint32_t ms, const std::function<void(DriverInput&)>& adjust) {
  plat::AdvanceManualTime(ms);
  SB_UpdateClock();
  DriverInput in = driver_.Frame(Car(), SB_GetGameStep());
  if (adjust) adjust(in);
  SetStick(in.x, in.y, in.buttons);
  SB_SnapshotControls();
  SB_DoGameMode();
  KeepPoleCar();
  SB_UpdateLapCounters();
  SB_UpdateCars();
}

void CircuitDrive::Stop() {
  if (!started_) return;
  started_ = false;
  SB_FreeAllCarReplays();
  SB_FreeLocalReplay();
  for (TCAR*& car : SB_Var.Cars) {
    SB_FreeVehicle(car);
    car = nullptr;
  }
  SB_Var.NbCars = 0;
  SB_Var.UsingCars = 0;
  SB_FreeVehiclePrototypes();
  SB_FreeBsplinePoints();
  SB_FreeListXZYPoly();
  SB_FreeXZYList();
  SB_FreeDecor();
}

// Paces and lines chosen so that the cars from behind catch the ones ahead
// within a lap, each on a line of its own so that they pass beside one
// another.
const LapReplay kAttractReplay = {"SA0.REP", 0, 42.0, 27.0, 0.0};
const LapReplay kOpponentReplays[3] = {
    {"SA1.REP", 1, 48.0, 31.0, -3.0},
    {"SA2.REP", 2, 45.0, 29.0, 3.0},
    {"SA3.REP", 3, 41.0, 26.5, -4.0},
};

bool RecordLapReplay(const LapReplay& lap, std::string* error) {
  const char* path = lap.path;
  CircuitDrive drive;
  drive.SetGridPlace(lap.gridPlace);
  drive.SetPoleCar(lap.gridPlace > 0);
  if (!drive.Start(error)) return false;
  drive.Driver().straightSpeed = lap.straightSpeed;
  drive.Driver().bendSpeed = lap.bendSpeed;
  drive.Driver().lineOffset = lap.lineOffset;
  // The first lap, and on until the replay's last record is past the car's
  // grid place, so that the replay's loop goes on from a passage of the
  // car racing rather than from the car standing on the grid.
  const TCAR& car = drive.Car();
  const double grid[2] = {car.Position[0], car.Position[2]}, ahead[2] = {car.Orientation[6], car.Orientation[8]};
  auto lastPastGrid = [&] {
    const TREPLAY* replay = SB_Var.LocalReplay;
    if (!replay || replay->RecordCount < 1) return false;
    const TREPLAYREC& last = replay->Records[replay->RecordCount - 1];
    return (last.Position[0] * 0.001 - grid[0]) * ahead[0] + (last.Position[2] * 0.001 - grid[1]) * ahead[1] > 0.0;
  };
  int32_t frame = 0;
  for (; frame < kMaxLapFrames && car.Laps < 1; ++frame) drive.Frame(kLapFrameMs);
  for (; frame < kMaxLapFrames && car.Laps >= 1 && !lastPastGrid(); ++frame) drive.Frame(kLapFrameMs);
  if (drive.Car().Laps < 1) {
    *error = "the car did not finish its lap";
    return false;
  }
  if (SB_SaveCarReplay(path) != 1) {
    *error = std::string("cannot write ") + path;
    return false;
  }
  return true;
}

}  // namespace datagen
