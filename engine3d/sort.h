// Sort of record pointers by the signed 32-bit key each record starts with,
// largest key first: the painter's order of the renderers and the size
// order of the texture packing.
#pragma once
#include <cstdint>

// Reorders the pointers in place; a count below 2 does nothing. Records of
// equal keys come out in no guaranteed order.
void E3D_SortByKey(void** records, int32_t count);
// The recursive part: elements lo .. hi (inclusive).
void E3D_SortByKeyRange(void** records, int32_t lo, int32_t hi);
