// The race-phase sequencer: one frame runs the current step of the game
// mode's list and, while steps advance, the steps after it.
#include "race/sequencer.h"

#include <algorithm>
#include <cstdint>

#include "frontend/raceoverlay.h"
#include "net/net.h"
#include "net/netplayer.h"
#include "race/kiosk.h"
#include "race/racerules.h"
#include "race/session.h"
#include "scenery/daynight.h"
#include "scenery/panels.h"
#include "shell/gameevent.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "vehicles/vehicles.h"

namespace {

constexpr const char* kReadyText = "      BE READY TO BE AT FULL ....";
constexpr int32_t kReadySpeed = 40;
constexpr int32_t kReadyInterval = 50;
constexpr int32_t kCountdownColumn = 8;
constexpr int32_t kKeySpace = 32;
// Steps an entry of a list may hold; a longer list has lost its end.
constexpr int32_t kMaxListLength = 64;

// Advances made so far, so that a pass knows whether it moved the list on.
uint32_t g_advances = 0;

// What one call of SB_DoGameMode remembers between its passes.
struct Frame {
  bool confirmedInStep4 = false;
};

int32_t ListLength(const TGAMESTEP* list) {
  int32_t n = 0;
  while (n < kMaxListLength && list[n] != SB_STEP_END) ++n;
  return n;
}

bool Entered() { return SB_Var.StepEntered != 0; }

// The confirm control pressed in this frame.
bool ConfirmPressed() { return SB_Var.Controls.AccelOn && !SB_Var.PrevControls.AccelOn; }
// The manual gearbox chosen: brake held without steering right.
bool ManualChosen() { return SB_Var.Controls.BrakeOn && !SB_Var.Controls.RightOn; }

void SetRaceCamera() { SB_Var.CameraMode = SB_Var.ZoriraDemo ? SB_Var.ZoriraCamera : 1; }

void KeepSceneAlive() {
  SB_ResetReplayClocks();
  SB_ResetDayNight();
}

void InitRace() {
  if (SB_Var.GameMode != SB_TRAINING) {
    SB_Var.DayNightOn = 1;
    SB_ResetDayNight();
  } else {
    SB_Var.DayNightOn = 0;
  }
  SB_Var.RaceOver = SB_Var.StepListEnd = SB_Var.Paused = 0;
  SB_ResetGaps();
  SB_RestartRaceAfresh();
  SB_ApplyGameModeSettings();
  SB_SilenceCarSounds();
  SetRaceCamera();
  SB_NextGameStep();
  SetRaceCamera();
  SB_PlayTututuSound();
}

void KioskInfoPage() {
  if (!SB_Var.ZoriraDemo) {
    SB_NextGameStep();
    return;
  }
  if (Entered()) SB_LoadInfoPage();
  if (SB_KeyDown(kKeySpace)) SB_NextGameStep();
}

void WaitForConfirm(Frame& frame) {
  SB_LoadOptionPicts();
  KeepSceneAlive();
  if (ConfirmPressed()) {
    SB_NextGameStep();
    frame.confirmedInStep4 = true;
  }
}

// A race shown from a replay, with no car driven here: nobody to choose a
// gearbox for, nor to show the choice to.
bool OnlyReplayShown() { return !SB_IsValidCarIndex(SB_Var.DrivenCar) && SB_IsValidCarIndex(SB_Var.ReplayCar); }

void ChooseGearbox(const Frame& frame) {
  if (OnlyReplayShown()) {
    SB_NextGameStep();
    return;
  }
  SB_LoadOptionPicts();
  KeepSceneAlive();
  SB_Var.AutomaticGears = ManualChosen() ? 0 : 1;
  if (ConfirmPressed() && !frame.confirmedInStep4) {
    SB_Var.PrevControls.AccelOn = 1;  // the press is used up
    SB_NextGameStep();
  }
  if (TCAR* car = SB_DrivenCarRecord()) car->AutomaticGears = SB_Var.AutomaticGears;
}

void WaitAllReady() {
  KeepSceneAlive();
  if (Entered()) {
    NET_SetControllerStatus(XSTATE_WAIT4READY, SB_Var.XSubState);
    SB_SetPanelScrollText(0, kReadyText, kReadySpeed, kReadyInterval, 0);
  }
  if (SB_NetAllWithin(1)) SB_NextGameStep();
}

void ReadyMessage() {
  if (!Entered()) return;
  KeepSceneAlive();
  SB_ClearPanel(0);
  SB_SetCountdownLights(1);
  SB_SetPanelScrollText(0, kReadyText, kReadySpeed, kReadyInterval, 0);
  SB_Var.StepTimer = SB_Var.ZoriraDemo ? 5000 : 8000;
}

void Countdown(int32_t n) {
  static const char* const kTexts[] = {"  3  ", "  2  ", "  1  "};
  if (!Entered()) return;
  if (n == 0) {
    SB_ClearPanel(0);
    SB_SetCountdownLights(1);
  }
  SB_Var.StepTimer = 1500;
  SB_PanelPrintText(0, kTexts[n], kCountdownColumn);
  SB_PlayCountdownSound(n);
}

void WaitAllAtStart() {
  if (Entered()) NET_SetControllerStatus(XSTATE_WAIT4GO, SB_Var.XSubState);
  if (SB_NetAllWithin(1)) SB_NextGameStep();
}

void Go() {
  if (NET_IsConnected()) NET_SetControllerStatus(XSTATE_PLAYING, SB_Var.XSubState);
  SB_PlayCountdownSound(3);
  SB_ClearPanel(0);
  SB_PanelPrintText(0, "  GO ", kCountdownColumn);
  SB_SetCountdownLights(0);
  SB_SetGoLights();
  for (int32_t panel = 2; panel <= 4; ++panel) {
    SB_ClearPanel(panel);
    SB_PanelPrintText(panel, "CHECK", kCountdownColumn);
  }
  SB_FreeOptionPicts();
  SB_SetDefaultPlayerNames();
  SB_NextGameStep();
}

// Both may happen in one pass: the second advance then passes a step.
void Racing() {
  const TCAR* car = SB_DrivenCarRecord();
  if (car && (car->OutOfTime || car->Finished)) SB_NextGameStep();
  if (SB_Var.RaceOver) SB_NextGameStep();
}

void AfterRace() {
  switch (SB_Var.GameMode) {
    case SB_RACE:
    case SB_MULTIRACE:
      if (Entered()) SB_Var.StepTimer = 5000;
      break;
    case SB_OFFLINE:
    case SB_STANDALONE:
      if (Entered())
        SB_Var.StepTimer = 10000;
      else if (SB_Var.RaceOver)
        SB_NextGameStep();
      break;
    default: break;  // CONTROLLEDRACE: the controller's restart rewinds the list
  }
}

void RunStep(TGAMESTEP step, Frame& frame) {
  switch (step) {
    case 0: InitRace(); break;
    case 1:
      if (Entered()) SB_StartIntroCycle();
      break;
    case 2: KioskInfoPage(); break;
    case 3:
      SB_FreeInfoPage();
      SB_NextGameStep();
      break;
    case 4: WaitForConfirm(frame); break;
    case 5: ChooseGearbox(frame); break;
    case 6:
      SB_FreeOptionPicts();
      SB_NextGameStep();
      break;
    case 7: WaitAllReady(); break;
    case 8: ReadyMessage(); break;
    case 9:
      if (Entered()) SB_Var.StepTimer = 5000;
      break;
    case 10:
    case 11:
    case 12: Countdown(step - 10); break;
    case 13: WaitAllAtStart(); break;
    case 14: Go(); break;
    case 15: Racing(); break;
    case 16: AfterRace(); break;
    case 17:
      if (SB_NetAllAtState()) SB_NextGameStep();
      break;
    case 18:
      if (SB_Var.RaceOver) SB_NextGameStep();
      break;
    case 19:
      if (!Entered() && SB_Var.RaceOver) SB_NextGameStep();
      break;
    case 20: SB_NextGameStep(); break;
    default: LS_Message("SB_DoGameMode Default"); break;
  }
}

// The step timer runs down by the frame's time and advances at 0.
void RunTimer() {
  if (SB_Var.StepTimer == 0) return;
  const int64_t left = int64_t{SB_Var.StepTimer} - SB_Var.FrameTime;
  SB_Var.StepTimer = static_cast<int32_t>(std::clamp<int64_t>(left, INT32_MIN, INT32_MAX));
  if (left <= 0) SB_NextGameStep();
}

}  // namespace

int32_t SB_NextGameStep() {
  if (!SB_Var.GameSteps) return 0;
  ++g_advances;
  SB_Var.StepTimer = 0;
  SB_Var.StepEntered = 1;
  ++SB_Var.StepIndex;
  if (SB_Var.StepIndex >= kMaxListLength || SB_Var.GameSteps[SB_Var.StepIndex] == SB_STEP_END)
    SB_Var.StepIndex = 0;
  return 1;
}

// Passes run while steps advance, at most one per entry of the list (its
// end marker included), so a frame in which every step advances still ends.
void SB_DoGameMode() {
  if (!SB_Var.GameSteps) return;
  const int32_t passes = ListLength(SB_Var.GameSteps) + 1;
  Frame frame;
  for (int32_t pass = 0; pass < passes; ++pass) {
    const uint32_t before = g_advances;
    RunStep(SB_GetGameStep(), frame);
    RunTimer();
    if (g_advances == before) break;
  }
  SB_Var.StepEntered = 0;
  SB_CheckStepListEnd();
}
