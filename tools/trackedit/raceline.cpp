// The race line's curve: its segments, the resampling every metre of arc
// into the table the track reads as its centre line, and the search for
// the segment under the track editor's mouse.
#include <cmath>
#include <cstdint>

#include "engine3d/types.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "tools/bsplines.h"
#include "tools/trackedit/catmullrom.h"
#include "track/types.h"

namespace {

constexpr const char* kOwner = "SB_GetBsplinesAngles";
constexpr double kResampleStep = 0.001;  // of t: 1000 steps a segment
constexpr double kSearchStep = 0.025;    // of t: 40 chords a segment
constexpr double kLastT = 0.9999999;
constexpr double kNoSegment = 100000000000.0;
constexpr double kMetresPerUnit = 0.003125;  // 1 / 320
constexpr int32_t kTileUnits = 4096;
constexpr double kLeastGroundShare = 1e-9;  // of a step's length, on the ground plane
constexpr double kRoundingShare = 1e-13;    // of a curve point's size

// The four control points of segment i: its ends, and their neighbours or,
// at the line's ends, the reflection of the other end.
struct TSEGMENT {
  TVECTOR P[4];
};

TVECTOR Reflect(const TVECTOR& a, const TVECTOR& b) { return {2 * a.x - b.x, 2 * a.y - b.y, 2 * a.z - b.z}; }

TSEGMENT Segment(int32_t i) {
  const TVECTOR* p = SB_Var.RaceLinePoints;
  const int32_t n = SB_Var.NbRaceLinePoints;
  TSEGMENT s;
  s.P[0] = i == 0 ? Reflect(p[0], p[1]) : p[i - 1];
  s.P[1] = p[i];
  s.P[2] = p[i + 1];
  s.P[3] = i == n - 2 ? Reflect(p[n - 1], p[n - 2]) : p[i + 2];
  return s;
}

TVECTOR At(const TSEGMENT& s, double t) {
  TVECTOR r;
  CalcCatmullRomPoint(&r, &s.P[0], t, &s.P[1], &s.P[2], &s.P[3]);
  return r;
}

int32_t NbSegments() {
  const int32_t n = SB_Var.NbRaceLinePoints;
  return n < 2 || n > SB_MAXRACELINEPOINTS ? 0 : n - 1;
}

// The resampling's state: the arc still to go before the next metre
// point, and why the table was cut (0 not).
struct TRESAMPLE {
  double Remaining = 0.0;
  int32_t Cut = 0;
};

// The table ends here, for that reason: reported once a resampling.
void Cut(TRESAMPLE* state, int32_t reason) {
  if (state->Cut) return;
  state->Cut = reason;
  if (reason == SB_BSPLINE_TOOLONG)
    SB_ConsolePrintf("Bspline cut at %d m !!!", SB_MAXBSPLINEMETERS);
  else
    SB_ConsolePrintf("Bspline cut at %ld m: the line leaves the map, %ld km from its origin !!!",
                     static_cast<long>(SB_Var.NbBsplineMeters), static_cast<long>(SB_WORLDMETRES / 1000.0));
}

// The point count times, as far as the table has room.
void Append(const TVECTOR& q, double count, TRESAMPLE* state) {
  if (!(count > 0.0)) return;
  const int32_t room = SB_MAXBSPLINEMETERS - SB_Var.NbBsplineMeters;
  const int32_t n = count < room ? static_cast<int32_t>(count) : room;
  for (int32_t k = 0; k < n; ++k) SB_Var.BsplineMeters[SB_Var.NbBsplineMeters++] = q;
  if (count > room) Cut(state, SB_BSPLINE_TOOLONG);
}

// The rounding left in a curve point of that size: the weights of a
// segment whose points are all equal do not sum to exactly one, and a
// step no longer than this is no step. Within the map's world it is below
// 2 micrometres, so no step of a line is lost to it.
double Noise(const TVECTOR& p) {
  return kRoundingShare * (1.0 + std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z));
}

// Whether a curve point lies where the track can place it (not a number
// lies nowhere).
bool InWorld(const TVECTOR& p) {
  return std::fabs(p.x) <= SB_WORLDMETRES && std::fabs(p.y) <= SB_WORLDMETRES && std::fabs(p.z) <= SB_WORLDMETRES;
}

