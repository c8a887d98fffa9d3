// The transport under LS_Net over the local-network play service: two
// machines in one process, each with its own transport state, over
// 127.0.0.1.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "netlink/lsys_net.h"
#include "platform/netplay/netplay.h"
#include "platform/netplay/state.h"
#include "platform/window.h"
#include "shell/console.h"
#include "system/error.h"
#include "tests/netplay/netplay_fixture.h"
#include "tests/support/testenv.h"

namespace {

namespace np = plat::netplay;
constexpr uint32_t kNone = 0xFFFFFFFF;
const uint32_t* const kToAll = reinterpret_cast<const uint32_t*>(uintptr_t{0x7FFFFFFF});
const uint32_t* const kToController = reinterpret_cast<const uint32_t*>(uintptr_t{0x6FFFFFFF});

// One received packet or event, as LSYS_NetReceive gives it.
struct Packet {
  int32_t kind = 0;
  uint32_t to = 0, from = 0, size = 0;
  std::string bytes;
};

// What a player enumeration's callback saw, as "name:kind".
std::vector<std::string>& LSYSNetPlayers() {
  static std::vector<std::string> seen;
  return seen;
}

class LsysNet : public ztest::Environment {
 protected:
  void SetUp() override {
    Environment::SetUp();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    np::SetDiscoveryBase(0);
    np::SetHosts("127.0.0.1");
    LSYS_NetResetState(&host_);
    LSYS_NetResetState(&member_);
  }

  void TearDown() override {
    for (TLSYSNET* s : {&host_, &member_}) {
      LSYS_NetSelect(s);
      LSYS_NetClose();
    }
    LSYS_NetSelect(nullptr);
    np::ResetConfig();
    np::ResetTestProviders();
    Environment::TearDown();
  }

  // Selects the machine and opens its transport over provider 0.
  void Open(TLSYSNET& s, LS_NETCONFIG& config) {
    LSYS_NetSelect(&s);
    std::memset(&config, 0, sizeof config);
    config.LocalPlayerId = kNone;
    ASSERT_EQ(LSYS_NetEnumerateProviders(nullptr), 1);
    ASSERT_EQ(LSYS_NetOpen(&config), 1);
  }

  // The host machine with a session "S" and player "Hugo"; the member
  // machine joined with "Mia". Leaves the member selected.
  void Meet() {
    Open(host_, hostConfig_);
    ASSERT_EQ(LSYS_NetCreateSession(32, "S", "Hugo"), 1);
    np::SetHosts("127.0.0.1:" + std::to_string(np::DiscoveryPort(host_.Object)));
    Open(member_, memberConfig_);
    ASSERT_EQ(LSYS_NetEnumerateSessions(nullptr, 100), 1);
    ASSERT_EQ(member_.NbSessions, 1);
    ASSERT_EQ(LSYS_NetJoinSession("Mia", 0), 1);
  }

  // Everything waiting for the selected machine, in a buffer that holds it.
  static std::vector<Packet> ReceiveAll() {
    np::Settle();
    std::vector<Packet> out;
    char buf[1100];
    for (int i = 0; i < 1000; ++i) {
      Packet p;
      p.size = sizeof buf;
      p.kind = LSYS_NetReceive(&p.to, &p.from, buf, &p.size);
      if (p.kind == 0) break;
      if (p.kind == 2) p.bytes.assign(buf, p.size);
      if (p.kind == 1 && p.size == 1) p.bytes = buf;
      out.push_back(p);
    }
    return out;
  }

