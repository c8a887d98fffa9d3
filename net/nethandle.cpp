// The player side's decoding of the game messages: each one checked for
// its length, its sender and its values before anything is touched, then
// handled by its type; and the practice mode the controller asks for.
#include <cstdio>
#include <cstring>

#include "net/netgame.h"
#include "net/netplayer.h"
#include "netlink/ls_net.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "vehicles/bytes.h"
#include "vehicles/replays.h"
#include "vehicles/setups.h"
#include "vehicles/vehicles.h"

namespace {

using Msg = NETMSGVIEW;

uint32_t ControllerId() { return LS_NetCurrent()->Config.ControllerId; }

// The least length of each type; the rest are short.
int32_t MinLength(int32_t type) {
  switch (type) {
    case CTRL_GAMEINFO: return 16;
    case CTRL_UPDATENETPLAYER: return XNET_UPDATEMSGSIZE;
    case CTRL_VEHICLESETUP: return XNET_SETUPMSGSIZE;
    case XNET_CARSTATE: return XNET_CARSTATEMSGSIZE;
    case XNET_RACEFINISHED:
    case XNET_OUTOFTIME: return XNET_PROGRESSMSGSIZE;
    default: return XNETMSG_HEADERSIZE;
  }
}

bool FromControllerOnly(int32_t type) {
  switch (type) {
    case CTRL_GAMEINFO:
    case CTRL_ANSWER:
    case CTRL_PLAYERORDER:
    case CTRL_UPDATENETPLAYER:
    case CTRL_PRESENCEQUERY:
    case CTRL_LAUCHNEWRACE:
    case CTRL_STARTNEWRACENOW:
    case CTRL_ENTERPRACTICEMODE:
    case CTRL_ENDOFRACE:
    case CTRL_BESTTIME:
    case CTRL_CHANGEMAXNETPLAYER: return true;
    default: return false;
  }
}

// The sender holds the order: its record in the local copy of the table.
bool OwnsOrder(uint32_t sender, int32_t order) {
  return order >= 0 && order < NET_MAXPLAYERS && SB_Var.NetPlayers[order].Id == sender && sender != 0;
}

bool SenderAllowed(const Msg& m) {
  if (FromControllerOnly(m.type)) return m.sender == ControllerId();
  switch (m.type) {
    case CTRL_VEHICLESETUP: return m.sender == ControllerId() || OwnsOrder(m.sender, m.h.Param1);
    case XNET_CARSTATE:
    case XNET_RACEFINISHED:
    case XNET_OUTOFTIME: return OwnsOrder(m.sender, m.h.Param1);
    default: return true;
  }
}

TCAR* CarOf(int32_t order) { return order >= 0 && order < SB_MAXCARS ? SB_Var.Cars[order] : nullptr; }

const char* SessionName(uint32_t id) {
  const char* name = LS_NetGetPlayerName(id);
  return name ? name : "";
}

// The records of message 2 hold states and sub-states in range.
bool RecordsValid(const Msg& m, int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    const CTRL_PLAYER p = NET_GetPlayer(m.body + 4 + CTRL_PLAYERSIZE * i);
    if (p.XState > XSTATE_ENDOFRACE || p.SubState > XSUBSTATE_WATCHING) return false;
  }
  return true;
}

void GameInfo(const Msg& m) {
  SB_ConsolePrintf("[READ][GAMEINFO]");
  const int32_t n = m.h.Param2;
  const int32_t maxPlayers = static_cast<int32_t>(SB_GetLong(m.body));
  const bool typeKnown = m.h.Param1 >= CTRL_FREERACE && m.h.Param1 <= CTRL_CONTROLLEDRACE;
  if (n < 0 || n > NET_MAXPLAYERS || m.bodyLength < 4 + CTRL_PLAYERSIZE * n || !typeKnown || maxPlayers < 0 ||
      maxPlayers > SB_MAXCARS || !RecordsValid(m, n)) {
    SB_ConsolePrintf("[READ][GAMEINFO ERR]");
    return;
  }
  SB_Var.NetGameMode = m.h.Param1;
  SB_Var.NetSlots = n;
  SB_Var.NetMaxPlayers = maxPlayers;
  if (SB_Hooks.SetGameMode) SB_Hooks.SetGameMode(m.h.Param1);
  for (int32_t i = 0; i < n; ++i) SB_Var.NetPlayers[i] = NET_GetPlayer(m.body + 4 + CTRL_PLAYERSIZE * i);
  NET_Side.GameInfoReceived = 1;
}

