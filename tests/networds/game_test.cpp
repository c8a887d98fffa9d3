// The words in a game on 127.0.0.1, with the real network layers: a game
// created and joined by the words, the lists they print, the refusals of
// each network state, and PLAY and WATCH around a race that only records.
#include <cstdio>

#include "net/net.h"
#include "system/bmap.h"
#include "system/lsvar.h"
#include "tests/networds/networds_fixture.h"

namespace {

using ztest::CallsOf;
namespace np = plat::netplay;
using Calls = std::vector<std::string>;

class NetWordsGame : public ztest::NetWordsTest {
 protected:
  // The host opens the network and runs the line; the others can find it.
  void Host(const std::string& line, int32_t result = 1) {
    LS_NetSelect(&host_);
    ASSERT_EQ(Run("PROTOCOL 0"), 1);
    ASSERT_EQ(Run("STARTNET"), 1);
    ASSERT_EQ(Run(line), result);
    np::SetHosts("127.0.0.1:" + std::to_string(np::DiscoveryPort(host_.Transport.Object)));
  }
  void Joiner(TLSNET& m) {
    LS_NetSelect(&m);
    ASSERT_EQ(Run("PROTOCOL 0"), 1);
    ASSERT_EQ(Run("STARTNET"), 1);
  }
  static const std::string& Last() { return SB_PrintedLines().back(); }
};

TEST_F(NetWordsGame, CreateJoinListAndLeave) {
  Host("CREATE S ALBA RACE 4");
  EXPECT_EQ(SB_Var.NetControllerMax, 4);
  EXPECT_EQ(Run("CREATE T ALBA RACE"), 0);
  EXPECT_EQ(Last(), "Player already logged to a game...");
  Joiner(mia_);
  SB_ClearPrintedLines();
  EXPECT_EQ(Run("SERVERSLIST 500"), 1);
  EXPECT_EQ(SB_PrintedLines(), (Calls{"Server: 'S' : ID:0"}));
  EXPECT_EQ(Run("JOIN BRUNO NOPE"), 0);
  EXPECT_EQ(Last(), "Unknown server NOPE");
  EXPECT_EQ(Run("BROADCAST HI"), 0);
  EXPECT_EQ(Last(), "Not logged in.");
  ASSERT_EQ(Run("JOIN bruno s"), 1);
  EXPECT_TRUE(PrintedStart("Player BRUNO logged with ID["));
  EXPECT_EQ(Run("JOIN BRUNO S"), 0);
  EXPECT_EQ(Last(), "You are already connected to a game");
  SB_ClearPrintedLines();
  EXPECT_EQ(Run("PLAYERSLIST"), 1);
  char line[64];
  std::snprintf(line, sizeof line, "Player: 'ALBA' : ID:%ld", static_cast<long>(Hugo()));
  EXPECT_TRUE(Printed(line));
  std::snprintf(line, sizeof line, "Player: 'BRUNO' : ID:%ld", static_cast<long>(Mia()));
  EXPECT_TRUE(Printed(line));
  EXPECT_EQ(SB_PrintedLines().size(), 2u);  // the controller's own player is not listed
  EXPECT_EQ(Run("BROADCAST HELLO THERE"), 1);
  EXPECT_EQ(Run("LEAVE"), 1);
  EXPECT_EQ(SB_Var.XState, XSTATE_NETINITED);
  EXPECT_EQ(Run("CLOSENET"), 1);
  for (const char* word : {"LEAVE", "BROADCAST HI", "HALLOFFAME"}) EXPECT_EQ(Run(word), 0) << word;
  EXPECT_EQ(Run("PLAYERSLIST"), 1);
  EXPECT_EQ(Last(), "No players");
  EXPECT_EQ(Run("CLOSENET"), 1);
}

TEST_F(NetWordsGame, DedicatedServerHasNoLocalPlayer) {
  Host("SERVER S RACE 4");
  EXPECT_EQ(SB_Var.IsController, 1);
  EXPECT_EQ(SB_Var.NetControllerMax, 4);
  EXPECT_EQ(host_.Ctrl.Logged, 0);
  EXPECT_EQ(Run("SERVER T RACE 4"), 0);
  EXPECT_EQ(Last(), "Server already launched...");
  EXPECT_EQ(Run("HALLOFFAME"), 1);
}

TEST_F(NetWordsGame, MyServersListCancelledByTheTransport) {
  Host("CREATE S ALBA RACE 4");
  Joiner(mia_);
  np::Faults f;
  f.cancelEnumerations = 1;
  np::SetFaults(mia_.Transport.Object, f);
  EXPECT_EQ(Run("MYSERVERSLIST"), 0);
  EXPECT_EQ(Last(), "User cancel");
  EXPECT_EQ(Run("MYSERVERSLIST 500"), 1);
  EXPECT_EQ(Last(), "Server: 'S' : ID:0");
}

// The race on the joined machine: loading with sub-state playing during
// it, connected again after it, the cars as many as the slots.
TEST_F(NetWordsGame, PlayReportsLoadingThenConnected) {
  Host("CREATE S ALBA RACE 3");
  Joiner(mia_);
  ASSERT_EQ(Run("JOIN BRUNO S"), 1);
  XSTATE during = 0;
  int32_t sub = -1, renderer = -1;
  ztest::Wraps().duringRace = [&] {
    during = SB_Var.XState;
    sub = NET_LocalSubState();
    renderer = SB_Var.Renderer;
  };
  ztest::Wraps().calls.clear();
  SB_ClearPrintedLines();
  EXPECT_EQ(Run("PLAY"), 1);
  EXPECT_TRUE(Printed("About to PLAY RACE            "));
  EXPECT_EQ(during, XSTATE_LOADING);
  EXPECT_EQ(sub, XSUBSTATE_PLAYING);
  EXPECT_EQ(renderer, SB_RENDERER_PVR);
  EXPECT_EQ(SB_Var.XState, XSTATE_CONNECTED);
  EXPECT_EQ(SB_Var.Renderer, 0);
  EXPECT_EQ(CallsOf({"NET_SetControllerStatus", "SB_SetNumberOfCars", "SB_LoadIntroPicts", "SB_PlayRace",
                     "SB_FreeOptionPicts", "SB_FreeIntroPicts"}),
            (Calls{"NET_SetControllerStatus 4 1", "SB_SetNumberOfCars 3", "SB_LoadIntroPicts", "SB_PlayRace",
                   "SB_FreeOptionPicts", "SB_FreeIntroPicts", "NET_SetControllerStatus 3 0"}));
  ztest::Wraps().calls.clear();
  EXPECT_EQ(Run("WATCH"), 0);
  EXPECT_EQ(Last(), "About to WATCH RACE            ");
  EXPECT_TRUE(CallsOf({"SB_PlayRace", "NET_SetControllerStatus"}).empty());
}

TEST_F(NetWordsGame, PlayAndWatchRefusals) {
  SB_Var.RequestedRenderer = 1;  // PERSPECTIVE draws no 16-bit mode
  const int32_t depth = SB_GetSelectedVideoMode()->Depth;
  const std::string videoLine =
      "Videomode (" + std::to_string(depth) + "bits) not supported by [PERSPECTIVE]!!!";
  for (const char* word : {"PLAY", "WATCH"}) {
    EXPECT_EQ(Run(word), 0);
    EXPECT_EQ(Last(), videoLine);
  }
  SB_Var.RequestedRenderer = SB_RENDERER_PVR;
  BMAP screen{};
  screen.Depth = 8;
  LS_Var.Screen = &screen;
  LSI_Var.Debug = 1;
  EXPECT_EQ(Run("PLAY"), 0);
  EXPECT_EQ(Last(), "Windows must be in 16bits to debug PowerVr");
  LSI_Var.Debug = 0;
  LS_Var.Screen = nullptr;
  Host("CREATE S ALBA RACE 3");
  Joiner(mia_);
  ASSERT_EQ(Run("JOIN BRUNO S"), 1);
  SB_Var.XState = XSTATE_PLAYING;
  for (const char* word : {"PLAY", "WATCH"}) {
    EXPECT_EQ(Run(word), 0);
    EXPECT_EQ(Last(), "You are not connected !");
  }
  SB_Var.XState = XSTATE_CONNECTED;
  quiet_ = &host_;  // the controller no longer answers
  EXPECT_EQ(Run("PLAY"), 0);
  EXPECT_EQ(Last(), "Cannot get game info !");
  EXPECT_TRUE(CallsOf({"SB_PlayRace"}).empty());
}

TEST_F(NetWordsGame, PlayWithoutANetworkRacesHere) {
  EXPECT_EQ(Run("PLAY"), 1);
  EXPECT_EQ(CallsOf({"NET_SetControllerStatus", "SB_SetNumberOfCars", "SB_PlayRace"}), (Calls{"SB_PlayRace"}));
}

// The controller's words on a joined machine send nothing.
TEST_F(NetWordsGame, ControllerWordsOnAJoinedMachine) {
  Host("CREATE S ALBA CONTROLLEDRACE 4");
  Joiner(mia_);
  ASSERT_EQ(Run("JOIN BRUNO S"), 1);
  SB_ClearPrintedLines();
  for (const char* word : {"LAUNCHRACE", "RESTARTRACE", "STARTPRACTICE", "ENDOFRACE"}) EXPECT_EQ(Run(word), 0);
  EXPECT_TRUE(SB_PrintedLines().empty());
  LS_NetSelect(&host_);
  EXPECT_EQ(Run("FAME 61000 185000 ALBA"), 1);
  SB_ClearPrintedLines();
  EXPECT_EQ(Run("HALLOFFAME"), 1);
  EXPECT_TRUE(PrintedStart("[                    ZENTROVA RACE - HALL OF FAME"));
}

}  // namespace
