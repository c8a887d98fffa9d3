// Filing one cube's faces into the map arrays: a small cube (byte
// vertices, a new small entity inside its big entity) or the reduced faces
// of an existing big cube (16-bit vertices). Each cube's vertices that begin
// a face carry a flag, and faces are turned to begin with such a vertex
// when they share one.
#include <cmath>
#include <cstring>

#include "shell/sbvar.h"
#include "track/cubes.h"

namespace {

constexpr uint8_t kFirstFlag = 1;

// One cube's vertex run: byte vertices of a small cube, word vertices of a
// big one, with the array-wide count and capacity.
template <typename Vertex>
struct TVERTEXRUN {
  Vertex* Run;          // the cube's first vertex
  uint8_t* CubeCount;   // the cube's vertex count
  int32_t* ArrayCount;  // vertices in the whole array
  int32_t Capacity;
};

template <typename Vertex>
bool Same(const Vertex& v, const int32_t c[3]) {
  return v.X == c[0] && v.Y == c[1] && v.Z == c[2];
}

// The flagged vertex equal to c, or -1.
template <typename Vertex>
int32_t FindFirst(const TVERTEXRUN<Vertex>& r, const int32_t c[3]) {
  for (int32_t i = 0; i < *r.CubeCount; ++i)
    if ((r.Run[i].Flags & kFirstFlag) && Same(r.Run[i], c)) return i;
  return -1;
}

// The vertex equal to c, added when missing (flag on request); -1 when the
// cube or the array is full.
template <typename Vertex>
int32_t FindOrAdd(const TVERTEXRUN<Vertex>& r, const int32_t c[3], bool first) {
  for (int32_t i = 0; i < *r.CubeCount; ++i)
    if (Same(r.Run[i], c)) {
      if (first) r.Run[i].Flags |= kFirstFlag;
      return i;
    }
  if (*r.CubeCount >= SB_MAXCUBEITEMS || *r.ArrayCount >= r.Capacity) return -1;
  Vertex& v = r.Run[(*r.CubeCount)++];
  ++*r.ArrayCount;
  v = Vertex{};
  v.X = static_cast<decltype(v.X)>(c[0]), v.Y = static_cast<decltype(v.Y)>(c[1]);
  v.Z = static_cast<decltype(v.Z)>(c[2]);
  v.Flags = first ? kFirstFlag : 0;
  return *r.CubeCount - 1;
}

// The texture number of a material entry, appended to the names when new
// and room is left; -1 when the names are full.
int32_t TextureOf(const char* material) {
  for (int32_t i = 0; i < SB_Var.NbTextures; ++i)
    if (std::memcmp(SB_Var.TextureNames[i], material, SB_TEXTURENAMESIZE) == 0) return i;
  if (SB_Var.NbTextures >= SB_MAXTEXTURES) return -1;
  std::memcpy(SB_Var.TextureNames[SB_Var.NbTextures], material, SB_TEXTURENAMESIZE);
  return SB_Var.NbTextures++;
}

uint16_t TextureCoord(double value) { return static_cast<uint16_t>(static_cast<int64_t>(std::floor(value * 4095.5))); }
uint8_t NormalByte(double n) { return static_cast<uint8_t>(static_cast<int32_t>(std::floor(n * 64 + 64.5))); }

// Files the face: rounded and made local (scale, cube size, the mask of
// the local coordinates), turned to its first vertex, vertices found or
// added; false when it was not stored.
template <typename Vertex>
bool FileFace(TLMAPFACE& f, const TVERTEXRUN<Vertex>& r, uint8_t* cubeFaces, double scale, int32_t size, int32_t mask) {
  TDECOR& d = SB_Var.Decor;
  if (*cubeFaces >= SB_MAXCUBEITEMS || d.NbFaces >= SB_MAXMAPFACES) return SB_DropFaces(1), false;
  int32_t c[3][3];
  const int32_t cube[3] = {f.CubeX, f.CubeY, f.CubeZ};
  for (int32_t k = 0; k < 3; ++k) {
    const double v[3] = {f.V[k].X, f.V[k].Y, f.V[k].Z};
    for (int32_t a = 0; a < 3; ++a) c[k][a] = static_cast<int32_t>(std::floor(v[a] * scale + 0.5));
  }
  for (int32_t k = 0; k < 3; ++k)
    if (std::memcmp(c[k], c[(k + 1) % 3], sizeof c[k]) == 0) return false;
  for (int32_t k = 0; k < 3; ++k)
    for (int32_t a = 0; a < 3; ++a) c[k][a] = (c[k][a] - size * cube[a]) & mask;
  int32_t start = 0;
  if (FindFirst(r, c[0]) < 0) start = FindFirst(r, c[1]) >= 0 ? 1 : FindFirst(r, c[2]) >= 0 ? 2 : 0;
  int32_t index[3];
  for (int32_t k = 0; k < 3; ++k)
    if ((index[k] = FindOrAdd(r, c[(start + k) % 3], k == 0)) < 0) return SB_DropFaces(1), false;
  f.Done = 1;
  ++*cubeFaces;
  TMAPFACE& m = d.Faces[d.NbFaces++];
  m = TMAPFACE{};
  for (int32_t k = 0; k < 3; ++k) m.Vertex[k] = static_cast<uint8_t>(index[k]);
  m.Vertex[3] = 255;
  m.Normal[0] = NormalByte(f.NormalX), m.Normal[1] = NormalByte(f.NormalY), m.Normal[2] = NormalByte(f.NormalZ);
  const int32_t t = TextureOf(f.Material);
  if (t >= 0) {
    for (int32_t k = 0; k < 3; ++k) {
      m.TextureCoords[2 * k] = TextureCoord(f.V[(start + k) % 3].U);
      m.TextureCoords[2 * k + 1] = TextureCoord(f.V[(start + k) % 3].V);
    }
    m.Texture = static_cast<uint8_t>(t & 255);
    m.TextureCoords[0] = static_cast<uint16_t>((m.TextureCoords[0] & 0x7FFF) | ((t >> 8) & 1) << 15);
  }
  return true;
}

// Faces of the group not filed yet.
int32_t Pending(const TLMAP* group) {
  int32_t n = 0;
  for (uint32_t i = 0; i < group->NbFaces; ++i) n += group->Faces[i].Done != 1;
  return n;
}

TBIGENTITY* FindBig(int32_t kx, int32_t ky, int32_t kz) {
  TDECOR& d = SB_Var.Decor;
  for (int32_t i = 0; i < d.NbBigEntitys; ++i) {
    TBIGENTITY& b = d.BigEntitys[i];
    if (b.KeyX == kx && b.KeyY == ky && b.KeyZ == kz) return &b;
  }
  return nullptr;
}

int32_t BigKey(int32_t c) { return ((c + 2) >> 2) + 64; }
uint8_t SmallPosition(int32_t c) { return static_cast<uint8_t>(((c + 2) & 3) + 62); }

TBIGENTITY* FindOrAddBigEntity(const TLMAPFACE& f) {
  TDECOR& d = SB_Var.Decor;
  if (TBIGENTITY* b = FindBig(BigKey(f.CubeX), BigKey(f.CubeY), BigKey(f.CubeZ))) return b;
  if (d.NbBigEntitys >= SB_MAXBIGENTITYS) return nullptr;
  TBIGENTITY& b = d.BigEntitys[d.NbBigEntitys++];
  b = TBIGENTITY{};
  b.KeyX = static_cast<uint8_t>(BigKey(f.CubeX)), b.KeyY = static_cast<uint8_t>(BigKey(f.CubeY));
  b.KeyZ = static_cast<uint8_t>(BigKey(f.CubeZ));
  b.SmallEntitys = static_cast<uint32_t>(d.NbSmallEntitys * sizeof(TSMALLENTITY));
  return &b;
}

// A new small entity right after the big entity's last one; the later
// small entitys move up one record, and so do the other big entitys' links
// to them.
TSMALLENTITY* AddSmallEntity(const TLMAPFACE& f, TBIGENTITY* big) {
  TDECOR& d = SB_Var.Decor;
  if (d.NbSmallEntitys >= SB_MAXSMALLENTITYS) return nullptr;
  const uint32_t at = big->SmallEntitys / sizeof(TSMALLENTITY) + big->NbSmallEntitys;
  std::memmove(&d.SmallEntitys[at + 1], &d.SmallEntitys[at], (d.NbSmallEntitys - at) * sizeof(TSMALLENTITY));
  ++d.NbSmallEntitys;
  for (int32_t i = 0; i < d.NbBigEntitys; ++i) {
    TBIGENTITY& other = d.BigEntitys[i];
    if (&other != big && other.SmallEntitys >= at * sizeof(TSMALLENTITY)) other.SmallEntitys += sizeof(TSMALLENTITY);
  }
  ++big->NbSmallEntitys;
  TSMALLENTITY& s = d.SmallEntitys[at];
  s = TSMALLENTITY{};
  s.X = SmallPosition(f.CubeX), s.Z = SmallPosition(f.CubeZ), s.Y = SmallPosition(f.CubeY);
  s.Vertices = static_cast<uint32_t>(d.NbVertices * sizeof(TMAPVERTEX));
  s.Faces = static_cast<uint32_t>(d.NbFaces * sizeof(TMAPFACE));
  return &s;
}

}  // namespace

