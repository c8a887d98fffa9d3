// Sound effects: WAVE loading, playing through the mixer, the switches,
// the lock guard and the sound error box.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>

#include "datagen/wavwrite.h"
#include "platform/audio.h"
#include "platform/window.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/sound.h"
#include "system/win/dsound.h"
#include "tests/support/soundtest.h"

namespace {

namespace audio = plat::audio;
using ztest::Channel;
using ztest::MakeWave;
using ztest::Render;

class SoundTest : public ztest::SoundTest {
 protected:
  void SetUp() override {
    ztest::SoundTest::SetUp();
    StartLibrary();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
  }

  // A mono 16-bit sine file.
  std::string SineFile(const std::string& name, uint32_t rate, double hertz, uint32_t frames) {
    datagen::Wave w = MakeWave(rate, 1, 16);
    w.samples = datagen::SineSamples(w, hertz, frames, 0.5);
    return Put(name, w);
  }
  std::string ConstantFile(const std::string& name, uint32_t rate, int32_t value, uint32_t frames) {
    datagen::Wave w = MakeWave(rate, 1, 16);
    w.samples = datagen::ConstantSamples(w, value, frames);
    return Put(name, w);
  }
  static uint32_t Cursor(SOUND* s) {
    uint32_t play = 0;
    EXPECT_EQ(audio::GetPosition(s->Buffer, &play, nullptr), audio::kOk);
    return play;
  }
};

TEST_F(SoundTest, WrittenFilesGiveTheirHeaderFieldsExactly) {
  const int16_t allocs = LSI_Var.NbAlloc;
  const uint32_t freeMem = LS_GetFreeMem();
  for (uint16_t bits : {8, 16})
    for (uint16_t channels : {1, 2})
      for (uint32_t rate : {8000u, 11025u, 22050u, 44100u, 48000u}) {
        SCOPED_TRACE(std::to_string(bits) + " bits " + std::to_string(channels) + " ch " + std::to_string(rate));
        datagen::Wave w = MakeWave(rate, channels, bits);
        w.samples = datagen::SineSamples(w, 440.0, 300, 0.4);
        const std::string name = Put("t.wav", w);

        SOUND* s = LS_LoadSound(name.c_str(), LS_DefaultHeap);
        ASSERT_NE(s, nullptr);
        const uint32_t align = channels * bits / 8u;
        EXPECT_EQ(s->FormatTag, 1);
        EXPECT_EQ(s->Channels, channels);
        EXPECT_EQ(s->SampleRate, rate);
        EXPECT_EQ(s->BitsPerSample, bits);
        EXPECT_EQ(s->BlockAlign, align);
        EXPECT_EQ(s->AvgBytesPerSec, rate * align);
        EXPECT_EQ(s->DataLength, 300 * align);
        ASSERT_NE(s->Data, nullptr);
        EXPECT_EQ(std::vector<uint8_t>(s->Data, s->Data + s->DataLength), w.samples);
        EXPECT_NE(s->FileImage, nullptr);
        EXPECT_EQ(s->Buffer, nullptr);
        EXPECT_EQ(s->Heap, LS_DefaultHeap);
        EXPECT_EQ(LSI_Var.NbSound, 0);
        LS_FreeSound(s);

        s = LS_LoadSound(name.c_str(), LS_SOUNDHEAP_HARDWARE);
        ASSERT_NE(s, nullptr);
        EXPECT_NE(s->Buffer, nullptr);
        EXPECT_EQ(s->Data, nullptr);
        EXPECT_EQ(s->FileImage, nullptr);
        EXPECT_EQ(s->SampleRate, rate);
        EXPECT_EQ(s->Frequency, static_cast<int32_t>(rate));
        EXPECT_EQ(s->Volume, 0);
        EXPECT_EQ(s->Heap, LS_SOUNDHEAP_HARDWARE);
        EXPECT_EQ(LSI_Var.NbSound, 1);
        LS_FreeSound(s);
        EXPECT_EQ(LSI_Var.NbSound, 0);
        EXPECT_EQ(LSI_Var.NbAlloc, allocs);
        EXPECT_EQ(LS_GetFreeMem(), freeMem);
      }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SoundTest, ANameWithoutExtensionGetsWav) {
  ConstantFile("BANG.WAV", 11025, 100, 10);
  SOUND* s = LS_LoadSound("bang", 4);
  ASSERT_NE(s, nullptr);
  LS_FreeSound(s);
  EXPECT_EQ(LS_LoadSound("missing", 4), nullptr);
  EXPECT_EQ(LS_LoadSound("bang.snd", 4), nullptr);
  EXPECT_TRUE(Boxes().empty());
}

// Files made by sox, a tool of its own, at run time.
TEST_F(SoundTest, LoadsFilesMadeBySox) {
  if (std::system("command -v sox >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not installed";
  struct Case {
    const char* options;
    uint32_t rate;
    uint16_t bits, channels;
  } cases[] = {{"-r 22050 -b 8 -c 1", 22050, 8, 1}, {"-r 44100 -b 16 -c 2", 44100, 16, 2},
               {"-r 11025 -b 16 -c 1", 11025, 16, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    const std::string command =
        std::string("sox -D -n ") + c.options + " '" + root_ + "/tone.wav' synth 0.25 sine 440 vol 0.5 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    SOUND* s = LS_LoadSound("tone.wav", 4);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->SampleRate, c.rate);
    EXPECT_EQ(s->BitsPerSample, c.bits);
    EXPECT_EQ(s->Channels, c.channels);
    EXPECT_NEAR(static_cast<double>(s->DataLength), c.rate * 0.25 * c.channels * c.bits / 8, 8);
    ASSERT_EQ(PlaySound(s, 0, 1), 1);
    const auto left = Channel(Render(44100 / 4), 0);
    EXPECT_NEAR(ztest::ZeroCrossings(left), 220, 4);
    EXPECT_NEAR(ztest::Peak(left), 16384, 600);
    LS_FreeSound(s);
  }
}

TEST_F(SoundTest, ChunkWalkFindsDataAmongOtherChunks) {
  datagen::Wave w = MakeWave(11025, 1, 8);
  w.samples = datagen::ConstantSamples(w, 0xC0, 100);
  w.before = {{"LIST", std::vector<uint8_t>(26, 'x')}, {"fact", {100, 0, 0, 0}}};
  SOUND* s = LS_LoadSound(Put("list.wav", w).c_str(), 4);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->DataLength, 100u);
  LS_FreeSound(s);

  w.before.push_back({"cue ", std::vector<uint8_t>(4, 0)});
  s = LS_LoadSound(Put("three.wav", w).c_str(), 4);
  ASSERT_NE(s, nullptr);
  LS_FreeSound(s);
  EXPECT_TRUE(Boxes().empty());

  w.before.push_back({"smpl", std::vector<uint8_t>(8, 0)});
  EXPECT_EQ(LS_LoadSound(Put("four.wav", w).c_str(), 4), nullptr);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "Wave Format Error ");
  EXPECT_EQ(LSI_Var.NbAlloc, 0);
}

TEST_F(SoundTest, ByteReversedTagsLoad) {
  datagen::Wave w = MakeWave(22050, 1, 16);
  w.samples = datagen::ConstantSamples(w, 1000, 50);
  w.before = {{"LIST", {1, 2, 3, 4}}};
  std::vector<uint8_t> bytes = datagen::EncodeWave(w);
  for (auto [offset, tag] : {std::pair{0, "FFIR"}, {8, "EVAW"}, {12, " tmf"}, {36, "TSIL"}, {48, "atad"}})
    for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(offset + i)] = static_cast<uint8_t>(tag[i]);
  ztest::WriteBytes(root_ + "/rev.wav", bytes);
  SOUND* s = LS_LoadSound("rev.wav", 4);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->SampleRate, 22050u);
  EXPECT_EQ(s->DataLength, 100u);
  LS_FreeSound(s);
}

