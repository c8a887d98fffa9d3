// The race parameters of "TXT>NETRACE.TXT": values, missing keys, bad
// numbers and names, busy slots, and the data tree's own file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "platform/window.h"
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
    "RACENLAPS parameter missing, 3 laps...",    "CONTROLLEDRACENLAPS parameter missing, 3 laps...",
    "OFFLINENLAPS parameter missing, 3 laps...", "MULTIRACENLAPS parameter missing, 3 laps...",
    "NLAPS parameter missing, 3 laps...",        "MAXPLAYERS parameter missing...",
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
  EXPECT_EQ(SB_Var.RaceLaps, 3);  // a missing lap count races the shipped file's laps
  EXPECT_EQ(SB_Var.MaxLaps, 3);
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

// A number that is no number, infinite, too large or below its least is
// refused with its key and value, and its entry left out: the race runs
// with the rest of the file and the old values in its place, a refused
// lap count with the shipped file's 3 laps.
TEST_F(NetRaceTest, EveryBadNumberIsRefusedByNameAndLeftOut) {
  const char* missing = "TIME EXTEND parameters missing...";
  const struct {
    const char *line, *bad;
    std::vector<std::string> said;
    int32_t starting;
    std::vector<double> extends;  // start distances
    double cameraY;
    int32_t raceLaps, offlineLaps, players;  // players: names read
  } rows[] = {
      {"NETEXTRATIME: 5", "NETEXTRATIME: nan", {"NETEXTRATIME parameter nan refused..."}, 60000,
       {0, 700, 1400, 2100}, -2, 3, 5, 3},
      {"STARTINGTIME: 60", "STARTINGTIME: inf", {"STARTINGTIME parameter inf refused..."}, 65000,
       {0, 700, 1400, 2100}, -2, 3, 5, 3},
      {"TIMEXTEND: 700,15.5", "TIMEXTEND: nan,20", {"TIMEXTEND parameter nan refused...", missing}, 65000,
       {0, 1400, 2100, 99}, -2, 3, 5, 3},
      {"TIMEXTEND: 1400,10", "TIMEXTEND: 1400,-inf", {"TIMEXTEND parameter -inf refused...", missing}, 65000,
       {0, 700, 2100, 99}, -2, 3, 5, 3},
      {"TIMEXTEND: 2100,5", "TIMEXTEND: -20,5", {"TIMEXTEND parameter -20 refused...", missing}, 65000,
       {0, 700, 1400, 99}, -2, 3, 5, 3},
      {"FINALCAMERA: 1,-2,3.5", "FINALCAMERA: 1,1e308,3.5", {"FINALCAMERA parameter 1e+308 refused..."}, 65000,
       {0, 700, 1400, 2100}, 4, 3, 5, 3},
      {"RACENLAPS: 3", "RACENLAPS: -inf", {"RACENLAPS parameter -inf refused (1 to 99 laps), 3 laps..."}, 65000,
       {0, 700, 1400, 2100}, -2, 3, 5, 3},
      {"OFFLINENLAPS: 5", "OFFLINENLAPS: 0", {"OFFLINENLAPS parameter 0 refused (1 to 99 laps), 3 laps..."}, 65000,
       {0, 700, 1400, 2100}, -2, 3, 3, 3},
      {"MAXPLAYERS: 3", "MAXPLAYERS: -1", {"MAXPLAYERS parameter -1 refused..."}, 65000, {0, 700, 1400, 2100}, -2,
       3, 5, 0},
      // Each range at its limit, and just past it.
      {"STARTINGTIME: 60", "STARTINGTIME: 2147483.647", {}, INT32_MAX, {0, 700, 1400, 2100}, -2, 3, 5, 3},
      {"STARTINGTIME: 60", "STARTINGTIME: 2147483.648", {"STARTINGTIME parameter 2.14748e+06 refused..."}, 65000,
       {0, 700, 1400, 2100}, -2, 3, 5, 3},
      {"STARTINGTIME: 60", "STARTINGTIME: 0", {}, 5000, {0, 700, 1400, 2100}, -2, 3, 5, 3},
      {"TIMEXTEND: 2100,5", "TIMEXTEND: 6710886.39,5", {}, 65000, {0, 700, 1400, 6710886.39}, -2, 3, 5, 3},
      {"TIMEXTEND: 2100,5", "TIMEXTEND: 6710886.4,5", {"TIMEXTEND parameter 6.71089e+06 refused...", missing},
       65000, {0, 700, 1400, 99}, -2, 3, 5, 3},
      {"FINALCAMERA: 1,-2,3.5", "FINALCAMERA: 1,-6710886.39,3.5", {}, 65000, {0, 700, 1400, 2100}, -6710886.39, 3,
       5, 3},
      {"FINALCAMERA: 1,-2,3.5", "FINALCAMERA: 1,-6710886.4,3.5", {"FINALCAMERA parameter -6.71089e+06 refused..."},
       65000, {0, 700, 1400, 2100}, 4, 3, 5, 3},
      {"MAXPLAYERS: 3", "MAXPLAYERS: 0", {}, 65000, {0, 700, 1400, 2100}, -2, 3, 5, 0},
  };
  for (const auto& r : rows) {
    std::string text = kFull;
    text.replace(text.find(r.line), std::strlen(r.line), r.bad);
    Write(text);
    SB_Var.GameMode = SB_RACE;
    SB_Var.TimeExtends[3].StartDistance = 99.0;
    SB_Var.FinalCamera[1] = 4.0;
    SB_Var.RaceLaps = SB_Var.OfflineLaps = 7;
    SB_Var.PlayerNames[0][0] = '\0';
    plat::ClearShownMessageBoxes();
    SB_ReadNetRace();
    EXPECT_EQ(Boxes(), r.said) << r.bad;
    EXPECT_EQ(SB_Var.StartingTime, r.starting) << r.bad;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(SB_Var.TimeExtends[i].StartDistance, r.extends[i]) << r.bad << " " << i;
    EXPECT_EQ(SB_Var.FinalCamera[1], r.cameraY) << r.bad;
    EXPECT_EQ(SB_Var.RaceLaps, r.raceLaps) << r.bad;
    EXPECT_EQ(SB_Var.OfflineLaps, r.offlineLaps) << r.bad;
    EXPECT_EQ(SB_Var.PlayerNames[0][0] != '\0', r.players > 0) << r.bad;
  }
}

