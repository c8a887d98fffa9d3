// The dithered palette remap of a 640 x 480 8-bit picture between two
// different 256-colour palettes: the colour searches that choose each
// colour's four-entry pattern, the pixel pass, and both together.
#include <benchmark/benchmark.h>

#include "bench/benchlib.h"
#include "shell/gamepicture.h"

namespace {

// A picture in a smooth palette, to be remapped into a random one.
struct Pictures {
  bench::Heap heap{8u << 20};
  PALETTE from{}, to{};
  BMAP* source = LS_CreateBmap(640, 480, 8, 0);
  BMAP* destination = LS_CreateBmap(640, 480, 8, 0);
  Pictures() {
    uint32_t seed = 12345;
    for (int i = 0; i < 256; ++i) {
      from.Entry[i] = {static_cast<uint8_t>(i & 63), static_cast<uint8_t>((i >> 2) & 63),
                       static_cast<uint8_t>((i * 5) & 63)};
      bench::Next(seed);
      to.Entry[i] = {static_cast<uint8_t>((seed >> 10) & 63), static_cast<uint8_t>((seed >> 16) & 63),
                     static_cast<uint8_t>((seed >> 22) & 63)};
    }
    bench::PaintBmap(source, [](int32_t x, int32_t y) { return static_cast<uint8_t>(x ^ y); });
  }
  ~Pictures() {
    LS_FreeBmap(destination);
    LS_FreeBmap(source);
  }
};

void BM_RemapColourSearch(benchmark::State& state) {
  Pictures p;
  SB_REMAPPATTERNS patterns;
  for (auto _ : state) {
    SB_BuildRemapPatterns(&p.from, &p.to, &patterns);
    benchmark::DoNotOptimize(patterns.Entry[0][0]);
  }
}

void BM_RemapPixelPass(benchmark::State& state) {
  Pictures p;
  SB_REMAPPATTERNS patterns;
  SB_BuildRemapPatterns(&p.from, &p.to, &patterns);
  for (auto _ : state) {
    SB_ApplyRemapPatterns(p.source, p.destination, &patterns);
    benchmark::DoNotOptimize(p.destination->Start);
  }
}

void BM_RemapWhole(benchmark::State& state) {
  Pictures p;
  for (auto _ : state) {
    SB_RemapBmap(p.source, &p.from, p.destination, &p.to);
    benchmark::DoNotOptimize(p.destination->Start);
  }
}

}  // namespace

BENCHMARK(BM_RemapColourSearch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemapPixelPass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemapWhole)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
