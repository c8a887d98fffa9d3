// Set-up and release of the interface: its work blocks, screen bitmap,
// fonts, cursor and Japanese titles, the restore callbacks of its lost
// surfaces, and the front end's reset.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "frontend/menu.h"
#include "frontend/menuparts.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "shell/settings.h"
#include "system/error.h"
#include "system/file.h"
#include "system/font.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/picture.h"
#include "system/win/shell.h"
#include "vehicles/vehicles.h"

const char* const SB_MENUCURSORFILE = "INTER>BMAPS>CURSOR.TGA";

namespace {

constexpr int32_t kFontFirstChar = 32;
constexpr int32_t kFontCaret = 45;  // "-"
constexpr int32_t kProportional = 1;

constexpr const char* kJapanTitleNames[SB_NBJAPANTITLES] = {
    nullptr,            "JPN>MAINMENU.TGA", "JPN>CHOORACE.TGA", "JPN>END.TGA",      "JPN>CHOOCAR.TGA",
    "JPN>SCOMMAND.TGA", "JPN>PLAYERN.TGA",  "JPN>PROTOCOL.TGA", "JPN>NETWORK.TGA",  "JPN>CREATES.TGA",
    "JPN>PLEASEW.TGA",  "JPN>LOADGAME.TGA", "JPN>DETAIL.TGA",   "JPN>CENTRJOY.TGA", "JPN>NOJOY.TGA",
    "JPN>JOINFAIL.TGA", "JPN>NALLOW.TGA",   "JPN>LOADDEMO.TGA", "JPN>CONNFAIL.TGA", "JPN>CREAFAIL.TGA",
};

void FreeBitmap(BMAP** slot) {
  if (*slot) SB_FreeBmap(*slot);
  *slot = nullptr;
}

void* HeapBlock(uint32_t size) {
  void* block = LS_GetMemHeap(SB_Var.MenuHeap, size);
  if (block) std::memset(block, 0, size);
  return block;
}

void ReleaseBlock(void* block) {
  if (block) LS_Release(block);
}

void AllocateWorkBlocks() {
  SB_Var.MenuNameEdit = static_cast<char*>(HeapBlock(SB_MENUTEXTBLOCK));
  const uint32_t listSize = SB_MENULISTROWS * sizeof(TMENULISTENTRY);
  SB_Var.MenuProtocols = static_cast<TMENULISTENTRY*>(HeapBlock(listSize));
  SB_Var.MenuServers = static_cast<TMENULISTENTRY*>(HeapBlock(listSize));
  SB_Var.MenuPlayers = static_cast<TMENULISTENTRY*>(HeapBlock(listSize));
}

void ReleaseWorkBlocks() {
  ReleaseBlock(SB_Var.MenuNameEdit);
  ReleaseBlock(SB_Var.MenuProtocols);
  ReleaseBlock(SB_Var.MenuServers);
  ReleaseBlock(SB_Var.MenuPlayers);
  SB_Var.MenuNameEdit = nullptr;
  SB_Var.MenuProtocols = SB_Var.MenuServers = SB_Var.MenuPlayers = nullptr;
}

void CreateMenuBmap(const char* owner) {
  if (!LS_Var.Screen) return;
  SB_Var.MenuBmap =
      SB_CreateBmap(LS_Var.Screen->SizeX, LS_Var.Screen->SizeY, LS_Var.Screen->Depth, BMAP_VIDEOMEM, owner);
  LS_SetBmapRestoreProc(SB_Var.MenuBmap, RestoreInterfaceCursor);
}

}  // namespace

void ResetMenuEngineState() {
  SB_Var.CursorAnimated = 0;
  SB_Var.MenuScreen = 0;
  SB_Var.MenuQuit = 0;
  SB_Var.MenuScreenReady = 0;
  SB_Var.MenuHotItem = -2;
  SB_Var.MenuHotKeys = 1;
  LS_SetInputMode(0);
}

