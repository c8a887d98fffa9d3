// The editors' window toolkit: framed windows with push buttons drawn into
// their own bitmaps, their hover, press and title-bar drag rules, the
// per-frame mouse, cursor pictures and the clipped line.
#include <cstring>

#include "shell/console.h"
#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "system/bmap.h"
#include "system/file.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/picture.h"
#include "tools/editmouse.h"
#include "tools/sceneedit/sceneedit.h"

namespace {

constexpr int32_t kTitleHeight = 12, kBorder = 2;

struct BEVEL {
  uint8_t light, face, dark;
};
// Greys of the four bevel styles: idle, pressed, under the mouse, both.
constexpr BEVEL kBevels[4] = {{208, 176, 144}, {80, 112, 144}, {255, 223, 191}, {112, 144, 176}};

int32_t ToolDepth() { return LS_Var.Screen ? LS_Var.Screen->Depth : 16; }

bool Contains(int32_t x, int32_t y, int32_t width, int32_t height, int32_t px, int32_t py) {
  return px >= x && px < x + width && py >= y && py < y + height;
}

void Copy(BMAP* source, BMAP* target, int32_t x, int32_t y) {
  if (source && target) SB_Bitmove(source, target, 0, 0, source->SizeX - 1, source->SizeY - 1, x, y);
}

// The last button of the windows, in list order, for which test holds.
template <typename Test>
TTOOLBUTTON* LastButton(TTOOLWINDOW* windows, Test test) {
  TTOOLBUTTON* found = nullptr;
  for (TTOOLWINDOW* w = windows; w; w = w->Next)
    for (TTOOLBUTTON* b = w->FirstButton; b; b = b->Next)
      if (test(w, b)) found = b;
  return found;
}

}  // namespace

TTOOLWINDOW* SB_CreateToolWindow(int32_t x, int32_t y, int32_t width, int32_t height, const char* title,
                                 TTOOLWINDOW* parent) {
  auto* window = static_cast<TTOOLWINDOW*>(SB_GetMem(sizeof(TTOOLWINDOW), title));
  if (!window) return nullptr;
  *window = TTOOLWINDOW{x, y, width, height, title, nullptr, nullptr, nullptr, nullptr, nullptr, parent, nullptr};
  const int32_t depth = ToolDepth();
  window->Frame = SB_CreateBmap(width, height, depth, 0, title);
  window->Client = SB_CreateBmap(width - 2 * kBorder, height - kTitleHeight - kBorder, depth, 0, title);
  window->ButtonsLayer = SB_CreateBmap(width - 2 * kBorder, height - kTitleHeight - kBorder, depth, 0, title);
  if (parent)
    parent->Child = window;
  else
    SB_Var.ToolWindows = window;
  return window;
}

TTOOLBUTTON* SB_AddToolButton(TTOOLWINDOW* window, int32_t x, int32_t y, int32_t width, int32_t height,
                              const char* label) {
  auto* button = static_cast<TTOOLBUTTON*>(SB_GetMem(sizeof(TTOOLBUTTON), label));
  if (!button) return nullptr;
  *button = TTOOLBUTTON{x, y, 0, width, height, label, window, nullptr, nullptr};
  if (!window) return button;
  TTOOLBUTTON** link = &window->FirstButton;
  while (*link) button->Previous = *link, link = &(*link)->Next;
  *link = button;
  return button;
}

void SB_FreeToolButton(TTOOLBUTTON* button) {
  if (!button) return;
  // Nothing may reach the record once it is released.
  if (SB_Var.HotButton == button) SB_Var.HotButton = nullptr;
  if (SB_Var.PressedButton == button) SB_Var.PressedButton = nullptr;
  if (SB_Var.ActiveTool == button) SB_Var.ActiveTool = nullptr;
  SB_Release(button);
}

void SB_FreeToolWindow(TTOOLWINDOW* window) {
  if (!window) return;
  for (BMAP** bmap : {&window->Frame, &window->Client, &window->ButtonsLayer})
    if (*bmap) SB_FreeBmap(*bmap), *bmap = nullptr;
  if (SB_Var.DraggedWindow == window) SB_Var.DraggedWindow = nullptr;
  for (TTOOLWINDOW** link = &SB_Var.ToolWindows; *link; link = &(*link)->Next)
    if (*link == window) {
      *link = window->Next;
      break;
    }
  if (window->Parent && window->Parent->Child == window) window->Parent->Child = nullptr;
  SB_Release(window);
}

uint32_t SB_RgbToPixel16(int32_t r, int32_t g, int32_t b) {
  const uint32_t ur = static_cast<uint32_t>(r) & 255, ug = static_cast<uint32_t>(g) & 255,
                 ub = static_cast<uint32_t>(b) & 255;
  if (LS_Var.Screen && LS_Var.Screen->Format == BMAP_RGB555) return (ur >> 3) << 10 | (ug >> 3) << 5 | ub >> 3;
  return (ur >> 3) << 11 | (ug >> 2) << 5 | ub >> 3;
}

