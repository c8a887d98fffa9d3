// The sun on the screen: its projection and visibility behind the
// previous frame's polygons, the glare it adds to the light, and the lens
// flare of ten translucent sprites along the line from the sun through the
// centre of the view.
#pragma once
#include <cstdint>

struct BMAP;
struct TVECTOR;

constexpr int32_t SB_NBFLARETEXTURES = 9;
constexpr int32_t SB_NBFLAREELEMENTS = 10;

// One sprite: its top-left corner, size, texture index, colour 0xAARRGGBB
// (alpha rewritten every frame) and place along the sun-to-centre line.
struct TLENSFLARE {
  float X, Y;
  int32_t Width, Height;
  int32_t Texture;
  uint32_t Colour;
  double Factor;
};

// The flare of the race: its card textures (0 none), sprites, the sun's
// visibility (0 to 1) and whether the sun is in front of the camera.
struct TFLARESTATE {
  int32_t Textures[SB_NBFLARETEXTURES];
  TLENSFLARE Elements[SB_NBFLAREELEMENTS];
  double Visibility;
  uint32_t Shown;
};
TFLARESTATE& SB_FlareState();

// A new 32-bit bitmap (texture format 0x1000, red in the low byte, alpha
// kept) holding the picture, which is freed; null for null or when the
// bitmap cannot be made.
BMAP* SB_ConvertBmapTo32(BMAP* picture);
// Every pixel's top byte inverted: the card counts transparency where a
// picture counts opacity.
void SB_InvertAlpha32(BMAP* bitmap);

struct TCAMERA;
// The sun in the camera's view space (units of 1/320 m), sunk by
// SB_Var.SunDrop.
TVECTOR SB_SunInView(const TCAMERA& camera);
// 1 and the sun's screen point when it lies at least 128 in front of the
// camera, else 0.
int32_t SB_ProjectSun(float* x, float* y);
// How clear of the view's edges and the previous frame's polygons a
// screen point is: 0 hidden, 1 at 11 pixels or more.
double SB_SunVisibility(int32_t x, int32_t y);
