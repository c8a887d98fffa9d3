// The network screens' list rows: the network words' list copied into
// them, their visible lines drawn by row, the six scrolling arrows, and
// the session calls of the player probe.
#include "frontend/menulists.h"

#include <cstdio>
#include <cstring>

#include "frontend/menu.h"
#include "frontend/menuparts.h"
#include "frontend/menus.h"
#include "net/net.h"
#include "net/netgame.h"
#include "netlink/ls_net.h"
#include "netlink/lsys_net.h"
#include "shell/gameevent.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/input.h"

const TMENULIST SB_ProtocolList{&SB_Var.MenuProtocols, &SB_Var.MenuNbProtocols, 8, 1, 8, 9, 10};
const TMENULIST SB_ServerList{&SB_Var.MenuServers, &SB_Var.MenuNbServers, 9, 0, 6, 8, 9};
const TMENULIST SB_PlayerList{&SB_Var.MenuPlayers, &SB_Var.MenuNbPlayers, 9, 10, 6, 18, 19};

TMENUPROBECALLS SB_MenuProbe{NET_FindSessionId, LS_NetJoinSession, LS_NetLeaveSession, LSYS_NetIsCursorHidden};

int32_t MenuExec(const char* line) { return SB_Hooks.ExecCommand ? SB_Hooks.ExecCommand("%s", line) : 0; }

void MenuGoTo(int32_t screen) {
  SB_Var.MenuScreen = screen;
  prepareecran(SB_Var.MenuBmap);
}

void ClearRows(TMENULISTENTRY* rows) {
  if (!rows) return;
  for (int32_t i = 0; i < SB_MENULISTROWS; ++i) rows[i] = TMENULISTENTRY{0, 0, -1, {}};
}

int32_t CopyConsoleList(TMENULISTENTRY* rows, const char* skip) {
  if (!rows) return 0;
  int32_t count = 0;
  const NET_ENUMENTRY* list = NET_GetConsoleList(&count);
  if (!list) count = 0;
  ClearRows(rows);
  int32_t copied = 0;
  bool skipped = false;
  for (int32_t i = 0; i < count && copied < SB_MENULISTROWS; ++i) {
    const NET_ENUMENTRY& e = list[i];
    if (skip && !skipped && std::strncmp(e.Name, skip, sizeof e.Name) == 0) {
      skipped = true;
      continue;
    }
    TMENULISTENTRY& row = rows[copied++];
    row.Id = e.Id;
    std::memcpy(row.Name, e.Name, sizeof row.Name - 1);
    row.Name[sizeof row.Name - 1] = 0;
  }
  return copied;
}

TMENUITEM* ListLine(const TMENULIST& list, int32_t k) {
  const int32_t index = list.FirstItem + k;
  if (k < 0 || k >= list.Lines || index >= SB_MENUITEMS) return nullptr;
  return &SB_Var.MenuScreens[list.Screen].Items[index];
}

TMENULISTENTRY* RowOnLine(const TMENULIST& list, int32_t k) {
  TMENULISTENTRY* rows = *list.Rows;
  if (!rows || k < 0) return nullptr;
  for (int32_t i = 0; i < *list.Count && i < SB_MENULISTROWS; ++i)
    if (rows[i].Line == k) return &rows[i];
  return nullptr;
}

int32_t HighlightedLine(const TMENULIST& list) {
  for (int32_t k = 0; k < list.Lines; ++k)
    if (ListLine(list, k)->Kind == ITEMKIND_TEXT) return k;
  return -1;
}

void DrawListLine(const TMENULIST& list, int32_t k, bool highlighted) {
  TMENUITEM* item = ListLine(list, k);
  if (!item) return;
  item->Kind = highlighted ? ITEMKIND_TEXT : ITEMKIND_TEXT2;
  // Drawn from a copy: the clipping cuts the text it draws.
  char text[sizeof TMENULISTENTRY{}.Name] = {};
  if (const TMENULISTENTRY* row = RowOnLine(list, k)) std::memcpy(text, row->Name, sizeof text);
  DrawClippedText(item, MenuFieldBackground(), highlighted ? SB_Var.MenuFontSmall : SB_Var.MenuFontSmall2, text);
}

void SetArrow(const TMENULIST& list, int32_t index, bool enabled) {
  TMENUITEM* item = &SB_Var.MenuScreens[list.Screen].Items[index];
  item->RestState = item->State = enabled ? 1 : 0;
  if (SB_Var.MenuScreen == list.Screen) DrawItem(SB_Var.MenuBmap, item);
}

namespace {

// Every row's line moved one way; the lines cycle through count + 1
// places, one of them blank.
void MoveLines(const TMENULIST& list, bool forward) {
  TMENULISTENTRY* rows = *list.Rows;
  const int32_t n = *list.Count;
  for (int32_t i = 0; i < n && i < SB_MENULISTROWS; ++i) {
    int32_t& line = rows[i].Line;
    line += forward ? 1 : -1;
    if (line > n) line = 0;
    if (line < 0) line = n;
  }
}

}  // namespace

void ScrollListArrow(int32_t events, TMENUITEM* item, const TMENULIST& list, bool forward) {
  if (item->CallbackState == 1) ItemWhileOtherPressed(events, item);
  if (item->CallbackState == 0) ToggleWhileFree(events, item);
  if (item->CallbackState != 2) return;
  if (!(events & MENU_UP)) {
    ToggleWhilePressed(events, item);
    return;
  }
  ReleaseAllItems();
  DrawItem(SB_Var.MenuBmap, item);
  if (item->RestState != 1 || !*list.Rows) return;
  PlayInterfaceWave(MenuWave(item->Sound));
  MoveLines(list, forward);
  for (int32_t k = 0; k < list.Lines; ++k) DrawListLine(list, k, k == 0);
  const TMENULISTENTRY* rows = *list.Rows;
  const int32_t n = *list.Count;
  if (forward && n > 0 && rows[0].Line == 0) SetArrow(list, list.ForwardItem, false);
  if (!forward && n > 0 && rows[n - 1].Line == list.Lines - 1) SetArrow(list, list.BackItem, false);
  SetArrow(list, forward ? list.BackItem : list.ForwardItem, true);
  ShowMenuBitmap(SB_Var.MenuBmap);
}

void WaitKeyReleased(int32_t key) {
  while (LS_KeyDown(key) && LSYS_KeyMayCome()) SB_UpdateEvent();
}

void ProtocolListForwardButton(int32_t events, TMENUITEM* item) { ScrollListArrow(events, item, SB_ProtocolList, true); }
void ProtocolListBackButton(int32_t events, TMENUITEM* item) { ScrollListArrow(events, item, SB_ProtocolList, false); }
void ServerListForwardButton(int32_t events, TMENUITEM* item) { ScrollListArrow(events, item, SB_ServerList, true); }
void ServerListBackButton(int32_t events, TMENUITEM* item) { ScrollListArrow(events, item, SB_ServerList, false); }
void PlayerListForwardButton(int32_t events, TMENUITEM* item) { ScrollListArrow(events, item, SB_PlayerList, true); }
void PlayerListBackButton(int32_t events, TMENUITEM* item) { ScrollListArrow(events, item, SB_PlayerList, false); }
