// The texture-animation set: its memory, its animations and their steps,
// and the editing operations the editor applies to the current animation.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "shell/owner.h"
#include "shell/sbvar.h"
#include "tools/txtanim/txtanim.h"

namespace {

constexpr double kDefaultRate = 50.0 / 65536.0;  // 20 steps a second
constexpr int32_t kShownSteps = 17;                // steps the time line holds
constexpr int32_t kNameLength = TXA_NAMESIZE - 1;

const char* const kKindLabels[TXA_NBKINDS] = {
    "NORMAL         ", "VIRTUAL        ", "SCROLL TOP     ", "SCROLL BOTTOM  ", "SCROLL LEFT    ",
    "SCROLL RIGHT   ", "SCROLL TOPLEFT ", "SCROLL TOPRIGHT", "SCROLL BOTLEFT ", "SCROLL BOTRIGHT"};

TTXTANIMSET* Set() { return SB_Var.TxtAnimSet; }

uint32_t KindOf(uint32_t flags) { return (flags & TXA_KINDMASK) >> TXA_KINDSHIFT; }

// Checks the set and the current animation, showing the row's message.
TTXTANIM* CurrentOrSay(const char* noSet, const char* noAnim) {
  if (!Set()) {
    if (noSet) SB_TxtAnimMessage(noSet);
    return nullptr;
  }
  TTXTANIM* anim = SB_TxtAnimCurrent();
  if (!anim && noAnim) SB_TxtAnimMessage(noAnim);
  return anim;
}

// Room for extra more steps, within the signed byte count; false (with
// the message shown) when the count would overflow or memory is short.
bool RoomForSteps(TTXTANIM* anim, int32_t extra) {
  if (anim->NbSteps + extra > TXA_MAXSTEPS) {
    SB_TxtAnimMessage("Too Many Steps...");
    return false;
  }
  void* grown = MK_GrowBlock(anim->Steps, anim->NbSteps, sizeof(TTXTANIMSTEP), extra);
  if (!grown) {
    SB_TxtAnimMessage("Out Of Memory...");
    return false;
  }
  anim->Steps = static_cast<TTXTANIMSTEP*>(grown);
  return true;
}

TTXTANIMSTEP NewStep(const TTXTANIMSTEP* from) {
  TTXTANIMSTEP step{};
  step.Delay = TXA_STEPDELAY;
  if (from && (from->DstFlags & TXA_DSTDEFINED)) {
    step.DstTexture = from->DstTexture;
    step.DstX = from->DstX;
    step.DstY = from->DstY;
    step.DstW = from->DstW;
    step.DstH = from->DstH;
    step.DstFlags = TXA_DSTDEFINED;
  }
  return step;
}

void FreeAnim(TTXTANIM* anim) {
  MK_FreeMem(anim->Steps);
  anim->Steps = nullptr;
  if (anim->Bmap) SB_FreeBmap(anim->Bmap);
  anim->Bmap = nullptr;
}

// Inserts count steps at index at (0..NbSteps), moving the tail up.
void OpenGap(TTXTANIM* anim, int32_t at, int32_t count) {
  for (int32_t i = anim->NbSteps - 1; i >= at; --i) anim->Steps[i + count] = anim->Steps[i];
  anim->NbSteps = static_cast<int8_t>(anim->NbSteps + count);
}

void GrowShown(TTXTANIM* anim) {
  if (anim->NbSteps < kShownSteps) ++anim->LastShown;
}

}  // namespace

void* MK_GetMem(size_t size) {
  if (size == 0 || size > INT32_MAX) return nullptr;
  return SB_GetMem(static_cast<int32_t>(size), "MK_GetMem");
}

void MK_FreeMem(void* block) {
  if (block) SB_Release(block);
}

