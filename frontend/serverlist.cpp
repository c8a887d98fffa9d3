// The server list (screen 9): the sessions found on the chosen protocol,
// refreshed every 10 s and on R, the players of the selected one by a
// short probe of the session, and the join of the highlighted one.
#include <cstdio>
#include <cstring>

#include "frontend/menu.h"
#include "frontend/menulists.h"
#include "frontend/menuparts.h"
#include "frontend/menus.h"
#include "shell/sbvar.h"
#include "net/net.h"
#include "system/error.h"
#include "system/input.h"

namespace {

constexpr int32_t kFlashMs = 800;
constexpr int32_t kFailureMs = 2500;
constexpr int32_t kRefreshMs = 10000;
constexpr int32_t kRefreshKey = 82;  // R
constexpr int32_t kRaceFull = 78;
constexpr int32_t kNotResponding = 80;
constexpr int32_t kAlreadyStarted = 81;
constexpr int32_t kConnectionFailed = 83;
constexpr int32_t kLoadingGame = 65;
constexpr const char* kProbeName = "__INFO__";

TMENULISTENTRY* Servers() { return SB_Var.MenuServers; }

// The row index named so among the count's rows (the first), or -1.
int32_t FindByName(const TMENULISTENTRY* rows, int32_t count, const char* name) {
  for (int32_t i = 0; i < count; ++i)
    if (std::strcmp(rows[i].Name, name) == 0) return i;
  return -1;
}

void SelectOnly(TMENULISTENTRY* rows, int32_t count, int32_t index) {
  for (int32_t i = 0; i < count; ++i) rows[i].Selected = i == index ? 1 : 0;
}

// A list's lines from line 0: rows on their own index, the arrows by the
// count; the highlight on the line given.
void DrawRows(const TMENULIST& list, int32_t highlighted) {
  TMENULISTENTRY* rows = *list.Rows;
  const int32_t n = *list.Count;
  for (int32_t i = 0; i < n; ++i) rows[i].Line = i;
  for (int32_t k = 0; k < list.Lines; ++k) DrawListLine(list, k, k == highlighted);
  SetArrow(list, list.ForwardItem, false);
  SetArrow(list, list.BackItem, n > list.Lines);
}

// Both lists blank, every arrow off.
void BlankLists() {
  for (const TMENULIST* list : {&SB_ServerList, &SB_PlayerList}) {
    TMENULISTENTRY* rows = *list->Rows;
    for (int32_t i = 0; rows && i < SB_MENULISTROWS; ++i) rows[i].Line = -1;
    for (int32_t k = 0; k < list->Lines; ++k) DrawListLine(*list, k, false);
    SetArrow(*list, list->ForwardItem, false);
    SetArrow(*list, list->BackItem, false);
  }
}

// The probe: joins the session as "__INFO__", lists its players and
// leaves; false when the players could not be listed.
bool ProbePlayers(const char* server) {
  const int32_t session = SB_MenuProbe.FindSessionId(server);
  if (session == -1 || SB_MenuProbe.JoinSession(kProbeName, session) != 1) {
    ShowNetError("JOINSESSION Error");
    return false;
  }
  const bool listed = MenuExec("PLAYERSLIST") != 0;
  if (!listed) ShowNetError("PLAYERSLIST");
  // Left even when the list failed, so that the probe never stays joined.
  if (!SB_MenuProbe.LeaveSession()) {
    ShowNetError("LEAVE");
    LS_Error(0, "LEAVE FAILED");
  }
  return listed;
}

// The players of the probe's list on their lines.
void DrawPlayers() {
  TMENULISTENTRY* rows = SB_Var.MenuPlayers;
  if (!rows) return;
  SB_Var.MenuNbPlayers = CopyConsoleList(rows, kProbeName);
  DrawRows(SB_PlayerList, SB_Var.MenuNbPlayers > 0 ? 0 : -1);
  if (SB_Var.MenuNbPlayers > 0) rows[0].Selected = 1;
}

// The session list fetched again: unchanged, one new server appended, or
// rebuilt keeping the selection by name. True when the lists were drawn.
bool MergeServers() {
  TMENULISTENTRY fresh[SB_MENULISTROWS];
  const int32_t count = CopyConsoleList(fresh, nullptr);
  TMENULISTENTRY* rows = Servers();
  const int32_t n = SB_Var.MenuNbServers;
  bool allPresent = true;
  for (int32_t i = 0; i < n && allPresent; ++i) allPresent = FindByName(fresh, count, rows[i].Name) >= 0;
  if (allPresent && count == n) return false;
  if (allPresent && count == n + 1) {
    for (int32_t i = 0; i < count; ++i) {
      if (FindByName(rows, n, fresh[i].Name) >= 0) continue;
      rows[n] = fresh[i];
      break;
    }
    SB_Var.MenuNbServers = count;
  } else {
    char selected[sizeof fresh[0].Name] = {};
    const int32_t previous = SB_Var.MenuSelectedServer;
    if (previous >= 0 && previous < n) std::memcpy(selected, rows[previous].Name, sizeof selected);
    std::memcpy(rows, fresh, sizeof fresh);
    SB_Var.MenuNbServers = count;
    const int32_t kept = selected[0] ? FindByName(rows, count, selected) : -1;
    SB_Var.MenuSelectedServer = kept;
    SelectOnly(rows, count, kept >= 0 ? kept : 0);
  }
  DrawServerLists();
  return true;
}

// The selected server's line pressed again, which lists its players anew.
void PressSelectedLine() {
  const TMENULISTENTRY* rows = Servers();
  for (int32_t i = 0; i < SB_Var.MenuNbServers; ++i) {
    if (rows[i].Selected != 1) continue;
    if (TMENUITEM* line = ListLine(SB_ServerList, rows[i].Line)) ServerLine(MENU_DOWN, line);
    return;
  }
}

void RefreshServers() {
  SB_Var.MenuRefreshTime = 0;
  SetCursorMode(2);
  UpdateInterfaceCursor();
  if (!SB_MenuProbe.IsCursorHidden()) ShowMenuBitmap(SB_Var.MenuBmap);
  const int32_t listed = MenuExec("MYSERVERSLIST 0");
  SetCursorMode(1);
  if (!listed) {
    ShowNetError("MYSERVERSLIST 0");
    drawscreentext(SB_Var.MenuFontBig, kConnectionFailed, 220, 224);
    LS_Wait(kFailureMs);
    SB_Var.MenuScreen = 8;
    prepareecran(SB_Var.MenuBmap);
    return;
  }
  int32_t count = 0;
  if (!NET_GetConsoleList(&count) || count <= 0) {
    ClearRows(Servers());
    SB_Var.MenuNbServers = 0;
    SB_Var.MenuJoinDisabled = 1;
    DrawServerLists();
  } else {
    SB_Var.MenuJoinDisabled = 0;
    // A changed list was drawn with its selected line pressed; an
    // unchanged one only has its players listed anew.
    if (!MergeServers()) PressSelectedLine();
  }
  SB_Var.MenuScreenReady = 1;
  SB_Var.MenuRefreshClock = LSYS_GetTime();
}

}  // namespace

