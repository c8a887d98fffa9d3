// The menus on a real X display (CTest runs this under xvfb-run): the
// built program started on a copy of the data tree with INTERFACE, driven
// by real pointer moves, clicks and keys sent with xdotool, the menus'
// pixels mapped through the window's geometry: RACE, TIME TRIAL, a
// screenshot in the race, Escape and F1, BACK, QUIT, Y, Escape over the
// credits; the messages the menus hold for 2.5 s seen in the window
// while they wait; and clicks with the arrow's tip on a key row and on the
// player's name.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "tests/xvfb/display_fixture.h"

namespace {

using namespace ztest;

class DisplayMenus : public DisplayProgram {
 protected:
  void SetUp() override { Prepare("ui.txt", "OUTPUT 1\r\nINTERFACE\r\n"); }
};

// The pointer's pixels are 10 above the buttons' centres (where the arrow's
// tip stands): RACE, TIME TRIAL, BACK and QUIT.
TEST_F(DisplayMenus, ATimeTrialThroughTheRealWindow) {
  Start();
  ASSERT_TRUE(FindWindow());
  Pause(9);  // the two splashes and MAIN MENU's transition
  StartTimeTrial();
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
  EXPECT_EQ(QuitFromTheMainMenu(), 0);
  EXPECT_TRUE(fs::exists(root_ + "/tree/SCREEN1.TGA"));
  std::istringstream log(ztest::ReadFile(root_ + "/tree/CONSOLE.TXT"));
  const std::vector<std::string> lines = {">INTERFACE", ">RUN PMONTRE", ">PLAY", "Duplicating user cars...",
                                          "DisposeVehicles...", ">CLOSENET", ">QUIT"};
  size_t next = 0;
  for (std::string line; std::getline(log, line) && next < lines.size();)
    if (line.rfind(lines[next], 0) == 0) ++next;
  EXPECT_EQ(next, lines.size()) << "missing or out of order: " << lines[std::min(next, lines.size() - 1)];
}

// A value the program stored in its registry file (name=type:hex), as
// text up to its first zero; empty when missing.
std::string StoredText(const std::string& root, const std::string& name) {
  std::istringstream store(ReadFile(root + "/config/registry.txt"));
  for (std::string line; std::getline(store, line);) {
    if (line.rfind(name + "=", 0) != 0) continue;
    const size_t colon = line.find(':');
    std::string text;
    for (size_t i = colon + 1; colon != std::string::npos && i + 1 < line.size(); i += 2) {
      const char c = static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
      if (!c) break;
      text += c;
    }
    return text;
  }
  return "";
}

class DisplayPointer : public DisplayMenus {
 protected:
  // Where the arrow's tip stands from the pointer's position: the topmost,
  // then leftmost, pixel of the window that changes when the pointer, at
  // (x, y) over a still part of the screen, moves 60 pixels lower.
  std::pair<int, int> TipOffset(int x, int y) {
    MoveTo(x, y);
    Pause(0.8);
    const XwdPicture on = Picture("tip-on");
    MoveTo(x, y + 60);
    Pause(0.8);
    const XwdPicture off = Picture("tip-off");
    for (int j = y - 8; j < y + 50; ++j)
      for (int i = x - 8; i < x + 30; ++i)
        if (Shown(on, i, j) != Shown(off, i, j)) return {i - x, j - y};
    return {0, 0};
  }
  // One quick click with the arrow's tip on the pixel (x, y).
  void ClickWithTheTip(int x, int y, std::pair<int, int> tip) {
    MoveTo(x - tip.first, y - tip.second);
    Pause(0.5);
    Xdo("click 1");
  }
};

// What the arrow's tip touches is what a click takes: on SELECT COMMAND the
// tip in the middle of ACCELERATE's key (a row 15 pixels high above
// BRAKE's) asks for ACCELERATE's key, and on the player's name screen the
// tip on the name edits the name; both are stored when the program ends.
TEST_F(DisplayPointer, TheArrowsTipTakesWhatItTouches) {
  Start();
  ASSERT_TRUE(FindWindow());
  Pause(9);  // the two splashes and MAIN MENU's transition
  ClickAt(503, 146);  // CONTROLS
  Pause(3.5);
  const std::pair<int, int> tip = TipOffset(400, 30);  // beside the title: nothing there reacts
  EXPECT_EQ(tip.first, 0);
  EXPECT_GT(tip.second, 0) << "the tip stands below the pointer's position, where the clicks are tested";
  ClickWithTheTip(515, 167, tip);  // ACCELERATE's key, 160..175
  Pause(1);
  Press("x");
  Pause(1.5);
  Press("Escape");
  Pause(3.5);
  // RACE, NETWORK: the player's name, its field 221..236.
  for (auto [x, y] : {std::pair{191, 115}, {330, 301}}) {
    ClickAt(x, y);
    Pause(3.5);
  }
  ClickWithTheTip(300, 228, tip);
  Pause(1);
  for (int i = 0; i < 10; ++i) Press("BackSpace");
  for (const char* key : {"z", "e", "d", "Return"}) Press(key);
  Pause(1);
  Press("Escape");
  Pause(3.5);
  ASSERT_EQ(QuitFromTheMainMenu(), 0);
  EXPECT_EQ(StoredText(root_, "Accel"), "X");
  EXPECT_EQ(StoredText(root_, "Brake"), "DOWN");
  EXPECT_EQ(StoredText(root_, "PlayerName"), "ZED");
}

// The UDP ports from base on, eight of them, held so that a game created
// on them cannot find a free one: CREATE fails. False when one is taken.
bool HoldPorts(uint16_t base, std::vector<int>* held) {
  for (uint16_t p = base; p < base + 8; ++p) {
    const int s = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    a.sin_port = htons(p);
    if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
      if (s >= 0) close(s);
      return false;
    }
    held->push_back(s);
  }
  return true;
}

