// The icon shadow pass of MAKEICONE on a 640 x 480 picture: every pixel
// of the 740 x 580 icon sums the picture's alpha over an 11 x 11 square
// (121 taps), here with sums slid along columns and rows.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "platform/window.h"
#include "shell/pictools.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/heap.h"

namespace {

void BM_IconeShadow640x480(benchmark::State& state) {
  plat::SetMessageBoxEcho(false);
  LSI_InitMemory(8u << 20);
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  BMAP* picture = LS_CreateBmap(640, 480, 32, 0);
  BMAP* icon = LS_CreateBmap(740, 580, 32, 0);
  uint32_t seed = 12345;
  for (int32_t y = 0; y < 480; ++y)
    for (int32_t x = 0; x < 640; ++x) {
      seed = seed * 1664525u + 1013904223u;
      picture->Start[y * picture->ByteLen + x * 4 + 3] = static_cast<uint8_t>(seed >> 24);
    }
  for (auto _ : state) {
    SB_IconeShadow(picture, icon);
    benchmark::DoNotOptimize(icon->Start[3]);
  }
  state.counters["taps"] = benchmark::Counter(740.0 * 580 * 121, benchmark::Counter::kIsIterationInvariantRate);
  LS_FreeBmap(icon);
  LS_FreeBmap(picture);
  LSI_CloseMemory();
}
BENCHMARK(BM_IconeShadow640x480)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
