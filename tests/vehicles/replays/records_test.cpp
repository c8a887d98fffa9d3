// Replay records: packing of small values and angles, the recording clock
// and its limits, playback between records, before the first and past the
// last (the loop), and the drifting playback clock.
#include <cmath>
#include <limits>

#include "engine3d/matrix.h"
#include "tests/vehicles/replays/replay_fixture.h"

namespace {

struct PackRow {
  double v, min, range;
  int byte;
  double unpacked;
};

TEST(ReplayPacking, BytesAndBack) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const PackRow rows[] = {
      {2.0, -2.0, 4.0, 255, 2.0},                                    // steering, full right
      {-2.0, -2.0, 4.0, 0, -2.0},                                    // full left
      {0.0, -2.0, 4.0, 128, 128 / 255.0 * 4.0 - 2.0},                // 127.5 rounds up
      {300.0, 0, 255, 255, 255.0},                                   // speed clamped
      {-5.0, 0, 255, 0, 0.0},                                        //
      {SB_ENGINESPEEDRANGE, 0, SB_ENGINESPEEDRANGE, 255, SB_ENGINESPEEDRANGE},
      {0.2, 0.2, 0.35, 0, 0.2},                                      // suspension
      {0.55, 0.2, 0.35, 255, 0.55},                                  //
      {nan, 0, 10.0, 0, 0.0},                                        // a NaN packs to the minimum
  };
  for (const PackRow& r : rows) {
    const uint8_t b = SB_PackByte(r.v, r.min, r.range);
    EXPECT_EQ(b, r.byte) << r.v;
    EXPECT_DOUBLE_EQ(SB_UnpackByte(b, r.min, r.range), r.unpacked) << r.v;
  }
}

uint32_t Packed(uint32_t a, uint32_t b, uint32_t c) { return a | b << 10 | c << 20; }

TEST(ReplayPacking, AnglesGoTheShortWayRound) {
  struct Row {
    uint32_t from, to;
    double f;
    int32_t a0, a1, a2;
    bool extrapolate;
  };
  const Row rows[] = {
      {Packed(1023, 1, 5), Packed(1, 1023, 5), 0.5, 0, 0, 320, false},  // through 0, not 32768
      {Packed(1023, 1, 5), Packed(1, 1023, 5), 0.25, 65504, 32, 320, false},
      {Packed(1, 0, 0), Packed(2, 0, 0), 1.0, 192, 0, 0, true},           // one more step beyond
      {Packed(1023, 0, 0), Packed(1, 0, 0), 1.0, 192, 0, 0, true},        // across 0
      {Packed(2, 0, 0), Packed(1, 0, 0), 2.0, 65472, 0, 0, true},         // back across 0
  };
  for (const Row& r : rows) {
    int32_t angles[3];
    (r.extrapolate ? SB_ExtrapolateAngles : SB_LerpAngles)(r.from, r.to, r.f, angles);
    EXPECT_EQ(angles[0], r.a0);
    EXPECT_EQ(angles[1], r.a1);
    EXPECT_EQ(angles[2], r.a2);
  }
}

class RecordingTest : public ztest::ReplayTest {};

TEST_F(RecordingTest, OneRecordAtMostPerCallOnA200msGrid) {
  struct Row {
    uint32_t now;
    int32_t records;
    uint32_t clock;
  };
  const Row rows[] = {
      {1200, 0, 1000},        // 200 owed is not yet due
      {1201, 1, 1200},        //
      {1450, 1, 1400},        // a 450 ms frame: one record, the clock moved by 400
      {101000, 1, 100800},    // a long stall still writes one
  };
  for (const Row& r : rows) {
    SB_Var.LocalReplay->RecordCount = 0;
    SB_Var.RecordClock = 1000;
    SB_Var.RecordStart = 700;
    SB_Var.Time = r.now;
    SB_RecordTick(0);
    EXPECT_EQ(SB_Var.LocalReplay->RecordCount, r.records) << r.now;
    EXPECT_EQ(SB_Var.RecordClock, r.clock) << r.now;
    if (r.records) {
      EXPECT_EQ(SB_Var.LocalReplay->Records[0].Time, r.now - 700);
    }
  }
}

