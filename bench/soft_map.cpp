// The software map frame, one SB_SetView and E3D_SoftRenderMap at mode 7's
// 640 x 400 view (focal 224), over 64 cameras along the default circuit's
// centre line at a driver's height, each looking 20 m ahead, on the build's
// data tree; and, in the same run, the accelerator's map transform
// (POWER_RenderMap) on the same map and cameras, the map holding both forms.
#include <benchmark/benchmark.h>

#include "bench/netrace_views.h"
#include "engine3d/power.h"
#include "racescene/race3d.h"
#include "softrender/softrender.h"

namespace {

using Circuit = bench::NetraceViews;

template <void (*RenderMap)(TSOFTSCENE*, TCAMERA*, _WINDOW*)>
void Frames(benchmark::State& state, int32_t renderer) {
  Circuit circuit(renderer);
  if (!circuit.loaded) {
    state.SkipWithError("the data tree's circuit did not load");
    return;
  }
  int64_t frames = 0, faces = 0;
  for (auto _ : state) {
    TCAMERA& camera = circuit.SetView(frames);
    RenderMap(&circuit.view, &camera, &circuit.window);
    benchmark::DoNotOptimize(circuit.view.NbPolygons);
    faces += circuit.view.NbPolygons;
    ++frames;
  }
  state.counters["faces_per_frame"] = frames ? static_cast<double>(faces) / static_cast<double>(frames) : 0.0;
}

void BM_SoftRenderMap(benchmark::State& state) { Frames<E3D_SoftRenderMap>(state, 0); }
BENCHMARK(BM_SoftRenderMap)->Unit(benchmark::kMicrosecond);

void BM_PowerRenderMap(benchmark::State& state) { Frames<POWER_RenderMap>(state, SB_RENDERER_PVR); }
BENCHMARK(BM_PowerRenderMap)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
