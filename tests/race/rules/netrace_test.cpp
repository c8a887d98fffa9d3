// The race parameters of "TXT>NETRACE.TXT": values, missing keys, bad
// numbers and names, busy slots, and the data tree's own file.
#include <gtest/gtest.h>

#include <string>

#include "race/racerules.h"
#include "shell/keyfile.h"
#include "shell/sbvar.h"
#include "tests/fakes/race_fakes.h"

namespace {

const char* kFull =
    "NLAPS: 2\nRACENLAPS: 3\nCONTROLLEDRACENLAPS: 4\nOFFLINENLAPS: 5\nMULTIRACENLAPS: 6\n"
    "STARTINGTIME: 60\nNETEXTRATIME: 5\n"
    "TIMEXTEND: 0,20\nTIMEXTEND: 700,15.5\nTIMEXTEND: 1400,10\nTIMEXTEND: 2100,5\n"
    "FINALCAMERA: 1,-2,3.5\n"
    "MAXPLAYERS: 3\nPLAYER1NAME: ALBA\nPLAYER2NAME: BRUNO\nPLAYER3NAME: CELIA\n";

const std::vector<std::string> kMissing = {
    "STARTINGTIME parameter missing...", "TIME EXTEND parameters missing...", "FINALCAMERA parameter missing...",
    "RACENLAPS parameter missing...",    "CONTROLLEDRACENLAPS parameter missing...",
    "OFFLINENLAPS parameter missing...", "MULTIRACENLAPS parameter missing...",
    "NLAPS parameter missing...",        "MAXPLAYERS parameter missing...",
};

class NetRaceTest : public ztest::RaceTest {
 protected:
  void SetUp() override {
    ztest::RaceTest::SetUp();
    SB_InitKeyFiles();
  }
  void TearDown() override {
    for (const TKEYFILE& k : SB_KeyFiles) EXPECT_EQ(k.InUse, 0);
    EXPECT_EQ(SB_Var.NbMemOwners, 0);
    ztest::RaceTest::TearDown();
  }
  void Write(const std::string& text) { ztest::WriteFile(root_ + "/TXT/NETRACE.TXT", text); }
};

TEST_F(NetRaceTest, ReadsEveryParameter) {
  Write(kFull);
  SB_Var.GameMode = SB_OFFLINE;
  SB_ReadNetRace();
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(SB_Var.NLaps, 2);
  EXPECT_EQ(SB_Var.RaceLaps, 3);
  EXPECT_EQ(SB_Var.ControlledRaceLaps, 4);
  EXPECT_EQ(SB_Var.OfflineLaps, 5);
  EXPECT_EQ(SB_Var.MultiLaps, 6);
  EXPECT_EQ(SB_Var.MaxLaps, 6);
  EXPECT_EQ(SB_Var.StartingTime, 60000);
  const double starts[] = {0, 700, 1400, 2100};
  const int32_t extends[] = {20000, 15500, 10000, 5000};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(SB_Var.TimeExtends[i].StartDistance, starts[i]);
    EXPECT_EQ(SB_Var.TimeExtends[i].Extension, extends[i]);
  }
  EXPECT_EQ(SB_Var.FinalCamera[0], 1.0);
  EXPECT_EQ(SB_Var.FinalCamera[1], -2.0);
  EXPECT_EQ(SB_Var.FinalCamera[2], 3.5);
  EXPECT_STREQ(SB_Var.PlayerNames[0], "ALBA");
  EXPECT_STREQ(SB_Var.PlayerNames[2], "CELIA");
  EXPECT_STREQ(SB_Var.PlayerNames[3], "");
}

TEST_F(NetRaceTest, ExtraTimeCountsOnlyInRaceAndControlledRace) {
  Write(kFull);
  const std::pair<int32_t, int32_t> rows[] = {{SB_RACE, 65000},     {SB_CONTROLLEDRACE, 65000},
                                              {SB_OFFLINE, 60000},  {SB_MULTIRACE, 60000},
                                              {SB_TRAINING, 60000}, {SB_STANDALONE, 60000}};
  for (const auto& [mode, ms] : rows) {
    SB_Var.GameMode = mode;
    SB_ReadNetRace();
    EXPECT_EQ(SB_Var.StartingTime, ms) << mode;
  }
}

TEST_F(NetRaceTest, MaxLapsLeavesOutNlaps) {
  Write("NLAPS: 50\nRACENLAPS: 1\nCONTROLLEDRACENLAPS: 2\nOFFLINENLAPS: 9\nMULTIRACENLAPS: 3\n");
  SB_ReadNetRace();
  EXPECT_EQ(SB_Var.MaxLaps, 9);
  EXPECT_EQ(SB_Var.NLaps, 50);
}

