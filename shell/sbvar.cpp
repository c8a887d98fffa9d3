// Storage and reset of the game's global record.
#include "shell/sbvar.h"

#include <cstring>

#include "shell/gamefile.h"
#include "shell/hud.h"
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
  SB_Var.TimeLimitOn = 1;
  SB_Var.DayNightOn = 1;
  for (int32_t i = 0; i < SB_NBTIMEEXTENDS; ++i) SB_Var.TimeExtends[i].Number = i == 0 ? 0 : i + 1;
  SB_Var.RaceClockStart = -1;
  SB_Var.CheckpointNumber = -1;
  SB_Var.ZoriraCamera = 2;
  SB_Var.ZoriraTimeOut = 20000;
  SB_Var.ZoriraNightDay = 60;
  SB_Var.ControlMode = -1;
  SB_Var.DrawDistance = 300;
  SB_Var.FarDistance = 38400;
  SB_Var.VideoModeIndex = 7;
  SB_Var.RendererCaps = 1;
  SB_Var.Format16 = 4;
  SB_Var.XState = XSTATE_NONET;
  SB_ResetRaceTables();
  SB_ResetHud();
  SB_InitKeyFiles();
}
