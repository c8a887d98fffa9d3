// Bitmaps: pixel formats, creation and freeing on the heaps and on the
// display, the lock discipline and the guard of calls refused while a
// bitmap is locked.
#include "system/bmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/display.h"
#include "platform/joystick.h"
#include "system/error.h"
#include "system/graphic.h"
#include "system/heap.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/win/ddsurface.h"
#include "tests/system/bmap_fixture.h"

namespace {

class Bmap : public ztest::BmapTest {
 protected:
  void SetUp() override {
    BmapTest::SetUp();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
  }
};

TEST_F(Bmap, PixelFormatsMeasureTheirMasks) {
  struct Row {
    int32_t code;
    uint32_t bits, red, blue, alpha, greenShift, greenBits;
  } rows[] = {{BMAP_RGB565, 16, 0xF800, 0x001F, 0, 5, 6},
              {BMAP_ARGB8888, 32, 0xFF0000, 0xFF, 0xFF000000, 8, 8},
              {BMAP_XBGR8888, 32, 0xFF, 0xFF0000, 0, 8, 8}};
  for (const Row& r : rows) {
    PIXELFORMAT f;
    LS_GetPixelFormat(&f, r.code);
    EXPECT_EQ((std::tuple{f.BitsPerPixel, f.RedMask, f.BlueMask, f.AlphaMask, f.GreenShift, f.GreenBits}),
              (std::tuple{r.bits, r.red, r.blue, r.alpha, r.greenShift, r.greenBits})) << r.code;
    EXPECT_EQ(((1u << f.RedBits) - 1) << f.RedShift, r.red) << r.code;
  }
  PIXELFORMAT f, zero{};
  std::memset(&f, 0x5A, sizeof f);
  LS_GetPixelFormat(&f, 3);  // unknown: error 8 and a descriptor of zeros
  EXPECT_EQ(LS_GetLastError(), 8u);
  EXPECT_EQ(std::memcmp(&f, &zero, sizeof f), 0);
}

TEST_F(Bmap, DepthsGiveTheirFormatsAndClearedPixels) {
  void* dirt = LS_GetMem(64 * 1024);  // dirty heap memory, so that "cleared" means something
  std::memset(dirt, 0xAB, 64 * 1024);
  LS_Release(dirt);
  for (auto [depth, format] : {std::pair{8, 2}, {16, 4}, {24, 32}, {32, 128}}) {
    BMAP* b = LS_CreateBmap(33, 17, depth, 0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ((std::tuple{b->Format, b->ByteLen, b->LockCount}), (std::tuple{format, depth / 8 * 33, 1}));
    EXPECT_EQ(std::count(b->Start, b->Start + b->ByteLen * b->SizeY, 0), b->ByteLen * b->SizeY);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b->Start) % 16, 0u);
    LS_FreeBmap(b);
  }
  MakeScreens(1);  // sixteen bits now take the front screen's format
  BMAP* b = LS_CreateBmap(4, 4, 16, 0);
  EXPECT_EQ(b->Format, BMAP_RGB565);
  LS_FreeBmap(b);
  FreeScreens();
}

// A refusal takes nothing (the fixture checks the counts).
TEST_F(Bmap, RefusedSizesTakeNothing) {
  struct Row {
    int32_t width, height, depth;
    uintptr_t kind;
    uint32_t error;
  } rows[] = {{10, 10, 15, 0, 8}, {0, 10, 8, 0, 0}, {100000, 100000, 32, 0, 12},
              {16, 16, 16, BMAP_VIDEOMEM + 100000, 12}};  // no such depth, empty, too big, no such heap
  for (const Row& r : rows) {
    LSI_Var.LastError = 0;
    EXPECT_EQ(LS_CreateBmap(r.width, r.height, r.depth, r.kind), nullptr) << r.width;
    EXPECT_EQ(LS_GetLastError(), r.error) << r.width;
  }
}

