// Owner-tagged memory and bitmaps: every heap block and bitmap the game
// takes is recorded with a short text naming who took it, so that the
// high-water marks can be shown and the end of the run can report and
// free whatever was not released.
#pragma once
#include <cstdint>

#include "system/bmap.h"

constexpr int32_t SB_MAXMEMOWNERS = 4096;
constexpr int32_t SB_MAXBMAPOWNERS = 512;
constexpr uint32_t SB_OWNERSIZE = 256;  // tag text with its terminator
// What a bitmap's record counts for in its recorded size.
constexpr uint32_t SB_BMAPRECORDSIZE = 52;

// The tag is copied, so that a name built in a caller's buffer still
// reads right when the leak report lists it.
struct TOWNERENTRY {
  void* Block;
  char Owner[SB_OWNERSIZE];
  uint32_t Size;
};

extern TOWNERENTRY SB_MemOwners[SB_MAXMEMOWNERS];
extern TOWNERENTRY SB_BmapOwners[SB_MAXBMAPOWNERS];

// A zero-filled block of the default heap (SB_GetMemHeap: of the game
// heap); null for a size below 1.
void* SB_GetMem(int32_t size, const char* owner);
void* SB_GetMemHeap(int32_t size, const char* owner);
// Unregisters the block when registered and returns it to its heap.
int32_t SB_Release(void* block);
BMAP* SB_CreateBmap(int32_t width, int32_t height, int32_t depth, uintptr_t kind, const char* owner);
// As SB_CreateBmap for a size read from a file: a bitmap its heap cannot
// hold gives null rather than the heap's fatal error.
BMAP* SB_CreateBmapIfFits(int32_t width, int32_t height, int32_t depth, uintptr_t kind, const char* owner);
void SB_FreeBmap(BMAP* bmap);
// Frees a bitmap made directly by the library, leaving the table alone.
void SB_FreeBmapUntracked(BMAP* bmap);
uint32_t SB_GetFreeMem();

void SB_RegisterMem(void* block, const char* owner, uint32_t size);
void SB_RegisterBmap(void* block, const char* owner, uint32_t size);
// 1 when the block was found and removed.
int32_t SB_UnregisterMem(void* block);
int32_t SB_UnregisterBmap(void* block);

// End of the run: one message box per record still held, then the block
// or bitmap is freed; the table is empty afterwards.
void SB_ReportBmapLeaks();
void SB_ReportMemLeaks();
