// Floods over 127.0.0.1: a thousand messages handled in one pump without
// the handlers nesting, and a thousand players arriving and leaving while
// the controller follows each one's order.
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
  // holds no more than a window of a sender's guaranteed messages); the
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

// Five more machines of the session, each holding the two players a
// connection may, add players ten at a time, every seventh named
// "__INFO__", and take them away while the controller follows their
// orders, some before it has even seen them arrive. A player gone before
// the controller added it is never added; once players left without
// logging in, their machine (all of them are at 127.0.0.1) gets no place.
TEST_F(NetFlood, AThousandArrivalsAndDepartures) {
  np::SetLinksPerAddress(6);  // six machines, all at 127.0.0.1 (the fixture resets it)
  Create(CTRL_RACE, 16);
  ASSERT_EQ(JoinAs(lea_, "Lea"), 1);
  std::vector<np::Instance*> churners;
  for (int i = 0; i < 5; ++i) {
    np::Instance* in = nullptr;
    ASSERT_EQ(np::Create(np::kLocalNetworkProvider, &in), np::kOk);
    churners.push_back(in);
    np::Guid session;
    struct Found {
      np::Guid* id;
    } found{&session};
    ASSERT_EQ(np::EnumerateSessions(
                  in, ztest::ServiceGuid(LSYS_NetBuiltinAppGuid), 100,
                  [](const np::SessionInfo* s, void* ctx) {
                    if (s) *static_cast<Found*>(ctx)->id = s->instance;
                    return s == nullptr;
                  },
                  &found),
              np::kOk);
    ASSERT_EQ(np::JoinSession(in, ztest::ServiceGuid(LSYS_NetBuiltinAppGuid), session), np::kOk);
  }
  LS_NetSelect(&host_);
  std::deque<std::pair<np::Instance*, uint32_t>> alive;
  std::set<uint32_t> info;
  bool infoEntered = false;
  int32_t arrived = 0, added = 0, deleted = 0, refused = 0;
  auto count = [&] {
    for (const std::string& l : SB_PrintedLines()) {
      arrived += l.rfind("[SYS CTRL][PLAYER '", 0) == 0 ? 1 : 0;
      added += l.rfind("[CTRL][ADDPLAYER ", 0) == 0 ? 1 : 0;
      deleted += l.rfind("[CTRL][DELPLAYER P", 0) == 0 ? 1 : 0;
      refused += l.rfind("[CTRL][NO CAR PLACE FOR ", 0) == 0 ? 1 : 0;
      if (l.rfind("[CTRL][", 0) == 0 && l.ends_with(" MORE JOINS REFUSED]")) refused += std::stoi(l.substr(7));
    }
    SB_ClearPrintedLines();
  };
  SB_ClearPrintedLines();
  for (int32_t i = 0; i < 1000; ++i) {
    uint32_t id = 0;
    const std::string name = i % 7 == 3 ? "__INFO__" : "P" + std::to_string(i);
    np::Instance* maker = churners[(i / 2) % churners.size()];
    ASSERT_EQ(np::CreatePlayer(maker, name.c_str(), "CLIENT", &id), np::kOk);
    if (i % 7 == 3) info.insert(id);
    alive.push_back({maker, id});
    if (alive.size() < 10) continue;
    // Half leave before the controller pumps; the rest one a pump.
    for (int k = 0; k < (i / 10) % 6; ++k) {
      np::DestroyPlayer(alive.front().first, alive.front().second);
      alive.pop_front();
    }
    while (!alive.empty()) {
      NET_UpdateEvent();
      for (const CTRL_PLAYER& p : host_.Ctrl.Players) infoEntered = infoEntered || (CTRL_IsPresent(p) && info.count(p.Id));
      np::DestroyPlayer(alive.front().first, alive.front().second);
      alive.pop_front();
    }
    np::Settle();
    NET_UpdateEvent();
    count();
  }
  Until([] { return false; }, 3);
  plat::AdvanceManualTime(NET_NOTICEMS);  // the refusals counted are said
  NET_FlushNotices();
  count();
  for (np::Instance* in : churners) np::Release(in);
  EXPECT_EQ(arrived, 1000);
  // Not those gone before the controller pumped. The others get a place,
  // until players that left without asking to log in make their machine
  // wait for the next: refused then.
  EXPECT_GE(added + refused, 500);
  EXPECT_GT(added, 0);
  EXPECT_GT(refused, 0);
  EXPECT_EQ(deleted, added);
  EXPECT_FALSE(infoEntered);
  int32_t present = 0;
  for (const CTRL_PLAYER& p : host_.Ctrl.Players) present += CTRL_IsPresent(p) ? 1 : 0;
  EXPECT_EQ(present, 2);  // Hugo and Lea
  EXPECT_EQ(host_.Ctrl.Logged, 2);
  EXPECT_FALSE(PrintedStart("[CTRL][UNABLE 2 send"));
}

}  // namespace
