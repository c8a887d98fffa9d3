// The accelerator stand-in's per-tile passes: visibility by 1/w with a
// surface per pixel, then each visible pixel textured and coloured once,
// then the shadow and light volumes, then the translucent triangles in
// their order, blended, and last the conversion into the game's memory.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/accel/raster.h"
#include "platform/accel/state.h"

// A tile's passes are built twice, for AVX2 and for any x86-64, and the
// machine picks one at start; every pass is inlined into the tile's
// function (flatten), so that each build holds its own copy of them. Both
// give the same bits: the arithmetic is the same IEEE operations, never
// fused or approximated. Under the address and thread sanitizers, whose
// start comes after the machine's pick, there is one build.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__) && \
    !defined(__SANITIZE_THREAD__)
#define ACCEL_VECTOR __attribute__((target_clones("avx2", "default"), flatten))
#else
#define ACCEL_VECTOR
#endif

namespace plat::accel {

namespace {

// One tile's buffers: 1/w of the nearest opaque surface, that surface (its
// place in the tile's opaque list, -1 none) and the colour 0xRRGGBB.
struct Tile {
  int32_t x = 0, y = 0;  // its first pixel on the device
  int32_t w = 0, h = 0;  // pixels within the device
  const std::vector<uint32_t>* list = nullptr;  // its opaque triangles
  float z[kTilePixels];
  int32_t id[kTilePixels];
  uint32_t colour[kTilePixels];
  uint8_t shadow[kTilePixels];
};

// The frame-wide number of the triangle seen at a pixel that has one.
int32_t Surface(const Tile& tile, int32_t p) { return static_cast<int32_t>((*tile.list)[tile.id[p]] & ~kWholeTile); }

// A plane relative to the tile's first pixel, in single precision.
struct Local {
  float a, bx, by;
  float At(int32_t i, int32_t j) const { return a + by * static_cast<float>(j) + bx * static_cast<float>(i); }
};

Local ToLocal(const Plane& p, const Tile& tile) {
  return {static_cast<float>(p.At(tile.x, tile.y)), static_cast<float>(p.bx), static_cast<float>(p.by)};
}

// The pixels of the tile that a triangle's area holds, relative to the tile.
struct Rect {
  int32_t i0, j0, i1, j1;
  bool Empty() const { return i0 >= i1 || j0 >= j1; }
};

Rect Within(const Tile& tile, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  return {std::max(x0 - tile.x, 0), std::max(y0 - tile.y, 0), std::min(x1 - tile.x, tile.w),
          std::min(y1 - tile.y, tile.h)};
}

// A small triangle's edges over the tile: pixel (i, j) is inside when
// a[k] i + b[k] j >= t[k] for each edge, in 32-bit integers.
struct Edges {
  int32_t a[3], b[3], t[3];
};

Edges TileEdges(const SetupTriangle& t, const Tile& tile) {
  Edges e{};
  const int64_t px = int64_t{tile.x} * 256 + 128, py = int64_t{tile.y} * 256 + 128;
  for (int k = 0; k < 3; ++k) {
    const int64_t need = t.bias[k] - (t.a[k] * px + t.b[k] * py + t.c[k]);  // a 256 i + b 256 j >= need
    const int64_t threshold = need >= 0 ? (need + 255) / 256 : -(-need / 256);
    e.a[k] = static_cast<int32_t>(t.a[k]);
    e.b[k] = static_cast<int32_t>(t.b[k]);
    e.t[k] = static_cast<int32_t>(std::clamp<int64_t>(threshold, INT32_MIN, INT32_MAX));
  }
  return e;
}

// Calls fn(i, j) for every pixel of the rectangle inside the triangle.
template <typename Fn>
void ForEachCovered(const SetupTriangle& t, const Tile& tile, const Rect& r, bool whole, Fn fn) {
  if (whole) {
    for (int32_t j = r.j0; j < r.j1; ++j)
      for (int32_t i = r.i0; i < r.i1; ++i) fn(i, j);
  } else if (t.small) {
    const Edges e = TileEdges(t, tile);
    for (int32_t j = r.j0; j < r.j1; ++j)
      for (int32_t i = r.i0; i < r.i1; ++i)
        if (e.a[0] * i + e.b[0] * j >= e.t[0] && e.a[1] * i + e.b[1] * j >= e.t[1] &&
            e.a[2] * i + e.b[2] * j >= e.t[2])
          fn(i, j);
  } else {
    for (int32_t j = r.j0; j < r.j1; ++j)
      for (int32_t i = r.i0; i < r.i1; ++i) {
        const int64_t px = (int64_t{tile.x} + i) * 256 + 128, py = (int64_t{tile.y} + j) * 256 + 128;
        bool inside = true;
        for (int k = 0; k < 3; ++k) inside = inside && t.a[k] * px + t.b[k] * py + t.c[k] >= t.bias[k];
        if (inside) fn(i, j);
      }
  }
}

// The nearest texel's column of a coordinate in texels, repeating; a
// coordinate beyond a billion texels (or no number) is held there.
inline int32_t TexelIndex(float s, int32_t mask) {
  s = s > -1e9f ? s : -1e9f;
  s = s < 1e9f ? s : 1e9f;
  int32_t i = static_cast<int32_t>(s);
  i -= static_cast<float>(i) > s;  // floor
  return i & mask;
}

inline uint32_t Sample(const SetupTriangle& t, float u, float v) {
  const float side = static_cast<float>(t.side);
  return t.texels[TexelIndex(v * side, t.side - 1) * t.side + TexelIndex(u * side, t.side - 1)];
}

// A channel rounded to the nearest of 0..255.
inline int32_t Round(float value) {
  value = value > 0.0f ? value : 0.0f;  // no number gives 0
  value = value < 255.0f ? value : 255.0f;
  return static_cast<int32_t>(value + 0.5f);
}

constexpr float kUnit = 1.0f / 255.0f;  // 255 x kUnit is exactly 1

// texel x colour / 255 + specular, one channel.
inline int32_t Channel(uint32_t texel, int shift, float colour, float specular) {
  return Round(static_cast<float>(texel >> shift & 0xFF) * kUnit * colour + specular);
}

// A triangle's planes relative to the tile.
struct Planes {
  Local p[kAttributes];
  explicit Planes(const SetupTriangle& t, const Tile& tile) {
    for (int k = 0; k < kAttributes; ++k) p[k] = ToLocal(t.plane[k], tile);
  }
};

inline float InverseW(float q) { return 1.0f / (q > 1e-30f ? q : 1e-30f); }

// Shades the n pixels (indices into the tile) of one triangle in steps
// that the compiler does several pixels at a time: w = 1 / (1/w), the
// nearest texel, texel x colour + specular. An opaque surface's colour is
// written; with kBlend a translucent one is blended over the colour there,
// src (1 - t) + dst t, t from the texel's and the vertices'
// transparencies. A fully transparent texel, or an opaque one of a
// triangle whose vertices are opaque, leaves the pixel.
template <bool kBlend>
void ShadePixels(const SetupTriangle& t, const Planes& l, const uint16_t* pixels, int32_t n, uint32_t* colour) {
  constexpr int32_t kBatch = 64;
  alignas(32) float x[kBatch], y[kBatch], w[kBatch];
  alignas(32) uint32_t texel[kBatch], out[kBatch];
  alignas(32) int32_t at[kBatch];
  auto eval = [](const Local& p, float i, float j) { return p.a + p.by * j + p.bx * i; };
  for (int32_t first = 0; first < n; first += kBatch) {
    const int32_t count = std::min(kBatch, n - first);
    const uint16_t* batch = pixels + first;
    for (int32_t m = 0; m < count; ++m) {
      x[m] = static_cast<float>(batch[m] % kTile);
      y[m] = static_cast<float>(batch[m] / kTile);
      w[m] = InverseW(eval(l.p[kInvW], x[m], y[m]));
    }
    if (t.texels) {
      const float side = static_cast<float>(t.side);
      const int32_t mask = t.side - 1, shift = __builtin_ctz(static_cast<uint32_t>(t.side));
      for (int32_t m = 0; m < count; ++m)
        at[m] = TexelIndex(eval(l.p[kV], x[m], y[m]) * w[m] * side, mask) << shift |
                TexelIndex(eval(l.p[kU], x[m], y[m]) * w[m] * side, mask);
      for (int32_t m = 0; m < count; ++m) texel[m] = t.texels[at[m]];
    } else {
      for (int32_t m = 0; m < count; ++m) texel[m] = 0xFFFFFFu;
    }
    for (int32_t m = 0; m < count; ++m) {
      const float i = x[m], j = y[m], wm = w[m];
      const uint32_t tx = texel[m];
      out[m] = static_cast<uint32_t>(
          Channel(tx, 16, eval(l.p[kRed], i, j) * wm, eval(l.p[kSpecRed], i, j) * wm) << 16 |
          Channel(tx, 8, eval(l.p[kGreen], i, j) * wm, eval(l.p[kSpecGreen], i, j) * wm) << 8 |
          Channel(tx, 0, eval(l.p[kBlue], i, j) * wm, eval(l.p[kSpecBlue], i, j) * wm));
    }
    if constexpr (kBlend) {
      alignas(32) float vertexTrans[kBatch];
      alignas(32) uint32_t dst[kBatch];
      for (int32_t m = 0; m < count; ++m) vertexTrans[m] = 0.0f;
      if (t.vertexTransparent)
        for (int32_t m = 0; m < count; ++m) vertexTrans[m] = static_cast<float>(Round(eval(l.p[kTrans], x[m], y[m]) * w[m]));
      for (int32_t m = 0; m < count; ++m) dst[m] = colour[batch[m]];
      const bool vertexOpaque = !t.vertexTransparent;
      for (int32_t m = 0; m < count; ++m) {
        const uint32_t texelTrans = texel[m] >> 24;
        const bool leave = texelTrans == 255 || (vertexOpaque && texelTrans == 0);
        const float trans = 1.0f - (1.0f - static_cast<float>(texelTrans) / 255.0f) * (1.0f - vertexTrans[m] / 255.0f);
        uint32_t mixed = 0;
        for (int shift = 0; shift < 24; shift += 8)
          mixed |= static_cast<uint32_t>(Round(static_cast<float>(out[m] >> shift & 0xFF) * (1.0f - trans) +
                                               static_cast<float>(dst[m] >> shift & 0xFF) * trans))
                   << shift;
        out[m] = leave ? dst[m] : mixed;
      }
      for (int32_t m = 0; m < count; ++m) colour[batch[m]] = out[m];
    } else {
      for (int32_t m = 0; m < count; ++m) colour[batch[m]] = out[m];
    }
  }
}

// Pass 1: each pixel keeps the nearest opaque surface; on equal 1/w the
// earlier one. Keyed texels are left out.
void Visibility(const FrameSetup& frame, Tile& tile, const std::vector<uint32_t>& list) {
  for (int32_t p = 0; p < kTilePixels; ++p) tile.z[p] = 0.0f, tile.id[p] = -1;
  for (size_t position = 0; position < list.size(); ++position) {
    const uint32_t entry = list[position];
    const int32_t index = static_cast<int32_t>(position);  // the surface, until shaded
    const SetupTriangle& t = frame.triangles[entry & ~kWholeTile];
    const Rect r = Within(tile, t.x0, t.y0, t.x1, t.y1);
    if (r.Empty()) continue;
    const Local q = ToLocal(t.plane[kInvW], tile);
    if (t.keyed) {
      const Planes l(t, tile);
      ForEachCovered(t, tile, r, entry & kWholeTile, [&](int32_t i, int32_t j) {
        const int32_t p = j * kTile + i;
        const float value = q.At(i, j);
        if (!(value > tile.z[p])) return;
        const float w = 1.0f / value;
        if (Sample(t, l.p[kU].At(i, j) * w, l.p[kV].At(i, j) * w) >> 24) return;
        tile.z[p] = value;
        tile.id[p] = index;
      });
      continue;
    }
    const bool whole = entry & kWholeTile;
    if (!whole && !t.small) {
      ForEachCovered(t, tile, r, false, [&](int32_t i, int32_t j) {
        const int32_t p = j * kTile + i;
        const float value = q.At(i, j);
        if (value > tile.z[p]) tile.z[p] = value, tile.id[p] = index;
      });
      continue;
    }
    Edges e{};
    if (!whole) e = TileEdges(t, tile);  // a whole tile passes every edge with zeros
    for (int32_t j = r.j0; j < r.j1; ++j) {
      float* z = tile.z + j * kTile;
      int32_t* id = tile.id + j * kTile;
      const float row = q.a + q.by * static_cast<float>(j);
      // Edge sums stepped along the row (no multiplication per pixel).
      int32_t e0 = e.a[0] * r.i0 + e.b[0] * j, e1 = e.a[1] * r.i0 + e.b[1] * j, e2 = e.a[2] * r.i0 + e.b[2] * j;
      for (int32_t i = r.i0; i < r.i1; ++i) {
        const float value = row + q.bx * static_cast<float>(i);
        const bool in = (e0 >= e.t[0]) & (e1 >= e.t[1]) & (e2 >= e.t[2]) & (value > z[i]);
        z[i] = in ? value : z[i];
        id[i] = in ? index : id[i];
        e0 += e.a[0], e1 += e.a[1], e2 += e.a[2];
      }
    }
  }
}

// Pass 2: every pixel with a surface is shaded once, surface by surface
// (its pixels gathered by a counting sort on the surface's place in the
// tile's list); the others take the background colour.
void ShadeSurfaces(const FrameSetup& frame, Tile& tile, const std::vector<uint32_t>& list) {
  thread_local std::vector<int32_t> start;  // group k + 1 is surface k; group 0, no surface
  thread_local std::vector<uint16_t> order;
  start.assign(list.size() + 2, 0);
  order.resize(kTilePixels);
  for (int32_t p = 0; p < kTilePixels; ++p) ++start[tile.id[p] + 2];
  for (size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
  for (int32_t p = 0; p < kTilePixels; ++p) order[start[tile.id[p] + 1]++] = static_cast<uint16_t>(p);
  for (int32_t k = 0; k < start[0]; ++k) tile.colour[order[k]] = frame.background;
  int32_t first = start[0];
  for (size_t k = 0; k < list.size(); ++k) {
    const int32_t end = start[k + 1];
    if (end > first) {
      const SetupTriangle& t = frame.triangles[list[k] & ~kWholeTile];
      ShadePixels<false>(t, Planes(t, tile), order.data() + first, end - first, tile.colour);
    }
    first = end;
  }
}

uint32_t AddSaturated(uint32_t a, uint32_t b) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8)
    out |= std::min<uint32_t>((a >> shift & 0xFF) + (b >> shift & 0xFF), 255) << shift;
  return out;
}

uint32_t Scale(uint32_t c, float f) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8)
    out |= static_cast<uint32_t>(Round(static_cast<float>(c >> shift & 0xFF) * f)) << shift;
  return out;
}

