// Bitmaps: pixel formats, creation and freeing on the heaps and on the
// display, and the lock discipline.
#include "system/bmap.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/display.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/win/ddsurface.h"
#include "tests/support/testenv.h"
#include "tests/system/bmap_fixture.h"

namespace {

using ztest::ExitCodeOf;

class Bmap : public ztest::BmapTest {};

struct Expected {
  int32_t code;
  uint32_t bits, red, green, blue, alpha;
};

TEST_F(Bmap, PixelFormatsOfAllThirteenCodes) {
  const Expected rows[] = {
      {2, 8, 0, 0, 0, 0},
      {4, 16, 0x7C00, 0x03E0, 0x001F, 0},
      {8, 16, 0x7C00, 0x03E0, 0x001F, 0x8000},
      {16, 16, 0xF800, 0x07E0, 0x001F, 0},
      {32, 24, 0xFF0000, 0xFF00, 0xFF, 0},
      {64, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
      {128, 32, 0xFF0000, 0xFF00, 0xFF, 0},
      {256, 16, 0x001F, 0x03E0, 0x7C00, 0},
      {512, 16, 0x001F, 0x03E0, 0x7C00, 0x8000},
      {1024, 16, 0x001F, 0x07E0, 0xF800, 0},
      {2048, 24, 0xFF, 0xFF00, 0xFF0000, 0},
      {4096, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000},
      {8192, 32, 0xFF, 0xFF00, 0xFF0000, 0},
  };
  for (const Expected& e : rows) {
    PIXELFORMAT f;
    LS_GetPixelFormat(&f, e.code);
    EXPECT_EQ(f.BitsPerPixel, e.bits) << e.code;
    EXPECT_EQ(f.RedMask, e.red) << e.code;
    EXPECT_EQ(f.GreenMask, e.green) << e.code;
    EXPECT_EQ(f.BlueMask, e.blue) << e.code;
    EXPECT_EQ(f.AlphaMask, e.alpha) << e.code;
    // Shift and width put the mask back together.
    EXPECT_EQ(((1u << f.RedBits) - 1) << f.RedShift, e.red) << e.code;
    EXPECT_EQ(((1u << f.GreenBits) - 1) << f.GreenShift, e.green) << e.code;
    EXPECT_EQ(((1u << f.BlueBits) - 1) << f.BlueShift, e.blue) << e.code;
  }
  PIXELFORMAT f;
  LS_GetPixelFormat(&f, 1024);
  EXPECT_EQ(f.RedShift, 0u);
  EXPECT_EQ(f.RedBits, 5u);
  EXPECT_EQ(f.GreenShift, 5u);
  EXPECT_EQ(f.GreenBits, 6u);
  EXPECT_EQ(f.BlueShift, 11u);
  EXPECT_EQ(f.BlueBits, 5u);
  EXPECT_EQ(f.AlphaShift | f.AlphaBits | f.AlphaMask, 0u);
  LS_GetPixelFormat(&f, 64);
  EXPECT_EQ(f.AlphaShift, 24u);
  EXPECT_EQ(f.AlphaBits, 8u);
  LS_GetPixelFormat(&f, 2);
  EXPECT_EQ(f.RedShift | f.RedBits | f.GreenBits | f.BlueBits | f.AlphaBits, 0u);
}

TEST_F(Bmap, UnknownFormatCodeIsAnErrorAndLeavesTheDescriptorZero) {
  PIXELFORMAT f;
  std::memset(&f, 0x5A, sizeof f);
  EXPECT_EQ(ExitCodeOf([&] { LS_GetPixelFormat(&f, 3); }), 1);
  EXPECT_EQ(Boxes().back(), "LS_ERROR: 8           Bmap Error Unrecognized BMAP Format : 3 \n");
  const PIXELFORMAT zero{};
  EXPECT_EQ(std::memcmp(&f, &zero, sizeof f), 0);
}

TEST_F(Bmap, DepthsGiveTheirFormatsAndClearedPixels) {
  // Dirty heap memory first, so that "cleared" means something.
  void* dirt = LS_GetMem(64 * 1024);
  std::memset(dirt, 0xAB, 64 * 1024);
  LS_Release(dirt);
  const int32_t depths[] = {8, 16, 24, 32};
  const int32_t formats[] = {2, 4, 32, 128};
  for (int i = 0; i < 4; ++i) {
    const int16_t blocks = LSI_Var.NbAlloc, bitmaps = LSI_Var.NbBmap;
    BMAP* b = LS_CreateBmap(33, 17, depths[i], 0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Format, formats[i]);
    EXPECT_EQ(b->Depth, depths[i]);
    EXPECT_EQ(b->SizeX, 33);
    EXPECT_EQ(b->SizeY, 17);
    EXPECT_EQ(b->ByteLen, depths[i] / 8 * 33);
    EXPECT_EQ(b->LockCount, 1);
    EXPECT_EQ(b->Kind, 0u);
    EXPECT_EQ(LSI_Var.NbBmap, bitmaps + 1);
    EXPECT_EQ(LSI_Var.NbAlloc, blocks + 2);  // the record and the pixels
    for (int32_t n = 0; n < b->ByteLen * b->SizeY; ++n) ASSERT_EQ(b->Start[n], 0) << n;
    // Record and pixels hold pointers and wide pixels: 16-byte aligned.
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b) % 16, 0u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b->Start) % 16, 0u);
    LS_FreeBmap(b);
    EXPECT_EQ(LSI_Var.NbBmap, bitmaps);
    EXPECT_EQ(LSI_Var.NbAlloc, blocks);
  }
}

