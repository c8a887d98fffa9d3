// The server list: the sessions merged as the list refreshes on the
// clock and on R, the player probe, joining, the lists' bad input, and the
// golden picture of the screen.
#include "platform/clock.h"
#include "platform/window.h"
#include "tests/frontend/netmenus_fixture.h"
#include "tests/support/golden.h"

namespace ztest {
namespace {

using ServerListTest = NetMenuTest;

constexpr const char* kList = "MYSERVERSLIST 0";

std::string FrontScreen() {
  BMAP* front = LS_Var.Screen;
  LS_LockBmap(front);
  std::string bytes(reinterpret_cast<const char*>(front->Start), front->ByteLen * front->SizeY);
  LS_UnlockBmap(front);
  return bytes;
}

Lines Probe(const std::string& server) {
  return {"(find " + server + ")", "(join __INFO__ 3)", "PLAYERSLIST", "(leave)"};
}

TEST_F(ServerListTest, TheListRefreshesAndMerges) {
  struct Step {
    const char* name;
    Names servers;
    int32_t select;  // line pressed before the refresh, -1 none
    Names shown;
    int32_t arrows, joinDisabled;
  } steps[] = {
      {"entered", {"S1", "S2"}, -1, {"[S1]", "S2", "", "", "", ""}, 0, 0},
      {"unchanged", {"S1", "S2"}, 1, {"S1", "[S2]", "", "", "", ""}, 0, 0},
      {"one new appended", {"S3", "S1", "S2"}, -1, {"S1", "[S2]", "S3", "", "", ""}, 0, 0},
      {"two new rebuild by name", {"S4", "S5", "S2", "S1", "S3"}, -1, {"S4", "S5", "[S2]", "S1", "S3", ""}, 0, 0},
      {"selected gone", {"S5", "S1"}, -1, {"[S5]", "S1", "", "", "", ""}, 0, 0},
      {"six fill the lines", NetMenuTest::Numbered("U", 6), -1, {"[U0]", "U1", "U2", "U3", "U4", "U5"}, 0, 0},
      {"seven", NetMenuTest::Numbered("T", 7), -1, {"[T0]", "T1", "T2", "T3", "T4", "T5"}, 1, 0},
      {"empty", {}, -1, {"", "", "", "", "", ""}, 0, 1},
  };
  Canned().lists["PLAYERSLIST"] = {"ALBA", "__INFO__"};
  Enter(9);
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    if (s.select >= 0) Press(9, s.select);
    Canned().lists[kList] = s.servers;
    Exec().lines.clear();
    SB_Var.MenuScreenReady = 0;
    ServersScreen();
    EXPECT_EQ(Shown(SB_ServerList), s.shown);
    EXPECT_EQ(Arrows(SB_ServerList), s.arrows);
    EXPECT_EQ(SB_Var.MenuJoinDisabled, s.joinDisabled);
    EXPECT_EQ(SB_Var.MenuScreenReady, 1);
    ASSERT_FALSE(Exec().lines.empty());
    EXPECT_EQ(Exec().lines[0], kList);
    if (s.servers.empty()) {
      EXPECT_EQ(Shown(SB_PlayerList), Names(6, ""));
    }
  }
}

TEST_F(ServerListTest, AnUnchangedListOnlyProbesAgain) {
  Canned().lists[kList] = {"S1", "S2"};
  Canned().lists["PLAYERSLIST"] = {"ALBA"};
  Enter(9);
  ServersScreen();
  Press(9, 1);
  Exec().lines.clear();
  SB_Var.MenuScreenReady = 0;
  ServersScreen();
  Lines expected = {kList};
  for (const std::string& l : Probe("S2")) expected.push_back(l);
  EXPECT_EQ(Exec().lines, expected);
  EXPECT_EQ(Shown(SB_ServerList), (Names{"S1", "[S2]", "", "", "", ""}));
}

TEST_F(ServerListTest, RefreshEveryTenSecondsAndOnR) {
  Canned().lists[kList] = {"S1"};
  Enter(9);
  ServersScreen();
  const auto lists = [] { return std::count(Exec().lines.begin(), Exec().lines.end(), kList); };
  EXPECT_EQ(lists(), 1);
  plat::AdvanceManualTime(9000);
  ServersScreen();
  EXPECT_EQ(lists(), 1);
  plat::AdvanceManualTime(1001);
  ServersScreen();  // over 10000 ms: fetched on this pass
  EXPECT_EQ(lists(), 2);
  plat::SetKeyState(82, true);
  ServersScreen();
  plat::SetKeyState(82, false);
  EXPECT_EQ(SB_Var.MenuScreenReady, 0);
  ServersScreen();
  EXPECT_EQ(lists(), 3);
}

TEST_F(ServerListTest, AFailingListGoesBackToTheProtocols) {
  Canned().results[kList] = 0;
  Enter(9);
  const uint32_t before = LSYS_GetTime();
  ServersScreen();
  EXPECT_EQ(Exec().lines, (Lines{kList, "Erreur Reseau MYSERVERSLIST 0"}));
  EXPECT_GE(LSYS_GetTime() - before, 2500u);
  EXPECT_EQ(SB_Var.MenuScreen, 8);
}

TEST_F(ServerListTest, ThePlayerProbe) {
  Canned().lists[kList] = {"S1"};
  Canned().lists["PLAYERSLIST"] = {"P0", "__INFO__", "P1", "P2", "P3", "P4", "P5", "P6"};
  Enter(9);
  ServersScreen();
  Lines expected = {kList};
  for (const std::string& l : Probe("S1")) expected.push_back(l);
  EXPECT_EQ(Exec().lines, expected);
  EXPECT_EQ(Rows(SB_Var.MenuPlayers, SB_Var.MenuNbPlayers), (Names{"P0", "P1", "P2", "P3", "P4", "P5", "P6"}));
  EXPECT_EQ(Shown(SB_PlayerList), (Names{"[P0]", "P1", "P2", "P3", "P4", "P5"}));
  EXPECT_EQ(Arrows(SB_PlayerList), 1);

  struct Failure {
    const char* name;
    int32_t session, join, leave, players;
    Lines lines;
  } failures[] = {
      {"no session", -1, 1, 1, 1, {"(find S1)", "Erreur Reseau JOINSESSION Error"}},
      {"join refused", 3, 0, 1, 1, {"(find S1)", "(join __INFO__ 3)", "Erreur Reseau JOINSESSION Error"}},
      {"no players",
       3, 1, 1, 0,
       {"(find S1)", "(join __INFO__ 3)", "PLAYERSLIST", "Erreur Reseau PLAYERSLIST", "(leave)"}},
      {"leave fails",
       3, 1, 0, 1,
       {"(find S1)", "(join __INFO__ 3)", "PLAYERSLIST", "(leave)", "Erreur Reseau LEAVE"}},
  };
  for (const Failure& f : failures) {
    SCOPED_TRACE(f.name);
    Canned().sessionId = f.session;
    Canned().joinResult = f.join;
    Canned().leaveResult = f.leave;
    Canned().results["PLAYERSLIST"] = f.players;
    Exec().lines.clear();
    Press(9, 0);
    EXPECT_EQ(Exec().lines, f.lines);
  }
}

TEST_F(ServerListTest, LinesPastTheLastServerDoNotReact) {
  Canned().lists[kList] = {"S1", "S2"};
  Enter(9);
  ServersScreen();
  Exec().lines.clear();
  for (int32_t line : {2, 5, 6, 7}) Press(9, line);
  EXPECT_EQ(Shown(SB_ServerList), (Names{"[S1]", "S2", "", "", "", ""}));
  EXPECT_TRUE(Exec().lines.empty());
  EXPECT_EQ(Item(9, 2).Kind, ITEMKIND_TEXT2);
}

TEST_F(ServerListTest, Joining) {
  struct Case {
    const char* name;
    std::map<std::string, int32_t> results;
    int32_t refused;
    Lines lines;
    int32_t text;  // the message shown, 0 none
  } cases[] = {
      {"joined", {}, 0, {"JOIN ACE SERVER1", "RUN PJNET"}, 0},
      {"not answered", {{"JOIN ACE SERVER1", 0}}, 0, {"JOIN ACE SERVER1", "Erreur Reseau JOIN ACE SERVER1"}, 80},
      {"refused", {{"JOIN ACE SERVER1", 0}}, 1, {"JOIN ACE SERVER1", "Erreur Reseau JOIN ACE SERVER1"}, 81},
      {"full", {{"JOIN ACE SERVER1", 0}}, 2, {"JOIN ACE SERVER1", "Erreur Reseau JOIN ACE SERVER1"}, 78},
      {"script fails", {{"RUN PJNET", 0}}, 0, {"JOIN ACE SERVER1", "RUN PJNET", "Erreur Reseau RUN PJNET", "LEAVE"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canned() = NetCanned{};
    Canned().lists[kList] = {"SERVER1"};
    Enter(9);
    ServersScreen();
    std::snprintf(SB_Var.MenuPlayerName, sizeof SB_Var.MenuPlayerName, "ACE");
    Canned().results = c.results;
    SB_Var.NetJoinRefused = c.refused;
    Exec().lines.clear();
    const uint32_t before = LSYS_GetTime();
    Release(9, 20);
    Lines sent = Exec().lines;
    if (c.name == std::string("joined")) {
      ASSERT_GE(sent.size(), 4u);
      EXPECT_EQ(sent[sent.size() - 3], "PLAY");
      EXPECT_EQ(sent[sent.size() - 2], "CLOSENET");
      EXPECT_EQ(SB_Var.MenuScreen, 5);
      sent.resize(2);
    }
    EXPECT_EQ(sent, c.lines);
    if (c.text) {
      EXPECT_GE(LSYS_GetTime() - before, 2500u);
      EXPECT_EQ(SB_Var.MenuScreen, 9);
      // The front screen is the message of that text over the screen.
      const std::string shown = FrontScreen();
      ShowMenuBitmap(SB_Var.MenuBmap);
      drawscreentext(SB_Var.MenuFontBig, c.text, 220, 224);
      EXPECT_EQ(shown, FrontScreen());
    }
  }
}

TEST_F(ServerListTest, NothingToJoin) {
  Canned().lists[kList] = {};
  Enter(9);
  ServersScreen();
  Exec().lines.clear();
  Release(9, 20);  // disabled
  SB_Var.MenuJoinDisabled = 0;
  Release(9, 20);  // no highlighted row
  EXPECT_TRUE(Exec().lines.empty());
}

TEST_F(ServerListTest, ALongJoinLineIsNotSent) {
  const std::string longest(255, 'N');
  Canned().lists[kList] = {longest};
  Canned().lists["PLAYERSLIST"] = {"ALBA"};
  Enter(9);
  ServersScreen();
  std::snprintf(SB_Var.MenuPlayerName, sizeof SB_Var.MenuPlayerName, "ACE");
  Exec().lines.clear();
  Release(9, 20);
  ASSERT_EQ(Exec().lines.size(), 1u);
  EXPECT_EQ(Exec().lines[0].rfind("Erreur Reseau JOIN ACE NNN", 0), 0u);
  EXPECT_EQ(Exec().lines[0].size(), 255u);  // cut to fit
  EXPECT_EQ(SB_Var.MenuScreen, 9);
}

TEST_F(ServerListTest, BadLists) {
  const std::string full(256, 'Z');  // no end within the name
  struct Case {
    const char* name;
    Names entries;
    Names rows;
  } cases[] = {
      {"none", {}, {}},
      {"one", {"A"}, {"A"}},
      {"sixteen", NetMenuTest::Numbered("N", 16), NetMenuTest::Numbered("N", 16)},
      {"seventeen", NetMenuTest::Numbered("N", 17), NetMenuTest::Numbered("N", 16)},
      {"a hundred", NetMenuTest::Numbered("N", 100), NetMenuTest::Numbered("N", 16)},
      {"lengths", {"", std::string(255, 'L'), full}, {"", std::string(255, 'L'), std::string(255, 'Z')}},
      {"blanks and high bytes", {"A B", "\xE9t\xE9"}, {"A B", "\xE9t\xE9"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HandOver(c.entries);
    TMENULISTENTRY rows[SB_MENULISTROWS];
    const int32_t n = CopyConsoleList(rows, nullptr);
    EXPECT_EQ(Rows(rows, n), c.rows);
    for (int32_t i = n; i < SB_MENULISTROWS; ++i) EXPECT_EQ(rows[i].Line, -1);
  }
  NET_SetConsoleList(nullptr, 5);
  TMENULISTENTRY rows[SB_MENULISTROWS];
  EXPECT_EQ(CopyConsoleList(rows, nullptr), 0);
  HandOver({"A", "B"});  // a player list without the probe's entry
  EXPECT_EQ(CopyConsoleList(rows, "__INFO__"), 2);
}

TEST_F(ServerListTest, TwoSessionsOfOneNameTheFirstMatches) {
  Canned().lists[kList] = {"TWIN", "OTHER", "TWIN"};
  Enter(9);
  ServersScreen();
  Press(9, 2);  // the second TWIN
  EXPECT_EQ(SB_Var.MenuSelectedServer, 2);
  Canned().lists[kList] = {"NEW1", "NEW2", "TWIN", "OTHER", "TWIN"};
  SB_Var.MenuScreenReady = 0;
  ServersScreen();
  EXPECT_EQ(SB_Var.MenuSelectedServer, 2);  // by name: the first TWIN
  EXPECT_EQ(HighlightedLine(SB_ServerList), 2);
}

using GoldenServerListTest = NetMenuTest;

TEST_F(GoldenServerListTest, TwoServersAndThreePlayers) {
  Canned().lists[kList] = {"ALBA RACE", "NIGHT CUP"};
  Canned().lists["PLAYERSLIST"] = {"ALBA", "__INFO__", "BRUNO", "CARLA"};
  LS_SetMousePos(600, 250);
  Enter(9);
  ServersScreen();
  EXPECT_EQ(Shown(SB_ServerList)[0], "[ALBA RACE]");
  UpdateInterfaceCursor();
  ExpectReducedGolden("tests/frontend/golden/serverlist.tga", root_);
}

}  // namespace
}  // namespace ztest
