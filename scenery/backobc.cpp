// Background objects: up to ten distant 3D objects (mountains) listed in
// "backobc.txt", one "path x y z" line each. They load once when the
// console starts, their texture pictures kept in HSV; each race makes an
// instance of each for the screen's format, its textures turned back to
// RGB, and frees it at the race's end; the objects go when the console
// closes.
//
// The entries the console and the race session call are weak, so that
// tests can put recording fakes in their place.
#include "scenery/backobc.h"

#include <cmath>
#include <cstdio>

#include "engine3d/object.h"
#include "scenery/devenv.h"
#include "scenery/effects.h"
#include "shell/console.h"
#include "shell/gamedraw.h"
#include "shell/gamefile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "vehicles/cars.h"
#include "vehicles/paint.h"

namespace {

constexpr const char* kListFile = "backobc.txt";
constexpr const char* kWorkOwner = "Mountains";
constexpr int32_t kWorkSide = 256;

MLIB* LibraryOf(const OBJECT* object) {
  return object && object->Materials ? object->Materials->Library : nullptr;
}

void ModeFormat(int32_t* depth, int32_t* format) {
  const int32_t index = SB_Var.VideoModeIndex;
  const bool valid = index >= 0 && index < SB_NBVIDEOMODES;
  *depth = valid ? SB_Var.VideoModes[index].Depth : 16;
  *format = valid ? SB_Var.VideoModes[index].TextureFormat : 0;
}

// One line of the list: a word and three finite numbers load an object;
// anything else is skipped.
void LoadLine(const char* line) {
  char name[SB_TEXTLINESIZE];
  float x = 0, y = 0, z = 0;
  if (std::sscanf(line, "%255s %f %f %f", name, &x, &y, &z) != 4) return;
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
    SB_ConsolePrintf("Bad position for %s, line skipped", name);
    return;
  }
  LoadBackObc(name, x, y, z);
}

}  // namespace

const char* GetNextTextLine(const char* start, const char* end, char* line) {
  if (!start || !end || start >= end) return nullptr;
  int32_t length = 0;
  const char* p = start;
  for (; p < end && *p != '\r' && *p != '\n'; ++p)
    if (length < SB_TEXTLINESIZE - 1) line[length++] = *p;
  line[length] = '\0';
  if (p < end) {
    const char first = *p++;
    if (p < end && (*p == '\r' || *p == '\n') && *p != first) ++p;  // CR LF or LF CR
  }
  return p;
}

void LoadBackObc(const char* name, float x, float y, float z) {
  if (SB_Var.NbBackObcs >= SB_MAXBACKOBCS) {
    SB_ConsolePrintf("Can't load %s, too many objects...", name);
    return;
  }
  SB_ConsolePrintf("Loading object %s...", name);
  OBJECT* object;
  {
    // A damaged file is refused here, not made the end of the program.
    SB_KeepFileErrors keep;
    object = LoadObject(name, 0, MLIB_FROMFILE);
  }
  if (!object) {
    SB_ConsolePrintf("Error, file %s not found !!!", name);
    return;
  }
  SB_ObjectBmapsRGBtoHSV(object);
  TBACKOBC& record = SB_Var.BackObcs[SB_Var.NbBackObcs++];
  record = {};
  record.Object = object;
  record.X = x, record.Y = y, record.Z = z;
  std::snprintf(record.Name, sizeof record.Name, "%s", name);
}

__attribute__((weak)) void LoadBackObcFile() {
  FreeBackObc();  // a second start-up does not lose the first one's objects
  void* text = nullptr;
  const int32_t size = SB_LoadWholeFile(kListFile, &text);
  if (size <= 0 || !text) {
    if (text) SB_Release(text);
    return;
  }
  SB_ConsolePrintf("Loading background objects...");
  const char* end = static_cast<const char*>(text) + size;
  char line[SB_TEXTLINESIZE];
  for (const char* p = static_cast<const char*>(text); (p = GetNextTextLine(p, end, line));) LoadLine(line);
  SB_Release(text);
}

__attribute__((weak)) void FreeBackObc() {
  for (int32_t i = 0; i < SB_Var.NbBackObcs && i < SB_MAXBACKOBCS; ++i) {
    TBACKOBC& record = SB_Var.BackObcs[i];
    FreeObject(record.Instance);
    FreeObject(record.Object);
    record = {};
  }
  SB_Var.NbBackObcs = 0;
}

__attribute__((weak)) void TransBackObc() {
  int32_t depth, format;
  ModeFormat(&depth, &format);
  for (int32_t i = 0; i < SB_Var.NbBackObcs && i < SB_MAXBACKOBCS; ++i) {
    TBACKOBC& record = SB_Var.BackObcs[i];
    if (!record.Object) continue;
    FreeObject(record.Instance);  // one left by a race that did not end
    record.Instance = DupObject(record.Object, 1);
    OBJECT* instance = record.Instance;
    if (!instance) continue;
    SB_SetObjectMaterials(instance, SB_DupMaterialLibraryFrom16to256(instance->Materials, depth, format));
    // The loader leaves the axes zero: without the display axes every
    // point of the object would be drawn at its place.
    for (OBJECT* part = instance; part; part = part->Next)
      for (int32_t k = 0; k < 9; ++k) part->Orientation[k] = static_cast<float>(SB_Var.CarAxisMatrix[k]);
    SB_BuildBackObcTextures(instance, record.Object);
  }
}

__attribute__((weak)) void DisposeBackObc() {
  for (int32_t i = 0; i < SB_Var.NbBackObcs && i < SB_MAXBACKOBCS; ++i) {
    FreeObject(SB_Var.BackObcs[i].Instance);
    SB_Var.BackObcs[i].Instance = nullptr;
  }
}

void SB_BuildBackObcTextures(OBJECT* instance, OBJECT* object) {
  MLIB* to = LibraryOf(instance);
  const MLIB* from = LibraryOf(object);
  // An instance whose library could not be copied shares its object's:
  // converting that one would spoil the object's pictures.
  if (!to || !from || to == from || !to->Textures || !from->Textures || !to->NbTextures || !from->NbTextures)
    return;
  BMAP* work = SB_CreateBmap(kWorkSide, kWorkSide, 24, 0, kWorkOwner);
  if (!work) return;
  const uint32_t n = to->NbTextures < from->NbTextures ? to->NbTextures : from->NbTextures;
  for (uint32_t j = 0; j < n; ++j) {
    BMAP* picture = from->Textures[j].Picture;
    BMAP* texture = to->Textures[j].Bitmap;
    if (!picture || !texture) continue;
    LS_ClearBmap(work);
    SB_Bitmove(picture, work, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0);
    SB_BmapHSVtoRGB(work);
    texture->Palette = SB_Var.Pal3d;
    SB_Bitmove(work, texture, 0, 0, kWorkSide - 1, kWorkSide - 1, 0, 0);
  }
  SB_FreeBmap(work);
}
