// The race overlay: its making on either path, the background layer and its
// fill colour, a lost layer, the texture cache's state drawn on it, and
// its copies to the screen.
#include <cstdio>
#include <string>

#include "platform/display.h"
#include "platform/window.h"
#include "system/font.h"
#include "system/heap.h"
#include "tests/scenery/scenery_fixture.h"

namespace {

using scenerytest::SceneryTest;

class OverlayTest : public SceneryTest {
 protected:
  void SetUp() override {
    SceneryTest::SetUp();
    SB_Var.Renderer = 0;
  }
  void TearDown() override {
    SB_Free3dScreen();
    if (SB_Var.CurrentBackground) SB_FreeBmap(SB_Var.CurrentBackground);
    SB_Var.CurrentBackground = nullptr;
    plat::ReleaseAllKeys();
    FreeScreens();
    SceneryTest::TearDown();
  }
  // A picture of the depth whose pixel (x, y) is its own value.
  BMAP* Picture(int32_t w, int32_t h, int32_t depth, uint32_t first) {
    BMAP* b = SB_CreateBmap(w, h, depth, 0, "test picture");
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) Put(b, x, y, (x + 7 * y) & (depth == 8 ? 0x7F : 0x7FFF));
    Put(b, 0, 0, first);
    return b;
  }
  // The overlay's rectangle as pixels.
  static std::vector<uint32_t> Area(BMAP* b, int32_t x, int32_t y, int32_t w, int32_t h) {
    std::vector<uint32_t> out;
    for (int32_t r = 0; r < h; ++r)
      for (int32_t c = 0; c < w; ++c) out.push_back(LS_GetPixel(b, x + c, y + r));
    return out;
  }
};

TEST_F(OverlayTest, SoftwareModesGetALayerHoldingTheCurrentPicture) {
  SB_Var.CurrentBackground = Picture(320, 200, 16, 0x1234);
  ASSERT_EQ(SB_Create3dScreen(640, 480, 16), 1);
  BMAP* overlay = SB_Var.TextScreen;
  BMAP* layer = SB_Var.BackgroundLayer;
  ASSERT_NE(overlay, nullptr);
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(overlay->Kind, BMAP_VIDEOMEM);
  EXPECT_EQ((std::tuple{layer->SizeX, layer->SizeY, layer->Depth, layer->Kind}),
            (std::tuple{640, 480, 16, BMAP_VIDEOMEM}));
  EXPECT_EQ(SB_Var.OutOfVideoRam, 0);
  EXPECT_EQ(LS_GetPixel(overlay, 5, 5), 0u) << "the overlay is cleared";
  EXPECT_EQ(LS_GetPixel(layer, 5, 3), 5u + 21u) << "the picture at (0, 0)";
  EXPECT_EQ(LS_GetPixel(layer, 319, 199), LS_GetPixel(SB_Var.CurrentBackground, 319, 199));
  EXPECT_EQ(LS_GetPixel(layer, 320, 10), 0u) << "a smaller picture leaves the rest cleared";
  EXPECT_EQ(SB_Var.BackgroundFill, 0x1234u);
  SB_Free3dScreen();
  EXPECT_EQ(SB_Var.TextScreen, nullptr);
  EXPECT_EQ(SB_Var.BackgroundLayer, nullptr);
}

TEST_F(OverlayTest, TheFillColourIsTheFirstPixel) {
  struct Row {
    int32_t depth;
    uint32_t first, fill;
  };
  for (const Row& r : {Row{8, 0xC8, 0xC8}, {16, 0x1234, 0x1234}, {16, 0x9234, 0xFFFF9234}}) {
    SB_Var.CurrentBackground = Picture(16, 16, r.depth, r.first);
    BMAP* layer = SB_CreateBmap(32, 32, r.depth, BMAP_VIDEOMEM, "layer");
    EXPECT_EQ(SB_RestoreBackground(layer), 1);
    EXPECT_EQ(SB_Var.BackgroundFill, r.fill) << r.depth << " " << r.first;
    SB_FreeBmap(layer);
    SB_FreeBmap(SB_Var.CurrentBackground);
    SB_Var.CurrentBackground = nullptr;
  }
}

