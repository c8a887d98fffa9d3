// The end of a race on the HUD: result lines, progress notices, the
// finishing list with its car pictures, the end menu and the lost server.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "race/racerules.h"
#include "race/sequencer.h"
#include "shell/console.h"
#include "tests/race/rules/hud_fixture.h"

namespace {

class HudResultTest : public ztest::HudTest {
 protected:
  void Finish(int32_t place) {
    Car(0).Finished = Car(0).OutOfTime = 1;
    SB_Var.FinalPlace = place;
    SB_Var.FinalRaceTime = 185230;
    SB_Var.EndTime = SB_Var.Time - 1000;
  }
  void Draw() {
    ClearTexts();
    ztest::Fakes().calls.clear();
    SB_DrawHud();
  }
  // Red, with a black (transparent) right half.
  void WriteCarPictures() {
    datagen::Picture24 car(10, 4, 200, 0, 0);
    for (int y = 0; y < 4; ++y)
      for (int x = 5; x < 10; ++x) car.Set(x, y, 0, 0, 0);
    for (int i = 1; i <= SB_NBCARPICTURES; ++i)
      WritePicture("MISCPICT>CARCOT" + std::to_string(i) + ".TGA", car);
  }
};

TEST_F(HudResultTest, ResultLines) {
  StartRace(SB_RACE, 3, SB_STEP_RACING);
  SB_Var.Time = 10500;  // an odd 300 ms phase
  Finish(1);
  Draw();
  ExpectCentred("YOU", 86);
  ExpectCentred("WIN THE RACE...", 130);
  ExpectCentred("3:05:23", 264);
  EXPECT_TRUE(ztest::Called("Progress 0 0"));
  Finish(3);
  Draw();
  ExpectCentred("RACE", 86);
  ExpectCentred("COMPLETED", 130);
  ExpectCentred("3rd", 174);
  SB_Var.Time = 10800;  // even: no place
  SB_Var.EndTime = SB_Var.Time - 6000;
  Draw();
  EXPECT_EQ(Find("3rd"), nullptr);
  EXPECT_FALSE(ztest::Called("Progress 0 0"));  // 6000 ms after the finish
  SB_Var.Time = 10500;
  Finish(16);
  Draw();
  EXPECT_NE(Find("COMPLETED"), nullptr);
  EXPECT_EQ(Texts().end(), std::find_if(Texts().begin(), Texts().end(),
                                        [](const ztest::DrawnText& t) { return t.y == 174; }));
  // Out of time: blinking "TIME OVER", no final time.
  Car(0).Finished = 0;
  Draw();
  ExpectCentred("TIME", 230);
  ExpectCentred("OVER", 274);
  EXPECT_EQ(Find("3:05:23"), nullptr);
  SB_Var.Time = 10800;
  Draw();
  EXPECT_EQ(Find("TIME"), nullptr);
  // The week's best in a CONTROLLEDRACE.
  SB_Var.GameMode = SB_CONTROLLEDRACE;
  SB_Var.NbLaps = 3;
  Car(0).Laps = 3;
  SB_Var.NetBestTime = 200000;
  Finish(2);
  Draw();
  ExpectCentred("WEEK", 352);
  ExpectCentred("BEST TIME", 396);
}

TEST_F(HudResultTest, ASoloRaceShowsNoPlace) {
  StartRace(SB_RACE, 1, SB_STEP_RACING);
  SB_Var.Time = 10500;
  Finish(1);
  Draw();
  ExpectCentred("RACE", 86);
  EXPECT_EQ(Find("1st"), nullptr);
}

TEST_F(HudResultTest, FinishingList) {
  StartRace(SB_RACE, 3, 18);
  WriteCarPictures();
  SB_LoadCarPictures();
  ztest::Fakes().setupNumbers = {{0, 1}, {2, 9}};
  auto enter = [](int32_t i, int32_t id, const char* name, double notClassified) {
    scoreTab[i] = TSCORE{id, 185230, 61000, notClassified, {}, 1, 0};
    std::snprintf(scoreTab[i].Name, sizeof scoreTab[i].Name, "%s", name);
  };
  enter(0, 0, "ANNA", 0.0);
  enter(1, 2, "BOB", 0.0);
  enter(5, 40, "BAD", 0.0);
  enter(31, 1, "CARL", 1.0);
  SB_Var.Time = 10500;
  LS_FillRect(SB_Var.TextScreen, 0, 0, 639, 479, 1);
  Draw();
  ExpectLayout({{"*0FINISHING LIST:", 200, 80},
                {"*1Pos:  Cars:     Player:   Time:   Best Lap:", 50, 120},
                {"*11st ", 50, 152},
                {"*1ANNA    ", 208, 152},
                {"*13:05:23 ", 318, 152},
                {"*11:01:00 ", 428, 152},
                {"*12nd ", 50, 176},
                {"*1CARL    ", 208, 200},  // unclassified last
                {"*1  OVER", 318, 200}});
  EXPECT_EQ(ztest::Count("Progress 0 0"), 0);  // the finish was long ago
  const auto& lines = SB_PrintedLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Bad scoreTab i=5 carID=40"), lines.end());
  // The car picture of ANNA's setup (1), its black left out; BOB's setup
  // (9) has none.
  EXPECT_NE(Pixel(122, 163), 1u);
  EXPECT_EQ(Pixel(128, 163), 1u);
  EXPECT_EQ(Pixel(122, 187), 1u);
  // Places past 15 have no ordinal.
  for (int32_t i = 0; i < 17; ++i) enter(i, i, "P", 0.0);
  Draw();
  EXPECT_NE(Find("*115th"), nullptr);
  ExpectAt("*1    ", 50, 152 + 15 * 24);  // place 16
}

TEST_F(HudResultTest, CarPictures) {
  LoadFonts();
  SB_LoadCarPictures();
  EXPECT_EQ(Boxes().size(), 8u);
  EXPECT_EQ(std::count(Boxes().begin(), Boxes().end(), "Missing MISCPICT>CARCOT8.TGA"), 1);
  WriteCarPictures();
  SB_LoadCarPictures();
  EXPECT_EQ(Boxes().size(), 8u);
  ztest::Fakes().setupNumbers = {{0, 0}, {1, 1}, {2, 8}, {3, 9}, {4, -1}};
  EXPECT_EQ(SB_GetCarPicture(0), nullptr);
  EXPECT_NE(SB_GetCarPicture(1), nullptr);
  EXPECT_NE(SB_GetCarPicture(2), nullptr);
  EXPECT_EQ(SB_GetCarPicture(3), nullptr);
  EXPECT_EQ(SB_GetCarPicture(4), nullptr);
}

TEST_F(HudResultTest, EndMenuAndLostServer) {
  StartRace(SB_RACE, 3, SB_STEP_RACING);
  SB_DrawEndMenu();
  EXPECT_TRUE(Texts().empty());
  SB_Var.StepListEnd = 1;
  SB_DrawEndMenu();
  ExpectCentred("*1PRESS F1 TO QUIT", 410);
  SB_Var.StepListEnd = 0;
  SB_Var.Paused = 1;
  SB_Var.GameMode = SB_OFFLINE;
  SB_DrawEndMenu();
  ExpectCentred("*1PRESS F1: QUIT - F2: RESTART GAME", 410);
  EXPECT_EQ(SB_IsTextScreenLocked(), 0);
  // The lost server: the notice blinks, the race may end after 3000 ms.
  SB_DrawNoMoreServer();
  EXPECT_EQ(Find("NO MORE SERVER..."), nullptr);
  SB_Var.SessionLost = 1;
  SB_Var.FrameTime = 1000;
  SB_Var.Time = 10800;
  SB_DrawNoMoreServer();
  EXPECT_EQ(Find("NO MORE SERVER..."), nullptr);
  SB_Var.Time = 10500;
  SB_DrawNoMoreServer();
  ExpectCentred("NO MORE SERVER...", 190);
  SB_DrawNoMoreServer();
  EXPECT_EQ(SB_IsEndDelayOver(), 0);
  SB_DrawNoMoreServer();
  EXPECT_EQ(SB_IsEndDelayOver(), 1);
  // Messages are not drawn while the session is lost.
  SB_HudMessage("HIDDEN");
  Draw();
  EXPECT_EQ(Find("*1HIDDEN"), nullptr);
}

}  // namespace
