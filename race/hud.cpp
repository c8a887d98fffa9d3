// The race HUD drawn each frame over the 3D view: the elements each game
// mode shows (lap, best lap, time, position, gaps, points, time limit,
// checkpoints, wrong way), the dial and the message slots.
#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "frontend/raceoverlay.h"
#include "net/netplayer.h"
#include "race/dial.h"
#include "race/hud_internal.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "shell/sbvar.h"
#include "vehicles/vehicles.h"

namespace {

constexpr TGAMESTEP kFinishingListStep = 18;
constexpr int32_t kEndDelay = 6000;  // ms after the finish before a CONTROLLEDRACE shows the list alone
constexpr int32_t kCheckpointShown = 4000;    // ms of race clock after a time-extension entry or a new best
constexpr int32_t kCheckpointMinLap = 10000;  // a lap time below this (the start) shows no checkpoint
constexpr int32_t kBlinkingBestLap = 30000;
constexpr int32_t kSteadyPoints = 100;
constexpr int32_t kSteadySeconds = 11;
constexpr int32_t kMessageStep = 26;  // pixels between message slots
constexpr const char* kCheckTexts[SB_NBTIMEEXTENDS] = {"*1LAP TIME", "*1CHECK 1", "*1CHECK 2", "*1CHECK 3"};

// This frame's overlay and driven car; X and Y take 640 x 480 units.
struct Frame {
  TCAR* car;
  int32_t width, height, top;
  double xs, ys;
  bool on;  // racing, with a race time
  char ahead[SB_PLAYERNAMESIZE], behind[SB_PLAYERNAMESIZE];
  int32_t X(int32_t x) const { return static_cast<int32_t>(x * xs); }
  int32_t Y(int32_t y) const { return top + static_cast<int32_t>(y * ys); }
};

void At(const Frame& f, int32_t x, int32_t y, const char* format, ...) __attribute__((format(printf, 4, 5)));
void At(const Frame& f, int32_t x, int32_t y, const char* format, ...) {
  char text[SB_HUDMESSAGESIZE];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  SB_DrawText(SB_Var.TextScreen, f.X(x), f.Y(y), "%s", text);
}

int32_t ToTime(double ms) { return static_cast<int32_t>(std::clamp(ms, 0.0, 2147483647.0)); }

// The time-extension entry passed within the last seconds of race clock,
// away from the start; -1 for none.
int32_t ShownCheckpoint() {
  const int32_t n = SB_Var.CheckpointNumber;
  if (n < 0 || n >= SB_NBTIMEEXTENDS || SB_Var.CheckpointLapTime <= kCheckpointMinLap) return -1;
  const int64_t since = int64_t{SB_Var.RaceClock} - SB_Var.CheckpointClock;
  return since >= 0 && since < kCheckpointShown ? n : -1;
}

// The lap just driven, for 4 s of the next lap's time after the crossing
// that ended it: not a part lap from the grid of 10 s or less, and no
// longer once the car has finished or run out of time (its lap time stands).
bool LineShown(const TCAR& c) {
  return !c.Finished && !c.OutOfTime && SB_Var.LineLapTime > kCheckpointMinLap && c.LapTime < kCheckpointShown;
}

// The word shown at (432, 8) this frame, whose "TIME" stands where the
// TIME label would: "LAP TIME" at the line (or entry 0 elsewhere) or
// "CHECK n" with its mode's bit, blinking (`lit` in the drawn phases);
// null when none shows.
const char* CheckpointWord(const Frame& f, int32_t mask, bool* lit) {
  *lit = false;
  if (SB_Var.GameMode == SB_TRAINING) return nullptr;
  const bool lapLine = (mask & SB_HUD_LAPLINE) != 0, checks = (mask & SB_HUD_TIMELIMIT) != 0;
  if (LineShown(*f.car)) {
    *lit = SB_HudOddPhase(f.car->LapTime);
    return lapLine ? kCheckTexts[0] : nullptr;
  }
  const int32_t n = ShownCheckpoint();
  if (n < 0 || !(n == 0 ? lapLine : checks)) return nullptr;
  *lit = SB_HudOddPhase(int64_t{SB_Var.RaceClock} - SB_Var.CheckpointClock);
  return kCheckTexts[n];
}

// The lap counter and the best lap are shown whenever their bits are set,
// before the race is on too.
void DrawLap(const Frame& f) {
  At(f, 19, 8, "*0LAP");
  const int32_t lap = std::max(std::min(f.car->Laps + 1, SB_Var.NbLaps), 1);
  At(f, 19, 44, "*0%ld/*1%ld", static_cast<long>(lap), static_cast<long>(SB_Var.NbLaps));
}

void DrawBestLap(const Frame& f) {
  At(f, 132, 8, "*1BEST LAP");
  const TCAR& c = *f.car;
  // The lap time stands once the car has finished or run out of time: a
  // new best set by the last lap then stands too, shown, not hidden.
  const bool racing = !c.Finished && !c.OutOfTime;
  const bool blinking =
      racing && SB_Var.NewBestLap && c.LapTime < kCheckpointShown && c.BestLap > kBlinkingBestLap;
  if (blinking && !SB_HudOddPhase(c.LapTime)) return;
  At(f, 164, 35, "*1%s", SB_FormatTime(c.BestLap, 2));
}

// Remaining seconds, "TIME OVER" once they ran out, or the result lines.
void DrawTimeLimit(const Frame& f) {
  const TCAR& c = *f.car;
  if (c.Finished || c.OutOfTime || SB_GetGameStep() == kFinishingListStep) {
    SB_DrawRaceResult(f.car, f.width, f.height, f.top);
    return;
  }
  if (!f.on) return;
  if (c.RemainingTime <= 0) {
    SB_HudCentred(f.width, f.Y(-2), "TIME");
    SB_HudCentred(f.width, f.Y(42), "OVER");
    return;
  }
  const int32_t seconds = c.RemainingTime / 1000;
  if (seconds < kSteadySeconds && !SB_HudOddPhase(SB_Var.Time)) return;
  char text[32];
  std::snprintf(text, sizeof text, "*0%ld", static_cast<long>(seconds));
  SB_HudCentred(f.width, f.Y(8), text);
}

// The label gives way to the checkpoint's word while that shows: both are
// drawn at the same place.
void DrawTime(const Frame& f, bool labelled) {
  if (labelled) At(f, 447, 8, "*1TIME");
  if (!f.on) return;
  int32_t t = f.car->LapTime;
  if (SB_Var.GameMode == SB_CONTROLLEDRACE)
    t = f.car->RaceTime;
  else if (LineShown(*f.car))
    t = SB_Var.LineLapTime;
  else if (ShownCheckpoint() >= 0)
    t = SB_Var.CheckpointLapTime;
  At(f, 435, 32, "*1%s", SB_FormatTime(t, 2));
}

void DrawPosition(const Frame& f) {
  At(f, 559, 8, "*0POS");
  const int32_t active = SB_CountActiveCars();
  if (!f.on || active <= 1) return;
  const int32_t place = f.car->Finished ? SB_Var.FinalPlace : f.car->Place;
  At(f, 559, 44, "*0%ld/*1%d", static_cast<long>(place), active);
}

void DrawGaps(const Frame& f, int32_t mask) {
  if (!f.on) return;
  const TCAR& c = *f.car;
  if ((mask & SB_HUD_GAPAHEAD) && c.GapAhead > 0.0 && c.Place != 1)
    At(f, 0, 80, "*1%s: -%s", f.ahead, SB_FormatTime(ToTime(c.GapAhead), 3));
  if ((mask & SB_HUD_GAPBEHIND) && c.GapBehind > 0.0 && c.Place < SB_CountActiveCars())
    At(f, 0, 102, "*1%s: +%s", f.behind, SB_FormatTime(ToTime(c.GapBehind), 3));
}

void DrawPoints(const Frame& f) {
  if (!f.on) return;
  if (f.car->Points < kSteadyPoints && !SB_HudOddPhase(f.car->LapTime)) return;
  At(f, 550, 90, "*1PTS:%ld", static_cast<long>(f.car->Points));
}

void DrawWrongWay(const Frame& f) {
  if (!f.car->WrongWay || !SB_HudOddPhase(SB_Var.Time)) return;
  SB_HudCentred(f.width, f.Y(130), "WRONG");
  SB_HudCentred(f.width, f.Y(174), "WAY");
}

void DrawElements(const Frame& f, int32_t mask) {
  if (mask & SB_HUD_LAP) DrawLap(f);
  if (mask & SB_HUD_BESTLAP) DrawBestLap(f);
  bool lit = false;
  const char* word = CheckpointWord(f, mask, &lit);
  if (word && lit) At(f, 432, 8, "%s", word);
  if (mask & SB_HUD_TIMELIMIT) DrawTimeLimit(f);
  if (mask & SB_HUD_TIME) DrawTime(f, !word);
  if (mask & SB_HUD_POSITION) DrawPosition(f);
  DrawGaps(f, mask);
  if (mask & SB_HUD_POINTS) DrawPoints(f);
  if (mask & SB_HUD_WRONGWAY) DrawWrongWay(f);
}

// Busy slots stack up from the bottom of the 3D view, the newest last;
// a slot is freed after its last drawing.
void DrawMessages(const Frame& f) {
  int32_t busy = 0;
  for (const THUDMESSAGE& m : SB_HudMessages) busy += m.Expiry ? 1 : 0;
  const int32_t bottom = static_cast<int32_t>((SB_Var.ScreenWindow.W_HEIGHT + f.top - 10) * f.ys);
  for (int32_t k = 0; k < SB_NBHUDMESSAGES; ++k) {
    THUDMESSAGE& m = SB_HudMessages[k];
    if (!m.Expiry) continue;
    if (!m.Blink || SB_HudOddPhase(SB_Var.Time))
      SB_DrawText(SB_Var.TextScreen, f.X(4), bottom - kMessageStep * busy + kMessageStep * k, "%s", m.Text);
    if (int64_t{SB_Var.Time} > m.Expiry) m.Expiry = m.Blink = 0;
  }
}

void ShowInfoPage(const Frame& f) {
  BMAP* page = SB_Var.InfoPage;
  if (!SB_Var.ZoriraDemo || !page || !SB_Var.TextScreen) return;
  LS_Bitmove(page, SB_Var.TextScreen, 0, 0, page->SizeX - 1, page->SizeY - 1, (f.width - page->SizeX) / 2,
             (f.height - page->SizeY) / 2, LS_BLIT_OPAQUE);
}

Frame MakeFrame(TCAR* car) {
  Frame f{};
  f.car = car;
  SB_GetTextScreenSize(&f.width, &f.height, &f.top);
  f.xs = SB_HudXScale();
  f.ys = SB_HudYScale();
  f.on = SB_GetGameStep() >= SB_STEP_RACING && car->RaceTime != 0;
  std::snprintf(f.ahead, sizeof f.ahead, "%s", SB_FormatPosition(SB_Var.AheadIndex));
  std::snprintf(f.behind, sizeof f.behind, "%s", SB_FormatPosition(SB_Var.BehindIndex));
  return f;
}

}  // namespace

