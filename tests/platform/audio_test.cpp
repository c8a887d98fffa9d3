// The sound output stand-in: device, buffers, result codes and the mixer.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "datagen/wavwrite.h"
#include "platform/audio.h"
#include "tests/support/soundtest.h"

namespace {

namespace audio = plat::audio;
using ztest::Channel;
using ztest::Render;

constexpr uint32_t kAllControls = audio::kCtrlFrequency | audio::kCtrlVolume | audio::kCtrlPan | audio::kStatic;

audio::PcmFormat Pcm(uint32_t rate, uint16_t channels, uint16_t bits) {
  const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
  return {audio::kFormatPcm, channels, rate, rate * align, align, bits};
}

class AudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(audio::AttachOutput(ztest::kOutRate, 2), audio::kOk);
    ASSERT_EQ(audio::CreateDevice(&device_), audio::kOk);
  }
  void TearDown() override { audio::Reset(); }

  // A buffer holding the bytes, made with every control.
  audio::Buffer* Make(const audio::PcmFormat& format, const std::vector<uint8_t>& bytes,
                      uint32_t flags = kAllControls) {
    audio::BufferDesc desc;
    desc.flags = flags;
    desc.bytes = static_cast<uint32_t>(bytes.size());
    desc.format = format;
    audio::Buffer* b = nullptr;
    EXPECT_EQ(audio::CreateBuffer(device_, desc, &b), audio::kOk);
    if (!b) return nullptr;
    audio::Region first, second;
    EXPECT_EQ(audio::Lock(b, 0, desc.bytes, &first, &second), audio::kOk);
    std::memcpy(first.data, bytes.data(), first.bytes);
    EXPECT_EQ(audio::Unlock(b, first, second), audio::kOk);
    return b;
  }
  audio::Buffer* Constant(uint32_t rate, uint16_t channels, uint16_t bits, int32_t value, uint32_t frames) {
    const datagen::Wave w = ztest::MakeWave(rate, channels, bits);
    return Make(Pcm(rate, channels, bits), datagen::ConstantSamples(w, value, frames));
  }
  audio::Buffer* Sine(uint32_t rate, double hertz, uint32_t frames, double peak = 0.5) {
    const datagen::Wave w = ztest::MakeWave(rate, 1, 16);
    return Make(Pcm(rate, 1, 16), datagen::SineSamples(w, hertz, frames, peak));
  }
  static uint32_t PlayCursor(audio::Buffer* b) {
    uint32_t play = 0, write = 0;
    EXPECT_EQ(audio::GetPosition(b, &play, &write), audio::kOk);
    return play;
  }

  audio::Device* device_ = nullptr;
};

TEST_F(AudioTest, NoDeviceWithoutAnOutput) {
  audio::Reset();
  audio::Device* d = nullptr;
  EXPECT_EQ(audio::CreateDevice(&d), audio::kNoDevice);
  EXPECT_EQ(d, nullptr);
  EXPECT_EQ(audio::AttachOutput(7999, 2), audio::kInvalidParam);
  EXPECT_EQ(audio::AttachOutput(44100, 3), audio::kInvalidParam);
  EXPECT_FALSE(audio::OutputAttached());
  ASSERT_EQ(audio::AttachOutput(48000, 1), audio::kOk);
  EXPECT_EQ(audio::CreateDevice(&d), audio::kOk);
  EXPECT_EQ(audio::SetCooperativeLevel(d, nullptr, audio::kCoopPriority), audio::kOk);
  EXPECT_EQ(audio::OutputRate(), 48000u);
  EXPECT_EQ(audio::OutputChannels(), 1);
}

