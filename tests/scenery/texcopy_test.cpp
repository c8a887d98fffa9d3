// The twiddled rectangle copy between card textures, the smaller levels
// of a card texture remade over a written rectangle, and the 16-bit 5-5-5
// conversion of pictures.
#include "scenery/texcopy.h"

#include "platform/accel/sgl.h"
#include "shell/gamedraw.h"
#include "tests/scenery/scenery_fixture.h"

namespace {

using scenerytest::SceneryTest;

class TexCopyTest : public SceneryTest {
 protected:
  // Two 64 x 64 slots: 1 holds texel i = i + 1 (twiddled order), 2 zeros.
  void SetUp() override {
    SceneryTest::SetUp();
    for (int32_t s = 1; s <= 2; ++s) {
      texels_[s - 1].assign(64 * 64, 0);
      TEXTURECACHE& t = SB_Var.TextureCache[s];
      t.InUse = 1;
      t.Map = SGLMAP{{'Z', 'T', '0', 0}, 64, 64, texels_[s - 1].data()};
    }
    for (size_t i = 0; i < texels_[0].size(); ++i) texels_[0][i] = static_cast<uint16_t>(i + 1);
  }
  void TearDown() override {
    SB_Var.TextureCache[1] = SB_Var.TextureCache[2] = TEXTURECACHE{};
    SceneryTest::TearDown();
  }
  // Slot 2's texels after the copy, against a plain loop over the same
  // rectangle through the tests' own twiddle order, cut at the side.
  void ExpectCopy(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x, int32_t y) {
    texels_[1].assign(64 * 64, 0);
    std::vector<uint16_t> want(64 * 64, 0);
    for (int32_t j = 0; j <= y2 - y1; ++j)
      for (int32_t k = 0; k <= x2 - x1; ++k)
        if (x1 + k < 64 && y1 + j < 64 && x + k < 64 && y + j < 64)
          want[Twiddled(x + k, y + j)] = texels_[0][Twiddled(x1 + k, y1 + j)];
    SB_TwiddledBlit(1, 2, x1, y1, x2, y2, x, y);
    EXPECT_EQ(texels_[1], want);
  }
  std::vector<uint16_t> texels_[2];
};

TEST_F(TexCopyTest, OneCornerCopiesOneTexel) {
  SB_TwiddledBlit(1, 2, 5, 7, 5, 7, 9, 3);
  int32_t written = 0;
  for (uint16_t t : texels_[1]) written += t != 0;
  EXPECT_EQ(written, 1);
  EXPECT_EQ(texels_[1][Twiddled(9, 3)], texels_[0][Twiddled(5, 7)]);
}

TEST_F(TexCopyTest, ARectangleFollowsTheTwiddleTable) { ExpectCopy(3, 5, 42, 24, 17, 30); }

TEST_F(TexCopyTest, WhatPassesEitherSideIsCut) {
  ExpectCopy(60, 0, 64, 3, 0, 0);             // one past the source's side
  ExpectCopy(0, 10, 10, 20, 54, 60);          // past the destination's corner
  SB_TwiddledBlit(1, 2, 0, 0, 3, 3, -2, -1);  // before its origin: the rest lands
  EXPECT_EQ(texels_[1][Twiddled(0, 0)], texels_[0][Twiddled(2, 1)]);
}

TEST_F(TexCopyTest, SlotsWithoutTexelsAreLeftAlone) {
  SB_Var.TextureCache[2].Map.Pixels = nullptr;
  SB_TwiddledBlit(1, 2, 0, 0, 9, 9, 0, 0);
  SB_TwiddledBlit(1, 0, 0, 0, 9, 9, 0, 0);
  SB_TwiddledBlit(1, 600, 0, 0, 9, 9, 0, 0);
  SB_Var.TextureCache[2].Map.Pixels = texels_[1].data();
  SB_Var.TextureCache[1].InUse = 0;
  SB_TwiddledBlit(1, 2, 0, 0, 9, 9, 0, 0);
  EXPECT_EQ(texels_[1], std::vector<uint16_t>(64 * 64, 0));
}

TEST_F(TexCopyTest, PicturesBecomeFiveFiveFive) {
  BMAP* picture = SB_CreateBmap(3, 1, 24, LS_DefaultHeap, "test");
  const uint8_t bgr[] = {255, 255, 255, 24, 16, 8, 7, 7, 7};  // white, (8, 16, 24), near black
  std::copy(std::begin(bgr), std::end(bgr), picture->Start);
  const int32_t bitmaps = SB_Var.NbBmapOwners;
  BMAP* out = Bmap24to555(picture);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(SB_Var.NbBmapOwners, bitmaps + 1);  // the 24-bit copy is gone
  EXPECT_STREQ(SB_Var.LastOwner, "Bmap24to4444");
  EXPECT_EQ(std::pair(out->Depth, out->Format), std::pair(16, BMAP_RGB555));
  const auto* t = reinterpret_cast<const uint16_t*>(out->Start);
  EXPECT_EQ(std::vector<uint16_t>(t, t + 3), (std::vector<uint16_t>{0x7FFF, 1 << 10 | 2 << 5 | 3, 0}));
  SB_FreeBmap(out);
  SB_FreeBmap(picture);
  EXPECT_EQ(Bmap24to555(nullptr), nullptr);
}

// A 64 x 64 map of the format with its smaller levels, preprocessed by
// the accelerator's library from a picture of changing texels, in slot 3:
// a rectangle written into its largest level reaches the smaller ones.
TEST_F(TexCopyTest, SmallerLevelsFollowTheLargest) {
  for (const int32_t format : {SGL_MAP_555_LEVELS, SGL_MAP_4444_LEVELS}) {
    std::vector<uint32_t> picture(64 * 64);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
    const SGLMAP source{{'I', 'M', 'A', 'P'}, 64, 64, picture.data()};
    SGLMAP& map = SB_Var.TextureCache[3].Map;
    SB_Var.TextureCache[3].InUse = 1;
    ASSERT_EQ(sgl_preprocess_texture(format, 1, 0, 0, &source, 0, &map), 0);
    auto* block = static_cast<uint16_t*>(map.Pixels);
    uint16_t* level[3] = {block, block + 64 * 64, block + 64 * 64 + 32 * 32};
    const std::vector<uint16_t> before(block, block + 64 * 64 + 32 * 32 + 16 * 16);
    const uint16_t v = 0x7C00;
    for (int32_t y = 4; y < 12; ++y)
      for (int32_t x = 8; x < 24; ++x) level[0][Twiddled(x, y)] = v;
    level[0][Twiddled(40, 40)] = 0x001F;  // one texel of a 2 x 2 block of zeros
    for (int32_t k : {1, 2, 3}) level[0][Twiddled(40 + (k & 1), 40 + (k >> 1))] = 0;
    // A rectangle whose right edge falls on an odd x (columns 50 to 54):
    // the half level's column 27 holds its last column.
    for (int32_t k = 0; k < 4; ++k) level[0][Twiddled(54 + (k & 1), 50 + (k >> 1))] = v;
    SB_UpdateCardLevels(3, 8, 4, 16, 8);
    SB_UpdateCardLevels(3, 40, 40, 2, 2);
    SB_UpdateCardLevels(3, 50, 50, 5, 1);
    // Blue 31 and three zeros: 8 at 5-5-5; 0x001F at 4-4-4-4 is 15 and 1 in its low channels: 4 and 0.
    const uint16_t quarter = format == SGL_MAP_555_LEVELS ? 8 : 4;
    const struct {
      int32_t level, x, y;
      uint16_t want;  // 0: as before
    } rows[] = {{1, 4, 2, v}, {1, 11, 5, v}, {2, 2, 1, v},  {2, 5, 2, v},      {1, 3, 2, 0},
                {1, 12, 2, 0}, {1, 4, 1, 0}, {2, 6, 1, 0}, {1, 20, 20, quarter}, {1, 27, 25, v}};
    for (const auto& row : rows) {
      const uint16_t got = level[row.level][Twiddled(row.x, row.y)];
      const size_t at = static_cast<size_t>(level[row.level] - block) + Twiddled(row.x, row.y);
      EXPECT_EQ(got, row.want ? row.want : before[at]) << format << " " << row.level << " " << row.x << "," << row.y;
    }
    sgl_free_pixels(&map);
    SB_Var.TextureCache[3] = TEXTURECACHE{};
  }
  // A map without smaller levels has nothing past its largest.
  SB_UpdateCardLevels(1, 0, 0, 64, 64);
  for (size_t i = 0; i < texels_[0].size(); ++i) ASSERT_EQ(texels_[0][i], i + 1);
}

}  // namespace
