// One physics step of a driven car on the default circuit of the build's
// data tree, with the others near it: eight car records take turns as the
// driven car at 100 Hz through 10 s of scripted throttle, gears and
// steering (engine start, crank, then driving in a loose pack). Each step
// includes the wheel model, the wheel and body face gathering, the ground
// queries of the four wheels and their neighbours, the twelve wall sweeps
// and the car-car tests.
#include <benchmark/benchmark.h>

#include <cmath>

#include "bench/benchlib.h"
#include "shell/hooks.h"
#include "tests/support/testcar.h"
#include "track/decor.h"
#include "track/ground.h"
#include "vehicles/drive.h"

namespace {

constexpr int32_t kCars = 8;
constexpr int32_t kSteps = 1000;           // 10 s at 100 Hz
constexpr double kRoad = -2044.0 / 320.0;  // the circuit's polygon road height, metres

// A test car of working values, in a loose pack of two columns 3 m apart
// and 6 m between rows, wheels on the road.
void SetCar(TCAR* car, int32_t i) {
  ztest::SetTestCar(car);
  car->AutomaticGears = 1;
  car->Airfrict = 0.0005;
  car->Position[0] = (i % 2) * 3.0 - 1.5;
  car->Position[1] = kRoad - car->WheelHeightOffset;
  car->Position[2] = (i / 2) * 6.0 - 9.0;
}

// The script at step s: throttle after 0.1 s (the fresh press starts the
// engine), first gear once it has cranked, and a right-hand circle of some
// 25 m radius with a slow weave, which keeps the pack on the square.
void Script(TCAR* car, int32_t s, int32_t i) {
  car->AccelOn = s >= 10;
  car->AccelAmount = car->AccelOn ? 0.6 : 0.0;
  car->GearUp = s == 230;
  car->RightAmount = 0.5 + 0.1 * std::sin(s * 0.013 + i);
  car->RightAnalog = 1;
}

struct Circuit {
  bench::DataTreeLibrary library;
  TCAR cars[kCars] = {};
  Circuit() {
    if (!SB_LoadDecor("DEC>NETRACE.DEC")) return;
    BuildListXZYPoly();
    SB_Var.NbCars = kCars;
    SB_Var.UsingCars = 1;
    SB_Var.PhysicsDt = 0.01;  // with no step list the race is running
    Reset();
  }
  ~Circuit() {
    SB_FreeListXZYPoly();
    SB_FreeDecor();
  }
  void Reset() {
    for (int32_t i = 0; i < kCars; ++i) {
      SetCar(&cars[i], i);
      SB_Var.Cars[i] = &cars[i];
    }
  }
  // Every car steps once as the driven car.
  void Round(int32_t s) {
    SB_Var.PrevControls.AccelOn = s > 10;
    for (int32_t i = 0; i < kCars; ++i) {
      SB_Var.DrivenCar = i;
      for (int32_t j = 0; j < kCars; ++j) {
        const double dx = cars[j].Position[0] - cars[i].Position[0],
                     dz = cars[j].Position[2] - cars[i].Position[2];
        cars[j].DistanceToDriven = std::sqrt(dx * dx + dz * dz);
      }
      Script(&cars[i], s, i);
      SB_PhysicsStep(i);
    }
  }
};

void BM_PhysicsStep(benchmark::State& state) {
  Circuit circuit;
  if (!SB_Var.Cube10Polys) {
    state.SkipWithError("the data tree's circuit did not load");
    return;
  }
  int32_t s = 0;
  double fastest = 0.0;
  for (auto _ : state) {
    circuit.Round(s);
    if (++s == kSteps) {
      for (const TCAR& car : circuit.cars) fastest = std::fmax(fastest, car.Speed);
      s = 0;
      circuit.Reset();
    }
  }
  state.counters["per_car_step"] =
      benchmark::Counter(kCars, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["top_speed"] = fastest;
}
BENCHMARK(BM_PhysicsStep)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