TEST_F(AudioTest, BuffersAcceptOnlyPlainPcm) {
  struct Case {
    audio::PcmFormat format;
    uint32_t bytes;
    audio::Result expected;
  } cases[] = {
      {Pcm(11025, 1, 8), 1, audio::kOk},
      {Pcm(100, 2, 16), 4, audio::kOk},
      {Pcm(100000, 2, 8), 64, audio::kOk},
      {Pcm(22050, 2, 16), 3, audio::kInvalidParam},  // less than a frame
      {Pcm(99, 1, 8), 16, audio::kInvalidParam},
      {Pcm(100001, 1, 8), 16, audio::kInvalidParam},
      {Pcm(22050, 3, 8), 16, audio::kInvalidParam},
      {Pcm(22050, 0, 8), 16, audio::kInvalidParam},
      {Pcm(22050, 1, 12), 16, audio::kInvalidParam},
      {Pcm(22050, 1, 24), 16, audio::kInvalidParam},
      {Pcm(22050, 1, 32), 16, audio::kInvalidParam},
      {{3, 1, 22050, 88200, 4, 32}, 16, audio::kInvalidParam},  // float
      {{1, 2, 22050, 88200, 2, 16}, 16, audio::kInvalidParam},  // wrong block align
  };
  for (const Case& c : cases) {
    audio::BufferDesc desc;
    desc.flags = kAllControls;
    desc.bytes = c.bytes;
    desc.format = c.format;
    audio::Buffer* b = nullptr;
    EXPECT_EQ(audio::CreateBuffer(device_, desc, &b), c.expected)
        << c.format.samplesPerSec << " Hz " << c.format.channels << " ch " << c.format.bitsPerSample << " bits";
    EXPECT_EQ(b != nullptr, c.expected == audio::kOk);
  }
  audio::Buffer* b = Constant(22050, 1, 16, 0, 10);
  uint32_t flags = 0, bytes = 0;
  EXPECT_EQ(audio::GetCaps(b, &flags, &bytes), audio::kOk);
  EXPECT_TRUE(flags & audio::kLocSoftware);
  EXPECT_FALSE(flags & audio::kLocHardware);
  EXPECT_EQ(bytes, 20u);
}

TEST_F(AudioTest, OutOfRangeArgumentsChangeNothing) {
  audio::Buffer* b = Constant(22050, 2, 16, 1000, 100);  // 400 bytes
  audio::Region first, second;
  EXPECT_EQ(audio::Lock(b, 400, 1, &first, &second), audio::kInvalidParam);
  EXPECT_EQ(audio::Lock(b, 500, 1, &first, &second), audio::kInvalidParam);
  EXPECT_EQ(audio::Lock(b, 0, 0, &first, &second), audio::kInvalidParam);
  EXPECT_EQ(audio::Lock(b, 0, 401, &first, &second), audio::kInvalidParam);
  EXPECT_EQ(audio::Unlock(b, {first.data, 1000}, {}), audio::kInvalidParam);

  ASSERT_EQ(audio::SetPosition(b, 40), audio::kOk);
  EXPECT_EQ(audio::SetPosition(b, 400), audio::kInvalidParam);
  EXPECT_EQ(PlayCursor(b), 40u);
  ASSERT_EQ(audio::SetPosition(b, 7), audio::kOk);  // rounded down to a frame
  EXPECT_EQ(PlayCursor(b), 4u);

  ASSERT_EQ(audio::SetVolume(b, -600), audio::kOk);
  ASSERT_EQ(audio::SetFrequency(b, 11025), audio::kOk);
  EXPECT_EQ(audio::SetVolume(b, -10001), audio::kInvalidParam);
  EXPECT_EQ(audio::SetVolume(b, 1), audio::kInvalidParam);
  EXPECT_EQ(audio::SetFrequency(b, 99), audio::kInvalidParam);
  EXPECT_EQ(audio::SetFrequency(b, 100001), audio::kInvalidParam);
  // Still at -600 and 11025 Hz: 1000 x 10^(-0.3) at half speed.
  ASSERT_EQ(audio::SetPosition(b, 0), audio::kOk);
  ASSERT_EQ(audio::Play(b, true), audio::kOk);
  const auto out = Render(200);
  EXPECT_NEAR(out[0], 501, 1);
  EXPECT_EQ(PlayCursor(b), 50u * 4);  // 200 frames at a quarter of the rate
}

