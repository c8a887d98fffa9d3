// The track editor's object paths: points clicked on the ground while
// recording, and their export as a decor-script block (".TRJ") and as
// lists of samples about a metre apart (".TAB" binary, ".CRD" text).
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine3d/types.h"
#include "shell/console.h"
#include "shell/gamefile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "tools/trackedit/catmullrom.h"
#include "tools/trackedit/trackedit.h"
#include "track/ground.h"

namespace {

constexpr const char* kOwner = "StartMoveRecord";
constexpr int32_t kRecordBytes = 240000;
constexpr int32_t kMaxMovePoints = 256;
constexpr double kMetresPerUnit = 0.003125;
constexpr double kSampleStep = 0.0005, kSampleSpacing = 1.0;

// The current object's script name, or null without decor objects.
const char* ScriptName() {
  if (!SB_Var.DecorScriptNames || SB_Var.MoveObject < 0 || SB_Var.MoveObject >= SB_Var.NbDecorObjects)
    return nullptr;
  return SB_Var.DecorScriptNames[SB_Var.MoveObject];
}

// The script name with the extension, bounded; a handle or 0 (reported).
int32_t Create(const char* extension) {
  char name[SB_DECORNAMESIZE + 4 + 1];
  std::snprintf(name, sizeof name, "%.*s%s", SB_DECORNAMESIZE - 1, ScriptName(), extension);
  const SB_KeepFileErrors keep;
  const int32_t file = SB_OpenFile(name, SB_OPEN_CREATE);
  if (!file) SB_ConsolePrintf("Error creating file %s !!!", name);
  return file;
}

void Print(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Print(std::string& out, const char* format, ...) {
  char line[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  out += line;
}

void WriteText(int32_t file, const std::string& text) {
  SB_WriteFile(file, text.data(), static_cast<int32_t>(text.size()));
}

// A point as three little-endian doubles.
void WritePoint(int32_t file, const TVECTOR& p) {
  uint8_t bytes[24];
  const double v[3] = {p.x, p.y, p.z};
  for (int32_t k = 0; k < 3; ++k) {
    uint64_t bits = 0;
    std::memcpy(&bits, &v[k], sizeof bits);
    for (int32_t b = 0; b < 8; ++b) bytes[k * 8 + b] = static_cast<uint8_t>(bits >> (8 * b));
  }
  SB_WriteFile(file, bytes, sizeof bytes);
}

const TVECTOR& Point(int32_t i) {
  const int32_t last = SB_Var.NbMovePoints - 1;
  return SB_Var.MoveRecord[i < last ? i : last];
}

double Distance(const TVECTOR& a, const TVECTOR& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

std::string TrajectoryText(const char* name) {
  std::string t;
  Print(t, "; OBJECT PATH: '%s'\n; %ld coordinates\n{\n", name, static_cast<long>(SB_Var.NbMovePoints));
  for (int32_t i = 0; i < SB_Var.NbMovePoints; ++i) {
    const TVECTOR& p = SB_Var.MoveRecord[i];
    if (i == 0)
      Print(t, "\t{\n\t\tANGLE\t0,90,0\n\t\tSPEED\t0.5,0.5,0.5\n\t\tXYZ\t%6.8G,%6.8G,%6.8G\n", p.x, p.y, p.z);
    else
      Print(t, "\t{\n\t\tAUTOANGLE\n\t\tAUTOSPEED\n\t\tAUTOPENCHE\n\t\tXYZ\t%6.8G,%6.8G,%6.8G\n", p.x, p.y, p.z);
    Print(t, "\t\tTIME\t%5.8G\n\t}\n", SB_MovePointDistance(i));
  }
  t += "}\n";
  return t;
}

void WriteSample(int32_t crd, int32_t tab, int32_t k, const TVECTOR& p) {
  std::string line;
  Print(line, "[%ld] x:%G y:%G z:%G \n", static_cast<long>(k), p.x, p.y, p.z);
  WriteText(crd, line);
  WritePoint(tab, p);
}

}  // namespace

double SB_MovePointDistance(int32_t i) {
  if (!SB_Var.MoveRecord || i < 0 || i + 1 >= SB_Var.NbMovePoints) return 0.0;
  return Distance(SB_Var.MoveRecord[i], SB_Var.MoveRecord[i + 1]);
}

void StartMoveRecord() {
  if (SB_Var.MoveRecord) SB_Release(SB_Var.MoveRecord);
  SB_Var.NbMovePoints = 0;
  SB_Var.MoveRecord = static_cast<TVECTOR*>(SB_GetMem(kRecordBytes, kOwner));
}

void SB_NextMoveObject() {
  if (SB_Var.NbDecorObjects <= 0) return;
  SB_Var.MovePath = 0;
  SB_Var.MoveObject = (SB_Var.MoveObject + 1) % SB_Var.NbDecorObjects;
}

void SB_AddMovePoint() {
  const bool fresh = (SB_Var.Buttons & 1) && !(SB_Var.PrevButtons & 1);
  if (!SB_Var.Recording || !SB_Var.MoveRecord || !fresh || (SB_Var.EditDrag != 0 && SB_Var.EditDrag != 3) ||
      SB_Var.NbMovePoints >= kMaxMovePoints)
    return;
  const int64_t x = SB_EditPixelToMapX(SB_Var.MouseX), z = SB_EditPixelToMapZ(SB_Var.MouseY);
  const double h = SB_EditGroundHeight(static_cast<double>(x), static_cast<double>(z));
  TVECTOR p = {x * kMetresPerUnit, h * kMetresPerUnit, z * kMetresPerUnit};
  // Over no ground the path keeps the height of the point before it; a
  // path cannot start there.
  if (!(h < SB_NOGROUND)) {
    if (SB_Var.NbMovePoints == 0) return;
    p.y = SB_Var.MoveRecord[SB_Var.NbMovePoints - 1].y;
  }
  if (SB_Var.NbMovePoints == 0) SB_Var.MoveRecord[SB_Var.NbMovePoints++] = p;
  SB_Var.MoveRecord[SB_Var.NbMovePoints++] = p;
}

void SB_SaveMoveCoords() {
  const int32_t tab = Create(".TAB");
  if (!tab) return;
  const int32_t crd = Create(".CRD");
  if (!crd) {
    SB_CloseFile(tab);
    return;
  }
  int32_t k = 0;
  TVECTOR last{}, cur{};
  for (int32_t i = 0; i < SB_Var.NbMovePoints; ++i) {
    const TVECTOR& p = SB_Var.MoveRecord[i];
    std::string line;
    Print(line, "[COORDS] x:%G y:%G z:%G\n", p.x, p.y, p.z);
    WriteText(crd, line);
    for (int32_t step = 0; step < 2000; ++step, ++k) {
      CalcCatmullRomPoint(&cur, &Point(i), step * kSampleStep, &Point(i + 1), &Point(i + 2), &Point(i + 3));
      if (k == 0 || Distance(last, cur) >= kSampleSpacing) WriteSample(crd, tab, k, cur), last = cur;
    }
  }
  // The closing sample: none without a point.
  if (SB_Var.NbMovePoints > 0) WriteSample(crd, tab, k, cur);
  SB_CloseFile(crd);
  SB_CloseFile(tab);
}

void SB_SaveMoveRecord() {
  if (!SB_Var.MoveRecord) return;  // no recording: nothing to write
  const char* name = ScriptName();
  if (name) {
    const int32_t trj = Create(".TRJ");
    if (trj) {
      WriteText(trj, TrajectoryText(name));
      SB_CloseFile(trj);
    }
    SB_SaveMoveCoords();
  }
  SB_Release(SB_Var.MoveRecord);
  SB_Var.MoveRecord = nullptr;
}
