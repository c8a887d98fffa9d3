// The network road's first screens: PLAYER NAME, CHOOSE YOUR PROTOCOL with
// its list, and CREATE YOUR SERVER, each step a console line to the
// command interpreter.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "frontend/menu.h"
#include "frontend/menulists.h"
#include "frontend/menuparts.h"
#include "frontend/menus.h"
#include "shell/sbvar.h"
#include "shell/settings.h"
#include "system/error.h"
#include "system/font.h"
#include "system/input.h"

namespace {

constexpr int32_t kFlashMs = 800;
constexpr int32_t kFailureMs = 2500;
constexpr int32_t kEnterKey = 13;
constexpr int32_t kUpKey = 38;
constexpr int32_t kDownKey = 40;
constexpr int32_t kNameX = 207, kNameY = 221;
constexpr int32_t kServerX = 200, kServerY = 178;
constexpr int32_t kCountX = 317, kCountY = 249;
constexpr int32_t kPlayerNameScreen = 7, kPlayerNameItem = 2;
constexpr int32_t kCreateScreen = 10, kServerNameItem = 1, kCountItem = 3;
constexpr int32_t kNameLength = 8;
constexpr int32_t kCountLength = 2;
constexpr int32_t kMinPlayers = 2, kMaxPlayers = 16;
constexpr int32_t kPlayerNameOk = 4;
constexpr int32_t kProtocolOk = 11;
constexpr int32_t kConnectionFailed = 83;
constexpr int32_t kCreateFailed = 84;
constexpr int32_t kLoadingGame = 65;


void DrawText(const char* text, int32_t x, int32_t y) {
  if (SB_Var.MenuBmap && SB_Var.MenuFontSmall) LS_DrawString(SB_Var.MenuFontSmall, SB_Var.MenuBmap, text, x, y, LS_BLIT_ALPHA);
}

// Enter held acts as the screen's OK button.
void EnterActsAsOk(int32_t item, MENUITEMPROC ok) {
  if (!LS_KeyDown(kEnterKey)) return;
  TMENUITEM* button = &SB_Var.MenuScreens[SB_Var.MenuScreen].Items[item];
  button->CallbackState = 2;
  ok(MENU_UP, button);
}

// A text field's edit: hot keys off, items released, the click.
void BeginEdit(TMENUITEM* item) {
  SB_Var.MenuHotKeys = 0;
  ReleaseAllItems();
  PlayInterfaceWave(MenuWave(item->Sound));
}

// A field's whole rectangle erased from the composed screen: a longer
// text shown there before (the server name starts as "DEFAULTSERVER")
// leaves nothing behind.
void EraseItemField(int32_t screen, int32_t index) {
  const TMENUITEM& item = SB_Var.MenuScreens[screen].Items[index];
  BMAP* background = MenuFieldBackground();
  if (background && SB_Var.MenuBmap)
    LS_Bitmove(background, SB_Var.MenuBmap, item.HitX1, item.HitY1, item.HitX2 - 1, item.HitY2 - 1, item.HitX1,
               item.HitY1, LS_BLIT_OPAQUE);
}

void ClampPlayers() { SB_Var.MenuNbPlayers = std::clamp(SB_Var.MenuNbPlayers, kMinPlayers, kMaxPlayers); }

// The protocol list's lines: rows from line 0, the lower arrow enabled
// when more rows than lines, row 0 selected and highlighted.
void DrawProtocolLines() {
  const TMENULIST& list = SB_ProtocolList;
  TMENULISTENTRY* rows = SB_Var.MenuProtocols;
  const int32_t n = SB_Var.MenuNbProtocols;
  if (!rows || n <= 0) return;
  for (int32_t i = 0; i < n; ++i) {
    rows[i].Line = i;
    rows[i].Selected = 0;
  }
  for (int32_t k = 0; k < list.Lines; ++k) DrawListLine(list, k, false);
  SetArrow(list, list.ForwardItem, false);
  SetArrow(list, list.BackItem, n > list.Lines);
  rows[0].Selected = 1;
  DrawListLine(list, 0, true);
  ShowMenuBitmap(SB_Var.MenuBmap);
}

// The highlight moved by the arrow keys to the line step away from the
// selected row's, wrapping among the rows; beyond the visible lines
// nothing happens.
void MoveProtocolHighlight(int32_t key, int32_t step) {
  if (!LS_KeyDown(key)) return;
  WaitKeyReleased(key);
  const int32_t n = SB_Var.MenuNbProtocols;
  TMENULISTENTRY* rows = SB_Var.MenuProtocols;
  if (!rows || n <= 0) return;
  for (int32_t i = 0; i < n; ++i) {
    if (rows[i].Selected != 1) continue;
    const int32_t t = ((rows[i].Line + step) % n + n) % n;
    if (TMENUITEM* line = ListLine(SB_ProtocolList, t)) ProtocolLine(MENU_DOWN, line);
    return;
  }
}

// After a failed race script: the server left, the network closed, back
// to the protocol list.
void BackToProtocols(const char* script, const char* leaveError) {
  ShowNetError(script);
  if (!MenuExec("LEAVE")) LS_Error(0, "%s", leaveError);
  MenuExec("CLOSENET");
  SB_Var.MenuScreenReady = 0;
  MenuGoTo(8);
}

}  // namespace

