// Whole-frame conversions of 640 x 480 bitmaps: 8-bit palette pictures to
// 16 bits through the remap table, 24 bits dithered to 5-6-5, and 24 bits
// to 8 by nearest-colour search on a smooth gradient and on a frame whose
// pixels are all different colours.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

#include "platform/window.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/palette.h"

namespace {

constexpr int32_t kWidth = 640, kHeight = 480;

using Painter = uint32_t (*)(int32_t x, int32_t y);

struct Frames {
  BMAP* source;
  BMAP* destination;
  PALETTE* palette;
  Frames(int32_t fromDepth, int32_t toDepth, int32_t toFormat, Painter paint) {
    plat::SetMessageBoxEcho(false);
    LSI_InitMemory(16u << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    // A 6 x 7 x 6 colour cube in 6-bit components.
    palette = LS_AllocPalette();
    for (int i = 0; i < 252; ++i)
      palette->Entry[i] = {static_cast<uint8_t>(i / 42 * 63 / 5), static_cast<uint8_t>(i / 6 % 7 * 63 / 6),
                           static_cast<uint8_t>(i % 6 * 63 / 5)};
    source = LS_CreateBmap(kWidth, kHeight, fromDepth, 0);
    source->Palette = palette;
    destination = LS_CreateBmap(kWidth, kHeight, toDepth, 0);
    destination->Format = toFormat;
    destination->Palette = palette;
    const int32_t bytes = fromDepth / 8;
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth; ++x) {
        const uint32_t v = paint(x, y);
        std::memcpy(source->Start + y * source->ByteLen + x * bytes, &v, static_cast<size_t>(bytes));
      }
  }
  ~Frames() {
    LS_FreeBmap(destination);
    LS_FreeBmap(source);
    LS_FreePalette(palette);
    LSI_CloseMemory();
  }
};

void Convert(benchmark::State& state, Frames& f) {
  for (auto _ : state) {
    LS_Bitmove(f.source, f.destination, 0, 0, kWidth - 1, kHeight - 1, 0, 0, 0);
    benchmark::DoNotOptimize(f.destination->Start);
  }
}

uint32_t Indices(int32_t x, int32_t y) { return static_cast<uint32_t>(x + y) % 252; }
uint32_t Gradient(int32_t x, int32_t y) {
  return static_cast<uint32_t>(x * 255 / (kWidth - 1)) << 16 |
         static_cast<uint32_t>(y * 255 / (kHeight - 1)) << 8 | 128;
}
// Each of the 262,144 colours of six bits per component once, then again.
uint32_t AllDifferent(int32_t x, int32_t y) {
  const uint32_t i = static_cast<uint32_t>(y * kWidth + x);
  return (i & 63) << 18 | (i >> 6 & 63) << 10 | (i >> 12 & 63) << 2;
}

void BM_Convert8To16(benchmark::State& state) {
  Frames f(8, 16, BMAP_RGB565, Indices);
  Convert(state, f);
}
void BM_Convert24To16Dithered(benchmark::State& state) {
  Frames f(24, 16, BMAP_RGB565, Gradient);
  Convert(state, f);
}
void BM_Convert24To8Gradient(benchmark::State& state) {
  Frames f(24, 8, BMAP_PAL8, Gradient);
  Convert(state, f);
}
void BM_Convert24To8AllDifferent(benchmark::State& state) {
  Frames f(24, 8, BMAP_PAL8, AllDifferent);
  Convert(state, f);
}

BENCHMARK(BM_Convert8To16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Convert24To16Dithered)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Convert24To8Gradient)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Convert24To8AllDifferent)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
