// The track as the race session needs it, until the track exists: the map
// information file is only looked for (and the game mode applied), and there is no map, centre line or
// list to check, load or free. Weak, so that tests can put recording fakes
// in their place.
#include "shell/console.h"
#include "shell/hooks.h"
#include "system/file.h"
#include "track/track.h"

__attribute__((weak)) int32_t SB_LoadMapInfo(const char* path) {
  if (!path || !LS_FileExists(path)) {
    SB_ConsolePrintf("Map info file %s not found !!!", path ? path : "");
    return 0;
  }
  SB_ConsolePrintf("Loading map info file %s...", path);
  if (SB_Hooks.InitGameMode) SB_Hooks.InitGameMode();
  return 1;
}

__attribute__((weak)) void SB_CheckFacePoints() {}
__attribute__((weak)) void SB_EvolutionPrepare() {}
__attribute__((weak)) void BuildListXZYPoly() {}
__attribute__((weak)) void BuildXZYList() {}
__attribute__((weak)) void SB_FreeXZYList() {}
__attribute__((weak)) void SB_FreeListXZYPoly() {}
