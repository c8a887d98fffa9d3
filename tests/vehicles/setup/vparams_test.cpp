// The vehicle-parameter table, its file written and read back, the keys
// the reader matches, bad files, and the shipped file.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>

#include "tests/vehicles/setup/setup_fixture.h"

namespace ztest {
namespace {

double Value(const TVPARAMDESC& row, const TVPARAMBLOCK& b) {
  const char* at = reinterpret_cast<const char*>(&b) + row.Field;
  if (row.Type == 0) return *reinterpret_cast<const int32_t*>(at);
  return *reinterpret_cast<const double*>(at);
}

class VParamsTest : public SetupTest {
 protected:
  void Fresh(int32_t n) {
    MakeCars(n);
    for (int32_t i = 0; i < n; ++i) {
      SB_FillUnsetVParams(&cars_[i]);
      SB_InitCarPhysics(&cars_[i], i, 1);
    }
  }
  std::string Written() {
    WriteVParams("");  // the file is created in place of this one
    SB_WriteVParams();
    return ReadFile(root_ + "/DAT/VPARAMS.TXT");
  }
};

TEST_F(VParamsTest, TheTable) {
  EXPECT_EQ(sizeof(TVPARAMDESC), 560u);
  // The block's slot k: six gear ratios, the int32 count, then f64 slots.
  auto offset = [](int32_t k) { return k < 6 ? 8 * k : k == 6 ? 48 : 56 + 8 * (k - 7); };
  const struct {
    int32_t index;
    const char* name;
    uint32_t type;
    float min, max;
    int32_t slot;
  } rows[] = {{0, "Frotdynamic:", 2, 0, 400000, 28},  {1, "Gear #1:", 2, 0.5f, 6, 0},
              {17, "Gear #6:", 2, 0.5f, 6, 5},        {18, "Gear nb:", 0, 4, 6, 6},
              {20, "Power:", 2, 0.1f, 4, 8},          {25, "Rouesolreaction:", 2, 0, 100000, 29},
              {37, "Turnspeed", 2, 2, 30, 23},        {41, "Rouefrotstatic:", 2, 0, 50000, 33}};
  for (const auto& r : rows) {
    const TVPARAMDESC& d = SB_VParamTable[r.index];
    EXPECT_STREQ(d.Name, r.name);
    EXPECT_EQ(d.Type, r.type) << r.name;
    EXPECT_EQ(d.Min, r.min) << r.name;
    EXPECT_EQ(d.Max, r.max) << r.name;
    EXPECT_EQ(d.Field, static_cast<uint32_t>(offset(r.slot))) << r.name;
  }
  EXPECT_STREQ(SB_VParamTable[2].Help1, "Rapport de boite de vitesse (moteur embrayage) pour la 2eme vitesse");
  std::set<uint32_t> fields;  // 42 distinct slots of the 44, never 20 nor 22
  for (int32_t i = 0; i < SB_NBVPARAMS; ++i) fields.insert(SB_VParamTable[i].Field);
  EXPECT_EQ(fields.size(), 42u);
  EXPECT_EQ(fields.count(offset(20)) + fields.count(offset(22)), 0u);
  EXPECT_EQ(*fields.rbegin(), static_cast<uint32_t>(offset(43)));
}

TEST_F(VParamsTest, WrittenReadAndWrittenAgain) {
  Fresh(3);
  SB_Var.Cars[2] = nullptr;  // a car without a record: its brackets only
  const std::string text = Written();
  EXPECT_EQ(text.rfind("VEHICLES PARAMETERS:\n\nVEHICLE #0.\n{\nFrotdynamic:=0.000000\nGear #1:=3.300000\n", 0), 0u);
  EXPECT_NE(text.find("\nGear nb:=5\n"), std::string::npos);
  char last[64];  // the built-in grip, which the set-up leaves to the file
  std::snprintf(last, sizeof last, "Rouefrotstatic:=%f\n}\nVEHICLE #2.\n{\n}\n", SB_ShippedVParams.Rouefrotstatic);
  const std::string tail = last;
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  EXPECT_EQ(lines, 2 + 2 * (2 + 42 + 1) + 3u);
  EXPECT_EQ(text.find("VEHICLE #1.\n{\n"), text.find("}\n") + 2);
  // Changed values come back, and the file written again is the same (the
  // set-up's body friction values lie beyond their rows, which a read holds).
  for (int32_t i = 0; i < 2; ++i) {
    cars_[i].VParams.Power = 1.25;
    cars_[i].VParams.GearNb = 6;
    cars_[i].VParams.Airfrict = 0.004567;
    cars_[i].VParams.Adherance = 150.0;
    cars_[i].VParams.Frotstatic = 40000.0;
  }
  const std::string changed = Written();
  Fresh(3);
  SB_Var.Cars[2] = nullptr;
  SB_ReadVParams();
  EXPECT_EQ(cars_[1].Power, 1.25);
  EXPECT_EQ(cars_[1].GearCount, 6);
  EXPECT_EQ(cars_[1].Airfrict, 0.004567);
  EXPECT_EQ(Written(), changed);
}

TEST_F(VParamsTest, KeysTheReaderMatches) {
  const struct {
    const char* text;
    double power, turnspeed;
    int32_t gears;
  } rows[] = {
      {"{\nPower:=1.5\n}\n{\nPower:=2.5\n}\n", 2.5, 8, 5},  // the last line wins, for every car
      {"{\nPower: =1.5\n", 1.5, 8, 5},
      {"{\npower:=1.5\nTurnspeed=12\n", 0.6, 12, 5},
      {"Power:=3\n{\nGear nb:=4\n", 0.6, 8, 4},  // before the first "{" nothing is read
  };
  for (const auto& r : rows) {
    Fresh(2);
    cars_[0].GearRatios[4] = 7.0;  // live values the file's gear count leaves alone
    WriteVParams(r.text);
    SB_ReadVParams();
    for (int32_t i = 0; i < 2; ++i) {
      EXPECT_EQ(cars_[i].Power, r.power) << r.text;
      EXPECT_EQ(cars_[i].Turnspeed, r.turnspeed) << r.text;
      EXPECT_EQ(cars_[i].GearCount, r.gears) << r.text;
      EXPECT_EQ(cars_[i].AxleRatio, 4.1) << r.text;  // a missing key keeps its value
      EXPECT_NEAR(cars_[i].MinTorque, 2500 * r.power, 1e-9) << r.text;  // the block's value x Power
    }
    EXPECT_EQ(cars_[0].GearRatios[4], r.gears == 4 ? 7.0 : 0.79) << r.text;
  }
}

TEST_F(VParamsTest, BadFilesLeaveFiniteValues) {
  const std::string huge(100000, '7');
  const struct {
    std::string text;
    int32_t gears;
    double power;
  } rows[] = {
      {"", 5, 0.6},
      {"Power:=2\n", 5, 0.6},
      {std::string("{\nPower:=2\0\nGear nb:=4\n", 24), 4, 2},
      {"{\nPower:=" + huge + "\nTurnspeed=" + huge + huge + "\n", 5, 0.6},
      {"{\nPower:=\nMotor masse:=nan\nCouplemini:=inf\nAirfrict:=1e999\n", 5, 0.6},
      {"{\nGear nb:=0\n", 4, 0.6},  // held within the row's 4..6
      {"{\nGear nb:=-1\n", 4, 0.6},
      {"{\nGear nb:=99\n", 6, 0.6},
      {"{\nGear nb:=1e30\n", 6, 0.6},
      {"{\nPower:=0\n", 5, 0.1f},  // the range is held in f32
      {"{\nPower:=-1e300\n", 5, 0.1f},
      {"{\nPower:=1e300\n", 5, 4},
  };
  for (const auto& r : rows) {
    Fresh(1);
    WriteVParams(r.text);
    SB_ReadVParams();
    const TCAR& car = cars_[0];
    EXPECT_EQ(car.GearCount, r.gears);
    EXPECT_EQ(car.Power, r.power);
    for (int32_t i = 0; i < SB_NBVPARAMS; ++i) EXPECT_TRUE(std::isfinite(Value(SB_VParamTable[i], car.VParams)));
    for (double v : {car.InjectionIdle, car.InjectionFull, car.EngineInertia, car.InvEngineInertia, car.MinTorque,
                     car.Airfrict, car.GearRatios[5], car.SkidTimer})
      EXPECT_TRUE(std::isfinite(v)) << r.text.substr(0, 40);
    // The block goes back without dividing by a power of 0 or less.
    cars_[0].InjectionFull = 120.0;
    SB_StoreVParams(&cars_[0]);
    EXPECT_EQ(cars_[0].VParams.InjectionMaxi, r.power > 0 ? 120.0 / r.power : 400.0);
  }
  // A missing file changes nothing.
  Fresh(1);
  const TCAR before = cars_[0];
  std::remove((root_ + "/DAT/VPARAMS.TXT").c_str());
  SB_ReadVParams();
  EXPECT_EQ(cars_[0].Power, before.Power);
  EXPECT_EQ(cars_[0].Rouesolreaction, before.Rouesolreaction);
}

// Values beyond a row's range are held at its ends, as the editor holds a
// typed one.
TEST_F(VParamsTest, ValuesAreHeldWithinTheirRows) {
  const struct {
    const char* line;
    int32_t row;
    double value;
  } rows[] = {
      {"Airfrict:=1e300", 6, 0.01f},       {"Airfrict:=-1e300", 6, 0.0},
      {"Airfrictrot:=0.60", 7, 0.1f},      {"Force start start:=20000", 35, 3000.0},
      {"Gear #1:=9", 1, 6.0},              {"Gear nb:=5.9", 18, 5},
      {"Rouefrotstatic:=60000", 41, 50000}, {"Couplemini:=999.5", 16, 1000},
  };
  for (const auto& r : rows) {
    Fresh(1);
    WriteVParams(std::string("{\n") + r.line + "\n");
    SB_ReadVParams();
    EXPECT_EQ(Value(SB_VParamTable[r.row], cars_[0].VParams), r.value) << r.line;
  }
}

// A data folder that cannot be written does not end the program: the
// console says so (DAT>VPARAMS.TXT is a folder here).
TEST_F(VParamsTest, AFileThatCannotBeWrittenIsSaid) {
  Fresh(1);
  WriteFile(root_ + "/DAT/VPARAMS.TXT/KEEP", "");
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(ExitCodeOf([] { SB_WriteVParams(); }), -999);
  EXPECT_EQ(SB_PrintedLines(), std::vector<std::string>{"Internal error... cannot create file..."});
}

TEST_F(VParamsTest, TheShippedFile) {
  const std::string shipped = ReadFile(std::string(ZENTROVA_SOURCE_DIR) + "/data/dat/VPARAMS.TXT");
  const size_t body = shipped.find("VEHICLES PARAMETERS:");
  ASSERT_NE(body, std::string::npos);
  // It is the writer's output for one car holding the built-in values.
  MakeCars(1);
  cars_[0].VParams = SB_ShippedVParams;
  EXPECT_EQ(Written(), shipped.substr(body));
  WriteVParams(shipped);
  cars_[0].VParams = TVPARAMBLOCK{};
  cars_[0].VParams.Embrayage2 = SB_ShippedVParams.Embrayage2;  // no row
  SB_ReadVParams();
  EXPECT_EQ(std::memcmp(&cars_[0].VParams, &SB_ShippedVParams, sizeof(TVPARAMBLOCK)), 0);
  const std::string header = shipped.substr(0, body);
  EXPECT_EQ(header.find('{'), std::string::npos);
  for (int32_t i = 0; i < SB_NBVPARAMS; ++i) {
    const TVPARAMDESC& row = SB_VParamTable[i];
    const double v = Value(row, SB_ShippedVParams);
    EXPECT_TRUE(v >= row.Min && v <= row.Max) << row.Name;
  }
  for (const char* unset : {"Spoilerforce:", "Rouesolreaction:", "Rouesolfrotnormal:", "Roueadherance:",
                            "Roueadherancederapp:", "Rouefrotstatic:", "Rouefrotdynamic:", "Derappetimesmooth:",
                            "Derappetimemini:", "Derappetimeviragemini:", "Derappetimeapresmini:", "Gear #6:",
                            "Airfrict:", "Airfrictrot:", "Frotdynamic:"})
    EXPECT_NE(header.find(std::string("# ") + unset), std::string::npos) << unset;
}

}  // namespace
}  // namespace ztest
