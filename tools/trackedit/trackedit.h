// The track editor's top view as its tools reach it: the tile geometry,
// the full redraw and the one-tile scrolls, the mouse reading, the keys,
// the read-out, and the tile renderer.
#pragma once
#include <cstdint>

struct BMAP;
struct TVECTOR;

// A tile is this many map units square (12.8 m).
constexpr int32_t SB_EDITTILEUNITS = 4096;
// A tile's face list holds at most this many faces; the rest are dropped.
constexpr int32_t SB_EDITMAXTILEFACES = 1024;

// Tile size in pixels (1..256): tile counts each side and the centre tile's
// top-left pixel, so that the centre tile is centred on (320, 240).
void SB_SetEditZoom(int32_t tileSize);
// Every visible tile rendered into SB_Var.EditView.
void SB_RedrawEditView();
// One tile's scroll: the view shifted by one blit, two columns or rows
// rendered.
void SB_ScrollEditRight();
void SB_ScrollEditLeft();
void SB_ScrollEditDown();
void SB_ScrollEditUp();
// Keypad + and - zoom once a press; arrows and the left button at a screen
// edge scroll a tile a frame. Only in the top view.
void SB_EditInput();
// The previous reading kept, the mouse read and clamped to 639 x 479.
void SB_ReadEditMouse();
// The map position and ground height under the mouse, in metres, on the
// overlay at (10, 462).
void SB_DrawEditMouse();
// The ground height (map units, SB_NOGROUND none) the editor reads: the
// lowest ground in object-path mode, else the first floor.
double SB_EditGroundHeight(double x, double z);

// The map position (map units) under a screen pixel of the top view:
// signed division truncating toward zero; 0 without a tile size.
int64_t SB_EditPixelToMapX(int32_t pixelX);
int64_t SB_EditPixelToMapZ(int32_t pixelY);
// The overlay pixel of a 3D palette index: the index on an 8-bit overlay,
// the palette's colour in the overlay's format at 16 bits.
uint32_t SB_EditOverlayColor(int32_t index);
// The overlay pixel of the 3D palette's entry nearest to (r, g, b), 0..63.
uint32_t SB_EditNearestOverlayColor(int32_t r, int32_t g, int32_t b);

// The top view's pixel of a world point in metres, or of a point in map
// units: 1, or 0 (the pixel set to -SB_EDITVIEWREACH on both axes) for a
// point farther than SB_EDITVIEWREACH pixels from the view, which callers
// leave undrawn.
constexpr int32_t SB_EDITVIEWREACH = 1 << 24;
int32_t SB_WorldToEditView(int32_t* px, int32_t* py, double x, double z);
int32_t SB_MapToEditView(int32_t* px, int32_t* py, int64_t mapX, int64_t mapZ);
// The race line's tool (tool 4): the perspective view's pixel, 0 for a
// point at or behind the eye or off the top view; adding, moving and
// deleting points; selection; the curve drawn.
int32_t SB_EditProjectPoint(const TVECTOR* point, int32_t* px, int32_t* py);
void SB_EditBsplinePoints();
void SB_SelectBsplinePoints();
void SB_DrawEditBspline();
// The perspective view turned by the arrows about a point 1,000 m behind
// the eye, its focal changed by keypad + and -, the selected race-line
// points raised by U and lowered by D.
void SB_MoveEditPerspective();

// The panel: button presses, shadows, buttons, cursor and grid on the
// overlay.
void SB_EditButtons();
void SB_DrawEditButtonShadows();
void SB_DrawEditButtons();
void SB_DrawEditCursorShadow();
void SB_DrawEditCursor();
void SB_DrawEditGrid();
// The camera-and-cars tool (tool 2) and the tile tool (tool 1).
void SB_DragCameraAndCars();
void SB_DrawEditCameraAndCars();
void SB_SelectCameraAndCars();
void SB_SelectEditTiles();
// The view-relative tile under the mouse (rounded down), and a tile's
// square checker-marked.
void SB_MouseToEditTile(int32_t* column, int32_t* row);
void SB_MarkEditTile(BMAP* bmap, int32_t column, int32_t row);

// The texture tool (tool 3): characters typed into the texture path,
// Enter reloading the map with that texture set; its prompt.
void SB_EditTexturePath();
void SB_DrawEditTexturePath();

// Object paths: the recording taken and released, the next decor object,
// a clicked point (the first twice), the exports of the script name +
// ".TRJ", ".TAB" and ".CRD", the distance from recorded point i to i + 1.
void StartMoveRecord();
void SB_NextMoveObject();
void SB_AddMovePoint();
void SB_SaveMoveRecord();
void SB_SaveMoveCoords();
double SB_MovePointDistance(int32_t i);
// The path shown, within the object's script blocks; one object-mode frame
// (read-outs, recorded points and curve, a click added, decor objects);
// the recorded points and the curve through them, while recording; each
// decor object's script blocks at their places, and the frame time.
void SB_NextMovePath();
void SB_PrevMovePath();
void SB_RecordMove();
void SB_DrawMoveRecord();
void SB_DrawEditObjects();

// One tile (map column and row, rows toward smaller z) into the top-left
// square of the tile bitmap: cleared, then its faces highest first.
void SB_DrawEditTile(BMAP* bmap, int32_t column, int32_t row);

// One entry of a tile's face list: the sort key first, then the corners in
// tile pixels, their texture coordinates (texels x 16), the corner count,
// the filler's size index and the texture's first texel.
struct TEDITTILEFACE {
  int32_t Key;
  int32_t X[4], Y[4];
  int32_t U[4], V[4];
  int32_t NbCorners;
  int32_t SizeIndex;
  uint8_t* Texels;
};
// The faces stored under the tile, at most SB_EDITMAXTILEFACES, each
// pointer set to its entry; the count.
int32_t SB_ListEditTileFaces(TEDITTILEFACE** pointers, TEDITTILEFACE* entries, int32_t column, int32_t row);
// The listed faces drawn in pointer order: textured at 8 bits, outlined by
// the outline switch, object-path mode or any other screen depth.
void SB_FillEditTile(BMAP* bmap, TEDITTILEFACE** pointers, int32_t count);
