// The hit test, the dispatch of pointer events and the behaviours shared
// by the items' callbacks.
#include "tests/frontend/menu_fixture.h"

namespace ztest {
namespace {

class DispatchTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    Background(0x204060);
    // A 40 x 20 button: its left half opaque, its right half clear.
    Picture("INTER/BMAPS/HALF.TGA", 40, 20, [](int x, int) { return x < 20 ? 0xFFC08040u : 0x00C08040u; });
    Picture("INTER/BMAPS/FLAT.TGA", 20, 20, [](int, int) { return 0x808080u; }, 24);
    SB_Var.MenuBmaps[1].FileName = "INTER>BMAPS>HALF.TGA";
    SB_Var.MenuBmaps[2].FileName = "INTER>BMAPS>FLAT.TGA";
    SB_Var.MenuBmaps[3].FileName = "INTER>BMAPS>MISSING.TGA";
    TMENUITEM dead = Item(ITEMKIND_TEXT, 0, 300, 300, 300, 300, 350, 350);
    dead.Live = 0;
    Screen(0, 4, {Item(ITEMKIND_BUTTON, 1, 100, 100),                       // 0
                  Item(ITEMKIND_TEXT, 0, 118, 95, 118, 95, 200, 130),       // 1, behind the clear half
                  dead,                                                     // 2
                  Item(ITEMKIND_BITMAP, 2, 400, 100),                       // 3
                  Item(ITEMKIND_TEXT3, 75, 500, 100, 500, 100, 600, 200),   // 4, no picture row
                  Item(ITEMKIND_BUTTON, 3, 200, 200, 200, 200, 240, 240)}); // 5, missing picture
    Start();
    Received().clear();
  }
  void TearDown() override {
    FreeInterface(0);
    MenuTest::TearDown();
  }
  TMENUSCREEN* S() { return &SB_Var.MenuScreens[0]; }
  // The item hit at the pointer (x, y - 10): its hot spot is (x, y).
  int32_t HitAt(int32_t x, int32_t y) {
    SB_Var.MenuHotItem = -2;
    DispatchItemEvents(S(), x, y - SB_MENUHITDROP, SB_Var.MenuButtons);
    return SB_Var.MenuHotItem;
  }
};

TEST_F(DispatchTest, HitTestByRectangleAndVisiblePixels) {
  EXPECT_EQ(S()->Items[0].HitX2, 140);  // filled from the picture
  EXPECT_EQ(S()->Items[0].HitY2, 120);
  const struct {
    int32_t x, y, item;
  } rows[] = {
      {100, 110, -1},  // on HitX1
      {101, 110, 0},   // one pixel inside
      {105, 100, -1},  // on HitY1
      {105, 101, 0},
      {130, 110, 1},   // a clear pixel falls through to the next item
      {325, 325, -1},  // not live
      {410, 110, 3},   // a picture that is not 32-bit is opaque everywhere
      {420, 110, -1},  // on HitX2 of the rectangle filled from it
      {550, 150, -1},  // text index 75 has no picture row
      {220, 220, -1},  // the missing picture's stand-in is clear
  };
  for (const auto& r : rows) EXPECT_EQ(HitAt(r.x, r.y), r.item) << r.x << "," << r.y;
}

