// The scenery and effects as the race session and frame use them: their
// set-up and tear-down, the per-frame updates and drawing, the race
// overlay, and the background objects.
#pragma once
#include <cstdint>

struct BMAP;
struct OBJECT;
struct TCAMERA;
struct TCAR;
struct TSOFTSCENE;
struct _WINDOW;

// Set-up and tear-down, in the session's order.
// The background objects' instances for the screen's format, each given
// the display axes (SB_Var.CarAxisMatrix); their textures back in RGB.
void TransBackObc();
void DisposeBackObc();
// Copies the object's HSV texture pictures, turned back to RGB, into the
// instance's texture bitmaps in the 3D palette.
void SB_BuildBackObcTextures(OBJECT* instance, OBJECT* object);
void SB_RemapDecorObjects();
void SB_FreeObjectsExtraTextures();
void SB_InitPanel();
void SB_RemapPanel();
void SB_DisposePanel();
void POWER_InitShadow();
void POWER_CloseShadow();
void POWER_InitPhare();
void POWER_ClosePhare();
void SB_InitWindShield();
void SB_DisposeWindShield();
void SB_InitFumeeBmapGame();
void SB_FreeFumeeBmapGame();
void SB_InitCielBmapGame();
void SB_FreeCielBmapGame();
void SB_InitLensFlare();
void SB_DisposeLensFlare();
void SB_InitExplosionBmapGame();
void SB_FreeExplosionBmapGame();
void SB_InitRoadLights();
void SB_EndRoadLights();
// The circuit's panoramas, loaded before the race and freed after it.
void SB_LoadBackgrounds();
void SB_FreeBackgrounds();
// "Loading background %s...": "txt>" + texture path + name + ".PCX" on
// 8-bit screens, ".TGA" otherwise; null with "Background %s not found !!!".
BMAP* SB_LoadBackgroundPict(const char* name);
// Clears the layer and copies the current picture into it at (0, 0),
// taking its first pixel as the fill colour; 1. Also the layer's restore
// procedure after its surface was lost.
int32_t SB_RestoreBackground(BMAP* layer);
// Copies the layer's rectangle (corners inclusive) into the overlay at
// (x, y), clipped to the 3D view; nothing for x outside -639..639.
void SB_BlitBackgroundSlice(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x, int32_t y);
// The overlay row of the panorama's top edge for the camera's pitch; 720
// when the point ahead lies almost in the camera plane.
int32_t SB_GetHorizonY(const TCAMERA* camera);
// Rebuilds the windscreen scratch overlay for the screen's format.
void SB_RemapScratch();

// The race overlay SB_Var.TextScreen (owner "sb3dscr"), made cleared for a
// video mode, with the background layer in software modes: 1 (also when
// the layer could not be made), or 0 with "Not enough video ram !!!" and
// SB_Var.OutOfVideoRam set. SB_Free3dScreen frees them; SB_Show3dScreen
// writes the texture cache's state on it when asked and shows its 3D view
// window on the screen, SB_Copy3dScreen all of it.
int32_t SB_Create3dScreen(int32_t width, int32_t height, int32_t depth);
void SB_Free3dScreen();
// The light direction from the sun position, normalised, with a copy
// scaled by 1/8192 for the fixed-point lighting.
void SB_SetLightDirection();
void SB_Show3dScreen();
void SB_Copy3dScreen();

// Per frame.
void SB_SetLightTint(float red, float green, float blue);
// The panorama of the camera's stretch of the centre line, into the layer
// when it changed; the layer blitted behind the scene for the camera's
// heading and pitch (views 640 wide; other views are cleared).
void SB_SelectBackground();
void SB_DrawBackground(TCAMERA* camera);
void SB_AnimateDecorObjects();
void SB_MoveFumee();
void SB_AnimateExplosions();
void SB_UpdateLensFlare();
void SB_UpdateSunGlare();
void SB_UpdateDayNight();
void SB_DrawFumee(TSOFTSCENE* view, _WINDOW* window);
// Starts one smoke puff at a position (m) with a velocity (m/s); the
// count is not used. Nothing when every puff is busy.
void SB_AddFumee(const double position[3], const double velocity[3], int32_t count);
void SB_DrawFireAndExplosions(TSOFTSCENE* view, _WINDOW* window);
// One car's shadow and headlight beam in the accelerator's frame.
void POWER_BuildCarShadow(TSOFTSCENE* view, TCAMERA* camera, TCAR* car, int32_t index);
void POWER_BuildPhareVolume(TCAMERA* camera, TCAR* car, int32_t index);
