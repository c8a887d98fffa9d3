// The race parameters of "TXT>NETRACE.TXT": starting time, time extensions,
// the final camera, the laps per mode and the player names; and the race
// set-up that reads them.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "net/netplayer.h"
#include "race/racerules.h"
#include "shell/keyfile.h"
#include "shell/racelaps.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "track/types.h"

namespace {

constexpr const char* kNetRaceFile = "TXT>NETRACE.TXT";
constexpr double kDefaultStartingTime = 60.0;  // s

// What a number of the file may hold: a finite value in the range its use
// can take. Times are whole milliseconds in 32 bits; distances and the
// camera's offset lie within the map's world (1/320 m in 32 bits). Nan,
// infinities and far values are typing errors.
struct TRANGE {
  double least, most;
};
constexpr TRANGE kSeconds = {0.0, 2147483.647};
constexpr TRANGE kDistance = {0.0, SB_WORLDMETRES};
constexpr TRANGE kOffset = {-SB_WORLDMETRES, SB_WORLDMETRES};
constexpr TRANGE kCount = {0.0, 2147483647.0};

// A number outside its range (no number is inside any) is refused with
// the key and the value, and the entry it belongs to is left out.
bool Accepted(const char* key, double value, TRANGE range) {
  if (value >= range.least && value <= range.most) return true;
  LS_Message("%s parameter %g refused...", key, value);
  return false;
}

// A lap count the race can hold, else the shipped file's.
int32_t Playable(int32_t laps) { return laps >= 1 && laps <= SB_MOSTLAPS ? laps : SB_FALLBACKLAPS; }

// Truncated toward zero, saturating at the 32-bit limits; NaN gives 0.
int32_t ToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

void ReadStartingTime(TKEYFILE* file) {
  double extra = 0.0;
  const int32_t mode = SB_Var.GameMode;
  if (mode == SB_RACE || mode == SB_CONTROLLEDRACE) {
    if (SB_ScanKeyFile(file, 1, "NETEXTRATIME: %f", {&extra}) != 1 || !Accepted("NETEXTRATIME", extra, kSeconds))
      extra = 0.0;
  }
  // Without the key a race would be out of time at "GO": it starts with the
  // shipped data's minute instead, and says so.
  double starting = kDefaultStartingTime;
  if (SB_ScanKeyFile(file, 1, "STARTINGTIME: %f", {&starting}) != 1) {
    starting = kDefaultStartingTime;
    LS_Message("STARTINGTIME parameter missing...");
  } else if (!Accepted("STARTINGTIME", starting, kSeconds)) {
    starting = kDefaultStartingTime;
  }
  SB_Var.StartingTime = Saturate(int64_t{ToInt32(extra * 1000.0)} + ToInt32(starting * 1000.0));
}

// Pairs of start distance and extension, each search after the last; a
// pair read short ends the list, a refused one is passed over.
void ReadTimeExtends(TKEYFILE* file) {
  int32_t filled = 0;
  int32_t fromStart = 1;
  while (filled < SB_NBTIMEEXTENDS) {
    double distance = 0.0, seconds = 0.0;
    if (SB_ScanKeyFile(file, fromStart, "TIMEXTEND: %f,%f", {&distance, &seconds}) < 2) break;
    fromStart = 0;
    const bool placed = Accepted("TIMEXTEND", distance, kDistance);
    const bool timed = Accepted("TIMEXTEND", seconds, kSeconds);
    if (!placed || !timed) continue;
    SB_Var.TimeExtends[filled].StartDistance = distance;
    SB_Var.TimeExtends[filled].Extension = ToInt32(seconds * 1000.0);
    ++filled;
  }
  if (filled < SB_NBTIMEEXTENDS) LS_Message("TIME EXTEND parameters missing...");
}

void ReadFinalCamera(TKEYFILE* file) {
  double x = 0.0, y = 0.0, z = 0.0;
  if (SB_ScanKeyFile(file, 1, "FINALCAMERA: %f,%f,%f", {&x, &y, &z}) == 3) {
    int32_t accepted = 0;
    for (double v : {x, y, z}) accepted += Accepted("FINALCAMERA", v, kOffset) ? 1 : 0;
    if (accepted < 3) return;
    SB_Var.FinalCamera[0] = x;
    SB_Var.FinalCamera[1] = y;
    SB_Var.FinalCamera[2] = z;
  } else {
    LS_Message("FINALCAMERA parameter missing...");
  }
}

// Each mode's count as the controller reads it too; a count missing or
// refused races the shipped file's laps and says so.
void ReadLaps(TKEYFILE* file) {
  const struct {
    int32_t mode;
    int32_t* laps;
  } counts[] = {{SB_RACE, &SB_Var.RaceLaps},
                {SB_CONTROLLEDRACE, &SB_Var.ControlledRaceLaps},
                {SB_OFFLINE, &SB_Var.OfflineLaps},
                {SB_MULTIRACE, &SB_Var.MultiLaps},
                {SB_FREERACE, &SB_Var.NLaps}};
  for (const auto& count : counts) {
    char said[128];
    *count.laps = SB_ReadLapCount(file, SB_LapKeyOfMode(count.mode), said, sizeof said);
    if (said[0]) LS_Message("%s", said);
  }
  SB_Var.MaxLaps =
      std::max({SB_Var.MultiLaps, SB_Var.OfflineLaps, SB_Var.ControlledRaceLaps, SB_Var.RaceLaps});
}

void ReadPlayerNames(TKEYFILE* file) {
  double players = 0.0;
  if (SB_ScanKeyFile(file, 1, "MAXPLAYERS: %f", {&players}) != 1) {
    LS_Message("MAXPLAYERS parameter missing...");
    return;
  }
  if (!Accepted("MAXPLAYERS", players, kCount)) return;
  const int32_t count = std::clamp(ToInt32(players), 0, SB_MAXPLAYERNAMES);
  for (int32_t k = 1; k <= count; ++k) {
    char format[32];
    std::snprintf(format, sizeof format, "PLAYER%ldNAME: %%s", static_cast<long>(k));
    SB_ScanKeyFile(file, k == 1 ? 1 : 0, format, {SB_Var.PlayerNames[k - 1]});
  }
}

}  // namespace

