// The local-network play service's fault shim: seeded loss, duplication
// and reordering of received datagrams and same-instance deliveries, and
// the faults a whole program takes from ZENTROVA_NET_FAULTS.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "tests/netplay/netplay_fixture.h"

namespace {

namespace np = plat::netplay;
using ztest::Got;

class NetplayFaults : public ztest::NetplayMeeting {
 protected:
  // Sends count numbered datagrams from the member to "Hugo", a batch at
  // a time so that no socket overflows; the numbers that did not arrive.
  std::set<uint32_t> Missing(uint32_t count) {
    std::set<uint32_t> missing;
    for (uint32_t i = 0; i < count; ++i) missing.insert(i);
    for (uint32_t first = 0; first < count; first += 100) {
      for (uint32_t i = first; i < first + 100 && i < count; ++i)
        EXPECT_EQ(np::Send(member_, mia_, hugo_, &i, sizeof i), np::kOk);
      for (const Got& g : Drain(host_)) {
        uint32_t n = 0;
        std::memcpy(&n, g.data.data(), sizeof n);
        missing.erase(n);
      }
    }
    return missing;
  }

  // The payloads received from "Mia", in order.
  std::vector<int> Order() {
    std::vector<int> out;
    for (const Got& g : Drain(host_)) out.push_back(g.data[0]);
    return out;
  }

};

TEST_F(NetplayFaults, SeededLossDropsAFifthAndTheSameOnesAgain) {
  np::Faults f;
  f.lossPercent = 20;
  f.seed = 7;
  np::SetFaults(host_, f);
  const std::set<uint32_t> first = Missing(10000);
  EXPECT_NEAR(static_cast<double>(first.size()), 2000.0, 150.0);
  EXPECT_EQ(np::GetCounters(host_).lost, first.size());
  np::SetFaults(host_, f);
  EXPECT_EQ(Missing(10000), first);
  f.seed = 8;
  np::SetFaults(host_, f);
  EXPECT_NE(Missing(10000), first);
}

TEST_F(NetplayFaults, DuplicationAndReordering) {
  np::Faults f;
  f.duplicatePercent = 100;
  np::SetFaults(host_, f);
  for (char c : {'1', '2'}) ASSERT_EQ(np::Send(member_, mia_, hugo_, &c, 1), np::kOk);
  EXPECT_EQ(Order(), (std::vector<int>{'1', '1', '2', '2'}));
  EXPECT_EQ(np::GetCounters(host_).duplicated, 2u);

  f.duplicatePercent = 0;
  f.reorderPercent = 100;
  np::SetFaults(host_, f);
  for (char c : {'1', '2', '3', '4', '5'}) ASSERT_EQ(np::Send(member_, mia_, hugo_, &c, 1), np::kOk);
  // Each held message goes out behind the next; the last one at the settle.
  EXPECT_EQ(Order(), (std::vector<int>{'2', '1', '4', '3', '5'}));
  EXPECT_EQ(np::GetCounters(host_).reordered, 3u);
}

TEST_F(NetplayFaults, SameInstanceDeliveriesToo) {
  np::Faults f;
  f.lossPercent = 100;
  np::SetFaults(host_, f);
  ASSERT_EQ(np::Send(host_, server_, hugo_, "x", 1), np::kOk);
  EXPECT_TRUE(Drain(host_).empty());
  EXPECT_EQ(np::GetCounters(host_).lost, 1u);
  // Events travel on the session's connection: never lost.
  uint32_t lea = 0;
  ASSERT_EQ(np::CreatePlayer(member_, "Lea", "CLIENT", &lea), np::kOk);
  EXPECT_EQ(Drain(host_).size(), 2u);
}

TEST_F(NetplayFaults, FromTheEnvironment) {
  setenv("ZENTROVA_NET_FAULTS", "100,0,0,3", 1);
  np::Instance* lossy = Make();
  setenv("ZENTROVA_NET_FAULTS", "100,0", 1);  // malformed: ignored
  np::Instance* clean = Make();
  unsetenv("ZENTROVA_NET_FAULTS");
  for (np::Instance* in : {lossy, clean}) {
    ASSERT_EQ(np::JoinSession(in, kApp, Enumerate(in)[0].instance), np::kOk);
    uint32_t id = 0;
    ASSERT_EQ(np::CreatePlayer(in, "p", "CLIENT", &id), np::kOk);
    Drain(in);
    ASSERT_EQ(np::Send(host_, server_, id, "x", 1), np::kOk);
  }
  auto messages = [](np::Instance* in) {
    int n = 0;
    for (const Got& g : Drain(in)) n += g.from != 0;
    return n;
  };
  EXPECT_EQ(messages(lossy), 0);
  EXPECT_EQ(messages(clean), 1);
}

}  // namespace
