// What the race scene's tests (and the device's, whose mode switch goes
// through the race scene) put in place of the track, the scenery, the
// vehicles and the software renderer: an installable ground, the race
// overlay, and stand-ins that record their calls in order.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/testenv.h"

namespace ztest {

struct Engine3dFakes {
  // Road and terrain heights at world (x, z); none installed: no ground.
  std::function<double(int32_t, int32_t)> road, ground;
  int32_t blueskyStarts = 0;
  bool overlayFails = false;      // SB_Create3dScreen makes no overlay
  double nearest = 0.0, alternative = 0.0;  // the centre-line indices answered
  std::vector<double> asked;                // the positions asked for them
  std::vector<std::string> calls;  // recorded in order by the stand-ins
};
Engine3dFakes& Fakes3d();

// A started library (8 MB heap, errors kept), an empty console record and
// fresh fakes: the set-up the view and video-mode tests share.
class Engine3dTest : public LibraryTest {
 protected:
  void SetUp() override;
};

}  // namespace ztest
