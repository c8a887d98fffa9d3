// The music player: replay, channel mixing and conversion into stream
// bytes, for a 4-channel and a 32-channel module with every channel
// sounding, at 44100 Hz stereo 16-bit and 11025 Hz mono 8-bit.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/benchlib.h"
#include "datagen/modwrite.h"
#include "platform/audio.h"
#include "system/modstate.h"
#include "system/module.h"
#include "system/sound.h"
#include "system/win/shell.h"

namespace {

namespace audio = plat::audio;

constexpr int kTicksPerIteration = 50;

// Every channel plays a looping sample from row 0, with a new note every
// four rows and vibrato, arpeggio or a volume slide on the others.
datagen::Module BusySong(uint32_t channels) {
  datagen::Module m;
  m.channels = channels;
  m.tag = channels == 4 ? "M.K." : std::to_string(channels) + "CH";
  for (uint32_t i = 0; i < 8; ++i) {
    datagen::ModSample s;
    const uint32_t period = 32u << (i % 3);
    s.data = i % 3 == 0   ? datagen::SawSample(period, 4)
             : i % 3 == 1 ? datagen::SquareSample(period, 4, 90, -90)
                          : datagen::SineSample(period, 4);
    s.loopLength = static_cast<uint32_t>(s.data.size());
    m.samples.push_back(s);
  }
  m.orders = {0, 1};
  for (uint32_t p = 0; p < 2; ++p)
    for (uint32_t row = 0; row < datagen::kModRows; ++row)
      for (uint32_t ch = 0; ch < channels; ++ch) {
        datagen::ModCell& c = m.At(p, row, ch);
        if ((row + ch) % 4 == 0 || row == 0)
          c = {datagen::ModPeriod(1 + (ch + row / 8) % 3, static_cast<int>((ch * 5 + row) % 12)),
               static_cast<uint8_t>(1 + ch % 8), 0, 0};
        else if (ch % 3 == 0)
          c = {0, 0, 4, 0x46};
        else if (ch % 3 == 1)
          c = {0, 0, 0, 0x37};
        else
          c = {0, 0, 0xA, static_cast<uint8_t>(row % 8 < 4 ? 0x02 : 0x20)};
      }
  return m;
}

// Starts the library once, on a temporary drive C: holding the modules.
bool Start() {
  static bench::TempDrive drive;
  static const bool started = [] {
    const std::string root = drive.folder.string();
    if (!datagen::WriteMod(root + "/BUSY4.MOD", BusySong(4))) return false;
    if (!datagen::WriteMod(root + "/BUSY32.MOD", BusySong(32))) return false;
    // Sound needs an output and the program's window.
    if (audio::AttachOutput(44100, 2) != audio::kOk || LSYS_CreateWindows(nullptr, 1) != 1) return false;
    LS_InitZidAde(16 << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    LSI_HoldModuleThread(1);
    return true;
  }();
  return started;
}

void BM_ModuleMixer(benchmark::State& state) {
  const uint32_t channels = static_cast<uint32_t>(state.range(0));
  const bool hifi = state.range(1) != 0;
  const SOUNDFORMAT format = hifi ? SOUNDFORMAT{44100, 2, 16} : SOUNDFORMAT{11025, 1, 8};
  MODULE* module = nullptr;
  if (Start()) {
    SetSoundFormat(&format);
    LS_CloseModuleSystem();
    LS_InitModuleSystem();
    module = LS_LoadModule(channels == 4 ? "BUSY4.MOD" : "BUSY32.MOD", LS_DefaultHeap);
  }
  if (!module || !LS_PlayModule(module, 64, 0)) return state.SkipWithError("the module did not load");
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

}  // namespace

BENCHMARK_MAIN();
