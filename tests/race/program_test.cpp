// The built program headless on a copy of the default data tree: a start-up
// script loads the sample car paints, saves them again and runs a race at
// an 8-bit and a 16-bit video mode, at both with four cars (the software
// view drawn behind the driven car), and on the accelerator,
// while the input
// script takes a screenshot, another with L held (the software view's
// outlines), pauses and leaves; scripts with nothing to type end and say
// what they did; the user keys chosen by INTERCUST drive and brake by
// their names, and those stored from the controls screen drive a race
// started from the console; DEMO drives the player's car on the attract
// lap, and a replay of a race loaded on car 0 drives it round the same
// path; in the race of four the opponents go round the player's car left
// on the pole. RACE's race of four from the menus starts afresh at F2 after
// its finish, its time-out and mid-race, and a centre line or race file it
// cannot take is refused by name while the program goes on.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "shell/settings.h"
#include "tests/support/drivekeys.h"
#include "tests/support/dumpshot.h"
#include "tests/support/hudtime.h"
#include "tests/support/program.h"
#include "tests/support/replayrecords.h"
#include "tests/support/testenv.h"

namespace fs = std::filesystem;

namespace {

// Alt+S once the race runs, again with L held, then Esc (pause) and F1
// (leave).
constexpr const char* kKeys =
    "# pumps key state\n300 18 down\n0 83 down\n5 83 up\n0 18 up\n"
    "5 76 down\n5 18 down\n0 83 down\n5 83 up\n0 18 up\n5 76 up\n"
    "5 27 down\n2 27 up\n3 112 down\n5 112 up\n";

// The pixels of a 640 x 480 24-bit screenshot, in blue, green, red order.
std::vector<std::array<uint8_t, 3>> Pixels(const std::string& shot) {
  std::vector<std::array<uint8_t, 3>> pixels(640 * 480);
  for (size_t i = 0; i < pixels.size() && 18 + 3 * i + 2 < shot.size(); ++i)
    for (size_t c = 0; c < 3; ++c) pixels[i][c] = static_cast<uint8_t>(shot[18 + 3 * i + c]);
  return pixels;
}

// The software view's outline colour, the 3D palette's (0, 63, 63), as a
// screenshot holds it: 8 bits through the palette, 16 bits through 5-6-5.
bool OutlineColour(const std::array<uint8_t, 3>& bgr) { return bgr[2] == 0 && bgr[1] >= 248 && bgr[0] >= 248; }

// The console's lines that a race prints, in their order.
const std::vector<std::string> kRaceLines = {
    ">PLAY", "Duplicating user cars...", "Loading decor map data...", "Loading palette...", "Initializing game data...",
    "SB_EvolutionPrepare...", "TransBackObc...", "SB_InitFonts...", "SB_Remap Cars...", "SB_InitRoadLights...",
    "Memory used in game: ", "SB_EndRoadLights...", "SB_UnInit3dData...", "DisposeListXZY...",
    "  Maximum polygons..: ", "  Maximum vertices..: ", "DisposeVehicles...", ">QUIT"};

// The lines before PLAY: a video mode, and a renderer (with four cars).
class ProgramRaceTest : public ztest::Environment, public testing::WithParamInterface<const char*> {};

TEST_P(ProgramRaceTest, PlaysARaceFromAScript) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  ztest::WriteFile(tree + "/dat/RACE.TXT",
                   "OUTPUT 1\r\nLOADTEXTCARS dat>cardefs.txt\r\nSAVETEXTCARS mine.txt\r\n" +
                       std::string(GetParam()) + "\r\nPLAY\r\nQUIT\r\n");
  ztest::WriteFile(temp_ + "/keys.txt", kKeys);
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "race.txt", temp_ + "/stderr.txt"), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "");  // no leak report, no error box

  const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  EXPECT_EQ(ztest::ReadFile(tree + "/MINE.TXT"), ztest::ReadFile(tree + "/dat/CARDEFS.TXT"));  // painted from them
  const bool accelerated = std::string(GetParam()).find("PVR") != std::string::npos;
  EXPECT_EQ(console.find("Current mode\t: PVR") != std::string::npos, accelerated);
  EXPECT_EQ(console.find("...Generating textures for car n: 3") != std::string::npos,
            std::string(GetParam()).find("NUMBEROFCARS 4") != std::string::npos);  // four cars
  EXPECT_EQ(fs::exists(tree + "/BNK/NETRACE.BN2"), accelerated);  // the map's texture bank, at scale 2
  for (const char* missing : {"File error", "not found", "Error ("})
    EXPECT_EQ(console.find(missing), std::string::npos);
  // Both renderers list the circuit's faces in view (the accelerator the
  // cars' too), so the largest view holds some.
  EXPECT_EQ(console.find("Maximum polygons..: 0\n"), std::string::npos);
  std::istringstream log(console);
  size_t next = 0;
  for (std::string line; std::getline(log, line) && next < kRaceLines.size();)
    if (line.rfind(kRaceLines[next], 0) == 0) ++next;
  EXPECT_EQ(next, kRaceLines.size()) << "missing or out of order: " << kRaceLines[next];

  const std::string shot = ztest::ReadFile(tree + "/SCREEN1.TGA"), outlined = ztest::ReadFile(tree + "/SCREEN2.TGA");
  ASSERT_EQ(shot.size(), 18u + 640 * 480 * 3);
  EXPECT_EQ(shot[2], 2);
  EXPECT_EQ(shot[16], 24);
  if (accelerated) return;
  const auto before = Pixels(shot);
  if (std::string(GetParam()).find("USINGCARS 1") != std::string::npos) {
    // The software view behind the driven car on the grid: the road's
    // greys over most of the view's lower rows (at 16 bits through 5-6-5,
    // whose green has a bit more), left of the dashboard's dials, which the
    // shot holds as the screen does.
    constexpr size_t kLeftOfDials = 440;
    int32_t grey = 0;
    for (size_t y = 320; y < 440; ++y)
      for (size_t x = 0; x < kLeftOfDials; ++x) {
        const size_t i = y * 640 + x;
        const auto [low, high] = std::minmax({before[i][0], before[i][1], before[i][2]});
        grey += low && high - low <= 7;
      }
    EXPECT_GT(grey, static_cast<int32_t>(kLeftOfDials) * 120 * 3 / 4);
    return;
  }
  // The race without cars stands still: L adds the outlines of the view's
  // entries, in their colour, and changes nothing else.
  ASSERT_EQ(outlined.size(), shot.size());
  const auto after = Pixels(outlined);
  int32_t outline = 0, other = 0;
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_FALSE(OutlineColour(before[i])) << i;
    if (after[i] == before[i]) continue;
    if (!OutlineColour(after[i])) {
      ++other;
      continue;
    }
    ++outline;
  }
  EXPECT_GT(outline, 640);  // the circuit's edges at the horizon, across the view
  EXPECT_EQ(other, 0);
}

