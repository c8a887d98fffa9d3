// Each stage of the map construction on the generated circuit of about
// 5,000, 10,000, 20,000 and 50,000 faces, so that each stage's growth with
// its input shows: welding, normals, the polygon conversion without and
// with merging, the cube split (small and big cubes, every cube's joins
// and filing), the joins alone on the faces of each small cube, the
// visibility sets, and the whole SB_LoadAndBuildMap with the visibility
// sets on; and two degenerate scenes: every face of the largest circuit
// in one small cube, and one face repeated 200,000 times.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "bench/benchlib.h"
#include "datagen/netrace.h"
#include "datagen/pcxwrite.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/win/shell.h"
#include "track/cubes.h"
#include "track/decor.h"
#include "track/scene.h"

namespace {

// The circuit's scene on a drive with the occlusion picture; its faces as
// read and as welded, with normals.
struct Circuit {
  bench::Heap heap{400u << 20};
  bench::TempDrive drive;
  std::vector<TLMAPFACE> read, welded;
  explicit Circuit(int32_t faces, const std::string& scene = "") {
    SB_ResetVars();
    LSI_InitDirectory();
    LSYS_CreateWindows(nullptr, 1);
    LSYS_PumpMessages();
    const std::vector<uint8_t> pvs = datagen::EncodePcx(datagen::NetracePvsPicture());
    std::filesystem::create_directories(drive.folder / "TXT" / "TRAVUN");
    std::ofstream((drive.folder / "TXT" / "TRAVUN" / "PVS.PCX").string(), std::ios::binary)
        .write(reinterpret_cast<const char*>(pvs.data()), static_cast<std::streamsize>(pvs.size()));
    std::strcpy(SB_Var.TexturePath, "TRAVUN>");
    SB_Var.SplitTextureRepeats = 1;
    std::ofstream((drive.folder / "SCENE.ASC").string(), std::ios::binary)
        << (scene.empty() ? datagen::NetraceScene(datagen::NetraceSegmentsFor(faces)) : scene);
    if (!scene.empty()) return;
    TLMAP* map = SB_LoadAsciiMap("SCENE.ASC");
    read.assign(map->Faces, map->Faces + map->NbFaces);
    SB_WeldMapVertices(map);
    SB_CalcMapNormals(map);
    welded.assign(map->Faces, map->Faces + map->NbFaces);
    SB_FreeTLMAP(map);
  }
};

void Count(benchmark::State& state, const Circuit& c) { state.counters["faces"] = static_cast<double>(c.read.size()); }

void BM_Weld(benchmark::State& state) {
  Circuit c(static_cast<int32_t>(state.range(0)));
  std::vector<TLMAPFACE> work;
  for (auto _ : state) {
    state.PauseTiming();
    work = c.read;
    TLMAP map{static_cast<uint32_t>(work.size()), work.data(), static_cast<uint32_t>(work.size())};
    state.ResumeTiming();
    SB_WeldMapVertices(&map);
  }
  Count(state, c);
}

void BM_Normals(benchmark::State& state) {
  Circuit c(static_cast<int32_t>(state.range(0)));
  std::vector<TLMAPFACE> work = c.read;
  TLMAP map{static_cast<uint32_t>(work.size()), work.data(), static_cast<uint32_t>(work.size())};
  for (auto _ : state) SB_CalcMapNormals(&map);
  Count(state, c);
}

void ReleaseConversion() {
  TDECOR& d = SB_Var.Decor;
  for (void** a : {reinterpret_cast<void**>(&d.PPointOffsets), reinterpret_cast<void**>(&d.PPointTextures),
                   reinterpret_cast<void**>(&d.PointOffsets), reinterpret_cast<void**>(&d.PointTextures),
                   reinterpret_cast<void**>(&d.FacePolys), reinterpret_cast<void**>(&d.Cube10Polys)})
    if (*a) SB_Release(*a), *a = nullptr;
}

void BM_Conversion(benchmark::State& state) {
  Circuit c(static_cast<int32_t>(state.range(0)));
  SB_Var.Simplification = static_cast<int32_t>(state.range(1));
  std::vector<TLMAPFACE> work;
  for (auto _ : state) {
    state.PauseTiming();
    ReleaseConversion();
    work = c.welded;
    TLMAP map{static_cast<uint32_t>(work.size()), work.data(), static_cast<uint32_t>(work.size())};
    state.ResumeTiming();
    if (!SB_ConvertAscToDec(&map)) state.SkipWithError("conversion failed (its arrays are full)");
  }
  state.counters["polygons"] = SB_Var.Decor.NbFacePolys;
  ReleaseConversion();
  Count(state, c);
}

void BM_CubeSplit(benchmark::State& state) {
  Circuit c(static_cast<int32_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    TDECOR& d = SB_Var.Decor;
    d.NbBigEntitys = d.NbSmallEntitys = d.NbVertices = d.NbWordVertices = d.NbFaces = 0;
    SB_Var.NbTextures = 0;
    TLMAP* workGroup = nullptr;
    SB_InitMapConstruction(&workGroup);
    TLMAP* small = SB_CopyMap(&*std::make_unique<TLMAP>(TLMAP{static_cast<uint32_t>(c.welded.size()),
                                                              c.welded.data(), 0}));
    TLMAP* big = SB_CopyMap(small);
    SB_ReduceMap(big);
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    SB_SplitMap2Cube(small, workGroup);
    const auto middle = std::chrono::steady_clock::now();
    SB_SplitMap2CubeBig(big, workGroup);
    const auto end = std::chrono::steady_clock::now();
    state.PauseTiming();
    state.counters["small_ms"] = std::chrono::duration<double, std::milli>(middle - start).count();
    state.counters["big_ms"] = std::chrono::duration<double, std::milli>(end - middle).count();
    state.counters["stored"] = d.NbFaces;
    SB_FreeTLMAP(small);
    SB_FreeTLMAP(big);
    SB_FreeTLMAP(workGroup);
    SB_FreeDecor();
    state.ResumeTiming();
  }
  Count(state, c);
}

// The faces of each small cube of the welded circuit (whole faces, by the
// cube of their centre), joined as the small-cube pass joins a cube's
// group.
void BM_Joining(benchmark::State& state) {
  Circuit c(static_cast<int32_t>(state.range(0)));
  std::map<std::tuple<int32_t, int32_t, int32_t>, std::vector<TLMAPFACE>> cubes;
  for (TLMAPFACE f : c.welded) {
    SB_SetFaceCube(&f);
    cubes[{f.CubeX, f.CubeY, f.CubeZ}].push_back(f);
  }
  std::vector<TLMAPFACE> work;
  for (auto _ : state) {
    for (const auto& [cube, faces] : cubes) {
      state.PauseTiming();
      work = faces;
      TLMAP group{static_cast<uint32_t>(work.size()), work.data(), static_cast<uint32_t>(work.size())};
      state.ResumeTiming();
      SB_JoinSeriesFine(&group);
    }
  }
  state.counters["cubes"] = static_cast<double>(cubes.size());
  Count(state, c);
}

void BM_Visibility(benchmark::State& state) {
  Circuit c(static_cast<int32_t>(state.range(0)));
  SB_Var.UsingPvs = 0;
  if (!SB_LoadAndBuildMap("SCENE.ASC")) state.SkipWithError("the map was not built");
  SB_Var.UsingPvs = 1;
  TDECOR& d = SB_Var.Decor;
  for (auto _ : state) {
    state.PauseTiming();
    for (void** b : {reinterpret_cast<void**>(&d.SeenEntitys), reinterpret_cast<void**>(&d.SeenEntitysList)})
      if (*b) SB_Release(*b), *b = nullptr;
    state.ResumeTiming();
    SB_3D_BuildPvs();
  }
  state.counters["cubes"] = d.NbSmallEntitys;
  state.counters["hidden"] = d.NbSeenEntitysList;
  SB_FreeDecor();
  Count(state, c);
}

void BuildWhole(benchmark::State& state) {
  SB_Var.UsingPvs = 1;
  for (auto _ : state) {
    if (!SB_LoadAndBuildMap("SCENE.ASC")) {
      const std::string why = SB_PrintedLines().empty() ? "not built" : SB_PrintedLines().back();
      state.SkipWithError(why.c_str());
      break;
    }
    state.PauseTiming();
    state.counters["stored"] = SB_Var.Decor.NbFaces;
    SB_FreeDecor();
    state.ResumeTiming();
  }
}

void BM_Whole(benchmark::State& state) {
  Circuit c(static_cast<int32_t>(state.range(0)));
  BuildWhole(state);
  Count(state, c);
}

// A scene of one object per 8,192 faces (the reader's limit), each face
// given by the corner maker.
template <typename Corners>
std::string Scene(int32_t faces, Corners corners) {
  std::string out;
  char line[160];
  for (int32_t first = 0, object = 0; first < faces; first += 8192, ++object) {
    const int32_t n = std::min(8192, faces - first);
    std::snprintf(line, sizeof line, "Named object: \"PILE%d\"\r\nTri-mesh, Vertices: %d Faces: %d\r\nVertex list:\r\n",
                  object, 3 * n, n);
    out += line;
    for (int32_t i = 0; i < n; ++i) {
      const auto c = corners(first + i);
      for (int32_t k = 0; k < 3; ++k) {
        std::snprintf(line, sizeof line, "Vertex %d: X:%.4f Y:%.4f Z:%.4f U:%.3f V:%.3f\r\n", 3 * i + k, c[k][0],
                      c[k][1], c[k][2], c[k][3], c[k][4]);
        out += line;
      }
    }
    out += "Face list:\r\n";
    for (int32_t i = 0; i < n; ++i) {
      std::snprintf(line, sizeof line, "Face %d: A:%d B:%d C:%d AB:1 BC:1 CA:1\r\nMaterial:\"ROUT1 C\"\r\n", i, 3 * i,
                    3 * i + 1, 3 * i + 2);
      out += line;
    }
  }
  return out;
}

using Corners = std::array<std::array<double, 5>, 3>;

// 50,000 seeded triangles of up to 1 m inside one small cube (12.8 m).
void BM_DegeneratePile(benchmark::State& state) {
  uint32_t seed = 67;
  auto coordinate = [&seed](double span) { return span * (bench::Next(seed) >> 8) / double(1u << 24); };
  Circuit c(0, Scene(50000, [&](int32_t) {
              Corners t;
              const double x = 0.2 + coordinate(11), y = 0.2 + coordinate(11), z = 0.2 + coordinate(11);
              for (auto& p : t) p = {x + coordinate(1), y + coordinate(1), z + coordinate(1), coordinate(1), coordinate(1)};
              return t;
            }));
  BuildWhole(state);
}

// One 1 m triangle 200,000 times.
void BM_OneFaceRepeated(benchmark::State& state) {
  Circuit c(0, Scene(200000, [](int32_t) {
              return Corners{{{1, 1, 0, 0, 0}, {2, 1, 0, 1, 0}, {1, 2, 0, 0, 1}}};
            }));
  BuildWhole(state);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int64_t n : {5000, 10000, 20000, 50000}) b->Arg(n);
  b->Unit(benchmark::kMillisecond)->Iterations(1);
}

BENCHMARK(BM_Weld)->Apply(Sizes);
BENCHMARK(BM_Normals)->Apply(Sizes);
BENCHMARK(BM_Conversion)
    ->ArgsProduct({{5000, 10000, 20000, 50000}, {0, 1}})
    ->ArgNames({"faces", "simplification"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_CubeSplit)->Apply(Sizes);
BENCHMARK(BM_Joining)->Apply(Sizes);
BENCHMARK(BM_Visibility)->Apply(Sizes);
BENCHMARK(BM_Whole)->Apply(Sizes);
BENCHMARK(BM_DegeneratePile)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_OneFaceRepeated)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
