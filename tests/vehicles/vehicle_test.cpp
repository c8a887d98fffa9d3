// One car record from the prototype set: its parts, wheel offsets, anchors
// and radius, what a prototype missing parts gives, and the cars of a race
// made, textured and freed.
#include <cmath>
#include <cstring>

#include "engine3d/material.h"
#include "tests/vehicles/vehicle_fixture.h"
#include "vehicles/vehicles.h"

namespace {

using Lines = std::vector<std::string>;
constexpr const char* kStockCar = "OBC/STOCKCAR/STOCKCAR.OBC";

class CarTest : public ztest::VehicleTest {
 protected:
  // The default set, its full model changed first.
  void LoadSet(const std::function<void(datagen::CarModel&)>& change = {}) {
    PutCars([&](datagen::CarModel& car) {
      if (change && car.path == kStockCar) change(car);
    });
    SB_LoadVehiclePrototypes(nullptr);
    ASSERT_NE(SB_Var.VehiclePrototype, nullptr);
    SB_ClearPrintedLines();
  }
};

TEST_F(CarTest, ACarFindsItsPartsAndMeasuresItsWheels) {
  LoadSet();
  TCAR* car = LoadVehicle();
  ASSERT_NE(car, nullptr);
  EXPECT_STREQ(car->Body->Name, "CAISSE");
  const double x[4] = {1, -1, 1, -1}, z[4] = {1.8, 1.8, -1.8, -1.8};
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(car->WheelOffsets[k].x, x[k], 1e-9) << k;
    EXPECT_NEAR(car->WheelOffsets[k].y, 0.2, 1e-9) << k;
    EXPECT_NEAR(car->WheelOffsets[k].z, z[k], 1e-9) << k;
    EXPECT_EQ(car->WheelAnchors[k].Lateral, 0.2 * x[k]);
  }
  EXPECT_NEAR(car->WheelRadius, 0.32, 1e-12);
  // Everything else of the record is zero.
  TCAR rest = *car;
  rest.Object = rest.Body = nullptr;
  std::memset(rest.Wheels, 0, sizeof rest.Wheels);
  std::memset(rest.WheelOffsets, 0, sizeof rest.WheelOffsets);
  std::memset(rest.WheelAnchors, 0, sizeof rest.WheelAnchors);
  rest.WheelRadius = 0;
  static const TCAR zero{};
  EXPECT_EQ(std::memcmp(&rest, &zero, sizeof zero), 0);
  SB_FreeVehicle(car);
}

TEST_F(CarTest, MissingWheelsAreReportedAndAMissingBodyGivesNoCar) {
  struct Row {
    const char* part;
    Lines lines;
    double radius;  // -1: no car
  };
  const Row rows[] = {
      {"rouavdr", {"...'rouavdr' is missing in the prototype !!!"}, 0.3},
      {"rouavga", {"...'rouavga' is missing in the prototype !!!"}, 0.32},
      {"rouardr", {"...'rouardr' is missing in the prototype !!!"}, 0.32},
      {"rouarga", {"...'rouarga' is missing in the prototype !!!"}, 0.32},
      {"caisse", {"...'caisse' is missing in the prototype !!!", "...prototype not loaded !!!"}, -1},
  };
  for (const Row& r : rows) {
    LoadSet([&](datagen::CarModel& car) { datagen::RemoveCarPart(car, r.part); });
    const int32_t blocks = SB_Var.NbMemOwners;
    TCAR* car = LoadVehicle();
    EXPECT_EQ(SB_PrintedLines(), r.lines) << r.part;
    if (r.radius < 0) {
      EXPECT_EQ(car, nullptr);
      EXPECT_EQ(SB_Var.NbMemOwners, blocks);
      continue;
    }
    ASSERT_NE(car, nullptr) << r.part;
    EXPECT_NEAR(car->WheelRadius, r.radius, 1e-12) << r.part;
    SB_PlaceCarObject(car);  // a car without a wheel is placed all the same
    SB_FreeVehicle(car);
  }
}

