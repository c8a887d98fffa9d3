// The software map frame's gathering: the big entities of the x columns
// around the camera's whose bounding sphere lies in front of the near
// plane, nearer than the far distance and inside the view's side planes,
// and the cells made of them.
#include "shell/sbvar.h"
#include "softrender/softmap.h"
#include "track/decor.h"

TSOFTMAPFRAME E3D_SoftMap;

namespace {

// Columns walked on either side of the camera's.
constexpr int32_t kColumnReach = 4;
// Below this many entities the walk starts at the first one.
constexpr int32_t kSearchFrom = 10;

const int32_t* Table(int32_t n) { return SB_Var.RotationTables[n].Entries; }

bool InTables(const TBIGENTITY& e) {
  return e.KeyX < SB_ROTTABLESIZE && e.KeyY < SB_ROTTABLESIZE && e.KeyZ < SB_ROTTABLESIZE;
}

// The first entity whose x index is at least `least`: the first of all in
// a small map, else by bisection over the x-sorted array.
int32_t FirstEntity(const TBIGENTITY* entities, int32_t count, int32_t least) {
  if (count <= kSearchFrom) return 0;
  int32_t lo = 0, hi = count;
  while (lo < hi) {
    const int32_t mid = lo + (hi - lo) / 2;
    if (entities[mid].KeyX < least)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

// The sphere tests of an entity at camera-relative (x, y, z): in front of
// the near plane, nearer than the far distance, inside the four sides.
// Wide sums, so that a camera far outside the map overflows nothing.
bool SphereInView(int64_t x, int64_t y, int64_t z) {
  if (z <= SB_CELLNEAR || z >= int64_t{SB_Var.ViewFar} + SB_CELLREACH) return false;
  const float reach = static_cast<float>(SB_CELLREACH);
  const float fx = static_cast<float>(x), fy = static_cast<float>(y), fz = static_cast<float>(z);
  if (fx * SB_Var.SlopeCosX - fz * SB_Var.SlopeSinX >= reach) return false;
  if (fx * SB_Var.SlopeCosX + fz * SB_Var.SlopeSinX <= -reach) return false;
  if (fy * SB_Var.SlopeCosY - fz * SB_Var.SlopeSinY >= reach) return false;
  if (fy * SB_Var.SlopeCosY + fz * SB_Var.SlopeSinY <= -reach) return false;
  return true;
}

}  // namespace

int32_t SB_CameraCellX(const TCAMERA* camera) {
  return static_cast<int32_t>(((((((int64_t{camera->CurrentX} + 16) >> 5) + 64) >> 7) + 2) >> 2) + 64);
}

void SB_TransformMapSectors(TCAMERA* camera) {
  TSOFTMAPFRAME& f = E3D_SoftMap;
  f.NbVisible = 0;
  const TDECOR& d = SB_Var.Decor;
  if (!camera || !d.BigEntitys || d.NbBigEntitys <= 0) return;
  if (f.Visible.size() < static_cast<size_t>(d.NbBigEntitys)) f.Visible.resize(static_cast<size_t>(d.NbBigEntitys));
  const int32_t c = SB_CameraCellX(camera);
  for (int32_t i = FirstEntity(d.BigEntitys, d.NbBigEntitys, c - kColumnReach);
       i < d.NbBigEntitys && d.BigEntitys[i].KeyX <= c + kColumnReach; ++i) {
    const TBIGENTITY& e = d.BigEntitys[i];
    if (!InTables(e)) continue;
    const int64_t z = int64_t{Table(2)[e.KeyX]} + Table(5)[e.KeyY] + Table(8)[e.KeyZ] - camera->RotatedZ;
    const int64_t x = int64_t{Table(0)[e.KeyX]} + Table(3)[e.KeyY] + Table(6)[e.KeyZ] - camera->RotatedX;
    const int64_t y = int64_t{Table(1)[e.KeyX]} + Table(4)[e.KeyY] + Table(7)[e.KeyZ] - camera->RotatedY;
    if (!SphereInView(x, y, z)) continue;
    f.Visible[static_cast<size_t>(f.NbVisible++)] = {static_cast<int32_t>(x), static_cast<int32_t>(y),
                                                      static_cast<int32_t>(z), &e};
  }
}

void SB_AddSoftPolygonEntry(const TVISIBLEENTITY* entity, TSOFTCELL** cell, TSOFTCELL*** pointer) {
  const TBIGENTITY& e = *entity->Entity;
  // The entity's origin, offset by an eighth of a cell along each map axis
  // as the vertex transform expects (table entry 65 is the coefficient).
  const int32_t sx = (Table(0)[65] + Table(3)[65] + Table(6)[65] + 4) >> 3;
  const int32_t sy = (Table(1)[65] + Table(4)[65] + Table(7)[65] + 4) >> 3;
  const int32_t sz = (Table(2)[65] + Table(5)[65] + Table(8)[65] + 4) >> 3;
  TSOFTCELL& out = **cell;
  out.Key = entity->Z;
  out.X = 4 * (entity->X - sx), out.Y = 4 * (entity->Y - sy), out.Z = 4 * (entity->Z - sz);
  out.NbVertices = e.NbWordVertices, out.NbFaces = e.NbFaces;
  out.WordVertices = SB_DecorWordVertexRun(e.WordVertices, e.NbWordVertices);
  out.Faces = SB_DecorFaceRun(e.Faces, e.NbFaces);
  **pointer = &out;
  ++*cell, ++*pointer;
}
