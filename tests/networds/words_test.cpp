// The race and network words one by one: their usage lines and refusals,
// the calls they make with the numbers they read, the provider chosen by
// number or name, the controller's words where no controller runs, and
// bad input of every kind.
#include <cstring>

#include "net/net.h"
#include "race/hud_internal.h"
#include "tests/networds/networds_fixture.h"

namespace {

using ztest::CallsOf;
namespace np = plat::netplay;
using Calls = std::vector<std::string>;

class NetWords : public ztest::NetWordsTest {};

// Leaving the network forgets a session lost in the last race, its flag and
// the time since the loss, so that the next race does not end at once.
TEST_F(NetWords, LeavingTheNetworkForgetsALostSession) {
  for (const char* word : {"CLOSENET", "LEAVE"}) {
    SCOPED_TRACE(word);
    SB_Var.SessionLost = 1;
    SB_Hud.LostTime = 10000;
    ASSERT_EQ(SB_IsEndDelayOver(), 1);
    Run(word);
    EXPECT_EQ(SB_Var.SessionLost, 0);
    SB_Var.SessionLost = 1;  // a session lost anew: its delay starts again
    EXPECT_EQ(SB_IsEndDelayOver(), 0);
    SB_Var.SessionLost = 0;
  }
}

// Without a network: each word's own answer, no syntax error hidden.
TEST_F(NetWords, UsageLinesAndRefusalsWithoutANetwork) {
  struct Row {
    const char* line;
    int32_t result;
    const char* printed;  // the last line, "" for none
  };
  const Row rows[] = {
      {"CREATE S1 ALBA", 0, "Usage: CREATE ServerName PlayerName GameType [max-number-of-players]"},
      {"CREATE S1 ALBA RALLY", 0, "Unrecognized race type !"},
      {"SERVER S1 RACE", 0, "Usage: SERVER ServerName GameType [max-number-of-players]"},
      {"SERVER S1 RALLY 4", 0, "Unrecognized race type !"},
      {"RACEMODE RALLY", 0, "USAGE: RACEMODE TRAINING | OFFLINE | STANDALONE"},
      {"RACEMODE", 0, ""},
      {"PROTOCOL", 0, "Usage: PROTOCOL id"},
      {"PROTOCOL 99", 0, "Bad protocol..."},
      {"PROTOCOL -1", 0, "Bad protocol..."},
      {"PROTOCOL MODEM", 0, "Bad protocol..."},
      {"BROADCAST", 0, "USAGE: Broadcast <msg>"},
      {"BROADCAST HELLO", 0, "No network."},
      {"JOIN BRUNO", 0, "Usage: JOIN playerName serverName"},
      {"HALLOFFAME", 0, ""},
      {"FAME 1 2", 1, ""},
      {"LIST", 1, ""},
      {"INFOS", 1, "You are not connected !"},
      {"LEAVE", 0, "No server"},
      {"PLAYERSLIST", 1, "No players"},
      {"CLOSENET", 1, "Networked closed !"},
      {"WATCH", 0, "Watch failed : no network !"},
      {"DELAY 0", 1, ""},
      {"RALLY", 0, ""},
      {"", 0, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.line);
    SB_ClearPrintedLines();
    EXPECT_EQ(Run(r.line), r.result);
    const auto& printed = SB_PrintedLines();
    EXPECT_EQ(printed.empty() ? "" : printed.back(), std::string(r.printed));
  }
  EXPECT_TRUE(CallsOf({"NET_CreateServer", "SB_SetGameMode", "NET_Broadcast"}).empty());
}

// Fakes answer, so that only the words' own reading counts.
TEST_F(NetWords, NumbersAndNamesReachTheCallsClamped) {
  for (const char* f : {"NET_CreateServer", "NET_JoinServer", "SB_SetGameMode", "NET_GetSessions"}) Fake(f, 1);
  struct Row {
    const char* line;
    Calls calls;
  };
  const Row rows[] = {
      {"CREATE S1 ALBA RACE", {"SB_SetGameMode 2", "NET_CreateServer S1 ALBA 2 8"}},
      {"create s1 alba race 40", {"SB_SetGameMode 2", "NET_CreateServer S1 ALBA 2 16"}},
      {"CREATE S1 ALBA FREERACE 0", {"SB_SetGameMode 1", "NET_CreateServer S1 ALBA 1 1"}},
      {"CREATE S1 ALBA MULTIRACE -5", {"SB_SetGameMode 3", "NET_CreateServer S1 ALBA 3 1"}},
      {"CREATE S1 ALBA CONTROLLEDRACE 99999999999", {"SB_SetGameMode 4", "NET_CreateServer S1 ALBA 4 16"}},
      {"CREATE S1 ALBA RACE ABC", {"SB_SetGameMode 2", "NET_CreateServer S1 ALBA 2 1"}},
      {"SERVER S1 RACE 4", {"SB_SetGameMode 2", "NET_CreateServer S1 - 2 4"}},
      {"SERVER S1 RACE 40 EXTRA", {"SB_SetGameMode 2", "NET_CreateServer S1 - 2 16"}},
      {"RACEMODE DEMO", {"SB_SetGameMode 7"}},
      {"RACEMODE TRAINING", {"SB_SetGameMode 0"}},
      {"RACEMODE OFFLINE", {"SB_SetGameMode 5"}},
      {"RACEMODE STANDALONE", {"SB_SetGameMode 6"}},
      {"JOIN BRUNO S1", {"NET_JoinServer BRUNO S1"}},
      {"SERVERSLIST", {"NET_GetSessions 2000"}},
      {"SERVERSLIST -1", {"NET_GetSessions 0"}},
      {"SERVERSLIST 4294967296", {"NET_GetSessions 60000"}},
      {"SERVERSLIST 1500", {"NET_GetSessions 1500"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.line);
    ztest::Wraps().calls.clear();
    EXPECT_EQ(Run(r.line), 1);
    EXPECT_EQ(CallsOf({"SB_SetGameMode", "NET_CreateServer", "NET_JoinServer", "NET_GetSessions"}), r.calls);
  }
}

TEST_F(NetWords, BroadcastSendsItsFirstWordOnceLoggedIn) {
  Fake("NET_Broadcast", 1);
  SB_Var.XState = XSTATE_NETINITED;
  EXPECT_EQ(Run("BROADCAST HELLO THERE"), 0);
  EXPECT_EQ(SB_PrintedLines().back(), "Not logged in.");
  SB_Var.XState = XSTATE_CONNECTED;
  EXPECT_EQ(Run("BROADCAST HELLO THERE"), 1);
  EXPECT_EQ(CallsOf({"NET_Broadcast"}), (Calls{"NET_Broadcast HELLO"}));
}

// Where this machine runs no controller the race controls change nothing.
TEST_F(NetWords, ControllerWordsActOnlyOnTheControllersMachine) {
  for (const char* f : {"CTRL_EndOfRace", "CTRL_LaunchNewRace", "CTRL_StartNewRaceNow", "CTRL_EnterPracticeMode"})
    Fake(f, 1);
  const char* const controls[] = {"ENDOFRACE", "RESTARTRACE", "LAUNCHRACE", "STARTPRACTICE"};
  struct Machine {
    XSTATE state;
    int32_t isController;
  };
  for (const Machine m : {Machine{XSTATE_NONET, 0}, Machine{XSTATE_CONNECTED, 0}, Machine{XSTATE_NONET, 1}}) {
    SB_Var.XState = m.state;
    SB_Var.IsController = m.isController;
    for (const char* word : controls) EXPECT_EQ(Run(word), 0) << word;
  }
  EXPECT_EQ(CallsOf({"CTRL_EndOfRace", "CTRL_LaunchNewRace", "CTRL_StartNewRaceNow", "CTRL_EnterPracticeMode"}),
            Calls{});
  EXPECT_EQ(CallsOf({"LS_Beep"}).size(), 3u);  // ENDOFRACE beeps each time
  ztest::Wraps().calls.clear();
  SB_Var.XState = XSTATE_CONNECTED;
  SB_Var.IsController = 1;
  for (const char* word : controls) EXPECT_EQ(Run(word), 1) << word;
  EXPECT_EQ(ztest::Wraps().calls, (Calls{"CTRL_EndOfRace", "CTRL_LaunchNewRace", "CTRL_StartNewRaceNow",
                                         "CTRL_EnterPracticeMode"}));
}

TEST_F(NetWords, FameNeedsAllThreeWords) {
  Fake("CTRL_UpdateRecords", 0);
  EXPECT_EQ(Run("FAME 61000 185000"), 1);
  EXPECT_EQ(Run("FAME 61000 185000 ALBA"), 1);
  EXPECT_EQ(Run("FAME -5 ABC ALBA"), 1);
  EXPECT_EQ(CallsOf({"CTRL_UpdateRecords"}), (Calls{"CTRL_UpdateRecords 61000 185000 ALBA",
                                                    "CTRL_UpdateRecords 0 0 ALBA"}));
}

TEST_F(NetWords, ProtocolByNumberOrByExactName) {
  np::AddTestProvider(ztest::MakeGuid(1), "2");  // provider 1
  np::AddTestProvider(ztest::MakeGuid(2), "MODEM");
  struct Row {
    const char* line;
    int32_t result;
    int32_t provider;
  };
  for (const Row& r : {Row{"PROTOCOL 2", 1, 2}, Row{"PROTOCOL 0", 1, 0}, Row{"PROTOCOL MODEM", 1, 2},
                       Row{"PROTOCOL modem", 1, 2}, Row{"PROTOCOL MODE", 0, -1}, Row{"PROTOCOL 3", 0, -1}}) {
    SCOPED_TRACE(r.line);
    SB_Var.NetProtocol = -1;
    EXPECT_EQ(Run(r.line), r.result);
    EXPECT_EQ(SB_Var.NetProtocol, r.provider);
  }
}

// Listing words print what the network gives, keep it for the menus until
// the next one, and leave nothing behind.
TEST_F(NetWords, ListsPrintKeepAndFreeTheirEntries) {
  const int32_t blocks = LSI_Var.NbAlloc;
  Fake("NET_GetSessionsChecked", 0);
  Fake("NET_GetProtocols", 0);
  NET_ENUMENTRY a{3, 0, "S1"}, b{7, 0, "S2"};
  ztest::Wraps().sessions = {a, b};
  SB_ClearPrintedLines();
  EXPECT_EQ(Run("MYSERVERSLIST"), 1);
  EXPECT_EQ(SB_PrintedLines(), (Calls{"Server: 'S1' : ID:3", "Server: 'S2' : ID:7"}));
  int32_t count = 0;
  ASSERT_NE(NET_GetConsoleList(&count), nullptr);
  EXPECT_EQ(count, 2);
  EXPECT_STREQ(NET_GetConsoleList(&count)[1].Name, "S2");
  SB_ClearPrintedLines();
  EXPECT_EQ(Run("PROTOCOLSLIST"), 1);
  EXPECT_EQ(SB_PrintedLines(), (Calls{"Protocol: 'S1' : ID:3", "Protocol: 'S2' : ID:7"}));
  EXPECT_EQ(LSI_Var.NbAlloc, blocks + 1);  // the first list was freed
  ztest::Wraps().answers["NET_GetSessionsChecked"] = 1;  // cancelled
  EXPECT_EQ(Run("MYSERVERSLIST 100"), 0);
  EXPECT_EQ(SB_PrintedLines().back(), "User cancel");
  ztest::Wraps().sessions.clear();
  SB_ClearPrintedLines();
  EXPECT_EQ(Run("PROTOCOLSLIST"), 1);
  EXPECT_EQ(SB_PrintedLines(), (Calls{"No protocols"}));
  EXPECT_EQ(NET_GetConsoleList(&count), nullptr);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(LSI_Var.NbAlloc, blocks);
}

// Every word with missing, extra and outsized words: an answer, no crash.
TEST_F(NetWords, BadInputOfEveryWordIsRefusedOrClamped) {
  for (const char* f : {"NET_CreateServer", "NET_JoinServer", "NET_GetSessions", "NET_GetSessionsChecked",
                        "CTRL_UpdateRecords"})
    Fake(f, 0);
  const std::string longName(255, 'N');
  const char* const words[] = {"ENDOFRACE", "STARTPRACTICE", "RESTARTRACE", "LAUNCHRACE", "FAME", "HALLOFFAME",
                               "RACEMODE", "BROADCAST", "JOIN", "LEAVE", "CREATE", "SERVER", "SERVERSLIST",
                               "MYSERVERSLIST", "PLAYERSLIST", "PROTOCOLSLIST", "PROTOCOL", "INFOS", "LIST",
                               "STARTNET", "CLOSENET", "WATCH"};
  const std::string tails[] = {"", " " + longName, " ABC", " -5", " 99999999999", " A B C D E F",
                               " " + longName + " " + longName + " RACE " + longName};
  for (const char* word : words)
    for (const std::string& tail : tails) {
      SCOPED_TRACE(word + tail.substr(0, 40));
      const int32_t result = Run(word + tail);
      EXPECT_TRUE(result == 0 || result == 1);
    }
  SB_Var.XState = XSTATE_NONET;
  EXPECT_EQ(Run("CREATE " + longName + " !!! RACE"), 0);
}

}  // namespace
