// What the display tests share: the built program started on a copy of
// the build's data tree with a start-up script, on the X display of
// xvfb-run, its window found, and real pointer moves, clicks and keys sent
// to it with xdotool, the front screen's pixels mapped through the
// window's geometry, and pictures of the window taken by xwd.
#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/testenv.h"

namespace ztest {

namespace fs = std::filesystem;

inline std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
    pclose(pipe);
  }
  return text;
}

inline void Pause(double seconds) { usleep(static_cast<useconds_t>(seconds * 1e6)); }

// A window picture xwd wrote: 32-bit pixels of a true-colour visual with
// 8-bit masks, in the file's byte order (xwdtopnm misreads these).
struct XwdPicture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0xRRGGBB
  uint32_t At(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height ? pixels[size_t(y) * size_t(width) + size_t(x)] : 0;
  }
};

inline uint32_t BigEndian(const std::string& b, size_t at) {
  return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 |
         uint32_t(uint8_t(b[at + 2])) << 8 | uint8_t(b[at + 3]);
}

inline XwdPicture ReadXwd(const std::string& path) {
  XwdPicture p;
  const std::string b = ReadFile(path);
  if (b.size() < 100) return p;
  const uint32_t headerSize = BigEndian(b, 0), width = BigEndian(b, 16), height = BigEndian(b, 20);
  const uint32_t byteOrder = BigEndian(b, 28), bits = BigEndian(b, 44), line = BigEndian(b, 48);
  const uint32_t masks[3] = {BigEndian(b, 56), BigEndian(b, 60), BigEndian(b, 64)},
                 colours = BigEndian(b, 76);
  const size_t start = size_t(headerSize) + size_t(colours) * 12;
  if (bits != 32 || width > 4096 || height > 4096 || b.size() < start + size_t(line) * height) return p;
  p.width = int(width), p.height = int(height);
  p.pixels.resize(size_t(width) * height);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      const size_t at = start + size_t(y) * line + size_t(x) * 4;
      uint32_t v = 0;
      for (int k = 0; k < 4; ++k)
        v |= uint32_t(uint8_t(b[at + size_t(k)])) << (byteOrder == 0 ? 8 * k : 24 - 8 * k);
      uint32_t rgb = 0;
      for (uint32_t mask : masks) rgb = rgb << 8 | (mask ? (v & mask) / (mask & -mask) : 0);
      p.pixels[size_t(y) * width + x] = rgb;
    }
  return p;
}

// script: the start-up script written as dat/<NAME> (upper case, as the
// game's files are), the text of its lines; the program runs -S:<name>.
class DisplayProgram : public ::testing::Test {
 protected:
  void Prepare(const std::string& name, const std::string& script) {
    ASSERT_TRUE(std::getenv("DISPLAY")) << "run under xvfb-run";
    ASSERT_EQ(std::system("command -v xdotool >/dev/null"), 0) << "scripts/setup.sh installs xdotool";
    char pattern[] = "/tmp/zentrova-display-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    name_ = name;
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", root_ + "/tree", fs::copy_options::recursive);
    std::string file = name;
    std::transform(file.begin(), file.end(), file.begin(), [](unsigned char c) { return std::toupper(c); });
    WriteFile(root_ + "/tree/dat/" + file, script);
    WriteFile(root_ + "/config/win.ini", "[ZIDADE]\nMaster=FALSE\n");
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
      for (const auto& [name, value] : env_) setenv(name.c_str(), value.c_str(), 1);
      // SDL unloads D-Bus at exit; the sanitizer cannot then tell its leaks.
      setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
      std::freopen((root_ + "/stderr.txt").c_str(), "w", stderr);
      const std::string script = "-S:" + name_;
      execl(ZENTROVA_EXE, ZENTROVA_EXE, script.c_str(), static_cast<char*>(nullptr));
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
  // The pointer on the front screen's pixel.
  void MoveTo(int x, int y) {
    Geometry();  // the race may have changed the display
    const double s = std::min(width_ / 640.0, height_ / 480.0);
    const int wx = static_cast<int>((width_ - 640 * s) / 2 + (x + 0.5) * s);
    const int wy = static_cast<int>((height_ - 480 * s) / 2 + (y + 0.5) * s);
    Xdo("mousemove --window " + window_ + " " + std::to_string(wx) + " " + std::to_string(wy));
  }
  // A click of the button (1 left, 3 right) with the pointer on the pixel.
  void ClickAt(int x, int y, int button = 1) {
    MoveTo(x, y);
    Pause(0.3);
    Xdo("mousedown " + std::to_string(button));
    Pause(0.2);
    Xdo("mouseup " + std::to_string(button));
  }
  void Press(const std::string& keys) {
    Xdo("keydown " + keys);
    Pause(0.4);
    Xdo("keyup " + keys);
  }
  // A picture of the window; kept as a portable pixmap where
  // ZENTROVA_KEEP_PICTURES names a folder, to look at.
  XwdPicture Picture(const std::string& name) {
    const std::string file = root_ + "/" + name + ".xwd";
    if (std::system(("xwd -silent -id " + window_ + " -out '" + file + "'").c_str()) != 0) return {};
    XwdPicture p = ReadXwd(file);
    if (const char* folder = std::getenv("ZENTROVA_KEEP_PICTURES")) {
      std::string ppm = "P6\n" + std::to_string(p.width) + " " + std::to_string(p.height) + "\n255\n";
      for (uint32_t rgb : p.pixels) ppm += {char(rgb >> 16), char(rgb >> 8), char(rgb)};
      WriteFile(std::string(folder) + "/" + name + ".ppm", ppm);
    }
    return p;
  }
  // The window pixel at the centre of the front screen's pixel (x, y).
  uint32_t Shown(const XwdPicture& p, int x, int y) {
    const double s = std::min(width_ / 640.0, height_ / 480.0);
    return p.At(int((width_ - 640 * s) / 2 + (x + 0.5) * s), int((height_ - 480 * s) / 2 + (y + 0.5) * s));
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
  // From MAIN MENU: RACE, then TIME TRIAL (the pointer's pixels are 10
  // above the buttons' centres), until the race's cars are being made.
  void StartTimeTrial() {
    ClickAt(191, 115);
    Pause(3.5);
    ClickAt(220, 126);
  }
  // From MAIN MENU: QUIT, Y to confirm, Esc to stop the credits; the
  // program's exit code, -1 if it has not ended within a minute.
  int QuitFromTheMainMenu() {
    ClickAt(70, 411);
    Pause(1.5);
    Press("y");
    Pause(1);
    Press("Escape");
    return Wait(60);
  }
  // Whether the console's file holds a line starting with the text within
  // the time: the steps that load or tear down wait on the program, which
  // a loaded machine or the sanitizer build can make much slower.
  bool WaitForLine(const std::string& text, double seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
      std::istringstream log(ReadFile(root_ + "/tree/CONSOLE.TXT"));
      for (std::string line; std::getline(log, line);)
        if (line.rfind(text, 0) == 0) return true;
      Pause(0.1);
    }
    return false;
  }
  std::vector<std::pair<std::string, std::string>> env_;  // more of the program's environment
  std::string root_, name_, window_;
  int width_ = 0, height_ = 0;
  pid_t pid_ = 0;
};

}  // namespace ztest