TEST_F(Bmap, SixteenBitsTakeTheFrontScreensFormat) {
  MakeScreens(1);
  EXPECT_EQ(LS_Var.Screen->Format, BMAP_RGB565);
  BMAP* b = LS_CreateBmap(4, 4, 16, 0);
  EXPECT_EQ(b->Format, BMAP_RGB565);
  BMAP* deep = LS_CreateBmap(4, 4, 24, 0);
  EXPECT_EQ(deep->Format, BMAP_RGB888);
  LS_FreeBmap(deep);
  LS_FreeBmap(b);
  FreeScreens();
}

TEST_F(Bmap, InvalidDepthTakesNothing) {
  const int16_t blocks = LSI_Var.NbAlloc, bitmaps = LSI_Var.NbBmap;
  BMAP* b = reinterpret_cast<BMAP*>(1);
  EXPECT_EQ(ExitCodeOf([&] { b = LS_CreateBmap(10, 10, 15, 0); }), 1);
  EXPECT_EQ(Boxes().back(), "LS_ERROR: 8           Bmap Error Invalid Depth \n");
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  EXPECT_EQ(LS_CreateBmap(10, 10, 15, 0), nullptr);
  EXPECT_EQ(LS_GetLastError(), 8u);
  EXPECT_EQ(LSI_Var.NbAlloc, blocks);
  EXPECT_EQ(LSI_Var.NbBmap, bitmaps);
}

TEST_F(Bmap, EmptyOrHugeSizesGiveNull) {
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  EXPECT_EQ(LS_CreateBmap(0, 10, 8, 0), nullptr);
  EXPECT_EQ(LS_CreateBmap(10, -1, 8, 0), nullptr);
  EXPECT_EQ(LS_GetLastError(), 0u);
  EXPECT_EQ(LS_CreateBmap(100000, 100000, 32, 0), nullptr);
  EXPECT_EQ(LS_GetLastError(), 12u);  // the heap refuses
  EXPECT_EQ(LS_CreateBmap(0x7FFFFFFF, 1, 32, 0), nullptr);
  EXPECT_EQ(LS_CreateBmap(16, 16, 16, BMAP_VIDEOMEM + 100000), nullptr);  // no such heap
}

TEST_F(Bmap, HeapKindLivesInItsHeapAndNeedsNoLock) {
  const HHEAP heap = LS_GetHeap(1 << 16);
  const int16_t blocks = LSI_Var.NbAlloc;
  BMAP* b = LS_CreateBmap(8, 8, 8, heap);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Kind, heap);
  EXPECT_EQ(LSI_FindHeap(b), reinterpret_cast<HEAP*>(heap));
  EXPECT_EQ(LSI_FindHeap(b->Start), reinterpret_cast<HEAP*>(heap));
  EXPECT_EQ(LSI_Var.NbAlloc, blocks);
  LS_LockBmap(b);
  EXPECT_EQ(LS_BmapLockCount, 0);
  EXPECT_EQ(b->LockCount, 1);
  LS_UnlockBmap(b);
  LS_UnlockBmap(b);
  EXPECT_NE(b->Start, nullptr);
  LS_FreeBmap(b);
  LS_ReleaseHeap(heap);
}

