// The whole program run in the test's process on the data tree datagen
// writes: its start-up script as shipped (the accelerator's 640 x 480 x 16
// mode and four cars), then PLAY, with the game's own reset values and
// the keys a test's message source sets; the one screenshot the keys take
// is compared with a reviewed golden picture. Each such test runs in a
// process of its own (CTest runs every test alone).
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "console/startup.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "race/sequencer.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/picture.h"
#include "tests/support/golden.h"
#include "tests/support/testenv.h"

namespace ztest {

// The keyboards of the shots, polled at each pass of the message pump and
// at each key read, each poll a millisecond of the manual clock so that a
// run repeats exactly. Alt+S is held for 1,000 polls, more than a frame
// reads before its screenshot, which waits for the keys' release, and the
// race is left after the shot.
inline int32_t g_shotPolls = 0;  // polls with Alt+S held so far
inline int32_t g_goFrame = -1;   // the race frame that passed the go, or -1
constexpr int32_t kShotFrame = 11;   // the cars on the grid; the frames before show the race's black opening
constexpr int32_t kPressFrame = 12;  // accelerate held for two frames from here chooses the gearbox

inline void HoldShotKeys(bool held) {
  if (held && g_shotPolls >= 1000) held = false;
  if (held) ++g_shotPolls;
  plat::SetKeyState(18, held), plat::SetKeyState(83, held);
}

// The shot of the eleventh race frame: Alt+S held from the frame before.
inline void GridShotKeys() {
  plat::AdvanceManualTime(1);
  HoldShotKeys(SB_Var.RaceFrames >= kShotFrame - 1);
  if (SB_Var.RaceFrames >= kShotFrame) SB_Var.LeaveRace = 1;
}

// The shot just after the go: the training race goes on to the go once
// the gearbox is chosen. The go's texts are written where the previous
// frame drew their panels and sent to the card at the next frame's start,
// so Alt+S is held from the second frame after the race passed the go.
inline void GoShotKeys() {
  plat::AdvanceManualTime(1);
  const int32_t frame = SB_Var.RaceFrames;
  plat::SetKeyState(16, frame >= kPressFrame && frame < kPressFrame + 2);
  if (g_goFrame < 0 && frame > kPressFrame && SB_GetGameStep() > 14) g_goFrame = frame;
  HoldShotKeys(g_goFrame >= 0 && frame >= g_goFrame + 2);
  if (g_goFrame >= 0 && frame >= g_goFrame + 3) SB_Var.LeaveRace = 1;
}

class ProgramShotTest : public Environment {
 protected:
  // keys: the message source, polled at each pass of the message pump and
  // at each key read; golden: the picture's path below the source tree;
  // script: the console's commands, PLAY after the start-up by default.
  void ExpectShot(void (*keys)(), const std::string& golden,
                  const std::string& script = "RUN STARTUP.TXT\r\nPLAY\r\nQUIT\r\n") {
    g_shotPolls = 0, g_goFrame = -1;
    const std::string command =
        "'" ZENTROVA_DATAGEN "' '" + root_ + "' '" + std::string(ZENTROVA_SOURCE_DIR) + "/data' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    WriteFile(root_ + "/dat/FRAME.TXT", script);
    WriteWinIni("[ZIDADE]\nMaster=FALSE\n");  // screenshots are taken outside master mode
    plat::SetMessageSource(keys);
    std::vector<const char*> args = {"zentrova", "-S:frame.txt"};
    EXPECT_EQ(ExitCodeOf([&] { SB_Main(int16_t(args.size()), const_cast<char**>(args.data())); }), 0);
    plat::SetMessageSource(nullptr);
    ASSERT_TRUE(FileExists(root_ + "/SCREEN1.TGA"));
    EXPECT_FALSE(FileExists(root_ + "/SCREEN2.TGA"));

    // The library is closed; it is started again to read both pictures.
    ASSERT_EQ(LS_InitZidAde(8u << 20), 1);
    BMAP* shot = LS_LoadTga("SCREEN1.TGA", 0);
    ASSERT_NE(shot, nullptr);
    ExpectGolden(shot, golden, root_);
    LS_FreeBmap(shot);
    LS_CloseZidAde();
    LSI_CloseMemory();
  }
};

}  // namespace ztest