TEST_F(RecordingTest, OnlySimulatedCarsAndCourseReplaysForEveryCar) {
  SB_Var.CourseReplays = 1;
  SB_AllocCarsReplays();
  ASSERT_NE(SB_Var.CarRecordings[3], nullptr);
  EXPECT_EQ(SB_Var.CarRecordings[4], nullptr);  // four cars
  SB_Var.Time = 500;
  SB_RecordTick(2);
  EXPECT_EQ(SB_Var.LocalReplay->RecordCount, 1);
  EXPECT_EQ(SB_Var.CarRecordings[2]->RecordCount, 1);
  EXPECT_EQ(SB_Var.CarRecordings[0]->RecordCount, 0);
  ztest::g_replaySimulated[1] = false;
  SB_Var.Time = 1000;
  SB_RecordTick(1);
  SB_RecordTick(7);  // not a car of the race
  EXPECT_EQ(SB_Var.LocalReplay->RecordCount, 1);
  SB_ResetReplayClocks();
  EXPECT_EQ(SB_Var.LocalReplay->RecordCount, 0);
  EXPECT_EQ(SB_Var.CarRecordings[2]->RecordCount, 0);
  EXPECT_EQ(SB_Var.RecordStart, 1000u);
  EXPECT_EQ(SB_Var.RecordClock, 1000u);
}

TEST_F(RecordingTest, TheRecordingStopsAt1350Records) {
  SB_Var.LocalReplay->RecordCount = SB_MAXREPLAYRECORDS - 1;
  for (uint32_t t = 300; t < 1000; t += 300) {
    SB_Var.Time = t;
    SB_RecordTick(0);
  }
  EXPECT_EQ(SB_Var.LocalReplay->RecordCount, SB_MAXREPLAYRECORDS);
}

// A car in motion, recorded at two times and played back on another car.
TEST_F(RecordingTest, PlaybackBetweenTwoRecordsOfACar) {
  TCAR& c = Car(0);
  const double pos[2][3] = {{1.5, -0.25, 30.0}, {2.5, -0.75, 34.0}};
  const double steer[2] = {-0.5, 0.5}, roll[2] = {1.0, 3.0};
  const int32_t engineHz[2] = {39000, 38000}, skidHz[2] = {12000, 20000};
  for (int32_t k = 0; k < 2; ++k) {
    for (int32_t a = 0; a < 3; ++a) c.Position[a] = pos[k][a];
    c.Steering = steer[k];
    c.WheelRoll[1] = roll[k];
    c.EngineFrequency = engineHz[k];
    c.SkidFrequency = skidHz[k];
    c.EngineVolume = -2000 + 1000 * k;
    c.Velocity[2] = 20.0 + k;
    c.AccelOn = static_cast<uint8_t>(k == 0);
    c.SurfaceFlags[4] = k == 0;
    SB_Var.Time = 200 * k;
    SB_RecordCarState(0, SB_Var.LocalReplay);
  }
  TREPLAY r = *SB_Var.LocalReplay;
  r.LoadedCount = 2;
  SB_PlaceCarFromReplay(3, &r, 50);
  const TCAR& g = Car(3);
  EXPECT_DOUBLE_EQ(g.Position[0], 1.75);
  EXPECT_DOUBLE_EQ(g.Position[1], -0.375);
  EXPECT_DOUBLE_EQ(g.Position[2], 31.0);
  EXPECT_NEAR(g.Steering, -0.25, 4.0 / 255);
  EXPECT_DOUBLE_EQ(g.WheelRoll[1], 1.5);
  EXPECT_EQ(g.EngineFrequency, 38750);  // the 16-bit word keeps 39000
  EXPECT_EQ(g.SkidFrequency, 12000);    // from the first record
  EXPECT_EQ(g.EngineVolume, -1750);
  EXPECT_DOUBLE_EQ(g.Velocity[2], 20.25);
  EXPECT_EQ(g.AccelOn, 1);
  EXPECT_EQ(g.SurfaceFlags[4], 1);
  EXPECT_EQ(g.EngineStarted, 1);
}

