// The decor script executor: starting blocks, GOTO, random durations,
// motion by speed, table, jump and acceleration, angles, heading along the
// motion, height above a sloped map's ground, the end of commands and
// blocks, and scripts that would hang or write through nothing.
#include <cmath>

#include "datagen/rampbridge.h"
#include "track/decor.h"
#include "track/ground.h"
#include "track/scene.h"
#include "tests/scenery/decor_fixture.h"

namespace {

using scenerytest::DecorTest;

class DecorExecTest : public DecorTest {
 protected:
  // Loads the script and starts every block at time 0.
  void Start(const std::string& script, const std::string& object = "obc>decor>moulin.obc") {
    LoadOne(script, object);
    ASSERT_NE(SB_Var.DecorObjects, nullptr);
    SB_Var.Time = 0;
    SB_ResetDecorScripts();
  }
  static double X(int32_t j = 0) { return Block(j).Position[0]; }
  // The column of the moved object's orientation for a model axis, in
  // world axes.
  static std::array<double, 3> Axis(const OBJECT* o, int32_t column) {
    return {o->Orientation[3 * column], o->Orientation[3 * column + 1], o->Orientation[3 * column + 2]};
  }
};

TEST_F(DecorExecTest, StartingABlockRunsItFromItsFirstCommand) {
  Start("{ {TIME 1} {TIME 1} } { {TIME 1} }");
  Block(0).Flags = 0xFFFF0000u;
  Block(0).CurrentCommand = 1;
  SB_StartDecorBlock(0, 0);
  EXPECT_EQ(Block(0).Flags, 0x100u);
  EXPECT_EQ(Block(0).CurrentCommand, 0);
  EXPECT_TRUE(Command(0, 0).Flags & 0x20);
  EXPECT_EQ(Entry().CurrentBlock, 0);
  SB_StartDecorBlock(0, -1);
  EXPECT_EQ(Entry().CurrentBlock, -1);
  for (auto [i, j] : {std::pair{0, 2}, {1, 0}, {-1, 0}, {0, -2}}) SB_StartDecorBlock(i, j);
  EXPECT_EQ(Entry().CurrentBlock, -1);
  SB_ResetDecorScripts();
  EXPECT_EQ(Entry().CurrentBlock, 1);  // the last one started
  EXPECT_EQ(Block(1).Flags, 0x100u);
}

TEST_F(DecorExecTest, SwitchedOffNothingRestartsOrMoves) {
  Start("{ {SPEED 1 0 0 TIME 10} }");
  SB_Var.DecorObjectsOn = 0;
  Frame(0), Frame(1000);
  EXPECT_EQ(X(), 0.0);
  Block(0).Flags = 0;
  SB_ResetDecorScripts();
  EXPECT_EQ(Block(0).Flags, 0u);
}

TEST_F(DecorExecTest, ASpeedMovesFromTheSecondFrameUntilTheFrameItsTimeIsOver) {
  Start("{ {SPEED 1 0 0 TIME 2} }");
  const std::pair<uint32_t, double> frames[] = {{0, 0.0},    {500, 0.5},  {1000, 1.0}, {1500, 1.5},
                                                {2000, 2.0}, {2500, 2.0}, {3000, 2.0}};
  for (auto [ms, x] : frames) {
    Frame(ms);
    EXPECT_DOUBLE_EQ(X(), x) << ms;
    EXPECT_FLOAT_EQ(Entry().Object->Position[0], static_cast<float>(x * 60800.0)) << ms;
  }
  EXPECT_EQ(Block(0).Flags & 0x100, 0u);  // ran once and kept its last place
}

TEST_F(DecorExecTest, AGotoRedirectsInTheSameFrameAndATargetPastTheEndGoesToTheFirst) {
  Start("{ {GOTO 2} {XYZ 9 9 9} {XYZ 1 2 3 RIGHTNOW} {GOTO 200} }");
  Frame(0);
  EXPECT_EQ(Block(0).Position[1], 2.0);
  EXPECT_EQ(Block(0).CurrentCommand, 3);
  Frame(10);  // GOTO 200 -> 0 -> GOTO 2: a fresh start of command 2
  EXPECT_EQ(Command(0, 2).StartTime, 10);
  EXPECT_EQ(Block(0).CurrentCommand, 3);
}

TEST_F(DecorExecTest, RandtimeDrawsUpToItsSecondsEachTimeTheCommandStarts) {
  for (auto [seconds, most] : {std::pair{3, 3.0}, {66, 0.464}}) {
    Start("{ {RANDTIME " + std::to_string(seconds) + " RIGHTNOW} {GOTO 0} }");
    double highest = 0.0, previous = -1.0;
    int32_t changes = 0;
    for (uint32_t ms = 0; ms < 400; ms += 2) {
      Frame(ms);
      const double d = Command(0, 0).Duration;
      EXPECT_GE(d, 0.0);
      EXPECT_LE(d, most) << seconds;
      highest = std::max(highest, d);
      changes += d != previous ? 1 : 0;
      previous = d;
    }
    EXPECT_GT(highest, most * 0.8) << seconds;
    EXPECT_GT(changes, 100) << seconds;
  }
}

TEST_F(DecorExecTest, ATableIsFollowedByTheDistanceAndEndsAtItsLastRecord) {
  Write("DECOR/PATH.TAB", datagen::TableBytes({{0, 0, 0}, {2, 0, 0}, {2, 0, 2}}));
  Start("{ {TABLE \"decor>path.tab\" SPEED 1 0 0 TIME 0.1} {XYZ 9 9 9} }");
  const std::pair<uint32_t, std::array<double, 3>> frames[] = {
      {0, {0, 0, 0}}, {500, {1, 0, 0}}, {1000, {2, 0, 0}}, {1500, {2, 0, 1}}, {2000, {2, 0, 1}}};
  for (const auto& [ms, p] : frames) {
    Frame(ms);
    for (int32_t a = 0; a < 3; ++a) EXPECT_DOUBLE_EQ(Block(0).Position[a], p[a]) << ms << " " << a;
  }
  EXPECT_EQ(Block(0).CurrentCommand, 1);
  EXPECT_DOUBLE_EQ(Command(0, 0).TableCursor, 2.0);
}

TEST_F(DecorExecTest, XyzJumpsOnlyWithoutSpeed) {
  Start("{ {XYZ 5 6 7 SPEED 1 0 0 TIME 1} } { {XYZ 5 6 7 TIME 1} }:PALES");
  Frame(0), Frame(500);
  EXPECT_DOUBLE_EQ(X(0), 0.5);
  EXPECT_DOUBLE_EQ(X(1), 5.0);
  EXPECT_FLOAT_EQ(Part("PALES")->Position[2], 7 * 60800.0f);
}

TEST_F(DecorExecTest, AnglesTurnTheObjectAboutTheVerticalAndAngularSpeedsWin) {
  // The side (-z) axis of the model faces world +x at 0 degrees, +z at 90.
  struct Row {
    const char* script;
    std::array<double, 3> side;
  };
  for (const Row& row : {Row{"ANGLE 0 0 0", {1, 0, 0}}, Row{"ANGLE 0 90 0", {0, 0, 1}},
                         Row{"ANGLE 0 90 0 ASPEED 0 10 0", {1, 0, 0}}}) {
    Start(std::string("{ {") + row.script + " TIME 5} }");
    Frame(0);
    const auto side = Axis(Entry().Object, 2);
    for (int32_t a = 0; a < 3; ++a) EXPECT_NEAR(-side[a], row.side[a], 1e-4) << row.script;
    EXPECT_NEAR(Entry().Object->Orientation[1], -1.0, 1e-4) << row.script;  // still upright
  }
  // Degrees to 16-bit angles are truncated: 0.01 degrees is 1 unit.
  Start("{ {ANGLE 0 0.01 0 TIME 5} }");
  Frame(0);
  TMATRIX m;
  E3D_MatFromAngles16(m, 0, 1, 0);
  E3D_MatMul(m, SB_Var.CarAxisMatrix, m);
  for (int32_t k = 0; k < 9; ++k) EXPECT_EQ(Entry().Object->Orientation[k], static_cast<float>(m[k]));
}

TEST_F(DecorExecTest, AngularSpeedKeepsItsAnglesWithinOneTurn) {
  Start("{ {ASPEED 100 -50 0 TIME 100} }");
  const std::array<std::array<double, 2>, 5> expected = {{{0, 0}, {100, 310}, {200, 260}, {300, 210}, {40, 160}}};
  for (uint32_t s = 0; s < expected.size(); ++s) {
    Frame(s * 1000);
    EXPECT_NEAR(Block(0).Angles[0], expected[s][0], 1e-9) << s;
    EXPECT_NEAR(Block(0).Angles[1], expected[s][1], 1e-9) << s;
  }
  Start("{ {ASPEED 1000 0 0 TIME 100} }");
  Frame(0), Frame(1000);
  EXPECT_NEAR(Block(0).Angles[0], 280.0, 1e-9);
}

TEST_F(DecorExecTest, AccelerationsAreHeldByTheirLimitsAndKeptThroughGoto) {
  Start("{ {SPEED 0 0 0 ACC 1 0 0 VMINMAX 0 1.5 AACC 0 -10 0 AVMINMAX -12 0 TIME 1} {GOTO 0} }");
  const std::pair<uint32_t, double> frames[] = {{0, 0.0}, {500, 0.5}, {1000, 1.0}, {1500, 1.0}, {2000, 1.5}, {2500, 1.5}};
  for (auto [ms, speed] : frames) {
    Frame(ms);
    EXPECT_DOUBLE_EQ(Command(0, 0).Speed[0], speed) << ms;
  }
  EXPECT_DOUBLE_EQ(Command(0, 0).AngularSpeed[1], -12.0);
  EXPECT_DOUBLE_EQ(X(), 0.25 + 0.5 + 0.75);
}

TEST_F(DecorExecTest, AutoangleHeadsAlongTheMotionAndAutopencheAddsItsSlope) {
  struct Row {
    std::array<double, 3> speed;
    bool pitch;
  };
  for (const Row& row : {Row{{1, 0, 1}, false}, Row{{-1, 0, 2}, false}, Row{{3, 0, -1}, false},
                         Row{{1, -1, 1}, true}, Row{{-2, 1, -1}, true}, Row{{1, -1, 1}, false}}) {
    char script[160];
    std::snprintf(script, sizeof script, "{ {SPEED %g %g %g AUTOANGLE %s TIME 9} }", row.speed[0], row.speed[1],
                  row.speed[2], row.pitch ? "AUTOPENCHE" : "");
    Start(script);
    Frame(0), Frame(100);
    std::array<double, 3> motion = row.speed;
    if (!row.pitch) motion[1] = 0;
    const double n = std::sqrt(motion[0] * motion[0] + motion[1] * motion[1] + motion[2] * motion[2]);
    const auto side = Axis(Entry().Object, 2);
    for (int32_t a = 0; a < 3; ++a) EXPECT_NEAR(-side[a], motion[a] / n, 1e-4) << script << " " << a;
  }
  // Motion along one axis alone leaves the orientation as it was.
  for (const char* speed : {"1 0 0", "0 0 -1", "0.0005 0 1"}) {
    Start(std::string("{ {ANGLE 0 45 0 RIGHTNOW} {SPEED ") + speed + " AUTOANGLE TIME 9} }");
    Frame(0);
    float before[9];
    std::memcpy(before, Entry().Object->Orientation, sizeof before);
    Frame(100), Frame(200);
    EXPECT_EQ(std::memcmp(before, Entry().Object->Orientation, sizeof before), 0) << speed;
  }
  // Nor does the jump of a command's first frame turn it.
  Start("{ {ANGLE 0 45 0 RIGHTNOW} {XYZ 5 0 -5 AUTOSPEED AUTOANGLE TIME 9} {XYZ 9 0 -9} }");
  Frame(0);
  float before[9];
  std::memcpy(before, Entry().Object->Orientation, sizeof before);
  Frame(100);
  EXPECT_DOUBLE_EQ(X(), 5.0);
  EXPECT_EQ(std::memcmp(before, Entry().Object->Orientation, sizeof before), 0);
}

TEST_F(DecorExecTest, RightnowEndsACommandAfterOneFrameAndADurationOfZeroWhenTimePasses) {
  Start("{ {XYZ 1 0 0 RIGHTNOW TIME 50} {SPEED 1 0 0} {XYZ 7 0 0} }");
  Frame(0);
  EXPECT_EQ(Block(0).CurrentCommand, 1);
  Frame(0), Frame(0);  // no time has passed: 0 / 0 is not done
  EXPECT_EQ(Block(0).CurrentCommand, 1);
  Frame(10);
  EXPECT_EQ(Block(0).CurrentCommand, 2);
  EXPECT_DOUBLE_EQ(X(), 1.01);
  Frame(20);
  EXPECT_DOUBLE_EQ(X(), 7.0);
  Frame(30);
  EXPECT_EQ(Block(0).Flags, 0u);  // the last command done: the block stops
}

TEST_F(DecorExecTest, ScriptsThatWouldHangOrWriteThroughNothingDoNeither) {
  Start("{ {GOTO 1} {GOTO 0} } { } { {SPEED 1 0 0 TIME -1} } { {SPEED 1 0 0 TIME nan} } "
        "{ {SPEED 1 0 0 TIME 1} }:NOSUCHPART { {XYZ 1 2 3 AUTOALT 2 ANGLE 1 2 3 AUTOANGLE TIME 1} }");
  for (uint32_t ms = 0; ms <= 3000; ms += 500) Frame(ms);
  EXPECT_EQ(Block(0).Flags, 0u);  // a GOTO-only cycle stops in its first frame
  EXPECT_EQ(Block(1).Flags, 0u);  // no commands
  EXPECT_EQ(Block(2).Flags, 0x100u);  // a negative duration never ends
  EXPECT_EQ(Block(4).Object, nullptr);
  EXPECT_DOUBLE_EQ(X(4), 1.0);  // it runs, and writes nothing
  EXPECT_EQ(Part("PALES")->Position[0], 0.0f);
  // Nothing loaded: the blocks run without an object.
  Start("{ {XYZ 1 2 3 AUTOALT 2 ANGLE 1 2 3 ASPEED 1 1 1 TIME 1} }", "obc>decor>missing.obc");
  Frame(0), Frame(500), Frame(1500);
  EXPECT_DOUBLE_EQ(X(), 1.0);
}

// On a map whose ground slopes, AUTOALT keeps the object's base that high
// above it, the vertical axis pointing down.
class DecorGroundTest : public DecorExecTest {
 protected:
  void TearDown() override {
    SB_FreeListXZYPoly();
    SB_FreeXZYList();
    SB_FreeDecor();
    DecorExecTest::TearDown();
  }
};

TEST_F(DecorGroundTest, AutoaltKeepsTheBaseAboveTheSlopedGround) {
  Write("ASC/SCENE.ASC", datagen::RampBridgeScene());
  ASSERT_EQ(SB_LoadAndBuildMap("ASC>SCENE.ASC"), 1);
  BuildXZYList();
  BuildListXZYPoly();
  // Scene (X, Y, Z) metres is world (X - 6.4, -Z - 6.4, Y - 6.4): up the
  // ramp, Y from 60 (ground) to 20 (the deck, 6 m up), at 4 m/s.
  Start("{ {XYZ -6.4 0 53.6 RIGHTNOW} {SPEED 0 0 -4 AUTOALT 2 TIME 10} }");
  Frame(0);
  for (uint32_t ms = 750; ms <= 9000; ms += 750) {
    Frame(ms);
    const double y = Block(0).Position[2] + 6.4;
    const double slope = y >= datagen::kRampTo ? 0.0 : datagen::kBridgeDeck * (datagen::kRampTo - y) /
                                                           (datagen::kRampTo - datagen::kRampFrom);
    const double ground = -slope - 6.4;
    EXPECT_NEAR(Entry().Object->Position[1] / 60800.0, ground - 2.0, 0.15) << ms;
  }
}

}  // namespace
