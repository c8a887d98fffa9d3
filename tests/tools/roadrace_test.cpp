// The built program headless, as a track author makes a road piece and
// races on it under the shipped start-up: MAKEROAD answered through the
// input script, MAP and BUILDMAP 1 (the map built by the accelerator's
// race), then the map information and a centre line written as the README
// says, and the piece raced from its start by the README's keys. The
// driven car's replay shows it on the piece's floor and moving: at least
// 100 m in its first 10 s of driving.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/program.h"
#include "tests/support/replayrecords.h"
#include "tests/support/testenv.h"

namespace fs = std::filesystem;

namespace {

struct TPIECERUN {
  const char* what;
  std::vector<const char*> answers;  // to MAKEROAD's questions, after the piece's code
  const char* start;                 // FIRSTCAROFF: the grid's origin, 20 cm above the road
  const char* mode;                  // the race's renderer line after the shipped start-up
};

// The scene's metres in the race's world: x = X - 6.4, y = -Z - 6.4 (down),
// z = Y - 6.4.
struct TPOINT {
  double x, y, z;
};
TPOINT World(double X, double Y, double Z) { return {X - 6.4, -Z - 6.4, Y - 6.4}; }

// The written scene: every vertex (in the world, with its U), and the
// faces of its floor (road strips and gutters, not the walls).
struct TSCENE {
  std::vector<TPOINT> vertices;
  std::vector<double> u;
  std::vector<std::array<int32_t, 3>> floor;
};

TSCENE ReadScene(const std::string& text) {
  TSCENE scene;
  std::istringstream in(text);
  std::array<int32_t, 3> face{};
  for (std::string line; std::getline(in, line);) {
    long i = 0, a = 0, b = 0, c = 0;
    double X, Y, Z, U, V;
    if (std::sscanf(line.c_str(), "Vertex %ld: X:%lf Y:%lf Z:%lf U:%lf V:%lf", &i, &X, &Y, &Z, &U, &V) == 6) {
      scene.vertices.push_back(World(X, Y, Z));
      scene.u.push_back(U);
    } else if (std::sscanf(line.c_str(), "Face %ld: A:%ld B:%ld C:%ld", &i, &a, &b, &c) == 4) {
      face = {int32_t(a), int32_t(b), int32_t(c)};
    } else if (line.rfind("Material: ", 0) == 0 && line.find("mur") == std::string::npos) {
      scene.floor.push_back(face);
    }
  }
  return scene;
}

// The floor's height (world y) under (x, z), or NAN off the floor.
double FloorHeight(const TSCENE& s, double x, double z) {
  for (const auto& f : s.floor) {
    const TPOINT &a = s.vertices[f[0]], &b = s.vertices[f[1]], &c = s.vertices[f[2]];
    const double d = (b.x - a.x) * (c.z - a.z) - (c.x - a.x) * (b.z - a.z);
    if (d == 0) continue;
    const double v = ((x - a.x) * (c.z - a.z) - (c.x - a.x) * (z - a.z)) / d;
    const double w = ((b.x - a.x) * (z - a.z) - (x - a.x) * (b.z - a.z)) / d;
    if (v < -1e-9 || w < -1e-9 || v + w > 1 + 1e-9) continue;
    return a.y + v * (b.y - a.y) + w * (c.y - a.y);
  }
  return NAN;
}

// Control points along the middle of the road (the strips' vertices of U
// 1.0, lane boundary 2 of 4), one a sample, as LOADBSPLINE reads them.
std::string MiddleLine(const TSCENE& s) {
  std::vector<TPOINT> points;
  for (size_t i = 0; i < s.vertices.size(); ++i) {
    if (s.u[i] != 1.0) continue;
    bool seen = false;
    for (const TPOINT& p : points) seen = seen || std::hypot(p.x - s.vertices[i].x, p.z - s.vertices[i].z) < 1.0;
    if (!seen) points.push_back(s.vertices[i]);
  }
  const int32_t n = static_cast<int32_t>(points.size());
  std::string bytes(reinterpret_cast<const char*>(&n), 4);
  for (const TPOINT& p : points) {
    const double xyz[3] = {p.x, p.y, p.z};
    bytes.append(reinterpret_cast<const char*>(xyz), sizeof xyz);
  }
  return bytes;
}

std::string Typed(const std::vector<const char*>& answers) {
  std::string script = "# pumps char code\n100 char 32\n3 char 8\n";
  for (const char* answer : answers) {
    for (const char* c = answer; *c; ++c) script += "3 char " + std::to_string(int(*c)) + "\n";
    script += "3 char 13\n";
  }
  return script;
}

// The README's keys: accelerate for the automatic gearbox, again to start
// the engine, gear up, then accelerate held 11 s; Escape and F1.
constexpr const char* kDrive =
    "300 16 down\n10 16 up\n500ms 16 down\n10 16 up\n2500ms 65 down\n10 65 up\n0 16 down\n11000ms 16 up\n"
    "5 27 down\n2 27 up\n3 112 down\n5 112 up\n";

void PrintTo(const TPIECERUN& run, std::ostream* out) { *out << run.what; }

class RoadPieceProgram : public ztest::Environment, public ::testing::WithParamInterface<TPIECERUN> {};

TEST_P(RoadPieceProgram, BuiltAndRacedFromTheStartOnTheRoad) {
  const TPIECERUN& run = GetParam();
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  const std::string startup = ztest::ReadFile(tree + "/dat/startup.txt") + "\r\nOUTPUT 1\r\n";
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");

  // The piece's map information, which the race needs, then the piece made
  // and built into a map under the accelerator.
  ztest::WriteFile(tree + "/txt/PIECE.TXT", std::string("BSPLINENAME: TXT>PIECE.BSP\r\nFIRSTCAROFF: ") + run.start +
                                                "\r\nCARINITANGLEY: 0.0\r\nSUN: 1000.0,-3000.0,500.0\r\n");
  ztest::WriteFile(tree + "/dat/MAKE.TXT",
                   startup + "MAKEROAD PIECE.ASC\r\nMAP PIECE TRAVUN\r\nBUILDMAP 1\r\nPLAY\r\nQUIT\r\n");
  ztest::WriteFile(temp_ + "/make.txt", Typed(run.answers));
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/make.txt", "make.txt", temp_ + "/stderr.txt", 120), 0);
  std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  EXPECT_NE(console.find("Creation du circuit..."), std::string::npos);
  const std::string map = ztest::ReadFile(tree + "/DEC/PIECE.DEC");
  ASSERT_GT(map.size(), 256u);
  EXPECT_EQ(map[15], 1) << "the cube map the software modes read";
  const TSCENE scene = ReadScene(ztest::ReadFile(tree + "/ASC/PIECE.ASC"));
  ASSERT_GT(scene.floor.size(), 10u);

  // Its centre line, then the race.
  ztest::WriteFile(tree + "/LINE.BSP", MiddleLine(scene));
  ztest::WriteFile(tree + "/dat/RACE.TXT", startup + run.mode +
                                               "MAP PIECE TRAVUN\r\nLOADBSPLINE LINE.BSP\r\n"
                                               "SAVEBSPLINEMETER TXT>PIECE.BSP\r\nPLAY\r\nSAVEREPLAY PIECE.REP\r\nQUIT\r\n");
  ztest::WriteFile(temp_ + "/drive.txt", kDrive);
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/drive.txt", "race.txt", temp_ + "/stderr.txt", 120), 0);
  console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  for (const char* wrong : {"Map error", "not found", "Bspline file", "rror"})
    EXPECT_EQ(console.find(wrong), std::string::npos) << wrong << "\n" << console;

  // From the first record, on the floor (the car's centre within 1.5 m
  // above it) until 10 s after it first moved, having covered 100 m then.
  const std::vector<ztest::TRECORD> records = ztest::ReadReplay(ztest::ReadFile(tree + "/PIECE.REP"));
  ASSERT_GT(records.size(), 40u);
  uint32_t moved = 0;
  for (const ztest::TRECORD& r : records)
    if (!moved && std::hypot(r.x - records[0].x, r.z - records[0].z) > 1.0) moved = r.time;
  ASSERT_GT(moved, 0u);
  ASSERT_GE(records.back().time, moved + 10000);
  double covered = 0;
  for (size_t k = 0; k < records.size() && records[k].time <= moved + 10000; ++k) {
    const ztest::TRECORD& r = records[k];
    const double floor = FloorHeight(scene, r.x, r.z);
    ASSERT_TRUE(r.y < floor && r.y > floor - 1.5)
        << r.time << " ms: " << r.x << ", " << r.y << ", " << r.z << " over " << floor;
    if (k > 0 && records[k - 1].time >= moved)
      covered += std::hypot(r.x - records[k - 1].x, r.y - records[k - 1].y, r.z - records[k - 1].z);
  }
  EXPECT_GE(covered, 100.0);
}

// A straight of 4 lanes, 400 m long, and a bend of 400 m banked at 0.1
// radian turning 8 degrees right (an angle of -8), raced by the shipped
// start-up's four cars: the grid's origin 2.5 m left of the road, 20 m
// along the piece, puts them over the road's four lanes, the driven car
// in its lane 3, 15 m across; the grid's one height is that of the
// highest car, 17.5 x tan 0.1 = 1.76 m up on the bank.
INSTANTIATE_TEST_SUITE_P(
    Pieces, RoadPieceProgram,
    ::testing::Values(TPIECERUN{"straight", {"D", "", "4", "400"}, "-8.9,-6.6,13.6", ""},
                      TPIECERUN{"bend", {"V", "", "10", "4", "400", "0.1", "-8"}, "-8.9,-8.36,13.6", ""},
                      TPIECERUN{"bendsoftware", {"V", "", "10", "4", "400", "0.1", "-8"}, "-8.9,-8.36,13.6",
                                "MODE VECTOR\r\n"}),
    [](const ::testing::TestParamInfo<TPIECERUN>& info) { return std::string(info.param.what); });

}  // namespace