void* MK_GrowBlock(void* block, int32_t count, size_t recordSize, int32_t extra) {
  if (count < 0 || extra < 0) return nullptr;
  const size_t total = static_cast<size_t>(count) + static_cast<size_t>(extra);
  if (recordSize != 0 && total > INT32_MAX / recordSize) return nullptr;
  void* grown = MK_GetMem(total * recordSize);
  if (!grown) return nullptr;
  if (block && count > 0) std::memcpy(grown, block, static_cast<size_t>(count) * recordSize);
  MK_FreeMem(block);
  return grown;
}

TTXTANIMSET* SB_TxtAnimNewSet(int32_t nbEmptyAnims) {
  auto* set = static_cast<TTXTANIMSET*>(MK_GetMem(sizeof(TTXTANIMSET)));
  if (!set || nbEmptyAnims <= 0) return set;
  set->Anims = static_cast<TTXTANIM*>(MK_GetMem(sizeof(TTXTANIM) * static_cast<size_t>(nbEmptyAnims)));
  if (set->Anims) set->NbAnims = nbEmptyAnims;
  return set;
}

void SB_TxtAnimFreeSet(TTXTANIMSET* set) {
  if (!set) return;
  for (int32_t i = 0; i < set->NbAnims; ++i) FreeAnim(&set->Anims[i]);
  MK_FreeMem(set->Anims);
  MK_FreeMem(set);
}

TTXTANIM* SB_TxtAnimCurrent() {
  return SB_HasCurrentAnim() ? &Set()->Anims[Set()->CurAnim] : nullptr;
}

const char* SB_TxtAnimKindLabel(uint32_t flags) {
  const uint32_t kind = KindOf(flags);
  return kind < TXA_NBKINDS ? kKindLabels[kind] : kKindLabels[0];
}

int32_t SB_HasCurrentAnim() {
  const TTXTANIMSET* set = Set();
  return set && set->Anims && set->CurAnim >= 0 && set->CurAnim < set->NbAnims ? 1 : 0;
}

void SB_TxtAnimNew() {
  TTXTANIMSET* set = Set();
  if (!set) return;
  void* grown = MK_GrowBlock(set->Anims, set->NbAnims, sizeof(TTXTANIM), 1);
  if (!grown) {
    SB_TxtAnimMessage("Out Of Memory...");
    return;
  }
  set->Anims = static_cast<TTXTANIM*>(grown);
  const int32_t index = set->NbAnims++;
  set->CurAnim = index;
  TTXTANIM* anim = &set->Anims[index];
  anim->Flags = TXA_FORWARD;
  anim->Rate = kDefaultRate;
  SB_TxtAnimAddStep();
  char name[32];
  std::snprintf(name, sizeof name, "Unnamed %ld", static_cast<long>(index));
  const char* answer = SB_TxtAnimAskText("Anim Name:", name, kNameLength);
  std::snprintf(anim->Name, sizeof anim->Name, "%s", answer);
}

void SB_TxtAnimDelete(int32_t i) {
  TTXTANIMSET* set = Set();
  if (!set) return;
  if (i < 0 || i >= set->NbAnims) {
    SB_TxtAnimMessage("No Animation...");
    return;
  }
  FreeAnim(&set->Anims[i]);
  for (int32_t k = i; k < set->NbAnims - 1; ++k) set->Anims[k] = set->Anims[k + 1];
  --set->NbAnims;
  set->Anims[set->NbAnims] = TTXTANIM{};
  if (set->NbAnims == 0) {
    MK_FreeMem(set->Anims);
    set->Anims = nullptr;
  }
  if (set->CurAnim >= set->NbAnims && set->CurAnim > 0) --set->CurAnim;
}

void SB_TxtAnimAddStep() {
  TTXTANIM* anim = CurrentOrSay("No File...", "No Animation...");
  if (!anim || (anim->Flags & TXA_SCROLL) || !RoomForSteps(anim, 1)) return;
  const TTXTANIMSTEP* previous = anim->NbSteps > 0 ? &anim->Steps[anim->NbSteps - 1] : nullptr;
  anim->Steps[anim->NbSteps] = NewStep(previous);
  ++anim->NbSteps;
  if (anim->NbSteps == 1)
    anim->FirstShown = anim->LastShown = 0;
  else
    GrowShown(anim);
}

