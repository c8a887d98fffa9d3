// The accelerator's map textures from pictures: reduction, translucency
// and flag letters, missing and bad pictures, shared squares and tiled
// ones, square copies of pictures, and alpha textures.
#include <gtest/gtest.h>

#include "platform/accel/sgl.h"
#include "tests/engine3d/powertex/powertex_fixture.h"

namespace {

using pvrtest::g_statuses;
using pvrtest::Lines;

class Manager : public pvrtest::PvrTextures {};

TEST_F(Manager, PicturesBecomeCacheTextures) {
  struct Row {
    const char* name;
    int size, alpha, scale, scaleX, mipmap;
    int side;
    char format;
    uint32_t flags;
    int textureClass;
    const char* line;  // printed, or shown on the status line
  };
  const Row rows[] = {
      {"PLAIN", 64, -1, 1, 0, 0, 64, '0', 0, 2, "Textures Memory used: 8ko"},
      {"ROAD    X", 128, -1, 4, 1, 0, 64, '0', 0, 2, "Loading POWER Texture (65K) 1: TXT>TR>ROAD.PCX (Reducing it by 2)"},
      {"ROAD    X", 128, -1, 4, 0, 0, 32, '0', 0, 2, "Loading POWER Texture (65K) 1: TXT>TR>ROAD.PCX (Reducing it by 4)"},
      {"LIM     7", 128, -1, 8, 0, 0, 64, '0', 0, 2, "Texture reduction limited TXT>TR>LIM.PCX"},
      {"SMALL", 64, -1, 4, 0, 0, 32, '0', 0, 2, nullptr},
      {"GLASS", 32, 0x30, 1, 0, 0, 32, '3', 0, 2, "Translucent texture : GLASS"},
      {"LUMIERE2", 32, 0x30, 1, 0, 0, 32, '3', SB_TEXFLAG_CLOSE, 2, "LUMIERE2 found for close transparency"},
      {"KEYED   T", 32, -1, 1, 0, 1, 32, '3', 0, 2, nullptr},
      {"KERB    4", 32, -1, 1, 0, 0, 32, '0', SB_TEXFLAG_BIT0, 1, nullptr},
      {"NOMIP   N", 32, -1, 1, 0, 1, 32, '0', 0, 2, nullptr},
      {"MIP", 32, -1, 1, 0, 1, 32, '1', 0, 2, nullptr},
      {"MIP", 32, -1, 1, 0, 2, 32, '0', 0, 2, nullptr},
      {"MIP     4", 32, -1, 1, 0, 2, 32, '1', SB_TEXFLAG_BIT0, 1, nullptr},
  };
  for (const Row& r : rows) {
    POWER_ReleaseTextures();
    Names({r.name});
    const std::string stem = std::string(r.name).substr(0, std::string(r.name).find(' '));
    Picture(stem, r.size, r.size, r.alpha);
    SB_Var.TextureScale = r.scale, SB_Var.TextureScaleX = r.scaleX, SB_Var.PvrMipmap = r.mipmap;
    SB_Var.BuildBank = 1;
    Load();
    const TEXTTRI* rec = Record(stem);
    ASSERT_TRUE(rec && rec->Found) << r.name;
    const TEXTURECACHE& t = Slot(rec->Page);
    EXPECT_EQ(std::vector<int32_t>({rec->Width, t.Map.XSize, t.Map.Id[2], static_cast<int32_t>(t.Flags), t.Class}),
              std::vector<int32_t>({r.side, r.side, r.format, static_cast<int32_t>(r.flags), r.textureClass}))
        << r.name << " " << r.scale;
    if (r.line) {
      EXPECT_TRUE(Printed(r.line) || std::count(g_statuses.begin(), g_statuses.end(), r.line)) << r.line;
    }
    if (r.alpha >= 0) {
      EXPECT_EQ(Texel(rec->Page, 0, 0) >> 12, (0xFF - r.alpha) >> 4);  // alpha inverted
    }
  }
  EXPECT_TRUE(Printed("Free Textures : 4096ko"));
}

TEST_F(Manager, MissingAndBadPictures) {
  Names({"NONE", "BAD", "SHORT", "EMPTY", "WIDE", "LONGNAMEABCDEFG"});
  ztest::WriteFile(root_ + "/TXT/TR/BAD.TGA", std::string(300, '\x7F'));
  Picture("SHORT", 32, 32);
  std::filesystem::resize_file(root_ + "/TXT/TR/SHORT.TGA", 100);
  Picture("EMPTY", 0, 0);
  Picture("WIDE", 512, 64);
  Picture("LONGNAME", 32, 32);
  const Lines& lines = Load();
  for (const char* line : {"Tga not found TXT>TR>NONE.TGA !!!", "Corrupted tga TXT>TR>BAD.TGA !!!",
                           "Corrupted tga TXT>TR>SHORT.TGA !!!", "Loaded 6 textures out of 6..."})
    EXPECT_TRUE(Printed(line)) << line;
  std::vector<int32_t> found;
  for (const char* stem : {"NONE", "BAD", "SHORT", "EMPTY", "WIDE", "LONGNAME"}) found.push_back(Record(stem)->Found);
  EXPECT_EQ(found, std::vector<int32_t>({0, 0, 0, 0, 0, 1}));
  EXPECT_EQ(Boxes(), Lines({"PWR: unsupported texture size"}));  // the 512-wide picture's square
  EXPECT_FALSE(lines.empty());
  // More names than the table holds: the first 512 are read (the unnamed ones share one record).
  POWER_ReleaseTextures();
  SB_Var.NbTextures = 600;
  SB_Var.BuildBank = 1;
  Load();
  EXPECT_TRUE(Printed("Loaded 7 textures out of 600..."));
}

TEST_F(Manager, NarrowTexturesShareSquaresUnlessTheyRepeat) {
  Names({"STRIP1", "STRIP2", "STRIP1  Z", "STRIP3", "STRIP4", "STRIPW", "TALL"});  // records no longer by name
  for (const char* stem : {"STRIP1", "STRIP2", "STRIP3", "STRIP4", "STRIPW"}) Picture(stem, 64, 16);
  Picture("TALL", 16, 64);
  Faces({{5, 100, 9000}, {1, 9000, 100}, {6, 100, 100}, {9, 9000, 9000}});  // texture 9 does not exist
  Load();
  EXPECT_EQ(SB_Var.TextureWrap[5], 2u);
  const int32_t shared = Record("STRIP1")->Page;
  std::vector<int32_t> ys;
  for (const char* stem : {"STRIP1", "STRIP2", "STRIP3", "STRIP4"}) {
    EXPECT_EQ(Record(stem)->Page, shared);
    ys.push_back(Record(stem)->Y);
  }
  EXPECT_EQ(ys, std::vector<int32_t>({0, 16, 32, 48}));
  // The repeating one is tiled down its own square and reported.
  const int32_t own = Record("STRIPW")->Page;
  EXPECT_NE(own, shared);
  for (int32_t y : {5, 21, 37, 53}) EXPECT_EQ(Texel(own, 9, y), Texel(own, 9, 5));
  EXPECT_NE(Texel(own, 9, 5), Texel(own, 9, 6));
  EXPECT_TRUE(Printed("STRIPW") && Printed("Nb faulty texture 1"));
  // The tall one does not repeat across its width: a square of its own shape.
  EXPECT_NE(Record("TALL")->Page, own);
  EXPECT_EQ(Slot(Record("TALL")->Page).Map.XSize, 64);
}

TEST_F(Manager, SharedSquaresFillAndOverflow) {
  BMAP* strip = SB_CreateBmap(64, 16, 32, 0, "test");
  strip->Format = BMAP_ABGR8888;
  for (int32_t k = 0; k < 17; ++k) SB_Var.TextTri[k] = TEXTTRI{0, 0, 0, 64, 16, -1, "", 1, {}};
  for (int32_t k = 0; k < 3; ++k) EXPECT_EQ(POWER_CreateTextureVariant(strip, 0, k, 0), 1);
  EXPECT_EQ(std::vector<int32_t>({SB_Var.SharedTextures[0].InUse, SB_Var.SharedTextures[0].Space, SB_Var.TextTri[0].Page}),
            std::vector<int32_t>({1, 16, -1}));
  EXPECT_EQ(POWER_CreateTextureVariant(strip, 0, 3, 0), 1);  // fills it: uploaded at once
  EXPECT_EQ(SB_Var.SharedTextures[0].InUse, 0);
  EXPECT_GT(SB_Var.TextTri[0].Page, 0);
  EXPECT_EQ(SB_Var.TextTri[3].Page, SB_Var.TextTri[0].Page);
  POWER_RemoveCachedTexture(SB_Var.TextTri[0].Page);
  // Sixteen squares of different flags open; the seventeenth finds none.
  for (int32_t k = 0; k < 16; ++k) EXPECT_EQ(POWER_CreateTextureVariant(strip, 0, k, static_cast<uint32_t>(k) << 4), 1);
  EXPECT_EQ(POWER_CreateTextureVariant(strip, 0, 16, 1), 0);
  EXPECT_EQ(Logged("Opt full"), 1);
  EXPECT_EQ(SB_Var.TextTri[16].Found, 0);
  POWER_UploadQueuedTextures();
  EXPECT_EQ(InUse(), 16);
  for (int32_t k = 0; k < 16; ++k) POWER_RemoveCachedTexture(SB_Var.TextTri[k].Page);
  SB_FreeBmap(strip);
}

TEST_F(Manager, SquareCopiesOfPictures) {
  auto make = [](int32_t w, int32_t h) {
    BMAP* b = SB_CreateBmap(w, h, 32, 0, "test");
    b->Format = BMAP_ABGR8888;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x)
        reinterpret_cast<uint32_t*>(b->Start + y * b->ByteLen)[x] = x == 0 && y == 0 ? 0 : 0x10000u * y + 8u * x + 8;
    return b;
  };
  BMAP* tall = make(16, 64);
  BMAP* wide = make(64, 16);
  const int32_t side = POWER_CreateTextureFromBmap(tall, 64, 0, 2, 0);
  const int32_t stacked = POWER_CreateTextureFromBmap(wide, 64, 3, 2, 0);
  const int32_t kept = POWER_CreateTextureFromBmap(wide, 64, -1, 2, 0);
  for (int32_t k = 1; k < 4; ++k) {
    EXPECT_EQ(Texel(side, 16 * k + 3, 40), Texel(side, 3, 40));
    EXPECT_EQ(Texel(stacked, 40, 16 * k + 3), Texel(stacked, 40, 3));
  }
  EXPECT_NE(Texel(side, 3, 40), Texel(side, 4, 40));
  // Texel 0 of a keyed format is transparent; format -1 leaves it and is keyed.
  EXPECT_EQ(std::vector<int32_t>({Texel(stacked, 0, 0) >> 12, Texel(stacked, 1, 0) >> 12, Texel(kept, 0, 0) >> 12,
                                  Slot(kept).Map.Id[2]}),
            std::vector<int32_t>({0xF, 0, 0, '3'}));
  for (int32_t s : {side, stacked, kept}) POWER_RemoveCachedTexture(s);
  SB_FreeBmap(tall);
  SB_FreeBmap(wide);
}

TEST_F(Manager, AlphaTextures) {
  BMAP* b = SB_CreateBmap(2, 1, 32, 0, "test");
  b->Format = BMAP_ABGR8888;
  auto* texels = reinterpret_cast<uint32_t*>(b->Start);
  texels[0] = 0, texels[1] = 0xFFFFFF;
  POWER_BmapToAlpha(b, 0xA0A0A0);
  EXPECT_EQ(std::vector<uint32_t>({texels[0], texels[1]}), std::vector<uint32_t>({0xFFA0A0A0u, 0x00A0A0A0u}));
  BMAP* shallow = SB_CreateBmap(2, 1, 16, 0, "test");
  POWER_BmapToAlpha(shallow, 0xA0A0A0);
  EXPECT_EQ(Logged("BMAP must be in 32bits (BGR) to be converted to alpha"), 1);
  SB_FreeBmap(shallow);
  SB_FreeBmap(b);
}

}  // namespace
