// The network menus end to end: the program run headless from INTERFACE
// on the manual clock, driven by an input script: RACE, NETWORK, the name
// typed, OK, the protocol list and its OK (the network opened), BACK
// through the network screens (the network closed), QUIT and Y; the typed
// name is then stored.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/program.h"
#include "tests/support/testenv.h"

namespace {

namespace fs = std::filesystem;

// The pointer 10 pixels above the items' centres: RACE (191, 125),
// NETWORK (330, 311), the name field (323, 228), its OK (331, 286), the
// protocols' OK (351, 398), BACK (76, 428), QUIT (70, 421). The stored
// name "UNKNOWN" is rubbed out before "ace" is typed. A click is held
// for 100 ms: a screen's pass may pump more often than a few times.
constexpr const char* kKeys =
    "clock 1\n"
    "8000ms mouse 191 115\n100ms 1 down\n100ms 1 up\n"
    "4000ms mouse 330 301\n100ms 1 down\n100ms 1 up\n"
    "4000ms mouse 323 218\n100ms 1 down\n100ms 1 up\n"
    "500ms char 8\n10 char 8\n10 char 8\n10 char 8\n10 char 8\n10 char 8\n10 char 8\n"
    "10 char 97\n10 char 99\n10 char 101\n10 char 13\n"
    "1000ms mouse 331 276\n100ms 1 down\n100ms 1 up\n"
    "4000ms mouse 351 388\n100ms 1 down\n100ms 1 up\n"
    "4000ms mouse 76 418\n100ms 1 down\n100ms 1 up\n"
    "4000ms 1 down\n100ms 1 up\n"
    "4000ms 1 down\n100ms 1 up\n"
    "4000ms 1 down\n100ms 1 up\n"
    "4000ms mouse 70 411\n100ms 1 down\n100ms 1 up\n1000ms 89 down\n";

const std::vector<std::string> kLines = {">INTERFACE", ">PROTOCOLSLIST", "Protocol: 'TCP/IP local network' : ID:0",
                                         ">PROTOCOL 0", ">STARTNET", ">CLOSENET", ">PROTOCOLSLIST", ">CLOSENET",
                                         ">QUIT"};

class NetMenusProgramTest : public ztest::Environment {};

TEST_F(NetMenusProgramTest, TheProtocolRoadAndBackWithTheNameStored) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  ztest::WriteFile(tree + "/dat/UI.TXT", "OUTPUT 1\r\nINTERFACE\r\n");
  ztest::WriteFile(temp_ + "/keys.txt", kKeys);
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "ui.txt", temp_ + "/stderr.txt"), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "");
  const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  std::istringstream log(console);
  size_t next = 0;
  for (std::string line; std::getline(log, line);)
    if (next < kLines.size() && line.rfind(kLines[next], 0) == 0) ++next;
  EXPECT_EQ(next, kLines.size()) << "missing or out of order: " << kLines[std::min(next, kLines.size() - 1)]
                                 << "\n" << console;
  EXPECT_EQ(console.find("Erreur Reseau"), std::string::npos);
  // Values are stored as "name=type:hex bytes".
  const std::string registry = ztest::ReadFile(config_ + "/registry.txt");
  // At full size, nothing of the name before it ("UNKNOWN") left after it.
  EXPECT_NE(registry.find("PlayerName=1:414345" + std::string(58, '0') + "\n"), std::string::npos) << registry;
}

}  // namespace
