// Two headless programs meet through the network menus over 127.0.0.1:
// one creates a server for two players, the other finds it in the server
// list and joins it; both race and come back to the menus, which they quit.
#include <unistd.h>

#include <cstring>

#include "tests/netrace/menukeys.h"
#include "tests/support/drivekeys.h"
#include "tests/netrace/pair.h"

namespace {

using namespace ztest::netrace;

class NetMenusPair : public ztest::Environment {};

TEST_F(NetMenusPair, OneCreatesOneJoinsThroughTheMenus) {
  const std::string server = "M" + std::to_string(getpid() % 100000);
  const uint16_t base = FreeBasePort();
  ASSERT_NE(base, 0);
  Side a{temp_ + "/a"}, b{temp_ + "/b"};
  Process pa, pb;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(600);
  ASSERT_TRUE(StartSide(pa, a, CreateKeys(server), base, Timing{}.hostSeconds));
  // The host answers a search for games once its race has loaded.
  ASSERT_TRUE(WaitFor(pa, a, {">CREATE " + server + " ALBA RACE 2", "[XNET]SETTING CONTROLLER STATUS TO READY2PLAY..."},
                      end))
      << a.Console() << a.Errors();
  ASSERT_TRUE(StartSide(pb, b, JoinKeys(), base, Timing{}.joinerSeconds));
  int codeA = -1, codeB = -1;
  bool endedA = false, endedB = false;
  while (!(endedA && endedB) && std::chrono::steady_clock::now() < end) {
    endedA = endedA || pa.Ended(&codeA);
    endedB = endedB || pb.Ended(&codeB);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(codeA, 0);
  EXPECT_EQ(codeB, 0);
  const std::vector<std::string> race = {">PLAY", "[XNET]SETTING CONTROLLER STATUS TO PLAYING...", "DisposeVehicles...",
                                         ">CLOSENET", ">CLOSENET", ">QUIT"};
  std::vector<std::string> host = {">PROTOCOLSLIST", ">PROTOCOL 0", ">STARTNET", ">CREATE " + server + " ALBA RACE 2",
                                   ">RUN PNET"};
  std::vector<std::string> joiner = {">PROTOCOLSLIST", ">PROTOCOL 0",  ">STARTNET",
                                     ">MYSERVERSLIST 0", "Server: '" + server + "'", ">PLAYERSLIST",
                                     "Player: 'ALBA'",   ">JOIN BRUNO " + server,  ">RUN PJNET"};
  host.insert(host.end(), race.begin(), race.end());
  joiner.insert(joiner.end(), race.begin(), race.end());
  EXPECT_EQ(MissingInOrder(a.Console(), host), "") << a.Console() << a.Errors();
  EXPECT_EQ(MissingInOrder(b.Console(), joiner), "") << b.Console() << b.Errors();
  // Each race ended by its time limit, and its end reached the controller.
  for (const char* name : {"ALBA", "BRUNO"})
    EXPECT_EQ(MissingInOrder(a.Console(), {std::string("[CTRL][NAME:") + name + " LAP:"}), "") << name;
  for (const Side* side : {&a, &b}) {
    EXPECT_EQ(side->Console().find("Erreur Reseau"), std::string::npos);
    EXPECT_EQ(side->Errors(), "");
  }
}

// The joiner's race loses its host (the host's program killed while both
// race): "NO MORE SERVER..." ends it, the menus come back on CHOOSE YOUR
// RACE with the network closed, and TIME TRIAL from there runs its race,
// which keeps racing rather than ending at its first frame on the session
// lost before. The joiner taps the accelerator every 500 ms (the race's
// confirmations) and clicks TIME TRIAL every 2 s, which acts only on
// CHOOSE YOUR RACE.
TEST_F(NetMenusPair, AfterTheHostIsLostATimeTrialRaces) {
  const std::string server = "L" + std::to_string(getpid() % 100000);
  const uint16_t base = FreeBasePort();
  ASSERT_NE(base, 0);
  Side a{temp_ + "/a"}, b{temp_ + "/b"};
  Process pa, pb;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(280);
  std::string taps, joiner = JoinKeys().substr(0, JoinKeys().find("500ms 16 down"));
  for (int t = 0; t < 1200; ++t) taps += "500ms 16 down\n2 16 up\n";
  for (int t = 0; t < 300; ++t)
    joiner += "500ms 16 down\n2 16 up\n500ms 16 down\n2 16 up\n500ms 16 down\n2 16 up\n"
              "500ms mouse 220 126\n0 1 down\n0 16 down\n2 1 up\n0 16 up\n";
  ASSERT_TRUE(StartSide(pa, a, taps, base, 600, "PROTOCOL 0\r\nSTARTNET\r\nCREATE " + server + " ALBA RACE 2\r\nPLAY\r\n"));
  ASSERT_TRUE(WaitFor(pa, a, {"[XNET]SETTING CONTROLLER STATUS TO READY2PLAY..."}, end)) << a.Console() << a.Errors();
  ASSERT_TRUE(StartSide(pb, b, joiner, base, 600));
  ASSERT_TRUE(WaitFor(pb, b, {">RUN PJNET", ">PLAY", "[XNET]SETTING CONTROLLER STATUS TO PLAYING..."}, end))
      << b.Console() << b.Errors();
  pa.Kill();
  const std::vector<std::string> lost = {">RUN PJNET", ">PLAY", "[SYS ][SESSION LOST...]", "DisposeVehicles...",
                                         ">CLOSENET", ">RUN PMONTRE", ">PLAY", "Memory used in game: "};
  ASSERT_TRUE(WaitFor(pb, b, lost, end)) << b.Console() << b.Errors();
  // The time trial goes on racing: 15 s on, it has not been torn down,
  // and TIME TRIAL was not started again.
  std::this_thread::sleep_for(std::chrono::seconds(15));
  const std::string log = b.Console();
  pb.Kill();
  const size_t trial = log.rfind(">RUN PMONTRE");
  EXPECT_EQ(log.find(">RUN PMONTRE"), trial);
  EXPECT_EQ(log.find("DisposeVehicles...", trial), std::string::npos) << log;
  EXPECT_EQ(b.Errors(), "");
}

// Under the shipped start-up, no TIME word typed: the host creates a game
// through the menus and stands on the grid; the joiner joins it and drives
// its one lap round the oval. The host leaves its race's end (F1) as soon
// as its own race is over, which ends the game for the joiner: its time
// (100 s) outlasts the joiner's lap. The joiner finishes and says its race time;
// the host takes it into its records (its log, "BestRec.TMB"), and a game
// created afterwards on the host lists it under HALLOFFAME, each within
// 1 s of the joiner's own.
TEST_F(NetMenusPair, AJoinersFinishEntersTheHostsHallOfFame) {
  const std::string server = "H" + std::to_string(getpid() % 100000);
  const uint16_t base = FreeBasePort();
  ASSERT_NE(base, 0);
  Side a{temp_ + "/a"}, b{temp_ + "/b"};
  Process pa, pb;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(280);
  const std::string host = ToNetworkMenu("alba") + ClickAt("3000ms", 361, 222) + ClickAt("3000ms", 330, 175) +
                           TypeText(13, server) + ClickAt("1000ms", 334, 246) + TypeText(2, "2") +
                           ClickAt("1000ms", 489, 322) + RaceThenQuit(1, 1, 340);
  // The joiner's race starts some 30 s after its JOIN: it steers from 35 s on.
  const std::string joiner = ToNetworkMenu("bruno") + ClickAt("3000ms", 345, 309) + ClickAt("8000ms", 525, 341) +
                             ztest::DriveKeys(true, 700, 200, 90, 50, 1000, b.dir) + RaceThenQuit(1, 1);
  ASSERT_TRUE(StartSide(pa, a, host, base, 100, "INTERFACE\r\n", true));
  ASSERT_TRUE(WaitFor(pa, a, {"[XNET]SETTING CONTROLLER STATUS TO READY2PLAY..."}, end)) << a.Console() << a.Errors();
  // The lap along the walls is slower than a player's: the joiner has time.
  ASSERT_TRUE(StartSide(pb, b, joiner, base, 300, "INTERFACE\r\n", true));
  ASSERT_TRUE(WaitFor(pb, b, {">RUN PJNET", ">TIME OFF", ">PLAY", "Race finished: place 1, race time "}, end))
      << b.Console() << b.Errors();
  ASSERT_TRUE(WaitFor(pa, a, {"[CTRL][Records file written.]"}, end)) << a.Console() << a.Errors();
  int code = 0;
  while (!(pa.Ended(&code) && pb.Ended(&code)) && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  pa.Kill();
  pb.Kill();
  const std::string joined = b.Console();
  const size_t said = joined.find("Race finished: place 1, race time ");
  const double own = std::strtod(joined.c_str() + joined.find('(', said) + 1, nullptr);
  EXPECT_GT(own, 30000.0);
  // The host's log of the finish, with the race time sent.
  const std::string hosted = a.Console();
  const size_t sent = hosted.find("[CTRL][NAME:BRUNO LAP:");
  ASSERT_NE(sent, std::string::npos) << hosted;
  EXPECT_NEAR(std::strtod(hosted.c_str() + hosted.find("RACE:", sent) + 5, nullptr), own, 1000.0);
  // The records file: ten records of 776 bytes, the name first and the
  // race time at 260.
  std::string records;
  for (const char* name : {"/BestRec.TMB", "/BESTREC.TMB"})
    if (records.empty()) records = ztest::ReadFile(a.Tree() + name);
  ASSERT_EQ(records.size(), 7760u);
  bool listed = false;
  for (size_t r = 0; r < 10; ++r) {
    if (std::string(records.c_str() + 776 * r) != "BRUNO") continue;
    uint32_t time = 0;
    std::memcpy(&time, records.data() + 776 * r + 260, 4);
    EXPECT_NEAR(double(time), own, 1000.0);
    listed = true;
  }
  EXPECT_TRUE(listed);
  // A game created on the host afterwards lists it.
  ztest::WriteFile(a.Tree() + "/dat/HOF.TXT",
                   "OUTPUT 1\r\nPROTOCOL 0\r\nSTARTNET\r\nCREATE " + server + "B ALBA RACE 2\r\nHALLOFFAME\r\nCLOSENET\r\nQUIT\r\n");
  ASSERT_TRUE(pa.Start("exec env ZENTROVA_HEADLESS=1 ZENTROVA_NET_HOSTS=127.0.0.1 ZENTROVA_NET_PORT=" + std::to_string(base) +
                       " ZENTROVA_DRIVES='C=fixed:" + a.Tree() + "' ZENTROVA_CONFIG_DIR='" + a.dir + "/config' '" ZENTROVA_EXE
                       "' -S:hof.txt >/dev/null 2>/dev/null"));
  while (!pa.Ended(&code) && std::chrono::steady_clock::now() < end + std::chrono::seconds(15))
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const std::string listing = a.Console();
  const size_t fame = listing.rfind("ZENTROVA RACE - HALL OF FAME");
  ASSERT_NE(fame, std::string::npos) << listing;
  const size_t row = listing.find("|           BRUNO| ", fame);
  ASSERT_NE(row, std::string::npos) << listing.substr(fame);
  // "m:ss:hh" as the game formats times.
  const std::string shown = listing.substr(row + 19, 9);
  int m = 0, sec = 0, hund = 0;
  ASSERT_EQ(std::sscanf(shown.c_str(), "%d:%d:%d", &m, &sec, &hund), 3) << shown;
  EXPECT_NEAR(m * 60000.0 + sec * 1000.0 + hund * 10.0, own, 1000.0);
}

}  // namespace
