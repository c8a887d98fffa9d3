// The behaviours the item callbacks share (press handling, highlighting,
// radio groups) and the three brightness looks of a button.
#include "frontend/menu.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/heap.h"

namespace {

constexpr double kHighlightedFactor = 0.95;
constexpr double kPressedFactor = 1.15;

void SetState(TMENUITEM* item, int32_t state) {
  item->State = state;
  DrawItem(SB_Var.MenuBmap, item);
}

template <typename F>
void ForEachLive(F f) {
  TMENUSCREEN* screen = CurrentMenuScreen();
  if (!screen) return;
  for (int32_t i = 0; i < screen->NbItems && i < SB_MENUITEMS; ++i)
    if (screen->Items[i].Live) f(&screen->Items[i]);
}

// Items first..last of the current screen other than the given one are
// unlatched; onlyLatched leaves those already unlatched alone.
void DeselectRange(TMENUITEM* except, int32_t first, int32_t last, bool onlyLatched) {
  TMENUSCREEN* screen = CurrentMenuScreen();
  if (!screen) return;
  for (int32_t i = first; i <= last && i < SB_MENUITEMS; ++i) {
    TMENUITEM* item = &screen->Items[i];
    if (item == except || (onlyLatched && item->Selected == 2)) continue;
    item->Selected = 2;
    SetState(item, item->RestState);
  }
}

// The free item's reaction, its enter and leave looks given.
void WhileFree(int32_t events, TMENUITEM* item, int32_t enterState, int32_t leaveState) {
  if (events & MENU_DOWN) {
    BlockAllItems();
    item->CallbackState = 2;
    SetState(item, ITEMSTATE_PRESSED);
  } else if (events & MENU_ENTER) {
    SetState(item, enterState);
    UnhiliteOtherItems(item);
  } else if (events & MENU_LEAVE) {
    SetState(item, leaveState);
  } else if (events & MENU_UP) {
    SetState(item, ITEMSTATE_HILITE);
  }
}

}  // namespace

void ItemWhileFree(int32_t events, TMENUITEM* item) { WhileFree(events, item, ITEMSTATE_HILITE, ITEMSTATE_NORMAL); }

void ToggleWhileFree(int32_t events, TMENUITEM* item) { WhileFree(events, item, item->RestState, item->RestState); }

void ItemWhileOtherPressed(int32_t events, TMENUITEM* item) {
  if (events & MENU_UP) {
    ReleaseAllItems();
    SetState(item, ITEMSTATE_HILITE);
  } else if (events & MENU_DOWN) {
    ReleaseAllItems();
  }
}

void ItemWhilePressed(int32_t events, TMENUITEM* item) {
  if (events & MENU_ENTER)
    SetState(item, ITEMSTATE_PRESSED);
  else if (events & MENU_LEAVE)
    SetState(item, ITEMSTATE_NORMAL);
}

void ToggleWhilePressed(int32_t events, TMENUITEM* item) {
  if (events & MENU_ENTER)
    SetState(item, ITEMSTATE_HILITE);
  else if (events & MENU_LEAVE)
    SetState(item, item->RestState);
}

void UnhiliteOtherItems(TMENUITEM* item) {
  ForEachLive([item](TMENUITEM* other) {
    if (other != item && other->Selected != 1 && other->State == ITEMSTATE_HILITE) SetState(other, other->RestState);
  });
}

void ReleaseAllItems() {
  ForEachLive([](TMENUITEM* item) {
    if (item->CallbackState != 2) return;
    item->CallbackState = 0;
    item->State = item->RestState;
    if (item->Callback) item->Callback(MENU_LEAVE, item);
  });
  ForEachLive([](TMENUITEM* item) { item->CallbackState = 0; });
}

void BlockAllItems() {
  ForEachLive([](TMENUITEM* item) { item->CallbackState = 1; });
}

