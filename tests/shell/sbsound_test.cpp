// The game's sound channels: the new channel, clamping, volume as the
// on/off control, the deferred commit and null channels and sounds.
#include <gtest/gtest.h>

#include <string>

#include "datagen/wavwrite.h"
#include "platform/audio.h"
#include "shell/owner.h"
#include "shell/sbsound.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "system/sound.h"
#include "tests/support/soundtest.h"

namespace {

namespace audio = plat::audio;
using ztest::Channel;
using ztest::Render;

class ChannelTest : public ztest::SoundTest {
 protected:
  void SetUp() override {
    ztest::SoundTest::SetUp();
    StartLibrary();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    datagen::Wave w = ztest::MakeWave(11025, 1, 16);
    w.samples = datagen::SineSamples(w, 500.0, 11025, 0.5);  // one second, whole cycles
    Put("engine.wav", w);
    allocs_ = LSI_Var.NbAlloc;
  }
  void TearDown() override {
    EXPECT_EQ(LSI_Var.NbAlloc, allocs_);
    ztest::SoundTest::TearDown();
  }
  static uint32_t Total(const TSBSOUND* c) { return audio::Calls(c->Sound->Buffer).total; }
  static uint32_t Cursor(const TSBSOUND* c) {
    uint32_t play = 0;
    audio::GetPosition(c->Sound->Buffer, &play, nullptr);
    return play;
  }
  // Output frequency: zero crossings over half a second.
  static int PlayedHertz() { return ztest::ZeroCrossings(Channel(Render(22050), 0)); }

  int16_t allocs_ = 0;
};

TEST_F(ChannelTest, ANewChannelIsStoppedAtMinus3000And11025Hz) {
  TSBSOUND* c = SB_LoadSound("engine.wav");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Size, 44u + 22050u);
  EXPECT_EQ(c->WantedPlaying, 0);
  EXPECT_EQ(c->Playing, 0);
  EXPECT_EQ(c->WantedVolume, -3000);
  EXPECT_EQ(c->Volume, -3000);
  EXPECT_EQ(c->WantedFrequency, 11025);
  EXPECT_EQ(c->Frequency, 11025);
  ASSERT_NE(c->Sound, nullptr);
  ASSERT_NE(c->Sound->Buffer, nullptr);
  EXPECT_EQ(c->Sound->Volume, -3100);
  EXPECT_EQ(c->Sound->Frequency, 11025);
  EXPECT_EQ(LS_GetSoundStatus(c->Sound), LS_SOUND_STOPPED);
  EXPECT_EQ(LSI_Var.NbSound, 1);
  SB_FreeSound(c);
  EXPECT_EQ(LSI_Var.NbSound, 0);
  SB_ReportMemLeaks();  // SB_FreeSound emptied the owner table
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ChannelTest, TheChannelIsOwnedBySbLoadSound) {
  TSBSOUND* c = SB_LoadSound("engine.wav");
  ASSERT_NE(c, nullptr);
  LS_FreeSound(c->Sound);
  SB_ReportMemLeaks();  // reports and frees the channel record
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "Mem not released owner: SB_LoadSound");
}

TEST_F(ChannelTest, FrequenciesAndVolumesAreClamped) {
  TSBSOUND* c = SB_LoadSound("engine.wav");
  ASSERT_NE(c, nullptr);
  SB_ApplySoundFrequence(c, 100000);
  EXPECT_EQ(c->Frequency, 40000);
  EXPECT_EQ(c->WantedFrequency, 40000);
  EXPECT_EQ(c->Sound->Frequency, 40000);
  SB_ApplySoundFrequence(c, 100);
  EXPECT_EQ(c->Frequency, 5000);
  EXPECT_EQ(c->Sound->Frequency, 5000);
  SB_StartSound(c, 1000000, 0);
  EXPECT_EQ(c->Frequency, 40000);
  SB_ApplySoundVolume(c, 500);
  EXPECT_EQ(c->Volume, 0);
  EXPECT_EQ(c->Sound->Volume, -100);
  SB_FreeSound(c);
}

TEST_F(ChannelTest, VolumeIsTheOnOffControl) {
  TSBSOUND* c = SB_LoadSound("engine.wav");
  ASSERT_NE(c, nullptr);
  SB_StartSound(c, 11025, 0);
  SB_ApplySoundFrequence(c, 22050);
  SB_ApplySoundVolume(c, -1000);
  EXPECT_EQ(LS_GetSoundStatus(c->Sound), LS_SOUND_PLAYING);

  SB_ApplySoundVolume(c, -5000);
  EXPECT_EQ(c->Volume, -3000);
  EXPECT_EQ(c->WantedVolume, -3000);
  EXPECT_EQ(c->Playing, 0);
  EXPECT_EQ(c->WantedPlaying, 0);
  EXPECT_EQ(LS_GetSoundStatus(c->Sound), LS_SOUND_STOPPED);
  EXPECT_EQ(c->Sound->Volume, -3100);
  for (int16_t v : Render(500)) ASSERT_EQ(v, 0);

  SB_ApplySoundVolume(c, -2000);
  EXPECT_EQ(c->Playing, 1);
  EXPECT_EQ(c->Sound->Once, 0);  // looping
  EXPECT_EQ(c->Frequency, 22050);  // the library sound's frequency
  EXPECT_EQ(c->Sound->Volume, -2100);
  EXPECT_EQ(LS_GetSoundStatus(c->Sound), LS_SOUND_PLAYING);
  SB_FreeSound(c);
}

