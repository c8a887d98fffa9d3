// SELECT COMMAND and DETAIL SETTING on the generated tree: the radio
// choices, the joystick check and calibration, the linear marks and the
// user keys' entry with its refusals.
#include <cstring>
#include <tuple>
#include <utility>

#include "platform/clock.h"
#include "platform/joystick.h"
#include "shell/settings.h"
#include "system/input.h"
#include "tests/frontend/tree_fixture.h"

namespace ztest {
namespace {

class CommandScreenTest : public TreeMenuTest {
 protected:
  void TearDown() override {
    plat::ResetJoysticks();
    plat::ReleaseAllKeys();
    TreeMenuTest::TearDown();
  }
  static void PlugJoystick() {
    plat::JoyCaps caps;
    caps.xMax = caps.yMax = 200;
    caps.buttons = 4;
    plat::PlugJoystick(0, caps);
    plat::SetJoystickPosition(0, {100, 100, 0});
    LSI_InitJoy();
  }
  static TMENUITEM& It(int32_t screen, int32_t item) { return SB_Var.MenuScreens[screen].Items[item]; }
  static std::string Text(int32_t item) {
    const intptr_t v = It(SB_OPTIONSSCREEN, item).Value;
    return v >= SB_ITEMTEXTMIN ? reinterpret_cast<const char*>(v) : "(none)";
  }
  // Keys pressed one after another, 1000 polls apart on the manual clock
  // (every key test is a poll): the character typed first, then the key
  // held until the next, so that a refused key is asked again while held.
  // After the last, nothing can come, which ends an entry still asking.
  void TypeKeys(std::vector<std::pair<int32_t, int32_t>> keys) {
    polls_ = 0;
    plat::SetMessageSource([] {
      if (OnPoll()) OnPoll()();
    });
    OnPoll() = [keys, this] {
      plat::AdvanceManualTime(1);
      const int n = polls_++;
      const size_t k = static_cast<size_t>(n / 1000);
      if (n % 1000 == 0) plat::ReleaseAllKeys();
      if (k >= keys.size()) {
        plat::SetMessageSource(nullptr);
        return;
      }
      if (n % 1000 == 50 && keys[k].second)
        plat::PostWindowMessage({plat::kMsgChar, static_cast<uintptr_t>(keys[k].second), 0});
      if (n % 1000 == 60) plat::SetKeyState(keys[k].first, true);
    };
  }
  int polls_ = 0;
};

// Each radio button sets its value, latches itself and unlatches its group.
TEST_F(CommandScreenTest, RadioChoices) {
  PlugJoystick();
  const struct {
    int32_t screen, item;
    int32_t SB_VARS::*field;
    int32_t value;
    int32_t first, last;  // the group
  } rows[] = {
      {4, 2, &SB_VARS::ControlMode, 1, 1, 3},  {4, 1, &SB_VARS::ControlMode, 0, 1, 3},
      {4, 3, &SB_VARS::ControlMode, 2, 1, 3},  {13, 3, &SB_VARS::MenuDetail, 0, 3, 5},
      {13, 5, &SB_VARS::MenuDetail, 2, 3, 5},  {13, 4, &SB_VARS::MenuDetail, 1, 3, 5},
      {13, 8, &SB_VARS::MenuShadows, 2, 6, 8}, {13, 6, &SB_VARS::MenuShadows, 0, 6, 8},
      {13, 7, &SB_VARS::MenuShadows, 1, 6, 8}, {13, 2, nullptr, 0, 1, 2},
      {13, 1, nullptr, 0, 1, 2},
  };
  StartOn(4);
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.screen) + "." + std::to_string(row.item));
    if (SB_Var.DrawnMenuScreen != row.screen) Show(row.screen);
    for (int32_t i = row.first; i <= row.last; ++i) It(row.screen, i).Selected = i == row.first ? 1 : 2;
    if (row.field) SB_Var.*row.field = -7;
    SB_Var.JoystickOn = 0;
    Click(row.item);
    if (row.field) {
      EXPECT_EQ(SB_Var.*row.field, row.value);
    }
    for (int32_t i = row.first; i <= row.last; ++i) EXPECT_EQ(It(row.screen, i).Selected, i == row.item ? 1 : 2) << i;
    EXPECT_EQ(It(row.screen, row.item).State, ITEMSTATE_PRESSED);
    EXPECT_EQ(SB_Var.JoystickOn, row.screen == 4 && row.item == 1 ? 1 : 0);
  }
}

// Without a joystick its choice, its linear mark and CALIBRATE stay inert
// (the keyboard stays chosen) and say so for 2500 ms; with one, CALIBRATE
// sends its line.
TEST_F(CommandScreenTest, JoystickCheckAndCalibration) {
  StartOn(4);
  const std::string mark = Text(21);
  for (int32_t item : {1, 21, 41}) {
    SB_Var.ControlMode = 1;
    const uint32_t before = LSYS_GetTime();
    Click(item);
    EXPECT_GE(LSYS_GetTime() - before, 2500u) << item;
    EXPECT_EQ(SB_Var.ControlMode, 1) << item;
    EXPECT_EQ(Text(21), mark) << item;
    if (item == 21) continue;  // a mark's State is its mark's, not a look
    EXPECT_NE(It(4, item).State, ITEMSTATE_HILITE) << item;
    EXPECT_NE(It(4, item).State, ITEMSTATE_PRESSED) << item;
  }
  EXPECT_TRUE(Exec().lines.empty());
  PlugJoystick();
  Click(41);
  EXPECT_EQ(Exec().lines, std::vector<std::string>{"CALIBRATE"});
}

