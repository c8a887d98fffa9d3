// The host's race as the controller keeps it: when it starts and whom it
// seats, which READY2PLAY and PLAYING a player may say, whether a race
// closes the game to joiners, and which race results it takes.
//
// A race starts:
// - in a RACE or MULTIRACE whose host has a player (CREATE, the menus): at
//   the host's own GO, its player's PLAYING from the start line;
// - in one without a host player (SERVER): at the first PLAYING from the
//   start line once every logged-in player in a race session (LOADING or
//   beyond) is at the start line, as many as the game's maximum, and no
//   race runs;
// - in a CONTROLLEDRACE: the same, in a race the controller launched
//   (message 20), the host's own player among them when it races.
// It seats the logged-in players, not watching, at the start line (or,
// in a host's race, that said PLAYING there since the host reached it).
// A FREERACE has no start (its racers never reach a start line): a
// PLAYING in it is refused, and none of its results count.
//
// A race result is entered only when no car could have driven the race
// faster: its laps of the circuit's lap at the fastest car's top speed
// (SB_TOPSPEED), both in its race time and in its arrival after the start;
// nor a best lap faster than one lap at that speed. A race whose lap the
// host cannot know enters no result.
#include <cstdio>

#include "net/ctrl.h"
#include "net/netgame.h"
#include "netlink/ls_net.h"
#include "race/types.h"
#include "shell/console.h"
#include "shell/keyfile.h"
#include "shell/racelaps.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "track/bspline.h"
#include "track/types.h"
#include "vehicles/physics.h"

// The race file's keys are those of the race's game modes.
static_assert(CTRL_FREERACE == SB_FREERACE && CTRL_RACE == SB_RACE && CTRL_MULTIRACE == SB_MULTIRACE &&
                  CTRL_CONTROLLEDRACE == SB_CONTROLLEDRACE,
              "a game type is the game mode its races run");

namespace {

TCTRL& C() { return CTRL_State(); }

constexpr const char* kLapUnknown = "THE LAP'S LENGTH IS UNKNOWN";

bool AtStartLine(const CTRL_PLAYER& p) { return p.XState == XSTATE_WAIT4GO || p.XState == XSTATE_PLAYING; }
bool Watching(const CTRL_PLAYER& p) { return p.SubState == XSUBSTATE_WATCHING; }

// The host's own player, logged in, or -1 (a game made without one).
int32_t HostOrder() {
  const uint32_t host = LS_NetCurrent()->Config.LocalPlayerId;
  for (int32_t i = 0; i < NET_MAXPLAYERS; ++i)
    if (C().Players[i].InUse && C().Players[i].Id == host) return i;
  return -1;
}

// Whose GO starts the race: the host's, where it has a player outside a
// CONTROLLEDRACE.
bool HostsGo() { return C().GameType != CTRL_CONTROLLEDRACE && HostOrder() >= 0; }

// Every logged-in player in a race session is at the start line, and
// outside a CONTROLLEDRACE they are as many as the game's maximum (what
// each racer's own start line waits for).
bool AllAtStartLine() {
  int32_t n = 0;
  for (const CTRL_PLAYER& p : C().Players) {
    if (!p.InUse || p.XState < XSTATE_LOADING) continue;
    if (!AtStartLine(p)) return false;
    ++n;
  }
  return n >= (C().GameType == CTRL_CONTROLLEDRACE ? 1 : SB_Var.NetControllerMax);
}

// The least time of a distance: driven at the fastest car's top speed (ms).
uint32_t LeastMs(double metres) {
  const double ms = 1000.0 * metres / SB_TOPSPEED;
  return ms < 4e9 ? static_cast<uint32_t>(ms) : 4000000000u;
}

// The race's laps, lap and least times: the host's own race's laps and
// line where its player is seated in it (its line where it loaded one),
// else what its race file says, never a line left loaded from before.
void SetRaceFloor() {
  TCTRL& c = C();
  const int32_t host = HostOrder();
  const bool own = host >= 0 && c.RaceResult[host] == CTRL_RACING;
  c.RaceLaps = own && SB_Var.NbLaps >= 1 ? SB_Var.NbLaps : c.FileLaps;
  c.RaceLapMetres = own && SB_Var.BsplineValid ? SB_Var.NbBsplinePoints : c.FileLapMetres;
  c.LapFloorMs = LeastMs(c.RaceLapMetres);
  c.RaceFloorMs = LeastMs(static_cast<double>(c.RaceLapMetres) * c.RaceLaps);
}

// The race starts now: its seats replace the last race's.
void StartRace() {
  TCTRL& c = C();
  c.RaceGoAt = LS_GetTime();
  c.Launched = 0;
  int32_t seated = 0;
  for (int32_t i = 0; i < NET_MAXPLAYERS; ++i) {
    const CTRL_PLAYER& p = c.Players[i];
    const bool seat = p.InUse && !Watching(p) &&
                      (p.XState == XSTATE_WAIT4GO || (p.XState == XSTATE_PLAYING && c.RaceResult[i] == CTRL_ATSTART));
    c.RaceResult[i] = seat ? CTRL_RACING : CTRL_NOTRACING;
    seated += seat ? 1 : 0;
  }
  SetRaceFloor();
  SB_ConsolePrintf("[CTRL][RACE STARTED: %ld PLAYERS SEATED]", static_cast<long>(seated));
  if (c.RaceLapMetres > 0)
    SB_ConsolePrintf("[CTRL][NO RESULT UNDER %lu ms: %ld LAPS AT %.0f km/h]",
                     static_cast<unsigned long>(c.RaceFloorMs), static_cast<long>(c.RaceLaps), SB_TOPSPEED * 3.6);
  else
    SB_ConsolePrintf("[CTRL][NO RESULT OF THIS RACE WILL BE ENTERED: %s]", kLapUnknown);
}

// Why a PLAYING is refused, or null when it is taken; a taken one may
// start the race, or mark the sender at the host's start line.
const char* Playing(int32_t order) {
  TCTRL& c = C();
  const CTRL_PLAYER& p = c.Players[order];
  if (c.GameType == CTRL_FREERACE) return "A FREERACE HAS NO START";
  if (p.XState != XSTATE_WAIT4GO) return "NOT AT THE START LINE";
  // Seated at the start, it says so late: timed from the start all the same.
  // (A seat is kept only while its race is the last the host started.)
  if (c.RaceResult[order] == CTRL_RACING) return nullptr;
  if (HostsGo()) {
    const int32_t host = HostOrder();
    if (order == host) {
      StartRace();
      return nullptr;
    }
    if (c.Players[host].XState != XSTATE_WAIT4GO) return "NOT IN THE HOST'S RACE";
    c.RaceResult[order] = CTRL_ATSTART;
    return nullptr;
  }
  if (CTRL_RaceOn()) return "NOT IN THE RACE UNDER WAY";
  if (c.GameType == CTRL_CONTROLLEDRACE && !c.Launched) return "NO RACE LAUNCHED";
  if (!AllAtStartLine()) return "NOT EVERY PLAYER AT THE START LINE";
  StartRace();
  return nullptr;
}

}  // namespace

