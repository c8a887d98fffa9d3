// Records and constants of the 3D engine that other floors hold: the race
// camera, the user views, the renderer slots and the video-mode table.
#pragma once
#include <cstdint>

#include "system/asm3d/zidade3d.h"

// A 3 x 3 rotation of doubles stored column after column: the element of
// row i and column j is element i + 3j; vectors are columns.
using TMATRIX = double[9];
struct TVECTOR {
  double x, y, z;
};

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

// The placement of one map texture (SB_Var.TexturePlaces, in the order of
// SB_Var.TextureNames): where its texels lie and the flags of the letters
// among characters 9 to 15 of its name (1 when the letter is there).
struct TTEXTUREPLACE {
  uint8_t* Texels;  // first texel in its page (0 on the accelerator)
  uint8_t* Page;
  int32_t PageNumber;  // or the accelerator's texture-cache slot
  int32_t X, Y, Width, Height;
  int32_t Log2Width, Log2Height;
  int32_t TallShift, WideShift;    // accelerator: log2 ratio of a non-square texture
  int32_t TallOffset, WideOffset;  // accelerator: x x 8192 / height, y x 8192 / width
  int32_t Size;                    // bytes
  int32_t Further[8];
  uint8_t RenderKind;  // 1, or 3 for letter T (colour 0 transparent)
  uint8_t Z, D, C, M, I, N, L, H, B;
  uint8_t Loaded;
  uint8_t Unused;
  uint8_t A, U, V, F, E, O, One, Two, Three;
  uint8_t Variant;  // 1 letter R, 2 letter S
};
