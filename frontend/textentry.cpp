// Text entry in a field of the interface screen: names and numbers typed
// with a blinking caret, and item texts drawn centred in their rectangle.
#include <cstring>
#include <string>

#include "frontend/menu.h"
#include "shell/gameevent.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/font.h"
#include "system/input.h"

namespace {

constexpr int32_t kBackspace = 8;
constexpr int32_t kEnter = 13;
constexpr int32_t kCaretOnPasses = 5;
constexpr int32_t kCaretPasses = 8;  // on, then off for 3
constexpr int32_t kItemTextWidth = 90;
constexpr int32_t kEditCharWidth = 9;
constexpr int32_t kEditHeight = 15;

bool ButtonHeld() {
  int32_t x, y, buttons;
  LS_GetMouse(&x, &y, &buttons);
  return buttons != 0;
}

void WaitForRelease() {
  while (ButtonHeld() && LSYS_KeyMayCome()) SB_UpdateEvent();
}

bool Accepted(const FONT* font, int32_t key, size_t length, int32_t maxLen, int32_t flags) {
  if (key <= 0 || key > 255) return false;
  const bool digit = key >= '0' && key <= '9';
  if ((flags & TEXT_DIGITS) && !digit) return false;
  if (key < font->FirstChar || key >= font->FirstChar + font->NbChar) return false;
  if (static_cast<int32_t>(length) >= maxLen) return false;
  return digit || (key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z');
}

// The field of maxLen characters at (x, y) erased from the composed screen.
void EraseMenuField(int32_t x, int32_t y, int32_t maxLen) {
  BMAP* background = MenuFieldBackground();
  if (background && SB_Var.MenuBmap)
    LS_Bitmove(background, SB_Var.MenuBmap, x, y, x + kEditCharWidth * maxLen, y + kEditHeight, x, y, LS_BLIT_OPAQUE);
}

void PutField(BMAP* field, int32_t x, int32_t y) {
  if (SB_Var.MenuBmap) LS_Bitmove(field, SB_Var.MenuBmap, 0, 0, field->SizeX - 1, field->SizeY - 1, x, y, LS_BLIT_OPAQUE);
}

}  // namespace

int32_t DrawStringField(FONT* font, BMAP* field, BMAP* background, int32_t bgX, int32_t bgY, char* text,
                        int32_t flags) {
  UpdateInterfaceCursor();
  if (!font || !field || !text) return 0;
  std::string shown = text;
  if (flags & TEXT_HIDDEN) shown.assign(shown.size(), '*');
  LS_ClearBmap(field);
  if (background)
    LS_Bitmove(background, field, bgX, bgY, bgX + field->SizeX - 1, bgY + field->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  const int32_t offset =
      (flags & TEXT_CENTRED) ? (field->SizeX - LS_GetStringWidth(font, shown.c_str()) - font->CellWidth) / 2 : 0;
  if (flags & TEXT_UPPER)
    for (char* c = text; *c; ++c)
      if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
  LS_DrawString(font, field, shown.c_str(), offset, 0, LS_BLIT_ALPHA);
  return offset;
}

int32_t LS_GetString(FONT* font, char* text, int32_t x, int32_t y, int32_t maxLen, BMAP* background, int32_t bgX,
                     int32_t bgY, int32_t endKey, int32_t flags) {
  if (!font || !text) return 0;
  if (maxLen < 0) maxLen = 0;
  WaitForRelease();
  BMAP* field = SB_CreateBmap(font->CellWidth * (maxLen + 1), font->CellHeight, 32, SB_Var.MenuHeap, "LS_GetString");
  if (!field) return 0;
  int32_t pass = 0, result = -1;
  while (result < 0) {
    UpdateInterfaceCursor();
    SB_UpdateEvent();
    const int32_t offset = DrawStringField(font, field, background, bgX, bgY, text, flags);
    if (pass % kCaretPasses < kCaretOnPasses) {
      std::string shown = text;
      if (flags & TEXT_HIDDEN) shown.assign(shown.size(), '*');
      LS_DrawChar(font, field, font->Caret, LS_GetStringWidth(font, shown.c_str()) + offset, 0, LS_BLIT_ALPHA);
    }
    PutField(field, x, y);
    ++pass;
    const int32_t key = LS_GetKey();
    const size_t length = std::strlen(text);
    if (endKey && key == endKey) {
      result = 1;
    } else if (key == kBackspace) {
      if (length) text[length - 1] = 0;
      pass = 0;
    } else if (key == kEnter || ButtonHeld()) {
      WaitForRelease();
      if (!(flags & TEXT_FULL) || static_cast<int32_t>(length) == maxLen) result = 0;
    } else if (Accepted(font, key, length, maxLen, flags)) {
      text[length] = static_cast<char>(key);
      text[length + 1] = 0;
      pass = 0;
    } else if (!LSYS_KeyMayCome()) {
      result = 0;  // as Enter: nothing can be typed any more
    }
  }
  DrawStringField(font, field, background, bgX, bgY, text, flags);
  PutField(field, x, y);
  SB_FreeBmap(field);
  // The keys typed were taken as characters: none acts again as a held
  // key once the menus read the keyboard (a typed Q would leave them).
  LS_ForgetKeyTaps();
  return result;
}

void EditScreenText(char* text, int32_t x, int32_t y, int32_t maxLen, int32_t flags) {
  if (!text) return;
  LS_FlushKeyboard();
  BMAP* background = MenuFieldBackground();
  do {
    EraseMenuField(x, y, maxLen);
    LS_GetString(SB_Var.MenuFontSmall, text, x, y, maxLen, background, x, y, 0, flags);
  } while (!text[0] && SB_Var.MenuFontSmall && LSYS_KeyMayCome());
  LS_FlushKeyboard();
  LS_FlushKeyboard();
  SB_UpdateEvent();
}

void DrawItemText(BMAP* bmap, TMENUITEM* item, const char* text) {
  if (!bmap || !item || !text) return;
  if (SB_Var.MenuBackground)
    LS_Bitmove(SB_Var.MenuBackground, bmap, item->HitX1, item->HitY1, item->HitX2, item->HitY2, item->HitX1,
               item->HitY1, LS_BLIT_OPAQUE);
  const int32_t width = LS_GetStringWidth(SB_Var.MenuFontSmall, text);
  LS_DrawString(SB_Var.MenuFontSmall, bmap, text, item->HitX1 + (kItemTextWidth - width) / 2, item->HitY1, LS_BLIT_ALPHA);
}