// A host's race runs while its own player is in it; another while any
// racer seated in it is.
bool CTRL_RaceOn() {
  const TCTRL& c = C();
  const int32_t host = HostsGo() ? HostOrder() : -1;
  for (int32_t i = 0; i < NET_MAXPLAYERS; ++i) {
    const CTRL_PLAYER& p = c.Players[i];
    if ((host >= 0 && i != host) || !p.InUse || p.XState < XSTATE_PLAYING) continue;
    if (c.RaceResult[i] == CTRL_RACING || c.RaceResult[i] == CTRL_RESULTIN) return true;
  }
  return false;
}

void CTRL_LaunchRace() {
  TCTRL& c = C();
  c.Launched = 1;
  for (int32_t& r : c.RaceResult) r = CTRL_NOTRACING;
}

const char* CTRL_StateRefusal(int32_t order, int32_t state) {
  const CTRL_PLAYER& p = C().Players[order];
  if (state == static_cast<int32_t>(XSTATE_READY2PLAY))
    return p.XState == XSTATE_LOADING || p.XState == XSTATE_REMAPPINGCARS || p.XState == XSTATE_READY2PLAY
               ? nullptr
               : "NOT AFTER LOADING A RACE";
  if (state == static_cast<int32_t>(XSTATE_PLAYING) && p.XState != XSTATE_PLAYING) return Playing(order);
  return nullptr;
}

void CTRL_FollowRace(int32_t order, int32_t old, int32_t state) {
  TCTRL& c = C();
  // Back before the start: out of the race (a new race seats anew).
  if (state < static_cast<int32_t>(XSTATE_PLAYING) && state != old) c.RaceResult[order] = CTRL_NOTRACING;
  // The host reaching its start line opens it afresh: a PLAYING said at an
  // earlier one seats nobody.
  // So does a seat in the last race of a player that never started it: it
  // waits at this start line, and its GO is this race's.
  if (order == HostOrder() && state == static_cast<int32_t>(XSTATE_WAIT4GO) && state != old)
    for (int32_t i = 0; i < NET_MAXPLAYERS; ++i)
      if (c.RaceResult[i] == CTRL_ATSTART || (c.RaceResult[i] == CTRL_RACING && c.Players[i].XState == XSTATE_WAIT4GO))
        c.RaceResult[i] = CTRL_NOTRACING;
}

