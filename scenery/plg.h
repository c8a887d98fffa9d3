// ".PLG" polygon files: the low-polygon meshes of the car shadows. Little
// endian, no header: the vertex count N, N vertices of three i32, the
// polygon count P, then per polygon its index count K, a vector of three
// i32 (its outward direction) and K u32 vertex indices.
#pragma once
#include <cstdint>

struct TPLGPOLY {
  uint32_t NbIndices;
  int32_t Vector[3];
  uint32_t* Indices;
};

// The mesh; every array is a block of the default heap that it owns.
struct TPLG {
  uint32_t NbVertices;
  int32_t (*Vertices)[3];
  uint32_t NbPolygons;
  TPLGPOLY* Polygons;
};

// The file read whole; null when it is missing, cannot be opened, or does
// not hold exactly what its counts say with at least 3 indices a polygon,
// each below N (nothing is kept then).
TPLG* LoadPlg(const char* path);
// Releases every array and the mesh; 1, or 0 for null.
int32_t FreePlg(TPLG* plg);
