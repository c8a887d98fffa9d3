// The car-position inset: its picture cells, when it shows, its scale and
// render region, and the SCARS texture's loading.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "datagen/insetcars.h"
#include "engine3d/power.h"
#include "engine3d/texcache.h"
#include "platform/accel/control.h"
#include "platform/accel/sgl.h"
#include "platform/window.h"
#include "race/raceloop.h"
#include "racescene/race3d.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "system/bmap.h"
#include "tests/racescene/accel/accel_fixture.h"
#include "vehicles/types.h"

namespace {

using ztest::AccelTest;

struct Quad {
  float minX, maxX;
  int32_t regions[4];
};
std::vector<Quad> g_quads;
int32_t g_step = 10;

void Observe(const SGLCONTEXT* c, int32_t kind, int32_t, const void*, const TSGLVERTEX* v) {
  if (kind != 1) return;
  Quad q{std::min({v[0].X, v[1].X, v[2].X, v[3].X}),
         std::max({v[0].X, v[1].X, v[2].X, v[3].X}),
         {c->FirstXRegion, c->LastXRegion, c->FirstYRegion, c->LastYRegion}};
  g_quads.push_back(q);
}

class InsetTest : public AccelTest {
 protected:
  void SetUp() override {
    AccelTest::SetUp();
    g_quads.clear();
    g_step = 10;
    plat::AccelObserveCalls(Observe);
    SB_Hooks.GetGameStep = [] { return g_step; };
    SB_Hooks.IsCarSimulated = [](int32_t) { return 1; };
    SB_Var.InsetOn = SB_Var.ShowInset = SB_Var.UsingCars = 1;
    SB_Var.PreviousView = &scene_;
    SB_Var.CameraMode = 1;
    SB_Var.NbCars = 2, SB_Var.DrivenCar = 0, SB_Var.ReplayCar = -1;
    for (int32_t i = 0; i < 2; ++i) {
      cars_[i] = {};
      for (int32_t k = 0; k < 9; ++k)
        cars_[i].Orientation[k] = cars_[i].InsetMatrix[k] = k % 4 == 0 ? 1.0 : 0.0;
      SB_Var.Cars[i] = &cars_[i];
    }
    Slot(5, 3);
    SB_Var.ScarsTexture = 5;
  }
  void TearDown() override {
    POWER_DeleteScreenDevice();
    AccelTest::TearDown();
  }
  // A frame begun on a 640 x 480 device, so that regions can be narrowed.
  void Begin() {
    ASSERT_EQ(POWER_InstallRenderCallback(), 1);
    ASSERT_EQ(POWER_CreateScreenDevice(640, 480, 16), 1);
    POWER_InitSglContext(&window_);
    SB_Var.ScreenWindow = window_;
    ASSERT_EQ(sgltri_startofframe(&SB_Var.SglContext), 0);
  }
  TCAR cars_[2];
};

TEST_F(InsetTest, PictureCells) {
  const int32_t pictures[8] = {4, 7, 5, 6, 0, 1, 2, 3};
  for (int32_t setup = 0; setup < 8; ++setup) {
    float u = -1, v = -1;
    POWER_InsetCarCell(setup, &u, &v);
    EXPECT_EQ(std::vector<float>({u, v}),
              std::vector<float>({pictures[setup] / 4 * 0.5f, pictures[setup] % 4 * 0.2265625f}));
  }
}

TEST_F(InsetTest, ShowsNearAndAfterTheStartWithAClampedScale) {
  Begin();
  const int32_t before[4] = {SB_Var.SglContext.FirstXRegion, SB_Var.SglContext.LastXRegion,
                             SB_Var.SglContext.FirstYRegion, SB_Var.SglContext.LastYRegion};
  struct Row {
    double distance;
    int32_t step;
    size_t quads;
    float width;  // of the followed car's picture: 2 x scale
  };
  const Row rows[] = {{47.75, 10, 2, 4.0f}, {47.76, 10, 0, 0}, {5.0, 9, 0, 0}, {5.0, 10, 2, 15.0f}};
  for (const Row& r : rows) {
    g_quads.clear();
    g_step = r.step;
    cars_[1].Position[2] = r.distance;
    POWER_DrawCarsInset();
    ASSERT_EQ(g_quads.size(), r.quads) << r.distance;
    if (r.quads == 0) continue;
    EXPECT_NEAR(g_quads[0].maxX - g_quads[0].minX, r.width, 1e-3);
    EXPECT_EQ(std::vector<int32_t>(g_quads[0].regions, g_quads[0].regions + 4),
              (std::vector<int32_t>{1, 5, 9, 13}));
    EXPECT_EQ(std::vector<int32_t>(before, before + 4),
              (std::vector<int32_t>{SB_Var.SglContext.FirstXRegion, SB_Var.SglContext.LastXRegion,
                                    SB_Var.SglContext.FirstYRegion, SB_Var.SglContext.LastYRegion}));
  }
}

// A race of four cars, two of them within 50 m of the driven car and one
// far off: the inset shows one SCARS quad per car; F3 hides it and shows
// it again.
TEST_F(InsetTest, FourCarsAndTheF3Key) {
  Begin();
  TCAR more[2]{};
  for (int32_t i = 0; i < 2; ++i) {
    more[i] = cars_[0];
    SB_Var.Cars[2 + i] = &more[i];
  }
  SB_Var.NbCars = 4;
  cars_[1].Position[2] = 10.0, more[0].Position[0] = 30.0, more[1].Position[2] = 400.0;
  SB_ShowHudParts();  // as the race's set-up leaves it
  for (const size_t quads : {4u, 0u, 4u}) {
    g_quads.clear();
    POWER_DrawCarsInset();
    EXPECT_EQ(g_quads.size(), quads);
    plat::SetKeyState(114, true);  // F3, pressed and released
    SB_CheckDisplayKeys();
    plat::SetKeyState(114, false);
    SB_CheckDisplayKeys();
  }
}

TEST_F(InsetTest, ScarsPicture) {
  POWER_InitTextureCache();
  SB_Var.Renderer = SB_RENDERER_PVR;
  auto write = [&](const datagen::TgaImage& image) {
    const std::vector<uint8_t> bytes = datagen::EncodeTga(image, false);
    std::filesystem::create_directories(root_ + "/MISCPICT");
    std::ofstream(root_ + "/MISCPICT/SCARS.TGA", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };
  SB_ClearPrintedLines();
  POWER_LoadScarsTexture();
  EXPECT_EQ(SB_Var.ScarsTexture, 0);
  EXPECT_EQ(SB_PrintedLines(), std::vector<std::string>{"File MISCPICT>SCARS.TGA not found"});
  datagen::TgaImage cars = datagen::InsetCarsPicture();
  write(cars);
  POWER_LoadScarsTexture();
  EXPECT_GT(SB_Var.ScarsTexture, 0);
  POWER_FreeScarsTexture();
  EXPECT_EQ(SB_Var.ScarsTexture, 0);
  datagen::TgaImage odd = cars;  // 128 x 64
  odd.height = 64, odd.pixels.resize(odd.pixels.size() / 2);
  datagen::TgaImage flat = cars;  // 24-bit
  flat.depth = 24, flat.pixels.clear();
  for (size_t i = 0; i < cars.pixels.size(); i += 4)
    flat.pixels.insert(flat.pixels.end(), &cars.pixels[i], &cars.pixels[i + 3]);
  for (const auto& image : {odd, flat}) {
    write(image);
    POWER_LoadScarsTexture();
    EXPECT_EQ(SB_Var.ScarsTexture, 0);
  }
}

}  // namespace
