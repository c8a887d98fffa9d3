// The in-memory display: surfaces, chains, locks, copies, fills, keys,
// losses, palettes, display modes, the client area, the presenter's hooks,
// what the front surface shows, and the test controls.
#include "platform/display.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "platform/clock.h"
#include "platform/display_state.h"

namespace {

using namespace plat;

class Display : public ::testing::Test {
 protected:
  void SetUp() override { ResetDisplay(); }
  void TearDown() override {
    SetPresenter(nullptr, nullptr);
    ResetDisplay();
  }

  static SurfaceRequest Request(int32_t w, int32_t h, bool system = false) {
    SurfaceRequest r;
    r.width = w;
    r.height = h;
    r.format = Rgb565();
    r.systemMemory = system;
    return r;
  }
  static Surface* Offscreen(int32_t w, int32_t h) {
    Surface* s = nullptr;
    EXPECT_EQ(CreateSurface(Request(w, h), &s), kDisplayOk);
    return s;
  }
  static Surface* Primary(int32_t backBuffers = 0) {
    SurfaceRequest r;
    r.primary = true;
    r.backBuffers = backBuffers;
    Surface* s = nullptr;
    EXPECT_EQ(CreateSurface(r, &s), kDisplayOk);
    return s;
  }
  // Pixel (x, y) of a surface of `bytes` bytes per pixel, little-endian.
  static uint32_t Peek(Surface* s, int32_t x, int32_t y, int32_t bytes = 2) {
    uint8_t* p;
    int32_t pitch;
    uint32_t v = 0;
    EXPECT_EQ(LockSurface(s, &p, &pitch), kDisplayOk);
    std::memcpy(&v, p + y * pitch + x * bytes, static_cast<size_t>(bytes));
    UnlockSurface(s);
    return v;
  }
  static void Poke(Surface* s, int32_t x, int32_t y, uint32_t v, int32_t bytes = 2) {
    uint8_t* p;
    int32_t pitch;
    ASSERT_EQ(LockSurface(s, &p, &pitch), kDisplayOk);
    std::memcpy(p + y * pitch + x * bytes, &v, static_cast<size_t>(bytes));
    UnlockSurface(s);
  }
  // What the front surface shows at (x, y), as 0xRRGGBB.
  static uint32_t Shown(int32_t x, int32_t y) {
    std::vector<uint32_t> pixels;
    int32_t w = 0, h = 0;
    EXPECT_TRUE(ReadFront({0, 0, 4096, 4096}, pixels, &w, &h));
    return pixels[static_cast<size_t>(y * w + x)];
  }
};

TEST_F(Display, DefaultModeCapsAndAClientAreaWithinTheMode) {
  const DisplayMode mode = GetDisplayMode();
  EXPECT_EQ(std::tuple(mode.width, mode.height, mode.format.bitsPerPixel, mode.format.greenMask),
            std::tuple(640, 480, 16u, 0x07E0u));
  const DisplayCaps caps = GetDisplayCaps();
  EXPECT_TRUE(caps.hardware);
  EXPECT_EQ(std::tuple(caps.videoMemoryTotal, caps.videoMemoryFree),
            std::tuple(kDefaultVideoMemory, kDefaultVideoMemory));
  EXPECT_EQ(GetWindowClient().width, 640);
  SetWindowClient({600, 470, 320, 200});
  const ClientArea a = GetWindowClient();
  EXPECT_EQ(std::tuple(a.x, a.width, a.height), std::tuple(600, 40, 10));
  SetWindowClient({0, 0, 800, 600});
  EXPECT_EQ(GetWindowClient().width, 640);
  DisplayMode desktop = mode;
  desktop.width = 1024;
  desktop.height = 768;
  SetDesktopMode(desktop);
  SetWindowClient({0, 0, 800, 600});
  EXPECT_EQ(GetWindowClient().width, 800);
  ASSERT_EQ(ChangeDisplayMode(320, 200, 8), kDisplayOk);
  EXPECT_EQ(GetWindowClient().width, 320);
  RestoreDisplayMode();
  EXPECT_EQ(GetWindowClient().width, 800);  // kept across the mode change
  FlipToGdiSurface();
  EXPECT_EQ(GetDisplayCounters().flipsToGdi, 1);
}

TEST_F(Display, OnlyOfferedModesAreSet) {
  EXPECT_EQ(ChangeDisplayMode(800, 600, 24), kDisplayOk);
  EXPECT_EQ(std::tuple(GetDisplayMode().format.bitsPerPixel, GetDisplayMode().format.redMask),
            std::tuple(24u, 0xFF0000u));
  EXPECT_EQ(ChangeDisplayMode(800, 600, 15), kDisplayInvalidMode);
  EXPECT_EQ(ChangeDisplayMode(1024, 768, 16), kDisplayInvalidMode);
  EXPECT_EQ(GetDisplayMode().width, 800);
  RestoreDisplayMode();
  EXPECT_EQ(std::tuple(GetDisplayMode().width, GetDisplayMode().format.bitsPerPixel), std::tuple(640, 16u));
  EXPECT_EQ(SetCooperativeLevel(7), kDisplayInvalidParams);
  EXPECT_EQ(SetCooperativeLevel(kCoopExclusive), kDisplayOk);
  EXPECT_EQ(GetCooperativeLevel(), kCoopExclusive);
  EXPECT_EQ(OpenDisplay(), kDisplayOk);
  EXPECT_TRUE(DisplayOpen());
  CloseDisplay();
  EXPECT_FALSE(DisplayOpen());
  EXPECT_EQ(GetCooperativeLevel(), kCoopNone);
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
  SurfaceRequest r = Request(100, 100);
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
  r = Request(4, 4);
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
  Surface* primary = Primary(2);
  EXPECT_EQ(LiveSurfaceCount(), 3);
  SurfaceInfo info;
  DescribeSurface(primary, &info);
  EXPECT_EQ(std::tuple(info.primary, info.width), std::tuple(true, 640));
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
  EXPECT_EQ(GetBackBuffer(Primary(), &back), kDisplayGeneric);
}

TEST_F(Display, BlitsAndFillsCopyKeyAndRefuse) {
  Surface* a = Offscreen(4, 4);
  Surface* b = Offscreen(4, 4);
  FillSurface(a, {0, 0, 4, 4}, 0);
  EXPECT_EQ(FillSurface(b, {0, 0, 4, 4}, 0xABCD5555), kDisplayOk);  // the pixel's low bytes
  EXPECT_EQ(FillSurface(b, {0, 0, 5, 1}, 0), kDisplayInvalidRect);
  Poke(a, 1, 1, 0x1234);
  SetSourceColorKey(a, 0, 0);
  EXPECT_EQ(BlitFast(b, 0, 0, a, {0, 0, 2, 2}, kBlitSourceKey), kDisplayOk);
  EXPECT_EQ(std::tuple(Peek(b, 0, 0), Peek(b, 1, 1)), std::tuple(0x5555u, 0x1234u));
  EXPECT_EQ(Blit(b, {2, 2, 4, 4}, a, {0, 0, 2, 2}, 0), kDisplayOk);
  EXPECT_EQ(std::tuple(Peek(b, 2, 2), Peek(b, 3, 3)), std::tuple(0u, 0x1234u));
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
  EXPECT_EQ(Peek(b, 2, 2), 0x1234u);
  EXPECT_EQ(std::tuple(GetDisplayCounters().fastBlits, GetDisplayCounters().blits), std::tuple(5, 3));
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

int g_changes = 0, g_flushes = 0;

TEST_F(Display, ThePresenterHearsOfFrontChangesOnly) {
  g_changes = g_flushes = 0;
  SetPresenter([] { ++g_changes; }, [] { ++g_flushes; });
  Surface* front = Primary();
  Surface* off = Offscreen(8, 8);
  FillSurface(off, {0, 0, 8, 8}, 1);
  Poke(off, 0, 0, 1);
  EXPECT_EQ(g_changes, 0);
  FillSurface(front, {0, 0, 8, 8}, 1);
  EXPECT_EQ(g_changes, 1);
  BlitFast(front, 0, 0, off, {0, 0, 8, 8}, 0);
  Blit(front, {8, 8, 16, 16}, off, {0, 0, 8, 8}, 0);
  EXPECT_EQ(g_changes, 3);
  EXPECT_NE(Blit(front, {8, 8, 16, 17}, off, {0, 0, 8, 8}, 0), kDisplayOk);  // a failed copy changes nothing
  EXPECT_EQ(g_changes, 3);
  Poke(front, 0, 0, 1);  // its unlock
  EXPECT_EQ(g_changes, 4);
  PaletteEntry entries[kPaletteSize] = {};
  Palette* palette = nullptr;
  ASSERT_EQ(CreatePalette(entries, &palette), kDisplayOk);
  SetPaletteEntries(palette, 0, 1, entries);  // not shown yet
  EXPECT_EQ(g_changes, 4);
  AttachPalette(front, palette);
  SetPaletteEntries(palette, 0, 1, entries);
  EXPECT_EQ(g_changes, 6);
  UseManualClock(true);
  SetManualTime(0);
  WaitForVerticalBlank();
  EXPECT_EQ(g_flushes, 1);
}

TEST_F(Display, TheFrontSurfaceReadsAsRgbAtEveryDepth) {
  std::vector<uint32_t> pixels;
  EXPECT_FALSE(ReadFront({0, 0, 10, 10}, pixels, nullptr, nullptr));  // no primary
  Surface* front = Primary();
  const std::pair<uint32_t, uint32_t> colours[] = {
      {0xF800, 0xFF0000}, {0x07E0, 0x00FF00}, {0x001F, 0x0000FF}, {0xFFFF, 0xFFFFFF}, {0x8410, 0x848284}};
  for (int32_t i = 0; i < 5; ++i) {
    Poke(front, i, 0, colours[i].first);
    EXPECT_EQ(Shown(i, 0), colours[i].second) << i;  // 0x8410: the middle grey of 5-6-5
  }
  // An area: its pixels only, clamped to the surface.
  int32_t w = 0, h = 0;
  ASSERT_TRUE(ReadFront({2, 0, 700, 1}, pixels, &w, &h));
  EXPECT_EQ(std::tuple(w, h, pixels[0]), std::tuple(638, 1, 0x0000FFu));
  EXPECT_FALSE(ReadFront({700, 0, 800, 10}, pixels, &w, &h));
  ReleaseSurface(front);

  ASSERT_EQ(ChangeDisplayMode(320, 200, 8), kDisplayOk);
  front = Primary();
  Poke(front, 0, 0, 1, 1);
  EXPECT_EQ(Shown(0, 0), 0x000055u);  // the desktop's palette: 3-3-2
  PaletteEntry entries[kPaletteSize] = {};
  entries[1] = {252, 0, 0, 0};
  Palette* palette = nullptr;
  ASSERT_EQ(CreatePalette(entries, &palette), kDisplayOk);
  AttachPalette(front, palette);
  EXPECT_EQ(Shown(0, 0), 0xFC0000u);
  ReleaseSurface(front);

  for (const auto& [depth, written, shown] :
       {std::tuple(24, 0x123456u, 0x123456u), {32, 0xFF654321u, 0x654321u}}) {
    ASSERT_EQ(ChangeDisplayMode(320, 200, depth), kDisplayOk);
    front = Primary();
    Poke(front, 5, 5, written, depth / 8);
    EXPECT_EQ(Shown(5, 5), shown) << depth;
    ReleaseSurface(front);
  }
}

}  // namespace
