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

using BuildMapProgram = ztest::Environment;

TEST_F(BuildMapProgram, BuildsSavesRacesThenLoads) {
  const fs::path data = fs::path(ZENTROVA_EXE).parent_path() / "data";
  const std::string tree = temp_ + "/tree";
  fs::copy(data, tree, fs::copy_options::recursive);
  ztest::WriteFile(tree + "/dat/BUILD.TXT",
                   "OUTPUT 1\r\nUSINGPVS 1\r\nMAP NETRACE TRAVUN\r\nBUILDMAP 1\r\nPLAY\r\nBUILDMAP\r\nMAP NETRACE "
                   "TRAVUN\r\nPLAY\r\nQUIT\r\n");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  const std::string command = "ZENTROVA_HEADLESS=1 ZENTROVA_DRIVES='C=fixed:" + tree +
                              "' ZENTROVA_CONFIG_DIR='" + config_ +
                              "' timeout 120 '" ZENTROVA_EXE "' -S:build.txt 2>'" + temp_ + "/stderr.txt'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "");

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
  std::istringstream log(ztest::ReadFile(tree + "/CONSOLE.TXT"));
  size_t next = 0;
  for (std::string line; std::getline(log, line) && next < lines.size();)
    if (line.find(lines[next]) != std::string::npos) ++next;
  EXPECT_EQ(next, lines.size()) << "missing or out of order: " << lines[next];
  // The program builds, in the software renderer's mode, the map datagen
  // built for the tree.
  EXPECT_EQ(ztest::ReadFile(tree + "/DEC/NETRACE.DEC"),
            ztest::ReadFile((data / "DEC" / "NETRACE.DEC").string()));
}

// The console's lines, in this order, in the tree's console log; the first
// missing one.
std::string MissingLine(const std::string& tree, const std::vector<std::string>& lines) {
  std::istringstream log(ztest::ReadFile(tree + "/CONSOLE.TXT"));
  size_t next = 0;
  for (std::string line; std::getline(log, line) && next < lines.size();)
    if (line.find(lines[next]) != std::string::npos) ++next;
  return next < lines.size() ? lines[next] : "";
}

TEST_F(BuildMapProgram, BuildsAndRacesALargeExtraCircuit) {
  const fs::path data = fs::path(ZENTROVA_EXE).parent_path() / "data";
  const std::string tree = temp_ + "/tree";
  fs::copy(data, tree, fs::copy_options::recursive);
  ASSERT_EQ(std::system(("'" ZENTROVA_DATAGEN "' --circuit 20000 '" + tree + "' NET20K").c_str()), 0);
  ztest::WriteFile(tree + "/dat/BUILD.TXT",
                   "OUTPUT 1\r\nUSINGPVS 1\r\nMAP NET20K TRAVUN\r\nBUILDMAP 1\r\nPLAY\r\nQUIT\r\n");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  const std::string command = "ZENTROVA_HEADLESS=1 ZENTROVA_DRIVES='C=fixed:" + tree +
                              "' ZENTROVA_CONFIG_DIR='" + config_ +
                              "' timeout 240 '" ZENTROVA_EXE "' -S:build.txt 2>'" + temp_ + "/stderr.txt'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "");
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
