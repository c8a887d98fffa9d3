// Records and constants of the track that other floors hold: the start
// slots of the circuit, the records of the race map (as they lie in the
// binary map file), the loaded map's arrays, the centre line and the
// ground queries' lookup lists and face lists.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int SB_NBSTARTSLOTS = 3;

struct TSTARTSLOT {
  double X, Y, Z;   // start position, metres
  double CarStepX;  // cos(a) x 5.0: from one car to the next across the grid
  double CarStepZ;  // sin(a) x 5.0
  double RowStepX;  // sin(a) x 10.0: from one grid row to the next
  double RowStepZ;  // cos(a) x -10.0
  double Angle;     // heading about the vertical axis, radians
};

// ---------------------------------------------------------------------------
// The race map. Every record is kept in memory exactly as it lies in the
// map file, so that a save writes the arrays as they are. A link to another
// record is a u32 byte offset from the start of the array it points into;
// the accessors of track/decor.h turn it into the record.
// ---------------------------------------------------------------------------

// Texture and material names: 15 bytes, zero-padded, at most 512 of each.
constexpr int32_t SB_MAXTEXTURES = 512;
constexpr int32_t SB_TEXTURENAMESIZE = 15;

// One big cube (512 map units): key bytes are the cube numbers + 64.
struct TBIGENTITY {
  uint8_t X, Y, Z;
  uint8_t NbSmallEntitys;
  uint32_t WordVertices;  // offset into the word vertices
  uint32_t Faces;         // offset into the faces (its reduced faces)
  uint32_t SmallEntitys;  // offset into the small entitys (contiguous)
  uint32_t Unused;
  uint8_t NbWordVertices;
  uint8_t NbFaces;
  uint8_t Pad[2];
};
static_assert(sizeof(TBIGENTITY) == 24 && offsetof(TBIGENTITY, WordVertices) == 4 &&
                  offsetof(TBIGENTITY, SmallEntitys) == 12 && offsetof(TBIGENTITY, NbWordVertices) == 20,
              "big entity as in the map file");

// One small cube (128 map units) inside its big cube: X and Z (62..65) are
// read together as one 16-bit key, X in the low byte; Y comes third.
struct TSMALLENTITY {
  uint8_t X, Z, Y;
  uint8_t NbVertices;
  uint32_t Vertices;  // offset into the vertices
  uint32_t Faces;     // offset into the faces
  uint8_t NbFaces;
  uint8_t Pad[3];
};
static_assert(sizeof(TSMALLENTITY) == 16 && offsetof(TSMALLENTITY, Vertices) == 4 &&
                  offsetof(TSMALLENTITY, NbFaces) == 12,
              "small entity as in the map file");

// A small cube's vertex, relative to the cube's corner; flag bit 0: the
// vertex is the first of some face.
struct TMAPVERTEX {
  uint8_t X, Y, Z, Flags;
};
static_assert(sizeof(TMAPVERTEX) == 4, "map vertex as in the map file");

// A big cube's vertex, relative to the big cube's corner.
struct TWORDVERTEX {
  uint16_t X, Y, Z;
  uint8_t Flags;
  uint8_t Pad;
};
static_assert(sizeof(TWORDVERTEX) == 8 && offsetof(TWORDVERTEX, Flags) == 6, "word vertex as in the map file");

// A triangle or quadrangle of one cube. Vertex[3] is 255 for a triangle.
// UV holds u and v of the four corners; in the file and as built, bit 15 of
// the first u is bit 8 of the texture number (SB_MapFaceTexture reads it).
// Normal bytes are floor(component x 64 + 64.5); Normal[1] is the up byte.
struct TMAPFACE {
  int32_t Key;  // depth key of the renderers
  uint8_t Vertex[4];
  uint16_t UV[8];
  uint8_t Normal[3];
  uint8_t Texture;  // low 8 bits of the texture number
  uint32_t Unused;
};
static_assert(sizeof(TMAPFACE) == 32 && offsetof(TMAPFACE, Vertex) == 4 && offsetof(TMAPFACE, UV) == 8 &&
                  offsetof(TMAPFACE, Normal) == 24 && offsetof(TMAPFACE, Texture) == 27,
              "map face as in the map file");

// A point of the textured-polygon map, relative to its cell (8192 is the
// cell's centre), in world units.
struct TFPOINTOFFSET {
  uint16_t X, Y, Z;
};
static_assert(sizeof(TFPOINTOFFSET) == 6, "polygon point as in the map file");

struct TFPOINTTEXTURE {
  uint16_t U, V;
  uint16_t Unused;
};
static_assert(sizeof(TFPOINTTEXTURE) == 6, "polygon texture point as in the map file");

// A convex polygon of a cell. PointOffsets and PointTextures are offsets
// into the TFPPOINTOFFSET and TFPPOINTTEXTURE arrays (u32 offsets of the
// corners' points). Normal words are floor(component x 8192 + 8256.5);
// Normal[1] is the up word. The box is in cell-relative units.
struct TFFACEPOLY {
  uint32_t Unused;
  uint32_t PointOffsets;
  uint32_t PointTextures;
  uint16_t Material;
  uint16_t Normal[3];
  uint16_t MinX, MaxX, MinZ, MaxZ;
  uint16_t Pad;
  uint8_t NbPoints;
  uint8_t Pad2;
};
static_assert(sizeof(TFFACEPOLY) == 32 && offsetof(TFFACEPOLY, Material) == 12 &&
                  offsetof(TFFACEPOLY, Normal) == 14 && offsetof(TFFACEPOLY, MinX) == 20 &&
                  offsetof(TFFACEPOLY, NbPoints) == 30,
              "polygon face as in the map file");

