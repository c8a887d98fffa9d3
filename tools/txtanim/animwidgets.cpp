// The texture-animation editor's drawing kit and resources: pointer and
// hit tests, bevelled boxes, outlines, moving dashed rectangles, scaled page
// thumbnails, labels, the rate bar, the preview save, texture lookups.
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine3d/texpages.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/font.h"
#include "system/heap.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "tools/txtanim/txtanim.h"
#include "tools/editmouse.h"

namespace {

constexpr const char* kOwner = "SB_TxtAnimEditor";
constexpr int32_t kCursorSide = 13, kPreviewSide = 265;
constexpr int32_t kPreviewX = 97, kPreviewY = 47;

BMAP* Screen() { return SB_TxtAnimUi.Screen; }

uint8_t Nearest(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint8_t>(SB_Var.Pal3d ? SB_FindNearestColor(SB_Var.Pal3d, r, g, b) : 0);
}

void Fill(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  if (Screen()) LS_FillRect(Screen(), x1, y1, x2, y2, colour);
}

// The 3D palette's entry nearest a 16-bit texel of the format, cached per
// texel value until the palette or the format changes.
uint8_t NearestOfTexel(uint32_t texel, int32_t format) {
  static std::vector<int16_t> cache;
  static PALETTE palette;
  static int32_t cachedFormat = -1;
  static PIXELFORMAT f;
  if (!SB_Var.Pal3d) return 0;
  if (cache.empty() || cachedFormat != format || std::memcmp(&palette, SB_Var.Pal3d, sizeof palette) != 0) {
    cache.assign(65536, -1);
    palette = *SB_Var.Pal3d;
    cachedFormat = format;
    LS_GetPixelFormat(&f, format);
  }
  int16_t& entry = cache[texel & 0xFFFF];
  if (entry < 0) {
    auto six = [texel](uint32_t mask, uint32_t shift, uint32_t bits) {
      return bits ? static_cast<int32_t>(((texel & mask) >> shift) * 63 / ((1u << bits) - 1)) : 0;
    };
    entry = static_cast<int16_t>(Nearest(six(f.RedMask, f.RedShift, f.RedBits), six(f.GreenMask, f.GreenShift, f.GreenBits),
                                         six(f.BlueMask, f.BlueShift, f.BlueBits)));
  }
  return static_cast<uint8_t>(entry);
}

void Text(const char* text, int32_t x, int32_t y, int32_t enabled) {
  if (Screen())
    LS_DrawString(LS_Var.SysFont, Screen(), text, x, y, enabled ? LS_BLIT_OPAQUE : LS_BLIT_TRANSPARENT);
}

}  // namespace

bool SB_TxtAnimSetUpUi() {
  SB_TxtAnimFreeUi();
  TTXTANIMUI& ui = SB_TxtAnimUi;
  ui.Screen = SB_CreateBmapIfFits(640, 480, 8, LS_DefaultHeap, kOwner);
  ui.CursorSave = SB_CreateBmapIfFits(kCursorSide, kCursorSide, 8, LS_DefaultHeap, kOwner);
  ui.PreviewSave = SB_CreateBmapIfFits(kPreviewSide, kPreviewSide, 8, LS_DefaultHeap, kOwner);
  if (!ui.Screen || !ui.CursorSave || !ui.PreviewSave) {
    SB_TxtAnimFreeUi();
    return false;
  }
  ui.Screen->Palette = SB_Var.Pal3d;
  ui.Face = Nearest(32, 32, 32);
  ui.Light = Nearest(48, 48, 48);
  ui.Dark = Nearest(16, 16, 16);
  ui.Line = Nearest(8, 8, 8);
  ui.Highlight = Nearest(63, 63, 0);
  ui.Empty = Nearest(24, 24, 40);
  ui.Thumb = Nearest(0, 32, 63);
  ui.KnobX = 10;
  SB_TxtAnimEdit = TTXTANIMEDIT{};
  SB_TxtAnimEdit.ThumbLeft = 4;
  return true;
}

void SB_TxtAnimFreeUi() {
  TTXTANIMUI& ui = SB_TxtAnimUi;
  for (BMAP* b : {ui.Screen, ui.CursorSave, ui.PreviewSave})
    if (b) SB_FreeBmap(b);
  ui = TTXTANIMUI{};
  SB_TxtAnimEdit = TTXTANIMEDIT{};
}

