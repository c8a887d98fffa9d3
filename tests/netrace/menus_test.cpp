// Two headless programs meet through the network menus over 127.0.0.1:
// one creates a server for two players, the other finds it in the server
// list and joins it; both race and come back to the menus, which they quit.
#include <unistd.h>

#include "tests/netrace/menukeys.h"
#include "tests/netrace/pair.h"

namespace {

using namespace ztest::netrace;

class NetMenusPair : public ztest::Environment {
 protected:
  // A side's tree, its configuration and its keys; the program started on
  // the discovery ports from base.
  // The start-up script runs its lines after the cars in use, as the
  // shipped start-up script sets them, and the race against the clock.
  bool Start(Process& p, const Side& side, const std::string& keys, uint16_t base, int seconds,
             const std::string& lines = "INTERFACE\r\n") {
    fs::create_directories(side.dir + "/config");
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", side.Tree(), fs::copy_options::recursive);
    ztest::WriteFile(side.Tree() + "/dat/UI.TXT", "OUTPUT 1\r\nUSINGCARS 1\r\nTIME OFF\r\n" + lines);
    ztest::WriteFile(side.dir + "/keys.txt", keys);
    // The race runs against the clock, without extensions; the joiner's
    // ends well before the host's, as in the console pair (each end waits
    // for the other's race to have ended).
    std::istringstream in(ztest::ReadFile(side.Tree() + "/txt/netrace.txt"));
    std::string circuit;
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("STARTINGTIME:", 0) == 0) line = "STARTINGTIME: " + std::to_string(seconds);
      if (line.rfind("TIMEXTEND:", 0) == 0) line = line.substr(0, line.find(',')) + ",0";
      circuit += line + "\n";
    }
    ztest::WriteFile(side.Tree() + "/txt/netrace.txt", circuit);
    return p.Start("exec env -u ZENTROVA_NET_FAULTS ZENTROVA_HEADLESS=1 ZENTROVA_NET_HOSTS=127.0.0.1 ZENTROVA_NET_PORT=" +
                   std::to_string(base) + " LSAN_OPTIONS=\"${LSAN_OPTIONS}:print_suppressions=0\" ZENTROVA_DRIVES='C=fixed:" +
                   side.Tree() + "' ZENTROVA_CONFIG_DIR='" + side.dir + "/config' ZENTROVA_INPUT_SCRIPT='" + side.dir +
                   "/keys.txt' '" ZENTROVA_EXE "' -S:ui.txt >/dev/null 2>'" + side.dir + "/stderr.txt'");
  }
  // Waits for the lines in a side's log; false at the deadline or its end.
  static bool WaitFor(Process& p, const Side& side, const std::vector<std::string>& lines,
                      std::chrono::steady_clock::time_point end) {
    int code = 0;
    while (MissingInOrder(side.Console(), lines) != "") {
      if (p.Ended(&code) || std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
  }
};

TEST_F(NetMenusPair, OneCreatesOneJoinsThroughTheMenus) {
  const std::string server = "M" + std::to_string(getpid() % 100000);
  const uint16_t base = FreeBasePort();
  ASSERT_NE(base, 0);
  Side a{temp_ + "/a"}, b{temp_ + "/b"};
  Process pa, pb;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(600);
  ASSERT_TRUE(Start(pa, a, CreateKeys(server), base, Timing{}.hostSeconds));
  // The host answers a search for games once its race has loaded.
  ASSERT_TRUE(WaitFor(pa, a, {">CREATE " + server + " ALBA RACE 2", "[XNET]SETTING CONTROLLER STATUS TO READY2PLAY..."},
                      end))
      << a.Console() << a.Errors();
  ASSERT_TRUE(Start(pb, b, JoinKeys(), base, Timing{}.joinerSeconds));
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
  ASSERT_TRUE(Start(pa, a, taps, base, 600, "PROTOCOL 0\r\nSTARTNET\r\nCREATE " + server + " ALBA RACE 2\r\nPLAY\r\n"));
  ASSERT_TRUE(WaitFor(pa, a, {"[XNET]SETTING CONTROLLER STATUS TO READY2PLAY..."}, end)) << a.Console() << a.Errors();
  ASSERT_TRUE(Start(pb, b, joiner, base, 600));
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

}  // namespace
