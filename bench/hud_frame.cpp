// One race HUD frame: SB_DrawHud on a 640 x 480 x 16 overlay in a
// MULTIRACE under way (step 15), every element shown, three messages and
// the dial, with the fonts and the dial of the build's data tree.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/datatree.h"
#include "engine3d/videotable.h"
#include "net/netplayer.h"
#include "shell/dial.h"
#include "shell/hud.h"
#include "shell/owner.h"
#include "shell/racerules.h"
#include "shell/sbvar.h"
#include "shell/sequencer.h"
#include "tests/shell/hud_scene.h"

namespace {

// The library on a drive C: of the data tree, and a race under way.
struct Race {
  DataTreeLibrary library;
  PALETTE palette{};
  TCAR cars[3]{};
  int32_t view = 0;

  Race() {
    for (int i = 0; i < 255; ++i)
      palette.Entry[i] = {static_cast<uint8_t>(i & 63), static_cast<uint8_t>(i >> 2), 20};
    palette.Entry[255] = {SB_FONTBACK_RED / 4, SB_FONTBACK_GREEN / 4, SB_FONTBACK_BLUE / 4};
    SB_Var.Pal3d = &palette;
    SB_Var.TextScreen = SB_CreateBmap(640, 480, 16, 0, "overlay");
    SB_Var.TextScreen->Format = BMAP_RGB555;  // the 16-bit modes' format without a screen
    SB_Var.VideoModeIndex = 17;
    SB_Var.VideoModes[17].Format = SB_Var.VideoModes[17].TextureFormat = BMAP_RGB555;
    LS_InitWindow(SB_Var.TextScreen, &SB_Var.ScreenWindow, 12, 0, 40, 640, 400);
    SB_InitFonts();
    SB_RemapFonts();
    SB_LoadCounters();
    SB_LoadCounter2();
    StartRace();
  }
  ~Race() {
    SB_DisposeFonts();
    SB_FreeCounters();
    SB_FreeBmap(SB_Var.TextScreen);
  }

  void StartRace() {
    SB_Var.XState = XSTATE_PLAYING;
    SB_Var.NetConnected = 1;
    SB_Var.NetSlots = SB_Var.NetMaxPlayers = 3;
    for (int i = 0; i < 3; ++i) {
      SB_Var.NetPlayers[i] =
          CTRL_PLAYER{static_cast<uint32_t>(100 + i), 1, XSTATE_PLAYING, 0, 1, 0, 0, {}, 0};
      cars[i].TexturesReady = 1;
      cars[i].Place = i + 1;
      SB_Var.Cars[i] = &cars[i];
    }
    SB_Var.NbCars = 3;
    SB_Var.DrivenCar = 0;
    SB_Var.UsingCars = 1;
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
  if (!SB_Fonts[0].Loaded || !SB_Dial.Current) {
    state.SkipWithError("the data tree's fonts or dial did not load");
    return;
  }
  for (auto _ : state) {
    SB_DrawHud();
    benchmark::DoNotOptimize(SB_Var.TextScreen->Start);
  }
}

BENCHMARK(BM_DrawHud)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
