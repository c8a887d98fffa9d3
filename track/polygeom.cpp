// Geometry of the polygon map's faces: clipping by planes in space and by
// lines in texture space, keeping texture coordinates small, and the shape
// tests and rewrites that merging and splitting lean on.
#include <cmath>
#include <vector>

#include "track/polymap.h"

namespace {

struct TVEC {
  double X, Y, Z;
};

TVEC Sub(const TPOLYPOINT& a, const TPOLYPOINT& b) { return {a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }
TVEC Cross(const TVEC& a, const TVEC& b) {
  return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}
double Dot(const TVEC& a, const TVEC& b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z; }
double Length(const TVEC& a) { return std::sqrt(Dot(a, a)); }

// The clip shared by both measures: distance(point) gives d for a point.
template <typename Distance>
void ClipFace(TLMAPPOLY* poly, int32_t face, Distance distance) {
  const int32_t n = poly->Faces[face].NbPoints;
  // At most one kept vertex and one crossing per vertex.
  if (!SB_ReserveTLMAPPOLY(poly, 2 * n, 0)) {
    poly->Faces[face].NbPoints = 0;
    return;
  }
  const uint32_t first = poly->Faces[face].FirstPoint;
  const uint32_t start = static_cast<uint32_t>(poly->NbPoints);
  int32_t added = 0;
  for (int32_t i = 0; i < n; ++i) {
    const TPOLYPOINT vi = poly->Points[first + i], vn = poly->Points[first + (i + 1) % n];
    const double di = distance(vi), dn = distance(vn);
    TPOLYPOINT* out = poly->Points + start;
    if (di >= 0) {
      out[added++] = vi;
      if (di > 0 && dn < 0) SB_LerpPolyPoint(&out[added++], &vn, &vi, -dn / (di - dn));
    } else if (dn > 0) {
      SB_LerpPolyPoint(&out[added++], &vi, &vn, -di / (dn - di));
    }
  }
  poly->Faces[face].FirstPoint = start;
  poly->Faces[face].NbPoints = static_cast<uint16_t>(added);
  poly->NbPoints += added;
}

// Distance from P to the line through a and b (x, y, z); a line through
// two equal points is far from everything.
double LineDistance(const TPOLYPOINT& p, const TPOLYPOINT& a, const TPOLYPOINT& b) {
  const TVEC ab = Sub(b, a);
  const double length = Length(ab);
  if (length == 0.0) return 1e8;
  return Length(Cross(Sub(p, a), ab)) / length;
}

}  // namespace

void SB_LerpPolyPoint(TPOLYPOINT* out, const TPOLYPOINT* a, const TPOLYPOINT* b, double t) {
  *out = {a->X + (b->X - a->X) * t, a->Y + (b->Y - a->Y) * t, a->Z + (b->Z - a->Z) * t,
          a->U + (b->U - a->U) * t, a->V + (b->V - a->V) * t};
}

void SB_ClipFaceByPlane(TLMAPPOLY* poly, int32_t face, const double point[3], const double normal[3]) {
  ClipFace(poly, face, [&](const TPOLYPOINT& p) {
    return (p.X - point[0]) * normal[0] + (p.Y - point[1]) * normal[1] + (p.Z - point[2]) * normal[2];
  });
}

void SB_ClipTLMAPPOLYByPlane(TLMAPPOLY* poly, const double point[3], const double normal[3]) {
  for (int32_t i = 0; i < poly->NbFaces; ++i) SB_ClipFaceByPlane(poly, i, point, normal);
}

void SB_ClipFaceByUVLine(TLMAPPOLY* poly, int32_t face, const double point[2], const double normal[2]) {
  ClipFace(poly, face,
           [&](const TPOLYPOINT& p) { return (p.U - point[0]) * normal[0] + (p.V - point[1]) * normal[1]; });
}

void SB_ClipTLMAPPOLYByUVLine(TLMAPPOLY* poly, const double point[2], const double normal[2]) {
  for (int32_t i = 0; i < poly->NbFaces; ++i) SB_ClipFaceByUVLine(poly, i, point, normal);
}

void SB_NormalizeFaceUV(TLMAPPOLY* poly, int32_t face) {
  const TPOLYFACE& f = poly->Faces[face];
  TPOLYPOINT* p = poly->Points + f.FirstPoint;
  double minU = 1e9, minV = 1e9;
  for (int32_t i = 0; i < f.NbPoints; ++i) minU = std::fmin(minU, p[i].U), minV = std::fmin(minV, p[i].V);
  minU = std::floor(minU), minV = std::floor(minV);
  for (int32_t i = 0; i < f.NbPoints; ++i) p[i].U -= minU, p[i].V -= minV;
}

void SB_NormalizeTLMAPPOLYUV(TLMAPPOLY* poly) {
  for (int32_t i = 0; i < poly->NbFaces; ++i) SB_NormalizeFaceUV(poly, i);
}

int32_t SB_SamePolyPoint(const TPOLYPOINT* a, const TPOLYPOINT* b) {
  return std::fabs(a->X - b->X) <= 0.1 && std::fabs(a->Y - b->Y) <= 0.1 && std::fabs(a->Z - b->Z) <= 0.1;
}

int32_t SB_SameVector(const double a[3], const double b[3]) {
  return std::fabs(a[0] - b[0]) <= 0.2 && std::fabs(a[1] - b[1]) <= 0.2 && std::fabs(a[2] - b[2]) <= 0.2;
}

int32_t SB_PolyIsConvex(const TPOLYPOINT* points, int32_t n, const float normal[3]) {
  const TVEC axis = {normal[0], normal[1], normal[2]};
  double first = 0;
  for (int32_t i = 0; i < n; ++i) {
    const TPOLYPOINT &a = points[i], &b = points[(i + 1) % n], &c = points[(i + 2) % n];
    const double t = Dot(Cross(Sub(c, b), Sub(b, a)), axis);
    if (std::fabs(t) < 0.01) return 0;
    if (i == 0) first = t;
    if ((t > 0) != (first > 0)) return 0;
  }
  return 1;
}

double SB_PolyEdgeLengths(int32_t n, const TPOLYPOINT* points, double* lengths) {
  double longest = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    lengths[i] = Length(Sub(points[(i + 1) % n], points[i]));
    longest = std::fmax(longest, lengths[i]);
  }
  return longest;
}

