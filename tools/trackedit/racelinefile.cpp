// The race line's two files, a 32-bit count then that many points of three
// little-endian doubles: the control points (SAVEBSPLINE, LOADBSPLINE),
// which take the same lines, and the per-metre table (SAVEBSPLINEMETER),
// which the track reads as its centre line.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine3d/types.h"
#include "shell/console.h"
#include "shell/gamefile.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "tools/bsplines.h"
#include "track/types.h"

namespace {

constexpr int32_t kPointBytes = 24;

void PutDouble(uint8_t* out, double v) {
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(bits >> (8 * i));
}

double GetDouble(const uint8_t* in) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= uint64_t{in[i]} << (8 * i);
  double v = 0;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

// What saving and loading both require of a line, besides no more points
// than the array holds: every coordinate a finite number. The first point
// that is not, or -1 when the line is sound. Far points are kept: the
// editors draw them clipped, and a line longer than the metre table is
// cut when resampled, with a message.
int32_t FirstUnsoundPoint(const TVECTOR* points, int32_t count) {
  for (int32_t k = 0; k < count; ++k)
    if (!std::isfinite(points[k].x) || !std::isfinite(points[k].y) || !std::isfinite(points[k].z)) return k;
  return -1;
}

// Writes the count and the points; the file's own errors are the user's
// to read on the console, and the console goes on.
bool SavePoints(const char* name, const TVECTOR* points, int32_t count) {
  std::vector<uint8_t> bytes(4 + size_t(count) * kPointBytes);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(uint32_t(count) >> (8 * i));
  for (int32_t k = 0; k < count; ++k) {
    uint8_t* out = bytes.data() + 4 + size_t(k) * kPointBytes;
    PutDouble(out, points[k].x);
    PutDouble(out + 8, points[k].y);
    PutDouble(out + 16, points[k].z);
  }
  SB_KeepFileErrors keep;
  const int32_t file = SB_OpenFile(name, SB_OPEN_CREATE);
  if (!file) {
    SB_ConsolePrintf("Error creating file %s !!!", name);
    return false;
  }
  const int32_t size = static_cast<int32_t>(bytes.size());
  const bool written = SB_WriteFile(file, bytes.data(), size) == size;
  SB_CloseFile(file);
  if (!written) SB_ConsolePrintf("Error creating file %s !!!", name);
  return written;
}

// The file's points when it is whole: its size is the count's, and the
// line one that could have been saved. Reports what is wrong with it
// otherwise.
bool ReadPoints(const char* name, int32_t file, std::vector<TVECTOR>* points) {
  const int64_t size = LS_GetFileSize(name);
  uint8_t head[4] = {};
  const bool counted = SB_ReadFile(file, head, 4) == 4;
  const int32_t count = static_cast<int32_t>(head[0] | head[1] << 8 | head[2] << 16 | uint32_t(head[3]) << 24);
  if (!counted || count < 0 || size != 4 + int64_t{count} * kPointBytes) {
    SB_ConsolePrintf("Bspline file %s corrupt !!!", name);
    return false;
  }
  if (count > SB_MAXRACELINEPOINTS) {
    SB_ConsolePrintf("Bspline file %s: %ld points, %ld at most !!!", name, long(count), long(SB_MAXRACELINEPOINTS));
    return false;
  }
  std::vector<uint8_t> bytes(size_t(count) * kPointBytes);
  if (SB_ReadFile(file, bytes.data(), static_cast<int32_t>(bytes.size())) != static_cast<int32_t>(bytes.size())) {
    SB_ConsolePrintf("Bspline file %s corrupt !!!", name);
    return false;
  }
  for (int32_t k = 0; k < count; ++k) {
    const uint8_t* in = bytes.data() + size_t(k) * kPointBytes;
    points->push_back({GetDouble(in), GetDouble(in + 8), GetDouble(in + 16)});
  }
  if (FirstUnsoundPoint(points->data(), count) >= 0) {
    SB_ConsolePrintf("Bspline file %s corrupt !!!", name);
    return false;
  }
  return true;
}

}  // namespace

void SB_SaveBsplines(const char* name) {
  if (SB_Var.NbRaceLinePoints <= 0) {
    SB_ConsolePrintf("Error no bspline !!!");
    return;
  }
  const int32_t count = SB_Var.NbRaceLinePoints;
  if (count > SB_MAXRACELINEPOINTS) {
    SB_ConsolePrintf("Bspline %s not saved: %ld points, %ld at most !!!", name, long(count),
                     long(SB_MAXRACELINEPOINTS));
    return;
  }
  if (const int32_t bad = FirstUnsoundPoint(SB_Var.RaceLinePoints, count); bad >= 0) {
    SB_ConsolePrintf("Bspline %s not saved: point %ld is not a number !!!", name, long(bad));
    return;
  }
  if (SavePoints(name, SB_Var.RaceLinePoints, count)) SB_ConsolePrintf("Bspline %s saved.", name);
}

void SB_SaveBsplinesMeters(const char* name) {
  // A table cut short is no line to race on, even when nothing came
  // before the cut.
  if (SB_BsplineMetersCut() == SB_BSPLINE_TOOLONG) {
    SB_ConsolePrintf("Bspline meter %s not saved: the line is longer than %ld m !!!", name,
                     long(SB_MAXBSPLINEMETERS));
    return;
  }
  if (SB_BsplineMetersCut()) {
    SB_ConsolePrintf("Bspline meter %s not saved: the line leaves the map, %ld km from its origin !!!", name,
                     static_cast<long>(SB_WORLDMETRES / 1000.0));
    return;
  }
  if (SB_Var.NbBsplineMeters <= 0 || !SB_Var.BsplineMeters) {
    SB_ConsolePrintf("Error no bspline !!!");
    return;
  }
  if (SavePoints(name, SB_Var.BsplineMeters, SB_Var.NbBsplineMeters))
    SB_ConsolePrintf("Bspline meter %s saved.", name);
}

int32_t SB_LoadBsplines(const char* name) {
  std::vector<TVECTOR> points;
  {
    SB_KeepFileErrors keep;
    const int32_t file = SB_OpenFile(name, SB_OPEN_READ);
    if (!file) return 0;
    const bool whole = ReadPoints(name, file, &points);
    SB_CloseFile(file);
    if (!whole) return 0;
  }
  const int32_t count = static_cast<int32_t>(points.size());
  for (int32_t k = 0; k < count; ++k) {
    SB_Var.RaceLinePoints[k] = points[k];
    SB_Var.BsplineSelected[k] = 0;
  }
  SB_Var.NbRaceLinePoints = count;
  SB_GetBsplinesAngles();
  return 1;
}
