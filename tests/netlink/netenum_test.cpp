// The provider, session and player lists as arrays: nothing found, the
// 100-entry bound, the controller's player left out, exact sizes with
// their allocation tags, long names cut, and a cancel.
#include <gtest/gtest.h>

#include <cstring>

#include "netlink/netenum.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "tests/netlink/lsnet_fixture.h"

namespace {

namespace np = plat::netplay;

class NetEnum : public ztest::LsNetTest {
 protected:
  // The recorded owner of a block, or "".
  static std::string Owner(const void* block) {
    for (int32_t i = 0; i < SB_Var.NbMemOwners; ++i)
      if (SB_MemOwners[i].Block == block) return SB_MemOwners[i].Owner;
    return "";
  }
  // Blocks recorded beyond those held when the test began.
  int Recorded() const { return SB_Var.NbMemOwners - before_; }
  void SetUp() override {
    LsNetTest::SetUp();
    before_ = 0;
    before_ = Recorded();
  }
  int before_ = 0;
  // Sessions reported by every enumeration of the selected machine.
  static void InjectSessions(TLSNET& m, int count, const std::string& name, int cancels = 0) {
    np::Faults f;
    for (int i = 0; i < count; ++i) {
      np::SessionInfo s;
      s.application = ztest::ServiceGuid(m.Transport.AppGuid);
      s.instance = ztest::MakeGuid(static_cast<uint8_t>(i));
      s.name = name + std::to_string(i);
      f.injectedSessions.push_back(s);
    }
    f.cancelEnumerations = static_cast<uint32_t>(cancels);
    np::SetFaults(m.Transport.Object, f);
  }
};

TEST_F(NetEnum, NothingFound) {
  LS_NetSelect(&host_);
  int32_t count = 7;
  EXPECT_EQ(NET_GetSessions(&count, 10), nullptr);  // not open: no session
  EXPECT_EQ(count, 0);
  count = 7;
  EXPECT_EQ(NET_GetPlayers(&count), nullptr);
  EXPECT_EQ(count, 0);
  Open(host_);
  count = 7;
  EXPECT_EQ(NET_GetSessions(&count, 10), nullptr);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(Recorded(), 0);  // the work arrays freed
}

TEST_F(NetEnum, ProtocolsWithTagsAndExactSize) {
  LS_NetSelect(&host_);
  np::AddTestProvider(ztest::MakeGuid(0x90), "second");
  int32_t count = 0;
  NET_ENUMENTRY* list = NET_GetProtocols(&count);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(list[0].Id, 0u);
  EXPECT_STREQ(list[0].Name, "TCP/IP local network");
  EXPECT_EQ(list[1].Id, 1u);
  EXPECT_STREQ(list[1].Name, "second");
  EXPECT_EQ(Owner(list), "p=NET_GetProtocols");
  EXPECT_EQ(SB_MemOwners[SB_Var.NbMemOwners - 1].Size, 2 * sizeof(NET_ENUMENTRY));
  EXPECT_EQ(Recorded(), 1);
  SB_Release(list);
  EXPECT_EQ(Recorded(), 0);
}

TEST_F(NetEnum, AHundredOfAHundredAndTwentySessionsWithNamesCut) {
  Open(mia_);
  InjectSessions(mia_, 120, std::string(300, 'n'));
  int32_t count = 0;
  NET_ENUMENTRY* list = NET_GetSessions(&count, 10);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(count, 100);
  EXPECT_EQ(list[99].Id, 99u);
  EXPECT_EQ(std::strlen(list[0].Name), 255u);
  EXPECT_EQ(Owner(list), "p=NET_GetSessions");
  SB_Release(list);
}

TEST_F(NetEnum, ACancelShowsThroughTheCheckedForm) {
  Open(mia_);
  InjectSessions(mia_, 3, "s", 1);
  int32_t count = 0, cancelled = 0;
  NET_ENUMENTRY* list = NET_GetSessionsChecked(&count, 10, &cancelled);
  EXPECT_EQ(cancelled, 1);
  SB_Release(list);
  list = NET_GetSessionsChecked(&count, 10, &cancelled);
  EXPECT_EQ(cancelled, 0);
  ASSERT_EQ(count, 3);
  EXPECT_STREQ(list[2].Name, "s2");
  SB_Release(list);
  EXPECT_EQ(Recorded(), 0);
}

TEST_F(NetEnum, PlayersWithoutTheController) {
  Meet(true);
  LS_NetSelect(&host_);
  uint32_t id = 0;
  const std::string longName(300, 'L');
  ASSERT_EQ(np::CreatePlayer(host_.Transport.Object, longName.substr(0, 255).c_str(), "CLIENT", &id), np::kOk);
  int32_t count = 0;
  NET_ENUMENTRY* list = NET_GetPlayers(&count);
  ASSERT_EQ(count, 4);
  std::vector<std::pair<uint32_t, std::string>> got;
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(list[i].Kind, 1u);
    got.push_back({list[i].Id, list[i].Name});
  }
  EXPECT_EQ(got, (decltype(got){{Hugo(), "Hugo"}, {Mia(), "Mia"}, {Lea(), "Lea"}, {id, longName.substr(0, 255)}}));
  EXPECT_EQ(Owner(list), "p=NET_GetPlayers");
  SB_Release(list);
}

}  // namespace
