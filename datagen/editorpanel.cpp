// The editors' panel picture: flat bevelled buttons with simple glyphs,
// drawn in integers so every run gives the same bytes. Entry 0 is the
// transparent black of the cursors and marks.
#include "datagen/editorpanel.h"

#include <algorithm>
#include <cstdlib>

#include "datagen/canvas8.h"

namespace datagen {
namespace {

enum Colour : uint8_t { kBlack, kWhite, kLight, kFace, kDark, kRed, kGreen, kBlue, kYellow, kCyan };

using Canvas = Canvas8;

void Palette(std::vector<uint8_t>& palette) {
  const uint8_t colours[][3] = {{0, 0, 0},      {255, 255, 255}, {200, 200, 210}, {140, 140, 155},
                                {70, 70, 85},   {220, 40, 40},   {40, 190, 60},   {50, 90, 230},
                                {240, 220, 40}, {40, 200, 220}};
  palette.assign(768, 0);
  for (size_t i = 0; i < sizeof colours / sizeof colours[0]; ++i)
    for (int k = 0; k < 3; ++k) palette[i * 3 + static_cast<size_t>(k)] = colours[i][k];
}

// The marks drawn on the 32 x 32 buttons.
enum Glyph {
  kGridGlyph,
  kOutlineGlyph,
  kPlusGlyph,
  kMinusGlyph,
  kPerspectiveGlyph,  // view
  kArrowGlyph,
  kTileGlyph,
  kCameraGlyph,
  kTextureGlyph,
  kCurveGlyph,  // tools 0..4
  kPathGlyph,
  kPreviousGlyph,
  kNextGlyph,
  kNextObjectGlyph,
  kRecordGlyph,
  kStopGlyph,  // object paths
  kAddStepGlyph,
  kDeleteStepGlyph,
  kInsertStepGlyph,
  kCutGlyph,
  kCopyGlyph,
  kPasteGlyph,  // steps
};

// A triangle pointing left (d -1) or right (d 1) centred on (cx, cy).
void Triangle(Canvas& c, int cx, int cy, int d, uint8_t ink) {
  for (int k = 0; k <= 6; ++k) c.Line(cx - d * 3 + d * k, cy - 6 + k, cx - d * 3 + d * k, cy + 6 - k, ink);
}

void ViewAndToolGlyph(Canvas& c, Glyph g, int cx, int cy, uint8_t ink) {
  switch (g) {
    case kGridGlyph:
      for (int k = -8; k <= 8; k += 4)
        c.Line(cx + k, cy - 8, cx + k, cy + 8, ink), c.Line(cx - 8, cy + k, cx + 8, cy + k, ink);
      break;
    case kOutlineGlyph:  // a diamond
      c.Line(cx, cy - 9, cx + 9, cy, ink), c.Line(cx + 9, cy, cx, cy + 9, ink);
      c.Line(cx, cy + 9, cx - 9, cy, ink), c.Line(cx - 9, cy, cx, cy - 9, ink);
      break;
    case kPlusGlyph:
      c.Fill(cx - 8, cy - 1, cx + 8, cy + 1, ink), c.Fill(cx - 1, cy - 8, cx + 1, cy + 8, ink);
      break;
    case kMinusGlyph: c.Fill(cx - 8, cy - 1, cx + 8, cy + 1, ink); break;
    case kPerspectiveGlyph:  // a receding square
      c.Frame(cx - 9, cy - 9, cx + 9, cy + 9, ink), c.Frame(cx - 4, cy - 4, cx + 4, cy + 4, ink);
      c.Line(cx - 9, cy - 9, cx - 4, cy - 4, ink), c.Line(cx + 9, cy + 9, cx + 4, cy + 4, ink);
      break;
    case kArrowGlyph:  // no tool: the plain pointer
      c.Line(cx - 6, cy - 8, cx - 6, cy + 6, ink), c.Line(cx - 6, cy - 8, cx + 5, cy + 3, ink);
      c.Line(cx - 6, cy + 6, cx - 1, cy + 2, ink), c.Line(cx - 1, cy + 2, cx + 5, cy + 3, ink);
      break;
    case kTileGlyph:  // a grid of four tiles, one marked
      c.Frame(cx - 8, cy - 8, cx + 8, cy + 8, ink), c.Line(cx, cy - 8, cx, cy + 8, ink);
      c.Line(cx - 8, cy, cx + 8, cy, ink), c.Fill(cx + 2, cy - 6, cx + 6, cy - 2, kRed);
      break;
    case kCameraGlyph:  // a camera body and lens
      c.Fill(cx - 9, cy - 4, cx + 9, cy + 6, ink), c.Fill(cx - 4, cy - 7, cx + 1, cy - 4, ink);
      c.Fill(cx - 2, cy - 1, cx + 3, cy + 4, kCyan);
      break;
    case kTextureGlyph:  // a "T" over a checker
      for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
          if ((i + j) & 1) c.Fill(cx - 8 + 4 * i, cy - 8 + 4 * j, cx - 5 + 4 * i, cy - 5 + 4 * j, kBlue);
      c.Fill(cx - 7, cy - 7, cx + 7, cy - 5, ink), c.Fill(cx - 1, cy - 7, cx + 1, cy + 8, ink);
      break;
    default:  // the race line: a curve through three points
      c.Line(cx - 10, cy + 6, cx - 4, cy - 2, ink), c.Line(cx - 4, cy - 2, cx + 3, cy - 4, ink);
      c.Line(cx + 3, cy - 4, cx + 10, cy + 4, ink);
      for (int k : {-10, 3, 10})
        c.Fill(cx + k - 1,
               cy +
                   (k < 0   ? 6
                    : k < 5 ? -4
                            : 4) -
                   1,
               cx + k + 1,
               cy +
                   (k < 0   ? 6
                    : k < 5 ? -4
                            : 4) +
                   1,
               kRed);
      break;
  }
}

void PathAndStepGlyph(Canvas& c, Glyph g, int cx, int cy, uint8_t ink) {
  switch (g) {
    case kPathGlyph:  // a dotted path to a box
      for (int k = -10; k <= 2; k += 3) c.Fill(k + cx, cy + 4 - k / 2, k + cx + 1, cy + 5 - k / 2, ink);
      c.Frame(cx + 4, cy - 8, cx + 10, cy - 2, ink);
      break;
    case kPreviousGlyph: Triangle(c, cx, cy, -1, ink); break;
    case kNextGlyph: Triangle(c, cx, cy, 1, ink); break;
    case kNextObjectGlyph:
      c.Frame(cx - 10, cy - 5, cx - 2, cy + 5, ink), Triangle(c, cx + 5, cy, 1, ink);
      break;
    case kRecordGlyph:
      for (int j = -6; j <= 6; ++j)
        for (int i = -6; i <= 6; ++i)
          if (i * i + j * j <= 36) c.Set(cx + i, cy + j, kRed);
      break;
    case kStopGlyph: c.Fill(cx - 6, cy - 6, cx + 6, cy + 6, ink); break;
    case kAddStepGlyph:     // a step's frame with a plus
    case kDeleteStepGlyph:  // with a cross
    case kInsertStepGlyph:  // with an arrow down into it
      c.Frame(cx - 9, cy - 5, cx + 9, cy + 9, ink);
      if (g == kAddStepGlyph)
        c.Fill(cx - 5, cy + 1, cx + 5, cy + 3, ink), c.Fill(cx - 1, cy - 3, cx + 1, cy + 7, ink);
      if (g == kDeleteStepGlyph)
        c.Line(cx - 5, cy - 1, cx + 5, cy + 7, ink), c.Line(cx - 5, cy + 7, cx + 5, cy - 1, ink);
      if (g == kInsertStepGlyph)
        c.Fill(cx - 1, cy - 10, cx + 1, cy + 2, ink), c.Line(cx - 4, cy - 1, cx, cy + 3, ink);
      if (g == kInsertStepGlyph) c.Line(cx + 4, cy - 1, cx, cy + 3, ink);
      break;
    case kCutGlyph:  // scissors
      c.Line(cx - 6, cy - 9, cx + 4, cy + 3, ink), c.Line(cx + 6, cy - 9, cx - 4, cy + 3, ink);
      c.Frame(cx - 8, cy + 3, cx - 3, cy + 8, ink), c.Frame(cx + 3, cy + 3, cx + 8, cy + 8, ink);
      break;
    case kCopyGlyph:
      c.Frame(cx - 9, cy - 9, cx + 3, cy + 3, ink), c.Frame(cx - 3, cy - 3, cx + 9, cy + 9, ink);
      break;
    default:  // paste: a clipboard
      c.Frame(cx - 7, cy - 7, cx + 7, cy + 9, ink), c.Fill(cx - 3, cy - 9, cx + 3, cy - 6, ink);
      for (int k = -2; k <= 6; k += 4) c.Line(cx - 4, cy + k, cx + 4, cy + k, ink);
      break;
  }
}

// A 32 x 32 button at (x, y): raised when up, sunk when down, its glyph in
// its middle.
void Button(Canvas& c, int x, int y, bool down, Glyph glyph) {
  c.Fill(x, y, x + 31, y + 31, down ? kDark : kFace);
  c.Fill(x, y, x + 31, y, down ? kBlack : kWhite), c.Fill(x, y, x, y + 31, down ? kBlack : kWhite);
  c.Fill(x, y + 31, x + 31, y + 31, down ? kLight : kBlack),
      c.Fill(x + 31, y, x + 31, y + 31, down ? kLight : kBlack);
  const int cx = x + 16 + (down ? 1 : 0), cy = y + 16 + (down ? 1 : 0);
  const uint8_t ink = down ? kYellow : kBlack;
  if (glyph < kPathGlyph)
    ViewAndToolGlyph(c, glyph, cx, cy, ink);
  else
    PathAndStepGlyph(c, glyph, cx, cy, ink);
}

void Marks(Canvas& c) {
  c.Line(1, 1, 11, 6, kWhite), c.Line(1, 1, 6, 11, kWhite), c.Line(6, 6, 11, 11, kWhite);  // cursor
  c.Fill(13 + 5, 1, 13 + 7, 11, kYellow), c.Fill(13 + 1, 5, 13 + 11, 7, kYellow);          // insert cursor
  c.Fill(39 + 2, 3, 39 + 10, 9, kCyan), c.Fill(39 + 5, 1, 39 + 7, 3, kCyan);               // camera
  c.Frame(52, 0, 64, 12, kRed), c.Frame(53, 1, 63, 11, kRed);                              // selection
  c.Fill(65 + 3, 1, 65 + 9, 11, kGreen), c.Fill(65 + 2, 3, 65 + 10, 4, kBlack);            // car
  c.Fill(65 + 2, 8, 65 + 10, 9, kBlack);
}

// A small 32 x 15 button of the texture-animation editor's play controls
// at (x, y), its glyph g: 0 play, 1 stop, 2 pause, 3 frame rate, 4 previous,
// 5 next animation.
void SmallButton(Canvas& c, int x, int y, int glyph) {
  c.Fill(x, y, x + 31, y + 14, kFace);
  c.Fill(x, y, x + 31, y, kWhite), c.Fill(x, y, x, y + 14, kWhite);
  c.Fill(x, y + 14, x + 31, y + 14, kBlack), c.Fill(x + 31, y, x + 31, y + 14, kBlack);
  const int cx = x + 16, cy = y + 7;
  switch (glyph) {
    case 0:
      for (int k = 0; k <= 4; ++k) c.Line(cx - 3 + k, cy - 4 + k, cx - 3 + k, cy + 4 - k, kGreen);
      break;
    case 1: c.Fill(cx - 4, cy - 4, cx + 4, cy + 4, kRed); break;
    case 2:
      c.Fill(cx - 4, cy - 4, cx - 2, cy + 4, kBlue), c.Fill(cx + 2, cy - 4, cx + 4, cy + 4, kBlue);
      break;
    case 3:  // a clock face
      c.Frame(cx - 5, cy - 5, cx + 5, cy + 5, kBlack), c.Line(cx, cy, cx, cy - 4, kBlack),
          c.Line(cx, cy, cx + 3, cy, kBlack);
      break;
    default: {  // a double arrow, left or right
      const int d = glyph == 4 ? -1 : 1;
      for (int k = 0; k <= 4; ++k) {
        c.Line(cx - d * 4 + d * k, cy - 4 + k, cx - d * 4 + d * k, cy + 4 - k, kBlack);
        c.Line(cx + d * k, cy - 4 + k, cx + d * k, cy + 4 - k, kBlack);
      }
    }
  }
}

// A 32 x 16 page button at (x, y), sunk when down: 0 next, 1 previous,
// 2 last, 3 first (an arrow, with a bar for the jumps).
void PageButton(Canvas& c, int x, int y, bool down, int kind) {
  c.Fill(x, y, x + 31, y + 15, down ? kDark : kFace);
  c.Fill(x, y, x + 31, y, down ? kBlack : kWhite), c.Fill(x, y, x, y + 15, down ? kBlack : kWhite);
  c.Fill(x, y + 15, x + 31, y + 15, down ? kLight : kBlack),
      c.Fill(x + 31, y, x + 31, y + 15, down ? kLight : kBlack);
  const int d = kind == 0 || kind == 2 ? 1 : -1, cx = x + 16 + (down ? 1 : 0), cy = y + 8 + (down ? 1 : 0);
  const uint8_t ink = down ? kYellow : kBlack;
  for (int k = 0; k <= 5; ++k) c.Line(cx - d * 3 + d * k, cy - 5 + k, cx - d * 3 + d * k, cy + 5 - k, ink);
  if (kind >= 2)
    c.Fill(std::min(cx + d * 4, cx + d * 5), cy - 5, std::max(cx + d * 4, cx + d * 5), cy + 5, ink);
}

// A 16 x 15 check box at (x, y), ticked or not.
void CheckBox(Canvas& c, int x, int y, bool ticked) {
  c.Fill(x, y, x + 15, y + 14, kWhite), c.Frame(x, y, x + 15, y + 14, kBlack),
      c.Frame(x + 1, y + 1, x + 14, y + 13, kDark);
  if (ticked) c.Line(x + 3, y + 7, x + 6, y + 11, kBlack), c.Line(x + 6, y + 11, x + 12, y + 3, kBlack);
}

// The texture-animation editor's images: cursors, check boxes, play
// controls, page buttons and the eight animation buttons.
void AnimationEditorImages(Canvas& c) {
  c.Line(86, 0, 86, 12, kWhite), c.Line(80, 6, 92, 6, kWhite), c.Set(86, 6, kBlack);            // cross-hair
  c.Line(94, 0, 94, 10, kWhite), c.Line(94, 0, 101, 7, kWhite), c.Line(94, 10, 97, 7, kWhite);  // arrow
  c.Line(97, 7, 101, 7, kWhite), c.Line(96, 9, 98, 12, kWhite);
  CheckBox(c, 191, 13, false), CheckBox(c, 207, 13, true);
  for (int k = 0; k < 3; ++k)
    SmallButton(c, 223 + 32 * k, 13, 2 * k), SmallButton(c, 223 + 32 * k, 28, 2 * k + 1);
  const int pages[4][3] = {{65, 174, 0}, {97, 174, 1}, {160, 142, 2}, {192, 142, 3}};
  for (const auto& p : pages)
    PageButton(c, p[0], p[1], false, p[2]), PageButton(c, p[0] + 64, p[1], true, p[2]);
  // New, delete animation, add, delete, insert step; cut, copy, paste.
  struct Cell {
    int x, y;
    Glyph glyph;
  };
  const Cell anims[8] = {{160, 78, kPlusGlyph},       {192, 78, kMinusGlyph},      {224, 78, kAddStepGlyph},
                         {256, 78, kDeleteStepGlyph}, {288, 78, kInsertStepGlyph}, {193, 158, kCutGlyph},
                         {225, 158, kCopyGlyph},      {257, 158, kPasteGlyph}};
  for (const Cell& a : anims) Button(c, a.x, a.y, false, a.glyph), Button(c, a.x, a.y + 32, true, a.glyph);
}

// Decor icons, 20 x 20 cells from (192, 222), for every column and row the
// picture holds: a square of a colour of its own, with the column's number
// in pips along the top (fives as bars) and the row's down the left.
void DecorIcons(Canvas& c) {
  for (int r = 0; 222 + 20 * r + 19 < c.p.height; ++r)
    for (int k = 0; 192 + 21 * k + 19 < c.p.width; ++k) {
      const int x = 192 + 21 * k, y = 222 + 20 * r;
      c.Fill(x + 2, y + 2, x + 17, y + 17, static_cast<uint8_t>(kRed + (r * 7 + k) % 5));
      c.Frame(x + 2, y + 2, x + 17, y + 17, kWhite);
      for (int n = 0, px = x + 4; n < k / 5 && px < x + 16; ++n, px += 3)
        c.Fill(px, y + 4, px + 1, y + 7, kBlack);
      for (int n = 0, px = x + 4 + 3 * (k / 5); n < k % 5 && px < x + 16; ++n, px += 3)
        c.Fill(px, y + 4, px + 1, y + 5, kBlack);
      for (int n = 0, py = y + 9; n < r && py < y + 16; ++n, py += 2) c.Set(x + 4, py, kBlack);
    }
}

}  // namespace

Picture8 EditorPanelPicture() {
  Canvas c;
  c.p.width = kEditorPanelWidth, c.p.height = kEditorPanelHeight;
  c.p.pixels.assign(static_cast<size_t>(c.p.width * c.p.height), kBlack);
  Palette(c.p.palette);
  Marks(c);
  // The view buttons (grid, outlines, zoom in, zoom out, perspective), then
  // the tools 0..4, each up and down.
  for (int i = 0; i < 5; ++i) {
    Button(c, 32 * i, 13, false, Glyph(kGridGlyph + i)), Button(c, 32 * i, 45, true, Glyph(kGridGlyph + i));
    Button(c, 32 * i, 77, false, Glyph(kArrowGlyph + i)),
        Button(c, 32 * i, 109, true, Glyph(kArrowGlyph + i));
  }
  // The busy sign.
  c.Fill(0, 173, 64, 191, kRed), c.Frame(0, 173, 64, 191, kWhite);
  for (int x = 6; x < 60; x += 8) c.Fill(x, 179, x + 3, 185, kWhite);
  // Object-path buttons: mode, previous, next path, next object, record, stop.
  for (int i = 0; i < 6; ++i)
    Button(c, 32 * i, 222, false, Glyph(kPathGlyph + i)), Button(c, 32 * i, 254, true, Glyph(kPathGlyph + i));
  AnimationEditorImages(c);
  DecorIcons(c);
  return c.p;
}

}  // namespace datagen
