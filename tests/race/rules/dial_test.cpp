// The dashboard dial: loading and owner tags, the dial of each width, its
// place and transparency, the needles and gear labels, and when nothing
// is drawn.
#include "race/dial.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "race/racerules.h"
#include "race/sequencer.h"
#include "shell/owner.h"
#include "tests/race/rules/hud_fixture.h"

namespace {

constexpr int32_t kW = 184, kH = 112;
constexpr uint32_t kWhite16 = 0xFFFF;

class DialTest : public ztest::HudTest {
 protected:
  void SetUp() override {
    ztest::HudTest::SetUp();
    // Palette entries nearest to (63, 0, 0) and (63, 10, 10).
    palette_.Entry[17] = {62, 1, 0};
    palette_.Entry[18] = {62, 10, 11};
    WritePicture(SB_COUNTERFILE, Face(kW, kH));
    StartRace(SB_RACE, 1, SB_STEP_RACING);
    SB_LoadCounters();
    SB_LoadCounter2();
    Car(0).Gear = 0;
  }
  // Dark grey with a black (transparent) square at the top.
  static datagen::Picture24 Face(int32_t w, int32_t h) {
    datagen::Picture24 p(w, h, 40, 40, 60);
    for (int32_t y = 0; y < 10; ++y)
      for (int32_t x = 20; x < 30; ++x) p.Set(x, y, 0, 0, 0);
    return p;
  }
  static int BmapOwners(const std::string& tag) {
    int n = 0;
    for (int32_t i = 0; i < SB_Var.NbBmapOwners; ++i) n += tag == SB_BmapOwners[i].Owner;
    return n;
  }
  int32_t X() const { return SB_Dial.X; }
  int32_t Y() const { return SB_Dial.Y; }
  // Draws the dial over an overlay filled with 1.
  void DrawOnFill() {
    LS_FillRect(SB_Var.TextScreen, 0, 0, SB_Var.TextScreen->SizeX - 1, SB_Var.TextScreen->SizeY - 1, 1);
    SB_DrawNeedle(SB_Var.TextScreen);
  }
  static int32_t Round(double v) { return static_cast<int32_t>(std::floor(v + 0.5)); }
  static void GoToStep(int32_t mode, int32_t step) {
    SB_SetGameMode(mode);
    for (int i = 0; i < 64 && SB_GetGameStep() != step; ++i) SB_NextGameStep();
    ASSERT_EQ(SB_GetGameStep(), step);
  }
};

TEST_F(DialTest, LoadingKeepsColoursTagsAndTheDialOfTheWidth) {
  EXPECT_EQ(SB_Dial.SpeedColor8, 17);
  EXPECT_EQ(SB_Dial.RevColor8, 18);
  EXPECT_EQ(BmapOwners("Compteur"), 1);
  EXPECT_EQ(BmapOwners("Compteur 2"), 1);
  EXPECT_EQ(BmapOwners(SB_COUNTERFILE), 0);  // the picture was freed
  int runs = 0;
  for (int32_t i = 0; i < SB_Var.NbMemOwners; ++i)
    runs += std::string("initCounter") == SB_MemOwners[i].Owner;
  EXPECT_EQ(runs, 1);
  ASSERT_EQ(SB_Dial.Current, &SB_Counters[0]);
  EXPECT_EQ(SB_Counters[0].NbRuns, kH + 10);  // rows crossing the black square have two runs
  EXPECT_EQ(X(), 640 - kW - 8);
  EXPECT_EQ(Y(), 40 + 400 - kH - 8);
  for (const int32_t width : {800, 1024}) {
    MakeOverlay(width, 600, 16);
    SB_LoadCounter2();
    EXPECT_EQ(SB_Dial.Current != nullptr, width == 800) << width;
  }
  SB_FreeCounters();
  EXPECT_EQ(BmapOwners("Compteur") + BmapOwners("Compteur 2"), 0);
  EXPECT_EQ(SB_Dial.Current, nullptr);
}

TEST_F(DialTest, TheDialAndItsNeedles) {
  Car(0).Gear = -1;  // the gear label would cover the needle's base
  DrawOnFill();
  EXPECT_EQ(Pixel(X() + 25, Y() + 5), 1u);  // black stays transparent
  EXPECT_NE(Pixel(X() + 15, Y() + 5), 1u);
  EXPECT_EQ(Pixel(X() - 1, Y() + 20), 1u);
  // Speed 0: straight down from (128, 56), base from 126 to 130.
  EXPECT_EQ(Pixel(X() + 128, Y() + 103), kWhite16);
  for (int32_t x = 126; x <= 130; ++x) EXPECT_EQ(Pixel(X() + x, Y() + 56), kWhite16) << x;
  EXPECT_NE(Pixel(X() + 128, Y() + 104), kWhite16);
  Car(0).Gear = 0;
  DrawOnFill();
  const ztest::DrawnText* label = Find("*1N");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->x, X() + 124);
  EXPECT_EQ(label->y, Y() + 45);
  // A speed and an engine speed turn their needles.
  Car(0).Speed = 20.0;
  Car(0).EngineSpeed = 300.0;
  Car(0).Gear = 3;
  ClearTexts();
  DrawOnFill();
  const double a = 20.0 * 0.07068583470577035, r = 300.0 * 0.00375;
  EXPECT_EQ(Pixel(X() + 128 + Round(-47 * std::sin(a)), Y() + 56 + Round(47 * std::cos(a))), kWhite16);
  EXPECT_EQ(Pixel(X() + 55 + Round(-47 * std::sin(r)), Y() + 56 + Round(47 * std::cos(r))), kWhite16);
  EXPECT_NE(Find("*13"), nullptr);
  for (const int32_t gear : {-1, 6}) {  // outside the labels' 0..5
    Car(0).Gear = gear;
    ClearTexts();
    DrawOnFill();
    EXPECT_TRUE(Texts().empty()) << gear;
  }
  // The gearbox step without its boxes (the software view draws none):
  // the dial stays.
  GoToStep(SB_RACE, 5);
  DrawOnFill();
  EXPECT_NE(Pixel(X() + 15, Y() + 5), 1u);
}

