// Sound effects: WAVE loading, playing through the mixer, the switches,
// the lock guard and the sound error box.
#include <gtest/gtest.h>

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
  // A mono 16-bit file of a sine, or of a constant level when hertz is 0.
  SOUND* Load(const std::string& name, uint32_t rate, double hertz, uint32_t frames, int32_t level = 16384) {
    datagen::Wave w = MakeWave(rate, 1, 16);
    w.samples = hertz > 0 ? datagen::SineSamples(w, hertz, frames, 0.5) : datagen::ConstantSamples(w, level, frames);
    SOUND* s = LS_LoadSound(Put(name, w).c_str(), 4);
    EXPECT_NE(s, nullptr);
    return s;
  }
  static uint32_t Cursor(SOUND* s) {
    uint32_t play = 0;
    EXPECT_EQ(audio::GetPosition(s->Buffer, &play, nullptr), audio::kOk);
    return play;
  }
  static double Audible(uint32_t frames) { return static_cast<double>(ztest::AudibleFrames(Render(frames))); }
};

// Memory heaps keep the file's bytes; the hardware kind makes a buffer
// and keeps nothing else.
TEST_F(SoundTest, LoadsEveryFormatIntoMemoryOrABuffer) {
  const int16_t allocs = LSI_Var.NbAlloc;
  for (auto [bits, channels, rate] : {std::tuple<uint16_t, uint16_t, uint32_t>{8, 1, 11025}, {16, 2, 44100}}) {
    datagen::Wave w = MakeWave(rate, channels, bits);
    w.samples = datagen::SineSamples(w, 440.0, 300, 0.4);
    const std::string name = Put("t.wav", w);
    SOUND* s = LS_LoadSound(name.c_str(), LS_DefaultHeap);
    ASSERT_NE(s, nullptr);
    const uint32_t align = channels * bits / 8u;
    EXPECT_EQ((std::tuple{s->FormatTag, s->Channels, s->SampleRate, s->BitsPerSample, s->BlockAlign, s->AvgBytesPerSec}),
              (std::tuple{1u, uint32_t{channels}, rate, uint32_t{bits}, align, rate * align})) << rate;
    EXPECT_EQ(std::vector<uint8_t>(s->Data, s->Data + s->DataLength), w.samples);
    EXPECT_EQ(s->Buffer, nullptr);
    LS_FreeSound(s);
    s = LS_LoadSound(name.c_str(), LS_SOUNDHEAP_HARDWARE);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ((std::tuple{s->Buffer != nullptr, s->Data, s->FileImage, s->Frequency, LSI_Var.NbSound}),
              (std::tuple{true, nullptr, nullptr, static_cast<int32_t>(rate), int16_t{1}})) << rate;
    LS_FreeSound(s);
    EXPECT_EQ((std::tuple{LSI_Var.NbSound, LSI_Var.NbAlloc}), (std::tuple{int16_t{0}, allocs}));
  }
  Put("BANG.WAV", MakeWave(11025, 1, 8));  // a name without extension gets ".WAV"
  SOUND* s = LS_LoadSound("bang", LS_DefaultHeap);
  EXPECT_NE(s, nullptr);
  LS_FreeSound(s);
  EXPECT_EQ(LS_LoadSound("bang.snd", LS_DefaultHeap), nullptr);
  EXPECT_TRUE(Boxes().empty());
}

