// Network car states: the state sent as game message 13, the transit time
// and the order of the states received, damaged states, and a remote car
// extrapolated from its last two states.
#include <cmath>
#include <cstring>
#include <limits>

#include "engine3d/matrix.h"
#include "net/netgame.h"
#include "net/types.h"
#include "tests/vehicles/replays/replay_fixture.h"
#include "vehicles/bytes.h"

namespace {

class CarStateTest : public ztest::ReplayTest {
 protected:
  void SetUp() override {
    ReplayTest::SetUp();
    for (int32_t i = 1; i < 4; ++i) {
      Car(i).Remote = 1;
      Car(i).TransitOffset = SB_TRANSITNONE;
    }
  }
  static TCARSTATE State(uint32_t time, double x = 0.0) {
    TCARSTATE s{};
    s.Time = time;
    s.Position[0] = static_cast<int32_t>(x * 1000.0);
    return s;
  }
  int32_t Receive(int32_t car, uint32_t now, const TCARSTATE& s) {
    SB_Var.Time = now;
    return SB_ReceiveCarState(car, &s);
  }
};

TEST_F(CarStateTest, TheTransitKeepsItsLeastAndALagMeasuresAfresh) {
  struct Row {
    uint32_t now, sent;
    int32_t offset, lag;
    uint32_t last, prev;  // the local times of the last two states kept
    int32_t stale;
  };
  const Row rows[] = {
      {1100, 1000, 100, 0, 1100, 0, 0},               // the first state measures the transit
      {1350, 1200, 100, 50, 1300, 1100, 0},           // a slower one keeps the least
      {1380, 1300, 80, 0, 1380, 1300, 0},             // a faster one lowers it
      {1380, 1290, 80, 10, 1380, 1300, 0},            // older: ignored
      {1380, 1300, 80, 0, 1380, 1300, 0},             // a duplicate: ignored
      {1780, 1400, SB_TRANSITNONE, 300, 1480, 1380, 1},  // 300 ms late
      {1800, 1700, 100, 0, 1800, 1480, 1},            // measured afresh
  };
  TCAR& c = Car(2);
  for (const Row& r : rows) {
    EXPECT_EQ(Receive(2, r.now, State(r.sent)), 1);
    EXPECT_EQ(c.TransitOffset, r.offset) << r.sent;
    EXPECT_EQ(c.LagResidue, r.lag) << r.sent;
    EXPECT_EQ(c.LastState.Time, r.last) << r.sent;
    EXPECT_EQ(c.PrevState.Time, r.prev) << r.sent;
    EXPECT_EQ(c.Stale, r.stale) << r.sent;
  }
  EXPECT_EQ(c.StatesReceived, 7);
}

TEST_F(CarStateTest, StatesForOtherCarsAndDamagedStates) {
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(Receive(-1, 100, State(50)), 0);
  EXPECT_EQ(Receive(4, 100, State(50)), 0);  // four cars
  EXPECT_EQ(Receive(16, 100, State(50)), 0);
  Car(3).Remote = 0;
  EXPECT_EQ(Receive(0, 100, State(50)), 1);  // the driven car
  EXPECT_EQ(Receive(3, 100, State(50)), 1);  // driven here
  EXPECT_EQ(Car(0).StatesReceived + Car(3).StatesReceived, 0);
  TCARSTATE bad[4] = {State(50), State(50), State(50), State(4294967295u)};
  bad[0].Speed = nan;
  bad[1].Velocity[2] = inf;
  bad[2].WheelRoll[3] = -inf;
  for (const TCARSTATE& s : bad) EXPECT_EQ(Receive(2, 100, s), 1);
  EXPECT_EQ(Car(2).StatesReceived, 0);
  EXPECT_EQ(Car(2).TransitOffset, SB_TRANSITNONE);
  EXPECT_EQ(Receive(2, 100, State(0)), 1);  // time 0 is a time
  EXPECT_EQ(Car(2).LastState.Time, 100u);
  for (uint32_t i = 1; i <= 1000; ++i) Receive(2, 100, State(i));  // a thousand in one frame
  EXPECT_EQ(Car(2).StatesReceived, 1001);
  EXPECT_EQ(Car(2).LastState.Time, 100u);  // all older than the first, at this transit
}

TEST_F(CarStateTest, ARemoteCarIsExtrapolatedFromItsLastTwoStates) {
  TCARSTATE p = State(1000, 1.0), l = State(1100, 2.0);
  p.Steering = 0.1f;
  l.Steering = 0.2f;
  p.WheelRoll[0] = 4.0f;
  l.WheelRoll[0] = 6.0f;
  p.Suspension[2] = 0;
  l.Suspension[2] = 51;
  p.EngineFrequency = 30000;
  l.EngineFrequency = 31000;
  p.Orientation = 1;
  l.Orientation = 2;
  l.Speed = 33.0f;
  l.RaceDistance = 1234.5f;
  l.Flags = 1 | 8 | 64;  // brake, the third surface, engine started
  Receive(2, 1000, p);
  Receive(2, 1100, l);
  SB_PlaceRemoteCar(2, 1150);
  const TCAR& c = Car(2);
  EXPECT_DOUBLE_EQ(c.Position[0], 2.5);
  EXPECT_NEAR(c.Steering, 0.25, 1e-6);
  EXPECT_DOUBLE_EQ(c.WheelRoll[0], 5.0);  // interpolated by the same factor
  EXPECT_NEAR(c.Suspension[2], 0.2 + 0.35 * 0.3, 1e-12);
  EXPECT_EQ(c.EngineFrequency, 31500);
  EXPECT_DOUBLE_EQ(c.Speed, 33.0);
  EXPECT_DOUBLE_EQ(c.Distance, 1234.5);
  EXPECT_EQ(c.BrakeOn, 1);
  EXPECT_EQ(c.SurfaceFlags[2], 1);
  EXPECT_EQ(c.SurfaceFlags[0], 0);
  EXPECT_EQ(c.EngineStarted, 1);
  EXPECT_EQ(c.Stale, 0);
  double upright[9];
  E3D_MatFromAngles16(upright, 160, 0, 0);  // angle field 2 plus half a step of 1
  for (int32_t k = 0; k < 9; ++k) EXPECT_DOUBLE_EQ(c.Orientation[k], upright[k]);
  SB_PlaceRemoteCar(2, 1350);  // 250 ms past the last state
  EXPECT_EQ(c.Stale, 1);
  EXPECT_DOUBLE_EQ(c.Position[0], 4.5);
}

TEST_F(CarStateTest, OnlyRemoteCarsWithAKnownTransitArePlaced) {
  Receive(2, 1000, State(1000, 7.0));
  Car(2).Remote = 0;
  SB_PlaceRemoteCar(2, 1000);
  SB_PlaceRemoteCar(3, 1000);  // no state yet
  SB_PlaceRemoteCar(0, 1000);  // the driven car
  SB_PlaceRemoteCar(-1, 1000);
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(Car(i).Position[0], 0.0) << i;
  Car(2).Remote = 1;
  SB_PlaceRemoteCar(2, 1000);  // a first state alone: the car holds at it
  EXPECT_DOUBLE_EQ(Car(2).Position[0], 7.0);
}

TEST_F(CarStateTest, TheDrivenCarsStateGoesToAllAsMessage13) {
  TCAR& c = Car(0);
  c.Position[0] = 1.5;
  c.Position[1] = -2.0;
  c.EngineVolume = -40000;
  c.EngineFrequency = 39000;
  c.Speed = 12.5;
  c.Suspension[3] = 0.55;
  c.BrakeOn = 1;
  c.SurfaceFlags[1] = 1;
  c.EngineStarted = 1;
  SB_Var.Time = 777;
  SB_PackCarState(0);
  SB_SendCarState(0);
  EXPECT_TRUE(ztest::g_sent.empty()) << "no network";
  SB_Var.XState = XSTATE_PLAYING;
  SB_Var.NetConnected = 1;
  SB_Var.XSubState = XSUBSTATE_WATCHING;
  SB_SendCarState(0);
  EXPECT_TRUE(ztest::g_sent.empty()) << "not playing";
  SB_Var.XSubState = XSUBSTATE_PLAYING;
  ztest::g_replaySimulated[1] = false;
  SB_SendCarState(1);
  EXPECT_TRUE(ztest::g_sent.empty()) << "not simulated";
  SB_SendCarState(0);
  ASSERT_EQ(ztest::g_sent.size(), 1u);
  const std::string m = ztest::g_sent[0];
  ASSERT_EQ(m.size(), 102u);  // "2:" and the 100 bytes, sent plain
  const auto* b = reinterpret_cast<const uint8_t*>(m.data() + 2);
  EXPECT_EQ(m.substr(0, 2), "2:");
  EXPECT_EQ(std::string(m.data() + 2, 12), std::string("\x0D\0\0\0\0\0\0\0\0\0\0\0", 12));
  EXPECT_EQ(SB_GetLong(b + 12), 777u);
  EXPECT_EQ(SB_GetLong(b + 16), 1500u);
  EXPECT_EQ(static_cast<int32_t>(SB_GetLong(b + 20)), -2000);
  EXPECT_EQ(SB_GetWord(b + 32), 32768u);  // the volume saturated at -32768
  EXPECT_EQ(SB_GetWord(b + 34), 39000u);
  EXPECT_EQ(SB_GetFloat(b + 36), 12.5f);
  EXPECT_EQ(b[12 + 43], 255);
  EXPECT_EQ(b[12 + 84], 1 | 4 | 64);
  TCARSTATE back;
  SB_ReadCarState(b + 12, &back);
  EXPECT_EQ(std::memcmp(&back, &c.OutState, sizeof back), 0) << "read as written";
}

TEST_F(CarStateTest, APlayerOrderMismatchIsToldOnceARaceAndTheStateStillSent) {
  SB_Var.XState = XSTATE_PLAYING;
  SB_Var.NetConnected = 1;
  SB_Var.XSubState = XSUBSTATE_PLAYING;
  ztest::g_playerOrder = 3;
  for (int32_t frame = 0; frame < 3; ++frame) SB_SendCarState(0);
  SB_ResetReplayClocks();  // each frame of the wait for every player
  SB_SendCarState(0);
  NET_ResetRaceNotices();  // the next race
  SB_SendCarState(0);
  EXPECT_EQ(ztest::g_sent.size(), 5u);
  EXPECT_EQ(Printed(), (std::vector<std::string>{"XNET_PlayerOrder(3)!=SB_PlayerNumberOfCar(0)",
                                                 "XNET_PlayerOrder(3)!=SB_PlayerNumberOfCar(0)"}));
}

}  // namespace
