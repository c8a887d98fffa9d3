// The in-memory display: surfaces, chains, locks, copies, fills, keys,
// losses, palettes and the test controls.
#include "platform/display.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace plat;

class Display : public ::testing::Test {
 protected:
  void SetUp() override { ResetDisplay(); }
  void TearDown() override { ResetDisplay(); }

  static PixelFormat Rgb565() {
    PixelFormat f;
    f.bitsPerPixel = 16;
    f.redMask = 0xF800;
    f.greenMask = 0x07E0;
    f.blueMask = 0x001F;
    return f;
  }
  static Surface* Offscreen(int32_t w, int32_t h, bool system = false) {
    SurfaceRequest r;
    r.width = w;
    r.height = h;
    r.format = Rgb565();
    r.systemMemory = system;
    Surface* s = nullptr;
    EXPECT_EQ(CreateSurface(r, &s), kDisplayOk);
    return s;
  }
  static uint16_t Pixel(Surface* s, int32_t x, int32_t y) {
    uint8_t* p;
    int32_t pitch;
    EXPECT_EQ(LockSurface(s, &p, &pitch), kDisplayOk);
    uint16_t v;
    std::memcpy(&v, p + y * pitch + x * 2, 2);
    UnlockSurface(s);
    return v;
  }
  static void SetPixel(Surface* s, int32_t x, int32_t y, uint16_t v) {
    uint8_t* p;
    int32_t pitch;
    ASSERT_EQ(LockSurface(s, &p, &pitch), kDisplayOk);
    std::memcpy(p + y * pitch + x * 2, &v, 2);
    UnlockSurface(s);
  }
};

TEST_F(Display, DefaultModeAndCaps) {
  const DisplayMode mode = GetDisplayMode();
  EXPECT_EQ(mode.width, 640);
  EXPECT_EQ(mode.height, 480);
  EXPECT_EQ(mode.format.bitsPerPixel, 16u);
  EXPECT_EQ(mode.format.greenMask, 0x07E0u);
  const DisplayCaps caps = GetDisplayCaps();
  EXPECT_TRUE(caps.hardware);
  EXPECT_EQ(caps.videoMemoryTotal, kDefaultVideoMemory);
  EXPECT_EQ(caps.videoMemoryFree, kDefaultVideoMemory);
  EXPECT_EQ(GetWindowClient().width, 640);
}

TEST_F(Display, LockGivesAWidePitchAndLeftoverContents) {
  Surface* s = Offscreen(10, 3);
  uint8_t* p;
  int32_t pitch;
  ASSERT_EQ(LockSurface(s, &p, &pitch), kDisplayOk);
  EXPECT_GT(pitch, 20);
  EXPECT_NE(p[0], 0);
  EXPECT_EQ(LockSurface(s, &p, &pitch), kDisplaySurfaceBusy);
  EXPECT_EQ(UnlockSurface(s), kDisplayOk);
  EXPECT_EQ(UnlockSurface(s), kDisplayNotLocked);
  EXPECT_EQ(ReleaseSurface(s), kDisplayOk);
  EXPECT_EQ(LiveSurfaceCount(), 0);
  EXPECT_EQ(ReleaseSurface(s), kDisplayInvalidParams);
}

TEST_F(Display, VideoMemoryIsABudget) {
  SetVideoMemory(10000);
  Surface* s = nullptr;
  SurfaceRequest r;
  r.width = 100;
  r.height = 100;
  r.format = Rgb565();
  EXPECT_EQ(CreateSurface(r, &s), kDisplayOutOfVideoMemory);
  r.systemMemory = true;
  EXPECT_EQ(CreateSurface(r, &s), kDisplayOk);
  EXPECT_TRUE(IsInSystemMemory(s));
  EXPECT_EQ(GetDisplayCaps().videoMemoryFree, 10000u);
  Surface* small = Offscreen(10, 10);
  EXPECT_LT(GetDisplayCaps().videoMemoryFree, 10000u);
  ReleaseSurface(small);
  EXPECT_EQ(GetDisplayCaps().videoMemoryFree, 10000u);
  SetHardware(false);
  r.systemMemory = false;
  r.width = r.height = 4;
  EXPECT_EQ(CreateSurface(r, &s), kDisplayNoHardware);
  r.format.redMask = 0;
  r.systemMemory = true;
  EXPECT_EQ(CreateSurface(r, &s), kDisplayInvalidPixelFormat);
  FailNextSurfaceCreation(kDisplayGeneric);
  r.format = Rgb565();
  EXPECT_EQ(CreateSurface(r, &s), kDisplayGeneric);
  EXPECT_EQ(CreateSurface(r, &s), kDisplayOk);
}

