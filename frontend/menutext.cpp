// What every menu draws besides its items: the centred message box, a
// line cut to fit its rectangle, the repaint of a screen rectangle and the
// network error line.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "frontend/menu.h"
#include "frontend/menuparts.h"
#include "frontend/menus.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/font.h"
#include "system/lsvar.h"

namespace {

constexpr uint32_t kBoxPixel = 0x7F000000;  // black, half transparent
constexpr int32_t kLineStep = 42;           // the big font's lines in a box
constexpr size_t kNetErrorSize = 256;

// A 32-bit box of the given size, every pixel kBoxPixel.
BMAP* MakeBox(int32_t w, int32_t h) {
  BMAP* box = SB_CreateBmap(w, h, 32, BMAP_SYSMEM, "drawscreentext");
  if (!box) return nullptr;
  box->Format = BMAP_ARGB8888;
  LS_LockBmap(box);
  if (box->Start)
    for (int32_t y = 0; y < h; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(box->Start + static_cast<intptr_t>(y) * box->ByteLen);
      std::fill(row, row + w, kBoxPixel);
    }
  LS_UnlockBmap(box);
  return box;
}

// The box blended onto the screen at (x, y); through a 16-bit copy of the
// screen area when asked.
void Blend(BMAP* box, int32_t x, int32_t y, bool buffered) {
  BMAP* screen = LS_Var.Screen;
  if (!box || !screen) return;
  const int32_t w = box->SizeX, h = box->SizeY;
  if (!buffered) {
    LS_Bitmove(box, screen, 0, 0, w - 1, h - 1, x, y, LS_BLIT_ALPHA);
    return;
  }
  BMAP* buffer = SB_CreateBmap(w, h, 16, BMAP_SYSMEM, "Buffer screendrawtext");
  if (!buffer) return;
  LS_Bitmove(screen, buffer, x, y, x + w - 1, y + h - 1, 0, 0, LS_BLIT_OPAQUE);
  LS_Bitmove(box, buffer, 0, 0, w - 1, h - 1, 0, 0, LS_BLIT_ALPHA);
  LS_Bitmove(buffer, screen, 0, 0, w - 1, h - 1, x, y, LS_BLIT_OPAQUE);
  SB_FreeBmap(buffer);
}

void ShowCentred(BMAP* box, bool buffered) {
  if (!box) return;
  Blend(box, (LS_Var.Screen->SizeX - box->SizeX) / 2, (LS_Var.Screen->SizeY - box->SizeY) / 2, buffered);
  SB_FreeBmap(box);
}

// Each line ends at its "\n"; a last line without one counts too.
std::vector<std::string> SplitLines(const char* text) {
  std::vector<std::string> lines;
  std::string line;
  for (const char* c = text; *c; ++c) {
    if (*c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += *c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void BigTextBox(FONT* font, const char* text) {
  const int32_t charHeight = font->CellHeight;
  if (!std::strchr(text, '\n')) {
    const int32_t w = LS_GetStringWidth(font, text);
    BMAP* box = MakeBox(w + 40, charHeight + 24);
    if (box) LS_DrawString(font, box, text, 20, 12, LS_BLIT_ALPHA);
    ShowCentred(box, true);
    return;
  }
  const std::vector<std::string> lines = SplitLines(text);
  int32_t widest = 0;
  for (const std::string& line : lines) widest = std::max<int32_t>(widest, LS_GetStringWidth(font, line.c_str()));
  const int32_t w = std::min(widest + 20, LS_Var.Screen->SizeX);
  BMAP* box = MakeBox(w, (charHeight + 4) * static_cast<int32_t>(lines.size()) + 24);
  if (box)
    for (size_t i = 0; i < lines.size(); ++i) {
      const int32_t lineWidth = LS_GetStringWidth(font, lines[i].c_str());
      LS_DrawString(font, box, lines[i].c_str(), (w - lineWidth) / 2, 12 + kLineStep * static_cast<int32_t>(i),
                    LS_BLIT_ALPHA);
    }
  ShowCentred(box, true);
}

void JapaneseBox(BMAP* title) {
  BMAP* box = MakeBox(title->SizeX + 40, title->SizeY + 24);
  if (!box) return;
  LS_Bitmove(title, box, 0, 0, title->SizeX - 1, title->SizeY - 1, 20, 12, LS_BLIT_ALPHA);
  const int32_t x = (LS_Var.Screen->SizeX - title->SizeX) / 2 - 20;
  const int32_t y = (LS_Var.Screen->SizeY - title->SizeY) / 2 - 12;
  Blend(box, x, y, true);
  SB_FreeBmap(box);
}

}  // namespace

void drawscreentext(FONT* font, int32_t text, int32_t, int32_t) {
  if (!LS_Var.Screen || text < 0 || text >= SB_NBMENUTEXTS) return;
  const int32_t slot = JapanSlotOfText(text);
  if (SB_Var.Japan && slot && SB_Var.JapanTitles[slot] && SB_Var.JapanTitles[slot]->Depth == 32) {
    JapaneseBox(SB_Var.JapanTitles[slot]);
    return;
  }
  const char* line = SB_Var.MenuTexts[text];
  if (!font || !line || !line[0]) return;
  if (font == SB_Var.MenuFontBig) {
    BigTextBox(font, line);
    return;
  }
  BMAP* box = MakeBox(LS_GetStringWidth(font, line) + 20, font->CellHeight + 12);
  if (box) LS_DrawString(font, box, line, 10, 6, LS_BLIT_ALPHA);
  ShowCentred(box, false);
}

// A cut text ends in dots unless it ends on a blank; a text cut to fewer
// than three characters gets only as many dots as it has characters left.
void DrawClippedText(TMENUITEM* item, BMAP* background, FONT* font, char* text) {
  BMAP* bmap = SB_Var.MenuBmap;
  if (!item || !bmap || !text) return;
  const int32_t x1 = item->HitX1, y1 = item->HitY1, x2 = item->HitX2, y2 = item->HitY2;
  if (background) LS_Bitmove(background, bmap, x1, y1, x2 - 1, y2 - 1, x1, y1, LS_BLIT_OPAQUE);
  if (!font || LS_GetStringWidth(font, text) == 0) return;
  size_t length = std::strlen(text);
  bool cut = false;
  while (length > 0 && LS_GetStringWidth(font, text) >= x2 - x1) {
    text[--length] = 0;
    cut = true;
  }
  if (cut && length > 0 && text[length - 1] != ' ')
    for (size_t i = length - std::min<size_t>(3, length); i < length; ++i) text[i] = '.';
  if (bmap->LockCount > 0) {
    LS_Message("video locke");
    return;
  }
  LS_DrawString(font, bmap, text, x1, y1, LS_BLIT_ALPHA);
}

void ShowScreenRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (SB_Var.MenuBmap && LS_Var.Screen)
    LS_Bitmove(SB_Var.MenuBmap, LS_Var.Screen, x1, y1, x2, y2, x1, y1, LS_BLIT_OPAQUE);
}

void ShowNetError(const char* command) {
  char line[kNetErrorSize];
  std::snprintf(line, sizeof line, "Erreur Reseau %s", command ? command : "");
  if (SB_Hooks.ExecCommand) SB_Hooks.ExecCommand("%s", line);
}
