// The sound output stand-in: device, buffers, result codes and the mixer.
// The mixer's volume scale, resampling, the beep, call counts and the
// primary format that the output never takes are shown through the library
// (tests/system/sound_test.cpp), rendering on another thread with the SDL
// back end (tests/sdl/sdl_audio_test.cpp).
#include "platform/audio.h"

#include <gtest/gtest.h>

#include <cstring>

#include "datagen/wavwrite.h"
#include "tests/support/soundtest.h"

namespace {

namespace audio = plat::audio;
using ztest::Channel;
using ztest::Render;

constexpr uint32_t kAllControls =
    audio::kCtrlFrequency | audio::kCtrlVolume | audio::kCtrlPan | audio::kStatic;

audio::PcmFormat Pcm(uint32_t rate, uint16_t channels, uint16_t bits) {
  const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
  return {audio::kFormatPcm, channels, rate, rate * align, align, bits};
}

// 16-bit little-endian bytes of the values.
std::vector<uint8_t> Bytes16(const std::vector<int16_t>& values) {
  std::vector<uint8_t> bytes(values.size() * 2);
  std::memcpy(bytes.data(), values.data(), bytes.size());
  return bytes;
}

class AudioTest : public ::testing::Test {
 protected:
  void SetUp() override { StartOutput(); }
  void TearDown() override { audio::Reset(); }
  void StartOutput() {
    ASSERT_EQ(audio::AttachOutput(ztest::kOutRate, 2), audio::kOk);
    ASSERT_EQ(audio::CreateDevice(&device_), audio::kOk);
  }

  // A buffer holding the bytes, made with every control unless told.
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
    EXPECT_EQ(audio::SetEndHook(
                  b, [](void* ends) { ++*static_cast<int*>(ends); }, &ends_),
              audio::kOk);
    return b;
  }
  audio::Buffer* Constant(uint32_t rate, uint16_t channels, uint16_t bits, int32_t value, uint32_t frames,
                          uint32_t flags = kAllControls) {
    const datagen::Wave w = ztest::MakeWave(rate, channels, bits);
    return Make(Pcm(rate, channels, bits), datagen::ConstantSamples(w, value, frames), flags);
  }
  static uint32_t PlayCursor(audio::Buffer* b) {
    uint32_t play = 0, write = 0;
    EXPECT_EQ(audio::GetPosition(b, &play, &write), audio::kOk);
    return play;
  }
  static uint32_t Status(audio::Buffer* b) {
    uint32_t status = 99;
    EXPECT_EQ(audio::GetStatus(b, &status), audio::kOk);
    return status;
  }

  audio::Device* device_ = nullptr;
  int ends_ = 0;  // one-shot ends, counted by every buffer's end hook
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
  // Without an output nothing is written.
  audio::DetachOutput();
  std::vector<int16_t> out(100, 1234);
  audio::Render(out.data(), 50);
  EXPECT_EQ(out, std::vector<int16_t>(100, 1234));
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
      {{3, 1, 22050, 88200, 4, 32}, 16, audio::kInvalidParam},  // float
      {{1, 2, 22050, 88200, 2, 16}, 16, audio::kInvalidParam},  // wrong block align
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.format.samplesPerSec << " Hz " << c.format.channels << " ch "
                                    << c.format.bitsPerSample << " bits");
    audio::BufferDesc desc;
    desc.flags = kAllControls;
    desc.bytes = c.bytes;
    desc.format = c.format;
    audio::Buffer* b = nullptr;
    EXPECT_EQ(audio::CreateBuffer(device_, desc, &b), c.expected);
    EXPECT_EQ(b != nullptr, c.expected == audio::kOk);
  }
  audio::Buffer* b = Constant(22050, 1, 16, 0, 10);
  uint32_t flags = 0, bytes = 0;
  EXPECT_EQ(audio::GetCaps(b, &flags, &bytes), audio::kOk);
  EXPECT_EQ(flags & (audio::kLocSoftware | audio::kLocHardware), audio::kLocSoftware);
  EXPECT_EQ(bytes, 20u);
  // Controls must be asked for.
  audio::Buffer* plain = Constant(22050, 1, 8, 0x80, 10, audio::kStatic);
  EXPECT_EQ(audio::SetVolume(plain, -100), audio::kControlUnavailable);
  EXPECT_EQ(audio::SetFrequency(plain, 11025), audio::kControlUnavailable);
  EXPECT_EQ(audio::SetEndHook(
                nullptr, [](void*) {}, nullptr),
            audio::kInvalidParam);
}