TEST_F(AudioTest, ControlsMustBeAskedFor) {
  const datagen::Wave w = ztest::MakeWave(22050, 1, 8);
  audio::Buffer* b = Make(Pcm(22050, 1, 8), datagen::ConstantSamples(w, 0x80, 10), audio::kStatic);
  EXPECT_EQ(audio::SetVolume(b, -100), audio::kControlUnavailable);
  EXPECT_EQ(audio::SetFrequency(b, 11025), audio::kControlUnavailable);
}

TEST_F(AudioTest, PrimaryBufferKeepsTheLastFormatAndNeverImposesIt) {
  audio::BufferDesc desc;
  desc.flags = audio::kPrimary;
  audio::Buffer* primary = nullptr;
  ASSERT_EQ(audio::CreateBuffer(device_, desc, &primary), audio::kOk);
  EXPECT_EQ(audio::Play(primary, true), audio::kOk);
  uint32_t status = 0;
  EXPECT_EQ(audio::GetStatus(primary, &status), audio::kOk);
  EXPECT_EQ(status, audio::kStatusPlaying | audio::kStatusLooping);
  audio::PcmFormat f{};
  ASSERT_EQ(audio::GetFormat(primary, &f), audio::kOk);
  EXPECT_EQ(f.samplesPerSec, 22050u);
  ASSERT_EQ(audio::SetFormat(primary, Pcm(11025, 1, 8)), audio::kOk);
  EXPECT_EQ(audio::SetFormat(primary, Pcm(11025, 1, 12)), audio::kInvalidParam);
  ASSERT_EQ(audio::GetFormat(primary, &f), audio::kOk);
  EXPECT_EQ(f.samplesPerSec, 11025u);
  EXPECT_EQ(f.channels, 1);
  EXPECT_EQ(f.bitsPerSample, 8);
  audio::Region r;
  EXPECT_EQ(audio::Lock(primary, 0, 4, &r, nullptr), audio::kFailed);
  EXPECT_EQ(audio::OutputRate(), ztest::kOutRate);
  EXPECT_EQ(audio::OutputChannels(), 2);

  audio::Buffer* b = Constant(22050, 1, 16, 100, 10);
  EXPECT_EQ(audio::SetFormat(b, Pcm(11025, 1, 8)), audio::kFailed);
}

TEST_F(AudioTest, VolumeScalesByTenToTheVolumeOverTwoThousand) {
  audio::Buffer* b = Constant(44100, 1, 16, 16384, 4410);
  ASSERT_EQ(audio::Play(b, true), audio::kOk);
  auto out = Render(100);
  for (int16_t v : out) ASSERT_NEAR(v, 16384, 1);
  ASSERT_EQ(audio::SetVolume(b, -600), audio::kOk);
  out = Render(100);
  for (int16_t v : out) ASSERT_NEAR(v, 8211, 1);
  ASSERT_EQ(audio::SetVolume(b, -10000), audio::kOk);
  out = Render(100);
  for (int16_t v : out) ASSERT_LE(std::abs(v), 1);
}

TEST_F(AudioTest, EightBitSamplesAreCentredOn128) {
  audio::Buffer* mid = Constant(11025, 1, 8, 0x80, 1000);
  ASSERT_EQ(audio::Play(mid, true), audio::kOk);
  for (int16_t v : Render(200)) ASSERT_EQ(v, 0);
  audio::Buffer* high = Constant(11025, 1, 8, 0xC0, 1000);
  ASSERT_EQ(audio::Play(high, true), audio::kOk);
  for (int16_t v : Render(200)) ASSERT_EQ(v, 16384);
}

