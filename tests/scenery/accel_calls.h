// The scenery tests of the accelerator's frame: a fixture with the card's
// renderer, a 640 x 480 view of focal 320 centred at (320, 240), 1/w = 2 /
// depth and depth terms of 0.001 a unit, recording what the stand-in is
// handed: each draw call's context, kind (0 triangles, 1 quads, 2 a
// volume), index lists (a volume's faces with a fourth index of 0) and the
// vertices they reach.
#pragma once
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "platform/accel/control.h"
#include "tests/scenery/scenery_fixture.h"

namespace scenerytest {

struct AccelCall {
  SGLCONTEXT context;
  int32_t kind;
  std::vector<std::array<int32_t, 4>> items;
  std::vector<TSGLVERTEX> vertices;
};
inline std::vector<AccelCall> g_calls;

inline void RecordCall(const SGLCONTEXT* c, int32_t kind, int32_t count, const void* items,
                       const TSGLVERTEX* v) {
  AccelCall call{*c, kind, {}, {}};
  int32_t highest = -1;
  for (int32_t i = 0; i < count; ++i) {
    std::array<int32_t, 4> e{};
    for (int k = 0; k < (kind == 2 ? 3 : 4); ++k)
      e[k] = kind == 0   ? static_cast<const uint16_t(*)[4]>(items)[i][k]
             : kind == 1 ? static_cast<int32_t>(static_cast<const uint32_t(*)[4]>(items)[i][k])
                         : static_cast<const int32_t(*)[3]>(items)[i][k];
    for (int k = 0; k < (kind == 1 ? 4 : 3); ++k) highest = std::max(highest, e[k]);
    call.items.push_back(e);
  }
  call.vertices.assign(v, v + highest + 1);
  g_calls.push_back(call);
}

// Recording from construction to destruction.
struct RecordingCalls {
  RecordingCalls() {
    g_calls.clear();
    plat::AccelObserveCalls(RecordCall);
  }
  ~RecordingCalls() { plat::AccelObserveCalls(nullptr); }
};

class CardTest : public SceneryTest {
 protected:
  void SetUp() override {
    SceneryTest::SetUp();
    recording_ = std::make_unique<RecordingCalls>();
    SB_Var.Renderer = SB_RENDERER_PVR;
    SB_Var.CenterX = 320, SB_Var.CenterY = 240, SB_Var.Focal = 320, SB_Var.FocalF = 320.0f;
    SB_Var.ProjFactor = 2.0f, SB_Var.DepthScale = 0.001f;
    SB_Var.ScreenWindow.W_WIDTH = 640, SB_Var.ScreenWindow.W_HEIGHT = 480;
  }
  void TearDown() override {
    recording_.reset();
    SceneryTest::TearDown();
  }
  std::unique_ptr<RecordingCalls> recording_;
};

}  // namespace scenerytest
