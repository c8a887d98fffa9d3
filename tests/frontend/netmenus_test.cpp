// The network road's first screens: the lists' scrolling, PLAYER NAME,
// CHOOSE YOUR PROTOCOL and CREATE YOUR SERVER, with the console lines
// they send recorded and answered, their fields erased from the composed
// screen, and golden pictures of NETWORK MENU and CREATE YOUR SERVER.
#include <filesystem>
#include <functional>

#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/window.h"
#include "shell/settings.h"
#include "system/util.h"
#include "tests/frontend/netmenus_fixture.h"

namespace ztest {
namespace {

using NetMenusTest = NetMenuTest;

// One way along the road: the lines answered 0, the lines sent and the
// screen it ends on.
struct RoadCase {
  const char* name;
  std::map<std::string, int32_t> results;
  Lines lines;
  int32_t screen;
};

// The protocol screen entered with n protocols listed.
void Protocols(NetMenuTest* t, int n) {
  Canned().lists["PROTOCOLSLIST"] = NetMenuTest::Numbered("P", n);
  t->Enter(8);
  ProtocolScreen();
}

TEST_F(NetMenusTest, ScrollingTheProtocolList) {
  Protocols(this, 8);
  EXPECT_EQ(Arrows(SB_ProtocolList), 0);  // 8 fit: both arrows off
  EXPECT_EQ(Shown(SB_ProtocolList), (Names{"[P0]", "P1", "P2", "P3", "P4", "P5", "P6", "P7"}));

  Protocols(this, 9);
  EXPECT_EQ(Arrows(SB_ProtocolList), 1);  // the lower one on
  Release(8, 10);
  EXPECT_EQ(SB_Var.MenuProtocols[8].Line, 7);
  EXPECT_EQ(Arrows(SB_ProtocolList), 10);  // it turned itself off, the upper one on
  EXPECT_EQ(Shown(SB_ProtocolList), (Names{"[P1]", "P2", "P3", "P4", "P5", "P6", "P7", "P8"}));
  Release(8, 10);  // off: nothing moves
  EXPECT_EQ(SB_Var.MenuProtocols[8].Line, 7);
  Release(8, 9);
  EXPECT_EQ(Shown(SB_ProtocolList)[0], "[P0]");
  EXPECT_EQ(Arrows(SB_ProtocolList), 1);

  // Ten presses one way: the rows come round through ten places, one of
  // them blank, and the selection never moves.
  std::vector<int32_t> seen;
  for (int i = 0; i < 10; ++i) {
    Item(8, 9).RestState = 1;
    Release(8, 9);
    seen.push_back(SB_Var.MenuProtocols[0].Line);
    EXPECT_EQ(SB_Var.MenuProtocols[0].Selected, 1);
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 0}));
  EXPECT_EQ(Exec().lines, (Lines{"PROTOCOLSLIST"}));
}

TEST_F(NetMenusTest, TheProtocolRoad) {
  const RoadCase cases[] = {
      {"opened", {}, {"PROTOCOLSLIST", "PROTOCOL 102", "STARTNET"}, 14},
      {"start fails",
       {{"STARTNET", 0}},
       {"PROTOCOLSLIST", "PROTOCOL 102", "STARTNET", "Erreur Reseau STARTNET", "CLOSENET"},
       8},
      {"protocol refused", {{"PROTOCOL 102", 0}}, {"PROTOCOLSLIST", "PROTOCOL 102", "Erreur Reseau PROTOCOL 102"}, 8},
  };
  for (const RoadCase& c : cases) {
    SCOPED_TRACE(c.name);
    Canned().results = c.results;
    Protocols(this, 3);
    Press(8, 3);  // line 2
    EXPECT_EQ(Shown(SB_ProtocolList), (Names{"P0", "P1", "[P2]", "", "", "", "", ""}));
    const uint32_t before = LSYS_GetTime();
    Release(8, 11);
    EXPECT_EQ(Exec().lines, c.lines);
    EXPECT_EQ(SB_Var.MenuScreen, c.screen);
    if (c.results.count("STARTNET")) {
      EXPECT_GE(LSYS_GetTime() - before, 2500u);
    }
  }
  // A failing list: recorded, back to CHOOSE YOUR RACE.
  Canned().results = {{"PROTOCOLSLIST", 0}};
  Protocols(this, 3);
  EXPECT_EQ(Exec().lines, (Lines{"PROTOCOLSLIST", "Erreur Reseau PROTOCOLSLIST"}));
  EXPECT_EQ(SB_Var.MenuScreen, 5);
}