TEST_F(Bmap, HeapKindLivesInItsHeapAndNeedsNoLock) {
  const HHEAP heap = LS_GetHeap(1 << 16);
  BMAP* b = LS_CreateBmap(8, 8, 8, heap);
  EXPECT_EQ(LSI_FindHeap(b->Start), reinterpret_cast<HEAP*>(heap));
  LS_LockBmap(b);
  EXPECT_EQ(LS_BmapLockCount, locks_);
  LS_UnlockBmap(b);
  LS_UnlockBmap(b);
  EXPECT_NE(b->Start, nullptr);
  LS_FreeBmap(b);
  LS_ReleaseHeap(heap);
}

TEST_F(Bmap, OffscreenSurfaceIsClearedAndUnlocked) {
  const int32_t surfaces = plat::LiveSurfaceCount();
  BMAP* b = LS_CreateBmap(20, 6, 16, BMAP_VIDEOMEM);
  EXPECT_EQ(b->Start, nullptr);
  EXPECT_FALSE(plat::IsInSystemMemory(b->Surface));
  EXPECT_EQ(plat::LiveSurfaceCount(), surfaces + 1);
  EXPECT_EQ(ztest::PixelsOf(b), std::vector<uint32_t>(120, 0));
  LS_FreeBmap(b);
  EXPECT_EQ(plat::LiveSurfaceCount(), surfaces);
}

TEST_F(Bmap, VideoSurfaceFallsBackToSystemMemory) {
  const std::function<void()> causes[] = {
      [] { plat::FailNextSurfaceCreation(plat::kDisplayOutOfVideoMemory); },
      [] { plat::FailNextSurfaceCreation(plat::kDisplayNoHardware); },
      [] { plat::SetVideoMemory(1000); },  // a budget too small for the surface
      [] { plat::SetHardware(false); }, [] { LSI_Var.Debug = 1; }};
  for (const auto& cause : causes) {
    cause();
    BMAP* b = LS_CreateBmap(64, 64, 16, BMAP_VIDEOMEM);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Kind, BMAP_SYSMEM);
    EXPECT_TRUE(plat::IsInSystemMemory(b->Surface));
    LS_FreeBmap(b);
  }
}

TEST_F(Bmap, OtherSurfaceFailuresAreErrors) {
  LogErrors();
  plat::FailNextSurfaceCreation(plat::kDisplayGeneric);
  EXPECT_EQ(LS_CreateBmap(8, 8, 16, BMAP_VIDEOMEM), nullptr);
  plat::FailNextSurfaceCreation(plat::kDisplayGeneric);
  EXPECT_EQ(LS_CreateBmap(8, 8, 16, BMAP_SYSMEM), nullptr);
  EXPECT_EQ(LS_CreateBmap(8, 8, 16, BMAP_BACKSCREEN), nullptr);  // no front screen
  LS_Var.ScreenMode = 2;
  plat::FailNextSurfaceCreation(plat::kDisplayGeneric);
  EXPECT_EQ(LS_CreateBmap(8, 8, 16, BMAP_FRONTSCREEN), nullptr);
  for (const char* text : {"InitVideoBmap (DDERR_GENERIC)", "Init DDRAW System Bmap", "Init Double Buffer DDRAW Failed",
                           "Init DDRAW Screen"})
    EXPECT_EQ(Logged(text), 1) << text;
}

