// The SDL audio back end: the callback's conversion, real devices on SDL's
// "dummy" and "disk" drivers. That the program starts silent and without a
// box when headless, tests/race/program_test.cpp shows.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "datagen/wavwrite.h"
#include "platform/audio.h"
#include "platform/sdl/audio.h"
#include "platform/sdl/sdl.h"
#include "system/error.h"
#include "system/sound.h"
#include "tests/support/soundtest.h"

namespace {

namespace audio = plat::audio;
namespace sdl = plat::sdl;

// Waits, in steps of 10 ms and at most 5 s, until done() holds.
template <typename F>
bool WaitFor(F done) {
  for (int i = 0; i < 500; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

class SdlAudioTest : public ztest::Environment {
 protected:
  void TearDown() override {
    sdl::CloseAudio();
    audio::Reset();
    Environment::TearDown();
  }

  // A looping buffer of one stereo 16-bit value on each side.
  static audio::Buffer* Dc(audio::Device* device, int16_t left, int16_t right, uint32_t frames) {
    audio::BufferDesc desc;
    desc.flags = audio::kCtrlVolume | audio::kCtrlFrequency;
    desc.bytes = frames * 4;
    desc.format = {audio::kFormatPcm, 2, 44100, 176400, 4, 16};
    audio::Buffer* b = nullptr;
    EXPECT_EQ(audio::CreateBuffer(device, desc, &b), audio::kOk);
    audio::Region first, second;
    EXPECT_EQ(audio::Lock(b, 0, desc.bytes, &first, &second), audio::kOk);
    for (uint32_t i = 0; i < frames; ++i) {
      std::memcpy(static_cast<uint8_t*>(first.data) + i * 4, &left, 2);
      std::memcpy(static_cast<uint8_t*>(first.data) + i * 4 + 2, &right, 2);
    }
    audio::Unlock(b, first, second);
    return b;
  }
};

// What the callback writes for a device of the format and channels, into
// a buffer of `count` values set to `fill` of which `bytes` are given.
template <typename T>
std::vector<T> Called(SDL_AudioFormat format, int channels, size_t count, int bytes, T fill = 0) {
  SDL_AudioSpec spec{};
  spec.freq = 44100;
  spec.channels = static_cast<Uint8>(channels);
  spec.format = format;
  std::vector<T> out(count, fill);
  sdl::AudioCallback(&spec, reinterpret_cast<Uint8*>(out.data()), bytes);
  return out;
}

TEST_F(SdlAudioTest, CallbackConvertsToTheDeviceFormat) {
  ASSERT_EQ(audio::AttachOutput(44100, 2), audio::kOk);
  audio::Device* device = nullptr;
  ASSERT_EQ(audio::CreateDevice(&device), audio::kOk);
  ASSERT_EQ(audio::Play(Dc(device, 16384, -8192, 1000), true), audio::kOk);
  EXPECT_EQ(Called<int16_t>(AUDIO_S16SYS, 2, 2, 4), (std::vector<int16_t>{16384, -8192}));
  EXPECT_EQ(Called<float>(AUDIO_F32SYS, 2, 2, 8), (std::vector<float>{0.5f, -0.25f}));
  EXPECT_EQ(Called<int32_t>(AUDIO_S32SYS, 2, 2, 8), (std::vector<int32_t>{16384 * 65536, -8192 * 65536}));
  EXPECT_EQ(Called<uint8_t>(AUDIO_U8, 2, 2, 2), (std::vector<uint8_t>{0xC0, 0x60}));
  EXPECT_EQ(Called<int8_t>(AUDIO_S8, 2, 2, 2), (std::vector<int8_t>{64, -32}));
  EXPECT_EQ(Called<uint16_t>(AUDIO_U16SYS, 2, 2, 4), (std::vector<uint16_t>{0xC000, 0x6000}));
  // Six channels: the mixer's two in front, silence behind.
  EXPECT_EQ(Called<int16_t>(AUDIO_S16SYS, 6, 12, 24, 99),
            (std::vector<int16_t>{16384, -8192, 0, 0, 0, 0, 16384, -8192, 0, 0, 0, 0}));
  // A byte order the callback does not write: silence.
  EXPECT_EQ(Called<int16_t>(AUDIO_S16SYS == AUDIO_S16LSB ? AUDIO_S16MSB : AUDIO_S16LSB, 2, 8, 16, 7),
            std::vector<int16_t>(8, 0));
  // A mono mixer feeds both front channels; a piece of a frame gets
  // silence and nothing is written beyond the length.
  audio::Reset();
  ASSERT_EQ(audio::AttachOutput(22050, 1), audio::kOk);
  ASSERT_EQ(audio::CreateDevice(&device), audio::kOk);
  ASSERT_EQ(audio::Play(Dc(device, 1000, 3000, 1000), true), audio::kOk);
  EXPECT_EQ(Called<int16_t>(AUDIO_S16SYS, 2, 6, 10, 5), (std::vector<int16_t>{2000, 2000, 2000, 2000, 0, 5}));
}

TEST_F(SdlAudioTest, OneShotEndsOnTheDummyDriver) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  ASSERT_TRUE(sdl::OpenAudio());
  EXPECT_TRUE(sdl::AudioOpen());
  EXPECT_TRUE(audio::OutputAttached());
  audio::Device* device = nullptr;
  ASSERT_EQ(audio::CreateDevice(&device), audio::kOk);
  audio::Buffer* b = Dc(device, 1000, 1000, 2205);  // 50 ms
  ASSERT_EQ(audio::SetFrequency(b, 44100), audio::kOk);
  ASSERT_EQ(audio::Play(b, false), audio::kOk);
  EXPECT_TRUE(WaitFor([&] {
    uint32_t status = 0;
    audio::GetStatus(b, &status);
    return (status & audio::kStatusPlaying) == 0;
  }));
  uint32_t play = 1;
  audio::GetPosition(b, &play, nullptr);
  EXPECT_EQ(play, 0u);
  sdl::CloseAudio();
  EXPECT_FALSE(sdl::AudioOpen());
  EXPECT_FALSE(audio::OutputAttached());
}

// SDL's own thread renders while this one plays, stops and sets volumes.
TEST_F(SdlAudioTest, TheAudioThreadRendersWhileTheProgramCalls) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  ASSERT_TRUE(sdl::OpenAudio());
  audio::Device* device = nullptr;
  ASSERT_EQ(audio::CreateDevice(&device), audio::kOk);
  std::vector<audio::Buffer*> buffers;
  for (int i = 0; i < 6; ++i) buffers.push_back(Dc(device, static_cast<int16_t>(1000 * i), 500, 441));
  audio::Buffer* probe = Dc(device, 1, 1, 441 * 100);
  ASSERT_EQ(audio::Play(probe, true), audio::kOk);
  uint32_t moved = 0, last = 0;
  for (int step = 0; step < 200000 && moved < 3; ++step) {
    audio::Buffer* b = buffers[static_cast<size_t>(step) % buffers.size()];
    switch (step % 4) {
      case 0: audio::Play(b, step % 8 == 0); break;
      case 1: audio::SetVolume(b, -(step % 3000)); break;
      case 2: audio::Stop(b); break;
      default: audio::SetFrequency(b, 8000 + static_cast<uint32_t>(step) % 40000); break;
    }
    if (step % 1000 == 999) {
      uint32_t at = 0;
      audio::GetPosition(probe, &at, nullptr);
      if (at != last) ++moved;
      last = at;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  EXPECT_GE(moved, 3u);  // the audio thread kept rendering
}

TEST_F(SdlAudioTest, HeadlessUnlessADisplayIsThere) {
  setenv("DISPLAY", ":0", 1);
  unsetenv("ZENTROVA_HEADLESS");
  unsetenv("SDL_VIDEODRIVER");
  EXPECT_TRUE(sdl::DevicesWanted());
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  EXPECT_FALSE(sdl::DevicesWanted());
  unsetenv("SDL_VIDEODRIVER");
  setenv("ZENTROVA_HEADLESS", "1", 1);
  EXPECT_FALSE(sdl::DevicesWanted());
  setenv("ZENTROVA_HEADLESS", "0", 1);
  EXPECT_TRUE(sdl::DevicesWanted());
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_FALSE(sdl::DevicesWanted());
}

// As a user would: the real back end on SDL's "disk" driver plays a tone
// that sox made, and sox measures the captured output.
class DiskCaptureTest : public ztest::LibraryTest {
 protected:
  void TearDown() override {
    sdl::CloseAudio();
    LibraryTest::TearDown();
    audio::Reset();
  }
};

double StatValue(const std::string& stat, const std::string& label) {
  const size_t at = stat.find(label);
  if (at == std::string::npos) return -1;
  return std::atof(stat.c_str() + at + label.size());
}

TEST_F(DiskCaptureTest, SoxHearsTheToneTheBackEndPlayed) {
  if (std::system("command -v sox >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not installed";
  const std::string raw = temp_ + "/out.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
  ASSERT_EQ(std::system(("sox -D -n -r 22050 -b 16 -c 1 '" + root_ + "/tone.wav' synth 0.3 sine 440 vol 0.5").c_str()), 0);
  ASSERT_TRUE(sdl::OpenAudio());
  ASSERT_EQ(audio::OutputRate(), 44100u);
  ASSERT_EQ(audio::OutputChannels(), 2);
  StartLibrary();
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  ASSERT_EQ(LSI_Var.SoundOn, 1u);
  SOUND* s = LS_LoadSound("tone", 4);
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(PlaySound(s, 0, 1), 1);
  EXPECT_TRUE(WaitFor([&] { return LS_GetSoundStatus(s) != LS_SOUND_PLAYING; }));
  LS_FreeSound(s);
  sdl::CloseAudio();

  // One side only: with both, stat reads the interleaved samples as one
  // stream and its rough frequency comes out 1/sqrt(2) low.
  const std::string command = "sox -t raw -r 44100 -e signed -b 16 -c 2 '" + raw + "' -n remix 1 stat 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string stat;
  char line[256];
  while (std::fgets(line, sizeof line, pipe)) stat += line;
  pclose(pipe);
  EXPECT_NEAR(StatValue(stat, "Rough   frequency:"), 440, 10) << stat;
  EXPECT_NEAR(StatValue(stat, "Maximum amplitude:"), 0.5, 0.03) << stat;
}

}  // namespace