INSTANTIATE_TEST_SUITE_P(VideoModes, ProgramRaceTest,
                         testing::Values("VIDEOMODE 7", "VIDEOMODE 17", "VIDEOMODE 7\r\nUSINGCARS 1\r\nNUMBEROFCARS 4",
                                         "VIDEOMODE 17\r\nUSINGCARS 1\r\nNUMBEROFCARS 4",
                                         "VIDEOMODE 17\r\nMODE PVR\r\nUSINGCARS 1\r\nNUMBEROFCARS 4"));

// The README's keys as a new user follows them, on the shipped start-up
// script with the real clock: accelerate chooses the automatic gearbox,
// accelerate again starts the engine, gear up once it has cranked, then
// accelerate held; two screenshots 5 s apart show the race moving on.
constexpr const char* kReadmeKeys =
    "300 16 down\n10 16 up\n500ms 16 down\n10 16 up\n2500ms 65 down\n10 65 up\n0 16 down\n"
    "1000ms 18 down\n0 83 down\n5 83 up\n0 18 up\n5000ms 18 down\n0 83 down\n5 83 up\n0 18 up\n"
    "5 16 up\n5 27 down\n2 27 up\n3 112 down\n5 112 up\n";

TEST_F(ProgramRaceTest, TheReadmesKeysDriveOffOnTheShippedStartup) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  ztest::WriteFile(tree + "/dat/DRIVE.TXT",
                   ztest::ReadFile(tree + "/dat/startup.txt") + "\r\nOUTPUT 1\r\nPLAY\r\nQUIT\r\n");
  ztest::WriteFile(temp_ + "/keys.txt", kReadmeKeys);
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "drive.txt", temp_ + "/stderr.txt"), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "");
  const std::string first = ztest::ReadFile(tree + "/SCREEN1.TGA"), second = ztest::ReadFile(tree + "/SCREEN2.TGA");
  ASSERT_EQ(first.size(), 18u + 640 * 480 * 3);
  ASSERT_EQ(second.size(), first.size());
  EXPECT_NE(first, second);
  EXPECT_EQ(ztest::ReadFile(tree + "/CONSOLE.TXT").find("Error ("), std::string::npos);
}

// The user's keys chosen by INTERCUST act by their names on the manual
// clock of the input script: "SHIFT" accelerates (a tap picks the
// automatic gearbox, a second starts the engine, Q shifts up, then held),
// "DOWN" brakes. Each run takes a screenshot after 1 s of driving and
// another 3 s later.
std::string CustomKeys(int accelerate, const char* afterFirstShot) {
  const std::string a = std::to_string(accelerate);
  return "clock 20\n300 " + a + " down\n10 " + a + " up\n500ms " + a + " down\n10 " + a +
         " up\n2500ms 81 down\n10 81 up\n0 " + a + " down\n1000ms 18 down\n0 83 down\n5 83 up\n0 18 up\n" +
         afterFirstShot +
         "3000ms 18 down\n0 83 down\n5 83 up\n0 18 up\n5 27 down\n2 27 up\n3 112 down\n5 112 up\n";
}

TEST_F(ProgramRaceTest, TheCustomKeysActByTheirNames) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  ztest::WriteFile(tree + "/dat/CUST.TXT",
                   "USINGCARS 1\r\nNUMBEROFCARS 1\r\nVIDEOMODE 17\r\nINTERCUST\r\nPLAY\r\nQUIT\r\n");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  // The two screenshots of a run with these keys.
  auto shots = [&](const std::string& keys) {
    ztest::WriteFile(temp_ + "/keys.txt", keys);
    fs::remove(tree + "/SCREEN1.TGA");
    fs::remove(tree + "/SCREEN2.TGA");
    EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "cust.txt", temp_ + "/stderr.txt", 120), 0)
        << keys;
    EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "");
    const std::pair<std::string, std::string> pair{ztest::ReadFile(tree + "/SCREEN1.TGA"),
                                                   ztest::ReadFile(tree + "/SCREEN2.TGA")};
    EXPECT_EQ(pair.first.size(), 18u + 640 * 480 * 3);
    EXPECT_EQ(pair.second.size(), pair.first.size());
    return pair;
  };
  const auto driven = shots(CustomKeys(16, ""));
  EXPECT_NE(driven.first, driven.second);        // the dials moved on
  EXPECT_EQ(shots(CustomKeys(16, "")), driven);  // the manual clock repeats the run
  const auto withS = shots(CustomKeys('S', ""));  // "SHIFT" is not S
  EXPECT_EQ(withS.first, withS.second);
  const auto coasting = shots(CustomKeys(16, "0 16 up\n"));
  const auto braking = shots(CustomKeys(16, "0 16 up\n0 40 down\n"));
  EXPECT_EQ(braking.first, coasting.first);
  EXPECT_NE(braking.second, coasting.second);
}

// The device and keys that SELECT COMMAND stored drive a race started from
// the console in a later run, no console word choosing them: "X" stored
// for ACCELERATE (and "Q" for GEAR UP) drives the car.
TEST_F(ProgramRaceTest, TheStoredCustomKeysDriveARaceStartedFromTheConsole) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  ztest::WriteFile(tree + "/dat/CUST.TXT", "USINGCARS 1\r\nNUMBEROFCARS 1\r\nVIDEOMODE 17\r\nPLAY\r\nQUIT\r\n");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  plat::RegistryForget();
  const plat::RegKey key = plat::RegCreateKey("SOFTWARE\\Tamrisk Entertainment\\Zentrova Race");
  const int32_t version = SB_SETTINGSVERSION, customKeys = 2;
  char accelerate[SB_KEYNAMESIZE] = "X", gearUp[SB_KEYNAMESIZE] = "Q";
  plat::RegSetValue(key, "TEST", plat::kRegString, "OK", 3);
  plat::RegSetValue(key, "Version", plat::kRegNumber, &version, 4);
  plat::RegSetValue(key, "ChoixInput", plat::kRegNumber, &customKeys, 4);
  plat::RegSetValue(key, "Accel", plat::kRegString, accelerate, sizeof accelerate);
  plat::RegSetValue(key, "GearUp", plat::kRegString, gearUp, sizeof gearUp);
  plat::RegCloseKey(key);
  plat::RegistryForget();
  ztest::WriteFile(temp_ + "/keys.txt", CustomKeys('X', ""));
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "cust.txt", temp_ + "/stderr.txt", 120), 0);
  const std::string first = ztest::ReadFile(tree + "/SCREEN1.TGA"), second = ztest::ReadFile(tree + "/SCREEN2.TGA");
  EXPECT_EQ(first.size(), 18u + 640 * 480 * 3);
  EXPECT_EQ(second.size(), first.size());
  EXPECT_TRUE(first != second) << "the dials moved on";
}

