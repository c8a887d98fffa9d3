// Fixture of the menus on the generated data tree: the interface's
// pictures and fonts of the build's tree, the console lines the menus send
// recorded by the exec hook (with an answer the test chooses), and clicks
// on an item's centre.
#pragma once
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "console/startup.h"
#include "frontend/menus.h"
#include "platform/audio.h"
#include "shell/hooks.h"
#include "system/sound.h"
#include "tests/frontend/menu_fixture.h"
#include "tests/support/golden.h"

namespace ztest {

struct ExecRecord {
  std::vector<std::string> lines;
  // Called with each line; its answer is the line's result.
  std::function<int32_t(const std::string&)> answer;
};
inline ExecRecord& Exec() {
  static ExecRecord r;
  return r;
}

inline int32_t RecordExec(const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  Exec().lines.push_back(line);
  return Exec().answer ? Exec().answer(line) : 1;
}

// The front screen reduced to 160 x 120 by 4 x 4 averages.
inline void ExpectReducedGolden(const std::string& golden, const std::string& root) {
  BMAP* full = LS_CreateBmap(640, 480, 24, 0);
  LS_Bitmove(LS_Var.Screen, full, 0, 0, 639, 479, 0, 0, LS_BLIT_OPAQUE);
  BMAP* small = LS_CreateBmap(160, 120, 24, 0);
  for (int32_t y = 0; y < 120; ++y)
    for (int32_t x = 0; x < 160; ++x)
      for (int32_t c = 0; c < 3; ++c) {
        uint32_t sum = 0;
        for (int32_t dy = 0; dy < 4; ++dy)
          for (int32_t dx = 0; dx < 4; ++dx) sum += full->Start[(y * 4 + dy) * full->ByteLen + (x * 4 + dx) * 3 + c];
        small->Start[y * small->ByteLen + x * 3 + c] = static_cast<uint8_t>(sum / 16);
      }
  ExpectGolden(small, golden, root);
  LS_FreeBmap(small);
  LS_FreeBmap(full);
}

// What the car chooser's wrapped calls saw (tests/frontend/chooserwraps.cpp):
// the network pumps, their count at each carousel drawing, and each wave
// played with the pass number the test keeps in pass.
struct ChooserCalls {
  int32_t netUpdates = 0;
  std::vector<int32_t> netUpdatesAtDraw;
  int32_t pass = 0;
  std::vector<std::pair<int32_t, SOUND*>> waves;
};
ChooserCalls& Chooser();

class TreeMenuTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    const std::filesystem::path data = std::filesystem::path(ZENTROVA_EXE).parent_path() / "data";
    std::filesystem::copy(data / "INTER", root_ + "/INTER", std::filesystem::copy_options::recursive);
    saved_ = SB_Hooks;
    Exec() = ExecRecord{};
    SB_Hooks.ExecCommand = RecordExec;
    SB_Hooks.ShowPleaseWait = [] { Exec().lines.push_back("(please wait)"); };
  }
  void TearDown() override {
    if (SB_Var.MenuBmap) FreeInterface(0);
    SB_Hooks = saved_;
    MenuTest::TearDown();
  }
  // The interface started as the program starts it, on the given screen.
  void StartOn(int32_t screen) {
    InitInterface();
    SB_Var.MenuNormalFactor = SB_MENUNORMALFACTOR;
    Show(screen);
  }
  // The screen prepared anew, the one shown before freed.
  static void Show(int32_t screen) {
    if (SB_Var.DrawnMenuScreen == screen) {
      FreeScreenBmaps(screen);
      SB_Var.DrawnMenuScreen = -1;
    }
    SB_Var.MenuScreen = screen;
    prepareecran(SB_Var.MenuBmap);
  }
  // The pointer on the item's centre, pressed and released there.
  static void Click(int32_t item) {
    TMENUSCREEN* screen = CurrentMenuScreen();
    const TMENUITEM& it = screen->Items[item];
    const int32_t x = (it.HitX1 + it.HitX2) / 2, y = (it.HitY1 + it.HitY2) / 2 - SB_MENUHITDROP;
    LS_SetMousePos(x, y);
    SB_Var.MenuButtons = 0;
    DispatchItemEvents(screen, x, y, 0);
    DispatchItemEvents(screen, x, y, 1);
    DispatchItemEvents(CurrentMenuScreen(), x, y, 0);
  }
  SB_HOOKS saved_;
};

// The menus on the tree with the audio stand-in as output, so that the
// interface's waves load and play.
class SoundMenuTest : public TreeMenuTest {
 protected:
  void SetUp() override {
    TreeMenuTest::SetUp();
    LSI_CloseSound();
    ASSERT_EQ(plat::audio::AttachOutput(44100, 2), plat::audio::kOk);
    ASSERT_EQ(LSI_InitSound(), 1);
    SB_Var.MemoryClass = SB_MEMORY_HIGH;
  }
  void TearDown() override {
    TreeMenuTest::TearDown();
    plat::audio::Reset();
  }
};

}  // namespace ztest
