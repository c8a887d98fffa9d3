// Ground height on the cube map: the point's column of big cubes, lowest y
// first, the small cubes of each at the point's small-cube numbers, and
// their faces in stored order. The three queries share that walk and
// differ in the faces they consider and the one they keep.
#include <cstdint>

#include "engine3d/types.h"
#include "shell/sbvar.h"
#include "track/decor.h"
#include "track/ground.h"

namespace {

constexpr int32_t kFloorUp = 65;  // a face whose up byte is at least this is a floor

// The sign rule of the point-in-face tests: inside when the edge values
// that are not zero all share one sign (a point on an edge is inside).
struct TSIGNS {
  bool Positive = false, Negative = false;
  void Take(int64_t e) {
    Positive |= e > 0;
    Negative |= e < 0;
  }
  bool Inside() const { return !(Positive && Negative); }
};

int64_t Cross(int64_t ux, int64_t uz, int64_t wx, int64_t wz) { return ux * wz - wx * uz; }

// The plane of triangle ABC at (px, pz) in map units x 32, or false when
// the point is outside it or the triangle has no extent in x and z.
bool TriangleHeight(const TMAPVERTEX& a, const TMAPVERTEX& b, const TMAPVERTEX& c, int64_t px, int64_t pz,
                    double* height) {
  TSIGNS signs;
  signs.Take(Cross(b.X - a.X, b.Z - a.Z, px - a.X, pz - a.Z));
  signs.Take(Cross(c.X - b.X, c.Z - b.Z, px - b.X, pz - b.Z));
  signs.Take(Cross(a.X - c.X, a.Z - c.Z, px - c.X, pz - c.Z));
  if (!signs.Inside()) return false;
  const int64_t d = int64_t{c.X - a.X} * (b.Z - a.Z) - int64_t{b.X - a.X} * (c.Z - a.Z);
  if (d == 0) return false;
  const int64_t n1 = int64_t{b.X - a.X} * (c.Y - a.Y) - int64_t{c.X - a.X} * (b.Y - a.Y);
  const int64_t n2 = int64_t{b.Y - a.Y} * (c.Z - a.Z) - int64_t{b.Z - a.Z} * (c.Y - a.Y);
  const int64_t numerator = (a.Z - pz) * n1 + (a.X - px) * n2 + d * a.Y;
  *height = static_cast<double>(numerator * 32) / static_cast<double>(d);
  return true;
}

// The face's height at the local point: a quadrangle is tried as ABC, then
// as CDA.
bool FaceHeight(const TMAPFACE& face, const TMAPVERTEX* vertices, int64_t px, int64_t pz, double* height) {
  const int32_t corners = face.Vertex[3] == 255 ? 3 : 4;
  int32_t above = 0, below = 0, right = 0, left = 0;
  for (int32_t i = 0; i < corners; ++i) {
    const TMAPVERTEX& v = vertices[face.Vertex[i]];
    above += v.X > px, below += v.X < px, right += v.Z > pz, left += v.Z < pz;
  }
  if (above == corners || below == corners || right == corners || left == corners) return false;
  const TMAPVERTEX& a = vertices[face.Vertex[0]];
  const TMAPVERTEX& c = vertices[face.Vertex[2]];
  if (TriangleHeight(a, vertices[face.Vertex[1]], c, px, pz, height)) return true;
  return corners == 4 && TriangleHeight(c, vertices[face.Vertex[3]], a, px, pz, height);
}

// Every face under the point with its world height, in walk order; the
// visitor returns false to stop.
template <typename Visit>
void WalkFaces(int32_t x, int32_t z, Visit&& visit) {
  int32_t smallX = 0, smallZ = 0, bigX = 0, bigZ = 0;
  SB_WorldToCubeCoords(&x, &z, &smallX, &smallZ, &bigX, &bigZ);
  int32_t count = 0;
  TBIGENTITY** column = SB_FindCubeInXZList(bigX, bigZ, &count);
  for (int32_t y = 0; y < count; ++y) {
    const TBIGENTITY* big = column[y];
    if (!big) continue;
    const TSMALLENTITY* smalls = SB_DecorSmallEntityRun(big->SmallEntitys, big->NbSmallEntitys);
    for (int32_t s = 0; smalls && s < big->NbSmallEntitys; ++s) {
      const TSMALLENTITY& small = smalls[s];
      if (small.X != smallX || small.Z != smallZ) continue;
      const double base = 32.0 * (512 * (big->KeyY - 64) + 128 * (small.Y - 64)) - 2048.0;
      const TMAPVERTEX* vertices = SB_DecorVertexRun(small.Vertices, small.NbVertices);
      const TMAPFACE* faces = SB_DecorFaceRun(small.Faces, small.NbFaces);
      for (int32_t f = 0; vertices && faces && f < small.NbFaces; ++f) {
        double height = 0;
        if (FaceHeight(faces[f], vertices, x, z, &height) && !visit(faces[f], height + base)) return;
      }
    }
  }
}

void KeepNormal(const TMAPFACE& face) {
  for (int32_t i = 0; i < 3; ++i) SB_Var.GroundNormal[i] = face.Normal[i];
}

void ResetNormal() {
  SB_Var.GroundNormal[0] = SB_Var.GroundNormal[2] = 0;
  SB_Var.GroundNormal[1] = 128;
}

}  // namespace

