// The accelerator's map transform, one frame of POWER_RenderMap: a grid of
// polygon cells 9 wide (the slab the transform walks), 8 deep and 7 high,
// each holding 16 quads of 12.8 m sharing their corners, seen from a camera
// two cells in front of it looking into it, so that about 160 cells lie
// in view; and the tests' ring road (radius 150 m, 48 segments of road,
// kerbs and walls) seen along the road from a driver's height.
#include <benchmark/benchmark.h>

#include <set>
#include <vector>

#include "bench/benchlib.h"
#include "datagen/mapbuild.h"
#include "engine3d/camera.h"
#include "engine3d/power.h"
#include "racescene/views.h"
#include "system/asm3d/zidade3d.h"
#include "tests/support/testmap.h"
#include "track/decor.h"

namespace {

constexpr int32_t kCell = 16384, kQuad = 4096;

struct GridMap {
  bench::Heap heap{64u << 20};
  std::vector<TSGLPOLY> polygons;
  std::vector<TCLIPVERTEX> vertices;
  TSOFTSCENE view{};
  TCAMERA camera{};
  _WINDOW window{};
  GridMap() {
    SB_ResetVars();
    LS_InitSinTable();
    datagen::MapBuilder map;
    int32_t cell = 0;
    for (int32_t cy = -3; cy <= 3; ++cy)
      for (int32_t cx = -4; cx <= 4; ++cx)
        for (int32_t cz = 0; cz < 8; ++cz, ++cell) {
          const int32_t material = map.Material("CELL" + std::to_string(cell));
          const int32_t x0 = cx * kCell - kCell / 2, z0 = cz * kCell - kCell / 2, y = cy * kCell + 2000;
          for (int32_t i = 0; i < 4; ++i)
            for (int32_t j = 0; j < 4; ++j) {
              const int32_t x = x0 + i * kQuad, z = z0 + j * kQuad;
              map.PolyFace(SB_GROUNDRUN,
                           {{x, y, z}, {x + kQuad, y, z}, {x + kQuad, y, z + kQuad}, {x, y, z + kQuad}},
                           datagen::kPolyUp, material);
            }
        }
    map.Install();
    for (int32_t m = 0; m < cell; ++m) {
      TTEXTUREPLACE& t = SB_Var.TexturePlaces[m];
      t.Loaded = 1, t.PageNumber = 1 + m % 500, t.D = 1;
    }
    SB_Var.Renderer = SB_RENDERER_PVR;
    SB_Var.DrawDistance = 300;
    SB_Var.MaxFaces = 2500, SB_Var.MaxVertices = 9000;
    polygons.resize(2500), vertices.resize(9000);
    view.Polygons = polygons.data(), view.Vertices = vertices.data();
    SB_Var.CenterX = 320, SB_Var.CenterY = 240, SB_Var.CenterXF = 320, SB_Var.CenterYF = 240;
    SB_Var.Focal = 400, SB_Var.FocalF = 400;
    window.W_WIDTH = 640, window.W_HEIGHT = 480;
    SB_PlaceCamera(&camera, 0, -600, -2 * kCell, 0, 0, 0);
  }
  ~GridMap() { SB_FreeDecor(); }
};

void BM_MapTransformFrame(benchmark::State& state) {
  GridMap map;
  for (auto _ : state) {
    SB_SetView(&map.view, &map.camera, &map.window, 400, 96000, 0);
    POWER_RenderMap(&map.view, &map.camera, &map.window);
    benchmark::DoNotOptimize(map.view.NbPolygons);
  }
  std::set<int32_t> cells;
  for (int32_t i = 0; i < map.view.NbPolygons; ++i) cells.insert(map.polygons[i].TextureIndex);
  state.counters["cells_in_view"] = static_cast<double>(cells.size());
  state.counters["polygons"] = map.view.NbPolygons;
}
BENCHMARK(BM_MapTransformFrame)->Unit(benchmark::kMicrosecond);

void BM_MapTransformRing(benchmark::State& state) {
  GridMap map;  // its views and projection; the ring replaces its grid
  ztest::BuildRingMap();
  for (int32_t m = 0; m < 3; ++m)
    SB_Var.TexturePlaces[m].Loaded = 1, SB_Var.TexturePlaces[m].PageNumber = 1 + m;
  SB_PlaceCamera(&map.camera, 150 * 320, -400, -5 * 320, 0, 0, 0);
  for (auto _ : state) {
    SB_SetView(&map.view, &map.camera, &map.window, 400, 96000, 0);
    POWER_RenderMap(&map.view, &map.camera, &map.window);
    benchmark::DoNotOptimize(map.view.NbPolygons);
  }
  state.counters["polygons"] = map.view.NbPolygons;
  ztest::FreeRingMap();
}
BENCHMARK(BM_MapTransformRing)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