// As a user runs it headless with a script and nothing to type: a race
// ends after its set-up and a frame, a script with Linux line ends runs
// every line, each console line reaches standard output, and a script
// that cannot be read fails with its name on standard error.
using ProgramRunTest = ztest::Environment;

TEST_F(ProgramRunTest, HeadlessScriptsEndAndSayWhatTheyDid) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  ztest::WriteFile(tree + "/dat/PLAY.TXT", "PLAY\r\nQUIT\r\n");
  ztest::WriteFile(tree + "/dat/LF.TXT", "ECHO one\nECHO two\nQUIT\n");
  ztest::WriteFile(tree + "/dat/VIEW.TXT", "VIEWIMAGE BIG.TGA\r\nQUIT\r\n");
  // 2048 x 2048 at 8 bits, run-length coded, 65,664 bytes: the library
  // reads it, but its 24-bit copy does not fit the game's heap beside it.
  std::string big = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 8, 8, 0x20};
  big[0] = 110;  // an image identifier of 110 bytes
  big += std::string(110, 'i');
  for (int i = 0; i < 2048 * 2048 / 128; ++i) big += "\xFF\x07";
  ASSERT_EQ(big.size(), 65664u);
  ztest::WriteFile(tree + "/BIG.TGA", big);
  const struct {
    const char* script;
    int exitCode;
    std::vector<std::string> out;  // in their order on standard output
    const char* error;             // in standard error
  } cases[] = {{"play.txt", 0, kRaceLines, ""},
               {"lf.txt", 0, {">ECHO one", "one", ">ECHO two", "two", ">QUIT"}, ""},
               {"view.txt", 0, {">VIEWIMAGE BIG.TGA", "File BIG.TGA not found !!!", ">QUIT"}, ""},
               {"missing.txt", 1, {"File error... type DIR for directory..."}, "DAT>MISSING.TXT ("}};
  for (const auto& c : cases) {
    const std::string command = "ZENTROVA_HEADLESS=1 ZENTROVA_DRIVES='C=fixed:" + tree +
                                "' ZENTROVA_CONFIG_DIR='" + config_ +
                                "' timeout 60 '" ZENTROVA_EXE "' -S:" + c.script + " >'" + temp_ +
                                "/out.txt' 2>'" + temp_ + "/err.txt'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << c.script;
    EXPECT_EQ(WEXITSTATUS(status), c.exitCode) << c.script;
    std::istringstream out(ztest::ReadFile(temp_ + "/out.txt"));
    size_t next = 0;
    for (std::string line; std::getline(out, line) && next < c.out.size();)
      if (line.rfind(c.out[next], 0) == 0) ++next;
    EXPECT_EQ(next, c.out.size()) << c.script << ": missing or out of order: " << c.out[next];
    const std::string error = ztest::ReadFile(temp_ + "/err.txt");
    if (*c.error)
      EXPECT_NE(error.find(c.error), std::string::npos) << c.script << ": " << error;
    else
      EXPECT_EQ(error, "") << c.script;
  }
}

// The run command plays on a play tree of its own (scripts/play.sh, as
// scripts/run.sh starts it): the shipped start-up's accelerated race with
// a screenshot and a saved replay of its first second writes there, and
// the build's data tree, which the tests copy, is left as datagen made it.
std::map<std::string, std::string> TreeContents(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) files[fs::relative(entry.path(), root).string()] = ztest::ReadFile(entry.path());
  return files;
}

TEST_F(ProgramRunTest, TheRunCommandPlaysOnATreeOfItsOwn) {
  const fs::path build = fs::path(ZENTROVA_EXE).parent_path();
  const auto before = TreeContents(build / "data");
  const std::string play = temp_ + "/play";
  ztest::WriteFile(play + "/dat/MINE.TXT",
                   "OUTPUT 1\r\nRUN STARTUP.TXT\r\nPLAY\r\nSAVEREPLAY MINE.REP\r\nQUIT\r\n");
  // The gearbox chosen, so that the race records the car, then the keys.
  ztest::WriteFile(temp_ + "/keys.txt", "300 16 down\n10 16 up\n1000ms 16 down\n0 16 up\n" + std::string(kKeys));
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  const std::string command = "env -u ZENTROVA_DRIVES ZENTROVA_HEADLESS=1 ZENTROVA_BUILD_DIR='" + build.string() +
                              "' ZENTROVA_PLAY_DIR='" + play + "' ZENTROVA_CONFIG_DIR='" + config_ +
                              "' ZENTROVA_INPUT_SCRIPT='" + temp_ + "/keys.txt' timeout 300 '" ZENTROVA_SOURCE_DIR
                              "/scripts/play.sh' -S:mine.txt >/dev/null 2>'" + temp_ + "/err.txt'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << ztest::ReadFile(temp_ + "/err.txt");
  const std::string console = ztest::ReadFile(play + "/CONSOLE.TXT");
  EXPECT_NE(console.find("Current mode\t: PVR"), std::string::npos);
  for (const char* written : {"/SCREEN1.TGA", "/BNK/NETRACE.BN2", "/MINE.REP"})
    EXPECT_TRUE(fs::exists(play + written)) << written;
  EXPECT_EQ(ztest::ReadFile(play + "/dat/MINE.TXT").substr(0, 8), "OUTPUT 1");  // the player's own file kept
  EXPECT_TRUE(TreeContents(build / "data") == before) << "the build's data tree changed";
}

