// The race session: a race from its settings, cars, map and 3D palette
// through the set-up of every race subsystem in its logged order, the race
// loop and the tear-down in reverse order, to the play statistics.
#include "engine3d/videotable.h"
#include "frontend/media.h"
#include "frontend/raceoverlay.h"
#include "net/net.h"
#include "net/netplayer.h"
#include "race/dial.h"
#include "race/hud.h"
#include "race/kiosk.h"
#include "race/raceloop.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "race/session.h"
#include "racescene/mapinfo.h"
#include "racescene/race3d.h"
#include "racescene/videomode.h"
#include "scenery/effects.h"
#include "shell/console.h"
#include "shell/gameclock.h"
#include "shell/gameevent.h"
#include "shell/gamepicture.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "shell/settings.h"
#include "system/file.h"
#include "system/heap.h"
#include "system/win/shell.h"
#include "tools/editors.h"
#include "track/decor.h"
#include "track/track.h"
#include "vehicles/setups.h"
#include "vehicles/vehicles.h"

namespace {

constexpr const char* kMeterPicture = "pcx>voatu.pcx";
constexpr const char* kConsoleBackground = "pcx>devenv.pcx";
constexpr double kUnlitLevel = 2147483647.0;

void Say(const char* text) { SB_ConsolePrintf("%s", text); }

// The physics meters' picture in the 3D palette, or null.
BMAP* LoadMeterBitmap() {
  BMAP* picture = SB_LoadPcx(kMeterPicture, 0);
  PALETTE* palette = SB_LoadPalette(kMeterPicture);
  if (picture && palette && picture->Depth == 8 && SB_Var.Pal3d) {
    SB_RemapBmap(picture, palette, picture, SB_Var.Pal3d);
  } else if (picture) {
    SB_FreeBmap(picture);
    picture = nullptr;
  }
  SB_FreePalette(palette);
  return picture;
}

// Set-up steps 1 to 14: centre line, lists, views, effects, fonts, dial.
void SetUpWorld() {
  Say("Initializing game data...");
  Say("SB_EvolutionPrepare...");
  SB_EvolutionPrepare();
  SB_Var.LastLightLevel = kUnlitLevel;
  SB_Var.MeterBitmap = SB_Var.DrawInfo ? LoadMeterBitmap() : nullptr;
  BuildListXZYPoly();
  BuildXZYList();
  SB_CreateDataView();
  NET_UpdateEvent();
  SB_RaceSetupHook();
  Say("TransBackObc...");
  TransBackObc();
  Say("SB_RemapDecorObjects...");
  SB_RemapDecorObjects();
  Say("SB_InitPanel...");
  SB_InitPanel();
  Say("SB_RemapPanel...");
  SB_RemapPanel();
  Say("SB_InitFonts...");
  SB_InitFonts();
  Say("SB_LoadCounters...");
  SB_LoadCounters();
  Say("SB_PreInitTimeExtends...");
  SB_PreInitTimeExtends();
  Say("POWER_InitShadow...");
  POWER_InitShadow();
  Say("POWER_InitPhare...");
  POWER_InitPhare();
}

// Set-up steps 15 to 22: the cars' setups and textures, the effects'
// pictures, the HUD's textures and pictures, the loading report.
void SetUpCarsAndHud() {
  if (NET_IsConnected()) NET_RequestVehicleSetups();
  Say("SB_Remap Cars...");
  if (SB_Var.UsingCars) {
    NET_SetControllerStatus(XSTATE_REMAPPINGCARS, SB_Var.XSubState);
    SB_RegenerateChangedCarTextures(SB_Var.CarSetups);
  }
  Say("SB_InitWindShield...");
  SB_InitWindShield();
  Say("SB_InitFumeeBmapGame...");
  SB_InitFumeeBmapGame();
  Say("SB_InitCielBmapGame...");
  SB_InitCielBmapGame();
  Say("SB_InitLensFlare...");
  SB_InitLensFlare();
  Say("SB_InitExplosionBmapGame...");
  SB_InitExplosionBmapGame();
  Say("SB_InitRoadLights...");
  SB_InitRoadLights();
  Say("");
  SB_ScaleCarsTextureCoords(1);
  SB_DoubleCarsTextureCoords(0);
  SB_AllocGaps();
  POWER_LoadHudTextures();
  SB_LoadCarPictures();
  // The car-position inset belongs to the accelerated race; F3 then shows
  // and hides it.
  SB_Var.InsetOn = SB_Var.Renderer == SB_RENDERER_PVR ? 1 : 0;
  POWER_LoadScarsTexture();
  SB_LoadOptionPicts();
  SB_ConsolePrintf("Total loading time: %lds",
                   static_cast<long>((SB_GetTime() - SB_Var.LoadStartTime) / 1000));
  SB_Var.GameMemoryUsed = SB_Var.HeapSize - static_cast<int32_t>(LS_GetFreeMem());
  SB_ConsolePrintf("Memory used in game: %ldkb", static_cast<long>(SB_Var.GameMemoryUsed >> 10));
  Say("");
  SB_ShowHudParts();
}

// Steps 24 to 34, once the race's video mode is set: the editors, the race
// state, the loop between its kiosk announcements, and what ends it.
void RunRace() {
  if (SB_Var.EditorMode) {
    SB_Edit();
    SB_InitDecorEditor();
  }
  SB_RaceTeardown();
  SB_StartCdMusic();
  SB_FlushKeyboard();
  SB_Var.LeaveRace = 0;
  // The game time was last read before the race (at the console, or
  // during the loading): the race's length starts now.
  SB_ResetClock();
  SB_Var.RaceDuration = static_cast<int32_t>(SB_Var.Time);
  SB_Var.RaceFrames = 0;
  SB_Var.MaxFrameRate = SB_Var.TimedFrames = 0;
  SB_Var.DebugMode = SB_DEBUG_GAME;
  SB_ResetGameSteps();
  if (SB_Var.ZoriraDemo) {
    SB_PostKioskCode(SB_KIOSK_RACESTART);
    SB_MinimizeWindow();
  }
  if (SB_CheckNetworkStart()) SB_RaceLoop();
  if (SB_Var.ZoriraDemo) SB_FreeInfoPage();
  SB_Var.RaceDuration = static_cast<int32_t>(SB_Var.Time) - SB_Var.RaceDuration;
  SB_FreeSceneEditor();
  SB_FlushKeyboard();
  SB_StopCdMusic();
  if (SB_Var.EditorMode) {
    SB_FreeDecorEditor();
    SB_FreeEdit();
  }
}

// Tear-down, in the reverse order of the set-up, also after a failed
// video mode.
void TearDown() {
  POWER_FreeScarsTexture();
  SB_FreeCarPictures();
  SB_StopReplayRecord();
  POWER_FreeHudTextures();
  SB_FreeGaps();
  SB_DoubleCarsTextureCoords(1);
  SB_ScaleCarsTextureCoords(0);
  SB_Var.Renderer = 0;
  SB_SetDisplayMode(640, 480, 16);
  if (SB_Var.DevEnvPal) SB_SetPalette(SB_Var.DevEnvPal);
  SB_Var.Renderer = SB_Var.RequestedRenderer;
  struct Step {
    const char* text;
    void (*run)();
  };
  static const Step kSteps[] = {
      {"SB_EndRoadLights...", SB_EndRoadLights},
      {"SB_FreeObjectsExtraTextures...", SB_FreeObjectsExtraTextures},
      {"SB_FreeCarsExtraTextures...", SB_FreeCarPvrTextures},
      {"POWER_ClosePhare...", POWER_ClosePhare},
      {"POWER_CloseShadow...", POWER_CloseShadow},
      {"SB_FreeExplosionBmapGame...", SB_FreeExplosionBmapGame},
      {"SB_DisposeLensFlare...", SB_DisposeLensFlare},
      {"SB_FreeFumeeBmapGame...", SB_FreeFumeeBmapGame},
      {"SB_FreeCielBmapGame...", SB_FreeCielBmapGame},
      {"SB_FreeCounters...", SB_FreeCounters},
      {"SB_DisposeFonts...", SB_DisposeFonts},
      {"DisposeBackObc...", DisposeBackObc},
      {"SB_DisposeWindShield...", SB_DisposeWindShield},
      {"SB_DisposePanel...", SB_DisposePanel},
      {"SB_UnInit3dData...", SB_FreeDataView},
      {"DisposeListXZY...", SB_FreeXZYList},
  };
  for (const Step& step : kSteps) {
    Say(step.text);
    step.run();
  }
  SB_FreeListXZYPoly();
  if (SB_Var.MeterBitmap) SB_FreeBmap(SB_Var.MeterBitmap);
  SB_Var.MeterBitmap = nullptr;
}

// Step 3 of the race: the cars made from their setups.
void MakeCars() {
  SB_PrintPlayerOrder();
  SB_FindDrivenCar();
  SB_AssignCarSetups(SB_Var.CarSetups);
  if (NET_IsConnected()) SB_SendLocalCarSetup(SB_Var.CarSetups);
  Say("Duplicating user cars...");
  SB_LoadCars(SB_Var.CarSetups, 1);
  SB_StartRace();
}

void DisposeVehicles() {
  Say("DisposeVehicles...");
  SB_FreeCars();
}

void PrintStatistics() {
  const int32_t duration = SB_Var.RaceDuration;
  if (duration > 1000) {
    SB_ConsolePrintf("You've been playing.: %lds,", static_cast<long>(duration / 1000));
    // Frames per second of the whole duration: the duration cut to whole
    // seconds first would raise the rate by up to half (2,980 ms as 2 s).
    // The frames counted are those the clock timed, as the best rate
    // counts them, so that the average never exceeds it.
    SB_ConsolePrintf("  Medium frame rate.: %ldf/s",
                     static_cast<long>(int64_t{SB_Var.TimedFrames} * 1000 / duration));
    SB_ConsolePrintf("  Maximum frame rate: %ldf/s", static_cast<long>(SB_Var.MaxFrameRate));
  }
  SB_ConsolePrintf("  Maximum polygons..: %ld", static_cast<long>(SB_Var.MaxPolygons));
  SB_ConsolePrintf("  Maximum vertices..: %ld", static_cast<long>(SB_Var.MaxSceneVertices));
}

}  // namespace

