// The car paint on the data tree's stock car: one car's textures made from
// its setup (the hue band moved, HSV back to RGB for every texture of the
// set, up to 256 x 256, three stickers blended, error diffusion to the 8
// bits of the 3D palette), and the prototype set's pictures turned from
// RGB to HSV as its loading does.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/benchlib.h"
#include "datagen/palette3d.h"
#include "engine3d/object.h"
#include "shell/console.h"
#include "vehicles/cars.h"
#include "vehicles/devenv.h"
#include "vehicles/paint.h"
#include "vehicles/setups.h"

namespace {

// The stock set loaded and one car made from it, without its textures.
struct StockCar {
  bench::DataTreeLibrary library;
  PALETTE palette{};
  StockCar() {
    SB_LoadVehiclePrototypes(nullptr);
    SB_Var.VideoModeIndex = 0;
    SB_Var.VideoModes[0].Depth = 8;
    SB_Var.NbCars = 1;
    SB_LoadCars(SB_Var.CarSetups, 1);
    const std::vector<uint8_t> bytes = datagen::TexturePalette();
    for (int32_t i = 0; i < 256; ++i)
      palette.Entry[i] = {static_cast<uint8_t>(bytes[i * 3] >> 2),
                          static_cast<uint8_t>(bytes[i * 3 + 1] >> 2),
                          static_cast<uint8_t>(bytes[i * 3 + 2] >> 2)};
    for (uint32_t j = 0; j < Library()->NbTextures; ++j) Library()->Textures[j].Bitmap->Palette = &palette;
  }
  ~StockCar() {
    for (uint32_t j = 0; j < Library()->NbTextures; ++j) Library()->Textures[j].Bitmap->Palette = nullptr;
    SB_FreeCars();
    SB_FreeVehiclePrototypes();
  }
  MLIB* Library() { return SB_Var.Cars[0]->Object->Materials->Library; }
};

void BM_CarTextures(benchmark::State& state) {
  StockCar car;
  TVEHICLESETUP& setup = SB_Var.CarSetups[0];
  setup = {100.0f, 20.0f, -10.0f, "BENCH", 1, 0, 3, 0, {}, {}};
  setup.Stickers[0] = {"num1.tga", 0, 128, 80};
  setup.Stickers[1] = {"star.tga", 0, 48, 40};
  setup.Stickers[2] = {"bolt.tga", 0, 208, 120};
  SB_ClearPrintedLines();
  for (auto _ : state) {
    SB_GenerateCarTextures(SB_Var.CarSetups, 0);
    benchmark::DoNotOptimize(car.Library()->Textures[0].Bitmap->Start);
  }
  if (!SB_PrintedLines().empty()) state.SkipWithError("a sticker is missing from the data tree");
}

void BM_PrototypeRGBtoHSV(benchmark::State& state) {
  StockCar car;
  const MLIB* prototype = SB_Var.VehiclePrototype->Materials->Library;
  std::vector<std::vector<uint8_t>> rgb;  // each picture in RGB, put back before every run
  for (uint32_t j = 0; j < prototype->NbTextures; ++j) {
    BMAP* p = prototype->Textures[j].Picture;
    SB_BmapHSVtoRGB(p);
    rgb.emplace_back(p->Start, p->Start + p->ByteLen * p->SizeY);
  }
  for (auto _ : state) {
    state.PauseTiming();
    for (uint32_t j = 0; j < prototype->NbTextures; ++j)
      std::memcpy(prototype->Textures[j].Picture->Start, rgb[j].data(), rgb[j].size());
    state.ResumeTiming();
    SB_ObjectBmapsRGBtoHSV(SB_Var.VehiclePrototype);
    benchmark::DoNotOptimize(prototype->Textures[0].Picture->Start);
  }
}

}  // namespace

BENCHMARK(BM_CarTextures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrototypeRGBtoHSV)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
