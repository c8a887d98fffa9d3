// The built program headless, as a new user tries the texture-animation
// editor under the shipped start-up (the accelerator's) and under the
// software mode: editors on, F3 in a race, a new animation named, a
// destination and a source texture picked by right clicks, a step added, a
// picture of the screen, play, stop, another picture, F3 back to the race,
// and the race left; nothing leaks, no file appears.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "tests/support/dumpshot.h"
#include "tests/support/program.h"
#include "tests/support/testenv.h"

namespace fs = std::filesystem;

namespace {

// Pointer moves and clicks: button 1 is the left one, 2 the right one.
std::string Click(int x, int y, int button) {
  const std::string b = std::to_string(button);
  return "5 mouse " + std::to_string(x) + " " + std::to_string(y) + "\n2 " + b + " down\n2 " + b + " up\n";
}

std::string Keys(const std::string& picked, const std::string& stopped) {
  std::string keys = "# pumps key state\n300 114 down\n5 114 up\n";
  keys += Click(9, 449, 1);                               // new animation
  for (int i = 0; i < 9; ++i) keys += "3 char 8\n";       // "Unnamed 0" erased
  for (char c : std::string("MINE\r")) keys += "3 char " + std::to_string(int(c)) + "\n";
  keys += Click(300, 40, 2);                               // a destination texture
  keys += Click(30, 40, 2);                                // a source texture, whole on the first step
  keys += Click(85, 449, 1);                               // add step
  keys += "5 mouse 600 200\n5 dump " + picked + "\n";
  keys += Click(553, 35, 1);                               // play
  keys += "60 mouse 593 35\n2 1 down\n2 1 up\n";           // stop
  keys += "5 mouse 600 200\n5 dump " + stopped + "\n";
  keys += "5 114 down\n5 114 up\n5 27 down\n2 27 up\n3 112 down\n5 112 up\n";
  return keys;
}

// The colours of a rectangle of the picture.
size_t Colours(const ztest::DumpShot& shot, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  std::set<uint32_t> colours;
  for (int32_t y = y1; y < y2; ++y)
    for (int32_t x = x1; x < x2; ++x) colours.insert(shot.At(x, y));
  return colours.size();
}

using TxtAnimProgram = ztest::Environment;

TEST_F(TxtAnimProgram, AnAnimationMadePlayedAndStoppedInARaceOfEitherRenderer) {
  const char* modes[] = {"", "MODE VECTOR\r\n"};
  ztest::DumpShot picked[2];
  for (int m = 0; m < 2; ++m) {
    SCOPED_TRACE(m ? "MODE VECTOR" : "MODE PVR");
    const std::string tree = temp_ + "/tree" + std::to_string(m);
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
    ztest::WriteFile(tree + "/dat/TA.TXT", ztest::ReadFile(tree + "/dat/startup.txt") +
                                               "\r\nOUTPUT 1\r\nEDITORMODE 1\r\n" + modes[m] + "PLAY\r\nQUIT\r\n");
    const std::string first = temp_ + "/picked" + std::to_string(m) + ".tga";
    const std::string second = temp_ + "/stopped" + std::to_string(m) + ".tga";
    ztest::WriteFile(temp_ + "/keys.txt", Keys(first, second));
    WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
    EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "ta.txt", temp_ + "/stderr.txt", 120), 0);
    const std::string err = ztest::ReadFile(temp_ + "/stderr.txt");
    EXPECT_EQ(err.find("not released"), std::string::npos);
    const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
    EXPECT_NE(console.find(">QUIT"), std::string::npos);
    EXPECT_FALSE(fs::exists(tree + "/TXTANIM.BIN"));
    picked[m] = ztest::ReadDump(first);
    ASSERT_EQ(picked[m].width, 640);
    // Both pages show textures (the start lamps of page 0); the first
    // step's boxes on the time line show the picked source and destination
    // scaled, the new step its destination and the two colours of an
    // undefined source ("?").
    EXPECT_GE(Colours(picked[m], 10, 20, 266, 276), 6u);
    EXPECT_GE(Colours(picked[m], 280, 20, 536, 276), 6u);
    EXPECT_GE(Colours(picked[m], 20, 348, 52, 380), 4u);
    EXPECT_GE(Colours(picked[m], 20, 392, 52, 424), 4u);
    EXPECT_GE(Colours(picked[m], 58, 392, 90, 424), 4u);
    EXPECT_EQ(Colours(picked[m], 58, 348, 90, 380), 2u);
    // After play and stop: the new animation's button, released, as the
    // panel picture draws it (its bevel's white top-left corner), the
    // status line's box and the time line's first step.
    const ztest::DumpShot shot = ztest::ReadDump(second);
    ASSERT_EQ(shot.width, 640);
    EXPECT_EQ(shot.At(4, 444), 0xFFFFFFu);
    EXPECT_NE(shot.At(300, 306), shot.At(300, 302));
    EXPECT_NE(shot.At(20, 348), shot.At(20, 342));
  }
  EXPECT_EQ(picked[0].Differences(picked[1], 0, 0, 640, 480), 0);
}

}  // namespace