namespace {

// A font whose cells cannot hold all its characters is refused.
FONT* LoadMenuFont(const char* name, int32_t cellWidth, int32_t cellHeight, int32_t count) {
  FONT* font = LS_LoadFont(name, cellWidth, cellHeight, kFontFirstChar, count, kProportional, kFontCaret,
                           SB_Var.MenuHeap);
  if (font && font->CellsPerRow * (font->Picture->SizeY / cellHeight) < count) {
    LS_FreeFont(font);
    return nullptr;
  }
  return font;
}

}  // namespace

void LoadMenuFonts() {
  SB_Var.MenuFontBig = LoadMenuFont("INTER>FONTES>NETBIG.TGA", 32, 36, 59);
  SB_Var.MenuFontSmall = LoadMenuFont("INTER>FONTES>NETSMALL.TGA", 10, 11, 94);
  SB_Var.MenuFontSmall2 = LoadMenuFont("INTER>FONTES>NETSMAL2.TGA", 10, 11, 94);
  SB_Var.MenuFontSmall3 = LoadMenuFont("INTER>FONTES>NETSMAL3.TGA", 10, 11, 94);
}

void FreeMenuFonts() {
  for (FONT** font : {&SB_Var.MenuFontBig, &SB_Var.MenuFontSmall, &SB_Var.MenuFontSmall2, &SB_Var.MenuFontSmall3}) {
    LS_FreeFont(*font);
    *font = nullptr;
  }
}

void LoadMenuArrow(const char* owner) {
  BMAP* picture = LS_FileExists(SB_MENUCURSORFILE) ? LS_LoadTga(SB_MENUCURSORFILE, SB_Var.MenuHeap) : nullptr;
  if (!picture) return;
  if (!SB_Var.CursorStatic)
    SB_Var.CursorStatic = SB_CreateBmap(picture->SizeX, picture->SizeY, 16, BMAP_VIDEOMEM, owner);
  if (SB_Var.CursorStatic) LS_Bitmove(picture, SB_Var.CursorStatic, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0, 0);
  LS_FreeBmap(picture);
}

namespace {

// The busy cursor's frame, the arrow and the save buffer under them.
void MakeCursors(const char* arrowOwner, const char* saveOwner) {
  int32_t x1 = 0, y1 = 0, x2 = -1, y2 = -1;
  if (SB_Var.CursorAnim) GetBmapAnimBox(SB_Var.CursorAnim, 0, 0, &x1, &y1, &x2, &y2);
  const int32_t boxW = std::max(0, x2 - x1 + 1), boxH = std::max(0, y2 - y1 + 1);
  if (boxW > 0 && boxH > 0) SB_Var.CursorAnimFrame = SB_CreateBmap(boxW, boxH, 16, BMAP_VIDEOMEM, "switchcursoranim");
  LoadMenuArrow(arrowOwner);
  SB_Var.Cursor = SB_Var.CursorStatic;
  const int32_t w = std::max(SB_Var.CursorStatic ? SB_Var.CursorStatic->SizeX : 0, boxW);
  const int32_t h = std::max(SB_Var.CursorStatic ? SB_Var.CursorStatic->SizeY : 0, boxH);
  const int32_t depth = LS_Var.Screen ? LS_Var.Screen->Depth : 16;
  if (w > 0 && h > 0) SB_Var.CursorSave = SB_CreateBmap(w, h, depth, SB_Var.MenuHeap, saveOwner);
}

// What both starts do after the cursors.
void LoadUserState() {
  GetBmap(nullptr, SB_MENUBACKROW);
  SB_LoadSettings();
  SB_SetControlMap();
  LoadJapaneseTitles();
  LSYS_SetRepaintHook(ShowScreenRect);
}

// After a loss: the interface bitmap cleared, and on a screen with a
// cursor the busy frame redrawn and the arrow reloaded and selected.
void RestoreCursors() {
  LS_ClearBmap(SB_Var.MenuBmap);
  const TMENUSCREEN* screen = CurrentMenuScreen();
  if (!screen || screen->CursorShown != 1) return;
  if (SB_Var.CursorAnim && SB_Var.CursorAnimFrame) DrawBmapAnim(SB_Var.CursorAnim, SB_Var.CursorAnimFrame, 0, 0, 0.0);
  LoadMenuArrow("initfast5");
  SetCursorMode(1);
}

void RebuildScreen() {
  FreeScreenBmaps(SB_Var.MenuScreen);
  SB_Var.DrawnMenuScreen = -1;
  prepareecran(SB_Var.MenuBmap);
}

}  // namespace