// Files made by sox, a tool of its own, at run time.
TEST_F(SoundTest, LoadsFilesMadeBySox) {
  if (std::system("command -v sox >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is not installed";
  for (const char* options : {"-r 22050 -b 8 -c 1", "-r 44100 -b 16 -c 2"}) {
    SCOPED_TRACE(options);
    const std::string command =
        std::string("sox -D -n ") + options + " '" + root_ + "/tone.wav' synth 0.25 sine 440 vol 0.5 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    SOUND* s = LS_LoadSound("tone.wav", 4);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(PlaySound(s, 0, 1), 1);
    const auto left = Channel(Render(44100 / 4), 0);
    EXPECT_NEAR(ztest::ZeroCrossings(left), 220, 4);
    EXPECT_NEAR(ztest::Peak(left), 16384, 600);
    LS_FreeSound(s);
  }
}

TEST_F(SoundTest, ChunkWalkFindsDataAmongOtherChunksInEitherByteOrder) {
  datagen::Wave w = MakeWave(22050, 1, 16);
  w.samples = datagen::ConstantSamples(w, 1000, 50);
  w.before = {{"LIST", {1, 2, 3, 4}}, {"fact", {100, 0, 0, 0}}, {"cue ", std::vector<uint8_t>(4, 0)}};
  std::vector<uint8_t> bytes = datagen::EncodeWave(w);
  for (auto [offset, tag] : {std::pair{0, "FFIR"}, {8, "EVAW"}, {12, " tmf"}, {36, "TSIL"}, {72, "atad"}})
    for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(offset + i)] = static_cast<uint8_t>(tag[i]);
  ztest::WriteBytes(root_ + "/rev.wav", bytes);
  SOUND* s = LS_LoadSound("rev.wav", 4);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ((std::tuple{s->SampleRate, s->DataLength}), (std::tuple{22050u, 100u}));
  LS_FreeSound(s);
}

TEST_F(SoundTest, FrequencyAndVolumeChangeTheOutput) {
  SOUND* s = Load("sine.wav", 22050, 1000.0, 22050);
  ASSERT_EQ(PlaySound(s, 0, 0), 1);
  EXPECT_NEAR(ztest::ZeroCrossings(Channel(Render(22050), 0)), 1000, 2);
  ASSERT_EQ(LS_SetSoundFrequence(s, 11025), 1);
  EXPECT_NEAR(ztest::ZeroCrossings(Channel(Render(22050), 0)), 500, 2);
  LS_FreeSound(s);

  s = Load("dc.wav", 44100, 0, 4410);
  ASSERT_EQ(PlaySound(s, 0, 0), 1);
  for (auto [volume, level] : {std::pair{0, 16384}, {-600, 8211}, {-10000, 0}}) {
    ASSERT_EQ(LS_SetSoundVolume(s, volume), 1);
    for (int16_t v : Render(100)) ASSERT_NEAR(v, level, 1) << volume;
  }
  EXPECT_EQ((std::tuple{LS_SetSoundVolume(s, -10001), s->Volume}), (std::tuple{0, -10000}));  // refused, volume kept
  LS_FreeSound(s);
}

TEST_F(SoundTest, StatusAndPosition) {
  SOUND* s = Load("one.wav", 11025, 0, 1000, 3000);
  EXPECT_EQ(LS_GetSoundStatus(s), LS_SOUND_STOPPED);
  ASSERT_EQ(PlaySound(s, 0, 1), 1);
  EXPECT_EQ(LS_GetSoundStatus(s), LS_SOUND_PLAYING);
  EXPECT_NEAR(Audible(5000), 4000, 2);  // 1000 frames at 11025 Hz
  EXPECT_EQ((std::tuple{LS_GetSoundStatus(s), Cursor(s)}), (std::tuple{LS_SOUND_STOPPED, 0u}));
  // On a playing sound PlaySound restarts at frame 0.
  ASSERT_EQ(PlaySound(s, 0, 1), 1);
  Render(1000);
  EXPECT_EQ(Cursor(s), 250u * 2);
  ASSERT_EQ(PlaySound(s, 0, 1), 1);
  EXPECT_NEAR(Audible(5000), 4000, 2);
  // StopSound rewinds a looping sound; the output is then silent.
  ASSERT_EQ(PlaySound(s, 0, 0), 1);
  Render(1000);
  EXPECT_EQ(StopSound(s, 0), 1);
  EXPECT_EQ((std::tuple{Cursor(s), Audible(500)}), (std::tuple{0u, 0.0}));
  EXPECT_EQ(StopSound(s, 0), 0);  // not playing: nothing to do
  EXPECT_EQ((std::tuple{LS_SetSoundPosition(s, 1998), LS_SetSoundPosition(s, 2000), Cursor(s)}), (std::tuple{1, 0, 1998u}));
  LS_FreeSound(s);

  SOUND* plain = LS_LoadSound("one.wav", LS_DefaultHeap);
  EXPECT_EQ((std::tuple{LS_GetSoundStatus(plain), PlaySound(plain, 0, 1)}), (std::tuple{LS_SOUND_NONE, 0}));
  LS_FreeSound(plain);
}

TEST_F(SoundTest, StoredValuesMakeNoCall) {
  SOUND* s = Load("sine.wav", 11025, 1000.0, 11025);
  const uint32_t before = audio::Calls(s->Buffer).total;
  EXPECT_EQ(LS_SetSoundVolume(s, 0), 1);
  EXPECT_EQ(LS_SetSoundFrequence(s, 11025), 1);
  EXPECT_EQ(audio::Calls(s->Buffer).total, before);
  // PlaySound keeps the frequency it applied, so going back to the file's
  // own rate is not skipped.
  ASSERT_EQ(PlaySound(s, 22050, 0), 1);
  ASSERT_EQ(LS_SetSoundFrequence(s, 11025), 1);
  EXPECT_NEAR(ztest::ZeroCrossings(Channel(Render(22050), 0)), 1000, 2);
  ASSERT_EQ(PlaySound(s, 22050, 0), 1);
  ASSERT_EQ(PlaySound(s, 0, 0), 1);  // 0: the file's own rate
  EXPECT_EQ(s->Frequency, 11025);
  LS_FreeSound(s);
}

TEST_F(SoundTest, SetSoundFormatSetsThePrimaryFormatOnly) {
  audio::PcmFormat f{};
  ASSERT_EQ(audio::GetFormat(LSYS_PrimarySoundBuffer, &f), audio::kOk);
  EXPECT_EQ((std::tuple{f.samplesPerSec, f.channels, f.bitsPerSample}), (std::tuple{22050u, uint16_t{2}, uint16_t{16}}));
  const SOUNDFORMAT twelve{22050, 2, 12};  // twelve bits are taken as sixteen
  SetSoundFormat(&twelve);
  ASSERT_EQ(audio::GetFormat(LSYS_PrimarySoundBuffer, &f), audio::kOk);
  EXPECT_EQ((std::tuple{f.blockAlign, f.avgBytesPerSec}), (std::tuple{uint16_t{4}, 88200u}));
  const SOUNDFORMAT game{11025, 1, 8};
  SetSoundFormat(&game);
  ASSERT_EQ(audio::GetFormat(LSYS_PrimarySoundBuffer, &f), audio::kOk);
  EXPECT_EQ((std::tuple{f.blockAlign, LSYS_PrimarySound->SampleRate}), (std::tuple{uint16_t{1}, 11025u}));
  EXPECT_EQ(audio::OutputRate(), ztest::kOutRate);  // the output keeps its own
}

TEST_F(SoundTest, EveryCallRefusesWhileABitmapIsLocked) {
  SOUND* s = Load("dc.wav", 44100, 0, 1000, 10000);
  LS_SetErrorMode(LS_ERRMODE_LOG);
  LS_BmapLockCount = 1;
  const SOUNDFORMAT format{11025, 1, 8};
  const std::pair<const char*, std::function<void()>> calls[] = {
      {"LS_LoadSound", [&] { EXPECT_EQ(LS_LoadSound("dc.wav", 4), nullptr); }},
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
    call();
    EXPECT_EQ(Logged(std::string("(") + name + ") while bmap locked"), 1) << name;
  }
  EXPECT_EQ(Audible(200), 0);
  LS_BmapLockCount = 0;
  EXPECT_EQ((std::tuple{s->Frequency, s->Volume, LSI_Var.NbSound}), (std::tuple{44100, 0, int16_t{1}}));  // not freed
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
  SOUND* s = Load("dc.wav", 44100, 0, 100);
  ASSERT_EQ(PlaySound(s, 0, 0), 1);
  LS_FreeSound(s);
  LSI_CloseSound();
  EXPECT_EQ((std::tuple{LSI_Var.SoundOn, LSYS_DirectSound, LSYS_PrimarySoundBuffer}), (std::tuple{0u, nullptr, nullptr}));
  audio::Device* d = nullptr;
  EXPECT_EQ(audio::CreateDevice(&d), audio::kOk);  // the output stays
}

// Library start with chosen switches; the sound error box's caption is
// recorded.
class SoundSwitchTest : public ztest::SoundTest {
 protected:
  void SetUp() override {
    ztest::SoundTest::SetUp();
    plat::SetMessageBoxBackend(Record);
    Captions().clear();
  }
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
  // A file of 12-bit samples: loaded, but no buffer is made for it.
  SOUND* LoadOdd() {
    datagen::Wave w = MakeWave(22050, 1, 16);
    w.samples = datagen::ConstantSamples(w, 0, 100);
    std::vector<uint8_t> bytes = datagen::EncodeWave(w);
    bytes[34] = 12;  // bits per sample
    ztest::WriteBytes(root_ + "/odd.wav", bytes);
    SOUND* s = LS_LoadSound("odd.wav", 4);
    EXPECT_NE(s, nullptr);
    EXPECT_EQ(s->Buffer, nullptr);
    return s;
  }
};

TEST_F(SoundSwitchTest, SwitchesAndTheOutputTurnSoundOnOrOff) {
  const std::tuple<const char*, bool, uint32_t> rows[] = {
      {"[ZIDADE]\nMaster=FALSE\nSound=FALSE\n", true, 0},
      {"[ZIDADE]\nMaster=FALSE\nSound=false\n", true, 1},  // only the exact text
      {"[ZIDADE]\nMaster=TRUE\nSound=FALSE\n", true, 1},   // master on: the key is not read
      {"", false, 0},                                      // no output
  };
  for (const auto& [ini, output, on] : rows) {
    WriteWinIni(ini);
    if (!output) audio::Reset();
    StartLibrary();
    EXPECT_EQ(LSI_Var.SoundOn, on) << ini;
    EXPECT_EQ(LSYS_DirectSound == nullptr, on == 0) << ini;
    LS_CloseZidAde();
    started_ = false;
  }
  EXPECT_TRUE(Captions().empty());
}

TEST_F(SoundSwitchTest, SoundOffTurnsEveryCallOff) {
  WriteWinIni("[ZIDADE]\nMaster=FALSE\nSound=FALSE\n");
  ztest::WriteBytes(root_ + "/a.wav", datagen::EncodeWave(MakeWave(11025, 1, 8)));
  StartLibrary();
  EXPECT_EQ(LS_LoadSound("a.wav", LS_DefaultHeap), nullptr);
  SOUND fake{};
  EXPECT_EQ(PlaySound(&fake, 0, 0) + StopSound(&fake, 0) + LS_GetSoundStatus(&fake), 0);
  EXPECT_EQ(LS_SetSoundFrequence(&fake, 1) + LS_SetSoundVolume(&fake, 1) + LS_SetSoundPosition(&fake, 1), 0);
  const SOUNDFORMAT format{11025, 1, 8};
  SetSoundFormat(&format);
  LS_FreeSound(&fake);  // does nothing, so the record on the stack is safe
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SoundSwitchTest, SoundErrorBoxesOnlyInDebug) {
  StartLibrary();
  LS_FreeSound(LoadOdd());
  EXPECT_TRUE(Captions().empty());
  LS_CloseZidAde();
  started_ = false;

  WriteWinIni("[ZIDADE]\nMaster=FALSE\nDebug=TRUE\n");
  StartLibrary();
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  LS_FreeSound(LoadOdd());
  EXPECT_EQ(Captions(), std::vector<std::string>{"Zidade Sound Error: LSLoadSound Error!"});
  EXPECT_EQ(LSI_Var.NbAlloc, 0);
  LS_CloseZidAde();
  started_ = false;

  Captions().clear();
  audio::Reset();
  StartLibrary();
  EXPECT_EQ(Captions(), std::vector<std::string>{"Zidade Sound Error: DirectSoundCreate Error!"});
}

}  // namespace
