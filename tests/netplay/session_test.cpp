// Local-network sessions in one process over 127.0.0.1: enumeration, join,
// the player list, creation and destruction events, a full session, a
// reopened instance and player ids.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <set>

#include "platform/netplay/state.h"
#include "tests/netplay/netplay_fixture.h"

namespace {

namespace np = plat::netplay;
using ztest::Got;

class NetplaySession : public ztest::NetplayTest {
 protected:
  // A host with its "SERVER" player and a player of its own.
  np::Instance* HostWithPlayers(const char* name, uint32_t maxPlayers, uint32_t* server, uint32_t* own) {
    np::Instance* h = Host(name, maxPlayers);
    EXPECT_EQ(np::CreatePlayer(h, "SERVER", "SERVER", server), np::kOk);
    if (own) {
      EXPECT_EQ(np::CreatePlayer(h, "Hugo", "CLIENT", own), np::kOk);
    }
    return h;
  }

  static std::vector<std::string> Names(const std::vector<np::SessionInfo>& s) {
    std::vector<std::string> out;
    for (const auto& i : s) out.push_back(i.name);
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST_F(NetplaySession, EnumerationFindsEachSessionOnceThenTimesOut) {
  Host("Alpha");
  Host("Beta");
  const np::Guid other = ztest::MakeGuid(0x90);
  Host("Foreign", 0, &other);
  np::Instance* m = Make();
  int timeouts = 0;
  // Queries go out every 100 ms, so 300 ms hears every host several times.
  EXPECT_EQ(Names(Enumerate(m, 300, &timeouts)), (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_EQ(timeouts, 1);
  EXPECT_EQ(Names(Enumerate(m, 0, &timeouts)), (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_EQ(timeouts, 1);
}

TEST_F(NetplaySession, JoinedListIsCompleteAtOnce) {
  uint32_t server = 0, own = 0;
  HostWithPlayers("S", 0, &server, &own);
  np::Instance* m = Member("S", nullptr);
  std::vector<std::pair<std::string, std::string>> seen;
  ASSERT_EQ(np::EnumeratePlayers(
                m,
                [](uint32_t, const char* s, const char* l, void* ctx) {
                  static_cast<decltype(seen)*>(ctx)->push_back({s, l});
                  return true;
                },
                &seen),
            np::kOk);
  EXPECT_EQ(seen, (decltype(seen){{"SERVER", "SERVER"}, {"Hugo", "CLIENT"}}));
  char shortName[256], longName[256];
  ASSERT_EQ(np::GetPlayerName(m, own, shortName, longName), np::kOk);
  EXPECT_STREQ(shortName, "Hugo");
  EXPECT_STREQ(longName, "CLIENT");
  EXPECT_EQ(np::GetPlayerName(m, 12345, shortName, longName), np::kErrInvalidPlayer);
}

TEST_F(NetplaySession, CreationReachesEveryOtherPlayerOnce) {
  uint32_t server = 0;
  np::Instance* h = HostWithPlayers("S", 0, &server, nullptr);
  uint32_t own = 0;
  ASSERT_EQ(np::CreatePlayer(h, "Hugo", "CLIENT", &own), np::kOk);
  std::vector<Got> got = Drain(h);
  ASSERT_EQ(got.size(), 1u);  // "SERVER" hears of the host's own player
  EXPECT_EQ(got[0].to, server);
  EXPECT_EQ(got[0].type, np::kSysCreatePlayer);
  EXPECT_EQ(got[0].player, own);
  EXPECT_EQ(got[0].name, "Hugo");

  uint32_t mia = 0;
  np::Instance* m = Member("S", "Mia", &mia);
  got = Drain(h);
  ASSERT_EQ(got.size(), 2u);
  std::set<uint32_t> told;
  for (const Got& g : got) {
    EXPECT_EQ(g.type, np::kSysCreatePlayer);
    EXPECT_EQ(g.player, mia);
    EXPECT_EQ(g.name, "Mia");
    EXPECT_EQ(g.longName, "CLIENT");
    told.insert(g.to);
  }
  EXPECT_EQ(told, (std::set<uint32_t>{server, own}));
  EXPECT_TRUE(Drain(m).empty());  // nobody else on the member to tell
}

TEST_F(NetplaySession, DestroyAndCloseReachTheOthersWithinASecond) {
  uint32_t server = 0, own = 0;
  np::Instance* h = HostWithPlayers("S", 0, &server, &own);
  uint32_t mia = 0, max = 0;
  np::Instance* m = Member("S", "Mia", &mia);
  np::Instance* third = Member("S", "Max", &max);
  Drain(h);
  Drain(m);
  ASSERT_EQ(np::DestroyPlayer(m, mia), np::kOk);
  EXPECT_GE(WaitEvent(h, np::kSysDestroyPlayer, mia, 1000), 0);
  EXPECT_GE(WaitEvent(third, np::kSysDestroyPlayer, mia, 1000), 0);
  EXPECT_EQ(np::DestroyPlayer(m, server), np::kErrInvalidPlayer);  // not its own

  ASSERT_EQ(np::Close(third), np::kOk);
  EXPECT_GE(WaitEvent(h, np::kSysDestroyPlayer, max, 1000), 0);
  EXPECT_EQ(np::Close(third), np::kErrNoSession);
}

TEST_F(NetplaySession, LosingTheHostDestroysEveryOtherPlayer) {
  uint32_t server = 0, own = 0;
  np::Instance* h = HostWithPlayers("S", 0, &server, &own);
  uint32_t mia = 0, max = 0;
  np::Instance* m = Member("S", "Mia", &mia);
  Member("S", "Max", &max);
  Drain(m);
  Forget(h);
  std::set<uint32_t> gone;
  for (const Got& g : Drain(m)) {
    EXPECT_EQ(g.type, np::kSysDestroyPlayer);
    EXPECT_EQ(g.to, mia);
    gone.insert(g.player);
  }
  EXPECT_EQ(gone, (std::set<uint32_t>{server, own, max}));
  char shortName[256];
  EXPECT_EQ(np::GetPlayerName(m, mia, shortName, nullptr), np::kOk);  // its own player stays
  EXPECT_EQ(np::Close(m), np::kOk);
}

TEST_F(NetplaySession, FullSessionRefusesJoinAndCreation) {
  uint32_t server = 0, own = 0;
  np::Instance* h = HostWithPlayers("Full", 2, &server, &own);
  np::Instance* m = Make();
  const auto found = Enumerate(m);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(np::JoinSession(m, kApp, found[0].instance), np::kErrSessionFull);
  // The host says each refusal for the game's log.
  auto said = [](np::Instance* in, const std::string& end) {
    std::string n;
    return np::TakeNotice(in, &n) && n.rfind("member at 127.0.0.1:", 0) == 0 && n.ends_with(end);
  };
  EXPECT_TRUE(said(h, " refused: the session's 2 places are taken"));

  np::Instance* h3 = Host("Three", 3, nullptr);
  ASSERT_EQ(np::CreatePlayer(h3, "SERVER", "SERVER", &server), np::kOk);
  uint32_t a = 0, b = 0;
  np::Instance* first = Member("Three", "A", &a);
  Member("Three", nullptr);  // joins at 2 of 3
  EXPECT_EQ(np::CreatePlayer(first, "A2", "CLIENT", &b), np::kOk);
  EXPECT_EQ(np::CreatePlayer(first, "A3", "CLIENT", &b), np::kErrSessionFull);
}

TEST_F(NetplaySession, JoinFailsCleanlyForAGoneOrUnknownSession) {
  np::Instance* h = Host("Gone");
  np::Instance* m = Make();
  const auto found = Enumerate(m);
  ASSERT_EQ(found.size(), 1u);
  Forget(h);
  EXPECT_EQ(np::JoinSession(m, kApp, found[0].instance), np::kErrNoHost);
  EXPECT_EQ(np::JoinSession(m, kApp, ztest::MakeGuid(0x77)), np::kErrNotFound);
  uint32_t id = 0;
  EXPECT_EQ(np::CreatePlayer(m, "x", "y", &id), np::kErrNoSession);
}

TEST_F(NetplaySession, OneInstanceOpensClosesAndOpensAgain) {
  Host("Other");
  np::Instance* in = Make();
  np::Guid id;
  ASSERT_EQ(np::CreateSession(in, kApp, "Mine", 0, &id), np::kOk);
  EXPECT_EQ(np::CreateSession(in, kApp, "Twice", 0, &id), np::kErrAlreadyInSession);
  ASSERT_EQ(np::Close(in), np::kOk);
  EXPECT_EQ(np::DiscoveryPort(in), 0);
  const auto found = Enumerate(in);
  ASSERT_EQ(found.size(), 1u);
  ASSERT_EQ(np::JoinSession(in, kApp, found[0].instance), np::kOk);
  ASSERT_EQ(np::Close(in), np::kOk);
  ASSERT_EQ(np::CreateSession(in, kApp, "Again", 0, &id), np::kOk);
  uint32_t player = 0;
  EXPECT_EQ(np::CreatePlayer(in, "P", "CLIENT", &player), np::kOk);
}

TEST_F(NetplaySession, HundredCreationsReuseNoIdAndTakeNoReservedOne) {
  np::Instance* h = Host("Ids");
  np::Instance* m = Member("Ids", nullptr);
  std::set<uint32_t> ids;
  for (int i = 0; i < 100; ++i) {
    uint32_t id = 0;
    np::Instance* maker = i % 2 ? m : h;
    ASSERT_EQ(np::CreatePlayer(maker, "p", "CLIENT", &id), np::kOk);
    EXPECT_TRUE(ids.insert(id).second) << id;
    // A member's connection holds two players at most.
    if (i % 3 == 0 || maker == m) {
      ASSERT_EQ(np::DestroyPlayer(maker, id), np::kOk);
    }
  }
  for (uint32_t reserved : np::kReservedIds) EXPECT_EQ(ids.count(reserved), 0u);
  // The id counter steps over the reserved values.
  using np::detail::AdvancePlayerId;
  EXPECT_EQ(AdvancePlayerId(0x6FFFFFFE), 0x70000000u);
  EXPECT_EQ(AdvancePlayerId(0x7FFFFFFE), 0x80000000u);
  EXPECT_EQ(AdvancePlayerId(0xFFFFFFFE), 1u);
}

// The host keeps the long name "SERVER" to its own players and two
// players to each member's connection; each refusal is noted once for the
// game's log.
TEST_F(NetplaySession, HostKeepsItsOwnNameAndEachMemberTwoPlayers) {
  uint32_t server = 0, hugo = 0;
  np::Instance* h = HostWithPlayers("S", 0, &server, &hugo);
  uint32_t a = 0, b = 0, c = 0;
  np::Instance* two = Member("S", "A", &a);
  EXPECT_EQ(np::CreatePlayer(two, "B", "CLIENT", &b), np::kOk);
  EXPECT_EQ(np::CreatePlayer(two, "C", "CLIENT", &c), np::kErrSessionFull);
  EXPECT_EQ(np::CreatePlayer(two, "D", "CLIENT", &c), np::kErrSessionFull);
  ASSERT_EQ(np::DestroyPlayer(two, b), np::kOk);
  EXPECT_EQ(np::CreatePlayer(two, "C", "CLIENT", &c), np::kOk);  // room again
  np::Instance* bad = Member("S", nullptr);
  uint32_t evil = 0;
  EXPECT_EQ(np::CreatePlayer(bad, "Evil", "SERVER", &evil), np::kErrInvalidParams);
  Drain(h);
  EXPECT_EQ(np::CreatePlayer(bad, "Evil", "CLIENT", &evil), np::kErrNoSession);  // dropped
  // Only the host knows the machine a member's player came from.
  const uint32_t loopback = htonl(INADDR_LOOPBACK);
  const struct {
    uint32_t id;
    bool host;
    uint32_t address;
  } rows[] = {{server, true, 0}, {hugo, true, 0}, {a, false, loopback}, {c, false, loopback}, {12345, false, 0}};
  for (np::Instance* in : {h, two})
    for (const auto& r : rows) {
      EXPECT_EQ(np::IsHostPlayer(in, r.id), r.host) << r.id;
      EXPECT_EQ(np::PlayerAddress(in, r.id), in == h ? r.address : 0u) << r.id;
    }
  std::vector<std::string> notes;
  for (std::string n; np::TakeNotice(h, &n);) notes.push_back(n.substr(0, n.find(" asked")));
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].rfind("member at 127.0.0.1:", 0), 0u);
  EXPECT_NE(notes[0], notes[1]);  // one for each member
  EXPECT_EQ(np::GetCounters(h).refusedPlayers, 2u);
  EXPECT_EQ(np::GetCounters(h).refusedNames, 1u);
  EXPECT_FALSE(np::TakeNotice(h, &notes[0]));
}

TEST_F(NetplaySession, NamesOverTheLimitAreRefused) {
  np::Instance* h = Host("Names");
  uint32_t id = 0;
  const std::string longest(255, 'n');
  EXPECT_EQ(np::CreatePlayer(h, longest.c_str(), "CLIENT", &id), np::kOk);
  EXPECT_EQ(np::CreatePlayer(h, (longest + "n").c_str(), "CLIENT", &id), np::kErrInvalidParams);
  np::Instance* m = Member("Names", nullptr);
  char shortName[256];
  ASSERT_EQ(np::EnumeratePlayers(m, nullptr, nullptr), np::kOk);
  uint32_t first = 0;
  np::EnumeratePlayers(
      m, [](uint32_t pid, const char*, const char*, void* ctx) { return *static_cast<uint32_t*>(ctx) = pid, false; },
      &first);
  ASSERT_EQ(np::GetPlayerName(m, first, shortName, nullptr), np::kOk);
  EXPECT_EQ(std::string(shortName), longest);
}

}  // namespace
