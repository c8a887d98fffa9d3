// Car definition text files: the exact text written, the round trip, the
// spreading of definitions over the setups, and damaged or hostile files.
#include "vehicles/cardefs.h"

#include <cstring>

#include "shell/owner.h"
#include "tests/vehicles/vehicle_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class CarDefTest : public ztest::VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    SB_InitVehicleSetups();
  }
  void TearDown() override {
    SB_FreeTCARDEFINITIONs();
    VehicleTest::TearDown();
  }
  TVEHICLESETUP* Setups() { return SB_Var.VehicleSetups; }
  void Save(const char* name) {
    SB_BuildTCARDEFINITIONs(Setups());
    SB_WriteTCARDEFINITION(name);
    SB_FreeTCARDEFINITIONs();
  }
  // Reads the text as a file, applies what was read; the read's result.
  int32_t Load(const std::string& text) {
    ztest::WriteFile(root_ + "/DEFS.TXT", text);
    const int32_t read = SB_ReadTCARDEFINITION("defs.txt");
    SB_ApplyTCARDEFINITIONs(Setups());
    return read;
  }
  int32_t Owners(const char* tag) {
    int32_t n = 0;
    for (int32_t i = 0; i < SB_Var.NbMemOwners; ++i) n += std::strcmp(SB_MemOwners[i].Owner, tag) == 0;
    return n;
  }
};

TEST_F(CarDefTest, TheFileIsWrittenExactlyAndLoadsBackTheSame) {
  for (int i = 0; i < SB_NBLOCALSETUPS; ++i) {
    TVEHICLESETUP& s = Setups()[i];
    s = {i * 27.3f, -i * 11.1f, i * 13.7f, "N", 1, 0, static_cast<uint8_t>(i % 4), 0, {}, {}};
    for (int k = 0; k < s.NbStickers; ++k) s.Stickers[k] = {"s.tga", static_cast<int8_t>(k - 1), -100, 9};
    std::snprintf(s.PrototypeName, sizeof s.PrototypeName, "obc>set%d.obc", i);
  }
  Setups()[0] = {51.0f, -25.5f, 255.0f, "N", 1, 0, 2, 0, {{"n1.tga", 0, 10, -20}, {"emb.tga", -1, 100, 50}},
                 "p"};
  TVEHICLESETUP saved[SB_NBLOCALSETUPS];
  std::memcpy(saved, Setups(), sizeof saved);
  Save("mine.txt");
  const std::string text = ztest::ReadFile(root_ + "/MINE.TXT");
  const std::string
      head =
          "CARDEFINITIONS: 9\r\n\r\nHDELTA: 0.200000\r\nSDELTA: -0.100000\r\nVDELTA: 1.000000\r\n"
          "NBSTICKERS: 2\r\nSTICKER: 10,-20,0,n1.tga\r\nSTICKER: 100,50,-1,emb.tga\r\nPROTOTYPE: p\r\n\r\n",
      tail = "0.429804\r\nNBSTICKERS: 0\r\nPROTOTYPE: obc>set8.obc\r\n";  // no blank line at the end
  EXPECT_EQ(text.substr(0, head.size()) + text.substr(text.size() - tail.size()), head + tail);
  EXPECT_EQ(SB_PrintedLines(), Lines{"Saving car definition file mine.txt..."});
  SB_InitVehicleSetups();
  for (int i = 0; i < SB_NBLOCALSETUPS; ++i) std::memset(Setups()[i].Stickers, 0, sizeof saved[i].Stickers);
  ASSERT_EQ(Load(text), 1);
  for (int i = 0; i < SB_NBLOCALSETUPS; ++i) {
    const TVEHICLESETUP &got = Setups()[i], &want = saved[i];
    for (const auto& [a, b] :
         {std::pair(got.HDelta, want.HDelta), {got.SDelta, want.SDelta}, {got.VDelta, want.VDelta}})
      EXPECT_NEAR(a, b, 255e-6) << i;
    EXPECT_EQ(got.NbStickers, want.NbStickers);
    EXPECT_EQ(std::memcmp(got.Stickers, want.Stickers, want.NbStickers * sizeof(TSTICKER)), 0) << i;
    EXPECT_STREQ(got.PrototypeName, want.PrototypeName);
    EXPECT_STREQ(got.Name, "TRAMB");  // the names are not the file's
  }
}

