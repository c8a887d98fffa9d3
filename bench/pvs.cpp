// The visibility sets of about 2,000 small cubes laid out on a 48 x 42
// grid (z and x) on an occlusion picture with one wall across part of it
// (ms per build, seen-list entries stored).
#include <benchmark/benchmark.h>

#include "bench/benchlib.h"
#include "datagen/mapbuild.h"
#include "datagen/pcxwrite.h"
#include "track/decor.h"
#include "track/scene.h"

namespace {

constexpr int32_t kAlongX = 48, kAlongZ = 42;  // 2,016 small cubes

void BM_BuildPvs(benchmark::State& state) {
  bench::Heap heap{64u << 20};
  bench::TempDrive drive;
  SB_ResetVars();
  LSI_InitDirectory();
  datagen::Picture8 picture{640, 480, std::vector<uint8_t>(640 * 480, 0), std::vector<uint8_t>(768, 0)};
  for (int32_t y = 220; y < 240; ++y)  // a short wall along z inside the grid
    for (int32_t x = 300; x < 304; ++x) picture.pixels[y * 640 + x] = 1;
  std::filesystem::create_directories(drive.folder / "TXT");
  datagen::WritePcx((drive.folder / "TXT" / "PVS.PCX").string(), picture);
  datagen::MapBuilder m;
  const int32_t t = m.Texture("ROAD");
  for (int32_t i = 0; i < kAlongX; ++i)
    for (int32_t k = 0; k < kAlongZ; ++k) {
      const int32_t x = 128 * (i - kAlongX / 2) + 10, z = 128 * (k - kAlongZ / 2) + 10;
      m.CubeFace({{x, 0, z}, {x + 20, 0, z}, {x, 0, z + 20}}, datagen::kCubeUp, t);
    }
  SB_Var.UsingPvs = 1;
  for (auto _ : state) {
    state.PauseTiming();
    m.Install();
    for (void* b : {static_cast<void*>(SB_Var.Decor.SeenEntitys), static_cast<void*>(SB_Var.Decor.SeenEntitysList)})
      if (b) SB_Release(b);
    state.ResumeTiming();
    SB_3D_BuildPvs();
    state.PauseTiming();
    state.counters["cubes"] = SB_Var.Decor.NbSmallEntitys;
    state.counters["hidden"] = SB_Var.Decor.NbSeenEntitysList;
    SB_FreeDecor();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_BuildPvs)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
