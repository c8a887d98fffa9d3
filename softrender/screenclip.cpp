// The screen clip of a polygon of twelve-word vertices (clip code in word
// 8): an edge pass per screen edge, in place, with the crossings made by
// the edge callback of SB_Var.ClipEdgeProc.
#include <cstring>

#include "shell/sbvar.h"
#include "softrender/softrender.h"
#include "system/asm3d/zidade3d.h"

namespace {

constexpr size_t kWords = 12;
constexpr size_t kCodeWord = 8;

uint32_t* At(void* vertices, int32_t i) {
  return static_cast<uint32_t*>(vertices) + kWords * static_cast<size_t>(i);
}
bool Outside(void* vertices, int32_t i, int32_t code) { return (At(vertices, i)[kCodeWord] & code) != 0; }

// One edge pass over the n corners; the new count, 0 when nothing is left.
int32_t ClipEdgePass(const _WINDOW* window, void* v, int32_t n, int32_t code) {
  int32_t first = 0;
  while (first < n && Outside(v, first, code)) ++first;
  if (first == n) return 0;
  const SB_CLIPEDGEPROC edge = SB_Var.ClipEdgeProc;
  const int32_t w = window->W_WIDTH, h = window->W_HEIGHT;
  int32_t cur = first;
  for (int32_t step = 0; step <= n; ++step) {
    int32_t next = cur + 1 == n ? 0 : cur + 1;
    const bool curOut = Outside(v, cur, code);
    if (!Outside(v, next, code)) {
      if (curOut && edge) edge(v, cur, cur, next, code, w, h);
      cur = next;
    } else if (!curOut) {
      // Open a slot at next for the crossing: the outside corner moves up
      // one place, and its words stay in the slot until the callback
      // replaces them.
      std::memmove(At(v, next + 1), At(v, next), kWords * 4 * static_cast<size_t>(n - next));
      if (cur > next) ++cur;
      if (edge) edge(v, next, cur, next, code, w, h);
      ++n;
      cur = next + 1;
    } else {
      if (n == 3) return 0;
      std::memmove(At(v, cur), At(v, cur + 1), kWords * 4 * static_cast<size_t>(n - cur - 1));
      if (next > cur) next = cur;
      --n;
      --step;
      cur = next;
    }
  }
  return n;
}

}  // namespace

int32_t E3D_ClipPolyToScreen(const _WINDOW* window, const void* in, void* out, int32_t n) {
  if (!window || !out || n < 3) return 0;
  if (in != out) std::memmove(out, in, kWords * 4 * static_cast<size_t>(n));
  for (int32_t code : {2, 4, 8, 16}) {
    n = ClipEdgePass(window, out, n, code);
    if (n == 0) return 0;
  }
  return n;
}
