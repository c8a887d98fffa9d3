// Floods over 127.0.0.1: a thousand messages handled in one pump without
// the handlers nesting, and a thousand players arriving and leaving while
// the controller tells each its order.
#include <deque>
#include <set>

#include "tests/netgame/session_fixture.h"

namespace {

namespace np = plat::netplay;

int g_handled = 0, g_depth = 0, g_maxDepth = 0;

// The host's callbacks, counting and measuring how deep they nest.
template <void (*Handler)(uint32_t, const void*, uint32_t)>
void Counted(uint32_t from, const void* m, uint32_t n) {
  ++g_handled;
  g_maxDepth = std::max(g_maxDepth, ++g_depth);
  Handler(from, m, n);
  --g_depth;
}

class NetFlood : public ztest::NetSessionTest {};

// Each message prints a line on the host's console, whose pump must not
// start another pump per line.
TEST_F(NetFlood, AThousandMessagesInOnePump) {
  Create(CTRL_RACE, 4);
  ASSERT_EQ(JoinAs(mia_, "Mia"), 1);
  host_.Config.ServerMessage = Counted<CTRL_HandleMessage>;
  host_.Config.PlayerMessage = Counted<NET_HandleMessage>;
  g_handled = g_depth = g_maxDepth = 0;
  uint8_t text[XNETMSG_HEADERSIZE + 3], ack[XNETMSG_HEADERSIZE];
  NET_PutHeader(text, XNET_TEXT, 0, 0);
  std::memcpy(text + XNETMSG_HEADERSIZE, "hi", 3);
  NET_PutHeader(ack, CTRL_PRESENCEACK, 0, 0);
  // Plain, so that all of them are on the wire at once (the reliable layer
  // holds back a sender's guaranteed messages behind the first); the
  // transport takes them in as they come, as it does between frames.
  for (int32_t i = 0; i < 500; ++i) {
    ASSERT_NE(NET_SendToAll(text, sizeof text, NET_PLAIN), -2);
    ASSERT_NE(NET_SendToController(ack, sizeof ack, NET_PLAIN), -2);
    if (i % 25 == 24) np::Settle();
  }
  LS_NetSelect(&host_);
  np::Settle();
  host_.Ctrl.LastHeard[1] = 0;
  NET_UpdateEvent();
  EXPECT_EQ(g_handled, 1500);  // the texts reach the controller too
  EXPECT_LE(g_maxDepth, 2);
  EXPECT_NE(host_.Ctrl.LastHeard[1], 0u);
  EXPECT_TRUE(Printed("[READ][from:Mia][hi]"));
}

// Lea's machine adds players ten at a time, every seventh named
// "__INFO__", and takes each away while the controller waits for the
// delivery of its order. A player gone before the controller added it is
// never added.
TEST_F(NetFlood, AThousandArrivalsAndDepartures) {
  Create(CTRL_RACE, 16);
  ASSERT_EQ(JoinAs(lea_, "Lea"), 1);
  static np::Instance* lea;
  static std::deque<uint32_t> alive;
  static std::set<uint32_t> info;
  static TCTRL* ctrl;
  static bool infoEntered;
  lea = lea_.Transport.Object;
  ctrl = &host_.Ctrl;
  alive.clear();
  info.clear();
  infoEntered = false;
  // Checks the table, then takes the oldest player away.
  static void (*drop)() = [] {
    for (const CTRL_PLAYER& p : ctrl->Players) infoEntered = infoEntered || (CTRL_IsPresent(p) && info.count(p.Id));
    if (!alive.empty()) {
      np::DestroyPlayer(lea, alive.front());
      alive.pop_front();
    }
  };
  NET_SetWaitStep([] {
    drop();
    Step();
  });
  int32_t arrived = 0, added = 0, deleted = 0;
  for (int32_t i = 0; i < 1000; ++i) {
    uint32_t id = 0;
    const std::string name = i % 7 == 3 ? "__INFO__" : "P" + std::to_string(i);
    ASSERT_EQ(np::CreatePlayer(lea, name.c_str(), "CLIENT", &id), np::kOk);
    if (i % 7 == 3) info.insert(id);
    alive.push_back(id);
    if (alive.size() < 10) continue;
    LS_NetSelect(&host_);
    SB_ClearPrintedLines();
    // The first pump meets every player of the batch still there.
    static int calls;
    calls = 0;
    ASSERT_TRUE(Until(
        [] {
          if (calls++ > 0) drop();
          return alive.empty();
        },
        100));
    Until([] { return false; }, 2);
    for (const std::string& l : SB_PrintedLines()) {
      arrived += l.rfind("[SYS CTRL][PLAYER '", 0) == 0 ? 1 : 0;
      added += l.rfind("[CTRL][ADDPLAYER ", 0) == 0 ? 1 : 0;
      deleted += l.rfind("[CTRL][DELPLAYER P", 0) == 0 ? 1 : 0;
    }
  }
  EXPECT_EQ(arrived, 1000);
  EXPECT_GE(added, 700);
  EXPECT_EQ(deleted, added);
  EXPECT_FALSE(infoEntered);
  int32_t present = 0;
  for (const CTRL_PLAYER& p : host_.Ctrl.Players) present += CTRL_IsPresent(p) ? 1 : 0;
  EXPECT_EQ(present, 2);  // Hugo and Lea
  EXPECT_EQ(host_.Ctrl.Logged, 2);
  EXPECT_FALSE(PrintedStart("[CTRL][UNABLE 2 send"));
}

}  // namespace
