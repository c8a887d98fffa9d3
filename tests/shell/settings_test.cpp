// Player settings in the registry: the first start's values in order, the
// round trip, the reads' rules, the commands that apply them, the options
// screen's texts, and damaged stores.
#include "shell/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/config.h"
#include "platform/registry.h"
#include "shell/sbvar.h"
#include "system/util.h"
#include "tests/fakes/command_fakes.h"

namespace {

using Lines = std::vector<std::string>;

class Settings : public ztest::CommandTest {
 protected:
  void TearDown() override {
    SB_FreeMenuItemTexts();
    LS_RegClose();
    CommandTest::TearDown();
  }
  // The stored values as "name type size", in their order.
  std::vector<std::string> Stored() const {
    std::vector<std::string> values;
    std::istringstream in(ztest::ReadFile(config_ + "/registry.txt"));
    for (std::string line; std::getline(in, line);) {
      const size_t eq = line.find('='), colon = line.find(':', eq);
      if (line.empty() || line[0] == '[' || eq == std::string::npos) continue;
      values.push_back(line.substr(0, eq) + " " + line.substr(eq + 1, colon - eq - 1) + " " +
                       std::to_string((line.size() - colon - 1) / 2));
    }
    return values;
  }
  // Writes one value straight into the store, as any type and size.
  static void Store(const char* name, uint32_t type, const void* data, uint32_t size) {
    const plat::RegKey key = plat::RegCreateKey("SOFTWARE\\Tamrisk Entertainment\\Zentrova Race");
    plat::RegSetValue(key, name, type, data, size);
    plat::RegCloseKey(key);
  }
  static void StoreNumber(const char* name, int32_t value) { Store(name, plat::kRegNumber, &value, 4); }
  static std::string StoredText(const char* name) {
    char text[64] = {};
    uint32_t size = sizeof text;
    LS_RegOpen(SB_SETTINGSKEY);
    LS_RegGetValue(name, text, &size);
    LS_RegClose();
    return text;
  }
  static std::string ItemText(int32_t item) {
    const intptr_t value = SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[item].Value;
    return value >= SB_ITEMTEXTMIN ? reinterpret_cast<const char*>(value) : "(none)";
  }
};

TEST_F(Settings, AFirstStartWritesEveryDefaultInOrder) {
  SB_Var.MenuShadows = 1;
  SB_LoadSettings();
  EXPECT_EQ(Stored(), (Lines{"TEST 1 3", "Version 4 4", "Accel 1 14", "Brake 1 14", "Left 1 14", "Right 1 14",
                             "HandBrake 1 14", "GearUp 1 14", "GearDown 1 14", "Camera 1 14", "Light 1 14",
                             "LinearJoy 1 14", "LinearCust 1 14", "ChoixInput 4 4", "TailleEcran 4 4",
                             "BoiteAuto 4 4", "PlayerName 1 32", "ServerName 1 7", "NbPlayers 4 4", "Details 4 4",
                             "Shadows 4 4", "NumberOfCars 4 4"}));
  const TREGSETTINGS& r = SB_Var.Settings;
  EXPECT_EQ(r.Version, 6);
  EXPECT_STREQ(r.Accel, "SHIFT");
  EXPECT_STREQ(r.HandBrake, "CTRL");
  EXPECT_STREQ(r.Camera, "ENTER");
  EXPECT_STREQ(r.Light, "");
  EXPECT_STREQ(r.LinearJoy, "_");
  EXPECT_EQ(r.ChoixInput, 1);
  EXPECT_STREQ(r.PlayerName, "UNKNOWN");
  EXPECT_STREQ(SB_Var.MenuServerName, "SERVER");
  EXPECT_EQ(SB_Var.MenuNbPlayers, 2);
  EXPECT_EQ(SB_Var.MenuShadows, 1);
  EXPECT_EQ(SB_Var.ControlMode, 1);
  EXPECT_EQ(SB_Var.LinearInput, 1);
  EXPECT_EQ(ItemText(30), "SHIFT");
  EXPECT_EQ(ItemText(37), "ENTER");
  EXPECT_EQ(ItemText(21), "_");
  EXPECT_EQ(ItemText(38), "_");
  EXPECT_EQ(SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[21].State, 1);
  EXPECT_EQ(ztest::Count("SetSelectedSetup 0"), 2);  // by the default writer, then by the read
}

TEST_F(Settings, SaveThenLoadGivesTheRecordBack) {
  SB_LoadSettings();
  TREGSETTINGS& r = SB_Var.Settings;
  // The options screen's texts are taken back.
  std::strcpy(reinterpret_cast<char*>(SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[31].Value), "B");
  std::strcpy(reinterpret_cast<char*>(SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[21].Value), "^");
  std::strcpy(r.Light, "L");
  std::strcpy(r.PlayerName, "ALBA");
  r.TailleEcran = 1;
  r.BoiteAuto = 1;
  SB_Var.ControlMode = 2;
  std::strcpy(SB_Var.MenuServerName, "HOST");
  SB_Var.MenuNbPlayers = 6;
  SB_Var.MenuDetail = 2;
  SB_Var.MenuShadows = 1;
  SB_Var.SelectedSetup = 5;
  SB_SaveSettings();
  const TREGSETTINGS saved = r;

  std::memset(&r, 0, sizeof r);
  SB_Var.MenuNbPlayers = SB_Var.MenuDetail = SB_Var.MenuShadows = SB_Var.SelectedSetup = 0;
  SB_Var.MenuServerName[0] = 0;
  SB_LoadSettings();
  EXPECT_EQ(std::memcmp(&r, &saved, sizeof r), 0);
  EXPECT_STREQ(r.Brake, "B");
  EXPECT_STREQ(r.LinearJoy, "^");
  EXPECT_EQ(r.ChoixInput, 2);
  EXPECT_STREQ(SB_Var.MenuServerName, "HOST");
  EXPECT_EQ(SB_Var.MenuNbPlayers, 6);
  EXPECT_EQ(SB_Var.MenuDetail, 2);
  EXPECT_EQ(SB_Var.MenuShadows, 1);
  EXPECT_EQ(SB_Var.SelectedSetup, 5);
  EXPECT_EQ(SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[21].State, 2);
  EXPECT_EQ(SB_Var.LinearInput, 0);
}

TEST_F(Settings, TheReadsKeepTheirRules) {
  SB_LoadSettings();
  StoreNumber("NbPlayers", 1);
  StoreNumber("NumberOfCars", 8);  // as many as there are setups: not one of them
  SB_LoadSettings();
  EXPECT_EQ(SB_Var.MenuNbPlayers, 4);
  EXPECT_EQ(SB_Var.SelectedSetup, 0);
  StoreNumber("NumberOfCars", 7);
  SB_LoadSettings();
  EXPECT_EQ(SB_Var.SelectedSetup, 7);

  // The race-start read: no names, no player count, the car not applied.
  Store("PlayerName", plat::kRegString, "BRUNO", 6);
  Store("Accel", plat::kRegString, "A", 2);
  StoreNumber("NumberOfCars", 3);
  StoreNumber("NbPlayers", 9);
  SB_ReadSettings();
  EXPECT_STREQ(SB_Var.Settings.PlayerName, "UNKNOWN");
  EXPECT_STREQ(SB_Var.Settings.Accel, "A");
  EXPECT_EQ(ItemText(30), "A");
  EXPECT_EQ(SB_Var.SelectedSetup, 7);
  EXPECT_EQ(SB_Var.MenuNbPlayers, 4);
}

// The race-start read takes the stored device only when nothing chose one
// in this run, so that a race started from the console drives with the
// stored keys; a device chosen in this run stays.
TEST_F(Settings, TheRaceStartReadTakesTheStoredDeviceWhenNoneWasChosen) {
  struct Row {
    int32_t before, stored, after;
  };
  for (const Row& row : {Row{-1, 2, 2}, Row{-1, 0, 0}, Row{1, 2, 1}, Row{0, 2, 0}, Row{-1, 7, -1}}) {
    SB_LoadSettings();
    StoreNumber("ChoixInput", row.stored);
    Store("Accel", plat::kRegString, "X", 2);
    SB_Var.ControlMode = row.before;
    SB_ReadSettings();
    EXPECT_EQ(SB_Var.ControlMode, row.after) << row.before << " " << row.stored;
    EXPECT_EQ(ItemText(30), "X");
  }
}

TEST_F(Settings, AStaleVersionRewritesTheDefaults) {
  SB_LoadSettings();
  StoreNumber("Version", 5);
  Store("Accel", plat::kRegString, "Z", 2);
  StoreNumber("ChoixInput", 2);
  SB_LoadSettings();
  EXPECT_EQ(StoredText("Accel"), "SHIFT");
  EXPECT_EQ(SB_Var.Settings.Version, 6);
  EXPECT_EQ(SB_Var.Settings.ChoixInput, 1);
  EXPECT_STREQ(SB_Var.Settings.Accel, "Z");  // what was read stays, but for the writer's own values
}

TEST_F(Settings, ApplyTurnsTheRecordIntoCommands) {
  SB_LoadSettings();
  TREGSETTINGS& r = SB_Var.Settings;
  r.ChoixInput = 2;
  r.TailleEcran = 1;
  r.BoiteAuto = 0;
  std::strcpy(r.PlayerName, "CELIA");
  std::strcpy(r.LinearCust, "^");
  SB_Var.MenuDetail = 1;
  SB_Var.MenuShadows = 2;
  Printed();
  SB_ApplySettings();
  EXPECT_EQ(Printed(), (Lines{">VIDEOMODE 19", "Video Mode set to 19.", ">AUTOMATIC 1",
                                      "Automatic gears set to 1.", ">DETAIL MED", ">SHADOW NONE", "SHADOW : NONE"}));
  EXPECT_EQ(SB_Var.ControlMode, 2);
  EXPECT_STREQ(SB_Var.MenuPlayerName, "CELIA");
  EXPECT_EQ(SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[38].State, 2);
  EXPECT_EQ(SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[21].State, 1);

  r.TailleEcran = 2;
  r.BoiteAuto = 1;
  r.ChoixInput = 7;
  SB_Var.MenuDetail = SB_Var.MenuShadows = 3;
  Printed();
  SB_ApplySettings();
  EXPECT_EQ(Printed(), (Lines{">AUTOMATIC 0", "Automatic gears set to 0."}));
  EXPECT_EQ(SB_Var.ControlMode, 2);
}

TEST_F(Settings, OnlyTextBlocksAreFreed) {
  SB_LoadSettings();
  SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[5].Value = 200;
  SB_FreeMenuItemTexts();
  EXPECT_EQ(SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[5].Value, 200);
  EXPECT_EQ(SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[30].Value, 0);
  EXPECT_EQ(SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[21].Value, 0);
}

TEST_F(Settings, DamagedStores) {
  ztest::WriteFile(config_ + "/registry.txt", "garbage\n[broken\nTEST=x:zz\n");
  plat::SetConfigDir(config_);
  SB_LoadSettings();
  EXPECT_EQ(Stored().size(), 22u);  // the defaults, the garbage gone
  EXPECT_STREQ(SB_Var.Settings.Accel, "SHIFT");

  Store("Brake", plat::kRegString, "ABCDEFGHIJKLMNOPQRST", 21);  // longer than the field
  Store("Left", plat::kRegString, "ABCDEFGHIJKLMN", 14);          // full size, no zero
  Store("Details", plat::kRegString, "ab\0", 4);                  // a number stored as text
  const uint16_t two = 2;
  Store("Shadows", plat::kRegNumber, &two, 2);  // a number of another size
  Store("TEST", plat::kRegString, "NO", 3);     // unusable: the defaults again
  SB_Var.MenuDetail = 1;
  SB_Var.MenuShadows = 1;
  SB_LoadSettings();
  EXPECT_STREQ(SB_Var.Settings.Brake, "DOWN");
  EXPECT_STREQ(SB_Var.Settings.Left, "LEFT");
  Store("Brake", plat::kRegString, "ABCDEFGHIJKLMNOPQRST", 21);
  Store("Left", plat::kRegString, "ABCDEFGHIJKLMN", 14);
  Store("Details", plat::kRegString, "ab\0", 4);
  Store("Shadows", plat::kRegNumber, &two, 2);
  SB_LoadSettings();
  EXPECT_STREQ(SB_Var.Settings.Brake, "DOWN");
  EXPECT_STREQ(SB_Var.Settings.Left, "ABCDEFGHIJKLM");
  EXPECT_EQ(SB_Var.MenuDetail, 1);
  EXPECT_EQ(SB_Var.MenuShadows, 1);
}

}  // namespace

