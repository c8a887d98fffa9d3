// The centre line: its file, the searches for the point nearest to a
// position (local around a known index, or over the whole line), and the
// cars' and camera's progress along it. Distances are taken in the
// horizontal x, z plane; indices wrap modulo the point count.
#include "track/bspline.h"

#include <cmath>

#include "shell/console.h"
#include "shell/gamefile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "track/types.h"

static_assert(sizeof(TVECTOR) == 24, "a centre-line point as in its file: three doubles");

namespace {

constexpr const char* kOwner = "SB_LoadBsplinesMeters";
constexpr double kFarFromLine = 900.0;  // squared metres: 30 m from the line near the last index
constexpr int32_t kCoarseStep = 20;
constexpr int32_t kWrongWayTime = 2001;  // ms behind the last growth before the flag is set

bool LineValid() { return SB_Var.BsplineValid && SB_Var.BsplinePoints && SB_Var.NbBsplinePoints > 0; }

int32_t Wrap(int64_t i) {
  const int64_t n = SB_Var.NbBsplinePoints;
  const int64_t r = i % n;
  return static_cast<int32_t>(r < 0 ? r + n : r);
}
const TVECTOR& Point(int64_t i) { return SB_Var.BsplinePoints[Wrap(i)]; }
// A fractional index brought into 0..N.
double WrapIndex(double f) {
  const double n = SB_Var.NbBsplinePoints;
  f = std::fmod(f, n);
  return f < 0.0 ? f + n : f;
}

double Distance2(const double* p, const TVECTOR& a) {
  const double dx = a.x - p[0], dz = a.z - p[2];
  return dx * dx + dz * dz;
}

// The squared distance of the position to the segment from a to b (clamped
// to its ends) and the projection s along it (not clamped); false for a
// segment of zero length.
bool SegmentDistance(const double* p, const TVECTOR& a, const TVECTOR& b, double* d2, double* s) {
  const double dx = b.x - a.x, dz = b.z - a.z;
  const double length2 = dx * dx + dz * dz;
  if (!(length2 > 0.0)) return false;
  *s = ((p[0] - a.x) * dx + (p[2] - a.z) * dz) / length2;
  if (*s < 0.0)
    *d2 = Distance2(p, a);
  else if (*s > 1.0)
    *d2 = Distance2(p, b);
  else {
    const double ex = a.x + *s * dx - p[0], ez = a.z + *s * dz - p[2];
    *d2 = ex * ex + ez * ez;
  }
  return true;
}

// Whole-line search: a coarse pass over the chords between every 20th
// point, then a fine pass over the 39 segments before the winning chord's
// later point. Candidates rank by their clamped distance, the first of
// equal ranks winning. f stays as it was when no segment has a length.
double WholeLineIndex(const double* p, double f) {
  const int32_t n = SB_Var.NbBsplinePoints;
  double best = INFINITY, d2 = 0, s = 0;
  int32_t winner = -1;
  for (int32_t k = 0; k < n; k += kCoarseStep)
    if (SegmentDistance(p, Point(k - kCoarseStep), Point(k), &d2, &s) && d2 < best) {
      best = d2;
      winner = k;
    }
  if (winner < 0) return f;
  // The chord's earlier point, as every index, modulo N: the chord before
  // point 0 starts at N - 20.
  const int32_t earlier = Wrap(int64_t{winner} - kCoarseStep);
  const int64_t start = earlier < kCoarseStep ? 0 : earlier - kCoarseStep;
  best = INFINITY;
  for (int64_t j = start + 1; j <= start + 2 * kCoarseStep - 1; ++j)
    if (SegmentDistance(p, Point(j), Point(j - 1), &d2, &s) && d2 < best) {
      best = d2;
      f = static_cast<double>(j) - s;
    }
  return f;
}

// The fractional index nearest to the position, searched around the known
// index first, over the whole line when that is over 30 m away; in 0..N.
double NearestIndex(const double* p, int32_t index) {
  double best = 1e10, f = 0.0;
  for (int64_t k = int64_t{index} - 10; k <= int64_t{index} + 9; ++k)
    SB_BsplineSegmentDistance(p, static_cast<int32_t>(Wrap(k)), static_cast<int32_t>(Wrap(k + 1)), &best, &f);
  if (best > kFarFromLine) f = WholeLineIndex(p, f);
  return WrapIndex(f);
}

// Sector, laps and distance from the new index: a step of one sector moves
// the sector, 9 to 0 counts a lap, 0 to 9 takes one back; a jump of two
// sectors or more sets the skip flag and freezes the distance.
void UpdateSectorAndDistance(TCAR* car, int32_t index, double f) {
  const int32_t n = SB_Var.NbBsplinePoints;
  const int32_t sector = static_cast<int32_t>(int64_t{index} * 10 / n);
  if (sector == car->Sector + 1 || sector == car->Sector - 1) {
    car->Sector = sector;
  } else if (car->Sector >= 9 && sector == 0) {
    ++car->Laps;
    car->Sector = 0;
  } else if (car->Sector == 0 && sector >= 9) {
    --car->Laps;
    car->Sector = sector;
  }
  if (car->Sector == sector) {
    car->SectorSkip = 0;
    car->Distance = static_cast<double>(car->Laps) * n + f;
  } else {
    car->SectorSkip = 1;
  }
}

void UpdateWrongWay(TCAR* car) {
  if (car->Distance > car->PrevDistance) {
    car->BestDistance = car->Distance;
    car->WrongWay = 0;
    car->WrongWayTime = 0;
  } else if (car->Distance < car->BestDistance - 1.0) {
    car->WrongWayTime += SB_Var.FrameTime;
    if (car->WrongWayTime >= kWrongWayTime) car->WrongWay = 1;
  }
}

void ReleasePoints() {
  if (SB_Var.BsplinePoints) SB_Release(SB_Var.BsplinePoints);
  SB_Var.BsplinePoints = nullptr;
  SB_Var.NbBsplinePoints = 0;
  SB_Var.BsplineValid = 0;
}

}  // namespace

