// Key names, key and joystick capture, and text entry, with the input
// scripted poll by poll on the manual clock.
#include <cstring>

#include "platform/clock.h"
#include "platform/joystick.h"
#include "system/font.h"
#include "tests/frontend/menu_fixture.h"
#include "vehicles/keynames.h"

namespace ztest {
namespace {

TEST(KeyNames, ByNameAndByCode) {
  EXPECT_EQ(KeyNameToCode("SPACE"), 32);
  EXPECT_EQ(KeyNameToCode("Q"), 81);
  EXPECT_EQ(KeyNameToCode("P"), 80);  // row 0 is not searched
  EXPECT_EQ(KeyNameToCode("JOY2 B4"), 1048);
  EXPECT_EQ(KeyNameToCode(""), 0);
  EXPECT_EQ(KeyNameToCode(nullptr), 0);
  EXPECT_STREQ(KeyCodeToName(9), "TAB");
  EXPECT_STREQ(KeyCodeToName(1025), "JOY1 LEFT");
  EXPECT_STREQ(KeyCodeToName(999), "P");
}

class CaptureTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    Background(0x000040);
    SmallFont("INTER/FONTES/NETSMALL.TGA");
    Screen(0, 4, {Item(ITEMKIND_TEXT, 0, 100, 100, 100, 100, 200, 112)});
    Start();
    LoadInterfaceFonts();
    ASSERT_NE(SB_Var.MenuFontSmall, nullptr);
  }
  void TearDown() override {
    plat::ResetJoysticks();
    FreeInterface(0);
    MenuTest::TearDown();
  }
  TMENUITEM* It() { return &SB_Var.MenuScreens[0].Items[0]; }
  // From poll `from` on: the key held and its character typed once.
  void PressAt(int from, int32_t key, int32_t character) {
    polls_ = 0;
    OnPoll() = [=, this] {
      plat::AdvanceManualTime(1);
      if (++polls_ != from) return;
      if (key) plat::SetKeyState(key, true);
      if (character) plat::PostWindowMessage({plat::kMsgChar, static_cast<uintptr_t>(character), 0});
    };
  }
  int polls_ = 0;
};

TEST_F(CaptureTest, KeysGiveTheirNames) {
  const struct {
    int32_t key, character;
    const char* name;
  } rows[] = {{65, 'a', "A"}, {55, '7', "7"}, {27, 27, ""}, {16, 0, "SHIFT"}, {93, 0, "P"}};
  for (const auto& r : rows) {
    PressAt(3, r.key, r.character);
    char text[16] = "x";
    CaptureKeyName(It(), text);
    EXPECT_STREQ(text, r.name) << r.key;
    plat::ReleaseAllKeys();
  }
}

TEST_F(CaptureTest, PromptBlinksEvery300Ms) {
  std::vector<uint32_t> changes;
  bool shown = true;
  const uint32_t start = LSYS_GetTime();
  OnPoll() = [&] {
    plat::AdvanceManualTime(1);
    const bool now = Pixel(LS_Var.Screen, 100 + 38, 100) >> 11 == 31;  // the white prompt's red
    if (now != shown) changes.push_back(LSYS_GetTime() - start);
    shown = now;
    if (LSYS_GetTime() - start > 1000) plat::SetKeyState(27, true);
  };
  char text[16];
  CaptureKeyName(It(), text);
  ASSERT_EQ(changes.size(), 3u);
  EXPECT_NEAR(changes[0], 300.0, 5.0);  // the start's own pumps take a few ms
  EXPECT_EQ(changes[1] - changes[0], 300u);
  EXPECT_EQ(changes[2] - changes[1], 300u);
}

TEST_F(CaptureTest, JoystickActions) {
  plat::JoyCaps caps;
  caps.xMax = caps.yMax = 200;
  caps.buttons = 4;
  plat::PlugJoystick(0, caps);
  plat::PlugJoystick(1, caps);
  LSI_InitJoy();
  auto set = [](int id, uint32_t x, uint32_t y, uint32_t buttons = 0) { plat::SetJoystickPosition(id, {x, y, buttons}); };
  const struct {
    uint32_t x, y, buttons;
    const char* name;
  } rows[] = {{50, 100, 0, "JOY1 LEFT"}, {5, 100, 0, "JPD1 LEFT"}, {100, 110, 0, "JOY1 DOWN"},
              {100, 100, 4, "JOY1 B3"},  {250, 100, 0, "JPD1 RIGHT"}};
  for (const auto& r : rows) {
    set(0, r.x, r.y, r.buttons);
    set(1, 100, 100);
    SB_Var.Joy1Centred = SB_Var.Joy2Centred = 1;
    char text[16] = "";
    CaptureJoystickKeyName(It(), text);
    EXPECT_STREQ(text, r.name) << r.x << "," << r.y;
    EXPECT_EQ(SB_Var.Joy1Centred, 0);
  }
  // Deflected when capture starts: nothing until seen at rest.
  SB_Var.Joy1Centred = SB_Var.Joy2Centred = 0;
  set(0, 50, 100);
  char text[16] = "";
  CaptureJoystickKeyName(It(), text);
  EXPECT_STREQ(text, "");
  set(0, 100, 100);
  CaptureJoystickKeyName(It(), text);
  EXPECT_EQ(SB_Var.Joy1Centred, 1);
  set(1, 100, 100);
  CaptureJoystickKeyName(It(), text);
  EXPECT_EQ(SB_Var.Joy2Centred, 1);
  set(0, 50, 100);
  set(1, 150, 100);
  CaptureJoystickKeyName(It(), text);
  EXPECT_STREQ(text, "JOY2 RIGHT");  // joystick 2's name replaces joystick 1's
}

