// Bad TCP input to a local-network host from a raw socket: each bad frame
// closes that connection only (its players destroyed for the others) while
// the session goes on, with memory bounded.
#include <gtest/gtest.h>

#include <memory>

#include "platform/netplay/state.h"
#include "tests/netplay/netplay_fixture.h"
#include "tests/netplay/rawpeer.h"

namespace {

namespace np = plat::netplay;
namespace wire = plat::netplay::wire;
using ztest::Got;
using ztest::RawPeer;
using Bytes = std::vector<uint8_t>;

class NetplayBadTcp : public ztest::NetplayMeeting {
 protected:
  wire::Frame Hello(uint16_t udpPort) const {
    wire::Frame f;
    f.tag = wire::kHello;
    f.application = kApp;
    f.instance = host_->session;
    f.port = udpPort;
    return f;
  }

  // Joins with the raw peer and creates a player: its id.
  uint32_t RawJoin(RawPeer& p) {
    EXPECT_TRUE(p.Connect(np::ListenPort(host_)));
    p.Send(Hello(p.UdpPort()));
    wire::Frame create;
    create.tag = wire::kCreatePlayer;
    create.request = 1;
    create.shortName = "Raw";
    create.longName = "CLIENT";
    p.Send(create);
    np::Settle();
    p.Read();
    for (const wire::Frame& f : p.Frames())
      if (f.tag == wire::kPlayerAdded && f.request == 1) return f.id;
    ADD_FAILURE() << "no player for the raw peer";
    return 0;
  }

  // True once the host has closed the raw peer's connection (1 s at most).
  static bool Closed(RawPeer& p) {
    for (int i = 0; i < 100; ++i) {
      np::Settle();
      if (!p.Read()) return true;
    }
    return false;
  }

  size_t Links() const { return host_->members.size(); }

  std::vector<std::string> Notices() {
    std::vector<std::string> out;
    for (std::string n; np::TakeNotice(host_, &n);) out.push_back(n);
    return out;
  }

  // Whether the host's frames to the raw peer hold a refusal of that reason.
  static bool RefusedFor(RawPeer& p, uint8_t reason) {
    p.Read();
    for (const wire::Frame& f : p.Frames())
      if (f.tag == wire::kRefuse && f.reason == reason) return true;
    return false;
  }

