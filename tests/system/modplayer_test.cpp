// Music module player: the stream it writes, volume tables, pitch, pan,
// headroom, the guard, fades, play and stop, the focus pause, and one run
// of the real mixing thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "datagen/modwrite.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "system/lsvar.h"
#include "system/modstate.h"
#include "system/module.h"
#include "system/win/shell.h"
#include "tests/support/modtest.h"

namespace {

namespace audio = plat::audio;
using ztest::kHighLoop;
using ztest::kHighOnce;
using ztest::kLowLoop;
using ztest::kSquareLoop;
using ztest::TestModule;

// A module whose channel 0 plays the square loop at 428 from row 0.
datagen::Module SquareSong() {
  datagen::Module m = TestModule(4, "M.K.", {0, 1});
  m.At(0, 0, 0) = {428, kSquareLoop, 0, 0};
  return m;
}

bool StreamPlays() {
  uint32_t status = 0;
  audio::GetStatus(LSI_ModPlayer.Stream, &status);
  return (status & audio::kStatusPlaying) != 0;
}

class ModPlayerTest : public ztest::ModTest {
 protected:
  MODULE* Play(const datagen::Module& m, int32_t volume = 64, uint32_t fade = 0) {
    MODULE* module = Load(m);
    EXPECT_NE(module, nullptr);
    EXPECT_EQ(LS_PlayModule(module, volume, fade), 1);
    return module;
  }
  void Restart() {
    LS_CloseModuleSystem();
    LibraryTest::TearDown();
    audio::Reset();
    LibraryTest::SetUp();
  }
};

TEST_F(ModPlayerTest, BlocksOfATickWrittenTwoAtATime) {
  for (auto [channels, bits, block] : {std::tuple<uint16_t, uint16_t, uint32_t>{1, 8, 220}, {2, 16, 880}}) {
    StartPlayer(11025, channels, bits);
    Play(SquareSong());
    EXPECT_EQ(LSI_ModState.SamplesPerTick, 220u);
    EXPECT_EQ(LSI_ModState.BytesPerTick, block);
    EXPECT_TRUE(Step(200).empty());  // not yet room for two blocks
    EXPECT_EQ(Step(440).size(), 2 * block);
    EXPECT_EQ(LSI_ModState.WritePos, 2 * block);
    EXPECT_EQ(Step(440).size(), 2 * block);
    Restart();
  }
}

// Play fills the stream with the silence of its format; the accumulator
// is converted (and cleared) across both regions of a lock.
TEST_F(ModPlayerTest, VolumeTablesSilenceAndConversion) {
  StartPlayer(11025, 1, 8);
  audio::Region a, b;
  ASSERT_EQ(audio::Lock(LSI_ModPlayer.Stream, 0, LS_MODSTREAMSIZE, &a, &b), audio::kOk);
  std::memset(a.data, 0x11, a.bytes);
  audio::Unlock(LSI_ModPlayer.Stream, a, b);
  Play(SquareSong());
  const std::vector<uint8_t> silence = StreamBytes(0, LS_MODSTREAMSIZE);
  EXPECT_EQ(std::count(silence.begin(), silence.end(), 0x80), LS_MODSTREAMSIZE);
  const int32_t* tables = LSI_ModState.MixBuffer;  // -1 at volume 32: floor(-1 x 8192 / 256)
  EXPECT_EQ((std::array{tables[63 * 256 + 127], tables[63 * 256 + 128], tables[0 * 256 + 127], tables[32 * 256 + 255]}),
            (std::array{8001, -8064, 0, -32}));
  int32_t* acc = LSI_ModState.Accumulator;
  acc[0] = 8001;
  acc[2] = 0;
  acc[4] = -8064;
  uint8_t out[3] = {};
  LSI_AsmOutputMix(LSI_ModState, out, 3, nullptr, 0);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 3), (std::vector<uint8_t>{0x9F, 0x80, 0x60}));
  EXPECT_EQ(acc[0] | acc[4], 0);
  Restart();
  StartPlayer(11025, 2, 16);
  Play(SquareSong());
  const std::vector<uint8_t> silence16 = StreamBytes(0, LS_MODSTREAMSIZE);
  EXPECT_EQ(std::count(silence16.begin(), silence16.end(), 0), LS_MODSTREAMSIZE);
  acc = LSI_ModState.Accumulator;
  for (int32_t i = 0; i < 16; ++i) acc[i] = 1000 * i - 5000;
  int16_t out16[16] = {};
  LSI_AsmOutputMix(LSI_ModState, reinterpret_cast<uint8_t*>(out16), 12, reinterpret_cast<uint8_t*>(out16) + 12, 20);
  EXPECT_EQ((std::tuple{out16[0], out16[15]}), (std::tuple<int16_t, int16_t>{-5000, 10000}));
  EXPECT_EQ((std::tuple{out16[5], out16[6]}), (std::tuple<int16_t, int16_t>{0, 1000}));  // across the regions
}

