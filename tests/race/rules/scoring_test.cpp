// The finishing list, the HUD's time and position texts and the overlay's
// size (its classes are shown through the HUD's scales, hud_test.cpp).
#include <gtest/gtest.h>

#include <string>

#include "race/racerules.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "tests/fakes/race_fakes.h"

namespace {

class ScoreTabTest : public ztest::RaceTest {
 protected:
  void SetUp() override {
    ztest::RaceTest::SetUp();
    MakeCars(4);
  }
  static int Used() {
    int n = 0;
    for (const TSCORE& s : scoreTab) n += s.Used;
    return n;
  }
};

TEST_F(ScoreTabTest, ClassifiedCarsGoUpwardFromTheirPlace) {
  std::snprintf(SB_Var.PlayerNames[2], SB_PLAYERNAMESIZE, "CELIA");
  Car(2).Place = 3;
  Car(2).RaceTime = 123456;
  Car(2).BestLap = 40000;
  SB_AddToScoreTab(&Car(2), 2, 1);
  EXPECT_EQ(scoreTab[2].Used, 1);
  EXPECT_EQ(scoreTab[2].Id, 2);
  EXPECT_EQ(scoreTab[2].RaceTime, 123456);
  EXPECT_EQ(scoreTab[2].BestLap, 40000);
  EXPECT_EQ(scoreTab[2].NotClassified, 0.0);
  EXPECT_STREQ(scoreTab[2].Name, "CELIA");
  EXPECT_EQ(Car(2).Finished, 1);
  EXPECT_EQ(Car(2).OutOfTime, 1);
  Car(1).Place = 3;  // the same place: the next free entry
  SB_AddToScoreTab(&Car(1), 1, 1);
  EXPECT_EQ(scoreTab[3].Id, 1);
  EXPECT_STREQ(scoreTab[3].Name, "Unknown Player");
}

TEST_F(ScoreTabTest, UnclassifiedCarsGoDownwardFromTheLastEntry) {
  SB_AddToScoreTab(&Car(1), 1, 0);
  SB_AddToScoreTab(&Car(2), 2, 0);
  EXPECT_EQ(scoreTab[31].Id, 1);
  EXPECT_EQ(scoreTab[31].NotClassified, 1.0);
  EXPECT_EQ(scoreTab[30].Id, 2);
  for (TSCORE& s : scoreTab) s.Used = 1;
  SB_AddToScoreTab(&Car(3), 3, 0);  // a full list: entry 0
  EXPECT_EQ(scoreTab[0].Id, 3);
}

TEST_F(ScoreTabTest, AnEntryOutsideTheListEntersNothing) {
  Car(1).Place = 0;
  SB_AddToScoreTab(&Car(1), 1, 1);
  Car(2).Place = 40;
  SB_AddToScoreTab(&Car(2), 2, 1);
  Car(3).Place = INT32_MIN;
  SB_AddTimeOut(&Car(3), 3);
  scoreTab[31].Used = 1;
  Car(0).Place = 32;  // from 31 upward: full
  SB_AddToScoreTab(&Car(0), 0, 1);
  EXPECT_EQ(Used(), 1);
  EXPECT_EQ(Car(1).Finished, 1);  // the car's words are set all the same
  SB_AddToScoreTab(nullptr, 0, 1);
  SB_AddTimeOut(nullptr, 0);
}

TEST_F(ScoreTabTest, ATimeOutIsEnteredByPlaceUnclassified) {
  Car(0).Place = 2;
  Car(0).BestLap = 61000;
  Car(0).RaceTime = SB_NOTIME;
  SB_AddTimeOut(&Car(0), 0);
  EXPECT_EQ(scoreTab[1].Used, 1);
  EXPECT_EQ(scoreTab[1].NotClassified, 1.0);
  EXPECT_EQ(Car(0).Finished, 0);
  EXPECT_EQ(Car(0).OutOfTime, 0);
  EXPECT_EQ(SB_Var.LocalBestLap, 61000);  // the driven car's times are kept for the HUD
  EXPECT_EQ(SB_Var.LocalRaceTime, SB_NOTIME);
}

TEST_F(ScoreTabTest, OnlyTheDrivenCarsTimesAreKeptForTheHud) {
  Car(1).BestLap = 5;
  Car(1).Place = 1;
  SB_AddToScoreTab(&Car(1), 1, 1);
  EXPECT_EQ(SB_Var.LocalBestLap, 0);
}

TEST_F(ScoreTabTest, NetworkNamesComeFromTheSessionAndAreCut) {
  MakeSession(4, XSTATE_PLAYING);
  ztest::Fakes().names[101] = std::string(300, 'n');
  Car(1).Place = 1;
  SB_AddToScoreTab(&Car(1), 1, 1);
  EXPECT_EQ(std::string(scoreTab[0].Name), std::string(31, 'n'));
  SB_AddToScoreTab(&Car(2), 2, 0);
  EXPECT_STREQ(scoreTab[31].Name, "Unknown Player");  // no session name, no read name
}

TEST_F(ScoreTabTest, ClearingTakesOneEntryPerNetworkPlayer) {
  for (TSCORE& s : scoreTab) s.Used = 1;
  MakeSession(3, XSTATE_PLAYING);
  SB_ClearScoreTab();
  EXPECT_EQ(Used(), 29);
  SB_Var.NetSlots = 500;
  SB_ClearScoreTab();
  EXPECT_EQ(Used(), 0);
}

TEST(FormatTime, Styles) {
  const struct {
    int32_t ms, style;
    const char* text;
  } rows[] = {
      {65230, 3, "1'05''23"}, {65230, 2, "1:05:23"}, {65230, 1, "1:05:2"}, {65230, 0, "1:05"},
      {65230, 7, "1:05"},     {5230, 3, "5''23"},    {10000, 3, "10''00"}, {9999, 3, "9''99"},  // 2 digits from 10 s
      {5230, 2, "0:05:23"},   {5230, 1, "05:2"},     {5230, 0, "05"},      {0, 2, "0:00:00"},
      {-500, 2, "0:00:00"},   {INT32_MAX, 2, "35791:23:64"},
  };
  for (const auto& row : rows)
    EXPECT_STREQ(SB_FormatTime(row.ms, row.style), row.text) << row.ms << " " << row.style;
  for (int style = 0; style < 5; ++style) EXPECT_STREQ(SB_FormatTime(SB_NOTIME, style), "        ");
}

class FormatTest : public ztest::RaceTest {};

TEST_F(FormatTest, PositionsByMode) {
  SB_Var.GameMode = SB_OFFLINE;
  EXPECT_STREQ(SB_FormatPosition(3), "P. 3");
  SB_Var.GameMode = SB_STANDALONE;
  EXPECT_STREQ(SB_FormatPosition(12), "P.12");
  SB_Var.GameMode = SB_TRAINING;
  EXPECT_STREQ(SB_FormatPosition(3), "");
  SB_Var.GameMode = SB_RACE;
  EXPECT_STREQ(SB_FormatPosition(3), "3");  // no session: the number
  MakeSession(4, XSTATE_PLAYING);
  ztest::Fakes().names[102] = std::string(300, 'z');
  EXPECT_EQ(std::string(SB_FormatPosition(2)), std::string(SB_PLAYERNAMESIZE - 1, 'z'));
}

TEST_F(FormatTest, TextScreenSizeAndTheClassesOfOtherSizes) {
  BMAP screen{};
  screen.SizeX = 640;
  screen.SizeY = 480;
  SB_Var.TextScreen = &screen;
  SB_Var.ScreenWindow.W_POSY = 12;
  int32_t w = 0, h = 0, top = 0;
  SB_GetTextScreenSize(&w, &h, &top);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  EXPECT_EQ(top, 12);
  EXPECT_EQ(SB_Var.HudWidthClass, 2);
  EXPECT_EQ(SB_Var.HudHeightClass, 4);
  screen.SizeX = 1024;
  screen.SizeY = 768;
  SB_GetTextScreenSize(&w, &h, &top);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(SB_Var.HudWidthClass, 2);
  EXPECT_EQ(SB_Var.HudHeightClass, 4);
  SB_Var.TextScreen = nullptr;
  SB_GetTextScreenSize(&w, &h, &top);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(SB_Var.HudHeightClass, 4);  // kept, as for sizes without a class
}

}  // namespace
