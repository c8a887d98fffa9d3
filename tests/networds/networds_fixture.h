// What the race and network words' tests share: the two- and three-machine
// game of tests/netgame on 127.0.0.1, the video-mode table with the
// accelerator requested, the wrapped calls cleared, and a line run through
// the interpreter's word splitting into the words.
#pragma once
#include <string>

#include "console/commandtable.h"
#include "console/networds.h"
#include "engine3d/videotable.h"
#include "tests/netgame/session_fixture.h"
#include "tests/networds/wraps.h"

namespace ztest {

class NetWordsTest : public NetSessionTest {
 protected:
  void SetUp() override {
    NetSessionTest::SetUp();
    Wraps() = {};
    SB_ResetVideoTable();
    SB_Var.RequestedRenderer = SB_RENDERER_PVR;
    SelectModeOf(SB_RENDERER_PVR);
    LS_NetSelect(&host_);
  }
  void TearDown() override {
    NET_FreeConsoleList();
    Wraps() = {};
    NetSessionTest::TearDown();
  }

  // The line's words upper-cased as the interpreter hands them on.
  static int32_t Run(const std::string& line) {
    SB_COMMANDWORDS w;
    SB_SplitCommandLine(line.c_str(), &w);
    return SB_NetConsoleCommand(w.Args[0], w.Args[1], w.Args[2], w.Args[3], w.Rest, w.Keyword);
  }
  // The first video mode the renderer draws.
  static void SelectModeOf(int32_t renderer) {
    for (int32_t i = 0; i < SB_CountVideoModes(); ++i)
      if (SB_Var.VideoModes[i].Kind & SB_Var.Renderers[renderer].Modes) {
        SB_Var.VideoModeIndex = i;
        return;
      }
  }
  static void Fake(const char* function, int32_t answer) { Wraps().answers[function] = answer; }
};

}  // namespace ztest
