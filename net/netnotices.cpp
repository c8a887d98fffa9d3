// The notices shown once a race, shown afresh from the next one. A file of
// its own, so that tests of the car states link it without the rest of
// the network layer.
#include "net/netgame.h"
#include "shell/sbvar.h"

void NET_ResetRaceNotices() {
  NET_Side.RefusedCars = TNETNOTICE{};
  NET_Side.EndOfRaceShown = 0;
  SB_Var.OrderMismatchShown = 0;
}
