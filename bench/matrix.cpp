// The matrix library and the camera: angles to a matrix and back, a
// product, one camera update and the rotation tables' refill, each of
// which runs per car or per view every frame.
#include <benchmark/benchmark.h>

#include <random>

#include "engine3d/camera.h"
#include "engine3d/matrix.h"
#include "racescene/views.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"

namespace {

// 1,024 seeded angle triples, cycled through so that no input repeats in
// the cache of a branch predictor.
struct Angles {
  int32_t a[1024][3];
  Angles() {
    std::mt19937 random(5);
    for (auto& t : a)
      for (int32_t& v : t) v = static_cast<int32_t>(random() & 0xFFFF);
  }
};
const Angles& Seeds() {
  static const Angles seeds;
  return seeds;
}

void BM_MatFromAngles16(benchmark::State& state) {
  TMATRIX m;
  size_t i = 0;
  for (auto _ : state) {
    const int32_t* t = Seeds().a[i++ & 1023];
    E3D_MatFromAngles16(m, t[0], t[1], t[2]);
    benchmark::DoNotOptimize(m);
  }
}
BENCHMARK(BM_MatFromAngles16);

void BM_MatToAngles(benchmark::State& state) {
  static TMATRIX m[1024];
  for (int k = 0; k < 1024; ++k) E3D_MatFromAngles16(m[k], Seeds().a[k][0], Seeds().a[k][1], Seeds().a[k][2]);
  double a, b, c;
  size_t i = 0;
  for (auto _ : state) {
    E3D_MatToAngles(m[i++ & 1023], &a, &b, &c);
    benchmark::DoNotOptimize(a + b + c);
  }
}
BENCHMARK(BM_MatToAngles);

void BM_MatMul(benchmark::State& state) {
  TMATRIX a, b;
  E3D_MatFromAngles(a, 0.1, 0.2, 0.3);
  E3D_MatFromAngles(b, -0.4, 0.5, -0.6);
  for (auto _ : state) {
    E3D_MatMul(a, b, a);
    benchmark::DoNotOptimize(a);
  }
}
BENCHMARK(BM_MatMul);

// A smoothed step toward a target that keeps moving.
void BM_UpdateCamera(benchmark::State& state) {
  LS_InitSinTable();
  TCAMERA camera{};
  size_t i = 0;
  for (auto _ : state) {
    const int32_t* t = Seeds().a[i++ & 1023];
    camera.TargetAngleX = static_cast<uint32_t>(t[0]);
    camera.TargetAngleY = static_cast<uint32_t>(t[1]);
    camera.TargetX = t[2];
    SB_UpdateCamera(&camera, 0.016, 4.0);
    benchmark::DoNotOptimize(camera);
  }
}
BENCHMARK(BM_UpdateCamera);

// Every coefficient differs from the last: the nine tables are refilled.
void BM_UpdateRotationTablesAllChanged(benchmark::State& state) {
  SB_ResetVars();
  FIXFRAME frames[2]{};
  for (int32_t k = 0; k < 9; ++k) {
    (&frames[0].Rotation[0][0])[k] = 1000 + k;
    (&frames[1].Rotation[0][0])[k] = -2000 - k;
  }
  size_t i = 0;
  for (auto _ : state) {
    SB_UpdateRotationTables(&frames[i++ & 1]);
    benchmark::DoNotOptimize(SB_Var.RotationTables[8].Entries[128]);
  }
}
BENCHMARK(BM_UpdateRotationTablesAllChanged);

}  // namespace

BENCHMARK_MAIN();
