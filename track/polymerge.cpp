// Simplifying a polygon map: badly shaped faces split into fans of
// triangles, coplanar neighbours of one material and one texture mapping
// merged into larger convex polygons.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "shell/sbvar.h"
#include "track/polymap.h"

namespace {

// The first shared edge: i along A, j along B, and whether B runs the
// same way; false when none.
bool SharedEdge(const TPOLYPOINT* a, int32_t na, const TPOLYPOINT* b, int32_t nb, int32_t* i, int32_t* j,
                bool* same) {
  for (*i = 0; *i < na; ++*i) {
    const TPOLYPOINT &a0 = a[*i], &a1 = a[(*i + 1) % na];
    for (*j = 0; *j < nb; ++*j) {
      const TPOLYPOINT &b0 = b[*j], &b1 = b[(*j + 1) % nb];
      if (SB_SamePolyPoint(&a0, &b0) && SB_SamePolyPoint(&a1, &b1)) return *same = true;
      if (SB_SamePolyPoint(&a0, &b1) && SB_SamePolyPoint(&a1, &b0)) return !(*same = false);
    }
  }
  return false;
}

bool SameMapping(const TPOLYPOINT* a, const TPOLYPOINT* b) {
  double ua[3], va[3], ub[3], vb[3];
  return SB_TextureAxes(&a[0], &a[1], &a[2], ua, va) && SB_TextureAxes(&b[0], &b[1], &b[2], ub, vb) &&
         SB_SameVector(ua, ub) && SB_SameVector(va, vb);
}

bool SameNormal(const TPOLYFACE* a, const TPOLYFACE* b) {
  return std::fabs(a->NormalX - b->NormalX) <= 0.01f && std::fabs(a->NormalY - b->NormalY) <= 0.01f &&
         std::fabs(a->NormalZ - b->NormalZ) <= 0.01f;
}

}  // namespace

void SB_MergePolygons(const TPOLYFACE* faceA, TPOLYPOINT* pointsA, const TPOLYFACE* faceB,
                      TPOLYPOINT* pointsB, TPOLYFACE* outFace, TPOLYPOINT* outPoints, int32_t sameMaterial) {
  if (!SB_Var.Simplification) return;
  const int32_t na = faceA->NbPoints, nb = faceB->NbPoints;
  SB_RotatePolyToBestCorner(pointsA, na);
  SB_RotatePolyToBestCorner(pointsB, nb);
  if (sameMaterial && faceA->Material != faceB->Material) return;
  if (!SameNormal(faceA, faceB)) return;
  int32_t i = 0, j = 0;
  bool same = false;
  if (!SharedEdge(pointsA, na, pointsB, nb, &i, &j, &same)) return;
  // The work buffer holds SB_MAXPOLYVERTICES points: a longer result is
  // refused, and both faces stay.
  int32_t n = na + nb - 2;
  if (n > SB_MAXPOLYVERTICES) return;
  TPOLYPOINT merged[SB_MAXPOLYVERTICES];
  for (int32_t k = 0; k < na; ++k) merged[k] = pointsA[(i + 1 + k) % na];
  const int32_t from = same ? j - 1 + nb : j + 2;
  for (int32_t k = 0; k < nb - 2; ++k) merged[na + k] = pointsB[(from + k) % nb];
  if (sameMaterial && !SameMapping(pointsA, pointsB)) return;
  if ((n = SB_RemoveCollinearPoints(merged, n)) < 3) return;
  if (sameMaterial && !SB_RemapPolyTexture(merged, n, &pointsA[0], &pointsA[1], &pointsA[2])) return;
  SB_RotatePolyToBestCorner(merged, n);
  const float normal[3] = {outFace->NormalX, outFace->NormalY, outFace->NormalZ};
  if (!SB_PolyIsConvex(merged, n, normal)) return;
  std::memcpy(outPoints, merged, sizeof(TPOLYPOINT) * static_cast<size_t>(n));
  outFace->NbPoints = static_cast<uint16_t>(n);
}

int32_t SB_SplitShortEdgedFace(TLMAPPOLY* poly, int32_t face) {
  const int32_t n = poly->Faces[face].NbPoints;
  if (n < 4 || SB_PolyEdgesLongEnough(poly->Points + poly->Faces[face].FirstPoint, n)) return 0;
  if (!SB_ReserveTLMAPPOLY(poly, 3 * (n - 2), n - 2)) return 0;
  const TPOLYFACE old = poly->Faces[face];
  for (int32_t k = 1; k <= n - 2; ++k) {
    TPOLYFACE& t = poly->Faces[poly->NbFaces++];
    t = old;
    t.FirstPoint = static_cast<uint32_t>(poly->NbPoints);
    t.NbPoints = 3;
    for (int32_t c : {0, k, k + 1}) poly->Points[poly->NbPoints++] = poly->Points[old.FirstPoint + c];
    if (k > 1) ++SB_Var.NbDebuggedFaces;
  }
  poly->Faces[face].NbPoints = 0;
  return 1;
}

