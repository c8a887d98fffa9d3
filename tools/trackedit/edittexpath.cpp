// The track editor's texture-path entry: the path typed in the texture
// tool, and on Enter the map reloaded with the new texture set, written
// back to the map file and drawn again; its prompt.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "engine3d/texpages.h"
#include "engine3d/textures.h"
#include "racescene/race3d.h"
#include "racescene/views.h"
#include "shell/console.h"
#include "shell/gamedraw.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "tools/editdraw8.h"
#include "tools/trackedit/trackedit.h"
#include "track/decor.h"
#include "track/ground.h"

namespace {

constexpr int32_t kTextureTool = 3;
constexpr size_t kMaxTyped = 30;
constexpr int32_t kBackspace = 8, kEnter = 13;

using TPATH = char[SB_TEXTUREPATHSIZE];

void CopyPath(char* to, const char* from) {
  std::snprintf(to, SB_TEXTUREPATHSIZE, "%s", from);
}

// A texture set is a folder of TXT> holding its PALETTE.PCX.
bool TextureSetExists(const char* path) {
  char palette[SB_TEXTUREPATHSIZE + 16];
  std::snprintf(palette, sizeof palette, "TXT>%sPALETTE.PCX", path);
  return LS_FileExists(palette) != 0;
}

void BusySign() {
  if (!SB_Var.EditorPicture || !LS_Var.Screen) return;
  SB_Var.EditorPicture->Palette = SB_Var.Pal3d;
  SB_Bitmove(SB_Var.EditorPicture, LS_Var.Screen, 0, 173, 64, 191, 288, 231);
}

// Which ground lists the race built over the map: they point into it, so
// they go with it and are built again over the reloaded one.
struct TGROUNDLISTS {
  bool Cubes, Cells;
};

TGROUNDLISTS FreeMapAndTextures() {
  const TGROUNDLISTS lists = {SB_Var.XZYList.Xs != nullptr, SB_Var.PolyXZYList.Xs != nullptr};
  SB_FreeListXZYPoly();
  SB_FreeXZYList();
  SB_FreeMap();
  SB_FreeTextures();
  SB_FreePalette3d();
  return lists;
}

// The ground lists again, the palette and the textures from the current
// texture path, over a map just loaded.
void RebuildOverMap(TGROUNDLISTS lists) {
  if (lists.Cubes) SB_BuildCubeXZYList();
  if (lists.Cells) BuildListXZYPoly();
  SB_LoadPalette3d(nullptr);
  SB_LoadMapTextures();
}

// The map reloaded with the typed texture set and written back. A map that
// does not load writes nothing: the old path and set come back.
void Reload() {
  if (!TextureSetExists(SB_Var.TexturePath)) {
    SB_ConsolePrintf("Texture path %s not found !!!", SB_Var.TexturePath);
    CopyPath(SB_Var.TexturePath, SB_Var.EditEntryTexturePath);
    return;
  }
  BusySign();
  TPATH old, path;
  CopyPath(old, SB_Var.EditEntryTexturePath);
  CopyPath(path, SB_Var.TexturePath);
  CopyPath(SB_Var.EditEntryTexturePath, path);
  const TGROUNDLISTS lists = FreeMapAndTextures();
  if (!SB_LoadMap()) {
    SB_ConsolePrintf("Map %s not reloaded, nothing saved !!!", SB_Var.DecorMapFile);
    CopyPath(SB_Var.TexturePath, old);
    CopyPath(SB_Var.EditEntryTexturePath, old);
    if (SB_LoadMap()) RebuildOverMap(lists);
    SB_RedrawEditView();
    return;
  }
  CopyPath(SB_Var.TexturePath, path);
  SB_SaveDecor(SB_Var.DecorMapFile);
  SB_FreeMap();
  if (SB_LoadMap()) RebuildOverMap(lists);
  SB_RedrawEditView();
}

void Enter(size_t n) {
  char* path = SB_Var.TexturePath;
  if (n > 0 && path[n - 1] != '>' && n + 1 < SB_TEXTUREPATHSIZE) path[n] = '>', path[n + 1] = 0;
  if (std::strncmp(path, SB_Var.EditEntryTexturePath, SB_TEXTUREPATHSIZE) == 0) return;
  Reload();
}

}  // namespace

void SB_EditTexturePath() {
  const int32_t key = LS_GetKey();  // taken in every tool
  if (SB_Var.EditTool != kTextureTool) return;
  char* path = SB_Var.TexturePath;
  path[SB_TEXTUREPATHSIZE - 1] = 0;
  const size_t n = std::strlen(path);
  if (key == kBackspace) {
    if (n >= 1) path[n - 1] = 0;
  } else if (key == kEnter) {
    Enter(n);
  } else if (key >= 32 && key != 127 && key <= 255 && n < kMaxTyped) {
    // Control characters are refused: a path holds printable ones only.
    path[n] = static_cast<char>(key), path[n + 1] = 0;
  }
}

void SB_DrawEditTexturePath() {
  if (SB_Var.EditTool != kTextureTool || !SB_Var.TextScreen) return;
  SB_ClearRect8(SB_Var.TextScreen, 100, 100, 539, 379);
  char text[96];
  std::snprintf(text, sizeof text, "Textures and palette path ....: %s_", SB_Var.TexturePath);
  SB_DrawSysTextTransparent(text, SB_Var.TextScreen, 108, 108);
}
