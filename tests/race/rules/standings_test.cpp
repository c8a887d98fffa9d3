// The live ranking with its catch-up factor, and the gap tables with the
// gaps to the cars ahead and behind.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "race/racerules.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/heap.h"
#include "tests/fakes/race_fakes.h"

namespace {

class RankingTest : public ztest::RaceTest {
 protected:
  void SetUp() override {
    ztest::RaceTest::SetUp();
    SB_SetGameMode(SB_RACE);
  }
  void Distances(std::initializer_list<double> d) {
    MakeCars(static_cast<int32_t>(d.size()));
    int i = 0;
    for (double v : d) Car(i++).Distance = v;
  }
  std::vector<int32_t> Places() {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < SB_Var.NbCars; ++i) out.push_back(Car(i).Place);
    return out;
  }
};

TEST_F(RankingTest, PlacesFollowTheDistanceStably) {
  // Car 0 may be out of time (o), out of time and finished (f), or out of
  // the game (x, its place left at 9). Equal distances keep their order,
  // sorted upward: the last of them leads. Each row is ranked twice.
  const struct {
    std::initializer_list<double> distances;
    char car0;
    int32_t mode;
    std::vector<int32_t> places;
  } rows[] = {
      {{100, 300, 200, 50}, ' ', SB_RACE, {3, 1, 2, 4}},  {{100, 100, 50, 100}, ' ', SB_RACE, {3, 2, 4, 1}},
      {{900, 10, 20}, 'o', SB_RACE, {3, 2, 1}},           {{900, 10, 20}, 'f', SB_RACE, {1, 3, 2}},
      {{300, 100, 200}, 'x', SB_RACE, {9, 2, 1}},         {{100, 300}, ' ', SB_FREERACE, {0, 0}},
  };
  for (const auto& row : rows) {
    Distances(row.distances);
    SB_SetGameMode(row.mode);
    Car(0).Place = row.car0 == 'x' ? 9 : row.car0 == ' ' ? 0 : 1;
    Car(0).OutOfTime = row.car0 == 'o' || row.car0 == 'f';
    Car(0).Finished = row.car0 == 'f';
    Car(0).TexturesReady = row.car0 != 'x';
    SB_UpdateRanking();
    SB_UpdateRanking();
    EXPECT_EQ(Places(), row.places) << row.car0 << row.distances.size();
  }
}

TEST_F(RankingTest, AClearLeaderGets09AndTheLastCar10) {
  Distances({500, 100, 200});
  SB_UpdateRanking();
  EXPECT_DOUBLE_EQ(Car(0).CatchUpTarget, 0.9);
  Car(0).Distance = 50;
  SB_UpdateRanking();
  EXPECT_DOUBLE_EQ(Car(0).CatchUpTarget, 1.0);
  Car(0).Distance = 150;  // in the middle, nobody within 50 m behind: f = 0.5
  SB_UpdateRanking();
  EXPECT_DOUBLE_EQ(Car(0).CatchUpTarget, 1.0 - (1.0 - 0.25) * 0.1);
}

TEST_F(RankingTest, ALeaderWithTheFieldClosePaysNothing) {
  Distances({130, 100});
  SB_UpdateRanking();
  EXPECT_EQ(Car(0).Place, 1);
  EXPECT_DOUBLE_EQ(Car(0).CatchUpTarget, 1.0);
  Car(0).Distance = 200;
  SB_UpdateRanking();
  EXPECT_DOUBLE_EQ(Car(0).CatchUpTarget, 0.9);
}

TEST_F(RankingTest, TheFactorsMoveByOneHundredthASecond) {
  Distances({500, 100});
  Car(0).CatchUp = Car(0).CatchUp2 = 1.0;
  SB_Var.FrameTime = 1000;
  SB_UpdateRanking();
  EXPECT_NEAR(Car(0).CatchUp, 0.99, 1e-12);
  EXPECT_EQ(Car(0).CatchUp2, 1.0);  // waits for the first to arrive
  for (int i = 0; i < 10; ++i) SB_UpdateRanking();
  EXPECT_EQ(Car(0).CatchUp, 0.9);
  EXPECT_LT(Car(0).CatchUp2, 1.0);
  SB_Var.FrameTime = 100;
  const double second = Car(0).CatchUp2;
  SB_UpdateRanking();
  EXPECT_NEAR(second - Car(0).CatchUp2, 0.001, 1e-12);
}

TEST_F(RankingTest, ALoneCarGetsFactorOne) {
  Distances({100, 200});
  Car(1).TexturesReady = 0;
  Car(0).CatchUpTarget = Car(0).CatchUp = Car(0).CatchUp2 = 0.9;
  SB_UpdateRanking();
  EXPECT_EQ(Car(0).CatchUpTarget, 1.0);
  EXPECT_EQ(Car(0).CatchUp, 1.0);
  EXPECT_EQ(Car(0).CatchUp2, 1.0);
}

