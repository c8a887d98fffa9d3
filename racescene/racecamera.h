// The race camera: the nine modes that place it around a car, and its
// per-frame update.
#pragma once
#include <cstdint>

#include "engine3d/camera.h"
#include "engine3d/types.h"

// The race camera modes (SB_Var.CameraMode) and their handlers.
enum : int32_t {
  SB_CAMERA_FREE = 0,
  SB_CAMERA_FOLLOW = 1,
  SB_CAMERA_INCAR = 2,
  SB_CAMERA_TRACKSIDE = 3,
  SB_CAMERA_CHASE = 4,
  SB_CAMERA_REAR = 5,
  SB_CAMERA_SWING = 6,
  SB_CAMERA_FIXEDANGLE = 7,
  SB_CAMERA_FINISH = 8,
};
void SB_CameraFree(TCAMERA* camera);
void SB_CameraFollow(TCAMERA* camera, int32_t car);
void SB_CameraInCar(TCAMERA* camera, int32_t car);
void SB_CameraTrackside(TCAMERA* camera, int32_t car);
void SB_CameraChase(TCAMERA* camera, int32_t car);
void SB_CameraRearView(TCAMERA* camera, int32_t car);
void SB_CameraSwing(TCAMERA* camera, int32_t car);
void SB_CameraFixedAngle(TCAMERA* camera, int32_t car);
void SB_CameraFinish(TCAMERA* camera, int32_t car);

// Once per race frame: picks the followed car and the mode, runs the
// mode and updates the camera's centre-line index, which it returns.
int32_t SB_UpdateRaceCamera(TCAMERA* camera);