int32_t SB_GetHudMask(const TCAR* car, int32_t* dial) {
  int32_t shown = 1, mask = 0;
  switch (SB_Var.GameMode) {
    case SB_FREERACE: mask = 65; break;
    case SB_RACE:
    case SB_OFFLINE: mask = 959; break;
    case SB_MULTIRACE: mask = 1023; break;
    case SB_CONTROLLEDRACE:
      mask = 959;
      if (car && SB_Var.XState == XSTATE_ENDOFRACE && int64_t{SB_Var.Time} - SB_Var.EndTime > kEndDelay) {
        mask = SB_HUD_TIMELIMIT;
        shown = 0;
      }
      break;
    case SB_STANDALONE: mask = 777; break;
    default: break;
  }
  if (SB_GetGameStep() == kFinishingListStep) mask = SB_HUD_TIMELIMIT;
  if (!SB_Var.TimeLimitOn) mask &= ~SB_HUD_TIMELIMIT;
  if (dial) *dial = shown;
  return mask;
}

void SB_DrawHud() {
  TCAR* car = SB_DrivenCarRecord();
  if (!SB_Var.PreviousView || SB_Var.CameraMode < 1 || !SB_Var.UsingCars || !car ||
      SB_Var.GameMode == SB_DEMO)
    return;
  const Frame f = MakeFrame(car);
  SB_Hud.NetNotice = 0;
  SB_LockTextScreen();
  int32_t dial = 0;
  const int32_t mask = SB_GetHudMask(car, &dial);
  if (SB_IsPreStartStep())
    SB_DisplayGameOptions(SB_Var.TextScreen);
  else
    DrawElements(f, mask);
  if (dial && !car->OutOfTime) SB_DrawNeedle(SB_Var.TextScreen);
  if (!SB_Var.SessionLost) DrawMessages(f);
  SB_UnlockTextScreen();
  ShowInfoPage(f);
  if (SB_Hud.NetNotice) NET_SendRaceProgress(0, 0);
}
