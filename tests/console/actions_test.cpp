// The console's actions: texture scale, circuit, carousel, mip-map
// distances, typing, copying and saving files, the log and the small words.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "datagen/tgawrite.h"
#include "platform/clock.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/file.h"
#include "tests/fakes/command_fakes.h"
#include "tests/fakes/typist.h"

namespace {

using Lines = std::vector<std::string>;

class Actions : public ztest::CommandTest {
 protected:
  void TearDown() override {
    ztest::StopTyping();
    CommandTest::TearDown();
  }
};

TEST_F(Actions, TextureScaleRoundsToAPowerOfTwoAndSetsItsFlags) {
  const std::pair<const char*, int32_t> scales[] = {
      {"3", 4}, {"5", 4}, {"6", 8}, {"12", 16}, {"0", 1}, {"1", 1}, {"99999999999", 65536}};
  for (const auto& [n, scale] : scales) {
    Run(std::string("TEXTURESCALE ") + n);
    EXPECT_EQ(SB_Var.TextureScale, scale) << n;
  }
  EXPECT_EQ(ztest::Count("FreeDecor"), 7);
  Printed();
  Run("TEXTURESCALE 4 X");
  Run("TEXTURESCALE");
  Run("TEXTURESCALE 4 Y");
  Run("TEXTURESCALE 2 YES XRAY");
  Run("TEXTURESCALE 8");
  EXPECT_EQ(Printed(),
            (Lines{"Texture scale: 1/4 (X flag active (*2) )", "Texture scale: 1/4 (X flag active (*2) )",
                   "Texture scale: 1/4 (Y flag active (/2) )", "Texture scale: 1/2 (X flag active (*2) )",
                   "Texture scale: 1/8"}));
  EXPECT_EQ(SB_Var.TextureScaleX, 0);
  EXPECT_EQ(SB_Var.TextureScaleY, 0);
}

TEST_F(Actions, MapNamesTheCircuitFilesAndReportsWhatExists) {
  ztest::WriteFile(root_ + "/DEC/TEST.DEC", "map");
  ztest::WriteFile(root_ + "/TXT/TRAVUN/PALETTE.PCX", "palette");
  Run("map test travun");
  EXPECT_STREQ(SB_Var.CircuitFile, "TEST.TXT");
  EXPECT_STREQ(SB_Var.AsciiMapFile, "..>ASC>TEST.ASC");
  EXPECT_STREQ(SB_Var.DecorMapFile, "DEC>TEST.DEC");
  EXPECT_STREQ(SB_Var.BankFile, "BNK>TEST.BNK");
  EXPECT_STREQ(SB_Var.ConfigFile, "TXT>TEST.TXT");
  EXPECT_STREQ(SB_Var.TexturePath, "TRAVUN>");
  EXPECT_EQ(Calls(), Lines{"FreeDecor"});
  EXPECT_EQ(Printed(), (Lines{"Ascii map file (buildmap 1) :  ..>ASC>TEST.ASC (not found)",
                              "Decor map file (buildmap 0) :  DEC>TEST.DEC (exists)",
                              "Config file (buildmap 0)    :  TXT>TEST.TXT (not found)",
                              "Texture path forced         :  TRAVUN> (exists)"}));

  // No directory: no texture path; no words: only the report.
  Run("MAP OTHER");
  EXPECT_STREQ(SB_Var.TexturePath, "");
  EXPECT_EQ(Printed().back(), "Texture path forced         :   (not found or no palette)");
  Run("MAP");
  EXPECT_STREQ(SB_Var.CircuitFile, "OTHER.TXT");
  EXPECT_EQ(Printed().size(), 4u);

  // Long words: the path refused, the names whole, nothing found.
  const std::string longWord(255, 'W');
  Run("MAP " + longWord + " " + std::string(31, 'D'));
  EXPECT_EQ(std::string(SB_Var.AsciiMapFile), "..>ASC>" + longWord + ".ASC");
  EXPECT_STREQ(SB_Var.TexturePath, "");
  EXPECT_EQ(Printed().front(), "Texture path too long !!!");
  Run("MAP X " + std::string(30, 'D'));
  EXPECT_EQ(std::string(SB_Var.TexturePath), std::string(30, 'D') + ">");
}

TEST_F(Actions, MipMapDistances) {
  Run("MIPMAP 0");
  EXPECT_EQ(Printed(), (Lines{"MipMap dist 1 :  200m", "MipMap dist 2 :  200m", "MipMap dist 3 :  200m",
                              "MipMap dist 4 :  200m"}));
  Run("MIPMAP 3");
  EXPECT_EQ(SB_Var.MipMapDist[0], 20 * 960);
  EXPECT_EQ(SB_Var.MipMapDist[3], 95 * 960);
  Printed();
  Run("MIPMAP 7");
  Run("MIPMAP");
  EXPECT_EQ(Printed(), (Lines{"MipMap dist 1 :  20m", "MipMap dist 2 :  40m", "MipMap dist 3 :  65m",
                              "MipMap dist 4 :  95m", "MipMap dist 1 :  20m", "MipMap dist 2 :  40m",
                              "MipMap dist 3 :  65m", "MipMap dist 4 :  95m"}));
}

TEST_F(Actions, TheCarCarousel) {
  Run("CARNUM 3");
  EXPECT_EQ(Printed(), Lines{"Actual car: 3."});
  EXPECT_EQ(SB_Var.SetupScroll, -3);
  EXPECT_EQ(SB_Var.SetupScrollTarget, -3);
  EXPECT_EQ(SB_Var.SetupScrollPos, -30.0);
  Run("CARNUM 40");
  EXPECT_EQ(SB_Var.SelectedSetup, 8);

  Run("CARNUMEXIST 14");
  Run("CARNUM 13");
  EXPECT_EQ(SB_Var.NbSelectableSetups, 13);
  Run("CARNUMEXIST");  // 9 setups: selection and carousel come back within them
  EXPECT_EQ(SB_Var.NbVehicleSetups, 9);
  EXPECT_EQ(SB_Var.NbSelectableSetups, 8);
  EXPECT_EQ(SB_Var.SelectedSetup, 8);
  EXPECT_EQ(SB_Var.SetupScroll, -8);
  EXPECT_EQ(SB_Var.SetupScrollPos, -80.0);
  Run("CARNUMEXIST 99");
  EXPECT_EQ(SB_Var.NbVehicleSetups, 16);
  EXPECT_EQ(Printed(), (Lines{"Actual car: 8.", "Actual car: 13."}));
}

TEST_F(Actions, SmallWords) {
  SB_Var.MaxMemOwners = 12;
  SB_Var.MaxBmapOwners = 3;
  EXPECT_EQ(Run("SCALE 0.4"), 1);
  Run("SCALE 1.5");
  Run("SCALE");
  Run("VERSION");
  Run("MEMINFO");
  Run("DEFAULTDIRECTORY");
  Run("TEXTUREREDUCTION 0");
  Run("TEXTUREREDUCTION");
  Run("INTERJOY");
  EXPECT_EQ(SB_Var.ControlMode, 0);
  Run("INTERCUST");
  EXPECT_EQ(SB_Var.ControlMode, 2);
  Run("INTERKEYB");
  EXPECT_EQ(Run("CPU"), 1);
  EXPECT_EQ(Run("RUFISPLAYING"), 1);
  EXPECT_EQ(Printed(),
            (Lines{"There is no forced scale is", "Forced scale is: 1.500000", "Forced scale is: 1.500000",
                   "Compiled on:  Jan 27 1997 10:04:22", "Max number of MEMs allocated: 12",
                   "Max number of BMAPs allocated: 3",
                   "Runtime Directory C:", "POWERVR Textures of cars won't be reduced by half...",
                   "POWERVR Textures of cars will be reduced by half...", "Input device: joystick...",
                   "Input device: custom...", "Input device: keyboard..."}));
  EXPECT_EQ(SB_Var.ControlMode, 1);
  EXPECT_EQ(SB_Var.TextureReduction, 1);

  const uint32_t before = plat::TickMs();
  Run("DELAY 250");
  Run("DELAY -5");
  EXPECT_EQ(plat::TickMs() - before, 250u);
  Run("DELAY");
  EXPECT_EQ(plat::TickMs() - before, 1250u);
}

// The 46th line is the first after a page: 44 lines and the empty one
// after the last carriage return fill a page exactly.
TEST_F(Actions, TypeWaitsForAKeyBeforeLine46) {
  std::string page;
  for (int i = 1; i <= 44; ++i) page += "line " + std::to_string(i) + "\r\n";
  ztest::WriteFile(root_ + "/PAGE.TXT", page);
  ztest::WriteFile(root_ + "/MORE.TXT", page + "line 45\r\n");
  ztest::StartTyping("");
  Run("TYPE page.txt");
  EXPECT_EQ(ztest::PagerPrompts(), 0);
  EXPECT_EQ(Printed().size(), 45u);
  Run("TYPE more.txt");
  EXPECT_EQ(ztest::PagerPrompts(), 1);
  EXPECT_EQ(Printed().size(), 46u);

  // Any line end ends a line; a long name is only not found.
  ztest::WriteFile(root_ + "/MIXED.TXT", "a\nb\rc\r\n\r\nd");
  Run("TYPE MIXED.TXT");
  Run("TYPE " + std::string(255, 'T'));
  EXPECT_EQ(Printed(), (Lines{"a", "b", "c", "", "d", "File error... type DIR for directory..."}));
}

TEST_F(Actions, HelpAndInfoTypeTheirFiles) {
  ztest::WriteFile(root_ + "/HELP.TXT", "help text");
  ztest::WriteFile(root_ + "/INFO.TXT", "info text");
  EXPECT_EQ(Run("HELP"), 1);
  EXPECT_EQ(Run("INFO"), 1);
  EXPECT_EQ(Printed(), (Lines{"help text", "info text"}));
}

TEST_F(Actions, CopyIsByteExact) {
  std::string data;
  for (int i = 0; i < 300 * 1024; ++i) data += static_cast<char>(i * 7 + i / 251);
  ztest::WriteFile(root_ + "/SRC.BIN", data);
  ztest::WriteFile(root_ + "/EMPTY.BIN", "");
  Run("COPY SRC.BIN DST.BIN");
  Run("COPY EMPTY.BIN DST0.BIN");
  EXPECT_TRUE(Printed().empty());
  EXPECT_EQ(ztest::ReadFile(root_ + "/DST.BIN"), data);
  EXPECT_TRUE(ztest::FileExists(root_ + "/DST0.BIN"));

  const std::string longName(255, 'N');
  Run("COPY MISSING.BIN X.BIN");
  Run("COPY SRC.BIN NODIR>X.BIN");
  Run("COPY " + longName + " X.BIN");
  Run("COPY SRC.BIN");
  EXPECT_EQ(Printed(),
            (Lines{"File MISSING.BIN not found !!!", "Error creating file NODIR>X.BIN !!!",
                   "File " + longName + " not found !!!", "syntax: COPY sourcefilename destfilename !!!"}));
  EXPECT_FALSE(ztest::FileExists(root_ + "/X.BIN"));
  Run("COPY SRC.BIN " + longName);  // a long name is a name like any other
  EXPECT_EQ(ztest::ReadFile(root_ + "/" + longName), data);
}

// With file errors fatal, as in the program, a name typed at the console
// that cannot be opened or written never ends the program: the word says
// so itself. DIR names a folder: no file of that name can be written.
TEST_F(Actions, FileWordsSayWhenANameCannotBeOpenedOrWritten) {
  ASSERT_TRUE(datagen::WriteTga(root_ + "/PIC.TGA", datagen::Picture24(4, 4, 1, 2, 3)));
  ztest::WriteFile(root_ + "/DIR/KEEP", "");
  ztest::WriteFile(root_ + "/DAT/DIR/KEEP", "");
  MakeScreen(16);
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  const std::pair<const char*, const char*> cases[] = {
      {"COPY PIC.TGA NODIR>X", "Error creating file NODIR>X !!!"},
      {"COPY PIC.TGA DIR", "Error creating file DIR !!!"},
      {"SAVECONSOLE NODIR>X", "Internal error... error wile saving..."},
      {"SAVECONSOLE DIR", "Internal error... error wile saving..."},
      {"TYPE NODIR>X", "File error... type DIR for directory..."},
      {"RUN NODIR>X", "File error... type DIR for directory..."},
      {"VIEWIMAGE NODIR>X.TGA", "File NODIR>X.TGA not found !!!"},
      {"VIEWIMAGE NODIR>X.PCX", "File NODIR>X.PCX not found !!!"},
      {"MAKEICONE PIC.TGA NODIR>X", "Error creating file NODIR>X !!!"},
      {"UNALPHA PIC.TGA DIR", "Error creating file DIR !!!"},
      {"BMAPTO16 PIC.TGA DIR", "Error creating file DIR !!!"},
  };
  for (const auto& [line, message] : cases) {
    EXPECT_EQ(ztest::ExitCodeOf([line = line] { Run(line); }), -999) << line;
    EXPECT_EQ(Printed(), Lines{message}) << line;
  }
}

TEST_F(Actions, SaveConsoleWritesTheHistoryOldestFirst) {
  std::strcpy(SB_Var.ConsoleHistory[5], "MAP TEST");
  std::strcpy(SB_Var.ConsoleHistory[30], "PLAY");
  std::strcpy(SB_Var.ConsoleHistory[31], "being edited");
  ztest::WriteFile(root_ + "/DAT/OLD.TXT", "");
  Run("SAVECONSOLE HIST.TXT");
  EXPECT_EQ(ztest::ReadFile(root_ + "/DAT/HIST.TXT"), "MAP TEST\r\nPLAY\r\n");
  ztest::StartTyping("");
  Run("TYPE DAT>HIST.TXT");  // what TYPE reads back
  EXPECT_EQ(Printed(), (Lines{"MAP TEST", "PLAY", ""}));
  Run("SAVECONSOLE NODIR>HIST.TXT");
  Run("SAVECONSOLE");
  EXPECT_EQ(Printed(), Lines{"Internal error... error wile saving..."});
}

TEST_F(Actions, OutputStartsTheLogAnew) {
  ztest::WriteFile(root_ + "/CONSOLE.TXT", "old");
  EXPECT_EQ(Run("OUTPUT 1"), 1);
  EXPECT_EQ(ztest::ReadFile(root_ + "/CONSOLE.TXT"), "CONSOLE\nFile Output enabled...\n");
  EXPECT_EQ(Run("OUTPUT 0"), 1);
  EXPECT_EQ(Run("OUTPUT"), 0);
  EXPECT_EQ(Printed(),
            (Lines{"File Output enabled...", "File Output disabled...", "Syntax error, or batch error !!!"}));
}

}  // namespace
