// One race frame: SB_RaceFrame with the later subsystems' stubs, 16 cars in
// a TRAINING race under way, the HUD's fonts and dial of the build's data
// tree on a 640 x 480 x 16 overlay, on the accelerator's fast path
// (renderer 3, the views pipelined) and off it (renderer 0).
#include <benchmark/benchmark.h>

#include "bench/benchlib.h"
#include "race/raceframe.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "system/win/shell.h"
#include "tests/support/cartable.h"

namespace {

struct Race {
  bench::DataTreeLibrary library;
  bench::HudOverlay overlay{true};
  TCAR cars[SB_MAXCARS]{};

  explicit Race(int32_t renderer) {
    LS_SetInputMode(1);  // as in a race: key tests do not pump
    SB_CreateDataView();
    SB_Var.Renderer = renderer;
    SB_Var.RenderMap = renderer == SB_RENDERER_PVR ? POWER_RenderMap : nullptr;
    SB_Var.RenderFrame = renderer == SB_RENDERER_PVR ? POWER_RenderFrame : nullptr;
    ztest::MakeCarTable(cars, SB_MAXCARS);
    for (int32_t i = 0; i < SB_MAXCARS; ++i) cars[i].Position[0] = 10.0 * i;
    SB_Var.ShowDashboard = 1;
    SB_Var.FrameTime = 16;
    SB_SetGameMode(SB_TRAINING);
    SB_SetGameModeSteps(SB_TRAINING);
    while (SB_GetGameStep() != SB_STEP_RACING) SB_NextGameStep();
  }
  ~Race() { SB_FreeDataView(); }
};

void BM_RaceFrame(benchmark::State& state) {
  Race race(static_cast<int32_t>(state.range(0)));
  for (auto _ : state) {
    SB_RaceFrame();
    benchmark::DoNotOptimize(SB_Var.CurrentView);
  }
  state.SetLabel(SB_IsFastRenderPath() ? "fast path" : "software path");
}

BENCHMARK(BM_RaceFrame)->Arg(SB_RENDERER_PVR)->Arg(0)->ArgName("renderer")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
