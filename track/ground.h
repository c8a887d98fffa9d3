// Ground height and contact queries on the loaded map: the lookup lists
// over its big cubes and polygon cells, built at race set-up, and the
// queries of the cars, cameras and decor. Positions are integers in world
// units of 1/320 m; heights come back in the same units, the vertical axis
// pointing down; SB_NOGROUND (100000.0) means no ground at the point. The
// answering face's normal is left in SB_Var.GroundNormal.
#pragma once
#include <cstdint>

#include "track/types.h"

// Grid arithmetic. Cube coordinates: x and z become the local position in
// the small cube (0..127), with the small-cube numbers inside the big cube
// (62..65) and the big-cube numbers (64 the origin).
void SB_WorldToCubeCoords(int32_t* x, int32_t* z, int32_t* smallX, int32_t* smallZ, int32_t* bigX,
                          int32_t* bigZ);
// The offset inside a polygon cell (0..16383, 8192 its centre) and the
// cell number (64 the origin).
void SB_WorldToPolyCellCoords(int32_t v, int32_t* offset, int32_t* cell);

// The lookup lists: over the big entitys (not in the accelerator's
// renderer) and over the polygon cells (a map without cells
// raises library error 0, "BuildListXZYPoly Error - Map with no Cubes10",
// and leaves the list empty). Both are freed in the reverse order.
void BuildXZYList();
void BuildListXZYPoly();
// The list over the big entitys in any renderer, unless it is built: what
// the editors' top view reads, also in the accelerator's race.
void SB_BuildCubeXZYList();
void SB_FreeXZYList();
void SB_FreeListXZYPoly();
// The records of a column by its x and z numbers, lowest y first (a slot
// may be null), with their count; null outside the list.
TBIGENTITY** SB_FindCubeInXZList(int32_t x, int32_t z, int32_t* count);
TFCUBE10POLY** SB_FindInListXZYPoly(int32_t x, int32_t z, int32_t* count);

// Cube map: the first floor face under the point; the lowest face of any
// slope; the highest floor face whose texture has the letter C, whose H, B,
// L, F and E flags are then ORed into SB_Var.GroundFlags. In the
// accelerator's renderer the first two answer from the polygon cells, and
// the third finds no road.
double SB_GetGroundHeight(int32_t x, int32_t z);
double SB_GetLowestGroundHeight(int32_t x, int32_t z);
double SB_GetRoadHeight(int32_t x, int32_t z);
// Polygon cells: the highest ground face under the point not turned
// downwards, or of any facing.
double SB_GetPolyGroundHeight(int32_t x, int32_t z);
double SB_GetPolyGroundHeightAll(int32_t x, int32_t z);

// The faces near a car (position in metres) into the caller's list, at
// most capacity entries: the wheel-contact faces within 2.5 m, the
// body-contact faces within 3.5 m. The number of entries.
int32_t SB_GetWheelContactFaces(TFACELISTENTRY* list, int32_t capacity, const double* position);
int32_t SB_GetBodyContactFaces(TFACELISTENTRY* list, int32_t capacity, const double* position);
// The height over the first face of a wheel list that holds the point,
// its flags ORed into SB_Var.GroundFlags; SB_NOGROUND when none does.
double SB_GetHeightInFaceList(const TFACELISTENTRY* list, int32_t count, int32_t x, int32_t z);
// 1 when the segment from (fromX, fromZ) to (x, z) crosses an edge of a
// body list; result (x, y, z in metres, y 0) then pushes the point back
// onto the nearest such edge's line; 0 and a zero result otherwise.
int32_t SB_GetBodyFaceContact(const TFACELISTENTRY* list, int32_t count, int32_t x, int32_t z, double* result,
                              int32_t fromX, int32_t fromZ);
// The last normal found over a face list, 8192 being 1.0: flat ground
// gives (0, -8192, 0).
void SB_GetLastGroundNormal(int32_t* x, int32_t* y, int32_t* z);
