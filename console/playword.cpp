// PLAY and WATCH: the race on this machine, or the network game's race
// once the controller has been told this player is loading.
#include <algorithm>

#include "console/commands.h"
#include "console/networdset.h"
#include "engine3d/videotable.h"
#include "frontend/intropicts.h"
#include "frontend/raceoverlay.h"
#include "net/net.h"
#include "net/netgame.h"
#include "net/netplayer.h"
#include "race/session.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/lsvar.h"
#include "vehicles/types.h"
#include "vehicles/vehicles.h"

namespace {

// The selected video mode must be of a kind the requested renderer draws,
// and the accelerator is debugged only on a 16-bit desktop.
bool ModeSupported() {
  const TVIDEOMODE* mode = SB_GetSelectedVideoMode();
  const int32_t r = SB_Var.RequestedRenderer;
  const bool known = r >= 0 && r < SB_NBRENDERERS;
  if (!known || !(mode->Kind & SB_Var.Renderers[r].Modes)) {
    SB_ConsolePrintf("Videomode (%ldbits) not supported by [%s]!!!", static_cast<long>(mode->Depth),
                     known ? SB_Var.Renderers[r].Name : "?");
    return false;
  }
  if (LSI_Var.Debug && r == SB_RENDERER_PVR && LS_Var.Screen && LS_Var.Screen->Depth != 16) {
    SB_ConsolePrintf("Windows must be in 16bits to debug PowerVr");
    return false;
  }
  return true;
}

// The race with the requested renderer and the intro pictures, then the
// pictures the race left freed and no renderer in use.
void Race() {
  SB_Var.Renderer = SB_Var.RequestedRenderer;
  SB_LoadIntroPicts();
  SB_PlayRace();
  SB_FreeOptionPicts();
  SB_FreeIntroPicts();
  SB_Var.Renderer = 0;
}

// Connected: this machine must be in the game and know it.
bool GameReady() {
  if (SB_Var.XState != XSTATE_CONNECTED) {
    SB_ConsolePrintf("You are not connected !");
    return false;
  }
  if (!NET_PrintGameInfo()) {
    SB_ConsolePrintf("Cannot get game info !");
    return false;
  }
  return true;
}

}  // namespace

int32_t SB_PlayWord(const SB_NETWORDS&) {
  if (!ModeSupported()) return 0;
  if (!NET_IsConnected()) {
    Race();
    return 1;
  }
  if (!GameReady()) return 0;
  SB_ConsolePrintf("About to PLAY %s ", NET_GameTypeName(SB_Var.NetGameMode));
  if (!NET_SetControllerStatus(XSTATE_LOADING, XSUBSTATE_PLAYING)) return 0;
  SB_SetNumberOfCars(std::clamp(SB_Var.NetSlots, 1, SB_MAXCARS));
  Race();
  return NET_SetControllerStatus(XSTATE_CONNECTED, XSUBSTATE_UNDEF);
}

// Watching goes no further than its message.
int32_t SB_WatchWord(const SB_NETWORDS&) {
  if (!ModeSupported()) return 0;
  if (!NET_IsConnected()) {
    SB_ConsolePrintf("Watch failed : no network !");
    return 0;
  }
  if (GameReady()) SB_ConsolePrintf("About to WATCH %s ", NET_GameTypeName(SB_Var.NetGameMode));
  return 0;
}