TEST_F(AudioTest, OutOfRangeArgumentsChangeNothing) {
  audio::Buffer* b = Constant(22050, 2, 16, 1000, 100);  // 400 bytes
  audio::Region first, second;
  for (const auto& [offset, bytes] : {std::pair{400u, 1u}, {500u, 1u}, {0u, 0u}, {0u, 401u}})
    EXPECT_EQ(audio::Lock(b, offset, bytes, &first, &second), audio::kInvalidParam) << offset << "+" << bytes;
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
  EXPECT_NEAR(Render(200)[0], 501, 1);
  EXPECT_EQ(PlayCursor(b), 50u * 4);  // 200 frames at a quarter of the rate
  // Frequency 0 is the format's own again.
  ASSERT_EQ(audio::SetFrequency(b, audio::kFrequencyOriginal), audio::kOk);
  Render(50);
  EXPECT_EQ(PlayCursor(b), 50u * 4 + 25 * 4);
}

TEST_F(AudioTest, PrimaryBufferKeepsTheLastFormatAndNeverImposesIt) {
  audio::BufferDesc desc;
  desc.flags = audio::kPrimary;
  audio::Buffer* primary = nullptr;
  ASSERT_EQ(audio::CreateBuffer(device_, desc, &primary), audio::kOk);
  EXPECT_EQ(audio::Play(primary, true), audio::kOk);
  EXPECT_EQ(Status(primary), audio::kStatusPlaying | audio::kStatusLooping);
  ASSERT_EQ(audio::SetFormat(primary, Pcm(11025, 1, 8)), audio::kOk);
  EXPECT_EQ(audio::SetFormat(primary, Pcm(11025, 1, 12)), audio::kInvalidParam);
  audio::PcmFormat f{};
  ASSERT_EQ(audio::GetFormat(primary, &f), audio::kOk);
  EXPECT_EQ(std::tuple(f.samplesPerSec, f.channels, f.bitsPerSample), std::tuple(11025u, 1, 8));
  audio::Region r;
  EXPECT_EQ(audio::Lock(primary, 0, 4, &r, nullptr), audio::kFailed);
  EXPECT_EQ(audio::SetFormat(Constant(22050, 1, 16, 100, 10), Pcm(11025, 1, 8)), audio::kFailed);
}

TEST_F(AudioTest, EightBitCentresOn128MonoFeedsBothSidesAndSumsClamp) {
  audio::Buffer* mid = Constant(11025, 1, 8, 0x80, 1000);
  ASSERT_EQ(audio::Play(mid, true), audio::kOk);
  EXPECT_EQ(ztest::Peak(Render(200)), 0);
  ASSERT_EQ(audio::Play(Constant(11025, 1, 8, 0xC0, 1000), true), audio::kOk);
  EXPECT_EQ(Render(200), std::vector<int16_t>(400, 16384));
  audio::Stop(mid);
  audio::Reset();

  // Stereo keeps its sides, a mono buffer adds to both.
  StartOutput();
  std::vector<int16_t> sides;
  for (int i = 0; i < 100; ++i) sides.insert(sides.end(), {1000, -2000});
  ASSERT_EQ(audio::Play(Make(Pcm(44100, 2, 16), Bytes16(sides)), true), audio::kOk);
  ASSERT_EQ(audio::Play(Constant(44100, 1, 16, 300, 100), true), audio::kOk);
  const auto out = Render(50);
  EXPECT_EQ(Channel(out, 0), std::vector<int16_t>(50, 1300));
  EXPECT_EQ(Channel(out, 1), std::vector<int16_t>(50, -1700));
  audio::Reset();

  // Loud sums clamp, never wrap, both ways.
  for (const auto& [bits, value, limit] :
       {std::tuple<uint16_t, int32_t, int16_t>{16, 30000, 32767}, {8, 0x00, -32768}}) {
    StartOutput();
    for (int i = 0; i < 3; ++i)
      ASSERT_EQ(audio::Play(Constant(44100, 1, bits, value, 100), true), audio::kOk);
    EXPECT_EQ(Render(50), std::vector<int16_t>(100, limit)) << bits;
    audio::Reset();
  }
}