int32_t SB_JoinTLMAPPOLYFaces(TLMAPPOLY* poly, int32_t i, int32_t j) {
  const int32_t na = poly->Faces[i].NbPoints, nb = poly->Faces[j].NbPoints;
  if (na < 3 || nb < 3) return 0;
  if (!SB_ReserveTLMAPPOLY(poly, SB_MAXPOLYVERTICES, 1)) return 0;
  TPOLYFACE& out = poly->Faces[poly->NbFaces];
  out = poly->Faces[i];
  out.NbPoints = 0;
  out.FirstPoint = static_cast<uint32_t>(poly->NbPoints);
  SB_MergePolygons(&poly->Faces[i], poly->Points + poly->Faces[i].FirstPoint, &poly->Faces[j],
                   poly->Points + poly->Faces[j].FirstPoint, &out, poly->Points + poly->NbPoints, 1);
  if (out.NbPoints < 3) return 0;
  poly->Faces[i].NbPoints = poly->Faces[j].NbPoints = 0;
  poly->NbPoints += out.NbPoints;
  ++poly->NbFaces;
  return 1;
}

namespace {

// The faces by the grid cells of their corners, so that a face meets only
// the faces that may share an edge with it (a shared edge needs corners
// within 0.1 on each axis, so within one cell of 0.2 of each other).
class TCORNERGRID {
 public:
  void Add(const TLMAPPOLY* poly, int32_t face) {
    const TPOLYFACE& f = poly->Faces[face];
    for (int32_t k = 0; k < f.NbPoints; ++k) cells_[Key(Cell(poly->Points[f.FirstPoint + k]))].push_back(face);
  }
  // The faces after `after` with a corner near one of the face's, ascending.
  void Around(const TLMAPPOLY* poly, int32_t face, int32_t after, std::vector<int32_t>* out) const {
    out->clear();
    const TPOLYFACE& f = poly->Faces[face];
    for (int32_t k = 0; k < f.NbPoints; ++k) {
      const std::array<int64_t, 3> c = Cell(poly->Points[f.FirstPoint + k]);
      for (int64_t x = c[0] - 1; x <= c[0] + 1; ++x)
        for (int64_t y = c[1] - 1; y <= c[1] + 1; ++y)
          for (int64_t z = c[2] - 1; z <= c[2] + 1; ++z) {
            const auto it = cells_.find(Key({x, y, z}));
            if (it == cells_.end()) continue;
            for (const int32_t g : it->second)
              if (g > after) out->push_back(g);
          }
    }
    std::sort(out->begin(), out->end());
    out->erase(std::unique(out->begin(), out->end()), out->end());
  }

 private:
  static std::array<int64_t, 3> Cell(const TPOLYPOINT& p) {
    return {static_cast<int64_t>(std::floor(p.X / 0.2)), static_cast<int64_t>(std::floor(p.Y / 0.2)),
            static_cast<int64_t>(std::floor(p.Z / 0.2))};
  }
  static uint64_t Key(const std::array<int64_t, 3>& c) {
    return (static_cast<uint64_t>(c[0]) & 0x1FFFFF) | (static_cast<uint64_t>(c[1]) & 0x1FFFFF) << 21 |
           (static_cast<uint64_t>(c[2]) & 0x1FFFFF) << 42;
  }
  std::unordered_map<uint64_t, std::vector<int32_t>> cells_;
};

// One pass over every pair i < j of live faces, merged faces appended
// meanwhile included; true when a pair merged. Only pairs of one material
// with a corner in common can merge, so only those are tried, in the same
// order. Trying a pair also turns both faces to their best corner, which
// turning again leaves as it is: a face passed over here is turned when a
// pair of it is tried, and at the end (SB_SimplifyTLMAPPOLY).
bool MergePass(TLMAPPOLY* poly) {
  TCORNERGRID grid;
  for (int32_t f = 0; f < poly->NbFaces; ++f) grid.Add(poly, f);
  std::vector<int32_t> around;
  bool merged = false;
  for (int32_t i = 0; i < poly->NbFaces && !poly->OutOfMemory; ++i) {
    if (poly->Faces[i].NbPoints < 3) continue;
    grid.Around(poly, i, i, &around);
    for (const int32_t j : around) {
      if (poly->Faces[j].NbPoints < 3 || poly->Faces[j].Material != poly->Faces[i].Material) continue;
      if (!SB_JoinTLMAPPOLYFaces(poly, i, j)) continue;
      ++SB_Var.NbSimplifiedFaces;
      grid.Add(poly, poly->NbFaces - 1);
      merged = true;
      break;  // face i is gone
    }
  }
  return merged;
}

}  // namespace

void SB_SimplifyTLMAPPOLY(TLMAPPOLY* poly) {
  if (!poly || poly->NbFaces < 1) return;
  if (!SB_AddThingsToTLMAPPOLY(poly, 2 * poly->NbPoints + 1000, 2 * poly->NbFaces + 1000)) return;
  for (int32_t i = 0, n = poly->NbFaces; i < n; ++i) SB_SplitShortEdgedFace(poly, i);
  SB_PurifyTLMAPPOLY(poly);
  // Without merging the passes below change nothing.
  if (poly->NbFaces < 2 || !SB_Var.Simplification) return;
  for (bool merged = true; merged && !poly->OutOfMemory;) {
    if (!SB_AddThingsToTLMAPPOLY(poly, 2 * poly->NbPoints + 1000, 2 * poly->NbFaces + 1000)) return;
    merged = MergePass(poly);
    SB_PurifyTLMAPPOLY(poly);
  }
  // The last pass tried every pair of the two or more faces left, which
  // turned each to its best corner.
  if (poly->NbFaces >= 2 && !poly->OutOfMemory)
    for (int32_t f = 0; f < poly->NbFaces; ++f)
      SB_RotatePolyToBestCorner(poly->Points + poly->Faces[f].FirstPoint, poly->Faces[f].NbPoints);
}