// One step from prev to cur: a metre point each time the arc passes a
// whole metre, one metre on the ground plane from prev along the step.
void Step(const TVECTOR& prev, const TVECTOR& cur, TRESAMPLE* state) {
  // A step that leaves the map's world cuts the line where it leaves: no
  // car races there, and its metres could not all be counted.
  if (state->Cut) return;
  if (!InWorld(prev) || !InWorld(cur)) {
    Cut(state, SB_BSPLINE_TOOFAR);
    return;
  }
  const double dx = cur.x - prev.x, dy = cur.y - prev.y, dz = cur.z - prev.z;
  const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
  if (!(length > Noise(prev))) return;
  if (!(length > state->Remaining)) {
    state->Remaining -= length;
    return;
  }
  const double h = std::sqrt(dx * dx + dz * dz);
  const TVECTOR q = {prev.x + dx / h, prev.y + dy / h, prev.z + dz / h};
  // The first mark the step passes, then one more for each whole metre
  // beyond it: counted at once, which leaves the same remainder bit for
  // bit as subtracting 1.0 at a time.
  const double s = length - state->Remaining;
  const double more = s > 1.0 ? std::ceil(s - 1.0) : 0.0;
  // A step straight up has no ground direction (what is left is the
  // curve's rounding): no point to append.
  if (h > length * kLeastGroundShare) Append(q, 1.0 + more, state);
  state->Remaining = 1.0 - (s - more);
}

// Why the last resampling cut the table, 0 when it did not.
int32_t g_metresCut = 0;

}  // namespace

void SB_GetBsplinesAngles() {
  SB_Var.NbBsplineMeters = 0;
  g_metresCut = 0;
  if (!SB_Var.BsplineMeters)
    SB_Var.BsplineMeters =
        static_cast<TVECTOR*>(SB_GetMem(SB_MAXBSPLINEMETERS * static_cast<int32_t>(sizeof(TVECTOR)), kOwner));
  if (!SB_Var.BsplineMeters) return;
  TRESAMPLE state;
  for (int32_t i = 0; i < NbSegments(); ++i) {
    const TSEGMENT s = Segment(i);
    TVECTOR cur = At(s, 0.0);
    for (double t = 0.0, t2 = 0.0; t2 < kLastT; t = t2) {
      const TVECTOR prev = cur;
      t2 = t + kResampleStep;
      cur = At(s, t2);
      Step(prev, cur, &state);
    }
  }
  g_metresCut = state.Cut;
}

int32_t SB_BsplineMetersCut() { return g_metresCut; }

void SB_FreeBsplinesMeters() {
  if (SB_Var.BsplineMeters) SB_Release(SB_Var.BsplineMeters);
  SB_Var.BsplineMeters = nullptr;
  g_metresCut = 0;
}

double SB_SegmentDist2(const TVECTOR* a, const TVECTOR* b, const TVECTOR* p) {
  const double ex = b->x - a->x, ez = b->z - a->z;
  const double u = ((p->x - a->x) * ex + (p->z - a->z) * ez) / (ex * ex + ez * ez);
  double x = a->x, z = a->z;  // also for a zero-length segment, whose u is not a number
  if (u >= 1.0) {
    x = b->x;
    z = b->z;
  } else if (u > 0.0) {
    x = a->x + u * ex;
    z = a->z + u * ez;
  }
  return (x - p->x) * (x - p->x) + (z - p->z) * (z - p->z);
}

void SB_RaceLineSegmentPoint(int32_t segment, double t, TVECTOR* out) { *out = At(Segment(segment), t); }

int32_t SB_FindNearestBsplineSegment(double* distance) {
  double best = kNoSegment;
  int32_t index = -1;
  const int64_t tile = SB_Var.EditTileSize;
  // Without a top view (no tile size yet) there is no ground point.
  if (tile > 0) {
    const int64_t mapX = ((SB_Var.EditScrollX * tile + SB_Var.MouseX - 320) * kTileUnits) / tile + kTileUnits;
    const int64_t mapZ = ((240 - SB_Var.EditScrollY * tile - SB_Var.MouseY) * kTileUnits) / tile + kTileUnits;
    const TVECTOR p = {mapX * kMetresPerUnit, 0.0, mapZ * kMetresPerUnit};
    for (int32_t i = 0; i < NbSegments(); ++i) {
      const TSEGMENT s = Segment(i);
      for (double t = 0.0, t2 = 0.0; t2 < kLastT; t = t2) {
        const TVECTOR a = At(s, t);
        t2 = t + kSearchStep;
        const TVECTOR b = At(s, t2);
        const double d = SB_SegmentDist2(&a, &b, &p);
        if (d < best) {
          best = d;
          index = i;
        }
      }
    }
  }
  if (distance) *distance = best;
  return index;
}
