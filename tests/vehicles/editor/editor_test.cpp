// The vehicle-parameter editor driven by injected mouse and keys: rows and
// their sliders, the edit box and its keys, bad texts, the help lines,
// the buttons, paging, the mouse, and a golden picture over a known car.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "datagen/tgawrite.h"
#include "platform/window.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/picture.h"
#include "tests/support/cartable.h"
#include "tests/support/golden.h"
#include "tests/support/pixels.h"
#include "tests/support/testenv.h"
#include "vehicles/devenv.h"
#include "vehicles/setups.h"
#include "vehicles/vehicles.h"
#include "vehicles/vparams.h"
#include "vehicles/vparamseditor.h"

namespace {

constexpr int32_t kLeft = 1, kRight = 2;
constexpr int32_t kGear1 = 1, kAirfrict = 6, kGearNb = 18;

class Editor : public ztest::LibraryTest {
 protected:
  TCAR cars_[SB_MAXCARS] = {};
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(8 << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    ztest::MakeCarTable(cars_, 3);
    for (int32_t i = 0; i < 3; ++i) cars_[i].VParams = SB_ShippedVParams;
    cars_[1].VParams.Power = 1.5;  // the cars differ
    SB_InitVParams();
  }
  void TearDown() override {
    SB_FreeVParamsEditor();
    EXPECT_EQ(SB_Var.NbMemOwners, 0);
    LibraryTest::TearDown();
  }
  static void Frame() { SB_VParamsEditorFrame(); }
  static void Point(int32_t x, int32_t y) { plat::SetCursorPos(x, y); }
  static void Buttons(int32_t held) {
    plat::SetKeyState(1, held & kLeft);
    plat::SetKeyState(2, held & kRight);
  }
  static void Click(int32_t x, int32_t y, int32_t button = kLeft) {
    Point(x, y);
    Buttons(button);
    Frame();
    Buttons(0);
    Frame();
  }
  // The on-screen row y of table row r at the present scroll.
  static int32_t RowY(int32_t r) { return SB_VPEDIT_FIRSTROW + (r - SB_Var.VParamsScroll) * SB_VPEDIT_ROWSTEP; }
  static int32_t SliderStart() { return SB_VPEDIT_SLIDERX + SB_VPEDIT_SLIDERSTART; }
  // Types a text into the box, one key a frame.
  static void Type(const std::string& keys) {
    for (char c : keys) {
      LSI_PutKey(static_cast<uint8_t>(c));
      Frame();
    }
  }
  void Edit(int32_t row, const std::string& keys) {
    Click(SliderStart() + 5, RowY(row) + 4, kRight);
    ASSERT_EQ(SB_Var.VParamsEditing, 1);
    Type(keys);
  }
  TCAR& Car(int32_t i) { return cars_[i]; }
};

TEST_F(Editor, DraggingASliderStoresByTheRowsType) {
  Point(SliderStart() + 30, RowY(kGear1) + 4);
  Buttons(kLeft);
  Frame();
  EXPECT_DOUBLE_EQ(Car(0).VParams.Gears[0], 3.25);
  Point(SliderStart() - 10, RowY(kGear1) + 4);  // outside the slider: no drag
  Frame();
  EXPECT_DOUBLE_EQ(Car(0).VParams.Gears[0], 3.25);
  Point(SliderStart() + 63, RowY(kGear1) + 15);  // its far corner: clamped to the range
  Frame();
  EXPECT_DOUBLE_EQ(Car(0).VParams.Gears[0], 6.0);
  Buttons(0);
  for (int i = 0; i < 3; ++i) {  // PageDown three times brings "Gear nb:" into view
    plat::SetKeyState(34, true);
    Frame();
    plat::SetKeyState(34, false);
    Frame();
  }
  ASSERT_EQ(SB_Var.VParamsScroll, 3);
  for (const auto& [along, stored] : {std::pair{44, 5}, std::pair{45, 6}}) {
    Point(SliderStart() + along, RowY(kGearNb) + 4);
    Buttons(kLeft);
    Frame();
    EXPECT_EQ(Car(0).VParams.GearNb, stored) << along;  // (int)(v + 0.5)
  }
}

TEST_F(Editor, TheEditBoxTypesAndCommitsWithinTheRange) {
  Click(SliderStart() + 10, RowY(kGear1) + 6, kRight);
  EXPECT_EQ(SB_Var.VParamsEditing, 1);
  EXPECT_EQ(SB_Var.VParamsEditor.EditedRow, kGear1);
  EXPECT_EQ(SB_Var.VParamsEditor.BoxX, SliderStart() + 12);
  EXPECT_EQ(SB_Var.VParamsEditor.BoxY, RowY(kGear1) + 8);
  Type("9\r");
  EXPECT_EQ(SB_Var.VParamsEditing, 0);
  EXPECT_DOUBLE_EQ(Car(0).VParams.Gears[0], 6.0);
  Edit(kAirfrict, "0.02\r");
  EXPECT_FLOAT_EQ(static_cast<float>(Car(0).VParams.Airfrict), 0.01f);  // the row's f32 top
  Edit(kGear1, "2.57\b\r");  // backspace deletes the last character
  EXPECT_DOUBLE_EQ(Car(0).VParams.Gears[0], 2.5);
  Edit(kGear1, "4 ");  // Space cancels
  EXPECT_EQ(SB_Var.VParamsEditing, 0);
  EXPECT_DOUBLE_EQ(Car(0).VParams.Gears[0], 2.5);
  Edit(kGear1, "-+,4x!");  // only letters, digits and "." are taken
  EXPECT_STREQ(SB_Var.VParamsEditor.Text, "4x");
  Type("\r");
  EXPECT_DOUBLE_EQ(Car(0).VParams.Gears[0], 4.0);
  Edit(kGear1, std::string(40, '1'));
  EXPECT_EQ(std::strlen(SB_Var.VParamsEditor.Text), 32u);
}

TEST_F(Editor, TextsThatAreNoFiniteNumberChangeNothing) {
  for (const char* text : {"nan", "1e999", "...", "", "inf"}) {
    Edit(kGear1, std::string(text) + "\r");
    EXPECT_EQ(SB_Var.VParamsEditing, 0);
    EXPECT_EQ(Car(0).VParams.Gears[0], SB_ShippedVParams.Gears[0]) << text;
  }
  Edit(kGear1, std::string(40, '9') + "\r");  // a huge number: the top of the range
  EXPECT_EQ(Car(0).VParams.Gears[0], 6.0);
}

TEST_F(Editor, ClickingOnTheBoxCommitsAndBesideItCancels) {
  Edit(kGear1, "2");
  const int32_t x = SB_Var.VParamsEditor.BoxX + 1, y = SB_Var.VParamsEditor.BoxY + 1;
  Click(x, y);
  EXPECT_EQ(SB_Var.VParamsEditing, 0);
  EXPECT_DOUBLE_EQ(Car(0).VParams.Gears[0], 2.0);
  Edit(kGear1, "3");
  Click(600, 300);
  EXPECT_EQ(SB_Var.VParamsEditing, 0);
  EXPECT_DOUBLE_EQ(Car(0).VParams.Gears[0], 2.0);
}

TEST_F(Editor, TheHoveredRowsHelpLinesShow) {
  auto help = [] {
    const std::vector<uint32_t> all = ztest::PixelsOf(SB_Var.VParamsEditor.Picture);
    return std::vector<uint32_t>(all.begin() + 452 * 640, all.begin() + 470 * 640);
  };
  Point(600, 300);
  Frame();
  const std::vector<uint32_t> none = help();
  Point(SliderStart() + 1, RowY(kGear1));
  Frame();
  EXPECT_EQ(SB_Var.VParamsEditor.HoveredRow, kGear1);
  EXPECT_NE(help(), none);
  // The lines start at (10, 452) and (10, 461): the first ink within a glyph.
  const std::vector<uint32_t> shown = help();
  int32_t firstX = 640, firstY = 480, lastY = 0;
  for (int32_t i = 0; i < static_cast<int32_t>(shown.size()); ++i)
    if (shown[static_cast<size_t>(i)] != none[static_cast<size_t>(i)]) {
      firstX = std::min(firstX, i % 640);
      firstY = std::min(firstY, 452 + i / 640);
      lastY = std::max(lastY, 452 + i / 640);
    }
  EXPECT_GE(firstX, 10);
  EXPECT_LT(firstX, 18);
  EXPECT_GE(firstY, 452);
  EXPECT_LT(firstY, 460);
  EXPECT_GT(lastY, 464);  // the second line's glyphs, within its 8 rows
  EXPECT_LT(lastY, 469);
  Point(600, 300);
  Frame();
  EXPECT_EQ(SB_Var.VParamsEditor.HoveredRow, -1);
}

TEST_F(Editor, CarButtonsWrapAndNeedACar) {
  const int32_t y = SB_VPEDIT_BUTTONY + 8;
  Click(SB_VParamsButtonX(SB_VPBUTTON_PREV) + 5, y);
  EXPECT_EQ(SB_Var.VParamsCar, 2);
  Click(SB_VParamsButtonX(SB_VPBUTTON_NEXT) + 5, y);
  EXPECT_EQ(SB_Var.VParamsCar, 0);
  Click(SB_VParamsButtonX(SB_VPBUTTON_NEXT) + 5, y);
  Click(SliderStart() + 30, RowY(kGear1) + 4);
  EXPECT_DOUBLE_EQ(Car(1).VParams.Gears[0], 3.25);  // car 1 edited now
  EXPECT_DOUBLE_EQ(Car(0).VParams.Gears[0], SB_ShippedVParams.Gears[0]);
  Point(SB_VParamsButtonX(SB_VPBUTTON_NEXT) + 5, y);
  Buttons(kLeft);
  for (int i = 0; i < 5; ++i) Frame();  // held: one press
  Buttons(0);
  EXPECT_EQ(SB_Var.VParamsCar, 2);
  SB_Var.NbCars = 0;  // no car: nothing to step to, nothing drawn
  for (int32_t b : {SB_VPBUTTON_NEXT, SB_VPBUTTON_PREV}) Click(SB_VParamsButtonX(b) + 5, y);
  EXPECT_EQ(SB_Var.VParamsCar, 2);
  Click(SliderStart() + 30, SB_VPEDIT_FIRSTROW + 4, kRight);
  EXPECT_EQ(SB_Var.VParamsEditing, 0);
}

TEST_F(Editor, WriteAndReadButtonsUseTheParameterFile) {
  const int32_t y = SB_VPEDIT_BUTTONY + 8;
  std::filesystem::create_directories(root_ + "/DAT");
  Click(SB_VParamsButtonX(SB_VPBUTTON_WRITE) + 5, y);
  const std::string text = ztest::ReadFile(root_ + "/DAT/VPARAMS.TXT");
  EXPECT_EQ(text.rfind("VEHICLES PARAMETERS:\n\nVEHICLE #0.\n{\n", 0), 0u);
  EXPECT_NE(text.find("Power:=1.500000\n"), std::string::npos);
  Car(0).VParams.Power = 3.0;
  Click(SB_VParamsButtonX(SB_VPBUTTON_READ) + 5, y);
  // Every car reads the whole file, and the last car's line wins.
  EXPECT_EQ(Car(0).VParams.Power, SB_ShippedVParams.Power);
  EXPECT_EQ(Car(1).VParams.Power, SB_ShippedVParams.Power);
  Edit(kGear1, "2");  // not while editing
  Click(SB_VParamsButtonX(SB_VPBUTTON_WRITE) + 5, y);
  EXPECT_EQ(SB_Var.VParamsEditing, 0);  // the click beside the box cancelled it
}

TEST_F(Editor, TheMouseStaysOnThePictureAndItsMovesAreReported) {
  for (const auto& [x, y, cx, cy] : {std::tuple{5000, 5000, 639, 479}, std::tuple{-40, -3, 0, 0}}) {
    Point(x, y);
    Frame();
    EXPECT_EQ(SB_Var.VParamsEditor.MouseX, cx);
    EXPECT_EQ(SB_Var.VParamsEditor.MouseY, cy);
    int32_t px = 0, py = 0;
    plat::GetCursorPos(&px, &py);
    EXPECT_EQ(std::pair(px, py), std::pair(cx, cy));
  }
  Frame();
  EXPECT_EQ(SB_VParamsMouseMoved(), 0);
  Point(100, 100);
  Frame();
  EXPECT_EQ(SB_VParamsMouseMoved(), 1);
  Frame();
  EXPECT_EQ(SB_VParamsMouseMoved(), 0);
  Buttons(kRight);
  Frame();
  EXPECT_EQ(SB_VParamsMouseMoved(), 1);
  Buttons(0);
}

TEST_F(Editor, EveryFrameAppliesTheParametersToTheCar) {
  Car(0).VParams.Power = 2.0;
  Frame();
  EXPECT_EQ(Car(0).Power, 2.0);
}

// A 16-bit picture over car 1 with the pointer on "Gear #2:", the edit box
// open on "Gear #1:"; written with ZENTROVA_UPDATE_GOLDEN=1 for review.
TEST_F(Editor, GoldenPicture) {
  Click(SB_VParamsButtonX(SB_VPBUTTON_NEXT) + 5, SB_VPEDIT_BUTTONY + 8);
  Edit(kGear1, "4.2");
  Frame();  // the caret's frame
  Point(SliderStart() + 20, RowY(2) + 6);
  Frame();
  BMAP* picture = SB_Var.VParamsEditor.Picture;
  ASSERT_NE(picture, nullptr);
  BMAP* shot = LS_CreateBmap(640, 480, 24, 0);
  LS_Bitmove(picture, shot, 0, 0, 639, 479, 0, 0, LS_BLIT_OPAQUE);
  ztest::ExpectGolden(shot, "tests/vehicles/editor/golden/editor.tga", root_);
  LS_FreeBmap(shot);
}

}  // namespace
