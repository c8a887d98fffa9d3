// The working polygon map of the scene-to-cells conversion: convex faces
// owning runs of points (x, y, z, u, v), the geometry that clips, merges
// and splits them, and the conversion that files them into the loaded
// map's polygon cells.
#pragma once
#include <cstdint>

#include "track/scene.h"
#include "track/types.h"

// A point: scene units, texture coordinates in texture repeats.
struct TPOLYPOINT {
  double X, Y, Z, U, V;
};

// A face: its vertices are NbPoints consecutive points from FirstPoint.
// Fewer than 3 vertices: dead, gone at the next purify.
struct TPOLYFACE {
  uint32_t FirstPoint;
  float NormalX, NormalY, NormalZ;
  uint16_t NbPoints;
  int16_t Material;  // into the map's names
  uint8_t Flags;
};

struct TLMAPPOLY {
  TPOLYFACE* Faces;
  TPOLYPOINT* Points;
  int32_t FaceCapacity, PointCapacity;
  int32_t NbFaces, NbPoints;
  int32_t NbMaterials;
  char Materials[SB_MAXTEXTURES][SB_TEXTURENAMESIZE];
  int32_t OutOfMemory;  // set when a growth could not be had
};

// Vertices a merged polygon may have; a merge giving more is refused.
constexpr int32_t SB_MAXPOLYVERTICES = 100;
// The shift of scene coordinates into the conversion's space.
constexpr double SB_POLYSHIFT = 194.0;
constexpr double SB_POLYCELLSIZE = 512.0;
constexpr double SB_POLYTEXTURECUT = 8.0;  // texture repeats per piece

// Room of the conversion's outputs; tests set smaller ones.
struct TMAPCONVERSIONLIMITS {
  int32_t PPointOffsets = 300000;
  int32_t PPointTextures = 300000;
  int32_t PointOffsets = 150000;
  int32_t PointTextures = 150000;
  int32_t FacePolys = 100000;
  int32_t Cells = 2000;
  int32_t Names = SB_MAXTEXTURES;
};
extern TMAPCONVERSIONLIMITS SB_ConversionLimits;
// Set when an output ran out (its message printed) rather than memory.
extern int32_t SB_ConversionOutputFull;

// ---------------------------------------------------------------------------
// The polygon map.
// ---------------------------------------------------------------------------

// An empty map with the arrays for the counts (owner tags "<stem>",
// "<arrays>->face" and "<arrays>->point", arrays being the stem unless
// given); null when memory fails.
TLMAPPOLY* SB_NewTLMAPPOLY(int32_t faces, int32_t points, const char* stem, const char* arrays = nullptr);
TLMAPPOLY* SB_GetTLMAPPOLYfromTLMAP(const TLMAP* map);
void SB_CalcTLMAPPOLYNormals(TLMAPPOLY* poly);
// Grows the arrays by the counts; 0 when memory fails (OutOfMemory set).
int32_t SB_AddThingsToTLMAPPOLY(TLMAPPOLY* poly, int32_t morePoints, int32_t moreFaces);
// Makes room for that many more points and faces beyond the counts.
int32_t SB_ReserveTLMAPPOLY(TLMAPPOLY* poly, int32_t morePoints, int32_t moreFaces);
TLMAPPOLY* SB_GetTLMAPPOLYFromATLMAPPOLY(const TLMAPPOLY* poly);
TLMAPPOLY* SB_GetTLMAPPOLYFromATLMAPPOLYSol(const TLMAPPOLY* poly);
TLMAPPOLY* SB_GetTLMAPPOLYFromATLMAPPOLYMur(const TLMAPPOLY* poly);
void SB_AddFaceToTLMAPPOLY(TLMAPPOLY* to, const TLMAPPOLY* from, int32_t face);
void SB_PurifyTLMAPPOLY(TLMAPPOLY* poly);
void SB_FreeTLMAPPOLY(TLMAPPOLY* poly);
// The slab below the next 512 border (or the next 8 repeats), cut off the
// map, which keeps the rest; null for an empty map or when memory fails.
TLMAPPOLY* SB_SliceTLMAPPOLYX(TLMAPPOLY* poly);
TLMAPPOLY* SB_SliceTLMAPPOLYY(TLMAPPOLY* poly);
TLMAPPOLY* SB_SliceTLMAPPOLYZ(TLMAPPOLY* poly);
TLMAPPOLY* SB_SliceTLMAPPOLYU(TLMAPPOLY* poly);
TLMAPPOLY* SB_SliceTLMAPPOLYV(TLMAPPOLY* poly);