int32_t SB_RotatePolyToBestCorner(TPOLYPOINT* points, int32_t n) {
  if (n == 3) return 0;
  if (n < 3) return -1;
  std::vector<double> lengths(static_cast<size_t>(n));
  SB_PolyEdgeLengths(n, points, lengths.data());
  int32_t best = -1;
  double bestSum = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    const TPOLYPOINT &a = points[i], &b = points[(i + 1) % n], &c = points[(i + 2) % n];
    const TVEC e = Sub(a, b), f = Sub(c, b);
    const double cosine = Dot(e, f) / (Length(e) * Length(f));
    const double sum = lengths[i] + lengths[(i + 1) % n];
    if (std::fabs(cosine) < 0.9 && sum > bestSum) best = i, bestSum = sum;
  }
  if (best < 0) return -1;
  std::vector<TPOLYPOINT> rotated(points, points + n);
  for (int32_t k = 0; k < n; ++k) points[k] = rotated[(best + k) % n];
  return best;
}

int32_t SB_CompactPolyPoints(TPOLYPOINT* points, const uint8_t* keep, int32_t n) {
  int32_t kept = 0;
  for (int32_t i = 0; i < n; ++i)
    if (keep[i]) points[kept++] = points[i];
  return kept;
}

int32_t SB_RemoveCollinearPoints(TPOLYPOINT* points, int32_t n) {
  std::vector<uint8_t> keep(static_cast<size_t>(n > 0 ? n : 0), 1);
  int32_t kept = n;
  for (bool dropped = true; dropped;) {
    dropped = false;
    for (int32_t i = 0; i < n && !dropped; ++i) {
      if (!keep[i]) continue;
      int32_t prev = (i + n - 1) % n, next = (i + 1) % n;
      while (!keep[prev]) prev = (prev + n - 1) % n;
      while (!keep[next]) next = (next + 1) % n;
      if (LineDistance(points[i], points[prev], points[next]) >= 0.1) continue;
      keep[i] = 0, dropped = true;
      if (--kept < 3) return 0;
    }
  }
  return SB_CompactPolyPoints(points, keep.data(), n);
}

