// The vehicle setups: the stored record, the defaults, the setup file and
// its damaged forms, the check of untrusted setups, and the per-car copies
// of a race.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "platform/clock.h"
#include "tests/vehicles/vehicle_fixture.h"

namespace {

using Lines = std::vector<std::string>;
using Bytes = std::string;

void Put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

// A setup file of n records of the given size; record i starts with the
// packed setup whose hue shift is i + 1.
Bytes SetupFile(uint32_t n, uint32_t size, uint32_t records) {
  Bytes b(268, '\0');
  std::memcpy(b.data(), "Vehicle binary file V1.06", 26);
  Put32(b, 256, n), Put32(b, 260, n), Put32(b, 264, size);
  for (uint32_t i = 0; i < records; ++i) {
    TVEHICLESETUP s{};
    s.HDelta = static_cast<float>(i + 1);
    std::strcpy(s.PrototypeName, "file");
    uint8_t r[SB_SETUPRECORDSIZE];
    SB_PackVehicleSetup(s, r);
    Bytes record(size, 'x');
    std::memcpy(record.data(), r, std::min<size_t>(size, sizeof r));
    b += record;
  }
  return b;
}

class SetupTest : public ztest::VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    std::filesystem::create_directories(root_ + "/DAT");
    SB_InitVehicleSetups();
  }
  TVEHICLESETUP* Setups() { return SB_Var.VehicleSetups; }
  std::string FilePath() const { return root_ + "/DAT/NRCAR.CFG"; }
  // Hue shifts of the nine local setups.
  std::vector<float> Hues() {
    std::vector<float> h;
    for (int i = 0; i < SB_NBLOCALSETUPS; ++i) h.push_back(Setups()[i].HDelta);
    return h;
  }
};

TEST_F(SetupTest, TheRecordIsWrittenFieldByFieldAtItsOffsets) {
  TVEHICLESETUP s{1.5f, -2.0f, 3.0f, "ABCDEFG", 1, 2, 3, -4, {}, "proto"};
  s.Stickers[11] = {"zz", -1, -300, 400};
  uint8_t r[SB_SETUPRECORDSIZE];
  SB_PackVehicleSetup(s, r);
  float f[3];
  std::memcpy(f, r, sizeof f);
  EXPECT_EQ(f[1], -2.0f);
  const std::pair<int, int> bytes[] = {{12, 'A'}, {20, 1},   {21, 2},    {22, 3},   {23, 0xFC}, {332, 'z'},
                                       {355, 0xFF}, {356, 0xD4}, {357, 0xFE}, {358, 0x90}, {359, 1}, {360, 'p'}};
  for (const auto& [at, value] : bytes) EXPECT_EQ(r[at], value) << at;
  TVEHICLESETUP back{};
  SB_UnpackVehicleSetup(r, &back);
  EXPECT_EQ(std::memcmp(&back, &s, sizeof s), 0);
}

TEST_F(SetupTest, DefaultsLeaveTheNumberAndTheStickers) {
  TVEHICLESETUP& s = Setups()[4];
  s = {9.0f, 9.0f, 9.0f, "X", 0, 1, 5, 7, {}, "proto"};
  s.Stickers[0] = {"kept", 1, 2, 3};
  SB_InitVehicleSetups();
  const TVEHICLESETUP want{0.0f, 0.0f, 0.0f, "TRAMB", 1, 0, 0, 7, {{"kept", 1, 2, 3}}, ""};
  EXPECT_EQ(std::memcmp(&s, &want, sizeof s), 0);
}

TEST_F(SetupTest, TheFileIsExactAndLoadsBackByteForByte) {
  for (int i = 0; i < SB_NBLOCALSETUPS; ++i) {
    Setups()[i] = {i * 10.0f, -i * 1.0f, i * 2.0f, "CAR", static_cast<uint8_t>(i % 2), 0,
                   static_cast<uint8_t>(i % 3), static_cast<int8_t>(i), {}, "obc>p.obc"};
    Setups()[i].Stickers[i] = {"S", 1, static_cast<int16_t>(-i), 9};
  }
  TVEHICLESETUP saved[SB_NBLOCALSETUPS];
  std::memcpy(saved, Setups(), sizeof saved);
  EXPECT_EQ(SB_SaveVehicleSetups("dat>nrcar.cfg"), 1);
  const Bytes file = ztest::ReadFile(FilePath());
  ASSERT_EQ(file.size(), 4084u);
  EXPECT_EQ(file.substr(0, 28), Bytes("Vehicle binary file V1.06\0\0\0", 28));
  EXPECT_EQ(file.substr(256, 12), Bytes("\x09\0\0\0\x09\0\0\0\xA8\x01\0\0", 12));
  std::memset(Setups(), 0, sizeof saved);
  EXPECT_EQ(SB_LoadVehicleSetups("dat>nrcar.cfg"), 1);
  EXPECT_EQ(std::memcmp(saved, Setups(), sizeof saved), 0);
  EXPECT_EQ(SB_PrintedLines(), (Lines{"Saving cars configuration dat>nrcar.cfg...",
                                      "Loading cars configuration dat>nrcar.cfg..."}));
  std::filesystem::create_directories(root_ + "/SYSTEM");
  SB_SaveVehicleSetups(nullptr);  // the system directory
  EXPECT_TRUE(ztest::ReadFile(root_ + "/SYSTEM/NRCAR.CFG") == file);
}