TEST_F(Display, PrimaryChainSharesItsFateAndReferences) {
  SurfaceRequest r;
  r.primary = true;
  r.backBuffers = 2;
  Surface* primary = nullptr;
  ASSERT_EQ(CreateSurface(r, &primary), kDisplayOk);
  EXPECT_EQ(LiveSurfaceCount(), 3);
  SurfaceInfo info;
  DescribeSurface(primary, &info);
  EXPECT_TRUE(info.primary);
  EXPECT_EQ(info.width, 640);
  Surface* back = nullptr;
  ASSERT_EQ(GetBackBuffer(primary, &back), kDisplayOk);
  MarkSurfaceLost(primary);
  EXPECT_EQ(IsSurfaceLost(back), kDisplaySurfaceLost);
  EXPECT_EQ(FillSurface(back, {0, 0, 1, 1}, 0), kDisplaySurfaceLost);
  SetRestoreAnswer(kDisplayWrongMode);
  EXPECT_EQ(RestoreSurface(primary), kDisplayWrongMode);
  SetRestoreAnswer(kDisplayOk);
  EXPECT_EQ(RestoreSurface(primary), kDisplayOk);
  EXPECT_EQ(IsSurfaceLost(back), kDisplayOk);
  ReleaseSurface(primary);
  EXPECT_EQ(LiveSurfaceCount(), 1);  // the back buffer is still held
  ReleaseSurface(back);
  EXPECT_EQ(LiveSurfaceCount(), 0);
  Surface* lone = nullptr;
  r.backBuffers = 0;
  CreateSurface(r, &lone);
  EXPECT_EQ(GetBackBuffer(lone, &back), kDisplayGeneric);
}

TEST_F(Display, BlitsCopyKeyAndRefuse) {
  Surface* a = Offscreen(4, 4);
  Surface* b = Offscreen(4, 4);
  FillSurface(a, {0, 0, 4, 4}, 0);
  FillSurface(b, {0, 0, 4, 4}, 0x5555);
  SetPixel(a, 1, 1, 0x1234);
  SetSourceColorKey(a, 0, 0);
  EXPECT_EQ(BlitFast(b, 0, 0, a, {0, 0, 2, 2}, kBlitSourceKey), kDisplayOk);
  EXPECT_EQ(Pixel(b, 0, 0), 0x5555);
  EXPECT_EQ(Pixel(b, 1, 1), 0x1234);
  EXPECT_EQ(Blit(b, {2, 2, 4, 4}, a, {0, 0, 2, 2}, 0), kDisplayOk);
  EXPECT_EQ(Pixel(b, 2, 2), 0);
  EXPECT_EQ(Pixel(b, 3, 3), 0x1234);
  EXPECT_EQ(Blit(b, {0, 0, 3, 3}, a, {0, 0, 2, 2}, 0), kDisplayInvalidRect);
  EXPECT_EQ(BlitFast(b, 3, 3, a, {0, 0, 2, 2}, 0), kDisplayInvalidRect);
  MakeNextBlitsBusy(1);
  EXPECT_EQ(BlitFast(b, 0, 0, a, {0, 0, 1, 1}, 0), kDisplaySurfaceBusy);
  EXPECT_EQ(BlitFast(b, 0, 0, a, {0, 0, 1, 1}, 0), kDisplayOk);
  uint8_t* p;
  int32_t pitch;
  LockSurface(a, &p, &pitch);
  EXPECT_EQ(BlitFast(b, 0, 0, a, {0, 0, 1, 1}, 0), kDisplaySurfaceBusy);
  UnlockSurface(a);
  // One surface onto itself, overlapping.
  EXPECT_EQ(Blit(b, {1, 1, 4, 4}, b, {0, 0, 3, 3}, 0), kDisplayOk);
  EXPECT_EQ(Pixel(b, 2, 2), 0x1234);
  const DisplayCounters c = GetDisplayCounters();
  EXPECT_EQ(c.fastBlits, 5);
  EXPECT_EQ(c.blits, 3);
}

TEST_F(Display, FillsTakeThePixelsLowBytes) {
  Surface* s = Offscreen(3, 1);
  EXPECT_EQ(FillSurface(s, {0, 0, 3, 1}, 0xABCD1234), kDisplayOk);
  EXPECT_EQ(Pixel(s, 2, 0), 0x1234);
  EXPECT_EQ(FillSurface(s, {0, 0, 4, 1}, 0), kDisplayInvalidRect);
}

TEST_F(Display, PalettesAttachAndKeepTheirEntries) {
  PaletteEntry entries[kPaletteSize];
  GetSystemPaletteEntries(entries);
  EXPECT_EQ(entries[0].red + entries[0].green + entries[0].blue, 0);
  EXPECT_EQ(entries[255].red & entries[255].green & entries[255].blue, 255);
  Palette* p = nullptr;
  ASSERT_EQ(CreatePalette(entries, &p), kDisplayOk);
  const PaletteEntry red{255, 0, 0, kPaletteReserved};
  EXPECT_EQ(SetPaletteEntries(p, 255, 1, &red), kDisplayOk);
  EXPECT_EQ(SetPaletteEntries(p, 255, 2, &red), kDisplayInvalidParams);
  PaletteEntry back;
  GetPaletteEntries(p, 255, 1, &back);
  EXPECT_EQ(back.flags, kPaletteReserved);
  Surface* s = Offscreen(2, 2);
  AttachPalette(s, p);
  EXPECT_EQ(AttachedPalette(s), p);
  ReleasePalette(p);
  EXPECT_EQ(AttachedPalette(s), nullptr);
  EXPECT_EQ(LivePaletteCount(), 0);
}

TEST_F(Display, ClientAreaStaysOnTheDisplay) {
  SetWindowClient({600, 470, 320, 200});
  const ClientArea a = GetWindowClient();
  EXPECT_EQ(a.x, 600);
  EXPECT_EQ(a.width, 40);
  EXPECT_EQ(a.height, 10);
  FlipToGdiSurface();
  EXPECT_EQ(GetDisplayCounters().flipsToGdi, 1);
}

}  // namespace
