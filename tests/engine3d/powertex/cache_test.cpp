// The accelerator's texture cache: refusals and new slots, removal, marks
// and uploads, the frame's counters, and the passes that create and evict
// on a small card.
#include "engine3d/texcache.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/accel/control.h"
#include "platform/accel/sgl.h"
#include "platform/window.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "tests/support/testenv.h"

namespace {

using Lines = std::vector<std::string>;
constexpr int32_t kSmall = 2048;      // a 32 x 32 texture without levels
constexpr int32_t kSmallLevels = 2730;  // with its levels down to 1 x 1

class Cache : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(8 << 20);
    LS_SetErrorMode(LS_ERRMODE_LOG);  // reported in the error file, never fatal
    POWER_InitTextureCache();
    scene_ = std::make_unique<TSOFTSCENE>();
  }
  void TearDown() override {
    for (int32_t i = 1; i < SB_MAXCACHETEXTURE; ++i) POWER_RemoveCachedTexture(i);
    EXPECT_EQ(plat::AccelLiveBlocks(), 0);
    EXPECT_EQ(plat::AccelCardTextures(), 0);
    EXPECT_EQ(SB_Var.NbBmapOwners, 0);
    LibraryTest::TearDown();
  }
  static int32_t Add(int32_t side, int32_t format = 0, int32_t textureClass = 2, int32_t height = 0,
                     int32_t depth = 32, int32_t bitmapFormat = BMAP_ABGR8888) {
    BMAP* b = SB_CreateBmap(side, height ? height : side, depth, 0, "test");
    b->Format = bitmapFormat;
    const int32_t slot = POWER_CreateCachedTexture(b, format, textureClass, 0);
    SB_FreeBmap(b);
    return slot;
  }
  // One frame needing the slots, each used `uses` times.
  void Frame(const std::vector<std::pair<int32_t, uint32_t>>& needs) {
    *scene_ = TSOFTSCENE{};
    for (auto [slot, uses] : needs) scene_->TextureUses[slot] = uses;
    POWER_UpdateTextureCache(scene_.get());
  }
  static const TEXTURECACHE& Slot(int32_t i) { return SB_Var.TextureCache[i]; }
  std::unique_ptr<TSOFTSCENE> scene_;
};

TEST_F(Cache, RefusedBitmaps) {
  struct Row {
    int32_t side, height, depth, format;
    Lines boxes;
    const char* logged;
  };
  const Row rows[] = {
      {32, 32, 32, BMAP_ARGB8888, {"Bad Texture format"}, nullptr},
      {64, 32, 32, BMAP_ABGR8888, {}, "PWR : Cannot create non-squared cached texture !"},
      {32, 32, 16, BMAP_XBGR8888, {}, "PWR : Cached texture must be 32bit depth"},
      {512, 512, 32, BMAP_ABGR8888, {"PWR: unsupported texture size"}, nullptr},
      {48, 48, 32, BMAP_ABGR8888, {"PWR: unsupported texture size"}, nullptr},
  };
  for (const Row& r : rows) {
    plat::ClearShownMessageBoxes();
    EXPECT_EQ(Add(r.side, 0, 2, r.height, r.depth, r.format), 0) << r.side;
    EXPECT_EQ(Boxes(), r.boxes);
    if (r.logged) {
      EXPECT_EQ(Logged(r.logged), 1) << r.logged;
    }
  }
  EXPECT_EQ(POWER_CreateCachedTexture(nullptr, 0, 2, 0), 0);
  EXPECT_EQ(plat::AccelLiveBlocks(), 0);
}

TEST_F(Cache, NewSlotsAndTheFullTable) {
  struct Row {
    int32_t side, format, size, levels;
  };
  const Row rows[] = {{32, SGL_MAP_555, kSmall, 0},
                      {32, SGL_MAP_555_LEVELS, kSmallLevels, 1},
                      {64, SGL_MAP_4444_LEVELS, 2 * (4096 + 1365), 1}};
  for (size_t k = 0; k < std::size(rows); ++k) {
    const int32_t slot = Add(rows[k].side, rows[k].format, 3);
    ASSERT_EQ(slot, static_cast<int32_t>(k) + 1);
    const TEXTURECACHE& t = Slot(slot);
    EXPECT_EQ(std::vector<int32_t>({t.Name, t.InUse, t.State, t.Size, t.HasLevels, t.Class, t.CreatedReduced}),
              std::vector<int32_t>({-1, 1, SB_CACHE_IDLE, rows[k].size, rows[k].levels, 3, 0}));
  }
  for (int32_t i = 4; i < SB_MAXCACHETEXTURE; ++i) ASSERT_EQ(Add(32), i);
  EXPECT_EQ(Add(32), 0);
  EXPECT_EQ(Logged("PWR : Too many textures !"), 1);
}

