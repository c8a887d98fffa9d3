// The prototype set and the car records: file names and known layouts, the
// set a setup selects, a car's parts, wheel offsets and radius, bad model
// files, and the cars of a race made, textured, freed, and stepped.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "race/session.h"
#include "tests/vehicles/vehicle_fixture.h"
#include "vehicles/vparams.h"

namespace {

using Lines = std::vector<std::string>;
using Layout = std::vector<int32_t>;
const Layout kStock = {0, 1, 176, 250, 176, 244, 122, 250, 122, 244, 176, 181, 122, 181, 15, 6, 256};
const Layout kNet = {1, 2, 5, 40, 5, 31, 100, 40, 100, 31, 5, 63, 100, 63, 20, 9, 256};

Layout GlassLayout() { return Layout(SB_Var.GlassLayout, SB_Var.GlassLayout + SB_GLASSLAYOUTWORDS); }
Lines Generated(std::initializer_list<int> cars) {
  Lines lines;
  for (int i : cars) lines.push_back("...Generating textures for car n: " + std::to_string(i));
  return lines;
}

using LoadTest = ztest::VehicleTest;

TEST_F(LoadTest, TheDefaultSetLoadsWithoutAMessage) {
  PutCars();
  LogErrors();
  SB_LoadVehiclePrototypes(nullptr);
  ASSERT_NE(SB_Var.VehiclePrototype, nullptr);
  EXPECT_EQ(
      Lines(std::begin(SB_Var.PrototypeNames), std::end(SB_Var.PrototypeNames)),
      (Lines{"OBC>STOCKCAR>STOCKCAR.OBC", "obc>simplcar>simlpkar.obc", "obc>netpower>burncar>netcar1.obc",
             "obc>simpcar2>simpcar2.obc", "obc>simpcar3>simpcar3.obc"}));
  for (TATOM* level : SB_Var.VehiclePrototype->Atoms) EXPECT_TRUE(IsAtom(level));
  EXPECT_EQ(SB_PrintedLines(), Lines{});
  EXPECT_EQ(ErrorFile(), "");
  EXPECT_EQ(GlassLayout(), kStock);
}

TEST_F(LoadTest, KnownSetsGiveTheirLayoutWhateverTheirCase) {
  const std::tuple<const char*, Layout, int32_t> rows[] = {{"obc>netpower>netcar1.obc", kNet, 1},
                                                           {"obc>mine>car.obc", kNet, 0},
                                                           {"OBC>STOCKCAR>STOCKCAR.OBC", kStock, 1},
                                                           {"OBC>VOITURE>VOITURE.OBC", kStock, 1}};
  for (const auto& [name, layout, known] : rows) {
    SB_SelectPrototypeSet(name);
    EXPECT_EQ(GlassLayout(), layout) << name;
    EXPECT_EQ(SB_Var.KnownPrototype, known) << name;
  }
}

TEST_F(LoadTest, ASetupsSetIsLoadedOnceAndAMissingOneGivesTheDefaultBack) {
  LoadSet();
  const std::string longName(300, 'a');
  const Lines swap = {"Free vehicle prototypes...", "Loading vehicle prototypes..."};
  const std::pair<std::string, Lines> rows[] = {
      {"", {}},
      {"obc>netpower>netcar1.obc", swap},
      {"obc>netpower>netcar1.obc", {"Same vehicle prototype..."}},
      {longName, {swap[0], swap[1], "Main Object " + longName.substr(0, 255) + " not found", swap[1]}}};
  for (const auto& [name, lines] : rows) {
    SB_ClearPrintedLines();
    SB_SelectVehiclePrototype(name.c_str());
    EXPECT_EQ(SB_PrintedLines(), lines) << name;
    EXPECT_NE(SB_Var.VehiclePrototype, nullptr) << name;
  }
  EXPECT_EQ(GlassLayout(), kStock);  // the default set is back
}

TEST_F(LoadTest, ACarFindsItsPartsAndMeasuresItsWheels) {
  LoadSet();
  TCAR* car = LoadVehicle();
  ASSERT_NE(car, nullptr);
  EXPECT_STREQ(car->Body->Name, "CAISSE");
  const double x[4] = {1, -1, 1, -1}, z[4] = {1.8, 1.8, -1.8, -1.8};
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(car->WheelOffsets[k].x - x[k] + car->WheelOffsets[k].y - 0.25 + car->WheelOffsets[k].z - z[k],
                0, 1e-9);
    EXPECT_EQ(car->WheelAnchors[k].Lateral, 0.2 * x[k]);
  }
  EXPECT_NEAR(car->WheelRadius, 0.32, 1e-12);
  TCAR rest = *car;  // everything else of the record is zero, but the values left to the parameter file
  rest.Object = rest.Body = nullptr;
  std::fill(rest.Wheels, rest.Wheels + 4, nullptr);
  std::fill(rest.WheelOffsets, rest.WheelOffsets + 4, TVECTOR{});
  std::fill(rest.WheelAnchors, rest.WheelAnchors + 4, TWHEELANCHOR{});
  rest.WheelRadius = 0;
  TCAR zero{};
  SB_FillUnsetVParams(&zero);
  EXPECT_EQ(std::memcmp(&rest, &zero, sizeof zero), 0);
  SB_FreeVehicle(car);
}

