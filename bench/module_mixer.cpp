// The music player: replay, channel mixing and conversion into stream
// bytes, for a 4-channel and a 32-channel module with every channel
// sounding, at 44100 Hz stereo 16-bit and 11025 Hz mono 8-bit; and the
// 4-channel one beside libxmp (nearest-neighbour, 44100 Hz stereo 16-bit).
#include <benchmark/benchmark.h>
#include <time.h>

#include <string>
#include <vector>

#include "bench/benchlib.h"
#include "datagen/benchfiles.h"
#include "datagen/modwrite.h"
#include "platform/audio.h"
#include "system/modstate.h"
#include "system/module.h"
#include "system/sound.h"
#include "system/win/shell.h"

#if ZENTROVA_HAVE_XMP
#include <xmp.h>
#endif

namespace {

namespace audio = plat::audio;

constexpr int kTicksPerIteration = 50;

// Starts the library once, on a temporary drive C: holding the modules.
bool Start() {
  static bench::TempDrive drive;
  static const bool started = [] {
    const std::string root = drive.folder.string();
    if (!datagen::WriteMod(root + "/BUSY4.MOD", datagen::BusySong(4))) return false;
    if (!datagen::WriteMod(root + "/BUSY32.MOD", datagen::BusySong(32))) return false;
    // Sound needs an output and the program's window.
    if (audio::AttachOutput(44100, 2) != audio::kOk || LSYS_CreateWindows(nullptr, 1) != 1) return false;
    LS_InitZidAde(16 << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    LSI_HoldModuleThread(1);
    return true;
  }();
  return started;
}

// The module of the channel count, playing in the format; null when it
// did not load.
MODULE* PlayBusy(uint32_t channels, const SOUNDFORMAT& format) {
  if (!Start()) return nullptr;
  SetSoundFormat(&format);
  LS_CloseModuleSystem();
  LS_InitModuleSystem();
  MODULE* module = LS_LoadModule(channels == 4 ? "BUSY4.MOD" : "BUSY32.MOD", LS_DefaultHeap);
  if (module && !LS_PlayModule(module, 64, 0)) {
    LS_FreeModule(module);
    return nullptr;
  }
  return module;
}

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void BM_ModuleMixer(benchmark::State& state) {
  const uint32_t channels = static_cast<uint32_t>(state.range(0));
  const bool hifi = state.range(1) != 0;
  const SOUNDFORMAT format = hifi ? SOUNDFORMAT{44100, 2, 16} : SOUNDFORMAT{11025, 1, 8};
  MODULE* module = PlayBusy(channels, format);
  if (!module) return state.SkipWithError("the module did not load");
  MODSTATE& s = LSI_ModState;
  std::vector<uint8_t> out(LS_MODSTREAMSIZE);
  double samples = 0;
  for (auto _ : state) {
    for (int t = 0; t < kTicksPerIteration; ++t) {
      LSI_AsmTick(s);
      samples += s.SamplesPerTick;
      LSI_AsmOutputMix(s, out.data(), s.BytesPerTick, nullptr, 0);
    }
    benchmark::DoNotOptimize(out.data());
  }
  // Seconds of music made per second of CPU.
  state.counters["music_s_per_cpu_s"] =
      benchmark::Counter(samples / format.Rate, benchmark::Counter::kIsRate);
  LS_FreeModule(module);
}
BENCHMARK(BM_ModuleMixer)->ArgsProduct({{4, 32}, {1, 0}})->ArgNames({"channels", "hifi"});

// The 4-channel module at 44100 Hz stereo 16-bit, 50 ticks of the player
// then 50 frames of libxmp (the same ticks) an iteration, each on the
// thread's CPU clock: own_us and xmp_us are CPU microseconds per second of
// music, ratio = xmp_us / own_us.
void BM_ModuleMixerBesideLibxmp(benchmark::State& state) {
#if ZENTROVA_HAVE_XMP
  MODULE* module = PlayBusy(4, SOUNDFORMAT{44100, 2, 16});
  if (!module) return state.SkipWithError("the module did not load");
  std::vector<uint8_t> file = datagen::EncodeMod(datagen::BusySong(4));
  xmp_context xmp = xmp_create_context();
  if (xmp_load_module_from_memory(xmp, file.data(), static_cast<long>(file.size())) != 0 ||
      xmp_start_player(xmp, 44100, 0) != 0) {
    xmp_free_context(xmp);
    LS_FreeModule(module);
    return state.SkipWithError("libxmp did not take the module");
  }
  xmp_set_player(xmp, XMP_PLAYER_INTERP, XMP_INTERP_NEAREST);
  MODSTATE& s = LSI_ModState;
  std::vector<uint8_t> out(LS_MODSTREAMSIZE);
  double own = 0, peer = 0, ownSamples = 0, peerSamples = 0;
  xmp_frame_info info{};
  for (auto _ : state) {
    const double t0 = CpuSeconds();
    for (int t = 0; t < kTicksPerIteration; ++t) {
      LSI_AsmTick(s);
      ownSamples += s.SamplesPerTick;
      LSI_AsmOutputMix(s, out.data(), s.BytesPerTick, nullptr, 0);
    }
    benchmark::DoNotOptimize(out.data());
    const double t1 = CpuSeconds();
    for (int t = 0; t < kTicksPerIteration; ++t) {
      xmp_play_frame(xmp);
      xmp_get_frame_info(xmp, &info);
      peerSamples += info.buffer_size / 4;
      benchmark::DoNotOptimize(info.buffer);
    }
    const double t2 = CpuSeconds();
    own += t1 - t0;
    peer += t2 - t1;
  }
  const double ownPerSecond = own / (ownSamples / 44100) * 1e6, peerPerSecond = peer / (peerSamples / 44100) * 1e6;
  state.counters["own_us"] = ownPerSecond;
  state.counters["xmp_us"] = peerPerSecond;
  state.counters["ratio"] = peerPerSecond / ownPerSecond;
  xmp_end_player(xmp);
  xmp_release_module(xmp);
  xmp_free_context(xmp);
  LS_FreeModule(module);
#else
  for (auto _ : state) {
  }
  state.SetLabel("no libxmp in this build: comparison skipped");
#endif
}
BENCHMARK(BM_ModuleMixerBesideLibxmp);

}  // namespace

BENCHMARK_MAIN();
