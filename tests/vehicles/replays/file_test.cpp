// The replay file: its bytes, save and load (of the car shown, and refused
// with nothing recorded), the console's listing, cars sharing one record
// table, the console words, and damaged files.
#include <filesystem>
#include <string>

#include "console/interpreter.h"
#include "tests/vehicles/replays/replay_fixture.h"
#include "vehicles/bytes.h"

namespace {

using Lines = std::vector<std::string>;
using Bytes = std::string;

std::string Le32(uint32_t v) {
  std::string s(4, '\0');
  SB_PutLong(reinterpret_cast<uint8_t*>(s.data()), v);
  return s;
}

class ReplayFileTest : public ztest::ReplayTest {
 protected:
  // The driven car recorded at three times while it moves along x.
  Bytes Recorded(const std::string& name = "R1.REP") {
    for (int32_t k = 0; k < 3; ++k) {
      Car(0).Position[0] = 10.0 + k;
      Car(0).Velocity[2] = 5.0 * k;
      SB_Var.Time = 200 * k;
      SB_RecordCarState(0, SB_Var.LocalReplay);
    }
    EXPECT_EQ(SB_SaveCarReplay(name.c_str()), 1);
    return ztest::ReadFile(root_ + "/" + name);
  }
  int32_t Load(const Bytes& file, int32_t car, int32_t start = 0, const std::string& name = "F.REP") {
    ztest::WriteFile(root_ + "/" + name, file);
    SB_ClearPrintedLines();
    return SB_LoadCarReplay(name.c_str(), car, start);
  }
};

TEST_F(ReplayFileTest, SavedBytesLoadBackAsTheSameRecords) {
  SB_Var.DrivenCar = 1;
  Car(1) = Car(0);
  const Bytes file = Recorded();
  ASSERT_EQ(file.size(), 264u + 3 * 84);
  EXPECT_EQ(file.substr(0, 22), Bytes("Car replay file V1.01\0", 22));
  EXPECT_EQ(file.substr(22, 234), Bytes(234, '\0'));
  EXPECT_EQ(file.substr(256, 8), Le32(1) + Le32(3));
  EXPECT_EQ(file.substr(264 + 84 + 4, 4), Le32(11000));  // the second record's x in millimetres
  EXPECT_EQ(file.substr(264 + 84 + 81, 3), Bytes(3, '\0'));
  EXPECT_EQ(Printed(), Lines{"Saved matrix replay R1.REP of the car 1..."});
  SB_ClearPrintedLines();
  EXPECT_EQ(SB_LoadCarReplay("R1.REP", 2, 500), 1);
  const TREPLAY* r = SB_Var.CarReplays[2];
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->LoadedCount, 3);
  EXPECT_EQ(r->StartTime, 500);
  EXPECT_STREQ(r->Name, "R1.REP");
  EXPECT_EQ(std::memcmp(r->Records, SB_Var.LocalReplay->Records, 3 * sizeof(TREPLAYREC)), 0);
  EXPECT_EQ(Printed(), (Lines{"Car 0: no replay", "Car 1: no replay", "Car 2: +500 R1.REP", "Car 3: no replay"}));
}

// The recording is the driven car's, or the shown replay car's when none
// is driven; with neither, or nothing recorded, nothing is written.
TEST_F(ReplayFileTest, SavesTheCarShownOrSaysNothingWasRecorded) {
  struct Row {
    const char* what;
    int32_t driven, replay, records, fileCar;  // fileCar -1: nothing written
  };
  const Row rows[] = {
      {"driven", 1, -1, 3, 1},
      {"shown from a replay", -1, 2, 3, 2},
      {"nothing recorded", 0, -1, 0, -1},
      {"no car shown", -1, -1, 3, -1},
      {"a car beyond the race", 4, -1, 3, -1},
  };
  for (const Row& r : rows) {
    SB_Var.DrivenCar = r.driven;
    SB_Var.ReplayCar = r.replay;
    SB_Var.LocalReplay->RecordCount = 0;
    for (int32_t k = 0; k < r.records; ++k) SB_RecordCarState(0, SB_Var.LocalReplay);
    std::filesystem::remove(root_ + "/S.REP");
    SB_ClearPrintedLines();
    EXPECT_EQ(SB_SaveCarReplay("S.REP"), r.fileCar >= 0 ? 1 : 0) << r.what;
    if (r.fileCar < 0) {
      EXPECT_EQ(Printed(), Lines{"No replay recorded !!!"}) << r.what;
      EXPECT_FALSE(std::filesystem::exists(root_ + "/S.REP")) << r.what;
      continue;
    }
    EXPECT_EQ(Printed(), Lines{"Saved matrix replay S.REP of the car " + std::to_string(r.fileCar) + "..."});
    EXPECT_EQ(ztest::ReadFile(root_ + "/S.REP").substr(256, 8), Le32(r.fileCar) + Le32(3)) << r.what;
  }
}

