// What the side-by-side benchmarks share: the thread's CPU clock,
// ImageMagick's reader (MagickCore ReadImage then ExportImagePixels, held
// to one thread) when the build found MagickCore, netpbm's converters when
// they are installed, and one benchmark that times the library's reader
// and the peer on the same picture in turn and reports both and the ratio.
#pragma once
#include <benchmark/benchmark.h>
#include <time.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/benchlib.h"
#include "datagen/pcxwrite.h"
#include "datagen/tgawrite.h"
#include "system/picture.h"

#if ZENTROVA_HAVE_MAGICK
#include <magick/MagickCore.h>
#endif

namespace bench {

// Seconds of CPU this thread has used.
inline double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

inline bool WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

// netpbm's input: a binary PPM of an RGB picture, or of indices through
// their palette.
inline bool WritePpm(const std::filesystem::path& path, const datagen::Picture24& p) {
  const std::string head = "P6\n" + std::to_string(p.width) + " " + std::to_string(p.height) + "\n255\n";
  std::vector<uint8_t> bytes(head.begin(), head.end());
  bytes.insert(bytes.end(), p.rgb.begin(), p.rgb.end());
  return WriteBytes(path, bytes);
}
inline datagen::Picture24 Colours(const datagen::Picture8& p) {
  datagen::Picture24 out(p.width, p.height);
  for (size_t i = 0; i < p.pixels.size(); ++i)
    for (size_t k = 0; k < 3; ++k) out.rgb[i * 3 + k] = p.palette[p.pixels[i] * 3u + k];
  return out;
}

// The letter of a scene in the files' names. The names are in capitals,
// as the data tree's are, so that the file layer finds each file at its
// first look: a name in another case costs it a scan of the folder, which
// is no part of a reader's work.
inline char SceneLetter(const std::string& sceneName) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(sceneName[0])));
}

// Runs a netpbm command line (stderr silenced); false when the tool is
// missing or fails, or left no output.
inline bool Netpbm(const std::string& command, const std::filesystem::path& output) {
  const std::string line = command + " > '" + output.string() + "' 2>/dev/null";
  return std::system(line.c_str()) == 0 && std::filesystem::file_size(output) > 0;
}

// ImageMagick's whole read: the file decoded into an image, its pixels
// exported as bytes in `map` order ("BGR", "BGRA"), the image freed.
class Magick {
 public:
  static bool Available() {
#if ZENTROVA_HAVE_MAGICK
    static const bool started = [] {
      MagickCoreGenesis(nullptr, MagickFalse);
      SetMagickResourceLimit(ThreadResource, 1);
      return true;
    }();
    return started;
#else
    return false;
#endif
  }

  static bool Decode([[maybe_unused]] const std::string& path, [[maybe_unused]] const char* map,
                     [[maybe_unused]] std::vector<uint8_t>& pixels) {
#if ZENTROVA_HAVE_MAGICK
    ImageInfo* info = CloneImageInfo(nullptr);
    ExceptionInfo* exception = AcquireExceptionInfo();
    path.copy(info->filename, MaxTextExtent - 1);
    info->filename[std::min<size_t>(path.size(), MaxTextExtent - 1)] = 0;
    Image* image = ReadImage(info, exception);
    bool done = false;
    if (image) {
      pixels.resize(image->columns * image->rows * std::string(map).size());
      done = ExportImagePixels(image, 0, 0, image->columns, image->rows, map, CharPixel, pixels.data(),
                               exception) == MagickTrue;
      DestroyImage(image);
    }
    DestroyExceptionInfo(exception);
    DestroyImageInfo(info);
    return done;
#else
    return false;
#endif
  }
};

// One side-by-side case: the library's reader on a file of drive C:, and
// ImageMagick on the same file (or, for a format it has no reader for, on
// the same pixels in the nearest format it reads).
struct PictureCase {
  std::string name;
  std::string file;      // on drive C:
  std::string peerFile;  // host path
  const char* map;       // ImageMagick's export order
  BMAP* (*reader)(const char*, uintptr_t);
};

// Each iteration loads and frees the picture with the library, then reads
// it with ImageMagick, timing each on the thread's CPU clock. own_ms and
// magick_ms are the mean times, ratio = magick_ms / own_ms.
inline void SideBySide(benchmark::State& state, const PictureCase& c) {
  double own = 0, peer = 0;
  const bool magick = Magick::Available();
  std::vector<uint8_t> pixels;
  for (auto _ : state) {
    const double t0 = CpuSeconds();
    BMAP* b = c.reader(c.file.c_str(), 0);
    if (b) {
      benchmark::DoNotOptimize(b->Start);
      LS_FreeBmap(b);
    }
    const double t1 = CpuSeconds();
    if (!b) return state.SkipWithError(("the library did not read " + c.file).c_str());
    own += t1 - t0;
    if (!magick) continue;
    const bool read = Magick::Decode(c.peerFile, c.map, pixels);
    peer += CpuSeconds() - t1;
    if (!read) return state.SkipWithError(("ImageMagick did not read " + c.peerFile).c_str());
    benchmark::DoNotOptimize(pixels.data());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["own_ms"] = own / n * 1e3;
  if (!magick) return state.SetLabel("no MagickCore in this build: comparison skipped");
  state.counters["magick_ms"] = peer / n * 1e3;
  state.counters["ratio"] = peer / own;
}

// The program's main: the library on a temporary drive C:, the cases'
// files written there by makeCases, one benchmark per case.
inline int RunPictureCases(int argc, char** argv,
                           const std::function<std::vector<PictureCase>(const std::filesystem::path&)>& makeCases) {
  benchmark::Initialize(&argc, argv);
  TempDrive drive;
  Heap heap(32u << 20);
  LSI_InitDirectory();
  if (!Magick::Available())
    std::fprintf(stderr, "MagickCore was not found when the benchmarks were built: only the library is timed\n");
  const std::vector<PictureCase> cases = makeCases(drive.folder);
  for (const PictureCase& c : cases)
    benchmark::RegisterBenchmark(c.name.c_str(), [c](benchmark::State& state) { SideBySide(state, c); })
        ->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