void SB_ReadNetRace() {
  if (TKEYFILE* file = SB_OpenKeyFile(kNetRaceFile)) {
    ReadStartingTime(file);
    ReadTimeExtends(file);
    ReadFinalCamera(file);
    ReadLaps(file);
    ReadPlayerNames(file);
    SB_CloseKeyFile(file);
  }
  // The parameters are read again at every race start, file or not: the
  // race keeps the laps of its mode's key, not NLAPS.
  SB_ChooseRaceLaps();
}

void SB_PreInitTimeExtends() {
  SB_ReadNetRace();
  SB_ResetRaceTiming();
  SB_Var.FinishCounters[0] = SB_Var.FinishCounters[1] = 0;
}

// A count never read (the file missing) races the shipped file's laps too.
void SB_ChooseRaceLaps() {
  switch (SB_Var.GameMode) {
    case SB_TRAINING:
    case SB_STANDALONE:
      SB_Var.NbLaps = SB_Var.XState == XSTATE_NONET ? SB_Var.OfflineLaps : SB_Var.MaxLaps;
      break;
    case SB_RACE: SB_Var.NbLaps = SB_Var.RaceLaps; break;
    case SB_MULTIRACE: SB_Var.NbLaps = SB_Var.MultiLaps; break;
    case SB_CONTROLLEDRACE: SB_Var.NbLaps = SB_Var.ControlledRaceLaps; break;
    case SB_OFFLINE: SB_Var.NbLaps = SB_Var.OfflineLaps; break;
    default: SB_Var.NbLaps = SB_Var.NLaps; break;  // FREERACE and DEMO
  }
  SB_Var.NbLaps = Playable(SB_Var.NbLaps);
}
