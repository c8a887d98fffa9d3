// Bad datagrams to a local-network instance, each dropped and counted; a
// flood between two calls; malformed and foreign discovery queries and
// answers.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "platform/netplay/state.h"
#include "tests/netplay/netplay_fixture.h"
#include "tests/netplay/rawpeer.h"

namespace {

namespace np = plat::netplay;
namespace wire = plat::netplay::wire;
using ztest::Got;
using ztest::RawPeer;
using Bytes = std::vector<uint8_t>;

class NetplayBadUdp : public ztest::NetplayMeeting {
 protected:
  void SetUp() override {
    NetplayMeeting::SetUp();
    // The raw peer joins for real, its datagrams coming from its UDP socket.
    ASSERT_TRUE(raw_.Connect(np::ListenPort(host_)));
    wire::Frame f;
    f.tag = wire::kHello;
    f.application = kApp;
    f.instance = host_->session;
    f.port = raw_.UdpPort();
    raw_.Send(f);
    f = {};
    f.tag = wire::kCreatePlayer;
    f.request = 1;
    f.shortName = "Raw";
    raw_.Send(f);
    np::Settle();
    raw_.Read();
    for (const wire::Frame& g : raw_.Frames())
      if (g.tag == wire::kPlayerAdded && g.request == 1) rawId_ = g.id;
    ASSERT_NE(rawId_, 0u);
    Drain(host_);
  }

  Bytes Datagram(uint32_t from, uint32_t to, size_t size = 1) const {
    Bytes out;
    wire::EncodeData({host_->sessionKey, from, to}, Bytes(size, 'd').data(), size, &out);
    return out;
  }

  int Received() {
    int n = 0;
    for (const Got& g : Drain(host_)) n += g.from != 0;
    return n;
  }

  std::vector<std::string> Notices() {
    std::vector<std::string> out;
    for (std::string n; np::TakeNotice(host_, &n);) out.push_back(n);
    return out;
  }

