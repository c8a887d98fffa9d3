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

// ---------------------------------------------------------------------------
// Track textures.
// ---------------------------------------------------------------------------

constexpr int32_t SB_MAXTEXTTRI = 512;      // distinct pictures of a map
constexpr int32_t SB_TEXTTRINAMESIZE = 64;  // a picture's file name with its terminator
constexpr int32_t SB_TEXTUREPAGESIDE = 256;
constexpr int32_t SB_NBMIPLEVELS = 4;
constexpr int32_t SB_PLACEHOLDERSIDE = 32;  // the rectangle of a missing or oversized picture

// One distinct picture of the map's textures and its rectangle in a page.
// Stored as it is in texture banks, hence its fixed size.
struct TEXTTRI {
  int32_t Area;  // width x height (the accelerator: the texture-name index)
  int32_t X, Y;  // in its page
  int32_t Width, Height;
  int32_t Page;  // the accelerator: its texture-cache slot, -1 none
  char Name[SB_TEXTTRINAMESIZE];
  uint8_t Found;  // 1 when the picture was read and fits a page
  uint8_t Padding[3];
};
static_assert(sizeof(TEXTTRI) == 92, "a texture-bank record is 92 bytes");

// Where one level page of a mip level lies and where the shrunk source
// page sits in it.
struct TMIPPAGE {
  uint8_t* Texels;  // the level page's first texel
  int32_t X, Y;
};

// The placement of one map texture (SB_Var.TexturePlaces, in the order of
// SB_Var.TextureNames): where its texels lie, the filler selectors of its
// sizes, and the flags of the letters among characters 9 to 15 of its name
// (1 when the letter is there). Read by name; not a file record.
struct TTEXTUREPLACE {
  uint8_t* Texels;  // first texel in its page (null on the accelerator)
  uint8_t* Page;
  int32_t PageNumber;  // or the accelerator's texture-cache slot
  int32_t X, Y, Width, Height;
  int32_t Log2Width, Log2Height;   // 0 unless 2 .. 256
  int32_t TallShift, WideShift;    // accelerator: log2 ratio of a non-square texture
  int32_t TallOffset, WideOffset;  // accelerator: x x 8192 / height, y x 8192 / width
  int32_t Size;                    // bytes
  // Mip levels 1 to 4 of the software path: first texel and filler selector.
  uint8_t* MipTexels[SB_NBMIPLEVELS];
  uint8_t MipSelector[SB_NBMIPLEVELS];
  uint8_t Selector;       // the full size's filler selector
  uint8_t UsedThisFrame;  // set by the software renderer's draw list
  uint8_t NetHide;        // hidden in a networked race
  uint8_t RenderKind;     // 1, or 3 for letter T (colour 0 transparent)
  uint8_t Z, D, C, M, I, N, L, H, B;
  uint8_t Loaded;  // the picture was found
  uint8_t Unused;
  uint8_t A, U, V, F, E, O, One, Two, Three;
  uint8_t Variant;  // 1 letter R, 2 letter S
};
