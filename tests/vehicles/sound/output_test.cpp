// The car sounds heard through the mixer: the driven engine plays at the
// pitch rule's frequency, and the rendered output's pitch keeps the rule's
// ratios; and the sounds datagen makes: their format, the engine tones'
// cycle and the loops' seams.
#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "tests/vehicles/sound/sound_fixture.h"
#include "vehicles/physics.h"

namespace {

class Output : public ztest::CarSoundTest {};

TEST_F(Output, TheDrivenEngineSoundsAtTheRulesPitch) {
  PutSounds();
  Race(1);
  Car(0).AccelOn = 1;
  Car(0).ScrapeVolume = -10000;  // as the physics leaves it without contact
  const double rpms[] = {2000.0, 4000.0, 7000.0};
  int crossings[3] = {};
  int32_t hertz[3] = {};
  for (int i = 0; i < 3; ++i) {
    Car(0).EngineSpeed = rpms[i] / 9.549296585513721;
    SB_SetEngineFrequency(&Car(0));
    hertz[i] = Car(0).EngineFrequency;
    SB_UpdateCarSounds();
    SB_CommitCarSounds();
    const int32_t layer = rpms[i] < 6000.0 ? SB_SND_MOTOR2 : SB_SND_MOTOR;
    EXPECT_EQ(Ch(layer)->Sound->Frequency, hertz[i]) << rpms[i];
    EXPECT_EQ(LS_GetSoundStatus(Ch(layer)->Sound), LS_SOUND_PLAYING);
    ztest::Render(4410);  // past the change
    crossings[i] = ztest::ZeroCrossings(ztest::Channel(ztest::Render(2 * ztest::kOutRate), 0));
  }
  for (int i = 1; i < 3; ++i) {
    const double heard = static_cast<double>(crossings[i]) / crossings[0];
    const double rule = static_cast<double>(hertz[i]) / hertz[0];
    EXPECT_NEAR(heard / rule, 1.0, 0.02) << rpms[i];
  }
  // The tone's cycle: 50 Hz at 11000 Hz, so twice the rate at 2000 rpm...
  EXPECT_NEAR(crossings[0] / 2.0 / 2.0, 50.0 * hertz[0] / 11000.0, 50.0 * hertz[0] / 11000.0 * 0.02);
}

TEST_F(Output, DatagenSoundsAreMono11025AndTheirLoopsHaveNoStep) {
  const auto sounds = datagen::CarSounds();
  ASSERT_EQ(sounds.size(), static_cast<size_t>(SB_NBCARSOUNDS));
  for (int i = 0; i < SB_NBCARSOUNDS; ++i) {
    const datagen::NamedWave& s = sounds[static_cast<size_t>(i)];
    // Named as the game loads it.
    std::string expected = std::string(SB_CarSoundFile(i) + 4);
    for (char& c : expected) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(s.name, expected);
    EXPECT_EQ(s.wave.rate, 11025u) << s.name;
    EXPECT_EQ(s.wave.channels, 1u) << s.name;
    EXPECT_EQ(s.wave.bits, 8u) << s.name;
    ASSERT_GT(s.wave.samples.size(), 1000u) << s.name;
    const std::vector<uint8_t>& p = s.wave.samples;
    int largestStep = 0;
    for (size_t k = 1; k < p.size(); ++k) largestStep = std::max(largestStep, std::abs(p[k] - p[k - 1]));
    if (s.loops)  // the seam is no larger a step than the sound holds inside
      EXPECT_LE(std::abs(p.front() - p.back()), largestStep) << s.name;
    else  // one-shots fade in and out
      EXPECT_LE(std::abs(p.back() - 128) + std::abs(p.front() - 128), 8) << s.name;
  }
  // The engine tones repeat every cycle.
  for (const char* name : {"MOTOR.WAV", "MOTOR2.WAV", "MOTOR3.WAV", "MOTOR4.WAV", "MOTOR5.WAV"})
    for (const datagen::NamedWave& s : sounds)
      if (s.name == name) {
        EXPECT_EQ(s.wave.samples.size() % datagen::kEngineCycle, 0u) << name;
        for (size_t k = datagen::kEngineCycle; k < s.wave.samples.size(); ++k)
          ASSERT_EQ(s.wave.samples[k], s.wave.samples[k - datagen::kEngineCycle]) << name;
      }
}

}  // namespace
