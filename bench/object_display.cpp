// The object display on the accelerator's path: one car of 1,000 textured
// faces (a closed grid of 20 x 25 quads cut into triangles over 546
// points) drawn with SB_DrawObject 20 m ahead of the camera: distance and
// pyramid tests, each point transformed, lit (flat light) and projected
// once, back faces culled, every face emitted with its vertices.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/benchlib.h"
#include "engine3d/camera.h"
#include "engine3d/object.h"
#include "engine3d/power.h"
#include "racescene/powerscene.h"
#include "racescene/views.h"
#include "system/asm3d/zidade3d.h"
#include "vehicles/types.h"

namespace {

constexpr int32_t kAround = 20, kAlong = 25;  // quads: 20 x 25 x 2 = 1,000 triangles

struct Car {
  bench::Heap heap{16u << 20};
  std::vector<TPOINT3D> points;
  std::vector<TGRAF> faces;
  TATOM atom{};
  TMATERIAL material{};
  OBJECT object{};
  TCAR car{};
  TCAMERA camera{};
  std::vector<TSGLPOLY> polygons;
  std::vector<TCLIPVERTEX> vertices;
  TSOFTSCENE scene{};
  _WINDOW window{};
  Car() {
    SB_ResetVars();
    LS_InitSinTable();
    // A tube 4 m long of radius 1 m across the view, its faces outward
    // (back faces culled: about half are drawn).
    for (int32_t j = 0; j <= kAlong; ++j)
      for (int32_t i = 0; i <= kAround; ++i) {
        const double a = 6.283185307 * i / kAround;
        points.push_back({static_cast<int32_t>(60800 * (4.0 * j / kAlong - 2.0)),
                          static_cast<int32_t>(60800 * std::cos(a)),
                          static_cast<int32_t>(60800 * std::sin(a)),
                          {0, 0, 0},
                          0,
                          0});
      }
    material.CardTexture = 1;
    for (int32_t j = 0; j < kAlong; ++j)
      for (int32_t i = 0; i < kAround; ++i) {
        const int32_t p = j * (kAround + 1) + i, q = p + kAround + 1;
        const double a = 6.283185307 * (i + 0.5) / kAround;
        for (const auto& tri :
             {std::array<int32_t, 3>{p, p + 1, q + 1}, std::array<int32_t, 3>{p, q + 1, q}}) {
          TGRAF g{};
          g.NbPoints = 3;
          for (int32_t k = 0; k < 3; ++k) g.Points[k] = tri[k];
          g.Normal[1] = static_cast<int32_t>(16384 * std::cos(a)),
          g.Normal[2] = static_cast<int32_t>(16384 * std::sin(a));
          g.G_TYPE = G_TYPE_TEXTURE, g.G_FLAGS = 1 << 5, g.G_TEXTURE = reinterpret_cast<uintptr_t>(&material);
          faces.push_back(g);
        }
      }
    atom.Points = points.data(), atom.NbPoints = static_cast<int32_t>(points.size());
    atom.Faces = faces.data(), atom.NbFaces = static_cast<int32_t>(faces.size());
    object.Atoms[OBJ_MAIN] = &atom;
    for (int32_t k = 0; k < 9; ++k) object.Orientation[k] = k % 4 == 0 ? 1.0f : 0.0f;
    car.Position[2] = 20.0, object.Position[2] = 20.0f * 60800.0f;
    for (int32_t k = 0; k < 9; ++k) car.Orientation[k] = k % 4 == 0 ? 1.0 : 0.0;
    SB_Var.Renderer = SB_RENDERER_PVR;
    SB_Var.DrawDistance = 300, SB_Var.Light = 2;
    SB_Var.MaxFaces = 2500, SB_Var.MaxVertices = 9000;
    polygons.resize(2500), vertices.resize(9000);
    scene.Polygons = polygons.data(), scene.Vertices = vertices.data();
    SB_Var.CenterX = 320, SB_Var.CenterY = 240, SB_Var.Focal = 400, SB_Var.FocalF = 400;
    window.W_WIDTH = 640, window.W_HEIGHT = 480;
    SB_BuildViewPyramid(&window);
    SB_PlaceCamera(&camera, 0, 0, 0, 0, 0, 0);
  }
};

void BM_ObjectDisplayCar(benchmark::State& state) {
  Car c;
  for (auto _ : state) {
    POWER_ResetScene(&c.scene);
    SB_DrawObject(&c.scene, &c.window, &c.object, &c.camera, &c.car, nullptr, 0, 0, 0xFFFFFF);
    benchmark::DoNotOptimize(c.scene.NbPolygons);
  }
  state.counters["faces_drawn"] = c.scene.NbPolygons;
}
BENCHMARK(BM_ObjectDisplayCar)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