// ---------------------------------------------------------------------------
// Geometry.
// ---------------------------------------------------------------------------

void SB_LerpPolyPoint(TPOLYPOINT* out, const TPOLYPOINT* a, const TPOLYPOINT* b, double t);
// Keeps the part of the face where (P - point) . normal >= 0 (in space, or
// in u and v); the new points are appended to the map.
void SB_ClipFaceByPlane(TLMAPPOLY* poly, int32_t face, const double point[3], const double normal[3]);
void SB_ClipTLMAPPOLYByPlane(TLMAPPOLY* poly, const double point[3], const double normal[3]);
void SB_ClipFaceByUVLine(TLMAPPOLY* poly, int32_t face, const double point[2], const double normal[2]);
void SB_ClipTLMAPPOLYByUVLine(TLMAPPOLY* poly, const double point[2], const double normal[2]);
void SB_NormalizeFaceUV(TLMAPPOLY* poly, int32_t face);
void SB_NormalizeTLMAPPOLYUV(TLMAPPOLY* poly);
int32_t SB_SamePolyPoint(const TPOLYPOINT* a, const TPOLYPOINT* b);
int32_t SB_SameVector(const double a[3], const double b[3]);
int32_t SB_PolyIsConvex(const TPOLYPOINT* points, int32_t n, const float normal[3]);
double SB_PolyEdgeLengths(int32_t n, const TPOLYPOINT* points, double* lengths);
int32_t SB_RotatePolyToBestCorner(TPOLYPOINT* points, int32_t n);
int32_t SB_CompactPolyPoints(TPOLYPOINT* points, const uint8_t* keep, int32_t n);
int32_t SB_RemoveCollinearPoints(TPOLYPOINT* points, int32_t n);
int32_t SB_PolyEdgesLongEnough(const TPOLYPOINT* points, int32_t n);
int32_t SB_TextureAxes(const TPOLYPOINT* a, const TPOLYPOINT* o, const TPOLYPOINT* b, double uAxis[3],
                       double vAxis[3]);
int32_t SB_RemapPolyTexture(TPOLYPOINT* points, int32_t n, const TPOLYPOINT* a, const TPOLYPOINT* o,
                            const TPOLYPOINT* b);
// Writes the merged polygon into outPoints (room for SB_MAXPOLYVERTICES)
// and its count into outFace; the count stays as it was when they do not
// merge.
void SB_MergePolygons(const TPOLYFACE* faceA, TPOLYPOINT* pointsA, const TPOLYFACE* faceB,
                      TPOLYPOINT* pointsB, TPOLYFACE* outFace, TPOLYPOINT* outPoints, int32_t sameMaterial);
int32_t SB_SplitShortEdgedFace(TLMAPPOLY* poly, int32_t face);
int32_t SB_JoinTLMAPPOLYFaces(TLMAPPOLY* poly, int32_t i, int32_t j);
void SB_SimplifyTLMAPPOLY(TLMAPPOLY* poly);

// ---------------------------------------------------------------------------
// The conversion into the loaded map's polygon cells.
// ---------------------------------------------------------------------------

int32_t SB_InitMapConversion();
// 1 when every cell was filed (a null map has none); 0 when stopped, an
// output was full or memory failed.
int32_t SB_ConvertPolyMapToDecor(TLMAPPOLY* poly);
int32_t SB_FindCube10Poly(int32_t x, int32_t y, int32_t z);
int32_t SB_NewCube10Poly(int32_t x, int32_t y, int32_t z);
// The adders return 0 once an output is full (the message printed).
int32_t SB_AddGroundCell(TLMAPPOLY* poly);
int32_t SB_AddWheelCell(TLMAPPOLY* poly);
int32_t SB_AddBodyCell(TLMAPPOLY* poly);
