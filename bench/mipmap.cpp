// The mip levels of 8 texture pages (tiles of 8 x 8 texels, each of a few
// neighbouring values): each page shrunk by 2, 4, 8 and 16 into the
// levels' shared pages, at 8 bits (each block's texels mixed through the
// 3D palette and matched to its nearest colour) and at 16 bits (5-6-5
// channels), averaging (`escape:0`) or, once Escape is held, taking each
// block's first texel (`escape:1`).
#include <benchmark/benchmark.h>

#include "bench/benchlib.h"
#include "datagen/palette3d.h"
#include "engine3d/texpages.h"
#include "system/win/shell.h"

namespace {

constexpr int32_t kPages = 8;

void BM_Resample8Pages(benchmark::State& state) {
  bench::TempDrive drive;
  bench::Heap heap{16u << 20};
  SB_ResetVars();
  SB_ResetVideoTable();
  LS_SetInputMode(1);  // as in a race's set-up: the Escape test only polls
  const int32_t depth = static_cast<int32_t>(state.range(0));
  TVIDEOMODE& mode = SB_Var.VideoModes[SB_Var.VideoModeIndex];
  mode.Depth = mode.TextureDepth = depth;
  mode.Format = mode.TextureFormat = depth == 8 ? BMAP_PAL8 : BMAP_RGB565;
  PALETTE palette{};
  const std::vector<uint8_t> bytes = datagen::TexturePalette();
  for (int32_t i = 0; i < 768; ++i) (&palette.Entry[0].Red)[i] = static_cast<uint8_t>(bytes[i] >> 2);
  SB_Var.Pal3d = &palette;
  SB_Var.NbTexturePages = kPages;
  SB_AllocTexturePages();
  SB_LoadTexturesTga();
  // Tiles of 8 x 8 texels, each of a few neighbouring values.
  uint32_t seed = 7;
  for (int32_t p = 0; p < kPages; ++p)
    bench::PaintBmap(SB_Var.TexturePages[p], [&](int32_t x, int32_t y) {
      return ((x / 8 + y / 8) * 37 + p * 11 + (bench::Next(seed) >> 30)) & (depth == 8 ? 0xFF : 0xFFFF);
    });
  plat::SetKeyState(27, state.range(1) != 0);
  for (auto _ : state) {
    SB_ResampleTextures();
    benchmark::DoNotOptimize(SB_Var.MipPages[3][7].Texels);
    SB_FreeTextureHandles();
  }
  plat::SetKeyState(27, false);
  SB_FreeTextures();
  SB_Var.Pal3d = nullptr;
}

}  // namespace

BENCHMARK(BM_Resample8Pages)
    ->ArgsProduct({{8, 16}, {0, 1}})
    ->ArgNames({"bits", "escape"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