TEST_F(AudioTest, OneShotLastsItsLengthThenRewinds) {
  const std::pair<uint32_t, uint32_t> cases[] = {{1000, 8000}, {2205, 22050}, {333, 44100}, {100, 100000}};
  int ended = 0;
  for (const auto& [frames, rate] : cases) {
    SCOPED_TRACE(testing::Message() << frames << " at " << rate);
    audio::Buffer* b = Constant(rate, 1, 16, 5000, frames);
    ASSERT_EQ(audio::Play(b, false), audio::kOk);
    const auto out = Render(frames * 44100 / rate + 100);
    EXPECT_NEAR(static_cast<double>(ztest::AudibleFrames(out)), static_cast<double>(frames) * 44100 / rate,
                2);
    EXPECT_EQ(Status(b), 0u);
    EXPECT_EQ(PlayCursor(b), 0u);
    EXPECT_EQ(ends_, ++ended);  // its end hook ran once
    ASSERT_EQ(audio::Release(b), audio::kOk);
  }
}

TEST_F(AudioTest, LoopRepeatsWithItsOwnPeriod) {
  // A ramp of 441 frames at 44100 Hz: the output repeats every 441 frames.
  std::vector<int16_t> ramp;
  for (int i = 0; i < 441; ++i) ramp.push_back(static_cast<int16_t>(i * 50 - 11000));
  audio::Buffer* b = Make(Pcm(44100, 1, 16), Bytes16(ramp));
  ASSERT_EQ(audio::Play(b, true), audio::kOk);
  const auto left = Channel(Render(441 * 5), 0);
  for (size_t i = 441; i < left.size(); ++i) ASSERT_EQ(left[i], left[i - 441]) << i;
  EXPECT_EQ(Status(b), audio::kStatusPlaying | audio::kStatusLooping);
  EXPECT_EQ(ends_, 0);  // a loop never ends
}

TEST_F(AudioTest, StopKeepsThePositionAndSilences) {
  audio::Buffer* b = Constant(44100, 2, 16, 7000, 1000);
  ASSERT_EQ(audio::Play(b, false), audio::kOk);
  Render(300);
  ASSERT_EQ(audio::Stop(b), audio::kOk);
  EXPECT_EQ(ztest::Peak(Render(300)), 0);
  EXPECT_EQ(PlayCursor(b), 300u * 4);
  ASSERT_EQ(audio::Play(b, false), audio::kOk);  // resumes where it stopped
  EXPECT_EQ(ztest::AudibleFrames(Render(699)), 699u);
  EXPECT_EQ(ends_, 0);  // neither at the stop nor before the last frame
  EXPECT_EQ(ztest::AudibleFrames(Render(301)), 1u);
  EXPECT_EQ(ends_, 1);
}

TEST_F(AudioTest, PlayCursorAdvancesWithTheFramesConsumed) {
  audio::Buffer* once = Constant(44100, 2, 16, 0, 10000);   // block align 4
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
  audio::Buffer* b = Constant(44100, 1, 16, 0, 100);  // 200 bytes
  audio::Region first, second;
  ASSERT_EQ(audio::Lock(b, 160, 80, &first, &second), audio::kOk);
  EXPECT_EQ(std::tuple(first.bytes, second.bytes), std::tuple(40u, 40u));
  // Frames 80..99 then 0..19 get the values 1..40.
  int16_t value = 1;
  for (audio::Region* r : {&first, &second})
    for (uint32_t i = 0; i < r->bytes; i += 2, ++value)
      std::memcpy(static_cast<uint8_t*>(r->data) + i, &value, 2);
  ASSERT_EQ(audio::Unlock(b, first, second), audio::kOk);
  ASSERT_EQ(audio::SetPosition(b, 160), audio::kOk);
  ASSERT_EQ(audio::Play(b, true), audio::kOk);
  const auto left = Channel(Render(40), 0);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(left[static_cast<size_t>(i)], i + 1);
  EXPECT_EQ(audio::Lock(b, 160, 80, &first, nullptr), audio::kInvalidParam);  // no room for the second part
}

TEST_F(AudioTest, ReleasingTheDeviceReleasesItsBuffersWhichNeverCallBack) {
  ASSERT_EQ(audio::Play(Constant(22050, 1, 16, 3000, 1000), false), audio::kOk);
  ASSERT_GT(ztest::Peak(Render(100)), 0);
  audio::ReleaseDevice(device_);
  device_ = nullptr;
  EXPECT_EQ(ztest::Peak(Render(4000)), 0);
  EXPECT_EQ(ends_, 0);
}

}  // namespace
