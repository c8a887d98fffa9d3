// The LED panels' texts: fixed texts, clears (with the software pages' mip
// levels made again), the scrolling text drawn at each accelerated frame,
// and the panels' pages marked for upload.
#include <cstring>

#include "engine3d/texcache.h"
#include "scenery/framefx.h"
#include "scenery/panels.h"
#include "scenery/paneltexels.h"
#include "scenery/texcopy.h"
#include "shell/sbvar.h"

namespace {

constexpr uint32_t kUseCount = ~SB_TEXTURE_CHANGED;
constexpr char kBlanks[] = "      ";

TLEDPANEL* Panel(int32_t panel) {
  if (!SB_Var.Panels.On || panel < 0 || panel >= SB_LEDPANELCOUNT) return nullptr;
  TLEDPANEL* p = &SB_Var.Panels.Panels[panel];
  return p->Found ? p : nullptr;
}

bool Narrow(const TLEDPANEL& p) { return p.Width == 128; }
// Sub-columns of one character, of the panel across, texels of a dot.
int32_t PerCharacter(const TLEDPANEL& p) { return Narrow(p) ? 6 : 12; }
int32_t Across(const TLEDPANEL& p) { return Narrow(p) ? 32 : 64; }
int32_t DotSide(const TLEDPANEL& p) { return Narrow(p) ? 4 : 8; }

const uint8_t* Glyph(char c) { return SB_Var.Panels.Font[SB_LedGlyph(c)]; }

// From sub-column `sub` on, the characters of the text left to right,
// cut at the texture's right edge.
void WriteText(const TLEDPANEL& p, const TPANELTARGET& t, const char* text, int32_t sub) {
  const int32_t perColumn = Narrow(p) ? 1 : 2;
  for (int32_t i = 0; i < SB_LEDTEXTSIZE && text[i]; ++i)
    for (int32_t col = 0; col < 6; ++col)
      for (int32_t k = 0; k < perColumn; ++k, ++sub) {
        if (4 * sub >= t.Width) return;
        SB_DrawPanelSubColumn(t, 4 * sub, Glyph(text[i])[col], DotSide(p));
      }
}

// The scroll window from the current character and sub-column; positions
// past the text buffer read as blank.
void DrawScroll(const TLEDPANEL& p, const TPANELTARGET& t) {
  int32_t ch = p.Current, sc = p.SubColumn;
  for (int32_t i = 0; i < Across(p) && 4 * i < t.Width; ++i) {
    const char c = ch >= 0 && ch < SB_LEDTEXTSIZE ? p.Text[ch] : ' ';
    SB_DrawPanelSubColumn(t, 4 * i, Glyph(c)[Narrow(p) ? sc : sc / 2], DotSide(p));
    if (++sc == PerCharacter(p)) sc = 0, ++ch;
  }
}

bool Used(const TSOFTSCENE* view, int32_t page) {
  return view && page > 0 && page < SB_NBTEXTURESLOTS && (view->TextureUses[page] & kUseCount) != 0;
}

// One scrolling panel of the frame: redraw clock, position, window.
void Scroll(TLEDPANEL& p) {
  const uint32_t now = SB_Var.Time;
  if (p.Step > 0) {
    const uint32_t step = static_cast<uint32_t>(p.Step), behind = now - p.RedrawClock;
    if (behind < step) return;
    p.RedrawClock += behind / step * step;
  }
  const int64_t e = static_cast<int64_t>(static_cast<int32_t>(now - p.ScrollClock)) * p.Speed / 1000;
  const int64_t w = PerCharacter(p);
  if (p.Length > 0) {
    const int64_t span = w * p.Length, at = (e % span + span) % span;
    p.Current = static_cast<int32_t>(at / w);
    p.SubColumn = static_cast<int32_t>(at % w);
  }
  TPANELTARGET t;
  if (!SB_PanelTarget(p.Texture, &t)) return;
  DrawScroll(p, t);
  p.Changed = 1;
}

}  // namespace