  uint32_t rawId_ = 0;
  RawPeer raw_;
};

TEST_F(NetplayBadUdp, EachBadDatagramIsDroppedAndCounted) {
  const Bytes good = Datagram(rawId_, hugo_);
  auto with = [&](size_t at, uint8_t value) {
    Bytes b = good;
    b[at] = value;
    return b;
  };
  using C = uint32_t np::Counters::*;
  const std::string at = "from 127.0.0.1:" + std::to_string(raw_.UdpPort());
  const struct {
    const char* what;
    Bytes bytes;
    C counter;  // null: delivered
    std::string says;  // the line for the game's log
  } rows[] = {
      {"a good one", good, nullptr, ""},
      {"shorter than the header", Bytes(good.begin(), good.begin() + 10), &np::Counters::badDatagrams,
       "malformed datagram of 10 bytes " + at + " refused"},
      {"over the maximum", Datagram(rawId_, hugo_, np::kMaxPacket + 1), &np::Counters::badDatagrams,
       "datagram of 1048 bytes " + at + " refused: a packet holds at most 1029 bytes"},
      {"wrong magic", with(0, 0x00), &np::Counters::badDatagrams, "malformed datagram of 19 bytes " + at + " refused"},
      {"wrong version", with(4, 2), &np::Counters::badDatagrams, "malformed datagram of 19 bytes " + at + " refused"},
      {"wrong session", with(6, static_cast<uint8_t>(good[6] ^ 2)), &np::Counters::badDatagrams,
       "datagram of another session " + at + " refused"},
      {"a sender the address does not own", Datagram(mia_, hugo_), &np::Counters::spoofedSenders,
       "datagram from player " + std::to_string(mia_) + " " + at + ", an address that does not own it, refused"},
      {"a sender that is the host's own", Datagram(server_, hugo_), &np::Counters::spoofedSenders,
       "datagram from player " + std::to_string(server_) + " " + at + ", an address that does not own it, refused"},
      {"a receiver that is not local", Datagram(rawId_, mia_), &np::Counters::notLocal,
       "datagram for player " + std::to_string(mia_) + ", who is not here, " + at + " refused"},
      {"an unknown sender", Datagram(4242, hugo_), &np::Counters::unknownSenders,
       "datagram from unknown player 4242 " + at + " refused"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    plat::AdvanceManualTime(1000);  // a second apart: each is said
    const np::Counters before = np::GetCounters(host_);
    raw_.SendTo(np::DataPort(host_), row.bytes);
    EXPECT_EQ(Received(), row.counter ? 0 : 1);
    if (row.counter) {
      EXPECT_EQ(np::GetCounters(host_).*row.counter, before.*row.counter + 1);
    }
    EXPECT_EQ(Notices(), row.says.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.says});
  }
  // A departed sender.
  wire::Frame gone;
  gone.tag = wire::kDestroyPlayer;
  gone.id = rawId_;
  raw_.Send(gone);
  np::Settle();
  const uint32_t unknown = np::GetCounters(host_).unknownSenders;
  raw_.SendTo(np::DataPort(host_), good);
  EXPECT_EQ(Received(), 0);
  EXPECT_EQ(np::GetCounters(host_).unknownSenders, unknown + 1);
}

// Every size from an empty datagram to the largest UDP carries, the
// header cut short below its 18 bytes: those that hold a packet of at
// most the largest size are taken, the others refused, each kind said once
// and then counted within the second.
TEST_F(NetplayBadUdp, EverySizeIsTakenOrRefusedAndSaidOnceASecond) {
  const Bytes header = Datagram(rawId_, hugo_, 0);
  Notices();
  // Each size up to 2,100, then steps of 997 ending at 65,507.
  auto next = [](size_t n) { return n < 2100 || n == 65507 ? n + 1 : std::min<size_t>(n + 997, 65507); };
  int small = 0, large = 0, i = 0;
  for (size_t n = 0; n <= 65507; n = next(n), ++i) {
    Bytes d(n, 'p');
    std::copy_n(header.begin(), std::min(n, header.size()), d.begin());
    raw_.SendTo(np::DataPort(host_), d);
    small += n < header.size();
    large += n > header.size() + np::kMaxPacket;
    if (n > 4096 || i % 32 == 31) np::Settle();  // within the socket's buffer
  }
  EXPECT_EQ(Received(), static_cast<int>(np::kMaxPacket) + 1);
  const std::string at = "from 127.0.0.1:" + std::to_string(raw_.UdpPort());
  EXPECT_EQ(Notices(), (std::vector<std::string>{"malformed datagram of 0 bytes " + at + " refused",
                                                 "datagram of 1048 bytes " + at +
                                                     " refused: a packet holds at most 1029 bytes"}));
  plat::AdvanceManualTime(1000);
  np::Settle();
  EXPECT_EQ(Notices(), (std::vector<std::string>{
                           std::to_string(small - 1) + " more malformed datagrams from 127.0.0.1 refused in the last second",
                           std::to_string(large - 1) + " more oversized datagrams from 127.0.0.1 refused in the last second"}));
  ASSERT_EQ(np::Send(member_, mia_, hugo_, "after", 5), np::kOk);
  EXPECT_EQ(Received(), 1);
}

TEST_F(NetplayBadUdp, FloodBetweenTwoCallsKeepsMemoryBounded) {
  // 10,000 datagrams arrive while the host services but nobody receives.
  const Bytes good = Datagram(rawId_, hugo_, 100);
  for (int burst = 0; burst < 50; ++burst) {
    for (int i = 0; i < 200; ++i) raw_.SendTo(np::DataPort(host_), good);
    np::Settle();
  }
  EXPECT_LE(host_->queue.size(), np::detail::kMaxQueue);
  EXPECT_GT(np::GetCounters(host_).queueOverflows, 0u);
  const int got = Received();
  EXPECT_GT(got, 0);
  EXPECT_LE(got, static_cast<int>(np::detail::kMaxQueue));
  ASSERT_EQ(np::Send(member_, mia_, hugo_, "after", 5), np::kOk);
  EXPECT_EQ(Received(), 1);
}

TEST_F(NetplayBadUdp, MalformedOrForeignQueriesGetNoAnswer) {
  wire::Query q;
  q.application = kApp;
  const Bytes query = wire::EncodeQuery(q);
  q.application = ztest::MakeGuid(0x90);
  Bytes wrongMagic = query;
  wrongMagic[1] ^= 0xFF;
  wire::Answer a;
  a.tcpPort = 1;
  Bytes longer = query;
  longer.push_back(0);
  const Bytes rows[] = {Bytes(query.begin(), query.begin() + 5), wrongMagic, wire::EncodeQuery(q),
                        wire::EncodeAnswer(a), Bytes(2000, 0x5A), longer};
  const uint32_t before = np::GetCounters(host_).badDiscovery;
  for (const Bytes& bytes : rows) {
    raw_.SendTo(np::DiscoveryPort(host_), bytes);
    np::Settle();
    EXPECT_FALSE(raw_.Heard());
  }
  EXPECT_EQ(np::GetCounters(host_).badDiscovery, before + 6);
  raw_.SendTo(np::DiscoveryPort(host_), query);  // the good one is answered
  np::Settle();
  EXPECT_TRUE(raw_.Heard());
}

// A flood of good queries from one address gets one answer a second; an
// instance enumerating again within the second still finds the session
// from the answer it heard.
TEST_F(NetplayBadUdp, AQuerierIsAnsweredOnceASecond) {
  wire::Query q;
  q.application = kApp;
  const Bytes query = wire::EncodeQuery(q);
  const uint32_t before = np::GetCounters(host_).throttledQueries;
  auto answers = [&](int queries) {
    for (int i = 0; i < queries; ++i) raw_.SendTo(np::DiscoveryPort(host_), query);
    np::Settle();
    int heard = 0;
    while (raw_.Heard()) ++heard;
    return heard;
  };
  EXPECT_EQ(answers(50), 1);
  plat::AdvanceManualTime(np::kAnswerEveryMs - 1);
  EXPECT_EQ(answers(5), 0);
  plat::AdvanceManualTime(1);
  EXPECT_EQ(answers(5), 1);
  EXPECT_EQ(np::GetCounters(host_).throttledQueries, before + 58);
  np::Instance* m = Make();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Enumerate(m, 100).size(), 1u) << i;  // 300 ms: one answer heard
}

