// The software frame at VIDEOMODE 7 inside a race of four cars on the
// default circuit: the whole program in this process on a copy of the
// build's data tree, and, once the race runs, the view steps of its frame
// timed from the map frame benchmark's 64 cameras along the centre line:
// the map and the cars listed (SB_SetView, E3D_SoftRenderMap, the cars),
// the draw list (E3D_SoftBuildDrawList) and the whole frame drawn
// (E3D_SoftDrawScene), with renderer 0 (the polygon families) and 1 (the
// 1/z triangle filler). In a second process the same race at VIDEOMODE 17
// with renderer 0 (the 16-bit families), and in a third on the
// accelerator's mode, where the stand-in draws each camera's frame on one
// thread.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/netrace_views.h"
#include "bench/timecollect.h"
#include "console/hooks.h"
#include "console/startup.h"
#include "engine3d/camera.h"
#include "engine3d/power.h"
#include "platform/accel/control.h"
#include "platform/config.h"
#include "platform/fs.h"
#include "platform/window.h"
#include "race/raceframe.h"
#include "racescene/race3d.h"
#include "racescene/videomode.h"
#include "racescene/views.h"
#include "shell/sbvar.h"
#include "softrender/drawlist.h"
#include "softrender/softrender.h"
#include "system/win/shell.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kCameras = 64;
std::vector<TCAMERA> g_cameras;
bool g_ran = false;
std::string g_spec;  // the benchmarks of this race
int g_stdout = -1;   // standard output, while the console's lines go nowhere
int32_t g_depth = 8;  // of the race's video mode

// The map frame benchmark's 64 places along the centre line.
void MakeCameras() { g_cameras = bench::NetraceCameras(kCameras); }

// The race frame's view steps up to the draw: the view set, the map's
// polygons and the cars'.
TSOFTSCENE* ListView(int64_t i) {
  TCAMERA& camera = g_cameras[static_cast<size_t>(i % kCameras)];
  TSOFTSCENE* view = SB_Var.CurrentView;
  SB_SetView(view, &camera, &SB_Var.ScreenWindow, SB_Var.Focal, SB_Var.DetailDistance, 0);
  if (SB_Var.RenderMap) SB_Var.RenderMap(view, &camera, &SB_Var.ScreenWindow);
  SB_DrawWorldObjects(&camera, view);
  return view;
}

void Software(benchmark::State& state) {
  SB_Var.Renderer = static_cast<int32_t>(state.range(0));
  SB_InstallRenderBackEnd(g_depth);
  state.SetLabel(state.range(0) ? "1/z triangles" : "polygon families");
}

void BM_SoftMapAndCars(benchmark::State& state) {
  Software(state);
  int64_t i = 0, polygons = 0;
  for (auto _ : state) polygons += ListView(i++)->NbPolygons;
  state.counters["polygons"] = static_cast<double>(polygons) / static_cast<double>(i ? i : 1);
}

void BM_SoftDrawList(benchmark::State& state) {
  Software(state);
  int64_t i = 0, entries = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TSOFTSCENE* view = ListView(i++);
    state.ResumeTiming();
    E3D_SoftBuildDrawList(&SB_Var.ScreenWindow, view);
    entries += E3D_SoftDraws.NbDraws;
  }
  state.counters["entries"] = static_cast<double>(entries) / static_cast<double>(i ? i : 1);
}

void BM_SoftFrame(benchmark::State& state) {
  Software(state);
  int64_t i = 0;
  for (auto _ : state) E3D_SoftDrawScene(&SB_Var.ScreenWindow, ListView(i++));
  state.counters["fps"] = benchmark::Counter(static_cast<double>(i), benchmark::Counter::kIsRate);
}

// The accelerator's frame off its pipelined path: view, map, cars, clip,
// then the stand-in's frame started, rendered and waited for.
void BM_AccelFrame(benchmark::State& state) {
  plat::AccelSetThreads(1);
  SB_Var.SlowRender = 1;
  int64_t i = 0;
  for (auto _ : state) {
    TSOFTSCENE* view = ListView(i++);
    POWER_ClipViewPolygons(&SB_Var.ScreenWindow, view);
    SB_FinishFrameRender(&SB_Var.ScreenWindow, view);
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(i), benchmark::Counter::kIsRate);
}

using Collect = bench::TimeCollect;

