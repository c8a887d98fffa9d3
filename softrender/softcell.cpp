// The software map frame's work on one cell: its word vertices turned into
// camera space through the rotation tables with additions and shifts
// only, its faces culled by distance, facing and the networked-race
// letter, the vertices they use projected with their clip codes, and the
// faces keyed by depth.
#include <cmath>

#include "shell/sbvar.h"
#include "softrender/softmap.h"
#include "track/decor.h"

namespace {

// The largest word-vertex coordinate whose high part (coordinate >> 2)
// stays inside the 129-entry tables.
constexpr uint16_t kLastWord = 4 * (SB_ROTTABLESIZE - 1) + 3;
// A face's fourth vertex number for a triangle.
constexpr uint8_t kNoVertex = 255;

const int32_t* Table(int32_t n) { return SB_Var.RotationTables[n].Entries; }

bool InTables(const TWORDVERTEX& v) { return v.X <= kLastWord && v.Y <= kLastWord && v.Z <= kLastWord; }

int32_t CornerCount(const TMAPFACE& face) { return face.Vertex[3] == kNoVertex ? 3 : 4; }

// Every corner of the face has coordinates inside the tables, and its
// normal's indexes too.
bool FaceInTables(const TSOFTCELL& cell, const TMAPFACE& face) {
  for (int32_t k = 0; k < CornerCount(face); ++k)
    if (face.Vertex[k] >= cell.NbVertices || !InTables(cell.WordVertices[face.Vertex[k]])) return false;
  return face.Normal[0] < SB_ROTTABLESIZE && face.Normal[1] < SB_ROTTABLESIZE && face.Normal[2] < SB_ROTTABLESIZE;
}

// One camera axis of a word vertex: the low two bits of each coordinate
// through entries 64..67, the high bits through entries 0..128.
int32_t Axis(int32_t axis, const int32_t lo[3], const int32_t hi[3], int32_t cell) {
  const int32_t* a = Table(axis);
  const int32_t* b = Table(axis + 3);
  const int32_t* c = Table(axis + 6);
  return (((a[lo[0]] + b[lo[1]] + c[lo[2]] + 64) >> 7) + ((a[hi[0]] + b[hi[1]] + c[hi[2]] + 16) >> 5) + cell) >> 2;
}

// The texture record of a face: its page and material number.
const TTEXTUREPLACE& Place(const TMAPFACE& face) { return SB_Var.TexturePlaces[SB_MapFaceTexture(&face)]; }

// Whether a listed face of the cell is kept: near enough, facing the
// camera or double-sided, and shown in this kind of race.
bool Keep(const TSOFTCELL& cell, const TMAPFACE& face) {
  const TTEXTUREPLACE& place = Place(face);
  if (SB_Var.MultiView && place.A) return false;
  if (!FaceInTables(cell, face)) return false;
  const int32_t first = face.Vertex[0];
  TVIEWVERTEX& v = E3D_SoftMap.Vertices[first];
  if (v.State != SB_VIEWVERTEX_DONE) E3D_SoftTransformVertex(&cell, first);
  const double x = v.X, y = v.Y, z = v.Z;
  if (x * x + y * y + z * z >= static_cast<double>(SB_Var.FarDistanceSq)) return false;
  const uint8_t* n = face.Normal;
  const double nx = Table(0)[n[0]] + Table(3)[n[1]] + Table(6)[n[2]];
  const double ny = Table(1)[n[0]] + Table(4)[n[1]] + Table(7)[n[2]];
  const double nz = Table(2)[n[0]] + Table(5)[n[1]] + Table(8)[n[2]];
  return nx * x + ny * y + nz * z > 0.0 || place.D;
}

void Project(TVIEWVERTEX& v) {
  if (v.Z < SB_SOFTNEAR) {
    v.Code = CLIP_NEAR;
    return;
  }
  const float s = static_cast<float>(SB_Var.Focal) / static_cast<float>(v.Z);
  v.ScreenX = static_cast<int32_t>(std::lround(static_cast<float>(v.X) * s)) + SB_Var.CenterX;
  v.ScreenY = static_cast<int32_t>(std::lround(static_cast<float>(v.Y) * s)) + SB_Var.CenterY;
  int32_t code = 0;
  if (v.ScreenX < 0) code |= CLIP_LEFT;
  if (v.ScreenX >= SB_Var.ViewWidth) code |= CLIP_RIGHT;
  if (v.ScreenY < 0) code |= CLIP_TOP;
  if (v.ScreenY >= SB_Var.ViewHeight) code |= CLIP_BOTTOM;
  v.Code = code;
}

}  // namespace

