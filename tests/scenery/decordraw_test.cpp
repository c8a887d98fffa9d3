// The decor objects' textures and drawing: pictures copied into their
// texture bitmaps with the 3D palette, one card texture per texture on the
// accelerator taken by the textured materials and given back at the race's
// end or with the objects, and objects drawn with the first block's place
// for the distance test.
#include "engine3d/camera.h"
#include "engine3d/material.h"
#include "engine3d/powertextures.h"
#include "racescene/powerscene.h"
#include "system/asm3d/zidade3d.h"
#include "tests/scenery/decor_fixture.h"

namespace {

using scenerytest::DecorTest;

constexpr int32_t kMaxPolys = 512, kMaxVertices = 2048;

class DecorDrawTest : public DecorTest {
 protected:
  void SetUp() override {
    DecorTest::SetUp();
    SB_Var.VideoModeIndex = 0;
    SB_Var.VideoModes[0].Depth = 16;
  }
  static MLIB* Library(int32_t i = 0) { return Entry(i).Object->Materials->Library; }
  static int32_t SlotsInUse() {
    int32_t n = 0;
    for (int32_t s = 1; s < SB_MAXCACHETEXTURE; ++s) n += SB_Var.TextureCache[s].InUse ? 1 : 0;
    return n;
  }
  void LoadMill() { LoadOne("{ {XYZ 0 0 30 TIME 1} }"); }
};

// Off the card the bitmaps are made at the video mode's depth and format,
// which the software fillers read; on the card they stay at 8 bits, the
// card textures' source. Each race's remap makes them again for its mode,
// and the textured materials take the new bitmaps.
TEST_F(DecorDrawTest, PicturesAreCopiedIntoTextureBitmapsAtTheModesDepth) {
  SB_Var.VideoModes[0].Depth = 8, SB_Var.VideoModes[0].TextureFormat = BMAP_PAL8;
  LoadMill();
  const struct {
    int32_t renderer, depth, format, bitmapDepth;
  } rows[] = {{0, 16, BMAP_RGB565, 16}, {0, 8, BMAP_PAL8, 8}, {1, 16, BMAP_RGB555, 16},
              {SB_RENDERER_PVR, 16, BMAP_RGB565, 8}, {0, 16, BMAP_RGB565, 16}};
  for (const auto& r : rows) {
    SB_Var.Renderer = r.renderer;
    SB_Var.VideoModes[0].Depth = r.depth, SB_Var.VideoModes[0].TextureFormat = r.format;
    SB_RemapDecorObjects();
    for (uint32_t t = 0; t < Library()->NbTextures; ++t) {
      const MLIBTEXTURE& texture = Library()->Textures[t];
      ASSERT_NE(texture.Bitmap, nullptr);
      EXPECT_EQ(texture.Bitmap->Depth, r.bitmapDepth) << r.depth << " " << r.renderer;
      EXPECT_EQ(texture.Bitmap->Palette, SB_Var.Pal3d);
      EXPECT_EQ(texture.Bitmap->Texture != 0, r.renderer == SB_RENDERER_PVR);  // a card texture on the card only
      for (auto [x, y] : {std::pair{5, 5}, {0, 0}, {40, 33}}) {
        const uint32_t want = texture.Picture ? LSI_LoadPixel(LSI_PixelAt(texture.Picture, x, y), 3) : 0;
        int32_t red, blue;
        if (r.bitmapDepth == 8) {
          const LS_RGB& got = SB_Var.Pal3d->Entry[*LSI_PixelAt(texture.Bitmap, x, y)];
          red = got.Red * 4, blue = got.Blue * 4;
        } else {
          const uint32_t got = LSI_LoadPixel(LSI_PixelAt(texture.Bitmap, x, y), 2);
          red = static_cast<int32_t>(got >> (r.format == BMAP_RGB565 ? 11 : 10) & 31) * 8;
          blue = static_cast<int32_t>(got & 31) * 8;
        }
        const int32_t within = r.bitmapDepth == 8 ? 40 : 8;
        EXPECT_NEAR(red, static_cast<int32_t>(want >> 16 & 0xFF), within) << t << " " << x << "," << y;
        EXPECT_NEAR(blue, static_cast<int32_t>(want & 0xFF), within) << t << " " << x << "," << y;
      }
    }
    for (uint32_t m = 0; m < Library()->NbMaterials; ++m) {
      const TMATERIAL& material = Library()->Materials[m];
      if (material.Flags & MATERIAL_UNTEXTURED) continue;
      EXPECT_EQ(material.Bitmap, Library()->Textures[material.Texture].Bitmap) << m;
      EXPECT_EQ(material.Pixels, material.Bitmap->Start) << m;
    }
  }
}

TEST_F(DecorDrawTest, OnTheAcceleratorEachTextureGetsACardTextureThatItsMaterialsTake) {
  SB_Var.Renderer = SB_RENDERER_PVR;
  const int32_t before = SlotsInUse();
  LoadMill();
  MLIB* library = Library();
  ASSERT_EQ(library->NbTextures, 2u);
  EXPECT_EQ(SlotsInUse(), before + 2);
  for (uint32_t t = 0; t < library->NbTextures; ++t) {
    const MLIBTEXTURE& texture = library->Textures[t];
    EXPECT_NE(texture.CardTexture, 0);
    EXPECT_EQ(texture.Bitmap->Texture, texture.CardTexture);
    EXPECT_TRUE(SB_Var.TextureCache[texture.CardTexture].InUse);
    EXPECT_EQ(SB_Var.TextureCache[texture.CardTexture].Map.XSize, 256);
  }
  for (uint32_t m = 0; m < library->NbMaterials; ++m)
    EXPECT_EQ(library->Materials[m].CardTexture, library->Textures[library->Materials[m].Texture].CardTexture);
  // An untextured material keeps what it has.
  library->Materials[1].Flags |= MATERIAL_UNTEXTURED;
  library->Materials[1].CardTexture = 0;
  // A race remaps again and ends: as many slots as before, then none of them.
  SB_RemapDecorObjects();
  EXPECT_EQ(SlotsInUse(), before + 2);
  EXPECT_EQ(library->Materials[1].CardTexture, 0);
  EXPECT_EQ(library->Materials[0].CardTexture, library->Textures[0].CardTexture);
  SB_FreeObjectsExtraTextures();
  EXPECT_EQ(SlotsInUse(), before);
  for (uint32_t t = 0; t < library->NbTextures; ++t) EXPECT_EQ(library->Textures[t].Bitmap->Texture, 0);
}

TEST_F(DecorDrawTest, TheRaceEndRemovesOnlyTheDecorSlotsAlsoWithTheSwitchOff) {
  SB_Var.Renderer = SB_RENDERER_PVR;
  BMAP* other = SB_CreateBmap(64, 64, 24, LS_DefaultHeap, "test");
  const int32_t keep = POWER_CreateTextureFromBmap(other, 64, 0, 2, 0);
  SB_FreeBmap(other);
  LoadMill();
  SB_Var.DecorObjectsOn = 0;
  SB_RemapDecorObjects();
  const int32_t slot = Library()->Textures[0].CardTexture;
  EXPECT_NE(slot, 0);
  SB_FreeObjectsExtraTextures();
  EXPECT_FALSE(SB_Var.TextureCache[slot].InUse && slot != keep);
  EXPECT_TRUE(SB_Var.TextureCache[keep].InUse);
  POWER_RemoveCachedTexture(keep);
}

TEST_F(DecorDrawTest, ObjectsLoadedOnTheAcceleratorAreFreedWithTheirCardTextures) {
  SB_Var.Renderer = SB_RENDERER_PVR;
  const int32_t before = SlotsInUse();
  LoadMill();
  LoadObjectScript("decor>list.txt");  // a second load replaces the first
  EXPECT_EQ(SlotsInUse(), before + 2);
  SB_FreeDecorNames();
  SB_FreeDecorObjects();
  EXPECT_EQ(SlotsInUse(), before);
  EXPECT_EQ(LS_GetLastError(), 0u);
}

class DecorViewTest : public DecorDrawTest {
 protected:
  void SetUp() override {
    DecorDrawTest::SetUp();
    SB_Var.Renderer = SB_RENDERER_PVR;
    SB_Var.MaxFaces = kMaxPolys, SB_Var.MaxVertices = kMaxVertices;
    SB_Var.FocalF = 320.0f, SB_Var.Focal = 320, SB_Var.CenterX = 320, SB_Var.CenterY = 240;
    SB_Var.ScreenWindow.W_WIDTH = 640, SB_Var.ScreenWindow.W_HEIGHT = 480;
    SB_Var.DrawDistance = 100;
    SB_Var.LightColor = 0x406080;
    SB_Var.Light = 1;
    LS_Init3D();
    SB_PlaceCamera(&SB_Var.Camera, 0, 0, 0, 0, 0, 0);
    view_.Polygons = polys_;
    view_.Vertices = vertices_;
  }
  int32_t Drawn() {
    POWER_ResetScene(&view_);
    SB_DrawDecorObjects(&view_);
    return view_.NbPolygons;
  }
  TSOFTSCENE view_{};
  TSGLPOLY polys_[kMaxPolys]{};
  TCLIPVERTEX vertices_[kMaxVertices]{};
};

TEST_F(DecorViewTest, TheFirstBlocksPlaceDecidesTheDistanceAndNoBlocksNoTest) {
  LoadMill();
  SB_ResetDecorScripts();
  Frame(0);
  const int32_t near = Drawn();
  EXPECT_GT(near, 0);
  EXPECT_EQ(SB_Var.ObjectColour, 0x406080u);
  Block(0).Position[2] = 1000.0;  // the object stays, its block is far
  EXPECT_EQ(Drawn(), 0);
  LoadOne("", "obc>decor>moulin.obc");  // no blocks: drawn wherever it is
  Entry().Object->Position[2] = 30 * 60800.0f;
  Part("PALES")->Position[2] = 30 * 60800.0f;
  SB_Var.DrawDistance = 1;
  EXPECT_EQ(Drawn(), near);
  EXPECT_EQ(Drawn(), near);
  SB_DrawDecorObjects(nullptr);
  LoadOne("{ {XYZ 0 0 30} }", "obc>decor>missing.obc");
  EXPECT_EQ(Drawn(), 0);
}

}  // namespace