void SB_WorldToCubeCoords(int32_t* x, int32_t* z, int32_t* smallX, int32_t* smallZ, int32_t* bigX,
                          int32_t* bigZ) {
  int32_t* axes[2][3] = {{x, smallX, bigX}, {z, smallZ, bigZ}};
  for (auto& axis : axes) {
    const int64_t c = ((int64_t{*axis[0]} + 16) >> 5) + 64;
    *axis[0] = static_cast<int32_t>(c & 127);
    *axis[1] = static_cast<int32_t>((((c >> 7) + 2) & 3) + 62);
    *axis[2] = static_cast<int32_t>((((c >> 7) + 2) >> 2) + 64);
  }
}

// The two height queries are weak, so that the camera tests can put a ground
// of their own in place.
__attribute__((weak)) double SB_GetGroundHeight(int32_t x, int32_t z) {
  if (SB_Var.Renderer == SB_RENDERER_PVR) return SB_GetPolyGroundHeight(x, z);
  ResetNormal();
  double found = SB_NOGROUND;
  WalkFaces(x, z, [&](const TMAPFACE& face, double height) {
    if (face.Normal[1] < kFloorUp) return true;
    found = height;
    KeepNormal(face);
    return false;
  });
  return found;
}

double SB_GetLowestGroundHeight(int32_t x, int32_t z) {
  if (SB_Var.Renderer == SB_RENDERER_PVR) return SB_GetPolyGroundHeightAll(x, z);
  ResetNormal();
  double lowest = SB_NOGROUND;
  WalkFaces(x, z, [&](const TMAPFACE& face, double height) {
    if (height < lowest) {
      lowest = height;
      KeepNormal(face);
    }
    return true;
  });
  return lowest;
}

__attribute__((weak)) double SB_GetRoadHeight(int32_t x, int32_t z) {
  ResetNormal();
  // The accelerator's race keeps no cube list of its own (the editors'
  // top view builds one): the road query finds nothing there, editors on
  // or off.
  if (SB_Var.Renderer == SB_RENDERER_PVR) return SB_NOGROUND;
  double highest = -SB_NOGROUND;
  const TTEXTUREPLACE* kept = nullptr;
  WalkFaces(x, z, [&](const TMAPFACE& face, double height) {
    const TTEXTUREPLACE& place = SB_Var.TexturePlaces[SB_MapFaceTexture(&face)];
    if (face.Normal[1] >= kFloorUp && place.C && height > highest) {
      highest = height;
      kept = &place;
      KeepNormal(face);
    }
    return true;
  });
  if (!kept) return SB_NOGROUND;
  const uint8_t flags[SB_NBGROUNDFLAGS] = {kept->H, kept->B, kept->L, kept->F, kept->E};
  for (int32_t i = 0; i < SB_NBGROUNDFLAGS; ++i) SB_Var.GroundFlags[i] |= static_cast<int8_t>(flags[i]);
  return highest;
}
