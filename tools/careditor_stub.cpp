// The car choice until the car chooser exists: CHOOSE CAR is shown and its
// items answered, the step flags cleared unused, until the choice is left
// (its back button or the car area), Escape is held or, headless, no input
// can arrive any more; then MAIN MENU. Weak, so that the chooser replaces
// it.
#include "frontend/menu.h"
#include "shell/gameevent.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "tools/tools.h"

namespace {

constexpr int32_t kCarChoiceScreen = 3;
constexpr int32_t kEscape = 27;
constexpr int32_t kLeftButton = 1;

void GoTo(int32_t screen) {
  SB_Var.MenuScreen = screen;
  prepareecran(SB_Var.MenuBmap);
}

}  // namespace

__attribute__((weak)) void SB_RunCarEditor(int32_t) {
  SB_Var.CarChoiceEnd = SB_Var.CarChoicePrevious = SB_Var.CarChoiceNext = 0;
  GoTo(kCarChoiceScreen);
  while (!SB_Var.CarChoiceEnd && !LS_KeyDown(kEscape) && LSYS_KeyMayCome()) {
    SB_UpdateEvent();
    int32_t x = 0, y = 0, buttons = 0;
    LS_GetMouse(&x, &y, &buttons);
    DispatchItemEvents(CurrentMenuScreen(), x, y, buttons & kLeftButton);
    SB_Var.CarChoicePrevious = SB_Var.CarChoiceNext = 0;
    ShowWithCursor(SB_Var.MenuBmap);
  }
  GoTo(SB_MAINMENUSCREEN);
}