TEST_F(OverlayTest, ALargerPictureIsClippedToTheLayer) {
  SB_Var.CurrentBackground = Picture(800, 600, 8, 3);
  ASSERT_EQ(SB_Create3dScreen(640, 480, 8), 1);
  EXPECT_EQ(LS_GetPixel(SB_Var.BackgroundLayer, 639, 479), LS_GetPixel(SB_Var.CurrentBackground, 639, 479));
}

TEST_F(OverlayTest, ALostLayerIsRedrawn) {
  SB_Var.CurrentBackground = Picture(64, 64, 16, 0x0111);
  ASSERT_EQ(SB_Create3dScreen(640, 480, 16), 1);
  BMAP* layer = SB_Var.BackgroundLayer;
  plat::MarkSurfaceLost(layer->Surface);
  LS_LockBmap(layer);  // the library gives the memory back and calls the restore procedure
  LS_UnlockBmap(layer);
  EXPECT_EQ(LS_GetPixel(layer, 0, 0), 0x0111u);
  EXPECT_EQ(LS_GetPixel(layer, 10, 1), 17u);
  EXPECT_EQ(LS_GetPixel(layer, 100, 100), 0u);
}

TEST_F(OverlayTest, NoVideoMemoryForTheOverlay) {
  struct Row {
    const char* what;
    int32_t renderer;
    bool noVideoMemory, failSurface;
    int32_t result;
    uintptr_t kind;
  };
  for (const Row& r : {Row{"accelerator, video memory full", SB_RENDERER_PVR, true, false, 0, 0},
                       {"accelerator, surface refused", SB_RENDERER_PVR, false, true, 0, 0},
                       {"software, video memory full", 0, true, false, 1, BMAP_SYSMEM},
                       {"software, surface refused", 0, false, true, 0, 0},
                       {"accelerator", SB_RENDERER_PVR, false, false, 1, BMAP_VIDEOMEM}}) {
    SCOPED_TRACE(r.what);
    SB_ClearPrintedLines();
    SB_Var.Renderer = r.renderer;
    SB_Var.OutOfVideoRam = 0;
    plat::SetVideoMemory(r.noVideoMemory ? 0 : 64u << 20);
    if (r.failSurface) plat::FailNextSurfaceCreation(plat::kDisplayGeneric);
    LSI_Var.Debug = 1;  // on the accelerator it must not turn the request into system memory
    EXPECT_EQ(SB_Create3dScreen(640, 480, 16), r.result);
    EXPECT_EQ(LSI_Var.Debug, 1u);
    LSI_Var.Debug = 0;
    EXPECT_EQ(SB_Var.OutOfVideoRam, r.result ? 0 : 1);
    EXPECT_EQ(SB_PrintedLines(), r.result ? std::vector<std::string>{}
                                          : std::vector<std::string>{"Not enough video ram !!!"});
    if (r.result) {
      ASSERT_NE(SB_Var.TextScreen, nullptr);
      EXPECT_EQ(SB_Var.TextScreen->Kind, r.kind);
      EXPECT_EQ(SB_Var.BackgroundLayer != nullptr, r.renderer == 0);
    } else {
      EXPECT_EQ(SB_Var.TextScreen, nullptr);
      EXPECT_EQ(SB_Var.NbBmapOwners, 0) << "the refused surface is freed";
    }
    SB_Var.Renderer = 0;  // the free below deletes no accelerator device
    SB_Free3dScreen();
  }
}

TEST_F(OverlayTest, AFailedLayerStillGivesAnOverlay) {
  // The default heap is filled but for one bitmap record, which the
  // overlay takes: the layer's record then cannot be had.
  const int32_t record = static_cast<int32_t>(sizeof(BMAP));
  void* reserve = LS_GetMemHeap(LS_DefaultHeap, record);
  std::vector<void*> filler;
  for (int32_t size = 1 << 24; size >= 1; size /= 2)
    while (void* b = LS_GetMemHeap(LS_DefaultHeap, size)) filler.push_back(b);
  LS_Release(reserve);
  EXPECT_EQ(SB_Create3dScreen(640, 480, 16), 1);
  EXPECT_NE(SB_Var.TextScreen, nullptr);
  EXPECT_EQ(SB_Var.BackgroundLayer, nullptr);
  EXPECT_EQ(SB_Var.OutOfVideoRam, 0);
  SB_Free3dScreen();
  for (void* b : filler) LS_Release(b);
}