TEST_F(Bmap, FrontScreens) {
  const int32_t surfaces = plat::LiveSurfaceCount();
  MakeScreens(3);  // two back buffers
  EXPECT_EQ(plat::LiveSurfaceCount(), surfaces + 3);
  EXPECT_EQ((std::tuple{LS_Var.Screen->Kind, LS_Var.Screen->LockCount, LS_Var.BackScreen->Kind}),
            (std::tuple{BMAP_FRONTSCREEN, 0, BMAP_VIDEOMEM}));
  FreeScreens();
  LSI_Var.Debug = 1;  // a single surface in any screen mode
  LS_Var.ScreenMode = 3;
  LS_Var.Screen = LS_CreateBmap(640, 480, 16, BMAP_FRONTSCREEN);
  EXPECT_EQ(plat::LiveSurfaceCount(), surfaces + 1);
  FreeScreens();
  LSI_Var.Debug = 0;
  plat::DisplayMode mode;  // the display's own format
  mode.width = 320;
  mode.height = 200;
  mode.format.bitsPerPixel = 8;
  mode.format.indexed = true;
  plat::SetDesktopMode(mode);
  MakeScreens(1);
  EXPECT_EQ((std::tuple{LS_Var.Screen->Format, LS_Var.Screen->ByteLen}), (std::tuple{BMAP_PAL8, 320}));
  FreeScreens();
}

TEST_F(Bmap, FramedFrontScreenTakesTheClientAreaAndCannotBeLocked) {
  LS_Var.Style = 256;
  plat::SetWindowClient({10, 20, 320, 200});
  MakeScreens(1);
  EXPECT_EQ((std::tuple{LS_Var.Screen->SizeX, LS_Var.Screen->SizeY}), (std::tuple{320, 200}));
  EXPECT_TRUE(plat::HasWindowClipper(LS_Var.Screen->Surface));
  int32_t x = -1, y = -1;
  LSYS_GetWindowOffset(&x, &y);
  EXPECT_EQ(x * 100 + y, 1020);
  LS_LockBmap(LS_Var.Screen);
  EXPECT_EQ(LS_GetLastError(), 8u);
  EXPECT_EQ(LS_BmapLockCount, locks_);
  LS_Var.Style = 0;
  LSYS_GetWindowOffset(&x, &y);
  EXPECT_EQ(x + y, 0);
  FreeScreens();
}

TEST_F(Bmap, TexturesAreNotFreedHere) {
  BMAP* b = LS_CreateBmap(4, 4, 16, 0);
  b->Texture = 1;
  LS_FreeBmap(b);
  EXPECT_EQ(LS_GetLastError(), 6u);
  EXPECT_EQ(LSI_Var.NbBmap, nbBmap_ + 1);
  b->Texture = 0;
  LS_FreeBmap(b);
}

TEST_F(Bmap, SurfaceLockedTwiceLocksOnce) {
  MakeScreens(1);
  BMAP* s = LS_Var.Screen;
  uint8_t* pixels;
  int32_t pitch;
  LS_LockBmap(s);
  LS_LockBmap(s);
  EXPECT_EQ(LS_BmapLockCount, locks_ + 2);
  LS_UnlockBmap(s);
  EXPECT_EQ(plat::LockSurface(s->Surface, &pixels, &pitch), plat::kDisplaySurfaceBusy);
  LS_UnlockBmap(s);
  EXPECT_EQ(s->Start, nullptr);
  EXPECT_EQ(plat::LockSurface(s->Surface, &pixels, &pitch), plat::kDisplayOk);
  plat::UnlockSurface(s->Surface);
  LS_UnlockBmap(s);  // one too many: nothing happens
  EXPECT_EQ(LS_BmapLockCount, locks_);
  FreeScreens();
}

TEST_F(Bmap, LostSurfaceIsRestoredOrLeftUnlocked) {
  static int redraws = 0;
  redraws = 0;
  BMAP* b = LS_CreateBmap(8, 8, 16, BMAP_VIDEOMEM);
  LS_SetBmapRestoreProc(b, [](BMAP*) { return ++redraws; });
  plat::MarkSurfaceLost(b->Surface);
  LS_LockBmap(b);
  EXPECT_NE(b->Start, nullptr);
  EXPECT_EQ(redraws, 1);
  LS_UnlockBmap(b);
  plat::MarkSurfaceLost(b->Surface);
  plat::SetRestoreAnswer(plat::kDisplayGeneric);
  LS_LockBmap(b);  // fails: no count changes and drawing does nothing
  EXPECT_EQ((std::tuple{b->Start, b->LockCount, LS_BmapLockCount}), (std::tuple{nullptr, 0, locks_}));
  LS_DrawLine(b, 0, 0, 7, 5, 0xFFFF);
  EXPECT_EQ(LS_GetPixel(b, 0, 0), 0u);
  EXPECT_EQ(LS_GetLastError(), 8u);
  LS_FreeBmap(b);
}