void SB_CubeGroupToSmall(TLMAP* workGroup) {
  if (!workGroup->NbFaces) return;
  TBIGENTITY* big = FindOrAddBigEntity(workGroup->Faces[0]);
  TSMALLENTITY* small = big ? AddSmallEntity(workGroup->Faces[0], big) : nullptr;
  if (!small) return SB_DropFaces(Pending(workGroup));
  TDECOR& d = SB_Var.Decor;
  const TVERTEXRUN<TMAPVERTEX> run{d.Vertices + small->Vertices / sizeof(TMAPVERTEX), &small->NbVertices,
                                   &d.NbVertices, SB_MAXVERTICES};
  for (uint32_t i = 0; i < workGroup->NbFaces; ++i)
    if (workGroup->Faces[i].Done != 1) FileFace(workGroup->Faces[i], run, &small->NbFaces, 1.0, 128, 0xFF);
}

void SB_CubeGroupToBig(TLMAP* workGroup) {
  if (!workGroup->NbFaces) return;
  const TLMAPFACE& f = workGroup->Faces[0];
  TBIGENTITY* big = FindBig(f.CubeX + 64, f.CubeY + 64, f.CubeZ + 64);
  if (!big) return SB_DropFaces(Pending(workGroup));
  TDECOR& d = SB_Var.Decor;
  big->NbWordVertices = big->NbFaces = 0;
  big->WordVertices = static_cast<uint32_t>(d.NbWordVertices * sizeof(TWORDVERTEX));
  big->Faces = static_cast<uint32_t>(d.NbFaces * sizeof(TMAPFACE));
  const TVERTEXRUN<TWORDVERTEX> run{d.WordVertices + big->WordVertices / sizeof(TWORDVERTEX), &big->NbWordVertices,
                                    &d.NbWordVertices, SB_MAXWORDVERTICES};
  for (uint32_t i = 0; i < workGroup->NbFaces; ++i)
    if (workGroup->Faces[i].Done != 1) FileFace(workGroup->Faces[i], run, &big->NbFaces, 4.0, 512, 0xFFFF);
}