using Record = ztest::TRECORD;
std::vector<Record> ReplayRecords(const std::string& file) { return ztest::ReadReplay(file); }

double Metres(const double* a, const double* b) { return std::hypot(b[0] - a[0], b[1] - a[1], b[2] - a[2]); }
double Metres(const Record& a, const Record& b) { return std::hypot(b.x - a.x, b.y - a.y, b.z - a.z); }

// The path's length up to a time.
double PathLength(const std::vector<Record>& path, uint32_t until) {
  double length = 0.0;
  for (size_t i = 1; i < path.size() && path[i].time <= until; ++i) length += Metres(path[i - 1], path[i]);
  return length;
}

// Esc (pause) and F1 (leave) after ms of racing.
std::string LeaveAfter(int ms) { return std::to_string(ms) + "ms 27 down\n2 27 up\n3 112 down\n5 112 up\n"; }

// DEMO, as the main menu runs it after the shipped start-up, plays the
// attract lap on the player's car, which covers at least 200 m in its first
// 20 s (the car shown is recorded: SAVEREPLAY saves its path). A missing or
// damaged lap leaves the car on the grid with the loader's message, and the
// demonstration runs all the same.
TEST_F(ProgramRaceTest, TheDemoDrivesThePlayersCarOnTheAttractLap) {
  const struct {
    const char* what;
    const char* lap;  // SA0.REP's new contents, or null to keep it
    const char* said;
    int racingMs;
    double least, most;  // metres covered in the first 20 s
  } rows[] = {
      {"the shipped lap", nullptr, "Car 0: +13000 SA0.REP", 24000, 200.0, 1e9},
      {"a missing lap", "", "File SA0.REP not found !!!", 3000, 0.0, 0.5},
      {"a truncated lap", "Car replay file V1.01", "Old replay format !!!", 3000, 0.0, 0.5},
  };
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  for (const auto& row : rows) {
    const std::string tree = temp_ + "/tree";
    fs::remove_all(tree);
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
    if (row.lap && !*row.lap) fs::remove(tree + "/SA0.REP");
    if (row.lap && *row.lap) ztest::WriteFile(tree + "/SA0.REP", row.lap);
    ztest::WriteFile(tree + "/dat/SHOW.TXT",
                     "OUTPUT 1\r\nRUN STARTUP.TXT\r\nRUN DEMO\r\nPLAY\r\nSAVEREPLAY SHOWN.REP\r\nQUIT\r\n");
    ztest::WriteFile(temp_ + "/keys.txt", LeaveAfter(row.racingMs));
    EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "show.txt", temp_ + "/stderr.txt", 120), 0)
        << row.what;
    EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "") << row.what;
    const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
    EXPECT_NE(console.find(std::string(row.said) + "\n"), std::string::npos) << row.what;
    EXPECT_NE(console.find("Saved matrix replay SHOWN.REP of the car 0..."), std::string::npos) << row.what;
    const auto path = ReplayRecords(ztest::ReadFile(tree + "/SHOWN.REP"));
    ASSERT_FALSE(path.empty()) << row.what;
    if (row.lap) EXPECT_GE(path.back().time, 2000u) << row.what;
    else EXPECT_GE(path.back().time, 20000u) << row.what;
    const double covered = PathLength(path, 20000);
    EXPECT_GE(covered, row.least) << row.what;
    EXPECT_LE(covered, row.most) << row.what;
  }
}

// A one-car race driven by the README's keys and saved; its replay loaded
// on car 0 then drives that car round the same path, which is recorded and
// saved again: positions at the same times agree within a few centimetres.
// Before any race there is nothing to save, and SAVEREPLAY says so.
TEST_F(ProgramRaceTest, AReplayOnCarZeroDrivesItRoundTheSamePath) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  ztest::WriteFile(tree + "/dat/AGAIN.TXT",
                   "OUTPUT 1\r\nRUN STARTUP.TXT\r\nNUMBEROFCARS 1\r\nSAVEREPLAY EARLY.REP\r\nPLAY\r\n"
                   "SAVEREPLAY MYREP.REP\r\nINITREPLAY\r\nLOADREPLAY MYREP.REP 0\r\nPLAY\r\n"
                   "SAVEREPLAY AGAIN.REP\r\nQUIT\r\n");
  // The first race driven off the grid for 6 s, the second watched for 8 s.
  ztest::WriteFile(temp_ + "/keys.txt", "300 16 down\n10 16 up\n500ms 16 down\n10 16 up\n2500ms 65 down\n"
                                        "10 65 up\n0 16 down\n6000ms 16 up\n" +
                                            LeaveAfter(100) + LeaveAfter(8000));
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "again.txt", temp_ + "/stderr.txt", 120), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/stderr.txt"), "");
  const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  EXPECT_NE(console.find(">SAVEREPLAY EARLY.REP\nNo replay recorded !!!\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(tree + "/EARLY.REP"));
  EXPECT_NE(console.find("Car 0: +0 MYREP.REP"), std::string::npos);
  const std::string again = ztest::ReadFile(tree + "/AGAIN.REP");
  ASSERT_GE(again.size(), 264u);
  EXPECT_EQ(again.substr(256, 4), std::string(4, '\0'));  // car 0's
  const auto driven = ReplayRecords(ztest::ReadFile(tree + "/MYREP.REP")), shown = ReplayRecords(again);
  ASSERT_GE(driven.size(), 2u);
  ASSERT_GE(shown.size(), 2u);
  EXPECT_GE(PathLength(driven, driven.back().time), 30.0);  // it drove off
  EXPECT_GE(PathLength(shown, shown.back().time), 30.0);
  EXPECT_GE(shown.back().time, 6000u);
  // Each position shown, against the driven path at the same time.
  size_t compared = 0;
  for (const Record& r : shown) {
    for (size_t i = 1; i < driven.size(); ++i) {
      if (r.time < driven[i - 1].time || r.time >= driven[i].time) continue;
      const double f = double(r.time - driven[i - 1].time) / double(driven[i].time - driven[i - 1].time);
      const double at[3] = {driven[i - 1].x + (driven[i].x - driven[i - 1].x) * f,
                            driven[i - 1].y + (driven[i].y - driven[i - 1].y) * f,
                            driven[i - 1].z + (driven[i].z - driven[i - 1].z) * f};
      const double shownAt[3] = {r.x, r.y, r.z};
      EXPECT_LT(Metres(at, shownAt), 0.05) << r.time;
      ++compared;
    }
  }
  EXPECT_GE(compared + 2, shown.size());
}

// RACE's race of four as the menus start it (the start-up, then the race
// script "GAME"), the player's car left standing on the pole: automatic
// gearbox chosen, nothing pressed after, the race left 11 s after "GO"
// (12.5 s after "READY", when the recording starts). The player's recorded
// place and heading stay put until then (within 0.1 m and one step of the
// recorded angles): the three opponents from behind go by without pushing
// it or drawing it along in their slipstream.
TEST_F(ProgramRunTest, TheOpponentsGoRoundACarStandingOnThePole) {
  constexpr uint32_t kGo = 12500, kLeft = kGo + 11000;  // ms of the recording
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  ztest::WriteFile(tree + "/dat/STAND.TXT",
                   "OUTPUT 1\r\nRUN STARTUP.TXT\r\nRUN GAME\r\nPLAY\r\nSAVEREPLAY STAND.REP\r\nQUIT\r\n");
  ztest::WriteFile(temp_ + "/keys.txt",
                   "300 16 down\n10 16 up\n500ms 16 down\n10 16 up\n25000ms 27 down\n2 27 up\n3 112 down\n5 112 up\n");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "stand.txt", temp_ + "/err.txt", 180), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/err.txt"), "");
  const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  EXPECT_EQ(console.find("not found"), std::string::npos) << console;
  for (const char* replay : {"SA1.REP", "SA2.REP", "SA3.REP"})
    EXPECT_NE(console.find(std::string(">LOADREPLAY ") + replay), std::string::npos) << replay;

  const std::vector<ztest::TRECORD> records = ztest::ReadReplay(ztest::ReadFile(tree + "/STAND.REP"));
  ASSERT_GT(records.size(), 10u);
  ASSERT_GE(records.back().time, kLeft - 1000);
  const ztest::TRECORD& start = records.front();
  auto turned = [&](const ztest::TRECORD& r) {
    uint32_t most = 0;
    for (int k = 0; k < 3; ++k) most = std::max(most, std::min((r.angles[k] - start.angles[k]) & 1023u,
                                                               (start.angles[k] - r.angles[k]) & 1023u));
    return most;
  };
  double still = 0;  // m
  uint32_t turn = 0;
  for (const ztest::TRECORD& r : records) {
    still = std::max(still, std::hypot(r.x - start.x, r.z - start.z));
    turn = std::max(turn, turned(r));
  }
  EXPECT_LT(still, 0.1);
  EXPECT_LE(turn, 1u);
}

}  // namespace


