// The software map construction of the generated circuit of 20,000 faces:
// welding, normals, the small and big cube splits with their joins and
// texture-repeat cuts (ms per construction, faces stored).
#include <benchmark/benchmark.h>

#include <fstream>
#include <vector>

#include "bench/benchlib.h"
#include "datagen/netrace.h"
#include "system/win/shell.h"
#include "track/decor.h"
#include "track/scene.h"

namespace {

void BM_ConstructCircuit(benchmark::State& state) {
  bench::Heap heap{400u << 20};
  bench::TempDrive drive;
  SB_ResetVars();
  LSI_InitDirectory();
  LSYS_CreateWindows(nullptr, 1);
  LSYS_PumpMessages();
  std::ofstream((drive.folder / "NETRACE.ASC").string(), std::ios::binary)
      << datagen::NetraceScene(datagen::NetraceSegmentsFor(static_cast<int32_t>(state.range(0))));
  SB_Var.SplitTextureRepeats = 1;
  int32_t faces = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TLMAP* map = SB_LoadAsciiMap("NETRACE.ASC");
    faces = static_cast<int32_t>(map->NbFaces);
    state.ResumeTiming();
    benchmark::DoNotOptimize(SB_ConstructMap(map));
    state.PauseTiming();
    state.counters["stored"] = SB_Var.Decor.NbFaces;
    SB_FreeTLMAP(map);
    SB_FreeDecor();
    state.ResumeTiming();
  }
  state.counters["faces"] = faces;
}
BENCHMARK(BM_ConstructCircuit)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
