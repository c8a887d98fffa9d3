// What the wheel clearance, wheel smoke and physics meter tests share: the
// wheel tests' started library and car table, and the smoke puffs started.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "scenery/effects.h"
#include "tests/vehicles/drive/drive_fixture.h"

namespace ztest {

struct Puff {
  std::array<double, 3> position, velocity;
  int32_t kind;
};
inline std::vector<Puff> g_puffs;

}  // namespace ztest