namespace {

TMENUITEM& SizeItem(int32_t index) { return SB_Var.MenuScreens[SB_DETAILSCREEN].Items[index]; }

// The screen size goes to the store from DETAIL SETTING's latched choice,
// and comes back latched; values the choices do not name stay as stored.
TEST_F(Settings, ScreenSizeFollowsTheLatchedChoice) {
  const struct {
    int32_t latched;  // item 1, 2, or 0 for neither
    int32_t stored, saved;
    int32_t selected640, selected800;  // after the next load
  } rows[] = {{1, 1, 0, 1, 2}, {2, 0, 1, 2, 1}, {0, 1, 1, 2, 1}, {0, 7, 7, 2, 2}, {0, -1, -1, 2, 2}};
  for (const auto& row : rows) {
    SB_LoadSettings();
    SizeItem(1).Selected = SizeItem(2).Selected = 2;
    if (row.latched) SizeItem(row.latched).Selected = 1;
    SB_Var.Settings.TailleEcran = row.stored;
    SB_SaveSettings();
    SizeItem(1).Selected = SizeItem(2).Selected = 2;
    SizeItem(1).State = SizeItem(2).State = 0;
    SB_Var.Settings.TailleEcran = 99;
    SB_LoadSettings();
    EXPECT_EQ(SB_Var.Settings.TailleEcran, row.saved) << row.latched << " " << row.stored;
    EXPECT_EQ((std::pair{SizeItem(1).Selected, SizeItem(2).Selected}), (std::pair{row.selected640, row.selected800}))
        << row.latched << " " << row.stored;
    EXPECT_EQ((std::pair{SizeItem(1).State == 2, SizeItem(2).State == 2}),
              (std::pair{row.selected640 == 1, row.selected800 == 1}));
  }
}

// The marks set Selected, which the toggles read, as well as State.
TEST_F(Settings, LinearMarksSetSelected) {
  for (const char* joy : {"^", "_"}) {
    SB_LoadSettings();
    std::strcpy(reinterpret_cast<char*>(SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[21].Value), joy);
    std::strcpy(reinterpret_cast<char*>(SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[38].Value), joy[0] == '^' ? "_" : "^");
    SB_SaveSettings();
    SB_LoadSettings();
    const TMENUITEM* items = SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items;
    const int32_t squared = joy[0] == '^' ? 2 : 1, other = 3 - squared;
    EXPECT_EQ((std::tuple{items[21].Selected, items[21].State, items[38].Selected, items[38].State}),
              (std::tuple{squared, squared, other, other})) << joy;
  }
}

}  // namespace
