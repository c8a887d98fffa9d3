// Simplifying a polygon map: badly shaped faces split into fans of
// triangles, coplanar neighbours of one material and one texture mapping
// merged into larger convex polygons.
#include <cmath>
#include <cstring>

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

void SB_SimplifyTLMAPPOLY(TLMAPPOLY* poly) {
  if (!poly || poly->NbFaces < 1) return;
  if (!SB_AddThingsToTLMAPPOLY(poly, 2 * poly->NbPoints + 1000, 2 * poly->NbFaces + 1000)) return;
  for (int32_t i = 0, n = poly->NbFaces; i < n; ++i) SB_SplitShortEdgedFace(poly, i);
  SB_PurifyTLMAPPOLY(poly);
  // Without merging the passes below change nothing.
  if (poly->NbFaces < 2 || !SB_Var.Simplification) return;
  for (bool merged = true; merged && !poly->OutOfMemory;) {
    merged = false;
    if (!SB_AddThingsToTLMAPPOLY(poly, 2 * poly->NbPoints + 1000, 2 * poly->NbFaces + 1000)) return;
    for (int32_t i = 0; i < poly->NbFaces; ++i)
      for (int32_t j = i + 1; j < poly->NbFaces; ++j)
        if (SB_JoinTLMAPPOLYFaces(poly, i, j)) {
          ++SB_Var.NbSimplifiedFaces;
          merged = true;
        }
    SB_PurifyTLMAPPOLY(poly);
  }
}
