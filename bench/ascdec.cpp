// The polygon-map conversion: SB_ConvertAscToDec on the generated circuit
// of about 20,000 faces, welded once, without and with merging (ms per
// conversion, with the faces, points and cells it makes), and
// SB_SimplifyTLMAPPOLY on one dense cell of coplanar triangles.
#include <benchmark/benchmark.h>

#include <fstream>
#include <vector>

#include "bench/benchlib.h"
#include "datagen/netrace.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/win/shell.h"
#include "track/polymap.h"
#include "track/scene.h"

namespace {

struct WeldedCircuit {
  bench::Heap heap{256u << 20};
  bench::TempDrive drive;
  std::vector<TLMAPFACE> faces;
  WeldedCircuit() {
    SB_ResetVars();
    LSI_InitDirectory();
    LSYS_CreateWindows(nullptr, 1);
    LSYS_PumpMessages();
    std::ofstream((drive.folder / "NETRACE.ASC").string(), std::ios::binary)
        << datagen::NetraceScene(datagen::NetraceSegmentsFor(20000));
    TLMAP* map = SB_LoadAsciiMap("NETRACE.ASC");
    SB_WeldMapVertices(map);
    faces.assign(map->Faces, map->Faces + map->NbFaces);
    SB_FreeTLMAP(map);
  }
};

void ReleaseOutputs() {
  TDECOR& d = SB_Var.Decor;
  for (void* a : {static_cast<void*>(d.PPointOffsets), static_cast<void*>(d.PPointTextures),
                  static_cast<void*>(d.PointOffsets), static_cast<void*>(d.PointTextures),
                  static_cast<void*>(d.FacePolys), static_cast<void*>(d.Cube10Polys)})
    if (a) SB_Release(a);
  d.PPointOffsets = d.PPointTextures = nullptr, d.PointOffsets = nullptr, d.PointTextures = nullptr;
  d.FacePolys = nullptr, d.Cube10Polys = nullptr;
}

void BM_ConvertCircuit(benchmark::State& state) {
  WeldedCircuit circuit;
  SB_Var.Simplification = static_cast<int32_t>(state.range(0));
  std::vector<TLMAPFACE> work;
  for (auto _ : state) {
    state.PauseTiming();
    ReleaseOutputs();
    work = circuit.faces;
    TLMAP map{static_cast<uint32_t>(work.size()), work.data(), static_cast<uint32_t>(work.size())};
    state.ResumeTiming();
    if (!SB_ConvertAscToDec(&map)) state.SkipWithError("conversion failed");
  }
  state.counters["faces_in"] = static_cast<double>(circuit.faces.size());
  state.counters["faces"] = SB_Var.Decor.NbFacePolys;
  state.counters["points"] = SB_Var.Decor.NbPointOffsets;
  state.counters["cells"] = SB_Var.Decor.NbCube10Polys;
  ReleaseOutputs();
}
BENCHMARK(BM_ConvertCircuit)
    ->ArgName("simplification")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// A cell of n x n squares of 20 units, two triangles each, one texture
// mapping over all of them.
TLMAPPOLY* DenseCell(int32_t n) {
  TLMAPPOLY* poly = SB_NewTLMAPPOLY(2 * n * n, 6 * n * n, "bench");
  auto corner = [](int32_t i, int32_t j) {
    return TPOLYPOINT{10.0 + 20 * i, 100, 10.0 + 20 * j, 0.5 + i * 0.25, 0.5 + j * 0.25};
  };
  for (int32_t i = 0; i < n; ++i)
    for (int32_t j = 0; j < n; ++j)
      for (const auto& t : {std::vector<TPOLYPOINT>{corner(i, j), corner(i, j + 1), corner(i + 1, j + 1)},
                            std::vector<TPOLYPOINT>{corner(i, j), corner(i + 1, j + 1), corner(i + 1, j)}}) {
        poly->Faces[poly->NbFaces++] = {static_cast<uint32_t>(poly->NbPoints), 0, -1, 0, 3, 0, 0};
        for (const TPOLYPOINT& p : t) poly->Points[poly->NbPoints++] = p;
      }
  return poly;
}

void BM_SimplifyDenseCell(benchmark::State& state) {
  bench::Heap heap{64u << 20};
  SB_ResetVars();
  SB_Var.Simplification = 1;
  const int32_t n = static_cast<int32_t>(state.range(0));
  int32_t left = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TLMAPPOLY* poly = DenseCell(n);
    state.ResumeTiming();
    SB_SimplifyTLMAPPOLY(poly);
    left = poly->NbFaces;
    SB_FreeTLMAPPOLY(poly);
  }
  state.counters["triangles"] = 2 * n * n;
  state.counters["faces_left"] = left;
}
BENCHMARK(BM_SimplifyDenseCell)->Arg(12)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
