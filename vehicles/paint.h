// Car paint: the prototype's pictures in HSV, each car's textures painted
// from its setup (the body's hue band moved, stickers blended on, the lamps
// drawn unlit) into its own materials or the accelerator's card textures.
#pragma once
#include <cstdint>

struct BMAP;
struct OBJECT;
struct TCAR;
struct TVEHICLESETUP;

// The hue band of every prototype's body paint, and its middle.
constexpr int32_t SB_PAINTBANDLOW = 60;
constexpr int32_t SB_PAINTBANDHIGH = 104;
constexpr int32_t SB_PAINTBANDMIDDLE = 82;

// A 24-bit bitmap in place: blue, green, red become hue, saturation, value
// (hue 0..255 over six sectors), and back.
void SB_BmapRGBtoHSV(BMAP* bmap);
void SB_BmapHSVtoRGB(BMAP* bmap);
// Pixels whose hue lies in low..high take the hue (hue + 82) mod 256 and
// their value and saturation shifted, held in 0..255.
void SB_ShiftHueBand(BMAP* bmap, int32_t low, int32_t high, int32_t hue, int32_t dv, int32_t ds);
// Blends the setup's stickers of texture j onto the 24-bit bitmap, centred
// on their place and clipped to it; a missing picture is reported.
void SB_ApplyStickers(const TVEHICLESETUP* setup, BMAP* bmap, int32_t j);
// The prototype's texture j painted from the setup (owner tag "CarEditor
// 24"), or null when the prototype has no such picture.
BMAP* SB_BuildCarTexture(const TVEHICLESETUP* setup, int32_t j);
// Every car whose setup is marked changed, the mark cleared, and every car
// whose 8-bit textures were painted without the loaded 3D palette.
void SB_RegenerateChangedCarTextures(TVEHICLESETUP* setups);
// Whether the car's 8-bit textures were painted before SB_Var.Pal3d was
// loaded (a race makes its cars first) and so hold other colours.
bool SB_CarPaintedBeforeThePalette(const TCAR* car);
// The lamp materials' faces of the car drawn full white.
void SB_MarkLightFaces(int32_t index);
// Accelerator only: the car's textured materials take their entry's card
// texture; every car's card textures leave the cache.
void SB_BindCarPvrTextures(TCAR* car);
void SB_FreeCarPvrTextures();