void Answer(const Msg& m) {
  SB_ConsolePrintf("[READ][CTRL_ANSWER %s]", m.h.Param1 ? "TRUE" : "FALSE");
  NET_Side.LastAnswer = m.h;
  NET_Side.AnswerReceived = 1;
}

void PlayerOrder(const Msg& m) {
  if (m.h.Param1 == CTRL_NOPLACE) {
    SB_ConsolePrintf("[READ]CTRL_PLAYERORDER: NO FREE CAR PLACE");
    NET_Side.GameFull = 1;
    NET_Side.NoPlaceWaitS = m.h.Param2 > 0 ? m.h.Param2 : 0;
    NET_Side.OrderReceived = 1;
    return;
  }
  SB_Var.NetPlayerOrder = SB_Var.DrivenCar = m.h.Param1;
  // Said on the console: a box raised by a peer would stop the race.
  if (SB_Var.XState >= XSTATE_LOADING)
    SB_ConsolePrintf("Recu numero de joueur (%ld)", static_cast<long>(m.h.Param1));
  SB_Var.NetBestTime = m.h.Param2;
  SB_ConsolePrintf("[READ]CTRL_PLAYERORDER:%ld", static_cast<long>(m.h.Param1));
  SB_ConsolePrintf("******");
  NET_Side.OrderReceived = 1;
}

// A line between two blank lines on each side.
void Blanks(const char* line) {
  SB_ConsolePrintf(" ");
  SB_ConsolePrintf(" ");
  SB_ConsolePrintf("%s", line);
  SB_ConsolePrintf(" ");
  SB_ConsolePrintf(" ");
}

// What a changed player record means for its car.
void PlayerCar(int32_t order, const CTRL_PLAYER& p, uint8_t oldState, const char* name) {
  TCAR* car = CarOf(order);
  if (!car) return;
  if (p.InUse && p.SubState == XSUBSTATE_PLAYING && p.XState >= XSTATE_READY2PLAY) {
    car->OutOfRace = 0;
    car->StatesReceived = 0;
    car->TransitOffset = SB_TRANSITNONE;
    if (SB_Var.WatchedCar == -1) SB_Var.WatchedCar = order;
    if (SB_Hooks.NetPlayerMessage) SB_Hooks.NetPlayerMessage(&p, name);
  } else if (p.InUse) {
    if (oldState < XSTATE_READY2PLAY) return;
    char line[40];
    std::snprintf(line, sizeof line, "OFF %ld,%ld", static_cast<long>(p.SubState),
                  static_cast<long>(p.XState));
    Blanks(line);
    car->OutOfRace = 2;
    if (SB_Hooks.NetPlayerMessage) SB_Hooks.NetPlayerMessage(&p, name);
  } else {
    if (oldState >= XSTATE_READY2PLAY && SB_Hooks.NetPlayerMessage) SB_Hooks.NetPlayerMessage(&p, name);
    car->OutOfRace = 3;
    char line[24];
    std::snprintf(line, sizeof line, "OUT:%ld", static_cast<long>(order));
    Blanks(line);
  }
}

void UpdatePlayer(const Msg& m) {
  const int32_t order = m.h.Param1;
  SB_ConsolePrintf("[XNET][CTRL_UPDATENETPLAYER] (%d)", order);
  NET_Side.UpdateReceived = 1;
  const CTRL_PLAYER p = NET_GetPlayer(m.body);
  if (p.SubState >= XSUBSTATE_WATCHING) SB_ConsolePrintf("BUG");
  if (order < 0 || order >= NET_MAXPLAYERS) {
    SB_ConsolePrintf("Bad Player order:%ld from %ld", static_cast<long>(order), static_cast<long>(m.sender));
    return;
  }
  if (order == SB_Var.DrivenCar) NET_Side.StatusEchoed = 1;
  char name[XNET_MAXNAME + 1];
  if (m.h.Param2)
    NET_GetText(m.body + CTRL_PLAYERSIZE, m.bodyLength - CTRL_PLAYERSIZE, name);
  else
    std::snprintf(name, sizeof name, "%s", SessionName(p.Id));
  const uint8_t oldState = SB_Var.NetPlayers[order].XState;
  SB_Var.NetPlayers[order] = p;
  SB_ConsolePrintf("[READ][UPDATE NET PLAYER %ld][%s]", static_cast<long>(order), NET_XStateNames[p.XState]);
  PlayerCar(order, p, oldState, name);
}

