// Storage and reset of the game's global record.
#include "shell/sbvar.h"

#include <cstring>

#include "shell/gamefile.h"
#include "shell/hooks.h"
#include "shell/keyfile.h"

SB_VARS SB_Var;

void SB_ResetVars() {
  std::memset(&SB_Var, 0, sizeof SB_Var);
  SB_Var.MemoryClass = -1;
  SB_Var.ReadChunkSize = SB_READCHUNKSIZE;
  SB_Var.HistoryIndex = SB_HISTORYLINES - 1;
  SB_Var.DrivenCar = -1;
  SB_Var.ReplayCar = -1;
  SB_Var.GameMode = SB_TRAINING;
  SB_Var.GridStart = 1;
  SB_Var.JoinTolerance = 0.00001;
  SB_Var.JoinLineTolerance = 0.00001;
  SB_Var.TimeLimitOn = 1;
  SB_Var.DayNightOn = 1;
  for (int32_t i = 0; i < SB_NBTIMEEXTENDS; ++i) SB_Var.TimeExtends[i].Number = i == 0 ? 0 : i + 1;
  SB_Var.RaceClockStart = -1;
  SB_Var.CheckpointNumber = -1;
  SB_Var.ZoriraCamera = 2;
  SB_Var.ZoriraTimeOut = 20000;
  SB_Var.ZoriraNightDay = 60;
  SB_Var.StartNight1 = 150;
  SB_Var.EndNight1 = 240;
  SB_Var.StartNight2 = 510;
  SB_Var.EndNight2 = 660;
  SB_Var.DayNightPeriod = 1320;
  SB_Var.Shadow = 3;
  SB_Var.Light = 2;               // NORMAL, as the console word LIGHT NORMAL sets it
  SB_Var.LightColor = 0xFFFFFF;   // white light: the cars show their paint
  // The day/night outputs at level 0, so that the software modes keep day.
  SB_Var.LightRate = 0.001;
  for (float& k : SB_Var.LightTint) k = 1.0f;
  SB_Var.SunLightColor = 0xCCE5FF;
  SB_Var.MapScale = 4.0;  // the scene editor's map: 4 m a pixel, built on first show
  SB_Var.MapDirty = 1;
  SB_Var.DayColor = SB_Var.SkyColor = 0xFFFFFF;
  SB_Var.NightColor = 0x4040B0;
  SB_Var.DayTime = 1;
  SB_Var.AmbientLevel = 0.5;
  SB_Var.DayFactor = SB_Var.SkyScale = 1.0;
  static constexpr int32_t kMipMapDist[SB_NBMIPMAPDIST] = {9600, 28800, 52800, 81600};
  static constexpr int32_t kMipMapDistFar[SB_NBMIPMAPDIST] = {48000, 96000, 144000, 192000};
  for (int32_t i = 0; i < SB_NBMIPMAPDIST; ++i) {
    SB_Var.MipMapDist[i] = kMipMapDist[i];
    SB_Var.MipMapDistFar[i] = kMipMapDistFar[i];
  }
  SB_Var.ControlMode = -1;
  SB_Var.FixedGameSpeed = SB_Var.FloatingGameSpeed = 100;  // real time
  SB_Var.NbVehicleSetups = 9;
  SB_Var.NbSelectableSetups = 8;
  SB_Var.Format16 = 4;  // 5-5-5 until the display is probed
  SB_Var.XState = XSTATE_NONET;
  SB_Var.NetProtocol = -1;
  SB_Var.WatchedCar = -1;
  SB_Var.DisplayWidth = SB_Var.DisplayHeight = SB_Var.DisplayDepth = -1;
  SB_Var.WindowedApplied = -1;
  SB_Var.PrevCameraMode = -1;
  for (TROTATIONTABLE& t : SB_Var.RotationTables) t.Coefficient = SB_ROTTABLESTALE;
  std::strcpy(SB_Var.TxtAnimFileName, "TXTANIM.BIN");  // nothing opens it
  SB_Var.SglDevice = -1;
  SB_Var.ProjFactor = 0.5f;
  SB_Var.DepthScale = 5.0e-7f;
  SB_Var.ZoneFactor = SB_Var.GlareDepthFactor = SB_Var.NightDepthFactor = 1.0;
  for (TEXTURECACHE& slot : SB_Var.TextureCache) slot.Name = -1;
  for (int32_t& kept : SB_Var.KeptTextures) kept = -1;
  if (SB_Hooks.ResetHigherFloors) SB_Hooks.ResetHigherFloors();
  SB_InitKeyFiles();
}