void Split(const Collect& c) {
  auto get = [&](const std::string& name) {
    const auto it = c.seconds.find(name);
    return it == c.seconds.end() ? 0.0 : it->second * 1e6;
  };
  for (const char* r : {"0", "1"}) {
    const double map = get(std::string("BM_SoftMapAndCars/renderer:") + r + "/real_time");
    const double list = get(std::string("BM_SoftDrawList/renderer:") + r + "/real_time");
    const double frame = get(std::string("BM_SoftFrame/renderer:") + r + "/real_time");
    if (frame > 0)
      std::printf("Renderer %s: %.0f us a frame (%.0f fps): map and cars %.0f us, draw list %.0f us, filling %.0f us\n",
                  r, frame, 1e6 / frame, map, list, frame - map - list);
  }
  const double accel = get("BM_AccelFrame/real_time");
  if (accel > 0) std::printf("Accelerator stand-in, one thread: %.0f us a frame (%.0f fps)\n", accel, 1e6 / accel);
}

// Once the race has drawn two frames: the benchmarks, then the race left.
void Pump() {
  if (g_ran || SB_Var.RaceFrames < 2) return;
  g_ran = true;
  MakeCameras();  // the program's cosine table is built by now
  std::fflush(stdout);
  const int quiet = dup(STDOUT_FILENO);
  dup2(g_stdout, STDOUT_FILENO);
  Collect reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter, g_spec);
  Split(reporter);
  std::fflush(stdout);
  dup2(quiet, STDOUT_FILENO);
  close(quiet);
  SB_Var.LeaveRace = 1;
}

// The race of the given start-up lines in this process, on a copy of the
// build's data tree, its console silenced.
void Race(const std::string& lines) {
  char pattern[] = "/tmp/zentrova-bench-XXXXXX";
  const fs::path folder = mkdtemp(pattern);
  fs::copy(ZENTROVA_DATA_DIR, folder / "tree", fs::copy_options::recursive);
  std::ofstream(folder / "tree" / "dat" / "BENCH.TXT") << lines << "PLAY\r\nQUIT\r\n";
  plat::SetMessageBoxEcho(false);
  plat::SetConfigDir((folder / "config").string());
  plat::ConfigureDrives({{'C', plat::DriveType::Fixed, "", (folder / "tree").string()}});
  plat::SetMessageSource(Pump);
  SB_InstallHooks();
  SB_ResetVars();
  // As the program's entry does: the windows made and their first
  // activation taken, without which every pump would wait.
  if (LSYS_CreateWindows(nullptr, 1) != 1) return;
  LSYS_PumpMessages();
  std::vector<const char*> args = {"zentrova", "-S:bench.txt"};
  // The program's console lines and messages go nowhere; the benchmarks
  // print on the saved standard output.
  std::fflush(stdout);
  g_stdout = dup(STDOUT_FILENO);
  if (!std::getenv("ZENTROVA_BENCH_CONSOLE")) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO), dup2(null, STDERR_FILENO);
    close(null);
  }
  plat::SetExitHook([](int) {
    std::fflush(stdout);
    _exit(0);
  });
  SB_Main(static_cast<int16_t>(args.size()), const_cast<char**>(args.data()));
}

void Run(const std::string& lines, const std::string& spec, int32_t depth) {
  g_spec = spec, g_depth = depth;
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    Race(lines);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
}

}  // namespace

BENCHMARK(BM_SoftMapAndCars)->ArgName("renderer")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SoftDrawList)->ArgName("renderer")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SoftFrame)->ArgName("renderer")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_AccelFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::printf("VIDEOMODE 7, four cars, 64 cameras along NETRACE:\n");
  Run("USINGCARS 1\r\nNUMBEROFCARS 4\r\nVIDEOMODE 7\r\n", "^BM_Soft", 8);
  std::printf("\nVIDEOMODE 17 and MODE VECTOR, the same race and cameras:\n");
  Run("USINGCARS 1\r\nNUMBEROFCARS 4\r\nVIDEOMODE 17\r\nMODE VECTOR\r\n", "^BM_Soft.*renderer:0", 16);
  std::printf("\nVIDEOMODE 17 and MODE PVR, the same race and cameras:\n");
  Run("USINGCARS 1\r\nNUMBEROFCARS 4\r\nVIDEOMODE 17\r\nMODE PVR\r\n", "^BM_Accel", 16);
  benchmark::Shutdown();
  return 0;
}
