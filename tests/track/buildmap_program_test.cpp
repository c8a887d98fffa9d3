// The built program headless on a copy of the default data tree, as a new
// user tries it (visibility sets on, as the start-up script sets them):
// "MAP NETRACE TRAVUN", "BUILDMAP 1" and PLAY build the
// circuit from its scene, save it and race; after MAP again (a race keeps
// its map loaded until the map is changed) a second PLAY loads the saved
// map. Also a circuit of 20,000 faces that datagen writes as an extra
// scene, built and raced the same way.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "tests/support/testenv.h"
#include "tests/track/track_fixture.h"

namespace fs = std::filesystem;

namespace {

class BuildMapProgram : public ztest::Environment {
 protected:
  // A copy of the build's data tree.
  std::string CopyTree() {
    const std::string tree = temp_ + "/tree";
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
    return tree;
  }
  // Runs the console script on the tree, killed after `seconds`; true when
  // it ended by itself with code 0 and wrote nothing to standard error.
  bool Run(const std::string& tree, const std::string& script, int seconds) {
    ztest::WriteFile(tree + "/dat/BUILD.TXT", script);
    WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
    const std::string command = "ZENTROVA_HEADLESS=1 ZENTROVA_DRIVES='C=fixed:" + tree + "' ZENTROVA_CONFIG_DIR='" +
                                config_ + "' timeout " + std::to_string(seconds) + " '" ZENTROVA_EXE
                                "' -S:build.txt 2>'" + temp_ + "/stderr.txt'";
    const int status = std::system(command.c_str());
    const std::string err = ztest::ReadFile(temp_ + "/stderr.txt");
    EXPECT_EQ(err, "");
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && err.empty();
  }
  // The console's lines, in this order, in the tree's console log; the
  // first missing one.
  static std::string MissingLine(const std::string& tree, const std::vector<std::string>& lines) {
    std::istringstream log(ztest::ReadFile(tree + "/CONSOLE.TXT"));
    size_t next = 0;
    for (std::string line; std::getline(log, line) && next < lines.size();)
      if (line.find(lines[next]) != std::string::npos) ++next;
    return next < lines.size() ? lines[next] : "";
  }
};

TEST_F(BuildMapProgram, BuildsSavesRacesThenLoads) {
  const fs::path data = fs::path(ZENTROVA_EXE).parent_path() / "data";
  const std::string tree = CopyTree();
  EXPECT_TRUE(Run(tree,
                  "OUTPUT 1\r\nUSINGPVS 1\r\nMAP NETRACE TRAVUN\r\nBUILDMAP 1\r\nPLAY\r\nBUILDMAP\r\nMAP NETRACE "
                  "TRAVUN\r\nPLAY\r\nQUIT\r\n",
                  120));

  // In this order: the build and its race, then the load and its race.
  const std::vector<std::string> lines = {">BUILDMAP 1",
                                          ">PLAY",
                                          "Loading ascii map data...",
                                          "...Loading map data ..>ASC>NETRACE.ASC ...",
                                          "Welding nearest vertices 100/100 welded",
                                          "ASC to DEC conversion algorithm...",
                                          "...Simplified faces: 0. Debugged faces: ",
                                          "Map after constructions: ",
                                          "PVS ok...",
                                          "Initializing game data...",
                                          "DisposeVehicles...",
                                          ">BUILDMAP",
                                          "Build Map mode set to 0.",
                                          ">MAP NETRACE TRAVUN",
                                          ">PLAY",
                                          "Loading decor map data...",
                                          "TFFACEPOLY...",
                                          "TFCUBE10POLY...",
                                          "Initializing game data...",
                                          ">QUIT"};
  EXPECT_EQ(MissingLine(tree, lines), "") << "missing or out of order";
  // The program builds, in the software renderer's mode, the map datagen
  // built for the tree.
  EXPECT_EQ(ztest::ReadFile(tree + "/DEC/NETRACE.DEC"),
            ztest::ReadFile((data / "DEC" / "NETRACE.DEC").string()));
}

TEST_F(BuildMapProgram, BuildsAndRacesALargeExtraCircuit) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "a build of 20,000 faces takes minutes in the program under the sanitizers";
#endif
  const std::string tree = CopyTree();
  ASSERT_EQ(std::system(("'" ZENTROVA_DATAGEN "' --circuit 20000 '" + tree + "' NET20K").c_str()), 0);
  EXPECT_TRUE(Run(tree, "OUTPUT 1\r\nUSINGPVS 1\r\nMAP NET20K TRAVUN\r\nBUILDMAP 1\r\nPLAY\r\nQUIT\r\n", 240));
  EXPECT_EQ(MissingLine(tree, {">MAP NET20K TRAVUN",
                               ">BUILDMAP 1",
                               ">PLAY",
                               "...Loading map data ..>ASC>NET20K.ASC ...",
                               "Map after loading: (20054 faces)",
                               "Welding nearest vertices 100/100 welded",
                               "ASC to DEC conversion algorithm...",
                               "Map conversion :  100/100",
                               "Map after constructions: ",
                               "PVS ok...",
                               "Initializing game data...",
                               ">QUIT"}),
            "");
  EXPECT_TRUE(fs::exists(tree + "/DEC/NET20K.DEC"));
}

}  // namespace