class DisplayMessages : public DisplayMenus {
 protected:
  void TearDown() override {
    for (int s : held_) close(s);
    DisplayMenus::TearDown();
  }
  // The pictures of the window every quarter second for the time after a
  // click on the pixel (x, y), and how many of them show the message: its
  // first line of letters (rows top + 12 to top + 48 of the box, across
  // x1..x2) brighter than before the click.
  int PicturesShowingTheMessage(const std::string& name, int x, int y, int top, int x1, int x2, double seconds) {
    MoveTo(x, y);
    Pause(0.6);
    const XwdPicture before = Picture(name + "-before");
    Xdo("mousedown 1");
    Pause(0.1);
    Xdo("mouseup 1");
    int showing = 0, n = 0;
    for (double t = 0; t < seconds; t += 0.25, ++n) {
      const XwdPicture during = Picture(name + std::to_string(n));
      int lit = 0;
      for (int j = top + 12; j < top + 48; j += 2)
        for (int i = x1; i < x2; i += 2) {
          const uint32_t a = Shown(during, i, j), b = Shown(before, i, j);
          const int brighter = std::max({int(a >> 16 & 255) - int(b >> 16 & 255), int(a >> 8 & 255) - int(b >> 8 & 255),
                                         int(a & 255) - int(b & 255)});
          lit += brighter >= 80;
        }
      showing += lit >= 100;
      Pause(0.25);
    }
    return showing;
  }
  std::vector<int> held_;
};

// Three waits of the menus, each message seen in the window during its
// 2.5 s, in several pictures a quarter second apart: "CREATE FAILED" (the
// game's ports all taken), then on SELECT COMMAND, without a joystick,
// "NO JOYSTICK DETECTED" from JOYSTICK and from JOYSTICK LINEAR. Each box
// is centred: two lines of the big font from y 188, one from y 210.
TEST_F(DisplayMessages, EachWaitShowsItsMessageInTheWindow) {
  uint16_t base = 0;
  for (uint16_t b = 29400; b < 33400 && !base; b += 40) {
    for (int s : held_) close(s);
    held_.clear();
    if (HoldPorts(b, &held_)) base = b;
  }
  ASSERT_NE(base, 0);
  env_ = {{"ZENTROVA_NET_PORT", std::to_string(base)}, {"ZENTROVA_NET_HOSTS", "127.0.0.1"}};
  Start();
  ASSERT_TRUE(FindWindow());
  Pause(9);  // the two splashes and MAIN MENU's transition
  // RACE, NETWORK, the stored name's OK, the protocol's OK, CREATE.
  for (auto [x, y] : {std::pair{191, 115}, {330, 301}, {331, 276}, {351, 388}, {361, 222}}) {
    ClickAt(x, y);
    Pause(3.5);
  }
  ASSERT_TRUE(WaitForLine(">STARTNET", 10));
  EXPECT_GE(PicturesShowingTheMessage("create", 489, 322, 188, 180, 460, 4.5), 3);
  ASSERT_TRUE(WaitForLine(">Erreur Reseau CREATE", 10));
  Pause(3);
  Press("Escape");
  Pause(3.5);
  ClickAt(503, 146);  // CONTROLS
  Pause(3.5);
  EXPECT_GE(PicturesShowingTheMessage("joystick", 324, 101, 210, 100, 540, 3.5), 3);
  Pause(1);
  EXPECT_GE(PicturesShowingTheMessage("linear", 334, 277, 210, 100, 540, 3.5), 3);
  Pause(1);
  Press("Escape");
  Pause(3.5);
  EXPECT_EQ(QuitFromTheMainMenu(), 0);
}

}  // namespace
