// Fills the hook table with the calls the lower floors make into the
// network, the 3D engine, the scenery, the front end, the tools, the
// vehicles, the race and the console.
#include "console/hooks.h"

#include "console/consoleedit.h"
#include "console/interpreter.h"
#include "engine3d/palette3d.h"
#include "engine3d/powertextures.h"
#include "engine3d/texpages.h"
#include "engine3d/videotable.h"
#include "frontend/media.h"
#include "frontend/menu.h"
#include "frontend/raceoverlay.h"
#include "net/net.h"
#include "net/netplayer.h"
#include "race/devinfo.h"
#include "race/hud.h"
#include "race/raceframe.h"
#include "race/raceloop.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "race/session.h"
#include "racescene/videomode.h"
#include "scenery/effects.h"
#include "shell/hooks.h"
#include "tools/tools.h"
#include "vehicles/setups.h"

namespace {

void ResetHigherFloors() {
  SB_ResetVideoTable();
  SB_ResetRaceTables();
  SB_ResetHud();
  SB_ResetFrontEnd();
}

}  // namespace

void SB_InstallHooks() {
  SB_Hooks.NetUpdateEvent = NET_UpdateEvent;
  SB_Hooks.ToggleFullScreen = SB_ToggleFullScreen;
  SB_Hooks.FloydBmap24to8 = SB_FloydBmap24to8;
  SB_Hooks.ResetHigherFloors = ResetHigherFloors;
  SB_Hooks.SetSelectedSetup = SB_SetSelectedSetup;
  SB_Hooks.ExecCommand = SB_ExecCommand;
  SB_Hooks.ConsoleInput = SB_ConsoleInput;
  SB_Hooks.InitGameMode = SB_InitGameMode;
  SB_Hooks.GetNbRacingCars = SB_GetNbRacingCars;
  SB_Hooks.GetIndPlayerCarIndex = SB_GetIndPlayerCarIndex;
  SB_Hooks.IsCarInGame = SB_IsCarInGame;
  SB_Hooks.IsCarSimulated = SB_IsCarSimulated;
  SB_Hooks.GetGameStep = [] { return static_cast<int32_t>(SB_GetGameStep()); };
  SB_Hooks.PlayRace = SB_PlayRace;
  SB_Hooks.RemapRaceBitmaps = SB_RemapRaceBitmaps;
  SB_Hooks.ProfileStart = SB_ProfileStart;
  SB_Hooks.ProfileStop = SB_ProfileStop;
  SB_Hooks.ReadRaceParameters = SB_ReadNetRace;
  SB_Hooks.ResetGaps = SB_ResetGaps;
  SB_Hooks.UpdateGaps = SB_UpdateGaps;
  SB_Hooks.UpdateRanking = SB_UpdateRanking;
  SB_Hooks.ScreenShot = SB_ScreenShot;
  SB_Hooks.ShowPleaseWait = SB_ShowPleaseWait;
  SB_Hooks.SetGameMode = SB_SetGameMode;
  SB_Hooks.AddToScoreTab = SB_AddToScoreTab;
  SB_Hooks.HudMessage = [](const char* text) { SB_HudMessage("%s", text); };
  SB_Hooks.NetPlayerMessage = SB_NetPlayerMessage;
  SB_Hooks.NextGameStep = SB_NextGameStep;
  SB_Hooks.SetGameModeSteps = SB_SetGameModeSteps;
  SB_Hooks.StopReplayRecord = SB_StopReplayRecord;
  SB_Hooks.StartReplayRecord = SB_StartReplayRecord;
  SB_Hooks.LockTextScreen = SB_LockTextScreen;
  SB_Hooks.DrawText = [](BMAP* bmap, int32_t x, int32_t y, const char* text) { SB_DrawText(bmap, x, y, "%s", text); };
  SB_Hooks.UnlockTextScreen = SB_UnlockTextScreen;
  SB_Hooks.FormatTime = SB_FormatTime;
  SB_Hooks.BreakBatch = SB_BreakBatch;
  SB_Hooks.ReleaseMapTextures = [] {
    POWER_ReleaseTextures();
    SB_FreeTextures();
  };
  SB_Hooks.AddSmoke = SB_AddFumee;
  SB_Hooks.RequestVehicleSetups = NET_RequestVehicleSetups;
  SB_Hooks.SendVehicleSetup = NET_SendVehicleSetup;
  SB_Hooks.DisplayIntroPicts = SB_DisplayIntroPicts;
  SB_Hooks.PlayPreloadedFilm = SB_PlayPreloadedFli;
  SB_Hooks.RunCarEditor = SB_RunCarEditor;
}
