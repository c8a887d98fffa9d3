// The texture-animation editor's lifetime in a race and its frame: the
// empty set and clipboard with the editor's bitmaps made at the first
// frame, the screen composed, the pointer and keys turned into commands,
// the animations played, everything freed at the race's tear-down.
#include <cstring>

#include "engine3d/texpages.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "tools/editors.h"
#include "tools/txtanim/txtanim.h"

namespace {

constexpr int32_t kShift = 0x10, kPageUp = 0x21, kPageDown = 0x22;
constexpr int32_t kAnimButtonX[8] = {4, 42, 80, 118, 156, 194, 232, 270};
constexpr int32_t kPageButtonX[8] = {10, 50, 138, 178, 280, 320, 408, 448};  // next, last, previous, first

TTXTANIMEDIT& E() { return SB_TxtAnimEdit; }
TTXTANIMUI& Ui() { return SB_TxtAnimUi; }

bool Clicked(int32_t x, int32_t y, int32_t w, int32_t h) {
  return (Ui().Buttons & 1) && !(Ui().PrevButtons & 1) && SB_TxtAnimPointerIn(x, y, w, h);
}

bool RightPressed() { return (Ui().Buttons & 2) && !(Ui().PrevButtons & 2); }

void ClampPage(int32_t* page, int32_t to) {
  const int32_t last = SB_Var.NbTexturePages > 0 ? SB_Var.NbTexturePages - 1 : 0;
  *page = to < 0 ? 0 : to > last ? last : to;
}

// The page buttons and keys; true when one acted.
bool PageControls() {
  const bool shift = LS_KeyDown(kShift);
  const bool down = LS_KeyDown(kPageDown) && !E().PrevPageDown, up = LS_KeyDown(kPageUp) && !E().PrevPageUp;
  const int32_t last = SB_Var.NbTexturePages - 1;
  for (int32_t b = 0; b < 8; ++b) {
    int32_t* page = b < 4 ? &E().SourcePage : &E().DestPage;
    const bool key = (b % 4 == 0 && down && shift == (b >= 4)) || (b % 4 == 2 && up && shift == (b >= 4));
    if (!key && !Clicked(kPageButtonX[b], 283, 32, 16)) continue;
    const int32_t targets[4] = {*page + 1, last, *page - 1, 0};
    ClampPage(page, targets[b % 4]);
    return true;
  }
  return false;
}

void AddStepButton() {
  if (SB_IsScrollAnim()) {
    SB_TxtAnimMessage("Scroll Animation - One Step Only...");
    return;
  }
  SB_TxtAnimAddStep();
  TTXTANIM* a = SB_TxtAnimCurrent();
  if (!a) return;
  a->CurStep = static_cast<int8_t>(a->NbSteps - 1);
  SB_TxtAnimDrawScrollBar();
  const int32_t width = E().ThumbRight - E().ThumbLeft + 1;
  E().ThumbRight = 636;
  E().ThumbLeft = 637 - width;
  SB_TxtAnimScrollToThumb();
}

bool AnimationControls() {
  for (int32_t b = 0; b < 8; ++b) {
    if (!Clicked(kAnimButtonX[b], 444, 32, 32)) continue;
    switch (b) {
      case 0: SB_TxtAnimNew(); break;
      case 1: SB_TxtAnimDelete(SB_Var.TxtAnimSet ? SB_Var.TxtAnimSet->CurAnim : 0); break;
      case 2: AddStepButton(); break;
      case 3: SB_TxtAnimInsertStep(); break;
      case 4: SB_TxtAnimDeleteStep(SB_TxtAnimCurStepIndex()); break;
      case 5: SB_TxtAnimCut(); break;
      case 6: SB_TxtAnimCopy(); break;
      default: SB_TxtAnimPaste(); break;
    }
    if (b < 2) SB_UpdatePageList(SB_Var.PageAnimLists);
    return true;
  }
  if (Clicked(340, 444, 80, 17)) return SB_TxtAnimToggleFlag(TXA_FORWARD), true;
  if (Clicked(340, 463, 80, 17)) return SB_TxtAnimToggleFlag(TXA_PINGPONG), true;
  if (Clicked(460, 446, 120, 12)) return SB_TxtAnimToggleLoop(), true;
  if (Clicked(460, 462, 120, 12)) return SB_TxtAnimNextKind(), true;
  return false;
}

bool PlayControls() {
  const int32_t cur = SB_Var.TxtAnimSet ? SB_Var.TxtAnimSet->CurAnim : 0;
  if (Clicked(548, 30, 32, 16)) {
    SB_TxtAnimStartAll();
    SB_TxtAnimPlay(cur);
  } else if (Clicked(588, 30, 32, 16)) {
    SB_TxtAnimStop(cur);
    SB_TxtAnimEndPageLists();
    E().Mode = 0;
  } else if (Clicked(548, 50, 32, 16)) {
    SB_TxtAnimPause(cur);
  } else if (Clicked(588, 50, 32, 16)) {
    SB_TxtAnimAskFrameRate();
  } else if (Clicked(548, 70, 32, 16) || Clicked(588, 70, 32, 16)) {
    if (SB_TxtAnimIsPlaying())
      SB_TxtAnimMessage("Stop Playing Before...");
    else if (Ui().MouseX < 588)
      SB_TxtAnimPrev();
    else
      SB_TxtAnimNext();
  } else {
    return false;
  }
  return true;
}

void Controls(bool playing) {
  if (Clicked(E().ThumbLeft, 321, E().ThumbRight - E().ThumbLeft + 1, 12)) {
    E().Mode = 3;
    E().AnchorX = Ui().MouseX;
    return;
  }
  if (!playing && (PageControls() || AnimationControls())) return;
  PlayControls();
}

// The step box under the pointer, searched from the last drawn; -1 none.
int32_t StepUnderPointer() {
  for (int32_t k = E().NbStepBoxes - 1; k >= 0; --k) {
    const TTXTANIMSTEPBOX& b = E().StepBoxes[k];
    if (SB_TxtAnimPointerIn(b.X1, b.Y1, b.X2 - b.X1 + 1, b.Y2 - b.Y1 + 1)) return b.Step;
  }
  return -1;
}

// A right click on a page: the texture under it becomes the current
// step's source (which 0) or destination (1) when it fits.
void PickTexture(int32_t which, int32_t left, int32_t page) {
  if (!SB_TxtAnimCurStep()) return;
  E().HitTexture = SB_TxtAnimTextureAt(Ui().MouseX - left, Ui().MouseY - 20, page);
  if (E().HitTexture < 0) return;
  const TTEXTUREPLACE& p = SB_SoftTexturePlaces()[E().HitTexture];
  if (SB_TxtAnimRectFits(which, p.X, p.Y, p.X + p.Width - 1, p.Y + p.Height - 1))
    SB_TxtAnimSetRect(which, E().HitTexture, p.X, p.Y, p.X + p.Width - 1, p.Y + p.Height - 1);
}

void RightButton(bool playing, bool overSource, bool overDest, bool overSteps) {
  if (E().Mode == 5) {
    const int32_t d = Ui().MouseX - E().AnchorX;
    E().AnchorX = Ui().MouseX;
    SB_TxtAnimAddDelay(static_cast<int32_t>(static_cast<int64_t>(d) * 65536 / 38));
    return;
  }
  if (!RightPressed()) return;
  if (overSteps) {
    TTXTANIM* a = SB_TxtAnimCurrent();
    if (!a) {
      SB_TxtAnimMessage("No Animation...");
    } else if (SB_IsScrollAnim()) {
      const int32_t step = SB_TxtAnimAskInt("SCROLL STEP:", 1, 4);
      if (a->NbSteps > 0) a->Steps[0].SrcX = static_cast<int16_t>(step < 16 ? step : 16);
    } else if (const int32_t i = StepUnderPointer(); i >= 0) {
      a->CurStep = static_cast<int8_t>(i);
      E().Mode = 5;
      E().AnchorX = Ui().MouseX;
    }
  } else if (!playing && overSource) {
    PickTexture(0, 10, E().SourcePage);
  } else if (!playing && overDest) {
    PickTexture(1, 280, E().DestPage);
  }
}

// The rectangle a corner drag of mode 1 (source) or 2 (destination)
// changes, with its texture and the panel's left edge and page.
struct TDRAGGED {
  int16_t *X, *Y, *W, *H;
  int32_t texture, left, page;
};

TDRAGGED Dragged(TTXTANIMSTEP* s, bool source) {
  if (source) return {&s->SrcX, &s->SrcY, &s->SrcW, &s->SrcH, s->SrcTexture, 10, E().SourcePage};
  return {&s->DstX, &s->DstY, &s->DstW, &s->DstH, s->DstTexture, 280, E().DestPage};
}

bool OnShownPage(const TDRAGGED& d) {
  return d.texture >= 0 && d.texture < SB_Var.NbTextures && d.texture < SB_MAXTEXTURES &&
         SB_SoftTexturePlaces()[d.texture].PageNumber == d.page;
}

// Moves the dragged corner to the pointer, kept inside the texture; the
// opposite corner stays, and a size never drops below 1.
void DragCorner(bool source) {
  TTXTANIMSTEP* s = SB_TxtAnimCurStep();
  if (!s) return;
  const TDRAGGED d = Dragged(s, source);
  int32_t px = Ui().MouseX - d.left, py = Ui().MouseY - 20;
  if (OnShownPage(d)) {
    const TTEXTUREPLACE& p = SB_SoftTexturePlaces()[d.texture];
    px = px < p.X ? p.X : px > p.X + p.Width - 1 ? p.X + p.Width - 1 : px;
    py = py < p.Y ? p.Y : py > p.Y + p.Height - 1 ? p.Y + p.Height - 1 : py;
  }
  const int32_t right = *d.X + *d.W, bottom = *d.Y + *d.H;
  const bool first = SB_TxtAnimIsFirstStep(s);
  int32_t x = *d.X, y = *d.Y, w = *d.W, h = *d.H;
  switch (E().Handle) {
    case 0:
      if (!first && *d.W + px - 1 >= 256) return;
      x = px, y = py, w = right - px, h = bottom - py;
      break;
    case 1: w = px - x + 1, y = py, h = bottom - py; break;
    case 2: w = px - x + 1, h = py - y + 1; break;
    default: h = py - y + 1, x = px, w = right - px; break;
  }
  if (E().Handle != 0 && !first) return;
  *d.X = static_cast<int16_t>(x), *d.Y = static_cast<int16_t>(y);
  *d.W = static_cast<int16_t>(w < 1 ? 1 : w), *d.H = static_cast<int16_t>(h < 1 ? 1 : h);
}

// A press on a corner handle of the step's rectangle on the shown page
// starts its drag (mode 1 source, 2 destination).
void GrabCorner(bool source) {
  TTXTANIMSTEP* s = SB_TxtAnimCurStep();
  if (!s) return;
  const TDRAGGED d = Dragged(s, source);
  const bool defined = source ? (s->SrcFlags & TXA_SRCDEFINED) : (s->DstFlags & TXA_DSTDEFINED);
  if (!defined || !OnShownPage(d)) return;
  const int32_t cx[4] = {0, *d.W, *d.W, 0}, cy[4] = {0, 0, *d.H, *d.H};
  for (int32_t k = 0; k < 4; ++k)
    if (SB_TxtAnimPointerIn(*d.X + cx[k] + d.left - 3, *d.Y + cy[k] + 17, 6, 6)) {
      E().Mode = source ? 1 : 2;
      E().Handle = k;
      return;
    }
}

void LeftButton(bool playing, bool overSource, bool overDest, bool overSteps) {
  if (E().Mode == 1 || E().Mode == 2) {
    DragCorner(E().Mode == 1);
    return;
  }
  if (E().Mode == 3) {
    if (!(Ui().PrevButtons & 1)) return;
    const int32_t width = E().ThumbRight - E().ThumbLeft + 1;
    int32_t left = E().ThumbLeft + Ui().MouseX - E().AnchorX;
    if (left + width - 1 > 636) left = 637 - width;
    if (left < 4) left = 4;
    E().ThumbLeft = left, E().ThumbRight = left + width - 1;
    SB_TxtAnimScrollToThumb();
    E().AnchorX = Ui().MouseX;
    return;
  }
  if (playing || (Ui().PrevButtons & 1)) return;
  if (overSteps) {
    if (!SB_TxtAnimCurrent()) {
      SB_TxtAnimMessage("No Animation...");
      return;
    }
    const int32_t i = StepUnderPointer();
    if (i >= 0) {
      if (!LS_KeyDown(kShift)) SB_TxtAnimToggleStep(i);
      LS_Wait(100);
    }
    if (Ui().MouseX > 637 || Ui().MouseX < 4) SB_TxtAnimClearSelection();
  } else if ((overSource || overDest) && E().Mode == 0) {
    if (!SB_TxtAnimCurrent())
      SB_TxtAnimMessage("No Animation...");
    else if (overSource && SB_IsScrollAnim())
      SB_TxtAnimMessage("Scroll Animation");
    else
      GrabCorner(overSource);
  }
}

void Compose(bool playing) {
  if (!playing) {
    LS_FillRect(Ui().Screen, 0, 0, 639, 479, 0);
    SB_TxtAnimDrawSourcePanel();
    SB_TxtAnimDrawDestPanel();
    SB_TxtAnimDrawOptions();
  }
  SB_TxtAnimDrawButtons(playing);
  SB_TxtAnimDrawStatus();
  SB_TxtAnimDrawScrollBar();
  SB_TxtAnimDrawSteps();
  SB_TxtAnimDrawRateBar();
}

}  // namespace

