// Texel writes into the accelerator's cached card textures, the twiddled
// rectangle copy, and the 16-bit conversion of pictures.
#include "scenery/texcopy.h"

#include <algorithm>

#include "shell/gamedraw.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/heap.h"

namespace {

constexpr const char* kOwner555 = "Bmap24to4444";

// The rounded average of four texels, channel by channel: three of 5 bits
// (5-5-5), or four of 4 bits.
uint16_t Average(const uint16_t (&t)[4], bool fourBits) {
  const int32_t bits = fourBits ? 4 : 5, channels = fourBits ? 4 : 3, mask = (1 << bits) - 1;
  uint32_t out = 0;
  for (int32_t c = 0; c < channels; ++c) {
    const int32_t shift = c * bits;
    const uint32_t sum = (t[0] >> shift & mask) + (t[1] >> shift & mask) + (t[2] >> shift & mask) +
                         (t[3] >> shift & mask);
    out |= ((sum + 2) / 4) << shift;
  }
  return static_cast<uint16_t>(out);
}

}  // namespace

TCARDTEXELS SB_CardTexels(int32_t slot) {
  if (slot < 1 || slot >= SB_MAXCACHETEXTURE) return {nullptr, 0};
  const TEXTURECACHE& t = SB_Var.TextureCache[slot];
  if (!t.InUse || !t.Map.Pixels) return {nullptr, 0};
  // Twiddled addressing needs a power-of-two side the table covers.
  const int32_t side = t.Map.XSize;
  if (side < 1 || side > 256 || (side & (side - 1)) || t.Map.YSize != side) return {nullptr, 0};
  return {static_cast<uint16_t*>(t.Map.Pixels), side};
}

uint32_t SB_TwiddledIndex(int32_t x, int32_t y) {
  return static_cast<uint32_t>(SB_Var.TwiddleTable[x & 255]) << 1 | SB_Var.TwiddleTable[y & 255];
}

__attribute__((weak)) void SB_TwiddledBlit(int32_t source, int32_t destination, int32_t x1, int32_t y1,
                                           int32_t x2, int32_t y2, int32_t x, int32_t y) {
  const TCARDTEXELS from = SB_CardTexels(source), to = SB_CardTexels(destination);
  if (!from.Pixels || !to.Pixels || x2 < x1 || y2 < y1) return;
  // Columns k and rows j of the copy that lie inside both textures.
  const int64_t k0 = std::max<int64_t>({0, -int64_t{x1}, -int64_t{x}});
  const int64_t j0 = std::max<int64_t>({0, -int64_t{y1}, -int64_t{y}});
  const int64_t k1 = std::min<int64_t>({int64_t{x2} - x1, int64_t{from.Side} - 1 - x1, int64_t{to.Side} - 1 - x});
  const int64_t j1 = std::min<int64_t>({int64_t{y2} - y1, int64_t{from.Side} - 1 - y1, int64_t{to.Side} - 1 - y});
  for (int64_t j = j0; j <= j1; ++j)
    for (int64_t k = k0; k <= k1; ++k)
      to.Pixels[SB_TwiddledIndex(static_cast<int32_t>(x + k), static_cast<int32_t>(y + j))] =
          from.Pixels[SB_TwiddledIndex(static_cast<int32_t>(x1 + k), static_cast<int32_t>(y1 + j))];
}

void SB_UpdateCardLevels(int32_t slot, int32_t x, int32_t y, int32_t w, int32_t h) {
  const TCARDTEXELS card = SB_CardTexels(slot);
  if (!card.Pixels) return;
  const SGLMAP& map = SB_Var.TextureCache[slot].Map;
  if (map.Id[2] != '1' && map.Id[2] != '4') return;
  const bool fourBits = map.Id[2] == '4';
  int32_t x0 = std::max(x, 0), y0 = std::max(y, 0);
  int32_t x1 = static_cast<int32_t>(std::min<int64_t>(int64_t{x} + w, card.Side));
  int32_t y1 = static_cast<int32_t>(std::min<int64_t>(int64_t{y} + h, card.Side));
  uint16_t* level = card.Pixels;
  for (int32_t side = card.Side, j = 1; j <= static_cast<uint8_t>(map.Id[3]) && side > 1; ++j, side /= 2) {
    if (x1 <= x0 || y1 <= y0) return;
    uint16_t* smaller = level + static_cast<ptrdiff_t>(side) * side;
    x0 /= 2, y0 /= 2, x1 = (x1 + 1) / 2, y1 = (y1 + 1) / 2;
    for (int32_t v = y0; v < y1; ++v)
      for (int32_t u = x0; u < x1; ++u) {
        const uint16_t four[4] = {level[SB_TwiddledIndex(2 * u, 2 * v)], level[SB_TwiddledIndex(2 * u + 1, 2 * v)],
                                  level[SB_TwiddledIndex(2 * u, 2 * v + 1)],
                                  level[SB_TwiddledIndex(2 * u + 1, 2 * v + 1)]};
        smaller[SB_TwiddledIndex(u, v)] = Average(four, fourBits);
      }
    level = smaller;
  }
}

__attribute__((weak)) BMAP* Bmap24to555(BMAP* bitmap) {
  if (!bitmap || bitmap->SizeX < 1 || bitmap->SizeY < 1) return nullptr;
  const int32_t w = bitmap->SizeX, h = bitmap->SizeY;
  BMAP* copy = SB_CreateBmap(w, h, 24, LS_DefaultHeap, kOwner555);
  if (!copy) return nullptr;
  copy->Format = BMAP_RGB888;
  SB_Bitmove(bitmap, copy, 0, 0, w - 1, h - 1, 0, 0);
  BMAP* out = SB_CreateBmap(w, h, 16, LS_DefaultHeap, kOwner555);
  if (out) {
    out->Format = BMAP_RGB555;
    for (int32_t y = 0; y < h; ++y) {
      const uint8_t* p = copy->Start + static_cast<ptrdiff_t>(y) * copy->ByteLen;  // blue, green, red
      auto* q = reinterpret_cast<uint16_t*>(out->Start + static_cast<ptrdiff_t>(y) * out->ByteLen);
      for (int32_t x = 0; x < w; ++x, p += 3)
        q[x] = static_cast<uint16_t>((p[2] >> 3) << 10 | (p[1] >> 3) << 5 | p[0] >> 3);
    }
  }
  SB_FreeBmap(copy);
  return out;
}
