// Sound output stand-in: the mixer that sums every playing buffer into the
// output, and the system beep's tone.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/audio.h"
#include "platform/audio_state.h"

namespace plat::audio {
namespace {

// Frames mixed per pass of Render, so that the accumulator lives on the
// stack and the audio thread never allocates.
constexpr uint32_t kChunkFrames = 256;

// The beep: a 880 Hz tone of 120 ms, faded in and out over 5 ms.
constexpr uint32_t kBeepRate = 22050;
constexpr uint32_t kBeepFrames = kBeepRate * 120 / 1000;
constexpr uint32_t kBeepFade = kBeepRate * 5 / 1000;
constexpr double kBeepHertz = 880.0;
constexpr double kBeepLevel = 12000.0;

// One sample of the buffer as signed 16-bit; 8-bit data is centred on 128.
template <int Bits>
inline int32_t SampleAt(const uint8_t* p) {
  if constexpr (Bits == 8) {
    return (static_cast<int32_t>(p[0]) - 128) * 256;
  } else {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
  }
}

inline int32_t Lerp(int32_t a, int32_t b, uint32_t frac16) {
  return a + static_cast<int32_t>((static_cast<int64_t>(b - a) * frac16) >> 16);
}

inline int32_t Scale(int32_t sample, int32_t gain) {
  return static_cast<int32_t>((static_cast<int64_t>(sample) * gain) >> 16);
}

// The mixing loop for one source layout (bits, channels) and one output
// layout; returns early when a one-shot ends.
template <int Bits, int Channels, int OutChannels>
void MixLoop(Buffer& b, int32_t* acc, uint32_t frames, uint64_t step) {
  constexpr uint32_t kBytes = Bits / 8;
  constexpr uint32_t kFrameBytes = kBytes * Channels;
  const uint8_t* data = b.data.data();
  const uint64_t end = static_cast<uint64_t>(b.frames) << 32;
  const int32_t gain = b.gain;
  for (uint32_t i = 0; i < frames; ++i) {
    const uint32_t frame = static_cast<uint32_t>(b.position >> 32);
    const uint32_t frac = static_cast<uint32_t>(b.position >> 16) & 0xFFFF;
    const uint32_t next = frame + 1 < b.frames ? frame + 1 : (b.looping ? 0 : frame);
    const uint8_t* p0 = data + frame * kFrameBytes;
    const uint8_t* p1 = data + next * kFrameBytes;
    const int32_t left = Scale(Lerp(SampleAt<Bits>(p0), SampleAt<Bits>(p1), frac), gain);
    int32_t right = left;
    if constexpr (Channels == 2)
      right = Scale(Lerp(SampleAt<Bits>(p0 + kBytes), SampleAt<Bits>(p1 + kBytes), frac), gain);
    if constexpr (OutChannels == 2) {
      acc[2 * i] += left;
      acc[2 * i + 1] += right;
    } else {
      acc[i] += Channels == 2 ? (left + right) / 2 : left;
    }
    b.position += step;
    if (b.position >= end) {
      if (!b.looping) {
        b.playing = false;
        b.position = 0;
        return;
      }
      b.position %= end;
    }
  }
}

template <int Bits, int Channels>
void MixLayout(Buffer& b, int32_t* acc, uint32_t frames, uint64_t step, uint16_t out) {
  if (out == 2)
    MixLoop<Bits, Channels, 2>(b, acc, frames, step);
  else
    MixLoop<Bits, Channels, 1>(b, acc, frames, step);
}

void MakeBeep(State& s) {
  Buffer* b = new Buffer;
  b->flags = kStatic | kLocSoftware;
  b->format = {kFormatPcm, 1, kBeepRate, kBeepRate * 2, 2, 16};
  b->data.resize(kBeepFrames * 2);
  for (uint32_t i = 0; i < kBeepFrames; ++i) {
    const uint32_t edge = std::min(i, kBeepFrames - 1 - i);
    const double fade = edge < kBeepFade ? static_cast<double>(edge) / kBeepFade : 1.0;
    const double value = kBeepLevel * fade * std::sin(2.0 * std::numbers::pi * kBeepHertz * i / kBeepRate);
    const int16_t sample = static_cast<int16_t>(std::lround(value));
    b->data[2 * i] = static_cast<uint8_t>(sample & 0xFF);
    b->data[2 * i + 1] = static_cast<uint8_t>((sample >> 8) & 0xFF);
  }
  b->frames = kBeepFrames;
  b->frequency = kBeepRate;
  s.beep = b;
  s.mixed.push_back(b);
}

}  // namespace

void MixInto(Buffer& b, int32_t* acc, uint32_t frames, uint32_t rate, uint16_t channels) {
  if (!b.playing || b.frames == 0 || rate == 0) return;
  const uint64_t step = (static_cast<uint64_t>(b.frequency) << 32) / rate;
  const bool stereo = b.format.channels == 2;
  if (b.format.bitsPerSample == 8) {
    if (stereo) MixLayout<8, 2>(b, acc, frames, step, channels);
    else MixLayout<8, 1>(b, acc, frames, step, channels);
  } else {
    if (stereo) MixLayout<16, 2>(b, acc, frames, step, channels);
    else MixLayout<16, 1>(b, acc, frames, step, channels);
  }
  if (!b.playing && b.endHook) b.endHook(b.endContext);
}

void Render(int16_t* out, uint32_t frames) {
  if (!out) return;
  State& s = TheState();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!s.attached) return;
  const uint16_t channels = s.channels;
  int32_t acc[kChunkFrames * 2];
  for (uint32_t done = 0; done < frames;) {
    const uint32_t n = std::min(kChunkFrames, frames - done);
    std::memset(acc, 0, sizeof(int32_t) * n * channels);
    for (Buffer* b : s.mixed) MixInto(*b, acc, n, s.rate, channels);
    int16_t* to = out + static_cast<size_t>(done) * channels;
    for (uint32_t i = 0; i < n * channels; ++i)
      to[i] = static_cast<int16_t>(std::clamp<int32_t>(acc[i], -32768, 32767));
    done += n;
  }
}

void PlayBeep() {
  State& s = TheState();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!s.attached) return;
  if (!s.beep) MakeBeep(s);
  s.beep->position = 0;
  s.beep->looping = false;
  s.beep->playing = true;
}

}  // namespace plat::audio