TEST_F(DispatchTest, EventsOfMovesAndPresses) {
  SB_Var.MenuHotItem = -1;
  DispatchItemEvents(S(), 105, 100, 0);  // onto A
  DispatchItemEvents(S(), 410, 100, 0);  // straight onto B
  EXPECT_EQ(Received(), (Events{{0, MENU_ENTER}, {3, MENU_ENTER}}));
  EXPECT_EQ(S()->Items[0].State, ITEMSTATE_NORMAL);  // B's enter took A's highlight
  Received().clear();
  DispatchItemEvents(S(), 10, 10, 0);  // off every item
  EXPECT_EQ(Received(), (Events{{3, MENU_LEAVE}}));
  Received().clear();
  DispatchItemEvents(S(), 410, 100, 0);
  SB_Var.MenuHotItem = -2;
  DispatchItemEvents(S(), 10, 10, 0);
  EXPECT_EQ(Received(), (Events{{3, MENU_ENTER}}));  // no leave after the reset

  Received().clear();
  DispatchItemEvents(S(), 105, 100, 0);
  DispatchItemEvents(S(), 105, 100, 1);  // down on A
  EXPECT_EQ(S()->Items[0].CallbackState, 2);
  EXPECT_EQ(S()->Items[3].CallbackState, 1);
  DispatchItemEvents(S(), 10, 10, 1);  // off, still held
  DispatchItemEvents(S(), 10, 10, 0);  // released outside
  EXPECT_EQ(Received(), (Events{{0, MENU_ENTER}, {0, MENU_DOWN}, {0, MENU_LEAVE}, {0, MENU_LEAVE}}));
  for (int32_t i : {0, 1, 3}) EXPECT_EQ(S()->Items[i].CallbackState, 0) << i;
}

TEST_F(DispatchTest, ANewScreenUnderARestingPointerIsEntered) {
  DispatchItemEvents(S(), 105, 100, 0);
  Received().clear();
  SB_Var.MenuScreenChanged = 1;
  DispatchItemEvents(S(), 105, 100, 0);
  SB_Var.MenuScreenChanged = 1;
  DispatchItemEvents(S(), 105, 100, 1);
  EXPECT_EQ(Received(), (Events{{0, MENU_ENTER}, {0, MENU_ENTER | MENU_DOWN}}));
  EXPECT_EQ(SB_Var.MenuScreenChanged, 0);
}

TEST_F(DispatchTest, ItemWhileFreeTakesTheFirstOfDownEnterLeaveUp) {
  const struct {
    int32_t events, state, callbackState;
  } rows[] = {
      {MENU_ENTER | MENU_DOWN, ITEMSTATE_PRESSED, 2},
      {MENU_ENTER | MENU_LEAVE | MENU_UP, ITEMSTATE_HILITE, 0},
      {MENU_LEAVE | MENU_UP, ITEMSTATE_NORMAL, 0},
      {MENU_UP, ITEMSTATE_HILITE, 0},
  };
  TMENUITEM& item = S()->Items[0];
  for (const auto& r : rows) {
    ReleaseAllItems();
    item.State = 3;
    ItemWhileFree(r.events, &item);
    EXPECT_EQ(item.State, r.state) << r.events;
    EXPECT_EQ(item.CallbackState, r.callbackState) << r.events;
  }
  EXPECT_EQ(S()->Items[2].CallbackState, 0);  // a dead item is never blocked
}

TEST_F(DispatchTest, RadioGroupsClearOnlyTheirOwnMembers) {
  const struct {
    void (*deselect)(TMENUITEM*);
    int32_t first, last, chosen;
  } groups[] = {
      {DeselectItems1to2Except, 1, 2, 1},
      {DeselectItems1to3Except, 1, 3, 1},
      {DeselectItems3to5Except, 3, 5, 4},
      {DeselectItems6to8Except, 6, 8, 6},
  };
  for (const auto& g : groups) {
    for (TMENUITEM& item : S()->Items) item.Selected = 1, item.State = 1, item.RestState = 0;
    S()->Items[g.last].Selected = 2;  // already unlatched: groups 3-5 and 6-8 leave it alone
    g.deselect(&S()->Items[g.chosen]);
    EXPECT_EQ(S()->Items[g.last].State, g.first >= 3 ? 1 : 0) << g.first;
    for (int32_t i = 0; i < 10; ++i) {
      const bool cleared = i >= g.first && i <= g.last && i != g.chosen;
      if (i == g.last) continue;
      EXPECT_EQ(S()->Items[i].Selected, cleared ? 2 : 1) << g.first << "-" << g.last << " item " << i;
    }
  }
}

}  // namespace
}  // namespace ztest
