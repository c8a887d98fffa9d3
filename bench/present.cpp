// The presenter's conversion of a whole 640 x 480 front surface into
// 0xRRGGBB pixels, once per shown frame: 8-bit through the palette and
// 16-bit 5-6-5 through the colour masks.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/display.h"

namespace {

constexpr int32_t kWidth = 640, kHeight = 480;

// A primary surface of the mode's depth, filled with a pattern.
struct Front {
  plat::Surface* surface = nullptr;
  plat::Palette* palette = nullptr;
  explicit Front(int32_t depth) {
    plat::ResetDisplay();
    plat::ChangeDisplayMode(kWidth, kHeight, depth);
    plat::SurfaceRequest request;
    request.primary = true;
    plat::CreateSurface(request, &surface);
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    plat::LockSurface(surface, &pixels, &pitch);
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth * depth / 8; ++x)
        pixels[y * pitch + x] = static_cast<uint8_t>(x * 7 + y);
    plat::UnlockSurface(surface);
    if (depth != 8) return;
    plat::PaletteEntry entries[plat::kPaletteSize];
    for (int32_t i = 0; i < plat::kPaletteSize; ++i)
      entries[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 3), 0};
    plat::CreatePalette(entries, &palette);
    plat::AttachPalette(surface, palette);
  }
  ~Front() { plat::ResetDisplay(); }
};

void Convert(benchmark::State& state, int32_t depth) {
  Front front(depth);
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  for (auto _ : state) {
    plat::ReadFront({0, 0, kWidth, kHeight}, pixels, &w, &h);
    benchmark::DoNotOptimize(pixels.data());
  }
}

void BM_PresentFrame8(benchmark::State& state) { Convert(state, 8); }
void BM_PresentFrame16(benchmark::State& state) { Convert(state, 16); }

BENCHMARK(BM_PresentFrame8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PresentFrame16)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
