// Whole 640 x 480 frames through LS_Bitmove and LS_FillRect: 16-bit copies
// (opaque, and transparent with a third of the pixels 0), the fill, 8-bit
// palette pictures to 16 bits through the remap table, 24 bits dithered to
// 5-6-5, and 24 bits to 8 by nearest-colour search on a smooth gradient and
// on a frame whose pixels are all different colours.
#include <benchmark/benchmark.h>

#include "bench/benchlib.h"
#include "system/palette.h"

namespace {

using bench::kHeight;
using bench::kWidth;

// A source frame painted by paint and a destination of the given depth;
// a conversion (a format given) goes through a 6 x 7 x 6 colour cube of
// 6-bit components.
struct Frames {
  bench::Heap heap{16u << 20};
  PALETTE* palette = LS_AllocPalette();
  BMAP* source;
  BMAP* destination;
  template <typename Paint>
  Frames(int32_t fromDepth, int32_t toDepth, int32_t toFormat, Paint paint) {
    for (int i = 0; i < 252; ++i)
      palette->Entry[i] = {static_cast<uint8_t>(i / 42 * 63 / 5), static_cast<uint8_t>(i / 6 % 7 * 63 / 6),
                           static_cast<uint8_t>(i % 6 * 63 / 5)};
    source = LS_CreateBmap(kWidth, kHeight, fromDepth, 0);
    destination = LS_CreateBmap(kWidth, kHeight, toDepth, 0);
    if (toFormat) {  // a conversion
      destination->Format = toFormat;
      source->Palette = destination->Palette = palette;
    }
    bench::PaintBmap(source, paint);
  }
  Frames(const Frames&) = delete;
  ~Frames() {
    LS_FreeBmap(destination);
    LS_FreeBmap(source);
    LS_FreePalette(palette);
  }
};

// Frames is made in place (a prvalue argument) and freed at the end.
void Move(benchmark::State& state, Frames f, int32_t mode) {
  for (auto _ : state) {
    LS_Bitmove(f.source, f.destination, 0, 0, kWidth - 1, kHeight - 1, 0, 0, mode);
    benchmark::DoNotOptimize(f.destination->Start);
  }
}

// Every third pixel 0, the others varied.
uint32_t Holes(int32_t x, int32_t y) { return (x + y) % 3 ? static_cast<uint16_t>(x * 31 + y) : 0; }
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

void BM_Bitmove16Opaque(benchmark::State& s) { Move(s, Frames(16, 16, 0, Holes), LS_BLIT_OPAQUE); }
void BM_Bitmove16Transparent(benchmark::State& s) { Move(s, Frames(16, 16, 0, Holes), LS_BLIT_TRANSPARENT); }
void BM_Convert8To16(benchmark::State& s) { Move(s, Frames(8, 16, BMAP_RGB565, Indices), 0); }
void BM_Convert24To16Dithered(benchmark::State& s) { Move(s, Frames(24, 16, BMAP_RGB565, Gradient), 0); }
void BM_Convert24To8Gradient(benchmark::State& s) { Move(s, Frames(24, 8, BMAP_PAL8, Gradient), 0); }
void BM_Convert24To8AllDifferent(benchmark::State& s) { Move(s, Frames(24, 8, BMAP_PAL8, AllDifferent), 0); }

void BM_FillRect16(benchmark::State& state) {
  Frames f(16, 16, 0, Holes);
  uint32_t colour = 0;
  for (auto _ : state) {
    LS_FillRect(f.destination, 0, 0, kWidth - 1, kHeight - 1, ++colour);
    benchmark::DoNotOptimize(f.destination->Start);
  }
}

}  // namespace

BENCHMARK(BM_Bitmove16Opaque)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bitmove16Transparent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillRect16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Convert8To16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Convert24To16Dithered)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Convert24To8Gradient)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Convert24To8AllDifferent)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