// A host busy for a while reads the queries queued meanwhile in order and
// answers the oldest, once a second: the querier counts that answer even
// when it names an enumeration already over, since the host will not
// answer the newer ones within the second.
TEST_F(NetplayBadUdp, AnAnswerToAnEarlierQueryStillCounts) {
  struct Row {
    const char* what;
    int unanswered;  // enumerations ended before the host answers the first
  };
  for (const Row& row : {Row{"after its enumeration ended", 1}, Row{"after a later enumeration asked", 2}}) {
    SCOPED_TRACE(row.what);
    const int fake = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const sockaddr_in any = ztest::LoopbackAt(0);
    ASSERT_EQ(bind(fake, reinterpret_cast<const sockaddr*>(&any), sizeof any), 0);
    np::SetHosts("127.0.0.1:" + std::to_string(ztest::PortOf(fake)));
    np::Instance* m = Make();
    for (int i = 0; i < row.unanswered; ++i) EXPECT_EQ(Enumerate(m, 100).size(), 0u);  // nothing answered in time
    uint8_t buf[64];
    sockaddr_in from{};
    socklen_t len = sizeof from;
    const ssize_t n = recvfrom(fake, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);  // the oldest
    wire::Query q;
    ASSERT_TRUE(n > 0 && wire::DecodeQuery(buf, static_cast<size_t>(n), &q));
    wire::Answer a;
    a.nonce = q.nonce;
    a.application = kApp;
    a.instance = ztest::MakeGuid(7);
    a.tcpPort = 9;
    const Bytes late = wire::EncodeAnswer(a);
    sendto(fake, late.data(), late.size(), 0, reinterpret_cast<const sockaddr*>(&from), sizeof from);
    np::Settle();
    const std::vector<np::SessionInfo> found = Enumerate(m, 100);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].instance, a.instance);
    plat::AdvanceManualTime(np::kAnswerEveryMs);
    EXPECT_EQ(Enumerate(m, 100).size(), 0u);  // a second on, it is asked again
    close(fake);
  }
}

TEST_F(NetplayBadUdp, ForeignMalformedAndThousandAnswersAreBounded) {
  // A fake host: answers the first query with 1,000 sessions and a few bad
  // answers, from another thread while the enumeration waits.
  const int fake = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const sockaddr_in any = ztest::LoopbackAt(0);
  ASSERT_EQ(bind(fake, reinterpret_cast<const sockaddr*>(&any), sizeof any), 0);
  np::SetHosts("127.0.0.1:" + std::to_string(ztest::PortOf(fake)));
  std::thread host([fake, app = kApp] {
    pollfd p{fake, POLLIN, 0};
    if (poll(&p, 1, 2000) <= 0) return;
    uint8_t buf[64];
    sockaddr_in from{};
    socklen_t len = sizeof from;
    const ssize_t n = recvfrom(fake, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
    wire::Query q;
    if (n <= 0 || !wire::DecodeQuery(buf, static_cast<size_t>(n), &q)) return;
    auto answer = [&](const wire::Answer& a, size_t cut) {
      Bytes b = wire::EncodeAnswer(a);
      b.resize(b.size() - cut);
      sendto(fake, b.data(), b.size(), 0, reinterpret_cast<const sockaddr*>(&from), sizeof from);
    };
    wire::Answer a;
    a.nonce = q.nonce;
    a.application = app;
    a.tcpPort = 9;
    for (int i = 0; i < 1030; ++i) {
      a.instance = ztest::MakeGuid(0);
      a.instance.bytes[0] = static_cast<uint8_t>(i);
      a.instance.bytes[1] = static_cast<uint8_t>(i >> 8);
      a.application = i % 100 == 1 ? ztest::MakeGuid(0x90) : app;  // a few foreign
      a.nonce = i % 100 == 2 ? q.nonce + 1 : q.nonce;              // or answering another query
      answer(a, i % 100 == 3 ? 3 : 0);                              // or cut
    }
  });
  np::Instance* m = Make();
  const std::vector<np::SessionInfo> found = Enumerate(m, 300);
  host.join();
  close(fake);
  std::set<int> distinct;
  for (const np::SessionInfo& s : found) {
    EXPECT_EQ(s.application, kApp);
    const int i = s.instance.bytes[0] | s.instance.bytes[1] << 8;
    EXPECT_TRUE(i % 100 != 1 && i % 100 != 2 && i % 100 != 3) << i;
    EXPECT_TRUE(distinct.insert(i).second) << i;
  }
  EXPECT_GT(found.size(), 0u);
  EXPECT_LE(found.size(), 256u);
  EXPECT_GT(np::GetCounters(m).badDiscovery, 0u);
  EXPECT_EQ(np::JoinSession(m, kApp, found[0].instance), np::kErrNoHost);  // nobody listens there
}

}  // namespace
