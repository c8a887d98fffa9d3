// Cutting a map copy along the cube grid: x cuts over the whole map, then
// slab by slab the z and y cuts and the groups of faces of one cube, which
// are joined and cut at texture repeats; then, the corners of every cube
// known, each group's T-junctions mended and the group filed into the cube
// arrays. Also the texture-repeat cuts themselves, which use the same edge
// cut.
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "track/cubes.h"

namespace {

constexpr int32_t kCube = 128;
constexpr double kEdgeMargin = 0.000001;  // edge fractions this near an end are not cut
constexpr double kRepeat = 8.0;           // texture repeats a face may span
constexpr double kBigScale = 4.0;         // the big cubes' map is reduced by 4

int32_t g_progress = 0, g_slabStartProgress = 0;  // this slab's and the last one's

double& Axis(TLMAPVERTEX& v, int32_t axis) { return axis == 0 ? v.X : axis == 1 ? v.Y : v.Z; }
double AxisOf(const TLMAPVERTEX& v, int32_t axis) { return axis == 0 ? v.X : axis == 1 ? v.Y : v.Z; }

TLMAPVERTEX Lerp(const TLMAPVERTEX& a, const TLMAPVERTEX& b, double t) {
  return {a.X + t * (b.X - a.X), a.Y + t * (b.Y - a.Y), a.Z + t * (b.Z - a.Z), a.U + t * (b.U - a.U),
          a.V + t * (b.V - a.V)};
}

// The planes of an axis: from (min & ~127) + 128 to max & ~127.
void Planes(int32_t min, int32_t max, int32_t* first, int32_t* last) {
  *first = (min & ~(kCube - 1)) + kCube;
  *last = max & ~(kCube - 1);
}

// Cuts every face of the list (pieces included) at every plane of the axis
// it crosses; false when the list overflowed.
bool CutAll(TLMAP* map, int32_t axis, int32_t first, int32_t last, bool setCubes) {
  for (uint32_t i = 0; i < map->NbFaces; ++i) {
    for (int32_t p = first; p <= last; p += kCube) {
      const TLMAPFACE& f = map->Faces[i];
      const double a = AxisOf(f.V[0], axis), b = AxisOf(f.V[1], axis), c = AxisOf(f.V[2], axis);
      if ((a < p && b < p && c < p) || (a > p && b > p && c > p)) continue;
      for (int32_t e = 0; e < 3; ++e)
        if (!SB_CutFaceAxis(map, i, e, (e + 1) % 3, axis, p) && SB_Var.MapBuildFailed) return false;
    }
    if (setCubes) SB_SetFaceCube(&map->Faces[i]);
  }
  return true;
}

// The faces whose three x lie in [s, s + 128], copied in list order.
bool FillSlab(const TLMAP* map, TLMAP* slab, int32_t s) {
  slab->NbFaces = 0;
  for (uint32_t i = 0; i < map->NbFaces; ++i) {
    const TLMAPFACE& f = map->Faces[i];
    bool inside = true;
    for (const TLMAPVERTEX& v : f.V) inside = inside && v.X >= s && v.X <= s + kCube;
    if (!inside) continue;
    if (slab->NbFaces == slab->Capacity) {
      SB_MapBufferFull(slab->Owner);
      return false;
    }
    slab->Faces[slab->NbFaces++] = f;
  }
  return true;
}

// Whether the group's faces go into one cube: at most 255 faces and 255
// corners once rounded as the filing rounds them (scale 1 for the small
// cubes, 4 for the big ones, whose map is reduced by 4).
bool FitsCube(const TLMAP* group, double scale) {
  std::vector<std::array<int64_t, 3>> corners;
  int32_t faces = 0;
  for (uint32_t i = 0; i < group->NbFaces; ++i) {
    const TLMAPFACE& f = group->Faces[i];
    if (f.Done == 1) continue;
    ++faces;
    for (const TLMAPVERTEX& v : f.V)
      corners.push_back({static_cast<int64_t>(std::floor(v.X * scale + 0.5)),
                         static_cast<int64_t>(std::floor(v.Y * scale + 0.5)),
                         static_cast<int64_t>(std::floor(v.Z * scale + 0.5))});
  }
  std::sort(corners.begin(), corners.end());
  const auto distinct = std::unique(corners.begin(), corners.end()) - corners.begin();
  return faces <= SB_MAXCUBEITEMS && distinct <= SB_MAXCUBEITEMS;
}

// The joins and texture cuts of one cube's group, small or big. The coarse
// series counts corners up to 2 units apart as one and lines 2 units off
// as straight, so its faces leave real gaps to their neighbours
// (background lines along the road's edges in the software renderer,
// which draws the big cubes): it is run only on a big cube whose faces
// would not go into it otherwise.
void JoinGroup(TLMAP* workGroup, bool big) {
  SB_JoinSeriesFine(workGroup);
  if (SB_Var.SplitTextureRepeats) {
    SB_SplitTextureRepeats(workGroup);
    SB_JoinSeriesFine(workGroup);
  }
  if (big && !FitsCube(workGroup, kBigScale)) SB_JoinSeriesCoarse(workGroup);
}

// Every cube's joined faces, kept until the corners of all of them are
// known: a join takes a corner away on one side of an edge, which the
// faces on the other side, in the same cube or the one beside it, keep.
struct TJOINEDGROUPS {
  std::vector<TLMAPFACE> faces;
  std::vector<size_t> starts;  // each group's first face; the last entry ends the faces
};

void SplitGroups(TLMAP* slab, TLMAP* workGroup, bool big, TJOINEDGROUPS* joined) {
  for (uint32_t i = 0; i < slab->NbFaces; ++i) slab->Faces[i].Done = 0;
  while (!SB_Var.MapBuildFailed && SB_NextCubeGroup(workGroup, slab)) {
    if (g_progress != g_slabStartProgress) SB_ConsoleStatus("Map to cube conversion :  %ld/100", long{g_progress});
    JoinGroup(workGroup, big);
    joined->faces.insert(joined->faces.end(), workGroup->Faces, workGroup->Faces + workGroup->NbFaces);
    joined->starts.push_back(joined->faces.size());
  }
}

// The cube of a point, packed into one key.
uint64_t CubeKey(int64_t x, int64_t y, int64_t z) {
  return static_cast<uint64_t>(x & 0x1FFFFF) << 42 | static_cast<uint64_t>(y & 0x1FFFFF) << 21 |
         static_cast<uint64_t>(z & 0x1FFFFF);
}
uint64_t CubeKey(const TLMAPVERTEX& v) {
  return CubeKey(static_cast<int64_t>(std::floor(v.X)) >> 7, static_cast<int64_t>(std::floor(v.Y)) >> 7,
                 static_cast<int64_t>(std::floor(v.Z)) >> 7);
}

// The group's faces from the joined ones.
void CopyGroup(const TJOINEDGROUPS& joined, size_t first, size_t end, TLMAP* workGroup) {
  workGroup->NbFaces = 0;
  for (size_t i = first; i < end && workGroup->NbFaces < workGroup->Capacity; ++i)
    workGroup->Faces[workGroup->NbFaces++] = joined.faces[i];
}

// Each group's T-junctions mended with the corners of its cube and of the
// cubes around it, unless the pieces would not go into the cube (faces
// left out are worse than a crack), then the group filed.
void FileGroups(const TJOINEDGROUPS& joined, TLMAP* workGroup, bool big) {
  std::unordered_map<uint64_t, std::vector<TLMAPVERTEX>> corners;
  for (const TLMAPFACE& f : joined.faces)
    for (const TLMAPVERTEX& v : f.V) corners[CubeKey(v)].push_back(v);
  std::vector<TLMAPVERTEX> around;
  size_t first = 0;
  for (const size_t end : joined.starts) {
    if (SB_Var.MapBuildFailed) return;
    CopyGroup(joined, first, end, workGroup);
    if (workGroup->NbFaces == 0) {
      first = end;
      continue;
    }
    const TLMAPFACE& f = workGroup->Faces[0];
    around.clear();
    for (int64_t dx = -1; dx <= 1; ++dx)
      for (int64_t dy = -1; dy <= 1; ++dy)
        for (int64_t dz = -1; dz <= 1; ++dz) {
          const auto it = corners.find(CubeKey(f.CubeX + dx, f.CubeY + dy, f.CubeZ + dz));
          if (it != corners.end()) around.insert(around.end(), it->second.begin(), it->second.end());
        }
    SB_SplitTJunctions(workGroup, SB_FINEJOINTOLERANCE, around.data(), static_cast<uint32_t>(around.size()));
    if (SB_Var.MapBuildFailed) return;
    if (!FitsCube(workGroup, big ? kBigScale : 1.0)) CopyGroup(joined, first, end, workGroup);
    first = end;
    if (big)
      SB_CubeGroupToBig(workGroup);
    else
      SB_CubeGroupToSmall(workGroup);
  }
}

void Split(TLMAP* map, TLMAP* workGroup, bool big) {
  const char* owner = big ? "SB_SplitMap2CubeBig" : "SB_SplitMap2Cube";
  g_progress = g_slabStartProgress = 0;
  if (SB_Var.MapBuildFailed) return;
  if (!map->NbFaces) {
    SB_ConsolePrintf("Map conversion :  %ld/100", 100L);
    return;
  }
  const uint32_t capacity = SB_MapCapacities.Slab;
  TLMAP slab{0, static_cast<TLMAPFACE*>(SB_GetMemHeap(static_cast<int32_t>(capacity * sizeof(TLMAPFACE)), owner)),
             capacity, owner};
  if (!slab.Faces) {
    SB_ConsolePrintf("Memory allocation error...");
    SB_MapBufferFull(owner);
    return;
  }
  TJOINEDGROUPS joined;
  const TMAPBOX box = SB_MapBoundingBox(map);
  int32_t firstX, lastX, firstY, lastY, firstZ, lastZ;
  Planes(box.MinX, box.MaxX, &firstX, &lastX);
  Planes(box.MinY, box.MaxY, &firstY, &lastY);
  Planes(box.MinZ, box.MaxZ, &firstZ, &lastZ);
  bool ok = CutAll(map, 0, firstX, lastX, false);
  const int64_t span = int64_t{lastX} - firstX + kCube;
  for (int64_t s = int64_t{firstX} - kCube; ok && s <= lastX; s += kCube) {
    g_slabStartProgress = g_progress;
    g_progress = span > 0 ? static_cast<int32_t>(((s - firstX) * 4 + 512) * 25 / span) : 100;
    ok = FillSlab(map, &slab, static_cast<int32_t>(s)) && CutAll(&slab, 2, firstZ, lastZ, false) &&
         CutAll(&slab, 1, firstY, lastY, true);
    if (ok) SplitGroups(&slab, workGroup, big, &joined);
    ok = ok && !SB_Var.MapBuildFailed;
  }
  SB_Release(slab.Faces);
  if (ok) FileGroups(joined, workGroup, big);
  ok = ok && !SB_Var.MapBuildFailed;
  if (ok) SB_ConsolePrintf("Map conversion :  %ld/100", long{g_progress});
}

}  // namespace

