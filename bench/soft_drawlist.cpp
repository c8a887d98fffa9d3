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
#include <vector>

#include "bench/benchlib.h"
#include "datagen/netrace.h"
#include "engine3d/camera.h"
#include "engine3d/power.h"
#include "engine3d/race3d.h"
#include "engine3d/views.h"
#include "softrender/drawlist.h"
#include "softrender/softrender.h"
#include "system/asm3d/zidade3d.h"
#include "track/decor.h"

namespace {

constexpr int32_t kCameras = 64;
constexpr int32_t kFocal = 224, kFar = 300 * 320;
constexpr int32_t kMaxFaces = 2500, kMaxVertices = 9000;

struct Circuit {
  bench::DataTreeLibrary library;
  std::vector<TSOFTPOLY> polygons = std::vector<TSOFTPOLY>(kMaxFaces);
  std::vector<TCLIPVERTEX> vertices = std::vector<TCLIPVERTEX>(kMaxVertices);  // the larger of the two kinds
  TSOFTSCENE view{};
  std::vector<TCAMERA> cameras;
  _WINDOW window{};
  bool loaded = false;
  explicit Circuit(int32_t renderer) {
    LS_InitSinTable();
    SB_Var.Renderer = renderer;
    if (!SB_LoadDecor("DEC>NETRACE.DEC")) return;
    loaded = true;
    // Every material perspective-capable, with its four mip levels, so that
    // the fill mode and mip level follow the depth key as in a race.
    for (int32_t m = 0; m < SB_MAXTEXTURES; ++m) {
      TTEXTUREPLACE& t = SB_Var.TexturePlaces[m];
      t.Loaded = 1, t.PageNumber = 1 + m % 500, t.RenderKind = 1, t.Size = 65536;
      for (int32_t l = 0; l < SB_NBMIPLEVELS; ++l) t.MipSelector[l] = static_cast<uint8_t>(9 * (l + 1));
    }
    SB_Alloc3dBuffersTria();
    SB_ResetViewState();  // the far distance of perspective filling, 120 m
    SB_Var.DrawDistance = 300;
    SB_Var.MaxFaces = kMaxFaces, SB_Var.MaxVertices = kMaxVertices;
    view.Polygons = polygons.data(), view.Vertices = vertices.data();
    SB_Var.CenterX = 320, SB_Var.CenterY = 200, SB_Var.CenterXF = 320, SB_Var.CenterYF = 200;
    SB_Var.Focal = kFocal, SB_Var.FocalF = kFocal;
    window.W_WIDTH = 640, window.W_HEIGHT = 400;
    const auto line = datagen::NetraceCentreLine();
    const size_t n = line.size();
    for (int32_t i = 0; i < kCameras; ++i) {
      const auto& p = line[n * static_cast<size_t>(i) / kCameras];
      const auto& ahead = line[(n * static_cast<size_t>(i) / kCameras + 20) % n];
      TCAMERA c{};
      c.TargetX = static_cast<int32_t>(p[0] * 320.0);
      c.TargetY = static_cast<int32_t>((p[1] - 1.25) * 320.0);
      c.TargetZ = static_cast<int32_t>(p[2] * 320.0);
      const double look[3] = {ahead[0], ahead[1] - 1.25, ahead[2]};
      SB_CameraLookAt(&c, look);
      SB_UpdateCamera(&c, 1.0, 1.0);
      cameras.push_back(c);
    }
  }
  ~Circuit() {
    SB_Free3dBuffersTria();
    SB_FreeDecor();
  }
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
    TCAMERA& camera = circuit.cameras[static_cast<size_t>(frames % kCameras)];
    SB_SetView(&circuit.view, &camera, &circuit.window, kFocal, kFar, 0);
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