namespace {

// A dumped 640 x 480 24-bit picture of the window, and whether a pixel is
// dark: the HUD's letters are edged in near black, which neither the sky
// nor the clouds behind them hold.
struct Dump {
  std::string bytes;
  bool Valid() const { return bytes.size() >= 18u + 640 * 480 * 3; }
  std::array<uint8_t, 3> Rgb(int x, int y) const {
    const int row = (bytes[17] & 0x20) ? y : 479 - y;
    const size_t i = 18 + (size_t(row) * 640 + x) * 3;
    return {uint8_t(bytes[i + 2]), uint8_t(bytes[i + 1]), uint8_t(bytes[i])};
  }
  bool Edge(int x, int y) const {
    const auto [r, g, b] = Rgb(x, y);
    return std::max({r, g, b}) <= 48;
  }
  bool Yellow(int x, int y) const {
    const auto [r, g, b] = Rgb(x, y);
    return r > 200 && r - b > 70;
  }
};

// The letters' edges in a box, as rows of '#' and '.'.
std::vector<std::string> Mask(const Dump& d, int x1, int y1, int x2, int y2) {
  std::vector<std::string> rows;
  for (int y = y1; y < y2; ++y) {
    std::string row;
    for (int x = x1; x < x2; ++x) row += d.Edge(x, y) ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}
int Count(const std::vector<std::string>& mask) {
  int n = 0;
  for (const std::string& r : mask) n += static_cast<int>(std::count(r.begin(), r.end(), '#'));
  return n;
}
// The mask's last `glyphs` runs of marked columns (its rightmost
// glyphs), cut out as a picture of their own: equal for equal text.
std::vector<std::string> LastGlyphs(const std::vector<std::string>& mask, int glyphs) {
  if (mask.empty()) return {};
  auto blank = [&](int x) {
    for (const std::string& r : mask)
      if (r[x] == '#') return false;
    return true;
  };
  int right = static_cast<int>(mask[0].size()) - 1;
  while (right >= 0 && blank(right)) --right;
  if (right < 0) return {};
  int left = right;
  for (int g = 0; g < glyphs; ++g) {
    while (left >= 0 && !blank(left)) --left;
    if (g + 1 < glyphs)
      while (left >= 0 && blank(left)) --left;
  }
  std::vector<std::string> out;
  for (const std::string& r : mask) out.push_back(r.substr(left + 1, right - left));
  return out;
}

// The race's view starts 40 rows down the window; the HUD's values lie at
// TIME (435, 32), LAP (19, 44) and POS (559, 44) of it (their first
// font 31 rows high, the second 20), the result's two
// words "RACE COMPLETED" across the middle of its top.
constexpr int kHudTop = 40;

using ztest::SetRaceKeys;

// The keys of a race of RACE: the gearbox chosen, then the driving, then
// Esc and F1, which leave the race.
std::string RaceKeys(bool round, int period, int periods, int dumpEvery, const std::string& dumps) {
  return std::string(ztest::kChooseTheGearbox) + ztest::DriveKeys(round, period, periods, 30, 24, dumpEvery, dumps) +
         ztest::kLeaveTheRace;
}

// The race distance along the centre line of the tree's circuit at each
// record of a replay, counted as the game counts it (a lap each time the
// car passes from the line's last tenth into its first): (ms, metres).
std::vector<std::pair<uint32_t, double>> RaceDistances(const std::string& tree, const std::string& replay) {
  const std::string line = ztest::ReadFile(tree + "/txt/NETRACE.BSP");
  uint32_t n = 0;
  if (line.size() >= 4) std::memcpy(&n, line.data(), 4);
  std::vector<std::array<double, 3>> points(std::min<size_t>(n, (line.size() - 4) / 24));
  for (size_t i = 0; i < points.size(); ++i) std::memcpy(points[i].data(), line.data() + 4 + 24 * i, 24);
  std::vector<std::pair<uint32_t, double>> out;
  if (points.empty()) return out;
  const int32_t count = static_cast<int32_t>(points.size());
  int32_t sector = 0, laps = 0;
  for (const ztest::TRECORD& r : ztest::ReadReplay(ztest::ReadFile(replay))) {
    int32_t nearest = 0;
    double best = 1e300;
    for (int32_t i = 0; i < count; ++i) {
      const double d = std::hypot(points[i][0] - r.x, points[i][2] - r.z);
      if (d < best) best = d, nearest = i;
    }
    const int32_t now = nearest * 10 / count;
    if (sector >= 9 && now == 0) ++laps;
    if (sector == 0 && now >= 9) --laps;
    sector = now;
    out.push_back({r.time, double(laps) * count + nearest});
  }
  return out;
}

}  // namespace

// RACE's race of four as a player meets it: the shipped start-up, then the
// race script "GAME" and PLAY, the car driven by the keys. Once the race
// runs, the time under "TIME" differs between dumps 3 s apart, and the
// place under "POS" ends in "/4" as the lap counter draws "/4" of a race
// of 4 laps (the copy of the tree races 4, NLAPS set apart to 2).
TEST_F(ProgramRunTest, TheFourCarRaceRunsItsClockAfterTheShippedStartup) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  SetRaceKeys(tree, {{"OFFLINENLAPS", "4"}, {"NLAPS", "2"}});
  ztest::WriteFile(tree + "/dat/FOUR.TXT", "OUTPUT 1\r\nRUN STARTUP.TXT\r\nRUN GAME\r\nPLAY\r\nQUIT\r\n");
  constexpr int kDumps = 12;
  ztest::WriteFile(temp_ + "/keys.txt", RaceKeys(false, 750, 12 + 4 * (kDumps - 1) + 1, 4, temp_));
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "four.txt", temp_ + "/err.txt", 240), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/err.txt"), "");
  // "/4" under POS as under LAP (the font's edges, right of the place).
  auto placed = [](const Dump& d) {
    const auto lap = LastGlyphs(Mask(d, 19, kHudTop + 44, 130, kHudTop + 72), 2);  // left of BEST LAP's value
    const auto pos = Mask(d, 559, kHudTop + 44, 636, kHudTop + 72);               // left of the window's edge
    return Count(lap) > 20 && LastGlyphs(pos, 2) == lap && Count(pos) > Count(lap) + 20;
  };
  int ticking = 0, places = 0;
  for (int k = 0; k + 1 < kDumps; ++k) {
    const Dump a{ztest::ReadFile(temp_ + "/dump" + std::to_string(k) + ".tga")},
        b{ztest::ReadFile(temp_ + "/dump" + std::to_string(k + 1) + ".tga")};
    ASSERT_TRUE(a.Valid() && b.Valid()) << k;
    if (!placed(b)) continue;
    ++places;
    // The time's box also holds the scenery's edges (a windmill), which
    // move as the car does: compared only between pictures that show
    // the HUD's values.
    const int y = kHudTop + 32;
    if (placed(a) && Mask(a, 430, y, 575, y + 24) != Mask(b, 430, y, 575, y + 24)) ++ticking;
  }
  // About 10 of the 12 pictures come after "GO"; dark scenery behind
  // the lap counter (the gantry, a car) hides some.
  EXPECT_GE(places, 5) << "POS n/4";
  EXPECT_GE(ticking, 3) << "the time under TIME ticks";
}