TEST_F(ModPlayerTest, ALockAcrossTheStreamEndContinuesInTheSecondRegion) {
  StartPlayer(11025, 1, 8);
  MODULE* module = Play(SquareSong());
  const std::vector<uint8_t> reference = Stream(440 * 4);
  LS_StopModule(0);
  ASSERT_EQ(LS_PlayModule(module, 64, 0), 1);
  LSI_ModState.WritePos = LS_MODSTREAMSIZE - 100;
  std::vector<uint8_t> wrapped;
  for (int step = 0; step < 4; ++step) {
    const std::vector<uint8_t> more = Step(440);
    wrapped.insert(wrapped.end(), more.begin(), more.end());
  }
  ASSERT_GE(reference.size(), 440u * 4);
  EXPECT_EQ(wrapped, std::vector<uint8_t>(reference.begin(), reference.begin() + 440 * 4));
  EXPECT_EQ(LSI_ModState.WritePos, 440u * 4 - 100);
}

TEST_F(ModPlayerTest, SquareLoopAtPeriod428SoundsAt261Hz) {
  StartPlayer(11025, 1, 8);
  Play(SquareSong());
  const std::vector<int32_t> s = Samples(Stream(3 * 11025));
  const auto start = std::find_if(s.begin(), s.end(), [](int32_t v) { return v != 0; });
  ASSERT_GE(s.end() - start, 11025);
  int crossings = 0;
  for (auto it = start + 1; it != start + 11025; ++it) crossings += (*(it - 1) < 0) != (*it < 0);
  EXPECT_NEAR(crossings / 2.0, 8363.0 / 32, 1.0);  // 3579364 / 428 = 8363 bytes a second, 32 a cycle
}

TEST_F(ModPlayerTest, StereoChannelsGoToOneSideEach) {
  StartPlayer(11025, 2, 16);
  for (uint32_t k : {0u, 1u, 6u, 7u}) {
    datagen::Module m = TestModule(8, "8CHN");
    m.At(0, 0, k) = {428, kSquareLoop, 0, 0};
    MODULE* module = Play(m);
    const std::vector<int32_t> s = Samples(Stream(20 * 880));
    int left = 0, right = 0;
    for (size_t i = 0; i + 1 < s.size(); i += 2) {
      left += s[i] != 0;
      right += s[i + 1] != 0;
    }
    EXPECT_EQ(left > 0, k % 4 == 0 || k % 4 == 3) << k;
    EXPECT_EQ(right > 0, k % 4 == 1 || k % 4 == 2) << k;
    LS_FreeModule(module);
  }
}

// Every channel at full volume on a sample of 127 or -128: each side sums
// to its channels' share and never wraps, whatever module loaded last.
TEST_F(ModPlayerTest, FullVolumeNeverWraps) {
  const std::tuple<uint16_t, uint32_t, uint8_t> rows[] = {{1, 8, kLowLoop}, {2, 6, kHighLoop}};
  for (auto [outChannels, channels, sample] : rows) {
    SCOPED_TRACE(std::to_string(outChannels) + " out, " + std::to_string(channels) + " channels");
    StartPlayer(11025, outChannels, 16);
    datagen::Module m = TestModule(channels, std::to_string(channels) + "CHN");
    for (uint32_t ch = 0; ch < channels; ++ch) m.At(0, 0, ch) = {428, sample, 0, 0};
    MODULE* big = Load(m, "big.mod");
    ASSERT_NE(Load(TestModule(2, "2CHN"), "small.mod"), nullptr);
    ASSERT_EQ(LS_PlayModule(big, 64, 0), 1);
    const int32_t entry = ((sample == kHighLoop ? 127 : -128) *
                           static_cast<int32_t>(1024 * 63 / LSI_ModMixDivisor(channels, outChannels == 2))) >> 8;
    int32_t left = static_cast<int32_t>(channels), right = 0;
    if (outChannels == 2) {
      left = 0;
      for (uint32_t ch = 0; ch < channels; ++ch) left += (ch % 4 == 0 || ch % 4 == 3);
      right = static_cast<int32_t>(channels) - left;
    }
    const std::vector<int32_t> out = Samples(Stream(30 * LSI_ModState.BytesPerTick));
    int sounding = 0;
    for (size_t i = 0; i < out.size(); ++i) {
      const int32_t expected = entry * (outChannels == 2 && i % 2 == 1 ? right : left);
      ASSERT_TRUE(out[i] == 0 || out[i] == expected) << i << ": " << out[i] << " for " << expected;
      sounding += out[i] != 0;
    }
    const int32_t fuller = std::abs(entry * std::max(left, right));  // nearly the whole range
    EXPECT_TRUE(fuller >= 31000 && fuller <= 32768) << fuller;
    EXPECT_GT(sounding, 2000);
    Restart();
  }
}

