// Error-diffusion conversion of 24-bit pictures to an 8-bit palette. A file
// of its own, so that the game-layer tests' recording fake of the same name
// still links.
#include <cstddef>
#include <vector>

#include "engine3d/colourclip.h"
#include "engine3d/palette3d.h"
#include "shell/gamepicture.h"
#include "system/bmap.h"

namespace {

constexpr float kTo5Bits = 0.12156863f;  // 31 / 255
constexpr int32_t kMax5Bits = 31;
constexpr uint16_t kNoMatch = 0xFFFF;

// Adds a share of the three errors to one pixel's work values, kept in
// 0 .. 31.
void Spread(float* to, const float* error, float share) {
  for (int32_t c = 0; c < 3; ++c) {
    const float v = to[c] + error[c] * share;
    to[c] = v > kMax5Bits ? kMax5Bits : v < 0 ? 0 : v;
  }
}

}  // namespace

void SB_FloydBmap24to8(BMAP* src, BMAP* dst, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t dx,
                       int32_t dy) {
  if (!src || !dst || !dst->Palette || dst->Depth != 8 || src->Depth != 24) return;
  if (!E3D_ClipCopy(src, dst, x1, y1, x2, y2, dx, dy) || x2 - x1 < 1 || y2 - y1 < 1) return;
  const int32_t w = x2 - x1 + 1, h = y2 - y1 + 1;
  // The red byte: the third of a pixel, unless the format puts red first.
  const int32_t red = src->Format == BMAP_BGR888 ? 0 : 2;
  const PALETTE& palette = *dst->Palette;

  // Work values of the rectangle, one float per channel in 5-bit units,
  // in the order red, green, blue.
  std::vector<float> work(static_cast<size_t>(w) * h * 3);
  LS_LockBmap(src);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* row =
        src->Start + static_cast<ptrdiff_t>(y1 + y) * src->ByteLen + static_cast<ptrdiff_t>(x1) * 3;
    float* out = &work[static_cast<size_t>(y) * w * 3];
    for (int32_t x = 0; x < w; ++x, row += 3, out += 3) {
      out[0] = row[red] * kTo5Bits;
      out[1] = row[1] * kTo5Bits;
      out[2] = row[2 - red] * kTo5Bits;
    }
  }
  LS_UnlockBmap(src);

  // The nearest colour of each rounded value, found once per call.
  std::vector<uint16_t> nearest(32 * 32 * 32, kNoMatch);
  const auto at = [&](int32_t x, int32_t y) { return &work[(static_cast<size_t>(y) * w + x) * 3]; };
  LS_LockBmap(dst);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* out = dst->Start + static_cast<ptrdiff_t>(dy + y) * dst->ByteLen + dx;
    for (int32_t x = 0; x < w; ++x) {
      float* v = at(x, y);
      int32_t q[3];
      for (int32_t c = 0; c < 3; ++c) {
        const int32_t r = static_cast<int32_t>(v[c] + 0.5f);
        q[c] = r < 0 ? 0 : r > kMax5Bits ? kMax5Bits : r;
      }
      uint16_t& match = nearest[(q[0] << 10) | (q[1] << 5) | q[2]];
      if (match == kNoMatch)
        match = static_cast<uint16_t>(SB_FindNearestColor(&palette, q[0] * 2, q[1] * 2, q[2] * 2));
      out[x] = static_cast<uint8_t>(match);
      const LS_RGB& chosen = palette.Entry[match];
      const float error[3] = {v[0] - (chosen.Red + 1) / 2, v[1] - (chosen.Green + 1) / 2,
                              v[2] - (chosen.Blue + 1) / 2};
      const bool lastColumn = x == w - 1;
      if (!lastColumn) {
        Spread(at(x + 1, y), error, 0.375f);
        if (y + 1 < h) {
          Spread(at(x, y + 1), error, 0.375f);
          Spread(at(x + 1, y + 1), error, 0.25f);
        }
      } else if (y + 1 < h) {
        // The row's end wraps to the start of the rectangle's next rows.
        Spread(at(0, y + 1), error, 0.375f);
        if (y + 2 < h) {
          Spread(at(x, y + 1), error, 0.375f);
          Spread(at(0, y + 2), error, 0.25f);
        }
      }
    }
  }
  LS_UnlockBmap(dst);
}
