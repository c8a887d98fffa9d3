// The vehicle setups: the stored record, the defaults, the setup file and
// its damaged forms, the check of untrusted setups, and the per-car copies
// of a race.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "platform/clock.h"
#include "tests/vehicles/vehicle_fixture.h"

namespace {

using Lines = std::vector<std::string>;
using Bytes = std::string;

Bytes Record(const TVEHICLESETUP& s, uint32_t size = SB_SETUPRECORDSIZE) {
  uint8_t r[SB_SETUPRECORDSIZE];
  SB_PackVehicleSetup(s, r);
  Bytes b(size, 'x');
  std::memcpy(b.data(), r, std::min<size_t>(size, sizeof r));
  return b;
}

// A setup file: counts and record size, then records whose hue is i + 1.
Bytes SetupFile(uint32_t n, uint32_t size, uint32_t records) {
  Bytes b("Vehicle binary file V1.06\0", 26);
  b.resize(256);
  for (uint32_t v : {n, n, size})
    for (int i = 0; i < 4; ++i) b += static_cast<char>(v >> (8 * i));
  for (uint32_t i = 0; i < records; ++i) b += Record({i + 1.0f, 0, 0, {}, 0, 0, 0, 0, {}, {}}, size);
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
  int32_t Load(const Bytes& file) {
    ztest::WriteFile(root_ + "/DAT/NRCAR.CFG", file);
    return SB_LoadVehicleSetups("dat>nrcar.cfg");
  }
  std::vector<float> Hues() {
    std::vector<float> h;
    for (int i = 0; i < SB_NBLOCALSETUPS; ++i) h.push_back(Setups()[i].HDelta);
    return h;
  }
};

TEST_F(SetupTest, TheRecordIsWrittenFieldByFieldAndDefaultsKeepNumberAndStickers) {
  TVEHICLESETUP s{1.5f, -2.0f, 3.0f, "ABCDEFG", 1, 2, 3, -4, {}, "proto"};
  s.Stickers[11] = {"zz", -1, -300, 400};
  const Bytes r = Record(s);
  EXPECT_EQ(r.substr(4, 4), Bytes("\0\0\0\xC0", 4));
  EXPECT_EQ(r.substr(12, 1) + r.substr(20, 4), Bytes("A\x01\x02\x03\xFC"));
  EXPECT_EQ(r.substr(332, 1) + r.substr(355, 6), Bytes("z\xFF\xD4\xFE\x90\x01p"));  // sticker 11, prototype
  TVEHICLESETUP back{};
  SB_UnpackVehicleSetup(reinterpret_cast<const uint8_t*>(r.data()), &back);
  EXPECT_EQ(std::memcmp(&back, &s, sizeof s), 0);
  Setups()[4] = s;
  SB_InitVehicleSetups();
  const TVEHICLESETUP want{0.0f, 0.0f, 0.0f, "TRAMB", 1, 0, 0, -4, {}, ""};
  EXPECT_EQ(std::memcmp(&Setups()[4], &want, offsetof(TVEHICLESETUP, Stickers)), 0);
  EXPECT_STREQ(Setups()[4].Stickers[11].Name, "zz");
}

TEST_F(SetupTest, TheFileIsExactAndLoadsBackByteForByte) {
  for (int i = 0; i < SB_NBLOCALSETUPS; ++i) {
    Setups()[i] = {i * 10.0f, -i * 1.0f, i * 2.0f,   "CAR", 1, 0, static_cast<uint8_t>(i % 3),
                   0,         {},        "obc>p.obc"};
    Setups()[i].Stickers[i] = {"S", 1, static_cast<int16_t>(-i), 9};
  }
  TVEHICLESETUP saved[SB_NBLOCALSETUPS];
  std::memcpy(saved, Setups(), sizeof saved);
  EXPECT_EQ(SB_SaveVehicleSetups("dat>nrcar.cfg"), 1);
  const Bytes file = ztest::ReadFile(root_ + "/DAT/NRCAR.CFG");
  ASSERT_EQ(file.size(), 4084u);
  EXPECT_EQ(file.substr(0, 268), SetupFile(9, 424, 0));  // the text, zeros, 9 twice, 424
  std::memset(Setups(), 0, sizeof saved);
  EXPECT_EQ(SB_LoadVehicleSetups("dat>nrcar.cfg"), 1);
  EXPECT_EQ(std::memcmp(saved, Setups(), sizeof saved), 0);
  EXPECT_EQ(SB_PrintedLines(), (Lines{"Saving cars configuration dat>nrcar.cfg...",
                                      "Loading cars configuration dat>nrcar.cfg..."}));
  LogErrors();
  EXPECT_EQ(SB_SaveVehicleSetups(nullptr), 0);  // no folder: skipped, no error
  EXPECT_EQ(ErrorFile(), "");
  std::filesystem::create_directories(root_ + "/SYSTEM");
  SB_SaveVehicleSetups(nullptr);  // the system directory
  EXPECT_TRUE(ztest::ReadFile(root_ + "/SYSTEM/NRCAR.CFG") == file);
}

TEST_F(SetupTest, OnlyWholeRecordsOfASignedFileAreStored) {
  const Bytes nine = SetupFile(9, 424, 9);
  const std::vector<float> none(9, 0.0f), all = {1, 2, 3, 4, 5, 6, 7, 8, 9},
                                          three = {1, 2, 3, 0, 0, 0, 0, 0, 0};
  const std::tuple<const char*, Bytes, int32_t, std::vector<float>> rows[] = {
      {"foreign header", Bytes("Vehicle binary file V1.07") + nine.substr(25), 0, none},
      {"twelve records", SetupFile(12, 424, 12), 1, all},
      {"records of 500", SetupFile(9, 500, 9), 1, all},
      {"records of 400", SetupFile(9, 400, 9), 1, all},
      {"records of 1", SetupFile(9, 1, 9), 1, none},  // the first byte of each hue, 0
      {"cut in record 4", nine.substr(0, 268 + 3 * 424 + 100), 1, three},
      {"count 0", SetupFile(0, 424, 9), 1, none},
      {"count 2^32-1", SetupFile(0xFFFFFFFF, 424, 3), 1, three},
      {"record size 0", SetupFile(9, 0, 9), 1, none},
      {"record size 2^32-1", SetupFile(9, 0xFFFFFFFF, 0) + nine.substr(268), 1, none},
      {"cut header", nine.substr(0, 255), 0, none}};
  for (const auto& [name, bytes, result, hues] : rows) {
    SB_InitVehicleSetups();
    EXPECT_EQ(Load(bytes), result) << name;
    EXPECT_EQ(Hues(), hues) << name;
  }
  for (size_t cut = 0; cut < nine.size(); cut += cut < 268 ? 1 : 7)
    Load(nine.substr(0, cut));  // ASan: no overread
}

// The same faults as a file holds them and as a peer would send them.
TEST_F(SetupTest, UntrustedSetupsAreMadeSafe) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  const std::array<float, 6> rows[] = {{nan, inf, -inf, 0, 0, 0},  // in H, S, V; out H, S, V
                                       {-5, -1e30f, 1e30f, 0, -255, 255},
                                       {300, 12.5f, -12.5f, 255, 12.5f, -12.5f}};
  for (const auto& d : rows) {
    TVEHICLESETUP bad{d[0], d[1], d[2], {}, 1, 1, 255, 3, {}, {}};
    std::memset(bad.Name, 'N', sizeof bad.Name);
    std::memset(bad.PrototypeName, 'P', sizeof bad.PrototypeName);
    for (TSTICKER& t : bad.Stickers) std::memset(t.Name, 'T', sizeof t.Name);
    Load(SetupFile(1, 424, 0) + Record(bad));
    TVEHICLESETUP received{};
    SB_UnpackVehicleSetup(reinterpret_cast<const uint8_t*>(Record(bad).data()), &received);
    SB_SanitizeVehicleSetup(&received);
    for (const TVEHICLESETUP* got : {&Setups()[0], &received}) {
      EXPECT_EQ(got->NbStickers, 12);
      EXPECT_EQ(
          std::strlen(got->Name) + std::strlen(got->PrototypeName) + std::strlen(got->Stickers[11].Name),
          7u + 63 + 22);
      EXPECT_EQ((std::array<float, 3>{got->HDelta, got->SDelta, got->VDelta}),
                (std::array{d[3], d[4], d[5]}));
    }
  }
}