TEST_F(SoundTest, FrequencyRetunesThePlayingSound) {
  SOUND* s = LS_LoadSound(SineFile("sine.wav", 22050, 1000.0, 22050).c_str(), 4);
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(PlaySound(s, 0, 0), 1);
  EXPECT_NEAR(ztest::ZeroCrossings(Channel(Render(22050), 0)), 1000, 2);
  ASSERT_EQ(LS_SetSoundFrequence(s, 11025), 1);
  EXPECT_EQ(s->Frequency, 11025);
  EXPECT_NEAR(ztest::ZeroCrossings(Channel(Render(22050), 0)), 500, 2);
  LS_FreeSound(s);
}

TEST_F(SoundTest, VolumeAttenuatesInHundredthsOfADecibel) {
  SOUND* s = LS_LoadSound(ConstantFile("dc.wav", 44100, 16384, 4410).c_str(), 4);
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(PlaySound(s, 0, 0), 1);
  for (int16_t v : Render(100)) ASSERT_NEAR(v, 16384, 1);
  ASSERT_EQ(LS_SetSoundVolume(s, -600), 1);
  for (int16_t v : Render(100)) ASSERT_NEAR(v, 8211, 1);
  ASSERT_EQ(LS_SetSoundVolume(s, -10000), 1);
  for (int16_t v : Render(100)) ASSERT_LE(std::abs(v), 1);
  EXPECT_EQ(LS_SetSoundVolume(s, -10001), 0);  // refused, volume kept
  EXPECT_EQ(s->Volume, -10000);
  LS_FreeSound(s);
}

