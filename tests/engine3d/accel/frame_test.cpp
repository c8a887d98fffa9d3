// An early accelerated race frame, as the program makes it: the whole
// program in this process on the data tree datagen writes, its start-up
// script as shipped (the accelerator's 640 x 480 x 16 mode and four cars)
// and then PLAY, with the game's own reset values. The screenshot of the
// eleventh race frame (the cars still on the grid; the frames before it
// show the race's black opening) is compared with a reviewed golden
// picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "console/startup.h"
#include "datagen/tgawrite.h"
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

namespace fs = std::filesystem;

using FirstFrameTest = ztest::Environment;

// The keyboard of the run, polled at each pass of the message pump and at
// each key read, each poll a millisecond of the manual clock so that the
// run repeats exactly: Alt+S pressed as the shot frame starts and held for
// 1,000 polls, more than the frame reads before its screenshot, which
// waits for the keys' release; the race is left after it.
constexpr int32_t kShotFrame = 11;
int32_t g_polls = 0;
void Keys() {
  plat::AdvanceManualTime(1);
  const bool held = SB_Var.RaceFrames >= kShotFrame - 1 && g_polls < 1000;
  if (held) ++g_polls;
  plat::SetKeyState(18, held), plat::SetKeyState(83, held);
  if (SB_Var.RaceFrames >= kShotFrame) SB_Var.LeaveRace = 1;
}

TEST_F(FirstFrameTest, MatchesTheGoldenPicture) {
  const std::string command =
      "'" ZENTROVA_DATAGEN "' '" + root_ + "' '" + std::string(ZENTROVA_SOURCE_DIR) + "/data' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  ztest::WriteFile(root_ + "/dat/FRAME.TXT", "RUN STARTUP.TXT\r\nPLAY\r\nQUIT\r\n");
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");  // screenshots are taken outside master mode
  plat::SetMessageSource(Keys);
  std::vector<const char*> args = {"zentrova", "-S:frame.txt"};
  EXPECT_EQ(ztest::ExitCodeOf([&] { SB_Main(int16_t(args.size()), const_cast<char**>(args.data())); }), 0);
  plat::SetMessageSource(nullptr);
  ASSERT_TRUE(ztest::FileExists(root_ + "/SCREEN1.TGA"));
  EXPECT_FALSE(ztest::FileExists(root_ + "/SCREEN2.TGA"));

  // The library is closed; it is started again to read both pictures.
  ASSERT_EQ(LS_InitZidAde(8u << 20), 1);
  BMAP* shot = LS_LoadTga("SCREEN1.TGA", 0);
  ASSERT_NE(shot, nullptr);
  ztest::ExpectGolden(shot, "tests/engine3d/accel/golden/frame1.tga", root_);
  LS_FreeBmap(shot);
  LS_CloseZidAde();
  LSI_CloseMemory();
}

}  // namespace