// The session's entry points are weak, so that tests can put recording
// fakes in their place.
__attribute__((weak)) void SB_FreeBsplinePoints() { ReleasePoints(); }

int32_t SB_ReadBsplineFile(const char* path, int32_t* count, TVECTOR** points) {
  *count = 0;
  if (points) *points = nullptr;
  const int32_t file = path && path[0] ? SB_OpenFile(path, SB_OPEN_READ) : 0;
  if (!file) return SB_LINEFILE_MISSING;
  // The file is exactly its count and that many points, every one finite.
  const int64_t size = LS_GetFileSize(path);
  int32_t n = 0;
  const bool counted = SB_ReadFile(file, &n, sizeof n) == sizeof n && n >= 1;
  bool sound = counted && size == int64_t{n} * static_cast<int64_t>(sizeof(TVECTOR)) + 4;
  *count = counted ? n : 0;
  // The count is checked before anything is allocated by it.
  const bool tooLarge = sound && n > SB_MOSTBSPLINEPOINTS;
  sound = sound && !tooLarge;
  const int32_t bytes = sound ? n * static_cast<int32_t>(sizeof(TVECTOR)) : 0;
  auto* read = static_cast<TVECTOR*>(sound ? SB_GetMem(bytes, kOwner) : nullptr);
  sound = read && SB_ReadFile(file, read, bytes) == bytes;
  for (int32_t i = 0; sound && i < n; ++i)
    sound = std::isfinite(read[i].x) && std::isfinite(read[i].y) && std::isfinite(read[i].z);
  SB_CloseFile(file);
  if (sound && points) {
    *points = read;
    read = nullptr;
  }
  if (read) SB_Release(read);
  if (tooLarge) return SB_LINEFILE_TOOLARGE;
  return sound ? SB_LINEFILE_SOUND : SB_LINEFILE_CORRUPT;
}

