// One race HUD frame: SB_DrawHud on a 640 x 480 x 16 overlay in a
// MULTIRACE under way (step 15), every element shown, three messages and
// the dial, with the fonts and the dial of the build's data tree.
#include <benchmark/benchmark.h>

#include "bench/benchlib.h"
#include "net/netplayer.h"
#include "race/sequencer.h"
#include "tests/race/rules/hud_scene.h"
#include "tests/support/cartable.h"

namespace {

// The library on a drive C: of the data tree, the overlay and a race of
// three networked players under way.
struct Race {
  bench::DataTreeLibrary library;
  bench::HudOverlay overlay{false};
  TCAR cars[3]{};
  int32_t view = 0;

  Race() {
    SB_Var.XState = XSTATE_PLAYING;
    SB_Var.NetConnected = 1;
    SB_Var.NetSlots = SB_Var.NetMaxPlayers = 3;
    ztest::MakeCarTable(cars, 3);
    for (int i = 0; i < 3; ++i) {
      SB_Var.NetPlayers[i] =
          CTRL_PLAYER{static_cast<uint32_t>(100 + i), 1, XSTATE_PLAYING, 0, 1, 0, 0, {}, 0};
      cars[i].Place = i + 1;
    }
    SB_Var.PreviousView = reinterpret_cast<TSOFTSCENE*>(&view);
    SB_Var.CameraMode = 1;
    SB_Var.ShowDashboard = 1;
    SB_SetGameMode(SB_MULTIRACE);
    while (SB_GetGameStep() != SB_STEP_RACING) SB_NextGameStep();
    SetHudSceneUnderWay(cars[0]);
    cars[0].Speed = 40.0;
    cars[0].EngineSpeed = 500.0;
    cars[0].Gear = 3;
    SB_HudMessage("Player %s has arrived...", "ANNA");
    SB_HudMessage("LAP RECORD");
    SB_HudMessage("%s:%s", "BOB", "SEE YOU AT THE FINISH");
  }
};

void BM_DrawHud(benchmark::State& state) {
  Race race;
  if (!SB_Fonts[0].Loaded || !SB_Dial.Current)
    return state.SkipWithError("the data tree's fonts or dial did not load");
  for (auto _ : state) {
    SB_DrawHud();
    benchmark::DoNotOptimize(SB_Var.TextScreen->Start);
  }
}

BENCHMARK(BM_DrawHud)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
