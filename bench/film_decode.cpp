// Film decoding: frames per second of a 640 x 480 film held in memory and
// decoded into a 16-bit 5-6-5 bitmap, once made of whole run-length
// frames and once of line deltas that change about a quarter of the lines.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/benchlib.h"
#include "datagen/fliwrite.h"
#include "system/fli.h"

namespace {

using bench::kHeight;
using bench::kWidth;
constexpr int kFrames = 16;

// Bands of flat colour (runs) crossed by a ramp and some noise (copies),
// moving with the frame number.
datagen::FilmPicture Picture(int frame) {
  datagen::FilmPicture p{kWidth, kHeight, std::vector<uint8_t>(kWidth * kHeight)};
  uint32_t noise = 1u + static_cast<uint32_t>(frame);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const uint8_t random = static_cast<uint8_t>(bench::Next(noise) >> 24);
      p.pixels[static_cast<size_t>(y * kWidth + x)] =
          (x + y) % 7 == 0 ? random : static_cast<uint8_t>((x + frame * 4) / 40 * 16 + y / 60);
    }
  return p;
}

// The picture before with every fourth line changed.
datagen::FilmPicture QuarterChanged(datagen::FilmPicture p, int frame) {
  for (int y = frame % 4; y < kHeight; y += 4)
    for (int x = 0; x < kWidth; ++x)
      p.pixels[static_cast<size_t>(y * kWidth + x)] += static_cast<uint8_t>(x / 3 + frame);
  return p;
}

std::vector<uint8_t> Palette() {
  std::vector<uint8_t> rgb(768);
  for (int i = 0; i < 768; ++i) rgb[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 7);
  return rgb;
}

void Decode(benchmark::State& state, const datagen::Film& film) {
  bench::TempDrive drive;
  datagen::WriteFilm((drive.folder / "BENCH.FLC").string(), film);
  bench::Heap heap(64u << 20);
  FLI* fli = LS_OpenFli("C:/BENCH.FLC", FLI_MODE_MEMORY, 0, BMAP_RGB565);
  if (!fli) return state.SkipWithError("the film did not open");
  for (auto _ : state) {
    LS_PlayFliFrame(fli);
    benchmark::DoNotOptimize(fli->Bmap->Start);
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  LS_CloseFli(fli);
}

void BM_FilmByteRun(benchmark::State& state) {
  datagen::Film film;
  film.width = kWidth;
  film.height = kHeight;
  for (int i = 0; i < kFrames; ++i) {
    datagen::FilmFrame frame;
    if (i == 0) frame.chunks.push_back(datagen::Color256Chunk(Palette()));
    frame.chunks.push_back(datagen::ByteRunChunk(Picture(i)));
    film.frames.push_back(frame);
  }
  Decode(state, film);
}

void BM_FilmDeltaQuarter(benchmark::State& state) {
  std::vector<datagen::FilmPicture> pictures{Picture(0)};
  for (int i = 1; i < kFrames; ++i) pictures.push_back(QuarterChanged(pictures.back(), i));
  Decode(state, datagen::MakeFilm(true, pictures, Palette(), 66));
}

}  // namespace

BENCHMARK(BM_FilmByteRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilmDeltaQuarter)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