// One volume over the tile: fn(p) for each pixel whose surface lies inside,
// behind every plane facing the viewer and in front of every other. Planes
// that every surface of the tile passes are skipped; one that none passes
// leaves the tile out; zmin and zmax bound the tile's surfaces.
template <typename Fn>
void ForEachInside(const FrameSetup& frame, const SetupVolume& v, const Tile& tile, float zmin, float zmax,
                   std::vector<Local>& active, std::vector<uint8_t>& facing, Fn fn) {
  const Rect r = Within(tile, v.x0, v.y0, v.x1, v.y1);
  if (r.Empty()) return;
  active.clear();
  facing.clear();
  for (int32_t k = v.first; k < v.first + v.count; ++k) {
    const VolumePlane& plane = frame.planes[k];
    const Local l = ToLocal(plane.q, tile);
    const float c[4] = {l.At(r.i0, r.j0), l.At(r.i1 - 1, r.j0), l.At(r.i0, r.j1 - 1), l.At(r.i1 - 1, r.j1 - 1)};
    const float pmin = std::min({c[0], c[1], c[2], c[3]}), pmax = std::max({c[0], c[1], c[2], c[3]});
    if (plane.facing ? zmax < pmin : zmin > pmax) continue;    // every surface passes
    if (plane.facing ? zmin >= pmax : zmax <= pmin) return;    // none does
    active.push_back(l);
    facing.push_back(plane.facing);
  }
  for (int32_t j = r.j0; j < r.j1; ++j)
    for (int32_t i = r.i0; i < r.i1; ++i) {
      const int32_t p = j * kTile + i;
      if (tile.id[p] < 0) continue;
      const float s = tile.z[p];
      bool inside = true;
      for (size_t k = 0; k < active.size() && inside; ++k) {
        const float q = active[k].At(i, j);
        inside = facing[k] ? s < q : s > q;
      }
      if (inside) fn(p);
    }
}

