// The accelerator's scene submission: 2,500 polygons (quads and triangles
// of the map and of objects over 60 texture slots in three variants, one in
// ten crossing the near plane) clipped by POWER_ClipViewPolygons and
// submitted by POWER_SubmitViewPolygons in batches to the accelerator
// stand-in inside a begun frame. The render that follows is left out of
// the time.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/benchlib.h"
#include "engine3d/power.h"
#include "platform/accel/sgl.h"
#include "racescene/powerscene.h"

namespace {

constexpr int32_t kPolygons = 2500;

struct Scene {
  bench::Heap heap{32u << 20};
  std::vector<TSGLPOLY> polygons, original;
  std::vector<TCLIPVERTEX> vertices, originalVertices;
  TSOFTSCENE scene{};
  BMAP* screen = nullptr;
  _WINDOW window{};
  Scene() {
    SB_ResetVars();
    SB_Var.Renderer = SB_RENDERER_PVR;
    SB_Var.MaxFaces = kPolygons, SB_Var.MaxVertices = 12000;
    SB_Var.CenterX = 320, SB_Var.CenterY = 240, SB_Var.Focal = 400, SB_Var.FocalF = 400;
    POWER_InstallRenderCallback();
    POWER_CreateScreenDevice(640, 480, 16);
    screen = SB_CreateBmap(640, 480, 16, 0, "bench screen");
    LS_InitWindow(screen, &window, 12, 0, 0, 640, 480);
    POWER_InitSglContext(&window);
    for (int32_t s = 1; s <= 60; ++s) SB_Var.TextureCache[s].InUse = 1, SB_Var.TextureCache[s].Name = -1;
    for (int32_t t = 0; t < 60; ++t) {
      TTEXTUREPLACE& p = SB_Var.TexturePlaces[t];
      p.Loaded = 1, p.PageNumber = 1 + t, p.Variant = static_cast<uint8_t>(t % 3);
    }
    polygons.resize(kPolygons), vertices.resize(12000);
    scene.Polygons = polygons.data(), scene.Vertices = vertices.data();
    POWER_ResetScene(&scene);
    uint32_t seed = 11;
    auto* v = static_cast<TSGLVERTEX*>(scene.VertexCursor);
    auto* c = static_cast<TSGLCLIP*>(scene.ClipCursor);
    for (int32_t i = 0; i < kPolygons; ++i) {
      const int32_t n = i % 2 ? 4 : 3;
      const float cx = static_cast<float>(bench::Next(seed) % 600),
                  cy = static_cast<float>(bench::Next(seed) % 440);
      const bool near = i % 10 == 0;
      for (int32_t k = 0; k < n; ++k) {
        const float x = cx + (k == 1 || k == 2 ? 30.0f : 0.0f), y = cy + (k >= 2 ? 30.0f : 0.0f);
        const float z = near && k == 0 ? 60.0f : 400.0f;
        c[k] = {z < 128.0f ? 32 : 0, (x - 320.0f) * z / 400.0f, (y - 240.0f) * z / 400.0f, z};
        v[k] = {x, y, z * 5e-7f, 0.5f / z, 0xFFFFFF, 0, 0.0f, 0.0f};
      }
      TSGLPOLY& p = polygons[i];
      p = {};
      p.Next = &p + 1, p.Vertices = v, p.Clip = c, p.NbVertices = static_cast<int8_t>(n);
      p.Kind = static_cast<int8_t>(i % 3 ? 1 : 7), p.TextureIndex = static_cast<uint16_t>(i % 60);
      p.Texture = static_cast<uint32_t>(1 + i % 60);
      v += n, c += n;
      ++scene.NbPolygons, scene.NbVertices += n;
    }
    scene.PolygonCursor = polygons.data() + kPolygons;
    scene.VertexCursor = v, scene.ClipCursor = c;
    original = polygons, originalVertices = vertices;
  }
  ~Scene() {
    POWER_WaitRenderDone();
    POWER_DeleteScreenDevice();
    SB_FreeBmap(screen);
  }
};

void BM_ClipAndSubmit2500(benchmark::State& state) {
  Scene s;
  const TSOFTSCENE start = s.scene;
  for (auto _ : state) {
    state.PauseTiming();
    s.polygons = s.original, s.vertices = s.originalVertices, s.scene = start;
    sgltri_startofframe(&SB_Var.SglContext);
    state.ResumeTiming();
    POWER_ClipViewPolygons(&s.window, &s.scene);
    POWER_SubmitViewPolygons(&s.window, &s.scene);
    state.PauseTiming();
    sgltri_render(&SB_Var.SglContext);
    POWER_WaitRenderDone();
    state.ResumeTiming();
  }
  state.counters["polygons_drawn"] = SB_Var.NbPolysDrawn;
}
BENCHMARK(BM_ClipAndSubmit2500)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
