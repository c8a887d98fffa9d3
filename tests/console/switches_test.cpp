// The console's settings: numeric switches (clamp, store, confirm, report),
// settings chosen by a word, the renderer choice, the video mode, and the
// record's start values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/sbvar.h"
#include "tests/fakes/command_fakes.h"

namespace {

using Lines = std::vector<std::string>;

class Switches : public ztest::CommandTest {};

struct SwitchCase {
  const char* line;
  int32_t SB_VARS::*field;
  int32_t stored;
  const char* reply;   // the last line printed
  const char* report;  // the keyword alone, afterwards
};

TEST_F(Switches, EachSwitchClampsStoresAndReports) {
  // One row per kind of switch: clamped low and high, stored in other
  // units, a word where a number is wanted, a report unlike the reply.
  const SwitchCase cases[] = {
      {"NUMBEROFCARS 40", &SB_VARS::NbCars, 15, "Number of cars is: 15", "Number of cars is: 15"},
      {"NUMBEROFCARS -3", &SB_VARS::NbCars, 1, "Number of cars is: 1", "Number of cars is: 1"},
      {"FLAT 2", &SB_VARS::Flat, 1, "Flat mode is 1", "Flat mode is 1"},
      {"JAPAN yes", &SB_VARS::Japan, 0, "Japan mode is 0", "Japan mode is 0"},
      {"AUTODETAIL 1", &SB_VARS::AutoDetail, 1, "Auto Detail set to 1.", "Auto Detail is 1."},
      {"FIXEDGAMESPEED 20", &SB_VARS::FixedGameSpeed, 50, "Fixed game speed set to 50.", "Fixed game speed is 50."},
      {"ZORIRATIMEOUT 99999999999", &SB_VARS::ZoriraTimeOut, 2147483000, "Zorira TimeOut : 2147483s",
       "Zorira TimeOut : 2147483s"},
      {"MEMORY 4096", &SB_VARS::MemoryClass, 67108864, "Memory : 64 mo", "Memory : 64 mo"},
  };
  for (const SwitchCase& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(Run(c.line), 1);
    EXPECT_EQ(SB_Var.*c.field, c.stored);
    EXPECT_EQ(Printed().back(), c.reply);
    const std::string keyword = std::string(c.line).substr(0, std::string(c.line).find(' '));
    EXPECT_EQ(Run(keyword), 1);
    EXPECT_EQ(Printed(), Lines{c.report});
    EXPECT_EQ(SB_Var.*c.field, c.stored);
  }
}

TEST_F(Switches, SwitchesThatReachOtherSubsystems) {
  Run("NUMBEROFCARS 40");
  EXPECT_EQ(Printed(), (Lines{"Free replays...", "Number of cars is: 15"}));
  Run("COURSEREPLAYS 1");
  Run("BUILDBANK 1");
  Run("BUILDBANK 0");
  Run("ZORIRADEMO 1");
  Run("ZORIRADEMO 0");
  EXPECT_EQ(Calls(), (Lines{"FreeAllCarReplays", "FreeCarsReplays", "AllocCarsReplays 15", "FreeCarsReplays",
                            "AllocCarsReplays 15", "FreeDecor", "InstallKioskHook", "RemoveKioskHook"}));
  EXPECT_EQ(SB_Var.CourseReplays, 1);

  // BUILDMAP 1 turns the bank on too; 0 leaves it.
  Run("BUILDMAP 1");
  EXPECT_EQ(SB_Var.BuildBank, 1);
  Run("BUILDMAP 0");
  EXPECT_EQ(SB_Var.BuildBank, 1);

  Run("AUTODETAIL 0");
  EXPECT_EQ(SB_Var.FarDistance, 38400);
  EXPECT_EQ(SB_Var.DrawDistance, 300);
}

TEST_F(Switches, FindBossesIsARealAndNeverNegative) {
  Run("FINDBOSSES -2");
  Run("FINDBOSSES 1.25");
  Run("FINDBOSSES");
  EXPECT_EQ(Printed(), (Lines{"Find Bosses set to 0.000000.", "Find Bosses set to 1.250000.",
                              "Find Bosses is 1.250000."}));
}

TEST_F(Switches, VideoModeMovesToTheNextAvailableRow) {
  SB_Var.VideoModes[3].Available = SB_Var.VideoModes[10].Available = 1;
  Run("VIDEOMODE 12");  // 12 .. 21 unavailable: wraps to 3
  Run("VIDEOMODE 10");
  Run("VIDEOMODE 99");  // past the table: from row 0
  Run("VIDEOMODE -4");
  Run("VIDEOMODE");
  EXPECT_EQ(Printed(), (Lines{"Video Mode set to 3.", "Video Mode set to 10.", "Video Mode set to 3.",
                              "Video Mode set to 3.", "Video Mode is 3."}));
  SB_Var.VideoModes[3].Available = SB_Var.VideoModes[10].Available = 0;
  Run("VIDEOMODE 5");  // nothing available: the row asked for stays
  EXPECT_EQ(Printed(), Lines{"Video Mode set to 5."});
}

TEST_F(Switches, WordSettings) {
  Run("LIGHT NOPE");  // the light starts NORMAL
  Run("SHADOW FOO");
  Run("SHADOW LOW");
  Run("SHADOW");
  Run("LIGHT GOURAUD");
  Run("PVRMIPMAP NOTTHEROAD");
  Run("ZORIRACAMERA BEHIND");
  Run("ZORIRACAMERA ABOVE");
  Run("ZORIRACAMERA INSIDE");
  EXPECT_EQ(Printed(), (Lines{"LIGHT : NORMAL", "SHADOW : HIGH", "SHADOW : LOW", "SHADOW : LOW", "LIGHT : GOURAUD",
                              "PVR MIPMAP : NOTTHEROAD", "Zorira Camera : BEHIND CAR",
                              "Zorira Camera : BEHIND CAR", "Zorira Camera : INSIDE CAR"}));
  EXPECT_EQ(SB_Var.Shadow, 2);
  EXPECT_EQ(SB_Var.Light, 3);
  EXPECT_EQ(SB_Var.PvrMipmap, 2);
  EXPECT_EQ(SB_Var.ZoriraCamera, 2);
}

TEST_F(Switches, DetailAndTime) {
  EXPECT_EQ(Run("DETAIL MED"), 1);
  EXPECT_EQ(SB_Var.FarDistance, 28800);
  EXPECT_EQ(SB_Var.DrawDistance, 225);
  Run("DETAIL LOW");
  EXPECT_EQ(SB_Var.DrawDistance, 150);
  EXPECT_TRUE(Printed().empty());
  EXPECT_EQ(Run("DETAIL"), 1);
  EXPECT_EQ(Printed(), Lines{"Enter Detail [HIGH] [MED] or [LOW]"});
  EXPECT_EQ(SB_Var.FarDistance, 28800);

  EXPECT_EQ(Run("TIME ON"), 1);
  EXPECT_EQ(SB_Var.NoTimeLimit, 1);
  EXPECT_EQ(Run("TIME 0"), 1);
  EXPECT_EQ(SB_Var.NoTimeLimit, 0);
  EXPECT_EQ(Run("TIME 1"), 1);
  EXPECT_TRUE(Printed().empty());
  EXPECT_EQ(Run("TIME"), 0);
  EXPECT_EQ(Run("TIME MAYBE"), 0);
  EXPECT_EQ(Printed(), (Lines{"Usage: TIME [ON] or TIME [OFF]", "Usage: TIME [ON] or TIME [OFF]"}));
  EXPECT_EQ(SB_Var.NoTimeLimit, 1);
}

TEST_F(Switches, ModeOffersOnlyTheRenderersThisMachineHas) {
  Run("MODE PVR");
  EXPECT_EQ(Printed(), (Lines{"Supported mode : VECTOR PERSPECTIVE ", "Current mode\t: VECTOR"}));
  Run("MODE MMX");
  EXPECT_EQ(SB_Var.RequestedRenderer, 0);
  EXPECT_TRUE(Calls().empty());
  Printed();

  Run("MODE PERSPECTIVE");
  EXPECT_EQ(SB_Var.RequestedRenderer, 1);
  SB_Var.RendererCaps = 5;
  Run("MODE PVR");
  EXPECT_EQ(SB_Var.RequestedRenderer, 3);
  EXPECT_EQ(Calls(), (Lines{"FreeDecor", "FreeDecor"}));
  EXPECT_EQ(Printed(), (Lines{"Supported mode : VECTOR PERSPECTIVE ", "Current mode\t: PERSPECTIVE",
                              "Supported mode : VECTOR PERSPECTIVE PVR ", "Current mode\t: PVR"}));
}

TEST_F(Switches, TheRecordStartsWithTheGameDefaults) {
  SB_ResetVars();
  EXPECT_EQ(SB_Var.VideoModeIndex, 7);
  EXPECT_EQ(SB_Var.MipMapDist[3], 81600);
  EXPECT_EQ(SB_Var.ZoriraTimeOut, 20000);
  EXPECT_EQ(SB_Var.ControlMode, -1);
  EXPECT_EQ(SB_Var.NbSelectableSetups, 8);
}

}  // namespace
