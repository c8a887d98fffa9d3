// The trackside LED panels on the accelerator: one SB_UpdatePanels with
// the five panels scrolling a long text, each panel 128 x 32 texels (the
// start-up's texture scale 2) in a card slot of its own, with the data
// tree's dot pictures. The clock moves one redraw step per call, so every
// call redraws every panel's window.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "bench/benchlib.h"
#include "engine3d/power.h"
#include "scenery/effects.h"
#include "scenery/framefx.h"
#include "scenery/panels.h"

namespace {

constexpr int32_t kStep = 50;  // ms between redraws

// The five panel textures as card textures of slots 1 to 5, the panels
// made from them and scrolling.
struct CardPanels {
  bench::DataTreeLibrary library;
  std::vector<std::vector<uint16_t>> texels;
  TSOFTSCENE view{};
  CardPanels() {
    SB_InitTwiddleTable();
    POWER_InitTextureCache();
    SB_Var.Renderer = SB_RENDERER_PVR;
    SB_Var.VideoModeIndex = 0;
    SB_Var.VideoModes[0].Depth = SB_Var.VideoModes[0].TextureDepth = 16;
    SB_Var.VideoModes[0].TextureFormat = BMAP_RGB555;
    const char* names[SB_NBLEDPANELS] = {"GO", "PANSTAD2", "TIMEX1", "TIMEX2", "TIMEX3"};
    std::memset(SB_Var.TextureNames, 0, sizeof SB_Var.TextureNames);
    SB_Var.NbTextures = SB_NBLEDPANELS;
    texels.assign(SB_NBLEDPANELS, std::vector<uint16_t>(128 * 128));
    for (int32_t i = 0; i < SB_NBLEDPANELS; ++i) {
      std::strcpy(SB_Var.TextureNames[i], names[i]);
      TTEXTUREPLACE& p = SB_Var.TexturePlaces[i];
      p = TTEXTUREPLACE{};
      p.Width = 128, p.Height = 32, p.PageNumber = i + 1;
      TEXTURECACHE& c = SB_Var.TextureCache[i + 1];
      c.InUse = 1, c.Size = 128 * 128 * 2;
      c.Map = SGLMAP{{'Z', 'T', '0', 0}, 128, 128, texels[i].data()};
      view.TextureUses[i + 1] = 1;
    }
    SB_InitPanel();
    SB_RemapPanel();
    SB_Var.Time = 1000;
    for (int32_t i = 0; i < SB_NBLEDPANELS; ++i)
      SB_SetPanelScrollText(i, "      WAITING FOR THE OTHER PLAYERS ....", 40, kStep, 0);
  }
  ~CardPanels() {
    SB_DisposePanel();
    for (int32_t i = 1; i <= SB_NBLEDPANELS; ++i) SB_Var.TextureCache[i] = TEXTURECACHE{};
  }
};

void BM_UpdatePanelsCard128(benchmark::State& state) {
  CardPanels panels;
  if (!SB_Var.Panels.Panels[0].Active) {
    state.SkipWithError("the panels did not start: dot pictures missing from the data tree?");
    return;
  }
  for (auto _ : state) {
    SB_Var.Time += kStep;
    SB_UpdatePanels(&panels.view);
    benchmark::DoNotOptimize(panels.texels[0].data());
  }
  const std::vector<uint16_t>& first = panels.texels[0];
  if (std::all_of(first.begin(), first.end(), [](uint16_t t) { return t == 0; }))
    state.SkipWithError("nothing was drawn");
  state.counters["panels"] = SB_NBLEDPANELS;
}

}  // namespace

BENCHMARK(BM_UpdatePanelsCard128)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