uint32_t SB_ToolPixel(const BMAP* target, int32_t r, int32_t g, int32_t b) {
  if (target && target->Depth == 8)
    return SB_Var.Pal3d ? static_cast<uint32_t>(SB_FindNearestColor(SB_Var.Pal3d, r >> 2, g >> 2, b >> 2)) : 0;
  return SB_RgbToPixel16(r, g, b);
}

void SB_DrawBevelBox(BMAP* bmap, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t style) {
  if (!bmap) return;
  const BEVEL& bevel = kBevels[style & 3];
  const uint32_t light = SB_ToolPixel(bmap, bevel.light, bevel.light, bevel.light);
  const uint32_t face = SB_ToolPixel(bmap, bevel.face, bevel.face, bevel.face);
  const uint32_t dark = SB_ToolPixel(bmap, bevel.dark, bevel.dark, bevel.dark);
  const int32_t right = x + width - 1, bottom = y + height - 1;
  SB_DrawBox(bmap, x, y, right, y, light, LS_BOX_FILLED);
  SB_DrawBox(bmap, x, y + 1, x, bottom, light, LS_BOX_FILLED);
  if (width > 2 && height > 2) SB_DrawBox(bmap, x + 1, y + 1, right - 1, bottom - 1, face, LS_BOX_FILLED);
  SB_DrawBox(bmap, right, y + 1, right, bottom, dark, LS_BOX_FILLED);
  if (width > 2) SB_DrawBox(bmap, x + 1, bottom, right - 1, bottom, dark, LS_BOX_FILLED);
}

void SB_DrawToolButtons(BMAP* target, TTOOLBUTTON* first) {
  if (!target) return;
  for (TTOOLBUTTON* b = first; b; b = b->Next) {
    BMAP* face = SB_CreateBmap(b->Width, b->Height, target->Depth, 0, b->Label);
    if (!face) continue;
    SB_DrawBevelBox(face, 0, 0, b->Width, b->Height, b->State);
    // Halved unsigned: a label wider than its button lands far outside.
    const uint32_t room = static_cast<uint32_t>(b->Width) - 8u * static_cast<uint32_t>(std::strlen(b->Label));
    // Such a place is not handed to the font, whose pen would overflow.
    const uint32_t x = room >> 1;
    if (x < static_cast<uint32_t>(b->Width)) SB_DrawSysText(b->Label, face, static_cast<int32_t>(x), 2);
    Copy(face, target, b->X, b->Y);
    SB_FreeBmap(face);
  }
}

void SB_DrawToolTitle(TTOOLWINDOW* window) {
  if (!window || !window->Frame) return;
  BMAP* frame = window->Frame;
  SB_DrawBox(frame, 0, 0, window->Width - 1, window->Height - 1, SB_ToolPixel(frame, 128, 128, 240), LS_BOX_FILLED);
  SB_DrawBox(frame, kBorder, kTitleHeight, window->Width - 3, window->Height - 3, SB_ToolPixel(frame, 0, 0, 0),
             LS_BOX_FILLED);
  SB_DrawSysText(window->Title, frame, 2, 2);
}

void SB_DrawToolWindow(TTOOLWINDOW* window) {
  if (!window) return;
  SB_DrawToolTitle(window);
  if (!window->Client) return;
  SB_DrawToolButtons(window->ButtonsLayer, window->FirstButton);
  Copy(window->ButtonsLayer, window->Client, 0, 0);
  for (TTOOLWINDOW* child = window->Child; child; child = child->Next)
    Copy(child->Frame, window->Client, child->X, child->Y);
  Copy(window->Client, window->Frame, kBorder, kTitleHeight);
}

void SB_UpdateToolHover(TTOOLWINDOW* windows) {
  const int32_t mx = SB_Var.EditorMouseX, my = SB_Var.EditorMouseY;
  TTOOLBUTTON* old = LastButton(windows, [](TTOOLWINDOW*, TTOOLBUTTON* b) { return (b->State & SB_BUTTONHOT) != 0; });
  TTOOLBUTTON* now = LastButton(windows, [mx, my](TTOOLWINDOW* w, TTOOLBUTTON* b) {
    if (!Contains(w->X, w->Y, w->Width, w->Height, mx, my)) return false;
    return Contains(b->X, b->Y, b->Width, b->Height, mx - w->X - kBorder, my - w->Y - kTitleHeight);
  });
  if (now == old) return;
  if (old) old->State &= ~SB_BUTTONHOT;
  if (now) now->State |= SB_BUTTONHOT;
  SB_Var.HotButton = now;
  SB_DrawToolWindow(windows);
}

