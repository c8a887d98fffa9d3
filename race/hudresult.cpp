// The end of a race on the HUD: the result lines, the finishing list with
// its car pictures, the end menu line and the lost-server notice.
#include <algorithm>
#include <cstdio>

#include "race/hud_internal.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "vehicles/vehicles.h"

namespace {

constexpr TGAMESTEP kFinishingListStep = 18;
constexpr int32_t kNoticeTime = 6000;  // ms after the finish during which progress is reported
constexpr int32_t kEndDelay = 3000;    // ms after the session was lost before the race ends
constexpr const char* kOrdinals[] = {"1st", "2nd",  "3rd",  "4th",  "5th",  "6th",  "7th", "8th",
                                     "9th", "10th", "11th", "12th", "13th", "14th", "15th"};
constexpr int32_t kNbOrdinals = 15;

// The finishing list's rows, in 640 x 480 units.
constexpr int32_t kListTitleY = 40;
constexpr int32_t kListHeaderY = 80;
constexpr int32_t kListFirstRowY = 112;
constexpr int32_t kListRowStep = 24;
constexpr int32_t kListPictureDrop = 11;  // the picture's top on the row's glyph tops

const char* Ordinal(int32_t place) { return place >= 1 && place <= kNbOrdinals ? kOrdinals[place - 1] : ""; }

// The overlay, locked for one drawing unless it already was.
class OverlayLock {
 public:
  OverlayLock() : mine_(!SB_IsTextScreenLocked()) { SB_LockTextScreen(); }
  ~OverlayLock() {
    if (mine_) SB_UnlockTextScreen();
  }

 private:
  bool mine_;
};

bool BeatsRecord(int32_t raceTime) {
  const int32_t record = SB_Var.NetBestTime;
  return record != 0 && record != SB_NOTIME && raceTime < record;
}

// One row of the finishing list; place 0 for an unclassified entry.
void DrawListRow(const TSCORE& entry, int32_t row, int32_t place, double xs, int32_t top, double ys) {
  BMAP* screen = SB_Var.TextScreen;
  const int32_t y = top + static_cast<int32_t>((kListFirstRowY + kListRowStep * row) * ys);
  auto x = [xs](int32_t v) { return static_cast<int32_t>(v * xs); };
  SB_DrawText(screen, x(50), y, "*1%-4s", Ordinal(place));
  if (BMAP* picture = SB_GetCarPicture(entry.Id))
    LS_Bitmove(picture, screen, 0, 0, picture->SizeX - 1, picture->SizeY - 1, x(122), y + kListPictureDrop,
               LS_BLIT_TRANSPARENT);
  SB_DrawText(screen, x(208), y, "*1%-8s", entry.Name);
  if (place)
    SB_DrawText(screen, x(318), y, "*1%-8s", SB_FormatTime(entry.RaceTime, 2));
  else
    SB_DrawText(screen, x(318), y, "*1  OVER");
  SB_DrawText(screen, x(428), y, "*1%-8s", SB_FormatTime(entry.BestLap, 2));
}

}  // namespace

void SB_DrawRaceResult(TCAR* car, int32_t width, int32_t, int32_t top) {
  if (!car) return;
  const double ys = SB_HudYScale();
  auto line = [&](int32_t y, const char* text) {
    SB_HudCentred(width, top + static_cast<int32_t>(y * ys), text);
  };
  const bool solo = SB_Var.NbCars == 1 || SB_Var.GameMode == SB_TRAINING;
  if (int64_t{SB_Var.Time} - SB_Var.EndTime < kNoticeTime || SB_Var.GameMode == SB_TRAINING ||
      SB_Var.GameMode == SB_OFFLINE)
    SB_Hud.NetNotice = 1;
  if (SB_GetGameStep() == kFinishingListStep) {
    SB_DrawFinishingList();
    return;
  }
  const bool timedOut = car->OutOfTime && !car->Finished;
  const bool phase = SB_HudOddPhase(SB_Var.Time);
  if (SB_Var.GameMode == SB_CONTROLLEDRACE && car->Laps >= SB_Var.NbLaps &&
      BeatsRecord(SB_Var.FinalRaceTime)) {
    line(312, "WEEK");
    line(356, "BEST TIME");
  }
  if (car->Finished && SB_Var.FinalPlace == 1 && !solo) {
    line(46, "YOU");
    line(90, "WIN THE RACE...");
  } else if (car->Finished) {
    line(46, "RACE");
    line(90, "COMPLETED");
    if (!solo && phase && Ordinal(SB_Var.FinalPlace)[0]) line(134, Ordinal(SB_Var.FinalPlace));
  }
  if (timedOut && phase) {
    line(190, "TIME");
    line(234, "OVER");
  }
  if (!timedOut) line(224, SB_FormatTime(SB_Var.FinalRaceTime, 2));
}