int32_t SB_LoadBsplinesMeters(const char* path) {
  SB_Var.BsplineValid = 0;
  if (!SB_Var.Decor.NewlyLoaded) {
    SB_Var.BsplineValid = SB_Var.BsplinePoints && SB_Var.NbBsplinePoints > 0;
    return 1;
  }
  ReleasePoints();
  const char* name = path ? path : "";
  int32_t n = 0;
  TVECTOR* points = nullptr;
  switch (SB_ReadBsplineFile(path, &n, &points)) {
    case SB_LINEFILE_SOUND: break;
    case SB_LINEFILE_MISSING: SB_ConsolePrintf("Bspline file %s not found !!!", name); return 0;
    case SB_LINEFILE_TOOLARGE:
      SB_ConsolePrintf("Bspline file %s refused: %ld points, a race takes at most %ld !!!", name, static_cast<long>(n),
                       static_cast<long>(SB_MOSTBSPLINEPOINTS));
      return 0;
    default: SB_ConsolePrintf("Bspline file %s corrupt !!!", name); return 0;
  }
  SB_Var.BsplinePoints = points;
  SB_Var.NbBsplinePoints = n;
  SB_Var.BsplineValid = 1;
  return 1;
}

int32_t SB_ReadBsplineName(TKEYFILE* file, char* name, size_t size) {
  if (size == 0) return 0;
  name[0] = '\0';
  return SB_ScanKeyFile(file, 1, "BSPLINENAME: %s", {TKEYVALUE(name, size)}) == 1 ? 1 : 0;
}

__attribute__((weak)) void SB_EvolutionPrepare() { SB_LoadBsplinesMeters(SB_Var.BsplineName); }

int32_t SB_BsplineSegmentDistance(const double* position, int32_t i, int32_t j, double* best, double* index) {
  if (!LineValid()) return 0;
  double d2 = 0, s = 0;
  if (!SegmentDistance(position, Point(i), Point(j), &d2, &s) || !(d2 < *best)) return 0;
  *best = d2;
  *index = Wrap(i) + s;
  return 1;
}

void SB_UpdateCarTrackProgress(TCAR* car) {
  if (!car || !SB_Var.UsingCars || !LineValid()) return;
  car->PrevDistance = car->Distance;
  const double f = NearestIndex(car->Position, car->CenterLineIndex);
  car->CenterLineIndex = static_cast<int32_t>(f);
  UpdateSectorAndDistance(car, car->CenterLineIndex, f);
  // The set-up's distance of 0 is not where the car stands: a grid behind
  // the start line measures a lap less on the first frame. That first
  // measure is where the car starts, so that a car standing on the grid or
  // driving to the line is not taken for one going the wrong way.
  if (!car->ProgressMeasured) {
    car->ProgressMeasured = 1;
    car->BestDistance = car->PrevDistance = car->Distance;
  }
  UpdateWrongWay(car);
}

int32_t SB_UpdateCameraBsplineIndex(TCAMERA* camera) {
  if (!camera || !LineValid()) return 0;
  const double position[3] = {camera->PosX, camera->PosY, camera->PosZ};
  camera->BsplineIndex = static_cast<int32_t>(NearestIndex(position, camera->BsplineIndex));
  return camera->BsplineIndex;
}

// Weak, so that the camera tests can put a centre line of their own in place.
__attribute__((weak)) void SB_GetNearestBsplinePoint(const double* position, double* nearest, double* alternative) {
  *nearest = *alternative = 0.0;
  if (!LineValid()) return;
  const double f = WrapIndex(WholeLineIndex(position, 0.0));
  *nearest = *alternative = f;
  // Second look, for lines that pass near themselves: walking away from
  // the nearest point both ways, the nearest point once the line comes back
  // towards the position.
  const int32_t k = Wrap(static_cast<int64_t>(std::floor(f)));
  const double reference = std::fmin(Distance2(position, Point(k)), Distance2(position, Point(k + 1)));
  double best = 1e9;
  int32_t found = -1;
  for (int32_t direction : {1, -1}) {
    double previous = reference;
    bool coming = false;
    for (int64_t step = 100; step < 1000; ++step) {
      const int32_t i = Wrap(k + direction * step);
      const double d2 = Distance2(position, Point(i));
      coming = coming || d2 < previous;
      if (coming && d2 < best) {
        best = d2;
        found = i;
      }
      previous = d2;
    }
  }
  if (found >= 0 && best < 60.0 * 60.0) *alternative = found;
}