class GapsTest : public ztest::RaceTest {
 protected:
  void SetUp() override {
    ztest::RaceTest::SetUp();
    SB_SetGameMode(SB_RACE);
    SB_Var.NbBsplinePoints = 1000;
    SB_Var.MaxLaps = 2;
    MakeCars(3);
  }
  // Checkpoints every 50 m: 21 per lap of 1000 m.
  static int32_t CellOf(int32_t car, int32_t lap, int32_t checkpoint) {
    return SB_Gaps[car][lap * SB_Var.GapCheckpoints + checkpoint];
  }
  static int CellsSet() {
    int n = 0;
    for (int32_t car = 0; car < SB_Var.NbCars; ++car)
      for (int32_t i = 0; i < SB_Var.GapCheckpoints * SB_Var.GapLaps; ++i) n += SB_Gaps[car][i] != -1;
    return n;
  }
  // The driven car's race time, then the cars' distances; ranking and gaps.
  void Frame(int32_t time, double d0, double d1, double d2) {
    Car(0).RaceTime = time;
    Car(0).Distance = d0;
    Car(1).Distance = d1;
    Car(2).Distance = d2;
    SB_UpdateRanking();
    SB_UpdateGaps();
  }
};

TEST_F(GapsTest, TablesAreSizedByCarsCheckpointsAndLaps) {
  MakeCars(8);
  SB_Var.NbBsplinePoints = 2000;
  SB_Var.MaxLaps = 5;
  Car(3).GapAhead = 40.0;
  SB_AllocGaps();
  ASSERT_FALSE(SB_PrintedLines().empty());
  EXPECT_EQ(SB_PrintedLines().back(), "Memory used for GAPS :6560 Bytes");
  EXPECT_EQ(SB_Var.NbMemOwners, 8);
  EXPECT_STREQ(SB_MemOwners[0].Owner, "SB_Gaps[i]");
  EXPECT_EQ(SB_MemOwners[0].Size, 41u * 5u * 4u);
  EXPECT_EQ(SB_Var.GapCheckpoints, 41);
  EXPECT_EQ(CellsSet(), 0);
  EXPECT_EQ(Car(3).GapAhead, -1.0);
  SB_FreeGaps();
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
  EXPECT_EQ(SB_Gaps[0], nullptr);
}

TEST_F(GapsTest, NoTablesWithoutCarsOrInFreeRaceAndDemo) {
  for (int32_t mode : {SB_FREERACE, SB_DEMO}) {
    SB_SetGameMode(mode);
    SB_AllocGaps();
  }
  SB_SetGameMode(SB_RACE);
  SB_Var.UsingCars = 0;
  SB_AllocGaps();
  EXPECT_TRUE(SB_PrintedLines().empty());
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
}

TEST_F(GapsTest, UnusableSizesLeaveTheTablesUnallocated) {
  const std::pair<int32_t, int32_t> sizes[] = {{1000, 0}, {1000, -3}, {-500, 2}, {INT32_MAX, INT32_MAX}};
  for (const auto& [points, laps] : sizes) {
    SB_Var.NbBsplinePoints = points;
    SB_Var.MaxLaps = laps;
    SB_AllocGaps();
    EXPECT_EQ(SB_Var.NbMemOwners, 0) << points << " " << laps;
    Frame(1000, 100, 200, 300);  // records nothing, reads nothing
  }
  EXPECT_EQ(SB_PrintedLines().back(),
            "Memory used for GAPS :" + std::to_string(3LL * 42949673 * INT32_MAX * 4) + " Bytes");
}

// The most laps a race may have, on the longest line the metre table
// holds and with every car, fits the heap; tables the heap cannot hold
// with room to spare leave the race without gaps instead of ending it.
TEST_F(GapsTest, TablesTheHeapCannotHoldLeaveTheRaceWithoutGaps) {
  const struct {
    int32_t cars, points, laps;
    bool made;
  } rows[] = {{SB_MAXCARS, 10000, SB_MOSTLAPS, true}, {3, 1103, SB_MOSTLAPS, true}, {3, 2000000, SB_MOSTLAPS, false}};
  for (const auto& r : rows) {
    MakeCars(r.cars);
    SB_Var.NbBsplinePoints = r.points;
    SB_Var.MaxLaps = r.laps;
    SB_ClearPrintedLines();
    SB_AllocGaps();
    EXPECT_EQ(SB_Var.NbMemOwners, r.made ? r.cars : 0) << r.points;
    EXPECT_EQ(SB_PrintedLines().back() == "No room for GAPS: the race shows no gaps", !r.made) << r.points;
    if (r.made) Frame(1000, 100, 200, 300);
    SB_FreeGaps();
  }
  // One car's table of one lap about half the heap's largest free block.
  MakeCars(1);
  SB_Var.MaxLaps = 1;
  for (const int64_t more : {-1, 1}) {
    const int64_t half = int64_t{LSI_GetHeapMaxFree(LSI_GetHeapOf(LS_DefaultHeap))} / 2;
    SB_Var.NbBsplinePoints = static_cast<int32_t>((half / 4 + more - 1) * SB_GAPSTEP);
    SB_AllocGaps();
    EXPECT_EQ(SB_Var.NbMemOwners, more < 0 ? 1 : 0) << more;
    SB_FreeGaps();
  }
}

