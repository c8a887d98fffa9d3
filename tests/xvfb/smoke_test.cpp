// On a real X display (CTest runs this under xvfb-run): the library opens
// a real window and what it draws on its front screen reaches SDL's
// renderer output, at 16 bits framed and at 8 bits through the palette in
// full screen; the built program opens its window and ends with 0, and a
// signal to end it closes its message box, and its display going away
// ends it.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "platform/sdl/video.h"
#include "platform/window.h"
#include "system/bmap.h"
#include "system/graphic.h"
#include "system/lsvar.h"
#include "system/palette.h"
#include "system/win/shell.h"
#include "tests/support/testenv.h"

namespace {

using Rgb = std::array<int, 3>;

// The colour SDL's renderer shows at the window point showing frame pixel
// (x, y), at any scaling, within 8 of the wanted one per component.
void ExpectShown(int x, int y, const Rgb& wanted) {
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(plat::sdl::Renderer(), &w, &h);
  const plat::Rect fit = plat::FitFrame(w, h, LS_Var.Screen->SizeX, LS_Var.Screen->SizeY);
  const SDL_Rect at{fit.left + (2 * x + 1) * (fit.right - fit.left) / (2 * LS_Var.Screen->SizeX),
                    fit.top + (2 * y + 1) * (fit.bottom - fit.top) / (2 * LS_Var.Screen->SizeY), 1, 1};
  uint32_t pixel = 0;
  ASSERT_EQ(SDL_RenderReadPixels(plat::sdl::Renderer(), &at, SDL_PIXELFORMAT_RGB888, &pixel, 4), 0)
      << SDL_GetError();
  for (int k = 0; k < 3; ++k)
    EXPECT_NEAR(static_cast<int>(pixel >> (16 - 8 * k) & 0xFF), wanted[k], 8)
        << x << "," << y << " component " << k;
}

class Smoke : public ztest::LibraryTest {
 protected:
  // One connection to the display for the whole run: the window back end's
  // own start and stop of SDL's video then only count up and down.
  static void SetUpTestSuite() { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
  void SetUp() override {
    LibraryTest::SetUp();
    ASSERT_TRUE(std::getenv("DISPLAY")) << "run under xvfb-run";
    // As the program starts: the back end, then the windows, then the library.
    plat::sdl::InstallVideo();
    ASSERT_EQ(LSYS_CreateWindows(nullptr, 1), 1);
    ASSERT_NE(plat::sdl::Renderer(), nullptr);
    StartLibrary(16u << 20);
  }
  // SDL stays initialised: SDL_Quit would unload the D-Bus library whose
  // leaks the sanitizer build suppresses by its name.
  void TearDown() override {
    LibraryTest::TearDown();
    plat::sdl::CloseVideo();
  }
  // Lets every change reach the window.
  static void Settle() {
    LS_UpdateEvent();
    LS_WaitVbl();
  }
};

TEST_F(Smoke, FramedSixteenBitBandsReachTheWindow) {
  LSYS_SetVideoMode(640, 480, 16, 0x101);
  ASSERT_EQ(LS_Var.Style, 256);
  ASSERT_EQ(LS_Var.Screen->SizeX, 640);
  const uint32_t bands[] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000};
  const Rgb colours[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {0, 0, 0}};
  for (int i = 0; i < 5; ++i) LS_FillRect(LS_Var.Screen, i * 128, 0, i * 128 + 127, 479, bands[i]);
  Settle();
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(plat::sdl::Renderer(), &w, &h);
  EXPECT_EQ(std::pair(w, h), std::pair(640, 480));
  for (int i = 0; i < 5; ++i)
    for (int y : {5, 240, 474}) ExpectShown(i * 128 + 64, y, colours[i]);
}

TEST_F(Smoke, EightBitFullScreenShowsThePalette) {
  LSYS_SetVideoMode(640, 480, 8, 0x101);  // no window at 8 bits: full screen
  ASSERT_EQ(LS_Var.Style, 0);
  ASSERT_EQ(LS_Var.Screen->Depth, 8);
  PALETTE palette{};
  palette.Entry[1] = {63, 0, 0};
  palette.Entry[2] = {0, 0, 63};
  LS_SetPalette(&palette);
  LS_FillRect(LS_Var.Screen, 0, 0, 319, 479, 1);
  LS_FillRect(LS_Var.Screen, 320, 0, 639, 479, 2);
  Settle();
  ExpectShown(160, 240, {252, 0, 0});
  ExpectShown(480, 240, {0, 0, 252});
  palette.Entry[1] = {0, 63, 0};  // only entry 1 changes
  LS_SetPalette(&palette);
  Settle();
  ExpectShown(160, 240, {0, 252, 0});
  ExpectShown(480, 240, {0, 0, 252});
}

// A folder of its own for a run of the program: drive C: with the
// console's picture and the start-up script.
std::string ProgramRoot(const std::string& startup) {
  char pattern[] = "/tmp/zentrova-smoke-XXXXXX";
  if (!mkdtemp(pattern)) return "";
  const std::string root = pattern;
  ztest::WriteFile(root + "/c/PCX/DEVENV.PCX", "x");
  ztest::WriteFile(root + "/c/DAT/STARTUP.TXT", startup);
  return root;
}

// The built program on this display: its window opens, and it ends with 0.
TEST(Program, OpensItsWindowAndEndsWithZero) {
  const std::string root = ProgramRoot("QUIT");
  ASSERT_FALSE(root.empty());
  // Its leak check is off: SDL unloads D-Bus at exit, and the sanitizer
  // can then no longer tell D-Bus's leaks from the program's.
  const std::string command =
      "ZENTROVA_DRIVES='C=fixed:" + root + "/c' ZENTROVA_CONFIG_DIR='" + root +
      "/config' SDL_AUDIODRIVER=dummy ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" '" ZENTROVA_EXE "' 2>'" +
      root + "/stderr.txt'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << ztest::ReadFile(root + "/stderr.txt");
  std::system(("rm -rf '" + root + "'").c_str());
}

// Its message box (no data tree: "Bad runtime directory !") does not keep
// it alive when it is asked to end: the box closes and the program ends
// as after the box, with 255. SDL shows the box from a child process.
TEST(Program, ATermSignalClosesItsMessageBox) {
  char pattern[] = "/tmp/zentrova-smoke-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string root = pattern;
  ztest::WriteFile(root + "/c/KEEP", "");
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("ZENTROVA_DRIVES", ("C=fixed:" + root + "/c").c_str(), 1);
    setenv("ZENTROVA_CONFIG_DIR", (root + "/config").c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    std::freopen("/dev/null", "w", stderr);
    execl(ZENTROVA_EXE, ZENTROVA_EXE, static_cast<char*>(nullptr));
    _exit(127);
  }
  ASSERT_GT(pid, 0);
  const std::string children = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children";
  const auto ended = [pid](int* status) { return waitpid(pid, status, WNOHANG) == pid; };
  int status = 0;
  bool shown = false, done = false;
  // The box's process is a fork of the program (other children, such as a
  // D-Bus launcher started with the display, run other programs).
  // A fork seen before it has run another program can be something else
  // (on a loaded machine it may live long enough to be seen), so the
  // program's thread must also be waiting on its child, as it does on the box.
  const std::string wchan = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/wchan";
  const auto boxShown = [&children, &wchan] {
    if (ztest::ReadFile(wchan) != "do_wait") return false;
    std::istringstream pids(ztest::ReadFile(children));
    std::error_code error;
    const auto program = std::filesystem::canonical(ZENTROVA_EXE, error);
    for (std::string child; pids >> child;)
      if (std::filesystem::read_symlink("/proc/" + child + "/exe", error) == program) return true;
    return false;
  };
  for (int i = 0; i < 200 && !shown && !(done = ended(&status)); ++i) {
    usleep(50000);
    shown = boxShown();
  }
  ASSERT_TRUE(shown) << "no message box appeared (X fonts missing? scripts/setup.sh installs xfonts-base)";
  kill(pid, SIGTERM);
  for (int i = 0; i < 200 && !(done = ended(&status)); ++i) usleep(50000);
  if (!done) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  EXPECT_TRUE(done) << "still running 10 s after SIGTERM";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 255) << status;
  std::system(("rm -rf '" + root + "'").c_str());
}

