// Cameras: smoothing toward a target, the three frames the renderers read,
// and the ground under a point. The race camera's modes are in
// racescene/racecamera.h.
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
