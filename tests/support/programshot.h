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
#include "platform/window.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/picture.h"
#include "tests/support/golden.h"
#include "tests/support/testenv.h"

namespace ztest {

class ProgramShotTest : public Environment {
 protected:
  // keys: the message source, polled at each pass of the message pump and
  // at each key read; golden: the picture's path below the source tree;
  // script: the console's commands, PLAY after the start-up by default.
  void ExpectShot(void (*keys)(), const char* golden, const char* script = "RUN STARTUP.TXT\r\nPLAY\r\nQUIT\r\n") {
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
