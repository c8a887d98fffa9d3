// The texture-animation editor's screen parts: the two page panels, the
// status line, the time line of steps, its scroll bar and the options.
#include <cstdio>
#include <cstring>

#include "engine3d/texpages.h"
#include "shell/sbvar.h"
#include "system/font.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "tools/txtanim/txtanim.h"

TTXTANIMEDIT SB_TxtAnimEdit;

namespace {

constexpr int32_t kShift = 0x10;
const char* const kModeTexts[] = {"WAITING...",         "DEFINING SOURCE",   "DEFINING DESTINATION",
                                  "MOVING STEP SLIDER", "PLAYING ANIMATION", "CHANGING STEP DELAY"};

BMAP* Screen() { return SB_TxtAnimUi.Screen; }

void Text(const char* text, int32_t x, int32_t y) {
  LS_DrawString(LS_Var.SysFont, Screen(), text, x, y, LS_BLIT_TRANSPARENT);
}

BMAP* Page(int32_t page) {
  if (page < 0 || page >= SB_Var.NbTexturePages || page >= SB_MAXTEXTTRI) return nullptr;
  BMAP* b = SB_Var.TexturePages[page];
  return b && b->Start ? b : nullptr;
}

int32_t PageOfTexture(int32_t texture) {
  return texture >= 0 && texture < SB_Var.NbTextures && texture < SB_MAXTEXTURES
             ? SB_SoftTexturePlaces()[texture].PageNumber
             : -1;
}

// The title, the page and the step's rectangle when it lies on the page.
void Panel(int32_t x, int32_t page, const char* title, bool defined, int32_t texture, int32_t rx, int32_t ry,
           int32_t rw, int32_t rh) {
  SB_TxtAnimFrame(x - 3, 0, x == 10 ? 205 : 515, 13);
  char name[SB_TEXTTRINAMESIZE] = "None";
  if (defined) SB_TxtAnimTextureName(texture, name, sizeof name);
  char line[128];
  std::snprintf(line, sizeof line, "%s[%ld]:%s", title, static_cast<long>(page), name);
  Text(line, x, 3);
  if (BMAP* b = Page(page)) SB_TxtAnimDrawScaled(b, Screen(), 0, 0, 256, 256, x, 20, x + 256, 276);
  if (defined && PageOfTexture(texture) == page)
    SB_TxtAnimDashRect(rx + x, ry + 20, rx + rw - 1 + x, ry + rh - 1 + 20);
}

}  // namespace

void SB_TxtAnimDrawSourcePanel() {
  if (SB_TxtAnimIsPlaying()) return;
  if (SB_IsScrollAnim()) {
    LS_FillRect(Screen(), 10, 20, 265, 275, SB_TxtAnimUi.Light);
    Text("SCROLL ANIMATION", 42, 120);
    Text("NO SOURCE NEEDED", 42, 136);
    return;
  }
  const TTXTANIMSTEP* s = SB_TxtAnimCurStep();
  if (!s) return;
  Panel(10, SB_TxtAnimEdit.SourcePage, "Source", s->SrcFlags & TXA_SRCDEFINED, s->SrcTexture, s->SrcX, s->SrcY,
        s->SrcW, s->SrcH);
}

void SB_TxtAnimDrawDestPanel() {
  if (SB_TxtAnimIsPlaying()) return;
  const TTXTANIMSTEP* s = SB_TxtAnimCurStep();
  const bool defined = s && (s->DstFlags & TXA_DSTDEFINED);
  Panel(280, SB_TxtAnimEdit.DestPage, "Destination", defined, s ? s->DstTexture : -1, s ? s->DstX : 0,
        s ? s->DstY : 0, s ? s->DstW : 0, s ? s->DstH : 0);
}

void SB_TxtAnimStatusText(char* text, size_t size) {
  text[0] = 0;
  const TTXTANIMSET* set = SB_Var.TxtAnimSet;
  const TTXTANIM* a = SB_TxtAnimCurrent();
  if (!set || !set->Anims || !a) return;
  const TTXTANIMEDIT& e = SB_TxtAnimEdit;
  char suffix[64] = "";
  if (e.Mode == 1 || e.Mode == 2) {
    const TTXTANIMSTEP* s = SB_TxtAnimCurStep();
    const int32_t w = !s ? 0 : e.Mode == 1 ? s->SrcW : s->DstW, h = !s ? 0 : e.Mode == 1 ? s->SrcH : s->DstH;
    std::snprintf(suffix, sizeof suffix, " (%s(%ld) = %ldx%ld)", e.Mode == 1 ? "SRC" : "DST",
                  static_cast<long>(e.HitTexture), static_cast<long>(w), static_cast<long>(h));
  }
  const double fps = a->Rate > 0 ? 1.0 / (a->Rate * 65.536) : 0;
  const long rate = fps < 2e9 ? static_cast<long>(fps) : 0;
  std::snprintf(text, size, "Anim(%s) %ld of %ld - Steps %ld of %ld %s - Editor Mode:%s - Rate:%ld", a->Name,
                static_cast<long>(set->CurAnim), static_cast<long>(set->NbAnims), static_cast<long>(a->CurStep),
                static_cast<long>(a->NbSteps), suffix, kModeTexts[e.Mode >= 0 && e.Mode <= 5 ? e.Mode : 0], rate);
}

void SB_TxtAnimDrawStatus() {
  SB_TxtAnimFrame(2, 304, 638, 318);
  char text[256];
  SB_TxtAnimStatusText(text, sizeof text);
  Text(text, 7, 308);
}