int32_t SB_PolyEdgesLongEnough(const TPOLYPOINT* points, int32_t n) {
  for (int32_t i = 0; i + 1 < n; ++i) {
    const TVEC d = Sub(points[i + 1], points[i]);
    const double dx2 = d.X * d.X, dy2 = d.Y * d.Y, dz2 = d.Z * d.Z;
    if (!(std::sqrt(dx2 * dx2 + dy2 * dy2 + dz2 * dz2) >= 4.0)) return 0;
  }
  return 1;
}

int32_t SB_TextureAxes(const TPOLYPOINT* a, const TPOLYPOINT* o, const TPOLYPOINT* b, double uAxis[3],
                       double vAxis[3]) {
  const float pa[3] = {static_cast<float>(a->X - o->X), static_cast<float>(a->Y - o->Y),
                       static_cast<float>(a->Z - o->Z)};
  const float pb[3] = {static_cast<float>(b->X - o->X), static_cast<float>(b->Y - o->Y),
                       static_cast<float>(b->Z - o->Z)};
  const double dua = a->U - o->U, dva = a->V - o->V, dub = b->U - o->U, dvb = b->V - o->V;
  const double det = dvb * dua - dub * dva;
  if (!(std::fabs(det) >= 0.01)) return 0;
  for (int32_t k = 0; k < 3; ++k) {
    uAxis[k] = (dvb * pa[k] - dva * pb[k]) / det;
    vAxis[k] = (dua * pb[k] - dub * pa[k]) / det;
  }
  return 1;
}

int32_t SB_RemapPolyTexture(TPOLYPOINT* points, int32_t n, const TPOLYPOINT* a, const TPOLYPOINT* o,
                            const TPOLYPOINT* b) {
  const TVEC ea = Sub(*a, *o), eb = Sub(*b, *o), c = Cross(ea, eb);
  // Project on the plane that drops the largest component of the normal:
  // the kept axes i, j, whose 2 x 2 determinant is that component.
  int32_t i = 0, j = 1;  // drop z
  double det = c.Z;
  if (std::fabs(c.X) >= std::fabs(c.Z)) i = 1, j = 2, det = c.X;
  if (std::fabs(c.Y) > std::fabs(c.X) && std::fabs(c.Y) > std::fabs(c.Z)) i = 2, j = 0, det = c.Y;
  if (!(std::fabs(det) >= 0.001)) return 0;
  const double va[3] = {ea.X, ea.Y, ea.Z}, vb[3] = {eb.X, eb.Y, eb.Z};
  double minU = 1e9, minV = 1e9;
  for (int32_t k = 0; k < n; ++k) {
    TPOLYPOINT& p = points[k];
    const double d[3] = {p.X - o->X, p.Y - o->Y, p.Z - o->Z};
    const double s = (d[i] * vb[j] - d[j] * vb[i]) / det, t = (va[i] * d[j] - va[j] * d[i]) / det;
    p.U = o->U + s * (a->U - o->U) + t * (b->U - o->U);
    p.V = o->V + s * (a->V - o->V) + t * (b->V - o->V);
    minU = std::fmin(minU, p.U), minV = std::fmin(minV, p.V);
  }
  minU = std::floor(minU), minV = std::floor(minV);
  for (int32_t k = 0; k < n; ++k) {
    points[k].U -= minU, points[k].V -= minV;
    if (!(points[k].U < SB_POLYTEXTURECUT && points[k].V < SB_POLYTEXTURECUT)) return 0;
  }
  return 1;
}