// Any of the file's numbers spoilt at random: each spoilt one is refused
// by name, and nothing stored is beyond what its use can take.
TEST_F(NetRaceTest, SpoiltNumbersAreAllRefused) {
  // Each "#" a number of the file; numbers 10 to 12 (the camera's offset)
  // may be negative, so only the first six spoils spoil them.
  const std::string form =
      "NETEXTRATIME: #\nSTARTINGTIME: #\nTIMEXTEND: #,#\nTIMEXTEND: #,#\nTIMEXTEND: #,#\nTIMEXTEND: #,#\n"
      "FINALCAMERA: #,#,#\nNLAPS: #\nRACENLAPS: #\nCONTROLLEDRACENLAPS: #\nOFFLINENLAPS: #\nMULTIRACENLAPS: #\n"
      "MAXPLAYERS: #\n";
  const char* spoils[] = {"nan", "inf", "-inf", "1e308", "-1e308", "1e300", "-7", "-0.5"};
  std::mt19937 random(92);
  for (int run = 0; run < 200; ++run) {
    std::string text;
    int number = 0, spoilt = 0;
    for (char c : form) {
      const bool spoil = c == '#' && random() % 4 == 0;
      if (spoil) ++spoilt, text += spoils[random() % (number >= 10 && number <= 12 ? 6 : 8)];
      text += c != '#' ? std::string(1, c) : spoil ? "" : std::to_string(number % 5 + 1);
      number += c == '#';
    }
    Write(text);
    SB_Var.GameMode = SB_RACE;
    SB_Var.NLaps = SB_Var.RaceLaps = SB_Var.ControlledRaceLaps = SB_Var.OfflineLaps = SB_Var.MultiLaps = 9;
    plat::ClearShownMessageBoxes();
    SB_ReadNetRace();
    EXPECT_EQ(std::count_if(Boxes().begin(), Boxes().end(),
                            [](const std::string& b) { return b.find(" refused") != std::string::npos; }),
              spoilt)
        << text;
    EXPECT_GT(SB_Var.StartingTime, 0) << text;
    for (const TTIMEEXTEND& e : SB_Var.TimeExtends) EXPECT_TRUE(e.StartDistance >= 0 && e.Extension >= 0) << text;
    for (double c : SB_Var.FinalCamera) EXPECT_TRUE(std::isfinite(c)) << text;
    EXPECT_GE(std::min({SB_Var.NLaps, SB_Var.RaceLaps, SB_Var.OfflineLaps, SB_Var.MaxLaps}), 1) << text;
  }
}

