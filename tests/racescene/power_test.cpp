// The game's layer over the accelerator: screen device messages, context
// defaults, the render callback, the wait for a render, inset regions,
// error reports, the start-up probe, the twiddle table over the card's
// texels, the memory overlay and the accelerated mode switch.
#include "engine3d/power.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine3d/videotable.h"
#include "platform/accel/control.h"
#include "platform/accel/sgl.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "racescene/race3d.h"
#include "racescene/videomode.h"
#include "scenery/effects.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "tests/support/testenv.h"

namespace {

using Lines = std::vector<std::string>;

class Power : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(4 << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
  }
  void TearDown() override {
    for (BMAP* b : bitmaps_) SB_FreeBmap(b);
    LibraryTest::TearDown();
  }
  BMAP* Bitmap(int32_t width, int32_t height, int32_t depth, int32_t format) {
    BMAP* b = SB_CreateBmap(width, height, depth, 0, "test");
    if (b) b->Format = format;
    bitmaps_.push_back(b);
    return b;
  }
  // A 640 x 400 device over a window of a 16-bit bitmap, a frame begun.
  void BeginFrame(bool withheld = false) {
    ASSERT_EQ(POWER_InstallRenderCallback(), 1);
    ASSERT_EQ(POWER_CreateScreenDevice(640, 400, 16), 1);
    LS_InitWindow(Bitmap(640, 400, 16, BMAP_RGB565), &window_, 12, 0, 0, 640, 400);
    POWER_InitSglContext(&window_);
    plat::AccelWithholdStatus(withheld);
    ASSERT_EQ(sgltri_startofframe(&SB_Var.SglContext), 0);
  }
  std::vector<BMAP*> bitmaps_;
  _WINDOW window_{};
};

TEST_F(Power, ScreenDevicesByDepth) {
  struct Row {
    int32_t width, depth, result;
    Lines boxes;
  };
  const Row rows[] = {{640, 8, 0, {"PWRVR : Unsupported render depth"}},
                      {640, 32, 0, {"PWRVR : Unsupported render depth"}},
                      {4000, 16, 0, {"PWVR : Cannot create screen device (-1)"}},
                      {640, 16, 1, {}},
                      {320, 24, 1, {}}};
  for (const Row& r : rows) {
    plat::ClearShownMessageBoxes();
    EXPECT_EQ(POWER_CreateScreenDevice(r.width, 400, r.depth), r.result) << r.depth;
    EXPECT_EQ(Boxes(), r.boxes);
    int32_t width = 0;
    plat::AccelDeviceSize(&width, nullptr);
    EXPECT_EQ(width, r.result ? r.width : 0);
    EXPECT_EQ(sgl_get_errors(nullptr, nullptr), r.width == 4000 ? -1 : 0);  // no call for a depth refused
    EXPECT_EQ(POWER_DeleteScreenDevice(), 1);
    EXPECT_EQ(SB_Var.SglDevice, -1);
  }
  EXPECT_EQ(POWER_DeleteScreenDevice(), 1);
}

TEST_F(Power, ContextDefaults) {
  for (int32_t flat : {0, 1}) {
    SB_Var.Flat = flat;
    std::memset(&SB_Var.SglContext, 0x5A, sizeof SB_Var.SglContext);
    POWER_InitSglContext(&window_);
    const SGLCONTEXT& c = SB_Var.SglContext;
    EXPECT_EQ(SB_Var.SglWindow, &window_);
    EXPECT_EQ((std::vector<float>{c.FogRed, c.FogGreen, c.FogBlue, c.BackRed, c.BackGreen, c.BackBlue, c.ShadeFactor}),
              (std::vector<float>{0.8f, 0.9f, 1.0f, 0.8f, 0.9f, 1.0f, 0.5f}));
    EXPECT_EQ((std::vector<int64_t>{c.FogOn, c.Flags, c.Option36, c.Option52, c.Option68, c.LevelBias}),
              (std::vector<int64_t>{1, flat ? 0 : 0x406, 1, 1, 1, -3}));
    SGLCONTEXT rest = c;  // every other word is 0
    rest.FogOn = rest.Flags = rest.Option36 = rest.Option52 = rest.Option68 = 0;
    rest.FogRed = rest.FogGreen = rest.FogBlue = rest.BackRed = rest.BackGreen = rest.BackBlue = rest.ShadeFactor = 0;
    rest.LevelBias = 0;
    EXPECT_EQ(std::memcmp(&rest, std::vector<uint8_t>(sizeof rest).data(), sizeof rest), 0);
  }
}

