// The video modes on a display: the probe, the listing, the next mode,
// the display switch, the back ends, the full switch and Alt+Enter.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine3d/videotable.h"
#include "platform/accel/control.h"
#include "platform/display.h"
#include "platform/window.h"
#include "racescene/race3d.h"
#include "racescene/videomode.h"
#include "racescene/views.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "softrender/softrender.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "system/win/shell.h"
#include "tests/racescene/engine3d_fakes.h"
#include "tests/support/testenv.h"

namespace {

class VideoTest : public ztest::Engine3dTest {
 protected:
  void TearDown() override {
    plat::OfferAllModes();
    LibraryTest::TearDown();
  }
};

TEST_F(VideoTest, TheProbeGivesEachDepthItsFormat) {
  SB_SetDisplayMode(640, 480, 16);
  SB_Var.Format16 = SB_GetScreen16Format();
  const std::pair<int32_t, int32_t> rows[] = {{8, 2}, {16, BMAP_RGB565}, {24, 32}, {32, 128}};
  for (const auto& [depth, format] : rows) {
    EXPECT_EQ(SB_ProbeVideoMode(640, 480, depth), 1);
    EXPECT_EQ(SB_Var.VideoProbe.Format, format) << depth;
  }
  EXPECT_EQ(SB_ProbeVideoMode(641, 480, 16), 0);
}

TEST_F(VideoTest, TheListingAndTheNextModeKeepToTheDisplaysModes) {
  plat::OfferOnlyModes({{640, 480, 8}, {320, 200, 8}, {640, 480, 16}});
  SB_SetDisplayMode(640, 480, 16);
  SB_InitVideoModes();
  SB_ListVideoModes();
  const auto& lines = SB_PrintedLines();
  EXPECT_EQ(lines[1 + 7], " 7:  640*480* 8 [640*400]  Texture: 256COLORS (exists)");
  EXPECT_EQ(lines[1 + 9], " 9:  800*600* 8 [800*600]                          (not available)");
  SB_Var.VideoModeIndex = 8;  // the last 8-bit row offered
  SB_NextVideoMode();
  EXPECT_EQ(SB_Var.VideoModeIndex, 0);
  EXPECT_EQ(SB_Var.RendererCaps, 5);
  plat::AccelSetPresent(false);
  SB_InitVideoModes();
  EXPECT_EQ(SB_Var.RendererCaps, 1);
  plat::AccelSetPresent(true);
}

TEST_F(VideoTest, TheDisplaySwitchAndTheWindowRequest) {
  SB_SetDisplayMode(640, 480, 16);
  BMAP* screen = LS_Var.Screen;
  SB_Var.RenderMap = nullptr;
  SB_SetDisplayMode(640, 480, 16);  // shown: cleared and reinstalled only
  EXPECT_EQ(LS_Var.Screen, screen);
  EXPECT_NE(SB_Var.RenderMap, nullptr);
  SB_Var.WindowedRequest = 256;
  LSYS_DesktopDepth = 16;
  SB_SetDisplayMode(640, 480, 8);  // another depth than the desktop's: full screen
  EXPECT_EQ(std::pair(plat::GetCooperativeLevel(), SB_Var.WindowedApplied), std::pair(plat::kCoopExclusive, 0));
  SB_SetDisplayMode(640, 480, 16);
  EXPECT_EQ(std::pair(plat::GetCooperativeLevel(), SB_Var.WindowedApplied), std::pair(plat::kCoopNormal, 256));
}

std::string g_error;

TEST_F(VideoTest, EveryBackEndRow) {
  struct Row {
    int32_t depth, renderer;
    void* map;
    void* affine;
    int32_t softFillers;
    const char* error;
  };
  void* soft = reinterpret_cast<void*>(E3D_SoftRenderMap);
  void* power = reinterpret_cast<void*>(POWER_RenderMap);
  void* mark = reinterpret_cast<void*>(E3D_PerspTri8);  // stands for "kept"
  const Row rows[] = {
      {8, 0, soft, reinterpret_cast<void*>(E3D_AffineTri8), 1, nullptr},
      {8, 1, soft, reinterpret_cast<void*>(E3D_AffineTri8), 0, nullptr},
      {8, 2, soft, mark, 0, nullptr},
      {8, 3, soft, mark, 7, nullptr},
      {16, 0, soft, reinterpret_cast<void*>(E3D_AffineTri16), 1, nullptr},
      {16, 1, soft, mark, 7, nullptr},
      {16, 2, soft, mark, 0, nullptr},
      {16, 3, power, mark, 7, nullptr},
      {24, 3, power, mark, 7, nullptr},
      {24, 1, soft, mark, 7, "Unknown mode 24"},
      {32, 3, soft, mark, 7, "Unsupported Depth"},
  };
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  LS_SetErrorHook([](const char* text) -> int32_t {
    g_error = text;
    return 1;
  });
  for (const Row& r : rows) {
    SB_Var.Renderer = r.renderer;
    SB_Var.AffineTriFiller = reinterpret_cast<SB_TRIFILLERPROC>(mark);
    SB_Var.SoftFillers = 7;
    g_error.clear();
    const int code = ztest::ExitCodeOf([&] { SB_InstallRenderBackEnd(r.depth); });
    EXPECT_EQ(code, r.error ? 1 : -999) << r.depth << " " << r.renderer;
    if (r.error) {
      EXPECT_NE(g_error.find(r.error), std::string::npos) << g_error;
    }
    EXPECT_EQ(reinterpret_cast<void*>(SB_Var.RenderMap), r.map) << r.depth << " " << r.renderer;
    EXPECT_EQ(reinterpret_cast<void*>(SB_Var.AffineTriFiller), r.affine) << r.depth << " " << r.renderer;
    EXPECT_EQ(SB_Var.SoftFillers, r.softFillers) << r.depth << " " << r.renderer;
  }
  LS_SetErrorHook(nullptr);
}

TEST_F(VideoTest, TheFullSwitchInItsOrder) {
  SB_Var.Renderer = SB_RENDERER_PVR;
  SB_Hooks.RemapRaceBitmaps = [] { ztest::Fakes3d().calls.push_back("SB_RemapRaceBitmaps"); };
  SB_Var.FarDistance = 5;
  EXPECT_EQ(SB_SetVideoMode(640, 480, 16, 224, 0, 40, 640, 400), 1);
  EXPECT_EQ(ztest::Fakes3d().calls,
            (std::vector<std::string>{"SB_Free3dScreen", "SB_Create3dScreen",
                                      "E3D_SetRowOffsets " + std::to_string(SB_Var.TextScreen->ByteLen),
                                      "SB_RemapRaceBitmaps"}));
  int32_t deviceWidth = 0, deviceHeight = 0;
  plat::AccelDeviceSize(&deviceWidth, &deviceHeight);
  EXPECT_EQ(std::pair(deviceWidth, deviceHeight), std::pair(640, 400));  // the view window's size
  EXPECT_EQ(SB_Var.RenderMap, POWER_RenderMap);
  EXPECT_EQ(std::tuple(SB_Var.Focal, SB_Var.Focal2, SB_Var.FocalF, SB_Var.FocalD, SB_Var.Focal5),
            std::tuple(224, 224, 224.0f, 224.0, 44));
  EXPECT_EQ(std::tuple(SB_Var.CenterX, SB_Var.CenterY, SB_Var.CenterXF, SB_Var.FarDistance),
            std::tuple(320, 200, 320.0f, 38400));
  EXPECT_EQ(std::tuple(SB_Var.ScreenWindow.W_POSY, SB_Var.ScreenWindow.W_HEIGHT), std::tuple(40, 400));
  // The view pyramid of the window: (f, 0, 321), (-f, 0, 319), (0, f, 201), (0, -f, 199), unit.
  const double planes[4][3] = {{224, 0, 321}, {-224, 0, 319}, {0, 224, 201}, {0, -224, 199}};
  for (int32_t k = 0; k < 4; ++k) {
    const double n = std::sqrt(planes[k][0] * planes[k][0] + planes[k][1] * planes[k][1] + planes[k][2] * planes[k][2]);
    const TVECTOR& v = SB_Var.ViewPyramid[k];
    EXPECT_DOUBLE_EQ(v.x, planes[k][0] / n) << k;
    EXPECT_DOUBLE_EQ(v.y, planes[k][1] / n) << k;
    EXPECT_DOUBLE_EQ(v.z, planes[k][2] / n) << k;
  }
  SB_SetFocal(0);  // refused: the slopes and the projection divide by it
  SB_SetViewWindow(SB_Var.TextScreen, -5, 0, 0, 320, 200);
  EXPECT_EQ(std::pair(SB_Var.Focal, SB_Var.CenterX), std::pair(224, 160));
  SB_SetViewWindow(SB_Var.TextScreen, 112, 0, 0, 320, 200);
  EXPECT_EQ(std::tuple(SB_Var.Focal, SB_Var.Focal5, SB_Var.FocalF), std::tuple(112, 22, 224.0f));
  ztest::Fakes3d().overlayFails = true;
  EXPECT_EQ(SB_SetVideoMode(800, 600, 16, 280, 0, 0, 800, 600), 0);
  EXPECT_EQ(LS_Var.Screen->SizeX, 800);  // the display switched all the same
  SB_Hooks.RemapRaceBitmaps = nullptr;
}

TEST_F(VideoTest, AltEnter) {
  SB_SetDisplayMode(640, 480, 16);
  LSYS_DesktopDepth = 16;
  LSI_Var.Master = 1;
  EXPECT_EQ(SB_ToggleFullScreen(), 0);
  LSI_Var.Master = 0;
  EXPECT_EQ(SB_ToggleFullScreen(), 1);
  EXPECT_EQ(std::pair(SB_Var.WindowedRequest, plat::GetCooperativeLevel()), std::pair(256, plat::kCoopNormal));
  EXPECT_GE(plat::CursorCount(), 0);
  EXPECT_EQ(SB_ToggleFullScreen(), 1);
  EXPECT_EQ(std::pair(SB_Var.WindowedRequest, plat::GetCooperativeLevel()), std::pair(0, plat::kCoopExclusive));
  EXPECT_LT(plat::CursorCount(), 0);
  LSYS_DesktopDepth = 32;
  plat::ResetBeepCount();
  EXPECT_EQ(SB_ToggleFullScreen(), 0);
  EXPECT_EQ(std::pair(plat::BeepCount(), SB_Var.WindowedRequest), std::pair(1, 0));
}

}  // namespace
