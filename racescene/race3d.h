// What the race session and the race frame use of the race scene (with the
// views and cameras of views.h and camera.h, the 3D palette of
// engine3d/palette3d.h and the render wait of engine3d/power.h): the
// accelerator's frame and clip, object display and the cars' texture
// passes.
#pragma once
#include <cstdint>

#include "engine3d/camera.h"
#include "engine3d/palette3d.h"
#include "engine3d/power.h"
#include "engine3d/types.h"
#include "racescene/views.h"

struct OBJECT;
struct TCAR;
struct _WINDOW;

// The cars' texture coordinates for the accelerator's card: scaled
// (multiply 1) or back (0), doubled for the non-local cars (1) or back (0).
void SB_ScaleCarsTextureCoords(int32_t multiply);
void SB_DoubleCarsTextureCoords(int32_t twice);
// The windshield-scar texture of the car inset.
void POWER_LoadScarsTexture();
void POWER_FreeScarsTexture();

// Per race frame.
void SB_UpdateCameraZoneFactor();
// The accelerator's frame: begun over the view's polygons, its polygons
// clipped to the screen; the debug outlines (1 when they ran).
void POWER_BeginFrame(_WINDOW* window, TSOFTSCENE* view);
void POWER_ClipViewPolygons(_WINDOW* window, TSOFTSCENE* view);
int32_t POWER_DrawPolygonOutlines(TSOFTSCENE* view);
// The accelerator's map and frame routines for the renderer slots.
void POWER_RenderMap(TSOFTSCENE* view, TCAMERA* camera, _WINDOW* window);
void POWER_RenderFrame(_WINDOW* window, TSOFTSCENE* view);

// Object display: culled (cars, with their place, detail flag, index and
// colour) and direct (background objects).
void SB_DrawObject(TSOFTSCENE* view, _WINDOW* window, OBJECT* object, TCAMERA* camera, TCAR* car,
                   const double* position, int32_t detail, int32_t index, uint32_t colour);
void SB_DrawObjectDirect(TSOFTSCENE* view, _WINDOW* window, OBJECT* object, TCAMERA* camera, TCAR* car,
                         int32_t unused);
// Every loaded decor object, culled, at its first block's position.
void SB_DrawDecorObjects(TSOFTSCENE* view);