TEST_F(Power, TheCallbackLocksAndDescribesTheWindow) {
  SGLRENDERTARGET target{};
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(ztest::ExitCodeOf([&] { sgl_render_callback(&target); }), 1);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("no window defined for sgl_render_callback"), std::string::npos);
  EXPECT_EQ(target.FirstPixel, nullptr);
  LS_SetErrorMode(LS_ERRMODE_KEEP);

  struct Row {
    int32_t depth, format, bpp;
  };
  for (const Row& r : {Row{16, BMAP_RGB555, 15}, {16, BMAP_RGB565, 16}, {24, BMAP_RGB888, 24}}) {
    BMAP* b = Bitmap(64, 32, r.depth, r.format);
    LS_InitWindow(b, &window_, 12, 8, 4, 32, 16);
    POWER_InitSglContext(&window_);
    SB_Var.SglLockTime = 99;
    EXPECT_EQ(sgl_render_callback(&target), 0);
    EXPECT_EQ(target.FirstPixel, b->Start + 4 * b->ByteLen + 8 * (r.depth / 8));
    EXPECT_EQ(std::pair(int32_t{target.BytesPerLine}, int32_t{target.BitsPerPixel}), std::pair(b->ByteLen, r.bpp));
    EXPECT_EQ(SB_Var.SglLockTime, 0);  // measured on the manual clock
  }
  target = {};
  LS_InitWindow(nullptr, &window_, 12, 0, 0, 32, 16);  // no bitmap: no address for the library
  EXPECT_EQ(sgl_render_callback(&target), 0);
  EXPECT_EQ(target.FirstPixel, nullptr);
}

TEST_F(Power, TheWaitEndsOnTheStatusBitAfter250MsOrWithCtrlX) {
  struct Row {
    bool withheld, ctrlX;
    int32_t waited;
    uint32_t clock;  // the timer wraps 16 ms into the wait
  };
  for (const Row& r : {Row{false, false, 0, 0}, {true, false, 250, 0}, {true, false, 250, 0xFFFFFFF0u},
                       {true, true, 0, 0}}) {
    plat::SetManualTime(r.clock);
    BeginFrame(r.withheld);
    plat::SetKeyState(17, r.ctrlX);
    plat::SetKeyState(88, r.ctrlX);
    ASSERT_EQ(sgltri_render(&SB_Var.SglContext), 0);
    EXPECT_EQ(window_.W_BMAP->LockCount, 2);  // a memory bitmap's own lock, and the callback's
    const uint32_t start = plat::TickMs();
    POWER_WaitRenderDone();
    EXPECT_EQ(SB_Var.SglWaitTime, r.waited);
    EXPECT_EQ(plat::TickMs() - start, static_cast<uint32_t>(r.waited));
    EXPECT_EQ(window_.W_BMAP->LockCount, 1);
    EXPECT_EQ(window_.W_ADDRESS, nullptr);
    POWER_DeleteScreenDevice();
  }
  SB_Var.SglStatus = nullptr;  // no library: nothing to wait for
  POWER_WaitRenderDone();
  EXPECT_EQ(SB_Var.SglWaitTime, 0);
}

TEST_F(Power, InsetsNarrowToTheRegionGridAndRestore) {
  BeginFrame();
  int32_t x = 40, y = 100, w = 70, h = 64;
  POWER_SetInsetViewport(x, y, w, h);  // not the accelerated renderer: nothing
  EXPECT_EQ(std::vector<int32_t>({x, w, SB_Var.SglContext.LastXRegion}), std::vector<int32_t>({40, 70, 19}));
  SB_Var.Renderer = SB_RENDERER_PVR;
  POWER_SetInsetViewport(x, y, w, h);
  const SGLCONTEXT& c = SB_Var.SglContext;
  EXPECT_EQ(std::vector<int32_t>({c.FirstXRegion, c.LastXRegion, c.FirstYRegion, c.LastYRegion}),
            std::vector<int32_t>({1, 2, 3, 4}));
  EXPECT_EQ(std::vector<int32_t>({x, y, w, h}), std::vector<int32_t>({32, 96, 64, 64}));
  int32_t x2 = 300, y2 = 10, w2 = 40, h2 = 40;
  POWER_SetInsetViewport(x2, y2, w2, h2);
  EXPECT_EQ(c.FirstXRegion, 9);
  POWER_RestoreViewport();
  EXPECT_EQ(std::vector<int32_t>({c.FirstXRegion, c.LastXRegion, c.FirstYRegion, c.LastYRegion}),
            std::vector<int32_t>({0, 19, 0, 12}));
  EXPECT_EQ(SB_Var.ViewportSaved, 0);
  // Before any frame the library has given no region scale.
  POWER_InitSglContext(&window_);
  x = 40, w = 70;
  POWER_SetInsetViewport(x, y, w, h);
  EXPECT_EQ(std::vector<int32_t>({x, w, c.LastXRegion, SB_Var.ViewportSaved}), std::vector<int32_t>({40, 70, 0, 0}));
}

