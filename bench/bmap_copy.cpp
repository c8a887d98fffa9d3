// Whole-frame copies and fills of 640 x 480 16-bit bitmaps: opaque and
// transparent LS_Bitmove, and LS_FillRect of the whole frame.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

#include "platform/window.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/heap.h"

namespace {

constexpr int32_t kWidth = 640, kHeight = 480;

// The library's heap and two frames, one of them with every third pixel 0.
struct Frames {
  BMAP* source;
  BMAP* destination;
  Frames() {
    plat::SetMessageBoxEcho(false);
    LSI_InitMemory(16u << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    source = LS_CreateBmap(kWidth, kHeight, 16, 0);
    destination = LS_CreateBmap(kWidth, kHeight, 16, 0);
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth; ++x) {
        const uint16_t v = (x + y) % 3 ? static_cast<uint16_t>(x * 31 + y) : 0;
        std::memcpy(source->Start + y * source->ByteLen + x * 2, &v, 2);
      }
  }
  ~Frames() {
    LS_FreeBmap(destination);
    LS_FreeBmap(source);
    LSI_CloseMemory();
  }
};

void Copy(benchmark::State& state, int32_t mode) {
  Frames f;
  for (auto _ : state) {
    LS_Bitmove(f.source, f.destination, 0, 0, kWidth - 1, kHeight - 1, 0, 0, mode);
    benchmark::DoNotOptimize(f.destination->Start);
  }
}

void BM_Bitmove16Opaque(benchmark::State& state) { Copy(state, LS_BLIT_OPAQUE); }
void BM_Bitmove16Transparent(benchmark::State& state) { Copy(state, LS_BLIT_TRANSPARENT); }

void BM_FillRect16(benchmark::State& state) {
  Frames f;
  uint32_t colour = 0;
  for (auto _ : state) {
    LS_FillRect(f.destination, 0, 0, kWidth - 1, kHeight - 1, ++colour);
    benchmark::DoNotOptimize(f.destination->Start);
  }
}

BENCHMARK(BM_Bitmove16Opaque)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bitmove16Transparent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillRect16)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
