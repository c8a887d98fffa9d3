// The fixed-point 3D library: cosine table, rotation frames, drawing
// windows over bitmaps with their tables of primitives, the 8- and 16-bit
// primitives, and the arrays of a simple 3D object.
#pragma once
#include <cstdint>

#include "system/bmap.h"

// ---------------------------------------------------------------------------
// Angles and the cosine table. An angle is 16 bits a turn; table entries
// are 14-bit fixed point (16384 = 1.0).

constexpr int32_t LS_FIXONE = 16384;
constexpr int32_t LS_COSTABLESIZE = 4096;
extern int16_t LS_CosTable[LS_COSTABLESIZE];

// Builds the cosine table; LS_Init3D does the same. LS_Close3D has nothing
// to release.
void LS_InitSinTable();
void LS_Init3D();
void LS_Close3D();

// The angle rounded to the nearest of the table's 4096 steps.
inline int32_t LS_Cos(uint16_t angle) { return LS_CosTable[((uint32_t{angle} + 8) >> 4) & 4095]; }
inline int32_t LS_Sin(uint16_t angle) { return LS_Cos(static_cast<uint16_t>(angle - 16384)); }

// ---------------------------------------------------------------------------
// Rotation frames in 14-bit fixed point. The words keep their order: the
// 3D view's rotation tables read the nine rotation words in storage order.

struct FIXFRAME {
  int32_t Rotation[3][3];  // row-major, 16384 = 1.0
  int32_t Position[3];
  int32_t Inverse[3][3];  // inverse rotation, for moves along the frame's own axes
  int32_t Spare[8];       // not set by this library
  int32_t Last;
};
static_assert(sizeof(FIXFRAME) == 30 * 4, "FIXFRAME is 30 words");

// Identity rotation and inverse, position (x, y, z), last word 0.
void LS_InitMatrix(FIXFRAME* frame, int32_t x, int32_t y, int32_t z);
// Rotation from three angles, position 0; the inverse is left alone.
void LS_MatrixFromAngles(FIXFRAME* frame, uint16_t ax, uint16_t ay, uint16_t az);
// Turn the frame about one of its axes (rotation and inverse).
void LS_RotateX(FIXFRAME* frame, uint16_t angle);
void LS_RotateY(FIXFRAME* frame, uint16_t angle);
void LS_RotateZ(FIXFRAME* frame, uint16_t angle);
// Position += (0, 0, d) turned by the inverse rotation.
void LS_MoveMatrixZ(FIXFRAME* frame, int32_t d);
// point := point (a row vector) times the frame's rotation, in place.
void LS_TransformPoint(const FIXFRAME* frame, int32_t point[3]);
// The same product applied to the position of another block.
void LS_TransformVector(const FIXFRAME* frame, FIXFRAME* block);
// Rotation with every entry 0 but a diagonal of 1, position (x, y, z).
void LS_SetMatrixPos(FIXFRAME* block, int32_t x, int32_t y, int32_t z);
// frame rotation := frame rotation x r.
void LS_MulMatrixFrame(const int32_t r[3][3], FIXFRAME* frame);
// inverse := r x inverse.
void LS_MulMatrix(const int32_t r[3][3], int32_t inverse[3][3]);

// ---------------------------------------------------------------------------
// Records shared with the primitives and the software renderer. Every field
// is a 32-bit word or a pointer; the reserved fields keep the places of
// words this library does not name.

struct _TEXTURE {
  int32_t X_RESERVED[2];
  uint8_t* X_TEXTUREADR;  // texel (0, 0)
  int32_t X_SIZEX;
  int32_t X_SIZEY;
  int32_t X_DEPTH;
};

// One vertex of a face as the primitives read it.
struct _TPOINT3DV {
  int32_t P_RESERVED1[3];  // the point in space; [2] is its depth
  int32_t P_RESERVED2[3];
  int32_t P_XG;  // screen position
  int32_t P_YG;
  int32_t P_LUM;  // light
  int32_t P_FLAGS;
  int32_t P_XT;  // texture position
  int32_t P_YT;
};
static_assert(sizeof(_TPOINT3DV) == 12 * 4, "_TPOINT3DV is 12 words");