// Pass 3: shadows darken their surfaces once by the surface's call's
// factor, then each light volume adds its colour.
void Volumes(const FrameSetup& frame, Tile& tile) {
  if (frame.volumes.empty()) return;
  thread_local std::vector<Local> active;
  thread_local std::vector<uint8_t> facing;
  float zmin = INFINITY, zmax = 0.0f;  // over the surfaces; none has 1/w 0
  for (int32_t p = 0; p < kTilePixels; ++p) {
    zmin = std::min(zmin, tile.id[p] >= 0 ? tile.z[p] : INFINITY);
    zmax = std::max(zmax, tile.z[p]);
  }
  if (zmin > zmax) return;
  std::memset(tile.shadow, 0, sizeof tile.shadow);
  bool shadowed = false;
  for (const SetupVolume& v : frame.volumes)
    if (v.kind == 1) ForEachInside(frame, v, tile, zmin, zmax, active, facing, [&](int32_t p) { tile.shadow[p] = 1, shadowed = true; });
  for (int32_t p = 0; shadowed && p < kTilePixels; ++p)
    if (tile.shadow[p])
      tile.colour[p] = Scale(tile.colour[p], (*frame.calls)[frame.triangles[Surface(tile, p)].call].shade);
  for (const SetupVolume& v : frame.volumes)
    if (v.kind == 2)
      ForEachInside(frame, v, tile, zmin, zmax, active, facing, [&](int32_t p) { tile.colour[p] = AddSaturated(tile.colour[p], v.light); });
}

