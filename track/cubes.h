// The cube map's construction steps: joining aligned faces, the texture-
// repeat cuts, the split along the cube grid, the filing of each cube's
// faces into the map arrays, and the visibility sets.
#pragma once
#include <cstdint>

#include "system/bmap.h"
#include "track/scene.h"

// Capacities of the construction's buffers.
constexpr int32_t SB_MAXBIGENTITYS = 2000;
constexpr int32_t SB_MAXSMALLENTITYS = 15000;
constexpr int32_t SB_MAXVERTICES = 250000;
constexpr int32_t SB_MAXWORDVERTICES = 100000;
constexpr int32_t SB_WORKGROUPFACES = 10000;
constexpr int32_t SB_SLABFACES = 50000;
constexpr int32_t SB_MAXCUBEITEMS = 255;  // vertices or faces of one cube
constexpr int32_t SB_MAXSEENLIST = 400000;
constexpr int32_t SB_PVSWIDTH = 640, SB_PVSHEIGHT = 480;

// The capacities the construction uses for its growing buffers (the
// constants above; tests make them small).
struct TMAPCAPACITIES {
  uint32_t Copy, Slab, WorkGroup;
  int32_t SeenList;
};
extern TMAPCAPACITIES SB_MapCapacities;
constexpr TMAPCAPACITIES SB_MAPCAPACITIES = {SB_MAXMAPFACES, SB_SLABFACES, SB_WORKGROUPFACES, SB_MAXSEENLIST};

// Stops the construction: prints "Map error: %s full !!!" with the owner tag
// (once) and sets SB_Var.MapBuildFailed.
void SB_MapBufferFull(const char* owner);
// Counts faces the cube limits leave out.
void SB_DropFaces(int32_t count);

// Face joining. The fine series' last tolerance: a corner it joins away
// lies at most this far from the new edge.
constexpr double SB_FINEJOINTOLERANCE = 0.001;
void SB_JoinSeriesFine(TLMAP* list);
void SB_JoinSeriesCoarse(TLMAP* list);
void SB_JoinAlligned(TLMAP* list);
void SB_JoinAllignedBig(TLMAP* list);
void SB_JoinCluster(TLMAP* list);
// The same sweeps visiting every third face: the result SB_JoinCluster,
// which visits only the faces near a pair, must give.
void SB_JoinClusterPlain(TLMAP* list);
int32_t SB_FacesCoplanar(const TLMAPFACE* a, const TLMAPFACE* b);
int32_t SB_JoinTwoFaces(TLMAPFACE* a, TLMAPFACE* b);
int32_t SB_FlipDiagonal(TLMAPFACE* a, TLMAPFACE* b);
int32_t SB_FacesShareEdge(const TLMAPFACE* a, const TLMAPFACE* b);
int32_t SB_SamePointUV(const TLMAPVERTEX* a, const TLMAPVERTEX* b);
double SB_PointLineDistance(const TLMAPVERTEX* p, const TLMAPVERTEX* a, const TLMAPVERTEX* b);
void SB_RemoveMarkedFaces(TLMAP* list);
void SB_SplitTextureRepeats(TLMAP* list);
// Splits every face of the list whose edge passes through one of the
// corners (within the tolerance of the edge), there; pieces are appended
// and split in their turn, as long as the list has room.
void SB_SplitTJunctions(TLMAP* list, double tolerance, const TLMAPVERTEX* corners, uint32_t count);
int32_t SB_CutFaceAtUV8(TLMAP* list, uint32_t face, int32_t a, int32_t b);

// The grid split.
struct TMAPBOX {
  int32_t MinX, MaxX, MinY, MaxY, MinZ, MaxZ;
};
TMAPBOX SB_MapBoundingBox(const TLMAP* map);
// Appends a copy of the face (vertex b becomes the point) and puts the
// point in place of the face's vertex a; 0 when the list is full.
int32_t SB_SplitFace(TLMAP* map, uint32_t face, int32_t a, int32_t b, const TLMAPVERTEX* point);
// Cuts the face's edge (a, b) at the plane of the axis (0 x, 1 y, 2 z).
int32_t SB_CutFaceAxis(TLMAP* map, uint32_t face, int32_t a, int32_t b, int32_t axis, int32_t plane);
void SB_SetFaceCube(TLMAPFACE* face);
int32_t SB_NextCubeGroup(TLMAP* workGroup, TLMAP* slab);

// Filing one cube's faces.
void SB_CubeGroupToSmall(TLMAP* workGroup);
void SB_CubeGroupToBig(TLMAP* workGroup);

// Visibility: the code of a cube dx, dz cells away in a seen list.
uint16_t SB_PvsCode(int32_t dx, int32_t dz);
// 1 when no pixel of the line from (x1, y1) to (x2, y2) but
// its start is non-zero (pixels off the picture block nothing).
int32_t SB_PvsLineClear(const BMAP* picture, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