void DeselectItems1to2Except(TMENUITEM* item) { DeselectRange(item, 1, 2, false); }
void DeselectItems1to3Except(TMENUITEM* item) { DeselectRange(item, 1, 3, false); }
void DeselectItems3to5Except(TMENUITEM* item) { DeselectRange(item, 3, 5, true); }
void DeselectItems6to8Except(TMENUITEM* item) { DeselectRange(item, 6, 8, true); }

void BmapScaleBrightness(BMAP* dst, BMAP* src, double factor) {
  if (!dst || !src || dst->Depth != 32 || src->Depth != 32) return;
  uint8_t table[256];
  for (int32_t i = 0; i < 256; ++i) {
    const double scaled = i * factor;
    table[i] = scaled >= 255.0 ? 255 : scaled <= 0.0 ? 0 : static_cast<uint8_t>(scaled);
  }
  LS_LockBmap(dst);
  LS_LockBmap(src);
  if (dst->Start && src->Start) {
    // Rows and columns beyond a smaller destination are left out.
    const int32_t width = src->SizeX < dst->SizeX ? src->SizeX : dst->SizeX;
    const int32_t height = src->SizeY < dst->SizeY ? src->SizeY : dst->SizeY;
    for (int32_t y = 0; y < height; ++y) {
      const uint8_t* in = src->Start + static_cast<intptr_t>(y) * src->ByteLen;
      uint8_t* out = dst->Start + static_cast<intptr_t>(y) * dst->ByteLen;
      for (int32_t x = 0; x < width * 4; x += 4) {
        out[x] = table[in[x]];
        out[x + 1] = table[in[x + 1]];
        out[x + 2] = table[in[x + 2]];
        out[x + 3] = in[x + 3];
      }
    }
  }
  LS_UnlockBmap(src);
  LS_UnlockBmap(dst);
}

void prepareicone(TMENUITEM* item, BMAP* picture) {
  if (!item || !picture || item->State == ITEMSTATE_DISABLED) return;
  TMENUBMAP* row = ItemBmapRow(item);
  if (!row) return;
  const int32_t w = picture->SizeX, h = picture->SizeY;
  const int32_t depth = SB_Var.MenuBmap ? SB_Var.MenuBmap->Depth : 16;
  BMAP** looks[] = {&row->Highlighted, &row->Normal, &row->Pressed};
  // An item that never reacts is never highlighted: its normal look is its
  // picture at full brightness, so that a caption (the trade-show page's
  // best-time labels) can be read.
  const double normal = item->Live ? SB_Var.MenuNormalFactor : 1.0;
  const double factors[] = {kHighlightedFactor, normal, kPressedFactor};
  BMAP* work = SB_CreateBmap(w, h, 32, LS_DefaultHeap, "prepareicone");
  BMAP* scaled = SB_CreateBmap(w, h, 32, LS_DefaultHeap, "prepareicone");
  if (scaled) scaled->Format = BMAP_ARGB8888;
  for (int32_t k = 0; k < 3; ++k) {
    if (!*looks[k]) *looks[k] = SB_CreateBmap(w, h, depth, BMAP_SYSMEM, "prepareicone");
    if (!*looks[k] || !work || !scaled) continue;
    LS_ClearBmap(work);
    if (SB_Var.MenuBackground)
      LS_Bitmove(SB_Var.MenuBackground, work, item->X, item->Y, item->X + w - 1, item->Y + h - 1, 0, 0,
                 LS_BLIT_OPAQUE);
    BmapScaleBrightness(scaled, picture, factors[k]);
    LS_Bitmove(scaled, work, 0, 0, w - 1, h - 1, 0, 0, LS_BLIT_ALPHA);
    LS_Bitmove(work, *looks[k], 0, 0, w - 1, h - 1, 0, 0, LS_BLIT_OPAQUE);
  }
  if (work) SB_FreeBmap(work);
  if (scaled) SB_FreeBmap(scaled);
}