void SB_TxtAnimReadMouse() {
  TTXTANIMUI& ui = SB_TxtAnimUi;
  ui.PrevMouseX = ui.MouseX, ui.PrevMouseY = ui.MouseY, ui.PrevButtons = ui.Buttons;
  SB_ReadLimitedMouse(639, 479, &ui.MouseX, &ui.MouseY, &ui.Buttons);
}

int32_t SB_TxtAnimPointerIn(int32_t x, int32_t y, int32_t w, int32_t h) {
  const int32_t px = SB_TxtAnimUi.MouseX, py = SB_TxtAnimUi.MouseY;
  return px >= x && px < x + w && py >= y && py < y + h ? 1 : 0;
}

int32_t SB_TxtAnimClickIn(int32_t x, int32_t y, int32_t w, int32_t h) {
  return (SB_TxtAnimUi.Buttons & 1) && SB_TxtAnimPointerIn(x, y, w, h) ? 1 : 0;
}

void SB_TxtAnimFrame(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  BMAP* s = Screen();
  if (!s) return;
  LS_FillRect(s, x1, y1, x2, y2, SB_TxtAnimUi.Face);
  for (int32_t i = 0; i < 3; ++i) {
    LS_DrawLine(s, x1 + i, y1 + i, x1 + i, y2 - i, SB_TxtAnimUi.Light);
    LS_DrawLine(s, x1 + i, y1 + i, x2 - i, y1 + i, SB_TxtAnimUi.Light);
    LS_DrawLine(s, x2 - i, y1 + i, x2 - i, y2 - i, SB_TxtAnimUi.Dark);
    LS_DrawLine(s, x1 + i, y2 - i, x2 - i, y2 - i, SB_TxtAnimUi.Dark);
  }
}

void SB_TxtAnimRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  BMAP* s = Screen();
  if (!s) return;
  LS_DrawLine(s, x1, y1, x2, y1, colour);
  LS_DrawLine(s, x1, y2, x2, y2, colour);
  LS_DrawLine(s, x1, y1, x1, y2, colour);
  LS_DrawLine(s, x2, y1, x2, y2, colour);
}

void SB_TxtAnimHighlight(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  BMAP* s = Screen();
  if (!s) return;
  for (int32_t i = 0; i < 5; ++i) {
    LS_DrawLine(s, x1 + i, y1 + i, x1 + i, y2 - i, 0);
    LS_DrawLine(s, x1 + i, y1 + i, x2 - i, y1 + i, 0);
    LS_DrawLine(s, x2 - i, y1 + i, x2 - i, y2 - i, colour);
    LS_DrawLine(s, x1 + i, y2 - i, x2 - i, y2 - i, colour);
  }
}

// Writes bytes directly, so the caller keeps the line on the bitmap; a
// point off it is skipped rather than written outside.
void SB_TxtAnimDashLine(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t phase) {
  if (!bmap || !bmap->Start) return;
  const int32_t dx = x2 > x1 ? x2 - x1 : x1 - x2, dy = y2 > y1 ? y2 - y1 : y1 - y2;
  const int32_t sx = x2 >= x1 ? 1 : -1, sy = y2 >= y1 ? 1 : -1;
  int32_t err = dx - dy, x = x1, y = y1;
  for (int32_t n = 0;; ++n) {
    if (x >= 0 && y >= 0 && x < bmap->SizeX && y < bmap->SizeY)
      bmap->Start[y * bmap->ByteLen + x] = ((phase + n) & 4) ? 255 : 0;
    if (x == x2 && y == y2) break;
    const int32_t e2 = 2 * err;
    if (e2 > -dy) err -= dy, x += sx;
    if (e2 < dx) err += dx, y += sy;
  }
}

void SB_TxtAnimDashRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int32_t phase = SB_TxtAnimUi.DashPhase++;
  SB_TxtAnimDashLine(Screen(), x1, y1, x2, y1, phase);
  SB_TxtAnimDashLine(Screen(), x2, y1, x2, y2, phase);
  SB_TxtAnimDashLine(Screen(), x2, y2, x1, y2, phase);
  SB_TxtAnimDashLine(Screen(), x1, y2, x1, y1, phase);
}

