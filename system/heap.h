// Heaps: contiguous areas in which blocks are placed first fit, from the
// bottom upwards or from the top downwards.
#pragma once
#include <cstddef>
#include <cstdint>

// Header before every block's data. Its size keeps every block's data
// 16-byte aligned on a 64-bit machine.
struct HEAPBLOCK {
  uint32_t Size;    // data size, a multiple of 16
  HEAPBLOCK* Next;  // neighbour nearer the middle of the heap
  HEAPBLOCK* Prev;  // neighbour nearer the edge
  uint32_t Type;    // 2 bottom chain, 1 top chain
  uint32_t Spare;
};
constexpr uint32_t LS_HEAP_HEADER = 32;
static_assert(sizeof(HEAPBLOCK) == LS_HEAP_HEADER, "block header size");

constexpr uint32_t LS_HEAP_BOTTOM = 2;
constexpr uint32_t LS_HEAP_TOP = 1;
constexpr uint32_t LS_HEAP_MAGIC = 0x48454150;  // "HEAP"
constexpr int LS_MAXHEAPS = 200;
// Bytes an area holds beyond the rounded request: the two sentinels.
constexpr uint32_t LS_HEAP_AREA_EXTRA = 2 * LS_HEAP_HEADER;
// Room left above the top sentinel for aligning the area's base.
constexpr uint32_t LS_HEAP_ALIGN_SLACK = 16;

struct HEAP {
  uint32_t Size;       // area size in bytes
  uint32_t Direction;  // 0 from the bottom, 1 from the top
  HEAPBLOCK* First;    // bottom sentinel
  HEAPBLOCK* Last;     // top sentinel
  uint32_t Magic;      // LS_HEAP_MAGIC while in use
};

// A heap handle is the address of its slot; any value below 9 stands for
// the default heap.
using HHEAP = uintptr_t;
extern HHEAP LS_DefaultHeap;

HHEAP LS_GetHeap(uint32_t size);
int32_t LS_ReleaseHeap(HHEAP heap);
void* LS_GetMemHeap(HHEAP heap, uint32_t size);
void* LS_GetMem(uint32_t size);
int32_t LS_Release(void* address);
void LS_FlipHeapDirection(HHEAP heap);
uint32_t LS_GetFreeMem();
uint32_t LSI_GetHeapMaxFree(HEAP* heap);
// The heap a handle names (below 9: the default heap); null when the
// handle names no heap in use.
HEAP* LSI_GetHeapOf(HHEAP handle);
HEAP* LSI_FindHeap(const void* address);
int32_t LSI_InitMemory(uint32_t size);
int32_t LSI_CloseMemory();

// Free bytes of any heap, counted the way LS_GetFreeMem counts them.
uint32_t LSI_GetHeapFreeMem(HEAP* heap);

struct LS_MEMORYSTATUS {
  uint32_t AvailPhys;
  uint32_t AvailPhysAgain;
  uint32_t TotalPhys;
  uint32_t AvailVirtual;
};
void LSYS_GetMemoryStatus(LS_MEMORYSTATUS* out);