void SB_TxtAnimInsertStep() {
  TTXTANIM* anim = CurrentOrSay("No File...", "No Animation...");
  if (!anim || (anim->Flags & TXA_SCROLL)) return;
  if (anim->NbSteps == 0) {
    SB_TxtAnimAddStep();
    return;
  }
  if (!RoomForSteps(anim, 1)) return;
  const int32_t at = anim->CurStep < 0 ? 0 : anim->CurStep > anim->NbSteps ? anim->NbSteps : anim->CurStep;
  OpenGap(anim, at, 1);
  const TTXTANIMSTEP* neighbour = at > 0 ? &anim->Steps[at - 1] : &anim->Steps[at + 1];
  anim->Steps[at] = NewStep(neighbour);
  GrowShown(anim);
}

void SB_TxtAnimDeleteStep(int32_t i) {
  TTXTANIMSET* set = Set();
  TTXTANIM* anim = SB_TxtAnimCurrent();
  if (!set || i < 0 || (anim && i >= anim->NbSteps)) {
    SB_TxtAnimMessage("No File...");
    return;
  }
  if (!anim) {
    SB_TxtAnimMessage("No Animation...");
    return;
  }
  if (anim->NbSteps < 2) {
    SB_TxtAnimMessage("Animation cannot be empty...");
    return;
  }
  for (int32_t k = i; k < anim->NbSteps - 1; ++k) anim->Steps[k] = anim->Steps[k + 1];
  --anim->NbSteps;
  anim->Steps[anim->NbSteps] = TTXTANIMSTEP{};
  if (anim->CurStep >= anim->NbSteps && anim->CurStep > 0) --anim->CurStep;
  if (anim->CurStep < anim->FirstShown && anim->FirstShown > 0) --anim->FirstShown;
  if (anim->NbSteps <= anim->LastShown && anim->LastShown > 0) --anim->LastShown;
}

void SB_TxtAnimDeleteSelected() {
  TTXTANIM* anim = CurrentOrSay("No Animation...", "No Animation...");
  if (!anim) return;
  int32_t i = 0;
  while (i < anim->NbSteps) {
    if (!(anim->Steps[i].DstFlags & TXA_SELECTED)) {
      ++i;
      continue;
    }
    const int32_t before = anim->NbSteps;
    SB_TxtAnimDeleteStep(i);
    if (anim->NbSteps == before) return;  // refused: the last step stays
  }
}

void SB_TxtAnimCopy() {
  TTXTANIMSET* clip = SB_Var.TxtAnimClipboard;
  TTXTANIM* anim = SB_TxtAnimCurrent();
  int32_t selected = 0;
  if (anim)
    for (int32_t i = 0; i < anim->NbSteps; ++i) selected += (anim->Steps[i].DstFlags & TXA_SELECTED) ? 1 : 0;
  if (!clip || !clip->Anims || clip->NbAnims < 1 || !anim || selected == 0) {
    SB_TxtAnimMessage("Selection Empty...");
    return;
  }
  TTXTANIM* target = &clip->Anims[0];
  auto* steps = static_cast<TTXTANIMSTEP*>(MK_GetMem(sizeof(TTXTANIMSTEP) * static_cast<size_t>(selected)));
  if (!steps) {
    SB_TxtAnimMessage("Out Of Memory...");
    return;
  }
  int32_t n = 0;
  for (int32_t i = 0; i < anim->NbSteps; ++i)
    if (anim->Steps[i].DstFlags & TXA_SELECTED) steps[n++] = anim->Steps[i];
  MK_FreeMem(target->Steps);
  target->Steps = steps;
  target->NbSteps = static_cast<int8_t>(selected);
}

void SB_TxtAnimCut() {
  SB_TxtAnimCopy();
  SB_TxtAnimDeleteSelected();
}