// The page is read at its own bytes per texel; a 16-bit texel takes the
// nearest colour of the 3D palette.
void SB_TxtAnimDrawScaled(BMAP* page, BMAP* screen, int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t x1,
                          int32_t y1, int32_t x2, int32_t y2) {
  const int32_t w = x2 - x1, h = y2 - y1;
  if (!page || !page->Start || !screen || !screen->Start || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
  const int32_t bytes = page->Depth > 8 ? page->Depth / 8 : 1;
  const int64_t step = h > w ? (static_cast<int64_t>(sh) << 16) / h : (static_cast<int64_t>(sw) << 16) / w;
  for (int32_t r = 0; r < h; ++r) {
    const int32_t yy = y1 + r, v = static_cast<int32_t>((32768 + r * step) >> 16);
    if (yy < 0 || yy >= screen->SizeY) continue;
    for (int32_t c = 0; c < w; ++c) {
      const int32_t xx = x1 + c, u = static_cast<int32_t>((32768 + c * step) >> 16);
      if (xx < 0 || xx >= screen->SizeX) continue;
      uint8_t colour = (c & 1) && !(r & 1) ? 255 : 0;
      const int32_t px = sx + u, py = sy + v;
      if (u <= sw && v <= sh && px >= 0 && py >= 0 && px < page->SizeX && py < page->SizeY) {
        const uint8_t* texel = page->Start + py * page->ByteLen + px * bytes;
        colour = bytes == 2 ? NearestOfTexel(texel[0] | texel[1] << 8, page->Format) : texel[0];
      }
      screen->Start[yy * screen->ByteLen + xx] = colour;
    }
  }
}

void SB_TxtAnimModeLabels(int32_t x, int32_t y, uint32_t flags, int32_t enabled) {
  const char* loop = (flags & TXA_LOOP) ? "WITH LOOP      " : "NO LOOP        ";
  const char* kind = SB_TxtAnimKindLabel(flags);
  SB_TxtAnimFrame(x - 4, y - 3, x + 8 * (static_cast<int32_t>(std::strlen(loop)) + 1) - 4, y + 16);
  Text(loop, x, y, enabled);
  SB_TxtAnimFrame(x - 4, y + 11, x + 8 * (static_cast<int32_t>(std::strlen(kind)) + 1) - 4, y + 30);
  Text(kind, x, y + 14, enabled);
}

void SB_TxtAnimDrawRateBar() {
  Fill(6, 429, 634, 437, SB_TxtAnimUi.Face);
  if (Screen()) LS_DrawLine(Screen(), 2, 433, 638, 433, SB_TxtAnimUi.Line);
  const int32_t knob = SB_TxtAnimUi.KnobX < 10 ? 10 : SB_TxtAnimUi.KnobX > 630 ? 630 : SB_TxtAnimUi.KnobX;
  Fill(knob - 4, 429, knob + 4, 437, SB_TxtAnimUi.Highlight);
}

void SB_TxtAnimSavePreview() {
  TTXTANIMUI& ui = SB_TxtAnimUi;
  if (!SB_Var.TxtAnimEditing || ui.PreviewSaved || !ui.Screen || !ui.PreviewSave) return;
  LS_Bitmove(ui.Screen, ui.PreviewSave, kPreviewX, kPreviewY, kPreviewX + kPreviewSide - 1,
             kPreviewY + kPreviewSide - 1, 0, 0, LS_BLIT_OPAQUE);
  ui.PreviewSaved = 1;
}

void SB_TxtAnimRestorePreview() {
  TTXTANIMUI& ui = SB_TxtAnimUi;
  if (!SB_Var.TxtAnimEditing || !ui.PreviewSaved || !ui.Screen || !ui.PreviewSave) return;
  ui.PreviewSaved = 0;
  LS_Bitmove(ui.PreviewSave, ui.Screen, 0, 0, 263, 263, kPreviewX, kPreviewY, LS_BLIT_OPAQUE);
}

int32_t SB_TxtAnimTextureAt(int32_t x, int32_t y, int32_t page) {
  const int32_t n = SB_TextureNameCount();
  for (int32_t i = 0; i < n; ++i) {
    const TTEXTUREPLACE& p = SB_SoftTexturePlaces()[i];
    if (p.PageNumber == page && x >= p.X && x <= p.X + p.Width - 1 && y >= p.Y && y <= p.Y + p.Height - 1)
      return i;
  }
  return -1;
}

void SB_TxtAnimTextureName(int32_t i, char* name, size_t size) {
  if (size == 0) return;
  name[0] = 0;
  if (i < 0 || i >= SB_TextureNameCount() || i >= SB_Var.NbTextTri || i >= SB_MAXTEXTTRI) return;
  char full[SB_TEXTTRINAMESIZE];
  std::snprintf(full, sizeof full, "%s", SB_Var.TextTri[i].Name);
  const char* base = std::strrchr(full, '>');
  base = base ? base + 1 : full;
  std::snprintf(name, size, "%.*s", static_cast<int>(std::strcspn(base, ".")), base);
}