TEST_F(SetupTest, EachCarOfARaceTakesItsCopy) {
  for (int i = 0; i < SB_NBLOCALSETUPS; ++i) Setups()[i].HDelta = static_cast<float>(i);
  SB_Var.UsingCars = 1;
  SB_Var.NbCars = 11;
  // driven, replay, selected, network state; car; its setup (-1: all zero)
  const std::tuple<int32_t, int32_t, int32_t, XSTATE, int32_t, int32_t> rows[] = {
      {0, -1, 5, XSTATE_NONET, 0, 5},     {0, -1, 5, XSTATE_NONET, 10, 2},
      {0, -1, 12, XSTATE_NONET, 0, 0},    {-1, 3, 6, XSTATE_NONET, 3, 6},
      {0, -1, 5, XSTATE_NETINITED, 0, 5}, {0, -1, 5, XSTATE_NETINITED, 1, -1}};
  for (const auto& [driven, replay, selected, state, car, setup] : rows) {
    SB_Var.DrivenCar = driven, SB_Var.ReplayCar = replay, SB_Var.SelectedSetup = selected;
    SB_Var.XState = state;
    SB_AssignCarSetups(SB_Var.CarSetups);
    const TVEHICLESETUP& copy = SB_Var.CarSetups[car];
    static const TVEHICLESETUP zero{};
    if (setup < 0) {
      EXPECT_EQ(std::memcmp(&copy, &zero, sizeof copy), 0);
      continue;
    }
    EXPECT_EQ(std::pair(copy.HDelta, copy.Changed), std::pair(static_cast<float>(setup), uint8_t{1})) << car;
    EXPECT_EQ(SB_GetCarSetupNumber(car), setup) << car;
  }
  EXPECT_EQ(SB_GetCarSetupNumber(16), 0);
  for (XSTATE state : {XSTATE_NONET, XSTATE_NETINITED}) {
    SB_Var.XState = state;
    SB_SendLocalCarSetup(SB_Var.CarSetups);
  }
  EXPECT_EQ(SB_PrintedLines(), Lines{"[SEND][SENDVEHICLESETUP 0"});
}