class TextEntryTest : public CaptureTest {
 protected:
  // Types the characters (0: a click), one every few polls, then ends.
  int32_t Type(const std::vector<int32_t>& keys, char* text, int32_t maxLen, int32_t flags, int32_t endKey = 0) {
    polls_ = 0;
    OnPoll() = [=, this] {
      ++polls_;
      plat::SetKeyState(1, false);
      const size_t k = static_cast<size_t>(polls_ / 4 - 1);
      if (k == keys.size() + 50) plat::SetMessageSource(nullptr);  // a row that never ends: stop it
      if (polls_ % 4 || k >= keys.size()) return;
      if (keys[k])
        plat::PostWindowMessage({plat::kMsgChar, static_cast<uintptr_t>(keys[k]), 0});
      else
        plat::SetKeyState(1, true);
    };
    return LS_GetString(SB_Var.MenuFontSmall, text, 200, 200, maxLen, SB_Var.MenuBackground, 200, 200, endKey, flags);
  }
};

TEST_F(TextEntryTest, FlagsAndKeys) {
  const struct {
    std::vector<int32_t> keys;
    int32_t maxLen, flags, endKey;
    const char* text;
    int32_t result;
  } rows[] = {
      {{'a', 'b', 13}, 8, 0, 0, "ab", 0},
      {{'a', 'b', 13}, 8, TEXT_UPPER, 0, "AB", 0},
      {{'1', 'x', '2', 13}, 8, TEXT_DIGITS, 0, "12", 0},
      {{'a', 13, 'b', 13}, 2, TEXT_FULL, 0, "ab", 0},    // Enter after one character keeps editing
      {{'a', 'b', 8, 'c', 13}, 8, 0, 0, "ac", 0},        // Backspace
      {{'a', ' ', '#', 200, 13}, 8, 0, 0, "a", 0},       // not alphanumeric, or outside the font
      {{'a', 'b', 'c', 13}, 2, 0, 0, "ab", 0},           // no more than maxLen
      {{'a', 9}, 8, 0, 9, "a", 1},                       // the end key
      {{'a', 0}, 8, 0, 0, "a", 0},                       // a click
  };
  for (const auto& r : rows) {
    char text[16] = "";
    EXPECT_EQ(Type(r.keys, text, r.maxLen, r.flags, r.endKey), r.result) << r.text;
    EXPECT_STREQ(text, r.text);
  }
}

TEST_F(TextEntryTest, FieldDrawingAndCaret) {
  FONT* font = SB_Var.MenuFontSmall;
  BMAP* field = LS_CreateBmap(font->CellWidth * 9, font->CellHeight, 32, 0);
  char text[16] = "abc";
  const int32_t width = LS_GetStringWidth(font, "abc");
  EXPECT_EQ(DrawStringField(font, field, SB_Var.MenuBackground, 0, 0, text, TEXT_CENTRED),
            (field->SizeX - width - font->CellWidth) / 2);
  EXPECT_STREQ(text, "abc");
  // Ink of the test font: "a", "b", "c" are 4, 5 and 6 wide, "*" 4.
  auto ink = [&] {
    int n = 0;
    for (int x = 0; x < field->SizeX; ++x) n += (Pixel(field, x, 0) & 0xFFFFFF) == 0xFFFFFF;
    return n;
  };
  DrawStringField(font, field, nullptr, 0, 0, text, 0);
  EXPECT_EQ(ink(), 15);
  DrawStringField(font, field, nullptr, 0, 0, text, TEXT_HIDDEN);
  EXPECT_EQ(ink(), 12);
  EXPECT_STREQ(text, "abc");
  LS_FreeBmap(field);

  // The caret (the "-" cell, 2 + 45 % 5 = 2 wide) after the text: on for
  // five passes, off for three, on again at each edit.
  std::string seen;
  polls_ = 0;
  const int32_t caretX = 200 + LS_GetStringWidth(font, "a");
  OnPoll() = [&] {
    ++polls_;
    seen += Pixel(SB_Var.MenuBmap, caretX + 1, 201) >> 11 == 31 ? '1' : '0';  // the white caret's red
    if (polls_ == 1) plat::PostWindowMessage({plat::kMsgChar, 'a', 0});
    if (polls_ == 90) plat::PostWindowMessage({plat::kMsgChar, 13, 0});
  };
  char typed[8] = "";
  LS_GetString(font, typed, 200, 200, 4, SB_Var.MenuBackground, 200, 200, 0, 0);
  // Runs of polls with the caret on and off; every pass takes the same
  // number of polls, so full runs are 5 and 3 passes long.
  std::vector<size_t> runs;
  for (size_t i = 0, start = 0; i <= seen.size(); ++i)
    if (i == seen.size() || seen[i] != seen[start]) runs.push_back(i - start), start = i;
  ASSERT_GE(runs.size(), 5u) << seen;
  const size_t on = runs[1], off = runs[2];
  EXPECT_EQ(on * 3, off * 5) << seen;
  EXPECT_EQ(runs[3], on) << seen;
  EXPECT_EQ(runs[4], off) << seen;
}

TEST_F(TextEntryTest, HeadlessEndsAsEnter) {
  plat::SetMessageSource(nullptr);
  char text[16] = "";
  EXPECT_EQ(LS_GetString(SB_Var.MenuFontSmall, text, 0, 0, 4, nullptr, 0, 0, 0, TEXT_FULL), 0);
  EditScreenText(text, 10, 10, 4, 0);
  EXPECT_STREQ(text, "");
  CaptureKeyName(It(), text);
  EXPECT_STREQ(text, "");
}

}  // namespace
}  // namespace ztest
