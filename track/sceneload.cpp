// Loading a scene and the files it chains to into the raw triangle map,
// and building the loaded map from it.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shell/console.h"
#include "shell/gameevent.h"
#include "shell/gamefile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/input.h"
#include "track/decor.h"
#include "track/scene.h"

TLMAP* SB_Init3dMap() { return static_cast<TLMAP*>(SB_GetMem(sizeof(TLMAP), "SB_Init3dMap")); }

void SB_FreeTLMAP(TLMAP* map) {
  if (!map) return;
  if (map->Faces) SB_Release(map->Faces);
  SB_Release(map);
}

namespace {

void ShowProgress(int32_t files, long objects, long total, bool console) {
  char text[96];
  if (files > 1)
    std::snprintf(text, sizeof text, "......Transformed objects: %ld (total: %ld)", objects, total);
  else
    std::snprintf(text, sizeof text, "......Transformed objects: %ld", objects);
  if (console)
    SB_ConsolePrintf("%s", text);
  else
    SB_ConsoleStatus("%s", text);
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Reads one file's objects into the map; false when Escape stopped it.
bool ReadFile(TLMAP* map, char* text, TSCENEWORK* work, int32_t files, long* total, uint32_t* lastReport,
              int32_t* tooLong) {
  for (char* p = text; *p; ++p) *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
  TASCIIREADER reader;
  SB_InitAsciiReader(&reader, text);
  SB_ConsoleStatus("......Transforming objects...");
  work->Objects = 0;
  const long before = *total;
  for (;;) {
    if (LS_KeyDown(SB_KEY_ESCAPE)) return false;
    const int32_t more = SB_ReadANewObject(map, &reader, work);
    *total = before + work->Objects;
    if (!more) break;
    if (LS_GetTime() - *lastReport > 1000) {
      *lastReport = LS_GetTime();
      ShowProgress(files, work->Objects, *total, false);
    }
  }
  ShowProgress(files, work->Objects, *total, true);
  if (reader.TooLong) *tooLong = 1;
  return true;
}

}  // namespace

TLMAP* SB_LoadAsciiMap(const char* path) {
  auto* work = static_cast<TSCENEWORK*>(SB_GetMem(sizeof(TSCENEWORK), "SB_LoadAsciiMap"));
  TLMAP* map = work ? SB_Init3dMap() : nullptr;
  if (!map) {
    if (work) SB_Release(work);
    SB_ConsolePrintf("......Map error: not enough memory !!!");
    return nullptr;
  }
  int32_t tooLong = 0, files = 0;
  SB_FlushKeyboard();
  uint32_t lastReport = LS_GetTime();
  long total = 0;
  std::vector<std::string> loaded;  // each file is read at most once
  std::string file = path;
  for (;;) {
    SB_ConsolePrintf("...Loading map data %s ...", file.c_str());
    loaded.push_back(Upper(file));
    char* text = SB_LoadFileWithZero(file.c_str());
    if (!text) break;
    work->HasNext = 0;
    const bool read = ReadFile(map, text, work, ++files, &total, &lastReport, &tooLong);
    SB_Release(text);
    if (!read) {
      SB_FreeTLMAP(map);
      SB_Release(work);
      SB_ConsolePrintf("Map loading stopped !!!");
      return nullptr;
    }
    if (!work->HasNext) break;
    // The name is cut to the line, so the path always fits.
    const std::string next = std::string("..>ASC>") + work->NextFile + ".ASC";
    bool seen = false;
    for (const std::string& f : loaded) seen = seen || f == Upper(next);
    if (seen) {
      SB_ConsolePrintf("......Map error: file %s already loaded !!!", next.c_str());
      break;
    }
    file = next;
  }
  if (tooLong) SB_ConsolePrintf("......Map error: line too long !!!");
  SB_Release(work);
  if (!map->NbFaces) {
    SB_ConsolePrintf("......Map error: no faces !!!");
    SB_FreeTLMAP(map);
    return nullptr;
  }
  return map;
}

// Weak, so that tests of the callers can put recording fakes in place.
__attribute__((weak)) int32_t SB_LoadAndBuildMap(const char* path) {
  SB_Var.Decor.Cubes = nullptr;
  SB_Var.Decor.NbCubes = 0;
  if (!SB_Var.GameHeap) SB_Var.GameHeap = LS_GetHeap(SB_GAMEHEAPSIZE);
  // A block the load or the construction cannot have is their own error
  // (the map's message, the map refused), not the program's end.
  const uint32_t mode = LSI_Var.ErrorMode;
  LSI_Var.ErrorMode = LS_ERRMODE_IGNORE;
  TLMAP* map = SB_LoadAsciiMap(path);
  int32_t built = 0;
  if (map) {
    SB_ConsolePrintf("Map after loading: (%ld faces)", static_cast<long>(map->NbFaces));
    built = SB_ConstructMap(map);
    SB_FreeTLMAP(map);
  }
  LSI_Var.ErrorMode = mode;
  return built;
}
