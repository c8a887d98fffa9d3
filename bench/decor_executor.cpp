// The decor script executor over a full list: 256 decor objects (the data
// tree's marshal car) spread along the default circuit, each with four
// blocks: a SPEED back and forth kept 1 m above the ground with AUTOALT
// and AUTOANGLE, an ASPEED spin, a 1,000-record TABLE followed with
// AUTOANGLE and AUTOPENCHE, and an AUTOSPEED triangle, each looping by
// GOTO. One iteration is one race frame of 16 ms: SB_AnimateDecorObjects.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "bench/benchlib.h"
#include "datagen/decorprops.h"
#include "datagen/netrace.h"
#include "engine3d/matrix.h"
#include "scenery/decorobjects.h"
#include "scenery/devenv.h"
#include "scenery/effects.h"
#include "track/decor.h"
#include "track/ground.h"

namespace fs = std::filesystem;

namespace {

constexpr int32_t kObjects = 256, kBlocks = 4, kTableRecords = 1000;

std::string Script(const std::array<double, 3>& p) {
  char text[1024];
  std::snprintf(text, sizeof text,
                "{ {XYZ %.2f,%.2f,%.2f SPEED 1,0,0.5 AUTOALT 1 AUTOANGLE TIME 5}\r\n"
                "  {SPEED -1,0,-0.5 AUTOALT 1 AUTOANGLE TIME 5} {GOTO 0} }\r\n"
                "{ {ASPEED 30,45,0 TIME 100} {GOTO 0} }\r\n"
                "{ {TABLE \"decor>path.tab\" SPEED 5,0,0 AUTOANGLE AUTOPENCHE} {GOTO 0} }\r\n"
                "{ {XYZ %.2f,%.2f,%.2f AUTOSPEED AUTOANGLE TIME 2} {XYZ %.2f,%.2f,%.2f AUTOSPEED AUTOANGLE TIME 2}\r\n"
                "  {XYZ %.2f,%.2f,%.2f AUTOSPEED AUTOANGLE TIME 2} {XYZ %.2f,%.2f,%.2f RIGHTNOW} {GOTO 0} }\r\n",
                p[0], p[1], p[2], p[0], p[1], p[2], p[0] + 8, p[1], p[2] + 3, p[0] + 2, p[1] - 1, p[2] + 9, p[0],
                p[1], p[2]);
  return text;
}

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// The default circuit's map and the list on a temporary drive C:.
struct DecorList {
  bench::TempDrive drive;
  bench::Heap heap{64u << 20};
  bool ready = false;
  DecorList() {
    LSI_InitDirectory();
    SB_ResetVars();
    std::error_code ec;
    fs::create_directories(drive.folder / "DEC", ec);
    fs::copy_file(fs::path(ZENTROVA_DATA_DIR) / "DEC" / "NETRACE.DEC", drive.folder / "DEC" / "NETRACE.DEC", ec);
    for (const datagen::CarModel& prop : datagen::DecorProps())
      if (prop.path.find("MARSHAL") != std::string::npos) datagen::WriteCarModel(drive.folder.string(), prop);
    const auto line = datagen::NetraceCentreLine();
    std::vector<std::array<double, 3>> path;
    for (int32_t i = 0; i < kTableRecords; ++i) path.push_back(line[i * line.size() / kTableRecords]);
    Write(drive.folder / "DECOR" / "PATH.TAB", datagen::TableBytes(path));
    std::string list;
    for (int32_t i = 0; i < kObjects; ++i) {
      const std::string name = "DECOR/S" + std::to_string(i) + ".TXT";
      Write(drive.folder / name, Script(line[i * line.size() / kObjects]));
      list += "OBJECT \"obc>decor>marshal.obc\",\"decor>s" + std::to_string(i) + ".txt\"," + std::to_string(i) + "\r\n";
    }
    Write(drive.folder / "DECOR" / "LIST.TXT", list);
    if (!SB_LoadDecor("DEC>NETRACE.DEC")) return;
    SB_Var.Renderer = SB_RENDERER_PVR;  // the ground from the polygon cells
    BuildListXZYPoly();
    E3D_MatFromAngles(SB_Var.CarAxisMatrix, 1.5707963267948966, 1.5707963267948966, 0.0);
    SB_Var.Renderer = 0;  // no card textures for the objects
    LoadObjectScript("decor>list.txt");
    SB_Var.Renderer = SB_RENDERER_PVR;
    SB_Var.DecorObjectsOn = 1;
    SB_Var.Time = 0;
    SB_ResetDecorScripts();
    ready = SB_Var.NbDecorObjects == kObjects;
    for (int32_t i = 0; ready && i < kObjects; ++i)
      ready = SB_Var.DecorObjects[i].Object && SB_Var.DecorObjects[i].NbBlocks == kBlocks;
  }
  ~DecorList() {
    SB_FreeDecorNames();
    SB_FreeDecorObjects();
    SB_FreeListXZYPoly();
    SB_FreeDecor();
  }
  static int32_t Running() {
    int32_t n = 0;
    for (int32_t i = 0; i < SB_Var.NbDecorObjects; ++i)
      for (int32_t j = 0; j < SB_Var.DecorObjects[i].NbBlocks; ++j)
        n += SB_Var.DecorObjects[i].Blocks[j].Flags & DECOR_RUNNING ? 1 : 0;
    return n;
  }
};

void BM_AnimateDecorObjects(benchmark::State& state) {
  DecorList list;
  if (!list.ready) {
    state.SkipWithError("the list did not load");
    return;
  }
  for (auto _ : state) {
    SB_Var.Time += 16;
    SB_AnimateDecorObjects();
  }
  if (DecorList::Running() != kObjects * kBlocks) state.SkipWithError("a block stopped");
  state.counters["per_block"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kObjects * kBlocks,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AnimateDecorObjects)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
