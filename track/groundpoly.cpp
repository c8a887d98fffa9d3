// Ground queries on the polygon cells: heights under a point, the faces
// gathered around a car for its wheels and body, the height over a
// gathered wheel list, and the sweep of a segment against the edges of a
// gathered body list (the walls).
#include <cmath>
#include <cstdint>

#include "engine3d/types.h"
#include "shell/sbvar.h"
#include "track/decor.h"
#include "track/ground.h"

namespace {

constexpr double kPolyGroundBase = 8252.0;  // the polygon map's height origin
constexpr int32_t kCellSize = 16384;
constexpr int32_t kCellBias = 1056768;  // 64.5 cells: world + bias - (cell << 14) is cell-relative
constexpr uint16_t kNormalBias = 64;    // the stored normal words are 64 above the query's
constexpr int32_t kDownwards = 8193;    // an up word below this is a face turned downwards
constexpr double kWheelReach = 2.5, kBodyReach = 3.5;  // metres around the car
constexpr double kWallReach = 320.0;                   // world units around a wall edge

struct TCORNER {
  int64_t X, Y, Z;
};

TCORNER Corner(const TFFACEPOLY& face, int32_t k) {
  const TFPOINTOFFSET* p = SB_FacePolyPoint(&face, k);
  return {p->X, p->Y, p->Z};
}

bool InBox(const TFFACEPOLY& face, int64_t px, int64_t pz, int64_t margin) {
  return px >= face.Box[0] - margin && px <= face.Box[1] + margin && pz >= face.Box[2] - margin &&
         pz <= face.Box[3] + margin;
}

// Inside the convex polygon when the edge values that are not zero all
// share one sign (a point on an edge is inside).
bool Contains(const TFFACEPOLY& face, int64_t px, int64_t pz) {
  bool positive = false, negative = false;
  for (int32_t i = 0; i < face.NbCorners; ++i) {
    const TCORNER a = Corner(face, i), b = Corner(face, (i + 1) % face.NbCorners);
    const int64_t e = (a.X - b.X) * (pz - b.Z) - (a.Z - b.Z) * (px - b.X);
    positive |= e > 0;
    negative |= e < 0;
    if (positive && negative) return false;
  }
  return true;
}

// The plane of the first three corners at (px, pz), cell-relative; false
// when they have no extent in x and z.
bool PlaneHeight(const TFFACEPOLY& face, int64_t px, int64_t pz, double* height) {
  const TCORNER a = Corner(face, 0), b = Corner(face, 1), c = Corner(face, 2);
  const double d = static_cast<double>((c.X - a.X) * (b.Z - a.Z) - (b.X - a.X) * (c.Z - a.Z));
  if (d == 0.0) return false;
  const double n1 = static_cast<double>((b.X - a.X) * (c.Y - a.Y) - (c.X - a.X) * (b.Y - a.Y));
  const double n2 = static_cast<double>((b.Y - a.Y) * (c.Z - a.Z) - (b.Z - a.Z) * (c.Y - a.Y));
  *height = (static_cast<double>(a.Z - pz) * n1 + static_cast<double>(a.X - px) * n2 + d * a.Y) / d;
  return true;
}

void KeepNormal(const TFFACEPOLY& face) {
  for (int32_t i = 0; i < 3; ++i) SB_Var.GroundNormal[i] = face.Normal[i] - kNormalBias;
}

void ResetNormal() {
  SB_Var.GroundNormal[0] = SB_Var.GroundNormal[2] = 0;
  SB_Var.GroundNormal[1] = kCellSize;
}

double PolyHeight(int32_t x, int32_t z, bool anyFacing) {
  ResetNormal();
  double best = -SB_NOGROUND;
  int32_t offsetX = 0, offsetZ = 0, cellX = 0, cellZ = 0, count = 0;
  SB_WorldToPolyCellCoords(x, &offsetX, &cellX);
  SB_WorldToPolyCellCoords(z, &offsetZ, &cellZ);
  TFCUBE10POLY** column = SB_FindInListXZYPoly(cellX, cellZ, &count);
  for (int32_t y = 0; y < count; ++y) {
    const TFCUBE10POLY* cell = column[y];
    if (!cell) continue;
    const TFFACEPOLY* faces = SB_CellFaces(cell, SB_GROUNDRUN);
    for (int32_t f = 0; f < cell->NbFaces[SB_GROUNDRUN]; ++f) {
      const TFFACEPOLY& face = faces[f];
      double height = 0;
      if ((!anyFacing && face.Normal[1] < kDownwards) || !InBox(face, offsetX, offsetZ, 0) ||
          !Contains(face, offsetX, offsetZ) || !PlaneHeight(face, offsetX, offsetZ, &height))
        continue;
      height += double{kCellSize} * (cell->Y - 64) - kPolyGroundBase;
      if (height > best) {
        best = height;
        KeepNormal(face);
      }
    }
  }
  return best == -SB_NOGROUND ? SB_NOGROUND : best;
}

// Metres to world units, truncated, held inside the 32-bit range.
int32_t ToWorld(double metres) {
  const double units = std::trunc(metres * 320.0);
  if (units >= 2147483647.0) return INT32_MAX;
  if (units <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(units);
}

// Appends the faces of one run of the cells of a column that overlap the
// world box; false once the list is full.
bool GatherColumn(int32_t cellX, int32_t cellZ, const int64_t box[4], int32_t run, bool withBase,
                  TFACELISTENTRY* list, int32_t capacity, int32_t* count) {
  int32_t cells = 0;
  TFCUBE10POLY** column = SB_FindInListXZYPoly(cellX, cellZ, &cells);
  if (!column) return true;  // and the cell numbers are those of the list's bytes
  const int32_t offsetX = kCellBias - cellX * kCellSize, offsetZ = kCellBias - cellZ * kCellSize;
  const int64_t x0 = box[0] + offsetX, x1 = box[1] + offsetX, z0 = box[2] + offsetZ, z1 = box[3] + offsetZ;
  for (int32_t y = 0; y < cells; ++y) {
    const TFCUBE10POLY* cell = column[y];
    if (!cell) continue;
    const TFFACEPOLY* faces = SB_CellFaces(cell, run);
    for (int32_t f = 0; f < cell->NbFaces[run]; ++f) {
      const TFFACEPOLY& face = faces[f];
      if (face.Box[0] > x1 || face.Box[1] < x0 || face.Box[2] > z1 || face.Box[3] < z0) continue;
      if (*count >= capacity) return false;
      list[(*count)++] = {&face, offsetX, withBase ? kCellSize * (cell->Y - 64) : 0, offsetZ};
    }
  }
  return true;
}

// The faces of one run within reach of the position, from the cells of the
// box's corners: (x0, z0), (x1, z0), (x1, z1), (x0, z1), each visited once.
int32_t Gather(TFACELISTENTRY* list, int32_t capacity, const double* position, double reach, int32_t run,
               bool withBase) {
  if (!list || capacity <= 0 || !position || !std::isfinite(position[0]) || !std::isfinite(position[2]))
    return 0;
  const int64_t box[4] = {ToWorld(position[0] - reach), ToWorld(position[0] + reach), ToWorld(position[2] - reach),
                          ToWorld(position[2] + reach)};
  int32_t offset = 0, x0 = 0, x1 = 0, z0 = 0, z1 = 0, count = 0;
  SB_WorldToPolyCellCoords(static_cast<int32_t>(box[0]), &offset, &x0);
  SB_WorldToPolyCellCoords(static_cast<int32_t>(box[1]), &offset, &x1);
  SB_WorldToPolyCellCoords(static_cast<int32_t>(box[2]), &offset, &z0);
  SB_WorldToPolyCellCoords(static_cast<int32_t>(box[3]), &offset, &z1);
  const bool otherX = x1 != x0, otherZ = z1 != z0;
  const struct {
    bool visit;
    int32_t x, z;
  } cells[] = {{true, x0, z0}, {otherX, x1, z0}, {otherX && otherZ, x1, z1}, {otherZ, x0, z1}};
  for (const auto& c : cells)
    if (c.visit && !GatherColumn(c.x, c.z, box, run, withBase, list, capacity, &count)) break;
  return count;
}

// Where the segment from q along m crosses the edge from b along e: t along
// the segment and s along the edge; false when they are parallel.
bool Crossing(double qx, double qz, double mx, double mz, double bx, double bz, double ex, double ez, double* t,
              double* s) {
  constexpr double kTiny = 1e-6, kSlope = 1e-7;
  if (std::fabs(ex) < kTiny) {  // edge along z
    if (std::fabs(ez) < kTiny || std::fabs(mx) < kTiny) return false;
    *t = (bx - qx) / mx;
    *s = (qz + *t * mz - bz) / ez;
    return true;
  }
  if (std::fabs(ez) < kTiny) {  // edge along x
    if (std::fabs(mz) < kTiny) return false;
    *t = (bz - qz) / mz;
    *s = (qx + *t * mx - bx) / ex;
    return true;
  }
  // Not parallel when the slopes differ, measured both ways round (a
  // segment along an axis meets a slanted edge too).
  const double det = ex * mz - ez * mx;
  if (det == 0.0 || std::fabs(det) < kSlope * std::fabs(mx * mz) || std::fabs(det) < kSlope * std::fabs(ex * ez))
    return false;
  *t = (ex * (bz - qz) - ez * (bx - qx)) / det;
  *s = (mx * (bz - qz) - mz * (bx - qx)) / det;
  return true;
}

}  // namespace

void SB_WorldToPolyCellCoords(int32_t v, int32_t* offset, int32_t* cell) {
  const int64_t t = int64_t{v} + 8192;
  *offset = static_cast<int32_t>(t & (kCellSize - 1));
  *cell = static_cast<int32_t>((t >> 14) + 64);
}

double SB_GetPolyGroundHeight(int32_t x, int32_t z) { return PolyHeight(x, z, false); }
double SB_GetPolyGroundHeightAll(int32_t x, int32_t z) { return PolyHeight(x, z, true); }

int32_t SB_GetWheelContactFaces(TFACELISTENTRY* list, int32_t capacity, const double* position) {
  return Gather(list, capacity, position, kWheelReach, SB_WHEELRUN, true);
}

int32_t SB_GetBodyContactFaces(TFACELISTENTRY* list, int32_t capacity, const double* position) {
  return Gather(list, capacity, position, kBodyReach, SB_BODYRUN, false);
}

double SB_GetHeightInFaceList(const TFACELISTENTRY* list, int32_t count, int32_t x, int32_t z) {
  ResetNormal();
  for (int32_t i = 0; list && i < count; ++i) {
    const TFACELISTENTRY& entry = list[i];
    const TFFACEPOLY& face = *entry.Face;
    const int64_t px = int64_t{x} + entry.OffsetX, pz = int64_t{z} + entry.OffsetZ;
    double height = 0;
    if (!InBox(face, px, pz, 0) || !Contains(face, px, pz) || !PlaneHeight(face, px, pz, &height)) continue;
    if (face.Material < SB_MAXTEXTURES) {
      const TTEXTUREPLACE& place = SB_Var.TexturePlaces[face.Material];
      const uint8_t flags[SB_NBGROUNDFLAGS] = {place.H, place.B, place.L, place.F, place.E};
      for (int32_t f = 0; f < SB_NBGROUNDFLAGS; ++f) SB_Var.GroundFlags[f] |= static_cast<int8_t>(flags[f]);
    }
    KeepNormal(face);
    return height + entry.HeightBase - kPolyGroundBase;
  }
  return SB_NOGROUND;
}

int32_t SB_GetBodyFaceContact(const TFACELISTENTRY* list, int32_t count, int32_t x, int32_t z, double* result,
                              int32_t fromX, int32_t fromZ) {
  result[0] = result[1] = result[2] = 0.0;
  double best = 1.0;
  for (int32_t i = 0; list && i < count; ++i) {
    const TFACELISTENTRY& entry = list[i];
    const TFFACEPOLY& face = *entry.Face;
    const double px = static_cast<double>(x) + entry.OffsetX, pz = static_cast<double>(z) + entry.OffsetZ;
    const double qx = static_cast<double>(fromX) + entry.OffsetX, qz = static_cast<double>(fromZ) + entry.OffsetZ;
    if (!InBox(face, static_cast<int64_t>(px), static_cast<int64_t>(pz), static_cast<int64_t>(kWallReach)))
      continue;
    // Each edge from its start b (the current corner) towards the previous
    // corner, the closing edge first.
    for (int32_t k = 0; k < face.NbCorners; ++k) {
      const TCORNER a = Corner(face, (k + face.NbCorners - 1) % face.NbCorners), b = Corner(face, k);
      const double ex = double(a.X - b.X), ez = double(a.Z - b.Z);
      if (ex == 0.0 && ez == 0.0) continue;
      const double wx = px - b.X, wz = pz - b.Z, e2 = ex * ex + ez * ez, ew = ex * wx + ez * wz;
      const double vx = ew * ex - e2 * wx, vz = ew * ez - e2 * wz;
      if (vx * vx + vz * vz > e2 * e2 * kWallReach * kWallReach) continue;  // the line is over 1 m away
      double t = 0, s = 0;
      if (!Crossing(qx, qz, px - qx, pz - qz, double(b.X), double(b.Z), ex, ez, &t, &s)) continue;
      if (s < 0.0 || s > 1.0 || t < 0.0 || !(t < best)) continue;
      best = t;
      const double foot = ew / e2;  // the perpendicular's foot on the edge's line
      result[0] = (b.X + foot * ex - px) * 0.003125;
      result[2] = (b.Z + foot * ez - pz) * 0.003125;
    }
  }
  return best < 1.0 ? 1 : 0;
}

void SB_GetLastGroundNormal(int32_t* x, int32_t* y, int32_t* z) {
  *x = 8192 - SB_Var.GroundNormal[0];
  *y = 8192 - SB_Var.GroundNormal[1];
  *z = 8192 - SB_Var.GroundNormal[2];
}