void PlayerNameScreen() {
  if (!SB_Var.MenuScreenReady) {
    EraseItemField(kPlayerNameScreen, kPlayerNameItem);
    DrawText(SB_Var.MenuPlayerName, kNameX, kNameY);
    ShowMenuBitmap(SB_Var.MenuBmap);
    SB_Var.MenuScreenReady = 1;
  }
  LS_FlushKeyboard();
  LS_FlushKeyboard();
  EnterActsAsOk(kPlayerNameOk, PlayerNameOkButton);
}

void PlayerNameEntry(int32_t events, TMENUITEM* item) {
  if (!(events & MENU_DOWN)) return;
  BeginEdit(item);
  EraseItemField(kPlayerNameScreen, kPlayerNameItem);
  EditScreenText(SB_Var.MenuPlayerName, kNameX, kNameY, kNameLength, TEXT_UPPER);
  WaitKeyReleased(kEnterKey);
  SB_Var.MenuHotKeys = 1;
}

void ProtocolScreen() {
  if (!SB_Var.MenuScreenReady) {
    if (!MenuExec("PROTOCOLSLIST")) {
      ShowNetError("PROTOCOLSLIST");
      MenuGoTo(5);
      return;
    }
    // A list fetched anew: no line keeps a highlight from before.
    for (int32_t k = 0; k < SB_ProtocolList.Lines; ++k) ListLine(SB_ProtocolList, k)->Kind = ITEMKIND_TEXT2;
    SB_Var.MenuNbProtocols = CopyConsoleList(SB_Var.MenuProtocols, nullptr);
    DrawProtocolLines();
    SB_Var.MenuScreenReady = 1;
  }
  EnterActsAsOk(kProtocolOk, ProtocolOkButton);
  MoveProtocolHighlight(kUpKey, -1);
  MoveProtocolHighlight(kDownKey, 1);
}

void ProtocolLine(int32_t events, TMENUITEM* item) {
  const TMENULIST& list = SB_ProtocolList;
  const int32_t v = static_cast<int32_t>(item->Value);
  if (!(v >= 0 && v < SB_Var.MenuNbProtocols && v < list.Lines) || !(events & MENU_DOWN)) return;
  TMENULISTENTRY* row = RowOnLine(list, v);
  if (!row) return;
  PlayInterfaceWave(MenuWave(item->Sound));
  const int32_t previous = HighlightedLine(list);
  if (previous >= 0) DrawListLine(list, previous, false);
  for (int32_t i = 0; i < SB_Var.MenuNbProtocols; ++i) SB_Var.MenuProtocols[i].Selected = 0;
  row->Selected = 1;
  DrawListLine(list, v, true);
  ShowMenuBitmap(SB_Var.MenuBmap);
}

