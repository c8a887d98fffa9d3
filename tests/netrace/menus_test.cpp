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
  bool Start(Process& p, const Side& side, const std::string& keys, uint16_t base, int seconds) {
    fs::create_directories(side.dir + "/config");
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", side.Tree(), fs::copy_options::recursive);
    // The cars in use, as the shipped start-up script sets them, and the
    // race against the clock.
    ztest::WriteFile(side.Tree() + "/dat/UI.TXT", "OUTPUT 1\r\nUSINGCARS 1\r\nTIME OFF\r\nINTERFACE\r\n");
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

}  // namespace
