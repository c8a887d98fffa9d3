// The decor object list: its file scanned into object, script and icon
// names, its objects loaded with their scripts, and all of it freed.
#include <cstdio>
#include <cstring>
#include <numbers>

#include "engine3d/matrix.h"
#include "engine3d/object.h"
#include "scenery/decorobjects.h"
#include "scenery/decorscan.h"
#include "scenery/devenv.h"
#include "shell/console.h"
#include "shell/gamefile.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "system/heap.h"

namespace {

constexpr const char* kNamesOwner = "LoadObjectScript";
constexpr const char* kTableOwner = "LoadDecorObjects";

using Name = char[SB_DECORNAMESIZE];

// What the scan of a list found.
struct ListScan {
  Name objects[SB_MAXDECOROBJECTS];
  Name scripts[SB_MAXDECOROBJECTS];
  int32_t icons[SB_MAXDECOROBJECTS];
  int32_t count = 0;
  Name iconFile{};
};

// The bytes up to the next double quote (or the file's end), the first 63
// kept.
void QuotedName(DecorScan& c, Name& name) {
  int32_t n = 0;
  while (!c.AtEnd() && *c.p != '"') {
    if (n < SB_DECORNAMESIZE - 1) name[n++] = *c.p;
    ++c.p;
  }
  name[n] = 0;
}

// OBJECT "object file", "script file", icon code.
void ObjectLine(DecorScan& c, ListScan& list) {
  Name object, script;
  c.Skip(" \t\"");
  QuotedName(c, object);
  c.Skip(" \t\",");
  QuotedName(c, script);
  c.Skip(" \t\",");
  int32_t icon = 0;
  for (; !c.AtEnd() && *c.p >= '0' && *c.p <= '9'; ++c.p)
    icon = icon > (INT32_MAX - 9) / 10 ? INT32_MAX : icon * 10 + (*c.p - '0');
  if (list.count >= SB_MAXDECOROBJECTS) return;
  std::memcpy(list.objects[list.count], object, sizeof object);
  std::memcpy(list.scripts[list.count], script, sizeof script);
  list.icons[list.count++] = icon;
}

bool IsIconFileChar(char ch) {
  return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_' ||
         ch == '.' || ch == '>' || ch == ':';
}

// ICONFILE name: the last one wins.
void IconLine(DecorScan& c, ListScan& list) {
  c.Skip(" \t\"");
  int32_t n = 0;
  for (; !c.AtEnd() && IsIconFileChar(*c.p); ++c.p)
    if (n < SB_DECORNAMESIZE - 1) list.iconFile[n++] = *c.p;
  list.iconFile[n] = 0;
}

// Keywords are matched at every byte, so one is found also inside a
// longer word.
void ScanList(const char* text, int32_t size, ListScan& list) {
  DecorScan c{text, text + size};
  while (!c.AtEnd()) {
    if (*c.p == ';') {
      while (!c.AtEnd() && *c.p != '\r' && *c.p != '\n') ++c.p;
    } else if (c.At("OBJECT")) {
      c.p += 6;
      ObjectLine(c, list);
    } else if (c.At("ICONFILE")) {
      c.p += 8;
      IconLine(c, list);
    }
    if (c.AtEnd()) break;
    ++c.p;
    c.Skip(" \t\r\n");
  }
}

// The names of the scanned list into SB_Var, with the icon picture; false
// (nothing kept) when the heap refuses.
bool KeepNames(const ListScan& list) {
  const int32_t n = list.count;
  SB_Var.DecorObjectNames = static_cast<Name*>(SB_GetMem(n * SB_DECORNAMESIZE, kNamesOwner));
  SB_Var.DecorScriptNames = static_cast<Name*>(SB_GetMem(n * SB_DECORNAMESIZE, kNamesOwner));
  SB_Var.DecorIconCodes = static_cast<int32_t*>(SB_GetMem(n * 4, kNamesOwner));
  if (!SB_Var.DecorObjectNames || !SB_Var.DecorScriptNames || !SB_Var.DecorIconCodes) {
    SB_FreeDecorNames();
    return false;
  }
  std::memcpy(SB_Var.DecorObjectNames, list.objects, static_cast<size_t>(n) * SB_DECORNAMESIZE);
  std::memcpy(SB_Var.DecorScriptNames, list.scripts, static_cast<size_t>(n) * SB_DECORNAMESIZE);
  std::memcpy(SB_Var.DecorIconCodes, list.icons, static_cast<size_t>(n) * 4);
  if (list.iconFile[0] && LS_FileExists(list.iconFile))
    SB_Var.DecorIconBmap = SB_LoadPcx(list.iconFile, LS_DefaultHeap);
  SB_Var.NbDecorObjects = n;
  return true;
}

// The object list at the origin, every part upright in the display's axes:
// the loader leaves orientations zero, and a part that no block turns
// would otherwise be drawn as a point.
void SetUpright(OBJECT* list) {
  TMATRIX axes;
  E3D_MatFromAngles(axes, std::numbers::pi / 2, std::numbers::pi / 2, 0.0);
  for (OBJECT* part = list; part; part = part->Next)
    for (int32_t k = 0; k < 9; ++k) part->Orientation[k] = static_cast<float>(axes[k]);
  for (float& v : list->Position) v = 0.0f;
}

void FreeBlocks(TDECOROBJ& entry) {
  if (!entry.Blocks) return;
  for (int32_t j = 0; j < entry.NbBlocks; ++j) {
    TDECORBLOCK& b = entry.Blocks[j];
    if (!b.Commands) continue;
    for (int32_t k = 0; k < b.NbCommands; ++k)
      if (b.Commands[k].Table) LS_Release(b.Commands[k].Table);
    SB_Release(b.Commands);
  }
  SB_Release(entry.Blocks);
  entry.Blocks = nullptr;
  entry.NbBlocks = 0;
}

}  // namespace

