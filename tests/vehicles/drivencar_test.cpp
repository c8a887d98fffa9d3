// The choice of the driven car and the replay car from the cars' replays.
#include "tests/vehicles/vehicle_fixture.h"
#include "vehicles/vehicles.h"

namespace {

class DrivenCarTest : public ztest::PhysicsTest {};

TEST_F(DrivenCarTest, TheFirstLiveCarIsDrivenAndTheLastReplayShownOtherwise) {
  struct Row {
    uint32_t replays;  // bit i: car i has a replay
    int32_t usingCars, xstate, connected;
    int32_t driven, replay;
  };
  const Row rows[] = {
      {0b1010, 1, XSTATE_NONET, 0, 0, -1},  {0b1111, 1, XSTATE_NONET, 0, -1, 3},
      {0b0001, 1, XSTATE_NONET, 0, 1, -1},  {0b1111, 0, XSTATE_NONET, 0, 7, 9},  // cars unused: unchanged
      {0b1111, 1, XSTATE_CONNECTED, 1, 7, -1},  // the network's order holds
      {0b1111, 1, XSTATE_CONNECTED, 0, -1, 3},
  };
  static char stand;  // any replay will do
  TREPLAY* const some = reinterpret_cast<TREPLAY*>(&stand);
  for (const Row& r : rows) {
    MakeCars(4);
    for (int32_t i = 0; i < 4; ++i) SB_Var.CarReplays[i] = r.replays >> i & 1 ? some : nullptr;
    SB_Var.UsingCars = r.usingCars;
    SB_Var.XState = r.xstate;
    SB_Var.NetConnected = r.connected;
    SB_Var.DrivenCar = 7;
    SB_Var.ReplayCar = 9;
    SB_FindDrivenCar();
    EXPECT_EQ(SB_Var.DrivenCar, r.driven) << r.replays;
    EXPECT_EQ(SB_Var.ReplayCar, r.replay) << r.replays;
  }
}

}  // namespace