void SB_TxtAnimPaste() {
  const TTXTANIMSET* clip = SB_Var.TxtAnimClipboard;
  TTXTANIM* anim = SB_TxtAnimCurrent();
  if (!clip || !clip->Anims || clip->NbAnims < 1 || !anim) return;
  const TTXTANIM& from = clip->Anims[0];
  if (from.NbSteps <= 0 || !from.Steps || (anim->Flags & TXA_SCROLL)) return;
  if (!RoomForSteps(anim, from.NbSteps)) return;
  const int32_t at = anim->CurStep < 0 ? 0 : anim->CurStep > anim->NbSteps ? anim->NbSteps : anim->CurStep;
  OpenGap(anim, at, from.NbSteps);
  for (int32_t i = 0; i < from.NbSteps; ++i) anim->Steps[at + i] = from.Steps[i];
}

void SB_TxtAnimToggleFlag(uint32_t bits) {
  if (TTXTANIM* anim = SB_TxtAnimCurrent()) anim->Flags ^= bits;
}

void SB_TxtAnimToggleLoop() { SB_TxtAnimToggleFlag(TXA_LOOP); }

void SB_TxtAnimNextKind() {
  TTXTANIM* anim = SB_TxtAnimCurrent();
  if (!anim) return;
  uint32_t kind = KindOf(anim->Flags);
  do {
    kind = (kind + 1) % TXA_NBKINDS;
  } while (kind >= TXA_KIND_TOP && anim->NbSteps > 1);
  anim->Flags = (anim->Flags & ~(TXA_KINDMASK | TXA_SCROLL)) | (kind << TXA_KINDSHIFT);
  if (kind < TXA_KIND_TOP) return;
  anim->Flags |= TXA_SCROLL;
  if (anim->NbSteps > 0) {
    anim->Steps[0].SrcX = 1;
    anim->Steps[0].SrcFlags &= static_cast<uint8_t>(~TXA_SRCDEFINED);
  }
}

void SB_TxtAnimSetRect(int32_t which, int32_t texture, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  TTXTANIMSTEP* step = SB_TxtAnimCurStep();
  if (!step) return;
  const int32_t ax = x1 & 0xFF, ay = y1 & 0xFF, bx = x2 & 0xFF, by = y2 & 0xFF;
  const int16_t left = static_cast<int16_t>(ax < bx ? ax : bx), top = static_cast<int16_t>(ay < by ? ay : by);
  const int16_t w = static_cast<int16_t>((ax < bx ? bx - ax : ax - bx) + 1);
  const int16_t h = static_cast<int16_t>((ay < by ? by - ay : ay - by) + 1);
  if (which == 1) {
    step->DstTexture = static_cast<int16_t>(texture);
    step->DstX = left, step->DstY = top, step->DstW = w, step->DstH = h;
    step->DstFlags |= TXA_DSTDEFINED;
  } else if (!SB_IsScrollAnim()) {
    step->SrcTexture = static_cast<int16_t>(texture);
    step->SrcX = left, step->SrcY = top, step->SrcW = w, step->SrcH = h;
    step->SrcFlags |= TXA_SRCDEFINED;
  }
}

int32_t SB_TxtAnimRectFits(int32_t which, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const TTXTANIM* anim = SB_TxtAnimCurrent();
  if (!anim || anim->NbSteps <= 0) return 0;
  if (anim->NbSteps == 1) return 1;
  const TTXTANIMSTEP& first = anim->Steps[0];
  const int32_t w = (x2 > x1 ? x2 - x1 : x1 - x2) + 1, h = (y2 > y1 ? y2 - y1 : y1 - y2) + 1;
  const int32_t maxW = which == 0 ? first.SrcW : first.DstW, maxH = which == 0 ? first.SrcH : first.DstH;
  return w <= maxW && h <= maxH ? 1 : 0;
}

void SB_TxtAnimAddDelay(int32_t d) {
  TTXTANIM* anim = SB_TxtAnimCurrent();
  if (!anim || anim->CurStep <= 0 || anim->CurStep > anim->NbSteps) return;
  TTXTANIMSTEP& step = anim->Steps[anim->CurStep - 1];
  const int64_t sum = static_cast<int64_t>(step.Delay) + d;
  if (sum >= 0 && sum <= INT32_MAX) step.Delay = static_cast<int32_t>(sum);
}

