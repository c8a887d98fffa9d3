// Stickers on car paint: a 32-bit picture blended onto a 24-bit one by its
// alpha, and the alpha channel of a picture grown by a flood fill from a
// seed colour.
#include <cmath>
#include <cstddef>
#include <cstring>

#include "engine3d/colourclip.h"
#include "engine3d/palette3d.h"
#include "shell/owner.h"
#include "system/bmap.h"

namespace {

constexpr const char* kFillOwner = "SB_FillBmapToAlphaChannel";
constexpr int32_t kFirstStack = 100000;  // entries the fill's stack starts with
constexpr float kInv255 = 0.003921569f;

uint8_t* PixelOf(const BMAP* b, int32_t x, int32_t y, int32_t bytes) {
  return b->Start + static_cast<ptrdiff_t>(y) * b->ByteLen + static_cast<ptrdiff_t>(x) * bytes;
}

// The flood fill's work: a stack of pixels to visit, grown as needed, and
// one mark per pixel once visited.
struct FillWork {
  struct Entry {
    int32_t x, y;
  };
  Entry* stack = nullptr;
  int32_t capacity = 0, size = 0;
  uint8_t* visited = nullptr;  // one bit per pixel

  bool Start(int64_t pixels) {
    stack = static_cast<Entry*>(SB_GetMem(kFirstStack * static_cast<int32_t>(sizeof(Entry)), kFillOwner));
    capacity = kFirstStack;
    if (pixels / 8 + 1 <= INT32_MAX)
      visited = static_cast<uint8_t*>(SB_GetMem(static_cast<int32_t>(pixels / 8 + 1), kFillOwner));
    return stack && visited;
  }
  ~FillWork() {
    if (stack) SB_Release(stack);
    if (visited) SB_Release(visited);
  }
  bool Push(int32_t x, int32_t y) {
    if (size == capacity) {
      const int64_t grown = int64_t{capacity} * 2;
      if (grown * static_cast<int64_t>(sizeof(Entry)) > INT32_MAX) return false;
      auto* bigger = static_cast<Entry*>(SB_GetMem(static_cast<int32_t>(grown * sizeof(Entry)), kFillOwner));
      if (!bigger) return false;
      std::memcpy(bigger, stack, static_cast<size_t>(size) * sizeof(Entry));
      SB_Release(stack);
      stack = bigger;
      capacity = static_cast<int32_t>(grown);
    }
    stack[size++] = {x, y};
    return true;
  }
  bool Marked(int64_t i) const { return visited[i >> 3] & (1 << (i & 7)); }
  void Mark(int64_t i) { visited[i >> 3] |= static_cast<uint8_t>(1 << (i & 7)); }
};

float ClampThreshold(float threshold) {
  if (std::isnan(threshold) || threshold < 0) return 0;
  return threshold > 1 ? 1 : threshold;
}

}  // namespace

void SB_AlphaBlitBmap32to24(BMAP* src, BMAP* dst, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x,
                            int32_t y) {
  if (!src || !dst || src->Depth != 32 || dst->Depth != 24) return;
  if (!E3D_ClipCopy(src, dst, x1, y1, x2, y2, x, y)) return;
  LS_LockBmap(src);
  LS_LockBmap(dst);
  for (int32_t row = 0; row <= y2 - y1; ++row) {
    const uint8_t* from = PixelOf(src, x1, y1 + row, 4);
    uint8_t* to = PixelOf(dst, x, y + row, 3);
    for (int32_t column = 0; column <= x2 - x1; ++column, from += 4, to += 3) {
      const uint8_t alpha = from[3];
      if (alpha == 0) continue;
      if (alpha == 255) {
        std::memcpy(to, from, 3);
        continue;
      }
      const float w = alpha * kInv255;
      for (int32_t c = 0; c < 3; ++c) {
        const float v = from[c] * w + to[c] * (1 - w);
        to[c] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
      }
    }
  }
  LS_UnlockBmap(dst);
  LS_UnlockBmap(src);
}

void SB_FillBmapToAlphaChannel(BMAP* bmap, int32_t sx, int32_t sy, float threshold) {
  if (!bmap || bmap->Depth != 32 || sx < 0 || sy < 0 || sx >= bmap->SizeX || sy >= bmap->SizeY) return;
  const int64_t width = bmap->SizeX, height = bmap->SizeY;
  FillWork work;
  if (!work.Start(width * height)) return;
  const int64_t t = static_cast<int64_t>(ClampThreshold(threshold) * 256);
  const int64_t limit = 3 * t * t;

  LS_LockBmap(bmap);
  const uint8_t* seed = PixelOf(bmap, sx, sy, 4);
  const int32_t reference[3] = {seed[0], seed[1], seed[2]};
  for (int64_t y = 0; y < height; ++y)
    for (int64_t x = 0; x < width; ++x)
      PixelOf(bmap, static_cast<int32_t>(x), static_cast<int32_t>(y), 4)[3] = 255;

  // A pixel beyond the threshold is a border pixel: it counts once each
  // time a neighbour reaches it and is never entered. A pixel within is
  // entered once, whatever alpha it then takes.
  int64_t sums[3] = {0, 0, 0}, borders = 0;
  const auto reach = [&](int32_t x, int32_t y) {
    const int64_t index = y * width + x;
    if (work.Marked(index)) return true;
    const uint8_t* p = PixelOf(bmap, x, y, 4);
    int64_t d2 = 0;
    for (int32_t c = 0; c < 3; ++c) d2 += int64_t{p[c] - reference[c]} * (p[c] - reference[c]);
    if (d2 > limit) {
      for (int32_t c = 0; c < 3; ++c) sums[c] += p[c];
      ++borders;
      return true;
    }
    work.Mark(index);
    PixelOf(bmap, x, y, 4)[3] = static_cast<uint8_t>(d2 / 765);
    return work.Push(x, y);
  };
  bool going = reach(sx, sy);
  while (going && work.size > 0) {
    const FillWork::Entry p = work.stack[--work.size];
    if (p.x > 0) going = reach(p.x - 1, p.y) && going;
    if (p.y > 0) going = reach(p.x, p.y - 1) && going;
    if (p.x < width - 1) going = reach(p.x + 1, p.y) && going;
    if (p.y < height - 1) going = reach(p.x, p.y + 1) && going;
  }

  if (borders > 0) {
    uint8_t mean[3];
    for (int32_t c = 0; c < 3; ++c) mean[c] = static_cast<uint8_t>(sums[c] / borders);
    for (int64_t y = 0; y < height; ++y)
      for (int64_t x = 0; x < width; ++x) {
        uint8_t* p = PixelOf(bmap, static_cast<int32_t>(x), static_cast<int32_t>(y), 4);
        if (p[3] < 255) std::memcpy(p, mean, 3);
      }
  }
  LS_UnlockBmap(bmap);
}