TEST_F(SoundTest, StatusAndPosition) {
  SOUND* s = LS_LoadSound(ConstantFile("one.wav", 11025, 3000, 1000).c_str(), 4);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(LS_GetSoundStatus(s), LS_SOUND_STOPPED);
  ASSERT_EQ(PlaySound(s, 0, 1), 1);
  EXPECT_EQ(s->Once, 1);
  EXPECT_EQ(LS_GetSoundStatus(s), LS_SOUND_PLAYING);
  // A one-shot of 1000 frames at 11025 Hz lasts 4000 output frames.
  EXPECT_NEAR(static_cast<double>(ztest::AudibleFrames(Render(5000))), 4000, 2);
  EXPECT_EQ(LS_GetSoundStatus(s), LS_SOUND_STOPPED);
  EXPECT_EQ(Cursor(s), 0u);
  ASSERT_EQ(PlaySound(s, 0, 1), 1);  // whole again
  EXPECT_NEAR(static_cast<double>(ztest::AudibleFrames(Render(5000))), 4000, 2);

  // On a playing sound PlaySound restarts at frame 0.
  ASSERT_EQ(PlaySound(s, 0, 1), 1);
  Render(1000);
  EXPECT_EQ(Cursor(s), 250u * 2);
  ASSERT_EQ(PlaySound(s, 0, 1), 1);
  EXPECT_EQ(Cursor(s), 0u);
  EXPECT_NEAR(static_cast<double>(ztest::AudibleFrames(Render(5000))), 4000, 2);

  // StopSound rewinds a playing sound; the output is then silent.
  ASSERT_EQ(PlaySound(s, 0, 0), 1);
  EXPECT_EQ(s->Once, 0);
  Render(1000);
  EXPECT_EQ(StopSound(s, 0), 1);
  EXPECT_EQ(LS_GetSoundStatus(s), LS_SOUND_STOPPED);
  EXPECT_EQ(Cursor(s), 0u);
  for (int16_t v : Render(500)) ASSERT_EQ(v, 0);
  EXPECT_EQ(StopSound(s, 0), 0);  // not playing: nothing to do

  EXPECT_EQ(LS_SetSoundPosition(s, 1998), 1);
  EXPECT_EQ(Cursor(s), 1998u);
  EXPECT_EQ(LS_SetSoundPosition(s, 2000), 0);
  EXPECT_EQ(Cursor(s), 1998u);
  LS_FreeSound(s);

  SOUND* plain = LS_LoadSound("one.wav", LS_DefaultHeap);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(LS_GetSoundStatus(plain), LS_SOUND_NONE);
  EXPECT_EQ(PlaySound(plain, 0, 1), 0);
  LS_FreeSound(plain);
  EXPECT_EQ(LSI_Var.NbAlloc, 0);
}

