// Quicksort with the Hoare partition over record pointers, by the signed
// 32-bit key that starts each record, largest first. It works in place and
// allocates nothing, since the renderers sort every frame.
#include "engine3d/sort.h"

#include <cstring>
#include <utility>

namespace {

int32_t KeyOf(const void* record) {
  int32_t key;
  std::memcpy(&key, record, sizeof key);
  return key;
}

}  // namespace

void E3D_SortByKeyRange(void** records, int32_t lo, int32_t hi) {
  // The larger side is looped on rather than recursed into, so that the
  // stack stays logarithmic whatever the keys.
  while (lo < hi) {
    const int32_t pivot = KeyOf(records[lo + (hi - lo) / 2]);
    int32_t i = lo, j = hi;
    while (i <= j) {
      while (KeyOf(records[i]) > pivot) ++i;
      while (KeyOf(records[j]) < pivot) --j;
      if (i <= j) {
        if (i < j) std::swap(records[i], records[j]);
        ++i;
        --j;
      }
    }
    if (j - lo < hi - i) {
      if (lo < j) E3D_SortByKeyRange(records, lo, j);
      lo = i;
    } else {
      if (i < hi) E3D_SortByKeyRange(records, i, hi);
      hi = j;
    }
  }
}

void E3D_SortByKey(void** records, int32_t count) {
  if (!records || count < 2) return;
  E3D_SortByKeyRange(records, 0, count - 1);
}