TMAPCAPACITIES SB_MapCapacities = SB_MAPCAPACITIES;

void SB_MapBufferFull(const char* owner) {
  if (!SB_Var.MapBuildFailed) SB_ConsolePrintf("Map error: %s full !!!", owner ? owner : "map");
  SB_Var.MapBuildFailed = 1;
}

void SB_DropFaces(int32_t count) { SB_Var.MapFacesDropped += count; }

TMAPBOX SB_MapBoundingBox(const TLMAP* map) {
  TMAPBOX box{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
  auto take = [](double v, int32_t* min, int32_t* max) {
    const int32_t i = static_cast<int32_t>(v);
    if (i < *min) *min = i;
    if (i > *max) *max = i;
  };
  for (uint32_t i = 0; i < map->NbFaces; ++i)
    for (const TLMAPVERTEX& v : map->Faces[i].V) {
      take(v.X, &box.MinX, &box.MaxX);
      take(v.Y, &box.MinY, &box.MaxY);
      take(v.Z, &box.MinZ, &box.MaxZ);
    }
  return box;
}

int32_t SB_SplitFace(TLMAP* map, uint32_t face, int32_t a, int32_t b, const TLMAPVERTEX* point) {
  if (map->NbFaces >= map->Capacity) {
    SB_MapBufferFull(map->Owner);
    return 0;
  }
  TLMAPFACE& copy = map->Faces[map->NbFaces++];
  copy = map->Faces[face];
  copy.V[b] = *point;
  map->Faces[face].V[a] = *point;
  return 1;
}

int32_t SB_CutFaceAxis(TLMAP* map, uint32_t face, int32_t a, int32_t b, int32_t axis, int32_t plane) {
  const TLMAPFACE& f = map->Faces[face];
  const double d = AxisOf(f.V[b], axis) - AxisOf(f.V[a], axis);
  if (d == 0) return 0;
  const double t = (plane - AxisOf(f.V[a], axis)) / d;
  if (!(t > kEdgeMargin && t < 1 - kEdgeMargin)) return 0;
  TLMAPVERTEX point = Lerp(f.V[a], f.V[b], t);
  Axis(point, axis) = plane;
  return SB_SplitFace(map, face, a, b, &point);
}

void SB_SetFaceCube(TLMAPFACE* face) {
  int32_t* cubes[3] = {&face->CubeX, &face->CubeY, &face->CubeZ};
  for (int32_t axis = 0; axis < 3; ++axis) {
    const double mean = (AxisOf(face->V[0], axis) + AxisOf(face->V[1], axis) + AxisOf(face->V[2], axis)) / 3;
    *cubes[axis] = static_cast<int32_t>(std::floor(mean)) >> 7;
  }
}

int32_t SB_NextCubeGroup(TLMAP* workGroup, TLMAP* slab) {
  workGroup->NbFaces = 0;
  const TLMAPFACE* first = nullptr;
  for (uint32_t i = 0; i < slab->NbFaces; ++i) {
    TLMAPFACE& f = slab->Faces[i];
    if (f.Done) continue;
    if (first && (f.CubeX != first->CubeX || f.CubeY != first->CubeY || f.CubeZ != first->CubeZ)) continue;
    if (workGroup->NbFaces == workGroup->Capacity) {
      SB_MapBufferFull(workGroup->Owner);
      return 0;
    }
    workGroup->Faces[workGroup->NbFaces++] = f;
    f.Done = 1;
    if (!first) first = &f;
  }
  return first != nullptr;
}

// Weak, so that the construction's tests can record the order of the steps.
__attribute__((weak)) void SB_SplitMap2Cube(TLMAP* map, TLMAP* workGroup) { Split(map, workGroup, false); }
__attribute__((weak)) void SB_SplitMap2CubeBig(TLMAP* map, TLMAP* workGroup) { Split(map, workGroup, true); }

int32_t SB_CutFaceAtUV8(TLMAP* list, uint32_t face, int32_t a, int32_t b) {
  int32_t cut = 0;
  for (int32_t k = 0; k < 2; ++k) {
    const TLMAPFACE& f = list->Faces[face];
    const double from = k ? f.V[a].V : f.V[a].U, to = k ? f.V[b].V : f.V[b].U;
    if (to == from) continue;
    const double t = (kRepeat - from) / (to - from);
    if (!(t > 0 && t < 1)) continue;
    TLMAPVERTEX point = Lerp(f.V[a], f.V[b], t);
    (k ? point.V : point.U) = kRepeat;
    if (!SB_SplitFace(list, face, a, b, &point)) return 0;
    cut = 1;
  }
  return cut;
}

void SB_SplitTextureRepeats(TLMAP* list) {
  for (uint32_t i = 0; i < list->NbFaces && !SB_Var.MapBuildFailed; ++i) {
    if (list->Faces[i].Done) continue;
    bool cut = true;
    while (cut && !SB_Var.MapBuildFailed) {
      TLMAPFACE& f = list->Faces[i];
      const double u0 = std::floor(std::fmin(f.V[0].U, std::fmin(f.V[1].U, f.V[2].U)));
      const double v0 = std::floor(std::fmin(f.V[0].V, std::fmin(f.V[1].V, f.V[2].V)));
      for (TLMAPVERTEX& v : f.V) v.U -= u0, v.V -= v0;
      cut = false;
      for (int32_t e = 0; e < 3; ++e) cut |= SB_CutFaceAtUV8(list, i, e, (e + 1) % 3) != 0;
    }
  }
}
