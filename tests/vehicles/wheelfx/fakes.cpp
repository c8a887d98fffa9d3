// A recording fake of the smoke puffs' start, until the smoke exists.
#include "tests/vehicles/wheelfx/wheelfx_fixture.h"

void SB_AddFumee(const double position[3], const double velocity[3], int32_t count) {
  ztest::g_puffs.push_back({{position[0], position[1], position[2]}, {velocity[0], velocity[1], velocity[2]}, count});
}