TEST_F(CarDefTest, DefinitionsAreSpreadOverTheSetups) {
  const std::string two =
      "CARDEFINITIONS: 2\r\n\r\nHDELTA: -0.1\r\nSDELTA: 2.0\r\nVDELTA: 0\r\nPROTOTYPE: a\r\n\r\n"
      "HDELTA: 0.5\r\nSDELTA: 0\r\nVDELTA: -3\r\nPROTOTYPE: b\r\n";
  ASSERT_EQ(Load(two), 1);
  for (int i = 0; i < SB_NBLOCALSETUPS; ++i) {
    const TVEHICLESETUP& s = Setups()[i];
    EXPECT_STREQ(s.PrototypeName, i % 2 ? "b" : "a") << i;
    EXPECT_EQ(s.HDelta, i % 2 ? 127.5f : 0.0f) << i;
    EXPECT_EQ(s.SDelta, i % 2 ? 0.0f : 255.0f) << i;
    EXPECT_EQ(s.VDelta, i % 2 ? -255.0f : 0.0f) << i;
    EXPECT_STREQ(s.Name, "TRAMB");
  }
  EXPECT_EQ(SB_PrintedLines(), Lines{"Loading car definition file defs.txt..."});
}

TEST_F(CarDefTest, BadFilesGiveBoundedTablesAndTheirMessages) {
  const std::string head = "CARDEFINITIONS: 1\r\n\r\n", loading = "Loading car definition file defs.txt...",
                    minimum = "Error in file, minimum 1 car !!!";
  std::string stickers = "NBSTICKERS: 1000\r\n";
  for (int k = 0; k < 14; ++k)
    stickers += "STICKER: " + std::to_string(k) + ",2,0,s" + std::to_string(k) + "\r\n";
  const std::string longName(300, 'n');
  // text; definitions read, stickers and prototype length of setup 0, hue
  const std::tuple<std::string, int32_t, int, size_t, float, Lines> rows[] = {
      {"", 0, 0, 0, 0, {loading, minimum}},
      {std::string("\x01\xFF\0binary\x80", 10), 0, 0, 0, 0, {loading, minimum}},
      {"CARDEFINITIONS: 0\r\n", 0, 0, 0, 0, {loading, minimum}},
      {"CARDEFINITIONS: -1\r\n", 0, 0, 0, 0, {loading, minimum}},
      {"CARDEFINITIONS: 2147483647\r\nHDELTA: 0.2\r\n", 9, 0, 0, 51, {loading}},
      {head + stickers + "PROTOTYPE: p\r\n", 1, 12, 1, 0, {loading}},
      {head + "NBSTICKERS: 3\r\nSTICKER: 1,2,0,a\r\nPROTOTYPE: pp\r\n", 1, 1, 2, 0, {loading}},
      {head + "NBSTICKERS: 1\r\nSTICKER: 1,2,0," + longName + "\r\nPROTOTYPE: " + longName,
       1,
       1,
       63,
       0,
       {loading}},
      {head + "HDELTA: nan\r\nSDELTA: 1e400\r\n", 1, 0, 0, 0, {loading}}};
  for (const auto& [text, read, nbStickers, prototype, hue, lines] : rows) {
    SB_InitVehicleSetups();
    SB_ClearPrintedLines();
    EXPECT_EQ(Load(text) ? SB_NbCarDefinitions : 0, read) << text;
    const TVEHICLESETUP& s = Setups()[0];
    EXPECT_EQ(s.NbStickers, nbStickers) << text;
    EXPECT_EQ(std::strlen(s.PrototypeName), prototype) << text;
    EXPECT_EQ(s.HDelta, hue) << text;
    EXPECT_EQ(s.SDelta, 0.0f) << text;
    for (int k = 0; k < s.NbStickers; ++k) EXPECT_LE(std::strlen(s.Stickers[k].Name), 22u) << text;
    EXPECT_EQ(SB_PrintedLines(), lines) << text;
    SB_FreeTCARDEFINITIONs();
  }
  ASSERT_EQ(SB_ReadTCARDEFINITION("none.txt"), 0);
  EXPECT_EQ(SB_ApplyTCARDEFINITIONs(Setups()), 0);
  EXPECT_EQ(SB_PrintedLines().back(), "Car def file none.txt not found !!!");
}

TEST_F(CarDefTest, DefinitionsAreOwnedAndFreedWhole) {
  const int32_t before = SB_Var.NbMemOwners;
  ASSERT_EQ(Load("CARDEFINITIONS: 2\r\nNBSTICKERS: 2\r\nSTICKER: 1,1,0,a\r\nSTICKER: 1,1,0,b\r\n"), 1);
  EXPECT_EQ(Owners("SB_ReadTCARDEFINITION"), 1);
  EXPECT_EQ(Owners("SB_GetTCARDEFINITION"), 2);
  EXPECT_EQ(Owners("SB_AddStickerToTCARDEFINITION"), 3);  // the stickers and one pointer array
  SB_FreeTCARDEFINITIONs();
  EXPECT_EQ(SB_Var.NbMemOwners, before);
}

}  // namespace
