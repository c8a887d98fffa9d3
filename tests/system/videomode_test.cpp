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
  const plat::DisplayMode mode = plat::GetDisplayMode();
  EXPECT_EQ((std::tuple{LS_Var.Style, mode.width, mode.format.bitsPerPixel, plat::GetCooperativeLevel()}),
            (std::tuple{0, 640, 16u, plat::kCoopExclusive}));
  ASSERT_NE(LS_Var.Screen, nullptr);
  EXPECT_EQ((std::tuple{LS_Var.Screen->SizeX, LS_Var.Screen->Format}), (std::tuple{640, BMAP_RGB565}));
  EXPECT_FALSE(plat::GetWindowState().framed);
}

TEST_F(VideoModeTest, AFramedRequestOfTheDesktopsDepthStaysFramed) {
  StartOnDesktop(16);
  LSYS_SetVideoMode(640, 480, 16, 0x103);
  EXPECT_EQ((std::tuple{LS_Var.Style, LS_Var.ScreenMode, LS_Var.BackScreen}), (std::tuple{256, 1, nullptr}));
  ASSERT_NE(LS_Var.Screen, nullptr);
  EXPECT_TRUE(plat::HasWindowClipper(LS_Var.Screen->Surface));
  EXPECT_EQ(plat::GetCooperativeLevel(), plat::kCoopNormal);
  EXPECT_EQ(plat::GetDisplayMode().width, 1024);  // the desktop's mode is kept
  EXPECT_EQ((std::tuple{LS_Var.Screen->SizeX, LS_Var.Screen->SizeY}), (std::tuple{640, 480}));
  EXPECT_GE(plat::CursorCount(), 0);
  LSYS_SetVideoMode(320, 200, 8, 1);  // back to full screen: the mode changes and the cursor hides
  EXPECT_EQ((std::tuple{LS_Var.Style, plat::GetDisplayMode().width}), (std::tuple{0, 320}));
  EXPECT_LT(plat::CursorCount(), 0);
  LSYS_SetVideoMode(640, 480, 8, 0x101);  // a framed 8-bit request on a 16-bit desktop is full screen too
  EXPECT_EQ(LS_Var.Style, 0);
}

TEST_F(VideoModeTest, ScreenModeThreeMakesAChainOfTwoBackBuffers) {
  StartOnDesktop(16);
  LSYS_SetVideoMode(640, 480, 16, 3);
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
  EXPECT_EQ(plat::GetCooperativeLevel(), plat::kCoopNormal);
  LSYS_SetVideoMode(640, 480, 16, 3);
  EXPECT_EQ(plat::GetDisplayMode().width, 1024);
  ASSERT_NE(LS_Var.BackScreen, nullptr);
  EXPECT_EQ((std::tuple{LS_Var.BackScreen->Kind, LS_Var.BackScreen->SizeX}), (std::tuple{uintptr_t{BMAP_SYSMEM}, 640}));
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
  EXPECT_EQ(plat::GetDisplayMode().width, 1024);  // given back to the desktop
  VIDEOCAPS caps;
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  EXPECT_EQ(LS_GetVideoModeCaps(&caps), 0);
  EXPECT_EQ(LS_GetLastError(), 9u);
  plat::SetOpenAnswer(plat::kDisplayNoHardware);
  LS_SetErrorMode(LS_ERRMODE_LOG);
  LSI_InitGraphic();
  EXPECT_EQ(Logged(" : InitGraphicSystem, DDERR_NODIRECTDRAWHW"), 1);
}

TEST_F(VideoModeTest, CapabilitiesDescribeTheDisplay) {
  StartOnDesktop(16);
  LSYS_SetVideoMode(640, 480, 16, 1);
  VIDEOCAPS caps;
  ASSERT_EQ(LS_GetVideoModeCaps(&caps), 1);
  EXPECT_EQ((std::tuple{caps.Hardware, caps.Format, caps.RedMask, caps.VidMemTotal}),
            (std::tuple{1u, 16u, 0xF800u, 16u << 20}));
  EXPECT_LT(caps.VidMemFree, caps.VidMemTotal);
}

TEST(FormatCode, CodesOfTheTableAndFormatsWithout) {
  plat::PixelFormat indexed;
  indexed.indexed = true;
  indexed.bitsPerPixel = 8;
  EXPECT_EQ(LSYS_GetFormatCode(indexed), 2u);
  const std::vector<std::tuple<plat::PixelFormat, uint32_t>> rows = {
      {Masks(16, 0x7C00, 0x03E0, 0x001F), 4},
      {Masks(32, 0xFF0000, 0xFF00, 0xFF), 128},
      {Masks(16, 0x001F, 0x03E0, 0x7C00, 0x8000), 512},
      {Masks(32, 0xFF, 0xFF00, 0xFF0000), 8192},
      {Masks(16, 0xF800, 0x07E0, 0x001F, 0x0001), 0},  // 5-6-5 with alpha
      {Masks(16, 0x0F00, 0x00F0, 0x000F), 0},          // 4-4-4
  };
  for (const auto& [format, code] : rows) EXPECT_EQ(LSYS_GetFormatCode(format), code) << format.redMask;
}

std::vector<BMAP> g_modes;
void Collect(BMAP* mode) { g_modes.push_back(*mode); }

TEST_F(VideoModeTest, EnumerationOffersTheModesOfTheGamesTable) {
  StartOnDesktop(16);
  g_modes.clear();
  LS_EnumVideoModes(Collect);
  LS_EnumVideoModes(nullptr);
  EXPECT_EQ(g_modes.size(), 24u);
  std::set<std::tuple<int32_t, int32_t, int32_t, int32_t>> offered;
  for (const BMAP& m : g_modes) offered.insert({m.SizeX, m.SizeY, m.Depth, m.Format});
  for (auto mode : {std::tuple{320, 200, 8, 2}, {512, 384, 16, 16}, {800, 600, 24, 32}, {800, 600, 32, 128}})
    EXPECT_TRUE(offered.count(mode)) << std::get<0>(mode) << " " << std::get<2>(mode);
  EXPECT_EQ((std::tuple{g_modes[0].Start, g_modes[0].LockCount}), (std::tuple{nullptr, 0}));
}

TEST_F(VideoModeTest, AFiveFiveFiveDisplayEnumeratesItsOwnCode) {
  plat::SetSixteenBitFormat(Masks(16, 0x7C00, 0x03E0, 0x001F));
  StartOnDesktop(32);
  g_modes.clear();
  LS_EnumVideoModes(Collect);
  for (const BMAP& m : g_modes) EXPECT_TRUE(m.Depth != 16 || m.Format == 4);
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
}

}  // namespace
