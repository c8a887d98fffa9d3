// The day/night cycle: the timetable's fades, the kiosk's short cycle,
// the night keys read and their bad values, what each light level gives
// the scene, the light tables and their rebuilds, the developer keys, and
// the light direction.
#include "scenery/daynight.h"

#include <cmath>
#include <utility>
#include <vector>

#include "platform/window.h"
#include "scenery/effects.h"
#include "scenery/framefx.h"
#include "scenery/mapkeys.h"
#include "shell/keyfile.h"
#include "tests/scenery/scenery_fixture.h"

namespace {

using scenerytest::SceneryTest;

class DayNight : public SceneryTest {
 protected:
  void SetUp() override {
    SceneryTest::SetUp();
    SB_Var.Renderer = SB_RENDERER_PVR;
    SB_Var.GameMode = 2;
    SB_Var.SunPos[0] = 1000, SB_Var.SunPos[1] = -3000, SB_Var.SunPos[2] = 500;
  }
  // The seconds at which the level's target changed, and the new target,
  // over a race of the given length in frames of 100 ms.
  static std::vector<std::pair<double, double>> Fades(int32_t seconds) {
    SB_Var.Time = 5000;
    SB_ResetDayNight();
    std::vector<std::pair<double, double>> out;
    double target = SB_Var.LightTarget;
    for (int32_t ms = 100; ms <= seconds * 1000; ms += 100) {
      SB_Var.Time = 5000 + static_cast<uint32_t>(ms), SB_Var.FrameTime = 100;
      SB_UpdateDayNight();
      if (SB_Var.LightTarget != target) out.emplace_back(ms / 1000.0, target = SB_Var.LightTarget);
    }
    return out;
  }
  // The level after running from the race start to the second.
  static double LevelAt(double seconds) {
    SB_Var.Time = 0;
    SB_ResetDayNight();
    for (int32_t ms = 100; ms <= seconds * 1000 + 0.5; ms += 100) {
      SB_Var.Time = static_cast<uint32_t>(ms), SB_Var.FrameTime = 100;
      SB_UpdateDayNight();
    }
    return SB_Var.LightLevel;
  }
  static void AtLevel(double level) {
    SB_Var.LightLevel = SB_Var.LightTarget = level;
    SB_Var.FrameTime = 0;
    SB_StepLightLevel();
  }
  TKEYFILE* Keys(const std::string& text) {
    ztest::WriteFile(root_ + "/TXT/NIGHT.TXT", text);
    return SB_OpenKeyFile("TXT>NIGHT.TXT");
  }
};

TEST_F(DayNight, DefaultTimetableFadesAtItsTimesEveryPeriod) {
  EXPECT_EQ(Fades(1500),
            (std::vector<std::pair<double, double>>{{150, 12}, {240, 0}, {510, 12}, {660, 0}, {1470, 12}}));
}

TEST_F(DayNight, NightIsFullSixtySecondsAfterItStartsAndDayLikewise) {
  const struct {
    double seconds, level;
  } kRows[] = {{149.9, 0.0},  {150.0, 0.02},  {209.8, 11.98}, {209.9, 12.0},
               {239.9, 12.0}, {240.0, 11.98}, {299.8, 0.02},  {299.9, 0.0}};
  for (const auto& r : kRows) EXPECT_NEAR(LevelAt(r.seconds), r.level, 1e-9) << r.seconds;
}

TEST_F(DayNight, KioskCycleOfSixtySecondsNeverReachesTheSecondNight) {
  SB_Var.ZoriraDemo = 1, SB_Var.ZoriraNightDay = 60;
  SB_ReadNightTimes(nullptr);
  EXPECT_EQ(std::vector<int32_t>({SB_Var.StartNight1, SB_Var.EndNight1, SB_Var.DayNightPeriod}),
            std::vector<int32_t>({30, 60, 65}));
  EXPECT_EQ(Fades(200), (std::vector<std::pair<double, double>>{
                            {30, 12}, {60, 0}, {95, 12}, {125, 0}, {160, 12}, {190, 0}}));
}

TEST_F(DayNight, KioskCycleOfNoSecondsRunsNoCycleAndTheLargestNoOverflow) {
  SB_Var.ZoriraDemo = 1;
  for (int32_t t : {-5, INT32_MAX}) {
    SB_Var.ZoriraNightDay = t;
    SB_ReadNightTimes(nullptr);
    EXPECT_EQ(Fades(100), (std::vector<std::pair<double, double>>{})) << t;
  }
  SB_Var.ZoriraNightDay = -5;
  SB_ReadNightTimes(nullptr);
  EXPECT_EQ(SB_Var.DayNightPeriod, 0);
}

TEST_F(DayNight, NightKeysReadWithDefaultsAndOutOfRangeValuesHarmless) {
  // A missing key gives its default; a word the reader takes as 0 is a
  // time the cycle never reaches again.
  const struct {
    const char* text;
    std::vector<int32_t> times;
  } rows[] = {{"STARTNIGHT1: 100\nSTARTNIGHT2: 500\nENDNIGHT2: 600\n", {100, 240, 500, 600}},
              {"STARTNIGHT1: -5\nENDNIGHT1: 1000000000000\nENDNIGHT2: abc\n", {-5, INT32_MAX, 510, 0}}};
  for (const auto& r : rows) {
    TKEYFILE* keys = Keys(r.text);
    SB_ReadNightTimes(keys);
    SB_CloseKeyFile(keys);
    EXPECT_EQ(std::vector<int32_t>({SB_Var.StartNight1, SB_Var.EndNight1, SB_Var.StartNight2, SB_Var.EndNight2}),
              r.times)
        << r.text;
  }
  // Neither the time before the start nor the farthest time ever fires.
  EXPECT_EQ(Fades(600), (std::vector<std::pair<double, double>>{{510, 12}}));
}

TEST_F(DayNight, CycleOffOrTrainingOrSoftwareKeepsDay) {
  SB_Var.DayNightOn = 0;
  EXPECT_TRUE(Fades(300).empty());
  SB_Var.DayNightOn = 1, SB_Var.Renderer = 0;
  EXPECT_TRUE(Fades(300).empty());
  EXPECT_EQ(SB_Var.LightLevel, 0.0);
}

TEST_F(DayNight, EachLevelGivesItsColoursAndSwitches) {
  const struct {
    double level;
    uint32_t light, sky;
    int32_t stars, headlights, day;
    double dayFactor, sunDrop, depth;
  } kRows[] = {
      {0, 0xFFFFFF, 0xFFFFFF, 0, 0, 1, 1.0, 0.0, 1.0},
      {5, 0x7777C7, 0x808080, 0, 1, 1, std::sqrt(0.5), 1500.0, 2.25},
      {8, 0x4040B0, 0x333333, 0, 1, 1, std::sqrt(0.2), 2400.0, 3.0},
      {10, 0x4040B0, 0x000000, 1, 1, 0, 0.0, 3000.0, 3.5},
      {12, 0x4040B0, 0xFFFFFF, 1, 1, 0, 0.0, 3000.0, 4.0},
  };
  for (const auto& r : kRows) {
    AtLevel(r.level);
    EXPECT_EQ(SB_Var.LightColor, r.light) << r.level;
    EXPECT_EQ(SB_Var.SkyColor, r.sky) << r.level;
    EXPECT_EQ(std::vector<int32_t>({SB_Var.StarsOn, SB_Var.HeadlightsOn, SB_Var.DayTime}),
              std::vector<int32_t>({r.stars, r.headlights, r.day}))
        << r.level;
    EXPECT_NEAR(SB_Var.DayFactor, r.dayFactor, 1e-12) << r.level;
    EXPECT_NEAR(SB_Var.SunDrop, r.sunDrop, 1e-9) << r.level;
    EXPECT_NEAR(SB_Var.NightDepthFactor, r.depth, 1e-12) << r.level;
  }
}

TEST_F(DayNight, SunLightColourByDayAndAtDuskWithGlareAndTint) {
  AtLevel(0);
  EXPECT_EQ(SB_Var.SunLightColor, 0xCCE5FFu);
  EXPECT_EQ(std::vector<float>({SB_Var.SglContext.FogRed, SB_Var.SglContext.BackBlue}),
            std::vector<float>({0.8f, 1.0f}));
  AtLevel(7);
  EXPECT_EQ(SB_Var.SunLightColor, 0xCC7F4Cu);
  EXPECT_EQ(SB_Var.LightColor, 0x4040B0u);
  // The glare adds to each channel, held to 1.0 before the tint halves it.
  SB_Var.SunGlare[0] = 0.5f, SB_Var.SunGlare[1] = 0.1f;
  SB_SetLightTint(0.5f, 0.5f, 0.5f);
  AtLevel(7);
  EXPECT_EQ(SB_Var.SunLightColor, 0x7F4C26u);
}

TEST_F(DayNight, LightTablesFromWhiteToBlackAndRebuiltOnlyOnChange) {
  AtLevel(0);
  const uint32_t* lit = SB_Var.LightTables[0];
  EXPECT_EQ(std::vector<uint32_t>({lit[0], lit[255], SB_Var.LightTables[1][0], SB_Var.LightTables[1][255]}),
            std::vector<uint32_t>({0xFFFFFF, 0, 0xFFFFFF, 0}));
  SB_Var.LightTables[0][0] = 1234;
  AtLevel(0);
  EXPECT_EQ(lit[0], 1234u) << "same colour and tint";
  SB_SetLightTint(0.5f, 0.5f, 0.5f);
  AtLevel(0);
  EXPECT_EQ(std::vector<uint32_t>({lit[0], lit[128], SB_Var.LightTables[1][0]}),
            std::vector<uint32_t>({0x7F7F7F, 0x3F3F3F, 0x7F7F7F}));
  SB_SetLightTint(1, 1, 1);
  AtLevel(12);
  EXPECT_EQ(std::vector<uint32_t>({lit[0], lit[1], SB_Var.LightTables[1][0]}),
            std::vector<uint32_t>({0x4040B0, 0x3F3FAF, 0xFFFFFF}));
}

TEST_F(DayNight, DeveloperKeysFadeOnlyWithTheDeveloperSwitches) {
  const struct {
    int32_t devInfo, editor, key;
    double target, rate;
  } kRows[] = {
      {1, 0, 118, 12.0, 0.002}, {0, 1, 117, 0.0, 0.002}, {1, 0, 119, 5.0, 0.002}, {0, 0, 118, 7.0, 0.5}};
  for (const auto& r : kRows) {
    SB_Var.DrawDevInfo = r.devInfo, SB_Var.EditorMode = r.editor, SB_Var.DayNightOn = 0;
    SB_Var.LightTarget = SB_Var.LightLevel = 7.0, SB_Var.LightRate = 0.5, SB_Var.FrameTime = 0;
    plat::SetKeyState(r.key, true);
    SB_UpdateDayNight();
    plat::SetKeyState(r.key, false);
    EXPECT_EQ(std::pair(SB_Var.LightTarget, SB_Var.LightRate), std::pair(r.target, r.rate)) << r.key;
  }
}

TEST_F(DayNight, HeldNightKeyBringsFullNightInSixSeconds) {
  SB_Var.DrawDevInfo = 1, SB_Var.DayNightOn = 0, SB_Var.FrameTime = 100;
  plat::SetKeyState(118, true);
  for (int32_t i = 0; i < 59; ++i) SB_UpdateDayNight();
  EXPECT_LT(SB_Var.LightLevel, 12.0);
  SB_UpdateDayNight();
  plat::SetKeyState(118, false);
  EXPECT_NEAR(SB_Var.LightLevel, 12.0, 1e-9);
}

TEST_F(DayNight, LightDirectionIsTheSunNormalisedWithItsFixedPointCopy) {
  SB_Var.SunPos[0] = 3, SB_Var.SunPos[1] = 0, SB_Var.SunPos[2] = -4;
  SB_SetLightDirection();
  EXPECT_NEAR(SB_Var.LightDir.x, 0.6, 1e-15);
  EXPECT_NEAR(SB_Var.LightDir.z, -0.8, 1e-15);
  EXPECT_EQ(SB_Var.LightDirScaled.x, SB_Var.LightDir.x / 8192);
  EXPECT_EQ(SB_Var.LightTables[0][0], 0xFFFFFFu);
  SB_Var.SunPos[0] = SB_Var.SunPos[2] = 0;
  SB_SetLightDirection();
  EXPECT_EQ(SB_Var.LightDir.x, 0.0) << "a sun at the origin has no direction";
}

TEST_F(DayNight, LerpRoundsEachChannelAndHoldsItInRange) {
  EXPECT_EQ(SB_LerpColor(0x000000, 0xFFFFFF, 0.5), 0x808080u);
  EXPECT_EQ(SB_LerpColor(0x102030, 0x102030, 0.7), 0x102030u);
  EXPECT_EQ(SB_LerpColor(0x00FF00, 0xFF0000, 2.0), 0xFF0000u);
  EXPECT_EQ(SB_LerpColor(0x00FF00, 0xFF0000, -1.0), 0x00FF00u);
}

}  // namespace
