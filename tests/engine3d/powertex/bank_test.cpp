// Texture banks: the file's header, a save and load that give back the
// same textures without reading a picture, every refusal of a bad bank
// (which is then rebuilt and rewritten), seeded corruption, a full cache,
// and the move onto the card at texture scale 4.
#include <gtest/gtest.h>

#include <random>

#include "tests/engine3d/powertex/powertex_fixture.h"

namespace {

using pvrtest::Lines;

// Two 32 x 32 pictures of the plain format: 2 records, 2 cache records of
// 2048 texel bytes each.
constexpr size_t kRecords = 24, kCount = kRecords + 2 * 92, kSlots = kCount + 4, kTexelCount = kSlots + 2 * 60,
                 kTexels = kTexelCount + 4, kBankBytes = kTexels + 2 * 2048;

class Bank : public pvrtest::PvrTextures {
 protected:
  // Builds the two-picture bank; its bytes.
  std::string Build() {
    Names({"A", "B"});
    Picture("A", 32, 32);
    Picture("B", 32, 32);
    Load();
    POWER_ReleaseTextures();
    return ztest::ReadFile(BankPath());
  }
  static uint32_t Word(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  }
  static std::string WithWord(std::string bytes, size_t at, uint32_t v) {
    std::memcpy(bytes.data() + at, &v, 4);
    return bytes;
  }
};

TEST_F(Bank, HeaderAndRoundTrip) {
  SB_Var.TextureScale = 2;
  Names({"A", "KEYED   T", "STRIP1", "STRIP2", "GLASS", "A       4"});
  Picture("A", 64, 64);
  Picture("KEYED", 64, 64);
  Picture("STRIP1", 64, 16);
  Picture("STRIP2", 64, 16);
  Picture("GLASS", 64, 64, 0x80);
  Load();
  EXPECT_TRUE(Printed("Texture bank BNK>TEST.BN2 does not exist !"));
  EXPECT_TRUE(Printed("... Saving texture bank BNK>TEST.BN2..."));
  const std::string bytes = ztest::ReadFile(BankPath('2'));
  EXPECT_EQ(std::vector<uint32_t>({Word(bytes, 0), Word(bytes, 4), Word(bytes, 8), Word(bytes, 12), Word(bytes, 16),
                                   Word(bytes, 20)}),
            std::vector<uint32_t>({0x54455854, 92, 60, 512, 6, 5}));
  std::vector<TEXTTRI> records(SB_Var.TextTri, SB_Var.TextTri + SB_Var.NbTextTri);
  std::vector<std::string> texels;
  for (const TEXTTRI& r : records)
    texels.emplace_back(static_cast<const char*>(Slot(r.Page).Map.Pixels), Slot(r.Page).Size);
  POWER_ReleaseTextures();
  std::filesystem::remove_all(root_ + "/TXT/TR");
  Load();
  EXPECT_TRUE(Printed("... texture bank BNK>TEST.BN2 successfully loaded"));
  EXPECT_FALSE(Printed("... Saving texture bank BNK>TEST.BN2..."));  // no picture was read
  ASSERT_EQ(SB_Var.NbTextTri, static_cast<int32_t>(records.size()));
  for (size_t k = 0; k < records.size(); ++k) {
    TEXTTRI now = SB_Var.TextTri[k];
    EXPECT_EQ(std::string(static_cast<const char*>(Slot(now.Page).Map.Pixels), Slot(now.Page).Size), texels[k]);
    EXPECT_TRUE(Slot(now.Page).Flags & SB_TEXFLAG_BANK);
    now.Page = records[k].Page;
    EXPECT_EQ(std::memcmp(&now, &records[k], sizeof now), 0) << k;
  }
  SB_ClearPrintedLines();
  POWER_ReleaseTextures();
  EXPECT_EQ(SB_PrintedLines(), Lines({"... Freeing texture bank", "POWER textures released"}));
}

TEST_F(Bank, BadBanksAreRebuiltAndRewritten) {
  const std::string good = Build();
  ASSERT_EQ(good.size(), kBankBytes);
  std::string unterminated = good;
  std::memset(unterminated.data() + kRecords + 24, 'A', 64);
  const std::string bad = "Bad Texture Header (BNK>TEST.BN1) !";
  struct Row {
    std::string bytes;
    std::string line;
  };
  const Row rows[] = {
      {WithWord(good, 0, 0x12345678), bad},
      {WithWord(good, 4, 88), "struct TEXTTRI size changed in (BNK>TEST.BN1) !"},
      {WithWord(good, 8, 64), "struct TEXTURECACHE size changed in (BNK>TEST.BN1) !"},
      {WithWord(good, 12, 256), "MAXCACHETEXTURE changed in (BNK>TEST.BN1) !"},
      {WithWord(good, 16, 3), "nb of texture changed in (BNK>TEST.BN1) !"},
      {WithWord(good, 20, 513), bad},                     // N
      {WithWord(good, 20, 0xFFFFFFFF), bad},
      {WithWord(good, 20, 3), bad},
      {WithWord(good, kCount, 512), bad},                 // M
      {WithWord(good, kCount, 0x80000000), bad},
      {WithWord(good, kCount, 1), bad},                   // record 1's cache index is not below M
      {WithWord(good, kRecords + 20, 7), bad},            // record 0's cache index
      {WithWord(good, kRecords + 20, Word(good, kCount)), bad},  // a page equal to the slot count M
      {unterminated, bad},
      {WithWord(good, kSlots + 16, 3000), bad},           // texel offset
      {WithWord(good, kSlots + 32, 1000), bad},           // size
      {WithWord(good, kSlots + 4, 0), bad},               // processed map's identification
      {WithWord(good, kSlots + 8, 64), bad},              // processed map's side
      {WithWord(good, kSlots + 40, 9), bad},              // class
      {WithWord(good, kTexelCount, 8192), bad},           // T beyond the file
      {good.substr(0, 0), bad},  // truncated at section boundaries and inside records
      {good.substr(0, 10), bad},
      {good.substr(0, kRecords + 50), bad},
      {good.substr(0, kCount), bad},
      {good.substr(0, kSlots + 30), bad},
      {good.substr(0, kTexels), bad},
      {good.substr(0, kBankBytes - 1), bad},
  };
  for (const Row& r : rows) {
    ztest::WriteFile(BankPath(), r.bytes);
    Load();
    EXPECT_TRUE(Printed(r.line)) << &r - rows;
    EXPECT_TRUE(Printed("... Saving texture bank BNK>TEST.BN1...")) << &r - rows;
    EXPECT_EQ(InUse(), 2) << &r - rows;
    POWER_ReleaseTextures();
    EXPECT_EQ(ztest::ReadFile(BankPath()), good) << &r - rows;
  }
  // A picture the bank does not hold.
  Names({"A", "C"});
  Picture("C", 32, 32);
  Load();
  EXPECT_TRUE(Printed("... Missing texture TXT>TR>C.PCX in bank BNK>TEST.BN1 ..."));
  EXPECT_TRUE(Printed("... Saving texture bank BNK>TEST.BN1..."));
}

TEST_F(Bank, SeededCorruptionNeverLeavesAStraySlot) {
  const std::string good = Build();
  std::mt19937 random(26);
  for (int32_t n = 0; n < 300; ++n) {
    std::string bytes = good;
    const size_t at = random() % (kTexels + 8);  // the texels themselves are any values
    bytes[at] = static_cast<char>(bytes[at] ^ (1 + random() % 255));
    ztest::WriteFile(BankPath(), bytes);
    Load();
    EXPECT_EQ(InUse(), 2) << at;
    POWER_ReleaseTextures();
    ASSERT_EQ(InUse(), 0) << at;
    ASSERT_EQ(plat::AccelLiveBlocks(), 0) << at;
  }
}

TEST_F(Bank, MissingBuildBankAndAFullCache) {
  Names({"A", "B"});
  Picture("A", 32, 32);
  Picture("B", 32, 32);
  Load();
  EXPECT_TRUE(Printed("Texture bank BNK>TEST.BN1 does not exist !"));
  POWER_ReleaseTextures();
  SB_Var.BuildBank = 1;
  Load();
  EXPECT_FALSE(Printed("... texture bank BNK>TEST.BN1 successfully loaded"));
  EXPECT_TRUE(Printed("... Saving texture bank BNK>TEST.BN1..."));
  EXPECT_EQ(SB_Var.BuildBank, 0);
  POWER_ReleaseTextures();
  // Room for one of the bank's two textures.
  BMAP* filler = SB_CreateBmap(32, 32, 32, 0, "test");
  filler->Format = BMAP_ABGR8888;
  for (int32_t i = 1; i < SB_MAXCACHETEXTURE - 1; ++i) ASSERT_EQ(POWER_CreateCachedTexture(filler, 0, 2, 0), i);
  EXPECT_EQ(POWER_LoadTextureBank(), 0);
  EXPECT_EQ(Logged("Texture cache full while loading texture bank"), 1);
  EXPECT_EQ(std::vector<int32_t>({InUse(), SB_Var.BankHeap != 0}), std::vector<int32_t>({SB_MAXCACHETEXTURE - 2, 0}));
  for (int32_t i = 1; i < SB_MAXCACHETEXTURE; ++i) POWER_RemoveCachedTexture(i);
  SB_FreeBmap(filler);
}

TEST_F(Bank, ScaleFourMovesTheBankOntoTheCard) {
  SB_Var.TextureScale = 4;
  Names({"GO", "A", "TIMEX1", "B", "A       4"});
  for (const char* stem : {"GO", "A", "TIMEX1", "B"}) Picture(stem, 128, 128);
  Load();
  POWER_ReleaseTextures();
  Load();
  for (const char* line : {"... texture bank BNK>TEST.BN4 successfully loaded",
                           "... Freeing texture bank (Textures moved to videomemory)",
                           "... Reducing texture memory from 8ko to 4ko !"})
    EXPECT_TRUE(Printed(line)) << line;
  EXPECT_EQ(std::vector<int32_t>({SB_Var.BankInVideo, SB_Var.BankHeap != 0, plat::AccelCardTextures()}),
            std::vector<int32_t>({1, 0, 2}));
  std::vector<int32_t> kept;
  for (const char* stem : {"GO", "A", "TIMEX1", "B"}) {
    const TEXTURECACHE& t = Slot(Record(stem)->Page);
    kept.push_back(t.Map.Pixels ? 1 : t.Name >= 0 ? 0 : -1);
  }
  EXPECT_EQ(kept, std::vector<int32_t>({1, 0, 1, 0}));  // texels kept in "texture ram", or only on the card
  EXPECT_EQ(std::vector<int32_t>(SB_Var.KeptTextures, SB_Var.KeptTextures + 6),
            std::vector<int32_t>({-1, 0, -1, 2, -1, -1}));
  SB_ClearPrintedLines();
  POWER_ReleaseTextures();
  EXPECT_EQ(SB_PrintedLines(), Lines({"... Freeing texture in videomemory", "POWER textures released"}));
  // A card too small: the textures moved so far come back and the bank stays in main memory.
  plat::AccelSetCardMemory(3000);
  Load();
  EXPECT_EQ(Logged("Cannot move texture memory"), 1);
  EXPECT_EQ(std::vector<int32_t>({SB_Var.BankInVideo, SB_Var.BankHeap != 0, plat::AccelCardTextures(),
                                  Slot(Record("A")->Page).Map.Pixels != nullptr, Slot(Record("B")->Page).Map.Pixels != nullptr}),
            std::vector<int32_t>({0, 1, 0, 1, 1}));
  POWER_ReleaseTextures();
  // Beyond 2 MB the bank stays in main memory.
  SB_Var.BankTexelBytes = 0x200001;
  SB_ClearPrintedLines();
  EXPECT_EQ(POWER_UploadTextureBank(), 0);
  EXPECT_EQ(SB_PrintedLines(), Lines({"Texture bank too big to be loaded in videomemory !!!"}));
  SB_Var.BankTexelBytes = 0;
}

}  // namespace