TEST_F(ModPlayerTest, AOneShotAtPeriod28AddsNothingAfterItsEnd) {
  StartPlayer(11025, 1, 8);
  datagen::Module m = TestModule(4, "M.K.");
  m.samples = {m.samples[kHighOnce - 1], m.samples[kHighLoop - 1]};  // the one-shot's guard, then 64 bytes of 127
  m.At(0, 0, 0) = {28, 1, 0, 0};
  Play(m);
  const std::vector<uint8_t> bytes = Stream(8 * 220);
  const auto start = std::find_if(bytes.begin(), bytes.end(), [](uint8_t b) { return b != 0x80; });
  ASSERT_NE(start, bytes.end());
  // 64 bytes at 3579364 / 28 / 11025 = 11.6 bytes a sample: six samples.
  EXPECT_EQ(std::count(start, start + 6, 0x9F), 6);
  EXPECT_EQ(std::count(start + 6, bytes.end(), 0x80), bytes.end() - start - 6);
}

TEST_F(ModPlayerTest, FadesRunOnTheTickCount) {
  StartPlayer(11025, 1, 8);
  plat::SetManualTime(0);
  Play(SquareSong(), 64, 1000);
  const auto volumeAt = [](uint32_t time) {
    plat::SetManualTime(time);
    LSI_MixModule();
    return LSI_ModState.MasterVolume;
  };
  EXPECT_EQ(LSI_ModState.MasterVolume, 0);
  EXPECT_EQ((std::tuple{volumeAt(500), volumeAt(1001)}), (std::tuple{32, 64}));
  EXPECT_EQ(LS_StopModule(1000), 1);  // from 1001
  EXPECT_EQ(volumeAt(1501), 32);
  volumeAt(2001);
  EXPECT_EQ((std::tuple{LS_GetModuleStatus(), StreamPlays()}), (std::tuple{1, true}));
  volumeAt(2002);
  EXPECT_EQ((std::tuple{LS_GetModuleStatus(), StreamPlays()}), (std::tuple{0, false}));
}

TEST_F(ModPlayerTest, PlayWhilePlayingChangesNothingAndPlayAfterStopRestarts) {
  StartPlayer(11025, 1, 8);
  MODULE* module = Play(SquareSong(), 50);
  Stream(220 * 40);
  const uint32_t row = LSI_ModState.Row;
  const uint8_t* position = LSI_ModState.Channel[0].Position;
  ASSERT_GT(row, 1u);
  EXPECT_EQ(LS_PlayModule(module, 10, 0), 0);
  EXPECT_EQ((std::tuple{LSI_ModState.Row, LSI_ModState.Channel[0].Position, LSI_ModState.MasterVolume}),
            (std::tuple{row, position, 50}));
  EXPECT_EQ(LS_StopModule(0), 1);
  EXPECT_EQ((std::tuple{LS_GetModuleStatus(), StreamPlays()}), (std::tuple{0, false}));
  EXPECT_TRUE(Step(440).empty());
  EXPECT_EQ(LS_StopModule(0), 1);  // not playing: nothing
  EXPECT_EQ(LS_PlayModule(module, 64, 0), 1);
  EXPECT_EQ((std::tuple{LSI_ModState.Row, LSI_ModState.TickCounter, LSI_ModState.Channel[0].Sample}),
            (std::tuple{0u, 6u, uint32_t{LS_MODNOSAMPLE}}));
}

TEST_F(ModPlayerTest, LosingFocusStopsTheStreamAndRegainingItContinues) {
  StartPlayer(11025, 1, 8);
  EXPECT_EQ(LS_PauseModule(), 0);  // nothing plays
  Play(SquareSong());
  Stream(220 * 20);
  const uint32_t row = LSI_ModState.Row, write = LSI_ModState.WritePos;
  const uint8_t* position = LSI_ModState.Channel[0].Position;
  EXPECT_EQ(LSYS_Shell.PauseHook(), 1);
  EXPECT_EQ(LS_PauseModule(), 0);  // already paused
  EXPECT_EQ((std::tuple{LS_GetModuleStatus(), StreamPlays(), LSI_ModuleThreadParked()}), (std::tuple{0, false, 1}));
  EXPECT_TRUE(Step(2000).empty());
  EXPECT_EQ(LSYS_Shell.ResumeHook(), 1);
  EXPECT_EQ(LS_ResumeModule(), 0);
  EXPECT_EQ((std::tuple{StreamPlays(), LSI_ModState.Row, LSI_ModState.WritePos, LSI_ModState.Channel[0].Position}),
            (std::tuple{true, row, write, position}));
  EXPECT_FALSE(Step(2000).empty());
  LS_CloseModuleSystem();
  EXPECT_EQ(LSYS_Shell.PauseHook, nullptr);
}