TEST_F(AudioTest, StereoKeepsItsSidesAndMonoFeedsBoth) {
  const datagen::Wave w = ztest::MakeWave(44100, 2, 16);
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 100; ++i) {
    for (int16_t v : {int16_t(1000), int16_t(-2000)}) {
      bytes.push_back(static_cast<uint8_t>(v & 0xFF));
      bytes.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
  }
  audio::Buffer* b = Make(Pcm(44100, 2, 16), bytes);
  audio::Buffer* mono = Constant(44100, 1, 16, 300, 100);
  ASSERT_EQ(audio::Play(b, true), audio::kOk);
  ASSERT_EQ(audio::Play(mono, true), audio::kOk);
  const auto out = Render(50);
  for (size_t i = 0; i < out.size(); i += 2) {
    ASSERT_EQ(out[i], 1300);
    ASSERT_EQ(out[i + 1], -1700);
  }
}

TEST_F(AudioTest, LoudSumsClampAndNeverWrap) {
  for (int i = 0; i < 3; ++i) ASSERT_EQ(audio::Play(Constant(44100, 1, 16, 30000, 100), true), audio::kOk);
  for (int16_t v : Render(50)) ASSERT_EQ(v, 32767);
  audio::Reset();
  ASSERT_EQ(audio::AttachOutput(ztest::kOutRate, 2), audio::kOk);
  ASSERT_EQ(audio::CreateDevice(&device_), audio::kOk);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(audio::Play(Constant(44100, 1, 8, 0x00, 100), true), audio::kOk);
  for (int16_t v : Render(50)) ASSERT_EQ(v, -32768);
}

TEST_F(AudioTest, FrequencyResamplesTheSound) {
  audio::Buffer* b = Sine(22050, 1000.0, 22050);
  ASSERT_EQ(audio::Play(b, true), audio::kOk);
  EXPECT_NEAR(ztest::ZeroCrossings(Channel(Render(22050), 0)), 1000, 2);
  ASSERT_EQ(audio::SetFrequency(b, 11025), audio::kOk);
  EXPECT_NEAR(ztest::ZeroCrossings(Channel(Render(22050), 0)), 500, 2);
  ASSERT_EQ(audio::SetFrequency(b, audio::kFrequencyOriginal), audio::kOk);
  EXPECT_NEAR(ztest::ZeroCrossings(Channel(Render(22050), 0)), 1000, 2);
}

TEST_F(AudioTest, OneShotLastsItsLengthThenRewinds) {
  struct Case {
    uint32_t frames, rate;
  } cases[] = {{1000, 11025}, {1000, 8000}, {2205, 22050}, {500, 48000}, {333, 44100}, {100, 100000}};
  for (const Case& c : cases) {
    audio::Buffer* b = Constant(c.rate, 1, 16, 5000, c.frames);
    ASSERT_EQ(audio::Play(b, false), audio::kOk);
    const auto out = Render(c.frames * 44100 / c.rate + 100);
    const double expected = static_cast<double>(c.frames) * 44100 / c.rate;
    EXPECT_NEAR(static_cast<double>(ztest::AudibleFrames(out)), expected, 2) << c.frames << " at " << c.rate;
    uint32_t status = 99;
    ASSERT_EQ(audio::GetStatus(b, &status), audio::kOk);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(PlayCursor(b), 0u);
    ASSERT_EQ(audio::Release(b), audio::kOk);
  }
}

TEST_F(AudioTest, LoopRepeatsWithItsOwnPeriod) {
  // A ramp of 441 frames at 44100 Hz: the output repeats every 441 frames.
  const datagen::Wave w = ztest::MakeWave(44100, 1, 16);
  std::vector<uint8_t> bytes;
  for (int i = 0; i < 441; ++i) {
    const int16_t v = static_cast<int16_t>(i * 50 - 11000);
    bytes.push_back(static_cast<uint8_t>(v & 0xFF));
    bytes.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
  }
  audio::Buffer* b = Make(Pcm(44100, 1, 16), bytes);
  ASSERT_EQ(audio::Play(b, true), audio::kOk);
  const auto left = Channel(Render(441 * 5), 0);
  for (size_t i = 441; i < left.size(); ++i) ASSERT_EQ(left[i], left[i - 441]) << i;
  uint32_t status = 0;
  ASSERT_EQ(audio::GetStatus(b, &status), audio::kOk);
  EXPECT_EQ(status, audio::kStatusPlaying | audio::kStatusLooping);
}

