// Video modes: the window style the depth allows, screen modes and back
// screens, the Debug switch, refused modes, format codes, the enumeration
// of display modes, capabilities, graphics start and the vertical blank.
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/window.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/graphic.h"
#include "system/lsvar.h"
#include "system/win/shell.h"
#include "tests/support/testenv.h"

namespace {

using ztest::ExitCodeOf;

plat::PixelFormat Masks(uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a = 0) {
  plat::PixelFormat f;
  f.bitsPerPixel = bits;
  f.redMask = r;
  f.greenMask = g;
  f.blueMask = b;
  f.alphaMask = a;
  return f;
}

class VideoModeTest : public ztest::LibraryTest {
 protected:
  // Puts the desktop in 1024 x 768 at the depth, then starts as the
  // program does: windows, library, first pump.
  void StartOnDesktop(uint32_t depth) {
    plat::DisplayMode desktop;
    desktop.width = 1024;
    desktop.height = 768;
    desktop.format = depth == 16 ? Masks(16, 0xF800, 0x07E0, 0x001F) : Masks(32, 0xFF0000, 0xFF00, 0xFF);
    plat::SetDesktopMode(desktop);
    plat::SetVideoMemory(16u << 20);
    plat::ClearWindowMessages();
    ASSERT_EQ(LSYS_CreateWindows(nullptr, 1), 1);
    StartLibrary(8u << 20);
    LS_UpdateEvent();
  }
};

TEST_F(VideoModeTest, AFramedRequestOfAnotherDepthThanTheDesktopsGoesFullScreen) {
  StartOnDesktop(32);
  LSYS_SetVideoMode(640, 480, 16, 0x101);
  EXPECT_EQ(LS_Var.Style, 0);
  const plat::DisplayMode mode = plat::GetDisplayMode();
  EXPECT_EQ(mode.width, 640);
  EXPECT_EQ(mode.format.bitsPerPixel, 16u);
  EXPECT_EQ(plat::GetCooperativeLevel(), plat::kCoopExclusive);
  ASSERT_NE(LS_Var.Screen, nullptr);
  EXPECT_EQ(LS_Var.Screen->SizeX, 640);
  EXPECT_EQ(LS_Var.Screen->Format, BMAP_RGB565);
  EXPECT_FALSE(plat::GetWindowState().framed);
  EXPECT_EQ(LSYS_ScreenWidth, 640);
}

TEST_F(VideoModeTest, AFramedRequestOfTheDesktopsDepthStaysFramed) {
  StartOnDesktop(16);
  const int32_t clippers = plat::ClipperCount();
  LSYS_SetVideoMode(640, 480, 16, 0x103);
  EXPECT_EQ(LS_Var.Style, 256);
  EXPECT_EQ(LS_Var.ScreenMode, 1);
  EXPECT_EQ(LS_Var.BackScreen, nullptr);
  ASSERT_NE(LS_Var.Screen, nullptr);
  EXPECT_TRUE(plat::HasWindowClipper(LS_Var.Screen->Surface));
  EXPECT_GT(plat::ClipperCount(), clippers);
  EXPECT_EQ(plat::GetCooperativeLevel(), plat::kCoopNormal);
  EXPECT_EQ(plat::GetDisplayMode().width, 1024);  // the desktop's mode is kept
  EXPECT_EQ(LS_Var.Screen->SizeX, 640);
  EXPECT_EQ(LS_Var.Screen->SizeY, 480);
  EXPECT_TRUE(plat::GetWindowState().framed);
  EXPECT_GE(plat::CursorCount(), 0);
  // Back to full screen: the mode changes and the cursor hides.
  LSYS_SetVideoMode(320, 200, 8, 1);
  EXPECT_EQ(LS_Var.Style, 0);
  EXPECT_EQ(plat::GetDisplayMode().width, 320);
  EXPECT_LT(plat::CursorCount(), 0);
  // A framed 8-bit request on a 16-bit desktop is full screen too.
  LSYS_SetVideoMode(640, 480, 8, 0x101);
  EXPECT_EQ(LS_Var.Style, 0);
}

TEST_F(VideoModeTest, ScreenModeThreeMakesAChainOfTwoBackBuffers) {
  StartOnDesktop(16);
  LSYS_SetVideoMode(640, 480, 16, 3);
  ASSERT_NE(LS_Var.Screen, nullptr);
  ASSERT_NE(LS_Var.BackScreen, nullptr);
  EXPECT_EQ(plat::BackBufferCount(LS_Var.Screen->Surface), 2);
  EXPECT_EQ(LS_Var.BackScreen->Kind, BMAP_VIDEOMEM);
  LSYS_SetVideoMode(640, 480, 16, 1);
  EXPECT_EQ(LS_Var.BackScreen, nullptr);
  EXPECT_EQ(plat::BackBufferCount(LS_Var.Screen->Surface), 0);
}

TEST_F(VideoModeTest, TheDebugSwitchKeepsTheDesktopAndMakesASystemMemoryBackScreen) {
  WriteWinIni("[ZIDADE]\nMaster=FALSE\nDebug=TRUE\n");
  StartOnDesktop(16);
  ASSERT_EQ(LSI_Var.Debug, 1u);
  EXPECT_EQ(plat::GetCooperativeLevel(), plat::kCoopNormal);
  LSYS_SetVideoMode(640, 480, 16, 3);
  EXPECT_EQ(plat::GetDisplayMode().width, 1024);
  ASSERT_NE(LS_Var.BackScreen, nullptr);
  EXPECT_EQ(LS_Var.BackScreen->Kind, BMAP_SYSMEM);
  EXPECT_EQ(LS_Var.BackScreen->SizeX, 640);
  EXPECT_EQ(plat::BackBufferCount(LS_Var.Screen->Surface), 0);
}

TEST_F(VideoModeTest, AModeTheDisplayLacksIsError9) {
  StartOnDesktop(16);
  LS_SetErrorMode(LS_ERRMODE_LOG);
  LSYS_SetVideoMode(123, 45, 16, 1);
  EXPECT_EQ(Boxes().back(), "DDERR_INVALIDMODE");
  EXPECT_EQ(LS_GetLastError(), 9u);
  EXPECT_EQ(Logged("LSYS_SetVideoMode 123 45 16"), 1);
}

TEST_F(VideoModeTest, GraphicsStartAndEndOpenAndCloseTheDisplay) {
  StartOnDesktop(16);
  EXPECT_TRUE(plat::DisplayOpen());
  LSYS_SetVideoMode(320, 240, 8, 1);
  LSI_CloseGraphic();
  EXPECT_FALSE(plat::DisplayOpen());
  EXPECT_EQ(LS_Var.Screen, nullptr);
  EXPECT_EQ(plat::GetDisplayMode().width, 1024);  // given back to the desktop
  VIDEOCAPS caps;
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  EXPECT_EQ(LS_GetVideoModeCaps(&caps), 0);
  EXPECT_EQ(LS_GetLastError(), 9u);
  EXPECT_EQ(LS_GetVideoModeCaps(nullptr), 0);
  plat::SetOpenAnswer(plat::kDisplayNoHardware);
  LS_SetErrorMode(LS_ERRMODE_LOG);
  LSI_InitGraphic();
  EXPECT_EQ(LS_GetLastError(), 7u);
  EXPECT_EQ(Logged(" : InitGraphicSystem, DDERR_NODIRECTDRAWHW"), 1);
}

TEST_F(VideoModeTest, CapabilitiesDescribeTheDisplay) {
  StartOnDesktop(16);
  LSYS_SetVideoMode(640, 480, 16, 1);
  VIDEOCAPS caps;
  ASSERT_EQ(LS_GetVideoModeCaps(&caps), 1);
  EXPECT_EQ(caps.Hardware, 1u);
  EXPECT_EQ(caps.Format, 16u);
  EXPECT_EQ(caps.RedMask, 0xF800u);
  EXPECT_EQ(caps.VidMemTotal, 16u << 20);
  EXPECT_LT(caps.VidMemFree, caps.VidMemTotal);
}

TEST(FormatCode, EveryCodeOfTheTable) {
  plat::PixelFormat indexed;
  indexed.indexed = true;
  indexed.bitsPerPixel = 8;
  EXPECT_EQ(LSYS_GetFormatCode(indexed), 2u);
  indexed.bitsPerPixel = 4;
  EXPECT_EQ(LSYS_GetFormatCode(indexed), 1u);
  const std::vector<std::tuple<plat::PixelFormat, uint32_t>> rows = {
      {Masks(16, 0x7C00, 0x03E0, 0x001F), 4},
      {Masks(16, 0x7C00, 0x03E0, 0x001F, 0x8000), 8},
      {Masks(16, 0xF800, 0x07E0, 0x001F), 16},
      {Masks(24, 0xFF0000, 0xFF00, 0xFF), 32},
      {Masks(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), 64},
      {Masks(32, 0xFF0000, 0xFF00, 0xFF), 128},
      {Masks(16, 0x001F, 0x03E0, 0x7C00), 256},
      {Masks(16, 0x001F, 0x03E0, 0x7C00, 0x8000), 512},
      {Masks(16, 0x001F, 0x07E0, 0xF800), 1024},
      {Masks(24, 0xFF, 0xFF00, 0xFF0000), 2048},
      {Masks(32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000), 4096},
      {Masks(32, 0xFF, 0xFF00, 0xFF0000), 8192},
      {Masks(16, 0xF800, 0x07E0, 0x001F, 0x0001), 0},  // 5-6-5 with alpha
      {Masks(16, 0x0F00, 0x00F0, 0x000F), 0},          // 4-4-4
      {Masks(24, 0xFF0000, 0xFF00, 0xFF, 0xFF), 0},    // 24 bits with alpha
      {Masks(32, 0x3FF00000, 0xFFC00, 0x3FF), 0},      // 10-10-10
  };
  for (const auto& [format, code] : rows) EXPECT_EQ(LSYS_GetFormatCode(format), code) << format.redMask;
}

std::vector<BMAP> g_modes;
void Collect(BMAP* mode) { g_modes.push_back(*mode); }

TEST_F(VideoModeTest, EnumerationOffersEveryModeOfTheGamesTable) {
  StartOnDesktop(16);
  g_modes.clear();
  LS_EnumVideoModes(Collect);
  LS_EnumVideoModes(nullptr);
  EXPECT_EQ(g_modes.size(), 24u);
  std::set<std::tuple<int32_t, int32_t, int32_t, int32_t>> offered;
  for (const BMAP& m : g_modes) {
    offered.insert({m.SizeX, m.SizeY, m.Depth, m.Format});
    EXPECT_EQ(m.ByteLen, 0);
    EXPECT_EQ(m.Start, nullptr);
    EXPECT_EQ(m.Kind, 0u);
    EXPECT_EQ(m.LockCount, 0);
  }
  const int32_t sizes[][2] = {{320, 200}, {320, 240}, {512, 384}, {640, 400}, {640, 480}, {800, 600}};
  for (const auto& s : sizes) {
    EXPECT_TRUE(offered.count({s[0], s[1], 8, 2})) << s[0] << "x" << s[1];
    EXPECT_TRUE(offered.count({s[0], s[1], 16, 16})) << s[0] << "x" << s[1];
  }
  EXPECT_TRUE(offered.count({640, 480, 24, 32}));
  EXPECT_TRUE(offered.count({800, 600, 24, 32}));
  EXPECT_TRUE(offered.count({800, 600, 32, 128}));
}

TEST_F(VideoModeTest, AFiveFiveFiveDisplayEnumeratesItsOwnCode) {
  plat::SetSixteenBitFormat(Masks(16, 0x7C00, 0x03E0, 0x001F));
  StartOnDesktop(32);
  g_modes.clear();
  LS_EnumVideoModes(Collect);
  for (const BMAP& m : g_modes)
    if (m.Depth == 16) {
      EXPECT_EQ(m.Format, 4);
    }
  LSYS_SetVideoMode(640, 480, 16, 1);
  EXPECT_EQ(LS_Var.Screen->Format, BMAP_RGB555);
}

TEST_F(VideoModeTest, TheVerticalBlankComesSixtyTimesASecond) {
  StartOnDesktop(16);
  plat::SetManualTime(0);
  LS_WaitVbl();
  EXPECT_EQ(plat::TickMs(), 17u);
  LSYS_WaitVbl();
  EXPECT_EQ(plat::TickMs(), 34u);
  plat::SetManualTime(999);
  LS_WaitVbl();
  EXPECT_EQ(plat::TickMs(), 1000u);
  LS_WaitVbl();
  EXPECT_EQ(plat::TickMs(), 1017u);
}

}  // namespace