TEST_F(SoundTest, StoredValuesMakeNoCall) {
  SOUND* s = LS_LoadSound(SineFile("sine.wav", 11025, 1000.0, 11025).c_str(), 4);
  ASSERT_NE(s, nullptr);
  const uint32_t before = audio::Calls(s->Buffer).total;
  EXPECT_EQ(LS_SetSoundVolume(s, 0), 1);
  EXPECT_EQ(LS_SetSoundFrequence(s, 11025), 1);
  EXPECT_EQ(audio::Calls(s->Buffer).total, before);
  EXPECT_EQ(LS_SetSoundVolume(s, -100), 1);
  EXPECT_EQ(audio::Calls(s->Buffer).volume, 1u);

  // PlaySound keeps the frequency it applied, so going back to the
  // file's own rate is not skipped.
  ASSERT_EQ(PlaySound(s, 22050, 0), 1);
  EXPECT_EQ(s->Frequency, 22050);
  ASSERT_EQ(LS_SetSoundFrequence(s, 11025), 1);
  EXPECT_EQ(s->Frequency, 11025);
  EXPECT_NEAR(ztest::ZeroCrossings(Channel(Render(22050), 0)), 1000, 2);
  LS_FreeSound(s);
}

TEST_F(SoundTest, SetSoundFormatSetsThePrimaryFormat) {
  audio::PcmFormat f{};
  ASSERT_NE(LSYS_PrimarySoundBuffer, nullptr);
  ASSERT_EQ(audio::GetFormat(LSYS_PrimarySoundBuffer, &f), audio::kOk);
  EXPECT_EQ(f.samplesPerSec, 22050u);
  EXPECT_EQ(f.channels, 2);
  EXPECT_EQ(f.bitsPerSample, 16);

  const SOUNDFORMAT twelve{22050, 2, 12};
  SetSoundFormat(&twelve);
  ASSERT_EQ(audio::GetFormat(LSYS_PrimarySoundBuffer, &f), audio::kOk);
  EXPECT_EQ(f.bitsPerSample, 16);
  EXPECT_EQ(f.blockAlign, 4);
  EXPECT_EQ(f.avgBytesPerSec, 88200u);

  const SOUNDFORMAT game{11025, 1, 8};
  SetSoundFormat(&game);
  ASSERT_EQ(audio::GetFormat(LSYS_PrimarySoundBuffer, &f), audio::kOk);
  EXPECT_EQ(f.samplesPerSec, 11025u);
  EXPECT_EQ(f.bitsPerSample, 8);
  EXPECT_EQ(f.blockAlign, 1);
  EXPECT_EQ(f.avgBytesPerSec, 11025u);
  ASSERT_NE(LSYS_PrimarySound, nullptr);
  EXPECT_EQ(LSYS_PrimarySound->SampleRate, 11025u);
  EXPECT_EQ(LSYS_PrimarySound->BlockAlign, 1);
  // The output keeps its own rate and channels.
  EXPECT_EQ(audio::OutputRate(), ztest::kOutRate);
  EXPECT_EQ(audio::OutputChannels(), 2);
}

