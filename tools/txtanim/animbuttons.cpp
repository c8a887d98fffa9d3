// The texture-animation editor's pictures cut from the editors' panel
// picture: the buttons in their released or pressed images, the check
// boxes, and the pointer drawn over the 13 x 13 area it saves.
#include <cstring>

#include "shell/sbvar.h"
#include "system/font.h"
#include "system/lsvar.h"
#include "tools/txtanim/txtanim.h"

namespace {

// A button: its click area on the screen and its two images (corners
// inclusive) in the panel picture; clear marks the controls whose pressed
// image is followed by clearing their area.
struct TIMAGEBUTTON {
  int32_t x, y, w, h;
  int32_t up[4], down[4];
  bool clear;
};

// Page buttons: next, last, previous, first of the source, then of the
// destination; their images: released, then pressed.
using TCELLS = int32_t[2][4];
constexpr TCELLS kPageNext = {{65, 174, 96, 189}, {129, 174, 160, 189}};
constexpr TCELLS kPageLast = {{160, 142, 191, 157}, {224, 142, 255, 157}};
constexpr TCELLS kPagePrev = {{97, 174, 128, 189}, {161, 174, 192, 189}};
constexpr TCELLS kPageFirst = {{192, 142, 223, 157}, {256, 142, 287, 157}};

constexpr TIMAGEBUTTON Page(int32_t x, const TCELLS& c) {
  return {x, 283, 32, 16, {c[0][0], c[0][1], c[0][2], c[0][3]}, {c[1][0], c[1][1], c[1][2], c[1][3]}, false};
}
constexpr TIMAGEBUTTON kPageButtons[8] = {Page(10, kPageNext),   Page(50, kPageLast),  Page(138, kPagePrev),
                                          Page(178, kPageFirst), Page(280, kPageNext), Page(320, kPageLast),
                                          Page(408, kPagePrev),  Page(448, kPageFirst)};

// New and delete animation, add, insert and delete step, cut, copy, paste:
// the pressed image lies 32 rows below the released one.
constexpr TIMAGEBUTTON Anim(int32_t x, int32_t ix, int32_t iy) {
  return {x, 444, 32, 32, {ix, iy, ix + 31, iy + 31}, {ix, iy + 32, ix + 31, iy + 63}, false};
}
constexpr TIMAGEBUTTON kAnimButtons[8] = {Anim(4, 160, 78),    Anim(42, 192, 78),  Anim(80, 224, 78),
                                          Anim(118, 288, 78),  Anim(156, 256, 78), Anim(194, 193, 158),
                                          Anim(232, 225, 158), Anim(270, 257, 158)};

// Play, stop, pause, frame rate, previous and next animation.
constexpr TIMAGEBUTTON kPlayButtons[6] = {
    {548, 30, 32, 16, {223, 13, 255, 29}, {223, 13, 255, 27}, true},
    {588, 30, 32, 16, {223, 28, 255, 44}, {223, 28, 255, 44}, false},
    {548, 50, 32, 16, {255, 13, 287, 29}, {255, 13, 287, 29}, false},
    {588, 50, 32, 16, {255, 28, 287, 44}, {255, 28, 287, 44}, true},
    {548, 70, 32, 16, {287, 13, 319, 29}, {287, 13, 319, 29}, false},
    {588, 70, 32, 16, {287, 28, 319, 44}, {287, 28, 319, 44}, false},
};

constexpr int32_t kCheckedBox[4] = {207, 13, 222, 27}, kUncheckedBox[4] = {191, 13, 206, 27};
constexpr int32_t kCrossHair[4] = {80, 0, 92, 12}, kArrow[4] = {94, 0, 106, 12};
constexpr int32_t kCursorSide = 13;

void Copy(const int32_t (&cell)[4], int32_t x, int32_t y, int32_t mode) {
  BMAP* picture = SB_Var.EditorPicture;
  if (!picture || !SB_TxtAnimUi.Screen) return;
  LS_Bitmove(picture, SB_TxtAnimUi.Screen, cell[0], cell[1], cell[2], cell[3], x, y, mode);
}

// A left press in this frame, the button up in the last one, on the area.
bool ClickedOn(const TIMAGEBUTTON& b) {
  const TTXTANIMUI& ui = SB_TxtAnimUi;
  return (ui.Buttons & 1) && !(ui.PrevButtons & 1) && SB_TxtAnimPointerIn(b.x, b.y, b.w, b.h);
}

void Draw(const TIMAGEBUTTON& b, bool pressed) {
  Copy(pressed ? b.down : b.up, b.x, b.y, LS_BLIT_OPAQUE);
  if (pressed && b.clear && SB_TxtAnimUi.Screen)
    LS_FillRect(SB_TxtAnimUi.Screen, b.x, b.y, b.x + b.w, b.y + b.h - 1, 0);
}

}  // namespace

void SB_TxtAnimDrawButtons(bool playing) {
  if (!playing) {
    for (const TIMAGEBUTTON& b : kPageButtons) Draw(b, ClickedOn(b));
    for (const TIMAGEBUTTON& b : kAnimButtons) Draw(b, ClickedOn(b));
  }
  // The play button stays pressed while an animation plays.
  for (const TIMAGEBUTTON& b : kPlayButtons) Draw(b, ClickedOn(b) || (playing && &b == &kPlayButtons[0]));
}

void SB_TxtAnimCheckBox(int32_t x, int32_t y, int32_t checked, const char* label, int32_t enabled) {
  SB_TxtAnimFrame(x - 3, y - 3, x + 8 * (static_cast<int32_t>(std::strlen(label)) + 1) + 19, y + 16);
  Copy(checked ? kCheckedBox : kUncheckedBox, x, y, LS_BLIT_OPAQUE);
  if (SB_TxtAnimUi.Screen)
    LS_DrawString(LS_Var.SysFont, SB_TxtAnimUi.Screen, label, x + 20, y,
                  enabled ? LS_BLIT_OPAQUE : LS_BLIT_TRANSPARENT);
}

void SB_TxtAnimRestoreCursor() {
  TTXTANIMUI& ui = SB_TxtAnimUi;
  if (!ui.CursorSaved || !ui.Screen || !ui.CursorSave) return;
  LS_Bitmove(ui.CursorSave, ui.Screen, 0, 0, kCursorSide - 1, kCursorSide - 1, ui.CursorX, ui.CursorY,
             LS_BLIT_OPAQUE);
  ui.CursorSaved = 0;
}

// The saved area is clipped to the screen as the cursor is, so putting it
// back restores exactly what the cursor covered.
void SB_TxtAnimDrawCursor(bool overPages) {
  TTXTANIMUI& ui = SB_TxtAnimUi;
  if (!ui.Screen || !ui.CursorSave) return;
  const int32_t x = overPages ? ui.MouseX - 6 : ui.MouseX, y = overPages ? ui.MouseY - 6 : ui.MouseY;
  LS_Bitmove(ui.Screen, ui.CursorSave, x, y, x + kCursorSide - 1, y + kCursorSide - 1, 0, 0, LS_BLIT_OPAQUE);
  ui.CursorX = x, ui.CursorY = y, ui.CursorSaved = 1;
  Copy(overPages ? kCrossHair : kArrow, x, y, LS_BLIT_TRANSPARENT);
}
