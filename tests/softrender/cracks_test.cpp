// No background through the road: the whole program in this process on a
// copy of the build's data tree, in each software mode (VIDEOMODE 7 with
// the 8-bit polygon families and with the 1/z triangle filler, VIDEOMODE
// 17 with the 16-bit families); once the race runs, the default circuit's
// map is drawn from 32 cameras along its centre line at a driver's
// height, each time over two backgrounds of different colours. A pixel
// that differs between the two was covered by no polygon: none may lie
// inside the road's outline (the union of its listed polygons, less a
// pixel at its border).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "console/startup.h"
#include "datagen/netrace.h"
#include "engine3d/camera.h"
#include "racescene/views.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "shell/sbvar.h"
#include "softrender/drawlist.h"
#include "system/asm3d/zidade3d.h"
#include "system/bmap.h"
#include "tests/support/testenv.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kCameras = 32;
constexpr double kNear = 128.0;
constexpr int32_t kRows = 8;  // span rows a pixel

// The cameras of the map frame's benchmark: places along the centre line,
// 1.25 m above it, each looking 20 m ahead.
std::vector<TCAMERA> Cameras() { return datagen::NetraceCameras(kCameras); }

// The map drawn from the camera over a background of the byte: the view's
// pixels, each widened to 32 bits.
std::vector<uint32_t> Draw(TCAMERA& camera, uint8_t background) {
  _WINDOW* window = &SB_Var.ScreenWindow;
  const int32_t bytes = window->W_BMAP->Depth / 8, pitch = window->W_BMAP->ByteLen;
  LS_LockWindow(window);
  for (int32_t y = 0; y < window->W_HEIGHT; ++y)
    std::memset(window->W_ADDRESS + y * pitch, background, static_cast<size_t>(window->W_WIDTH * bytes));
  LS_UnlockWindow(window);
  TSOFTSCENE* view = SB_Var.CurrentView;
  SB_SetView(view, &camera, window, SB_Var.Focal, SB_Var.DetailDistance, 0);
  SB_Var.RenderMap(view, &camera, window);
  SB_Var.RenderFrame(window, view);
  std::vector<uint32_t> out;
  LS_LockWindow(window);
  for (int32_t y = 0; y < window->W_HEIGHT; ++y)
    for (int32_t x = 0; x < window->W_WIDTH; ++x) {
      const uint8_t* p = window->W_ADDRESS + y * pitch + x * bytes;
      out.push_back(bytes == 1 ? p[0] : static_cast<uint32_t>(p[0] | p[1] << 8));
    }
  LS_UnlockWindow(window);
  return out;
}

// The polygon cut at the near plane and projected exactly.
std::vector<std::array<double, 2>> Projected(const TSOFTPOLY& poly) {
  std::vector<std::array<double, 2>> out;
  const int32_t n = poly.NbVertices;
  auto put = [&](double x, double y, double z) {
    out.push_back({SB_Var.CenterX + x * SB_Var.Focal / z, SB_Var.CenterY + y * SB_Var.Focal / z});
  };
  for (int32_t i = 0; i < n; ++i) {
    const TSOFTVERTEX &a = poly.FirstVertex[i], &b = poly.FirstVertex[(i + 1) % n];
    if (a.CamZ >= kNear) put(a.CamX, a.CamY, a.CamZ);
    if ((a.CamZ >= kNear) != (b.CamZ >= kNear)) {
      const double t = (kNear - a.CamZ) / (double(b.CamZ) - a.CamZ);
      put(a.CamX + t * (b.CamX - a.CamX), a.CamY + t * (b.CamY - a.CamY), kNear);
    }
  }
  return out;
}