TEST_F(ReplayFileTest, CarsLoadingOneFileShareItsTableUntilTheLastIsFreed) {
  const Bytes file = Recorded();
  Load(file, 1);
  Load(file, 3);
  EXPECT_EQ(Printed().front(), "Same replay found (optimizing memory) ...");
  ASSERT_NE(SB_Var.CarReplays[1], nullptr);
  EXPECT_EQ(SB_Var.CarReplays[1]->Records, SB_Var.CarReplays[3]->Records);
  SB_ClearPrintedLines();
  SB_FreeCarReplay(1);
  SB_FreeCarReplay(9);  // not a car of the race
  EXPECT_EQ(Printed(), Lines{"Free car replay 1..."});
  EXPECT_EQ(SB_Var.CarReplays[3]->Records[2].Position[0], 12000);  // the table is still there
  SB_ClearPrintedLines();
  SB_FreeCarReplay(3);
  EXPECT_EQ(Printed(), (Lines{"Free car replay 3...", "Free car replay record 3..."}));
  // A file of the same name rewritten with other records is not shared.
  const Bytes shorter = file.substr(0, 260) + Le32(2) + file.substr(264, 2 * 84);
  Bytes other = file;
  other[264 + 4] = 'x';
  Load(shorter, 1);
  Load(file, 2);
  Load(other, 3);
  EXPECT_NE(SB_Var.CarReplays[1]->Records, SB_Var.CarReplays[2]->Records);
  EXPECT_NE(SB_Var.CarReplays[2]->Records, SB_Var.CarReplays[3]->Records);
}

TEST_F(ReplayFileTest, DamagedFilesAreRefusedAndTheSlotKept) {
  const Bytes good = Recorded();
  Load(good, 2, 100);
  const TREPLAY* before = SB_Var.CarReplays[2];
  struct Row {
    const char* what;
    Bytes file;
  };
  std::vector<Row> rows = {
      {"empty", ""},
      {"inside the signature", good.substr(0, 21)},
      {"at the header's end", good.substr(0, 256)},
      {"in the car index", good.substr(0, 259)},
      {"at the count", good.substr(0, 260)},
      {"no record", good.substr(0, 264)},
      {"inside a record", good.substr(0, 264 + 84 + 40)},
      {"the last byte short", good.substr(0, good.size() - 1)},
      {"count 4", good.substr(0, 260) + Le32(4) + good.substr(264)},
      {"count 2^31", good.substr(0, 260) + Le32(0x80000000u) + good.substr(264)},
      {"count 2^32 - 1", good.substr(0, 260) + Le32(0xFFFFFFFFu) + good.substr(264)},
  };
  for (int32_t byte : {0, 20, 21}) {
    Bytes b = good;
    b[byte] ^= 1;
    rows.push_back({"signature byte changed", b});
  }
  for (const Row& r : rows) {
    EXPECT_EQ(Load(r.file, 2), 0) << r.what;
    EXPECT_EQ(Printed().front(), "Old replay format !!!") << r.what;
    EXPECT_EQ(SB_Var.CarReplays[2], before) << r.what;
  }
  EXPECT_EQ(SB_LoadCarReplay("NONE.REP", 2, 0), 0);
  EXPECT_EQ(Printed()[Printed().size() - 5], "File NONE.REP not found !!!");
  EXPECT_EQ(SB_Var.CarReplays[2], before);
}