bool SB_EditorPressed() { return SB_Var.EditorButtons != 0 && SB_Var.EditorPrevButtons == 0; }
bool SB_EditorReleased() { return SB_Var.EditorButtons == 0 && SB_Var.EditorPrevButtons != 0; }

void SB_UpdateToolClick(TTOOLWINDOW* windows) {
  if (SB_EditorPressed() && SB_Var.HotButton) {
    if (SB_Var.HotButton != SB_Var.ActiveTool) {
      SB_Var.PressedButton = SB_Var.HotButton;
      SB_Var.PressedButton->State |= SB_BUTTONPRESSED;
      SB_DrawToolWindow(windows);
    }
    if (SB_Var.ActiveTool) {
      SB_Var.ActiveTool->State &= ~SB_BUTTONPRESSED;
      SB_Var.ActiveTool = nullptr;
      SB_DrawToolWindow(windows);
    }
  }
  if (SB_Var.EditorButtons != 0 || !SB_EditorReleased() || !SB_Var.PressedButton) return;
  if (SB_Var.HotButton == SB_Var.PressedButton) {
    SB_Var.ActiveTool = SB_Var.PressedButton;
    SB_Var.PressedButton = nullptr;
    return;
  }
  SB_Var.PressedButton->State &= ~SB_BUTTONPRESSED;
  SB_Var.PressedButton = nullptr;
  SB_DrawToolWindow(windows);
}

void SB_DragToolWindow(TTOOLWINDOW* windows) {
  if (SB_Var.EditorButtons == 0) {
    SB_Var.DraggedWindow = nullptr;
    return;
  }
  const int32_t mx = SB_Var.EditorMouseX, my = SB_Var.EditorMouseY;
  if (SB_EditorPressed())
    for (TTOOLWINDOW* w = windows; w; w = w->Next)
      if (Contains(w->X, w->Y, w->Width, kTitleHeight, mx, my)) SB_Var.DraggedWindow = w;
  if (TTOOLWINDOW* w = SB_Var.DraggedWindow) {
    w->X += mx - SB_Var.EditorPrevMouseX;
    w->Y += my - SB_Var.EditorPrevMouseY;
  }
}

int32_t SB_MouseOutsideWindows(TTOOLWINDOW* windows) {
  for (TTOOLWINDOW* w = windows; w; w = w->Next)
    if (Contains(w->X, w->Y, w->Width, w->Height, SB_Var.EditorMouseX, SB_Var.EditorMouseY)) return 0;
  return 1;
}

void SB_ReadEditorMouse(BMAP* view) {
  SB_Var.EditorPrevMouseX = SB_Var.EditorMouseX;
  SB_Var.EditorPrevMouseY = SB_Var.EditorMouseY;
  SB_Var.EditorPrevButtons = SB_Var.EditorButtons;
  SB_ReadLimitedMouse(view ? view->SizeX - 1 : INT32_MAX, view ? view->SizeY - 1 : INT32_MAX, &SB_Var.EditorMouseX,
                      &SB_Var.EditorMouseY, &SB_Var.EditorButtons);
}

void SB_BlitToolWindows(TTOOLWINDOW* windows, BMAP* view) {
  for (TTOOLWINDOW* w = windows; w; w = w->Next) Copy(w->Frame, view, w->X, w->Y);
}

BMAP* SB_LoadToolPicture(const char* file, int32_t depth, const char* owner) {
  if (!LS_FileExists(file)) return nullptr;
  BMAP* loaded = LS_LoadTga(file, 0);
  if (!loaded) return nullptr;
  BMAP* copy = SB_CreateBmapIfFits(loaded->SizeX, loaded->SizeY, depth, 0, owner);
  if (copy) {
    if (depth == 8) copy->Palette = SB_Var.Pal3d;
    SB_Bitmove(loaded, copy, 0, 0, loaded->SizeX - 1, loaded->SizeY - 1, 0, 0);
  }
  SB_FreeBmapUntracked(loaded);
  return copy;
}

void SB_DrawCursorPicture(BMAP** slot, BMAP* view, const char* file, int32_t hotX, int32_t hotY) {
  if (!slot || !view) return;
  if (!*slot) *slot = SB_LoadToolPicture(file, view->Depth, file);
  if (BMAP* picture = *slot)
    SB_BitmoveTransparent(picture, view, 0, 0, picture->SizeX - 1, picture->SizeY - 1,
                          SB_Var.EditorMouseX - hotX, SB_Var.EditorMouseY - hotY);
}


void SB_ToolDrawLine(_WINDOW* window, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  if (!window || !window->W_ADDRESS) return;
  if (!SB_ClipLine(window->W_WIDTH - 1, window->W_HEIGHT - 1, &x1, &y1, &x2, &y2)) return;
  window->W_PRIMITIVE->Line(window, x1, y1, x2, y2, colour);
}
