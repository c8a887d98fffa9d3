// The car shadows of one frame: three cars of six parts each, every part's
// mesh brought into view space and classified by the sun
// (POWER_BuildCarShadow), then the volumes' side and cap planes corrected,
// projected, boxed and submitted to the accelerator stand-in inside a
// begun frame (POWER_DrawShadows). The render that follows is left out of
// the time. The meshes are as large as a volume takes: a closed 48-sided
// prism (96 vertices, 50 polygons, 144 edges), whose lit sides and
// silhouette fill most of the 401 projected slots after the vertices'.
// (A 400-vertex mesh would leave its volume no slot, and the edge table's
// 200 edges allow no closed mesh of more than 133 polygons.) The sun is
// low, so that long silhouettes are drawn.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "bench/benchlib.h"
#include "datagen/plgwrite.h"
#include "engine3d/object.h"
#include "engine3d/power.h"
#include "platform/accel/control.h"
#include "platform/accel/sgl.h"
#include "racescene/powerscene.h"
#include "scenery/effects.h"
#include "scenery/framefx.h"
#include "vehicles/types.h"

namespace {

constexpr int32_t kSides = 48;

datagen::PlgMesh Prism() {
  std::vector<std::array<double, 3>> corners;
  std::vector<std::vector<uint32_t>> faces(2);
  for (uint32_t i = 0; i < kSides; ++i) {
    const double a = 2 * M_PI * i / kSides;
    corners.push_back({40000 * std::cos(a), 100000 * std::sin(a), -50000});
    corners.push_back({40000 * std::cos(a), 100000 * std::sin(a), 50000});
    faces[0].push_back(2 * i), faces[1].push_back(2 * i + 1);
    const uint32_t next = (i + 1) % kSides;
    faces.push_back({2 * i, 2 * next, 2 * next + 1, 2 * i + 1});
  }
  return datagen::ConvexPlg(corners, faces);
}

struct Car {
  TCAR car{};
  OBJECT parts[5]{};
  Car(float x, float z) {
    static constexpr float kUpright[9] = {0, -1, 0, 0, 0, 1, -1, 0, 0};
    for (OBJECT& o : parts) {
      for (int k = 0; k < 9; ++k) o.Orientation[k] = kUpright[k];
      o.Position[0] = x, o.Position[2] = z;
    }
    car.Object = &parts[0];
    for (int k = 0; k < 4; ++k) car.Wheels[k] = &parts[k + 1];
  }
};

struct Frame {
  bench::TempDrive drive;
  bench::Heap heap{64u << 20};
  BMAP* screen = nullptr;
  _WINDOW window{};
  std::unique_ptr<TSOFTSCENE> scene = std::make_unique<TSOFTSCENE>();
  std::vector<Car> cars;
  TCAMERA camera{};
  Frame() {
    LSI_InitDirectory();
    SB_ResetVars();
    const datagen::Bytes bytes = datagen::PlgBytes(Prism());
    std::filesystem::create_directories(drive.folder / "PLG");
    for (const char* name : {"CAISSE.PLG", "TOIT.PLG", "ROUE.PLG"})
      datagen::WriteBytes((drive.folder / "PLG" / name).string(), bytes);
    SB_Var.Renderer = SB_RENDERER_PVR, SB_Var.Shadow = 3;
    SB_Var.CenterX = 320, SB_Var.CenterY = 240, SB_Var.Focal = 320, SB_Var.FocalF = 320;
    SB_Var.ProjFactor = 0.5f, SB_Var.DepthScale = 5e-7f;
    SB_Var.ScreenWindow.W_WIDTH = 640, SB_Var.ScreenWindow.W_HEIGHT = 480;
    SB_Var.SunPos[0] = 200, SB_Var.SunPos[1] = -60, SB_Var.SunPos[2] = 3000;
    for (int k = 0; k < 9; ++k) camera.Matrix[k] = k % 4 == 0 ? 1.0 : 0.0;
    POWER_InstallRenderCallback();
    POWER_CreateScreenDevice(640, 480, 16);
    screen = SB_CreateBmap(640, 480, 16, 0, "bench screen");
    LS_InitWindow(screen, &window, 12, 0, 0, 640, 480);
    POWER_InitSglContext(&window);
    POWER_InitShadow();
    for (int i = 0; i < 3; ++i) cars.emplace_back(190.0f * (i - 1) * 800, 190.0f * (3000 + 1500 * i));
  }
  ~Frame() {
    POWER_CloseShadow();
    POWER_WaitRenderDone();
    POWER_DeleteScreenDevice();
    SB_FreeBmap(screen);
  }
};

int64_t g_volumes = 0, g_planes = 0;
void Count(const SGLCONTEXT*, int32_t kind, int32_t count, const void*, const TSGLVERTEX*) {
  if (kind == 2) ++g_volumes, g_planes += count;
}

void BM_BuildAndSubmitThreeCars(benchmark::State& state) {
  Frame f;
  g_volumes = g_planes = 0;
  plat::AccelObserveCalls(Count);
  for (auto _ : state) {
    state.PauseTiming();
    f.scene->NbShadowVolumes = 0;
    sgltri_startofframe(&SB_Var.SglContext);
    state.ResumeTiming();
    for (int i = 0; i < 3; ++i) POWER_BuildCarShadow(f.scene.get(), &f.camera, &f.cars[i].car, i + 1);
    POWER_DrawShadows(f.scene.get());
    state.PauseTiming();
    sgltri_render(&SB_Var.SglContext);
    POWER_WaitRenderDone();
    state.ResumeTiming();
  }
  plat::AccelObserveCalls(nullptr);
  state.counters["volumes"] =
      benchmark::Counter(static_cast<double>(g_volumes), benchmark::Counter::kAvgIterations);
  state.counters["planes"] =
      benchmark::Counter(static_cast<double>(g_planes), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_BuildAndSubmitThreeCars)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