TEST_F(Bmap, OffscreenSurfaceIsKeyedClearedAndUnlocked) {
  const int32_t surfaces = plat::LiveSurfaceCount();
  BMAP* b = LS_CreateBmap(20, 6, 16, BMAP_VIDEOMEM);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Kind, BMAP_VIDEOMEM);
  EXPECT_EQ(b->LockCount, 0);
  EXPECT_EQ(b->Start, nullptr);
  EXPECT_FALSE(plat::IsInSystemMemory(b->Surface));
  EXPECT_EQ(plat::LiveSurfaceCount(), surfaces + 1);
  LS_LockBmap(b);
  ASSERT_NE(b->Start, nullptr);
  EXPECT_GT(b->ByteLen, 40);  // the surface's pitch
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t n = 0; n < 40; ++n) ASSERT_EQ(b->Start[y * b->ByteLen + n], 0);
  LS_UnlockBmap(b);
  LS_FreeBmap(b);
  EXPECT_EQ(plat::LiveSurfaceCount(), surfaces);
}

TEST_F(Bmap, VideoSurfaceFallsBackToSystemMemory) {
  const plat::DisplayResult named[] = {plat::kDisplayOutOfVideoMemory, plat::kDisplayInvalidPixelFormat,
                                       plat::kDisplayNoHardware};
  for (plat::DisplayResult r : named) {
    plat::FailNextSurfaceCreation(r);
    BMAP* b = LS_CreateBmap(8, 8, 16, BMAP_VIDEOMEM);
    ASSERT_NE(b, nullptr) << r;
    EXPECT_EQ(b->Kind, BMAP_SYSMEM) << r;
    EXPECT_TRUE(plat::IsInSystemMemory(b->Surface));
    LS_FreeBmap(b);
  }
  plat::SetVideoMemory(1000);  // a budget too small for the surface
  BMAP* b = LS_CreateBmap(64, 64, 16, BMAP_VIDEOMEM);
  EXPECT_EQ(b->Kind, BMAP_SYSMEM);
  LS_FreeBmap(b);
  plat::SetVideoMemory(plat::kDefaultVideoMemory);
  plat::SetHardware(false);
  b = LS_CreateBmap(64, 64, 16, BMAP_VIDEOMEM);
  EXPECT_EQ(b->Kind, BMAP_SYSMEM);
  LS_FreeBmap(b);
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
  EXPECT_EQ(ErrorFile(), Report(8, "Bmap Error", " : InitVideoBmap (DDERR_GENERIC)") +
                             Report(8, "Bmap Error", " : Init DDRAW System Bmap") +
                             Report(8, "Bmap Error", " : Init Double Buffer DDRAW Failed") +
                             Report(8, "Bmap Error", " : Init DDRAW Screen"));
}

TEST_F(Bmap, DebugSwitchKeepsSurfacesInSystemMemory) {
  LSI_Var.Debug = 1;
  BMAP* b = LS_CreateBmap(8, 8, 16, BMAP_VIDEOMEM);
  EXPECT_EQ(b->Kind, BMAP_SYSMEM);
  LS_FreeBmap(b);
  // ... and makes the front screen a single surface.
  const int32_t surfaces = plat::LiveSurfaceCount();
  LS_Var.ScreenMode = 3;
  LS_Var.Screen = LS_CreateBmap(640, 480, 16, BMAP_FRONTSCREEN);
  EXPECT_EQ(plat::LiveSurfaceCount(), surfaces + 1);
  FreeScreens();
}

TEST_F(Bmap, ScreenModeThreeHasTwoBackBuffers) {
  const int32_t surfaces = plat::LiveSurfaceCount();
  MakeScreens(3);
  EXPECT_EQ(plat::LiveSurfaceCount(), surfaces + 3);
  BMAP* front = LS_Var.Screen;
  EXPECT_EQ(front->Kind, BMAP_FRONTSCREEN);
  EXPECT_EQ(front->LockCount, 0);
  EXPECT_EQ(front->Format, BMAP_RGB565);
  EXPECT_EQ(front->Depth, 16);
  EXPECT_EQ(front->SizeX, 640);
  EXPECT_EQ(front->SizeY, 480);
  EXPECT_EQ(LS_Var.BackScreen->Kind, BMAP_VIDEOMEM);  // the back buffer's memory
  EXPECT_EQ(LS_Var.BackScreen->Format, BMAP_RGB565);
  EXPECT_EQ(LSI_Var.NbBmap, nbBmap_ + 2);
  FreeScreens();
  EXPECT_EQ(plat::LiveSurfaceCount(), surfaces);
}