void ServersScreen() {
  if (!Servers() || !SB_Var.MenuPlayers) return;
  if (SB_Var.MenuScreenReady == 1) {
    const uint32_t now = LSYS_GetTime();
    SB_Var.MenuRefreshTime += static_cast<int32_t>(now - SB_Var.MenuRefreshClock);
    SB_Var.MenuRefreshClock = now;
    if (SB_Var.MenuRefreshTime > kRefreshMs) {
      SB_Var.MenuScreenReady = 0;
      SB_Var.MenuRefreshTime = 0;
    }
  }
  if (SB_Var.MenuScreenReady == 0) RefreshServers();
  UpdateInterfaceCursor();
  if (LS_KeyDown(kRefreshKey)) SB_Var.MenuScreenReady = 0;
}

void DrawServerLists() {
  TMENULISTENTRY* rows = Servers();
  const int32_t n = SB_Var.MenuNbServers;
  if (!rows) return;
  if (n <= 0) {
    BlankLists();
    return;
  }
  DrawRows(SB_ServerList, -1);
  // The selected server where a line shows its name, else line 0.
  const int32_t selected = SB_Var.MenuSelectedServer;
  int32_t line = -1;
  for (int32_t k = 0; selected >= 0 && selected < n && k < SB_ServerList.Lines && line < 0; ++k) {
    const TMENULISTENTRY* shown = RowOnLine(SB_ServerList, k);
    if (shown && std::strcmp(shown->Name, rows[selected].Name) == 0) line = k;
  }
  if (line < 0) {
    SB_Var.MenuSelectedServer = -1;
    line = 0;
  }
  if (TMENUITEM* item = ListLine(SB_ServerList, line)) ServerLine(MENU_DOWN, item);
  SetCursorMode(2);
  UpdateInterfaceCursor();
  SetCursorMode(1);
}

