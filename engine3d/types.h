// Records and constants of the 3D engine that other floors hold: matrices
// and vectors, the race camera, the user views with their polygons and
// vertices, the renderer slots, the rotation tables and the video modes.
#pragma once
#include <cstdint>

#include "platform/accel/types.h"
#include "scenery/types.h"
#include "system/asm3d/zidade3d.h"

// A 3 x 3 rotation of doubles stored column after column: the element of
// row i and column j is element i + 3j; vectors are columns.
using TMATRIX = double[9];
struct TVECTOR {
  double x, y, z;
};

// A camera. Positions in 1/320 metre, angles in 16-bit turns kept in
// 32-bit words (the low 16 bits count); the vertical axis points down.
struct TCAMERA {
  uint32_t AngleX, AngleY, AngleZ;  // pitch, heading, roll
  uint32_t TargetAngleX, TargetAngleY, TargetAngleZ;
  int32_t CurrentX, CurrentY, CurrentZ;
  int32_t TargetX, TargetY, TargetZ;
  double PosX, PosY, PosZ;  // the current position in metres
  FIXFRAME Frame;           // at the current position and angles
  FIXFRAME PrevFrame;       // before the last update
  double PrevX, PrevY, PrevZ;            // the current position before the last update
  int32_t RotatedX, RotatedY, RotatedZ;  // the frame's position turned by the frame
  float FloatFrame[12];  // the rotation, then the position x 190
  uint32_t Cut;          // 1 in a frame where the camera jumped
  TMATRIX PrevMatrix;
  TMATRIX Matrix;        // the frame's rotation
  int32_t BsplineIndex;  // the nearest centre-line point
  int32_t HoldTimer;     // ms, of the trackside and finish modes
  int32_t ModeWord;      // cleared at every mode change
};

struct _WINDOW;
struct BMAP;

// One polygon of a view as the software renderer lists it.
struct TSOFTVERTEX;
struct TSOFTPOLY {
  int32_t Key;  // depth key
  TSOFTPOLY* Next;  // null ends the list
  TSOFTVERTEX* FirstVertex;
  int32_t Words[2];
  void* Texture;  // material record of the object faces
  uint8_t NbVertices;
  uint8_t Kind;  // render kind
  uint16_t Material;
};

// One projected vertex of the software renderer.
struct TSOFTVERTEX {
  int32_t X, Y;  // screen
  int32_t Words[4];
  int32_t U, V;  // 8.8 fixed-point texels
  int32_t Code;  // clip code: 2 left, 4 right, 8 top, 16 bottom, 32 near
  int32_t CamX, CamY, CamZ;
};
static_assert(sizeof(TSOFTVERTEX) == 48, "twelve words");

// Behind the accelerator's vertex array (TSGLVERTEX), one clip record a
// vertex.
struct TSGLCLIP {
  int32_t Code;  // as TSOFTVERTEX, and 256 beyond the far distance
  float X, Y, Z;  // camera space / 190
};
static_assert(sizeof(TSGLCLIP) == 16, "four words");

// One polygon of a view on the accelerator's path; the same size as the
// software one, so that both share the polygon array.
struct TSGLPOLY {
  int32_t Key;
  TSGLPOLY* Next;
  int32_t Word;
  TSGLVERTEX* Vertices;
  TSGLCLIP* Clip;
  uint32_t Texture;  // texture-cache slot
  int8_t NbVertices;  // 0: dropped
  int8_t Kind;
  uint16_t TextureIndex;
};
static_assert(sizeof(TSGLPOLY) == sizeof(TSOFTPOLY), "one polygon array serves both paths");

constexpr int32_t SB_NBTEXTURESLOTS = 512;