TEST_F(LoadTest, MissingPartsAreReportedAndAMissingBodyGivesNoCar) {
  const std::tuple<const char*, Lines, double> rows[] = {
      // radius -1: no car
      {"rouavdr", {"...'rouavdr' is missing in the prototype !!!", Generated({0})[0]}, 0.3},
      {"rouarga", {"...'rouarga' is missing in the prototype !!!", Generated({0})[0]}, 0.32},
      {"caisse", {"...'caisse' is missing in the prototype !!!", "...prototype not loaded !!!"}, -1}};
  for (const auto& [part, lines, radius] : rows) {
    LoadSet([&](datagen::CarModel& car) { datagen::RemoveCarPart(car, part); });
    const int32_t blocks = SB_Var.NbMemOwners;
    SB_Var.NbCars = 1;
    SB_LoadCars(nullptr, 0);
    EXPECT_EQ(SB_PrintedLines(), lines) << part;
    EXPECT_NEAR(SB_Var.Cars[0] ? SB_Var.Cars[0]->WheelRadius : -1, radius, 1e-12) << part;
    SB_PlaceCarObject(SB_Var.Cars[0]);  // placed all the same
    SB_FreeCars();
    EXPECT_EQ(SB_Var.NbMemOwners, blocks);
  }
}

TEST_F(LoadTest, TheRadiusIsHalfTheFrontRightWheelsPositiveExtent) {
  const double rows[][2] = {{42000.0 / 38400, 0.35}, {0.0, 0.3}, {-1.0, 0.3}};  // scale of x; -1: no points
  for (const auto& r : rows) {
    LoadSet([&](datagen::CarModel& car) {
      for (datagen::ModelPoint& p : car.atoms[1].points) p.x = static_cast<int32_t>(std::lround(p.x * r[0]));
      if (r[0] < 0) car.atoms[1].points.clear(), car.atoms[1].faces.clear();
    });
    TCAR* car = LoadVehicle();
    EXPECT_NEAR(car->WheelRadius, r[1], 1e-12) << r[0];
    SB_FreeVehicle(car);
  }
}

