// Records of the track that other floors hold: a start slot of the
// circuit, and the loaded race map (SB_Var.Decor) as it lies in memory and
// in the map file: cubes, their vertices and faces, the visibility lists
// and the textured-polygon cells. Every pointer field of a map record is a
// 32-bit byte offset into the array it points into (track/decor.h gives
// the records).
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

// The map's extent on each axis, in metres: its cells are numbered by a
// byte less 64, each 51.2 m (16384 world units) on a side.
constexpr double SB_MAPCELLMETRES = 51.2;
constexpr double SB_MAPLOWMETRES = -64 * SB_MAPCELLMETRES;
constexpr double SB_MAPHIGHMETRES = 192 * SB_MAPCELLMETRES;
// The world a position in map units (1/320 m in 32 bits) can name, on
// each side of the origin: about 6,710 km.
constexpr double SB_WORLDMETRES = 2147483647.0 / 320.0;

// The most points a centre line (one a metre) holds: as many as the race
// line's metre table that the track editor writes. A longer file is
// refused: its metres could not be raced, and its gap tables would not fit.
constexpr int32_t SB_MOSTBSPLINEPOINTS = 10000;

// What a centre-line file holds, as its reader finds it.
constexpr int32_t SB_LINEFILE_SOUND = 0;
constexpr int32_t SB_LINEFILE_MISSING = 1;   // no file, or no name
constexpr int32_t SB_LINEFILE_CORRUPT = 2;   // not a count and that many finite points
constexpr int32_t SB_LINEFILE_TOOLARGE = 3;  // more than SB_MOSTBSPLINEPOINTS points

constexpr int32_t SB_MAXTEXTURES = 512;  // names and names2 tables
constexpr int32_t SB_TEXTURENAMESIZE = 15;

// A big cube of 512 units, its runs of word vertices, faces and small cubes.
struct TBIGENTITY {
  uint8_t KeyX, KeyY, KeyZ;  // big cube number + 64
  uint8_t NbSmallEntitys;
  uint32_t WordVertices;  // offset of the first TWORDVERTEX
  uint32_t Faces;         // offset of the first TMAPFACE
  uint32_t SmallEntitys;  // offset of the first TSMALLENTITY
  uint32_t BsplineIndices;  // nearest centre-line index (low half), alternative (high half)
  uint8_t NbWordVertices;
  uint8_t NbFaces;
  uint8_t Unused[2];
};
static_assert(sizeof(TBIGENTITY) == 24 && offsetof(TBIGENTITY, BsplineIndices) == 16 &&
              offsetof(TBIGENTITY, NbWordVertices) == 20);

// A small cube of 128 units inside its big cube.
struct TSMALLENTITY {
  uint8_t X, Z, Y;  // 62..65 inside the big cube
  uint8_t NbVertices;
  uint32_t Vertices;  // offset of the first TMAPVERTEX
  uint32_t Faces;     // offset of the first TMAPFACE
  uint8_t NbFaces;
  uint8_t Unused[3];
};
static_assert(sizeof(TSMALLENTITY) == 16 && offsetof(TSMALLENTITY, NbFaces) == 12);

struct TMAPVERTEX {
  uint8_t X, Y, Z;  // from the small cube's corner
  uint8_t Flags;    // bit 0: first vertex of a face
};
static_assert(sizeof(TMAPVERTEX) == 4);

struct TWORDVERTEX {
  uint16_t X, Y, Z;  // from the big cube's corner
  uint8_t Flags;
  uint8_t Unused;
};
static_assert(sizeof(TWORDVERTEX) == 8);

