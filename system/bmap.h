// Bitmaps: the lock count and the guard of the calls that must not run
// while a bitmap is locked.
#pragma once
#include <cstdint>

struct BMAP;

// Outstanding locks over all bitmaps.
extern int32_t LS_BmapLockCount;

// When a bitmap is locked: raises error 8 "!\nCannot execute function (%s)
// while bmap locked" with the caller's name and returns 1; else 0. Guarded
// calls return their failure value when it gives 1.
int32_t LSI_RefuseWhileLocked(const char* caller);

void LS_ClearBmap(BMAP* bmap);
