// The road generator: a road piece described by a TROADPARAMS record
// (tools/types.h) built into a triangle mesh and written as a 3D-Studio
// ASCII scene of one object, which the track reads as a map.
#pragma once
#include <cstdint>

#include "tools/types.h"

// Builds the piece and writes it to the path (a logical path); reports on
// the console and writes nothing when the piece cannot be built: numbers
// that are not finite or out of their range (smoothings 0 to 1, banks and
// gradients within 1.5 radians), a bend tighter than the road is wide, a
// mesh larger than the arrays or outside what the track's scene reader
// takes.
void CalcRoadAndSaveAscii(const char* path, const TROADPARAMS* params);
// The two halves of it: the mesh built into the arrays below (the segment
// count, or 0 after the console was told why not), and the arrays freed.
int32_t SB_BuildRoadMesh(const TROADPARAMS* params);
void SB_FreeRoadMesh();
// Writes the mesh arrays below; "Error creating file %s !!!" when the file
// cannot be created.
void SaveRoadAscii(const char* path);
// Appends the three points as three new vertices and one face naming them;
// nothing once the arrays are full.
void RoadAddTriangle(const TROADVERTEX* p1, const TROADVERTEX* p2, const TROADVERTEX* p3, const char* material);

// The mesh of the last build: vertices in the order the faces were made
// (face f uses 3f, 3f + 1, 3f + 2). The arrays live during a build only;
// the counts stay until the next build starts.
extern TROADVERTEX* RoadVertices;
extern int32_t RoadNbVertices;
extern TROADFACE* RoadFaces;
extern int32_t RoadNbFaces;

// The limits of a piece the construction takes.
constexpr int32_t SB_MAXROADSEGMENTS = 2500;
constexpr int32_t SB_MAXROADLANES = 100;