bool SB_TxtAnimSetUp() {
  if (SB_Var.TxtAnimSet && SB_TxtAnimUi.Screen) return true;
  if (!SB_TxtAnimUi.Screen && !SB_TxtAnimSetUpUi()) return false;
  // The animations name this race's textures and pages, so the set lives
  // as long as the race; the clipboard is one animation without steps.
  if (!SB_Var.TxtAnimSet) SB_Var.TxtAnimSet = SB_TxtAnimNewSet(0);
  if (!SB_Var.TxtAnimClipboard) SB_Var.TxtAnimClipboard = SB_TxtAnimNewSet(1);
  return SB_Var.TxtAnimSet && SB_Var.TxtAnimClipboard;
}

void SB_TxtAnimFree() {
  SB_TxtAnimEndPageLists();
  SB_TxtAnimFreeSet(SB_Var.TxtAnimSet);
  SB_TxtAnimFreeSet(SB_Var.TxtAnimClipboard);
  SB_Var.TxtAnimSet = SB_Var.TxtAnimClipboard = nullptr;
  SB_Var.TxtAnimEditing = 0;
  SB_TxtAnimFreeUi();
}

// Weak, so that the race tests' recording fake takes its place.
__attribute__((weak)) void SB_TxtAnimEditor() {
  // In the accelerator's race the pages are made when the editor first
  // shows them.
  SB_LoadEditorTexturePages();
  // The buttons and cursors are cut from the track editor's panel picture:
  // without it (the track editor unavailable) the race goes on.
  if (!SB_Var.EditorPicture || !SB_TxtAnimSetUp()) {
    SB_Var.DebugMode = 0;
    return;
  }
  const bool playing = SB_TxtAnimIsPlaying();
  SB_Var.TxtAnimEditing = 1;
  // The cursor's area goes back first, so that the preview saved while
  // playing never holds a cursor.
  SB_TxtAnimRestoreCursor();
  if (playing) SB_TxtAnimSavePreview();
  if (E().Mode == 0 && playing) E().Mode = 4;
  if (E().Mode == 4 && !playing) E().Mode = 0;  // it ended by itself
  SB_TxtAnimReadMouse();
  const bool overSource = !playing && SB_TxtAnimPointerIn(10, 20, 256, 256);
  const bool overDest = !playing && SB_TxtAnimPointerIn(280, 20, 256, 256);
  const bool overSteps = SB_TxtAnimPointerIn(2, 338, 637, 109);
  Compose(playing);
  Controls(playing);
  const int32_t buttons = Ui().Buttons & 3;
  if (buttons == 0 && E().Mode != 4) E().Mode = 0;
  if (buttons == 2) RightButton(playing, overSource, overDest, overSteps);
  if (buttons & 1) LeftButton(playing, overSource, overDest, overSteps);
  SB_TxtAnimUpdate();
  SB_TxtAnimDrawCursor(SB_TxtAnimPointerIn(10, 20, 256, 256) || SB_TxtAnimPointerIn(280, 20, 256, 256));
  if (SB_Var.TextScreen)
    LS_Bitmove(Ui().Screen, SB_Var.TextScreen, 0, 0, 639, 479, 0, 0, LS_BLIT_OPAQUE);
  E().PrevPageUp = LS_KeyDown(kPageUp);
  E().PrevPageDown = LS_KeyDown(kPageDown);
  SB_Var.TxtAnimEditing = 0;
}