__attribute__((weak)) void SB_SetPanelScrollText(int32_t panel, const char* text, int32_t speed, int32_t step,
                                                 int32_t mode) {
  TLEDPANEL* p = Panel(panel);
  if (!p || !text) return;
  const size_t n = strnlen(text, SB_LEDTEXTSIZE);
  if (n >= SB_LEDTEXTSIZE) return;
  std::memcpy(p->Text, text, n + 1);
  p->Length = static_cast<int32_t>(n);
  p->Speed = speed, p->Step = step, p->Mode = static_cast<uint32_t>(mode);
  p->Active = 1;
  p->Current = p->SubColumn = 0;
  p->RedrawClock = p->ScrollClock = SB_Var.Time;
}

__attribute__((weak)) void SB_PanelPrintText(int32_t panel, const char* text, int32_t start) {
  TLEDPANEL* p = Panel(panel);
  TPANELTARGET t;
  if (!p || !text || !SB_PanelTarget(p->Texture, &t)) return;
  if (start >= 0 && !SB_PanelPageUsed(SB_Var.PreviousView, p->Texture)) return;
  p->Active = 0;
  const int32_t from = start < 0 ? 0 : start;
  WriteText(*p, t, text, from);
  if (SB_Var.Renderer == SB_RENDERER_PVR)
    p->Changed = 1;
  else if (4 * int64_t{from} < t.Width)
    SB_RefreshPanelLevels(p->Texture, 4 * from, 0, t.Width - 4 * from, 8 * DotSide(*p));
}

void SB_BlankPanel(int32_t panel) {
  TLEDPANEL* p = Panel(panel);
  if (!p) return;
  p->Active = 0;
  if (SB_Var.Renderer == SB_RENDERER_PVR) SB_PanelPrintText(panel, kBlanks, -1);
}

__attribute__((weak)) void SB_ClearPanel(int32_t panel) {
  TLEDPANEL* p = Panel(panel);
  if (!p) return;
  p->Active = 0;
  if (SB_Var.Renderer == SB_RENDERER_PVR) {
    SB_PanelPrintText(panel, kBlanks, 0);
    return;
  }
  TPANELTARGET t;
  if (p->Width != 256 || !SB_PanelTarget(p->Texture, &t)) return;
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < t.Width; x += 4) SB_PutDotRow(t, x, y, false, y & 3);
  SB_RefreshPanelLevels(p->Texture, 0, 0, t.Width, 64);
}

__attribute__((weak)) void SB_UpdatePanels(TSOFTSCENE* view) {
  if (SB_Var.Renderer != SB_RENDERER_PVR || !SB_Var.Panels.On) return;
  for (TLEDPANEL& p : SB_Var.Panels.Panels)
    if (p.Found && p.Active && Used(view, static_cast<int32_t>(p.PageNumber))) Scroll(p);
}

__attribute__((weak)) void SB_MarkPanelTextures(TSOFTSCENE* view) {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  TPANELSTATE& s = SB_Var.Panels;
  if (s.LampsChanged) {
    s.LampsChanged = 0;
    const int32_t slot = static_cast<int32_t>(s.LampsOff.PageNumber);
    if (s.LampsOff.Present && SB_CardTexels(slot).Pixels) POWER_MarkTextureUsed(view, slot);
  }
  for (TLEDPANEL& p : s.Panels)
    if (p.Changed) {
      p.Changed = 0;
      const int32_t slot = static_cast<int32_t>(p.PageNumber);
      if (!SB_CardTexels(slot).Pixels) continue;
      const TTEXTUREPLACE& place = SB_Var.TexturePlaces[p.Texture];
      SB_UpdateCardLevels(slot, place.X, place.Y, place.Width, place.Height);
      POWER_MarkTextureUsed(view, slot);
    }
}
