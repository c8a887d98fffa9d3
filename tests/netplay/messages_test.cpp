// Player messages between local-network instances in one process: to one
// player and to all, sizes, senders that are not local, order, and the
// receive queue's answers.
#include <gtest/gtest.h>

#include "tests/netplay/netplay_fixture.h"

namespace {

namespace np = plat::netplay;
using ztest::Got;

class NetplayMessages : public ztest::NetplayMeeting {
 protected:
  static std::vector<Got> Messages(np::Instance* in) {
    std::vector<Got> out;
    for (const Got& g : Drain(in))
      if (g.from != 0) out.push_back(g);
    return out;
  }

};

TEST_F(NetplayMessages, ToOneAndToAll) {
  ASSERT_EQ(np::Send(member_, mia_, hugo_, "one", 3), np::kOk);
  std::vector<Got> got = Messages(host_);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].from, mia_);
  EXPECT_EQ(got[0].to, hugo_);
  EXPECT_EQ(got[0].data, "one");

  ASSERT_EQ(np::Send(member_, mia_, np::kToAll, "all", 3), np::kOk);
  got = Messages(host_);
  ASSERT_EQ(got.size(), 2u);  // once per local player of the host
  EXPECT_EQ(got[0].to + got[1].to, server_ + hugo_);
  EXPECT_TRUE(Messages(member_).empty());  // not back to the sender

  // From the host to all: its other local player and the member.
  ASSERT_EQ(np::Send(host_, server_, np::kToAll, "srv", 3), np::kOk);
  got = Messages(host_);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].to, hugo_);
  got = Messages(member_);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].from, server_);
  EXPECT_EQ(got[0].data, "srv");
}

TEST_F(NetplayMessages, SizesAndSenders) {
  np::Caps caps;
  ASSERT_EQ(np::GetCaps(member_, &caps), np::kOk);
  EXPECT_EQ(caps.maxBufferSize, 1024u);
  const std::string full(np::kMaxPacket, 'x');
  ASSERT_EQ(np::Send(member_, mia_, hugo_, full.data(), np::kMaxPacket), np::kOk);
  const std::vector<Got> got = Messages(host_);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].data, full);
  EXPECT_EQ(np::Send(member_, mia_, hugo_, full.data(), np::kMaxPacket + 1), np::kErrTooLarge);
  EXPECT_EQ(np::Send(member_, hugo_, server_, "x", 1), np::kErrInvalidPlayer);  // not its player
  EXPECT_EQ(np::Send(member_, mia_, 4242, "x", 1), np::kErrInvalidPlayer);
}

TEST_F(NetplayMessages, InSendOrderPerPair) {
  for (int i = 0; i < 200; ++i) ASSERT_EQ(np::Send(member_, mia_, hugo_, &i, sizeof i), np::kOk);
  const std::vector<Got> got = Messages(host_);
  ASSERT_EQ(got.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(got[i].data, std::string(reinterpret_cast<const char*>(&i), sizeof i));
}

TEST_F(NetplayMessages, ReceiveAnswers) {
  uint32_t from = 0, to = 0;
  char buf[8];
  uint32_t size = sizeof buf;
  EXPECT_EQ(np::Receive(host_, &from, &to, buf, &size, nullptr), np::kErrNoMessages);
  ASSERT_EQ(np::Send(member_, mia_, hugo_, "0123456789", 10), np::kOk);
  np::Settle();
  EXPECT_EQ(np::Receive(host_, &from, &to, buf, &size, nullptr), np::kErrBufferTooSmall);
  EXPECT_EQ(size, 10u);
  char big[10];
  ASSERT_EQ(np::Receive(host_, &from, &to, big, &size, nullptr), np::kOk);  // kept until then
  EXPECT_EQ(std::string(big, size), "0123456789");

  np::Instance* idle = Make();
  size = sizeof buf;
  EXPECT_EQ(np::Receive(idle, &from, &to, buf, &size, nullptr), np::kErrNoMessages);
  EXPECT_EQ(np::Send(idle, 1, 2, "x", 1), np::kErrNoSession);
}

}  // namespace
