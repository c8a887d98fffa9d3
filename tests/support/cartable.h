// A race's table of cars for tests: n cars with their textures ready, car
// 0 driven, cars in use.
#pragma once
#include <cstdint>

#include "shell/sbvar.h"
#include "vehicles/types.h"

namespace ztest {

inline void MakeCarTable(TCAR* cars, int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    cars[i] = TCAR{};
    cars[i].TexturesReady = 1;
    SB_Var.Cars[i] = &cars[i];
  }
  SB_Var.NbCars = n;
  SB_Var.UsingCars = 1;
  SB_Var.DrivenCar = 0;
}

}  // namespace ztest