void VehicleSetup(const Msg& m) {
  SB_ConsolePrintf("[READ][VEHICLE SETUP]");
  if (SB_Var.XState >= XSTATE_CONNECTED && SB_IsValidCarIndex(m.h.Param1)) {
    SB_ConsolePrintf(" ");
    SB_ConsolePrintf("[XNET][receiving color from %ld]", static_cast<long>(m.h.Param1));
    SB_ConsolePrintf(" ");
    // The controller answers each request with every setup it holds: one
    // already held, on a car already painted, changes nothing (byte 21 of
    // the record is the changed mark itself).
    TVEHICLESETUP& setup = SB_Var.CarSetups[m.h.Param1];
    const uint8_t pending = setup.Changed;
    uint8_t before[SB_SETUPRECORDSIZE], after[SB_SETUPRECORDSIZE];
    SB_PackVehicleSetup(setup, before);
    SB_UnpackVehicleSetup(m.body, &setup);
    SB_SanitizeVehicleSetup(&setup);
    SB_PackVehicleSetup(setup, after);
    before[21] = after[21] = 0;
    const TCAR* car = SB_Var.Cars[m.h.Param1];
    const bool news = std::memcmp(before, after, sizeof before) != 0 || !car || !car->TexturesReady;
    setup.Changed = news || pending ? 1 : 0;
  }
  NET_Side.SetupsReceived = 1;
}

void CarState(const Msg& m) {
  if (SB_Var.XState < XSTATE_WAIT4READY || SB_Var.GameMode == 0) return;
  TCARSTATE s;
  SB_ReadCarState(m.body, &s);
  if (SB_ReceiveCarState(m.h.Param1, &s)) return;
  // On the console, at most once a second with the count between: a box
  // would stop the race each time, and a line each would let a peer grow
  // the console's file at its pace.
  if (!NET_CountLine(&NET_Side.RefusedCars, "READ", "CAR STATES")) return;
  SB_ConsolePrintf("Position recue voiture (%ld) (p%ld) illegale", static_cast<long>(m.h.Param1),
                   static_cast<long>(SB_Var.DrivenCar));
}

void Text(const Msg& m) {
  if (!NET_TakeChat("READ", m.sender)) return;
  char text[XNET_MAXNAME + 1];
  NET_GetText(m.body, m.bodyLength, text);
  const char* from = SessionName(m.sender);
  if (SB_Var.XState < XSTATE_READY2PLAY) {
    SB_ConsolePrintf("[READ][from:%s][%s]", from, text);
    return;
  }
  char line[2 * XNET_MAXNAME + 2];
  std::snprintf(line, sizeof line, "%s:%s", from, text);
  if (SB_Hooks.HudMessage) SB_Hooks.HudMessage(line);
}

void Progress(const Msg& m) {
  const int32_t order = m.h.Param1;
  if (SB_Var.GameMode == 0 || order < 0 || order >= SB_Var.NetSlots || order == SB_Var.DrivenCar) return;
  TCAR* car = CarOf(order);
  if (!car) return;
  car->BestLap = static_cast<int32_t>(SB_GetLong(m.body));
  car->RaceTime = static_cast<int32_t>(SB_GetLong(m.body + 4));
  if (m.type == XNET_RACEFINISHED) {
    if (SB_Hooks.AddToScoreTab) SB_Hooks.AddToScoreTab(car, order, 1);
    if (SB_Var.GameMode == CTRL_CONTROLLEDRACE && car->Finished && NET_DrivenCar())
      NET_DrivenCar()->OutOfTime = 1;
    return;
  }
  car->OutOfTime = m.h.Param2;
  car->Distance = static_cast<double>(SB_GetLong(m.body + 8));
  if (SB_Hooks.AddToScoreTab) SB_Hooks.AddToScoreTab(car, order, 0);
}

void StartNow() {
  if (SB_Var.GameMode != 0 && SB_Var.GameMode != CTRL_CONTROLLEDRACE) return;
  if (!SB_Hooks.GetGameStep || SB_Hooks.GetGameStep() != 1) return;
  SB_SilenceCarSounds();
  if (SB_Hooks.PlayPreloadedFilm) SB_Hooks.PlayPreloadedFilm();
  if (SB_Hooks.SetGameMode) SB_Hooks.SetGameMode(CTRL_CONTROLLEDRACE);
  if (SB_Hooks.StopReplayRecord) SB_Hooks.StopReplayRecord();
  if (SB_Hooks.NextGameStep) SB_Hooks.NextGameStep();
}