TEST_F(NetMenusTest, EmptyListsSendNothingAndOldHighlightsGo) {
  Protocols(this, 2);
  Canned().lists["PROTOCOLSLIST"] = {};
  Enter(8);
  ProtocolScreen();
  EXPECT_EQ(SB_Var.MenuNbProtocols, 0);
  EXPECT_EQ(Shown(SB_ProtocolList), Names(8, ""));
  Release(8, 11);
  EXPECT_EQ(Exec().lines, (Lines{"PROTOCOLSLIST"}));
}

TEST_F(NetMenusTest, KeysOnTheProtocolScreen) {
  Protocols(this, 3);
  // Up from line 0 wraps to the last protocol, Down wraps back.
  for (auto [key, expected] : {std::pair{38, 2}, {40, 0}, {40, 1}}) {
    plat::SetKeyState(key, true);
    int polls = 0;
    OnPoll() = [key, &polls] {
      if (++polls == 5) plat::SetKeyState(key, false);  // held while the screen looks
    };
    ProtocolScreen();
    OnPoll() = nullptr;
    EXPECT_EQ(HighlightedLine(SB_ProtocolList), expected) << key;
  }
  plat::SetKeyState(13, true);  // Enter is OK
  ProtocolScreen();
  plat::SetKeyState(13, false);
  EXPECT_EQ(Exec().lines, (Lines{"PROTOCOLSLIST", "PROTOCOL 101", "STARTNET"}));
  EXPECT_EQ(SB_Var.MenuScreen, 14);
}

TEST_F(NetMenusTest, ThePlayerName) {
  Enter(7);
  std::snprintf(SB_Var.MenuPlayerName, sizeof SB_Var.MenuPlayerName, "OLD");
  Type("\x08\x08\x08" "ace-pilot7x\r");
  Press(7, 2);
  EXPECT_STREQ(SB_Var.MenuPlayerName, "ACEPILOT");  // letters and digits, 8 at most
  EXPECT_EQ(SB_Var.MenuHotKeys, 1);
  Type("\x08\x08\x08\x08\x08\x08\x08\x08\rx\r");  // emptied, then Enter: edited again
  Press(7, 2);
  EXPECT_STREQ(SB_Var.MenuPlayerName, "X");
  plat::SetKeyState(13, true);  // Enter is OK
  PlayerNameScreen();
  plat::SetKeyState(13, false);
  EXPECT_EQ(SB_Var.MenuScreen, 8);
  EXPECT_EQ(SB_Var.MenuScreenReady, 0);
}