// A display of its own (which tells its number on a pipe), or -1.
// The server writes the number and its newline apart and dies of SIGPIPE if
// the pipe is closed between the two: read the whole line.
pid_t StartServer(std::string* display) {
  int numbers[2];
  if (pipe(numbers) != 0) return -1;
  const pid_t server = fork();
  if (server == 0) {
    close(numbers[0]);
    std::freopen("/dev/null", "w", stderr);
    const std::string fd = std::to_string(numbers[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(numbers[1]);
  std::string text;
  char c = 0;
  while (server > 0 && text.size() < 16 && read(numbers[0], &c, 1) == 1 && c != '\n') text += c;
  close(numbers[0]);
  if (c != '\n' || text.empty()) return -1;
  *display = ":" + std::to_string(std::atoi(text.c_str()));
  return server;
}

// Its display going away while its console waits for keys ends it at once
// with 1 and the reason, rather than leaving it waiting on the dead
// connection for ever.
TEST(Program, ALostDisplayEndsItWithOne) {
  const std::string root = ProgramRoot("OUTPUT 1\r\nECHO waiting\r\n");
  ASSERT_FALSE(root.empty());
  std::string display;
  const pid_t server = StartServer(&display);
  ASSERT_GT(server, 0) << "Xvfb did not start";
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    setenv("ZENTROVA_DRIVES", ("C=fixed:" + root + "/c").c_str(), 1);
    setenv("ZENTROVA_CONFIG_DIR", (root + "/config").c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::freopen((root + "/stderr.txt").c_str(), "w", stderr);
    execl(ZENTROVA_EXE, ZENTROVA_EXE, static_cast<char*>(nullptr));
    _exit(127);
  }
  ASSERT_GT(pid, 0);
  int status = 0;
  const auto ended = [pid, &status] { return waitpid(pid, &status, WNOHANG) == pid; };
  bool done = false, waiting = false;
  for (int i = 0; i < 400 && !waiting && !(done = ended()); ++i) {
    usleep(50000);
    waiting = ztest::ReadFile(root + "/c/CONSOLE.TXT").find("waiting") != std::string::npos;
  }
  EXPECT_TRUE(waiting) << "its console did not start; it said:\n" << ztest::ReadFile(root + "/stderr.txt");
  kill(server, SIGTERM);
  waitpid(server, nullptr, 0);
  for (int i = 0; i < 200 && !done && !(done = ended()); ++i) usleep(50000);
  if (!done) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  EXPECT_TRUE(done) << "still running 10 s after its display went away";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_NE(ztest::ReadFile(root + "/stderr.txt").find("the display's connection was lost"), std::string::npos);
  std::system(("rm -rf '" + root + "'").c_str());
}

}  // namespace
