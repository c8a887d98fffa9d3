// The menu catalogue as the reset leaves it in the global record: sizes
// and indexes in range, the screens' headers, spot rows of the item
// tables, the runs of list lines and the rest looks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frontend/menus.h"
#include "shell/sbvar.h"
#include "tests/support/testenv.h"

namespace {

bool IsPictureKind(int32_t kind) { return kind == ITEMKIND_BITMAP || kind == ITEMKIND_BUTTON; }

class CatalogueTest : public ztest::Environment {
 protected:
  static const TMENUITEM& Item(int32_t screen, int32_t item) { return SB_Var.MenuScreens[screen].Items[item]; }
};

TEST_F(CatalogueTest, EveryIndexIsInItsTable) {
  for (int32_t s = 0; s < SB_NBMENUSCREENS; ++s) {
    const TMENUSCREEN& screen = SB_Var.MenuScreens[s];
    ASSERT_LE(screen.NbItems, SB_MENUITEMS) << s;
    for (int32_t i = 0; i < screen.NbItems; ++i) {
      const TMENUITEM& item = screen.Items[i];
      SCOPED_TRACE(std::to_string(s) + "." + std::to_string(i));
      EXPECT_GE(item.Index, 0);
      EXPECT_LT(item.Index, IsPictureKind(item.Kind) ? SB_NBMENUBMAPS : SB_NBMENUTEXTS);
      // A live button reacts through its callback.
      if (item.Kind == ITEMKIND_BUTTON && item.Live) {
        EXPECT_NE(item.Callback, nullptr);
      }
      EXPECT_EQ(item.Selected, 2);
      EXPECT_EQ(item.CallbackState, 0);
      EXPECT_EQ(item.State, item.RestState);
    }
  }
  for (const TMENUBMAP& row : SB_Var.MenuBmaps) {
    ASSERT_NE(row.FileName, nullptr);
    EXPECT_EQ(std::string(row.FileName).rfind("INTER>BMAPS>", 0), 0u) << row.FileName;
    EXPECT_EQ(row.Picture, nullptr);
  }
  for (const char* text : SB_Var.MenuTexts) EXPECT_NE(text, nullptr);
}

TEST_F(CatalogueTest, ScreenHeaders) {
  struct Row {
    int32_t screen, background, transition, cursor, wave;
    bool callback;
  };
  const Row rows[] = {{0, 0, 6, 0, 6, true},   {1, 0, 2, 0, 6, true},   {2, 1, 4, 1, 6, true},
                      {3, 1, 5, 1, 0, false},  {4, 1, 4, 1, 0, true},   {5, 1, 4, 1, 6, true},
                      {10, 1, 4, 1, 0, true},  {13, 1, 4, 1, 0, false}, {14, 1, 4, 1, 0, false}};
  for (const Row& r : rows) {
    const TMENUSCREEN& s = SB_Var.MenuScreens[r.screen];
    SCOPED_TRACE(r.screen);
    EXPECT_EQ(s.DrawBackground, r.background);
    EXPECT_EQ(s.Transition, r.transition);
    EXPECT_EQ(s.CursorShown, r.cursor);
    EXPECT_EQ(s.Sound, r.wave);
    EXPECT_EQ(s.Callback != nullptr, r.callback);
  }
  EXPECT_EQ(SB_Var.MenuScreens[0].Callback, &SplashScreen);
  EXPECT_EQ(SB_Var.MenuScreens[5].Callback, &LoopScreenSound);
  for (int32_t unused : {6, 11}) {
    EXPECT_EQ(SB_Var.MenuScreens[unused].NbItems, 0);
    EXPECT_EQ(SB_Var.MenuScreens[unused].Callback, nullptr);
  }
}

TEST_F(CatalogueTest, SpotRows) {
  struct Row {
    int32_t screen, item, kind, index, x, y, hx1, hy1, hx2, hy2, live, wave;
    MENUITEMPROC callback;
    intptr_t value;
  };
  const Row rows[] = {
      {0, 0, ITEMKIND_BITMAP, 20, 0, 0, 0, 0, 0, 0, 1, 0, nullptr, 0},
      {2, 0, ITEMKIND_TITLE, 0, 30, 1, 0, 0, 0, 0, 0, 0, nullptr, 0},
      {2, 1, ITEMKIND_BUTTON, 4, 91, 90, -1, 0, 0, 0, 1, 12, ChooseRaceButton, 0},
      {2, 2, ITEMKIND_BUTTON, 5, 149, 297, -1, 0, 0, 0, 1, 1, ChooseCarButton, 0},
      {2, 3, ITEMKIND_BUTTON, 6, 393, 121, -1, 0, 0, 0, 1, 3, CommandsButton, 0},
      {2, 4, ITEMKIND_BUTTON, 67, 384, 300, -1, 0, 0, 0, 1, 3, DemoButton, 0},
      {2, 5, ITEMKIND_BUTTON, 7, 0, 391, -1, 0, 0, 0, 1, 3, QuitButton, 0},
      {3, 4, ITEMKIND_TITLE, 26, 513, 414, 155, 120, 485, 320, 1, 0, ChooseCarSelect, 0},
      {4, 12, ITEMKIND_TEXT, 11, 94, 280, 0, 0, 0, 0, 1, 0, nullptr, 0},
      {4, 17, ITEMKIND_TEXT3, 58, 288, 220, 0, 0, 0, 0, 1, 0, nullptr, 0},
      {4, 29, ITEMKIND_TEXT3, 47, 380, 265, 380, 265, 470, 280, 1, 0, nullptr, 0},
      {4, 37, ITEMKIND_TEXT, 26, 470, 265, 470, 265, 560, 280, 1, 0, CustomKeyEntry, 0},
      {5, 1, ITEMKIND_BUTTON, 2, 125, 86, -1, 0, 0, 0, 1, 2, TimeTrialButton, 0},
      {8, 8, ITEMKIND_TEXT2, 26, 151, 299, 151, 299, 476, 314, 1, 0, ProtocolLine, 7},
      {9, 0, ITEMKIND_TEXT2, 26, 168, 118, 168, 118, 390, 133, 1, 0, ServerLine, 0},
      {9, 17, ITEMKIND_TEXT2, 26, 168, 355, 168, 355, 285, 370, 1, 0, nullptr, 8},
      {9, 21, ITEMKIND_BUTTON, 12, 6, 398, -1, 0, 0, 0, 1, 3, ServersBackButton, 0},
      {12, 7, ITEMKIND_TITLE, 26, 300, 271, 300, 271, 639, 307, 0, 0, nullptr, 0},
      {14, 4, ITEMKIND_BUTTON, 12, 6, 398, -1, 0, 0, 0, 1, 3, NetworkMenuBackButton, 0},
  };
  for (const Row& r : rows) {
    const TMENUITEM& it = Item(r.screen, r.item);
    SCOPED_TRACE(std::to_string(r.screen) + "." + std::to_string(r.item));
    EXPECT_EQ(it.Kind, r.kind);
    EXPECT_EQ(it.Index, r.index);
    EXPECT_EQ(it.X, r.x);
    EXPECT_EQ(it.Y, r.y);
    EXPECT_EQ(it.HitX1, r.hx1);
    EXPECT_EQ(it.HitY1, r.hy1);
    EXPECT_EQ(it.HitX2, r.hx2);
    EXPECT_EQ(it.HitY2, r.hy2);
    EXPECT_EQ(it.Live, r.live);
    EXPECT_EQ(it.Sound, r.wave);
    EXPECT_EQ(it.Callback, r.callback);
    EXPECT_EQ(it.Value, r.value);
  }
  EXPECT_EQ(Item(2, 1).FadeSound, 8);
  EXPECT_EQ(SB_Var.MenuScreens[2].NbItems, 6);
  EXPECT_EQ(SB_Var.MenuScreens[4].NbItems, 42);
  EXPECT_EQ(SB_Var.MenuScreens[9].NbItems, 26);
}

TEST_F(CatalogueTest, RestLooksTextsAndPictureNames) {
  for (auto [s, i] : {std::pair{7, 1}, {8, 0}, {9, 23}, {10, 7}, {14, 3}}) {
    EXPECT_EQ(Item(s, i).RestState, ITEMSTATE_DISABLED) << s << "." << i;
    EXPECT_EQ(Item(s, i).Live, 0);
  }
  EXPECT_STREQ(SB_Var.MenuTexts[Item(2, 0).Index], "MAIN MENU");
  EXPECT_STREQ(SB_Var.MenuTexts[57], "PLEASE WAIT");
  EXPECT_STREQ(SB_Var.MenuTexts[82], "LOADING DEMO");
  EXPECT_STREQ(SB_Var.MenuTexts[85], "NOT ENOUGH VIDEO RAM\nUSE 640 X 480\n");
  EXPECT_STREQ(SB_Var.MenuTexts[26], "");
  EXPECT_STREQ(SB_Var.MenuBmaps[15].FileName, "INTER>BMAPS>VITREOK.TGA");
  EXPECT_STREQ(SB_Var.MenuBmaps[54].FileName, "INTER>BMAPS>COMDEX>ISTARTRA.TGA");
  EXPECT_STREQ(SB_Var.MenuBmaps[70].FileName, "INTER>BMAPS>DIALOG5C.TGA");
  EXPECT_STREQ(SB_Var.MenuBmaps[43].FileName, SB_Var.MenuBmaps[45].FileName);
}

TEST_F(CatalogueTest, TheResetRestoresIt) {
  SB_Var.MenuScreens[2].Items[1].X = 7;
  SB_Var.MenuScreens[6].NbItems = 3;
  SB_Var.MenuTexts[0] = "OTHER";
  SB_ResetVars();
  EXPECT_EQ(Item(2, 1).X, 91);
  EXPECT_EQ(SB_Var.MenuScreens[6].NbItems, 0);
  EXPECT_STREQ(SB_Var.MenuTexts[0], "MAIN MENU");
  EXPECT_EQ(SB_Var.MenuScreen, -1);
}

}  // namespace
