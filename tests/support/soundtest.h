// Sound test helpers: a memory output for the mixer, rendering, zero
// crossings and levels, and WAVE files written on drive C:.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "datagen/wavwrite.h"
#include "platform/audio.h"
#include "tests/support/testenv.h"

namespace ztest {

constexpr uint32_t kOutRate = 44100;

// Renders frames of the attached output (interleaved).
inline std::vector<int16_t> Render(uint32_t frames) {
  std::vector<int16_t> out(static_cast<size_t>(frames) * std::max<uint16_t>(1, plat::audio::OutputChannels()));
  plat::audio::Render(out.data(), frames);
  return out;
}

// One channel of interleaved samples.
inline std::vector<int16_t> Channel(const std::vector<int16_t>& s, int channel, int channels = 2) {
  std::vector<int16_t> out;
  for (size_t i = static_cast<size_t>(channel); i < s.size(); i += static_cast<size_t>(channels)) out.push_back(s[i]);
  return out;
}

// Sign changes, counted both ways.
inline int ZeroCrossings(const std::vector<int16_t>& s) {
  int count = 0;
  for (size_t i = 1; i < s.size(); ++i)
    if ((s[i - 1] < 0) != (s[i] < 0)) ++count;
  return count;
}

inline int Peak(const std::vector<int16_t>& s) {
  int peak = 0;
  for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
  return peak;
}

// Frames until the last non-zero sample, plus one.
inline size_t AudibleFrames(const std::vector<int16_t>& s, int channels = 2) {
  for (size_t i = s.size(); i > 0; --i)
    if (s[i - 1] != 0) return (i - 1) / static_cast<size_t>(channels) + 1;
  return 0;
}

inline datagen::Wave MakeWave(uint32_t rate, uint16_t channels, uint16_t bits) {
  datagen::Wave w;
  w.rate = rate;
  w.channels = channels;
  w.bits = bits;
  return w;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

// The library started with a 44100 Hz stereo memory output, so that sound
// is on; the stand-in is emptied after each test.
class SoundTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    ASSERT_EQ(plat::audio::AttachOutput(kOutRate, 2), plat::audio::kOk);
  }
  void TearDown() override {
    LibraryTest::TearDown();
    plat::audio::Reset();
  }
  // Writes name (on drive C:) and returns the logical name.
  std::string Put(const std::string& name, const datagen::Wave& wave) {
    WriteBytes(root_ + "/" + name, datagen::EncodeWave(wave));
    return name;
  }
};

}  // namespace ztest