// The three face runs of a cell: ground faces, wheel-contact faces,
// body-contact faces.
constexpr int32_t SB_CELLRUNS = 3;
constexpr int32_t SB_GROUNDRUN = 0, SB_WHEELRUN = 1, SB_BODYRUN = 2;

// One cell of 16384 world units (51.2 m): key bytes are the cell numbers
// + 64. Every link is an offset into its array.
struct TFCUBE10POLY {
  uint8_t X, Y, Z;
  uint8_t Unused;
  uint16_t Distances[2];
  uint32_t Faces[SB_CELLRUNS];  // into the TFFACEPOLY array
  uint32_t PointTextures;       // into the TFPOINTTEXTURE array
  uint32_t PointOffsets;        // into the TFPOINTOFFSET array
  uint32_t PPointTextures;      // into the TFPPOINTTEXTURE array
  uint32_t PPointOffsets;       // into the TFPPOINTOFFSET array
  uint16_t NbFaces[SB_CELLRUNS];
  uint16_t NbPointTextures;
  uint16_t NbPointOffsets;
  uint16_t NbPPointTextures;
  uint16_t NbPPointOffsets;
  uint16_t Pad;
};
static_assert(sizeof(TFCUBE10POLY) == 52 && offsetof(TFCUBE10POLY, Faces) == 8 &&
                  offsetof(TFCUBE10POLY, PointTextures) == 20 && offsetof(TFCUBE10POLY, PPointOffsets) == 32 &&
                  offsetof(TFCUBE10POLY, NbFaces) == 36 && offsetof(TFCUBE10POLY, NbPPointOffsets) == 48,
              "polygon cell as in the map file");

// The loaded map (SB_Var.Decor): every array with its count. Arrays come
// from the owner-tagged heap; a null array has a count of 0.
struct TDECOR {
  TBIGENTITY* BigEntitys;
  int32_t NbBigEntitys;
  TSMALLENTITY* SmallEntitys;
  int32_t NbSmallEntitys;
  TMAPVERTEX* Vertices;
  int32_t NbVertices;
  TWORDVERTEX* WordVertices;
  int32_t NbWordVertices;
  TMAPFACE* Faces;
  int32_t NbFaces;
  uint32_t* SeenEntitys;  // one per small entity: offset of its list, 0 none
  uint16_t* SeenEntitysList;
  int32_t NbSeenEntitysList;
  uint32_t* PPointOffsets;  // TFPPOINTOFFSET: offsets into PointOffsets
  int32_t NbPPointOffsets;
  uint32_t* PPointTextures;  // TFPPOINTTEXTURE: offsets into PointTextures
  int32_t NbPPointTextures;
  TFPOINTOFFSET* PointOffsets;
  int32_t NbPointOffsets;
  TFPOINTTEXTURE* PointTextures;
  int32_t NbPointTextures;
  TFFACEPOLY* FacePolys;
  int32_t NbFacePolys;
  TFCUBE10POLY* Cube10Polys;
  int32_t NbCube10Polys;
  char Names2[SB_MAXTEXTURES][SB_TEXTURENAMESIZE];  // material names of the polygons
  int32_t NbNames2;
  int32_t Loaded;       // a map is in memory
  int32_t NewlyLoaded;  // the latest load request loaded or built it
  // Published copies, refreshed after every load or construction.
  TBIGENTITY* Cubes;
  int32_t NbCubes;
  int32_t NbMapFaces;
  // 0: the faces carry bit 8 of their texture number in the first u, as in
  // the file; 1: the software texture rescale moved it to the second v.
  int32_t FacesRescaled;
};

// ---------------------------------------------------------------------------
// The centre line: one point per metre, closed.
// ---------------------------------------------------------------------------

struct TBSPLINEPOINT {
  double X, Y, Z;  // metres
};
static_assert(sizeof(TBSPLINEPOINT) == 24, "centre-line point as in its file");

// ---------------------------------------------------------------------------
// Ground queries.
// ---------------------------------------------------------------------------

// A lookup list over records keyed by x, y, z bytes (big entitys or
// polygon cells): one X entry per x from the least to the greatest, each
// with a Z entry per z of its column, each with a Y slot per y of its
// column (the record there, or null). Null X or Z entries have no records.
template <typename Record>
struct TXZYLIST {
  struct ZENTRY {
    Record** Slots;
    int32_t FirstY;
    int32_t NbY;
  };
  struct XENTRY {
    ZENTRY* Zs;
    int32_t FirstZ;
    int32_t NbZ;
  };
  XENTRY* Xs;  // null: no list
  int32_t MinX, MaxX, MinY, MaxY, MinZ, MaxZ;
  void* Block;  // the one block carved for all of it
};

// One gathered face of a car's wheel or body list: the face, the offsets
// that make a world coordinate relative to its cell, and (wheel lists) the
// height of the cell's base.
struct TFACELISTENTRY {
  const TFFACEPOLY* Face;
  int32_t OffsetX;
  int32_t HeightBase;
  int32_t OffsetZ;
};

// The ground flags of SB_Var.GroundFlags, in word order.
constexpr int32_t SB_NBGROUNDFLAGS = 5;  // H, B, L, F, E
constexpr double SB_NOGROUND = 100000.0;