TEST_F(ChannelTest, ACommitWithNothingChangedMakesNoCall) {
  TSBSOUND* c = SB_LoadSound("engine.wav");
  ASSERT_NE(c, nullptr);
  const uint32_t idle = Total(c);
  SB_UpdateSound(c);
  EXPECT_EQ(Total(c), idle);

  SB_PlaySound(c, 11025, 0);
  SB_SetSoundVolume(c, -500);
  SB_UpdateSound(c);
  EXPECT_GT(Total(c), idle);
  const uint32_t playing = Total(c);
  SB_UpdateSound(c);
  SB_SetSoundVolume(c, -500);
  SB_SetSoundFrequence(c, 11025);
  SB_UpdateSound(c);
  EXPECT_EQ(Total(c), playing);
  SB_FreeSound(c);
}

TEST_F(ChannelTest, WantedStateWaitsForTheCommit) {
  TSBSOUND* c = SB_LoadSound("engine.wav");
  ASSERT_NE(c, nullptr);
  SB_SetSoundFrequence(c, 22050);
  SB_SetSoundVolume(c, 0);
  EXPECT_EQ(c->Frequency, 11025);
  EXPECT_EQ(LS_GetSoundStatus(c->Sound), LS_SOUND_STOPPED);
  SB_UpdateSound(c);
  // Raising the volume of a stopped channel starts it looping.
  EXPECT_EQ(c->Frequency, 22050);
  EXPECT_EQ(c->Volume, 0);
  EXPECT_EQ(c->Sound->Volume, -100);
  EXPECT_EQ(LS_GetSoundStatus(c->Sound), LS_SOUND_PLAYING);
  EXPECT_NEAR(PlayedHertz(), 1000, 2);  // 500 Hz file at twice its rate
  SB_FreeSound(c);
}

TEST_F(ChannelTest, PlaySoundRestartsAPlayingChannelAtTheNextCommit) {
  TSBSOUND* c = SB_LoadSound("engine.wav");
  ASSERT_NE(c, nullptr);
  SB_PlaySound(c, 11025, 0);
  SB_UpdateSound(c);
  Render(4000);
  EXPECT_EQ(Cursor(c), 1000u * 2);
  SB_PlaySound(c, 11025, 1);
  EXPECT_EQ(c->Playing, 0);
  EXPECT_EQ(Cursor(c), 1000u * 2);  // not yet
  SB_UpdateSound(c);
  EXPECT_EQ(Cursor(c), 0u);
  EXPECT_EQ(c->Playing, 1);
  EXPECT_EQ(c->Sound->Once, 1);
  // The one-shot plays its second once, then stops.
  EXPECT_NEAR(static_cast<double>(ztest::AudibleFrames(Render(50000))), 44100, 2);
  EXPECT_EQ(LS_GetSoundStatus(c->Sound), LS_SOUND_STOPPED);
  SB_StopSound(c);
  EXPECT_EQ(c->WantedPlaying, 0);
  SB_FreeSound(c);
}

TEST_F(ChannelTest, NullChannelsDoNothing) {
  SB_SetSoundVolume(nullptr, 0);
  SB_SetSoundFrequence(nullptr, 11025);
  SB_PlaySound(nullptr, 11025, 0);
  SB_UpdateSound(nullptr);
  SB_StartSound(nullptr, 11025, 0);
  SB_StopSound(nullptr);
  SB_ApplySoundFrequence(nullptr, 11025);
  SB_ApplySoundVolume(nullptr, 0);
  SB_FreeSound(nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ChannelTest, AChannelWithoutItsSoundSaysSo) {
  TSBSOUND* c = SB_LoadSound("engine.wav");
  ASSERT_NE(c, nullptr);
  LS_FreeSound(c->Sound);
  c->Sound = nullptr;
  SB_SetSoundVolume(c, -100);
  SB_SetSoundFrequence(c, 8000);
  SB_PlaySound(c, 8000, 0);
  EXPECT_TRUE(Boxes().empty());
  SB_UpdateSound(c);
  SB_StartSound(c, 11025, 0);
  SB_StopSound(c);
  SB_ApplySoundFrequence(c, 11025);
  SB_ApplySoundVolume(c, 0);
  EXPECT_EQ(Boxes().size(), 5u);
  for (const std::string& box : Boxes()) EXPECT_EQ(box, "SNd->SND 0");
  SB_FreeSound(c);  // says so too, and still releases the channel
  EXPECT_EQ(Boxes().size(), 6u);
}

TEST_F(ChannelTest, FilesThatCannotLoadGiveNullAndKeepNothing) {
  EXPECT_EQ(SB_LoadSound("missing.wav"), nullptr);
  EXPECT_EQ(SB_LoadSound(nullptr), nullptr);
  EXPECT_TRUE(Boxes().empty());
  ztest::WriteBytes(root_ + "/bad.wav", {'R', 'I', 'F', 'F', 1, 0, 0, 0});
  EXPECT_EQ(SB_LoadSound("bad.wav"), nullptr);
  datagen::Wave w = ztest::MakeWave(11025, 1, 8);
  w.before = {{"a   ", {}}, {"b   ", {}}, {"c   ", {}}, {"d   ", {}}};
  Put("four.wav", w);
  EXPECT_EQ(SB_LoadSound("four.wav"), nullptr);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "Wave Format Error ");
  SB_ReportMemLeaks();  // no owner entry was left behind
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(ChannelTest, WithSoundOffThereIsNoChannel) {
  LSI_CloseSound();
  EXPECT_EQ(SB_LoadSound("engine.wav"), nullptr);
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
