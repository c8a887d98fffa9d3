// Preparing a menu screen: its pictures, the composition of the new image
// off-screen, and the eased cross-fade that blends it in.
#include <cmath>

#include "frontend/menu.h"
#include "frontend/menuparts.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/picture.h"

namespace {

constexpr int32_t kStepMs = 50;
constexpr int32_t kFadeMs = 3000;      // kinds 2, 3 and 6
constexpr int32_t kMenuFadeMs = 1500;  // kinds 4 and 5
constexpr double kHalfTurn = 3.1415;   // the easing's p
constexpr int32_t kEscape = 27;

TRANSITIONSTEPPROC g_observer = nullptr;

bool IsTextKind(int32_t kind) {
  return kind == ITEMKIND_TITLE || kind == ITEMKIND_TEXT || kind == ITEMKIND_TEXT2 || kind == ITEMKIND_TEXT3;
}

void FreeSlot(BMAP** slot) {
  if (*slot) SB_FreeBmap(*slot);
  *slot = nullptr;
}

// Loads a row's picture unless it is there; a missing or unreadable file
// leaves a cleared 32 x 32 stand-in of the given depth in the row.
BMAP* LoadRowPicture(int32_t row, int32_t placeholderDepth, const char* missingTag, const char* failedTag) {
  TMENUBMAP& r = SB_Var.MenuBmaps[row];
  if (r.Picture) return r.Picture;
  const bool exists = r.FileName && LS_FileExists(r.FileName);
  BMAP* picture = exists ? LS_LoadTga(r.FileName, SB_Var.MenuHeap) : nullptr;
  if (picture) {
    if (picture->Depth == 32) picture->Format = BMAP_ARGB8888;  // drawn blended by its alpha
    return r.Picture = picture;
  }
  return r.Picture = SB_CreateBmap(SB_MENUPLACEHOLDER, SB_MENUPLACEHOLDER, placeholderDepth, SB_Var.MenuHeap,
                                   exists ? failedTag : missingTag);
}

void FillHitFromPicture(TMENUITEM* item, const BMAP* picture) {
  if (!item || item->HitX1 != -1 || !picture) return;
  item->HitX1 = item->X;
  item->HitY1 = item->Y;
  item->HitX2 = item->X + picture->SizeX;
  item->HitY2 = item->Y + picture->SizeY;
}

BMAP* WorkBitmap(const BMAP* like) {
  return SB_CreateBmap(like->SizeX, like->SizeY, 16, SB_Var.MenuHeap, "prepareecran");
}

void CopyWhole(BMAP* source, BMAP* target) {
  if (source && target) LS_Bitmove(source, target, 0, 0, source->SizeX - 1, source->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
}

// The new image of a screen change, on a cleared bitmap.
void ComposeNew(const TMENUSCREEN& screen, BMAP* oldImage, BMAP* newImage) {
  if (screen.Transition == 3) return;  // composed on black
  if (screen.DrawBackground == 1)
    CopyWhole(SB_Var.MenuBackground, newImage);
  else
    CopyWhole(oldImage, newImage);
  if (SB_Var.MenuScreen == SB_OPTIONSSCREEN && screen.Callback) RefreshCommandTexts(newImage);
}

void Blend(BMAP* dst, BMAP* oldImage, BMAP* newImage, double a, int32_t lines) {
  BmapCrossFade(dst, oldImage, newImage, a, lines);
  if (g_observer) g_observer(a, lines);
}

// The easing: from about 0 to 1 along a half cosine as the budget runs out.
double Eased(int32_t budget, int32_t total) {
  return 0.5 + 0.5 * std::cos(kHalfTurn - (1.0 - static_cast<double>(budget) / total) * kHalfTurn);
}

}  // namespace

void SetTransitionObserver(TRANSITIONSTEPPROC observer) { g_observer = observer; }

TMENUBMAP* ItemBmapRow(const TMENUITEM* item) {
  if (!item || (IsTextKind(item->Kind) && item->Kind != ITEMKIND_TEXT3)) return nullptr;
  if (item->Index < 0 || item->Index >= SB_NBMENUBMAPS) return nullptr;
  return &SB_Var.MenuBmaps[item->Index];
}

BMAP* GetBmap(TMENUITEM* item, int32_t row) {
  SetCursorMode(2);
  if (row < 0 || row >= SB_NBMENUBMAPS) return nullptr;
  BMAP* picture = LoadRowPicture(row, 16, "GetBmap pourri", "GetBmap pourri");
  FillHitFromPicture(item, picture);
  return picture;
}

void LoadBmap() {
  TMENUSCREEN* screen = CurrentMenuScreen();
  if (!screen) return;
  for (int32_t i = 0; i < screen->NbItems && i < SB_MENUITEMS; ++i) {
    TMENUITEM* item = &screen->Items[i];
    if (IsTextKind(item->Kind) || item->Index < 0 || item->Index >= SB_NBMENUBMAPS) continue;
    TMENUBMAP& row = SB_Var.MenuBmaps[item->Index];
    BMAP* picture = LoadRowPicture(item->Index, 32, "LoadBmap pourri", "loadBMAP pourri");
    FillHitFromPicture(item, picture);
    if (!picture) continue;
    if (item->Kind == ITEMKIND_BITMAP && !row.Highlighted) {
      row.Highlighted = SB_CreateBmap(picture->SizeX, picture->SizeY, 16, BMAP_VIDEOMEM, "loadbmaps1");
      CopyWhole(picture, row.Highlighted);
    } else if (item->Kind == ITEMKIND_BUTTON) {
      prepareicone(item, picture);
    }
    UpdateInterfaceCursor();
  }
}

void FreeScreenBmaps(int32_t screenIndex) {
  if (screenIndex < 0 || screenIndex >= SB_NBMENUSCREENS) return;
  TMENUSCREEN& screen = SB_Var.MenuScreens[screenIndex];
  for (int32_t i = 0; i < screen.NbItems && i < SB_MENUITEMS; ++i) {
    const TMENUITEM& item = screen.Items[i];
    if (IsTextKind(item.Kind) || item.Index < 0 || item.Index >= SB_NBMENUBMAPS) continue;
    TMENUBMAP& row = SB_Var.MenuBmaps[item.Index];
    FreeSlot(&row.Picture);
    FreeSlot(&row.Highlighted);
    FreeSlot(&row.Normal);
    FreeSlot(&row.Pressed);
  }
}

void prepareecran(BMAP* bmap) {
  if (SB_Var.MenuScreen == SB_Var.DrawnMenuScreen) return;
  TMENUSCREEN* screen = CurrentMenuScreen();
  if (!screen || !bmap) return;
  SB_Var.MenuScreenChanged = 1;
  UpdateInterfaceCursor();
  if (SB_Var.DrawnMenuScreen != -1) FreeScreenBmaps(SB_Var.DrawnMenuScreen);
  SetCursorMode(2);
  const bool options = SB_Var.MenuScreen == SB_OPTIONSSCREEN;
  FreeSlot(&SB_Var.MenuBmaps[options ? SB_MENUBACKROW : SB_MENUOPTIONSBACKROW].Picture);
  SB_Var.MenuBackground = GetBmap(nullptr, options ? SB_MENUOPTIONSBACKROW : SB_MENUBACKROW);
  UpdateInterfaceWaves();
  UpdateInterfaceCursor();
  ReleaseAllItems();
  LoadBmap();
  UpdateInterfaceWaves();
  LoadScreenSounds();
  UpdateInterfaceWaves();
  StopTransitionWave();
  UpdateInterfaceCursor();

  if (screen->Transition == 6 && LS_Var.Screen) CopyWhole(LS_Var.Screen, bmap);
  FreeSlot(&SB_Var.MenuComposed);
  BMAP* oldImage = WorkBitmap(bmap);
  BMAP* newImage = WorkBitmap(bmap);
  CopyWhole(bmap, oldImage);
  if (newImage) ComposeNew(*screen, oldImage, newImage);
  for (int32_t i = 0; i < screen->NbItems && i < SB_MENUITEMS; ++i) DrawItem(newImage, &screen->Items[i]);
  SB_Var.DrawnMenuScreen = SB_Var.MenuScreen;
  if (oldImage && newImage)
    RunScreenTransition(bmap, oldImage, newImage, screen->Transition);
  else
    ShowMenuBitmap(bmap);
  if (oldImage) SB_FreeBmap(oldImage);
  // The new image is what the screen's fields are erased from later: the
  // background with every item, frames included, drawn on it.
  SB_Var.MenuComposed = newImage;
}

BMAP* MenuFieldBackground() { return SB_Var.MenuComposed ? SB_Var.MenuComposed : SB_Var.MenuBackground; }

void RunScreenTransition(BMAP* dst, BMAP* oldImage, BMAP* newImage, int32_t kind) {
  const bool menuKind = kind == 4 || kind == 5;
  if (kind >= 2 && kind <= 6) {
    const int32_t total = menuKind ? kMenuFadeMs : kFadeMs;
    int32_t budget = total, elapsed = 0, lines = 0;
    uint32_t previous = LSYS_GetTime();
    for (;;) {
      if (menuKind) SetCursorMode(2);
      const uint32_t now = LSYS_GetTime();
      elapsed += static_cast<int32_t>(now - previous);
      previous = now;
      if (elapsed < kStepMs && elapsed >= 0) {
        LS_Wait(1);
        continue;
      }
      // A clock that went back gives a step that takes nothing off the budget.
      if (elapsed > 0) budget -= elapsed;
      if (LS_KeyDown(kEscape)) break;
      Blend(dst, oldImage, newImage, Eased(budget, total), lines);
      lines ^= 1;
      if (menuKind)
        ShowWithCursor(dst);
      else
        ShowMenuBitmap(dst);
      elapsed = 0;
      if (budget - kStepMs < 0) break;
    }
  }
  Blend(dst, oldImage, newImage, 1.0, 2);
  if (menuKind) {
    SetCursorMode(1);
    ShowWithCursor(dst);
  } else {
    ShowMenuBitmap(dst);
  }
}