// Records every 200 ms whose x is the record number in metres.
class PlaybackTest : public ztest::ReplayTest {
 protected:
  std::vector<TREPLAYREC> recs_;
  TREPLAY replay_{};
  void Make(const std::vector<double>& xs, uint32_t firstTime = 0) {
    recs_.assign(xs.size(), TREPLAYREC{});
    for (size_t i = 0; i < xs.size(); ++i) {
      recs_[i].Time = firstTime + 200 * static_cast<uint32_t>(i);
      recs_[i].Position[0] = static_cast<int32_t>(std::lround(xs[i] * 1000.0));
    }
    replay_.Records = recs_.data();
    replay_.LoadedCount = static_cast<int32_t>(xs.size());
  }
  // x of car 1 after a placement at T, NaN when it was not moved.
  double PlacedAt(int32_t time) {
    Car(1).Position[0] = std::numeric_limits<double>::quiet_NaN();
    SB_PlaceCarFromReplay(1, &replay_, time);
    return Car(1).Position[0];
  }
};

TEST_F(PlaybackTest, StartTimeClockBaseAndTheFirstRecord) {
  Make({0, 1, 2, 3, 4, 5, 6, 7});
  replay_.StartTime = 1000;
  replay_.ClockBase = 5000;
  EXPECT_DOUBLE_EQ(PlacedAt(5000), 5.0);  // the record at 1000 ms
  EXPECT_DOUBLE_EQ(PlacedAt(4100), 0.5);
  EXPECT_TRUE(std::isnan(PlacedAt(3999)));  // before the first record
  Make({0, 1, 2}, 400);
  replay_.StartTime = replay_.ClockBase = 0;
  EXPECT_TRUE(std::isnan(PlacedAt(399)));
  EXPECT_DOUBLE_EQ(PlacedAt(400), 0.0);
  Make({3});  // a single record is never placed
  EXPECT_TRUE(std::isnan(PlacedAt(0)));
  Make({});
  EXPECT_TRUE(std::isnan(PlacedAt(0)));
}

TEST_F(PlaybackTest, PastTheEndTheClockGoesBackToTheFirstPassage) {
  struct Row {
    std::vector<double> xs;
    int32_t loopRecord;
  };
  const Row rows[] = {
      {{0, 5, 10, 5, 0.2}, 0},               // a closed lap
      {{10, 6, 3, 1, 0.5, 2, 5, 0.6}, 4},    // the first local nearest point
      {{10, 6, 3, 1, 0.5, 1.4, 5, 0.6}, 4},  // a rise of at most 1 m^2 goes on
      {{1, 3, 6, 1.15, 6, 1.2}, 0},          // a nearer later passage is not looked for
  };
  for (const Row& r : rows) {
    Make(r.xs);
    replay_.StartTime = 100;
    replay_.ClockBase = 0;
    const int32_t end = 200 * static_cast<int32_t>(r.xs.size());
    EXPECT_TRUE(std::isnan(PlacedAt(end))) << "not moved in the call that loops";
    EXPECT_EQ(replay_.ClockBase, end - 200 * r.loopRecord + 100);
    EXPECT_DOUBLE_EQ(PlacedAt(end), r.xs[r.loopRecord]);
  }
}

TEST_F(PlaybackTest, TheDriftRateReturnsTowardZeroWithinItsBounds) {
  struct Row {
    double rate;
    int32_t elapsed;
    double after, drift;
  };
  const Row rows[] = {
      {0.5, 1000, 0.4, -400},  {0.05, 1000, 0.0, 0.0},  {-0.1, 500, -0.05, 25.0},
      {2.0, 10, 0.75, -7.5},   {-1.0, 10, -0.2, 2.0},
  };
  Make({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  for (const Row& r : rows) {
    replay_.DriftRate = r.rate;
    replay_.Drift = 0.0;
    replay_.ClockBase = replay_.StartTime = 0;
    SB_Var.CarReplays[1] = &replay_;
    SB_PlayReplayTick(1, 1000, r.elapsed);
    SB_Var.CarReplays[1] = nullptr;
    EXPECT_DOUBLE_EQ(replay_.DriftRate, r.after) << r.rate;
    EXPECT_DOUBLE_EQ(replay_.Drift, r.drift) << r.rate;
    EXPECT_DOUBLE_EQ(Car(1).Position[0], 5.0 + static_cast<int32_t>(r.drift) / 200.0) << r.rate;
  }
  SB_PlayReplayTick(2, 1000, 10);  // a car without replay
  SB_PlayReplayTick(-1, 1000, 10);
}

}  // namespace
