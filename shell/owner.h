// Owner-tagged memory and bitmaps: game allocations recorded with the name
// of their owner, and the end-of-run leak reports.
#pragma once
#include <cstdint>

// A zero-filled block of the default heap recorded under owner; null for
// a size below 1.
void* SB_GetMem(int32_t size, const char* owner);
// Forgets the block's record and returns it to its heap.
int32_t SB_Release(void* block);

void SB_ReportBmapLeaks();
void SB_ReportMemLeaks();