int32_t SB_PlayRace() {
  SB_ReadSettings();
  if (SB_Var.ControlMode == -1) SB_Var.ControlMode = 1;
  SB_SetControlMap();
  if (!SB_LoadMapInfo(SB_Var.ConfigFile) && SB_Var.UsingCars) {
    Say("No circuit config file create it or play with [USINGCARS 0] !!!");
    return 0;
  }
  MakeCars();
  SB_Var.LoadStartTime = SB_GetTime();
  if (!SB_LoadMapFiles() || !SB_LoadPalette3d(nullptr)) {
    SB_StopCarSounds();
    DisposeVehicles();
    return 0;
  }
  SB_CheckFacePoints();
  SB_LoadBackgrounds();
  SB_FreeDevEnvBackground();
  LS_SetInputMode(1);
  SB_RaceSession();
  SB_ClearLostSession();
  LS_SetInputMode(0);
  SB_Var.DevEnvBackground = SB_LoadPcx(kConsoleBackground, 0);
  SB_FreeMenuItemTexts();
  SB_FreeBackgrounds();
  SB_Free3dScreen();
  SB_FreePalette3d();
  SB_StopCarSounds();
  PrintStatistics();
  DisposeVehicles();
  return 1;
}

int32_t SB_LoadMapFiles() {
  if (!SB_Var.BuildMap) {
    if (!LS_FileExists(SB_Var.DecorMapFile)) {
      SB_ConsolePrintf("File error... decor map %s not found", SB_Var.DecorMapFile);
      return 0;
    }
    Say("Loading decor map data...");
    return SB_LoadMap();
  }
  if (!LS_FileExists(SB_Var.AsciiMapFile)) {
    SB_ConsolePrintf("File error... ascii map %s not found", SB_Var.AsciiMapFile);
    return 0;
  }
  SB_FreeDecor();
  Say("Loading ascii map data...");
  return SB_LoadMap();
}

void SB_RaceSession() {
  // A race whose video mode fails never reaches the loop: no figures of
  // an earlier race may be left to print.
  SB_Var.RaceDuration = SB_Var.RaceFrames = SB_Var.MaxFrameRate = SB_Var.TimedFrames = 0;
  SB_Var.MaxPolygons = SB_Var.MaxSceneVertices = 0;
  SetUpWorld();
  SetUpCarsAndHud();
  if (SB_ApplyVideoMode()) RunRace();
  TearDown();
}

int32_t SB_CheckNetworkStart() {
  if (!NET_IsConnected()) return 1;
  if (SB_IsValidCarIndex(SB_Var.DrivenCar) && NET_SetControllerStatus(XSTATE_READY2PLAY, SB_Var.XSubState))
    return 1;
  Say("Network error unable to enter main loop...");
  return 0;
}