// The vertices of a face (the fourth only for quadrangles).
struct _TGRAPHV {
  _TPOINT3DV* V_PT1;
  _TPOINT3DV* V_PT2;
  _TPOINT3DV* V_PT3;
  _TPOINT3DV* V_PT4;
};

// One face as the primitives read it.
struct _TGRAPH {
  int32_t G_RESERVED1[2];
  int32_t G_RESERVED2[4];
  int32_t G_RESERVED3[3];
  _TEXTURE* G_TEXTURE;
  uint32_t G_COLOR;
  int32_t G_TRANSPARENCE;
  int32_t G_TYPE;
  int32_t G_LUM;
  int32_t G_FLAGS;
  int32_t G_OFFTEXTX1, G_OFFTEXTY1;
  int32_t G_OFFTEXTX2, G_OFFTEXTY2;
  int32_t G_OFFTEXTX3, G_OFFTEXTY3;
  int32_t G_OFFTEXTX4, G_OFFTEXTY4;
  int32_t G_RESERVED4;
};

// A triangle as callers hand it to LS_WinTriangle: per point screen x and
// y, texture x and y, and a colour or light; then the face's colour and
// texture, the points' depths and the face's light.
struct _TRIANGLE {
  int32_t T_X1, T_Y1, T_XT1, T_YT1, T_CLR1;
  int32_t T_X2, T_Y2, T_XT2, T_YT2, T_CLR2;
  int32_t T_X3, T_Y3, T_XT3, T_YT3, T_CLR3;
  uint32_t T_COLOR;
  _TEXTURE* T_TEXT;
  int32_t T_Z1, T_Z2, T_Z3;
  int32_t T_LUMINOSITE;
};

struct _QUADRANGLE {
  int32_t Q_X1, Q_Y1, Q_XT1, Q_YT1, Q_CLR1;
  int32_t Q_X2, Q_Y2, Q_XT2, Q_YT2, Q_CLR2;
  int32_t Q_X3, Q_Y3, Q_XT3, Q_YT3, Q_CLR3;
  int32_t Q_X4, Q_Y4, Q_XT4, Q_YT4, Q_CLR4;
  uint32_t Q_COLOR;
  _TEXTURE* Q_TEXT;
  int32_t Q_Z1, Q_Z2, Q_Z3, Q_Z4;
  int32_t Q_LUMINOSITE;
};

// ---------------------------------------------------------------------------
// Drawing windows. The primitives draw without clipping: callers keep
// every point inside the window, as LS_WinLine does.

struct _WINDOW;
using LS_PLOTPROC = void (*)(const _WINDOW* window, int32_t x, int32_t y, uint32_t colour);
using LS_LINEPROC = void (*)(const _WINDOW* window, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                             uint32_t colour);
using LS_FACEPROC = void (*)(const _WINDOW* window, const _TGRAPH* face, const _TGRAPHV* vertices);

// The 34 slots of a primitive table.
constexpr int32_t LS_NBFACETYPES = 16;
struct LS_PRIMITIVES {
  LS_PLOTPROC Plot;                        // slot 0
  LS_LINEPROC Line;                        // slot 1
  LS_FACEPROC Triangle[LS_NBFACETYPES];    // slots 2-17, by face type
  LS_FACEPROC Quadrangle[LS_NBFACETYPES];  // slots 18-33, by face type
};
static_assert(sizeof(LS_PRIMITIVES) == 34 * sizeof(void*), "34 primitive slots");

// The tables by depth: 8 bits, 16 bits, and every other depth (draws
// nothing).
extern const LS_PRIMITIVES LSI_Primitives8;
extern const LS_PRIMITIVES LSI_Primitives16;
extern const LS_PRIMITIVES LSI_NoPrimitives;
// Face types whose slots hold LS_NullPrimitive in the 8- and 16-bit
// tables: 2, 6, 8, 9, 10, 11 and 14.
constexpr uint32_t LS_NULLFACETYPES = 0x4F44;

struct _WINDOW {
  BMAP* W_BMAP;
  uint8_t* W_ADDRESS;  // the window's first pixel; null while unlocked
  const LS_PRIMITIVES* W_PRIMITIVE;
  uint32_t W_DETAIL;  // mask applied to face types
  int32_t W_WIDTH;
  int32_t W_HEIGHT;
  int32_t W_POSX;
  int32_t W_POSY;
  int32_t W_RESERVED;
};

