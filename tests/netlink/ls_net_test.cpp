// LS_Net between machines in one process over 127.0.0.1: the wire bytes,
// the targets, the refusals while a bitmap is locked or LS_Net is closed,
// opening and closing, sessions, message sizes and the pump.
#include <gtest/gtest.h>

#include "net/net.h"
#include "system/bmap.h"
#include "tests/netlink/lsnet_fixture.h"

namespace {

namespace np = plat::netplay;
using ztest::Delivered;
using ztest::kAll;
using ztest::kController;
using ztest::RawPacket;

class LsNet : public ztest::LsNetTest {};

TEST_F(LsNet, WireBytesAndConsecutiveSequences) {
  Meet();
  LS_NetSelect(&mia_);
  const uint32_t hugo = Hugo();
  EXPECT_EQ(LS_NetPlayerSendMessage(1, &hugo, "plain", 5, NET_PLAIN), 0x01020304);
  EXPECT_EQ(LS_NetPlayerSendMessage(1, &hugo, "sure", 4, NET_GUARANTEED), 0x01020305);
  std::vector<RawPacket> got = Raw(host_);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].bytes, std::string("\x02\x04\x03\x02\x01plain", 10));
  // A guaranteed packet carries its pair's number: the first to Hugo.
  EXPECT_EQ(got[1].bytes, std::string("\x01\x04\x03\x02\x01sure", 9));
  EXPECT_EQ(got[1].from, Mia());

  // The guaranteed one handed to LS_Net's receive: acknowledged at the end
  // of the pump with {4, the number delivered in order, no early ones}.
  LS_NetSelect(&host_);
  NETI_ReceiveMessage(got[1].to, got[1].from, got[1].bytes.data(), static_cast<uint32_t>(got[1].bytes.size()));
  EXPECT_TRUE(Raw(mia_).empty());
  LS_NetSelect(&host_);
  NETI_SendAcks();
  got = Raw(mia_);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].bytes, std::string("\x04\x04\x03\x02\x01\0\0\0\0", 9));
  EXPECT_EQ(got[0].from, hugo);
  EXPECT_EQ(Log(host_).player, (std::vector<Delivered>{{Mia(), "sure"}}));
}

TEST_F(LsNet, Targets) {
  Meet(true);
  // To the controller from the controller's own machine.
  LS_NetSelect(&host_);
  ASSERT_GT(LS_NetPlayerSendMessage(0, kController, "ctl", 3, NET_GUARANTEED), 0);
  // To all from Mia: everyone but Mia.
  LS_NetSelect(&mia_);
  ASSERT_GT(LS_NetPlayerSendMessage(0, kAll, "all", 3, NET_GUARANTEED), 0);
  // An id array: the sender is skipped.
  const uint32_t ids[] = {Mia(), Lea()};
  ASSERT_GT(LS_NetPlayerSendMessage(2, ids, "ids", 3, NET_PLAIN), 0);
  for (int i = 0; i < 3; ++i) PumpAll();
  EXPECT_EQ(Log(host_).server, (std::vector<Delivered>{{Hugo(), "ctl"}, {Mia(), "all"}}));
  EXPECT_EQ(Log(host_).player, (std::vector<Delivered>{{Mia(), "all"}}));
  EXPECT_EQ(Log(lea_).player, (std::vector<Delivered>{{Mia(), "all"}, {Mia(), "ids"}}));
  EXPECT_TRUE(Log(mia_).player.empty());
  EXPECT_TRUE(Log(mia_).server.empty());
  // Every guaranteed one acknowledged.
  for (TLSNET* m : {&host_, &mia_}) {
    LS_NetSelect(m);
    EXPECT_EQ(NETI_IsDelivered(0x01020304), 1);
  }
}

// Each checked function: its name and what it gives when refused.
struct Refusal {
  const char* name;
  int64_t (*call)();
  int64_t failure;
};
const Refusal kRefusals[] = {
    {"LS_NetCreateSession", [] { return int64_t{LS_NetCreateSession(8, "S", "X")}; }, 65535},
    {"LS_NetJoinSession", [] { return int64_t{LS_NetJoinSession("X", 0)}; }, 65535},
    {"LS_NetLeaveSession", [] { return int64_t{LS_NetLeaveSession()}; }, 1},
    {"LS_NetEnumeratePlayers", [] { return int64_t{LS_NetEnumeratePlayers(nullptr)}; }, 9},
    {"LS_NetGetPlayerName", [] { return int64_t{LS_NetGetPlayerName(1) != nullptr}; }, 0},
    {"LS_NetServerSendMessage", [] { return int64_t{LS_NetServerSendMessage(0, kAll, "x", 1)}; }, -2},
    {"LS_NetPlayerSendMessage", [] { return int64_t{LS_NetPlayerSendMessage(0, kAll, "x", 1, 2)}; }, -2},
};

