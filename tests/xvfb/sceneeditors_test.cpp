// The decor-object and scene editors on a real X display (CTest runs this
// under xvfb-run): the built program plays the trial of
// tests/tools/sceneedit/editorkeys.h at VIDEOMODE 17 and 7 while the
// screen is taken with xwd twice a second; some picture shows the decor
// panel at its place and some the Tools window over the map. The first of
// each is kept in the test's folder for review (the folder stays after a
// failure, or always with ZENTROVA_KEEP_SHOTS set, which keeps every shot).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/testenv.h"
#include "tests/tools/sceneedit/editorkeys.h"

namespace {

namespace fs = std::filesystem;

struct SHOT {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  // The colour at the front screen's pixel (x, y), scaled into the screen
  // keeping its shape, centred.
  bool Near(int x, int y, int r, int g, int b, int tolerance) const {
    const double s = std::min(width / 640.0, height / 480.0);
    const int sx = static_cast<int>((width - 640 * s) / 2 + (x + 0.5) * s);
    const int sy = static_cast<int>((height - 480 * s) / 2 + (y + 0.5) * s);
    if (sx < 0 || sy < 0 || sx >= width || sy >= height) return false;
    const unsigned char* p = &rgb[(static_cast<size_t>(sy) * width + sx) * 3];
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
  }
};

// The root window as a binary PPM, through xwd and netpbm.
bool TakeShot(const std::string& file, SHOT* shot) {
  if (std::system(("xwd -root -silent | xwdtopnm > '" + file + "' 2>/dev/null").c_str()) != 0) return false;
  FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) return false;
  int maxval = 0;
  const bool header = std::fscanf(f, "P6 %d %d %d", &shot->width, &shot->height, &maxval) == 3 && maxval == 255;
  std::fgetc(f);
  shot->rgb.assign(static_cast<size_t>(shot->width) * std::max(shot->height, 0) * 3, 0);
  const bool read = header && std::fread(shot->rgb.data(), 1, shot->rgb.size(), f) == shot->rgb.size();
  std::fclose(f);
  return read;
}

class DisplaySceneEditors : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::getenv("DISPLAY")) << "run under xvfb-run";
    ASSERT_EQ(std::system("command -v xwd >/dev/null && command -v xwdtopnm >/dev/null"), 0)
        << "scripts/setup.sh installs x11-apps and netpbm";
    char pattern[] = "/tmp/zentrova-editors-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", root_ + "/tree", fs::copy_options::recursive);
    ztest::WriteFile(root_ + "/tree/dat/TRY.TXT", ztest::EditorTrialStartup(GetParam()));
    ztest::WriteFile(root_ + "/keys.txt", ztest::EditorTrialKeys());
    ztest::WriteFile(root_ + "/config/win.ini", "[ZIDADE]\nMaster=FALSE\n");
  }
  void TearDown() override {
    if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    std::error_code ec;
    if (!HasFailure() && !std::getenv("ZENTROVA_KEEP_SHOTS")) fs::remove_all(root_, ec);
  }
  void Start() {
    pid_ = fork();
    if (pid_ == 0) {
      setenv("ZENTROVA_DRIVES", ("C=fixed:" + root_ + "/tree").c_str(), 1);
      setenv("ZENTROVA_CONFIG_DIR", (root_ + "/config").c_str(), 1);
      setenv("ZENTROVA_INPUT_SCRIPT", (root_ + "/keys.txt").c_str(), 1);
      setenv("SDL_AUDIODRIVER", "dummy", 1);
      setenv("ASAN_OPTIONS", "detect_leaks=0", 1);  // SDL unloads D-Bus at exit
      std::freopen((root_ + "/stderr.txt").c_str(), "w", stderr);
      execl(ZENTROVA_EXE, ZENTROVA_EXE, "-S:try.txt", static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  std::string root_;
  pid_t pid_ = 0;
};

TEST_P(DisplaySceneEditors, ThePanelAndTheMapAreShown) {
  Start();
  bool panel = false, map = false;
  int status = 0;
  for (int i = 0; i < 600 && waitpid(pid_, &status, WNOHANG) != pid_; ++i) {
    usleep(500000);
    SHOT shot;
    const std::string file = root_ + "/shot.ppm";
    if (!TakeShot(file, &shot)) continue;
    if (std::getenv("ZENTROVA_KEEP_SHOTS")) fs::copy_file(file, root_ + "/shot" + std::to_string(i) + ".ppm");
    // The panel's face beside "Pos X" at (100, 100); the Tools window's
    // left border beside its black client area at (10, 10).
    const bool isPanel = shot.Near(100 + 150, 100 + 40, 192, 196, 204, 40) &&
                         shot.Near(100 + 236, 100 + 122, 192, 196, 204, 40);
    const bool isMap = shot.Near(11, 200, 128, 128, 240, 40) && shot.Near(30, 200, 0, 0, 0, 8);
    if (isPanel && !panel) fs::rename(file, root_ + "/panel.ppm");
    if (isMap && !map) fs::rename(file, root_ + "/map.ppm");
    panel |= isPanel, map |= isMap;
  }
  pid_ = 0;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(panel) << root_;
  EXPECT_TRUE(map) << root_;
  EXPECT_NE(ztest::ReadFile(root_ + "/tree/CONSOLE.TXT").find("Bspline meter NEW.BSP saved."), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Modes, DisplaySceneEditors, ::testing::Values(17, 7));

}  // namespace