TEST_F(NetRaceTest, EachMissingKeyIsReportedOnceAndLeavesItsValue) {
  Write("STARTINGTIME: 30\n");
  SB_Var.RaceLaps = 7;
  SB_Var.FinalCamera[1] = 4.0;
  std::snprintf(SB_Var.PlayerNames[0], SB_PLAYERNAMESIZE, "OLD");
  SB_ReadNetRace();
  EXPECT_EQ(Boxes(), std::vector<std::string>(kMissing.begin() + 1, kMissing.end()));
  EXPECT_EQ(SB_Var.RaceLaps, 7);
  EXPECT_EQ(SB_Var.MaxLaps, 7);
  EXPECT_EQ(SB_Var.FinalCamera[1], 4.0);
  EXPECT_STREQ(SB_Var.PlayerNames[0], "OLD");
  EXPECT_EQ(SB_Var.StartingTime, 30000);
}

// Without a starting time the race starts with a minute, not out of time.
TEST_F(NetRaceTest, AMissingFileReportsEveryKeyAndTheStartingTimeBecomesAMinute) {
  SB_Var.StartingTime = 12345;
  SB_Var.OfflineLaps = 3;
  SB_Var.TimeExtends[1].Extension = 900;
  SB_ReadNetRace();
  EXPECT_EQ(Boxes(), kMissing);
  EXPECT_EQ(SB_Var.StartingTime, 60000);
  EXPECT_EQ(SB_Var.OfflineLaps, 3);
  EXPECT_EQ(SB_Var.TimeExtends[1].Extension, 900);
}

TEST_F(NetRaceTest, WithEveryKeyFileSlotBusyNothingIsRead) {
  Write(kFull);
  TKEYFILE* busy[SB_MAXKEYFILES];
  for (TKEYFILE*& k : busy) k = SB_OpenKeyFile("none.txt");
  SB_Var.StartingTime = 777;
  SB_ReadNetRace();
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(SB_Var.StartingTime, 777);
  for (TKEYFILE* k : busy) SB_CloseKeyFile(k);
  SB_ReadNetRace();  // the race's own slot was not kept
  EXPECT_EQ(SB_Var.StartingTime, 60000);
}

TEST_F(NetRaceTest, ATooLargePlayerCountReads32Names) {
  std::string text = "MAXPLAYERS: 1000\n";
  for (int k = 1; k <= 40; ++k) text += "PLAYER" + std::to_string(k) + "NAME: P" + std::to_string(k) + "\n";
  Write(text);
  SB_ReadNetRace();
  EXPECT_STREQ(SB_Var.PlayerNames[31], "P32");
  EXPECT_STREQ(SB_Var.PlayerNames[0], "P1");
}

TEST_F(NetRaceTest, ANegativePlayerCountReadsNone) {
  Write("MAXPLAYERS: -3\nPLAYER1NAME: X\n");
  SB_ReadNetRace();
  EXPECT_STREQ(SB_Var.PlayerNames[0], "");
  EXPECT_EQ(std::count(Boxes().begin(), Boxes().end(), "MAXPLAYERS parameter missing..."), 0);
}

TEST_F(NetRaceTest, ALongNameKeeps63Characters) {
  Write("MAXPLAYERS: 2\nPLAYER1NAME: " + std::string(200, 'n') + "\nPLAYER2NAME: B\n");
  SB_ReadNetRace();
  EXPECT_EQ(std::string(SB_Var.PlayerNames[0]), std::string(63, 'n'));
  EXPECT_STREQ(SB_Var.PlayerNames[1], "B");
}

TEST_F(NetRaceTest, AFifthTimeExtendIsIgnored) {
  Write("TIMEXTEND: 1,1\nTIMEXTEND: 2,2\nTIMEXTEND: 3,3\nTIMEXTEND: 4,4\nTIMEXTEND: 5,5\n");
  SB_ReadNetRace();
  EXPECT_EQ(SB_Var.TimeExtends[3].StartDistance, 4.0);
  EXPECT_EQ(std::count(Boxes().begin(), Boxes().end(), "TIME EXTEND parameters missing..."), 0);
}

TEST_F(NetRaceTest, ATimeExtendWithOneValueEndsTheList) {
  Write("TIMEXTEND: 1,1\nTIMEXTEND: 2\nSUN: 0\n");
  SB_Var.TimeExtends[1].StartDistance = 99.0;
  SB_Var.TimeExtends[2].StartDistance = 98.0;
  SB_ReadNetRace();
  EXPECT_EQ(SB_Var.TimeExtends[0].StartDistance, 1.0);
  EXPECT_EQ(SB_Var.TimeExtends[1].StartDistance, 99.0);  // a short pair stores nothing
  EXPECT_EQ(SB_Var.TimeExtends[2].StartDistance, 98.0);
  EXPECT_EQ(std::count(Boxes().begin(), Boxes().end(), "TIME EXTEND parameters missing..."), 1);
}