  TLSYSNET host_{}, member_{};
  LS_NETCONFIG hostConfig_{}, memberConfig_{};
};

TEST_F(LsysNet, DriverProvidersAndOpen) {
  EXPECT_EQ(LSYS_NetGetDriverKind(), 2);
  EXPECT_STREQ(LSYS_NetGetDriverName(), "Microsoft DirectPlay 2");
  for (int i = 0; i < 17; ++i) np::AddTestProvider(ztest::MakeGuid(static_cast<uint8_t>(0x80 + i)), "test");
  LSYS_NetSelect(&host_);
  int seen = 0;
  static int* counter;
  counter = &seen;
  ASSERT_EQ(LSYS_NetEnumerateProviders([](int32_t, const LSYS_NETPROVIDER*) { return ++*counter, 1; }), 1);
  EXPECT_EQ(seen, 16);  // the 17th and 18th are not stored
  EXPECT_EQ(host_.NbProviders, 16);
  EXPECT_STREQ(host_.Providers[0].Name, "TCP/IP local network");
  EXPECT_EQ(host_.Providers[15].Guid.Data1, 0x91908F8Eu);  // copied, not pointed at

  LS_NETCONFIG config{};
  config.Protocol = 1;  // a test provider: opens nothing
  EXPECT_EQ(LSYS_NetOpen(&config), 2);
  EXPECT_EQ(LSYS_NetClose(), 8);
  config.Protocol = 0;
  ASSERT_EQ(LSYS_NetOpen(&config), 1);
  EXPECT_EQ(config.MaxMessageSize, 1024u);
  LSYS_NetHideCursor();
  EXPECT_EQ(LSYS_NetIsCursorHidden(), 1);
  EXPECT_EQ(LSYS_NetClose(), 1);
  EXPECT_EQ(LSYS_NetIsCursorHidden(), 0);
  EXPECT_EQ(LSYS_NetClose(), 8);
}

TEST_F(LsysNet, CreateWithoutPlayerNameAndLeave) {
  Open(host_, hostConfig_);
  ASSERT_EQ(LSYS_NetCreateSession(8, "S", nullptr), 1);
  EXPECT_EQ(hostConfig_.LocalPlayerId, kNone);
  struct Row {
    uint32_t kind, id;
    std::string name;
  };
  static std::vector<Row> rows;
  rows.clear();
  hostConfig_.ControllerId = 0;
  ASSERT_EQ(LSYS_NetEnumeratePlayers([](uint32_t kind, const char* name, uint32_t id) {
              rows.push_back({kind, id, name});
              return 1;
            }),
            1);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].kind, 0x6FFFFFFFu);
  EXPECT_EQ(rows[0].name, "SERVER");
  EXPECT_EQ(hostConfig_.ControllerId, rows[0].id);
  EXPECT_EQ(LSYS_NetLeaveSession(), 1);
  EXPECT_EQ(hostConfig_.LocalPlayerId, kNone);
  EXPECT_EQ(LSYS_NetEnumeratePlayers(nullptr), 9);  // no session any more
  EXPECT_EQ(LSYS_NetLeaveSession(), 7);
}

TEST_F(LsysNet, JoinNeedsAnEnumeratedSession) {
  Open(host_, hostConfig_);
  ASSERT_EQ(LSYS_NetCreateSession(8, "S", "Hugo"), 1);
  Open(member_, memberConfig_);
  for (int32_t index : {0, -1, 100, static_cast<int32_t>(0x80000000u)}) {
    EXPECT_EQ(LSYS_NetJoinSession("Mia", index), 65535) << index;
    EXPECT_EQ(memberConfig_.LocalPlayerId, kNone);
  }
  EXPECT_EQ(np::GetCounters(member_.Object).cancelledEnumerations, 0u);
}

TEST_F(LsysNet, SessionTableHoldsAHundredAndCancelHidesTheCursor) {
  Open(member_, memberConfig_);
  np::Faults faults;
  for (int i = 0; i < 101; ++i) {
    np::SessionInfo s;
    s.application = ztest::ServiceGuid(member_.AppGuid);
    s.instance = ztest::MakeGuid(static_cast<uint8_t>(i));
    s.name = "s" + std::to_string(i);
    faults.injectedSessions.push_back(s);
  }
  faults.cancelEnumerations = 1;
  np::SetFaults(member_.Object, faults);
  while (plat::CursorCount() > -2) plat::ShowCursor(false);
  EXPECT_EQ(LSYS_NetEnumerateSessions(nullptr, 50), 0);  // cancelled
  EXPECT_EQ(plat::CursorCount(), -1);                     // shown, then hidden once again
  EXPECT_EQ(LSYS_NetIsCursorHidden(), 0);

  static int calls;
  calls = 0;
  EXPECT_EQ(LSYS_NetEnumerateSessions([](const char*, int32_t) { return ++calls, 1; }, 50), 1);
  EXPECT_EQ(calls, 100);
  EXPECT_EQ(member_.NbSessions, 100);
  EXPECT_EQ(member_.Sessions[99].Data1, 0x66656463u);
  EXPECT_EQ(LSYS_NetIsCursorHidden(), 1);
}