TEST_F(Bmap, FrontScreenTakesTheDisplaysFormat) {
  plat::DisplayMode mode;
  mode.width = 320;
  mode.height = 200;
  mode.format.bitsPerPixel = 8;
  mode.format.indexed = true;
  plat::SetDesktopMode(mode);
  LS_Var.ScreenMode = 1;
  LS_Var.Screen = LS_CreateBmap(320, 200, 16, BMAP_FRONTSCREEN);
  EXPECT_EQ(LS_Var.Screen->Depth, 8);
  EXPECT_EQ(LS_Var.Screen->Format, BMAP_PAL8);
  EXPECT_EQ(LS_Var.Screen->ByteLen, 320);
  FreeScreens();
}

TEST_F(Bmap, FramedFrontScreenTakesTheClientAreaAndTheClipper) {
  LS_Var.Style = 256;
  plat::SetWindowClient({10, 20, 320, 200});
  MakeScreens(1);
  EXPECT_EQ(LS_Var.Screen->SizeX, 320);
  EXPECT_EQ(LS_Var.Screen->SizeY, 200);
  EXPECT_TRUE(plat::HasWindowClipper(LS_Var.Screen->Surface));
  int32_t x = -1, y = -1;
  LSYS_GetWindowOffset(&x, &y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 20);
  LS_Var.Style = 0;
  LSYS_GetWindowOffset(&x, &y);
  EXPECT_EQ(x + y, 0);
  FreeScreens();
}

TEST_F(Bmap, TexturesAreNotFreedHere) {
  BMAP* b = LS_CreateBmap(4, 4, 16, 0);
  b->Texture = 1;
  EXPECT_EQ(ExitCodeOf([&] { LS_FreeBmap(b); }), 1);
  EXPECT_EQ(Boxes().back(), "LS_ERROR: 6   Invalid Bmap Depth Use LS_FreeTexture to free Textures ! \n");
  EXPECT_EQ(LSI_Var.NbBmap, nbBmap_ + 1);
  b->Texture = 0;
  LS_FreeBmap(b);
  LS_FreeBmap(nullptr);
}

TEST_F(Bmap, FrontScreenLockedTwiceLocksItsSurfaceOnce) {
  MakeScreens(1);
  BMAP* s = LS_Var.Screen;
  uint8_t* pixels;
  int32_t pitch;
  LS_LockBmap(s);
  ASSERT_NE(s->Start, nullptr);
  EXPECT_GT(s->ByteLen, 1280);
  EXPECT_EQ(plat::LockSurface(s->Surface, &pixels, &pitch), plat::kDisplaySurfaceBusy);
  LS_LockBmap(s);
  EXPECT_EQ(s->LockCount, 2);
  EXPECT_EQ(LS_BmapLockCount, locks_ + 2);
  LS_UnlockBmap(s);
  EXPECT_NE(s->Start, nullptr);
  EXPECT_EQ(plat::LockSurface(s->Surface, &pixels, &pitch), plat::kDisplaySurfaceBusy);
  LS_UnlockBmap(s);
  EXPECT_EQ(s->Start, nullptr);
  EXPECT_EQ(s->LockCount, 0);
  EXPECT_EQ(LS_BmapLockCount, locks_);
  EXPECT_EQ(plat::LockSurface(s->Surface, &pixels, &pitch), plat::kDisplayOk);
  plat::UnlockSurface(s->Surface);
  LS_UnlockBmap(s);  // one too many: nothing happens
  EXPECT_EQ(LS_BmapLockCount, locks_);
  FreeScreens();
}

TEST_F(Bmap, FramedFrontScreenCannotBeLocked) {
  LS_Var.Style = 256;
  MakeScreens(1);
  EXPECT_EQ(ExitCodeOf([] { LS_LockBmap(LS_Var.Screen); }), 1);
  EXPECT_EQ(Boxes().back(),
            "LS_ERROR: 8           Bmap Error Can't Lock Screen in \n STYLE_SINGLEWINDOW or STYLE_MDI \n");
  EXPECT_EQ(LS_BmapLockCount, locks_);
}

