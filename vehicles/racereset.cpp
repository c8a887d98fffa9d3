// The car table walked in index order, and the start grid filled.
#include "vehicles/racereset.h"

#include "shell/sbvar.h"
#include "vehicles/vparams.h"

void SB_ForEachCar(void (*visit)(TCAR* car, int32_t index)) {
  for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i)
    if (SB_Var.Cars[i]) visit(SB_Var.Cars[i], i);
}

void SB_PlaceCarsOnGrid() {
  SB_Var.GridCount = 0;
  SB_ForEachCar(SB_PlaceCarOnGrid);
}
