// The window clouds of the data tree's stock car: one redraw of the clouds
// over every glass run of the car's glass texture (SB_DrawGlassClouds, the
// offset moved a row each time), in software at 16 bits into the texture's
// bitmap and on the accelerator into its card texture's twiddled texels;
// beside it, std::memcpy of the same texels run by run in row order into
// a plain 16-bit picture, the price the twiddled order and the wraps add.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/benchlib.h"
#include "datagen/palette3d.h"
#include "engine3d/object.h"
#include "engine3d/power.h"
#include "platform/accel/control.h"
#include "scenery/effects.h"
#include "scenery/windshield.h"
#include "vehicles/cars.h"
#include "vehicles/devenv.h"
#include "vehicles/paint.h"
#include "vehicles/setups.h"

namespace {

// The stock car loaded for 16-bit software (card false) or for the
// accelerator, its glass runs recorded and the clouds loaded.
struct GlassCar {
  bench::DataTreeLibrary library;
  bool card;
  PALETTE palette{};
  explicit GlassCar(bool onCard) : card(onCard) {
    // The race's 3D palette, which the glass mask is read through.
    const std::vector<uint8_t> rgb = datagen::TexturePalette();
    for (int32_t i = 0; i < 256; ++i)
      palette.Entry[i] = {static_cast<uint8_t>(rgb[i * 3] >> 2), static_cast<uint8_t>(rgb[i * 3 + 1] >> 2),
                          static_cast<uint8_t>(rgb[i * 3 + 2] >> 2)};
    SB_Var.Pal3d = &palette;
    LS_Var.Palette = palette;
    plat::AccelReset();
    SB_InitTwiddleTable();
    POWER_InitTextureCache();
    SB_Var.Renderer = card ? SB_RENDERER_PVR : 0;
    SB_Var.VideoModeIndex = 0;
    SB_Var.VideoModes[0].Depth = 16;
    SB_Var.VideoModes[0].Format = SB_Var.VideoModes[0].TextureFormat = BMAP_RGB555;
    SB_LoadVehiclePrototypes(nullptr);
    SB_Var.NbCars = 1;
    SB_Var.UsingCars = 1;
    SB_Var.DrivenCar = 0;
    SB_LoadCars(SB_Var.CarSetups, 0);
    if (card) SB_DoubleCarsTextureCoords(0);
    SB_InitWindShield();
  }
  ~GlassCar() {
    SB_DisposeWindShield();
    SB_FreeCarPvrTextures();
    SB_FreeCars();
    SB_FreeVehiclePrototypes();
    SB_Var.Pal3d = nullptr;
  }
  const MLIBTEXTURE& Glass() const {
    return SB_Var.Cars[0]->Object->Materials->Library->Textures[SB_Var.GlassLayout[1]];  // word 1: the glass texture
  }
  int32_t Texels() const {
    int32_t n = 0;
    for (int32_t i = 0; i < SB_Var.NbGlassLines; ++i) n += SB_Var.GlassLines[i].Length;
    return n;
  }
};

void BM_GlassClouds(benchmark::State& state) {
  GlassCar car(state.range(0) != 0);
  if (!SB_Var.CloudsReady || SB_Var.NbGlassLines < 1) {
    state.SkipWithError("no clouds or no glass runs: is the data tree built?");
    return;
  }
  TSOFTSCENE view{};
  const MLIBTEXTURE& glass = car.Glass();
  int32_t offset = 0;
  for (auto _ : state) {
    SB_DrawGlassClouds(&view, SB_Var.CloudBmaps[0], glass.Bitmap, 0, ++offset, 0, glass.CardTexture);
    benchmark::DoNotOptimize(view.TextureUses[glass.CardTexture]);
  }
  state.SetLabel(car.card ? "card, twiddled" : "software, 16 bits");
  state.counters["texels"] = car.Texels();
}

// The same runs copied with memcpy from the clouds' rows into a plain
// picture of the glass texture's size, 16 bits a texel.
void BM_GlassCloudsMemcpy(benchmark::State& state) {
  GlassCar car(false);
  if (!SB_Var.CloudsReady || SB_Var.NbGlassLines < 1) {
    state.SkipWithError("no clouds or no glass runs: is the data tree built?");
    return;
  }
  const BMAP* glass = car.Glass().Bitmap;
  const BMAP* clouds = SB_Var.CloudBmaps[0];
  std::vector<uint16_t> target(static_cast<size_t>(glass->SizeX) * glass->SizeY);
  // Rows as wide as the glass texture: a run never wraps.
  const int32_t w = glass->SizeX;
  std::vector<uint16_t> source(static_cast<size_t>(w) * clouds->SizeY);
  for (auto _ : state) {
    for (int32_t i = 0; i < SB_Var.NbGlassLines; ++i) {
      const TGLASSLINE& l = SB_Var.GlassLines[i];
      std::memcpy(&target[static_cast<size_t>(l.Row) * w + (l.EndColumn - l.Length)],
                  &source[static_cast<size_t>(l.Row % clouds->SizeY) * w], l.Length * sizeof(uint16_t));
    }
    benchmark::DoNotOptimize(target.data());
  }
  state.counters["texels"] = car.Texels();
}

}  // namespace

BENCHMARK(BM_GlassClouds)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GlassCloudsMemcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
