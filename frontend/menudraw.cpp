// Drawing menu items by kind and look, the cursor over the interface
// screen, and the hit test that sends the pointer's events to the items.
#include "frontend/menu.h"
#include "frontend/menuparts.h"
#include "shell/sbvar.h"
#include "system/font.h"
#include "system/input.h"
#include "system/lsvar.h"

namespace {

constexpr int32_t kFlashStepMs = 50;

const char* ItemText(const TMENUITEM* item) {
  return item->Index >= 0 && item->Index < SB_NBMENUTEXTS ? SB_Var.MenuTexts[item->Index] : nullptr;
}

void Place(BMAP* bitmap, BMAP* dst, int32_t x, int32_t y, int32_t mode) {
  if (bitmap) LS_Bitmove(bitmap, dst, 0, 0, bitmap->SizeX - 1, bitmap->SizeY - 1, x, y, mode);
}

BMAP* ButtonLook(const TMENUITEM* item, const TMENUBMAP& row) {
  const bool latched = (item->Selected & 1) != 0;
  switch (item->State) {
    case ITEMSTATE_NORMAL: return latched ? row.Pressed : row.Normal;
    case ITEMSTATE_HILITE: return latched ? row.Pressed : row.Highlighted;
    case ITEMSTATE_PRESSED: return row.Pressed;
    default: return nullptr;
  }
}

bool IsRectangleOnly(int32_t kind) {
  return kind == ITEMKIND_TITLE || kind == ITEMKIND_TEXT || kind == ITEMKIND_TEXT2;
}

bool Hits(TMENUITEM* item, int32_t x, int32_t y) {
  if (!item->Live) return false;
  if (!(item->HitX1 < x && x < item->HitX2 && item->HitY1 < y && y < item->HitY2)) return false;
  if (IsRectangleOnly(item->Kind)) return true;
  const TMENUBMAP* row = ItemBmapRow(item);
  return row && BmapOpaqueAt(row->Picture, x - item->X, y - item->Y);
}

void SendLeave(TMENUSCREEN* screen, int32_t index) {
  if (index < 0 || index >= SB_MENUITEMS) return;
  TMENUITEM* item = &screen->Items[index];
  if (item->Callback && item->Live) item->Callback(MENU_LEAVE, item);
}

}  // namespace

int32_t JapanSlotOfText(int32_t text) {
  static constexpr int32_t kTitledTexts[SB_NBJAPANTITLES - 1] = {0,  1,  2,  24, 25, 48, 49, 50, 52, 57,
                                                                 65, 75, 77, 79, 80, 81, 82, 83, 84};
  for (int32_t slot = 1; slot < SB_NBJAPANTITLES; ++slot)
    if (kTitledTexts[slot - 1] == text) return slot;
  return 0;
}

TMENUSCREEN* CurrentMenuScreen() {
  const int32_t s = SB_Var.MenuScreen;
  return s >= 0 && s < SB_NBMENUSCREENS ? &SB_Var.MenuScreens[s] : nullptr;
}

void ShowMenuBitmap(BMAP* bmap) {
  if (bmap && LS_Var.Screen) LS_Bitmove(bmap, LS_Var.Screen, 0, 0, bmap->SizeX - 1, bmap->SizeY - 1, 0, 0, 0);
}

void DrawItem(BMAP* dst, TMENUITEM* item) {
  if (!dst || !item) return;
  switch (item->Kind) {
    case ITEMKIND_TITLE: {
      const int32_t slot = item->Index >= 0 && item->Index < SB_NBMENUTEXTS ? JapanSlotOfText(item->Index) : 0;
      if (SB_Var.Japan && slot && SB_Var.JapanTitles[slot])
        Place(SB_Var.JapanTitles[slot], dst, item->X, item->Y, LS_BLIT_ALPHA);
      else
        LS_DrawString(SB_Var.MenuFontBig, dst, ItemText(item), item->X, item->Y, LS_BLIT_ALPHA);
      break;
    }
    case ITEMKIND_BITMAP:
      if (const TMENUBMAP* row = ItemBmapRow(item)) Place(row->Highlighted, dst, item->X, item->Y, LS_BLIT_OPAQUE);
      break;
    case ITEMKIND_BUTTON:
      if (const TMENUBMAP* row = ItemBmapRow(item)) {
        if (item->State == ITEMSTATE_DISABLED)
          Place(row->Picture, dst, item->X, item->Y, LS_BLIT_ALPHA);
        else
          Place(ButtonLook(item, *row), dst, item->X, item->Y, LS_BLIT_OPAQUE);
      }
      break;
    case ITEMKIND_TEXT:
      LS_DrawString(SB_Var.MenuFontSmall, dst, ItemText(item), item->X, item->Y, LS_BLIT_ALPHA);
      break;
    case ITEMKIND_TEXT2:
      LS_DrawString(SB_Var.MenuFontSmall2, dst, ItemText(item), item->X, item->Y, LS_BLIT_ALPHA);
      break;
    case ITEMKIND_TEXT3:
      LS_DrawString(SB_Var.MenuFontSmall3, dst, ItemText(item), item->X, item->Y, LS_BLIT_ALPHA);
      break;
    default:
      break;
  }
}