// RACE's race of four, one lap long in a copy of the tree (NLAPS set apart
// to 3, 300 s to start with), driven round by the keys after the shipped
// start-up, "GAME" and PLAY: the car finishes, the console says its race time, which is the
// time from "GO" to the car's crossing of the line as its saved replay
// records it (within 1 s; "GO" comes 12.5 s after "READY", where the
// recording starts), and the window shows "RACE COMPLETED" in the HUD's
// yellow, which the race did not show while it ran.
TEST_F(ProgramRunTest, TheFourCarRaceFinishesAfterItsLapWithItsTimeFromGo) {
  constexpr double kGo = 12500;
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  // The lap along the walls is slower than a player's: time enough for it.
  SetRaceKeys(tree, {{"OFFLINENLAPS", "1"}, {"NLAPS", "3"}, {"STARTINGTIME", "300"}});
  ztest::WriteFile(tree + "/dat/LAP.TXT",
                   "OUTPUT 1\r\nRUN STARTUP.TXT\r\nRUN GAME\r\nPLAY\r\nSAVEREPLAY LAP.REP\r\nQUIT\r\n");
  // The same keys drive another line at another frame rate (each frame
  // ends with a physics step of the time left over), and a loaded machine
  // halves the rate: the lap is driven on the input script's clock, every
  // frame 10 ms, so that it is the same lap on any machine. The race
  // clock is checked on the real clock by the test above.
  ztest::WriteFile(temp_ + "/keys.txt", "clock 10\n" + RaceKeys(true, 700, 180, 30, temp_));
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  // Under the sanitizers the lap alone takes over 3 minutes of a loaded
  // machine: the limit leaves it room below the test's own.
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "lap.txt", temp_ + "/err.txt", 450), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/err.txt"), "");
  const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  const size_t said = console.find("Race finished: place ");
  ASSERT_NE(said, std::string::npos) << console;
  const size_t open = console.find('(', said);
  ASSERT_NE(open, std::string::npos);
  const double raceTime = std::strtod(console.c_str() + open + 1, nullptr);

  const auto distances = RaceDistances(tree, tree + "/LAP.REP");
  const double lap = static_cast<double>(ztest::ReadFile(tree + "/txt/NETRACE.BSP").size() - 4) / 24;
  double crossed = -1;
  for (size_t i = 1; i < distances.size() && crossed < 0; ++i) {
    const auto [t0, d0] = distances[i - 1];
    const auto [t1, d1] = distances[i];
    if (d0 < lap && d1 >= lap) crossed = t0 + (t1 - t0) * (lap - d0) / (d1 - d0);
  }
  ASSERT_GT(crossed, kGo) << "the car never crossed the line after its lap";
  EXPECT_NEAR(raceTime, crossed - kGo, 1000.0);

  auto yellow = [](const Dump& d) {
    int n = 0;
    for (int y = kHudTop + 40; y < kHudTop + 120; ++y)
      for (int x = 200; x < 440; ++x) n += d.Yellow(x, y);
    return n;
  };
  const Dump racing{ztest::ReadFile(temp_ + "/dump1.tga")}, end{ztest::ReadFile(temp_ + "/final.tga")};
  ASSERT_TRUE(racing.Valid() && end.Valid());
  EXPECT_LT(yellow(racing), 500);
  EXPECT_GE(yellow(end), 2000) << "RACE COMPLETED";
}