TEST_F(ReplayFileTest, TheCarArgumentOrTheFilesCar) {
  const Bytes good = Recorded();
  const auto withCar = [&](uint32_t car) { return good.substr(0, 256) + Le32(car) + good.substr(260); };
  struct Row {
    uint32_t fileCar;
    int32_t argument;
    int32_t slot;  // -1: not loaded
  };
  const Row rows[] = {{3, 1, 1}, {3, -1, 3}, {3, 4, 3}, {0xFFFFFFFFu, -1, -1}, {16, -1, -1},
                      {0x80000000u, 7, -1}, {4, -1, -1}};
  for (const Row& r : rows) {
    SB_FreeAllCarReplays();
    EXPECT_EQ(Load(withCar(r.fileCar), r.argument), r.slot >= 0 ? 1 : 0) << r.fileCar << " " << r.argument;
    for (int32_t i = 0; i < SB_MAXCARS; ++i) EXPECT_EQ(SB_Var.CarReplays[i] != nullptr, i == r.slot) << i;
    EXPECT_EQ(Printed().size(), 4u) << "the listing alone";
  }
}

TEST_F(ReplayFileTest, SmallCountsLoadAndAreNeverPlaced) {
  const Bytes good = Recorded();
  for (uint32_t n : {0u, 1u, 2u}) {
    SB_FreeAllCarReplays();
    ASSERT_EQ(Load(good.substr(0, 260) + Le32(n) + good.substr(264, 84 * n), 1), 1) << n;
    Car(1).Position[0] = -1.0;
    SB_Var.Time = 0;
    SB_ResetReplayClocks();
    SB_PlayReplayTick(1, 100, 10);
    EXPECT_EQ(Car(1).Position[0], n == 2 ? 10.5 : -1.0) << n;
  }
}

TEST_F(ReplayFileTest, LongNamesAreBoundedAndEveryCarFreedByInitReplay) {
  const Bytes good = Recorded();
  std::string name, path = root_;
  for (int32_t i = 0; i < 147; ++i) {
    name += "D>";
    path += "/D";
  }
  name += "LONG.REP";
  std::filesystem::create_directories(path);
  ztest::WriteFile(path + "/LONG.REP", good);
  SB_LoadCarReplay(name.c_str(), 1, 0);
  ASSERT_NE(SB_Var.CarReplays[1], nullptr);
  EXPECT_EQ(std::strlen(SB_Var.CarReplays[1]->Name), 255u);
  SB_Var.NbCars = SB_MAXCARS;
  for (int32_t i = 0; i < SB_MAXCARS; ++i) EXPECT_EQ(Load(good, i), 1);
  SB_Var.NbCars = 4;  // replays left on cars beyond the race's count are freed all the same
  SB_ClearPrintedLines();
  SB_ExecCommand("INITREPLAY");
  for (TREPLAY* r : SB_Var.CarReplays) EXPECT_EQ(r, nullptr);
  EXPECT_EQ(Printed().size(), 18u);  // the word, one line a car, and the table's at the last
}

TEST_F(ReplayFileTest, ConsoleWords) {
  const Bytes good = Recorded("LAP1.REP");
  SB_ExecCommand("LOADREPLAY LAP1.REP 2 500");
  ASSERT_NE(SB_Var.CarReplays[2], nullptr);
  EXPECT_EQ(SB_Var.CarReplays[2]->StartTime, 500);
  SB_ExecCommand("LOADREPLAY LAP1.REP 9");
  EXPECT_NE(SB_Var.CarReplays[0], nullptr) << "the file's car";
  SB_ClearPrintedLines();
  SB_ExecCommand("COURSEREPLAYS 5");
  SB_ExecCommand("COURSEREPLAYS -1");
  EXPECT_EQ(Printed(), (Lines{">COURSEREPLAYS 5", "Course replays are: 1", ">COURSEREPLAYS -1", "Course replays are: 0"}));
  EXPECT_EQ(SB_Var.CarRecordings[0], nullptr);
  SB_ExecCommand("COURSEREPLAYS 1");
  EXPECT_NE(SB_Var.CarRecordings[3], nullptr);
  SB_ClearPrintedLines();
  SB_ExecCommand("SAVEREPLAY NODIR>X.REP");
  EXPECT_EQ(Printed(), (Lines{">SAVEREPLAY NODIR>X.REP", "Internal error... cannot create file..."}));
}

}  // namespace