void SB_DrawFinishingList() {
  int32_t width = 0, height = 0, top = 0;
  SB_GetTextScreenSize(&width, &height, &top);
  const double xs = SB_HudXScale(), ys = SB_HudYScale();
  BMAP* screen = SB_Var.TextScreen;
  SB_DrawText(screen, static_cast<int32_t>(200 * xs), top + static_cast<int32_t>(kListTitleY * ys),
              "*0FINISHING LIST:");
  SB_DrawText(screen, static_cast<int32_t>(50 * xs), top + static_cast<int32_t>(kListHeaderY * ys),
              "*1Pos:  Cars:     Player:   Time:   Best Lap:");
  // Classified entries first, in entry order, then the others.
  int32_t row = 0, place = 0;
  for (int32_t pass = 0; pass < 2; ++pass)
    for (int32_t i = 0; i < SB_MAXSCORES; ++i) {
      const TSCORE& entry = scoreTab[i];
      const bool classified = entry.NotClassified == 0.0;
      if (!entry.Used || classified != (pass == 0)) continue;
      if (entry.Id < 0 || entry.Id >= SB_MAXSCORES) {
        SB_ConsolePrintf("Bad scoreTab i=%ld carID=%ld", static_cast<long>(i), static_cast<long>(entry.Id));
        continue;
      }
      DrawListRow(entry, row++, classified ? ++place : 0, xs, top, ys);
    }
}

void SB_LoadCarPictures() {
  SB_FreeCarPictures();
  for (int32_t i = 0; i < SB_NBCARPICTURES; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, SB_CARPICTUREFORMAT, static_cast<long>(i + 1));
    SB_Hud.CarPictures[i] = SB_HudLoadPicture(name);
    if (!SB_Hud.CarPictures[i]) LS_Message("Missing %s", name);
  }
}

void SB_FreeCarPictures() {
  for (BMAP*& picture : SB_Hud.CarPictures) {
    SB_FreeBmap(picture);
    picture = nullptr;
  }
}

BMAP* SB_GetCarPicture(int32_t car) {
  const int32_t number = SB_GetCarSetupNumber(car);
  return number >= 1 && number <= SB_NBCARPICTURES ? SB_Hud.CarPictures[number - 1] : nullptr;
}

void SB_DrawEndMenu() {
  if (!SB_Var.StepListEnd && !SB_Var.Paused) return;
  int32_t width = 0;
  SB_GetTextScreenSize(&width, nullptr, nullptr);
  const OverlayLock lock;
  SB_HudCentred(width, static_cast<int32_t>(410 * SB_HudYScale()),
                SB_CanRestart() ? "*1PRESS F1: QUIT - F2: RESTART GAME" : "*1PRESS F1 TO QUIT");
}

void SB_DrawNoMoreServer() {
  // The time counts from the loss: a session opened again starts it anew.
  if (!SB_Var.SessionLost) {
    SB_Hud.LostTime = 0;
    return;
  }
  SB_Hud.LostTime =
      static_cast<int32_t>(std::min<int64_t>(int64_t{SB_Hud.LostTime} + SB_Var.FrameTime, INT32_MAX));
  if (!SB_HudOddPhase(SB_Var.Time)) return;
  int32_t width = 0;
  SB_GetTextScreenSize(&width, nullptr, nullptr);
  const OverlayLock lock;
  SB_HudCentred(width, static_cast<int32_t>(190 * SB_HudYScale()), "NO MORE SERVER...");
}

int32_t SB_IsEndDelayOver() { return SB_Var.SessionLost && SB_Hud.LostTime > kEndDelay ? 1 : 0; }

void SB_ClearLostSession() {
  SB_Var.SessionLost = 0;
  SB_Hud.LostTime = 0;
}