namespace {

// Why the race file's line gives no lap length, or null when it does.
const char* LineUnknown(const char* line, bool named, int32_t* metres, char* why, size_t size) {
  int32_t points = 0;
  const int32_t verdict = named ? SB_ReadBsplineFile(line, &points, nullptr) : SB_LINEFILE_MISSING;
  *metres = verdict == SB_LINEFILE_SOUND ? points : 0;
  if (!named) return "NO BSPLINENAME";
  switch (verdict) {
    case SB_LINEFILE_SOUND: return nullptr;
    case SB_LINEFILE_MISSING: std::snprintf(why, size, "LINE %s NOT FOUND", line); break;
    case SB_LINEFILE_TOOLARGE:
      std::snprintf(why, size, "LINE %s REFUSED: %ld POINTS, A RACE TAKES AT MOST %ld", line, static_cast<long>(points),
                    static_cast<long>(SB_MOSTBSPLINEPOINTS));
      break;
    default: std::snprintf(why, size, "LINE %s CORRUPT", line); break;
  }
  return why;
}

}  // namespace

void CTRL_ReadRaceFile(int32_t gameType) {
  TCTRL& c = C();
  char said[128] = {}, line[SB_FILENAMESIZE] = {}, why[SB_FILENAMESIZE + 96];
  TKEYFILE* file = SB_OpenKeyFile(CTRL_RACEFILE);
  const bool found = file && file->Start;
  // The race's own reader: the same key, the same 1 to 99, the same fallback.
  c.FileLaps = found ? SB_ReadLapCount(file, SB_LapKeyOfMode(gameType), said, sizeof said) : SB_FALLBACKLAPS;
  const bool named = found && SB_ReadBsplineName(file, line, sizeof line) == 1;
  if (file) SB_CloseKeyFile(file);
  if (said[0]) SB_ConsolePrintf("[CTRL][%s: %s]", CTRL_RACEFILE, said);
  int32_t metres = 0;
  const char* unknown = found ? LineUnknown(line, named, &metres, why, sizeof why) : "NOT FOUND";
  c.FileLapMetres = metres;
  if (!unknown) return;
  // Said when the game is made: a host without a race of its own has no
  // other lap to time results by (a SERVER's game enters none).
  SB_ConsolePrintf("[CTRL][%s: %s: %s: A RACE WITHOUT THE HOST'S PLAYER ENTERS NO RESULT]", CTRL_RACEFILE, unknown,
                   kLapUnknown);
}

const char* CTRL_ResultRefusal(int32_t order, uint32_t lap, uint32_t race, char* why, size_t size) {
  const TCTRL& c = C();
  const CTRL_PLAYER& p = c.Players[order];
  if (c.RaceResult[order] == CTRL_RESULTIN) return "ITS RESULT OF THIS RACE IS ALREADY IN";
  if (c.RaceResult[order] != CTRL_RACING || Watching(p)) return "NOT RACING IN THIS RACE";
  // A least time the host cannot know refuses: it never opens.
  if (c.RaceLapMetres <= 0) return kLapUnknown;
  const uint32_t raced = LS_GetTime() - c.RaceGoAt;
  if (uint64_t{race} + CTRL_RESULTSLACKMS < raced) {
    std::snprintf(why, size, "RACE TIME %lu ms, BUT RACING FOR %lu ms", static_cast<unsigned long>(race),
                  static_cast<unsigned long>(raced));
    return why;
  }
  if (race < c.RaceFloorMs || uint64_t{raced} + CTRL_RESULTSLACKMS < c.RaceFloorMs) {
    std::snprintf(why, size, "RACE TIME %lu ms, %lu ms AFTER THE START: NO CAR DRIVES THE RACE UNDER %lu ms",
                  static_cast<unsigned long>(race), static_cast<unsigned long>(raced),
                  static_cast<unsigned long>(c.RaceFloorMs));
    return why;
  }
  // A best lap no car drives refuses the result: the message is no copy's.
  if (lap != 0 && lap < c.LapFloorMs) {
    std::snprintf(why, size, "BEST LAP %lu ms: NO CAR DRIVES A LAP UNDER %lu ms", static_cast<unsigned long>(lap),
                  static_cast<unsigned long>(c.LapFloorMs));
    return why;
  }
  const uint64_t laps = static_cast<uint64_t>(c.RaceLaps > 1 ? c.RaceLaps : 1);
  if (lap != 0 && lap * laps > race) {
    std::snprintf(why, size, "BEST LAP %lu ms DOES NOT FIT %lu LAPS IN %lu ms", static_cast<unsigned long>(lap),
                  static_cast<unsigned long>(laps), static_cast<unsigned long>(race));
    return why;
  }
  return nullptr;
}