TEST_F(LsysNet, ControllerAndPlayersAfterJoin) {
  Meet();
  EXPECT_EQ(memberConfig_.ControllerId, 0u);
  ASSERT_EQ(LSYS_NetEnumeratePlayers(nullptr), 1);
  EXPECT_EQ(memberConfig_.ControllerId, hostConfig_.ControllerId);
  EXPECT_STREQ(LSYS_NetGetPlayerName(hostConfig_.LocalPlayerId), "Hugo");
  EXPECT_EQ(LSYS_NetGetPlayerName(4242), nullptr);
  EXPECT_EQ(std::memcmp(&memberConfig_.SessionGuid, &hostConfig_.SessionGuid, sizeof(LS_GUID)), 0);
}

// Only the host's own "SERVER" player is the controller: a player of a
// member bearing that long name (the host refuses to make one; here it is
// put straight into each machine's list) is a player like any other, on
// the host and on a member.
TEST_F(LsysNet, OnlyTheHostsServerPlayerIsTheController) {
  Meet();
  for (TLSYSNET* s : {&host_, &member_}) {
    SCOPED_TRACE(s == &host_ ? "host" : "member");
    np::detail::Player evil;
    evil.id = 0x5E5E;
    evil.shortName = "Evil";
    evil.longName = "SERVER";
    s->Object->players.push_back(evil);  // after the real one
    LSYSNetPlayers().clear();
    LSYS_NetSelect(s);
    s->Config->ControllerId = 0;
    ASSERT_EQ(LSYS_NetEnumeratePlayers([](uint32_t kind, const char* name, uint32_t) {
                LSYSNetPlayers().push_back(std::string(name) + ":" + std::to_string(kind));
                return int32_t{1};
              }),
              1);
    EXPECT_EQ(s->Config->ControllerId, hostConfig_.ControllerId);
    EXPECT_EQ(LSYSNetPlayers(), (std::vector<std::string>{"SERVER:" + std::to_string(0x6FFFFFFF), "Hugo:1", "Mia:1",
                                                           "Evil:1"}));
  }
}

TEST_F(LsysNet, ReceiveEventsAndPackets) {
  Meet();
  LSYS_NetSelect(&host_);
  std::vector<Packet> got = ReceiveAll();
  // "Hugo" arrived, told to "SERVER"; then "Mia", told to both.
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].to, hostConfig_.ControllerId);
  EXPECT_EQ(got[0].from, hostConfig_.LocalPlayerId);
  EXPECT_EQ(got[0].bytes, "Hugo");
  for (const Packet& p : got) {
    EXPECT_EQ(p.kind, 1);
    EXPECT_EQ(p.size, 1u);
  }
  for (int i : {1, 2}) {
    EXPECT_EQ(got[i].from, memberConfig_.LocalPlayerId);
    EXPECT_EQ(got[i].bytes, "Mia");
  }
  EXPECT_EQ(got[1].to + got[2].to, hostConfig_.ControllerId + hostConfig_.LocalPlayerId);

  LSYS_NetSelect(&member_);
  ASSERT_EQ(LSYS_NetEnumeratePlayers(nullptr), 1);  // learns the controller
  ASSERT_EQ(LSYS_NetSend(memberConfig_.LocalPlayerId, 0, kToController, "ctl", 3), 1);
  const uint32_t hugo = hostConfig_.LocalPlayerId;
  ASSERT_EQ(LSYS_NetSend(memberConfig_.LocalPlayerId, 1, &hugo, "one", 3), 1);
  LSYS_NetSelect(&host_);
  got = ReceiveAll();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].kind, 2);
  EXPECT_EQ(got[0].to, hostConfig_.ControllerId);
  EXPECT_EQ(got[0].from, memberConfig_.LocalPlayerId);
  EXPECT_EQ(got[0].bytes, "ctl");
  EXPECT_EQ(got[1].to, hugo);

  LSYS_NetSelect(&member_);
  ASSERT_EQ(LSYS_NetLeaveSession(), 1);
  LSYS_NetSelect(&host_);
  got = ReceiveAll();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].kind, 1);
  EXPECT_EQ(got[0].size, 2u);  // left
}