// The columns [i0, i1) of the rectangle's row j inside every edge: a i + b j
// >= t solved for i.
void RowSpan(const Edges& e, const Rect& r, int32_t j, int32_t& i0, int32_t& i1) {
  int64_t low = r.i0, high = r.i1;
  for (int k = 0; k < 3; ++k) {
    const int64_t need = int64_t{e.t[k]} - int64_t{e.b[k]} * j, a = e.a[k];
    if (a > 0) low = std::max(low, need >= 0 ? (need + a - 1) / a : -(-need / a));                 // ceiling
    else if (a < 0) high = std::min(high, (-need >= 0 ? -need / -a : -((need - a - 1) / -a)) + 1);  // floor, plus one
    else if (need > 0) high = low;
  }
  i0 = static_cast<int32_t>(low);
  i1 = static_cast<int32_t>(std::max(low, high));
}

// The pixels of the rectangle inside a translucent triangle and in front
// of the tile's opaque surface (on equal 1/w, of a surface drawn after
// it), into pixels; gives their count.
int32_t InFront(const SetupTriangle& t, int32_t index, const Tile& tile, const Rect& r, bool whole, const Local& q,
                uint16_t* pixels) {
  auto front = [&](int32_t p, float value) {
    return value > tile.z[p] || (value == tile.z[p] && tile.id[p] >= 0 && index < Surface(tile, p));
  };
  int32_t n = 0;
  if (!whole && !t.small) {
    ForEachCovered(t, tile, r, false, [&](int32_t i, int32_t j) {
      const int32_t p = j * kTile + i;
      if (front(p, q.At(i, j))) pixels[n++] = static_cast<uint16_t>(p);
    });
    return n;
  }
  Edges e{};
  if (!whole) e = TileEdges(t, tile);  // a whole tile passes every edge with zeros
  for (int32_t j = r.j0; j < r.j1; ++j) {
    const float row = q.a + q.by * static_cast<float>(j);
    int32_t i0 = 0, i1 = 0;
    RowSpan(e, r, j, i0, i1);
    for (int32_t i = i0; i < i1; ++i) {
      const int32_t p = j * kTile + i;
      const float value = row + q.bx * static_cast<float>(i);
      const bool tie = (value == tile.z[p]) & (tile.id[p] >= 0);  // rare: decided by the order
      pixels[n] = static_cast<uint16_t>(p);
      n += (value > tile.z[p]) | (tie && index < Surface(tile, p));
    }
  }
  return n;
}