// A user view: the polygons and vertices one frame lists for a renderer.
// The software renderer uses the first polygon, its cursors and counts;
// the accelerator's path also the cleared word, the clip-data cursor, the
// per-slot use counters and the end counter.
struct TSOFTSCENE {
  void* FirstPolygon;
  void* PolygonCursor;
  int32_t ResetWord;
  void* VertexCursor;
  void* ClipCursor;
  int32_t NbPolygons;
  int32_t NbVertices;
  void* Polygons;
  void* Vertices;  // MaxVertices vertices of either path, the clip data behind
  uint32_t TextureUses[SB_NBTEXTURESLOTS];
  uint32_t EndCounter;
  int32_t NbShadowVolumes;  // cars whose shadow volumes the view holds, 0..3
  TSHADOWVOLUME ShadowVolumes[SB_NBSHADOWVOLUMES];
};

// The screen clip's edge callback: fills vertex `out` of the twelve-word
// vertices with the crossing of the edge from `inside` to `outside` with
// the screen edge of the code (2, 4, 8, 16), and its clip code.
using SB_CLIPEDGEPROC = void (*)(void* vertices, int32_t out, int32_t inside, int32_t outside, int32_t code,
                                 int32_t width, int32_t height);
// The near clipper: cuts the polygon of n vertices at camera z = 128 into
// `out` (a separate array with room for n + 1 vertices); the new count.
using SB_CLIPNEARPROC = int32_t (*)(const _WINDOW* window, const TSOFTVERTEX* in, TSOFTVERTEX* out, int32_t n);

// A clip vertex of the accelerator's path: its vertex, then its clip data.
struct TCLIPVERTEX {
  TSGLVERTEX V;
  TSGLCLIP C;
};
static_assert(sizeof(TCLIPVERTEX) == 48, "twelve words, the code in word 8");

// One batch of triangles for a texture slot and variant: a face array of
// the pool (four 16-bit words a face: three vertex indices and the edge
// flags) and its face count.
constexpr int32_t SB_NBBATCHVARIANTS = 3;
constexpr int32_t SB_BATCHFACES = 128;
constexpr int32_t SB_BATCHARRAYS = 256;
struct TTRIBATCH {
  uint16_t (*Faces)[4];
  int32_t NbFaces;
};

// The renderer's two routine slots (SB_Var.RenderMap, SB_Var.RenderFrame)
// and its filler slots; each filler is called by the software rasteriser
// with the arguments of its own kind.
using SB_RENDERMAPPROC = void (*)(TSOFTSCENE* view, TCAMERA* camera, _WINDOW* window);
using SB_RENDERFRAMEPROC = void (*)(_WINDOW* window, TSOFTSCENE* view);
// Triangle fillers: size index, window, texture base, the three corners,
// transparent (texel 0 skipped when non-zero).
using SB_TRIFILLERPROC = void (*)(int32_t sizeIndex, _WINDOW* window, uint8_t* texture, TSOFTVERTEX* a,
                                  TSOFTVERTEX* b, TSOFTVERTEX* c, int32_t transparent);
// Perspective polygon fillers: size index, the clipped corners and their
// count, texture base, the window's first pixel, the fill record's origin
// block and its gradient matrix (nine floats).
struct TSOFTORIGIN;
using SB_POLYFILLERPROC = void (*)(int32_t sizeIndex, TSOFTVERTEX* vertices, int32_t count, uint8_t* texture,
                                   uint8_t* firstPixel, TSOFTORIGIN* origin, float* matrix);

// A rotation lookup table: entry i is (i - 64) x the coefficient it was
// built for; SB_ROTTABLESTALE marks it to be refilled.
constexpr int32_t SB_ROTTABLESIZE = 129;
// The view tests of a map cell or big entity, a cube of 16384 camera
// units: half its diagonal (8192 x sqrt(3)), and the nearest and the
// farthest depth of its centre at which it can touch the near plane
// (that reach less and more the near distance of 128).
constexpr int32_t SB_CELLREACH = 14188, SB_CELLNEAR = -14060, SB_CELLCORNERTEST = 14316;
constexpr int32_t SB_ROTTABLESTALE = 100000;
struct TROTATIONTABLE {
  int32_t Coefficient;
  int32_t Entries[SB_ROTTABLESIZE];
};