TEST_F(LsNet, RefusedWhileABitmapIsLockedOrWhenClosed) {
  Meet();
  LS_NetSelect(&host_);
  LS_BmapLockCount = 1;
  for (const Refusal& r : kRefusals) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(r.call(), r.failure);
    EXPECT_EQ(Logged(std::string("Cannot execute function (") + r.name + ") while bmap locked"), 1);
  }
  LS_NetUpdateEvent();
  EXPECT_EQ(Logged("Cannot execute function (LS_NetUpdateEvent) while bmap locked"), 1);
  LS_BmapLockCount = 0;
  EXPECT_EQ(LS_NetEnumeratePlayers(nullptr), 1);  // still in the session

  LS_NetSelect(&lea_);  // never opened
  for (const Refusal& r : kRefusals) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(r.call(), r.failure);
  }
  EXPECT_EQ(LS_NetEnumerateSessions(nullptr, 10), 1);
}

TEST_F(LsNet, InitAndShutdown) {
  LS_NETDRIVER driver{};
  EXPECT_EQ(LS_NetGetDriver(&driver), 1);
  EXPECT_EQ(driver.Kind, 2u);
  EXPECT_STREQ(driver.Name, "Microsoft DirectPlay 2");

  LS_NetSelect(&host_);
  EXPECT_EQ(LS_NetShutdown(), 1);  // not open
  np::AddTestProvider(ztest::MakeGuid(0x90), "opens nothing");
  ASSERT_EQ(LS_NetEnumerateProtocols(nullptr), 1);
  LS_NETCONFIG c = Config();
  c.Protocol = 1;
  c.MaxPlayers = 7;
  EXPECT_EQ(LS_NetInit(&c), 2);
  EXPECT_EQ(host_.Config.MaxPlayers, 7u);
  EXPECT_EQ(host_.Config.IsOpen, 0u);
  EXPECT_EQ(host_.Neti.Pool, nullptr);

  c.Protocol = 0;
  EXPECT_EQ(LS_NetInit(&c), 1);
  EXPECT_EQ(host_.Config.IsOpen, 1u);
  EXPECT_EQ(host_.Config.MaxMessageSize, 1024u);
  c.MaxPlayers = 9;
  EXPECT_EQ(LS_NetInit(&c), 1);  // already open: nothing done
  EXPECT_EQ(host_.Config.MaxPlayers, 7u);
  EXPECT_EQ(LS_NetShutdown(), 1);
  EXPECT_EQ(host_.Config.IsOpen, 0u);
  EXPECT_EQ(host_.Neti.Pool, nullptr);
  EXPECT_EQ(LS_NetShutdown(), 1);
}

TEST_F(LsNet, CreateAndJoin) {
  Open(host_);
  EXPECT_EQ(LS_NetCreateSession(33, "S", "Hugo"), 65535);
  EXPECT_EQ(Logged("Too many max users !"), 1);
  EXPECT_EQ(LS_GetLastError(), 23u);
  ASSERT_EQ(LS_NetCreateSession(32, "S", "Hugo"), 1);
  EXPECT_EQ(host_.Config.Role, 0x6FFFFFFFu);
  np::SetHosts("127.0.0.1:" + std::to_string(np::DiscoveryPort(host_.Transport.Object)));

  Open(mia_);
  ASSERT_EQ(LS_NetEnumerateSessions(nullptr, 100), 1);
  mia_.Config.ControllerId = 0;
  ASSERT_EQ(LS_NetJoinSession("Mia", 0), 1);
  EXPECT_EQ(mia_.Config.Role, 1u);
  EXPECT_STREQ(mia_.Config.PlayerName, "Mia");
  EXPECT_EQ(mia_.Config.ControllerId, host_.Config.ControllerId);  // no callback needed
  EXPECT_STREQ(LS_NetGetPlayerName(Hugo()), "Hugo");
  const uint32_t sequence = mia_.Sequence;
  EXPECT_EQ(LS_NetServerSendMessage(0, kAll, "x", 1), -2);
  EXPECT_EQ(mia_.Sequence, sequence);
  EXPECT_TRUE(Raw(host_).empty());
}

