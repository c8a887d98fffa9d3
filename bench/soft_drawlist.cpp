// The software draw list, E3D_SoftBuildDrawList, on the views of the map
// frame at mode 7's 640 x 400 (focal 224), over 64 cameras along the
// default circuit's centre line at a driver's height, each looking 20 m
// ahead, on the build's data tree: with the perspective polygon families
// and with the 1/z triangle filler; and, in the same run, the accelerator's
// clip pass (POWER_ClipViewPolygons) on its own views of the same map and
// cameras. Each view is made again outside the time, since both passes
// append their clipped corners to it.
#include <benchmark/benchmark.h>

#include <utility>

#include "bench/netrace_views.h"
#include "engine3d/power.h"
#include "racescene/race3d.h"
#include "softrender/drawlist.h"
#include "softrender/softrender.h"

namespace {

// The map frame's views, every material perspective-capable with its four
// mip levels, the far distance of perspective filling at its default, and
// the draw list's work buffers.
struct Circuit : bench::NetraceViews {
  explicit Circuit(int32_t renderer) : NetraceViews(renderer) {
    for (TTEXTUREPLACE& t : SB_Var.TexturePlaces) {
      t.Size = 65536;
      for (int32_t l = 0; l < SB_NBMIPLEVELS; ++l) t.MipSelector[l] = static_cast<uint8_t>(9 * (l + 1));
    }
    SB_Alloc3dBuffersTria();
    SB_ResetViewState();  // the far distance of perspective filling, 120 m
  }
  ~Circuit() { SB_Free3dBuffersTria(); }
};

// Times `pass` on each camera's view in turn, the view made anew by
// `renderMap` outside the time; `count` gives what the pass produced: its
// records, and of them the perspective polygons.
template <typename Pass, typename Count>
void Views(benchmark::State& state, Circuit& circuit, void (*renderMap)(TSOFTSCENE*, TCAMERA*, _WINDOW*),
           Pass pass, Count count) {
  if (!circuit.loaded) {
    state.SkipWithError("the data tree's circuit did not load");
    return;
  }
  int64_t frames = 0, polygons = 0, produced = 0, perspective = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TCAMERA& camera = circuit.SetView(frames);
    renderMap(&circuit.view, &camera, &circuit.window);
    polygons += circuit.view.NbPolygons;
    state.ResumeTiming();
    pass(&circuit.window, &circuit.view);
    const auto [out, persp] = count(circuit.view);
    produced += out, perspective += persp;
    ++frames;
  }
  const double n = frames ? static_cast<double>(frames) : 1.0;
  state.counters["polygons_per_view"] = static_cast<double>(polygons) / n;
  state.counters["out_per_view"] = static_cast<double>(produced) / n;
  state.counters["persp_per_view"] = static_cast<double>(perspective) / n;
}

// Arg: SB_Var.SoftFillers, 1 the polygon families, 0 the triangle filler.
void BM_SoftBuildDrawList(benchmark::State& state) {
  Circuit circuit(0);
  SB_Var.SoftFillers = static_cast<int32_t>(state.range(0));
  state.SetLabel(state.range(0) ? "polygon families" : "triangle filler");
  Views(state, circuit, E3D_SoftRenderMap, E3D_SoftBuildDrawList,
        [](const TSOFTSCENE&) { return std::pair{E3D_SoftDraws.NbDraws, E3D_SoftDraws.NbPersps}; });
}
BENCHMARK(BM_SoftBuildDrawList)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// The accelerator's pass; out_per_view counts the polygons left with corners.
void BM_PowerClipViewPolygons(benchmark::State& state) {
  Circuit circuit(SB_RENDERER_PVR);
  Views(state, circuit, POWER_RenderMap, POWER_ClipViewPolygons, [](const TSOFTSCENE& view) {
    int32_t kept = 0;
    const auto* p = static_cast<const TSGLPOLY*>(view.Polygons);
    for (int32_t i = 0; i < view.NbPolygons; ++i) kept += p[i].NbVertices >= 3;
    return std::pair{kept, 0};
  });
}
BENCHMARK(BM_PowerClipViewPolygons)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
