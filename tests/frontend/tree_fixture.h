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

#include "frontend/menus.h"
#include "shell/hooks.h"
#include "tests/frontend/menu_fixture.h"

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

}  // namespace ztest
