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
  const SwitchCase cases[] = {
      {"NUMBEROFCARS 40", &SB_VARS::NbCars, 15, "Number of cars is: 15", "Number of cars is: 15"},
      {"NUMBEROFCARS -3", &SB_VARS::NbCars, 1, "Number of cars is: 1", "Number of cars is: 1"},
      {"COURSEREPLAYS 5", &SB_VARS::CarRecordings, 1, "Course replays are: 1", "Course replays are: 1"},
      {"BUILDMAP 0", &SB_VARS::BuildMap, 0, "Build Map mode set to 0.", "Build Map mode set to 0."},
      {"BUILDBANK 1", &SB_VARS::BuildBank, 1, "Build Bank mode set to 1.", "Build Bank mode set to 1."},
      {"SIMPLIFICATION 1", &SB_VARS::Simplification, 1, "Simplification set to 1.",
       "Simplification set to 1."},
      {"FLAT 2", &SB_VARS::Flat, 1, "Flat mode is 1", "Flat mode is 1"},
      {"JAPAN yes", &SB_VARS::Japan, 0, "Japan mode is 0", "Japan mode is 0"},
      {"NOCACHE 1", &SB_VARS::NoCache, 1, "No cache mode is 1", "No cache mode is 1"},
      {"NORENDER 1", &SB_VARS::NoRender, 1, "No render mode is 1", "No render mode is 1"},
      {"SLOWRENDER 1", &SB_VARS::SlowRender, 1, "Slow render mode is 1", "Slow render mode is 1"},
      {"AUTODETAIL 1", &SB_VARS::AutoDetail, 1, "Auto Detail set to 1.", "Auto Detail is 1."},
      {"EDITORMODE 1", &SB_VARS::EditorMode, 1, "Editor Mode set to 1.", "Editor Mode is 1."},
      {"JOYSTICKON 1", &SB_VARS::JoystickOn, 1, "Joystick on set to 1.", "Joystick on mode is 1."},
      {"JOYSTICKVOLANT 1", &SB_VARS::JoystickVolant, 1, "Joystick volant mode set to 1.",
       "Joystick volant mode is 1."},
      {"DRAWDEVINFO 1", &SB_VARS::DrawDevInfo, 1, "SB_DrawDevInfo set to 1.", "SB_DrawDevInfo is 1."},
      {"USINGSMOKE 9", &SB_VARS::UsingSmoke, 2, "Smoke set to 2.", "Smoke is 2."},
      {"USINGCARS 1", &SB_VARS::UsingCars, 1, "Cars using set to 1.", "Cars using is 1."},
      {"FIXEDGAMESPEED 20", &SB_VARS::FixedGameSpeed, 50, "Fixed game speed set to 50.",
       "Fixed game speed is 50."},
      {"FIXEDGAMESPEED 120", &SB_VARS::FixedGameSpeed, 100, "Fixed game speed set to 100.",
       "Fixed game speed is 100."},
      {"FLOATINGGAMESPEED 99999999999", &SB_VARS::FloatingGameSpeed, 100, "Floating game speed set to 100.",
       "Floating game speed is 100."},
      {"GAMESPEEDMODE 1", &SB_VARS::GameSpeedMode, 1, "Game speed mode set to 1.", "Game speed mode is 1."},
      {"DRAWINFO 1", &SB_VARS::DrawInfo, 1, "Draw info mode set to 1.", "Draw info mode is 1."},
      {"USINGSOUND 1", &SB_VARS::UsingSound, 1, "Sound using set to 1.", "Sound using is 1."},
      {"AUTOMATIC 1", &SB_VARS::AutomaticGears, 1, "Automatic gears set to 1.", "Automatic gears is 1."},
      {"USINGPVS 1", &SB_VARS::UsingPvs, 1, "PVS using set to 1.", "PVS using is 1."},
      {"ZORIRADEMO 1", &SB_VARS::ZoriraDemo, 1, "Zorira Demo : 1", "Zorira Demo : 1"},
      {"ZORIRATIMEOUT 30", &SB_VARS::ZoriraTimeOut, 30000, "Zorira TimeOut : 30s", "Zorira TimeOut : 30s"},
      {"ZORIRATIMEOUT -5", &SB_VARS::ZoriraTimeOut, 0, "Zorira TimeOut : 0s", "Zorira TimeOut : 0s"},
      {"ZORIRATIMEOUT 99999999999", &SB_VARS::ZoriraTimeOut, 2147483000, "Zorira TimeOut : 2147483s",
       "Zorira TimeOut : 2147483s"},
      {"ZORIRANIGHTDAY 90", &SB_VARS::ZoriraNightDay, 90, "Zorira Night/Day Cycle : 90s",
       "Zorira Night/Day Cycle : 90s"},
      {"CDSONG 1", &SB_VARS::CdSong, 1, "Playing a cd song in the game: 1",
       "Playing a cd song in the game: 1"},
      {"DRAWCONSOLE 0", &SB_VARS::DrawConsole, 0, "Drawing the console texts: 0",
       "Drawing the console texts: 0"},
      {"MEMORY 100", &SB_VARS::MemoryClass, 67108864, "Memory : 64 mo", "Memory : 64 mo"},
      {"MEMORY 4096", &SB_VARS::MemoryClass, 67108864, "Memory : 64 mo", "Memory : 64 mo"},
      {"MEMORY -1", &SB_VARS::MemoryClass, 0, "Memory : 0 mo", "Memory : 0 mo"},
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
  EXPECT_EQ(SB_Var.CarRecordings, 1);

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
  Run("LIGHT NOPE");  // 0 at start is no value named: no reply
  EXPECT_TRUE(Printed().empty());
  Run("SHADOW FOO");
  Run("SHADOW LOW");
  Run("SHADOW");
  Run("LIGHT GOURAUD");
  Run("PVRMIPMAP NOTTHEROAD");
  Run("ZORIRACAMERA BEHIND");
  Run("ZORIRACAMERA ABOVE");
  Run("ZORIRACAMERA INSIDE");
  EXPECT_EQ(Printed(), (Lines{"SHADOW : HIGH", "SHADOW : LOW", "SHADOW : LOW", "LIGHT : GOURAUD",
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
  EXPECT_EQ(SB_Var.Shadow, 3);
  EXPECT_EQ(SB_Var.MipMapDist[0], 9600);
  EXPECT_EQ(SB_Var.MipMapDist[1], 28800);
  EXPECT_EQ(SB_Var.MipMapDist[2], 52800);
  EXPECT_EQ(SB_Var.MipMapDist[3], 81600);
  EXPECT_EQ(SB_Var.ZoriraTimeOut, 20000);
  EXPECT_EQ(SB_Var.ZoriraNightDay, 60);
  EXPECT_EQ(SB_Var.ZoriraCamera, 2);
  EXPECT_EQ(SB_Var.ControlMode, -1);
  EXPECT_EQ(SB_Var.RendererCaps, 1);
  EXPECT_EQ(SB_Var.NbVehicleSetups, 9);
  EXPECT_EQ(SB_Var.NbSelectableSetups, 8);
}

}  // namespace
