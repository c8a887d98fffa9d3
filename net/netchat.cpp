// Chat taken from each member at most NET_CHATPERSECOND times a second on
// each side, the surplus counted and said once a second: a peer's chat
// cannot grow the console or its file at the peer's pace.
#include <cstring>

#include "net/netgame.h"
#include "netlink/ls_net.h"
#include "shell/console.h"
#include "system/input.h"

namespace {

TNETCHAT* Rows(const char* side) {
  return std::strcmp(side, "CTRL") == 0 ? NET_Side.ChatCtrl : NET_Side.ChatRead;
}

// The sender's row: its own, a free one, or the one whose second began
// longest ago (its count said first).
TNETCHAT& RowOf(const char* side, uint32_t sender, uint32_t now) {
  TNETCHAT* rows = Rows(side);
  TNETCHAT* free = nullptr;
  TNETCHAT* oldest = &rows[0];
  for (int32_t i = 0; i < NET_MAXPLAYERS; ++i) {
    if (rows[i].Sender == sender && sender != 0) return rows[i];
    if (!free && rows[i].Sender == 0) free = &rows[i];
    if (now - rows[i].SecondAt > now - oldest->SecondAt) oldest = &rows[i];
  }
  TNETCHAT& row = free ? *free : *oldest;
  uint32_t count = 0;
  if (row.Sender != 0 && row.Dropped.Count) {
    count = row.Dropped.Count;
    SB_ConsolePrintf("[%s][CHAT FROM ID:%lu: %lu MORE DROPPED]", side, static_cast<unsigned long>(row.Sender),
                     static_cast<unsigned long>(count));
  }
  row = TNETCHAT{};
  row.Sender = sender;
  row.SecondAt = now;
  return row;
}

const char* NameOf(uint32_t id) {
  const char* name = LS_NetGetPlayerName(id);
  return name ? name : "";
}

}  // namespace

bool NET_TakeChat(const char* side, uint32_t sender) {
  const uint32_t now = LS_GetTime();
  TNETCHAT& row = RowOf(side, sender, now);
  if (now - row.SecondAt >= 1000) {
    row.SecondAt = now;
    row.Taken = 0;
  }
  if (row.Taken < NET_CHATPERSECOND) {
    ++row.Taken;
    return true;
  }
  uint32_t count = 0;
  if (NET_CountNotice(&row.Dropped, &count))
    SB_ConsolePrintf("[%s][CHAT FROM %s: %lu OVER %d A SECOND DROPPED]", side, NameOf(sender),
                     static_cast<unsigned long>(count), NET_CHATPERSECOND);
  return false;
}

void NET_FlushChat() {
  for (const char* side : {"READ", "CTRL"}) {
    TNETCHAT* rows = Rows(side);
    for (int32_t i = 0; i < NET_MAXPLAYERS; ++i) {
      uint32_t count = 0;
      if (rows[i].Sender != 0 && NET_NoticeDue(&rows[i].Dropped, &count))
        SB_ConsolePrintf("[%s][CHAT FROM %s: %lu OVER %d A SECOND DROPPED]", side, NameOf(rows[i].Sender),
                         static_cast<unsigned long>(count), NET_CHATPERSECOND);
    }
  }
}