TEST_F(LsNet, MessageSizeLimit) {
  Meet();
  const std::string full(1024, 'f');
  const uint32_t hugo = Hugo();
  LS_NetSelect(&mia_);
  EXPECT_GT(LS_NetPlayerSendMessage(1, &hugo, full.data(), 1024, NET_GUARANTEED), 0);
  EXPECT_EQ(LS_NetPlayerSendMessage(1, &hugo, full.data(), 1025, NET_GUARANTEED), -2);
  EXPECT_EQ(Logged("Message too large (msg:1025 max:1024)"), 1);
  EXPECT_EQ(LS_NetPlayerSendMessage(1, &hugo, "x", 1, 3), -2);  // no such mode
  LS_NetSelect(&host_);
  EXPECT_GT(LS_NetServerSendMessage(0, kAll, full.data(), 1024), 0);
  EXPECT_EQ(LS_NetServerSendMessage(0, kAll, full.data(), 1025), -2);
  EXPECT_EQ(Logged("Message too large \n"), 1);
  PumpAll();
  ASSERT_EQ(Log(host_).player.size(), 2u);  // from Mia, and from "SERVER" to all
  EXPECT_EQ(Log(host_).player[0].data, full);
  ASSERT_EQ(Log(mia_).player.size(), 1u);
  EXPECT_EQ(Log(mia_).player[0].data, full);
}

TEST_F(LsNet, PumpDispatchesEventsAndDeparturesFreeRecords) {
  Open(host_);
  ASSERT_EQ(LS_NetCreateSession(32, "S", "Hugo"), 1);
  np::SetHosts("127.0.0.1:" + std::to_string(np::DiscoveryPort(host_.Transport.Object)));
  Join(mia_, "Mia");
  PumpAll();
  // "Hugo" arrived (told to "SERVER"), then "Mia" (told to both).
  EXPECT_EQ(Log(host_).serverSystem, (std::vector<std::pair<uint32_t, uint32_t>>{{Hugo(), 1}, {Mia(), 1}}));
  EXPECT_EQ(Log(host_).playerSystem, (std::vector<std::pair<uint32_t, uint32_t>>{{Mia(), 1}}));

  LS_NetSelect(&mia_);
  ASSERT_GT(LS_NetPlayerSendMessage(0, kAll, "hi", 2, NET_GUARANTEED), 0);
  PumpAll();
  auto records = [&](uint32_t sender) {
    int n = 0;
    for (const NETI_PLAYERINFO& p : host_.Neti.Players) n += p.InUse && p.SenderId == sender;
    return n;
  };
  EXPECT_EQ(records(Mia()), 2);  // to "SERVER" and to "Hugo"
  const uint32_t mia = Mia();
  LS_NetSelect(&mia_);
  ASSERT_EQ(LS_NetLeaveSession(), 1);
  PumpAll();
  EXPECT_EQ(Log(host_).serverSystem.back(), std::make_pair(mia, 2u));
  EXPECT_EQ(Log(host_).playerSystem.back(), std::make_pair(mia, 2u));
  EXPECT_EQ(records(mia), 0);
}

TEST_F(LsNet, ACallbackThatShutsDownEndsThePump) {
  Meet();
  const uint32_t hugo = Hugo();
  LS_NetSelect(&mia_);
  for (const char* m : {"one", "two"}) ASSERT_GT(LS_NetPlayerSendMessage(1, &hugo, m, 3, NET_GUARANTEED), 0);
  np::Settle();
  LS_NetSelect(&host_);
  static int calls;
  calls = 0;
  host_.Config.PlayerMessage = [](uint32_t, const void*, uint32_t) {
    ++calls;
    LS_NetShutdown();
  };
  LS_NetUpdateEvent();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(host_.Config.IsOpen, 0u);
  EXPECT_EQ(host_.Neti.Pool, nullptr);
}

TEST_F(LsNet, SendToAllIsPlain) {
  Meet(true);
  LS_NetSelect(&mia_);
  EXPECT_EQ(NET_SendToAll("car", 3, NET_PLAIN), 0x01020304);
  EXPECT_EQ(NETI_IsDelivered(0x01020304), 1);
  for (TLSNET* m : {&host_, &lea_}) {
    std::vector<RawPacket> got = Raw(*m);
    ASSERT_FALSE(got.empty());
    for (const RawPacket& p : got) EXPECT_EQ(p.bytes, Packet(2, 0x01020304, "car"));
  }
  EXPECT_EQ(NET_SendToAll("x", -1, NET_PLAIN), -2);
}

}  // namespace
