// Palettes: allocation, the current palette, and what reaches the display
// on an 8-bit front screen.
#include "system/palette.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/display.h"
#include "platform/window.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "tests/system/bmap_fixture.h"

namespace {

class Palette : public ztest::BmapTest {
 protected:
  // Puts the display in 640 x 480 x 8 and makes the front screen.
  void EightBitScreen() {
    plat::DisplayMode mode;
    mode.format.bitsPerPixel = 8;
    mode.format.indexed = true;
    plat::SetDesktopMode(mode);
    MakeScreens(1);
    ASSERT_EQ(LS_Var.Screen->Depth, 8);
  }
  // A palette whose entry i is (i mod 64, 63 - i mod 64, i / 4).
  static PALETTE Ramp() {
    PALETTE p;
    for (int i = 0; i < 256; ++i) p.Entry[i] = {uint8_t(i % 64), uint8_t(63 - i % 64), uint8_t(i / 4)};
    return p;
  }
  static void DisplayEntries(plat::PaletteEntry (&out)[256]) {
    plat::Palette* shown = plat::AttachedPalette(LS_Var.Screen->Surface);
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(plat::GetPaletteEntries(shown, 0, 256, out), plat::kDisplayOk);
  }
};

TEST_F(Palette, AllocatedPalettesAreCounted) {
  PALETTE* a = LS_AllocPalette();
  EXPECT_EQ((std::tuple{LSI_Var.NbPal, LSI_Var.NbAlloc}), (std::tuple{int16_t(nbPal_ + 1), int16_t(nbAlloc_ + 1)}));
  LS_FreePalette(nullptr);
  LS_FreePalette(a);
}

TEST_F(Palette, LibraryStartsWithBlackAndWhite) {
  const PALETTE start = LS_Var.Palette;
  EXPECT_EQ(std::memcmp(&start.Entry[0], "\0\0\0", 3), 0);
  EXPECT_EQ(std::memcmp(&start.Entry[255], "\x3F\x3F\x3F", 3), 0);
  PALETTE ramp = Ramp();
  LS_SetPalette(&ramp);
  EXPECT_EQ(std::memcmp(&LS_Var.Palette, &ramp, sizeof ramp), 0);
  LS_ResetPalette();  // the ends go back, the rest stays
  ramp.Entry[0] = start.Entry[0];
  ramp.Entry[255] = start.Entry[255];
  EXPECT_EQ(std::memcmp(&LS_Var.Palette, &ramp, sizeof ramp), 0);
  LS_SetPalette(nullptr);
  const PALETTE black{};
  EXPECT_EQ(std::memcmp(&LS_Var.Palette, &black, sizeof black), 0);
}

TEST_F(Palette, SystemPaletteIsTheDesktopsInSixBits) {
  plat::PaletteEntry desktop[256];
  plat::GetSystemPaletteEntries(desktop);
  const PALETTE* system = LSYS_GetSystemPalette();
  for (int i : {0, 9, 250, 255})
    EXPECT_EQ((std::tuple{system->Entry[i].Red, system->Entry[i].Green, system->Entry[i].Blue}),
              (std::tuple{desktop[i].red / 4, desktop[i].green / 4, desktop[i].blue / 4})) << i;
}

TEST_F(Palette, FullScreenShowsAllEntriesReserved) {
  EightBitScreen();
  PALETTE ramp = Ramp();
  LS_SetPalette(&ramp);
  plat::PaletteEntry shown[256];
  DisplayEntries(shown);
  for (int i : {0, 10, 100, 255})
    EXPECT_EQ((std::tuple<int, int, int, int>{shown[i].red, shown[i].green, shown[i].blue, shown[i].flags}),
              (std::tuple<int, int, int, int>{ramp.Entry[i].Red * 4, ramp.Entry[i].Green * 4, ramp.Entry[i].Blue * 4,
                                              plat::kPaletteReserved})) << i;
  FreeScreens();
}

TEST_F(Palette, FramedOrDebugLeavesTenEntriesAtEachEndToTheDesktop) {
  for (int framed = 0; framed < 2; ++framed) {
    LS_Var.Style = framed ? 256 : 0;
    LSI_Var.Debug = framed ? 0 : 1;
    EightBitScreen();
    EXPECT_EQ(LSYS_GetReservedColors(), 20);
    PALETTE ramp = Ramp();
    LS_SetPalette(&ramp);
    plat::PaletteEntry shown[256], desktop[256];
    DisplayEntries(shown);
    plat::GetSystemPaletteEntries(desktop);
    for (int i : {0, 9, 10, 245, 246, 255}) {
      const bool ours = i >= 10 && i <= 245;
      EXPECT_EQ((std::tuple<int, int>{shown[i].flags, shown[i].red}),
                (std::tuple<int, int>{ours ? plat::kPaletteReserved : 0, ours ? ramp.Entry[i].Red * 4 : desktop[i].red}))
          << i;
    }
    FreeScreens();
  }
  LS_Var.Style = 0;
  LSI_Var.Debug = 0;
  EXPECT_EQ(LSYS_GetReservedColors(), 0);
}

TEST_F(Palette, SixteenBitScreenLeavesTheDisplayPaletteAlone) {
  MakeScreens(1);
  PALETTE ramp = Ramp();
  LS_SetPalette(&ramp);
  EXPECT_EQ(plat::AttachedPalette(LS_Var.Screen->Surface), nullptr);
  FreeScreens();
}

PALETTE g_duringBox;
int ShowBox(const std::string&, const std::string&) {
  g_duringBox = LS_Var.Palette;
  return plat::kMessageBoxOk;
}

TEST_F(Palette, MessageBoxesShowInTheDesktopsColours) {
  PALETTE ramp = Ramp();
  LS_SetPalette(&ramp);
  plat::SetMessageBoxBackend(ShowBox);
  LS_Message("hello");
  plat::SetMessageBoxBackend(nullptr);
  EXPECT_EQ(std::memcmp(&g_duringBox, LSYS_GetSystemPalette(), sizeof g_duringBox), 0);
  EXPECT_EQ(std::memcmp(&LS_Var.Palette, &ramp, sizeof ramp), 0);
}

TEST_F(Palette, FlipToTheDesktopOnlyWithAFlippingChain) {
  const int32_t flips = plat::GetDisplayCounters().flipsToGdi;
  LS_Message("one");  // screen mode 1: nothing to flip
  EXPECT_EQ(plat::GetDisplayCounters().flipsToGdi, flips);
  MakeScreens(2);
  LS_Message("two");
  EXPECT_EQ(plat::GetDisplayCounters().flipsToGdi, flips + 1);
  FreeScreens();
}

}  // namespace
