// The packing of a map's pictures into 256 x 256 texture pages: 512
// rectangles of mixed sizes (sides of 16 to 256, seeded), sorted by area,
// largest first, then placed first fit; the sort alone, and beside it the
// standard library's sort of the same pointers.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "bench/benchlib.h"
#include "engine3d/sort.h"
#include "engine3d/texpages.h"

namespace {

constexpr int32_t kRects = 512;

std::vector<TEXTTRI> Rectangles() {
  std::vector<TEXTTRI> rects(kRects);
  uint32_t seed = 2024;
  for (TEXTTRI& r : rects) {
    r.Width = 16 << (bench::Next(seed) >> 29) % 5;
    r.Height = 16 << (bench::Next(seed) >> 29) % 5;
    r.Area = r.Width * r.Height;
  }
  return rects;
}

void Order(std::vector<TEXTTRI>& rects) {
  for (int32_t i = 0; i < kRects; ++i) SB_Var.TextTriOrder[i] = &rects[i];
  SB_Var.NbTextTri = kRects;
  E3D_SortByKey(reinterpret_cast<void**>(SB_Var.TextTriOrder), kRects);
}

void BM_SortAndPack512(benchmark::State& state) {
  std::vector<TEXTTRI> rects = Rectangles();
  for (auto _ : state) {
    Order(rects);
    SB_PackTextures();
    benchmark::DoNotOptimize(SB_Var.NbTexturePages);
  }
  state.counters["pages"] = SB_Var.NbTexturePages;
}

void BM_Sort512(benchmark::State& state) {
  std::vector<TEXTTRI> rects = Rectangles();
  for (auto _ : state) {
    Order(rects);
    benchmark::DoNotOptimize(SB_Var.TextTriOrder[0]);
  }
}

// Reference: the standard library's sort of the same pointers by the same
// key.
void BM_StdSort512(benchmark::State& state) {
  std::vector<TEXTTRI> rects = Rectangles();
  std::vector<TEXTTRI*> order(kRects);
  for (auto _ : state) {
    for (int32_t i = 0; i < kRects; ++i) order[i] = &rects[i];
    std::sort(order.begin(), order.end(),
              [](const TEXTTRI* a, const TEXTTRI* b) { return a->Area > b->Area; });
    benchmark::DoNotOptimize(order[0]);
  }
}

}  // namespace

BENCHMARK(BM_SortAndPack512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sort512)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StdSort512)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