TEST_F(GapsTest, GapsAheadAndBehindInARace) {
  SB_AllocGaps();
  Frame(1000, 50, 100, 20);
  Frame(3000, 100, 160, 60);
  EXPECT_EQ(CellOf(1, 0, 2), 1000);
  EXPECT_EQ(CellOf(0, 0, 2), 3000);
  EXPECT_EQ(Car(0).Place, 2);
  EXPECT_EQ(Car(0).GapAhead, 2000.0);
  EXPECT_EQ(SB_Var.AheadIndex, 1);
  EXPECT_EQ(Car(0).GapBehind, 2000.0);  // car 2 passed checkpoint 1 at 3000, the driven car at 1000
  EXPECT_EQ(SB_Var.BehindIndex, 2);
}

TEST_F(GapsTest, OfflineRecordsEveryCarAndPlacesForTheHud) {
  SB_SetGameMode(SB_OFFLINE);
  SB_AllocGaps();
  Frame(1000, 50, 100, 20);
  Frame(3000, 100, 160, 60);
  EXPECT_EQ(Car(0).GapAhead, 2000.0);
  EXPECT_EQ(SB_Var.AheadIndex, 1);
  EXPECT_EQ(Car(0).GapBehind, 2000.0);
  EXPECT_EQ(SB_Var.BehindIndex, 3);
  // A car out of the game still has its passings noted in OFFLINE, not in RACE.
  for (int32_t mode : {SB_OFFLINE, SB_RACE}) {
    SB_SetGameMode(mode);
    SB_ResetGaps();
    Car(2).TexturesReady = 0;
    Frame(4000, 100, 160, 260);
    EXPECT_EQ(CellOf(2, 0, 5), mode == SB_OFFLINE ? 4000 : -1) << mode;
  }
}

TEST_F(GapsTest, TheFirstPassingOfACheckpointIsKept) {
  SB_AllocGaps();
  Frame(1000, 60, 100, 20);
  Frame(1500, 80, 110, 30);  // still checkpoint 1 for the driven car
  EXPECT_EQ(CellOf(0, 0, 1), 1000);
  EXPECT_EQ(CellOf(1, 0, 2), 1000);
}

TEST_F(GapsTest, TheLeaderHasNoCarAheadAndTheLastNoneBehind) {
  SB_AllocGaps();
  Frame(1000, 500, 100, 20);
  EXPECT_EQ(Car(0).GapAhead, -1.0);
  EXPECT_EQ(SB_Var.AheadIndex, 0);
  Frame(2000, 10, 100, 20);
  EXPECT_EQ(Car(0).Place, 3);
  EXPECT_EQ(Car(0).GapBehind, -1.0);
  EXPECT_EQ(SB_Var.BehindIndex, 0);
}

TEST_F(GapsTest, ARestartClearsTheCells) {
  SB_AllocGaps();
  Frame(1000, 50, 100, 20);
  Frame(3000, 100, 160, 60);
  ASSERT_GT(CellsSet(), 0);
  SB_ResetGaps();
  EXPECT_EQ(CellsSet(), 0);
  EXPECT_EQ(Car(0).GapAhead, -1.0);
  EXPECT_EQ(Car(0).GapBehind, -1.0);
  Frame(500, 100, 20, 10);  // the new race's first passing is kept
  EXPECT_EQ(CellOf(0, 0, 2), 500);
}

TEST_F(GapsTest, BadLapsDistancesAndTrackLengthsWriteNoCell) {
  SB_AllocGaps();
  Car(0).Laps = -1;
  Car(1).Laps = 2;  // MaxLaps is 2: laps 0 and 1 only
  Car(2).Laps = 500;
  Frame(1000, 50, 100, 20);
  EXPECT_EQ(CellsSet(), 0);
  for (int i = 0; i < 3; ++i) Car(i).Laps = 0;
  Frame(1000, -50, -1e300, std::nan(""));
  EXPECT_EQ(CellsSet(), 0);
  SB_Var.NbBsplinePoints = 0;  // no centre line
  Frame(1000, 50, 100, 20);
  EXPECT_EQ(CellsSet(), 0);
  SB_Var.NbBsplinePoints = 1000;
  SB_Var.MaxLaps = 1;  // lowered since the tables were made
  Car(1).Laps = 1;
  Frame(1000, 50, 100, 20);
  EXPECT_EQ(CellsSet(), 2);
}

TEST_F(GapsTest, FreeRaceHasNoGaps) {
  SB_AllocGaps();
  SB_SetGameMode(SB_FREERACE);
  SB_Var.AheadIndex = 4;
  Frame(1000, 50, 100, 20);
  EXPECT_EQ(SB_Var.AheadIndex, 0);
  EXPECT_EQ(CellsSet(), 0);
  SB_FreeGaps();  // made in RACE, freed whatever the mode now
  EXPECT_EQ(SB_Var.NbMemOwners, 0);
}

}  // namespace