  // The session still works: a message from "Mia" reaches "Hugo".
  void StillWorks() {
    ASSERT_EQ(np::Send(member_, mia_, hugo_, "ok", 2), np::kOk);
    bool arrived = false;
    for (const Got& g : Drain(host_)) arrived = arrived || g.data == "ok";
    EXPECT_TRUE(arrived);
  }

};

TEST_F(NetplayBadTcp, HelloCutAtEveryByte) {
  const Bytes hello = wire::EncodeFrame(Hello(1234));
  for (size_t cut = 1; cut < hello.size(); ++cut) {
    RawPeer p;
    ASSERT_TRUE(p.Connect(np::ListenPort(host_)));
    p.Send(Bytes(hello.begin(), hello.begin() + static_cast<long>(cut)));
    p.Hang();
    EXPECT_TRUE(Closed(p)) << cut;
    EXPECT_EQ(Links(), 1u) << cut;
  }
  StillWorks();
}

Bytes Word(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST_F(NetplayBadTcp, EachBadFrameClosesThatConnectionOnly) {
  wire::Frame destroyHugo;
  destroyHugo.tag = wire::kDestroyPlayer;
  destroyHugo.id = hugo_;
  wire::Frame ready;
  ready.tag = wire::kReady;
  wire::Frame create;
  create.tag = wire::kCreatePlayer;
  create.shortName = "early";
  const struct {
    const char* what;
    bool joined;  // sent after the handshake and a player of its own
    Bytes bytes;
  } rows[] = {
      {"length 0", true, Word(0)},
      {"length 4097", true, Cat({Word(4097), Bytes(64, 0)})},
      {"length 2^32-1", true, Word(0xFFFFFFFF)},
      {"unknown tag", true, {1, 0, 0, 0, 0x7F}},
      {"name over 255 bytes", true, Cat({Word(265), {wire::kCreatePlayer}, Word(2), {0, 1}, Bytes(256, 'n'), {0, 0}})},
      {"fields past the frame", true, Cat({Word(5), {wire::kCreatePlayer}, Word(2)})},
      {"another member's player", true, wire::EncodeFrame(destroyHugo)},
      {"a second join", true, wire::EncodeFrame(Hello(1234))},
      {"a host's frame", true, wire::EncodeFrame(ready)},
      {"a creation before the handshake", false, wire::EncodeFrame(create)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    RawPeer p;
    const np::Counters before = np::GetCounters(host_);
    uint32_t raw = 0;
    if (row.joined) {
      raw = RawJoin(p);
      Drain(member_);
    } else {
      ASSERT_TRUE(p.Connect(np::ListenPort(host_)));
    }
    p.Send(row.bytes);
    EXPECT_TRUE(Closed(p));
    EXPECT_EQ(np::GetCounters(host_).droppedLinks, before.droppedLinks + 1);
    EXPECT_EQ(Links(), 1u);
    if (row.joined) {
      EXPECT_GE(WaitEvent(member_, np::kSysDestroyPlayer, raw, 1000), 0);
    }
    char name[256];
    EXPECT_EQ(np::GetPlayerName(host_, hugo_, name, nullptr), np::kOk);
    StillWorks();
  }
}

TEST_F(NetplayBadTcp, SilentHandshakeIsDroppedAfterFiveSeconds) {
  RawPeer p;
  ASSERT_TRUE(p.Connect(np::ListenPort(host_)));
  np::Settle();
  EXPECT_EQ(Links(), 2u);
  plat::AdvanceManualTime(4999);
  np::Settle();
  EXPECT_TRUE(p.Read());
  plat::AdvanceManualTime(1);
  EXPECT_TRUE(Closed(p));
  EXPECT_EQ(Links(), 1u);
}

TEST_F(NetplayBadTcp, HundredConnectionsAtOnce) {
  std::vector<std::unique_ptr<RawPeer>> raws;
  for (int i = 0; i < 100; ++i) {
    raws.push_back(std::make_unique<RawPeer>(static_cast<uint8_t>(2 + i)));  // a hundred machines
    ASSERT_TRUE(raws.back()->Connect(np::ListenPort(host_)));
  }
  np::Settle();
  EXPECT_EQ(Links(), 101u);
  uint32_t zoe = 0;
  Member("S", "Zoe", &zoe);  // a real member still gets in
  EXPECT_GE(WaitEvent(host_, np::kSysCreatePlayer, zoe, 1000), 0);
  plat::AdvanceManualTime(5000);
  np::Settle();
  EXPECT_EQ(Links(), 2u);
  for (auto& r : raws) EXPECT_TRUE(Closed(*r));
  for (const auto& link : host_->members) EXPECT_LE(link->in.size(), wire::kMaxFrame + 4);
  StillWorks();
}

// One machine keeps four connections: two copies of the game, each once
// more while a connection it left is closed. A fifth is told at once that
// the session is full, said once and then counted; other machines, and a
// real member, are not held up.
TEST_F(NetplayBadTcp, OneAddressKeepsFourConnectionsAndLearnsAtOnceOfTheFifth) {
  Notices();
  std::vector<std::unique_ptr<RawPeer>> raws;
  for (int i = 0; i < 6; ++i) {
    raws.push_back(std::make_unique<RawPeer>(2));
    ASSERT_TRUE(raws.back()->Connect(np::ListenPort(host_)));
  }
  np::Settle();
  EXPECT_EQ(Links(), 1u + np::kMaxLinksPerAddress);
  for (size_t i = 0; i < raws.size(); ++i) {
    const bool kept = i < np::kMaxLinksPerAddress;
    EXPECT_EQ(RefusedFor(*raws[i], wire::kReasonFull), !kept) << i;
    if (!kept) {
      EXPECT_TRUE(Closed(*raws[i])) << i;
    }
  }
  EXPECT_EQ(np::GetCounters(host_).refusedLinks, 2u);
  const std::vector<std::string> said = Notices();
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0].rfind("connection from 127.0.0.2:", 0), 0u) << said[0];
  EXPECT_NE(said[0].find(" refused: that address holds the 4 connections one machine may open"), std::string::npos);
  plat::AdvanceManualTime(1000);
  np::Settle();
  EXPECT_EQ(Notices(), (std::vector<std::string>{"1 more connections past the limit from 127.0.0.2 refused in the last second"}));
  // Another machine gets in; on 127.0.0.1, Mia's copy and three raw peers
  // fill that address, and a further copy learns it at once.
  RawPeer other(3);
  ASSERT_TRUE(other.Connect(np::ListenPort(host_)));
  std::vector<std::unique_ptr<RawPeer>> local;
  for (int i = 0; i < 3; ++i) {
    local.push_back(std::make_unique<RawPeer>(1));
    ASSERT_TRUE(local.back()->Connect(np::ListenPort(host_)));
  }
  np::Settle();
  EXPECT_EQ(Links(), 9u);
  np::Instance* late = Make();
  const std::vector<np::SessionInfo> found = Enumerate(late);
  ASSERT_EQ(found.size(), 1u);
  const uint32_t start = plat::TickMs();
  EXPECT_EQ(np::JoinSession(late, kApp, found[0].instance), np::kErrSessionFull);
  EXPECT_LT(plat::TickMs() - start, 1000u);
  StillWorks();
}

// A connection that holds no player, whether it never made one or
// destroyed the one it had, is closed after ten seconds with a line; one
// with a player stays.
TEST_F(NetplayBadTcp, AConnectionWithoutAPlayerIsClosedAfterTenSeconds) {
  const struct {
    const char* what;
    bool madeOne;
  } rows[] = {{"only its hello", false}, {"its player destroyed", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    RawPeer p(2);
    if (row.madeOne) {
      wire::Frame gone;
      gone.tag = wire::kDestroyPlayer;
      gone.id = RawJoin(p);
      plat::AdvanceManualTime(5000);  // the ten seconds run from its departure
      np::Settle();
      p.Send(gone);
    } else {
      ASSERT_TRUE(p.Connect(np::ListenPort(host_)));
      p.Send(Hello(p.UdpPort()));
    }
    np::Settle();
    Notices();
    const uint32_t idle = np::GetCounters(host_).idleLinks;
    plat::AdvanceManualTime(np::kIdleLinkMs - 1);
    np::Settle();
    EXPECT_TRUE(p.Read());
    EXPECT_TRUE(Notices().empty());
    plat::AdvanceManualTime(1);
    EXPECT_TRUE(Closed(p));
    EXPECT_EQ(np::GetCounters(host_).idleLinks, idle + 1);
    const std::vector<std::string> said = Notices();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].rfind("member at 127.0.0.2:", 0), 0u) << said[0];
    EXPECT_NE(said[0].find(" closed: no player of its own for 10 s"), std::string::npos) << said[0];
    EXPECT_EQ(Links(), 1u);  // Mia's, which holds her player
  }
  StillWorks();
}

// A host that sends a member a bad frame is lost to it, said once for the
// member's log.
TEST_F(NetplayBadTcp, AHostBreakingTheProtocolIsLostWithALine) {
  const struct {
    const char* what;
    Bytes bytes;
    const char* says;
  } rows[] = {
      {"an unknown tag", {1, 0, 0, 0, 0x7F}, " sent a malformed frame: connection closed"},
      {"a member's frame", wire::EncodeFrame(Hello(1234)), " sent a frame out of turn: connection closed"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    np::Instance* m = Member("S", "Zed");
    np::Settle();
    np::detail::Link& link = *host_->members.back();
    link.out.insert(link.out.end(), row.bytes.begin(), row.bytes.end());
    np::detail::FlushLink(link);
    np::Settle();
    uint32_t id = 0;
    EXPECT_EQ(np::CreatePlayer(m, "Again", "CLIENT", &id), np::kErrNoSession);  // the host is lost
    std::string said;
    ASSERT_TRUE(np::TakeNotice(m, &said));
    EXPECT_EQ(said, "host at 127.0.0.1:" + std::to_string(np::ListenPort(host_)) + row.says);
    Forget(m);
  }
  StillWorks();
}

}  // namespace
