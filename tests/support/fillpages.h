// What the filler tests and benchmarks draw with: 256 x 256 texture pages
// whose texels tell where they were read, 8- and 16-bit views fenced by
// guard pixels inside their bitmaps, seeded perspective polygons on a
// textured plane, and a plain reference rasteriser that divides at every
// pixel.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "engine3d/types.h"
#include "softrender/drawlist.h"
#include "softrender/softrender.h"
#include "softrender/types.h"
#include "system/asm3d/zidade3d.h"
#include "system/bmap.h"

namespace ztest {

enum class Page { Column, Row, Checker, Constant };

// Texel = its column, its row, a checker of 8 x 8 squares of 1 and 0 (the
// transparent holes), or 1 everywhere. Exactly 65536 bytes, so that a read
// outside the page leaves the allocation.
inline std::vector<uint8_t> TexturePage(Page kind) {
  std::vector<uint8_t> page(65536);
  for (int32_t y = 0; y < 256; ++y)
    for (int32_t x = 0; x < 256; ++x) {
      uint8_t t = 1;
      if (kind == Page::Column) t = static_cast<uint8_t>(x);
      if (kind == Page::Row) t = static_cast<uint8_t>(y);
      if (kind == Page::Checker) t = ((x >> 3) + (y >> 3)) & 1;
      page[static_cast<size_t>(y * 256 + x)] = t;
    }
  return page;
}

// The texels of a 16-bit page: each its own offset, row x 256 + column
// (texel 0 only at the top-left corner), or a checker of 8 x 8 squares of
// 0 (the holes) and that offset.
inline std::vector<uint16_t> TexturePage16(bool checker = false) {
  std::vector<uint16_t> page(65536);
  for (uint32_t i = 0; i < page.size(); ++i)
    page[i] = checker && (((i & 255) >> 3) + (i >> 11)) % 2 == 0 ? 0 : static_cast<uint16_t>(i);
  return page;
}

// A view of width x height pixels of 8 or 16 bits inside a bitmap with
// `guard` pixels of fence on every side, the view filled with
// `background`.
template <class Pixel>
struct FenceCanvasOf {
  static constexpr Pixel kFence = static_cast<Pixel>(0xEEEE);
  int32_t width, height, guard, stride, pitch;  // pixels and bytes per line
  std::vector<Pixel> bytes;
  BMAP bmap{};
  _WINDOW window{};