TEST_F(SetupTest, OnlyWholeRecordsOfASignedFileAreStored) {
  const Bytes nine = SetupFile(9, 424, 9);
  Bytes foreign = nine;
  foreign[24] = '7';
  const std::vector<float> none(9, 0.0f), all = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  const std::tuple<const char*, Bytes, int32_t, std::vector<float>> rows[] = {
      {"foreign header", foreign, 0, none},
      {"twelve records", SetupFile(12, 424, 12), 1, all},
      {"records of 500", SetupFile(9, 500, 9), 1, all},
      {"cut in record 4", nine.substr(0, 268 + 3 * 424 + 100), 1, {1, 2, 3, 0, 0, 0, 0, 0, 0}},
      {"count 0", SetupFile(0, 424, 9), 1, none},
      {"count 2^32-1", SetupFile(0xFFFFFFFF, 424, 3), 1, {1, 2, 3, 0, 0, 0, 0, 0, 0}},
      {"record size 0", SetupFile(9, 0, 9), 1, none},
      {"record size 2^32-1", SetupFile(9, 0xFFFFFFFF, 0) + nine.substr(268), 1, none},
      {"header only", nine.substr(0, 268), 1, none},
      {"cut header", nine.substr(0, 255), 0, none}};
  for (const auto& [name, bytes, result, hues] : rows) {
    SB_InitVehicleSetups();
    ztest::WriteFile(FilePath(), bytes);
    EXPECT_EQ(SB_LoadVehicleSetups("dat>nrcar.cfg"), result) << name;
    EXPECT_EQ(Hues(), hues) << name;
  }
  for (size_t cut = 0; cut < nine.size(); cut += cut < 268 ? 1 : 7) {  // no read past the file at any length
    ztest::WriteFile(FilePath(), nine.substr(0, cut));
    SB_LoadVehicleSetups("dat>nrcar.cfg");
  }
}

TEST_F(SetupTest, ShortRecordsFillTheStartOfTheirSetup) {
  const std::pair<uint32_t, const char*> rows[] = {{400, "file"}, {1, "qqqq"}};
  for (const auto& [size, prototype] : rows) {
    SB_InitVehicleSetups();
    for (int i = 0; i < SB_NBLOCALSETUPS; ++i) std::memset(Setups()[i].PrototypeName, 'q', 63);
    ztest::WriteFile(FilePath(), SetupFile(9, size, 9));
    EXPECT_EQ(SB_LoadVehicleSetups("dat>nrcar.cfg"), 1);
    EXPECT_EQ(std::string(Setups()[8].PrototypeName, 4), std::string(prototype, 4)) << size;
    EXPECT_EQ(Setups()[8].PrototypeName[50], 'q') << size;  // bytes 400 on keep their value
    EXPECT_EQ(Setups()[8].HDelta, size == 400 ? 9.0f : 0.0f) << size;
  }
}