TEST_F(ModPlayerTest, VolumeAndPosition) {
  StartPlayer(11025, 1, 8);
  Play(TestModule(4, "M.K.", {0, 1, 0}));
  for (auto [asked, volume] : {std::pair{100, 64}, {-5, 0}, {20, 20}}) {
    LS_SetModuleVolume(asked);
    EXPECT_EQ(LSI_ModState.MasterVolume, volume) << asked;
  }
  Stream(220 * 20);
  LS_SetModulePosition(1);
  EXPECT_EQ(LSI_ModState.Row, 0u);
  EXPECT_EQ(LSI_ModState.CurrentPattern, 1u);
  for (int32_t pos : {3, 255, -1}) {
    LS_SetModulePosition(pos);
    EXPECT_EQ(LSI_ModState.OrderIndex, 1) << pos;
  }
}

TEST_F(ModPlayerTest, FreeCloseAndInitAgain) {
  StartPlayer(11025, 1, 8);
  const int16_t allocs = LSI_Var.NbAlloc;
  EXPECT_EQ(LS_InitModuleSystem(), 0);  // once only
  MODULE* module = Play(SquareSong());
  Stream(220 * 10);
  EXPECT_EQ(LS_FreeModule(module), 1);
  EXPECT_EQ((std::tuple{LSI_Var.NbAlloc, LS_GetModuleStatus(), StreamPlays()}), (std::tuple{allocs, 0, false}));
  EXPECT_TRUE(Step(2000).empty());
  EXPECT_EQ(LS_ResumeModule(), 0);
  LS_CloseModuleSystem();
  EXPECT_EQ((std::tuple{LSI_Var.NbAlloc, LSI_ModuleThreadRunning()}), (std::tuple{int16_t(allocs - 1), 0}));  // the mix buffer
  EXPECT_EQ(LS_InitModuleSystem(), 1);
  Play(SquareSong());
  EXPECT_FALSE(Stream(440).empty());
  LS_CloseZidAde();  // closing the library closes the player
  started_ = false;
  EXPECT_EQ((std::tuple{LSI_ModPlayer.Initialised, LSI_ModuleThreadRunning()}), (std::tuple{0u, 0}));
}

TEST_F(ModPlayerTest, NoSoundNoPlayer) {
  StartLibrary();  // no output: sound is off
  EXPECT_EQ(LS_InitModuleSystem(), 0);
  EXPECT_EQ(LSYS_Shell.PauseHook, nullptr);
  EXPECT_EQ(Load(SquareSong()), nullptr);
  EXPECT_EQ(LS_StopModule(0) + LS_PauseModule() + LS_ResumeModule() + LS_CloseModuleSystem(), 2);
}

// The real thread: it mixes while the output plays, parks on pause and
// stop, and ends at close.
TEST_F(ModPlayerTest, TheMixingThreadPlaysPausesResumesAndStops) {
  StartPlayer(11025, 1, 8);
  LSI_HoldModuleThread(0);
  MODULE* module = Play(SquareSong());
  const auto locks = [] { return audio::Calls(LSI_ModPlayer.Stream).lock; };
  // Lets the output play until the thread has written count more blocks.
  const auto playUntil = [&locks](uint32_t count) {
    const uint32_t from = locks();
    std::vector<int16_t> sink(2 * 256);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (locks() < from + count && std::chrono::steady_clock::now() < deadline) {
      audio::Render(sink.data(), 256);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return locks() >= from + count;
  };
  EXPECT_TRUE(playUntil(6));
  EXPECT_EQ((std::tuple{LS_PauseModule(), LSI_ModuleThreadParked()}), (std::tuple{1, 1}));
  const uint32_t paused = locks();
  std::vector<int16_t> sink(2 * 2000);
  audio::Render(sink.data(), 2000);
  std::this_thread::sleep_for(std::chrono::milliseconds(80));
  EXPECT_EQ(locks(), paused);
  EXPECT_EQ(LS_ResumeModule(), 1);
  EXPECT_TRUE(playUntil(4));
  EXPECT_EQ((std::tuple{LS_StopModule(0), LSI_ModuleThreadParked()}), (std::tuple{1, 1}));
  LS_FreeModule(module);
  LS_CloseModuleSystem();
  EXPECT_EQ(LSI_ModuleThreadRunning(), 0);
}

}  // namespace
