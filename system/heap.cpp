// Heaps carved from large platform areas. Each heap has two chains of
// blocks, one growing up from the bottom sentinel and one growing down from
// the top sentinel; free space is the gaps between blocks.
#include "system/heap.h"

#include <algorithm>
#include <cstring>

#include "platform/memory.h"
#include "system/error.h"

HHEAP LS_DefaultHeap = 0;

namespace {

HEAP g_heaps[LS_MAXHEAPS];
void* g_areas[LS_MAXHEAPS];

char* Bytes(HEAPBLOCK* block) { return reinterpret_cast<char*>(block); }
char* EndOf(HEAPBLOCK* block) { return Bytes(block) + LS_HEAP_HEADER + block->Size; }
uint32_t Gap(char* from, HEAPBLOCK* to) {
  return to && Bytes(to) >= from ? static_cast<uint32_t>(Bytes(to) - from) : 0;
}

int SlotOf(HHEAP handle) {
  for (int i = 0; i < LS_MAXHEAPS; ++i)
    if (reinterpret_cast<HHEAP>(&g_heaps[i]) == handle) return i;
  return -1;
}

// The heap a handle names, or null when it names no heap in use.
HEAP* ToHeap(HHEAP handle) {
  if (handle < 9) handle = LS_DefaultHeap;
  const int slot = SlotOf(handle);
  return slot >= 0 && g_heaps[slot].Magic == LS_HEAP_MAGIC ? &g_heaps[slot] : nullptr;
}

HEAPBLOCK* WriteHeader(char* at, uint32_t size, uint32_t type, HEAPBLOCK* outer, HEAPBLOCK* inner) {
  HEAPBLOCK* block = reinterpret_cast<HEAPBLOCK*>(at);
  block->Size = size;
  block->Type = type;
  block->Prev = outer;
  block->Next = inner;
  block->Spare = 0;
  return block;
}

// Links a new block between its outer neighbour and its inner one; when the
// inner one belongs to the other chain, its Next points back across.
void Link(HEAPBLOCK* block, HEAPBLOCK* outer, HEAPBLOCK* inner) {
  outer->Next = block;
  if (inner->Type == block->Type)
    inner->Prev = block;
  else
    inner->Next = block;
}

// First fit in the bottom chain's gaps, then the middle gap.
HEAPBLOCK* PlaceFromBottom(HEAP* heap, uint32_t size) {
  const uint32_t need = size + LS_HEAP_HEADER;
  for (HEAPBLOCK* b = heap->First;; b = b->Next) {
    HEAPBLOCK* n = b->Next;
    if (Gap(EndOf(b), n) >= need) {
      HEAPBLOCK* block = WriteHeader(EndOf(b), size, LS_HEAP_BOTTOM, b, n);
      Link(block, b, n);
      return block;
    }
    if (n->Type != LS_HEAP_BOTTOM) return nullptr;
  }
}

// First fit in the top chain's gaps, then the middle gap; a block ends
// exactly where its outer neighbour begins.
HEAPBLOCK* PlaceFromTop(HEAP* heap, uint32_t size) {
  const uint32_t need = size + LS_HEAP_HEADER;
  for (HEAPBLOCK* t = heap->Last;; t = t->Next) {
    HEAPBLOCK* n = t->Next;
    if (Gap(EndOf(n), t) >= need) {
      HEAPBLOCK* block = WriteHeader(Bytes(t) - need, size, LS_HEAP_TOP, t, n);
      Link(block, t, n);
      return block;
    }
    if (n->Type != LS_HEAP_TOP) return nullptr;
  }
}

// A block header is taken as real only when its neighbours point back at
// it; every pointer is checked to lie in the heap before it is followed.
bool InHeap(HEAP* heap, const HEAPBLOCK* block) {
  const char* at = reinterpret_cast<const char*>(block);
  return at >= Bytes(heap->First) && at <= Bytes(heap->Last) && (at - Bytes(heap->First)) % 16 == 0;
}

bool IsLinkedBlock(HEAP* heap, HEAPBLOCK* header) {
  if (header == heap->First || header == heap->Last) return false;
  if (header->Type != LS_HEAP_BOTTOM && header->Type != LS_HEAP_TOP) return false;
  HEAPBLOCK* outer = header->Prev;
  HEAPBLOCK* inner = header->Next;
  if (!InHeap(heap, outer) || !InHeap(heap, inner)) return false;
  if (outer->Type != header->Type || outer->Next != header) return false;
  return inner->Type == header->Type ? inner->Prev == header : inner->Next == header;
}

}  // namespace