void SB_TxtAnimSetRate(int32_t i, int32_t v) {
  TTXTANIMSET* set = Set();
  if (!set || !set->Anims || i < 0 || i >= set->NbAnims) {
    SB_TxtAnimMessage("No Animation...");
    return;
  }
  set->Anims[i].Rate = v;
}

void SB_TxtAnimAskFrameRate() {
  TTXTANIM* anim = CurrentOrSay("No Animation...", "No Animation...");
  if (!anim) return;
  const double fps = anim->Rate > 0 ? 1.0 / (anim->Rate * 65.536) : 0.0;
  const double answer = SB_TxtAnimAskFloat("FRAME RATE:", fps, 10);
  // A rate of 0 fps would make every step last for ever.
  if (!(answer > 0) || !std::isfinite(answer)) return;
  const double rate = 1.0 / (answer * 65.536);
  if (std::isfinite(rate) && rate > 0) anim->Rate = rate;
}

double SB_TxtAnimTotalDelay() {
  const TTXTANIM* anim = SB_TxtAnimCurrent();
  double total = 0;
  if (anim)
    for (int32_t i = 0; i < anim->NbSteps; ++i) total += anim->Steps[i].Delay;
  return total;
}

void SB_TxtAnimToggleStep(int32_t i) {
  TTXTANIM* anim = SB_TxtAnimCurrent();
  if (!anim || i < 0 || i >= anim->NbSteps) return;
  anim->Steps[i].DstFlags ^= TXA_SELECTED;
  anim->CurStep = static_cast<int8_t>(i);
}

void SB_TxtAnimSetCurStep(int32_t i) {
  TTXTANIM* anim = SB_TxtAnimCurrent();
  if (anim && i >= 0 && i < anim->NbSteps) anim->CurStep = static_cast<int8_t>(i);
}

void SB_TxtAnimClearSelection() {
  TTXTANIM* anim = SB_TxtAnimCurrent();
  if (!anim) return;
  for (int32_t i = 0; i < anim->NbSteps; ++i) anim->Steps[i].DstFlags &= static_cast<uint8_t>(~TXA_SELECTED);
}

void SB_TxtAnimPrev() {
  TTXTANIMSET* set = Set();
  if (!set || !set->Anims || set->CurAnim <= 0) return;
  --set->CurAnim;
  set->Anims[set->CurAnim].FirstShown = 0;
  set->Anims[set->CurAnim].CurStep = 0;
}

void SB_TxtAnimNext() {
  TTXTANIMSET* set = Set();
  if (!set || !set->Anims || set->CurAnim >= set->NbAnims - 1) return;
  ++set->CurAnim;
  set->Anims[set->CurAnim].FirstShown = 0;
  set->Anims[set->CurAnim].CurStep = 0;
}

int32_t SB_TxtAnimCurStepIndex() {
  const TTXTANIM* anim = SB_TxtAnimCurrent();
  if (!anim || anim->NbSteps <= 0 || !anim->Steps || anim->CurStep < 0 || anim->CurStep >= anim->NbSteps)
    return -1;
  return anim->CurStep;
}

TTXTANIMSTEP* SB_TxtAnimCurStep() {
  const int32_t i = SB_TxtAnimCurStepIndex();
  return i < 0 ? nullptr : &SB_TxtAnimCurrent()->Steps[i];
}

int32_t SB_TxtAnimIsFirstStep(const TTXTANIMSTEP* step) {
  const TTXTANIM* anim = SB_TxtAnimCurrent();
  return anim && anim->Steps && step == &anim->Steps[0] ? 1 : 0;
}

int32_t SB_IsScrollAnim() {
  const TTXTANIM* anim = SB_TxtAnimCurrent();
  return anim && (anim->Flags & TXA_SCROLL) ? 1 : 0;
}