// Pass 4: the translucent triangles in their order, each one's pixels in
// front of the opaque surface gathered, then shaded and blended together.
// A triangle covers a pixel once, so the blends at a pixel come in the
// triangles' order.
void Translucent(const FrameSetup& frame, Tile& tile, const std::vector<uint32_t>& list) {
  thread_local uint16_t pixels[kTilePixels];
  for (const uint32_t entry : list) {
    const int32_t index = static_cast<int32_t>(entry & ~kWholeTile);
    const SetupTriangle& t = frame.triangles[index];
    const Rect r = Within(tile, t.x0, t.y0, t.x1, t.y1);
    if (r.Empty()) continue;
    const Planes l(t, tile);
    const int32_t n = InFront(t, index, tile, r, entry & kWholeTile, l.p[kInvW], pixels);
    ShadePixels<true>(t, l, pixels, n, tile.colour);
  }
}

// Pass 5: the tile into the game's memory at its depth; rows follow the
// pitch, and 16-bit pixels on an odd address are written byte by byte.
void Convert(const FrameSetup& frame, const Tile& tile) {
  const SGLRENDERTARGET& target = frame.target;
  const int32_t bytes = target.BitsPerPixel == 24 ? 3 : 2;
  for (int32_t j = 0; j < tile.h; ++j) {
    uint8_t* row = target.FirstPixel + static_cast<size_t>(tile.y + j) * target.BytesPerLine + static_cast<size_t>(tile.x) * bytes;
    const uint32_t* in = tile.colour + j * kTile;
    if (bytes == 3) {
      for (int32_t i = 0; i < tile.w; ++i) {
        row[3 * i] = static_cast<uint8_t>(in[i]);
        row[3 * i + 1] = static_cast<uint8_t>(in[i] >> 8);
        row[3 * i + 2] = static_cast<uint8_t>(in[i] >> 16);
      }
      continue;
    }
    uint16_t pixels[kTile];
    if (target.BitsPerPixel == 15)
      for (int32_t i = 0; i < kTile; ++i)
        pixels[i] = static_cast<uint16_t>((in[i] >> 19 & 0x1F) << 10 | (in[i] >> 11 & 0x1F) << 5 | (in[i] >> 3 & 0x1F));
    else
      for (int32_t i = 0; i < kTile; ++i)
        pixels[i] = static_cast<uint16_t>((in[i] >> 19 & 0x1F) << 11 | (in[i] >> 10 & 0x3F) << 5 | (in[i] >> 3 & 0x1F));
    std::memcpy(row, pixels, static_cast<size_t>(tile.w) * 2);  // little-endian, any alignment
  }
}