void InitInterfaceFast() {
  ResetMenuEngineState();
  AllocateWorkBlocks();
  CreateMenuBmap("initfast4");
}

void LoadInterfaceFonts() {
  LoadMenuFonts();
  SB_Var.CursorAnim = loadbmapanim();
  LoadSelectCarWave();
}

void InitInterfaceCursor() {
  MakeCursors("initfast5", "initall3");
  LoadUserState();
}

void InitInterface() {
  ResetMenuEngineState();
  SB_Var.DrawnMenuScreen = -1;
  SB_Var.MenuJoinDisabled = 1;
  SB_Var.MenuSelectedServer = -1;
  SB_Var.MenuRefreshTime = 0;
  SB_Var.CarChoiceCancel = 0;
  AllocateWorkBlocks();
  std::snprintf(SB_Var.MenuServerName, sizeof SB_Var.MenuServerName, "DEFAULTSERVER");
  CreateMenuBmap("initall4");
  SB_Var.CursorAnim = loadbmapanim();
  MakeCursors("initfast6", "initall5");
  LoadMenuFonts();
  LoadSelectCarWave();
  LoadUserState();
}

void FreeInterface(int32_t saveSettings) {
  FreeJapaneseTitles();
  if (saveSettings) SB_SaveSettings();
  FreeMenuFonts();
  for (TMENUBMAP& row : SB_Var.MenuBmaps)
    for (BMAP** slot : {&row.Picture, &row.Highlighted, &row.Normal, &row.Pressed}) FreeBitmap(slot);
  SB_Var.MenuBackground = nullptr;
  FreeBitmap(&SB_Var.MenuComposed);
  FreeInterfaceWaves();
  FreeBmapAnimSys(SB_Var.CursorAnim);
  SB_Var.CursorAnim = nullptr;
  FreeBitmap(&SB_Var.MenuBmap);
  FreeBitmap(&SB_Var.CursorSave);
  FreeBitmap(&SB_Var.CursorStatic);
  FreeBitmap(&SB_Var.CursorAnimFrame);
  SB_Var.Cursor = nullptr;
  for (TMENUSCREEN& screen : SB_Var.MenuScreens)
    for (TMENUITEM& item : screen.Items)
      if (item.Value >= SB_ITEMTEXTMIN) {
        LS_Release(reinterpret_cast<void*>(item.Value));
        item.Value = 0;
      }
  ReleaseWorkBlocks();
  LSYS_SetRepaintHook(nullptr);  // nothing of the interface is left to repaint from
}

int32_t RestoreInterfaceCursor(BMAP*) {
  SB_Var.MenuScreenReady = 0;
  RestoreCursors();
  RebuildScreen();
  return 1;
}

int32_t RestoreInterfaceScreen(BMAP* bmap) {
  RestoreCursors();
  if (bmap && SB_Var.MenuBackground) LS_Bitmove(SB_Var.MenuBackground, bmap, 0, 120, 639, 319, 0, 0, LS_BLIT_OPAQUE);
  RebuildScreen();
  return 1;
}

int32_t LoadJapaneseTitles() {
  if (!SB_Var.Japan) return 0;
  for (int32_t slot = 1; slot < SB_NBJAPANTITLES; ++slot) {
    const char* name = kJapanTitleNames[slot];
    BMAP* title = LS_FileExists(name) ? LS_LoadTga(name, SB_Var.MenuHeap) : nullptr;
    if (title && title->Depth != 32) {
      LS_Message("Japan name %s not in 32bit depth", name);
      LS_FreeBmap(title);
      title = nullptr;
    }
    if (title) title->Format = BMAP_ARGB8888;
    SB_Var.JapanTitles[slot] = title;
  }
  return 1;
}

// Whatever was loaded is freed, even if the switch changed since.
int32_t FreeJapaneseTitles() {
  for (BMAP*& title : SB_Var.JapanTitles) {
    if (title) LS_FreeBmap(title);
    title = nullptr;
  }
  return SB_Var.Japan ? 1 : 0;
}
