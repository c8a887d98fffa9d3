// The first lap: the default car driven round the default circuit by the
// scripted driver through the real race-phase sequencer.
#include <algorithm>
#include <cmath>
#include <random>

#include "console/hooks.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "shell/gameclock.h"
#include "datagen/scripteddriver.h"
#include "tests/vehicles/setup/circuit_fixture.h"
#include "track/bspline.h"

namespace ztest {
namespace {

class FirstLapTest : public CircuitTest {
 protected:
  void SetUp() override {
    CircuitTest::SetUp();
    SB_InstallHooks();
    SB_Var.GameMode = SB_OFFLINE;
    SB_Var.GridStart = 1;
    SB_ApplyGameModeSettings();
    SB_EvolutionPrepare();
    ASSERT_GT(SB_Var.NbBsplinePoints, 1000);
    SB_Var.ControlMode = 0;
    SB_Var.LinearInput = 1;
    SB_SetControlMap();
    Stick(0, 0, 0);
    SB_Var.CameraMode = 1;
  }
  void TearDown() override {
    g_perStep = nullptr;
    SB_FreeBsplinePoints();
    CircuitTest::TearDown();
  }
  // One car on the grid driven until it has done a lap past the start
  // line; the lap's game time in ms from "GO", -1 when it never ends.
  int32_t Lap(const std::function<int32_t()>& frameTime) {
    MakeRace(1);
    TCAR& car = *SB_Var.Cars[0];
    car.TexturesReady = 1;
    SB_SetGameModeSteps(SB_OFFLINE);
    SB_Var.RaceClockStart = -1;  // a fresh race: its clock starts at the first lap
    SB_ResetClock();
    datagen::ScriptedDriver driver;
    int32_t go = -1;
    bool onRoad = true, walls = false;
    g_perStep = [&](int32_t) {
      for (const TVECTOR& point : car.WheelPoints) {
        double p[3];
        ToWorld(car, {point.x, point.y + car.WheelHeightOffset, point.z}, p);
        onRoad = onRoad && RoadUnder(p) != 100000.0 / 320.0;
      }
      walls = walls || car.ScrapeVolume != -10000;
    };
    for (int32_t frame = 0; frame < 10000 && car.Laps < 1; ++frame) {
      plat::AdvanceManualTime(static_cast<uint32_t>(frameTime()));
      SB_UpdateClock();
      const datagen::DriverInput in = driver.Frame(car, SB_GetGameStep());
      Stick(0, in.x, in.y, in.buttons);
      SB_SnapshotControls();
      SB_DoGameMode();
      SB_UpdateLapCounters();
      SB_UpdateCars();
      if (go < 0 && SB_GetGameStep() >= 15) go = static_cast<int32_t>(SB_Var.Time);
    }
    EXPECT_TRUE(onRoad);
    EXPECT_FALSE(walls);
    EXPECT_EQ(SB_Var.AutomaticGears, 1);
    return car.Laps >= 1 ? static_cast<int32_t>(SB_Var.Time) - go : -1;
  }
};

TEST_F(FirstLapTest, TheDefaultCarDrivesALap) {
  const int32_t lap = Lap([] { return 20; });
  RecordProperty("lap_ms", lap);
  EXPECT_GE(lap, 30000);
  EXPECT_LE(lap, 60000);
  // The same lap at seeded frame times of 12 to 45 ms.
  for (TCAR*& car : SB_Var.Cars) SB_FreeVehicle(car), car = nullptr;
  std::mt19937 random(34);
  std::uniform_int_distribution<int32_t> times(12, 45);
  const int32_t uneven = Lap([&] { return times(random); });
  EXPECT_NEAR(uneven, lap, lap * 0.03);
  RecordProperty("uneven_lap_ms", uneven);
}

// The README's keys on the keyboard preset, as a player follows them:
// accelerate chooses the automatic gearbox, a fresh press after "GO"
// starts the engine, gear up once it has cranked leaves neutral, then
// accelerate is held.
TEST_F(FirstLapTest, TheReadmesKeysDriveTheCarAwayWithin20s) {
  SB_Var.ControlMode = 1;
  SB_SetControlMap();
  MakeRace(1);
  TCAR& car = *SB_Var.Cars[0];
  car.TexturesReady = 1;
  SB_SetGameModeSteps(SB_TRAINING);
  SB_ResetClock();
  struct Press {
    int32_t from, to, key;  // ms of game time the key is held
  };
  const Press presses[] = {{100, 200, 16}, {600, 700, 16}, {3000, 3100, 65}, {3100, 20000, 16}};
  const double start = car.Distance;
  for (int32_t t = 20; t <= 20000; t += 20) {
    plat::AdvanceManualTime(20);
    SB_UpdateClock();
    for (int32_t key : {16, 65})
      plat::SetKeyState(key, std::any_of(std::begin(presses), std::end(presses), [&](const Press& p) {
                          return p.key == key && t >= p.from && t < p.to;
                        }));
    SB_SnapshotControls();
    SB_DoGameMode();
    SB_UpdateLapCounters();
    SB_UpdateCars();
  }
  EXPECT_EQ(SB_Var.AutomaticGears, 1);
  EXPECT_GE(car.Distance - start, 100.0) << "metres along the centre line";
  for (const Press& p : presses) plat::SetKeyState(p.key, false);
}

}  // namespace
}  // namespace ztest
