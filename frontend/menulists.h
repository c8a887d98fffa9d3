// The rows of the network screens' lists (protocols, servers, players):
// copying the network words' list into them, drawing their visible lines
// and the scrolling of the six arrows; and the session calls of the
// server list's player probe, which tests may replace.
#pragma once
#include <cstdint>

#include "frontend/types.h"

struct FONT;

// One list on its screen: the rows and their count, the items of its
// visible lines (line k is item FirstItem + k) and its two arrows.
struct TMENULIST {
  TMENULISTENTRY** Rows;
  int32_t* Count;
  int32_t Screen;
  int32_t FirstItem;
  int32_t Lines;
  int32_t ForwardItem;  // the upper arrow
  int32_t BackItem;     // the lower arrow
};
extern const TMENULIST SB_ProtocolList;
extern const TMENULIST SB_ServerList;
extern const TMENULIST SB_PlayerList;

constexpr int32_t SB_NETTEXTSIZE = 256;  // console lines built by the menus

// The console line's result: 1 success, 0 failure (or no interpreter).
int32_t MenuExec(const char* line);
// The screen shown next, drawn on the menu bitmap.
void MenuGoTo(int32_t screen);

// The network words' last list copied into the rows from row 0 on, at most
// 16 entries, each name ended within its 256 bytes, skipping an entry
// named skip (when not null); the rows after the last copied cleared. The
// number copied.
int32_t CopyConsoleList(TMENULISTENTRY* rows, const char* skip);
// Row 0.. with the count of entries: every row {0, 0, -1, ""}.
void ClearRows(TMENULISTENTRY* rows);

// The line item k of a list, or null off the screen's items.
TMENUITEM* ListLine(const TMENULIST& list, int32_t k);
// The row shown on line k (Line == k among the count's rows), or null.
TMENULISTENTRY* RowOnLine(const TMENULIST& list, int32_t k);
// The first highlighted line (Kind 6) among the visible ones, or -1.
int32_t HighlightedLine(const TMENULIST& list);
// Line k drawn: its row's name (or blank), highlighted (Kind 6, the first
// small font) or normal (Kind 8, the second), clipped to the line.
void DrawListLine(const TMENULIST& list, int32_t k, bool highlighted);
// An arrow enabled (RestState and State 1) or disabled (0), redrawn.
void SetArrow(const TMENULIST& list, int32_t item, bool enabled);
// One arrow's item callback: scrolls the list on a release while enabled.
void ScrollListArrow(int32_t events, TMENUITEM* item, const TMENULIST& list, bool forward);

// Waits while the key is held and input can still come.
void WaitKeyReleased(int32_t key);

// The player probe's session calls.
struct TMENUPROBECALLS {
  int32_t (*FindSessionId)(const char* name);
  int32_t (*JoinSession)(const char* playerName, int32_t session);
  int32_t (*LeaveSession)();
  int32_t (*IsCursorHidden)();
};
extern TMENUPROBECALLS SB_MenuProbe;
