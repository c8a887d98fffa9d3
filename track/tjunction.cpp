// Mending the T-junctions a cube's joins and texture cuts leave: a join
// takes a corner away from the faces on one side of an edge, but the
// faces on the other side (of the same or another material, in the same
// cube or the one beside it) keep it.
// Rasterised, the long edge and the short ones beside it round to
// different pixels and the background shows between them; a face whose
// edge passes through such a corner is split there, so that both sides
// meet along the same edges.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "shell/sbvar.h"
#include "track/cubes.h"

namespace {

using TPOINT = std::array<double, 3>;

TPOINT Of(const TLMAPVERTEX& v) { return {v.X, v.Y, v.Z}; }
TPOINT From(const TLMAPVERTEX& a, const TPOINT& p) { return {p[0] - a.X, p[1] - a.Y, p[2] - a.Z}; }
double Dot(const TPOINT& a, const TPOINT& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The squared distance from p to the line through a and b.
double Distance2ToLine(const TPOINT& p, const TLMAPVERTEX& a, const TPOINT& b) {
  const TPOINT u = From(a, b), d = From(a, p);
  const double length2 = Dot(u, u);
  if (length2 <= 0) return Dot(d, d);
  const double t = Dot(d, u) / length2;
  const TPOINT off = {d[0] - t * u[0], d[1] - t * u[1], d[2] - t * u[2]};
  return Dot(off, off);
}

bool Near(const TPOINT& p, const TLMAPVERTEX& v, double tolerance) {
  return std::fabs(p[0] - v.X) <= tolerance && std::fabs(p[1] - v.Y) <= tolerance && std::fabs(p[2] - v.Z) <= tolerance;
}

// The distinct corners, by x.
std::vector<TPOINT> Sorted(const TLMAPVERTEX* corners, uint32_t count) {
  std::vector<TPOINT> sorted;
  sorted.reserve(count);
  for (uint32_t i = 0; i < count; ++i) sorted.push_back(Of(corners[i]));
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  return sorted;
}

// The fraction along the face's edge e (from its corner e to the next) of
// the corner lying inside it (within the tolerance of the edge, farther
// than it from the face's corners) that is nearest to the edge's start;
// -1 when there is none.
double CornerInside(const std::vector<TPOINT>& corners, const TLMAPFACE& face, int32_t e, double tolerance,
                    TPOINT* found) {
  const TLMAPVERTEX &a = face.V[e], &b = face.V[(e + 1) % 3], &c = face.V[(e + 2) % 3];
  const double width2 = 4 * tolerance * tolerance;
  const TPOINT u = From(a, Of(b));
  const double length2 = Dot(u, u);
  // A face thinner than the tolerance across the edge (a sliver) has
  // nothing to meet there.
  if (length2 <= width2 || Distance2ToLine(Of(c), a, Of(b)) <= width2) return -1;
  const double margin = tolerance / std::sqrt(length2);
  const double x0 = std::min(a.X, b.X) - tolerance, x1 = std::max(a.X, b.X) + tolerance;
  double best = -1;
  auto it = std::lower_bound(corners.begin(), corners.end(), TPOINT{x0, -HUGE_VAL, -HUGE_VAL});
  for (; it != corners.end() && (*it)[0] <= x1; ++it) {
    const TPOINT& p = *it;
    const double t = Dot(From(a, p), u) / length2;
    if (t <= margin || t >= 1 - margin || (best >= 0 && t >= best)) continue;
    if (Distance2ToLine(p, a, Of(b)) > tolerance * tolerance) continue;
    if (Near(p, a, tolerance) || Near(p, b, tolerance) || Near(p, c, tolerance)) continue;
    // Both pieces must keep a width: a corner beside a sliver's tip would
    // give one without, and splitting that again would give the face back.
    if (Distance2ToLine(Of(c), a, p) <= width2 || Distance2ToLine(Of(c), b, p) <= width2) continue;
    best = t, *found = p;
  }
  return best;
}

}  // namespace

void SB_SplitTJunctions(TLMAP* list, double tolerance, const TLMAPVERTEX* points, uint32_t count) {
  if (!list || list->NbFaces == 0 || !points || !(tolerance > 0)) return;
  const std::vector<TPOINT> corners = Sorted(points, count);
  // Pieces are appended to the list and walked in their turn; each split
  // shortens an edge to a corner of the group, so the walk ends.
  for (uint32_t i = 0; i < list->NbFaces && !SB_Var.MapBuildFailed; ++i) {
    for (int32_t e = 0; e < 3;) {
      const TLMAPFACE& f = list->Faces[i];
      const int32_t next = (e + 1) % 3;
      TPOINT p{};
      const double t = CornerInside(corners, f, e, tolerance, &p);
      if (t < 0) {
        ++e;
        continue;
      }
      // A full list keeps its remaining T-junctions rather than fail the map.
      if (list->NbFaces >= list->Capacity) return;
      // The corner itself, with the face's own texture place there.
      const TLMAPVERTEX &a = f.V[e], &b = f.V[next];
      const TLMAPVERTEX point = {p[0], p[1], p[2], a.U + t * (b.U - a.U), a.V + t * (b.V - a.V)};
      if (!SB_SplitFace(list, i, e, next, &point)) return;
      e = 0;  // the face now runs from the corner: its edges are looked at again
    }
  }
}