// A connected race of two cars: car 0 painted, car 1 waiting for its setup.
TCAR* TwoCarsConnected() {
  static TCAR cars[2];
  cars[0] = cars[1] = TCAR{};
  cars[0].TexturesReady = 1;
  SB_Var.Cars[0] = &cars[0], SB_Var.Cars[1] = &cars[1];
  SB_Var.NbCars = 2;
  SB_Var.UsingCars = SB_Var.NetConnected = 1;
  SB_Var.XState = XSTATE_CONNECTED;
  return cars;
}

TEST_F(SetupTest, TheRefreshAsksForMissingSetupsThenPaintsTheChangedCars) {
  TCAR* cars = TwoCarsConnected();
  SB_Var.CarSetups[1].Changed = 1;
  SB_RefreshCarSetups();
  EXPECT_LT(plat::TickMs(), 30000u);  // no controller to ask, so no wait
  EXPECT_EQ(SB_PrintedLines(),
            (Lines{"[XNET]Cannot get vehicle setup !!!", "...Generating textures for car n: 1"}));
  SB_ClearPrintedLines();
  cars[1].TexturesReady = 1;
  SB_RefreshCarSetups();
  EXPECT_EQ(SB_PrintedLines(), Lines{});
  SB_Var.Cars[0] = SB_Var.Cars[1] = nullptr;
}

// While a car waits, the controller is asked once a second, not each frame;
// a new wait asks at once.
TEST_F(SetupTest, AWaitingCarAsksForItsSetupOnceASecond) {
  TCAR* cars = TwoCarsConnected();
  const auto asks = [] {
    const Lines& l = SB_PrintedLines();
    return std::count(l.begin(), l.end(), "[XNET]Cannot get vehicle setup !!!");
  };
  struct Row {
    uint32_t advanceMs;
    uint8_t ready;
    long asksAfter;
  };
  for (const Row& r : {Row{0, 0, 1}, Row{400, 0, 1}, Row{599, 0, 1}, Row{1, 0, 2}, Row{10, 1, 2}, Row{10, 0, 3}}) {
    plat::AdvanceManualTime(r.advanceMs);
    cars[1].TexturesReady = r.ready;
    SB_RefreshCarSetups();
    EXPECT_EQ(asks(), r.asksAfter) << plat::TickMs();
  }
  SB_Var.Cars[0] = SB_Var.Cars[1] = nullptr;
}

}  // namespace
