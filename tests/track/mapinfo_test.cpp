// The map information file: the centre line's name, the start slots and
// their grid steps, the scenery's keys, the game mode's slot, and files
// whose keys are missing or hold no finite number.
#include <gtest/gtest.h>

#include <cmath>

#include "race/types.h"
#include "racescene/mapinfo.h"
#include "tests/track/track_fixture.h"
#include "track/track.h"

namespace {

class MapInfo : public ztest::TrackTest {
 protected:
  int32_t Load(const std::string& text) {
    ztest::WriteFile(Path("TXT/MAP.TXT"), text);
    return SB_LoadMapInfo("TXT>MAP.TXT");
  }
  // Values a previous circuit left, which no key of the next may keep.
  static void Dirty() {
    std::snprintf(SB_Var.BsplineName, sizeof SB_Var.BsplineName, "OLD.BSP");
    for (TSTARTSLOT& slot : SB_Var.StartSlots) slot = {1, 2, 3, 4, 5, 6, 7, 8};
  }
};

TEST_F(MapInfo, SlotsTakeThePairsAfterTheLineNameInOrder) {
  Dirty();
  ASSERT_EQ(Load("FIRSTCAROFF: 9,9,9\nCARINITANGLEY: 9\n"
                 "SUN: 1,-2,3\nBSPLINENAME: DEC>TRACK.BSP\n"
                 "FIRSTCAROFF: 1.5,-2,3\nCARINITANGLEY: 0\nFIRSTCAROFF: 4,5,6\nCARINITANGLEY: 0.5\n"),
            1);
  EXPECT_TRUE(Printed("Loading map info file TXT>MAP.TXT..."));
  EXPECT_STREQ(SB_Var.BsplineName, "DEC>TRACK.BSP");
  const TSTARTSLOT* s = SB_Var.StartSlots;
  EXPECT_EQ(std::vector<double>({s[0].X, s[0].Y, s[0].Z, s[0].Angle}), std::vector<double>({1.5, -2, 3, 0}));
  EXPECT_EQ(std::vector<double>({s[0].CarStepX, s[0].CarStepZ, s[0].RowStepX, s[0].RowStepZ}),
            std::vector<double>({5, 0, 0, -10}));
  EXPECT_NEAR(s[1].CarStepX, 4.387913, 1e-6);
  EXPECT_NEAR(s[1].CarStepZ, 2.397128, 1e-6);
  EXPECT_NEAR(s[1].RowStepX, 4.794255, 1e-6);
  EXPECT_NEAR(s[1].RowStepZ, -8.775826, 1e-6);
  // The third pair is missing: cleared, with the steps of angle 0.
  EXPECT_EQ(std::vector<double>({s[2].X, s[2].Angle, s[2].CarStepX, s[2].RowStepZ}),
            std::vector<double>({0, 0, 5, -10}));
  EXPECT_EQ(std::vector<double>(SB_Var.SunPos, SB_Var.SunPos + 3), std::vector<double>({1, -2, 3}));
}

TEST_F(MapInfo, NightTimesDefaultAndTheModeChoosesItsSlot) {
  SB_Var.GameMode = SB_MULTIRACE;
  ASSERT_EQ(Load("ENDNIGHT1: 300\n"), 1);
  EXPECT_EQ(std::vector<int32_t>({SB_Var.StartNight1, SB_Var.EndNight1, SB_Var.StartNight2, SB_Var.EndNight2}),
            std::vector<int32_t>({150, 300, 510, 660}));
  EXPECT_EQ(SB_Var.CurStartSlots, &SB_Var.StartSlots[1]);
}

TEST_F(MapInfo, AMissingFileSaysSoAndReadsNothing) {
  Dirty();
  EXPECT_EQ(SB_LoadMapInfo("TXT>NONE.TXT"), 0);
  EXPECT_TRUE(Printed("Map info file TXT>NONE.TXT not found !!!"));
  EXPECT_STREQ(SB_Var.BsplineName, "OLD.BSP");
}

TEST_F(MapInfo, KeysWithoutFiniteNumbersOrOutsideTheMapLeaveTheValuesCleared) {
  const struct {
    const char* text;
    bool outside;  // said on the console
  } files[] = {{"", false},
               {"BSPLINENAME:\nFIRSTCAROFF: a,b,c\nCARINITANGLEY: x\n", false},
               {"FIRSTCAROFF: nan,1,2\nCARINITANGLEY: nan\n", false},
               {"FIRSTCAROFF: 1e400,1,2\nCARINITANGLEY: -1e400\n", false},
               {"FIRSTCAROFF: 1,2\n", false},
               {"FIRSTCAROFF: 0,21430,0\n", true},
               {"FIRSTCAROFF: 3e9,0,0\n", true},
               {"FIRSTCAROFF: 0,0,-3277\n", true}};
  for (const auto& [text, outside] : files) {
    Dirty();
    SB_ClearPrintedLines();
    ASSERT_EQ(Load(text), 1) << text;
    EXPECT_EQ(Printed("Start position out of the map in map info file TXT>MAP.TXT !!!"), outside) << text;
    EXPECT_STREQ(SB_Var.BsplineName, "") << text;
    for (const TSTARTSLOT& s : SB_Var.StartSlots)
      EXPECT_EQ(std::vector<double>({s.X, s.Y, s.Z, s.Angle, s.CarStepX}), std::vector<double>({0, 0, 0, 0, 5}))
          << text;
  }
  // The map's last metres on either side are still in it.
  ASSERT_EQ(Load("FIRSTCAROFF: -3276.8,9830.3,0\n"), 1);
  EXPECT_EQ(std::vector<double>({SB_Var.StartSlots[0].X, SB_Var.StartSlots[0].Y}),
            std::vector<double>({-3276.8, 9830.3}));
}

}  // namespace
