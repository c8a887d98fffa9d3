// The near-car placement of replay cars: 15 cars within 20 m of the
// driven one, each placed from its replay at every physics step of a 25 ms
// frame (steps of 10, 10 and 5 ms), as the fixed-step driver does, with
// real replays: the build's attract replay "SA0.REP" (a lap from the grid)
// and a full recording of 4 min 30 s (1,350 records) of the default car
// driven round the default circuit by the scripted driver. The cars start
// at different points of their replay and loop at its end.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <string>

#include "datagen/circuitdrive.h"
#include "shell/sbvar.h"
#include "vehicles/physics.h"
#include "vehicles/replays.h"
#include "vehicles/vehicles.h"

namespace {

constexpr int32_t kReplayCars = 15;
constexpr int32_t kFrameSteps[] = {10, 10, 5};  // ms: a 25 ms frame

// The library over the build's data tree, a folder of its own as drive D:
// holding the full recording, and 16 car records, car 0 the driven one.
class Fleet {
 public:
  Fleet() {
    char pattern[] = "/tmp/zentrova-bench-XXXXXX";
    folder_ = mkdtemp(pattern);
    library_ = std::make_unique<datagen::TreeLibrary>(ZENTROVA_DATA_DIR, 64u << 20, folder_);
    full_ = library_->Started() && RecordFull();
  }
  ~Fleet() {
    SB_FreeAllCarReplays();
    for (TCAR*& car : SB_Var.Cars) car = nullptr;
    library_.reset();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  bool full() const { return full_; }
  // Every replay car given the replay, each starting further into it.
  bool Load(const char* name) {
    for (int32_t i = 0; i < SB_MAXCARS; ++i) cars_[i] = TCAR{}, SB_Var.Cars[i] = &cars_[i];
    SB_Var.NbCars = SB_MAXCARS;
    SB_Var.UsingCars = 1;
    SB_Var.DrivenCar = 0;
    SB_FreeAllCarReplays();
    for (int32_t i = 1; i <= kReplayCars; ++i)
      if (SB_LoadCarReplay(name, i, 0) != 1) return false;
    const uint32_t length = SB_Var.CarReplays[1]->Records[SB_Var.CarReplays[1]->LoadedCount - 1].Time;
    for (int32_t i = 1; i <= kReplayCars; ++i) SB_Var.CarReplays[i]->StartTime = static_cast<int32_t>(length / 16 * i);
    SB_ResetReplayClocks();
    return true;
  }

 private:
  // 4 min 30 s of the default car round the default circuit, written as
  // "D:>FULL.REP".
  static bool RecordFull() {
    datagen::CircuitDrive drive;
    std::string error;
    if (!drive.Start(&error)) return false;
    while (SB_Var.LocalReplay->RecordCount < SB_MAXREPLAYRECORDS) drive.Frame(20);
    return SB_SaveCarReplay("D:>FULL.REP") == 1;
  }
  std::string folder_;
  std::unique_ptr<datagen::TreeLibrary> library_;
  bool full_ = false;
  TCAR cars_[SB_MAXCARS];
};

void BM_PlaceNearReplayCars(benchmark::State& state) {
  static Fleet fleet;
  const bool full = state.range(0) == 1;
  if (!fleet.full() || !fleet.Load(full ? "D:>FULL.REP" : "SA0.REP")) {
    state.SkipWithError("the data tree's circuit or attract replay did not load");
    return;
  }
  int32_t time = static_cast<int32_t>(SB_Var.Time);
  for (auto _ : state) {
    for (int32_t step : kFrameSteps) {
      time += step;
      for (int32_t i = 1; i <= kReplayCars; ++i) {
        SB_PlaceRemoteCar(i, time);
        SB_PlayReplayTick(i, time, step);
      }
    }
  }
  state.counters["records"] = SB_Var.CarReplays[1]->LoadedCount;
  state.counters["per_placement"] = benchmark::Counter(kReplayCars * std::size(kFrameSteps),
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
}
BENCHMARK(BM_PlaceNearReplayCars)->ArgName("full")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
