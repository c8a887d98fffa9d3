// The vehicle prototype set: its file names, the layouts of the known sets,
// the choice a setup makes, and bad prototype files.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

#include "system/file.h"
#include "tests/vehicles/vehicle_fixture.h"

namespace {

using Lines = std::vector<std::string>;
using Layout = std::vector<int32_t>;

const Layout kStock = {0, 1, 176, 250, 176, 244, 122, 250, 122, 244, 176, 181, 122, 181, 15, 6, 256};

Layout GlassLayout() { return Layout(SB_Var.GlassLayout, SB_Var.GlassLayout + SB_GLASSLAYOUTWORDS); }
Lines Names() { return Lines(std::begin(SB_Var.PrototypeNames), std::end(SB_Var.PrototypeNames)); }

class PrototypeTest : public ztest::VehicleTest {};

TEST_F(PrototypeTest, TheDefaultSetLoadsWithoutAMessage) {
  PutCars();
  LogErrors();
  SB_LoadVehiclePrototypes(nullptr);
  ASSERT_NE(SB_Var.VehiclePrototype, nullptr);
  EXPECT_EQ(Names(), (Lines{"OBC>STOCKCAR>STOCKCAR.OBC", "obc>simplcar>simlpkar.obc",
                            "obc>netpower>burncar>netcar1.obc", "obc>simpcar2>simpcar2.obc",
                            "obc>simpcar3>simpcar3.obc"}));
  for (TATOM* level : SB_Var.VehiclePrototype->Atoms) EXPECT_TRUE(IsAtom(level));
  EXPECT_EQ(SB_PrintedLines(), Lines{});
  EXPECT_EQ(ErrorFile(), "");
  EXPECT_EQ(GlassLayout(), kStock);
  EXPECT_EQ(SB_Var.KnownPrototype, 1);
}

TEST_F(PrototypeTest, KnownSetsGiveTheirLayoutWhateverTheirCase) {
  struct Row {
    const char* name;
    const char* full;  // the set's name afterwards
    Layout layout;
    int32_t known;
  };
  const Row rows[] = {
      {"obc>netpower>netcar1.obc", "OBC>NETPOWER>NETCAR1.OBC",
       {1, 2, 5, 40, 5, 31, 100, 40, 100, 31, 5, 63, 100, 63, 20, 9, 256}, 1},
      {"obc>mine>car.obc", "OBC>NETPOWER>NETCAR1.OBC", {1, 2, 5, 40, 5, 31, 100, 40, 100, 31, 5, 63, 100, 63, 20, 9, 256}, 0},
      {"OBC>STOCKCAR>STOCKCAR.OBC", "OBC>STOCKCAR>STOCKCAR.OBC", kStock, 1},
      {"OBC>VOITURE>VOITURE.OBC", "OBC>VOITURE>VOITURE.OBC", kStock, 1},
  };
  for (const Row& r : rows) {
    SB_SelectPrototypeSet(r.name);
    EXPECT_EQ(GlassLayout(), r.layout) << r.name;
    EXPECT_EQ(SB_Var.KnownPrototype, r.known) << r.name;
    EXPECT_STREQ(SB_Var.PrototypeNames[0], r.full) << r.name;
    EXPECT_STREQ(SB_Var.PrototypeNames[4], "obc>simpcar3>simpcar3.obc");
  }
}

TEST_F(PrototypeTest, ASetupsSetIsLoadedOnceAndAMissingOneGivesTheDefaultBack) {
  PutCars();
  SB_LoadVehiclePrototypes(nullptr);
  struct Row {
    std::string name;
    Lines lines;
    int32_t known;
  };
  const std::string longName(300, 'a');
  const Row rows[] = {
      {"", {}, 1},
      {"obc>netpower>netcar1.obc", {"Free vehicle prototypes...", "Loading vehicle prototypes..."}, 1},
      {"obc>netpower>netcar1.obc", {"Same vehicle prototype..."}, 1},
      {"obc>none>none.obc",
       {"Free vehicle prototypes...", "Loading vehicle prototypes...", "Main Object obc>none>none.obc not found",
        "Loading vehicle prototypes..."},
       1},
      {longName,
       {"Free vehicle prototypes...", "Loading vehicle prototypes...",
        "Main Object " + longName.substr(0, 255) + " not found", "Loading vehicle prototypes..."},
       1},
  };
  for (const Row& r : rows) {
    SB_ClearPrintedLines();
    SB_SelectVehiclePrototype(r.name.c_str());
    EXPECT_EQ(SB_PrintedLines(), r.lines) << r.name;
    EXPECT_NE(SB_Var.VehiclePrototype, nullptr) << r.name;
    EXPECT_EQ(SB_Var.KnownPrototype, r.known);
  }
  EXPECT_EQ(std::string(SB_Var.SelectedPrototype), longName.substr(0, 255));
  EXPECT_STREQ(SB_Var.PrototypeNames[0], "OBC>STOCKCAR>STOCKCAR.OBC");  // the default set is back
}

TEST_F(PrototypeTest, MissingFilesLeaveNoSetAndNoCar) {
  const Lines rows[] = {
      {"obc>stockcar>stockcar.obc", "Main Object OBC>STOCKCAR>STOCKCAR.OBC not found"},
      {"obc>simplcar>simlpkar.obc", "Simplified Object obc>simplcar>simlpkar.obc not found"},
      {"obc>simpcar2>simpcar2.obc", "No simplified object obc>simpcar2>simpcar2.obc"},
  };
  for (const Lines& r : rows) {
    PutCars();
    std::string path = r[0];
    std::replace(path.begin(), path.end(), '>', '/');
    for (char& c : path) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::filesystem::remove(root_ + "/" + path);
    SB_ClearPrintedLines();
    SB_LoadVehiclePrototypes(nullptr);
    EXPECT_EQ(SB_PrintedLines(), Lines{r[1]});
    if (SB_Var.VehiclePrototype) continue;  // a missing reduced level still gives a set
    SB_Var.NbCars = 3;
    SB_LoadCars(SB_Var.CarSetups, 0);
    for (TCAR* car : SB_Var.Cars) EXPECT_EQ(car, nullptr);
  }
}

TEST_F(PrototypeTest, TheModelWriterGivesTheSameBytesTwice) {
  namespace fs = std::filesystem;
  for (const char* folder : {"/one", "/two"})
    for (const datagen::CarModel& car : datagen::CarModels()) ASSERT_TRUE(datagen::WriteCarModel(temp_ + folder, car));
  size_t files = 0;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(temp_ + "/one")) {
    if (!e.is_regular_file()) continue;
    ++files;
    const std::string other = temp_ + "/two/" + fs::relative(e.path(), temp_ + "/one").string();
    EXPECT_EQ(ztest::ReadFile(e.path().string()), ztest::ReadFile(other)) << other;
  }
  EXPECT_EQ(files, 6u * 8 + 1);  // each folder: object, two atoms, library, four pictures; one more picture
}

}  // namespace