void FlashItem(TMENUITEM* item, BMAP* dst, int32_t ms) {
  if (!item || !dst) return;
  uint32_t previous = LSYS_GetTime();
  while (ms - kFlashStepMs >= 1) {
    const uint32_t now = LSYS_GetTime();
    const int32_t elapsed = static_cast<int32_t>(now - previous);
    if (elapsed < kFlashStepMs && elapsed >= 0) {
      LS_Wait(1);
      continue;
    }
    previous = now;
    ms -= elapsed > 0 ? elapsed : kFlashStepMs;
    item->State = item->State == ITEMSTATE_NORMAL ? ITEMSTATE_HILITE : ITEMSTATE_NORMAL;
    DrawItem(dst, item);
    ShowWithCursor(dst);
  }
  item->State = ITEMSTATE_NORMAL;
  DrawItem(dst, item);
  ShowWithCursor(dst);
}

bool BmapOpaqueAt(BMAP* bmap, int32_t x, int32_t y) {
  if (!bmap) return false;
  if (bmap->Depth != 32) return true;
  if (x < 0 || y < 0 || x >= bmap->SizeX || y >= bmap->SizeY) return false;
  LS_LockBmap(bmap);
  bool opaque = false;
  if (bmap->Start) {
    const uint8_t* pixel = bmap->Start + static_cast<intptr_t>(y) * bmap->ByteLen + static_cast<intptr_t>(x) * 4;
    opaque = pixel[3] != 0;
  }
  LS_UnlockBmap(bmap);
  return opaque;
}

void DispatchItemEvents(TMENUSCREEN* screen, int32_t x, int32_t y, int32_t buttons) {
  if (!screen) return;
  const int32_t hy = y + SB_MENUHITDROP;
  int32_t found = -1;
  for (int32_t i = 0; i < screen->NbItems && i < SB_MENUITEMS && found < 0; ++i)
    if (Hits(&screen->Items[i], x, hy)) found = i;
  int32_t events = 0;
  if (SB_Var.MenuScreenChanged) {
    events = MENU_ENTER;
    SB_Var.MenuScreenChanged = 0;
  }
  if (found != SB_Var.MenuHotItem) {
    if (found != -1)
      events |= MENU_ENTER;
    else if (SB_Var.MenuHotItem != -2)
      SendLeave(screen, SB_Var.MenuHotItem);
  }
  if (buttons != SB_Var.MenuButtons) {
    if (found != -1)
      events |= buttons ? MENU_DOWN : MENU_UP;
    else
      ReleaseAllItems();
  }
  if (events && found != -1 && screen->Items[found].Callback) screen->Items[found].Callback(events, &screen->Items[found]);
  SB_Var.MenuButtons = buttons;
  SB_Var.MenuHotItem = found;
}

void SetCursorMode(int32_t mode) {
  if (mode == 1 && SB_Var.CursorStatic) {
    SB_Var.Cursor = SB_Var.CursorStatic;
    SB_Var.CursorAnimated = 0;
  } else if (mode == 2 && SB_Var.CursorAnim && SB_Var.CursorAnimFrame) {
    SB_Var.CursorAnimated = 1;
    DrawBmapAnim(SB_Var.CursorAnim, SB_Var.CursorAnimFrame, 0, 0, GetAnimTimeStep());
    SB_Var.Cursor = SB_Var.CursorAnimFrame;
  }
}

void ShowWithCursor(BMAP* bmap) {
  const TMENUSCREEN* screen = CurrentMenuScreen();
  BMAP* cursor = SB_Var.Cursor;
  BMAP* save = SB_Var.CursorSave;
  if (!bmap || !screen || screen->CursorShown != 1 || !cursor || !save) {
    ShowMenuBitmap(bmap);
    return;
  }
  // The position only: the buttons are the dispatch's to read.
  int32_t x = 0, y = 0;
  LS_GetMouse(&x, &y, nullptr);
  const BMAP* area = SB_Var.CursorAnimated ? save : cursor;
  LS_Bitmove(bmap, save, x, y, x + area->SizeX - 1, y + area->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  LS_Bitmove(cursor, bmap, 0, 0, cursor->SizeX - 1, cursor->SizeY - 1, x, y, LS_BLIT_TRANSPARENT);
  ShowMenuBitmap(bmap);
  LS_Bitmove(save, bmap, 0, 0, area->SizeX - 1, area->SizeY - 1, x, y, LS_BLIT_OPAQUE);
}

void UpdateInterfaceCursor() {
  const TMENUSCREEN* screen = CurrentMenuScreen();
  if (!screen || screen->CursorShown != 1) return;
  if (SB_Var.CursorAnimated) SetCursorMode(2);
  ShowWithCursor(SB_Var.MenuBmap);
}
