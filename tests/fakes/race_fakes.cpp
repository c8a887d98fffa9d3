// Recording fakes in place of the weak stubs, and the race fixture.
#include "tests/fakes/race_fakes.h"

#include <cstdarg>
#include <cstdio>

#include "frontend/raceoverlay.h"
#include "net/netplayer.h"
#include "race/hud.h"
#include "race/kiosk.h"
#include "race/session.h"
#include "scenery/daynight.h"
#include "scenery/panels.h"
#include "shell/console.h"
#include "system/error.h"
#include "tests/support/cartable.h"
#include "vehicles/vehicles.h"

namespace ztest {

RaceFakes& Fakes() {
  static RaceFakes fakes;
  return fakes;
}

void ResetFakes() { Fakes() = RaceFakes{}; }

int Count(const std::string& prefix) {
  int n = 0;
  for (const std::string& c : Fakes().calls)
    if (c.rfind(prefix, 0) == 0) ++n;
  return n;
}

bool Called(const std::string& call) {
  for (const std::string& c : Fakes().calls)
    if (c == call) return true;
  return false;
}

void RaceTest::SetUp() {
  LibraryTest::SetUp();
  StartLibrary(4 << 20);
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  ResetFakes();
  SB_ClearPrintedLines();
  SB_Var.FrameTime = 100;
}

void RaceTest::MakeCars(int32_t n) { MakeCarTable(cars_, n); }

void RaceTest::MakeSession(int32_t n, XSTATE state) {
  SB_Var.XState = state;
  SB_Var.XSubState = 1;
  SB_Var.NetConnected = 1;
  SB_Var.NetSlots = n;
  SB_Var.NetMaxPlayers = n;
  for (int32_t i = 0; i < n; ++i) {
    SB_Var.NetPlayers[i] = CTRL_PLAYER{};
    SB_Var.NetPlayers[i].Id = 100 + static_cast<uint32_t>(i);
    SB_Var.NetPlayers[i].InUse = 1;
    SB_Var.NetPlayers[i].XState = static_cast<uint8_t>(state);
    SB_Var.NetPlayers[i].SubState = 1;
  }
}

void Record(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  Fakes().calls.push_back(text);
}

}  // namespace ztest

using ztest::Record;

// Scenery.
void SB_SetPanelScrollText(int32_t panel, const char* text, int32_t speed, int32_t interval, int32_t mode) {
  Record("Scroll %d '%s' %d %d %d", panel, text, speed, interval, mode);
}
void SB_PanelPrintText(int32_t panel, const char* text, int32_t start) {
  Record("Print %d '%s' %d", panel, text, start);
}
void SB_ClearPanel(int32_t panel) { Record("Clear %d", panel); }
void SB_SetCountdownLights(int32_t lit) { Record("CountdownLights %d", lit); }
void SB_SetGoLights() { Record("GoLights"); }
void SB_ResetDayNight() { Record("ResetDayNight"); }

// Vehicles.
int32_t SB_IsCarReplayPlaying(int32_t index) { return ztest::Fakes().replaying.count(index) ? 1 : 0; }
void SB_RestartRace() { Record("RestartRace"); }
void SB_RaceTeardown() { Record("RaceTeardown"); }
void SB_ResetReplayClocks() { Record("ResetReplayClocks"); }
void SB_SilenceCarSounds() { Record("SilenceCarSounds"); }
void SB_PlayTututuSound() { Record("Tututu"); }
int32_t SB_LoadCarReplay(const char* name, int32_t slot, int32_t startTime) {
  Record("LoadCarReplay %s %d %d", name, slot, startTime);
  return 1;
}
void SB_FreeAllCarReplays() { Record("FreeAllCarReplays"); }
void SB_FindDrivenCar() { Record("FindDrivenCar"); }
void SB_LapCompletedHook() { Record("LapCompleted"); }

// Network: the controller echoes the new state at once.
int32_t NET_SetControllerStatus(XSTATE state, int32_t subState) {
  Record("ControllerStatus %u %d", state, subState);
  if (!ztest::Fakes().controllerAnswer) return 0;
  SB_Var.XState = state;
  if (SB_Var.DrivenCar >= 0 && SB_Var.DrivenCar < NET_MAXPLAYERS)
    SB_Var.NetPlayers[SB_Var.DrivenCar].XState = static_cast<uint8_t>(state);
  return 1;
}
int32_t NET_SendRaceProgress(int32_t message, int32_t value) {
  Record("Progress %d %d", message, value);
  return 1;
}
const char* LS_NetGetPlayerName(uint32_t playerId) {
  auto it = ztest::Fakes().names.find(playerId);
  return it == ztest::Fakes().names.end() ? nullptr : it->second.c_str();
}

// Kiosk, front end and the video-mode table.
int32_t SB_LoadInfoPage() {
  Record("LoadInfoPage");
  return 1;
}
int32_t SB_FreeInfoPage() {
  Record("FreeInfoPage");
  return 1;
}
void SB_DisplayGameOptions(BMAP* overlay) { Record("GameOptions %d", overlay == SB_Var.TextScreen ? 1 : 0); }
int32_t SB_GetCarSetupNumber(int32_t index) {
  auto it = ztest::Fakes().setupNumbers.find(index);
  return it == ztest::Fakes().setupNumbers.end() ? 0 : it->second;
}
const TVIDEOMODE* SB_GetSelectedVideoMode() { return &ztest::Fakes().videoMode; }