// The same faults as a file holds them and as a peer would send them.
TEST_F(SetupTest, UntrustedSetupsAreMadeSafe) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  const std::tuple<float, float, float, float, float, float> rows[] = {
      // in H, S, V; out H, S, V
      {nan, inf, -inf, 0, 0, 0},
      {-5, -1e30f, 1e30f, 0, -255, 255},
      {300, 12.5f, -12.5f, 255, 12.5f, -12.5f}};
  for (const auto& [h, s, v, wantH, wantS, wantV] : rows) {
    TVEHICLESETUP bad{h, s, v, {}, 1, 1, 255, 3, {}, {}};
    std::memset(bad.Name, 'N', sizeof bad.Name);
    std::memset(bad.PrototypeName, 'P', sizeof bad.PrototypeName);
    for (TSTICKER& t : bad.Stickers) std::memset(t.Name, 'T', sizeof t.Name);
    uint8_t payload[SB_SETUPRECORDSIZE];
    SB_PackVehicleSetup(bad, payload);
    Bytes file = SetupFile(1, 424, 0) + Bytes(reinterpret_cast<char*>(payload), sizeof payload);
    ztest::WriteFile(FilePath(), file);
    SB_LoadVehicleSetups("dat>nrcar.cfg");
    TVEHICLESETUP received{};
    SB_UnpackVehicleSetup(payload, &received);
    SB_SanitizeVehicleSetup(&received);
    for (const TVEHICLESETUP* got : {&Setups()[0], &received}) {
      EXPECT_EQ(got->NbStickers, 12);
      EXPECT_EQ(std::strlen(got->Name), 7u);
      EXPECT_EQ(std::strlen(got->PrototypeName), 63u);
      EXPECT_EQ(std::strlen(got->Stickers[11].Name), 22u);
      EXPECT_EQ(got->HDelta, wantH);
      EXPECT_EQ(got->SDelta, wantS);
      EXPECT_EQ(got->VDelta, wantV);
    }
  }
}

TEST_F(SetupTest, EachCarOfARaceTakesItsCopy) {
  for (int i = 0; i < SB_NBLOCALSETUPS; ++i) Setups()[i].HDelta = static_cast<float>(i);
  SB_Var.UsingCars = 1;
  SB_Var.NbCars = 11;
  // driven, replay, selected, network state; car; its hue and number
  const std::tuple<int32_t, int32_t, int32_t, XSTATE, int32_t, int32_t> rows[] = {
      {0, -1, 5, XSTATE_NONET, 0, 5},       {0, -1, 5, XSTATE_NONET, 10, 2},
      {0, -1, 12, XSTATE_NONET, 0, 0},      {-1, 3, 6, XSTATE_NONET, 3, 6},
      {0, -1, 5, XSTATE_NETINITED, 0, 5},   {0, -1, 5, XSTATE_NETINITED, 1, -1}};  // -1: all zero
  for (const auto& [driven, replay, selected, state, car, setup] : rows) {
    SB_Var.DrivenCar = driven, SB_Var.ReplayCar = replay, SB_Var.SelectedSetup = selected;
    SB_Var.XState = state;
    SB_AssignCarSetups(SB_Var.CarSetups);
    const TVEHICLESETUP& copy = SB_Var.CarSetups[car];
    if (setup < 0) {
      static const TVEHICLESETUP zero{};
      EXPECT_EQ(std::memcmp(&copy, &zero, sizeof copy), 0);
      continue;
    }
    EXPECT_EQ(copy.HDelta, setup) << car;
    EXPECT_EQ(copy.Changed, 1);
    EXPECT_EQ(SB_GetCarSetupNumber(car), setup) << car;
  }
  EXPECT_EQ(SB_GetCarSetupNumber(16), 0);
  for (XSTATE state : {XSTATE_NONET, XSTATE_NETINITED}) {
    SB_Var.XState = state;
    SB_SendLocalCarSetup(SB_Var.CarSetups);
  }
  EXPECT_EQ(SB_PrintedLines(), Lines{"[SEND][SENDVEHICLESETUP 0"});
}

TEST_F(SetupTest, TheRefreshAsksForMissingSetupsThenPaintsTheChangedCars) {
  static TCAR cars[2];
  cars[0].TexturesReady = 1;
  SB_Var.Cars[0] = &cars[0], SB_Var.Cars[1] = &cars[1];
  SB_Var.NbCars = 2;
  SB_Var.UsingCars = 1;
  SB_Var.XState = XSTATE_CONNECTED;
  SB_Var.NetConnected = 1;
  SB_Var.CarSetups[1].Changed = 1;
  SB_RefreshCarSetups();
  EXPECT_GE(plat::TickMs(), 30000u);
  EXPECT_EQ(SB_PrintedLines(), (Lines{"[XNET]Cannot get vehicle setup !!!", "...Generating textures for car n: 1"}));
  SB_ClearPrintedLines();
  cars[1].TexturesReady = 1;
  SB_RefreshCarSetups();
  EXPECT_EQ(SB_PrintedLines(), Lines{});
  SB_Var.Cars[0] = SB_Var.Cars[1] = nullptr;
}

}  // namespace