TEST_F(AudioTest, StopKeepsThePositionAndSilences) {
  audio::Buffer* b = Constant(44100, 2, 16, 7000, 1000);
  ASSERT_EQ(audio::Play(b, false), audio::kOk);
  Render(300);
  ASSERT_EQ(audio::Stop(b), audio::kOk);
  for (int16_t v : Render(300)) ASSERT_EQ(v, 0);
  EXPECT_EQ(PlayCursor(b), 300u * 4);
  ASSERT_EQ(audio::Play(b, false), audio::kOk);  // resumes where it stopped
  EXPECT_EQ(ztest::AudibleFrames(Render(1000)), 700u);
}

TEST_F(AudioTest, PlayCursorAdvancesWithTheFramesConsumed) {
  audio::Buffer* once = Constant(44100, 2, 16, 0, 10000);  // block align 4
  audio::Buffer* loop = Constant(44100, 1, 8, 0x80, 1000);  // block align 1
  ASSERT_EQ(audio::Play(once, false), audio::kOk);
  ASSERT_EQ(audio::Play(loop, true), audio::kOk);
  uint32_t total = 0;
  for (uint32_t k : {1u, 37u, 512u, 2000u}) {
    Render(k);
    total += k;
    EXPECT_EQ(PlayCursor(once), total * 4);
    EXPECT_EQ(PlayCursor(loop), total % 1000);
  }
}

TEST_F(AudioTest, LockAcrossTheWrapGivesTwoRegionsThatPlayInOrder) {
  const datagen::Wave w = ztest::MakeWave(44100, 1, 16);
  audio::Buffer* b = Make(Pcm(44100, 1, 16), datagen::ConstantSamples(w, 0, 100));  // 200 bytes
  audio::Region first, second;
  ASSERT_EQ(audio::Lock(b, 160, 80, &first, &second), audio::kOk);
  EXPECT_EQ(first.bytes, 40u);
  EXPECT_EQ(second.bytes, 40u);
  // Frames 80..99 then 0..19 get the values 1..40.
  int16_t value = 1;
  for (audio::Region* r : {&first, &second})
    for (uint32_t i = 0; i < r->bytes; i += 2, ++value) std::memcpy(static_cast<uint8_t*>(r->data) + i, &value, 2);
  ASSERT_EQ(audio::Unlock(b, first, second), audio::kOk);
  ASSERT_EQ(audio::SetPosition(b, 160), audio::kOk);
  ASSERT_EQ(audio::Play(b, true), audio::kOk);
  const auto left = Channel(Render(40), 0);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(left[static_cast<size_t>(i)], i + 1);
  EXPECT_EQ(audio::Lock(b, 160, 80, &first, nullptr), audio::kInvalidParam);  // no room for the second part
}

TEST_F(AudioTest, CallsAreCounted) {
  audio::Buffer* b = Constant(22050, 1, 16, 0, 10);
  const audio::CallCounts before = audio::Calls(b);
  EXPECT_EQ(before.lock, 1u);
  EXPECT_EQ(before.unlock, 1u);
  audio::SetVolume(b, -100);
  audio::SetFrequency(b, 11025);
  audio::Play(b, true);
  uint32_t s;
  audio::GetStatus(b, &s);
  const audio::CallCounts after = audio::Calls(b);
  EXPECT_EQ(after.total, before.total + 4);
  EXPECT_EQ(after.volume, 1u);
  EXPECT_EQ(after.frequency, 1u);
  EXPECT_EQ(after.play, 1u);
  EXPECT_EQ(after.status, 1u);
}

