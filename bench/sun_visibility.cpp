// The sun's visibility behind the previous frame's polygons: one
// SB_SunVisibility against 2,500 screen polygons (quads and triangles of
// 30 pixels spread over the lower 350 rows of a 640 x 480 view), for suns
// in the sky above them (`where:0`, every polygon looked at) and anywhere
// (`where:1`, most hidden); and, over the same polygons and suns,
// Boost.Geometry's within and distance giving the same visibility.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "bench/benchlib.h"
#include "engine3d/types.h"
#include "scenery/lensflare.h"

#ifdef ZENTROVA_HAVE_BOOST_GEOMETRY
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#endif

namespace {

constexpr int32_t kPolygons = 2500;

struct View {
  std::vector<TSGLPOLY> polygons;
  std::vector<TSGLVERTEX> vertices;
  std::vector<std::pair<int32_t, int32_t>> suns;
  TSOFTSCENE scene{};
  explicit View(int64_t where) {
    SB_ResetVars();
    SB_Var.ScreenWindow.W_WIDTH = bench::kWidth, SB_Var.ScreenWindow.W_HEIGHT = bench::kHeight;
    polygons.resize(kPolygons), vertices.resize(4 * kPolygons);
    uint32_t seed = 5;
    for (int32_t i = 0; i < kPolygons; ++i) {
      const int32_t n = i % 2 ? 4 : 3;
      const float x = static_cast<float>(bench::Next(seed) % 610),
                  y = static_cast<float>(100 + bench::Next(seed) % 350);
      TSGLVERTEX* v = &vertices[4 * i];
      const float dx[4] = {0, 30, 30, 0}, dy[4] = {0, 0, 30, 30};
      for (int32_t k = 0; k < n; ++k) v[k] = {x + dx[k], y + dy[k], 0, 0, 0, 0, 0, 0};
      polygons[i] = {};
      polygons[i].Vertices = v, polygons[i].NbVertices = static_cast<int8_t>(n);
      polygons[i].Next = i + 1 < kPolygons ? &polygons[i + 1] : nullptr;
    }
    scene.FirstPolygon = polygons.data();
    scene.NbPolygons = kPolygons;
    for (int32_t k = 0; k < 64; ++k)
      suns.push_back({static_cast<int32_t>(bench::Next(seed) % 640),
                      static_cast<int32_t>(bench::Next(seed) % (where ? 480 : 80))});
  }
};

void BM_SunVisibility(benchmark::State& state) {
  View view(state.range(0));
  SB_Var.PreviousView = &view.scene;
  size_t k = 0;
  double sum = 0;
  for (auto _ : state) {
    const auto& [x, y] = view.suns[k++ % view.suns.size()];
    sum += SB_SunVisibility(x, y);
  }
  benchmark::DoNotOptimize(sum);
  SB_Var.PreviousView = nullptr;
  state.counters["visible_share"] = sum / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SunVisibility)->ArgName("where")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

#ifdef ZENTROVA_HAVE_BOOST_GEOMETRY
namespace bg = boost::geometry;
using Point = bg::model::d2::point_xy<double>;
using Polygon = bg::model::polygon<Point, true, false>;

// The same question asked of Boost.Geometry: 0 inside a polygon, else the
// nearest distance to one or to the view's edges, as a visibility.
void BM_SunVisibilityBoostGeometry(benchmark::State& state) {
  View view(state.range(0));
  std::vector<Polygon> polygons(kPolygons);
  for (int32_t i = 0; i < kPolygons; ++i) {
    const TSGLPOLY& p = view.polygons[i];
    for (int32_t k = 0; k < p.NbVertices; ++k)
      bg::append(polygons[i].outer(), Point(p.Vertices[k].X, p.Vertices[k].Y));
    bg::correct(polygons[i]);
  }
  size_t k = 0;
  double sum = 0;
  for (auto _ : state) {
    const auto& [x, y] = view.suns[k++ % view.suns.size()];
    const Point sun(x, y);
    double e = std::min({x, bench::kWidth - x, y, bench::kHeight - y}) * 1.0;
    for (const Polygon& p : polygons) {
      if (bg::within(sun, p)) {
        e = 0;
        break;
      }
      e = std::min(e, bg::distance(sun, p));
    }
    sum += std::clamp((e - 1) * 0.1, 0.0, 1.0);
  }
  benchmark::DoNotOptimize(sum);
  state.counters["visible_share"] = sum / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SunVisibilityBoostGeometry)->ArgName("where")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace

BENCHMARK_MAIN();