void ServerLine(int32_t events, TMENUITEM* item) {
  const TMENULIST& list = SB_ServerList;
  const int32_t v = static_cast<int32_t>(item->Value);
  // Lines past the last server, and the two below the list, never react.
  if (!(v >= 0 && v < list.Lines && v < SB_Var.MenuNbServers)) return;
  if (!(events & MENU_DOWN)) {
    UpdateInterfaceCursor();
    return;
  }
  TMENULISTENTRY* row = RowOnLine(list, v);
  if (!row) {
    SetCursorMode(1);
    UpdateInterfaceCursor();
    return;
  }
  PlayInterfaceWave(MenuWave(item->Sound));
  for (int32_t k = 0; k < list.Lines; ++k)
    if (ListLine(list, k)->Kind == ITEMKIND_TEXT) DrawListLine(list, k, false);
  const int32_t index = static_cast<int32_t>(row - Servers());
  SB_Var.MenuSelectedServer = index;
  SelectOnly(Servers(), SB_Var.MenuNbServers, index);
  DrawListLine(list, v, true);
  if (ProbePlayers(row->Name)) DrawPlayers();
  ShowMenuBitmap(SB_Var.MenuBmap);
}

void JoinServerButton(int32_t events, TMENUITEM* item) {
  if (SB_Var.MenuJoinDisabled == 1) return;
  if (!ButtonReleased(events, item)) return;
  ButtonAction(item);
  FlashItem(item, SB_Var.MenuBmap, kFlashMs);
  const TMENULISTENTRY* row = RowOnLine(SB_ServerList, HighlightedLine(SB_ServerList));
  if (!row) return;
  SetCursorMode(2);
  char line[SB_NETTEXTSIZE];
  const int32_t length = std::snprintf(line, sizeof line, "JOIN %s %s", SB_Var.MenuPlayerName, row->Name);
  // A line that does not fit is not sent: the join fails as an unanswered one.
  UpdateInterfaceCursor();
  const int32_t joined = length >= 0 && length < SB_NETTEXTSIZE ? MenuExec(line) : 0;
  UpdateInterfaceCursor();
  SetCursorMode(1);
  if (!joined) {
    ShowMenuBitmap(SB_Var.MenuBmap);
    const int32_t refused = SB_Var.NetJoinRefused;
    drawscreentext(SB_Var.MenuFontBig, refused == 2 ? kRaceFull : refused ? kAlreadyStarted : kNotResponding, 220,
                   224);
    LS_Wait(kFailureMs);
    ShowNetError(line);
    return;
  }
  if (SB_RaceFromInterface("PJNET", 1, 5, kLoadingGame)) return;
  ShowNetError("RUN PJNET");
  if (!MenuExec("LEAVE")) LS_Error(0, "Leave server after run pjnet failure");
}
