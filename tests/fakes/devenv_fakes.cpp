// Recording fakes of what the console's start-up and tear-down call in the
// vehicles, the scenery, the editors, the track and the network. The loads
// take an owner-tagged block or bitmap and the frees give it back, so that
// a step left out or run twice shows in the owner tables.
#include <map>
#include <string>

#include "net/net.h"
#include "scenery/devenv.h"
#include "shell/owner.h"
#include "tests/fakes/race_fakes.h"
#include "track/bspline.h"
#include "track/decor.h"
#include "vehicles/devenv.h"

namespace {

std::map<std::string, void*> g_blocks;
std::map<std::string, BMAP*> g_bitmaps;

void Take(const char* call, const char* owner) {
  ztest::Record("%s", call);
  g_blocks[owner] = SB_GetMem(16, owner);
}

void Give(const char* call, const char* owner) {
  ztest::Record("%s", call);
  if (void* block = g_blocks[owner]) SB_Release(block);
  g_blocks.erase(owner);
}

void TakeBitmap(const char* call, const char* owner) {
  ztest::Record("%s", call);
  g_bitmaps[owner] = SB_CreateBmap(8, 8, 8, 0, owner);
}

void GiveBitmap(const char* call, const char* owner) {
  ztest::Record("%s", call);
  if (BMAP* bitmap = g_bitmaps[owner]) SB_FreeBmap(bitmap);
  g_bitmaps.erase(owner);
}

}  // namespace

// Vehicles.
void SB_AllocLocalReplay() { Take("AllocLocalReplay", "local replay"); }
void SB_FreeLocalReplay() { Give("FreeLocalReplay", "local replay"); }
void SB_ClearCarReplaySlots() { ztest::Record("ClearCarReplaySlots"); }
void SB_FreeCarsReplays() { ztest::Record("FreeCarsReplays"); }
void SB_LoadVehiclePrototypes(const char* name) {
  Take(name ? ("LoadVehiclePrototypes " + std::string(name)).c_str() : "LoadVehiclePrototypes", "prototypes");
}
void SB_FreeVehiclePrototypes() { Give("FreeVehiclePrototypes", "prototypes"); }
void SB_InitVehicleSetups() { ztest::Record("InitVehicleSetups"); }
int32_t SB_LoadVehicleSetups(const char* name) {
  ztest::Record("LoadVehicleSetups %s", name);
  return 0;
}
void SB_InitVParams() { ztest::Record("InitVParams"); }

// Scenery.
void LoadBackObcFile() { Take("LoadBackObcFile", "background objects"); }
void FreeBackObc() { Give("FreeBackObc", "background objects"); }
void InitBirds() { Take("InitBirds", "birds"); }
void SB_FreeBirds() { Give("FreeBirds", "birds"); }
void SB_LoadScratch() { TakeBitmap("LoadScratch", "scratch"); }
void SB_FreeScratch() { GiveBitmap("FreeScratch", "scratch"); }
void SB_LoadExplosionBmaps() { TakeBitmap("LoadExplosionBmaps", "explosions"); }
void SB_FreeExplosionBmaps() { GiveBitmap("FreeExplosionBmaps", "explosions"); }
void SB_FreeDecorNames() { ztest::Record("FreeDecorNames"); }
void SB_FreeDecorObjects() { ztest::Record("FreeDecorObjects"); }

// Track and network.
void SB_FreeBsplinePoints() { ztest::Record("FreeBsplinePoints"); }
void SB_FreeDecor() { ztest::Record("FreeDecor"); }
void NET_FreeConsoleList() { ztest::Record("FreeConsoleList"); }