TEST_F(SoundTest, EveryCallRefusesWhileABitmapIsLocked) {
  const std::string name = ConstantFile("dc.wav", 44100, 10000, 1000);
  SOUND* s = LS_LoadSound(name.c_str(), 4);
  ASSERT_NE(s, nullptr);
  LS_BmapLockCount = 1;
  const SOUNDFORMAT format{11025, 1, 8};
  const std::pair<const char*, std::function<void()>> calls[] = {
      {"LS_LoadSound", [&] { EXPECT_EQ(LS_LoadSound(name.c_str(), 4), nullptr); }},
      {"LS_FreeSound", [&] { LS_FreeSound(s); }},
      {"PlaySound", [&] { EXPECT_EQ(PlaySound(s, 0, 0), 0); }},
      {"StopSound", [&] { EXPECT_EQ(StopSound(s, 0), 0); }},
      {"LS_GetSoundStatus", [&] { EXPECT_EQ(LS_GetSoundStatus(s), 0); }},
      {"LS_SetSoundFrequence", [&] { EXPECT_EQ(LS_SetSoundFrequence(s, 8000), 0); }},
      {"LS_SetSoundVolume", [&] { EXPECT_EQ(LS_SetSoundVolume(s, -500), 0); }},
      {"LS_SetSoundPosition", [&] { EXPECT_EQ(LS_SetSoundPosition(s, 10), 0); }},
      {"SetSoundFormat", [&] { SetSoundFormat(&format); }},
  };
  for (const auto& [name, call] : calls) {
    SCOPED_TRACE(name);
    LSI_Var.LastError = 0;
    call();
    EXPECT_EQ(LS_GetLastError(), 8u);
  }
  for (int16_t v : Render(200)) ASSERT_EQ(v, 0);
  LS_BmapLockCount = 0;
  EXPECT_EQ(s->Frequency, 44100);
  EXPECT_EQ(s->Volume, 0);
  EXPECT_EQ(LSI_Var.NbSound, 1);  // not freed
  LS_FreeSound(s);
}

TEST_F(SoundTest, LockedBitmapInFatalModeEndsTheProgramWithTheCallsName) {
  SOUND* s = LS_LoadSound(ConstantFile("dc.wav", 44100, 10000, 100).c_str(), 4);
  ASSERT_NE(s, nullptr);
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  LS_BmapLockCount = 1;
  EXPECT_EQ(ztest::ExitCodeOf([&] { PlaySound(s, 0, 1); }), 1);
  LS_BmapLockCount = 0;
  ASSERT_FALSE(Boxes().empty());
  EXPECT_NE(Boxes().back().find("Cannot execute function (PlaySound) while bmap locked"), std::string::npos);
  LS_FreeSound(s);
}

TEST_F(SoundTest, BeepSoundsAShortTone) {
  LS_Beep();
  EXPECT_EQ(plat::BeepCount(), 1);
  EXPECT_GT(ztest::Peak(Render(2000)), 5000);
  Render(44100);
  EXPECT_EQ(ztest::Peak(Render(1000)), 0);
}

TEST_F(SoundTest, CloseReleasesTheDevice) {
  SOUND* s = LS_LoadSound(ConstantFile("dc.wav", 44100, 10000, 100).c_str(), 4);
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(PlaySound(s, 0, 0), 1);
  LS_FreeSound(s);
  EXPECT_EQ(LSI_Var.SoundOn, 1u);
  LSI_CloseSound();
  EXPECT_EQ(LSI_Var.SoundOn, 0u);
  EXPECT_EQ(LSYS_DirectSound, nullptr);
  EXPECT_EQ(LSYS_PrimarySoundBuffer, nullptr);
  audio::Device* d = nullptr;
  EXPECT_EQ(audio::CreateDevice(&d), audio::kOk);  // the output stays
}

// Library start with chosen switches; the sound error box's caption is
// recorded.
class SoundSwitchTest : public ztest::SoundTest {
 protected:
  void TearDown() override {
    plat::SetMessageBoxBackend(nullptr);
    ztest::SoundTest::TearDown();
  }
  static int Record(const std::string& text, const std::string& caption) {
    Captions().push_back(caption + ": " + text);
    return plat::kMessageBoxOk;
  }
  static std::vector<std::string>& Captions() {
    static std::vector<std::string> captions;
    return captions;
  }
};

