// The editors' curves and the road generator: SB_GetBsplinesAngles over
// the 999 segments of a 9 km loop (the editors resample on every frame of a
// drag), beside the bare CalcCatmullRomPoint evaluation of the same 999,000
// points as its floor; CalcRoadAndSaveAscii of a 2,500-face piece, and the
// scene reader reading that piece back.
#include <benchmark/benchmark.h>

#include <cmath>

#include "bench/benchlib.h"
#include "engine3d/types.h"
#include "shell/sbvar.h"
#include "system/win/shell.h"
#include "tools/bsplines.h"
#include "tools/roadgen/roadgen.h"
#include "tools/trackedit/catmullrom.h"
#include "track/scene.h"

namespace {

constexpr int32_t kPoints = 1000;
constexpr double kLoop = 9000.0;  // metres

// 1,000 control points on a 9 km circle, the last meeting the first.
void SetLoop() {
  SB_ResetVars();
  const double radius = kLoop / (2 * M_PI);
  for (int32_t i = 0; i < kPoints; ++i) {
    const double a = 2 * M_PI * i / (kPoints - 1);
    SB_Var.RaceLinePoints[i] = {radius * std::cos(a), 0.0, radius * std::sin(a)};
  }
  SB_Var.NbRaceLinePoints = kPoints;
}

void BM_GetBsplinesAngles(benchmark::State& state) {
  bench::Heap heap{8u << 20};
  SetLoop();
  for (auto _ : state) {
    SB_GetBsplinesAngles();
    benchmark::DoNotOptimize(SB_Var.BsplineMeters);
  }
  state.counters["metres"] = SB_Var.NbBsplineMeters;
  SB_FreeBsplinesMeters();
}
BENCHMARK(BM_GetBsplinesAngles)->Unit(benchmark::kMillisecond);

// The floor: the same 1,000 points of each segment, nothing else.
void BM_CatmullRomPoints(benchmark::State& state) {
  SetLoop();
  const TVECTOR* p = SB_Var.RaceLinePoints;
  for (auto _ : state) {
    TVECTOR r, sum = {0, 0, 0};
    for (int32_t i = 1; i < kPoints - 2; ++i)
      for (int32_t k = 1; k <= 1000; ++k) {
        CalcCatmullRomPoint(&r, &p[i - 1], k * 0.001, &p[i], &p[i + 1], &p[i + 2]);
        sum.x += r.x;
      }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_CatmullRomPoints)->Unit(benchmark::kMillisecond);

// A banked turn of 2,500 faces (209 segments of 12 faces, the last cut).
TROADPARAMS BigPiece() {
  TROADPARAMS p = {};
  p.LaneWidth = 5, p.BaseLength = 10, p.Length = 2090, p.TextureLength = 10, p.GutterWidth = 2;
  p.NbLanes = 4, p.LanesPerStrip = 2;
  p.HeadingChange = -3.0f, p.HeadingSmooth = 1, p.StartBank = 0.1f;
  return p;
}

struct RoadDrive {
  bench::Heap heap{64u << 20};
  bench::TempDrive drive;
  RoadDrive() {
    SB_ResetVars();
    LSI_InitDirectory();
    // The windows exist and are active, so that the reader's keyboard
    // flush does not wait for an activation.
    LSYS_CreateWindows(nullptr, 1);
    LSYS_PumpMessages();
  }
};

void BM_CalcRoadAndSaveAscii(benchmark::State& state) {
  RoadDrive road;
  const TROADPARAMS piece = BigPiece();
  for (auto _ : state) CalcRoadAndSaveAscii("PIECE.ASC", &piece);
  state.counters["faces"] = RoadNbFaces;
}
BENCHMARK(BM_CalcRoadAndSaveAscii)->Unit(benchmark::kMillisecond);

void BM_ReadRoadPiece(benchmark::State& state) {
  RoadDrive road;
  const TROADPARAMS piece = BigPiece();
  CalcRoadAndSaveAscii("PIECE.ASC", &piece);
  uint32_t faces = 0;
  for (auto _ : state) {
    TLMAP* map = SB_LoadAsciiMap("PIECE.ASC");
    faces = map ? map->NbFaces : 0;
    SB_FreeTLMAP(map);
  }
  state.counters["faces"] = faces;
}
BENCHMARK(BM_ReadRoadPiece)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
