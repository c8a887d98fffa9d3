// The editors' small 8-bit drawing routines, clipped to the screen and to
// the bitmap.
#include "tools/editdraw8.h"

#include <algorithm>

#include "shell/gamepicture.h"
#include "shell/sbvar.h"
#include "system/bmap.h"

namespace {

constexpr int32_t kShadowOffset = 6;

struct Rect {
  int32_t x1, y1, x2, y2;
};

// The rectangle cut to the 640 x 480 screen and to the bitmap; false when
// the bitmap is not 8-bit or nothing is left.
bool Clip(const BMAP* bmap, Rect& r) {
  if (!bmap || bmap->Depth != 8) return false;
  r.x1 = std::max(r.x1, 0), r.y1 = std::max(r.y1, 0);
  r.x2 = std::min({r.x2, 639, bmap->SizeX - 1}), r.y2 = std::min({r.y2, 479, bmap->SizeY - 1});
  return r.x1 <= r.x2 && r.y1 <= r.y2;
}

uint8_t* At(BMAP* bmap, int32_t x, int32_t y) { return bmap->Start + y * bmap->ByteLen + x; }

template <typename Write>
void Fill(BMAP* bmap, Rect r, Write&& write) {
  if (!Clip(bmap, r)) return;
  LS_LockBmap(bmap);
  if (bmap->Start)
    for (int32_t y = r.y1; y <= r.y2; ++y)
      for (int32_t x = r.x1; x <= r.x2; ++x) write(At(bmap, x, y), x, y);
  LS_UnlockBmap(bmap);
}

uint8_t Nearest(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint8_t>(SB_Var.Pal3d ? SB_FindNearestColor(SB_Var.Pal3d, r, g, b) : 0);
}

}  // namespace

void SB_ClearRect8(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Fill(bmap, {x1, y1, x2, y2}, [](uint8_t* p, int32_t, int32_t) { *p = 0; });
}

void SB_CheckerRect8(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Fill(bmap, {x1, y1, x2, y2}, [](uint8_t* p, int32_t x, int32_t y) {
    if ((x + y) & 1) *p = 0;
  });
}

void SB_ShadowBlit8(BMAP* source, BMAP* target, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x,
                    int32_t y) {
  if (!source || source->Depth != 8) return;
  // The source rectangle inside its bitmap, the target place moved with it.
  Rect s{x1, y1, x2, y2};
  if (s.x1 < 0) x -= s.x1, s.x1 = 0;
  if (s.y1 < 0) y -= s.y1, s.y1 = 0;
  s.x2 = std::min(s.x2, source->SizeX - 1), s.y2 = std::min(s.y2, source->SizeY - 1);
  const int32_t dx = x + kShadowOffset - s.x1, dy = y + kShadowOffset - s.y1;
  Rect t{s.x1 + dx, s.y1 + dy, s.x2 + dx, s.y2 + dy};
  if (!Clip(target, t) || t.x2 - t.x1 < 1 || t.y2 - t.y1 < 1) return;
  LS_LockBmap(source);
  LS_LockBmap(target);
  if (source->Start && target->Start)
    for (int32_t ty = t.y1; ty <= t.y2; ++ty)
      for (int32_t tx = t.x1; tx <= t.x2; ++tx)
        if (*At(source, tx - dx, ty - dy)) *At(target, tx, ty) = 0;
  LS_UnlockBmap(target);
  LS_UnlockBmap(source);
}

void SB_DrawDashedRect8(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  Rect r{x1, y1, x2, y2};
  if (!Clip(bmap, r)) return;
  const uint8_t colours[2] = {Nearest(63, 0, 0), Nearest(0, 0, 63)};
  int32_t n = 0;
  LS_LockBmap(bmap);
  auto put = [&](int32_t x, int32_t y) {
    const uint8_t c = colours[n++ & 1];
    if (bmap->Start) *At(bmap, x, y) = c;
  };
  for (int32_t x = r.x1; x <= r.x2; ++x) put(x, r.y1);
  for (int32_t y = r.y1 + 1; y <= r.y2; ++y) put(r.x2, y);
  for (int32_t x = r.x2 - 1; x >= r.x1; --x) put(x, r.y2);
  for (int32_t y = r.y2 - 1; y > r.y1; --y) put(r.x1, y);
  LS_UnlockBmap(bmap);
}
