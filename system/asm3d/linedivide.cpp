// The table of short-edge slopes shared with the software renderer.
#include "system/asm3d/zidade3d.h"

namespace {

struct LineDivide {
  uint32_t Rows[64][64];
};

constexpr LineDivide BuildLineDivide() {
  LineDivide table{};
  for (uint32_t a = 0; a < 64; ++a)
    for (uint32_t b = 1; b < 64; ++b) table.Rows[a][b] = a * 65536 / b;
  return table;
}

// Built by the compiler; row a begins at byte a << 8.
constexpr LineDivide kLineDivide = BuildLineDivide();

}  // namespace

const uint32_t (&_L3_LINEDIVIDETABLE)[64][64] = kLineDivide.Rows;
