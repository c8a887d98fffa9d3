// The built program headless, as a new user tries the texture-animation
// editor: editors on, F3 in a race, a new animation named, a destination
// and a source texture picked by right clicks, a step added, play, stop,
// a picture of the screen, F3 back to the race, and the race left; nothing
// leaks, no file appears.
#include <gtest/gtest.h>

#include <filesystem>
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

std::string Keys(const std::string& picture) {
  std::string keys = "# pumps key state\n300 114 down\n5 114 up\n";
  keys += Click(9, 449, 1);                               // new animation
  for (int i = 0; i < 9; ++i) keys += "3 char 8\n";       // "Unnamed 0" erased
  for (char c : std::string("MINE\r")) keys += "3 char " + std::to_string(int(c)) + "\n";
  keys += Click(300, 40, 2);                               // a destination texture
  keys += Click(85, 449, 1);                               // add step
  keys += Click(30, 40, 2);                                // a source texture
  keys += Click(553, 35, 1);                               // play
  keys += "60 mouse 593 35\n2 1 down\n2 1 up\n";           // stop
  keys += "5 mouse 600 200\n5 dump " + picture + "\n";
  keys += "5 114 down\n5 114 up\n5 27 down\n2 27 up\n3 112 down\n5 112 up\n";
  return keys;
}

using TxtAnimProgram = ztest::Environment;

TEST_F(TxtAnimProgram, AnAnimationMadePlayedAndStoppedInARace) {
  const std::string tree = temp_ + "/tree";
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", tree, fs::copy_options::recursive);
  ztest::WriteFile(tree + "/dat/TA.TXT", "OUTPUT 1\r\nEDITORMODE 1\r\nVIDEOMODE 17\r\nPLAY\r\nQUIT\r\n");
  ztest::WriteFile(temp_ + "/keys.txt", Keys(temp_ + "/editor.tga"));
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  EXPECT_EQ(ztest::RunWithKeys(tree, config_, temp_ + "/keys.txt", "ta.txt", temp_ + "/stderr.txt", 120), 0);
  const std::string err = ztest::ReadFile(temp_ + "/stderr.txt");
  EXPECT_EQ(err.find("not released"), std::string::npos);
  const std::string console = ztest::ReadFile(tree + "/CONSOLE.TXT");
  EXPECT_NE(console.find(">QUIT"), std::string::npos);
  EXPECT_FALSE(fs::exists(tree + "/TXTANIM.BIN"));
  // The picture shows the editor: the new animation's button, released,
  // as the panel picture draws it (its bevel's white top-left corner),
  // the status line's box and the time line's first step.
  const ztest::DumpShot shot = ztest::ReadDump(temp_ + "/editor.tga");
  ASSERT_EQ(shot.width, 640);
  EXPECT_EQ(shot.At(4, 444), 0xFFFFFFu);
  EXPECT_NE(shot.At(300, 306), shot.At(300, 302));
  EXPECT_NE(shot.At(20, 348), shot.At(20, 342));
}

}  // namespace
