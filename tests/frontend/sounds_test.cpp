// Interface waves on the audio stand-in: which file a row loads, the output
// format, the fade-in, the played list, the waves stopped by screen changes
// and the release.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "datagen/wavwrite.h"
#include "frontend/menu.h"
#include "frontend/menuparts.h"
#include "platform/audio.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "system/sound.h"
#include "system/win/dsound.h"
#include "tests/support/soundtest.h"

namespace {

namespace audio = plat::audio;

class InterfaceSounds : public ztest::SoundTest {
 protected:
  void SetUp() override {
    ztest::SoundTest::SetUp();
    StartLibrary(8u << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
  }
  void TearDown() override {
    FreeInterfaceWaves();
    ztest::SoundTest::TearDown();
  }
  // A wave of frames frames under "INTER>SONS>", so that the file a row
  // came from shows in its length.
  void Wave(const std::string& name, uint32_t frames, uint16_t channels = 1) {
    datagen::Wave w = ztest::MakeWave(22050, channels, 16);
    w.samples = datagen::ConstantSamples(w, 8000, frames);
    Put("INTER/SONS/" + name, w);
  }
  static uint32_t Frames(SOUND* s) { return s ? s->DataLength / s->BlockAlign : 0; }
  static audio::PcmFormat Primary() {
    audio::PcmFormat f{};
    audio::GetFormat(LSYS_PrimarySoundBuffer, &f);
    return f;
  }
  // Screen 2 current, naming row screenSound, with one item naming rows
  // sound and fade.
  static void Screen(int32_t screenSound, int32_t sound, int32_t fade) {
    SB_Var.MenuScreen = 2;
    TMENUSCREEN& s = SB_Var.MenuScreens[2];
    s.Sound = screenSound;
    s.NbItems = 1;
    s.Items[0].Sound = sound;
    s.Items[0].FadeSound = fade;
  }
  // A wave loaded into row and playing looped at volume.
  SOUND* Playing(int32_t row, int32_t volume) {
    Wave("R" + std::to_string(row) + ".WAV", 22050);
    SB_Var.MenuSounds[row].FileName = nullptr;
    SOUND* s = LS_LoadSound(("INTER>SONS>R" + std::to_string(row) + ".WAV").c_str(), LS_SOUNDHEAP_HARDWARE);
    EXPECT_NE(s, nullptr);
    SB_Var.MenuSounds[row].Wave = s;
    LS_SetSoundVolume(s, volume);
    PlayInterfaceWaveLooped(s);
    return s;
  }
  static std::vector<SOUND*> Played() {
    std::vector<SOUND*> out;
    for (SOUND* s : SB_Var.PlayedWaves)
      if (s) out.push_back(s);
    return out;
  }
};

// The memory class chooses the full-quality or the low-memory file and the
// channels of the output; the car choice's wave is always full quality.
TEST_F(InterfaceSounds, MemoryClassChoosesTheFileAndTheFormat) {
  Wave("MENU1.WAV", 100, 2);
  Wave("MENU1M.WAV", 50);
  Wave("CHRONO.WAV", 30);
  Wave("RALENTI1.WAV", 70, 2);
  Wave("RALENT1M.WAV", 35);
  Wave("SELCTCAR.WAV", 40, 2);
  Wave("SELCTCAM.WAV", 20);
  const struct {
    int32_t memory;
    uint32_t menuFrames, idleFrames;
    uint16_t channels;
  } rows[] = {{24999999, 50, 35, 1}, {25000000, 100, 70, 2}, {0, 50, 35, 1}, {68157441, 100, 70, 2}};
  for (const auto& row : rows) {
    SB_Var.MemoryClass = row.memory;
    Screen(6, 2, 8);
    LoadScreenSounds();
    EXPECT_EQ((std::tuple{Frames(MenuWave(6)), Frames(MenuWave(2)), Frames(MenuWave(8))}),
              (std::tuple{row.menuFrames, 30u, row.idleFrames})) << row.memory;
    const audio::PcmFormat f = Primary();
    EXPECT_EQ((std::tuple{f.samplesPerSec, f.channels, f.bitsPerSample}), (std::tuple{22050u, row.channels, uint16_t{16}})) << row.memory;
    LoadSelectCarWave();
    EXPECT_EQ(Frames(MenuWave(10)), 40u) << row.memory;
    FreeInterfaceWaves();
  }
}

// A loaded row is kept; a screen wave alone does not set the format.
TEST_F(InterfaceSounds, LoadsOnceAndTheScreenWaveKeepsTheFormat) {
  Wave("MENU1.WAV", 100, 2);
  SB_Var.MemoryClass = 68157441;
  const audio::PcmFormat before = Primary();
  Screen(6, 0, 0);
  LoadScreenSounds();
  SOUND* first = MenuWave(6);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ((std::tuple{Primary().samplesPerSec, Primary().channels}), (std::tuple{before.samplesPerSec, before.channels}));
  LoadScreenSounds();
  EXPECT_EQ(MenuWave(6), first);
  EXPECT_EQ(LSI_Var.NbSound, 1);
}

// Missing and damaged files leave their row empty, and every operation
// ignores an empty row.
TEST_F(InterfaceSounds, BadFilesLeaveTheRowEmpty) {
  Wave("CHRONO.WAV", 30);
  std::vector<uint8_t> good = datagen::EncodeWave(ztest::MakeWave(22050, 1, 16));
  std::vector<uint8_t> truncated(good.begin(), good.begin() + 20);
  std::vector<uint8_t> wrong = good;
  wrong[0] = 'X';
  std::vector<uint8_t> format = good;
  format[20] = 2;  // not PCM
  ztest::WriteBytes(root_ + "/INTER/SONS/COMMAND.WAV", truncated);
  ztest::WriteBytes(root_ + "/INTER/SONS/CONFIG.WAV", wrong);
  ztest::WriteBytes(root_ + "/INTER/SONS/CPURACE.WAV", format);
  SB_Var.MemoryClass = 68157441;
  SB_Var.MenuScreen = 2;
  TMENUSCREEN& s = SB_Var.MenuScreens[2];
  s.Sound = 1;  // CHOOSCAR: missing
  s.NbItems = 4;
  const int32_t items[4][2] = {{2, 3}, {4, 5}, {6, 0}, {0, 7}};
  for (int i = 0; i < 4; ++i) s.Items[i].Sound = items[i][0], s.Items[i].FadeSound = items[i][1];
  LoadScreenSounds();
  for (int32_t row = 0; row < SB_MENUSOUNDLOWMEMORY; ++row) EXPECT_EQ(MenuWave(row) != nullptr, row == 2) << row;
  LoadSelectCarWave();
  EXPECT_EQ(MenuWave(10), nullptr);
  PlayInterfaceWave(nullptr);
  PlayInterfaceWaveLooped(nullptr);
  StopInterfaceWave(nullptr);
  RegisterPlayedWave(nullptr);
  UnregisterPlayedWave(nullptr);
  EXPECT_TRUE(Played().empty());
}

// A fade step raises each playing listed wave by 4 dB, never above full.
TEST_F(InterfaceSounds, FadeReachesFullVolumeAndStopsThere) {
  for (auto [volume, steps] : {std::pair{-10000, 25}, {-300, 1}, {-401, 2}}) {
    SOUND* s = Playing(8, volume);
    RegisterPlayedWave(s);
    int n = 0;
    while (s->Volume < 0 && n < 100) UpdateInterfaceWaves(), ++n;
    EXPECT_EQ(n, steps) << volume;
    UpdateInterfaceWaves();
    EXPECT_EQ(s->Volume, 0) << volume;
    FreeInterfaceWaves();
  }
}

TEST_F(InterfaceSounds, StoppedWaveStaysListedAndIsNotRaised) {
  SOUND* s = Playing(8, -5000);
  RegisterPlayedWave(s);
  StopSound(s, 0);
  UpdateInterfaceWaves();
  EXPECT_EQ(s->Volume, -5000);
  EXPECT_EQ(Played(), std::vector<SOUND*>{s});
}

TEST_F(InterfaceSounds, SeventeenthRegistrationIsRefused) {
  SOUND* a = Playing(8, 0);
  SOUND* b = Playing(9, 0);
  for (int i = 0; i < MAXPLAYEDWAVES; ++i) RegisterPlayedWave(i % 2 ? b : a);
  const std::vector<SOUND*> full = Played();
  ASSERT_EQ(full.size(), 16u);
  EXPECT_TRUE(Boxes().empty());
  RegisterPlayedWave(a);
  EXPECT_EQ(Played(), full);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("Trop de Waves joues en meme temps augmenter MAXPLAYEDWAVES"), std::string::npos);
}

TEST_F(InterfaceSounds, UnregisteringPacksTheListAndStopsTheWave) {
  SOUND* a = Playing(7, 0);
  SOUND* b = Playing(8, 0);
  SOUND* c = Playing(9, 0);
  for (SOUND* s : {a, b, c}) RegisterPlayedWave(s);
  UnregisterPlayedWave(a);
  EXPECT_EQ((std::tuple{SB_Var.PlayedWaves[0], SB_Var.PlayedWaves[1], SB_Var.PlayedWaves[2]}),
            (std::tuple{b, c, nullptr}));
  EXPECT_NE(LS_GetSoundStatus(a), LS_SOUND_PLAYING);
  EXPECT_EQ(LS_GetSoundStatus(b), LS_SOUND_PLAYING);
  UnregisterPlayedWave(a);  // not listed: nothing
  EXPECT_EQ(Played().size(), 2u);
}

// The screen change stops and unlists the idling wave bound to it.
TEST_F(InterfaceSounds, ScreenChangesStopTheirWave) {
  const struct {
    int32_t from, to, stopped;  // stopped: row 8, 9 or none (0)
  } rows[] = {{5, 2, 8}, {7, 2, 8}, {8, 2, 8}, {9, 2, 8}, {3, 2, 9}, {4, 2, 0}, {2, 5, 0}, {6, 2, 0}, {5, 3, 0}};
  for (const auto& row : rows) {
    SOUND* idle1 = Playing(8, -1000);
    SOUND* idle2 = Playing(9, -1000);
    RegisterPlayedWave(idle1);
    RegisterPlayedWave(idle2);
    SB_Var.DrawnMenuScreen = row.from;
    SB_Var.MenuScreen = row.to;
    StopTransitionWave();
    EXPECT_EQ((std::tuple{LS_GetSoundStatus(idle1) == LS_SOUND_PLAYING, LS_GetSoundStatus(idle2) == LS_SOUND_PLAYING}),
              (std::tuple{row.stopped != 8, row.stopped != 9})) << row.from << " -> " << row.to;
    EXPECT_EQ(Played().size(), row.stopped ? 1u : 2u) << row.from << " -> " << row.to;
    FreeInterfaceWaves();
  }
}

// The looped play leaves a playing wave where it is; the single play
// starts from the beginning.
TEST_F(InterfaceSounds, LoopedPlayDoesNotRestartAPlayingWave) {
  SOUND* s = Playing(8, 0);
  ztest::Render(1000);
  uint32_t before = 0, after = 0;
  audio::GetPosition(s->Buffer, &before, nullptr);
  ASSERT_GT(before, 0u);
  PlayInterfaceWaveLooped(s);
  audio::GetPosition(s->Buffer, &after, nullptr);
  EXPECT_EQ(after, before);
  PlayInterfaceWave(s);
  audio::GetPosition(s->Buffer, &after, nullptr);
  EXPECT_EQ(after, 0u);
  EXPECT_EQ(s->Once, 1);
}

// The release frees every wave and empties the list; the reset restores
// the tables.
TEST_F(InterfaceSounds, ReleaseFreesTheWavesAndResetRestoresTheTables) {
  for (int32_t row : {1, 8, 15}) RegisterPlayedWave(Playing(row, 0));
  EXPECT_EQ(LSI_Var.NbSound, 3);
  FreeInterfaceWaves();
  EXPECT_EQ(LSI_Var.NbSound, 0);
  for (int32_t row = 0; row < SB_MENUSOUNDLOWMEMORY; ++row) EXPECT_EQ(MenuWave(row), nullptr) << row;
  EXPECT_TRUE(Played().empty());
  SB_Var.ScreenChangeSounds[5].Sound = 3;
  SB_ResetVars();
  EXPECT_STREQ(SB_Var.MenuSounds[15].FileName, "INTER>SONS>STARTENP.WAV");
  EXPECT_STREQ(SB_Var.MenuSounds[22].FileName, "INTER>SONS>MENU1M.WAV");
  EXPECT_EQ(SB_Var.ScreenChangeSounds[5].Sound, 8);
}

}  // namespace