TEST_F(SoundSwitchTest, SoundFalseTurnsEveryCallOff) {
  WriteWinIni("[ZIDADE]\nMaster=FALSE\nSound=FALSE\n");
  ztest::WriteBytes(root_ + "/a.wav", datagen::EncodeWave(MakeWave(11025, 1, 8)));
  StartLibrary();
  EXPECT_EQ(LSI_Var.SoundOn, 0u);
  EXPECT_EQ(LSYS_DirectSound, nullptr);
  EXPECT_EQ(LS_LoadSound("a.wav", 4), nullptr);
  EXPECT_EQ(LS_LoadSound("a.wav", LS_DefaultHeap), nullptr);
  SOUND fake{};
  EXPECT_EQ(PlaySound(&fake, 0, 0), 0);
  EXPECT_EQ(StopSound(&fake, 0), 0);
  EXPECT_EQ(LS_GetSoundStatus(&fake), 0);
  EXPECT_EQ(LS_SetSoundFrequence(&fake, 1), 0);
  EXPECT_EQ(LS_SetSoundVolume(&fake, 1), 0);
  EXPECT_EQ(LS_SetSoundPosition(&fake, 1), 0);
  const SOUNDFORMAT format{11025, 1, 8};
  SetSoundFormat(&format);
  LS_FreeSound(&fake);  // does nothing, so the record on the stack is safe
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SoundSwitchTest, OnlyTheExactTextFalseTurnsSoundOff) {
  WriteWinIni("[ZIDADE]\nMaster=FALSE\nSound=false\n");
  StartLibrary();
  EXPECT_EQ(LSI_Var.SoundOn, 1u);
}

TEST_F(SoundSwitchTest, MasterOnDoesNotReadTheSoundKey) {
  WriteWinIni("[ZIDADE]\nMaster=TRUE\nSound=FALSE\n");
  StartLibrary();
  EXPECT_EQ(LSI_Var.SoundOn, 1u);
  EXPECT_EQ(LSI_Var.NbSound, 0);
}

TEST_F(SoundSwitchTest, NoOutputMeansSilenceAndABoxOnlyInDebug) {
  audio::Reset();
  StartLibrary();
  EXPECT_EQ(LSI_Var.SoundOn, 0u);
  EXPECT_TRUE(Boxes().empty());
  LS_CloseZidAde();
  started_ = false;

  WriteWinIni("[ZIDADE]\nMaster=FALSE\nDebug=TRUE\n");
  plat::SetMessageBoxBackend(Record);
  Captions().clear();
  StartLibrary();
  EXPECT_EQ(LSI_Var.SoundOn, 0u);
  ASSERT_FALSE(Captions().empty());
  EXPECT_EQ(Captions()[0], "Zidade Sound Error: DirectSoundCreate Error!");
}

TEST_F(SoundSwitchTest, DebugShowsTheSoundErrorBox) {
  datagen::Wave w = MakeWave(22050, 1, 16);
  w.samples = datagen::ConstantSamples(w, 0, 100);
  std::vector<uint8_t> bytes = datagen::EncodeWave(w);
  bytes[34] = 12;  // bits per sample
  ztest::WriteBytes(root_ + "/odd.wav", bytes);

  WriteWinIni("[ZIDADE]\nMaster=FALSE\nDebug=TRUE\n");
  plat::SetMessageBoxBackend(Record);
  Captions().clear();
  StartLibrary();
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  SOUND* s = LS_LoadSound("odd.wav", 4);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Buffer, nullptr);
  EXPECT_EQ(LSI_Var.NbSound, 0);
  ASSERT_EQ(Captions().size(), 1u);
  EXPECT_EQ(Captions()[0], "Zidade Sound Error: LSLoadSound Error!");
  LS_FreeSound(s);
  EXPECT_EQ(LSI_Var.NbAlloc, 0);
}

TEST_F(SoundSwitchTest, WithoutDebugThereIsNoSoundErrorBox) {
  datagen::Wave w = MakeWave(22050, 1, 16);
  w.samples = datagen::ConstantSamples(w, 0, 100);
  std::vector<uint8_t> bytes = datagen::EncodeWave(w);
  bytes[34] = 12;
  ztest::WriteBytes(root_ + "/odd.wav", bytes);
  WriteWinIni("[ZIDADE]\nMaster=FALSE\n");
  StartLibrary();
  SOUND* s = LS_LoadSound("odd.wav", 4);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Buffer, nullptr);
  LS_FreeSound(s);
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