HHEAP LS_GetHeap(uint32_t size) {
  if (size == 0) {
    LS_Error(12, " : Invalid parameter in LS_GetHeap");
    return 0;
  }
  int slot = 0;
  while (slot < LS_MAXHEAPS && g_heaps[slot].Magic != 0) ++slot;
  if (slot == LS_MAXHEAPS) {
    LS_Error(12, " : Too much Heap");
    return 0;
  }
  const uint64_t area = ((static_cast<uint64_t>(size) + 31) & ~uint64_t{31}) + LS_HEAP_AREA_EXTRA +
                        LS_HEAP_ALIGN_SLACK;
  void* memory = area <= UINT32_MAX ? plat::AllocArea(area) : nullptr;
  if (!memory) {
    g_areas[slot] = nullptr;
    LS_Error(11, " : %ld", static_cast<long>(area));
    return 0;
  }
  g_areas[slot] = memory;
  HEAP* heap = &g_heaps[slot];
  heap->Direction = 0;
  heap->Magic = LS_HEAP_MAGIC;
  heap->Size = static_cast<uint32_t>(area);
  char* base = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(memory) + 15) & ~uintptr_t{15});
  char* top = base + heap->Size - LS_HEAP_ALIGN_SLACK - LS_HEAP_HEADER;
  heap->First = WriteHeader(base, 0, LS_HEAP_BOTTOM, nullptr, nullptr);
  heap->Last = WriteHeader(top, 0, LS_HEAP_TOP, nullptr, heap->First);
  heap->First->Next = heap->Last;
  return reinterpret_cast<HHEAP>(heap);
}

int32_t LS_ReleaseHeap(HHEAP handle) {
  if (handle < 9) return 0;
  const int slot = SlotOf(handle);
  if (slot < 0) {
    LS_Error(12, " : Heap Not Found");
    return 0;
  }
  HEAP* heap = &g_heaps[slot];
  if (heap->Magic != LS_HEAP_MAGIC) {
    LS_Error(12, " : LS_ReleaseHeap");
    return 0;
  }
  plat::FreeArea(g_areas[slot]);
  g_areas[slot] = nullptr;
  heap->Magic = 0;
  heap->First = heap->Last = nullptr;
  heap->Size = 0;
  return 0;
}

void* LS_GetMemHeap(HHEAP handle, uint32_t size) {
  if (size == 0) {
    LS_Error(12, " : Invalid parameter in LS_GetMemHeap");
    return nullptr;
  }
  HEAP* heap = ToHeap(handle);
  if (!heap) {
    LS_Error(12, " : LS_GetMemHeap");
    return nullptr;
  }
  if (size > UINT32_MAX - 15 - LS_HEAP_HEADER) {
    LS_Error(12, " : %ld", static_cast<long>(size));
    return nullptr;
  }
  const uint32_t rounded = (size + 15) & ~uint32_t{15};
  // The heap's direction is tried first; a gap found only in the other
  // chain takes the block into that chain, so nothing ever overlaps. The
  // request fails exactly when no gap anywhere is large enough.
  HEAPBLOCK* block = heap->Direction == 0 ? PlaceFromBottom(heap, rounded) : PlaceFromTop(heap, rounded);
  if (!block)
    block = heap->Direction == 0 ? PlaceFromTop(heap, rounded) : PlaceFromBottom(heap, rounded);
  if (!block) {
    LS_Error(12, " : %ld", static_cast<long>(rounded));
    return nullptr;
  }
  if (reinterpret_cast<HHEAP>(heap) == LS_DefaultHeap) ++LSI_Var.NbAlloc;
  return Bytes(block) + LS_HEAP_HEADER;
}

void* LS_GetMem(uint32_t size) { return LS_GetMemHeap(LS_DefaultHeap, size); }