void E3D_SoftTransformVertex(const TSOFTCELL* cell, int32_t i) {
  const TWORDVERTEX& w = cell->WordVertices[i];
  const int32_t lo[3] = {(w.X & 3) + 64, (w.Y & 3) + 64, (w.Z & 3) + 64};
  const int32_t hi[3] = {w.X >> 2, w.Y >> 2, w.Z >> 2};
  TVIEWVERTEX& v = E3D_SoftMap.Vertices[i];
  v.X = Axis(0, lo, hi, cell->X);
  v.Y = Axis(1, lo, hi, cell->Y);
  v.Z = Axis(2, lo, hi, cell->Z);
  v.State = SB_VIEWVERTEX_DONE;
  ++E3D_SoftMap.NbTransformed;
}

void E3D_SoftPrepareObjVerts(TSOFTCELL* cell) {
  for (int32_t i = 0; i < cell->NbVertices; ++i) {
    TWORDVERTEX& w = cell->WordVertices[i];
    w.Flags &= SB_WORDVERTEX_EAGER;
    E3D_SoftMap.Vertices[i].State = SB_VIEWVERTEX_STALE;
    if (w.Flags && InTables(w)) E3D_SoftTransformVertex(cell, i);
  }
}

void E3D_SoftListObjPolys(TSOFTCELL* cell) {
  TSOFTMAPFRAME& f = E3D_SoftMap;
  f.NbCellFaces = 0;
  for (int32_t i = 0; i < cell->NbFaces && f.NbCellFaces < SB_MAXCELLFACES; ++i) {
    TMAPFACE& face = cell->Faces[i];
    if (!Keep(*cell, face)) continue;
    for (int32_t k = 0; k < CornerCount(face); ++k) cell->WordVertices[face.Vertex[k]].Flags |= SB_WORDVERTEX_MARKED;
    f.CellFaces[f.NbCellFaces++] = &face;
  }
}

void E3D_SoftCullCell(void*, TSOFTCELL* cell) {
  E3D_SoftMap.NbCellFaces = 0;
  if (!cell || !cell->WordVertices || !cell->Faces || cell->NbVertices <= 0) return;
  E3D_SoftPrepareObjVerts(cell);
  E3D_SoftListObjPolys(cell);
}

void E3D_SoftProjectObjVerts(TSOFTCELL* cell) {
  for (int32_t i = 0; i < cell->NbVertices; ++i) {
    if (!(cell->WordVertices[i].Flags & SB_WORDVERTEX_MARKED)) continue;
    ++E3D_SoftMap.NbProjected;
    TVIEWVERTEX& v = E3D_SoftMap.Vertices[i];
    if (v.State != SB_VIEWVERTEX_DONE) E3D_SoftTransformVertex(cell, i);
    Project(v);
  }
}

void E3D_SoftSetDepthKeys(TSOFTCELL*) {
  const TSOFTMAPFRAME& f = E3D_SoftMap;
  for (int32_t i = 0; i < f.NbCellFaces; ++i) {
    TMAPFACE& face = *f.CellFaces[i];
    const uint8_t* n = face.Vertex;
    const int32_t z0 = f.Vertices[n[0]].Z, z1 = f.Vertices[n[1]].Z, z2 = f.Vertices[n[2]].Z;
    int32_t key = CornerCount(face) == 3 ? z0 + z1 + z2 : ((z0 + z1 + z2 + f.Vertices[n[3]].Z) * 3) >> 2;
    if (Place(face).Z) key -= SB_DEPTHBIAS;
    face.ShadeOrKey = static_cast<uint32_t>(key);
  }
}

void E3D_SoftProjectCell(void*, TSOFTCELL* cell) {
  if (!cell || !cell->WordVertices || E3D_SoftMap.NbCellFaces == 0) return;
  E3D_SoftProjectObjVerts(cell);
  E3D_SoftSetDepthKeys(cell);
}