TEST_F(Bmap, LostSurfaceIsRestoredRedrawnAndLocked) {
  static int redraws = 0;
  redraws = 0;
  BMAP* b = LS_CreateBmap(8, 8, 16, BMAP_VIDEOMEM);
  LS_SetBmapRestoreProc(b, [](BMAP*) { return ++redraws; });
  plat::MarkSurfaceLost(b->Surface);
  LS_LockBmap(b);
  EXPECT_NE(b->Start, nullptr);
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(plat::IsSurfaceLost(b->Surface), plat::kDisplayOk);
  LS_UnlockBmap(b);
  LS_FreeBmap(b);
}

TEST_F(Bmap, FailedLockChangesNoCountAndDrawingDoesNothing) {
  BMAP* b = LS_CreateBmap(8, 8, 16, BMAP_VIDEOMEM);
  plat::MarkSurfaceLost(b->Surface);
  plat::SetRestoreAnswer(plat::kDisplayGeneric);
  LogErrors();
  LS_LockBmap(b);
  EXPECT_EQ(b->Start, nullptr);
  EXPECT_EQ(b->LockCount, 0);
  EXPECT_EQ(LS_BmapLockCount, locks_);
  LS_DrawLine(b, 0, 0, 7, 5, 0xFFFF);
  EXPECT_EQ(LS_GetPixel(b, 0, 0), 0u);
  EXPECT_EQ(LS_BmapLockCount, locks_);
  EXPECT_NE(ErrorFile().find(Report(8, "Bmap Error", " : LockRect DDRAW Bmap")), std::string::npos);
  EXPECT_NE(ErrorFile().find(Report(8, "Bmap Error", ": Cannot restore surface (DDERR_GENERIC)")),
            std::string::npos);
  LS_FreeBmap(b);
}

TEST_F(Bmap, MemoryBitmapsCountLocksButNeverGiveUpTheirPixels) {
  BMAP* b = LS_CreateBmap(4, 4, 8, 5);
  uint8_t* pixels = b->Start;
  LS_LockBmap(b);
  EXPECT_EQ(b->LockCount, 2);
  EXPECT_EQ(LS_BmapLockCount, locks_ + 1);
  LS_UnlockBmap(b);
  LS_UnlockBmap(b);
  LS_UnlockBmap(b);
  EXPECT_EQ(b->LockCount, 1);
  EXPECT_EQ(b->Start, pixels);
  EXPECT_EQ(LS_BmapLockCount, locks_);
  LS_FreeBmap(b);
}

TEST_F(Bmap, GuardRefusesWhileAnyBitmapIsLocked) {
  BMAP* b = LS_CreateBmap(4, 4, 8, 0);
  LS_LockBmap(b);
  EXPECT_EQ(ExitCodeOf([] { LSI_RefuseWhileLocked("LS_PlaySound"); }), 1);
  EXPECT_EQ(
      Boxes().back(),
      "LS_ERROR: 8           Bmap Error !\nCannot execute function (LS_PlaySound) while bmap locked \n");
  LS_UnlockBmap(b);
  EXPECT_EQ(LSI_RefuseWhileLocked("LS_PlaySound"), 0);
  LS_FreeBmap(b);
}

TEST_F(Bmap, FreeingALockedBitmapGivesBackItsLocks) {
  BMAP* memory = LS_CreateBmap(4, 4, 8, 0);
  BMAP* surface = LS_CreateBmap(4, 4, 8, BMAP_SYSMEM);
  LS_LockBmap(memory);
  LS_LockBmap(surface);
  LS_LockBmap(surface);
  EXPECT_EQ(LS_BmapLockCount, locks_ + 3);
  LS_FreeBmap(surface);
  LS_FreeBmap(memory);
  EXPECT_EQ(LS_BmapLockCount, locks_);
}

TEST_F(Bmap, NullBitmapsAreIgnored) {
  LS_LockBmap(nullptr);
  LS_UnlockBmap(nullptr);
  LS_SetBmapRestoreProc(nullptr, nullptr);
  LS_Bitmove(nullptr, nullptr, 0, 0, 5, 5, 0, 0, 0);
  LS_FillRect(nullptr, 0, 0, 5, 5, 1);
  LS_ClearBmap(nullptr);
  LS_DrawBox(nullptr, 0, 0, 5, 5, 1, 7);
  LS_DrawLine(nullptr, 0, 0, 5, 3, 1);
  LS_PutPixel8(nullptr, 0, 0, 1);
  EXPECT_EQ(LS_GetPixel(nullptr, 0, 0), 0u);
  EXPECT_EQ(LS_RemapBmap(nullptr, 4), 0);
  EXPECT_EQ(Boxes().size(), 0u);
}

}  // namespace
