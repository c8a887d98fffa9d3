// The polygon inspector's pick, once per vertical blank while the mouse
// moves: SB_PickPolygon over a frame of 2,000 and 20,000 small triangles
// and quads strewn over 640 x 480 with random depth keys, beside the bare
// SB_PointInPolygon calls over the same list as its floor.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine3d/pointinpolygon.h"
#include "engine3d/types.h"
#include "platform/accel/types.h"
#include "tools/polyinfo/polyinfo.h"

namespace {

struct Frame {
  std::vector<TSGLPOLY> polys;
  std::vector<TSGLVERTEX> vertices;
  TSOFTSCENE scene{};
  std::vector<std::pair<double, double>> points;  // the mouse positions
};

Frame MakeFrame(int32_t n) {
  Frame f;
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> x(0, 620), y(0, 460), size(4, 40);
  std::uniform_int_distribution<int32_t> key(-1000, 1000000);
  f.polys.resize(static_cast<size_t>(n));
  f.vertices.reserve(static_cast<size_t>(n) * 4);
  for (int32_t i = 0; i < n; ++i) {
    const float cx = x(rng), cy = y(rng), s = size(rng);
    const int32_t corners = i % 2 ? 4 : 3;
    TSGLPOLY& p = f.polys[static_cast<size_t>(i)];
    p.Key = key(rng);
    p.NbVertices = static_cast<int8_t>(corners);
    p.Kind = 1;
    p.Vertices = f.vertices.data() + f.vertices.size();
    for (int32_t k = 0; k < corners; ++k) {
      const float a = static_cast<float>(k) * 6.2831853f / static_cast<float>(corners);
      f.vertices.push_back({cx + s * std::cos(a), cy + s * std::sin(a), 0, 1, 0, 0, 0, 0});
    }
    if (i > 0) f.polys[static_cast<size_t>(i - 1)].Next = &p;
  }
  f.scene.FirstPolygon = f.polys.data();
  for (int32_t i = 0; i < 256; ++i) f.points.emplace_back(x(rng), y(rng));
  return f;
}

void BM_PickPolygon(benchmark::State& state) {
  Frame f = MakeFrame(static_cast<int32_t>(state.range(0)));
  size_t i = 0, found = 0;
  for (auto _ : state) {
    const auto& [px, py] = f.points[i++ % f.points.size()];
    found += SB_PickPolygon(&f.scene, px, py) != nullptr;
  }
  state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PickPolygon)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond);

// The floor: every polygon's point-in-polygon test, no list walk, no keys.
void BM_PointInPolygonFloor(benchmark::State& state) {
  Frame f = MakeFrame(static_cast<int32_t>(state.range(0)));
  size_t i = 0;
  int64_t inside = 0;
  for (auto _ : state) {
    const auto& [px, py] = f.points[i++ % f.points.size()];
    for (const TSGLPOLY& p : f.polys)
      inside += SB_PointInPolygon(p.NbVertices, p.Vertices, static_cast<float>(px), static_cast<float>(py));
  }
  benchmark::DoNotOptimize(inside);
}
BENCHMARK(BM_PointInPolygonFloor)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