TEST_F(Bmap, MemoryBitmapsCountLocksButKeepTheirPixels) {
  BMAP* b = LS_CreateBmap(4, 4, 8, 5);
  uint8_t* pixels = b->Start;
  LS_LockBmap(b);
  EXPECT_EQ(LS_BmapLockCount, locks_ + 1);
  for (int i = 0; i < 3; ++i) LS_UnlockBmap(b);
  EXPECT_EQ((std::tuple{b->LockCount, b->Start, LS_BmapLockCount}), (std::tuple{1, pixels, locks_}));
  BMAP* surface = LS_CreateBmap(4, 4, 8, BMAP_SYSMEM);  // freeing locked bitmaps gives their locks back
  LS_LockBmap(b);
  LS_LockBmap(surface);
  LS_LockBmap(surface);
  LS_FreeBmap(surface);
  LS_FreeBmap(b);
}

TEST_F(Bmap, NullBitmapsAreIgnored) {
  LS_LockBmap(nullptr);
  LS_UnlockBmap(nullptr);
  LS_FreeBmap(nullptr);
  LS_Bitmove(nullptr, nullptr, 0, 0, 5, 5, 0, 0, 0);
  LS_FillRect(nullptr, 0, 0, 5, 5, 1);
  LS_DrawLine(nullptr, 0, 0, 5, 3, 1);
  EXPECT_EQ(LS_GetPixel(nullptr, 0, 0), 0u);
  EXPECT_EQ(LS_RemapBmap(nullptr, 4), 0);
  EXPECT_EQ(LS_GetLastError(), 0u);
}

class LockGuardTest : public ztest::LibraryTest {
 protected:
  void TearDown() override {
    LS_BmapLockCount = 0;
    LibraryTest::TearDown();
  }
};

TEST_F(LockGuardTest, RefusesWithErrorEightAndTheCallersName) {
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  EXPECT_EQ(LSI_RefuseWhileLocked("PlaySound"), 0);
  EXPECT_EQ(LS_GetLastError(), 0u);
  LS_BmapLockCount = 1;
  EXPECT_EQ(LSI_RefuseWhileLocked("PlaySound"), 1);
  EXPECT_EQ(LS_GetLastError(), 8u);
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(ztest::ExitCodeOf([] { LSI_RefuseWhileLocked("LSYS_GetJoyPos"); }), 1);
  EXPECT_EQ(Boxes().back(),
            "LS_ERROR: 8           Bmap Error !\nCannot execute function (LSYS_GetJoyPos) while bmap locked \n");
}

// One row per guarded call outside the sound calls (whose table is in the
// sound tests).
TEST_F(LockGuardTest, GuardedCalls) {
  StartLibrary();
  plat::PlugJoystick(0, plat::JoyCaps{});
  LSI_InitJoy();
  LS_SetErrorMode(LS_ERRMODE_LOG);
  LS_BmapLockCount = 1;
  JOYPOS p{};
  EXPECT_EQ(LSYS_GetJoyPos(1, &p), 0);
  LSYS_SetVideoMode(640, 480, 16, 1);
  EXPECT_EQ(LS_Var.Screen, nullptr);
  for (const char* name : {"(LSYS_GetJoyPos) while bmap locked", "(LSYS_SetVideoMode) while bmap locked"})
    EXPECT_EQ(Logged(name), 1) << name;
}

}  // namespace
