// The track's per-step queries on a built map of 20,000 cube faces (two
// triangles in each of 100 x 100 small cubes, a gentle slope) and the same
// 1,280 m square on the polygon map (12.8 m quads in the ground and wheel
// runs, a wall along every quad in the body run): a height under a point,
// a car's wheel gather with the four wheels' heights, a body gather with
// its twelve wall sweeps, and a car's centre-line progress on a line of
// 3,000 points, searched locally and over the whole line. Beside them, an
// outside reference: a lookup in the standard library's hash map.
#include <benchmark/benchmark.h>

#include <cmath>
#include <unordered_map>

#include "bench/benchlib.h"
#include "datagen/mapbuild.h"
#include "shell/gamefile.h"
#include "track/bspline.h"
#include "track/decor.h"
#include "track/ground.h"

namespace {

constexpr int32_t kCubes = 100;      // small cubes a side
constexpr int32_t kQuad = 4096;      // world units of a polygon quad
constexpr int32_t kPoints = 1024;    // query points, cycled
constexpr int32_t kLine = 3000;      // centre-line points

struct GroundMap {
  bench::Heap heap{32u << 20};
  std::vector<std::array<int32_t, 2>> points;  // world x, z inside the square
  GroundMap() {
    SB_ResetVars();
    datagen::MapBuilder map;
    const int32_t texture = map.Texture("ROAD    C"), material = map.Material("ROAD    C");
    for (int32_t i = 0; i < kCubes; ++i)
      for (int32_t j = 0; j < kCubes; ++j) {
        const int32_t x = 128 * i, z = 128 * j, y = i / 4, y1 = (i + 1) / 4;  // a slope of 1 in 128
        map.CubeFace({{x, y, z}, {x + 128, y1, z}, {x + 128, y1, z + 128}}, datagen::kCubeUp, texture);
        map.CubeFace({{x, y, z}, {x + 128, y1, z + 128}, {x, y, z + 128}}, datagen::kCubeUp, texture);
      }
    const int32_t side = 32 * 128 * kCubes, origin = 8192;  // polygon quads aligned on the cells
    for (int32_t x = origin; x < origin + side; x += kQuad)
      for (int32_t z = origin; z < origin + side; z += kQuad) {
        const std::vector<datagen::Point3> quad = {{x, -2044, z}, {x + kQuad, -2044, z}, {x + kQuad, -2044, z + kQuad},
                                                   {x, -2044, z + kQuad}};
        map.PolyFace(SB_GROUNDRUN, quad, datagen::kPolyUp, material);
        map.PolyFace(SB_WHEELRUN, quad, datagen::kPolyUp, material);
        map.PolyFace(SB_BODYRUN, {{x, -3000, z}, {x + kQuad, -3000, z}, {x + kQuad, -2000, z}, {x, -2000, z}},
                     datagen::kPolyUp, material);
      }
    map.Install();
    BuildXZYList();
    BuildListXZYPoly();
    SB_Var.TexturePlaces[texture].C = 1;
    uint32_t seed = 7;
    for (int32_t i = 0; i < kPoints; ++i)
      points.push_back({static_cast<int32_t>(bench::Next(seed) % 370000) + 20000,
                        static_cast<int32_t>(bench::Next(seed) % 370000) + 20000});  // on both forms
  }
  ~GroundMap() {
    SB_FreeListXZYPoly();
    SB_FreeXZYList();
    SB_FreeDecor();
  }
};

void BM_GroundHeight(benchmark::State& state) {
  GroundMap map;
  double (*query)(int32_t, int32_t) = state.range(0) ? SB_GetPolyGroundHeight : SB_GetGroundHeight;
  size_t i = 0;
  int64_t found = 0;
  for (auto _ : state) {
    const auto& p = map.points[i++ % kPoints];
    const double h = query(p[0], p[1]);
    found += h != SB_NOGROUND;
    benchmark::DoNotOptimize(h);
  }
  if (found != state.iterations()) state.SkipWithError("a point without ground");
  state.SetLabel(state.range(0) ? "polygon cells" : "cube map");
}
BENCHMARK(BM_GroundHeight)->Arg(0)->Arg(1)->ArgName("polygons");

void BM_WheelGather(benchmark::State& state) {
  GroundMap map;
  TFACELISTENTRY list[64];
  size_t i = 0;
  int64_t faces = 0;
  for (auto _ : state) {
    const auto& p = map.points[i++ % kPoints];
    const double car[3] = {p[0] / 320.0, 0, p[1] / 320.0};
    const int32_t count = SB_GetWheelContactFaces(list, 64, car);
    faces += count;
    for (int32_t w = 0; w < 4; ++w)
      benchmark::DoNotOptimize(SB_GetHeightInFaceList(list, count, p[0] + (w & 1 ? 300 : -300), p[1] + (w & 2 ? 500 : -500)));
  }
  state.counters["faces"] = static_cast<double>(faces) / state.iterations();
}
BENCHMARK(BM_WheelGather);

void BM_BodyGather(benchmark::State& state) {
  GroundMap map;
  TFACELISTENTRY list[64];
  size_t i = 0;
  int64_t hits = 0;
  for (auto _ : state) {
    const auto& p = map.points[i++ % kPoints];
    const double car[3] = {p[0] / 320.0, 0, p[1] / 320.0};
    const int32_t count = SB_GetBodyContactFaces(list, 64, car);
    for (int32_t k = 0; k < 12; ++k) {
      double push[3];
      const double a = k * (2 * M_PI / 12);
      hits += SB_GetBodyFaceContact(list, count, p[0] + static_cast<int32_t>(700 * std::cos(a)),
                                    p[1] + static_cast<int32_t>(700 * std::sin(a)), push, p[0], p[1]);
    }
  }
  state.counters["walls_hit"] = static_cast<double>(hits) / state.iterations();
}
BENCHMARK(BM_BodyGather);

// A car driving round a circle of 3,000 points: 0.3 points a step
// (local), or put back half a lap from its stored index every step, more
// than 30 m from the line there (whole line).
void BM_TrackProgress(benchmark::State& state) {
  bench::Heap heap{16u << 20};
  SB_ResetVars();
  SB_Var.UsingCars = 1;
  SB_Var.FrameTime = 10;
  SB_Var.BsplinePoints = static_cast<TVECTOR*>(SB_GetMem(kLine * sizeof(TVECTOR), "bench"));
  const double r = kLine / (2 * M_PI);
  for (int32_t i = 0; i < kLine; ++i)
    SB_Var.BsplinePoints[i] = {r * std::cos(2 * M_PI * i / kLine), 0, r * std::sin(2 * M_PI * i / kLine)};
  SB_Var.NbBsplinePoints = kLine;
  SB_Var.BsplineValid = 1;
  const bool whole = state.range(0);
  TCAR car{};
  double f = 0;
  for (auto _ : state) {
    f = std::fmod(f + 0.3, kLine);
    car.Position[0] = r * std::cos(2 * M_PI * f / kLine);
    car.Position[2] = r * std::sin(2 * M_PI * f / kLine);
    if (whole) car.CenterLineIndex = (static_cast<int32_t>(f) + kLine / 2) % kLine;
    SB_UpdateCarTrackProgress(&car);
  }
  if (std::fabs(car.CenterLineIndex - f) > 1) state.SkipWithError("lost the car");
  state.SetLabel(whole ? "whole line" : "local");
  SB_FreeBsplinePoints();
}
BENCHMARK(BM_TrackProgress)->Arg(0)->Arg(1)->ArgName("whole")->Unit(benchmark::kMicrosecond);

// Outside reference: one find in a std::unordered_map of 20,000 entries.
void BM_ReferenceHashLookup(benchmark::State& state) {
  std::unordered_map<int32_t, int32_t> table;
  for (int32_t i = 0; i < 20000; ++i) table[i * 7919] = i;
  uint32_t seed = 7;
  for (auto _ : state) benchmark::DoNotOptimize(table.find(static_cast<int32_t>(bench::Next(seed) % 20000) * 7919));
}
BENCHMARK(BM_ReferenceHashLookup);

}  // namespace

BENCHMARK_MAIN();