TEST_F(NetMenusTest, ThePlayerCountIsClamped) {
  struct Case {
    const char* typed;
    int32_t before, after;
  } cases[] = {{"\x08\x08" "1\r", 5, 2}, {"\x08\x08" "40\r", 5, 16}, {"\x08\x08" "0\r", 5, 2},
               {"\x08\x08" "99\r", 5, 16}, {"\x08\x08" "7\r", 5, 7}, {"\r", 40, 16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    Enter(10);
    SB_Var.MenuNbPlayers = c.before;
    Type(c.typed);
    Press(10, 3);
    EXPECT_EQ(SB_Var.MenuNbPlayers, c.after);
    EXPECT_EQ(SB_Var.MenuScreenReady, 0);
  }
  SB_Var.MenuNbPlayers = 0;
  CreateServerScreen();
  EXPECT_EQ(SB_Var.MenuNbPlayers, 2);
}

TEST_F(NetMenusTest, CreatingAServer) {
  const RoadCase cases[] = {
      {"created", {}, {"CREATE ACE PILOT RACE 4", "RUN PNET"}, 5},
      {"create fails",
       {{"CREATE ACE PILOT RACE 4", 0}},
       {"CREATE ACE PILOT RACE 4", "Erreur Reseau CREATE ACE PILOT RACE 4", "CLOSENET"},
       8},
      {"script fails",
       {{"RUN PNET", 0}},
       {"CREATE ACE PILOT RACE 4", "RUN PNET", "Erreur Reseau RUN PNET", "LEAVE", "CLOSENET"},
       8},
  };
  for (const RoadCase& c : cases) {
    SCOPED_TRACE(c.name);
    Enter(10);
    Canned().results = c.results;
    std::snprintf(SB_Var.MenuServerName, sizeof SB_Var.MenuServerName, "ACE");
    std::snprintf(SB_Var.MenuPlayerName, sizeof SB_Var.MenuPlayerName, "PILOT");
    SB_Var.MenuNbPlayers = 4;
    SB_Var.NoTimeLimit = 1;  // as the console's start-up leaves it
    Canned().switchAtPlay = -1;
    Release(10, 6);
    // The race runs its race clock, and the switch is given back.
    EXPECT_EQ(Canned().switchAtPlay, c.screen == 5 ? 0 : -1);
    EXPECT_EQ(SB_Var.NoTimeLimit, 1);
    SB_Var.NoTimeLimit = 0;
    Lines sent = Exec().lines;
    if (c.screen == 5) {
      // The race, with the network closed after it.
      ASSERT_GE(sent.size(), 4u);
      EXPECT_EQ(sent[sent.size() - 3], "PLAY");
      EXPECT_EQ(sent[sent.size() - 2], "CLOSENET");
      sent.resize(2);
    }
    EXPECT_EQ(sent, c.lines);
    EXPECT_EQ(SB_Var.MenuScreen, c.screen);
    // The server's values stored as the settings store them.
    LS_RegOpen(SB_SETTINGSKEY);
    char name[32] = {};
    uint8_t count[4] = {};
    uint32_t nameSize = sizeof name, countSize = sizeof count;
    EXPECT_TRUE(LS_RegGetValue("ServerName", name, &nameSize));
    EXPECT_TRUE(LS_RegGetValue("NbPlayers", count, &countSize));
    LS_RegClose();
    EXPECT_EQ(std::string(name, nameSize), std::string("ACE", 4));
    EXPECT_EQ(countSize, 4u);
    EXPECT_EQ(LS_ReadLELong(count), 4u);
  }
}

TEST_F(NetMenusTest, ARegistryThatCannotBeWrittenStillCreates) {
  Enter(10);
  plat::RegistryForget();
  std::filesystem::remove_all(config_ + "/registry.txt");
  std::filesystem::create_directories(config_ + "/registry.txt");  // no file can be written there
  Release(10, 6);
  ASSERT_FALSE(Exec().lines.empty());
  EXPECT_EQ(Exec().lines[0].rfind("CREATE ", 0), 0u) << Exec().lines[0];
}

TEST_F(NetMenusTest, BackingOutClosesTheNetworkAndListsAgain) {
  Protocols(this, 2);
  Release(8, 11);
  ASSERT_EQ(SB_Var.MenuScreen, 14);
  Exec().lines.clear();
  Release(14, 4);
  ProtocolScreen();
  EXPECT_EQ(Exec().lines, (Lines{"CLOSENET", "PROTOCOLSLIST"}));
  EXPECT_EQ(Shown(SB_ProtocolList)[0], "[P0]");
}

// A field is erased from the screen as it was composed, frames and all:
// with frames whose inside is tinted, a point of a redrawn field that no
// text covers shows what the screen showed there before, the tint of the
// frame's inside, not the bare background. Each row: the screen, what
// draws its fields, and the fields.
TEST_F(NetMenusTest, FieldsAreErasedFromTheComposedScreen) {
  Background(0x203040);
  Picture("INTER/BMAPS/TINT.TGA", 300, 330, [](int, int) { return 0x80C04020u; });
  for (int32_t row : {34, 42, 48}) SB_Var.MenuBmaps[row].FileName = "INTER>BMAPS>TINT.TGA";
  Canned().lists["MYSERVERSLIST 0"] = {"ALBA RACE"};
  Canned().lists["PLAYERSLIST"] = {"ALBA"};
  const struct {
    int32_t screen;
    std::function<void()> draw;
    std::vector<int32_t> fields;  // the fields' items
  } rows[] = {
      {7, [] { PlayerNameScreen(); }, {2}},
      {10,
       [this] {
         CreateServerScreen();
         Type("\x08\x08" "4\r");
         Press(10, 3);
         CreateServerScreen();
       },
       {1, 3}},
      {9, [] { ServersScreen(); }, {0, 3, 10}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.screen);
    Enter(row.screen);
    std::vector<uint32_t> before;
    const auto point = [&](int32_t index) {
      const TMENUITEM& field = Item(row.screen, index);
      return Pixel(SB_Var.MenuBmap, field.HitX2 - 3, field.HitY1 + 2);
    };
    for (int32_t index : row.fields) before.push_back(point(index));
    row.draw();
    for (size_t k = 0; k < row.fields.size(); ++k) EXPECT_EQ(point(row.fields[k]), before[k]) << row.fields[k];
  }
}

// A frame picture missing from the tree: NETWORK MENU draws without it,
// its buttons at their resting look.
TEST_F(NetMenusTest, AMissingFrameLeavesTheScreenWithoutIt) {
  std::filesystem::remove(root_ + "/INTER/BMAPS/DIALOG5A.TGA");
  Enter(14);
  ASSERT_EQ(SB_Var.DrawnMenuScreen, 14);
  EXPECT_EQ(SB_Var.MenuBmaps[68].Picture->SizeX, SB_MENUPLACEHOLDER);
  const TMENUITEM& create = Item(14, 1);
  const BMAP* look = SB_Var.MenuBmaps[create.Index].Normal;
  ASSERT_NE(look, nullptr);
  EXPECT_EQ(Pixel(SB_Var.MenuBmap, create.X + look->SizeX / 2, create.Y + look->SizeY / 2),
            Pixel(const_cast<BMAP*>(look), look->SizeX / 2, look->SizeY / 2));
}

using GoldenNetMenusTest = NetMenuTest;

// NETWORK MENU at rest, the pointer away from its buttons: CREATE SERVER
// and JOIN SERVER in their frame, at their normal look.
TEST_F(GoldenNetMenusTest, NetworkMenu) {
  LS_SetMousePos(600, 250);
  Enter(14);
  UpdateInterfaceCursor();
  ExpectReducedGolden("tests/frontend/golden/networkmenu.tga", root_);
}

// CREATE YOUR SERVER with the stored server name and a player count typed
// into its field.
TEST_F(GoldenNetMenusTest, CreateYourServer) {
  LS_SetMousePos(600, 250);
  Enter(10);
  CreateServerScreen();
  Type("\x08\x08" "6\r");
  Press(10, 3);
  CreateServerScreen();
  UpdateInterfaceCursor();
  ExpectReducedGolden("tests/frontend/golden/createserver.tga", root_);
}

TEST_F(NetMenusTest, TheTypedNameIsTheStoredOne) {
  Enter(7);
  std::snprintf(SB_Var.MenuPlayerName, sizeof SB_Var.MenuPlayerName, "ACE");
  SB_SaveSettings();
  SB_ApplySettings();
  EXPECT_STREQ(SB_Var.MenuPlayerName, "ACE");
  SB_Var.MenuPlayerName[0] = 0;
  SB_LoadSettings();
  EXPECT_STREQ(SB_Var.MenuPlayerName, "ACE");
}

}  // namespace
}  // namespace ztest
