// Cameras: smoothing toward a target, the three frames the renderers read,
// the nine race-camera modes and the race camera's per-frame update.
#pragma once
#include <cstdint>

#include "engine3d/types.h"

struct FIXFRAME;

// Moves the camera toward its target by the factor a x b (at 0.9999 or
// more it takes the target at once) and rebuilds its frames and matrices.
void SB_UpdateCamera(TCAMERA* camera, double a, double b);
// Sets the target (angles masked to 16 bits) and snaps there.
void SB_PlaceCamera(TCAMERA* camera, int32_t x, int32_t y, int32_t z, int32_t pitch, int32_t heading,
                    int32_t roll);
// At the origin with zero angles; the race camera's centre-line index 0.
void SB_ResetCamera(TCAMERA* camera);
// Target angles that look from the target position at the point (metres).
void SB_CameraLookAt(TCAMERA* camera, const double point[3]);
void SB_SetCameraFixedFrame(FIXFRAME* frame, int32_t x, int32_t y, int32_t z, int32_t pitch, int32_t heading,
                            int32_t roll);
void SB_SetCameraFloatFrame(float frame[12], int32_t x, int32_t y, int32_t z, int32_t pitch, int32_t heading,
                            int32_t roll);
// The road height when there is road (below 99999), else the terrain
// height (100000 without ground), truncated.
int32_t SB_GetCameraGroundHeight(int32_t x, int32_t z);

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
