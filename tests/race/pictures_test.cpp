// The pictures around a race: please-wait (larger than the screen), the
// logo intro, the kiosk's information page and the physics meters' bitmap,
// from good files and from missing, truncated or wrong ones.
#include <gtest/gtest.h>

#include "datagen/pcxwrite.h"
#include "datagen/tgawrite.h"
#include "race/kiosk.h"
#include "race/raceloop.h"
#include "race/session.h"
#include "shell/owner.h"
#include "system/bmap.h"
#include "system/lsvar.h"
#include "system/palette.h"
#include "tests/race/race_fixture.h"

namespace {

constexpr uint32_t kPrefill = 0x1234;

class PicturesTest : public ztest::SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    StartDisplay();
    Baseline();
  }
  std::string Path(const std::string& name) const { return root_ + "/" + name; }
  // A 24-bit TGA of one colour, or its first bytes only.
  void WriteTga(const std::string& name, int w, int h, size_t keep = 0) {
    ztest::WriteFile(Path(name), "");
    ASSERT_TRUE(datagen::WriteTga(Path(name), datagen::Picture24(w, h, 200, 10, 10)));
    if (keep) ztest::WriteFile(Path(name), ztest::ReadFile(Path(name)).substr(0, keep));
  }
  // An 8-bit PCX whose pixels are all entry 1, pure red.
  void WritePcx(const std::string& name) {
    datagen::Picture8 p;
    p.width = 108;
    p.height = 111;
    p.pixels.assign(108 * 111, 1);
    p.palette.assign(768, 0);
    p.palette[3] = 252;
    ztest::WriteFile(Path(name), "");
    ASSERT_TRUE(datagen::WritePcx(Path(name), p));
  }
  static void Prefill() { LS_FillRect(LS_Var.Screen, 0, 0, 639, 479, kPrefill); }
  static uint32_t Pixel(int32_t x, int32_t y) { return LS_GetPixel(LS_Var.Screen, x, y); }
  // The meter bitmap as the race has it at its first frame, and the 3D
  // palette's colour of its pixel (5, 5).
  BMAP* RaceMeterBitmap() {
    ztest::WriteFile(Path("DEC/NETRACE.DEC"), "");
    std::snprintf(SB_Var.DecorMapFile, sizeof SB_Var.DecorMapFile, "DEC>NETRACE.DEC");
    SB_Var.DrawInfo = 1;
    BMAP* meter = nullptr;
    AtFrame(0, [&] {
      meter = SB_Var.MeterBitmap;
      if (meter) red_ = SB_Var.Pal3d->Entry[static_cast<uint8_t>(LS_GetPixel(meter, 5, 5))];
      SB_QuitRace();
    });
    SB_PlayRace();
    EXPECT_EQ(SB_Var.MeterBitmap, nullptr);  // freed with the race
    return meter;
  }
  LS_RGB red_{};
};

TEST_F(PicturesTest, PleaseWaitLargerThanTheScreenIsClipped) {
  WriteTga("MISCPICT/PLEASEWA.TGA", 700, 500);
  Prefill();
  SB_ShowPleaseWait();
  for (const uint32_t corner : {Pixel(0, 0), Pixel(639, 479)}) {
    EXPECT_NE(corner, kPrefill);
    EXPECT_NE(corner, 0u);
  }
  ExpectNothingLeft();
}

TEST_F(PicturesTest, TheLogoPlaysItsFilmThenShowsThePicture) {
  WriteTga("MISCPICT/TAMRISK.TGA", 640, 480);
  LSI_Var.Debug = 1;
  SB_PlayLogoIntro();
  EXPECT_TRUE(ztest::Traced().empty());
  LSI_Var.Debug = 0;
  SB_PlayLogoIntro();
  EXPECT_EQ(ztest::Traced(), std::vector<std::string>{"SB_PlayFli INTRO>TAMRISK.FLC INTRO>TALOGO.WAV 2 1"});
  EXPECT_NE(Pixel(320, 240), 0u);
  ExpectNothingLeft();
}

TEST_F(PicturesTest, TheInfoPageIsA16BitCopy) {
  WriteTga("MISCPICT/INFO.TGA", 40, 30);
  SB_LoadInfoPage();
  ASSERT_NE(SB_Var.InfoPage, nullptr);
  EXPECT_EQ(std::pair(SB_Var.InfoPage->Depth, SB_Var.InfoPage->SizeX), std::pair(16, 40));
  ASSERT_EQ(SB_Var.NbBmapOwners, 1);
  EXPECT_STREQ(SB_BmapOwners[0].Owner, "infopage");
  SB_FreeInfoPage();
  ExpectNothingLeft();
}

TEST_F(PicturesTest, TheMeterBitmapIsRemappedIntoThe3dPalette) {
  WritePcx("PCX/VOATU.PCX");
  BMAP* meter = RaceMeterBitmap();
  ASSERT_NE(meter, nullptr);
  EXPECT_GT(red_.Red, 40);
  EXPECT_LT(red_.Green + red_.Blue, 20);
  ExpectNothingLeft();
}

TEST_F(PicturesTest, BadPicturesDrawNothing) {
  enum Kind { kMissing, kTruncated, kWrongKind };
  for (const Kind kind : {kMissing, kTruncated, kWrongKind}) {
    ztest::Session().trace.clear();
    for (const char* name : {"MISCPICT/PLEASEWA.TGA", "MISCPICT/TAMRISK.TGA", "MISCPICT/INFO.TGA"})
      if (kind == kTruncated)
        WriteTga(name, 64, 64, 40);
      else if (kind == kWrongKind)
        WritePcx(name);
    if (kind == kTruncated) {
      WritePcx("PCX/VOATU.PCX");
      ztest::WriteFile(Path("PCX/VOATU.PCX"), ztest::ReadFile(Path("PCX/VOATU.PCX")).substr(0, 200));
    } else if (kind == kWrongKind) {
      WriteTga("PCX/VOATU.PCX", 108, 111);
    }
    Prefill();
    SB_ShowPleaseWait();
    SB_PlayLogoIntro();
    SB_LoadInfoPage();
    EXPECT_EQ(Pixel(320, 240), kPrefill) << kind;
    EXPECT_TRUE(ztest::TracedWith("SB_PlayFli").empty()) << kind;
    EXPECT_EQ(SB_Var.InfoPage, nullptr) << kind;
    EXPECT_EQ(RaceMeterBitmap(), nullptr) << kind;
    ExpectNothingLeft();
  }
}

}  // namespace
