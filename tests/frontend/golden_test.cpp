// A golden picture of an interface screen drawn with the data tree's fonts
// and arrow: a title, the three small fonts, a button under the pointer, a
// latched one and a disabled one, over a shaded background.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/frontend/menu_fixture.h"
#include "tests/support/golden.h"

namespace ztest {
namespace {

namespace fs = std::filesystem;

class GoldenTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    const fs::path data = fs::path(ZENTROVA_EXE).parent_path() / "data" / "INTER";
    fs::create_directories(root_ + "/INTER/BMAPS");
    fs::copy(data / "FONTES", root_ + "/INTER/FONTES");
    fs::copy_file(data / "BMAPS" / "CURSOR.TGA", root_ + "/INTER/BMAPS/CURSOR.TGA");
  }
};

TEST_F(GoldenTest, AScreenUnderThePointer) {
  // Bands of colours the 16-bit screen holds exactly.
  Picture(
      "INTER/BMAPS/BACK.TGA", 640, 480,
      [](int, int y) { return uint32_t(y / 40 * 8 + y / 160) << 16 | 0x2042; }, 24);
  SB_Var.MenuBmaps[SB_MENUBACKROW].FileName = "INTER>BMAPS>BACK.TGA";
  // A rounded button, soft at its edge, in a column of three.
  Picture("INTER/BMAPS/BUTTON.TGA", 180, 40, [](int x, int y) {
    const int dx = std::max({0, 12 - x, x - 167}), dy = std::max({0, 12 - y, y - 27});
    const int edge = 12 * 12 - dx * dx - dy * dy;
    const uint32_t alpha = edge <= 0 ? 0 : edge >= 40 ? 255 : uint32_t(edge * 255 / 40);
    return alpha << 24 | uint32_t(0x30 + y * 2) << 16 | 0x80C0;
  });
  SB_Var.MenuBmaps[1].FileName = "INTER>BMAPS>BUTTON.TGA";
  SB_Var.MenuTexts[0] = "ZENTROVA";
  SB_Var.MenuTexts[1] = "SINGLE RACE";
  SB_Var.MenuTexts[2] = "Player: Ada {42}";
  SB_Var.MenuTexts[3] = "Preset 3  120 km/h";
  TMENUSCREEN& screen = Screen(0, 4,
                               {Item(ITEMKIND_TITLE, 0, 180, 40), Item(ITEMKIND_BUTTON, 1, 230, 150),
                                Item(ITEMKIND_BUTTON, 1, 230, 210), Item(ITEMKIND_BUTTON, 1, 230, 270),
                                Item(ITEMKIND_TEXT, 1, 260, 330), Item(ITEMKIND_TEXT2, 2, 260, 350),
                                Item(ITEMKIND_TEXT3, 3, 260, 370)});
  screen.CursorShown = 1;
  screen.Items[2].Selected = 3;  // latched
  screen.Items[3].State = ITEMSTATE_DISABLED;
  screen.Items[3].Live = 0;
  InitInterface();
  SB_Var.MenuNormalFactor = SB_MENUNORMALFACTOR;
  prepareecran(SB_Var.MenuBmap);
  ASSERT_NE(SB_Var.MenuFontBig, nullptr);
  ASSERT_NE(SB_Var.MenuFontSmall3, nullptr);
  ASSERT_NE(SB_Var.CursorStatic, nullptr);
  LS_SetMousePos(300, 160);
  DispatchItemEvents(&screen, 300, 160, 0);
  ASSERT_EQ(screen.Items[1].State, ITEMSTATE_HILITE);
  UpdateInterfaceCursor();
  BMAP* shot = LS_CreateBmap(640, 480, 24, 0);
  LS_Bitmove(LS_Var.Screen, shot, 0, 0, 639, 479, 0, 0, LS_BLIT_OPAQUE);
  ExpectGolden(shot, "tests/frontend/golden/screen.tga", root_);
  LS_FreeBmap(shot);
  FreeInterface(0);
}

}  // namespace
}  // namespace ztest
