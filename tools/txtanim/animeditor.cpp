// The texture-animation editor's lifetime in a race and its frame: the
// empty set and clipboard with the editor's bitmaps made at the first
// frame, everything freed at the race's tear-down.
#include "shell/sbvar.h"
#include "tools/editors.h"
#include "tools/txtanim/txtanim.h"

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
  if (!SB_TxtAnimSetUp()) {
    SB_Var.DebugMode = 0;
    return;
  }
  SB_Var.TxtAnimEditing = 1;
  SB_TxtAnimReadMouse();
  SB_TxtAnimUpdate();
  SB_TxtAnimShowScreen();
  SB_Var.TxtAnimEditing = 0;
}
