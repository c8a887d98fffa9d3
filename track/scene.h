// The raw triangle map read from a 3D-Studio ASCII scene, the scene reader
// and the construction that turns the triangles into the loaded map.
#pragma once
#include <cstdint>

// One corner of a raw triangle, in map units (u, v as the scene gives them).
struct TLMAPVERTEX {
  double X, Y, Z, U, V;
};

// One triangle during construction. Never written to a file.
struct TLMAPFACE {
  TLMAPVERTEX V[3];
  int32_t CubeX, CubeY, CubeZ;  // filled by the cube split
  double NormalX, NormalY, NormalZ;
  uint8_t Done;
  char Material[15];  // name (8 bytes), then the sorted flag letters (7)
};

struct TLMAP {
  uint32_t NbFaces;
  TLMAPFACE* Faces;
  uint32_t Capacity;  // records the face block holds
  const char* Owner = nullptr;  // owner tag of the face block, named when it is full
};

// Limits of the scene reader and of the later stages.
constexpr int32_t SB_SCENELINESIZE = 256;  // a line of at most 255 characters
constexpr int32_t SB_MAXOBJECTVERTICES = 16384;
constexpr int32_t SB_MAXOBJECTFACES = 8192;
constexpr int32_t SB_MAXMAPFACES = 200000;
constexpr double SB_MAXFACESPAN = 2000.0;   // per axis, between two corners
constexpr double SB_MAXMAPPING = 200.0;     // magnitude of u or v
// Map units the cube keys can hold on every axis (both cube forms).
constexpr double SB_MINMAPCOORD = -32960.0;
constexpr double SB_MAXMAPCOORD = 98047.0;
constexpr uint32_t SB_GAMEHEAPSIZE = 80000000;
constexpr int32_t SB_KEY_ESCAPE = 27;

// Line reader over a zero-ended text.
struct TASCIIREADER {
  const char* Text;
  const char* Pos;
  char Line[SB_SCENELINESIZE];
  int32_t Unread;   // the line is given again by the next read
  int32_t TooLong;  // a line over 255 characters ended the text
};

void SB_InitAsciiReader(TASCIIREADER* reader, const char* text);
// 1 with the next cleaned line in reader->Line; 0 at the end of the text
// or at a line too long.
int32_t SB_ReadAsciiLine(TASCIIREADER* reader);
void SB_UnreadAsciiLine(TASCIIREADER* reader);
// Tabs become blanks, leading blanks go, runs of blanks shrink to one.
void SB_CleanAsciiLine(char* line);
// Normalises the 15-byte entry in place: the name up to the first blank or
// quote (8 at most), then the digit and capital flag letters sorted.
void SB_ParseMaterialName(char* entry);

// The reader's per-object work arrays.
struct TSCENEWORK {
  TLMAPVERTEX Vertices[SB_MAXOBJECTVERTICES];
  uint8_t VertexDefined[SB_MAXOBJECTVERTICES];  // 1 defined, 2 defined without u and v
  TLMAPFACE Faces[SB_MAXOBJECTFACES];
  uint8_t FaceDefined[SB_MAXOBJECTFACES];
  char NextFile[SB_SCENELINESIZE];  // name after a '$' object, "" none
  int32_t HasNext;
  long Objects;  // objects met in the current file
};

TLMAP* SB_Init3dMap();
void SB_FreeTLMAP(TLMAP* map);
// Reads one object into the map; 1 to go on, 0 at the end of the text.
int32_t SB_ReadANewObject(TLMAP* map, TASCIIREADER* reader, TSCENEWORK* work);
// Reads the scene and the files it chains to; null on failure.
TLMAP* SB_LoadAsciiMap(const char* path);

// Construction of the loaded map from the welded triangles; 1 built, 0 when
// an allocation failed (everything taken is released).
int32_t SB_ConstructMap(TLMAP* map);
void SB_WeldMapVertices(TLMAP* map);
// The plain comparison of every vertex with every later face: the result
// the hashed weld must give.
int32_t SB_WeldMapVerticesReference(TLMAP* map);
// The hashed weld; returns the welded count.
int32_t SB_WeldMapVerticesHashed(TLMAP* map);
void SB_CalcMapNormals(TLMAP* map);
void SB_DetectBumps(TLMAP* map);
TLMAP* SB_CopyMap(const TLMAP* map);
void SB_ReduceMap(TLMAP* map);
int32_t SB_InitMapConstruction(TLMAP** workGroup);
int32_t SB_SamePoint(const TLMAPVERTEX* a, const TLMAPVERTEX* b);

// Later stages of the construction.
int32_t SB_ConvertAscToDec(TLMAP* map);
void SB_SplitMap2Cube(TLMAP* map, TLMAP* workGroup);
void SB_SplitMap2CubeBig(TLMAP* map, TLMAP* workGroup);
void SB_3D_BuildPvs();
