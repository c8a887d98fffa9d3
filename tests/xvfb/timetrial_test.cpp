// TIME TRIAL from the menus on a real X display (CTest runs this under
// xvfb-run), pictures of the window taken with xwd: started with only
// INTERFACE, the race is drawn (the road in front of the car) and its
// picture changes as the car drives off; started after the shipped
// start-up, the race shows its time ticking at the top right once it is on.
#include "tests/xvfb/display_fixture.h"

namespace {

using namespace ztest;

int Red(uint32_t c) { return int(c >> 16 & 255); }
int Green(uint32_t c) { return int(c >> 8 & 255); }
int Blue(uint32_t c) { return int(c & 255); }

class DisplayTimeTrial : public DisplayProgram {
 protected:
  // Until the race's cars are made and its first frames shown.
  void StartTheRace() {
    Start();
    ASSERT_TRUE(FindWindow());
    Pause(9);  // the two splashes and MAIN MENU's transition
    StartTimeTrial();
    ASSERT_TRUE(WaitForLine("Duplicating user cars...", 120));
    ASSERT_TRUE(WaitForLine("Memory used in game: ", 120));
    Pause(3);
  }
  // Until GO, seen as the time under "TIME" ticking between two pictures:
  // after the gearbox's choice come the ready wait of 8 s, three counts of
  // 1.5 s and GO. A loaded machine draws its first frames late and can
  // miss the tap that chose the gearbox, so the accelerator is tapped again
  // when nothing ticks 20 s on.
  bool WaitForGo() {
    XwdPicture last = Picture("waiting");
    for (int seconds = 0; seconds < 60; ++seconds) {
      if (seconds == 20) Press("shift");
      Pause(1);
      XwdPicture now = Picture("waiting");
      if (last.width && now.width && Changed(last, now, 430, 42, 570, 66) >= 20) return true;
      last = std::move(now);
    }
    return false;
  }
  // The front screen's pixels of the box, one in step each way, that pass
  // the test.
  template <typename Test>
  int Count(int x1, int y1, int x2, int y2, int step, Test test) {
    int n = 0;
    for (int y = y1; y < y2; y += step)
      for (int x = x1; x < x2; x += step) n += test(x, y);
    return n;
  }
  // The pixels of the box that differ between two pictures.
  int Changed(const XwdPicture& a, const XwdPicture& b, int x1, int y1, int x2, int y2) {
    return Count(x1, y1, x2, y2, 1, [&](int x, int y) { return Shown(a, x, y) != Shown(b, x, y); });
  }
  // The pixels of the box in the HUD's white letters.
  int White(const XwdPicture& p, int x1, int y1, int x2, int y2) {
    return Count(x1, y1, x2, y2, 1, [&](int x, int y) {
      const uint32_t c = Shown(p, x, y);
      return Red(c) > 200 && Green(c) > 200 && Blue(c) > 200;
    });
  }
};

// Without the start-up's settings the menus' race still uses its car: the
// road's grey fills the view left of the car and below the horizon, and
// once the gearbox is chosen with the accelerator and the countdown is
// over, the picture changes as the car is put in gear and driven off.
TEST_F(DisplayTimeTrial, WithOnlyTheInterfaceTheRaceIsDrawnAndMoves) {
  Prepare("ui.txt", "OUTPUT 1\r\nINTERFACE\r\n");
  ASSERT_NO_FATAL_FAILURE(StartTheRace());
  Press("shift");
  ASSERT_TRUE(WaitForGo());
  const XwdPicture before = Picture("racing1");
  // A fresh press after GO starts the engine, which cranks for 2 s; a key
  // tapped within one slow frame is not seen, so the gear is asked for
  // again while the picture stands.
  Xdo("keydown shift");
  Pause(2.5);
  XwdPicture after;
  for (int tries = 0; tries < 4 && !(after.width && Changed(before, after, 0, 0, 640, 480) >= 2000); ++tries) {
    Press("a");  // out of neutral
    Pause(2.5);
    after = Picture("racing2");
  }
  Xdo("keyup shift");
  ASSERT_GT(before.width, 0);
  ASSERT_GT(after.width, 0);
  EXPECT_GE(Changed(before, after, 0, 0, 640, 480), 2000);
  const int all = 100 * 85;  // every other pixel of the box
  const int road = Count(20, 300, 220, 470, 2, [&](int x, int y) {
    const uint32_t c = Shown(after, x, y);
    const int r = Red(c), g = Green(c), b = Blue(c);
    // The asphalt's greys; the bare ground's browns are redder than blue.
    return std::abs(r - b) < 16 && std::abs(r - g) < 20 && std::abs(g - b) < 20 && r > 25 && r < 170;
  });
  EXPECT_GT(road, all * 8 / 10) << road << " of " << all << " grey";
  EXPECT_TRUE(WaitForLine("Video Mode set to 18.", 1));
}

// The shipped start-up, then the menus: once the countdown ended the race
// time shows in white under "TIME", at the top right, and ticks.
TEST_F(DisplayTimeTrial, AfterTheShippedStartUpTheRaceTimeShows) {
  Prepare("ui.txt", "OUTPUT 1\r\nRUN STARTUP.TXT\r\nINTERFACE\r\n");
  ASSERT_NO_FATAL_FAILURE(StartTheRace());
  Press("shift");
  ASSERT_TRUE(WaitForGo());
  const XwdPicture first = Picture("time1");
  Pause(1.2);
  const XwdPicture second = Picture("time2");
  ASSERT_GT(first.width, 0);
  ASSERT_GT(second.width, 0);
  EXPECT_GE(White(first, 440, 16, 520, 40), 40) << "the label TIME";
  EXPECT_GE(White(first, 430, 42, 570, 66), 60) << "the time";
  EXPECT_GE(White(second, 430, 42, 570, 66), 60) << "the time";
  EXPECT_GE(Changed(first, second, 430, 42, 570, 66), 20) << "the time ticks";
}

}  // namespace
