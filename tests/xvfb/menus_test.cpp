// The menus on a real X display (CTest runs this under xvfb-run): the
// built program started on a copy of the data tree with INTERFACE, driven
// by real pointer moves, clicks and keys sent with xdotool, the menus'
// pixels mapped through the window's geometry: RACE, TIME TRIAL, a
// screenshot in the race, Escape and F1, BACK, QUIT, Y, Escape over the
// credits.
#include "tests/xvfb/display_fixture.h"

namespace {

using namespace ztest;

class DisplayMenus : public DisplayProgram {
 protected:
  void SetUp() override { Prepare("ui.txt", "OUTPUT 1\r\nINTERFACE\r\n"); }
};

// The pointer's pixels are 10 above the buttons' centres (the cursor's hot
// spot): RACE, TIME TRIAL, BACK and QUIT.
TEST_F(DisplayMenus, ATimeTrialThroughTheRealWindow) {
  Start();
  ASSERT_TRUE(FindWindow());
  Pause(9);  // the two splashes and MAIN MENU's transition
  ClickAt(191, 115);
  Pause(3.5);
  ClickAt(220, 126);
  ASSERT_TRUE(WaitForLine("Duplicating user cars...", 120));
  Pause(7);
  Press("alt+s");
  Pause(1);
  Press("Escape");
  Pause(0.5);
  Press("F1");
  ASSERT_TRUE(WaitForLine("DisposeVehicles...", 120));
  Pause(5);
  // BACK until the menus, rebuilt after the race, take it.
  for (int tries = 0; tries < 20 && !WaitForLine(">CLOSENET", 0); ++tries) {
    ClickAt(76, 418);
    WaitForLine(">CLOSENET", 3);
  }
  Pause(3.5);
  ClickAt(70, 411);
  Pause(1.5);
  Press("y");
  Pause(1);
  Press("Escape");
  EXPECT_EQ(Wait(60), 0);
  EXPECT_TRUE(fs::exists(root_ + "/tree/SCREEN1.TGA"));
  std::istringstream log(ztest::ReadFile(root_ + "/tree/CONSOLE.TXT"));
  const std::vector<std::string> lines = {">INTERFACE", ">RUN PMONTRE", ">PLAY", "Duplicating user cars...",
                                          "DisposeVehicles...", ">CLOSENET", ">QUIT"};
  size_t next = 0;
  for (std::string line; std::getline(log, line) && next < lines.size();)
    if (line.rfind(lines[next], 0) == 0) ++next;
  EXPECT_EQ(next, lines.size()) << "missing or out of order: " << lines[std::min(next, lines.size() - 1)];
}

}  // namespace