  FenceCanvasOf(int32_t w, int32_t h, Pixel background = 0, int32_t g = 8)
      : width(w), height(h), guard(g), stride(w + 2 * g), pitch(stride * static_cast<int32_t>(sizeof(Pixel))),
        bytes(static_cast<size_t>(stride) * static_cast<size_t>(h + 2 * g), kFence) {
    for (int32_t y = 0; y < h; ++y) std::fill_n(&Px(0, y), w, background);
    bmap.ByteLen = pitch, bmap.SizeX = stride, bmap.SizeY = h + 2 * g, bmap.Depth = 8 * sizeof(Pixel);
    bmap.Start = reinterpret_cast<uint8_t*>(bytes.data());
    window.W_BMAP = &bmap, window.W_ADDRESS = First(), window.W_WIDTH = w, window.W_HEIGHT = h;
  }
  FenceCanvasOf(const FenceCanvasOf& other) { *this = other; }
  FenceCanvasOf& operator=(const FenceCanvasOf& other) {
    width = other.width, height = other.height, guard = other.guard, stride = other.stride, pitch = other.pitch;
    bytes = other.bytes, bmap = other.bmap, window = other.window;
    bmap.Start = reinterpret_cast<uint8_t*>(bytes.data());
    window.W_BMAP = &bmap, window.W_ADDRESS = First();
    return *this;
  }
  Pixel& Px(int32_t x, int32_t y) { return bytes[static_cast<size_t>((guard + y) * stride + guard + x)]; }
  uint8_t* First() { return reinterpret_cast<uint8_t*>(&Px(0, 0)); }
  Pixel At(int32_t x, int32_t y) const { return bytes[static_cast<size_t>((guard + y) * stride + guard + x)]; }
  // Makes the perspective families fill this view.
  void Select() const { E3D_FillPitch = pitch, E3D_FillWidth = width, E3D_FillHeight = height; }
  // Whether every pixel outside the view is still fence.
  bool FenceIntact() const {
    for (int32_t y = 0; y < height + 2 * guard; ++y)
      for (int32_t x = 0; x < stride; ++x) {
        const bool inside = y >= guard && y < guard + height && x >= guard && x < guard + width;
        if (!inside && bytes[static_cast<size_t>(y * stride + x)] != kFence) return false;
      }
    return true;
  }
  // The first and past-the-last column of row y that differ from
  // `background`, or {0, 0}.
  std::pair<int32_t, int32_t> Span(int32_t y, Pixel background = 0) const {
    int32_t first = -1, last = -1;
    for (int32_t x = 0; x < width; ++x)
      if (At(x, y) != background) {
        if (first < 0) first = x;
        last = x;
      }
    return first < 0 ? std::pair<int32_t, int32_t>{0, 0} : std::pair<int32_t, int32_t>{first, last + 1};
  }
};
using FenceCanvas = FenceCanvasOf<uint8_t>;
using FenceCanvas16 = FenceCanvasOf<uint16_t>;

// A corner with its screen position only.
inline TSOFTVERTEX Corner(int32_t x, int32_t y, int32_t u = 0, int32_t v = 0, int32_t z = 1) {
  TSOFTVERTEX c{};
  c.X = x, c.Y = y, c.U = u, c.V = v, c.CamZ = z;
  return c;
}

// A convex polygon on a textured plane, with the gradient matrix and
// offsets of that plane, for a view with focal 400 centred in 640 x 480.
struct PerspCase {
  std::vector<TSOFTVERTEX> corners;
  TSOFTORIGIN origin{};
  float matrix[9]{};
};

inline void Projection640() {
  E3D_NegFocal = -400.0f, E3D_NegCenterX = -320.0f, E3D_NegCenterY = -240.0f;
}

// Three to six corners on an ellipse inside the width x height view, on a
// plane 600 to 1400 units ahead tilted at most about 40 degrees, whose
// texels are 1 to 4 units wide.
inline PerspCase SeededPerspPolygon(std::mt19937& rng, int32_t width, int32_t height, int32_t maxRadius = 120) {
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  PerspCase c;
  const float depth = 600.0f + 800.0f * unit(rng), texel = 1.0f + 3.0f * unit(rng);
  const float tiltU = 0.8f * (unit(rng) - 0.5f), tiltV = 0.8f * (unit(rng) - 0.5f);
  // Camera space in the order (-z, x, y); u along x, v along y, 8.8.
  const float p[3] = {-depth, 100.0f * (unit(rng) - 0.5f), 100.0f * (unit(rng) - 0.5f)};
  const float a[3] = {256.0f * texel * tiltU, 256.0f * texel, 0.0f}, b[3] = {256.0f * texel * tiltV, 0.0f, 256.0f * texel};
  E3D_CrossProduct(p, a, b, &c.origin, c.matrix);
  const int32_t n = 3 + static_cast<int32_t>(unit(rng) * 3.99f);
  const float rx = 8.0f + (static_cast<float>(maxRadius) - 8.0f) * unit(rng), ry = 8.0f + (static_cast<float>(maxRadius) - 8.0f) * unit(rng);
  const float cx = rx + (static_cast<float>(width) - 2.0f * rx) * unit(rng), cy = ry + (static_cast<float>(height) - 2.0f * ry) * unit(rng);
  std::vector<float> angles;
  for (int32_t i = 0; i < n; ++i) angles.push_back(6.2831853f * unit(rng));
  std::sort(angles.begin(), angles.end());
  for (float t : angles)
    c.corners.push_back(Corner(static_cast<int32_t>(cx + rx * std::cos(t)), static_cast<int32_t>(cy + ry * std::sin(t))));
  return c;
}

// The reference: edges scanned with x rounded half up from the exact
// line, rows and spans half-open as the fillers take them, and u and v of
// every pixel from one division in double, truncated.
template <class Pixel>
void ReferencePerspPolygon(const PerspCase& c, const Pixel* texels, uint32_t mask, bool transparent,
                           FenceCanvasOf<Pixel>& canvas) {
  std::vector<int32_t> left(600, 0), right(600, 0);
  int32_t top = 1 << 30, bottom = -1;
  const size_t n = c.corners.size();
  for (size_t i = 0; i < n; ++i) {
    const TSOFTVERTEX &a = c.corners[i], &b = c.corners[(i + 1) % n];
    if (a.Y == b.Y) continue;
    const TSOFTVERTEX &up = a.Y < b.Y ? a : b, &low = a.Y < b.Y ? b : a;
    top = std::min(top, up.Y), bottom = std::max(bottom, low.Y);
    for (int32_t y = up.Y; y < low.Y; ++y) {
      const double x = up.X + static_cast<double>(low.X - up.X) * (y - up.Y) / (low.Y - up.Y);
      (a.Y < b.Y ? left : right)[static_cast<size_t>(y)] = static_cast<int32_t>(std::floor(x + 0.5));
    }
  }
  const float* m = c.matrix;
  for (int32_t y = top; y < bottom; ++y) {
    const int32_t x0 = std::min(left[y], right[y]), x1 = std::max(left[y], right[y]);
    for (int32_t x = x0; x < x1; ++x) {
      const double rx = x + static_cast<double>(E3D_NegCenterX), ry = y + static_cast<double>(E3D_NegCenterY);
      const double d = E3D_NegFocal * static_cast<double>(m[0]) + rx * m[1] + ry * m[2];
      const double uu = E3D_NegFocal * static_cast<double>(m[3]) + rx * m[4] + ry * m[5];
      const double vv = E3D_NegFocal * static_cast<double>(m[6]) + rx * m[7] + ry * m[8];
      const auto u = static_cast<int64_t>(65536.0 * uu / d - c.origin.UOffset);
      const auto v = static_cast<int64_t>(65536.0 * vv / d - c.origin.VOffset);
      const uint32_t offset = ((static_cast<uint32_t>(v >> 8) & 0xFF) << 8 | (static_cast<uint32_t>(u >> 8) & 0xFF)) & mask;
      if (!transparent || texels[offset]) canvas.Px(x, y) = texels[offset];
    }
  }
}

}  // namespace ztest
