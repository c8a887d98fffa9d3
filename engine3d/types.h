// Records and constants of the 3D engine that other floors hold: the race
// camera, the user views, the renderer slots and the video-mode table.
#pragma once
#include <cstdint>

#include "system/asm3d/zidade3d.h"

// Positions in 1/320 metre, angles in 16-bit turns kept in 32-bit words.
struct TCAMERA {
  uint32_t Angles[3];  // pitch, heading, roll
  uint32_t TargetAngles[3];
  int32_t Position[3];
  int32_t TargetPosition[3];
  double Metres[3];  // Position x 0.003125
  FIXFRAME Frame;
  FIXFRAME PreviousFrame;
  double PreviousPosition[3];
  int32_t RotatedPosition[3];
  float FloatFrame[12];  // rotation, then position x 190
  uint32_t Cut;          // 1 in a frame where the camera jumped
  double PreviousMatrix[9];
  double Matrix[9];
  int32_t CenterLineIndex;
  int32_t HoldTimer;  // ms
  int32_t ModeWord;
};

struct _WINDOW;

// A user view: the polygons and vertices one frame lists for a renderer.
struct TSOFTSCENE {
  void* FirstPolygon;
  void* PolygonCursor;
  void* VertexCursor;
  int32_t NbPolygons;
  int32_t NbVertices;
  void* Polygons;
  void* Vertices;
};

// The renderer's two routine slots (SB_Var.RenderMap, SB_Var.RenderFrame).
using SB_RENDERMAPPROC = void (*)(TSOFTSCENE* view, TCAMERA* camera, _WINDOW* window);
using SB_RENDERFRAMEPROC = void (*)(_WINDOW* window, TSOFTSCENE* view);

// One row: the display mode, the 3D view window on it and what the display
// said of the mode at start-up.
struct TVIDEOMODE {
  int32_t Width;
  int32_t Height;
  int32_t Depth;  // bits per pixel
  int32_t Focal;  // pixels
  float Scale;
  int32_t ViewWidth;  // 0 ends the table
  int32_t ViewHeight;
  int32_t ViewX;
  int32_t ViewY;
  int32_t Available;
  int32_t Format;         // pixel-format code the display gave
  int32_t TextureFormat;  // pixel-format code of the textures
  int32_t TextureDepth;
  int32_t Kind;  // 1 8-bit, 2 16-bit, 4 24-bit
};
static_assert(sizeof(TVIDEOMODE) == 14 * 4, "fourteen 32-bit words a row");

constexpr int32_t SB_NBVIDEOMODES = 22;  // rows before the closing all-zero row
constexpr int32_t SB_DEFAULTVIDEOMODE = 7;

// A renderer: its name, the capability bit it needs in SB_Var.RendererCaps
// and the mask of the mode kinds it draws.
struct TRENDERER {
  const char* Name;
  int32_t Unused;
  int32_t Caps;
  int32_t Modes;
};
constexpr int32_t SB_NBRENDERERS = 4;  // VECTOR, PERSPECTIVE, MMX, PVR
constexpr int32_t SB_RENDERER_PVR = 3;
constexpr int32_t SB_CAPS_SOFTWARE = 1;
constexpr int32_t SB_CAPS_PVR = 4;