TEST_F(AudioTest, ReleasingTheDeviceReleasesItsBuffers) {
  Constant(22050, 1, 16, 3000, 1000);
  audio::Buffer* b = Constant(22050, 1, 16, 3000, 1000);
  ASSERT_EQ(audio::Play(b, true), audio::kOk);
  audio::ReleaseDevice(device_);
  device_ = nullptr;
  for (int16_t v : Render(100)) ASSERT_EQ(v, 0);
}

TEST_F(AudioTest, BeepIsAShortTone) {
  audio::PlayBeep();
  const auto out = Render(44100 / 2);
  EXPECT_GT(ztest::Peak(out), 5000);
  EXPECT_NEAR(static_cast<double>(ztest::AudibleFrames(out)), 44100 * 0.12, 5);
  EXPECT_NEAR(ztest::ZeroCrossings(Channel(out, 0)), 2 * 880 * 0.12, 6);
}

TEST_F(AudioTest, NothingIsWrittenWithoutAnOutput) {
  audio::DetachOutput();
  std::vector<int16_t> out(100, 1234);
  audio::Render(out.data(), 50);
  for (int16_t v : out) ASSERT_EQ(v, 1234);
}

// A second thread renders, as the audio back end's thread does, while this
// one plays, stops and sets volumes.
TEST_F(AudioTest, RendersWhileAnotherThreadCalls) {
  std::vector<audio::Buffer*> buffers;
  for (int i = 0; i < 8; ++i) buffers.push_back(Sine(11025 + 4410 * i, 440.0 + 50 * i, 2000));
  std::atomic<bool> done{false};
  std::atomic<int> renders{0};
  std::thread renderer([&] {
    std::vector<int16_t> out(512 * 2);
    while (!done.load() && renders.load() < 100000) {
      audio::Render(out.data(), 512);
      renders.fetch_add(1);
    }
  });
  // Goes on until both sides have done their share (bounded).
  for (int step = 0; step < 20000 || (renders.load() < 200 && step < 20000000); ++step) {
    audio::Buffer* b = buffers[static_cast<size_t>(step) % buffers.size()];
    switch (step % 5) {
      case 0: audio::Play(b, step % 2 == 0); break;
      case 1: audio::SetVolume(b, -(step % 10000)); break;
      case 2: audio::SetFrequency(b, 100 + static_cast<uint32_t>(step * 7) % 99900); break;
      case 3: audio::Stop(b); break;
      default: audio::SetPosition(b, static_cast<uint32_t>(step) % 4000); break;
    }
  }
  done.store(true);
  renderer.join();
  EXPECT_GE(renders.load(), 200);
}

}  // namespace

namespace {

std::atomic<int> g_ends{0};
void CountEnd(void* context) {
  ++g_ends;
  *static_cast<int*>(context) += 1;
}

TEST_F(AudioTest, EndHookRunsOnceWhenAOneShotEnds) {
  int mine = 0;
  g_ends = 0;
  audio::Buffer* once = Constant(44100, 1, 16, 1000, 100);
  audio::Buffer* loop = Constant(44100, 1, 16, 1000, 100);
  audio::Buffer* stopped = Constant(44100, 1, 16, 1000, 100);
  for (audio::Buffer* b : {once, loop, stopped}) ASSERT_EQ(audio::SetEndHook(b, CountEnd, &mine), audio::kOk);
  EXPECT_EQ(audio::SetEndHook(nullptr, CountEnd, &mine), audio::kInvalidParam);
  audio::Play(once, false);
  audio::Play(loop, true);
  audio::Play(stopped, false);
  Render(50);
  audio::Stop(stopped);
  Render(49);
  EXPECT_EQ(g_ends, 0);
  Render(1);
  EXPECT_EQ(g_ends, 1);
  EXPECT_EQ(mine, 1);
  Render(1000);  // the looping buffer plays on and never ends
  EXPECT_EQ(g_ends, 1);
  audio::Play(once, false);
  audio::Release(once);  // a released buffer never calls back
  Render(1000);
  EXPECT_EQ(g_ends, 1);
}

}  // namespace
