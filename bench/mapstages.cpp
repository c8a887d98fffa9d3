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
#include "datagen/facepile.h"
#include "datagen/netrace.h"
#include "datagen/pcxwrite.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/win/shell.h"
#include "track/cubes.h"
#include "track/decor.h"
#include "track/polymap.h"
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

// The polygon conversion's output arrays four times as large while it
// lives, so that the circuit of 50,000 faces, which overflows them, shows
// how the later stages grow.
struct RaisedConversionRoom {
  TMAPCONVERSIONLIMITS saved = SB_ConversionLimits;
  RaisedConversionRoom() {
    SB_ConversionLimits.PPointOffsets = SB_ConversionLimits.PPointTextures = 4 * saved.PPointOffsets;
    SB_ConversionLimits.PointOffsets = SB_ConversionLimits.PointTextures = 4 * saved.PointOffsets;
    SB_ConversionLimits.FacePolys = 4 * saved.FacePolys;
  }
  ~RaisedConversionRoom() { SB_ConversionLimits = saved; }
};

void BM_Conversion(benchmark::State& state) {
  Circuit c(static_cast<int32_t>(state.range(0)));
  RaisedConversionRoom room;
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

// The whole build; a scene the construction refuses is timed all the same,
// with its last message as the label.
void BuildWhole(benchmark::State& state, bool refused = false) {
  SB_Var.UsingPvs = 1;
  for (auto _ : state) {
    const int32_t built = SB_LoadAndBuildMap("SCENE.ASC");
    state.PauseTiming();
    const std::string last = SB_PrintedLines().empty() ? "nothing printed" : SB_PrintedLines().back();
    if (!built && !refused) {
      state.SkipWithError(last.c_str());
      break;
    }
    if (refused) state.SetLabel(last);
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

// 50,000 seeded triangles of up to 1 m inside one small cube (12.8 m).
void BM_DegeneratePile(benchmark::State& state) {
  Circuit c(0, datagen::FacePileScene(50000, 67));
  BuildWhole(state, true);
}

// One 1 m triangle 200,000 times.
void BM_OneFaceRepeated(benchmark::State& state) {
  Circuit c(0, datagen::RepeatedFaceScene(200000));
  BuildWhole(state, true);
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