void ProtocolOkButton(int32_t events, TMENUITEM* item) {
  if (!ButtonReleased(events, item)) return;
  ButtonAction(item);
  FlashItem(item, SB_Var.MenuBmap, kFlashMs);
  const TMENULISTENTRY* row = RowOnLine(SB_ProtocolList, HighlightedLine(SB_ProtocolList));
  if (!row) return;
  char line[SB_NETTEXTSIZE];
  std::snprintf(line, sizeof line, "PROTOCOL %u", row->Id);
  if (!MenuExec(line)) {
    ShowNetError(line);
    return;
  }
  if (MenuExec("STARTNET")) {
    MenuGoTo(14);
    SB_Var.MenuScreenReady = 0;
    return;
  }
  ShowNetError("STARTNET");
  drawscreentext(SB_Var.MenuFontBig, kConnectionFailed, 220, 224);
  MenuExec("CLOSENET");
  LS_Wait(kFailureMs);
}

void CreateServerScreen() {
  if (SB_Var.MenuScreenReady) return;
  ClampPlayers();
  char count[16];
  std::snprintf(count, sizeof count, "%d", SB_Var.MenuNbPlayers);
  EraseItemField(kCreateScreen, kCountItem);
  EraseItemField(kCreateScreen, kServerNameItem);
  DrawText(count, kCountX, kCountY);
  DrawText(SB_Var.MenuServerName, kServerX, kServerY);
  ShowMenuBitmap(SB_Var.MenuBmap);
  SB_Var.MenuScreenReady = 1;
}

void ServerNameEntry(int32_t events, TMENUITEM* item) {
  if (!(events & MENU_DOWN)) return;
  BeginEdit(item);
  EraseItemField(kCreateScreen, kServerNameItem);
  EditScreenText(SB_Var.MenuServerName, kServerX, kServerY, kNameLength, TEXT_UPPER);
  SB_Var.MenuHotKeys = 1;
}

void NbPlayersEntry(int32_t events, TMENUITEM* item) {
  if (!(events & MENU_DOWN)) return;
  BeginEdit(item);
  ClampPlayers();
  char count[kCountLength + 1];
  std::snprintf(count, sizeof count, "%d", SB_Var.MenuNbPlayers);
  EditScreenText(count, kCountX, kCountY, kCountLength, TEXT_UPPER | TEXT_DIGITS);
  SB_Var.MenuNbPlayers = static_cast<int32_t>(std::strtol(count, nullptr, 10));
  ClampPlayers();
  EraseItemField(kCreateScreen, kCountItem);
  SB_Var.MenuScreenReady = 0;
  SB_Var.MenuHotKeys = 1;
}

void CreateServerOkButton(int32_t events, TMENUITEM* item) {
  if (!ButtonReleased(events, item)) return;
  SB_SaveServerSettings();
  ButtonAction(item);
  FlashItem(item, SB_Var.MenuBmap, kFlashMs);
  char line[SB_NETTEXTSIZE];
  std::snprintf(line, sizeof line, "CREATE %s %s RACE %ld", SB_Var.MenuServerName, SB_Var.MenuPlayerName,
                static_cast<long>(SB_Var.MenuNbPlayers));
  if (!MenuExec(line)) {
    ShowNetError(line);
    drawscreentext(SB_Var.MenuFontBig, kCreateFailed, 220, 224);
    LS_Wait(kFailureMs);
    MenuExec("CLOSENET");
    SB_Var.MenuScreenReady = 0;
    MenuGoTo(8);
    return;
  }
  if (SB_RaceFromInterface("PNET", 1, 5, kLoadingGame)) return;
  BackToProtocols("RUN PNET", "Leave server after run pnet failure");
}