TEST_F(OverlayTest, ShowWritesTheCacheStateThenCopiesTheView) {
  MakeScreens(1);
  SB_Var.Renderer = SB_RENDERER_PVR;
  ASSERT_EQ(SB_Create3dScreen(640, 480, 16), 1);
  LS_InitWindow(SB_Var.TextScreen, &SB_Var.ScreenWindow, 12, 0, 40, 640, 400);
  struct Row {
    int32_t drawInfo, status;
    const char* text;  // null: nothing written
  };
  for (const Row& r : {Row{1, 1, "CACHE FULL INDISPENSABLE"},
                       {1, 2, "CACHE FULL (Nb: 3 LostMem:4ko)"},
                       {1, 0, nullptr},
                       {0, 2, nullptr}}) {
    SCOPED_TRACE(r.status);
    LS_ClearBmap(SB_Var.TextScreen);
    LS_ClearBmap(LS_Var.Screen);
    SB_Var.DrawDevInfo = r.drawInfo;
    SB_Var.CacheStatus = r.status;
    SB_Var.CacheLostCount = 3, SB_Var.CacheLostMemory = 5000;
    SB_Show3dScreen();
    BMAP* alone = SB_CreateBmap(640, 480, 16, 0, "expected");
    if (r.text) SB_DrawSysText(r.text, alone, 100, 100);
    EXPECT_EQ(Area(SB_Var.TextScreen, 100, 100, 300, 8), Area(alone, 100, 100, 300, 8));
    EXPECT_EQ(Area(LS_Var.Screen, 100, 100, 300, 8), Area(alone, 100, 100, 300, 8)) << "the view was copied";
    SB_FreeBmap(alone);
  }
  // Outside the view nothing reaches the screen.
  SB_Var.CacheStatus = 1, SB_Var.DrawDevInfo = 1;
  LS_FillRect(SB_Var.TextScreen, 0, 0, 639, 479, 0x0F0F);
  LS_ClearBmap(LS_Var.Screen);
  SB_Show3dScreen();
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 5, 39), 0u);
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 5, 40), 0x0F0Fu);
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 639, 439), 0x0F0Fu);
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 639, 440), 0u);
  // F10 adds the texture-memory report, drawn by itself for comparison.
  BMAP* overlay = SB_Var.TextScreen;
  LS_ClearBmap(overlay);
  plat::SetKeyState(121, true);
  SB_Show3dScreen();
  BMAP* alone = SB_CreateBmap(640, 480, 16, 0, "expected");
  SB_Var.TextScreen = alone;
  POWER_ShowTextureMemInfo();
  SB_Var.TextScreen = overlay;
  EXPECT_EQ(Area(LS_Var.Screen, 10, 190, 400, 38), Area(alone, 10, 190, 400, 38));
  EXPECT_NE(Area(alone, 10, 190, 400, 38), Area(overlay, 400, 190, 400, 38)) << "the report is not empty";
  SB_FreeBmap(alone);
  SB_Var.Renderer = 0;
}

TEST_F(OverlayTest, CopyTakesTheWholeScreenAndNothingWithoutAnOverlay) {
  MakeScreens(1);
  SB_Copy3dScreen();  // no overlay: nothing happens
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 0, 0), 0u);
  ASSERT_EQ(SB_Create3dScreen(640, 480, 16), 1);
  LS_FillRect(SB_Var.TextScreen, 0, 0, 639, 479, 0x0ABC);
  SB_Copy3dScreen();
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 0, 0), 0x0ABCu);
  EXPECT_EQ(LS_GetPixel(LS_Var.Screen, 639, 479), 0x0ABCu);
  SB_Show3dScreen();  // a window of no size copies nothing, and does not crash
}

}  // namespace
