// Fixture of the scenery tests: a started library with the project's car
// models written under drive C:, the 3D palette of the default data tree,
// the twiddle table and an empty texture cache, cars loaded for an 8-bit,
// a 16-bit or the accelerator's mode, and texels read back from a car's
// texture bitmaps or card textures. Everything is checked given back.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datagen/carmodels.h"
#include "datagen/palette3d.h"
#include "engine3d/object.h"
#include "engine3d/power.h"
#include "engine3d/texcache.h"
#include "platform/accel/control.h"
#include "racescene/race3d.h"
#include "scenery/effects.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/pixel.h"
#include "tests/system/bmap_fixture.h"
#include "vehicles/cars.h"
#include "vehicles/devenv.h"
#include "vehicles/paint.h"
#include "vehicles/setups.h"

namespace scenerytest {

inline bool g_inGame[SB_MAXCARS];
inline int32_t g_step = 0;  // the race-phase step the hooks answer

// The modes a car's textures are made for: 8 and 16 bits, and the accelerator.
constexpr int32_t kCard = 3;

class SceneryTest : public ztest::BmapTest {
 protected:
  void SetUp() override {
    BmapTest::SetUp();
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    plat::AccelReset();
    SB_InitTwiddleTable();
    POWER_InitTextureCache();
    for (bool& b : g_inGame) b = true;
    g_step = 0;
    SB_Hooks.IsCarInGame = [](int32_t c) { return c >= 0 && c < SB_MAXCARS && g_inGame[c] ? 1 : 0; };
    SB_Hooks.GetGameStep = [] { return g_step; };
    const std::vector<uint8_t> rgb = datagen::TexturePalette();
    for (int i = 0; i < 256; ++i)
      palette_.Entry[i] = {static_cast<uint8_t>(rgb[i * 3] >> 2), static_cast<uint8_t>(rgb[i * 3 + 1] >> 2),
                           static_cast<uint8_t>(rgb[i * 3 + 2] >> 2)};
    SB_Var.Pal3d = &palette_;
    LS_Var.Palette = palette_;
    SB_ClearPrintedLines();
  }
  void TearDown() override {
    SB_DisposeWindShield();
    FreeCars();
    SB_Var.Pal3d = nullptr;
    SB_Hooks.IsCarInGame = nullptr;
    SB_Hooks.GetGameStep = nullptr;
    EXPECT_EQ(SB_Var.NbMemOwners, 0) << "blocks left";
    EXPECT_EQ(SB_Var.NbBmapOwners, 0) << "bitmaps left";
    EXPECT_EQ(plat::AccelLiveBlocks(), 0) << "texels left";
    BmapTest::TearDown();
  }

  // n cars of the default set with their textures made for the mode (8, 16
  // or kCard); car 0 driven; the others' card textures halved when asked.
  void LoadCars(int32_t mode, int32_t n = 1, bool reduced = false) {
    if (!written_) {
      for (const datagen::CarModel& car : datagen::CarModels()) ASSERT_TRUE(datagen::WriteCarModel(root_, car));
      written_ = true;
    }
    mode_ = mode;
    SB_Var.Renderer = mode == kCard ? SB_RENDERER_PVR : 0;
    SB_Var.VideoModeIndex = 0;
    SB_Var.VideoModes[0].Depth = mode == kCard ? 16 : mode;
    SB_Var.VideoModes[0].Format = SB_Var.VideoModes[0].TextureFormat = mode == 8 ? BMAP_PAL8 : BMAP_RGB555;
    SB_Var.TextureReduction = reduced ? 1 : 0;
    SB_LoadVehiclePrototypes(nullptr);
    SB_Var.NbCars = n;
    SB_Var.UsingCars = 1;
    SB_Var.DrivenCar = 0;
    SB_LoadCars(SB_Var.CarSetups, 0);
    if (mode == kCard) SB_DoubleCarsTextureCoords(0);
    SB_ClearPrintedLines();
  }
  void FreeCars() {
    SB_FreeCarPvrTextures();
    SB_FreeCars();
    SB_FreeVehiclePrototypes();
  }
  MLIBTEXTURE& Texture(int32_t car, int32_t j) {
    return SB_Var.Cars[car]->Object->Materials->Library->Textures[j];
  }
  // Texel (x, y) of texture j of the car, as stored.
  uint32_t Texel(int32_t car, int32_t j, int32_t x, int32_t y) {
    MLIBTEXTURE& t = Texture(car, j);
    if (mode_ == kCard) return CardTexel(t.CardTexture, x, y);
    return LSI_LoadPixel(LSI_PixelAt(t.Bitmap, x, y), LSI_BytesPerPixel(t.Bitmap));
  }
  void SetTexel(int32_t car, int32_t j, int32_t x, int32_t y, uint32_t value) {
    MLIBTEXTURE& t = Texture(car, j);
    if (mode_ == kCard)
      static_cast<uint16_t*>(SB_Var.TextureCache[t.CardTexture].Map.Pixels)[Twiddled(x, y)] =
          static_cast<uint16_t>(value);
    else
      LSI_StorePixel(LSI_PixelAt(t.Bitmap, x, y), LSI_BytesPerPixel(t.Bitmap), value);
  }
  std::vector<uint32_t> Area(int32_t car, int32_t j, int32_t x, int32_t y, int32_t w, int32_t h) {
    std::vector<uint32_t> out;
    for (int32_t r = 0; r < h; ++r)
      for (int32_t c = 0; c < w; ++c) out.push_back(Texel(car, j, x + c, y + r));
    return out;
  }
  // The twiddled index, from the table the tests make themselves.
  static uint32_t Twiddled(int32_t x, int32_t y) {
    auto spread = [](uint32_t v) {
      uint32_t out = 0;
      for (int k = 0; k < 8; ++k) out |= ((v >> k) & 1) << (2 * k);
      return out;
    };
    return spread(static_cast<uint32_t>(x)) << 1 | spread(static_cast<uint32_t>(y));
  }
  static uint32_t CardTexel(int32_t slot, int32_t x, int32_t y) {
    return static_cast<const uint16_t*>(SB_Var.TextureCache[slot].Map.Pixels)[Twiddled(x, y)];
  }

  PALETTE palette_{};
  int32_t mode_ = 8;
  bool written_ = false;
};

}  // namespace scenerytest
