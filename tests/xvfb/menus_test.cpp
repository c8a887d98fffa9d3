// The menus on a real X display (CTest runs this under xvfb-run): the
// built program started on a copy of the data tree with INTERFACE, driven
// by real pointer moves, clicks and keys sent with xdotool, the menus'
// pixels mapped through the window's geometry: RACE, TIME TRIAL, a
// screenshot in the race, Escape and F1, BACK, QUIT, Y, Escape over the
// credits.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/testenv.h"

namespace {

namespace fs = std::filesystem;

std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
    pclose(pipe);
  }
  return text;
}

void Pause(double seconds) { usleep(static_cast<useconds_t>(seconds * 1e6)); }

class DisplayMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::getenv("DISPLAY")) << "run under xvfb-run";
    ASSERT_EQ(std::system("command -v xdotool >/dev/null"), 0) << "scripts/setup.sh installs xdotool";
    char pattern[] = "/tmp/zentrova-menus-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", root_ + "/tree", fs::copy_options::recursive);
    ztest::WriteFile(root_ + "/tree/dat/UI.TXT", "OUTPUT 1\r\nINTERFACE\r\n");
    ztest::WriteFile(root_ + "/config/win.ini", "[ZIDADE]\nMaster=FALSE\n");
  }
  void TearDown() override {
    if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  void Start() {
    pid_ = fork();
    if (pid_ == 0) {
      setenv("ZENTROVA_DRIVES", ("C=fixed:" + root_ + "/tree").c_str(), 1);
      setenv("ZENTROVA_CONFIG_DIR", (root_ + "/config").c_str(), 1);
      setenv("SDL_AUDIODRIVER", "dummy", 1);
      // SDL unloads D-Bus at exit; the sanitizer cannot then tell its leaks.
      setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
      std::freopen((root_ + "/stderr.txt").c_str(), "w", stderr);
      execl(ZENTROVA_EXE, ZENTROVA_EXE, "-S:ui.txt", static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  // The window and its size; the 640 x 480 front screen is scaled into it
  // keeping its shape, centred.
  bool FindWindow() {
    std::istringstream ids(Output("xdotool search --sync --onlyvisible --pid " + std::to_string(pid_)));
    ids >> window_;
    return !window_.empty() && Geometry();
  }
  bool Geometry() {
    std::istringstream geometry(Output("xdotool getwindowgeometry --shell " + window_));
    for (std::string line; std::getline(geometry, line);) {
      if (line.rfind("WIDTH=", 0) == 0) width_ = std::stoi(line.substr(6));
      if (line.rfind("HEIGHT=", 0) == 0) height_ = std::stoi(line.substr(7));
    }
    return width_ > 0 && height_ > 0;
  }
  void Xdo(const std::string& args) { std::system(("xdotool " + args).c_str()); }
  // A click with the pointer on the front screen's pixel.
  void ClickAt(int x, int y) {
    Geometry();  // the race may have changed the display
    const double s = std::min(width_ / 640.0, height_ / 480.0);
    const int wx = static_cast<int>((width_ - 640 * s) / 2 + (x + 0.5) * s);
    const int wy = static_cast<int>((height_ - 480 * s) / 2 + (y + 0.5) * s);
    Xdo("mousemove --window " + window_ + " " + std::to_string(wx) + " " + std::to_string(wy));
    Pause(0.3);
    Xdo("mousedown 1");
    Pause(0.2);
    Xdo("mouseup 1");
  }
  void Press(const std::string& keys) {
    Xdo("keydown " + keys);
    Pause(0.4);
    Xdo("keyup " + keys);
  }
  // The exit code, or -1 when it has not ended within the time.
  int Wait(int seconds) {
    int status = 0;
    for (int i = 0; i < seconds * 10; ++i) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      Pause(0.1);
    }
    return -1;
  }
  // Whether the console's file holds a line starting with the text within
  // the time: the steps that load or tear down wait on the program, which
  // a loaded machine or the sanitizer build can make much slower.
  bool WaitForLine(const std::string& text, double seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
      std::istringstream log(ztest::ReadFile(root_ + "/tree/CONSOLE.TXT"));
      for (std::string line; std::getline(log, line);)
        if (line.rfind(text, 0) == 0) return true;
      Pause(0.1);
    }
    return false;
  }
  std::string root_, window_;
  int width_ = 0, height_ = 0;
  pid_t pid_ = 0;
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
