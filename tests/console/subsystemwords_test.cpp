// Console words that start other subsystems' work: what reaches those
// subsystems (the word's arguments), what the console keeps, and the usage
// texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/accel/control.h"
#include "console/consoleedit.h"
#include "console/interpreter.h"
#include "platform/window.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/lsvar.h"
#include "system/palette.h"
#include "tests/fakes/command_fakes.h"
#include "tools/bsplines.h"

namespace {

using Lines = std::vector<std::string>;

class SubsystemWords : public ztest::CommandTest {
 protected:
  static void Type(const std::string& text) {
    for (char c : text) plat::PostWindowMessage({plat::kMsgChar, static_cast<uint8_t>(c), 0});
  }
};

TEST_F(SubsystemWords, Replays) {
  EXPECT_EQ(Run("SAVEREPLAY"), 0);
  EXPECT_EQ(Run("ASKSAVEREPLAY"), 0);
  EXPECT_EQ(Printed(), (Lines{"Error: type SAVEREPLAY name !!!", "Error: type SAVEREPLAY name !!!"}));
  EXPECT_EQ(Run("SAVEREPLAY one"), 1);
  Type("y\r");
  EXPECT_EQ(Run("ASKSAVEREPLAY two"), 1);
  Type("yes\r");
  EXPECT_EQ(Run("ASKSAVEREPLAY three"), 1);
  EXPECT_EQ(Printed(), (Lines{"Do you want to save (y/n): y", "Do you want to save (y/n): yes"}));
  Run("LOADREPLAY f");
  Run("LOADREPLAY f 2");
  Run("LOADREPLAY f 2 500");
  Run("LOADREPLAY");
  Run("INITREPLAY");
  Run("CALIBRATE");
  for (const char* call : {"SaveCarReplay ONE", "SaveCarReplay TWO", "LoadCarReplay F -1 0", "LoadCarReplay F 2 0",
                           "LoadCarReplay F 2 500", "FreeAllCarReplays", "CenterJoystick"})
    EXPECT_TRUE(ztest::Called(call)) << call;
  EXPECT_EQ(ztest::Count("SaveCarReplay THREE"), 0);  // not confirmed
}

TEST_F(SubsystemWords, CarDefinitions) {
  Run("SAVETEXTCARS cars.txt");
  Run("LOADTEXTCARS cars.txt");
  ztest::Commands().definitionsFound = 0;
  Run("LOADTEXTCARS none.txt");
  Run("SAVETEXTCARS");
  Run("LOADTEXTCARS");
  EXPECT_EQ(ztest::Count("WriteTCARDEFINITION CARS.TXT"), 1);
  EXPECT_EQ(ztest::Count("ApplyTCARDEFINITIONs"), 1);  // only what was found
  EXPECT_EQ(ztest::Count("FreeTCARDEFINITIONs"), 3);    // every time
  EXPECT_EQ(Printed(), (Lines{"Usage: SAVETEXTCARS [file] !!!", "Usage: LOADTEXTCARS [file] !!!"}));
}

TEST_F(SubsystemWords, TheCarEditorRunsWithOneCarPerSetupAndRestoresAfter) {
  MakeScreen(16);
  SB_Var.DevEnvScreen = SB_CreateBmap(640, 480, 16, 0, "dev env");
  SB_Var.NbCars = 3;
  SB_Var.TextureReduction = 1;
  EXPECT_EQ(Run("CAREDITOR 12"), 1);
  for (const char* call : {"LoadCars 9 1 reduction 0", "CarPaintEditor console 16 cars 9", "FreeCars",
                           "SaveVehicleSetups dat>nrcar.cfg", "AllocCarsReplays 3"})
    EXPECT_TRUE(ztest::Called(call)) << call;
  EXPECT_EQ(SB_Var.NbCars, 3);
  EXPECT_EQ(SB_Var.TextureReduction, 1);

  ztest::ResetFakes();
  Run("CAREDITOR 8");
  EXPECT_EQ(ztest::Count("CarPaintEditor console 8"), 1);
  SB_FreeBmap(SB_Var.DevEnvScreen);
  SB_Var.DevEnvScreen = nullptr;
  Run("CAREDITOR");  // no console picture: no editor, the setups still saved
  EXPECT_EQ(ztest::Count("CarPaintEditor"), 1);
  EXPECT_EQ(ztest::Count("SaveVehicleSetups"), 2);
}

// The real words, headless and on an empty tree: the interface passes its
// splashes, ends at once for want of input and executes "QUIT"; the
// backgrounds' composition cannot save its pictures and says so.
TEST_F(SubsystemWords, FrontEnd) {
  SB_Hooks.ExecCommand = SB_ExecCommand;
  SB_Var.DevEnvPal = LS_AllocPalette();
  SB_Var.DevEnvPal->Entry[7] = {1, 2, 3};
  SB_Var.DrawConsole = 1;
  LS_SetPalette(nullptr);
  EXPECT_EQ(Run("CALC_VITRE"), 1);
  EXPECT_EQ(Boxes(), (Lines{"VITRE NON SAUVEE", "VITRE NON SAUVEE"}));
  EXPECT_EQ(Run("COMDEX"), 1);
  EXPECT_EQ(Run("INTERFACE"), 1);
  EXPECT_EQ(SB_Var.QuitConsole, 1);
  EXPECT_EQ(SB_Var.MenuHeap, 0u);
  EXPECT_EQ(SB_Var.DrawConsole, 1);
  Run("INTRO");
  EXPECT_TRUE(ztest::Called("PlayLogoIntro"));
  EXPECT_EQ(Printed(), (Lines{"Calculating a vitre...", "Launching the comdex interface...",
                              "Launching the interface...", ">CLOSENET", ">QUIT", "Launching the intro..."}));
  EXPECT_EQ(LS_Var.Palette.Entry[7].Blue, 3);  // the console's palette again
  LS_FreePalette(SB_Var.DevEnvPal);
  SB_Var.DevEnvPal = nullptr;
}

TEST_F(SubsystemWords, SceneryAndEditors) {
  ztest::WriteFile(root_ + "/OBJ.TXT", "objects");
  Run("USINGOBJECTS");
  Run("USINGOBJECTS obj.txt");
  EXPECT_EQ(SB_Var.DecorObjectsOn, 1);
  Run("USINGOBJECTS");
  Run("USINGOBJECTS none.txt");
  EXPECT_EQ(SB_Var.DecorObjectsOn, 0);
  EXPECT_TRUE(ztest::Called("LoadObjectScript OBJ.TXT"));
  // The race line's words on their files, and the road generator's first
  // question answered with an unknown piece.
  Run("LOADBSPLINE line.bsp");
  Run("SAVEBSPLINE line.bsp");
  SB_Var.RaceLinePoints[0] = {0, 0, 0};
  SB_Var.RaceLinePoints[1] = {0, 0, 3};
  SB_Var.NbRaceLinePoints = 2;
  Run("SAVEBSPLINE line.bsp");
  SB_Var.NbRaceLinePoints = 0;
  Run("LOADBSPLINE line.bsp");
  EXPECT_EQ(SB_Var.NbRaceLinePoints, 2);
  Run("SAVEBSPLINEMETER line.met");
  EXPECT_EQ(ztest::ReadFile(root_ + "/LINE.MET").size(), 4 + 24 * size_t(SB_Var.NbBsplineMeters));
  SB_Hooks.ConsoleInput = SB_ConsoleInput;
  Type("x\r");
  Run("MAKEROAD road");
  for (const char* word : {"LOADBSPLINE", "SAVEBSPLINE", "SAVEBSPLINEMETER", "MAKEROAD"})
    EXPECT_EQ(Run(word), 1);
  EXPECT_EQ(Printed(), (Lines{"Objects Movement Disabled", "Objects Movements Enabled (OBJ.TXT)",
                              "Objects Movement Enabled", "Objects Movements disabled...",
                              "Error: file LINE.BSP not found !!!", "Error no bspline !!!",
                              "Bspline LINE.BSP saved.", "Bspline meter LINE.MET saved.",
                              "(D)roite De(b)ut F(i)n (C)ote C(h)ange D(e)but (F)in (V)irage: x",
                              "Unknown type of road 'X' !!!", "syntax: LOADBSPLINE name !!!",
                              "syntax: SAVEBSPLINE name !!!", "syntax: SAVEBSPLINEMETER name !!!",
                              "syntax: MAKEROAD name !!!"}));
  SB_FreeBsplinesMeters();
}

TEST_F(SubsystemWords, AcceleratorVersions) {
  plat::AccelReset();
  Run("PVRVERSION");
  EXPECT_EQ(Printed(), Lines{"PowerVR Card not present !"});
  SB_Var.RendererCaps = 5;
  plat::AccelSetCardMemory(8u << 20);
  Run("PVRVERSION");
  const Lines lines = Printed();
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[0].rfind("library                  : ", 0), 0u);
  EXPECT_EQ(lines[10], "tsp_mem_size             : 8mo");
  EXPECT_EQ(lines[14].rfind("build_info               : ", 0), 0u);
  plat::AccelSetPresent(false);  // a library that gives no records
  Run("PVRVERSION");
  EXPECT_TRUE(Printed().empty());
}

TEST_F(SubsystemWords, VideoListShowsEveryRow) {
  SB_Var.VideoModes[17].Available = 1;
  SB_Var.VideoModes[17].TextureFormat = BMAP_RGB565;
  Run("VIDEOLIST");
  const Lines printed = Printed();
  ASSERT_EQ(printed.size(), 23u);
  EXPECT_EQ(printed[0], "Game video modes:");
  EXPECT_EQ(printed[1], " 0:  320*200* 8 [320*160]                          (not available)");
  EXPECT_EQ(printed[18], "17:  640*480*16 [640*400]  Texture: RGB565    (exists)");
  EXPECT_EQ(printed[22], "21:  800*600*24 [800*600]                          (not available)");
}

}  // namespace
