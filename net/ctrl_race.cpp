// The controller's game state of a CONTROLLEDRACE and the race control an
// operator drives: launching, starting, practising and ending races, and
// announcing the best time.
#include "net/ctrl.h"
#include "net/netgame.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/cdaudio.h"
#include "system/sound.h"

namespace {

TCTRL& C() { return CTRL_State(); }
bool NoNetwork() { return SB_Var.XState < XSTATE_NONET; }

// Message 19 to each logged player still below state 7.
void LaunchLaggards() {
  for (const CTRL_PLAYER& p : C().Players) {
    if (!p.InUse || p.XState >= XSTATE_WAIT4READY) continue;
    uint8_t m[XNETMSG_HEADERSIZE];
    NET_PutHeader(m, CTRL_LAUCHNEWRACE, 0, 0);
    const uint32_t id = p.Id;
    if (CTRL_SendMessage(1, &id, m, sizeof m) == -2)
      SB_ConsolePrintf("[CTRL][CTRL_LAUCHNEWRACE to %ld failed.]", static_cast<long>(id));
    else
      SB_ConsolePrintf("[CTRL][CTRL_LAUCHNEWRACE sent to %ld...]", static_cast<long>(id));
  }
}

// A short message to all, with the line of its success or failure: 1 or 0.
int32_t Announce(int32_t type, int32_t param1, const char* sent, const char* failed) {
  const bool ok = CTRL_SendShortToAll(type, param1, 0) != -2;
  SB_ConsolePrintf("%s", ok ? sent : failed);
  return ok ? 1 : 0;
}

bool AllLoggedReady() {
  for (const CTRL_PLAYER& p : C().Players)
    if (p.InUse && p.XState != XSTATE_WAIT4READY) return false;
  return true;
}

}  // namespace

void CTRL_SetGameState(int32_t state) {
  TCTRL& c = C();
  if (c.GameType != CTRL_CONTROLLEDRACE || state == c.GameState) return;
  c.GameState = state;
  switch (state) {
    case CTRL_WAITTWO:
    case CTRL_TRAININGMODE: LS_StopCD(); break;
    case CTRL_WAITOTHERS:
      if (AllLoggedReady()) CTRL_SetGameState(CTRL_WARMUP);
      break;
    case CTRL_WARMUP:
      LaunchLaggards();
      CTRL_StartNewRaceNow();
      break;
    default: break;
  }
  SB_ConsolePrintf("[CTRL][GAME State:%s]", CTRL_GetGameStateName(state));
}

int32_t CTRL_StartNewRaceNow() {
  TCTRL& c = C();
  if (c.GameState == CTRL_INPROGRESS || c.GameState == CTRL_TRAININGMODE) {
    LS_Beep();
    return 0;
  }
  if (NoNetwork()) return 0;
  CTRL_ClearFinishers();
  if (!Announce(CTRL_STARTNEWRACENOW, CTRL_CountPlayers(), "[CTRL][CTRL_STARTNEWRACENOW sent...]",
                "[CTRL][CTRL_STARTNEWRACENOW failed.]"))
    return 0;
  CTRL_LaunchRace();
  CTRL_SetGameState(CTRL_WAITTWO);
  return 1;
}

int32_t CTRL_LaunchNewRace() {
  if (NoNetwork()) return 0;
  C().Launched = 0;  // the racers go back to wait for the start message
  CTRL_ClearFinishers();
  if (!Announce(CTRL_LAUCHNEWRACE, CTRL_CountPlayers(), "[CTRL][CTRL_LAUCHNEWRACE sent...]",
                "[CTRL][CTRL_LAUCHNEWRACE failed.]"))
    return 0;
  CTRL_SetGameState(CTRL_NORACE);
  return 1;
}

int32_t CTRL_EnterPracticeMode() {
  if (NoNetwork()) return 0;
  C().Launched = 0;
  LS_StopCD();
  if (!Announce(CTRL_ENTERPRACTICEMODE, 0, "[CTRL][CTRL_ENTERPRACTICEMODE sent...]",
                "[CTRL][CTRL_ENTERPRACTICEMODE failed.]"))
    return 0;
  CTRL_SetGameState(CTRL_TRAININGMODE);
  return 1;
}

int32_t CTRL_EndOfRace() {
  TCTRL& c = C();
  if (NoNetwork()) return 0;
  if (c.GameState < CTRL_INPROGRESS || c.GameState > CTRL_TRAININGMODE) {
    LS_Beep();
    return 0;
  }
  c.Launched = 0;
  CTRL_SetGameState(CTRL_NORACE);
  LS_PlayCDTrack(2, 10000);
  return Announce(CTRL_ENDOFRACE, CTRL_CountPlayers(), "[CTRL][CTRL_ENDOFRACE sent...]",
                  "[CTRL][CTRL_ENDOFRACE failed.]");
}

void CTRL_SendBestTime() {
  if (NoNetwork()) return;
  Announce(CTRL_BESTTIME, static_cast<int32_t>(CTRL_BestRaceTime()), "[CTRL][CTRL_BESTTIME sent...]",
           "[CTRL][CTRL_BESTTIME failed.]");
}