// A tile's list: its entries of each batch, batch after batch.
void Gather(const std::vector<Bins>& bins, int32_t batches, int32_t tile, std::vector<uint32_t>& list) {
  list.clear();
  for (int32_t b = 0; b < batches; ++b) {
    const Bins& batch = bins[b];
    list.insert(list.end(), batch.entries.begin() + batch.start[tile], batch.entries.begin() + batch.start[tile + 1]);
  }
}

}  // namespace

ACCEL_VECTOR void DrawTile(const FrameSetup& frame, int32_t index) {
  thread_local Tile tile;
  thread_local std::vector<uint32_t> opaque, translucent;
  Gather(frame.opaque, frame.opaqueBatches, index, opaque);
  Gather(frame.translucent, frame.translucentBatches, index, translucent);
  tile.x = index % frame.tilesX * kTile;
  tile.y = index / frame.tilesX * kTile;
  tile.w = std::min(kTile, frame.width - tile.x);
  tile.h = std::min(kTile, frame.height - tile.y);
  tile.list = &opaque;
  Visibility(frame, tile, opaque);
  ShadeSurfaces(frame, tile, opaque);
  Volumes(frame, tile);
  Translucent(frame, tile, translucent);
  Convert(frame, tile);
}

}  // namespace plat::accel
