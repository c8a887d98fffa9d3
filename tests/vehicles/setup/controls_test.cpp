// The control map, the reading of keys, axes and buttons, the copy into a
// car, and CALIBRATE.
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>
#include <string>

#include "shell/settings.h"
#include "tests/vehicles/setup/setup_fixture.h"
#include "vehicles/physics.h"

namespace ztest {
namespace {

using Map = std::vector<int32_t>;
Map CurrentMap() { return Map(SB_Var.ControlMap, SB_Var.ControlMap + SB_NBCONTROLS); }

class ControlsTest : public SetupTest {};

// The README's table of the keyboard preset ("## Driving"), read as the
// user reads it, against the map the preset gives: each control named
// once, each key the one the game reads.
TEST_F(ControlsTest, TheReadmeNamesTheKeyboardPresetsKeys) {
  const std::string readme = ReadFile(ZENTROVA_SOURCE_DIR "/README.md");
  const size_t section = readme.find("\n## Driving\n");
  ASSERT_NE(section, std::string::npos);
  const std::vector<std::string> controls = {"accelerate", "brake", "steer left", "steer right", "hand brake",
                                             "gear up",    "gear down", "camera", "lights"};
  // Windows virtual-key codes of the key names the table uses.
  const std::map<std::string, int32_t> codes = {{"Shift", 16}, {"Ctrl", 17}, {"Enter", 13}, {"Space", 32},
                                                {"Left", 37},  {"Right", 39}, {"Down", 40},  {"Up", 38}};
  std::map<std::string, int32_t> table;
  std::istringstream lines(readme.substr(section + 1, readme.find("\n## ", section + 1) - section));
  for (std::string line; std::getline(lines, line);) {
    const size_t bar = line.find(" | ");
    if (line.rfind("| ", 0) != 0 || bar == std::string::npos || line.size() < bar + 5) continue;
    const std::string control = line.substr(2, bar - 2), key = line.substr(bar + 3, line.size() - bar - 5);
    if (control == "control") continue;
    const auto named = codes.find(key);
    table[control] = named != codes.end() ? named->second : key.size() == 1 ? key[0] : -1;
  }
  SB_Var.ControlMode = 1;
  SB_SetControlMap();
  ASSERT_EQ(table.size(), controls.size());
  for (size_t k = 0; k < controls.size(); ++k) EXPECT_EQ(table[controls[k]], SB_Var.ControlMap[k]) << controls[k];
}

TEST_F(ControlsTest, PresetsAndUserKeys) {
  char names[8][32] = {"SHIFT", "DOWN", "LEFT", "RIGHT", "A", "Q", "W", ""};
  for (int32_t k = 0; k < 8; ++k) SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[SB_ITEM_FIRSTKEY + k].Value = reinterpret_cast<intptr_t>(names[k]);
  SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[SB_ITEM_FIRSTKEY + 7].Value = 0;  // no text: no key
  const Map keyboard = {16, 40, 37, 39, 17, 65, 90, 13, 32};
  const struct {
    int32_t mode, modeAfter;
    Map map;
  } rows[] = {
      {0, 0, {1027, 1028, 1025, 1026, 17, 1033, 1034, 1036, 1035}},
      {1, 1, keyboard},
      {-1, 1, keyboard},
      {7, 1, keyboard},
      {2, 2, {16, 40, 37, 39, 'A', 'Q', 'W', 0, 27}},  // names by the table, single letters by themselves
  };
  for (const auto& r : rows) {
    SB_Var.ControlMode = r.mode;
    SB_SetControlMap();
    EXPECT_EQ(CurrentMap(), r.map) << r.mode;
    EXPECT_EQ(SB_Var.ControlMode, r.modeAfter) << r.mode;
  }
  for (TMENUITEM& item : SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items) item.Value = 0;
}

TEST_F(ControlsTest, AxesButtonsAndCodes) {
  const struct {
    int32_t code;
    double x, y;
    uint32_t buttons;
    double value;
    uint8_t analog;
  } rows[] = {
      {1025, 0.03, 0, 0, -0.03, 1}, {1026, 0.03, 0, 0, 0, 0},   {1026, 0.6, 0, 0, 0.6, 1},  {1025, 0.6, 0, 0, 0, 0},
      {1027, 0, -0.7, 0, 0.7, 1},   {1028, 0, 0.7, 0, 0.7, 1},  {1029, -0.6, 0, 0, 1, 0},   {1030, 0.4, 0, 0, 0, 0},
      {1032, 0, 0.6, 0, 1, 0},      {1033, 0, 0, 1, 1, 0},      {1036, 0, 0, 8, 1, 0},      {1035, 0, 0, 8, 0, 0},
      {1037, -0.5, 0, 0, 0.5, 1},   {0, 0, 0, 0, 0, 0},         {255, 0, 0, 0, 0, 0},       {1024, 0, 0, 0, 0, 0},
      {1049, 0, 0, 15, 0, 0},
  };
  for (const auto& r : rows) {
    const JOYPOS stick{0, 0, r.x, r.y, r.buttons};
    SB_Var.ControlMap[SB_CTRL_ACCEL] = r.code;
    double value = -1;
    uint8_t analog = 9;
    SB_ReadControl(SB_CTRL_ACCEL, &value, &analog, &stick, &stick, 1, 1);
    EXPECT_NEAR(value, r.value, 1e-12) << r.code << " " << r.x;
    EXPECT_EQ(analog, r.analog) << r.code << " " << r.x;
  }
  double value = -1;
  uint8_t analog = 9;
  SB_Var.ControlMap[SB_CTRL_ACCEL] = 1040;  // stick 2, absent
  const JOYPOS stick{0, 0, 0, 0, 15};
  SB_ReadControl(SB_CTRL_ACCEL, &value, &analog, &stick, &stick, 1, 0);
  EXPECT_EQ(value, 0.0);
}

TEST_F(ControlsTest, TheBlockFromTheSticksAndTheKeys) {
  // Mode 0 with no joystick: only the handbrake's key 17 works.
  SB_Var.ControlMode = 0;
  SB_SetControlMap();
  plat::SetKeyState(17, true);
  SB_BuildControls(&SB_Var.Controls);
  TCONTROLS expect{};
  expect.HandBrake = 1;
  EXPECT_EQ(std::memcmp(&SB_Var.Controls, &expect, sizeof expect), 0);
  // The squared response of x, a stick beyond its travel, a centre that
  // would make NaN.
  const struct {
    double x, y, centre;
    int32_t linear;
    double left, right, brake;
  } rows[] = {{-0.6, 0.9, 0, 0, 0.36, 0, 0.9}, {0.6, 0, 0, 0, 0, 0.36, 0}, {-0.6, 0, 0, 1, 0.6, 0, 0},
              {1.4, 1.4, 0, 1, 0, 1, 1},      {0.5, 0.5, std::nan(""), 1, 0, 0, 0}};
  for (const auto& r : rows) {
    Stick(0, r.x, r.y, 2);
    SB_Var.JoystickCenter[0] = SB_Var.JoystickCenter[1] = r.centre;
    SB_Var.LinearInput = r.linear;
    SB_BuildControls(&SB_Var.Controls);
    EXPECT_NEAR(SB_Var.Controls.LeftAmount, r.left, 1e-9) << r.x;
    EXPECT_NEAR(SB_Var.Controls.RightAmount, r.right, 1e-9) << r.x;
    EXPECT_NEAR(SB_Var.Controls.BrakeAmount, r.brake, 1e-9) << r.x;
    EXPECT_EQ(SB_Var.Controls.GearDown, 1) << r.x;
  }
  SB_Var.JoystickCenter[0] = SB_Var.JoystickCenter[1] = 0;
  // A held key on Accel.
  Stick(0, -1.0, 0.0);
  SB_BuildControls(&SB_Var.Controls);
  SB_Var.ControlMode = 1;
  SB_SetControlMap();
  plat::SetKeyState(16, true);
  SB_SnapshotControls();
  EXPECT_EQ(SB_Var.Controls.AccelAmount, 1.0);
  EXPECT_EQ(SB_Var.Controls.AccelOn, 1);
  EXPECT_EQ(SB_Var.Controls.AccelAnalog, 0);
  EXPECT_EQ(SB_Var.PrevControls.LeftOn, 1);  // the last frame's block kept
  plat::ReleaseAllKeys();
}

TEST_F(ControlsTest, TheCarHoldsItsBrakeUntilTheRacingPhase) {
  MakeCars(2);
  SB_Var.CameraMode = 1;
  SB_Var.Controls = TCONTROLS{};
  SB_Var.Controls.AccelOn = SB_Var.Controls.GearUp = 1;
  SB_Var.Controls.AccelAmount = 0.8;
  const struct {
    int32_t step, finished, camera;
    bool drives;
  } rows[] = {{14, 0, 1, false}, {15, 0, 1, true}, {16, 0, 2, true}, {15, 1, 1, false}, {15, 0, 0, false}};
  for (const auto& r : rows) {
    g_gameStep = r.step;
    cars_[0].Finished = r.finished;
    SB_Var.CameraMode = r.camera;
    SB_ApplyControlsToCar(0);
    EXPECT_EQ(cars_[0].AccelAmount, r.drives ? 0.8 : 0.0) << r.step;
    EXPECT_EQ(cars_[0].GearUp, r.drives ? 1 : 0) << r.step;  // no shift during the countdown
    EXPECT_EQ(cars_[0].BrakeAmount, r.drives ? 0.0 : 1.0) << r.step;
    EXPECT_EQ(cars_[0].BrakeOn, r.drives ? 0 : 1) << r.step;
  }
  // A car out of range, or played back from a replay, takes nothing.
  g_replaying[1] = true;
  for (int32_t index : {-1, 1, 2, 16}) SB_ApplyControlsToCar(index);
  EXPECT_EQ(cars_[1].BrakeAmount + cars_[1].AccelAmount, 0.0);
}

TEST_F(ControlsTest, Calibrate) {
  SB_CenterJoystick();
  EXPECT_EQ(SB_PrintedLines(), (std::vector<std::string>{"No joystick 1 found !!!"}));
  // Headless, nothing pressed: the wait ends without a centre.
  Stick(0, 0.2, 0.0);
  SB_ClearPrintedLines();
  SB_CenterJoystick();
  EXPECT_EQ(SB_PrintedLines(), (std::vector<std::string>{"Center joystick and press key or a joy button..."}));
  EXPECT_EQ(SB_Var.JoystickCenter[0], 0.0);
  // A button ends it at x = 0.2: then raw 0.6 reads 0.5 and -0.4 reads -0.5.
  Stick(0, 0.2, 0.0, 1);
  SB_CenterJoystick();
  EXPECT_EQ(SB_PrintedLines().back(), "New center set in X0.200000 Y0.000000...");
  for (const auto& [raw, read] : {std::pair{0.6, 0.5}, {-0.4, -0.5}, {0.2, 0.0}}) {
    Stick(0, raw, 0.0);
    JOYPOS p{};
    ASSERT_EQ(SB_ReadJoystick(1, &p), 1);
    EXPECT_NEAR(p.X, read, 1e-9) << raw;
  }
  // A key ends it too; a centre at the edge is refused and the old one stays.
  Stick(0, 1.0, 0.0);
  LSI_PutKey(' ');
  SB_CenterJoystick();
  EXPECT_NEAR(SB_Var.JoystickCenter[0], 0.2, 1e-9);
  EXPECT_NE(SB_PrintedLines().back().find("refused"), std::string::npos);
}

}  // namespace
}  // namespace ztest
