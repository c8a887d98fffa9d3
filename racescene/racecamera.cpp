// The race camera's frame: the end-phase clock, the camera control, the
// followed car and its mode, then the mode's handler.
#include "racescene/racecamera.h"

#include "engine3d/camera.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "track/bspline.h"
#include "vehicles/vehicles.h"

namespace {

constexpr int32_t kShiftKey = 16, kCtrlKey = 17;
constexpr int32_t kEndPhaseStep = 6;

using Handler = void (*)(TCAMERA*, int32_t);
constexpr Handler kHandlers[9] = {
    nullptr,         SB_CameraFollow, SB_CameraInCar,      SB_CameraTrackside, SB_CameraChase,
    SB_CameraRearView, SB_CameraSwing,  SB_CameraFixedAngle, SB_CameraFinish,
};

// A press of the camera control: set now, clear in the previous frame.
void OnCameraControl() {
  if (!SB_Var.Controls.Camera || SB_Var.PrevControls.Camera) return;
  if (SB_Var.EditorMode && LS_KeyHeld(kCtrlKey)) {
    const int32_t next = SB_Var.CameraMode + 1;
    SB_Var.CameraMode = LS_KeyHeld(kShiftKey) && next <= SB_CAMERA_FIXEDANGLE ? next : SB_CAMERA_FREE;
    return;
  }
  SB_Var.CameraMode = SB_Var.CameraMode == SB_CAMERA_INCAR ? SB_CAMERA_FOLLOW : SB_CAMERA_INCAR;
}

// The replay's tour of modes by the game clock.
int32_t ReplayMode() {
  const uint32_t t = SB_Var.Time % 20000;
  if (t < 5000) return SB_CAMERA_TRACKSIDE;
  if (t < 10000) return SB_CAMERA_FOLLOW;
  if (t < 15000) return SB_CAMERA_INCAR;
  return SB_Var.Time % 60000 < 20000 ? SB_CAMERA_FIXEDANGLE : SB_CAMERA_TRACKSIDE;
}

// The race-phase step and whether a car is in the game, from the race.
int32_t GameStep() { return SB_Hooks.GetGameStep ? SB_Hooks.GetGameStep() : 0; }
bool InGame(int32_t car) { return SB_Hooks.IsCarInGame && SB_Hooks.IsCarInGame(car); }

int32_t FollowedCar() {
  if (SB_Var.XSubState == 2) return SB_Var.WatchedCar;
  if (SB_IsValidCarIndex(SB_Var.ReplayCar)) {
    SB_Var.CameraMode = ReplayMode();
    return SB_Var.ReplayCar;
  }
  return SB_Var.DrivenCar;
}

// The mode the car's state forces: none to follow, finished, out.
void ApplyCarState(int32_t car) {
  if (!SB_IsValidCarIndex(car) || !SB_Var.Cars[car] || !InGame(car)) {
    SB_Var.CameraMode = SB_CAMERA_FREE;
    return;
  }
  const TCAR& k = *SB_Var.Cars[car];
  if (k.Finished)
    SB_Var.CameraMode = SB_CAMERA_FINISH;
  else if ((k.OutOfRace || k.OutOfRace2) && SB_Var.CameraMode != SB_CAMERA_FREE)
    SB_Var.CameraMode = SB_CAMERA_SWING;
}

void RunMode(TCAMERA* camera) {
  OnCameraControl();
  const int32_t car = FollowedCar();
  ApplyCarState(car);
  if (SB_Var.CameraMode < 0 || SB_Var.CameraMode > SB_CAMERA_FINISH) SB_Var.CameraMode = SB_CAMERA_FREE;
  if (SB_Var.CameraMode != SB_Var.PrevCameraMode) {
    camera->HoldTimer = 0;
    camera->ModeWord = 0;
    SB_Var.CameraSettled = 0;
    camera->Cut = 1;
  }
  SB_Var.PrevCameraMode = SB_Var.CameraMode;
  if (SB_Var.CameraMode == SB_CAMERA_FREE)
    SB_CameraFree(camera);
  else
    kHandlers[SB_Var.CameraMode](camera, car);
}

}  // namespace

// Weak, so that the race tests can record the call in its place.
__attribute__((weak)) int32_t SB_UpdateRaceCamera(TCAMERA* camera) {
  if (GameStep() >= kEndPhaseStep) {
    if (SB_Var.EndPhaseTime == 0) SB_PlayBlueskySound();
    SB_Var.EndPhaseTime += SB_Var.FrameTime;
  }
  camera->Cut = 0;
  if (SB_Var.UsingCars)
    RunMode(camera);
  else
    SB_CameraFree(camera);
  const int32_t index = SB_UpdateCameraBsplineIndex(camera);
  SB_Var.CameraSettled = 1;
  return index;
}
