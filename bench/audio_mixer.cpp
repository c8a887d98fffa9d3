// The sound mixer: 32 looping buffers of mixed formats, each played off its
// own rate at its own volume, rendered in blocks of 1,024 frames at
// 44100 Hz stereo.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "platform/audio.h"

namespace {

namespace audio = plat::audio;

constexpr int kBuffers = 32;
constexpr uint32_t kBlock = 1024;
constexpr uint32_t kOutRate = 44100;

// Fills a buffer with a second of a sine in its own format.
void FillSine(audio::Buffer* b, const audio::PcmFormat& f, double hertz) {
  audio::Region first, second;
  const uint32_t bytes = f.samplesPerSec * f.blockAlign;
  if (audio::Lock(b, 0, bytes, &first, &second) != audio::kOk) return;
  auto* p = static_cast<uint8_t*>(first.data);
  for (uint32_t i = 0; i < f.samplesPerSec; ++i) {
    const double v = 0.3 * std::sin(2.0 * std::numbers::pi * hertz * i / f.samplesPerSec);
    for (uint16_t c = 0; c < f.channels; ++c) {
      if (f.bitsPerSample == 8) {
        *p++ = static_cast<uint8_t>(128 + std::lround(v * 127));
      } else {
        const auto s = static_cast<int16_t>(std::lround(v * 32767));
        std::memcpy(p, &s, 2);
        p += 2;
      }
    }
  }
  audio::Unlock(b, first, second);
}

void SetUpMix() {
  audio::Reset();
  audio::AttachOutput(kOutRate, 2);
  audio::Device* device = nullptr;
  audio::CreateDevice(&device);
  const uint32_t rates[] = {11025, 22050, 32000, 44100};
  for (int i = 0; i < kBuffers; ++i) {
    const uint16_t bits = i % 2 ? 16 : 8;
    const uint16_t channels = (i / 2) % 2 ? 2 : 1;
    const uint32_t rate = rates[i % 4];
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    audio::BufferDesc desc;
    desc.flags = audio::kCtrlFrequency | audio::kCtrlVolume | audio::kStatic;
    desc.bytes = rate * align;
    desc.format = {audio::kFormatPcm, channels, rate, rate * align, align, bits};
    audio::Buffer* b = nullptr;
    if (audio::CreateBuffer(device, desc, &b) != audio::kOk) continue;
    FillSine(b, desc.format, 220.0 + 40 * i);
    audio::SetFrequency(b, static_cast<uint32_t>(rate * (0.8 + 0.0125 * i)));  // off its own rate
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
