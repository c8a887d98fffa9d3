// The icon shadow pass of MAKEICONE on a 640 x 480 picture: every pixel
// of the 740 x 580 icon sums the picture's alpha over an 11 x 11 square
// (121 taps), here with sums slid along columns and rows.
#include <benchmark/benchmark.h>

#include "bench/benchlib.h"
#include "console/pictools.h"

namespace {

void BM_IconeShadow640x480(benchmark::State& state) {
  bench::Heap heap(8u << 20);
  BMAP* picture = LS_CreateBmap(640, 480, 32, 0);
  BMAP* icon = LS_CreateBmap(740, 580, 32, 0);
  uint32_t seed = 12345;
  bench::PaintBmap(picture, [&](int32_t, int32_t) { return (bench::Next(seed) >> 24) << 24; });  // alpha only
  for (auto _ : state) {
    SB_IconeShadow(picture, icon);
    benchmark::DoNotOptimize(icon->Start[3]);
  }
  state.counters["taps"] =
      benchmark::Counter(740.0 * 580 * 121, benchmark::Counter::kIsIterationInvariantRate);
  LS_FreeBmap(icon);
  LS_FreeBmap(picture);
}
BENCHMARK(BM_IconeShadow640x480)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
