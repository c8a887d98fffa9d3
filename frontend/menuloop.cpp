// The interface loop: keys, the pointer's events, the screen's callback,
// the waves and the cursor, pass after pass until the menus are left.
#include "frontend/menu.h"
#include "frontend/menuparts.h"
#include "shell/gameevent.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "system/lsvar.h"

namespace {

constexpr int32_t kQuitKey = 'Q';
constexpr int32_t kEscape = 27;
constexpr int32_t kLeftButton = 1;

void ScreenCallback() {
  const TMENUSCREEN* screen = CurrentMenuScreen();
  if (screen && screen->Callback) screen->Callback();
}

// Escape off the main menu: back to it once the key is released.
void BackToMainMenu() {
  while (LS_KeyDown(kEscape) && LSYS_KeyMayCome()) LS_ClearKeyboard();
  LS_ClearKeyboard();
  SB_Var.MenuScreenReady = 0;
  SB_Var.CarChoiceCancel = 0;
  SB_Var.MenuScreen = SB_MAINMENUSCREEN;
  prepareecran(SB_Var.MenuBmap);
}

void Pass() {
  if (SB_Hooks.ScreenShot) SB_Hooks.ScreenShot(LS_Var.Screen);
  LS_ClearKeyboard();
  if (LS_KeyDown(kQuitKey) && SB_Var.MenuHotKeys == 1) SB_Var.MenuQuit = 1;
  if (LS_KeyDown(kEscape) && SB_Var.MenuScreen != SB_MAINMENUSCREEN && SB_Var.MenuHotKeys == 1) BackToMainMenu();
  int32_t x = 0, y = 0, buttons = 0;
  LS_GetMouse(&x, &y, &buttons);
  DispatchItemEvents(CurrentMenuScreen(), x, y, buttons & kLeftButton);
  ScreenCallback();
  UpdateInterfaceWaves();
  const TMENUSCREEN* screen = CurrentMenuScreen();
  if (screen && screen->CursorShown == 1) {
    if (SB_Var.CursorAnimated) SetCursorMode(2);
    ShowWithCursor(SB_Var.MenuBmap);
  } else {
    ShowMenuBitmap(SB_Var.MenuBmap);
  }
  UpdateInterfaceWaves();
  // Headless, once the input has played to its end, the menus are left as
  // Q would leave them.
  if (!LSYS_KeyMayCome()) SB_Var.MenuQuit = 1;
}

}  // namespace

void RunInterfaceLoop() {
  InitInterfaceFast();
  prepareecran(SB_Var.MenuBmap);
  LoadInterfaceFonts();
  ScreenCallback();
  InitInterfaceCursor();
  SB_Var.MenuNormalFactor = SB_MENUNORMALFACTOR;
  while (!SB_Var.MenuQuit) Pass();
  LS_SetBmapRestoreProc(SB_Var.MenuBmap, nullptr);
  SB_Var.MenuScreen = SB_Var.DrawnMenuScreen = -1;
  if (SB_Hooks.ExecCommand) SB_Hooks.ExecCommand("CLOSENET");
  SB_ShowCredits();
  if (SB_Hooks.ExecCommand) SB_Hooks.ExecCommand("QUIT");
  FreeInterface(1);
  LS_ClearKeyboard();
}
