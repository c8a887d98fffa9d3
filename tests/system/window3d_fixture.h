// Fixture of the drawing-window tests: bitmaps read back as sets of pixels,
// and a primitive table that records its calls instead of drawing.
#pragma once
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "system/asm3d/zidade3d.h"
#include "system/bmap.h"
#include "tests/system/bmap_fixture.h"

namespace ztest {

using Pixel = std::pair<int32_t, int32_t>;  // x, y
using PixelSet = std::set<Pixel>;

// What the recording table saw.
struct RecordedLine {
  int32_t x1, y1, x2, y2;
  uint32_t colour;
};
struct RecordedFace {
  bool quadrangle;
  int32_t slot;  // face type of the slot called
  _TGRAPH face;
  _TPOINT3DV points[4];
  bool fourth;  // V_PT4 was set
};
inline std::vector<RecordedLine> g_lines;
inline std::vector<RecordedFace> g_faces;

inline void RecordLine(const _WINDOW*, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  g_lines.push_back({x1, y1, x2, y2, colour});
}

template <bool Quadrangle, int Slot>
void RecordFace(const _WINDOW*, const _TGRAPH* face, const _TGRAPHV* vertices) {
  RecordedFace r{Quadrangle, Slot, *face, {*vertices->V_PT1, *vertices->V_PT2, *vertices->V_PT3, {}}, false};
  if (vertices->V_PT4) {
    r.points[3] = *vertices->V_PT4;
    r.fourth = true;
  }
  g_faces.push_back(r);
}

template <int... Slots>
constexpr LS_PRIMITIVES MakeRecordingTable(std::integer_sequence<int, Slots...>) {
  return LS_PRIMITIVES{
      LS_NoPrimitive, RecordLine, {RecordFace<false, Slots>...}, {RecordFace<true, Slots>...}};
}
inline constexpr LS_PRIMITIVES kRecordingTable = MakeRecordingTable(std::make_integer_sequence<int, 16>{});

class Window3dTest : public BmapTest {
 protected:
  void SetUp() override {
    BmapTest::SetUp();
    g_lines.clear();
    g_faces.clear();
  }

  // Every pixel of the bitmap that differs from `background`, or only
  // those that hold `colour`.
  static PixelSet Drawn(BMAP* b, uint32_t background = 0, bool only = false) {
    PixelSet set;
    for (int32_t y = 0; y < b->SizeY; ++y)
      for (int32_t x = 0; x < b->SizeX; ++x)
        if ((LS_GetPixel(b, x, y) == background) == only) set.insert({x, y});
    return set;
  }
  static PixelSet InColour(BMAP* b, uint32_t colour) { return Drawn(b, colour, true); }

  static _TRIANGLE Triangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                            uint32_t colour) {
    _TRIANGLE t{};
    t.T_X1 = x1, t.T_Y1 = y1, t.T_X2 = x2, t.T_Y2 = y2, t.T_X3 = x3, t.T_Y3 = y3;
    t.T_COLOR = colour;
    return t;
  }

  static _QUADRANGLE Quadrangle(const int32_t (&xy)[8], uint32_t colour) {
    _QUADRANGLE q{};
    q.Q_X1 = xy[0], q.Q_Y1 = xy[1], q.Q_X2 = xy[2], q.Q_Y2 = xy[3];
    q.Q_X3 = xy[4], q.Q_Y3 = xy[5], q.Q_X4 = xy[6], q.Q_Y4 = xy[7];
    q.Q_COLOR = colour;
    return q;
  }
};

}  // namespace ztest
