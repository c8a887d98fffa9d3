// The editors on a real X display (CTest runs this under xvfb-run), tried
// as a new user would with real pointer moves, clicks and keys: the track
// editor at 8 and 16 bits (F2, the race-line tool, three right
// clicks, F2, Escape and F1, the line saved) and the texture-animation
// editor at 16 bits (F3, a new animation named, a destination and a source
// picked, a step added, play, stop, F3, Escape and F1), both editors under
// the shipped start-up (the accelerator's race), quick taps of F3 and F4
// opening and closing their editors in a running race, the car tools
// (CAREDITOR's hue dragged, CHOOSE CAR from the main menu, F11 over an
// accelerated race), with pictures of the window taken by xwd.
#include "tests/xvfb/display_fixture.h"

#include <cstdlib>
#include <functional>
#include <set>

namespace {

using namespace ztest;

class DisplayEditors : public DisplayProgram {
 protected:
  // How many of the 7 x 7 front pixels around (x, y) differ between two pictures.
  int Differences(const XwdPicture& a, const XwdPicture& b, int x, int y) {
    int n = 0;
    for (int j = y - 3; j <= y + 3; ++j)
      for (int i = x - 3; i <= x + 3; ++i) n += Shown(a, i, j) != Shown(b, i, j);
    return n;
  }
  // Escape pauses the race, F1 then leaves it; the exit code.
  // On a loaded machine a key can come while the race is still changing
  // modes; a user would press again, and so does the test, keeping a
  // picture of where it stood.
  int Leave() {
    for (int attempt = 0; attempt < 3; ++attempt) {
      Press("Escape");
      Pause(1.5);
      Press("F1");
      const int code = Wait(attempt < 2 ? 30 : 120);
      if (code != -1) return code;
      std::printf("still running after Escape and F1 (attempt %d)\n", attempt + 1);
      Picture("stuck" + std::to_string(attempt));
    }
    return -1;
  }
  // The shipped start-up, then the editors on and its race played, as the
  // start-up script NAME: until the race's first frames are shown.
  void PlayTheShippedStartUpWithTheEditors(const std::string& name) {
    const std::string startup = ReadFile((fs::path(ZENTROVA_EXE).parent_path() / "data/dat/startup.txt").string());
    Prepare(name, startup + "\r\nOUTPUT 1\r\nEDITORMODE 1\r\nPLAY\r\nQUIT\r\n");
    Start();
    ASSERT_TRUE(FindWindow());
    ASSERT_TRUE(WaitForLine("Duplicating user cars...", 120));
    Pause(4);
  }
};

// The track editor in the 8-bit mode (full screen) and the 16-bit one (in
// a window).
class DisplayTrackEditor : public DisplayEditors, public ::testing::WithParamInterface<const char*> {};

TEST_P(DisplayTrackEditor, ARaceLineLaid) {
  Prepare("te.txt", std::string("OUTPUT 1\r\nEDITORMODE 1\r\nVIDEOMODE ") + GetParam() +
                        "\r\nPLAY\r\nSAVEBSPLINEMETER TXT>MYLINE.BSP\r\nQUIT\r\n");
  Start();
  ASSERT_TRUE(FindWindow());
  ASSERT_TRUE(WaitForLine("Duplicating user cars...", 120));
  Pause(4);
  Press("F2");
  Pause(1.5);
  ClickAt(616, 204);  // the race-line tool
  MoveTo(300, 330);
  Pause(1);
  const XwdPicture before = Picture(std::string("trackedit0-") + GetParam());
  const std::pair<int, int> points[] = {{200, 150}, {320, 200}, {420, 300}};
  for (const auto& p : points) {
    Pause(0.5);
    ClickAt(p.first, p.second, 3);
  }
  MoveTo(300, 330);
  Pause(1);
  const XwdPicture after = Picture(std::string("trackedit-") + GetParam());
  ASSERT_GT(after.width, 0);
  for (const auto& p : points) EXPECT_GT(Differences(before, after, p.first, p.second), 4);
  Press("F2");
  Pause(1);
  EXPECT_EQ(Leave(), 0);
  EXPECT_TRUE(WaitForLine("Bspline meter TXT>MYLINE.BSP saved.", 1));
  EXPECT_TRUE(fs::exists(root_ + "/tree/txt/MYLINE.BSP"));
}

INSTANTIATE_TEST_SUITE_P(Modes, DisplayTrackEditor, ::testing::Values("7", "17"));

TEST_F(DisplayEditors, AnAnimationMadeAndPlayedInTheTextureEditor) {
  Prepare("ta.txt", "OUTPUT 1\r\nEDITORMODE 1\r\nVIDEOMODE 17\r\nPLAY\r\nQUIT\r\n");
  Start();
  ASSERT_TRUE(FindWindow());
  ASSERT_TRUE(WaitForLine("Duplicating user cars...", 120));
  Pause(4);
  Press("F3");
  Pause(1.5);
  ClickAt(9, 449);  // new animation: its name asked
  Pause(1);
  for (int i = 0; i < 9; ++i) Press("BackSpace");
  Xdo("type --delay 200 MINE");
  Press("Return");
  Pause(1);
  ClickAt(300, 40, 3);  // a destination texture
  Pause(0.5);
  ClickAt(30, 40, 3);  // a source texture, whole on the first step
  Pause(0.5);
  ClickAt(85, 449);  // add step
  Pause(0.5);
  ClickAt(553, 35);  // play
  Pause(2);
  ClickAt(593, 35);  // stop
  MoveTo(600, 200);
  Pause(1);
  const XwdPicture shot = Picture("txtanim");
  ASSERT_GT(shot.width, 0);
  // The new-animation button as the panel picture draws it: a grey face
  // and a black plus in its middle.
  const uint32_t face = Shown(shot, 10, 450), plus = Shown(shot, 20, 460);
  EXPECT_GT(face & 0xFF, 80u);
  EXPECT_NEAR(double(face >> 16), double((face >> 8) & 0xFF), 16);
  EXPECT_LT(plus & 0xFF, 40u);
  // The first step's source box on the time line shows the picked texture
  // scaled, not the "?" of an undefined source.
  std::set<uint32_t> source;
  for (int y = 348; y < 380; ++y)
    for (int x = 20; x < 52; ++x) source.insert(Shown(shot, x, y));
  EXPECT_GE(source.size(), 4u);
  Press("F3");
  Pause(2);
  EXPECT_EQ(Leave(), 0);
  EXPECT_FALSE(fs::exists(root_ + "/tree/TXTANIM.BIN"));
  EXPECT_EQ(ReadFile(root_ + "/stderr.txt").find("not released"), std::string::npos);
}

// The shipped start-up (the accelerator's 16-bit mode) with the editors on:
// F2's top view shows the circuit's faces outlined, F3's destination panel
// a page of the map's textures.
TEST_F(DisplayEditors, TheShippedStartUpsEditorsShowTheCircuitAndItsTextures) {
  ASSERT_NO_FATAL_FAILURE(PlayTheShippedStartUpWithTheEditors("se.txt"));
  Press("F2");
  Pause(1.5);
  MoveTo(300, 330);
  Pause(1);
  const XwdPicture top = Picture("shipped-trackedit");
  ASSERT_GT(top.width, 0);
  int outlined = 0;
  for (int y = 100; y < 400; y += 2)
    for (int x = 50; x < 590; x += 2) {
      const uint32_t c = Shown(top, x, y);
      outlined += (c >> 16) > 150 && (c & 255) > 150 && ((c >> 8) & 255) < 100;
    }
  EXPECT_GT(outlined, 1000) << "the circuit's outlines";
  Press("F2");
  Pause(1);
  Press("F3");
  Pause(2);
  MoveTo(600, 200);
  Pause(1);
  const XwdPicture pages = Picture("shipped-txtanim");
  ASSERT_GT(pages.width, 0);
  std::set<uint32_t> colours;
  for (int y = 20; y < 276; ++y)
    for (int x = 280; x < 536; ++x) colours.insert(Shown(pages, x, y));
  EXPECT_GE(colours.size(), 6u) << "a page of textures";
  Press("F3");
  Pause(1.5);
  EXPECT_EQ(Leave(), 0);
}

// Quick taps (xdotool key: down and up at once, often between two readings
// of the keys) of F3 and F4 in a race with the editors on, under the
// shipped start-up: every tap opens or closes its editor, 12 of 12.
TEST_F(DisplayEditors, QuickTapsOfF3AndF4OpenAndCloseTheirEditorsEveryTime) {
  ASSERT_NO_FATAL_FAILURE(PlayTheShippedStartUpWithTheEditors("tap.txt"));
  Press("Shift_L");  // the automatic gearbox: the race starts
  Pause(6);
  MoveTo(600, 20);
  // The texture editor's new-animation button (a grey face, a black plus);
  // the decor panel's face at its place (100, 100), at two points.
  const auto anim = [&](const XwdPicture& p) {
    const uint32_t face = Shown(p, 10, 450), plus = Shown(p, 20, 460);
    return (face & 0xFF) > 80 && std::abs(int(face >> 16) - int((face >> 8) & 0xFF)) < 16 && (plus & 0xFF) < 40;
  };
  const auto grey = [](uint32_t c) {
    return std::abs(int(c >> 16) - 192) < 40 && std::abs(int((c >> 8) & 255) - 196) < 40 &&
           std::abs(int(c & 255) - 204) < 40;
  };
  const auto decor = [&](const XwdPicture& p) { return grey(Shown(p, 250, 140)) && grey(Shown(p, 336, 222)); };
  const struct {
    const char* key;
    std::function<bool(const XwdPicture&)> open;
  } editors[] = {{"F3", anim}, {"F4", decor}};
  for (const auto& e : editors) {
    bool open = false;
    int acted = 0;
    for (int tap = 1; tap <= 12; ++tap) {
      Xdo(std::string("key ") + e.key);
      Pause(1.2);
      const XwdPicture shot = Picture(std::string("tap") + e.key + "-" + std::to_string(tap));
      ASSERT_GT(shot.width, 0);
      const bool now = e.open(shot);
      acted += now != open;
      open = now;
    }
    EXPECT_EQ(acted, 12) << e.key;
    EXPECT_FALSE(open) << e.key;
  }
  EXPECT_EQ(Leave(), 0);
}

class DisplayCarTools : public DisplayEditors {
 public:
  // Pixels of the front screen's box whose colour leans to green (g) or
  // magenta (r and b) by more than 40.
  int Leaning(const XwdPicture& p, int x1, int y1, int x2, int y2, bool magenta) {
    int n = 0;
    for (int y = y1; y < y2; ++y)
      for (int x = x1; x < x2; ++x) {
        const uint32_t c = Shown(p, x, y);
        const int r = int(c >> 16 & 255), g = int(c >> 8 & 255), b = int(c & 255);
        n += magenta ? r > g + 40 && b > g + 40 : g > r + 40 && g > b + 40;
      }
    return n;
  }
};

// Setup 0's hue knob at the foot of its track, dragged up half way and
// released: the centred car, green as made, turns magenta; Escape saves.
TEST_F(DisplayCarTools, TheHueDraggedRepaintsTheCarAndEscapeSavesIt) {
  Prepare("ce.txt", "OUTPUT 1\r\nDRAWCONSOLE 1\r\nCAREDITOR\r\nQUIT\r\n");
  const std::string before = ReadFile(root_ + "/tree/dat/NRCAR.CFG");  // none in a new tree
  Start();
  ASSERT_TRUE(FindWindow());
  ASSERT_TRUE(WaitForLine("CarEditor Inits successful terminated...", 60));
  Pause(5);  // the title slides in
  MoveTo(535, 475);
  Pause(1);
  const XwdPicture green = Picture("careditor0");
  Xdo("mousedown 1");
  Pause(0.5);
  for (int y = 465; y >= 400; y -= 5) {
    MoveTo(535, y);
    Pause(0.1);
  }
  Pause(0.5);
  Xdo("mouseup 1");
  Pause(0.5);
  MoveTo(300, 300);
  Pause(2);
  const XwdPicture magenta = Picture("careditor1");
  ASSERT_GT(magenta.width, 0);
  EXPECT_GT(Leaning(green, 240, 40, 400, 170, false), 2000);
  EXPECT_GT(Leaning(magenta, 240, 40, 400, 170, true), 2000) << "repainted at the release";
  EXPECT_LT(Leaning(magenta, 240, 40, 400, 170, false), 100);
  Press("Escape");
  EXPECT_EQ(Wait(60), 0);
  EXPECT_TRUE(WaitForLine("Saving cars configuration dat>nrcar.cfg...", 1));
  const std::string after = ReadFile(root_ + "/tree/dat/NRCAR.CFG");
  EXPECT_FALSE(after.empty());
  EXPECT_NE(after, before);
}

// The main menu's car button, two clicks on the right arrow from setup 0,
// the car area, then QUIT and Y: the player's setup is 6.
TEST_F(DisplayCarTools, TheMenuCarChoiceStoresTheCentredSetup) {
  Prepare("ui.txt", "OUTPUT 1\r\nINTERFACE\r\n");
  Start();
  ASSERT_TRUE(FindWindow());
  Pause(9);  // the two splashes and MAIN MENU's transition
  // CAR until the chooser starts (a loaded machine may still be showing the
  // menu's transition); the spot is outside CHOOSE CAR's buttons.
  bool chooser = false;
  for (int tries = 0; tries < 4 && !chooser; ++tries) {
    ClickAt(190, 330);
    chooser = WaitForLine("CarEditor Inits successful terminated...", 20);
  }
  ASSERT_TRUE(chooser);
  Pause(4);
  const XwdPicture band = Picture("chooser");
  ASSERT_GT(band.width, 0);
  EXPECT_GT(Leaning(band, 0, 120, 640, 320, false), 5000) << "the cars in their colours";
  // The arrow steps at its release: held long enough for a pass of the
  // chooser to see it down on a loaded machine.
  for (int click = 0; click < 2; ++click) {
    MoveTo(410, 345);
    Pause(0.5);
    Xdo("mousedown 1");
    Pause(0.5);
    Xdo("mouseup 1");
    Pause(2);
  }
  ClickAt(320, 220);
  ASSERT_TRUE(WaitForLine("Free user cars...", 30));
  Pause(4);
  ClickAt(30, 411);
  Pause(1.5);
  Press("y");
  Pause(1);
  Press("Escape");
  EXPECT_EQ(Wait(60), 0);
  EXPECT_NE(ReadFile(root_ + "/config/registry.txt").find("NumberOfCars=4:06000000"), std::string::npos)
      << ReadFile(root_ + "/config/registry.txt");
}

// F11 held in an accelerated race with the developer display: the frame
// stops with the polygon under the pointer outlined and described at the
// top; Q goes back to the race.
TEST_F(DisplayCarTools, F11DescribesThePolygonUnderThePointer) {
  Prepare("in.txt", "OUTPUT 1\r\nRUN STARTUP.TXT\r\nDRAWDEVINFO 1\r\nPLAY\r\nQUIT\r\n");
  Start();
  ASSERT_TRUE(FindWindow());
  ASSERT_TRUE(WaitForLine("Duplicating user cars...", 120));
  Pause(4);
  MoveTo(200, 300);
  Pause(1);
  const XwdPicture race = Picture("race");
  Xdo("keydown F11");
  Pause(1);
  MoveTo(210, 310);
  Pause(1.5);
  const XwdPicture described = Picture("polyinfo");
  ASSERT_GT(described.width, 0);
  // The description's lines over the top of the frame.
  int changed = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 400; ++x) changed += Shown(race, x, y) != Shown(described, x, y);
  EXPECT_GT(changed, 1000);
  // Q leaves while F11 is still held, which is let go before Q: a held
  // F11 would stop the next frame again.
  Xdo("keydown q");
  Pause(0.3);
  Xdo("keyup F11");
  Pause(0.3);
  Xdo("keyup q");
  Pause(1);
  EXPECT_EQ(Leave(), 0);
}

}  // namespace
