// The presenter's conversion of a whole 640 x 480 front surface into
// 0xRRGGBB pixels, once per shown frame: 8-bit through the palette and
// 16-bit 5-6-5 through the colour masks.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/benchlib.h"
#include "platform/display.h"

namespace {

using bench::kHeight;
using bench::kWidth;

// A primary surface of the mode's depth filled with a pattern (and a
// palette at 8 bits), converted whole at every iteration.
void Convert(benchmark::State& state, int32_t depth) {
  plat::ResetDisplay();
  plat::ChangeDisplayMode(kWidth, kHeight, depth);
  plat::SurfaceRequest request;
  request.primary = true;
  plat::Surface* surface = nullptr;
  plat::CreateSurface(request, &surface);
  uint8_t* bytes = nullptr;
  int32_t pitch = 0;
  plat::LockSurface(surface, &bytes, &pitch);
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth * depth / 8; ++x) bytes[y * pitch + x] = static_cast<uint8_t>(x * 7 + y);
  plat::UnlockSurface(surface);
  if (depth == 8) {
    plat::PaletteEntry entries[plat::kPaletteSize];
    for (int32_t i = 0; i < plat::kPaletteSize; ++i)
      entries[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 3), 0};
    plat::Palette* palette = nullptr;
    plat::CreatePalette(entries, &palette);
    plat::AttachPalette(surface, palette);
  }
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  for (auto _ : state) {
    plat::ReadFront({0, 0, kWidth, kHeight}, pixels, &w, &h);
    benchmark::DoNotOptimize(pixels.data());
  }
  plat::ResetDisplay();
}

void BM_PresentFrame8(benchmark::State& state) { Convert(state, 8); }
void BM_PresentFrame16(benchmark::State& state) { Convert(state, 16); }

BENCHMARK(BM_PresentFrame8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PresentFrame16)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
