// Decoding a run-length coded 640 x 480 32-bit TGA picture in which flat
// areas (long runs) and noise (literal packets) alternate: the whole
// LS_LoadTga (file read, bitmap made and freed) and the row decoder alone.
#include <benchmark/benchmark.h>

#include <fstream>
#include <vector>

#include "bench/benchlib.h"
#include "system/picture.h"

namespace {

using bench::kHeight;
using bench::kWidth;

// Rows of 64-pixel tiles: a tile is one flat colour or noise, in turn.
std::vector<uint32_t> Picture() {
  std::vector<uint32_t> pixels(static_cast<size_t>(kWidth * kHeight));
  uint32_t state = 1;
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x) {
      bench::Next(state);
      const bool flat = ((x / 64) + (y / 64)) % 2 == 0;
      pixels[static_cast<size_t>(y * kWidth + x)] =
          flat ? 0xFF000000u | static_cast<uint32_t>(y / 64 * 0x203040) : state;
    }
  return pixels;
}

void PutPixel(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Packets of at most 128 pixels, runs from 2 alike, crossing rows.
std::vector<uint8_t> Encode(const std::vector<uint32_t>& p) {
  std::vector<uint8_t> out{
      0,  0,   10, 0, 0, 0, 0, 0, 0, 0, 0, 0, kWidth & 0xFF, kWidth >> 8, kHeight & 0xFF, kHeight >> 8,
      32, 0x20};
  for (size_t i = 0; i < p.size();) {
    size_t run = 1;
    while (i + run < p.size() && run < 128 && p[i + run] == p[i]) ++run;
    if (run >= 2) {
      out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
      PutPixel(out, p[i]);
      i += run;
      continue;
    }
    size_t n = 1;
    while (i + n < p.size() && n < 128 && !(i + n + 1 < p.size() && p[i + n] == p[i + n + 1])) ++n;
    out.push_back(static_cast<uint8_t>(n - 1));
    for (size_t k = i; k < i + n; ++k) PutPixel(out, p[k]);
    i += n;
  }
  return out;
}

// The library on a drive C: of a temporary folder holding the picture.
struct Library {
  bench::TempDrive drive;
  std::vector<uint8_t> file = Encode(Picture());
  bench::Heap heap{16u << 20};
  Library() {
    std::ofstream(drive.folder / "PIC.TGA", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    LSI_InitDirectory();
  }
};

void BM_LoadTgaRle32(benchmark::State& state) {
  Library library;
  for (auto _ : state) {
    BMAP* b = LS_LoadTga("pic.tga", 0);
    if (!b) {
      state.SkipWithError("the picture did not load");
      break;
    }
    benchmark::DoNotOptimize(b->Start);
    LS_FreeBmap(b);
  }
  state.counters["file_kib"] = static_cast<double>(library.file.size()) / 1024.0;
}

void BM_UnpackTgaRowsRle32(benchmark::State& state) {
  const std::vector<uint8_t> file = Encode(Picture());
  std::vector<uint8_t> frame(static_cast<size_t>(kWidth * kHeight * 4));
  for (auto _ : state) {
    LSI_RUNSOURCE source;
    LSI_InitRunSource(&source, file.data() + 18, file.data() + file.size());
    for (int32_t y = 0; y < kHeight; ++y)
      LSI_UnpackTgaRow(&source, frame.data() + static_cast<size_t>(y) * kWidth * 4, kWidth, 4);
    benchmark::DoNotOptimize(frame.data());
  }
}

BENCHMARK(BM_LoadTgaRle32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnpackTgaRowsRle32)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
