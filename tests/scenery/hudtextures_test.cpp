// The HUD's box and radar pictures made card textures on the accelerator
// path: the box with bit 30 set in every pixel, the radar as it is, both
// slots freed; pictures of another depth, shape or size leave no slot.
#include <filesystem>

#include "datagen/tgawrite.h"
#include "frontend/raceoverlay.h"
#include "system/error.h"
#include "tests/scenery/accel_calls.h"

namespace {

class HudTexturesTest : public scenerytest::CardTest {
 protected:
  void TearDown() override {
    POWER_FreeHudTextures();
    CardTest::TearDown();
  }
  // A 32-bit picture of one pixel value (0xAARRGGBB).
  void Put(const char* name, int w, int h, uint32_t pixel, int depth = 32) {
    datagen::TgaImage image;
    image.width = w, image.height = h, image.depth = depth;
    for (int i = 0; i < w * h; ++i)
      for (int b = 0; b < depth / 8; ++b) image.pixels.push_back(static_cast<uint8_t>(pixel >> (8 * b)));
    const auto bytes = datagen::EncodeTga(image, false);
    ztest::WriteFile(root_ + "/MISCPICT/" + name, std::string(bytes.begin(), bytes.end()));
  }
  static uint16_t Texel(int32_t slot, int i) {
    return static_cast<const uint16_t*>(SB_Var.TextureCache[slot].Map.Pixels)[i];
  }
};

// The same picture twice: the box's alpha gains 0x40 (one step of the
// card's 4-bit alpha), the radar's stays.
TEST_F(HudTexturesTest, TheBoxGetsBit30AndTheRadarStaysAsItIs) {
  Put("BOX.TGA", 64, 64, 0x80FF0000);
  Put("RADAR.TGA", 64, 64, 0x80FF0000);
  POWER_LoadHudTextures();
  const int32_t box = SB_Var.HudBoxTexture, radar = SB_Var.HudRadarTexture;
  ASSERT_NE(box, 0);
  ASSERT_NE(radar, 0);
  for (int i : {0, 100, 64 * 64 - 1}) {
    EXPECT_EQ(Texel(box, i) >> 12, 0xCu) << i;
    EXPECT_EQ(Texel(radar, i) >> 12, 0x8u) << i;
    EXPECT_EQ(Texel(box, i) & 0xFFF, Texel(radar, i) & 0xFFF) << i;
  }
  POWER_FreeHudTextures();
  EXPECT_EQ(std::pair(SB_Var.HudBoxTexture, SB_Var.HudRadarTexture), std::pair(0, 0));
  EXPECT_EQ(SB_Var.TextureCache[box].InUse, 0);
  EXPECT_EQ(SB_Var.TextureCache[radar].InUse, 0);
}

// As in the program, a library error would end the run: none is raised.
TEST_F(HudTexturesTest, UnfitPicturesLeaveNoSlot) {
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  struct Row {
    const char* what;
    int w, h, depth;
  };
  for (const Row& r : {Row{"24-bit", 64, 64, 24}, Row{"not square", 64, 32, 32}, Row{"odd side", 48, 48, 32},
                       Row{"missing", 0, 0, 0}, Row{"truncated", -1, 0, 0}}) {
    std::filesystem::remove(root_ + "/MISCPICT/BOX.TGA");
    if (r.w > 0) Put("BOX.TGA", r.w, r.h, 0xFF102030, r.depth);
    if (r.w < 0) ztest::WriteFile(root_ + "/MISCPICT/BOX.TGA", std::string(30, '\x02'));
    POWER_LoadHudTextures();
    EXPECT_EQ(SB_Var.HudBoxTexture, 0) << r.what;
    POWER_FreeHudTextures();
  }
  SB_Var.Renderer = 0;  // off the accelerator nothing is loaded
  Put("BOX.TGA", 64, 64, 0xFF102030);
  POWER_LoadHudTextures();
  EXPECT_EQ(SB_Var.HudBoxTexture, 0);
}

}  // namespace
