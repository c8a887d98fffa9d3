// The built program headless on a copy of the default data tree, as a new
// user tries the tools from a start-up script: the race-line words on a
// control-point file, then MAKEROAD answered through the input script, and
// the piece turned into a map (MAP, BUILDMAP 1) and raced on.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "tests/support/program.h"
#include "tests/support/testenv.h"

namespace fs = std::filesystem;

namespace {

// A banked turn of 90 degrees to the left, 200 m on segments of 10 m.
constexpr const char* kAnswers[] = {"V", "", "10", "4", "200", "0.1", "90"};

// The first character comes once the console's start-up has flushed the
// keyboard (about 50 passes of the pump in), while MAKEROAD asks.
std::string TypedAnswers() {
  std::string script = "# pumps char code\n100 char 32\n3 char 8\n";
  for (const char* answer : kAnswers) {
    for (const char* c = answer; *c; ++c) script += "3 char " + std::to_string(int(*c)) + "\n";
    script += "3 char 13\n";
  }
  return script;
}

std::string ControlPoints() {
  const int32_t n = 3;
  const double xyz[] = {0, 0, 0, 30, 1, 40, 80, 0, 40};
  std::string bytes(reinterpret_cast<const char*>(&n), 4);
  bytes.append(reinterpret_cast<const char*>(xyz), sizeof xyz);
  return bytes;
}

using ToolsProgram = ztest::Environment;

TEST_F(ToolsProgram, RaceLineFilesAndARoadPieceRacedOn) {
  const fs::path data = fs::path(ZENTROVA_EXE).parent_path() / "data";
  const std::string tree = temp_ + "/tree";
  fs::copy(data, tree, fs::copy_options::recursive);
  ztest::WriteFile(tree + "/LINE.BSP", ControlPoints());
  // The piece's map information: the grid's origin on its lane 0, 20 m
  // along, 20 cm above the road under the first car (lane 3, 17.5 m
  // across, 1.76 m up on the bank of 0.1), the centre line the script saves.
  ztest::WriteFile(tree + "/txt/TEST.TXT",
                   "BSPLINENAME: METRES.BSP\r\nFIRSTCAROFF: -3.9,-8.36,13.6\r\nCARINITANGLEY: 0.0\r\n"
                   "FIRSTCAROFF: -3.9,-8.36,13.6\r\nCARINITANGLEY: 0.0\r\nFIRSTCAROFF: -3.9,-8.36,13.6\r\n"
                   "CARINITANGLEY: 0.0\r\nSUN: 1000.0,-3000.0,500.0\r\n");
  ztest::WriteFile(tree + "/dat/TOOLS.TXT",
                   "OUTPUT 1\r\nSAVEBSPLINE X.BSP\r\nLOADBSPLINE TXT>NETRACE.BSP\r\nSAVEBSPLINE X.BSP\r\n"
                   "LOADBSPLINE LINE.BSP\r\nSAVEBSPLINE AGAIN.BSP\r\nSAVEBSPLINEMETER METRES.BSP\r\n"
                   "MAKEROAD TEST.ASC\r\nMAP TEST TRAVUN\r\nBUILDMAP 1\r\nPLAY\r\nQUIT\r\n");
  ztest::WriteFile(temp_ + "/keys.txt", TypedAnswers());
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "tools.txt", temp_ + "/stderr.txt", 120), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "");

  const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  const std::vector<std::string> lines = {">SAVEBSPLINE X.BSP",
                                          "Error no bspline !!!",
                                          ">LOADBSPLINE TXT>NETRACE.BSP",
                                          "Bspline file TXT>NETRACE.BSP: 1103 points, 1000 at most !!!",
                                          ">SAVEBSPLINE X.BSP",
                                          "Error no bspline !!!",
                                          ">LOADBSPLINE LINE.BSP",
                                          ">SAVEBSPLINE AGAIN.BSP",
                                          "Bspline AGAIN.BSP saved.",
                                          ">SAVEBSPLINEMETER METRES.BSP",
                                          "Bspline meter METRES.BSP saved.",
                                          ">MAKEROAD TEST.ASC",
                                          "(D)roite De(b)ut F(i)n (C)ote C(h)ange D(e)but (F)in (V)irage: V",
                                          "Mur simplifie: ",
                                          "Longueur du carre de base: 10",
                                          "Nombre de voies: 4",
                                          "Longueur de la portion de route: 200",
                                          "Hauteur du virage: 0.1",
                                          "Angle du virage: 90",
                                          "Creation du circuit...",
                                          ">MAP TEST TRAVUN",
                                          ">BUILDMAP 1",
                                          ">PLAY",
                                          "Loading ascii map data...",
                                          "...Loading map data ..>ASC>TEST.ASC ...",
                                          "Loaded 4 textures out of 4...",
                                          ">QUIT"};
  std::istringstream log(console);
  size_t next = 0;
  for (std::string line; std::getline(log, line) && next < lines.size();)
    if (line.rfind(lines[next], 0) == 0) ++next;
  EXPECT_EQ(next, lines.size()) << "missing or out of order: " << lines[next] << "\n" << console;
  for (const char* wrong : {"Map warning", "Map error", "Tga not found", "Bspline file METRES", "Unknown type",
                            "Error creating", "File error", "Error: file"})
    EXPECT_EQ(console.find(wrong), std::string::npos) << wrong;
  EXPECT_EQ(ztest::ReadFile(tree + "/AGAIN.BSP"), ControlPoints());
  EXPECT_FALSE(ztest::FileExists(tree + "/X.BSP"));
  EXPECT_TRUE(ztest::FileExists(tree + "/ASC/TEST.ASC"));
  EXPECT_TRUE(ztest::FileExists(tree + "/DEC/TEST.DEC"));
}

}  // namespace
