// The sound mixer: 32 looping buffers of mixed formats, each played off its
// own rate at its own volume, rendered in blocks of 1,024 frames at
// 44100 Hz stereo.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "datagen/wavwrite.h"
#include "platform/audio.h"

namespace {

namespace audio = plat::audio;

constexpr int kBuffers = 32;
constexpr uint32_t kBlock = 1024;

// Buffer i: 8 or 16 bits, mono or stereo, 11025 to 44100 Hz, a second of
// a sine at its own pitch, played 20 % below to 19 % above its rate at 0
// to -2000.
void SetUpMix() {
  audio::Reset();
  audio::AttachOutput(44100, 2);
  audio::Device* device = nullptr;
  audio::CreateDevice(&device);
  const uint32_t rates[] = {11025, 22050, 32000, 44100};
  for (int i = 0; i < kBuffers; ++i) {
    datagen::Wave w;
    w.bits = i % 2 ? 16 : 8;
    w.channels = (i / 2) % 2 ? 2 : 1;
    w.rate = rates[i % 4];
    const std::vector<uint8_t> bytes = datagen::SineSamples(w, 220.0 + 40 * i, w.rate, 0.3);
    const uint16_t align = static_cast<uint16_t>(w.channels * w.bits / 8);
    audio::BufferDesc desc;
    desc.flags = audio::kCtrlFrequency | audio::kCtrlVolume | audio::kStatic;
    desc.bytes = static_cast<uint32_t>(bytes.size());
    desc.format = {audio::kFormatPcm, w.channels, w.rate, w.rate * align, align, w.bits};
    audio::Buffer* b = nullptr;
    audio::Region first, second;
    if (audio::CreateBuffer(device, desc, &b) != audio::kOk) continue;
    if (audio::Lock(b, 0, desc.bytes, &first, &second) == audio::kOk) {
      std::memcpy(first.data, bytes.data(), first.bytes);
      audio::Unlock(b, first, second);
    }
    audio::SetFrequency(b, static_cast<uint32_t>(w.rate * (0.8 + 0.0125 * i)));
    audio::SetVolume(b, -2000 * i / (kBuffers - 1));
    audio::Play(b, true);
  }
}

void BM_Mix32Buffers(benchmark::State& state) {
  SetUpMix();
  std::vector<int16_t> out(kBlock * 2);
  for (auto _ : state) {
    audio::Render(out.data(), kBlock);
    benchmark::DoNotOptimize(out.data());
  }
  // Seconds per output frame, printed with an SI prefix ("66.8n" is 66.8 ns).
  state.counters["per_frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  audio::Reset();
}
BENCHMARK(BM_Mix32Buffers);

}  // namespace

BENCHMARK_MAIN();