namespace {

// RACE's race of four as a player starts it from the menus, on the input
// script's clock (a frame every `clock` ms: the same race on any machine):
// the shipped start-up, INTERFACE, then RACE on MAIN MENU and RACE on
// CHOOSE YOUR RACE clicked (the pointer 10 pixels above their centres,
// (191, 125) and (420, 145); the splashes and the screens' changes take
// frames, whatever their length); after the script's keys, Q leaves the
// menus and the script quits.
class MenusRaceTest : public ztest::Environment {
 protected:
  // The program's exit code; the console's lines kept in console_.
  int Race(const std::string& tree, int clock, const std::string& keys, int seconds) {
    ztest::WriteFile(tree + "/dat/UI.TXT", "OUTPUT 1\r\nRUN STARTUP.TXT\r\nINTERFACE\r\nQUIT\r\n");
    ztest::WriteFile(temp_ + "/keys.txt", "clock " + std::to_string(clock) +
                                              "\n800 mouse 191 115\n10 1 down\n10 1 up\n"
                                              "400 mouse 420 135\n10 1 down\n10 1 up\n" +
                                              keys + "3000ms 81 down\n10 81 up\n");
    WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
    const int code =
        ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "ui.txt", temp_ + "/err.txt", seconds);
    console_ = ztest::ReadFile(tree + "/CONSOLE.TXT");
    return code;
  }
  // The console's lines that start with the text.
  std::vector<std::string> Said(const std::string& text) const {
    std::vector<std::string> lines;
    std::istringstream log(console_);
    for (std::string line; std::getline(log, line);)
      if (line.rfind(text, 0) == 0) lines.push_back(line);
    return lines;
  }
  std::string Tree() {
    const std::string tree = temp_ + "/tree";
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
    return tree;
  }
  std::string console_;
};

// F2 at the end menu, and Esc then F2 during the race, after ms.
std::string F2After(int ms) { return std::to_string(ms) + "ms 113 down\n5 113 up\n"; }
std::string EscF2After(int ms) { return std::to_string(ms) + "ms 27 down\n2 27 up\n3 113 down\n5 113 up\n"; }

