// The scenery in the program's accelerated race: the whole program in this
// process on the data tree datagen writes, its start-up script as shipped
// and then PLAY, with the game's own reset values. By day with one car the
// screenshot shows the sky, the sun's flare and the car's shadow; with two
// cars, the race started and F7 held (editor mode) until night has
// fallen, it shows the stars
// and two beams. Each is compared with a reviewed golden picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "console/startup.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/picture.h"
#include "tests/support/golden.h"
#include "tests/support/testenv.h"

namespace {

using SceneryFrameTest = ztest::Environment;

constexpr int32_t kF7 = 118, kShift = 16, kAlt = 18, kS = 83;
constexpr int32_t kFirstShotFrame = 11;

// The keyboard of the run, polled at each pass of the message pump, each
// poll a millisecond of the manual clock (5 while F7 brings the night).
// At night Shift is tapped on the third race frame (the automatic
// gearbox: the race starts) and F7 held from the fifth until the light
// level is full night. Then Alt+S is pressed as the shot frame starts and
// held for 1,000 polls; the race is left after it.
bool g_night = false;
int32_t g_shotFrame = -1, g_polls = 0;
void Keys() {
  const bool falling = g_night && SB_Var.LightLevel < 12.0;
  plat::AdvanceManualTime(falling ? 5 : 1);
  plat::SetKeyState(kShift, g_night && SB_Var.RaceFrames == 2);
  plat::SetKeyState(kF7, falling && SB_Var.RaceFrames >= 4);
  if (g_shotFrame < 0 && !falling && SB_Var.RaceFrames >= kFirstShotFrame - 1)
    g_shotFrame = SB_Var.RaceFrames + 1;
  const bool held = g_shotFrame >= 0 && SB_Var.RaceFrames >= g_shotFrame - 1 && g_polls < 1000;
  if (held) ++g_polls;
  plat::SetKeyState(kAlt, held), plat::SetKeyState(kS, held);
  if (g_shotFrame >= 0 && SB_Var.RaceFrames >= g_shotFrame) SB_Var.LeaveRace = 1;
}

void Shoot(const std::string& root, const std::string& settings, bool night, const std::string& golden) {
  const std::string command =
      "'" ZENTROVA_DATAGEN "' '" + root + "' '" + std::string(ZENTROVA_SOURCE_DIR) + "/data' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  ztest::WriteFile(root + "/dat/FRAME.TXT", "RUN STARTUP.TXT\r\n" + settings + "PLAY\r\nQUIT\r\n");
  g_night = night, g_shotFrame = -1, g_polls = 0;
  plat::SetMessageSource(Keys);
  std::vector<const char*> args = {"zentrova", "-S:frame.txt"};
  EXPECT_EQ(ztest::ExitCodeOf([&] { SB_Main(int16_t(args.size()), const_cast<char**>(args.data())); }), 0);
  plat::SetMessageSource(nullptr);
  ASSERT_TRUE(ztest::FileExists(root + "/SCREEN1.TGA"));
  // The library is closed; it is started again to read both pictures.
  ASSERT_EQ(LS_InitZidAde(8u << 20), 1);
  BMAP* shot = LS_LoadTga("SCREEN1.TGA", 0);
  ztest::ExpectGolden(shot, golden, root);
  if (shot) LS_FreeBmap(shot);
  LS_CloseZidAde();
  LSI_CloseMemory();
}

TEST_F(SceneryFrameTest, DayShowsTheSkyTheFlareAndACarsShadow) {
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");  // screenshots are taken outside master mode
  Shoot(root_, "NUMBEROFCARS 1\r\n", false, "tests/scenery/golden/day.tga");
}

TEST_F(SceneryFrameTest, NightShowsTheStarsAndTwoBeams) {
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  Shoot(root_, "NUMBEROFCARS 2\r\nEDITORMODE 1\r\n", true, "tests/scenery/golden/night.tga");
}

}  // namespace
