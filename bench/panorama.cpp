// The panorama behind a software view: one SB_DrawBackground at 640 x 480 x
// 16, the data tree's "DECOFON2" in the background layer, the camera
// level and turned so that two slices share the view (the usual case), and
// level with heading 0 (one slice); beside it, as the reference,
// std::memcpy of the same 480 rows of 1,280 bytes from layer to overlay.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/benchlib.h"
#include "scenery/effects.h"
#include "shell/gamepicture.h"
#include "system/asm3d/zidade3d.h"

namespace {

struct PanoramaScene {
  bench::DataTreeLibrary library;
  explicit PanoramaScene() {
    LS_Init3D();  // the cosine table of the horizon's rotation
    SB_Var.Focal = 320;
    SB_Var.TextScreen = SB_CreateBmap(bench::kWidth, bench::kHeight, 16, 0, "overlay");
    SB_Var.BackgroundLayer = SB_CreateBmap(bench::kWidth, bench::kHeight, 16, 0, "layer");
    SB_Var.TextScreen->Format = SB_Var.BackgroundLayer->Format = BMAP_RGB555;
    LS_InitWindow(SB_Var.TextScreen, &SB_Var.ScreenWindow, 12, 0, 0, bench::kWidth, bench::kHeight);
    SB_Var.CurrentBackground = SB_LoadTga("txt>travun>decofon2.tga");
    SB_RestoreBackground(SB_Var.BackgroundLayer);
  }
  ~PanoramaScene() {
    if (SB_Var.CurrentBackground) SB_FreeBmap(SB_Var.CurrentBackground);
    SB_FreeBmap(SB_Var.BackgroundLayer);
    SB_FreeBmap(SB_Var.TextScreen);
  }
};

void BM_DrawBackground(benchmark::State& state) {
  PanoramaScene scene;
  if (!SB_Var.CurrentBackground) {
    state.SkipWithError("txt>travun>decofon2.tga missing from the data tree");
    return;
  }
  TCAMERA camera{};
  camera.AngleY = static_cast<uint32_t>(state.range(0));
  for (auto _ : state) {
    SB_DrawBackground(&camera);
    benchmark::DoNotOptimize(SB_Var.TextScreen->Start);
  }
  if (LS_GetPixel(SB_Var.TextScreen, 300, 300) != LS_GetPixel(SB_Var.BackgroundLayer, 300 - (state.range(0) ? 224 : 0), 300))
    state.SkipWithError("the panorama was not drawn");
}

void BM_DrawBackgroundMemcpy(benchmark::State& state) {
  PanoramaScene scene;
  BMAP* from = SB_Var.BackgroundLayer;
  BMAP* to = SB_Var.TextScreen;
  for (auto _ : state) {
    for (int32_t y = 0; y < bench::kHeight; ++y)
      std::memcpy(to->Start + y * to->ByteLen, from->Start + y * from->ByteLen, bench::kWidth * 2);
    benchmark::DoNotOptimize(to->Start);
  }
}

}  // namespace

// Heading 0: one slice fills the view; 16384: two slices of 224 and 416 columns.
BENCHMARK(BM_DrawBackground)->Arg(0)->Arg(16384)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawBackgroundMemcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