TEST_F(LoadTest, TheCarsOfARaceAreMadeFromTheirSetupsAndFreed) {
  LoadSet();
  SB_Var.NbCars = 4;
  SB_LoadCars(SB_Var.CarSetups, 0);
  EXPECT_EQ(SB_PrintedLines(), Generated({0, 1, 2, 3}));
  SB_FreeVehicle(SB_Var.Cars[2]);
  EXPECT_EQ(SB_Var.Cars[2], nullptr);
  SB_FreeCars();
  EXPECT_EQ(std::count(SB_Var.Cars, SB_Var.Cars + SB_MAXCARS, nullptr), SB_MAXCARS);
  SB_ClearPrintedLines();
  SB_Var.CarSetups[1].Changed = SB_Var.CarSetups[3].Changed = 1;
  SB_LoadCars(SB_Var.CarSetups, 1);
  EXPECT_EQ(SB_PrintedLines(), Generated({1, 3}));
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(SB_CarTexturesReady(i), i % 2);
    EXPECT_EQ(SB_Var.CarSetups[i].Changed, 0);
  }
}

TEST_F(LoadTest, InAConnectedGameEveryCarButTheDrivenOneIsRemote) {
  LoadSet();
  SB_Var.NbCars = 3;
  SB_Var.DrivenCar = 1;
  for (const bool connected : {true, false}) {
    SCOPED_TRACE(connected);
    SB_Var.XState = connected ? XSTATE_CONNECTED : XSTATE_NONET;
    SB_Var.NetConnected = 1;
    SB_LoadCars(nullptr, 0);
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(SB_Var.Cars[i]->Remote, connected && i != 1 ? 1 : 0);
    SB_FreeCars();
  }
}

TEST_F(LoadTest, AMissingSetMakesNoCar) {
  const std::pair<const char*, const char*> rows[] = {
      {"OBC/STOCKCAR/STOCKCAR.OBC", "Main Object OBC>STOCKCAR>STOCKCAR.OBC not found"},
      {"OBC/SIMPLCAR/SIMLPKAR.OBC", "Simplified Object obc>simplcar>simlpkar.obc not found"}};
  for (const auto& [file, line] : rows) {
    PutCars();
    std::filesystem::remove(root_ + "/" + file);
    SB_ClearPrintedLines();
    SB_LoadVehiclePrototypes(nullptr);
    SB_Var.NbCars = 1;
    SB_LoadCars(nullptr, 0);
    EXPECT_EQ(SB_Var.Cars[0], nullptr) << file;
    EXPECT_EQ(SB_PrintedLines(), Lines{line});
  }
}

TEST_F(LoadTest, ACarTakesAnotherMaterialLibrary) {
  LoadSet();
  TCAR* car = LoadVehicle();
  MLIBENTRY *old = car->Object->Materials, *entry = NewMLIBEntry("OBC>STOCKCAR>STOCKCAR.MTL");
  SB_SetObjectMaterials(nullptr, entry);
  SB_SetObjectMaterials(car->Object, nullptr);
  EXPECT_EQ(car->Object->Materials, old);
  SB_SetObjectMaterials(car->Object, entry);
  for (OBJECT* o = car->Object; o; o = o->Next) EXPECT_EQ(o->Materials, entry);
  EXPECT_EQ(car->Body->Atoms[OBJ_MAIN]->Faces[0].G_TEXTURE,
            reinterpret_cast<uintptr_t>(entry->Library->Materials));
  ReleaseMLIBEntry(old);  // the reference the car took of the prototype's
  SB_FreeVehicle(car);
}

TEST_F(LoadTest, TheDrivenCarFallsFromTheOriginWithoutContacts) {
  LoadSet();
  SB_Var.NbCars = 4;
  SB_Var.UsingCars = 1;
  SB_AssignCarSetups(SB_Var.CarSetups);
  SB_LoadCars(SB_Var.CarSetups, 1);
  SB_FindDrivenCar();
  SB_StartRace();
  SB_Var.FrameTime = 20;
  for (int32_t frame = 0; frame < 50; ++frame) SB_UpdateCars();
  const TCAR* driven = SB_Var.Cars[0];
  EXPECT_NEAR(driven->Position[1], 4.95405, 1e-9);
  EXPECT_EQ(SB_Var.Cars[1]->Position[1], 0.0);
  EXPECT_FLOAT_EQ(driven->Object->Position[1], static_cast<float>(driven->Position[1] * 60800.0));
}

}  // namespace