__attribute__((weak)) void LoadObjectScript(const char* name) {
  void* text = nullptr;
  const int32_t size = name ? SB_LoadWholeFile(name, &text) : 0;
  if (size <= 0 || !text) return;
  ListScan list;
  ScanList(static_cast<const char*>(text), size, list);
  LS_Release(text);
  SB_FreeDecorNames();
  SB_FreeDecorObjects();
  SB_Var.NbDecorObjects = 0;
  if (list.count > 0 && KeepNames(list)) LoadDecorObjects();
}

__attribute__((weak)) void LoadDecorObjects() {
  const int32_t n = SB_Var.NbDecorObjects;
  if (n < 1 || !SB_Var.DecorObjectNames || !SB_Var.DecorScriptNames) return;
  SB_Var.DecorObjects = static_cast<TDECOROBJ*>(SB_GetMem(n * static_cast<int32_t>(sizeof(TDECOROBJ)), kTableOwner));
  if (!SB_Var.DecorObjects) {  // nothing half-loaded is kept
    SB_FreeDecorNames();
    SB_Var.NbDecorObjects = 0;
    return;
  }
  for (int32_t i = 0; i < n; ++i) {
    TDECOROBJ& entry = SB_Var.DecorObjects[i];
    entry.CurrentBlock = -1;
    SB_ConsolePrintf("Loading object '%s'\n", SB_Var.DecorObjectNames[i]);
    entry.Object = LoadObject(SB_Var.DecorObjectNames[i], 0, MLIB_FROMFILE);
    SB_DynRemapObject(&entry);
    if (entry.Object) SetUpright(entry.Object);
    SB_ConsolePrintf("        script '%s'\n", SB_Var.DecorScriptNames[i]);
    LoadDecorObjectScript(i);
  }
  SB_PrepareDecorScripts();
}

__attribute__((weak)) void SB_FreeDecorNames() {
  if (SB_Var.DecorObjectNames) SB_Release(SB_Var.DecorObjectNames);
  if (SB_Var.DecorScriptNames) SB_Release(SB_Var.DecorScriptNames);
  if (SB_Var.DecorIconBmap) SB_FreeBmap(SB_Var.DecorIconBmap);
  if (SB_Var.DecorIconCodes) SB_Release(SB_Var.DecorIconCodes);
  SB_Var.DecorObjectNames = SB_Var.DecorScriptNames = nullptr;
  SB_Var.DecorIconBmap = nullptr;
  SB_Var.DecorIconCodes = nullptr;
}

__attribute__((weak)) void SB_FreeDecorObjects() {
  if (!SB_Var.DecorObjects) return;
  for (int32_t i = 0; i < SB_Var.NbDecorObjects; ++i) {
    TDECOROBJ& entry = SB_Var.DecorObjects[i];
    SB_FreeDecorCardTextures(&entry);  // made when the list was loaded on the accelerator
    if (entry.Object) FreeObject(entry.Object);
    entry.Object = nullptr;
    FreeBlocks(entry);
  }
  SB_Release(SB_Var.DecorObjects);
  SB_Var.DecorObjects = nullptr;
  SB_Var.NbDecorObjects = 0;
}