void EndOfRace() {
  if (SB_Var.GameMode != 0 && SB_Var.GameMode != CTRL_CONTROLLEDRACE) return;
  // The controller's operator sees a box once a race; elsewhere a box
  // raised by a peer would stop the race.
  if (SB_Var.IsController && !NET_Side.EndOfRaceShown) {
    NET_Side.EndOfRaceShown = 1;
    LS_Message("End Of Race");
  }
  SB_Var.LocalRaceTime = SB_Var.LocalBestLap = SB_NOTIME;
  SB_Var.RaceOver = 1;
  NET_SetControllerStatus(XSTATE_ENDOFRACE, NET_LocalSubState());
  NET_SendProgress(XNET_OUTOFTIME, 1);
  if (SB_Var.GameMode == 0 && SB_Hooks.SetGameMode) SB_Hooks.SetGameMode(CTRL_CONTROLLEDRACE);
  if (SB_Hooks.SetGameModeSteps) SB_Hooks.SetGameModeSteps(SB_Var.GameMode);
}

// The values each type must hold before it is handled.
bool ValuesAllowed(const Msg& m) {
  switch (m.type) {
    case CTRL_PLAYERORDER: return (m.h.Param1 >= 0 && m.h.Param1 < SB_MAXCARS) || m.h.Param1 == CTRL_NOPLACE;
    case CTRL_UPDATENETPLAYER: {
      const CTRL_PLAYER p = NET_GetPlayer(m.body);
      return p.XState <= XSTATE_ENDOFRACE && p.SubState <= XSUBSTATE_WATCHING;
    }
    case CTRL_CHANGEMAXNETPLAYER: return m.h.Param1 >= 0 && m.h.Param1 <= SB_MAXCARS;
    default: return true;
  }
}

void Dispatch(const Msg& m) {
  switch (m.type) {
    case CTRL_GAMEINFO: GameInfo(m); break;
    case CTRL_ANSWER: Answer(m); break;
    case CTRL_PLAYERORDER: PlayerOrder(m); break;
    case CTRL_UPDATENETPLAYER: UpdatePlayer(m); break;
    case CTRL_VEHICLESETUP: VehicleSetup(m); break;
    case XNET_CARSTATE: CarState(m); break;
    case XNET_TEXT: Text(m); break;
    case CTRL_PRESENCEQUERY: NET_SendShort(CTRL_PRESENCEACK, 0, 0); break;
    case XNET_RACEFINISHED:
    case XNET_OUTOFTIME: Progress(m); break;
    case CTRL_LAUCHNEWRACE:
      if (SB_Hooks.SetGameMode) SB_Hooks.SetGameMode(CTRL_CONTROLLEDRACE);
      break;
    case CTRL_STARTNEWRACENOW: StartNow(); break;
    case CTRL_ENTERPRACTICEMODE: SB_EnterPracticeMode(); break;
    case CTRL_ENDOFRACE: EndOfRace(); break;
    case CTRL_BESTTIME: SB_Var.NetBestTime = m.h.Param1; break;
    case CTRL_CHANGEMAXNETPLAYER:
      SB_ConsolePrintf("[READ][CTRL_CHANGEMAXNETPLAYER]");
      SB_Var.NetMaxPlayers = m.h.Param1;
      break;
    default: break;
  }
}

}  // namespace

void NET_HandleMessage(uint32_t sender, const void* message, uint32_t length) {
  Msg m;
  if (!NET_ReadMessage("READ", sender, message, length, &m)) return;
  if (m.bodyLength + XNETMSG_HEADERSIZE < MinLength(m.type) || !SenderAllowed(m) || !ValuesAllowed(m)) {
    NET_LogRefused("READ", m.type, length, sender);
    return;
  }
  Dispatch(m);
}

void SB_EnterPracticeMode() {
  if (SB_Hooks.SetGameMode) SB_Hooks.SetGameMode(0);
  if (SB_Hooks.StopReplayRecord) SB_Hooks.StopReplayRecord();
  SB_RestartRace();
  SB_Var.CameraMode = 2;
}