TEST_F(Cache, Removal) {
  const int32_t slot = Add(32);
  Frame({{slot, 1}});
  ASSERT_EQ(plat::AccelCardTextures(), 1);
  struct Row {
    int32_t index;
    Lines boxes;
  };
  const Row rows[] = {{600, {"Remove with illegal index 600"}}, {-1, {"Remove with illegal index -1"}}, {0, {}}, {7, {}}};
  for (const Row& r : rows) {
    plat::ClearShownMessageBoxes();
    EXPECT_EQ(POWER_RemoveCachedTexture(r.index), 1);
    EXPECT_EQ(Boxes(), r.boxes) << r.index;
  }
  EXPECT_EQ(Slot(slot).InUse, 1);
  EXPECT_EQ(POWER_RemoveCachedTexture(slot), 1);
  EXPECT_EQ(std::vector<int32_t>({Slot(slot).InUse, Slot(slot).Name, plat::AccelCardTextures(), plat::AccelLiveBlocks()}),
            std::vector<int32_t>({0, -1, 0, 0}));
  // A card texture the library does not know.
  const int32_t other = Add(32);
  SB_Var.TextureCache[other].Name = 77;
  plat::ClearShownMessageBoxes();
  POWER_RemoveCachedTexture(other);
  EXPECT_EQ(Boxes(), Lines({"delete failed -3 (index:1 value:77)"}));
}

TEST_F(Cache, MarksUploadChangedTexels) {
  const int32_t slot = Add(32);
  EXPECT_EQ(POWER_MarkTextureUsed(scene_.get(), 2), 0);
  EXPECT_EQ(POWER_MarkTextureUsed(scene_.get(), 600), 0);
  Frame({{slot, 1}});
  auto* texels = static_cast<uint16_t*>(SB_Var.TextureCache[slot].Map.Pixels);
  texels[0] = 0x1234;  // texel (0, 0), drawn straight into the preprocessed map
  EXPECT_EQ(plat::AccelReadTexel(Slot(slot).Name, 0, 0, 0), 0);
  *scene_ = TSOFTSCENE{};
  scene_->TextureUses[slot] = 1;
  EXPECT_EQ(POWER_MarkTextureUsed(scene_.get(), slot), 1);
  EXPECT_EQ(scene_->TextureUses[slot], SB_TEXTURE_CHANGED | 1);
  POWER_UpdateTextureCache(scene_.get());
  EXPECT_EQ(plat::AccelReadTexel(Slot(slot).Name, 0, 0, 0), 0x1234);
  // An upload the library refuses.
  const int32_t cardName = Slot(slot).Name;
  SB_Var.TextureCache[slot].Name = 77;
  POWER_UpdateTextureCache(scene_.get());
  EXPECT_EQ(Boxes(), Lines({"Update texture failed failed (-3 -3) name:77"}));
  EXPECT_EQ(Logged("Update Texture Failed"), 1);
  SB_Var.TextureCache[slot].Name = cardName;
}