// A triangle (fourth index 255) or quadrangle of a cube.
struct TMAPFACE {
  uint32_t ShadeOrKey;  // the face shading's value; on the software path, the depth key of the frame
  uint8_t Vertex[4];   // into the cube's vertex run
  uint16_t TextureCoords[8];  // u, v of the four corners (a triangle's fourth pair unused)
  uint8_t Normal[3];  // 64 = zero, 128 = +1; Normal[1] is up
  uint8_t Texture;    // low 8 bits of the texture number
  uint32_t Unused2;
};
static_assert(sizeof(TMAPFACE) == 32 && offsetof(TMAPFACE, Vertex) == 4 &&
              offsetof(TMAPFACE, TextureCoords) == 8 && offsetof(TMAPFACE, Normal) == 24 &&
              offsetof(TMAPFACE, Texture) == 27);

struct TFPOINTOFFSET {
  uint16_t X, Y, Z;  // coordinate x 32
};
static_assert(sizeof(TFPOINTOFFSET) == 6);

struct TFPOINTTEXTURE {
  uint16_t U, V;
  uint16_t Unused;
};
static_assert(sizeof(TFPOINTTEXTURE) == 6);

// A textured polygon of a cell.
struct TFFACEPOLY {
  uint32_t Shades;      // the two shades of the face shading
  uint32_t PointOffsets;   // offset of its run of TFPPOINTOFFSET entries
  uint32_t PointTextures;  // offset of its run of TFPPOINTTEXTURE entries
  uint16_t Material;
  uint16_t Normal[3];  // component x 8192 + 8256.5
  uint16_t Box[4];     // min x, max x, min z, max z
  uint16_t Unused1;
  uint8_t NbCorners;
  uint8_t Unused2;
};
static_assert(sizeof(TFFACEPOLY) == 32 && offsetof(TFFACEPOLY, Material) == 12 &&
              offsetof(TFFACEPOLY, Box) == 20 && offsetof(TFFACEPOLY, NbCorners) == 30);

// A cell of 512 units of the textured-polygon map with its runs.
struct TFCUBE10POLY {
  uint8_t X, Y, Z;  // cell number + 64
  uint8_t Unused1;
  uint16_t BsplineIndices[2];  // nearest and alternative centre-line index
  uint32_t FaceRuns[3];        // ground, wheel-contact and body-contact faces
  uint32_t PointTextures;
  uint32_t PointOffsets;
  uint32_t PPointTextures;
  uint32_t PPointOffsets;
  uint16_t NbFaces[3];
  uint16_t NbPointTextures;
  uint16_t NbPointOffsets;
  uint16_t NbPPointTextures;
  uint16_t NbPPointOffsets;
  uint16_t Unused2;
};
static_assert(sizeof(TFCUBE10POLY) == 52 && offsetof(TFCUBE10POLY, FaceRuns) == 8 &&
              offsetof(TFCUBE10POLY, PointTextures) == 20 && offsetof(TFCUBE10POLY, NbFaces) == 36 &&
              offsetof(TFCUBE10POLY, NbPPointOffsets) == 48);

// The loaded map: counted arrays, the name tables' second half, the
// flags and the copies the cube readers use.
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
  uint32_t* SeenEntitys;  // one offset into SeenEntitysList per small entity, 0 none
  uint16_t* SeenEntitysList;
  int32_t NbSeenEntitysList;
  uint32_t* PPointOffsets;   // TFPPOINTOFFSET: offsets into PointOffsets
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
  char Names2[SB_MAXTEXTURES][SB_TEXTURENAMESIZE];
  int32_t NbNames2;
  int32_t Loaded;
  int32_t NewlyLoaded;
  TBIGENTITY* Cubes;  // published copies
  int32_t NbCubes;
  int32_t NbMapFaces;
  // 0: a cube face carries bit 8 of its texture number in its first u, as
  // in the file; 1: the software texture rescale moved it to its second v.
  int32_t FacesRescaled;
};

// The three face runs of a cell.
constexpr int32_t SB_CELLRUNS = 3;
constexpr int32_t SB_GROUNDRUN = 0, SB_WHEELRUN = 1, SB_BODYRUN = 2;

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