// The display mode being probed and what the display said of it.
struct TVIDEOPROBE {
  int32_t Width, Height, Depth;
  int32_t Found;
  int32_t Format;  // pixel-format code
};

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
  uint8_t RenderKind;     // 1, or 3 for letter T (colour 0 transparent)
  uint8_t Z, D, C, M, I, N, L, H, B;
  uint8_t Loaded;  // the picture was found
  uint8_t Unused;
  uint8_t A, U, V, F, E, O, One, Two, Three;  // A: hidden in a networked race
  uint8_t Variant;  // 1 letter R, 2 letter S
};

// ---------------------------------------------------------------------------
// The accelerator's texture cache and the map's textures on it.
// ---------------------------------------------------------------------------

// Slots of SB_Var.TextureCache; slot 0 is never used, so 0 means none.
constexpr int32_t SB_MAXCACHETEXTURE = SB_NBTEXTURESLOTS;

// Slot states within a frame.
constexpr int32_t SB_CACHE_CREATED = 1;    // needed this frame and on the card
constexpr int32_t SB_CACHE_NEEDED = 2;     // needed this frame, not on the card
constexpr int32_t SB_CACHE_IDLE = 3;       // not needed this frame
// Classes: 1 must be drawn, 3 is given up before 2.
constexpr int32_t SB_CACHE_INDISPENSABLE = 1;
// Texture flags: bits 0, 1 and 3 choose the triangle batches' settings;
// bit 2 marks a texture read from a texture bank (its texels are not its own).
constexpr uint32_t SB_TEXFLAG_BIT0 = 1;
constexpr uint32_t SB_TEXFLAG_BIT1 = 2;
constexpr uint32_t SB_TEXFLAG_BANK = 4;
constexpr uint32_t SB_TEXFLAG_CLOSE = 8;  // close transparency
// Bit 31 of a scene's per-slot word: the slot's texels changed this frame.
constexpr uint32_t SB_TEXTURE_CHANGED = 0x80000000u;

// Cache status for the debug overlay.
constexpr int32_t SB_CACHESTATUS_OK = 0;
constexpr int32_t SB_CACHESTATUS_INDISPENSABLE_LOST = 1;
constexpr int32_t SB_CACHESTATUS_LOST = 2;
constexpr int32_t SB_CACHESTATUS_EVICTED_NEEDED = 3;

// One slot of the texture cache. In memory the processed map holds a
// pointer; texture banks write the record field by field in 60 bytes.
struct TEXTURECACHE {
  int32_t Name;    // the card texture, -1 when not on the card
  SGLMAP Map;      // the preprocessed texture; Map.Pixels its texels
  uint32_t Weight; // polygons of the last frame that needed it, +1 each idle frame
  int32_t InUse;
  int32_t State;   // SB_CACHE_CREATED, SB_CACHE_NEEDED or SB_CACHE_IDLE
  int32_t Size;    // bytes of card memory
  int32_t Unused1;
  int32_t Class;   // 1 indispensable, 2, 3
  int32_t HasLevels;      // formats 1 and 4 carry their smaller levels
  int32_t CreatedReduced; // last created one level smaller
  uint32_t Flags;  // SB_TEXFLAG_*
  int32_t Unused2;
};

// The texture bank file's fixed sizes.
constexpr int32_t SB_BANKMAGIC = 0x54455854;  // "TXET"
constexpr int32_t SB_BANKTEXTTRISIZE = 92;
constexpr int32_t SB_BANKCACHESIZE = 60;

// Shared squares: narrow textures that do not repeat across their short
// side, stacked into one square texture.
constexpr int32_t SB_NBSHAREDTEXTURES = 16;
constexpr int32_t SB_SHAREDPERSQUARE = 8;
struct TSHAREDTEXTURE {
  BMAP* Square;         // side x side, 32-bit
  int32_t Format;       // the card texture format
  int32_t Orientation;  // 0 wider than tall (stacked in y), 1 taller (in x)
  int32_t Space;        // texels left along the stacking axis
  int32_t InUse;
  int32_t Records[SB_SHAREDPERSQUARE];  // TEXTTRI indices
  int32_t NbRecords;
  uint32_t Flags;
};

// The six pictures whose texels stay in main memory when a bank moves to
// the card.
constexpr int32_t SB_NBKEPTTEXTURES = 6;