// The toggles: odd Selected to 2 with "^", else 1 with "_"; the joystick's
// sets the steering response and chooses the joystick, the user keys' does
// neither but chooses the user keys.
TEST_F(CommandScreenTest, LinearMarks) {
  PlugJoystick();
  StartOn(4);
  const struct {
    int32_t item, selected;
    int32_t afterSelected;
    const char* mark;
    int32_t linear, mode;
  } rows[] = {{21, 1, 2, "^", 0, 0}, {21, 2, 1, "_", 1, 0}, {21, 3, 2, "^", 0, 0},
              {38, 1, 2, "^", 5, 2}, {38, 2, 1, "_", 5, 2}, {38, 0, 1, "_", 5, 2}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.item) + " " + std::to_string(row.selected));
    SB_Var.ControlMode = 1;
    SB_Var.LinearInput = 5;
    It(4, row.item).Selected = row.selected;
    Click(row.item);
    EXPECT_EQ((std::tuple{It(4, row.item).Selected, Text(row.item), SB_Var.ControlMode}),
              (std::tuple{row.afterSelected, std::string(row.mark), row.mode}));
    EXPECT_EQ(SB_Var.LinearInput, row.linear);
    EXPECT_EQ(It(4, row.mode == 0 ? 1 : 3).Selected, 1);
  }
}

// A user key another command has is refused, and so is "P"; the command's
// own key is accepted; editing chooses the user keys.
TEST_F(CommandScreenTest, UserKeyEntry) {
  StartOn(4);
  const std::string accel = Text(30), brake = Text(31);
  ASSERT_NE(accel, brake);
  SB_Var.ControlMode = 1;
  const struct {
    std::vector<std::pair<int32_t, int32_t>> keys;
    std::string after;
  } rows[] = {
      {{{65, 'a'}}, "A"},                  // a free key
      {{{93, 0}, {66, 'b'}}, "B"},          // "P" refused, then B
      {{{66, 'b'}, {68, 'd'}}, "B"},        // its own key again: accepted, D not asked
      {{{27, 27}}, "B"},                   // Escape: an empty answer keeps the name
      {{{87, 'w'}, {67, 'c'}}, "C"},        // GEAR DOWN's W refused, then C
      {{{13, 13}, {69, 'e'}}, "E"},         // VIEW's ENTER (the last user key) refused, then E
      {{{81, 'q'}}, "Q"},                  // Q taken as a key
  };
  for (const auto& row : rows) {
    TypeKeys(row.keys);
    Click(35);
    EXPECT_EQ(Text(35), row.after) << row.after;
    EXPECT_EQ(SB_Var.ControlMode, 2);
    EXPECT_EQ(It(4, 3).Selected, 1);
    EXPECT_EQ(SB_Var.MenuHotKeys, 1);
  }
  EXPECT_EQ((std::tuple{Text(30), Text(36)}), (std::tuple{accel, std::string("W")}));
  EXPECT_EQ(SB_Var.MenuQuit, 0);
  EXPECT_EQ(SB_Var.MenuScreen, 4);
}

// The choices reach the store when the interface ends, come back latched
// and drawn with the next one (in a program started afresh: the screens'
// items at rest), and choose the next race's video mode.
TEST_F(CommandScreenTest, ChoicesRoundTripThroughTheStore) {
  PlugJoystick();
  for (int32_t size : {2, 1}) {  // 800 x 600, then 640 x 480
    SCOPED_TRACE(size);
    StartOn(13);
    for (int32_t item : {size, 5, 7}) Click(item);
    Show(4);
    const int32_t joyMark = It(4, 21).Selected;
    Click(21);
    Click(38);
    Click(2);
    FreeInterface(1);
    const TREGSETTINGS& r = SB_Var.Settings;
    EXPECT_EQ((std::tuple{r.TailleEcran, r.ChoixInput, std::string(r.LinearJoy)}),
              (std::tuple{size == 2 ? 1 : 0, 1, std::string(joyMark % 2 ? "^" : "_")}));
    SB_Var.MenuDetail = SB_Var.MenuShadows = 0;
    SB_Var.Settings.TailleEcran = 5;
    SB_Var.ControlMode = -1;
    std::strcpy(SB_Var.Settings.LinearJoy, "?");
    SB_LoadMenuCatalogue();
    StartOn(13);
    EXPECT_EQ((std::tuple{It(13, 1).Selected, It(13, 2).Selected}), (std::tuple{size == 1 ? 1 : 2, size == 2 ? 1 : 2}));
    EXPECT_EQ((std::tuple{SB_Var.MenuDetail, SB_Var.MenuShadows}), (std::tuple{2, 1}));
    // Detail LOW and shadows LOW latched, the others not; the keyboard
    // chosen, and the control mode with it.
    for (int32_t item = 3; item <= 8; ++item)
      EXPECT_EQ(It(13, item).Selected, item == 5 || item == 7 ? 1 : 2) << item;
    for (int32_t item = 1; item <= 3; ++item) EXPECT_EQ(It(4, item).Selected, item == 2 ? 1 : 2) << item;
    EXPECT_EQ(SB_Var.ControlMode, 1);
    EXPECT_EQ(Text(21), joyMark % 2 ? "^" : "_");
    Exec().lines.clear();
    SB_ApplySettings();
    ASSERT_FALSE(Exec().lines.empty());
    EXPECT_EQ(Exec().lines[0], size == 2 ? "VIDEOMODE 19" : "VIDEOMODE 18");
    FreeInterface(0);
  }
}

}  // namespace
}  // namespace ztest
