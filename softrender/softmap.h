// The software map frame: the track's big entities near the camera and in
// the view, turned into camera space through the rotation tables, culled,
// projected, keyed by depth and appended far to near to a view's polygon
// list. The pieces are declared here so that the tests can run each.
#pragma once
#include <cstdint>
#include <vector>

#include "engine3d/types.h"
#include "track/types.h"

// Clip codes of a projected vertex.
constexpr int32_t CLIP_LEFT = 2, CLIP_RIGHT = 4, CLIP_TOP = 8, CLIP_BOTTOM = 16, CLIP_NEAR = 32;

// The word vertices' flag bits: transform before the faces are listed, and
// used by a face listed this frame.
constexpr uint8_t SB_WORDVERTEX_EAGER = 1, SB_WORDVERTEX_MARKED = 2;

// A cell's faces listed for drawing: at most one per face of a big entity.
constexpr int32_t SB_MAXCELLFACES = 255;
// The vertices of a cell, one per vertex number.
constexpr int32_t SB_NBVIEWVERTICES = 256;
// A face's depth key is lowered by this much when its texture has letter Z.
constexpr int32_t SB_DEPTHBIAS = 7680;
// Nearer than this depth a vertex is not projected.
constexpr int32_t SB_SOFTNEAR = 128;

// One vertex of the cell being drawn, in camera space and on the screen.
struct TVIEWVERTEX {
  int32_t X, Y, Z;
  int32_t ScreenX, ScreenY;
  int32_t State;  // SB_VIEWVERTEX_*: whether X, Y, Z hold this cell's transform
  int32_t Code;   // CLIP_* bits, or CLIP_NEAR alone
};
constexpr int32_t SB_VIEWVERTEX_STALE = 0, SB_VIEWVERTEX_DONE = 1;

// A big entity that passed the view tests: its centre relative to the
// camera (sums of table entries, not divided) and the entity.
struct TVISIBLEENTITY {
  int32_t X, Y, Z;
  const TBIGENTITY* Entity;
};

// One big entity ready for its faces: the key that orders the cells
// (larger drawn first: the entity's depth), its origin relative to the
// camera in table units x 4, and its runs in the map.
struct TSOFTCELL {
  int32_t Key;
  int32_t X, Y, Z;
  int32_t NbVertices, NbFaces;
  TWORDVERTEX* WordVertices;
  TMAPFACE* Faces;
};

// What one view's map frame keeps between its steps.
struct TSOFTMAPFRAME {
  int32_t NbProjected;    // vertices projected this view
  int32_t NbTransformed;  // vertices turned into camera space this view
  std::vector<TVISIBLEENTITY> Visible;
  int32_t NbVisible;
  std::vector<TSOFTCELL> Cells;
  std::vector<TSOFTCELL*> CellOrder;
  int32_t NbCells;
  TMAPFACE* CellFaces[SB_MAXCELLFACES];
  int32_t NbCellFaces;
  TVIEWVERTEX Vertices[SB_NBVIEWVERTICES];
};
extern TSOFTMAPFRAME E3D_SoftMap;

// The big entity column of the camera: its x cell index (64 at the origin).
int32_t SB_CameraCellX(const TCAMERA* camera);
// Fills E3D_SoftMap.Visible with the big entities within four columns of
// the camera's, in front of it, nearer than the far distance and inside
// the view's four side planes.
void SB_TransformMapSectors(TCAMERA* camera);
// Appends the cell of a visible entity and its pointer; both cursors move.
void SB_AddSoftPolygonEntry(const TVISIBLEENTITY* entity, TSOFTCELL** cell, TSOFTCELL*** pointer);

// Clears the cell's projection marks, transforms its eager vertices and
// lists its faces that are near enough, face the camera (or are
// double-sided) and are not hidden in a networked race.
void E3D_SoftCullCell(void* spare, TSOFTCELL* cell);
void E3D_SoftPrepareObjVerts(TSOFTCELL* cell);
void E3D_SoftListObjPolys(TSOFTCELL* cell);
// Projects the vertices the listed faces use and keys the listed faces.
void E3D_SoftProjectCell(void* spare, TSOFTCELL* cell);
void E3D_SoftProjectObjVerts(TSOFTCELL* cell);
void E3D_SoftSetDepthKeys(TSOFTCELL* cell);
// Appends the listed faces, in list order, to the view; stops at the
// view's polygon or vertex limit.
void E3D_SoftEmitPolys(TSOFTSCENE* scene);
// Turns word vertex i of the cell into camera space (E3D_SoftMap.Vertices[i]).
void E3D_SoftTransformVertex(const TSOFTCELL* cell, int32_t i);