TEST_F(LsysNet, ReceiveWithoutSessionOrObjectIsQuiet) {
  LSYS_NetSelect(&host_);
  uint32_t to = 0, from = 0, size = 16;
  char buf[16];
  EXPECT_EQ(LSYS_NetReceive(&to, &from, buf, &size), 0);
  Open(host_, hostConfig_);
  EXPECT_EQ(LSYS_NetReceive(&to, &from, buf, &size), 0);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(LsysNet, PacketTooLargeForTheBufferIsDroppedNotJammed) {
  Meet();
  LSYS_NetSelect(&host_);
  ReceiveAll();  // the arrival events
  LSYS_NetSelect(&member_);
  const uint32_t hugo = hostConfig_.LocalPlayerId;
  const std::string big(600, 'b');
  ASSERT_EQ(LSYS_NetSend(memberConfig_.LocalPlayerId, 1, &hugo, big.data(), 600), 1);
  ASSERT_EQ(LSYS_NetSend(memberConfig_.LocalPlayerId, 1, &hugo, big.data(), 600), 1);
  ASSERT_EQ(LSYS_NetSend(memberConfig_.LocalPlayerId, 1, &hugo, "next", 4), 1);
  LSYS_NetSelect(&host_);
  ASSERT_EQ(LSYS_NetSend(hostConfig_.ControllerId, 1, &hugo, "x", 1), 1);  // a third, same-instance
  np::Settle();
  SB_ClearPrintedLines();
  std::vector<Packet> got;
  for (int i = 0; i < 10; ++i) {
    Packet p;
    char buf[512];
    p.size = sizeof buf;
    p.kind = LSYS_NetReceive(&p.to, &p.from, buf, &p.size);
    if (p.kind == 2) p.bytes.assign(buf, p.size);
    got.push_back(p);
  }
  // A line, not a box: the second packet in the same second is counted.
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(SB_PrintedLines(), (std::vector<std::string>{"[SYS ][PACKET OF 600 BYTES FROM " +
                                                         std::to_string(memberConfig_.LocalPlayerId) +
                                                         " OVER THE 512-BYTE BUFFER DROPPED]"}));
  std::vector<std::string> packets;
  for (const Packet& p : got)
    if (p.kind == 2) packets.push_back(p.bytes);
  EXPECT_EQ(packets, (std::vector<std::string>{"next", "x"}));
}

TEST_F(LsysNet, BusyIsRetriedAndAFailureSkipsTheRest) {
  Meet();
  LSYS_NetSelect(&host_);
  uint32_t lea = 0;
  ASSERT_EQ(np::CreatePlayer(host_.Object, "Lea", "CLIENT", &lea), np::kOk);
  ReceiveAll();
  LSYS_NetSelect(&member_);
  ReceiveAll();
  np::Faults faults;
  faults.busySends = 3;
  np::SetFaults(member_.Object, faults);
  const uint32_t mia = memberConfig_.LocalPlayerId;
  const uint32_t three[] = {hostConfig_.ControllerId, hostConfig_.LocalPlayerId, lea};
  ASSERT_EQ(LSYS_NetSend(mia, 1, three, "busy", 4), 1);
  EXPECT_EQ(np::GetCounters(member_.Object).busyAnswers, 3u);

  faults.busySends = 0;
  faults.failSend = 2;
  np::SetFaults(member_.Object, faults);
  EXPECT_EQ(LSYS_NetSend(mia, 3, three, "fail", 4), -2);
  LSYS_NetSelect(&host_);
  std::vector<std::pair<uint32_t, std::string>> got;
  for (const Packet& p : ReceiveAll()) got.push_back({p.to, p.bytes});
  EXPECT_EQ(got, (decltype(got){{three[0], "busy"}, {three[0], "fail"}}));
}

TEST_F(LsysNet, SendToAll) {
  Meet();
  ASSERT_EQ(LSYS_NetSend(memberConfig_.LocalPlayerId, 0, kToAll, "all", 3), 1);
  LSYS_NetSelect(&host_);
  int packets = 0;
  for (const Packet& p : ReceiveAll()) packets += p.kind == 2;
  EXPECT_EQ(packets, 2);
}

TEST_F(LsysNet, ParseGuid) {
  LSYS_NetSelect(&host_);
  const struct {
    const char* text;
    std::vector<uint8_t> bytes;  // empty: the identifier is kept
  } rows[] = {
      {"01234567-89ab-cdef-0011223344556677",
       {0x67, 0x45, 0x23, 0x01, 0xab, 0x89, 0xef, 0xcd, 0x33, 0x22, 0x11, 0x00, 0x77, 0x66, 0x55, 0x44}},
      {"a-B-c-0000000100000002", {0x0a, 0, 0, 0, 0x0b, 0, 0x0c, 0, 1, 0, 0, 0, 2, 0, 0, 0}},
      // The groups are 8 characters each: a '-' inside one ends its number.
      {"DEADBEEF-CAFE-F00D-1234-56789abcdef0",
       {0xef, 0xbe, 0xad, 0xde, 0xfe, 0xca, 0x0d, 0xf0, 0x34, 0x12, 0, 0, 0xef, 0xcd, 0xab, 0x89}},
      {"", {}},
      {"0123", {}},
      {"01234567-89ab-cdef-001122334455667", {}},   // 15 characters left
      {"01234567-89abc-def0-0011223344556677", {}},  // a field too long for its 16 bits
      {"0123456789-ab-cdef-0011223344556677", {}},   // and for its 32
      {"01234567-89ab-cdef-zz11223344556677", {}},
      {"g1234567-89ab-cdef-0011223344556677", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    LSYS_NetResetState(&host_);
    const int32_t replaced = LSYS_NetParseGuid(row.text);
    const np::Guid parsed = ztest::ServiceGuid(host_.AppGuid);
    const uint8_t* bytes = parsed.bytes;
    if (row.bytes.empty()) {
      EXPECT_EQ(replaced, 0);
      EXPECT_EQ(std::memcmp(&host_.AppGuid, &LSYS_NetBuiltinAppGuid, sizeof(LS_GUID)), 0);
    } else {
      EXPECT_EQ(replaced, 1);
      EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 16), row.bytes);
    }
  }
}

TEST_F(LsysNet, CursorAroundTheServiceWaits) {
  LSYS_NetSelect(&host_);
  plat::ShowCursor(false);
  plat::ShowCursor(false);
  ASSERT_EQ(plat::CursorCount(), -2);
  LSYS_NetShowCursor();
  EXPECT_EQ(plat::CursorCount(), 0);
  LSYS_NetHideCursor();
  LSYS_NetHideCursor();
  EXPECT_EQ(plat::CursorCount(), -1);
  LSYS_NetShowCursor();  // hidden once: no longer shown
  EXPECT_EQ(plat::CursorCount(), -1);

  LSYS_NetResetState(&host_);
  plat::ShowCursor(false);
  plat::SetKeyState(27, true);  // Escape stops the showing early
  LSYS_NetShowCursor();
  EXPECT_EQ(plat::CursorCount(), -1);
  plat::SetKeyState(27, false);
}

}  // namespace