int32_t LS_Release(void* address) {
  HEAP* heap = LSI_FindHeap(address);
  if (!heap) {
    LS_Error(12, " : LSI_FindHeap - Heap not Found");
    return 0;
  }
  char* data = static_cast<char*>(address);
  HEAPBLOCK* header = reinterpret_cast<HEAPBLOCK*>(data - LS_HEAP_HEADER);
  if (data < Bytes(heap->First) + LS_HEAP_HEADER || !InHeap(heap, header) || !IsLinkedBlock(heap, header)) {
    LS_Error(13, "Ptr : 0x%lx", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(address)));
    return 0;
  }
  HEAPBLOCK* outer = header->Prev;
  HEAPBLOCK* inner = header->Next;
  outer->Next = inner;
  if (inner->Type != header->Type)
    inner->Next = outer;
  else
    inner->Prev = outer;
  header->Type = 0;
  if (reinterpret_cast<HHEAP>(heap) == LS_DefaultHeap) --LSI_Var.NbAlloc;
  return 1;
}

void LS_FlipHeapDirection(HHEAP handle) {
  const int slot = SlotOf(handle);
  if (slot < 0 || g_heaps[slot].Magic != LS_HEAP_MAGIC) return;
  g_heaps[slot].Direction = 1 - g_heaps[slot].Direction;
}

uint32_t LSI_GetHeapFreeMem(HEAP* heap) {
  if (!heap || heap->Magic != LS_HEAP_MAGIC) return 0;
  uint64_t used = 0;
  HEAPBLOCK* b = heap->First;
  for (; b->Type == LS_HEAP_BOTTOM; b = b->Next) used += b->Size + LS_HEAP_HEADER;
  for (b = heap->Last; b->Type == LS_HEAP_TOP; b = b->Next) used += b->Size + LS_HEAP_HEADER;
  return used >= heap->Size ? 0 : static_cast<uint32_t>(heap->Size - used);
}

uint32_t LS_GetFreeMem() { return LSI_GetHeapFreeMem(reinterpret_cast<HEAP*>(LS_DefaultHeap)); }

uint32_t LSI_GetHeapMaxFree(HEAP* heap) {
  if (!heap || heap->Magic != LS_HEAP_MAGIC) return 0;
  uint32_t best = 0;
  HEAPBLOCK* b = heap->First;
  for (; b->Next->Type == LS_HEAP_BOTTOM; b = b->Next) best = std::max(best, Gap(EndOf(b), b->Next));
  best = std::max(best, Gap(EndOf(b), b->Next));  // the middle gap
  for (b = heap->Last; b->Next->Type == LS_HEAP_TOP; b = b->Next)
    best = std::max(best, Gap(EndOf(b->Next), b));
  return best;
}

HEAP* LSI_GetHeapOf(HHEAP handle) { return ToHeap(handle); }

HEAP* LSI_FindHeap(const void* address) {
  const uintptr_t at = reinterpret_cast<uintptr_t>(address);
  for (HEAP& heap : g_heaps) {
    if (heap.Magic != LS_HEAP_MAGIC) continue;
    if (at >= reinterpret_cast<uintptr_t>(heap.First) && at <= reinterpret_cast<uintptr_t>(heap.Last))
      return &heap;
  }
  return nullptr;
}

int32_t LSI_InitMemory(uint32_t size) {
  std::memset(g_areas, 0, sizeof g_areas);
  std::memset(g_heaps, 0, sizeof g_heaps);
  LS_DefaultHeap = LS_GetHeap(size);
  if (!LS_DefaultHeap) return 0;
  reinterpret_cast<HEAP*>(LS_DefaultHeap)->Direction = 0;
  LSI_Var.NbAlloc = 0;
  return 1;
}

int32_t LSI_CloseMemory() {
  if (LS_DefaultHeap) LS_ReleaseHeap(LS_DefaultHeap);
  LS_DefaultHeap = 0;
  for (int i = 0; i < LS_MAXHEAPS; ++i) {
    if (g_areas[i]) plat::FreeArea(g_areas[i]);
    g_areas[i] = nullptr;
  }
  std::memset(g_heaps, 0, sizeof g_heaps);
  return 1;
}

void LSYS_GetMemoryStatus(LS_MEMORYSTATUS* out) {
  if (!out) return;
  const plat::MemoryStatus status = plat::GetMemoryStatus();
  auto clamp = [](uint64_t v) { return static_cast<uint32_t>(std::min<uint64_t>(v, UINT32_MAX)); };
  out->AvailPhys = clamp(status.availablePhysical);
  out->AvailPhysAgain = clamp(status.availablePhysical);
  out->TotalPhys = clamp(status.totalPhysical);
  out->AvailVirtual = clamp(status.availableVirtual);
}