TEST_F(NetRaceTest, TheExtensionIsSearchedAfterItsDistance) {
  // Keys have no lines: the comma of a later line completes a short pair.
  Write("TIMEXTEND: 1,1\nTIMEXTEND: 2\nTIMEXTEND: 3,3\n");
  SB_ReadNetRace();
  EXPECT_EQ(SB_Var.TimeExtends[1].StartDistance, 2.0);
  EXPECT_EQ(SB_Var.TimeExtends[1].Extension, 3000);
}

TEST_F(NetRaceTest, BadNumbersSaturateWithoutUndefinedBehaviour) {
  Write(
      "NLAPS: -5\nRACENLAPS: 1e12\nCONTROLLEDRACENLAPS: nan\nOFFLINENLAPS: -1e12\nMULTIRACENLAPS: inf\n"
      "STARTINGTIME: 1e12\nTIMEXTEND: nan,nan\nTIMEXTEND: 1,-1e300\nMAXPLAYERS: nan\n");
  SB_ReadNetRace();
  EXPECT_EQ(SB_Var.NLaps, -5);
  EXPECT_EQ(SB_Var.RaceLaps, INT32_MAX);
  EXPECT_EQ(SB_Var.ControlledRaceLaps, 0);
  EXPECT_EQ(SB_Var.OfflineLaps, INT32_MIN);
  EXPECT_EQ(SB_Var.MultiLaps, INT32_MAX);
  EXPECT_EQ(SB_Var.StartingTime, INT32_MAX);
  EXPECT_EQ(SB_Var.TimeExtends[0].Extension, 0);
  EXPECT_EQ(SB_Var.TimeExtends[1].Extension, INT32_MIN);
}

TEST_F(NetRaceTest, ExtraAndStartingTimeAddWithoutOverflow) {
  Write("STARTINGTIME: 2000000\nNETEXTRATIME: 2000000\n");
  SB_Var.GameMode = SB_RACE;
  SB_ReadNetRace();
  EXPECT_EQ(SB_Var.StartingTime, INT32_MAX);
  Write("STARTINGTIME: -2000000\nNETEXTRATIME: -2000000\n");
  SB_ReadNetRace();
  EXPECT_EQ(SB_Var.StartingTime, INT32_MIN);
}

// NLAPS and every mode's key set apart: the race set-up, then each race
// start, which reads the parameters again, keeps the laps of the mode.
TEST_F(NetRaceTest, RaceSetUpAndEveryRaceStartKeepTheLapsOfTheMode) {
  Write(kFull);
  const std::pair<int32_t, int32_t> rows[] = {
      {SB_TRAINING, 5},       {SB_STANDALONE, 5}, {SB_RACE, 3},     {SB_MULTIRACE, 6},
      {SB_CONTROLLEDRACE, 4}, {SB_OFFLINE, 5},    {SB_FREERACE, 2}, {SB_DEMO, 2}};
  for (const auto& [mode, laps] : rows) {
    SB_Var.GameMode = mode;
    SB_Var.RaceClock = 500;
    SB_Var.RaceClockStart = 20;
    SB_PreInitTimeExtends();
    EXPECT_EQ(SB_Var.NbLaps, laps) << mode;
    EXPECT_EQ(SB_Var.RaceClock, 0);
    EXPECT_EQ(SB_Var.RaceClockStart, -1);
    for (int start = 0; start < 2; ++start) {
      SB_ReadNetRace();  // as the race state's reset reads them at each start
      EXPECT_EQ(SB_Var.NbLaps, laps) << mode;
    }
  }
  SB_Var.XState = XSTATE_CONNECTED;  // in a session TRAINING races the longest
  SB_Var.GameMode = SB_TRAINING;
  SB_PreInitTimeExtends();
  EXPECT_EQ(SB_Var.NbLaps, 6);
  SB_ReadNetRace();
  EXPECT_EQ(SB_Var.NbLaps, 6);
  // A mode taken over from the session after the set-up: its race starts
  // with its own laps.
  SB_Var.GameMode = SB_CONTROLLEDRACE;
  SB_ReadNetRace();
  EXPECT_EQ(SB_Var.NbLaps, 4);
}

TEST_F(NetRaceTest, TheDataTreesFileHasEveryKey) {
  SetDrives({{'C', plat::DriveType::Fixed, "", std::string(ZENTROVA_SOURCE_DIR) + "/data"}});
  for (int32_t mode = 0; mode < SB_NBGAMEMODES; ++mode) {
    SB_Var.GameMode = mode;
    SB_PreInitTimeExtends();
  }
  EXPECT_TRUE(Boxes().empty());
  EXPECT_GT(SB_Var.MaxLaps, 0);
  EXPECT_GT(SB_Var.StartingTime, 0);
  EXPECT_EQ(SB_Var.NbLaps, 3);  // DEMO, the last mode read, keeps NLAPS
  EXPECT_STRNE(SB_Var.PlayerNames[7], "");
}

}  // namespace