TEST_F(CarTest, TheRadiusIsHalfTheFrontRightWheelsExtentWhenItHasOne) {
  const double rows[][2] = {{42000.0 / 38400, 0.35}, {0.0, 0.3}, {-1.0, 0.3}};  // scale of x; -1: no points
  for (const auto& r : rows) {
    LoadSet([&](datagen::CarModel& car) {
      datagen::ModelAtom& wheel = car.atoms[1];
      for (datagen::ModelPoint& p : wheel.points) p.x = static_cast<int32_t>(std::lround(p.x * r[0]));
      if (r[0] < 0) wheel.points.clear(), wheel.faces.clear();
    });
    TCAR* car = LoadVehicle();
    ASSERT_NE(car, nullptr);
    EXPECT_NEAR(car->WheelRadius, r[1], 1e-12) << r[0];
    SB_FreeVehicle(car);
  }
}

TEST_F(CarTest, TheCarsOfARaceAreMadeFromTheirSetupsAndFreed) {
  LoadSet();
  SB_Var.NbCars = 4;
  SB_LoadCars(SB_Var.CarSetups, 0);
  EXPECT_EQ(SB_PrintedLines(), (Lines{"...Generating textures for car n: 0", "...Generating textures for car n: 1",
                                      "...Generating textures for car n: 2", "...Generating textures for car n: 3"}));
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(SB_CarTexturesReady(i), 1);
  SB_FreeVehicle(SB_Var.Cars[2]);
  EXPECT_EQ(SB_Var.Cars[2], nullptr);

  SB_FreeCars();
  for (TCAR* car : SB_Var.Cars) EXPECT_EQ(car, nullptr);
  SB_ClearPrintedLines();
  SB_Var.CarSetups[1].Changed = SB_Var.CarSetups[3].Changed = 1;
  SB_LoadCars(SB_Var.CarSetups, 1);
  EXPECT_EQ(SB_PrintedLines(), (Lines{"...Generating textures for car n: 1", "...Generating textures for car n: 3"}));
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_NE(SB_Var.Cars[i], nullptr);
    EXPECT_EQ(SB_CarTexturesReady(i), i % 2);
    EXPECT_EQ(SB_Var.CarSetups[i].Changed, 0);
  }
}

TEST_F(CarTest, ACarThatCannotBeMadeLeavesItsSlotEmpty) {
  LoadSet([](datagen::CarModel& car) { datagen::RemoveCarPart(car, "caisse"); });
  SB_Var.NbCars = 2;
  SB_LoadCars(nullptr, 0);
  for (TCAR* car : SB_Var.Cars) EXPECT_EQ(car, nullptr);
  EXPECT_EQ(SB_PrintedLines().size(), 4u);
}

TEST_F(CarTest, ACarTakesAnotherMaterialLibrary) {
  LoadSet();
  TCAR* car = LoadVehicle();
  MLIBENTRY* old = car->Object->Materials;
  MLIBENTRY* entry = NewMLIBEntry("OBC>STOCKCAR>STOCKCAR.MTL");
  ASSERT_NE(entry, nullptr);
  SB_SetObjectMaterials(nullptr, entry);
  SB_SetObjectMaterials(car->Object, nullptr);
  EXPECT_EQ(car->Object->Materials, old);
  SB_SetObjectMaterials(car->Object, entry);
  for (OBJECT* o = car->Object; o; o = o->Next) EXPECT_EQ(o->Materials, entry);
  const TGRAF& face = car->Body->Atoms[OBJ_MAIN]->Faces[0];
  EXPECT_EQ(reinterpret_cast<TMATERIAL*>(face.G_TEXTURE), &entry->Library->Materials[0]);
  ReleaseMLIBEntry(old);  // the reference the car took of the prototype's
  SB_FreeVehicle(car);
}

TEST_F(CarTest, TheDrivenCarFallsFromTheOriginWithoutContacts) {
  LoadSet();
  SB_Var.NbCars = 4;
  SB_Var.UsingCars = 1;
  SB_AssignCarSetups(SB_Var.CarSetups);
  SB_LoadCars(SB_Var.CarSetups, 1);
  SB_FindDrivenCar();
  SB_StartRace();
  SB_Var.FrameTime = 20;
  for (int32_t frame = 0; frame < 50; ++frame) SB_UpdateCars();
  const TCAR* driven = SB_Var.Cars[SB_Var.DrivenCar];
  EXPECT_NEAR(driven->Position[1], 0.5 * 9.81 * 1.0, 0.06);
  EXPECT_EQ(SB_Var.Cars[1]->Position[1], 0.0);
  EXPECT_FLOAT_EQ(driven->Object->Position[1], static_cast<float>(driven->Position[1] * 60800.0));
}

}  // namespace