// A race one lap long in the copy of the tree, driven round the oval to its
// finish (about 44 s after "GO", which comes 12.5 s after the gearbox's
// choice), F2 at the result, the gearbox chosen again and the same keys:
// the race after the restart finishes too, as the first did (the same keys
// on the same clock drive the same race): its place, its race time counted
// from its own "GO", and its best lap from the line to the line, not the
// part lap from the grid. Frames of 25 ms (the car gets round at 10 to
// 40): under the sanitizers each frame takes long, and two laps of 10 ms
// frames take over 7 minutes of a loaded machine.
TEST_F(MenusRaceTest, F2AfterTheFinishRacesTheSameLapAgain) {
  const std::string tree = Tree();
  ztest::SetRaceKeys(tree, {{"OFFLINENLAPS", "1"}});
  const std::string lap =
      std::string(ztest::kChooseTheGearbox) + ztest::DriveKeys(true, 700, 95, 30, 24, 1000, temp_);
  EXPECT_EQ(Race(tree, 25, lap + F2After(0) + lap + ztest::kLeaveTheRace, 450), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/err.txt"), "");
  // "Race finished: place 4, race time 0:43:75 (43750 ms), best lap 0:40:27 (40275 ms)"
  const auto finished = Said("Race finished: place ");
  ASSERT_EQ(finished.size(), 2u) << console_;
  struct Finish {
    long place;
    double raceTime, bestLap;  // ms; the best lap is the race time when none is said
  };
  auto finish = [](const std::string& line) {
    return Finish{std::strtol(line.c_str() + 21, nullptr, 10),
                  std::strtod(line.c_str() + line.find('(') + 1, nullptr),
                  std::strtod(line.c_str() + line.rfind('(') + 1, nullptr)};
  };
  const Finish first = finish(finished[0]), again = finish(finished[1]);
  EXPECT_GT(first.raceTime, 30000.0) << finished[0];
  EXPECT_LT(first.raceTime, 90000.0) << finished[0];
  EXPECT_LT(first.bestLap, first.raceTime) << finished[0];
  EXPECT_EQ(again.place, first.place) << finished[1];
  EXPECT_NEAR(again.raceTime, first.raceTime, 1000.0) << finished[1];
  EXPECT_NEAR(again.bestLap, first.bestLap, 1000.0) << finished[1];
}

// The time left, in seconds, that the HUD shows centred at the top of the
// race's view (from the menus the view fills the screen from its top row),
// in the largest font: the number whose glyphs' outline the picture covers
// best; -1 when none is shown.
int32_t TimeLeftShown(const ztest::HudFont& font, const ztest::DumpShot& shot) {
  int32_t shown = -1;
  double best = 0.0;
  for (int32_t n = 0; n < 100; ++n) {
    const std::string text = std::to_string(n);
    const double covered = font.Covers(
        text, [&](int x, int y) { return shot.At(x, y); }, (640 - font.Width(text, 0)) / 2, 8, 0);
    if (covered > best) best = covered, shown = n;
  }
  return best >= 0.85 ? shown : -1;
}

// The player's car left on the grid, the race file's STARTINGTIME 20 s in
// the copy of the tree (the shipped minute would make the test three times
// as long; over 10 s, the time left shows steady, not blinking): Esc and F2
// 10 s into the race; the new race's time left at its "GO" is the file's
// 20 s, as at the first race's, and it runs out; F2 at the end menu, and
// the race after starts with 20 s again and runs out of time in turn.
// Pictures every 0.5 s from 9 s after the gearbox's keys: the first with a
// time left is the first after "GO" and shows 19. The car stands still:
// frames of 50 ms.
TEST_F(MenusRaceTest, F2AfterATimeOutOrMidRaceStartsWithTheWholeTime) {
  const std::string tree = Tree();
  ztest::SetRaceKeys(tree, {{"STARTINGTIME", "20"}});
  auto watched = [&](const std::string& name) {
    std::string keys =
        std::string(ztest::kChooseTheGearbox) + "9000ms dump " + temp_ + "/" + name + "0.tga\n";
    for (int k = 1; k < 14; ++k) keys += "500ms dump " + temp_ + "/" + name + std::to_string(k) + ".tga\n";
    return keys;  // 15.5 s after the gearbox's keys
  };
  const std::string keys = watched("first") + EscF2After(7000) + watched("restarted") + F2After(24500) +
                           watched("timedout") + LeaveAfter(24500);
  EXPECT_EQ(Race(tree, 50, keys, 450), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/err.txt"), "");
  EXPECT_EQ(Said("Race over, out of time: ").size(), 2u) << console_;
  EXPECT_EQ(Said("Race finished").size(), 0u);

  ztest::HudFont font(tree, config_);
  ASSERT_TRUE(font.Loaded());
  for (const char* race : {"first", "restarted", "timedout"}) {
    std::vector<int32_t> shown;
    for (int k = 0; k < 14; ++k)
      shown.push_back(TimeLeftShown(font, ztest::ReadDump(temp_ + "/" + race + std::to_string(k) + ".tga")));
    ASSERT_EQ(shown[0], -1) << race << ": the pictures start after GO";
    const auto go = std::find_if(shown.begin(), shown.end(), [](int32_t n) { return n >= 0; });
    ASSERT_NE(go, shown.end()) << race << ": no time left shown";
    EXPECT_EQ(*go, 19) << race;
  }
}

// A race file or a centre line that the race cannot take, in the copy of
// the tree: RACE's race of four from the menus, the player's car left on
// the grid (STARTINGTIME 5 s in the copy, so that the race's time runs out
// soon; frames of 50 ms). The program says what it refused by name; a
// race without a line runs until its time runs out (no distance, lap or
// time extension is counted without one), and the script's QUIT then ends
// the program: no error of the game's heap, no stall.
constexpr int32_t kShippedLine = -1;
struct BadRaceFiles {
  const char* name;
  int32_t
      points;     // TXT>NETRACE.BSP: the shipped line resampled to this many points; 0: none; or kShippedLine
  bool raceFile;  // TXT>NETRACE.TXT kept
  const char* said;  // the console's line, or null when no line file is refused
  bool raced;        // the race ran out of its time
};

void PrintTo(const BadRaceFiles& row, std::ostream* os) { *os << row.name; }

class MenusRaceFilesTest : public MenusRaceTest, public testing::WithParamInterface<BadRaceFiles> {};

// The shipped centre line's points resampled along it to n points, written
// as its file is: the count, then each point's three little-endian doubles.
void WriteCentreLine(const std::string& tree, int32_t n) {
  const std::string line = ztest::ReadFile(tree + "/txt/NETRACE.BSP");
  uint32_t count = 0;
  ASSERT_GE(line.size(), 4u + 24);
  std::memcpy(&count, line.data(), 4);
  ASSERT_EQ(line.size(), 4u + 24 * size_t(count));
  std::vector<double> in(3 * size_t(count));
  std::memcpy(in.data(), line.data() + 4, 24 * size_t(count));
  std::string out(4 + 24 * size_t(n), '\0');
  std::memcpy(out.data(), &n, 4);
  for (int32_t i = 0; i < n; ++i) {
    const double t = double(i) * count / n;
    const size_t a = size_t(t), b = (a + 1) % count;
    for (size_t c = 0; c < 3; ++c) {
      const double v = in[3 * a + c] + (in[3 * b + c] - in[3 * a + c]) * (t - double(a));
      std::memcpy(out.data() + 4 + 24 * size_t(i) + 8 * c, &v, 8);
    }
  }
  ztest::WriteFile(tree + "/txt/NETRACE.BSP", out);
}

TEST_P(MenusRaceFilesTest, RefusedByNameAndTheProgramGoesOn) {
  const BadRaceFiles& row = GetParam();
  const std::string tree = Tree();
  ztest::SetRaceKeys(tree, {{"STARTINGTIME", "5"}});
  if (row.points > 0) {
    ASSERT_NO_FATAL_FAILURE(WriteCentreLine(tree, row.points));
  } else if (row.points == 0) {
    ASSERT_TRUE(fs::remove(tree + "/txt/NETRACE.BSP"));
  }
  if (!row.raceFile) {
    ASSERT_TRUE(fs::remove(tree + "/txt/netrace.txt"));
  }
  // "GO" comes 12.5 s after the gearbox's choice, the time out 5 s later.
  EXPECT_EQ(Race(tree, 50, std::string(ztest::kChooseTheGearbox) + LeaveAfter(25000), 300), 0);
  EXPECT_EQ(ztest::ReadFile(temp_ + "/err.txt"), "");  // no error of the heap, no message box
  if (row.said)
    EXPECT_EQ(Said(row.said).size(), 1u) << console_;
  else
    EXPECT_EQ(Said("Bspline file ").size(), 0u) << console_;
  EXPECT_EQ(Said("Race over, out of time: ").size(), row.raced ? 1u : 0u) << console_;
}

INSTANTIATE_TEST_SUITE_P(
    CentreLines, MenusRaceFilesTest,
    testing::Values(
        BadRaceFiles{"TheMostPoints", 10000, true, nullptr, true},
        BadRaceFiles{"OneMorePoint", 10001, true,
                     "Bspline file TXT>NETRACE.BSP refused: 10001 points, a race takes at most 10000 !!!",
                     true},
        BadRaceFiles{"FourHundredFortyThousandPoints", 440000, true,
                     "Bspline file TXT>NETRACE.BSP refused: 440000 points, a race takes at most 10000 !!!",
                     true},
        BadRaceFiles{"TwoMillionPoints", 2000000, true,
                     "Bspline file TXT>NETRACE.BSP refused: 2000000 points, a race takes at most 10000 !!!",
                     true},
        BadRaceFiles{"NoLineFile", 0, true, "Bspline file TXT>NETRACE.BSP not found !!!", true},
        // The grid is in the race file: no race, the menus come back.
        BadRaceFiles{"NoRaceFile", kShippedLine, false, "Map info file TXT>NETRACE.TXT not found !!!",
                     false}),
    [](const testing::TestParamInfo<BadRaceFiles>& info) { return std::string(info.param.name); });

}  // namespace
