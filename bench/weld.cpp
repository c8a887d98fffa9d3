// Welding the corners of the generated circuit, the plain comparison of
// every corner with every later face beside the hashed one, on 10,000 and
// 50,000 faces (ms per weld), and the scene reader on the 50,000-face
// scene (bytes per second).
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "bench/benchlib.h"
#include "datagen/netrace.h"
#include "system/win/shell.h"
#include "track/scene.h"

namespace {

// The circuit of about the given faces, loaded once.
struct LoadedCircuit {
  bench::Heap heap{256u << 20};
  bench::TempDrive drive;
  std::string text;
  std::vector<TLMAPFACE> faces;
  explicit LoadedCircuit(int32_t faces_) {
    SB_ResetVars();
    LSI_InitDirectory();
    // The windows exist and are active, so that the reader's keyboard
    // flush does not wait for an activation.
    LSYS_CreateWindows(nullptr, 1);
    LSYS_PumpMessages();
    text = datagen::NetraceScene(datagen::NetraceSegmentsFor(faces_));
    std::ofstream((drive.folder / "NETRACE.ASC").string(), std::ios::binary) << text;
    TLMAP* map = SB_LoadAsciiMap("NETRACE.ASC");
    faces.assign(map->Faces, map->Faces + map->NbFaces);
    SB_FreeTLMAP(map);
  }
};

template <int32_t (*Weld)(TLMAP*)>
void BM_Weld(benchmark::State& state) {
  LoadedCircuit circuit(static_cast<int32_t>(state.range(0)));
  std::vector<TLMAPFACE> work;
  for (auto _ : state) {
    state.PauseTiming();
    work = circuit.faces;
    TLMAP map{static_cast<uint32_t>(work.size()), work.data(), static_cast<uint32_t>(work.size())};
    state.ResumeTiming();
    benchmark::DoNotOptimize(Weld(&map));
  }
  state.counters["faces"] = static_cast<double>(circuit.faces.size());
}
BENCHMARK(BM_Weld<SB_WeldMapVerticesReference>)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Weld<SB_WeldMapVerticesHashed>)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_LoadScene(benchmark::State& state) {
  LoadedCircuit circuit(50000);
  for (auto _ : state) {
    TLMAP* map = SB_LoadAsciiMap("NETRACE.ASC");
    benchmark::DoNotOptimize(map);
    SB_FreeTLMAP(map);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * circuit.text.size()));
}
BENCHMARK(BM_LoadScene)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
