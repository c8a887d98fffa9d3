// The error-diffusion conversion of a 256 x 256 24-bit picture (smooth
// gradients crossed by noise) to 8 bits in the 3D palette of the data tree
// (a 6 x 8 x 4 colour cube and a grey ramp).
#include <benchmark/benchmark.h>

#include "bench/benchlib.h"
#include "datagen/palette3d.h"
#include "engine3d/palette3d.h"

namespace {

constexpr int32_t kSide = 256;

void BM_Floyd256(benchmark::State& state) {
  bench::Heap heap{8u << 20};
  PALETTE palette{};
  const std::vector<uint8_t> bytes = datagen::TexturePalette();
  for (int32_t i = 0; i < 256; ++i)
    palette.Entry[i] = {static_cast<uint8_t>(bytes[i * 3] >> 2), static_cast<uint8_t>(bytes[i * 3 + 1] >> 2),
                        static_cast<uint8_t>(bytes[i * 3 + 2] >> 2)};
  BMAP* picture = LS_CreateBmap(kSide, kSide, 24, 0);
  BMAP* out = LS_CreateBmap(kSide, kSide, 8, 0);
  out->Palette = &palette;
  uint32_t seed = 99;
  bench::PaintBmap(picture, [&](int32_t x, int32_t y) {
    const uint32_t noise = bench::Next(seed) >> 28;
    return (x + noise) | ((y + noise) & 255) << 8 | (((x + y) / 2) & 255) << 16;
  });
  for (auto _ : state) {
    SB_FloydBmap24to8(picture, out, 0, 0, kSide - 1, kSide - 1, 0, 0);
    benchmark::DoNotOptimize(out->Start);
  }
  state.counters["pixels"] =
      benchmark::Counter(double(kSide) * kSide * state.iterations(), benchmark::Counter::kIsRate);
  LS_FreeBmap(out);
  LS_FreeBmap(picture);
}

}  // namespace

BENCHMARK(BM_Floyd256)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
