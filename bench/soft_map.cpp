// The software map frame, one SB_SetView and E3D_SoftRenderMap at mode 7's
// 640 x 400 view (focal 224), over 64 cameras along the default circuit's
// centre line at a driver's height, each looking 20 m ahead, on the build's
// data tree; and, in the same run, the accelerator's map transform
// (POWER_RenderMap) on the same map and cameras, the map holding both forms.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/benchlib.h"
#include "datagen/netrace.h"
#include "engine3d/camera.h"
#include "engine3d/power.h"
#include "engine3d/race3d.h"
#include "engine3d/views.h"
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
    for (int32_t m = 0; m < SB_MAXTEXTURES; ++m) {
      TTEXTUREPLACE& t = SB_Var.TexturePlaces[m];
      t.Loaded = 1, t.PageNumber = 1 + m % 500, t.RenderKind = 1;
    }
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
  ~Circuit() { SB_FreeDecor(); }
};

template <void (*RenderMap)(TSOFTSCENE*, TCAMERA*, _WINDOW*)>
void Frames(benchmark::State& state, int32_t renderer) {
  Circuit circuit(renderer);
  if (!circuit.loaded) {
    state.SkipWithError("the data tree's circuit did not load");
    return;
  }
  int64_t frames = 0, faces = 0;
  for (auto _ : state) {
    TCAMERA& camera = circuit.cameras[static_cast<size_t>(frames % kCameras)];
    SB_SetView(&circuit.view, &camera, &circuit.window, kFocal, kFar, 0);
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