// The pixels whose neighbourhood (the pixel and one pixel around it) lies
// wholly in the union of the view's road polygons: the union's spans are
// taken on rows an eighth of a pixel apart, so that a gap between two
// surfaces that a rounded corner may widen into a pixel is never taken for
// road.
std::vector<uint8_t> RoadInside(const TSOFTSCENE* view, int32_t w, int32_t h) {
  std::vector<std::vector<std::array<double, 2>>> spans(static_cast<size_t>(h) * kRows);
  int32_t walked = 0;
  for (auto* poly = static_cast<const TSOFTPOLY*>(view->FirstPolygon); poly && walked < view->NbPolygons;
       poly = poly->Next, ++walked) {
    if (poly->Kind == 7 || poly->Kind == 8 || poly->Material >= SB_Var.NbTextures ||
        std::strncmp(SB_Var.TextureNames[poly->Material], "ROUT", 4) != 0)
      continue;
    const auto p = Projected(*poly);
    for (int32_t r = 0; p.size() >= 3 && r < h * kRows; ++r) {
      const double y = (r + 0.5) / kRows;
      double left = 1e9, right = -1e9;
      for (size_t i = 0; i < p.size(); ++i) {
        const auto &a = p[i], &b = p[(i + 1) % p.size()];
        if ((a[1] <= y) == (b[1] <= y)) continue;
        const double x = a[0] + (y - a[1]) * (b[0] - a[0]) / (b[1] - a[1]);
        left = std::min(left, x), right = std::max(right, x);
      }
      if (left < right) spans[static_cast<size_t>(r)].push_back({left, right});
    }
  }
  std::vector<uint8_t> full(static_cast<size_t>(w) * h, 1), inside(full.size(), 0);
  for (int32_t r = 0; r < h * kRows; ++r) {
    auto& row = spans[static_cast<size_t>(r)];
    std::sort(row.begin(), row.end());
    std::vector<uint8_t> covered(static_cast<size_t>(w), 0);
    for (size_t i = 0; i < row.size();) {
      double a = row[i][0], b = row[i][1];
      for (++i; i < row.size() && row[i][0] <= b; ++i) b = std::max(b, row[i][1]);
      // Pixels x whose neighbours' span [x - 1, x + 2] lies in [a, b].
      for (int32_t x = std::max(0, int32_t(std::ceil(a + 1))); x <= std::min(w - 1, int32_t(std::floor(b - 2))); ++x)
        covered[static_cast<size_t>(x)] = 1;
    }
    for (int32_t x = 0; x < w; ++x) full[static_cast<size_t>(r / kRows * w + x)] &= covered[static_cast<size_t>(x)];
  }
  for (size_t i = static_cast<size_t>(w); i + w < full.size(); ++i) inside[i] = full[i - w] & full[i] & full[i + w];
  return inside;
}

std::vector<int32_t> g_uncovered, g_road;
bool g_limited = false, g_drawing = false;

// Once the race has drawn two frames (the drawing reads keys, which pump
// the messages again).
void Pump() {
  plat::AdvanceManualTime(1);
  if (g_drawing || !g_uncovered.empty() || SB_Var.RaceFrames < 2) return;
  g_drawing = true;
  for (TCAMERA& camera : Cameras()) {
    const std::vector<uint32_t> a = Draw(camera, 0x11), b = Draw(camera, 0xEE);
    const TSOFTSCENE* view = SB_Var.CurrentView;
    g_limited = g_limited || view->NbPolygons >= SB_Var.MaxFaces || E3D_SoftDraws.NbDraws >= SB_MAXSOFTDRAWS ||
                E3D_SoftDraws.NbTris >= SB_MAXSOFTTRIS || E3D_SoftDraws.NbPersps >= SB_MAXSOFTPERSPS;
    const std::vector<uint8_t> inside = RoadInside(view, SB_Var.ScreenWindow.W_WIDTH, SB_Var.ScreenWindow.W_HEIGHT);
    int32_t uncovered = 0, road = 0;
    for (size_t i = 0; i < a.size(); ++i) uncovered += a[i] != b[i] && inside[i], road += inside[i];
    g_uncovered.push_back(uncovered);
    g_road.push_back(road);
  }
  g_drawing = false;
  SB_Var.LeaveRace = 1;
}

struct Mode {
  const char* videoMode;
  const char* renderer;
};

class CracksTest : public ztest::Environment, public testing::WithParamInterface<Mode> {};

TEST_P(CracksTest, NoBackgroundShowsInsideTheRoad) {
  fs::copy(fs::path(ZENTROVA_EXE).parent_path() / "data", root_,
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  ztest::WriteFile(root_ + "/dat/FRAME.TXT", std::string("USINGCARS 1\r\nNUMBEROFCARS 1\r\nVIDEOMODE ") +
                                                 GetParam().videoMode + "\r\nMODE " + GetParam().renderer +
                                                 "\r\nPLAY\r\nQUIT\r\n");
  g_uncovered.clear(), g_road.clear(), g_limited = false;
  plat::SetMessageSource(Pump);
  std::vector<const char*> args = {"zentrova", "-S:frame.txt"};
  EXPECT_EQ(ztest::ExitCodeOf([&] { SB_Main(int16_t(args.size()), const_cast<char**>(args.data())); }), 0);
  plat::SetMessageSource(nullptr);
  ASSERT_EQ(g_uncovered.size(), static_cast<size_t>(kCameras));
  EXPECT_FALSE(g_limited);  // every listed polygon was drawn
  EXPECT_EQ(g_uncovered, std::vector<int32_t>(kCameras, 0));
  EXPECT_GT(*std::min_element(g_road.begin(), g_road.end()), 50000);  // the road fills the lower half
}

INSTANTIATE_TEST_SUITE_P(Renderers, CracksTest,
                         testing::Values(Mode{"7", "VECTOR"}, Mode{"7", "PERSPECTIVE"}, Mode{"17", "VECTOR"}),
                         [](const testing::TestParamInfo<Mode>& info) {
                           return std::string("Mode") + info.param.videoMode + "_" + info.param.renderer;
                         });

}  // namespace
