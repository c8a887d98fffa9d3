// The accelerated frame's tests: a started library on the accelerator's
// path, a 640 x 480 view window and projection, one scene with arrays of
// the limits' sizes, and helpers that add polygons to it.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "racescene/powerscene.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "tests/support/testenv.h"

namespace ztest {

class AccelTest : public LibraryTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Empties the scene with the given limits.
  void Limits(int32_t faces, int32_t vertices);
  // Appends a polygon of the kind with its vertices' screen positions
  // (x, y pairs), depth 0.001 and clip code 0.
  TSGLPOLY* Add(int32_t kind, const std::vector<float>& xy, uint32_t texture = 1, uint16_t index = 0);
  // A cache slot in use with the name and flags.
  static void Slot(int32_t slot, int32_t name, uint32_t flags = 0);

  TSOFTSCENE scene_{};
  std::vector<TSGLPOLY> polygons_;
  std::vector<TCLIPVERTEX> vertices_;
  _WINDOW window_{};
};

}  // namespace ztest