void SB_TxtAnimDrawScrollBar() {
  TTXTANIMEDIT& e = SB_TxtAnimEdit;
  SB_TxtAnimFrame(3, 320, 638, 334);
  const double total = SB_TxtAnimTotalDelay() / 65536;
  const int32_t width = total < 17 ? 633 : static_cast<int32_t>(633 * 17 / total);
  if (e.ThumbLeft < 4) e.ThumbLeft = 4;
  e.ThumbRight = e.ThumbLeft + width - 1;
  if (e.ThumbRight > 636) {
    e.ThumbRight = 636;
    e.ThumbLeft = 637 - width < 4 ? 4 : 637 - width;
  }
  LS_FillRect(Screen(), e.ThumbLeft, 321, e.ThumbRight, 332, SB_TxtAnimUi.Thumb);
}

void SB_TxtAnimDrawSteps() {
  TTXTANIMEDIT& e = SB_TxtAnimEdit;
  BMAP* s = Screen();
  SB_TxtAnimFrame(2, 338, 638, 438);
  LS_DrawLine(s, 2, 386, 634, 386, SB_TxtAnimUi.Line);
  for (int32_t k = 0; k < 16; ++k) {
    LS_DrawLine(s, 37 + 38 * k, 381, 37 + 38 * k, 391, SB_TxtAnimUi.Line);
    for (int32_t m = 1; m < 10; ++m) {
      const int32_t x = 37 + 38 * k + static_cast<int32_t>(m * 3.8);
      LS_DrawLine(s, x, 384, x, 388, SB_TxtAnimUi.Line);
    }
  }
  e.NbStepBoxes = 0;
  const TTXTANIM* a = SB_TxtAnimCurrent();
  if (!a || !a->Steps) return;
  const bool shift = LS_KeyDown(kShift);
  int32_t x = 18;
  const int32_t last = a->LastShown < a->NbSteps - 1 ? a->LastShown : a->NbSteps - 1;
  for (int32_t i = a->FirstShown < 0 ? 0 : a->FirstShown; i <= last && e.NbStepBoxes < 256; ++i) {
    const TTXTANIMSTEP& st = a->Steps[i];
    const uint32_t outline = i == a->CurStep ? SB_TxtAnimUi.Highlight : SB_TxtAnimUi.Empty;
    SB_TxtAnimRect(x, 346, x + 36, 382, outline);
    SB_TxtAnimRect(x, 390, x + 36, 426, outline);
    BMAP* src = Page(PageOfTexture(st.SrcTexture));
    BMAP* dst = Page(PageOfTexture(st.DstTexture));
    if ((st.SrcFlags & TXA_SRCDEFINED) && src) {
      SB_TxtAnimDrawScaled(src, s, st.SrcX, st.SrcY, st.SrcW, st.SrcH, x + 2, 348, x + 34, 380);
    } else {
      LS_FillRect(s, x + 2, 348, x + 34, 380, SB_TxtAnimUi.Empty);
      Text(SB_IsScrollAnim() ? "Scroll" : "?", x + 6, 352);
    }
    if ((st.DstFlags & TXA_DSTDEFINED) && dst) {
      SB_TxtAnimDrawScaled(dst, s, st.DstX, st.DstY, st.DstW, st.DstH, x + 2, 392, x + 34, 424);
    } else {
      LS_FillRect(s, x + 2, 392, x + 34, 424, SB_TxtAnimUi.Empty);
      Text("?", x + 6, 396);
    }
    if (st.DstFlags & TXA_SELECTED) SB_TxtAnimHighlight(x - 2, 344, x + 38, 428, SB_TxtAnimUi.Highlight);
    if (shift) {
      char delay[16];
      std::snprintf(delay, sizeof delay, "%ld", static_cast<long>(st.Delay));
      Text(delay, x, 346);
    }
    e.StepBoxes[e.NbStepBoxes++] = {x, 346, x + 36, 426, i};
    x += static_cast<int32_t>(static_cast<int64_t>(st.Delay) * 19 / 32768);
  }
}

void SB_TxtAnimDrawOptions() {
  const TTXTANIM* a = SB_TxtAnimCurrent();
  const uint32_t flags = a ? a->Flags : 0;
  const int32_t on = a ? 1 : 0;
  for (int32_t row = 0; row < 2; ++row) {
    const char* label = row == 0 ? (a ? "FORWARD" : "FORWARD ") : "PINGPONG";
    const bool checked = on && (flags & (row == 0 ? TXA_FORWARD : TXA_PINGPONG));
    SB_TxtAnimCheckBox(340, 444 + 19 * row, checked, label, on);
  }
  SB_TxtAnimModeLabels(460, 446, flags, on);
}

void SB_TxtAnimScrollToThumb() {
  TTXTANIM* a = SB_TxtAnimCurrent();
  if (!a || !a->Steps) return;
  const double offset = SB_TxtAnimTotalDelay() * (SB_TxtAnimEdit.ThumbLeft - 4) / 633;
  double start = 0;
  for (int32_t i = 0; i < a->NbSteps; ++i) {
    if (start >= offset) {
      const int32_t move = i - a->FirstShown;
      a->FirstShown = static_cast<int8_t>(i);
      a->LastShown = static_cast<int8_t>(a->LastShown + move);
      return;
    }
    start += a->Steps[i].Delay;
  }
}