TEST_F(Power, ErrorsAreReportedUnlessTheCardIsFull) {
  struct Row {
    std::vector<int32_t> failures;  // 1 an unknown texture, 2 full texture memory
    int32_t result;
    Lines boxes;
  };
  const Row rows[] = {{{}, 1, {}}, {{2}, 1, {}}, {{1}, 0, {"Error (sgltri_render -3 -3)"}},
                      {{2, 1}, 0, {"Error (sgltri_render -243 -3)"}}, {{1, 2}, 1, {}}};
  plat::AccelSetCardMemory(0);
  SGLMAP map{};
  const std::vector<uint32_t> texels(32 * 32);
  const SGLMAP source{{'I', 'M', 'A', 'P'}, 32, 32, const_cast<uint32_t*>(texels.data())};
  ASSERT_EQ(sgl_preprocess_texture(0, 0, 0, 0, &source, 0, &map), 0);
  for (const Row& r : rows) {
    plat::ClearShownMessageBoxes();
    for (int32_t f : r.failures) f == 1 ? sgl_delete_texture(7) : sgl_create_texture(0, 0, 0, 0, &map, 0);
    EXPECT_EQ(POWER_CheckErrors("sgltri_render"), r.result);
    EXPECT_EQ(Boxes(), r.boxes);
  }
  sgl_free_pixels(&map);
}

// The start-up finds the library and fills the twiddle table, through
// which what an effect writes into a cached texture's block reaches the
// card at the same (x, y).
TEST_F(Power, StartUpAndTheTwiddleTable) {
  for (bool present : {false, true}) {
    plat::AccelSetPresent(present);
    SB_InitVideoModes();
    EXPECT_EQ(SB_Var.RendererCaps, present ? 5 : 1);
  }
  EXPECT_EQ(std::vector<int32_t>({SB_Var.TwiddleTable[3], SB_Var.TwiddleTable[255]}), std::vector<int32_t>({5, 0x5555}));
  const std::vector<uint32_t> texels(64 * 64);
  const SGLMAP source{{'I', 'M', 'A', 'P'}, 64, 64, const_cast<uint32_t*>(texels.data())};
  SGLMAP map{};
  ASSERT_EQ(sgl_preprocess_texture(0, 1, 0, 0, &source, 0, &map), 0);
  const int32_t name = sgl_create_texture(0, 0, 0, 0, &map, 0);
  auto* block = static_cast<uint16_t*>(map.Pixels);
  for (const auto& [x, y] : {std::pair{0, 0}, {37, 5}, {63, 62}}) {
    block[(SB_Var.TwiddleTable[x] << 1) | SB_Var.TwiddleTable[y]] = static_cast<uint16_t>(x * 64 + y + 1);
    ASSERT_EQ(sgl_set_texture(name, 0, 0, &map, 0), 0);
    EXPECT_EQ(plat::AccelReadTexel(name, 0, x, y), x * 64 + y + 1);
  }
  sgl_free_pixels(&map);
}

TEST_F(Power, TextureMemoryOverlay) {
  plat::AccelSetCardMemory(65536);
  SB_Var.TextScreen = Bitmap(640, 480, 8, BMAP_PAL8);
  BMAP* expected = Bitmap(640, 480, 8, BMAP_PAL8);
  POWER_ShowTextureMemInfo();
  const Lines texts = {"8\t[32]:64 [64]:16 [128]: 4 [256]: 1", "16\t[32]:32 [64]: 8 [128]: 2 [256]: 0",
                       "MM\t[32]:24 [64]: 6 [128]: 1 [256]: 0", "FreeMem:  64ko,      LargestBlock:  64ko"};
  for (size_t i = 0; i < texts.size(); ++i) SB_DrawSysText(texts[i].c_str(), expected, 10, 190 + 10 * i);
  EXPECT_EQ(std::memcmp(SB_Var.TextScreen->Start, expected->Start, 640 * 480), 0);
  EXPECT_NE(std::memcmp(SB_Var.TextScreen->Start, std::vector<uint8_t>(640 * 480).data(), 640 * 480), 0);
  SB_Var.TextScreen = nullptr;
}

// An accelerated race's mode switch makes the device over the view window
// and the end of the race deletes it.
TEST_F(Power, TheAcceleratedModeSwitchMakesTheDevice) {
  SB_SetDisplayMode(640, 480, 16);
  SB_InitVideoModes();
  SB_Var.VideoModeIndex = 17;
  SB_Var.Renderer = SB_RENDERER_PVR;
  ASSERT_EQ(SB_ApplyVideoMode(), 1);
  int32_t width = 0, height = 0;
  plat::AccelDeviceSize(&width, &height);
  EXPECT_EQ(std::pair(width, height), std::pair(640, 400));
  EXPECT_EQ(SB_Var.SglWindow, &SB_Var.ScreenWindow);
  SB_Free3dScreen();
  plat::AccelDeviceSize(&width, &height);
  EXPECT_EQ(std::tuple(width, SB_Var.SglDevice, SB_Var.TextScreen), std::tuple(0, -1, nullptr));
  if (LS_Var.Screen) LS_FreeBmap(LS_Var.Screen);
  LS_Var.Screen = nullptr;
}

}  // namespace
