// Smoke puffs: one SB_MoveFumee and one SB_DrawFumee with all 100 puffs
// alive, 2 to 27 m ahead of a level camera, on the accelerator's list
// (translucent quads with their texture slot) and into an 8-bit view
// whose depth-ordered list already holds 2,000 polygons (each puff walks
// it to its place). Each iteration starts from the same puffs and list.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/benchlib.h"
#include "engine3d/camera.h"
#include "scenery/effects.h"
#include "system/asm3d/zidade3d.h"

namespace {

constexpr int32_t kListed = 2000;
constexpr int32_t kPolys = kListed + 200, kVertices = 4 * kPolys;

struct SmokeScene {
  bench::Heap heap{8u << 20};
  std::vector<TSOFTPOLY> soft = std::vector<TSOFTPOLY>(kPolys);
  std::vector<TSOFTVERTEX> softVertices = std::vector<TSOFTVERTEX>(kVertices);
  std::vector<TSGLPOLY> card = std::vector<TSGLPOLY>(kPolys);
  std::vector<TSGLVERTEX> cardVertices = std::vector<TSGLVERTEX>(kVertices);
  std::vector<TSGLCLIP> clips = std::vector<TSGLCLIP>(kVertices);
  TFUMEE start[SB_NBFUMEES];
  TSOFTSCENE view{};
  _WINDOW window{};

  explicit SmokeScene(bool onCard) {
    SB_ResetVars();
    LS_Init3D();
    SB_Var.Renderer = onCard ? SB_RENDERER_PVR : 0;
    SB_Var.VideoModeIndex = 0;
    SB_Var.VideoModes[0].Depth = onCard ? 16 : 8;
    SB_Var.MaxFaces = kPolys, SB_Var.MaxVertices = kVertices;
    SB_Var.FocalF = 320.0f, SB_Var.ProjFactor = 2.0f, SB_Var.DepthScale = 0.001f;
    SB_Var.FumeeTexture = 1;
    SB_Var.FrameTime = 16;
    window.W_WIDTH = bench::kWidth, window.W_HEIGHT = bench::kHeight;
    SB_PlaceCamera(&SB_Var.Camera, 0, 0, 0, 0, 0, 0);
    uint32_t seed = 7;
    for (int32_t i = 0; i < SB_NBFUMEES; ++i) {
      const double ahead = 2.0 + (bench::Next(seed) >> 8) % 2500 / 100.0;
      const double side = static_cast<int32_t>(bench::Next(seed) >> 8) % 600 / 100.0 - 3.0;
      const double p[3] = {side, 0.3, ahead}, v[3] = {1.0, -0.5, 2.0};
      SB_AddFumee(p, v, 1);
    }
    for (int32_t i = 0; i < SB_NBFUMEES; ++i) start[i] = SB_Var.Fumees[i];
    Reset();
  }

  // The puffs as made, and the view's list: empty on the card, 2,000
  // polygons far to near in software.
  void Reset() {
    for (int32_t i = 0; i < SB_NBFUMEES; ++i) SB_Var.Fumees[i] = start[i];
    view = {};
    if (SB_Var.Renderer == SB_RENDERER_PVR) {
      view.Polygons = view.FirstPolygon = view.PolygonCursor = card.data();
      view.Vertices = view.VertexCursor = cardVertices.data();
      view.ClipCursor = clips.data();
      return;
    }
    for (int32_t i = 0; i < kListed; ++i) {
      soft[i].Key = 100000 - 100 * i;  // keys 100,000 to -99,900; the puffs' lie near -47,000 to -23,000
      soft[i].Next = i + 1 < kListed ? &soft[i + 1] : nullptr;
    }
    view.Polygons = view.FirstPolygon = soft.data();
    view.PolygonCursor = &soft[kListed];
    view.NbPolygons = kListed;
    view.Vertices = view.VertexCursor = softVertices.data();
  }
};

// The reset is inside the timed loop (pausing the timer costs more than
// it); the Reset cases time it alone, to be taken off.
void Run(benchmark::State& state, bool onCard, bool smoke) {
  SmokeScene scene(onCard);
  const int32_t listed = scene.view.NbPolygons;
  for (auto _ : state) {
    scene.Reset();
    if (smoke) {
      SB_MoveFumee();
      SB_DrawFumee(&scene.view, &scene.window);
    }
    benchmark::DoNotOptimize(scene.view.FirstPolygon);
    benchmark::ClobberMemory();
  }
  if (smoke && scene.view.NbPolygons - listed != SB_NBFUMEES) state.SkipWithError("not every puff was drawn");
  state.counters["puffs"] = scene.view.NbPolygons - listed;
}

void BM_SmokeCard(benchmark::State& state) { Run(state, true, true); }
void BM_SmokeCardReset(benchmark::State& state) { Run(state, true, false); }
void BM_SmokeSoft8Into2000(benchmark::State& state) { Run(state, false, true); }
void BM_SmokeSoft8Reset(benchmark::State& state) { Run(state, false, false); }

}  // namespace

BENCHMARK(BM_SmokeCard)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SmokeCardReset)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SmokeSoft8Into2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SmokeSoft8Reset)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
