// The built program headless on a copy of the default data tree, on the
// shipped start-up script with one car standing on the grid: the decor
// object list loads its props, the race draws them, and between two
// screenshots they move where nothing else does; without the list the
// same race shows neither.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/support/program.h"
#include "tests/support/testenv.h"

namespace fs = std::filesystem;

namespace {

// On the manual clock: accelerate chooses the automatic gearbox (the scene
// stands still behind the choice), Alt+S after 6 s of the race, again 3 s
// later, then Esc (pause) and F1 (leave).
constexpr const char* kKeys =
    "clock 20\n250 16 down\n10 16 up\n40 18 down\n0 83 down\n5 83 up\n0 18 up\n150 18 down\n0 83 down\n5 83 up\n0 18 up\n"
    "5 27 down\n2 27 up\n3 112 down\n5 112 up\n";

class DecorPropsProgramTest : public ztest::Environment {
 protected:
  struct Run {
    std::string console, error, first, second;
  };
  // The shipped start-up with one car, edited, then the race.
  Run Race(const std::string& from, const std::string& to) {
    const std::string tree = temp_ + "/tree";
    fs::remove_all(tree);
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
    std::string startup = ztest::ReadFile(tree + "/dat/startup.txt");
    Replace(startup, "NUMBEROFCARS 4", "NUMBEROFCARS 1");
    Replace(startup, from, to);
    ztest::WriteFile(tree + "/dat/E2E.TXT", "OUTPUT 1\r\n" + startup + "PLAY\r\nQUIT\r\n");
    ztest::WriteFile(temp_ + "/keys.txt", kKeys);
    WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
    EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "e2e.txt", temp_ + "/stderr.txt", 240), 0);
    return {ztest::ReadFile(tree + "/CONSOLE.TXT"), ztest::ReadFile(temp_ + "/stderr.txt"),
            ztest::ReadFile(tree + "/SCREEN1.TGA"), ztest::ReadFile(tree + "/SCREEN2.TGA")};
  }
  static void Replace(std::string& text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  }
  // Pixels that differ between two 24-bit screenshots of the same size.
  static int32_t Differing(const std::string& a, const std::string& b) {
    int32_t n = 0;
    for (size_t i = 18; i + 2 < a.size() && i + 2 < b.size(); i += 3) n += a.compare(i, 3, b, i, 3) != 0 ? 1 : 0;
    return n;
  }
};

TEST_F(DecorPropsProgramTest, TheShippedPropsLoadAndMoveInTheRace) {
  const Run with = Race("USINGOBJECTS dat>decor.txt\r\n", "USINGOBJECTS dat>decor.txt\r\nUSINGOBJECTS\r\n");
  EXPECT_EQ(with.error, "");  // no leak report, no error box
  // The console's lines of the props, in their order.
  const std::vector<std::string> lines = {
      ">USINGOBJECTS dat>decor.txt",           "Loading object 'obc>decor>moulin.obc'",
      "        script 'dat>decor>moulin.txt'", "Loading object 'obc>decor>ballon.obc'",
      "Loading object 'obc>decor>marshal.obc'", "Loading object 'obc>decor>drapeau.obc'",
      "        script 'dat>decor>drapeau.txt'", "Objects Movements Enabled (DAT>DECOR.TXT)",
      "Objects Movement Enabled",              "SB_RemapDecorObjects...",
      "SB_FreeObjectsExtraTextures...",        "Free decor objects stuff...",
      "Free decor objects..."};
  std::istringstream log(with.console);
  size_t next = 0;
  for (std::string line; std::getline(log, line) && next < lines.size();)
    if (line.rfind(lines[next], 0) == 0) ++next;
  EXPECT_EQ(next, lines.size()) << "missing or out of order: " << lines[next];
  for (const char* wrong : {"Error (", "not found", "disabled"}) EXPECT_EQ(with.console.find(wrong), std::string::npos);
  const Run without = Race("USINGOBJECTS dat>decor.txt\r\n", "");
  ASSERT_EQ(with.first.size(), 18u + 640 * 480 * 3);
  for (const std::string* shot : {&with.second, &without.first, &without.second})
    ASSERT_EQ(shot->size(), with.first.size());
  // The props are drawn, and move where the race without them stands still.
  EXPECT_GT(Differing(with.first, without.first), 1000);
  EXPECT_GT(Differing(with.first, with.second), 1000);
  EXPECT_LT(Differing(without.first, without.second), 100);
}

}  // namespace
