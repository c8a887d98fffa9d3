// The controller's best-time records and finishing list: the records file
// read when the controller starts and written whenever a record changes,
// finishes entered in time order, and their texts.
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "net/ctrl.h"
#include "platform/fs.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "system/lsvar.h"
#include "vehicles/bytes.h"

namespace {

constexpr const char* kRecordsFile = "BestRec.TMB";
// Written in full beside the records file, then renamed over it: a crash
// leaves the old file or the new one, never a part of one.
constexpr const char* kRecordsTemp = "BestRec.TMP";
constexpr int32_t kRecordSize = 776;
constexpr int32_t kFileSize = CTRL_NBRECORDS * kRecordSize;

TCTRL& C() { return CTRL_State(); }

// A text field of the file, cut within its 256 bytes.
void GetText(const uint8_t* at, char* out) {
  std::memcpy(out, at, 256);
  out[255] = 0;
}

// The text of a record into its 256 bytes, zero-filled after it.
void PutText(uint8_t* at, const char* text) {
  std::memset(at, 0, 256);
  std::memcpy(at, text, strnlen(text, 255));
}

bool ReadFile(CTRL_RECORD* records) {
  if (!LS_FileExists(kRecordsFile)) return false;
  const int32_t size = LS_GetFileSize(kRecordsFile);
  if (size != kFileSize) {
    SB_ConsolePrintf("[CTRL][Records file %s refused: %ld bytes, not %ld]", kRecordsFile, static_cast<long>(size),
                     static_cast<long>(kFileSize));
    return false;
  }
  const int16_t file = LS_Open(kRecordsFile, LS_O_RDONLY | LS_O_BINARY);
  if (file < 0) return false;
  static uint8_t bytes[kFileSize];
  const int32_t got = LS_Read(file, bytes, kFileSize);
  LS_Close(file);
  if (got != kFileSize) {
    SB_ConsolePrintf("[CTRL][Records file %s refused: %ld bytes read, not %ld]", kRecordsFile, static_cast<long>(got),
                     static_cast<long>(kFileSize));
    return false;
  }
  for (int32_t i = 0; i < CTRL_NBRECORDS; ++i) {
    const uint8_t* at = bytes + i * kRecordSize;
    GetText(at, records[i].Name);
    records[i].BestLap = SB_GetLong(at + 256);
    records[i].RaceTime = SB_GetLong(at + 260);
    GetText(at + 264, records[i].TimeOfDay);
    GetText(at + 520, records[i].Date);
  }
  return true;
}

std::string Physical(const char* name) {
  char path[LS_PATHSIZE];
  std::snprintf(path, sizeof path, "%s", name);
  return LSI_GetPhysicalPath(path, sizeof path) < 0 ? std::string() : std::string(path);
}

// The whole file to a temporary one, then renamed over the records file.
bool WriteFile(const CTRL_RECORD* records) {
  static uint8_t bytes[kFileSize];
  for (int32_t i = 0; i < CTRL_NBRECORDS; ++i) {
    uint8_t* at = bytes + i * kRecordSize;
    PutText(at, records[i].Name);
    SB_PutLong(at + 256, records[i].BestLap);
    SB_PutLong(at + 260, records[i].RaceTime);
    PutText(at + 264, records[i].TimeOfDay);
    PutText(at + 520, records[i].Date);
  }
  const std::string temp = Physical(kRecordsTemp), file = Physical(kRecordsFile);
  if (temp.empty() || file.empty()) return false;
  const int handle =
      plat::OpenFile(temp, plat::kOpenWriteOnly | plat::kOpenCreate | plat::kOpenTruncate | plat::kOpenBinary);
  if (handle < 0) return false;
  const bool written = plat::WriteFile(handle, bytes, kFileSize) == kFileSize;
  const bool closed = plat::CloseFile(handle) == 0;
  if (written && closed && plat::ReplaceFile(temp, file)) return true;
  plat::RemoveFile(temp);
  return false;
}

// Now's time of day and date as HH:MM:SS and MM/DD/YY.
void Stamp(CTRL_RECORD& r) {
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  std::snprintf(r.TimeOfDay, sizeof r.TimeOfDay, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
  std::snprintf(r.Date, sizeof r.Date, "%02d/%02d/%02d", t.tm_mon + 1, t.tm_mday, t.tm_year % 100);
}

void Fill(CTRL_RECORD& r, uint32_t bestLap, uint32_t raceTime, const char* name) {
  std::snprintf(r.Name, sizeof r.Name, "%s", name ? name : "");
  r.BestLap = bestLap;
  r.RaceTime = raceTime;
  Stamp(r);
}

const char* Format(uint32_t ms) {
  return SB_Hooks.FormatTime ? SB_Hooks.FormatTime(static_cast<int32_t>(ms), 2) : "";
}

}  // namespace

void CTRL_LoadRecords() {
  TCTRL& c = C();
  c.HasRecords = 1;
  if (ReadFile(c.Records)) {
    SB_ConsolePrintf("[CTRL][Records file loaded.]");
    return;
  }
  for (CTRL_RECORD& r : c.Records) {
    r = CTRL_RECORD{};
    r.BestLap = r.RaceTime = CTRL_NORECORD;
  }
  SB_ConsolePrintf("[CTRL][Records file created.]}");
}

int32_t CTRL_WriteRecords() {
  TCTRL& c = C();
  if (!c.HasRecords) return 0;
  if (!WriteFile(c.Records)) {
    SB_ConsolePrintf("[CTRL][Records file %s not written: it stays as it was]", kRecordsFile);
    return 0;
  }
  c.RecordsChanged = 0;
  SB_ConsolePrintf("[CTRL][Records file written.]");
  return 1;
}

void CTRL_FreeRecords() {
  // A file that was refused, or is as the records are, stays untouched.
  if (C().HasRecords && C().RecordsChanged) CTRL_WriteRecords();
  C().HasRecords = 0;
}

uint32_t CTRL_BestRaceTime() { return C().HasRecords ? C().Records[0].RaceTime : CTRL_NOTIME; }

void CTRL_AddFinisher(uint32_t bestLap, uint32_t raceTime, const char* name) {
  TCTRL& c = C();
  if (c.NbFinishers < 0 || c.NbFinishers >= NET_MAXPLAYERS) return;
  Fill(c.Finishers[c.NbFinishers++], bestLap, raceTime, name);
}

void CTRL_ClearFinishers() {
  TCTRL& c = C();
  c.NbFinishers = 0;
  for (CTRL_RECORD& r : c.Finishers) {
    r.BestLap = r.RaceTime = 0;
    r.Name[0] = 0;
  }
}

void CTRL_UpdateRecords(uint32_t bestLap, uint32_t raceTime, const char* name) {
  TCTRL& c = C();
  if (!c.HasRecords || raceTime == CTRL_NOTIME || raceTime == 0) return;
  SB_ConsolePrintf("[CTRL][ Updating Best     records dataBase ]");
  for (const CTRL_RECORD& r : c.Records)
    if (r.BestLap == bestLap && r.RaceTime == raceTime && std::strcmp(r.Name, name) == 0) return;
  CTRL_AddFinisher(bestLap, raceTime, name);
  int32_t at = 0;
  while (at < CTRL_NBRECORDS && c.Records[at].RaceTime <= raceTime) ++at;
  if (at == CTRL_NBRECORDS) return;
  for (int32_t i = CTRL_NBRECORDS - 1; i > at; --i) c.Records[i] = c.Records[i - 1];
  Fill(c.Records[at], bestLap, raceTime, name);
  c.RecordsChanged = 1;
  CTRL_WriteRecords();
  if (at != 0) return;
  SB_ConsolePrintf(" ");
  SB_ConsolePrintf("[CTRL][ New Best Time record ]");
  SB_ConsolePrintf(" ");
  CTRL_SendBestTime();
}

const char* CTRL_GetGameStateName(int32_t state) {
  static const char* const kNames[] = {"NO RACE                  ", "WAITING FOR TWO PLAYERS  ",
                                       "WAITING FOR OTHER PLAYERS", "WARMUP                   ",
                                       "RACE IN PROGRESS         ", "RACE COMPLETED           ",
                                       "TRAINING MODE            "};
  return state >= 0 && state <= CTRL_TRAININGMODE ? kNames[state] : "UNKNOWN MODE             ";
}

const char* CTRL_GetBestTimeText() {
  TCTRL& c = C();
  if (!c.HasRecords || c.Records[0].RaceTime == CTRL_NORECORD) return "NONE";
  std::snprintf(c.Text, sizeof c.Text, "%.32s %.200s", Format(c.Records[0].RaceTime), c.Records[0].Name);
  return c.Text;
}

const char* CTRL_GetRaceBestTimeText() {
  TCTRL& c = C();
  const CTRL_RECORD* best = nullptr;
  for (int32_t i = 0; i < c.NbFinishers && i < NET_MAXPLAYERS; ++i) {
    const CTRL_RECORD& r = c.Finishers[i];
    if (r.RaceTime != 0 && r.RaceTime < CTRL_NORECORD && (!best || r.RaceTime < best->RaceTime)) best = &r;
  }
  std::snprintf(c.Text, sizeof c.Text, "%.32s %.200s", Format(best ? best->RaceTime : 0),
                best ? best->Name : c.Finishers[0].Name);
  return c.Text;
}

void CTRL_PrintRecords() {
  TCTRL& c = C();
  if (!SB_Var.IsController || !c.HasRecords) return;
  static const char* const kRule = "[--------------------------------------------------------------------]";
  struct Block {
    const char* title;
    const CTRL_RECORD* rows;
  };
  const Block blocks[] = {
      {"[                    ZENTROVA RACE - HALL OF FAME                    ]", c.Records},
      {"[                    ZENTROVA RACE - FINISHING LIST                  ]", c.Finishers}};
  for (const Block& b : blocks) {
    SB_ConsolePrintf("%s", b.title);
    SB_ConsolePrintf("%s", kRule);
    SB_ConsolePrintf("[    | Name           | Best Time | Date & Time                      ]");
    SB_ConsolePrintf("%s", kRule);
    for (int32_t i = 0; i < CTRL_NBRECORDS; ++i) {
      const CTRL_RECORD& r = b.rows[i];
      if (!r.Name[0]) continue;
      SB_ConsolePrintf("[%4d|%16s| %9s | %16s%16s |", static_cast<int>(i), r.Name, Format(r.RaceTime), r.Date,
                       r.TimeOfDay);
    }
    SB_ConsolePrintf("[-------------------------------------------------------------------]");
  }
}
