// What the local-network play service's tests share: instances made and
// released per test, hosts whose ephemeral discovery ports form the host
// list (so nothing is sent beyond 127.0.0.1), enumeration and join in one
// step, and receiving everything waiting.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "net/types.h"
#include "platform/clock.h"
#include "platform/netplay/netplay.h"

namespace ztest {

namespace np = plat::netplay;

// Set before any test runs: enumeration asks 127.0.0.1 only and hosts take
// ephemeral discovery ports, whatever a test forgets to set, so nothing is
// ever sent beyond loopback.
inline const bool kLoopbackOnly = [] {
  setenv("ZENTROVA_NET_HOSTS", "127.0.0.1", 1);
  setenv("ZENTROVA_NET_PORT", "0", 1);
  unsetenv("ZENTROVA_NET_FAULTS");
  return true;
}();

inline np::Guid MakeGuid(uint8_t first) {
  np::Guid g;
  for (int i = 0; i < 16; ++i) g.bytes[i] = static_cast<uint8_t>(first + i);
  return g;
}

// The game's identifier as the service's 16 bytes, fields little-endian.
inline np::Guid ServiceGuid(const LS_GUID& g) {
  np::Guid out;
  for (int i = 0; i < 4; ++i) out.bytes[i] = static_cast<uint8_t>(g.Data1 >> (8 * i));
  for (int i = 0; i < 2; ++i) out.bytes[4 + i] = static_cast<uint8_t>(g.Data2 >> (8 * i));
  for (int i = 0; i < 2; ++i) out.bytes[6 + i] = static_cast<uint8_t>(g.Data3 >> (8 * i));
  for (int i = 0; i < 8; ++i) out.bytes[8 + i] = g.Data4[i];
  return out;
}

// A received message or system event.
struct Got {
  uint32_t from = 0, to = 0;
  uint32_t type = 0;  // the system event's, 0 for a player message
  uint32_t player = 0;
  std::string name, longName;
  std::string data;
};

class NetplayTest : public ::testing::Test {
 protected:
  const np::Guid kApp = MakeGuid(0x40);

  void SetUp() override {
    plat::UseManualClock(true);
    plat::SetManualTime(1000);
    np::SetDiscoveryBase(0);
    np::SetHosts("127.0.0.1");
  }

  void TearDown() override {
    for (np::Instance* in : made_) np::Release(in);
    made_.clear();
    np::ResetConfig();
    np::ResetTestProviders();
    plat::UseManualClock(false);
  }

  np::Instance* Make() {
    np::Instance* in = nullptr;
    EXPECT_EQ(np::Create(np::kLocalNetworkProvider, &in), np::kOk);
    if (in) made_.push_back(in);
    return in;
  }

  void Forget(np::Instance* in) {
    np::Release(in);
    std::erase(made_, in);
  }

  // A new instance hosting a session; its discovery port joins the host list.
  np::Instance* Host(const char* name, uint32_t maxPlayers = 0, const np::Guid* app = nullptr) {
    np::Instance* in = Make();
    np::Guid id;
    EXPECT_EQ(np::CreateSession(in, app ? *app : kApp, name, maxPlayers, &id), np::kOk);
    hosts_ += " 127.0.0.1:" + std::to_string(np::DiscoveryPort(in));
    np::SetHosts(hosts_);
    return in;
  }

  // The sessions found, and how many time-out reports came.
  std::vector<np::SessionInfo> Enumerate(np::Instance* in, uint32_t timeoutMs = 100, int* timeouts = nullptr) {
    struct Seen {
      std::vector<np::SessionInfo> sessions;
      int timeouts = 0;
    } seen;
    const uint32_t hr = np::EnumerateSessions(
        in, kApp, timeoutMs,
        [](const np::SessionInfo* s, void* ctx) {
          auto* seen = static_cast<Seen*>(ctx);
          if (s) {
            seen->sessions.push_back(*s);
          } else {
            ++seen->timeouts;
          }
          return true;
        },
        &seen);
    EXPECT_EQ(hr, np::kOk);
    if (timeouts) *timeouts = seen.timeouts;
    return seen.sessions;
  }

  // A new instance joined to the session named, with a player if named.
  np::Instance* Member(const char* session, const char* player, uint32_t* id = nullptr) {
    np::Instance* in = Make();
    uint32_t hr = np::kErrNotFound;
    for (const np::SessionInfo& s : Enumerate(in))
      if (s.name == session) hr = np::JoinSession(in, kApp, s.instance);
    EXPECT_EQ(hr, np::kOk) << session;
    uint32_t made = 0;
    if (player) {
      EXPECT_EQ(np::CreatePlayer(in, player, "CLIENT", &made), np::kOk);
    }
    if (id) *id = made;
    return in;
  }

  // Everything waiting for the instance, after the others settle.
  static std::vector<Got> Drain(np::Instance* in) {
    np::Settle();
    std::vector<Got> out;
    for (int i = 0; i < 100000; ++i) {
      Got g;
      char buf[np::kMaxPacket];
      uint32_t size = sizeof buf;
      np::SystemEvent e;
      if (np::Receive(in, &g.from, &g.to, buf, &size, &e) != np::kOk) break;
      if (g.from == 0) {
        g.type = e.type;
        g.player = e.playerId;
        g.name = e.shortName;
        g.longName = e.longName;
      } else {
        g.data.assign(buf, size);
      }
      out.push_back(g);
    }
    return out;
  }

  // Receives until a system event of that type about that player comes, for
  // at most ms of real time; the milliseconds it took, or -1.
  static int WaitEvent(np::Instance* in, uint32_t type, uint32_t player, int ms) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
      const int took = static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
      for (const Got& g : Drain(in))
        if (g.from == 0 && g.type == type && g.player == player) return took;
      if (took > ms) return -1;
    }
  }

  std::vector<np::Instance*> made_;
  std::string hosts_;
};

// A host of session "S" with "SERVER" and "Hugo", and a member with "Mia";
// the events of their meeting taken.
class NetplayMeeting : public NetplayTest {
 protected:
  void SetUp() override {
    NetplayTest::SetUp();
    host_ = Host("S");
    ASSERT_EQ(np::CreatePlayer(host_, "SERVER", "SERVER", &server_), np::kOk);
    ASSERT_EQ(np::CreatePlayer(host_, "Hugo", "CLIENT", &hugo_), np::kOk);
    member_ = Member("S", "Mia", &mia_);
    Drain(host_);
    Drain(member_);
  }

  np::Instance* host_ = nullptr;
  np::Instance* member_ = nullptr;
  uint32_t server_ = 0, hugo_ = 0, mia_ = 0;
};

}  // namespace ztest
