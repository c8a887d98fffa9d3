// The accelerator's texture cache and map textures: one per-frame cache
// update over 511 slots on a card with room for half of them while 100
// needs change each frame, and the load of a map's 100 textures from
// their pictures (read, preprocessed, bank written) and from their bank.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/benchlib.h"
#include "datagen/tgawrite.h"
#include "engine3d/power.h"
#include "engine3d/powertextures.h"
#include "engine3d/texcache.h"
#include "platform/accel/control.h"
#include "shell/console.h"

namespace {

constexpr int32_t kSlots = SB_MAXCACHETEXTURE - 1, kChanging = 100, kPictures = 100;
constexpr int32_t kSmallBytes = 32 * 32 * 2;

void BM_UpdateTextureCache(benchmark::State& state) {
  bench::TempDrive drive;
  bench::Heap heap(16u << 20);
  SB_ResetVars();
  plat::AccelReset();
  plat::AccelSetCardMemory(kSlots / 2 * kSmallBytes);
  POWER_InitTextureCache();
  BMAP* texture = SB_CreateBmap(32, 32, 32, 0, "bench");
  texture->Format = BMAP_ABGR8888;
  for (int32_t i = 0; i < kSlots; ++i) POWER_CreateCachedTexture(texture, 0, 2 + i % 2, 0);
  auto scene = std::make_unique<TSOFTSCENE>();
  uint32_t seed = 26;
  for (auto _ : state) {
    state.PauseTiming();
    *scene = TSOFTSCENE{};
    for (int32_t k = 0; k < kChanging; ++k) scene->TextureUses[1 + bench::Next(seed) % kSlots] += 1 + k % 7;
    state.ResumeTiming();
    POWER_UpdateTextureCache(scene.get());
  }
  state.counters["lost"] = SB_Var.CacheLostCount;
  for (int32_t i = 1; i <= kSlots; ++i) POWER_RemoveCachedTexture(i);
  SB_FreeBmap(texture);
}

// 100 pictures of 64 x 64 and their texture names, in a fresh drive.
struct PictureSet {
  bench::TempDrive drive;
  bench::Heap heap{64u << 20};
  PictureSet() {
    LSI_InitDirectory();
    SB_ResetVars();
    plat::AccelReset();
    POWER_InitTextureCache();
    std::filesystem::create_directories(drive.folder / "TXT" / "TR");
    std::filesystem::create_directories(drive.folder / "BNK");
    std::snprintf(SB_Var.TexturePath, sizeof SB_Var.TexturePath, "TR>");
    std::snprintf(SB_Var.BankFile, sizeof SB_Var.BankFile, "BNK>BENCH.BNK");
    SB_Var.TextureScale = 1;
    uint32_t seed = 7;
    for (int32_t i = 0; i < kPictures; ++i) {
      datagen::TgaImage image;
      image.width = image.height = 64;
      for (int32_t p = 0; p < 64 * 64 * 3; ++p) image.pixels.push_back(static_cast<uint8_t>(bench::Next(seed) >> 24));
      char stem[16];
      std::snprintf(stem, sizeof stem, "PIC%03d", i);
      std::memcpy(SB_Var.TextureNames[i], stem, std::strlen(stem));
      const std::vector<uint8_t> bytes = datagen::EncodeTga(image, false);
      FILE* out = std::fopen((drive.folder / "TXT" / "TR" / (std::string(stem) + ".TGA")).c_str(), "wb");
      std::fwrite(bytes.data(), 1, bytes.size(), out);
      std::fclose(out);
    }
    SB_Var.NbTextures = kPictures;
  }
};

void BM_LoadTextures(benchmark::State& state) {
  PictureSet set;
  const bool fromBank = state.range(0) != 0;
  POWER_LoadTextures();  // writes the bank
  POWER_ReleaseTextures();
  for (auto _ : state) {
    SB_Var.BuildBank = fromBank ? 0 : 1;
    POWER_LoadTextures();
    state.PauseTiming();
    POWER_ReleaseTextures();
    SB_ClearPrintedLines();
    state.ResumeTiming();
  }
  state.SetLabel(fromBank ? "from the bank" : "from the pictures");
}

}  // namespace

BENCHMARK(BM_UpdateTextureCache)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadTextures)->Arg(0)->Arg(1)->ArgName("bank")->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