TEST_F(DialTest, NothingIsDrawnWithoutADialToShow) {
  auto reload = [this](const datagen::Picture24* face) {
    std::remove((root_ + "/MISCPICT/COMPTEUR.TGA").c_str());
    if (face) WritePicture(SB_COUNTERFILE, *face);
    SB_FreeCounters();
    SB_LoadCounters();
    SB_LoadCounter2();
  };
  const datagen::Picture24 black(kW, kH);
  const struct {
    const char* what;
    std::function<void()> spoil;
  } cases[] = {
      {"the gearbox boxes",
       [] {
         GoToStep(SB_RACE, 5);
         SB_Var.OptionsFade = 3;
       }},
      {"F4 off", [] { SB_Var.ShowDashboard = 0; }},
      {"camera mode 0", [] { SB_Var.CameraMode = 0; }},
      {"1024 wide",
       [this] {
         MakeOverlay(1024, 768, 16);
         SB_LoadCounter2();
       }},
      {"missing picture", [&] { reload(nullptr); }},
      {"all black", [&] { reload(&black); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ReadyToDraw();
    GoToStep(SB_RACE, SB_STEP_RACING);
    SB_Var.OptionsFade = 0;
    MakeOverlay(640, 480, 16);
    SB_LoadCounter2();
    c.spoil();
    ClearTexts();
    DrawOnFill();
    for (int32_t y = 0; y < SB_Var.TextScreen->SizeY; y += 3)
      for (int32_t x = 0; x < SB_Var.TextScreen->SizeX; x += 3) ASSERT_EQ(Pixel(x, y), 1u) << x << "," << y;
    EXPECT_TRUE(Texts().empty());
  }
}

TEST_F(DialTest, APictureLargerThanTheScreenIsClipped) {
  // The overlay is a view into a larger bitmap: nothing may land around it.
  WritePicture(SB_COUNTERFILE, Face(700, 500));
  SB_FreeCounters();
  SB_LoadCounters();
  MakeOverlay(640, 480, 16);
  SB_LoadCounter2();
  ASSERT_NE(SB_Dial.Current, nullptr);
  BMAP* whole = SB_CreateBmap(700, 600, 16, 0, "around");
  BMAP* overlay = SB_Var.TextScreen;
  BMAP view = *whole;
  view.Start += 60 * whole->ByteLen + 30 * 2;
  view.SizeX = 640;
  view.SizeY = 480;
  SB_Var.TextScreen = &view;
  SB_DrawNeedle(&view);
  SB_Var.TextScreen = overlay;
  int32_t inside = 0;
  for (int32_t y = 0; y < 600; ++y)
    for (int32_t x = 0; x < 700; ++x) {
      const bool in = x >= 30 && x < 670 && y >= 60 && y < 540;
      if (!in) {
        ASSERT_EQ(LS_GetPixel(whole, x, y), 0u) << x << "," << y;
      }
      inside += in && LS_GetPixel(whole, x, y) != 0;
    }
  EXPECT_GT(inside, 1000);
  SB_FreeBmap(whole);
}

}  // namespace
