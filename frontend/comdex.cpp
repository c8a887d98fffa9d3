// The trade-show control page (COMDEX): one menu screen, run by a loop of
// its own, that shows the race controller's state and best times and
// sends it the words that launch, end and practise races.
#include "frontend/menu.h"
#include "frontend/menus.h"
#include "net/ctrl.h"
#include "net/net.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/font.h"
#include "system/input.h"
#include "system/lsvar.h"

namespace {

constexpr int32_t kComdexScreen = 12;
// The page's buttons rest darker than the menus' (0.65), so that the one
// under the pointer stands out at a distance, yet their labels read.
constexpr double kComdexNormalFactor = 0.5;
constexpr int32_t kFlashMs = 800;
constexpr int32_t kQuitKey = 'Q', kEscape = 27;
constexpr int32_t kLeftButton = 1;
constexpr int32_t kRecordItem = 7, kRaceBestItem = 8, kStateItem = 9;

void FreeSlot(BMAP** slot) {
  if (*slot) SB_FreeBmap(*slot);
  *slot = nullptr;
}

void ScreenCallback() {
  const TMENUSCREEN* screen = CurrentMenuScreen();
  if (screen && screen->Callback) screen->Callback();
}

// A controller word sent by one of the page's three buttons: the press
// flashed, the button left highlighted, the page shown, then the word.
void SendControllerWord(int32_t events, TMENUITEM* item, const char* word) {
  if (!ButtonReleased(events, item)) return;
  ReleaseAllItems();
  FlashItem(item, SB_Var.MenuBmap, kFlashMs);
  item->State = ITEMSTATE_HILITE;
  DrawItem(SB_Var.MenuBmap, item);
  ShowMenuBitmap(SB_Var.MenuBmap);
  if (SB_Hooks.ExecCommand) SB_Hooks.ExecCommand("%s", word);
}

void Pass() {
  LS_ClearKeyboard();
  if (LS_KeyDown(kQuitKey) && SB_Var.MenuHotKeys == 1) SB_Var.MenuQuit = 1;
  if (LS_KeyDown(kEscape) && SB_Var.MenuScreen != kComdexScreen && SB_Var.MenuHotKeys == 1) {
    SB_Var.MenuScreen = kComdexScreen;
    SB_Var.MenuScreenReady = 0;
    RedrawPage(SB_Var.MenuBmap);
  }
  int32_t x = 0, y = 0, buttons = 0;
  LS_GetMouse(&x, &y, &buttons);
  DispatchItemEvents(CurrentMenuScreen(), x, y, buttons & kLeftButton);
  ScreenCallback();
  const TMENUSCREEN* screen = CurrentMenuScreen();
  if (screen && screen->CursorShown == 1)
    ShowWithCursor(SB_Var.MenuBmap);
  else
    ShowMenuBitmap(SB_Var.MenuBmap);
  // Headless, once the input has played to its end, the page is left as
  // Q would leave it.
  if (!LSYS_KeyMayCome()) SB_Var.MenuQuit = 1;
}

}  // namespace

void InitComdexInterface() {
  ResetMenuEngineState();
  SB_Var.DrawnMenuScreen = -1;
  LoadMenuArrow("initfast1");
  SB_Var.Cursor = SB_Var.CursorStatic;
  BMAP* screen = LS_Var.Screen;
  const int32_t depth = screen ? screen->Depth : 16;
  if (SB_Var.CursorStatic)
    SB_Var.CursorSave =
        SB_CreateBmap(SB_Var.CursorStatic->SizeX, SB_Var.CursorStatic->SizeY, depth, SB_Var.MenuHeap, "initall");
  if (screen) {
    SB_Var.MenuBmap = SB_CreateBmap(screen->SizeX, screen->SizeY, depth, BMAP_VIDEOMEM, "initall");
    LS_SetBmapRestoreProc(SB_Var.MenuBmap, RestoreInterfaceCursor);
  }
  SB_Var.MenuBackground = GetBmap(nullptr, SB_MENUBACKROW);
  LoadMenuFonts();
}

