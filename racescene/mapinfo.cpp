// The map information file of a circuit: which centre line belongs to it,
// the three start slots of the grid, and the scenery's sun and night keys.
#include "racescene/mapinfo.h"

#include <cmath>

#include "scenery/mapkeys.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/keyfile.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "track/bspline.h"
#include "track/track.h"

namespace {

bool Finite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

bool InMap(std::initializer_list<double> values) {
  for (double v : values)
    if (!(v >= SB_MAPLOWMETRES && v < SB_MAPHIGHMETRES)) return false;
  return true;
}

// The next FIRSTCAROFF/CARINITANGLEY pair after the last match. A value
// that is missing, incomplete or not finite stays cleared; a start
// position outside the map is refused, since no car can stand there.
void ReadStartSlot(TKEYFILE* keys, TSTARTSLOT* slot, const char* path) {
  double x = 0, y = 0, z = 0, angle = 0;
  if (SB_ScanKeyFile(keys, 0, "FIRSTCAROFF: %f,%f,%f", {&x, &y, &z}) == 3 && Finite({x, y, z})) {
    if (InMap({x, y, z})) {
      slot->X = x;
      slot->Y = y;
      slot->Z = z;
    } else {
      SB_ConsolePrintf("Start position out of the map in map info file %s !!!", path);
    }
  }
  if (SB_ScanKeyFile(keys, 0, "CARINITANGLEY: %f", {&angle}) == 1 && Finite({angle})) slot->Angle = angle;
  slot->CarStepX = std::cos(slot->Angle) * 5.0;
  slot->CarStepZ = std::sin(slot->Angle) * 5.0;
  slot->RowStepX = std::sin(slot->Angle) * 10.0;
  slot->RowStepZ = std::cos(slot->Angle) * -10.0;
}

}  // namespace

// Weak, so that the race session's tests can put a recording fake in its place.
__attribute__((weak)) int32_t SB_LoadMapInfo(const char* path) {
  TKEYFILE* keys = path && LS_FileExists(path) ? SB_OpenKeyFile(path) : nullptr;
  if (!keys) {
    SB_ConsolePrintf("Map info file %s not found !!!", path ? path : "");
    return 0;
  }
  SB_ConsolePrintf("Loading map info file %s...", path);
  // A key the file lacks must not keep another circuit's value.
  for (TSTARTSLOT& slot : SB_Var.StartSlots) slot = TSTARTSLOT{};
  SB_ReadBsplineName(keys, SB_Var.BsplineName, sizeof SB_Var.BsplineName);
  for (TSTARTSLOT& slot : SB_Var.StartSlots) ReadStartSlot(keys, &slot, path);
  SB_ReadSunPosition(keys);
  SB_ReadNightTimes(keys);
  if (SB_Hooks.InitGameMode) SB_Hooks.InitGameMode();
  SB_CloseKeyFile(keys);
  return 1;
}
