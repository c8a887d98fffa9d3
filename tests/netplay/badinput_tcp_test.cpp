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

// A connection that holds no player, whether it never made one or
// destroyed the one it had, is closed ten seconds later with a line.
TEST_F(NetplayBadTcp, AConnectionWithoutAPlayerIsClosedAfterTenSeconds) {
  for (const bool madeOne : {false, true}) {
    RawPeer p(2);
    if (madeOne) {
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
    for (std::string n; np::TakeNotice(host_, &n);) {
    }
    plat::AdvanceManualTime(np::kIdleLinkMs - 1);
    np::Settle();
    EXPECT_TRUE(p.Read()) << madeOne;
    plat::AdvanceManualTime(1);
    EXPECT_TRUE(Closed(p)) << madeOne;
    std::string said;
    EXPECT_TRUE(np::TakeNotice(host_, &said) && said.rfind("member at 127.0.0.2:", 0) == 0 &&
                said.ends_with(" closed: no player of its own for 10 s")) << said;
  }
  EXPECT_EQ(Links(), 1u);  // Mia's, which holds her player
}

}  // namespace