TEST_F(Cache, FrameCounters) {
  const int32_t a = Add(32), b = Add(32), c = Add(32, SGL_MAP_555_LEVELS);
  struct Row {
    std::vector<std::pair<int32_t, uint32_t>> needs;
    std::vector<int32_t> counts;  // used, used bytes, idle bytes, lost, created bytes; weights of a, b, c
  };
  const Row rows[] = {
      {{{a, 4}, {b, 1}}, {2, 2 * kSmall, 0, 0, 2 * kSmall, 4, 1, 1}},
      {{{b, 3}}, {1, kSmall, kSmall, 0, 0, 5, 3, 2}},
      {{}, {0, 0, 2 * kSmall, 0, 0, 6, 4, 3}},
      {{{c, 2}, {a, 1}}, {2, kSmall + kSmallLevels, kSmall, 0, kSmallLevels, 1, 5, 2}},
  };
  for (const Row& r : rows) {
    Frame(r.needs);
    EXPECT_EQ(std::vector<int32_t>({SB_Var.CacheUsedCount, SB_Var.CacheUsedMemory, SB_Var.CacheIdleMemory,
                                    SB_Var.CacheLostCount, SB_Var.CacheCreatedMemory,
                                    static_cast<int32_t>(Slot(a).Weight), static_cast<int32_t>(Slot(b).Weight),
                                    static_cast<int32_t>(Slot(c).Weight)}),
              r.counts);
    for (int32_t s : {a, b, c}) EXPECT_EQ(Slot(s).State, SB_CACHE_IDLE);
  }
  EXPECT_EQ(SB_Var.CacheStatus, SB_CACHESTATUS_OK);
}

TEST_F(Cache, EvictionOnAFullCard) {
  plat::AccelSetCardMemory(2 * kSmall);
  const int32_t a = Add(32), b = Add(32), c = Add(32);
  Frame({{a, 5}, {b, 2}});
  Frame({{c, 1}});  // the unneeded texture of weight 2 gives way
  EXPECT_EQ(std::vector<int32_t>({Slot(a).Name >= 0, Slot(b).Name, Slot(c).Name >= 0}),
            std::vector<int32_t>({1, -1, 1}));
  Frame({{b, 1}});  // a (5 + 1) and c (1 + 0): c goes
  EXPECT_EQ(Slot(c).Name, -1);
  SB_Var.TextureCache[a].Weight = SB_Var.TextureCache[b].Weight = 7;
  Frame({{c, 1}});  // a tie: the lowest index goes
  EXPECT_EQ(std::vector<int32_t>({Slot(a).Name, Slot(b).Name >= 0, Slot(c).Name >= 0}),
            std::vector<int32_t>({-1, 1, 1}));
  EXPECT_EQ(SB_Var.CacheStatus, SB_CACHESTATUS_OK);
}

TEST_F(Cache, IndispensableTexturesEvictNeededOnes) {
  plat::AccelSetCardMemory(2 * kSmall);
  const int32_t two = Add(32, 0, 2), three = Add(32, 0, 3), one = Add(32, 0, 1);
  Frame({{two, 1}, {three, 9}});
  Frame({{two, 9}, {three, 9}, {one, 1}});
  EXPECT_EQ(SB_Var.CacheStatus, SB_CACHESTATUS_EVICTED_NEEDED);
  EXPECT_EQ(std::vector<int32_t>({Slot(two).Name >= 0, Slot(three).Name, Slot(one).Name >= 0}),
            std::vector<int32_t>({1, -1, 1}));
  // Only indispensable textures on the card: nothing to give way.
  const int32_t another = Add(32, 0, 1), third = Add(32, 0, 1);
  Frame({{one, 1}, {another, 1}, {third, 1}});
  EXPECT_EQ(SB_Var.CacheStatus, SB_CACHESTATUS_INDISPENSABLE_LOST);
  EXPECT_EQ(SB_Var.CacheLostCount, 1);
}

TEST_F(Cache, ReducedAndLostTextures) {
  plat::AccelSetCardMemory(1000);  // a level-less 32 x 32 does not fit, its 16 x 16 levels do
  const int32_t levels = Add(32, SGL_MAP_555_LEVELS), plain = Add(32);
  Frame({{levels, 1}, {plain, 1}});
  // The library's first name is 0: a name all the same.
  EXPECT_EQ(std::vector<int32_t>({Slot(levels).Name, Slot(levels).CreatedReduced, SB_Var.CacheCreatedMemory}),
            std::vector<int32_t>({0, 1, kSmallLevels}));
  EXPECT_EQ(std::vector<int32_t>({Slot(plain).Name, SB_Var.CacheStatus, SB_Var.CacheLostCount, SB_Var.CacheLostMemory}),
            std::vector<int32_t>({-1, SB_CACHESTATUS_LOST, 1, kSmall}));
}

}  // namespace
