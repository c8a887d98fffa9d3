// The cross-fade of two 16-bit images through two small tables of blended
// components, one for 5-bit and one for 6-bit components.
#include <cstdint>

#include "frontend/menu.h"
#include "system/bmap.h"

namespace {

constexpr double kNearlyWhole = 0.01;  // 1 - a at most this: the second image alone

struct Layout {
  int32_t redShift, greenShift, greenBits;
};

bool LayoutOf(int32_t format, Layout* layout) {
  if (format == BMAP_RGB555) *layout = {10, 5, 5};
  else if (format == BMAP_RGB565) *layout = {11, 5, 6};
  else return false;
  return true;
}

bool SameSize(const BMAP* a, const BMAP* b) { return a->SizeX == b->SizeX && a->SizeY == b->SizeY; }

}  // namespace

void BmapCrossFade(BMAP* dst, BMAP* src1, BMAP* src2, double a, int32_t lines) {
  if (!dst || !src1 || !src2) return;
  if (dst->Depth != 16 || src1->Depth != 16 || src2->Depth != 16) return;
  if (dst->Format != src1->Format || src2->Format != src1->Format) return;
  if (!SameSize(dst, src1) || !SameSize(src2, src1)) return;
  Layout layout;
  if (!LayoutOf(src1->Format, &layout)) return;
  if (a > 1.0 || 1.0 - a <= kNearlyWhole) a = 1.0;
  if (a < 0.0) a = 0.0;
  static uint8_t t32[32][32], t64[64][64];
  for (int32_t i = 0; i < 32; ++i)
    for (int32_t j = 0; j < 32; ++j) t32[i][j] = static_cast<uint8_t>(static_cast<int32_t>(j * a + i * (1.0 - a)));
  if (layout.greenBits == 6)
    for (int32_t i = 0; i < 64; ++i)
      for (int32_t j = 0; j < 64; ++j) t64[i][j] = static_cast<uint8_t>(static_cast<int32_t>(j * a + i * (1.0 - a)));
  const uint8_t(*green)[64] = t64;
  const uint32_t greenMask = (1u << layout.greenBits) - 1;
  LS_LockBmap(dst);
  LS_LockBmap(src1);
  LS_LockBmap(src2);
  if (dst->Start && src1->Start && src2->Start) {
    const int32_t first = lines == 1 ? 1 : 0, step = lines == 2 ? 1 : 2;
    for (int32_t y = first; y < src1->SizeY; y += step) {
      const auto* p1 = reinterpret_cast<const uint16_t*>(src1->Start + static_cast<intptr_t>(y) * src1->ByteLen);
      const auto* p2 = reinterpret_cast<const uint16_t*>(src2->Start + static_cast<intptr_t>(y) * src2->ByteLen);
      auto* out = reinterpret_cast<uint16_t*>(dst->Start + static_cast<intptr_t>(y) * dst->ByteLen);
      for (int32_t x = 0; x < src1->SizeX; ++x) {
        const uint32_t c1 = p1[x], c2 = p2[x];
        const uint32_t r = t32[(c1 >> layout.redShift) & 31][(c2 >> layout.redShift) & 31];
        const uint32_t g1 = (c1 >> layout.greenShift) & greenMask, g2 = (c2 >> layout.greenShift) & greenMask;
        const uint32_t g = layout.greenBits == 6 ? green[g1][g2] : t32[g1][g2];
        const uint32_t b = t32[c1 & 31][c2 & 31];
        out[x] = static_cast<uint16_t>(r << layout.redShift | g << layout.greenShift | b);
      }
    }
  }
  LS_UnlockBmap(src2);
  LS_UnlockBmap(src1);
  LS_UnlockBmap(dst);
}