void FreeComdexInterface() {
  FreeMenuFonts();
  for (TMENUBMAP& row : SB_Var.MenuBmaps)
    for (BMAP** slot : {&row.Picture, &row.Highlighted, &row.Normal, &row.Pressed}) FreeSlot(slot);
  SB_Var.MenuBackground = nullptr;
  FreeSlot(&SB_Var.MenuComposed);
  if (SB_Var.MenuBmap) LS_SetBmapRestoreProc(SB_Var.MenuBmap, nullptr);
  FreeSlot(&SB_Var.MenuBmap);
  FreeSlot(&SB_Var.CursorSave);
  FreeSlot(&SB_Var.CursorStatic);
  SB_Var.Cursor = nullptr;
}

void RedrawPage(BMAP* bitmap) {
  if (SB_Var.MenuScreen == SB_Var.DrawnMenuScreen) return;
  TMENUSCREEN* screen = CurrentMenuScreen();
  if (!screen || !bitmap) return;
  if (SB_Var.DrawnMenuScreen != -1) FreeScreenBmaps(SB_Var.DrawnMenuScreen);
  SB_Var.MenuBackground = GetBmap(nullptr, SB_MENUBACKROW);
  ReleaseAllItems();
  LoadBmap();
  BMAP* back = SB_Var.MenuBackground;
  if (screen->DrawBackground == 1 && back)
    LS_Bitmove(back, bitmap, 0, 0, back->SizeX - 1, back->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  for (int32_t i = 0; i < screen->NbItems && i < SB_MENUITEMS; ++i) DrawItem(bitmap, &screen->Items[i]);
  SB_Var.DrawnMenuScreen = SB_Var.MenuScreen;
}

void DrawPageField(BMAP* bitmap, const TMENUITEM* item, BMAP* background, FONT* font, const char* text) {
  if (!bitmap || !item) return;
  if (background)
    LS_Bitmove(background, bitmap, item->HitX1, item->HitY1, item->HitX2 - 1, item->HitY2 - 1, item->HitX1,
               item->HitY1, LS_BLIT_OPAQUE);
  if (text && font) LS_DrawString(font, bitmap, text, item->HitX1, item->HitY1, LS_BLIT_ALPHA);
}

void ComdexScreen() {
  TMENUITEM* items = SB_Var.MenuScreens[kComdexScreen].Items;
  BMAP* back = SB_Var.MenuBackground;
  DrawPageField(SB_Var.MenuBmap, &items[kStateItem], back, SB_Var.MenuFontSmall,
                CTRL_GetGameStateName(CTRL_State().GameState));
  DrawPageField(SB_Var.MenuBmap, &items[kRaceBestItem], back, SB_Var.MenuFontBig, CTRL_GetRaceBestTimeText());
  DrawPageField(SB_Var.MenuBmap, &items[kRecordItem], back, SB_Var.MenuFontBig, CTRL_GetBestTimeText());
  NET_UpdateEvent();
}

void testinterface() {
  InitComdexInterface();
  SB_Var.MenuNormalFactor = kComdexNormalFactor;
  SB_Var.MenuScreen = kComdexScreen;
  RedrawPage(SB_Var.MenuBmap);
  ScreenCallback();
  while (!SB_Var.MenuQuit) Pass();
  FreeComdexInterface();
  SB_Var.MenuScreen = SB_Var.DrawnMenuScreen = -1;
  LS_ClearKeyboard();
}

void ComdexLaunchRaceButton(int32_t events, TMENUITEM* item) { SendControllerWord(events, item, "@LAUNCHRACE"); }
void ComdexEndOfRaceButton(int32_t events, TMENUITEM* item) { SendControllerWord(events, item, "@ENDOFRACE"); }
void ComdexPracticeButton(int32_t events, TMENUITEM* item) { SendControllerWord(events, item, "@STARTPRACTICE"); }

// Y ends the page; N goes back to it.
void ComdexQuitButton(int32_t events, TMENUITEM* item) {
  if (!ButtonReleased(events, item)) return;
  ReleaseAllItems();
  FlashItem(item, SB_Var.MenuBmap, kFlashMs);
  if (ConfirmExit()) {
    SB_Var.MenuQuit = 1;
    return;
  }
  SB_Var.MenuQuit = 0;
  SB_Var.MenuScreen = kComdexScreen;
  RedrawPage(SB_Var.MenuBmap);
}