// Each mode's lap count at its limits and past them: what is said, and
// the laps the race of that mode then runs. The file keeps the other
// counts at 2, so the count read is the one the row sets.
TEST_F(NetRaceTest, EveryModesLapCountRacesAtLeastOneLapAndAtMost99) {
  const struct {
    const char* key;
    int32_t mode;
  } keys[] = {{"RACENLAPS", SB_RACE},           {"CONTROLLEDRACENLAPS", SB_CONTROLLEDRACE},
              {"OFFLINENLAPS", SB_OFFLINE},     {"MULTIRACENLAPS", SB_MULTIRACE},
              {"NLAPS", SB_FREERACE}};
  const struct {
    const char* value;  // null: the key left out
    int32_t laps;
    const char* said;   // after the key; null: nothing
  } rows[] = {
      {"1", 1, nullptr},
      {"99", 99, nullptr},
      {"99.9", 3, " parameter 99.9 refused (1 to 99 laps), 3 laps..."},
      {"100", 3, " parameter 100 refused (1 to 99 laps), 3 laps..."},
      {"100000", 3, " parameter 100000 refused (1 to 99 laps), 3 laps..."},
      {"0.9", 3, " parameter 0.9 refused (1 to 99 laps), 3 laps..."},
      {"0", 3, " parameter 0 refused (1 to 99 laps), 3 laps..."},
      {"-5", 3, " parameter -5 refused (1 to 99 laps), 3 laps..."},
      {"nan", 3, " parameter nan refused (1 to 99 laps), 3 laps..."},
      {"1e308", 3, " parameter 1e+308 refused (1 to 99 laps), 3 laps..."},
      {nullptr, 3, " parameter missing, 3 laps..."},
  };
  for (const auto& k : keys) {
    for (const auto& r : rows) {
      std::string text = "STARTINGTIME: 60\nTIMEXTEND: 0,1\nTIMEXTEND: 1,1\nTIMEXTEND: 2,1\nTIMEXTEND: 3,1\n"
                         "FINALCAMERA: 0,0,0\nMAXPLAYERS: 0\n";
      // A row that leaves its key out keeps every other: a key is found
      // only as itself, never at the end of a longer one.
      for (const char* other : {"NLAPS", "RACENLAPS", "CONTROLLEDRACENLAPS", "OFFLINENLAPS", "MULTIRACENLAPS"})
        if (std::strcmp(other, k.key) != 0) text += std::string(other) + ": 2\n";
        else if (r.value) text += std::string(other) + ": " + r.value + "\n";
      Write(text);
      SB_Var.GameMode = k.mode;
      SB_Var.NLaps = SB_Var.RaceLaps = SB_Var.ControlledRaceLaps = SB_Var.OfflineLaps = SB_Var.MultiLaps = 7;
      plat::ClearShownMessageBoxes();
      SB_PreInitTimeExtends();
      const std::string what = std::string(k.key) + " " + (r.value ? r.value : "left out");
      EXPECT_EQ(Boxes(), r.said ? std::vector<std::string>{k.key + std::string(r.said)} : std::vector<std::string>{})
          << what;
      // The gap tables are sized by the four race modes' largest count.
      EXPECT_EQ(SB_Var.MaxLaps, k.mode == SB_FREERACE ? 2 : std::max(r.laps, 2)) << what;
      EXPECT_EQ(SB_Var.NbLaps, r.laps) << what;
    }
  }
}

// When the file cannot be read at all (every key-file slot busy) the
// counts are those before, 0 in a program's first race: the race still
// runs the shipped file's laps, in every mode.
TEST_F(NetRaceTest, ARaceOfCountsNeverReadRunsThreeLaps) {
  TKEYFILE* busy[SB_MAXKEYFILES];
  for (TKEYFILE*& k : busy) k = SB_OpenKeyFile("none.txt");
  const std::pair<int32_t, int32_t> rows[] = {{0, 3}, {-4, 3}, {1, 1}, {99, 99}, {100, 3}, {INT32_MAX, 3}};
  for (const auto& [count, laps] : rows) {
    for (int32_t mode = 0; mode < SB_NBGAMEMODES; ++mode) {
      SB_Var.GameMode = mode;
      SB_Var.NLaps = SB_Var.RaceLaps = SB_Var.ControlledRaceLaps = SB_Var.OfflineLaps = SB_Var.MultiLaps =
          SB_Var.MaxLaps = count;
      SB_PreInitTimeExtends();
      EXPECT_EQ(SB_Var.NbLaps, laps) << count << " in mode " << mode;
    }
  }
  EXPECT_TRUE(Boxes().empty());
  for (TKEYFILE* k : busy) SB_CloseKeyFile(k);
}

TEST_F(NetRaceTest, ExtraAndStartingTimeAddWithoutOverflow) {
  Write("STARTINGTIME: 2000000\nNETEXTRATIME: 2000000\n");
  SB_Var.GameMode = SB_RACE;
  SB_ReadNetRace();
  EXPECT_EQ(SB_Var.StartingTime, INT32_MAX);
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