// Sets up the window over a rectangle of the bitmap, with the table of the
// bitmap's depth. A bitmap without pixel address (an unlocked surface)
// leaves W_ADDRESS null until LS_LockWindow.
void LS_InitWindow(BMAP* bmap, _WINDOW* window, uint32_t detail, int32_t x, int32_t y, int32_t width,
                   int32_t height);
void LS_InitWindowFull(BMAP* bmap, _WINDOW* window, uint32_t detail);
// Locks the bitmap and recomputes W_ADDRESS.
void LS_LockWindow(_WINDOW* window);
// Unlocks the bitmap and clears W_ADDRESS; returns 1.
int32_t LS_UnlockWindow(_WINDOW* window);

// Clips the line to the window and draws it through slot 1. Nothing is
// drawn while W_ADDRESS is null.
void LS_WinLine(_WINDOW* window, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
// Draw the face through the slot of type AND W_DETAIL (the low four bits).
void LS_WinTriangle(_WINDOW* window, int32_t type, const _TRIANGLE* triangle);
void LS_WinQuadrangle(_WINDOW* window, int32_t type, const _QUADRANGLE* quadrangle);

// The routines of the table for depths without primitives: nothing.
void LS_NoPrimitive(const _WINDOW* window, int32_t x, int32_t y, uint32_t colour);
void LS_NoPrimitive(const _WINDOW* window, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
void LS_NoPrimitive(const _WINDOW* window, const _TGRAPH* face, const _TGRAPHV* vertices);
// The slot of a face type that has no routine: error 0 "ZIDADE3D NULL
// POINTER ERROR.", then the end of the program with -1.
[[noreturn]] void LS_NullPrimitive(const _WINDOW* window, const _TGRAPH* face, const _TGRAPHV* vertices);

// The outline of a face of `count` vertices (3 or 4) drawn with `line`:
// edges 2-1, 3-2, ... and 1-n, each vertex at (P_XG, P_YG).
void LSI_DrawOutline(const _WINDOW* window, const _TGRAPHV* vertices, int32_t count, uint32_t colour,
                     LS_LINEPROC line);

// 16-bit primitives.
void LS_Plot16(const _WINDOW* window, int32_t x, int32_t y, uint32_t colour);
void LS_Line16(const _WINDOW* window, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
void LS_Triangle16(const _WINDOW* window, const _TGRAPH* face, const _TGRAPHV* vertices);
void LS_Quadrangle16(const _WINDOW* window, const _TGRAPH* face, const _TGRAPHV* vertices);

// 8-bit primitives.
void WI_PLOT8(const _WINDOW* window, int32_t x, int32_t y, uint32_t colour);
void WI_LINE8(const _WINDOW* window, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
void WI_TRIANGLE8(const _WINDOW* window, const _TGRAPH* face, const _TGRAPHV* vertices);
void WI_QUADRANGLE8(const _WINDOW* window, const _TGRAPH* face, const _TGRAPHV* vertices);

// Slopes of short edges without a division: entry [a][b] = floor(a x 65536
// / b), 0 when b is 0; read by the software renderer's edge set-up.
extern const uint32_t (&_L3_LINEDIVIDETABLE)[64][64];

// ---------------------------------------------------------------------------
// A simple 3D object: its arrays come from the default heap.

constexpr uint32_t LS_OBJECT3D_POINTSIZE = 12;      // three 32-bit values
constexpr uint32_t LS_OBJECT3D_FACESIZE = 40;       // laid out by the users
constexpr uint32_t LS_OBJECT3D_PROJECTEDSIZE = 20;  // laid out by the users
constexpr uint32_t LS_OBJECT3D_WORDSIZE = 4;

struct OBJECT3D {
  int32_t (*Points)[3];  // n + 1 points
  uint8_t* Faces;        // m face records
  uint8_t* Projected;    // n + 1 projected-point records
  uint32_t* PointWords;  // n words
  int32_t NbPoints;      // counters kept by the users
  int32_t NbFaces;
};

// Allocates the arrays for n points and m faces, counters 0; returns 0, or
// 1 with nothing allocated (a negative count, a size that does not fit, or
// a heap that refuses). An empty array stays null.
int32_t LS_AllocObject3D(OBJECT3D* object, int32_t n, int32_t m);
void LS_FreeObject3D(OBJECT3D* object);
