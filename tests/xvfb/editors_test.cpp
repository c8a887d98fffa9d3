// The editors on a real X display (CTest runs this under xvfb-run), tried
// as a new user would with real pointer moves, clicks and keys: the track
// editor at 8 and 16 bits (F2, the race-line tool, three right
// clicks, F2, Escape and F1, the line saved) and the texture-animation
// editor at 16 bits (F3, a new animation named, a destination and a source
// picked, a step added, play, stop, F3, Escape and F1), with pictures of the window
// taken by xwd.
#include "tests/xvfb/display_fixture.h"

namespace {

using namespace ztest;

// A window picture xwd wrote: 32-bit pixels of a true-colour visual with
// 8-bit masks, in the file's byte order (xwdtopnm misreads these).
struct XwdPicture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0xRRGGBB
  uint32_t At(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height ? pixels[size_t(y) * size_t(width) + size_t(x)] : 0;
  }
};

uint32_t BigEndian(const std::string& b, size_t at) {
  return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 |
         uint32_t(uint8_t(b[at + 2])) << 8 | uint8_t(b[at + 3]);
}

XwdPicture ReadXwd(const std::string& path) {
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

class DisplayEditors : public DisplayProgram {
 protected:
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
  ClickAt(85, 449);  // add step
  Pause(0.5);
  ClickAt(30, 40, 3);  // a source texture
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
  Press("F3");
  Pause(2);
  EXPECT_EQ(Leave(), 0);
  EXPECT_FALSE(fs::exists(root_ + "/tree/TXTANIM.BIN"));
  EXPECT_EQ(ReadFile(root_ + "/stderr.txt").find("not released"), std::string::npos);
}

}  // namespace
