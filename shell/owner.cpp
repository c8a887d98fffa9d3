// Owner tables of the game's heap blocks and bitmaps, and their leak
// reports.
#include "shell/owner.h"

#include <cstdio>
#include <cstring>

#include "shell/sbvar.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/picture_io.h"

TOWNERENTRY SB_MemOwners[SB_MAXMEMOWNERS];
TOWNERENTRY SB_BmapOwners[SB_MAXBMAPOWNERS];

namespace {

// One table with its counters in SB_Var.
struct OwnerTable {
  TOWNERENTRY* rows;
  int32_t capacity;
  int32_t& count;
  int32_t& highWater;
  const char* reused;  // message for a block registered twice
};

OwnerTable MemTable() {
  return {SB_MemOwners, SB_MAXMEMOWNERS, SB_Var.NbMemOwners, SB_Var.MaxMemOwners,
          "Error in the memory with: %s"};
}

OwnerTable BmapTable() {
  return {SB_BmapOwners, SB_MAXBMAPOWNERS, SB_Var.NbBmapOwners, SB_Var.MaxBmapOwners,
          "Error in the bmaps with: %s"};
}

int32_t Unregister(OwnerTable t, void* block) {
  if (!block || t.count <= 0) return 0;
  for (int32_t i = 0; i < t.count; ++i) {
    if (t.rows[i].Block != block) continue;
    std::snprintf(SB_Var.LastOwner, sizeof SB_Var.LastOwner, "%s", t.rows[i].Owner);
    std::memmove(&t.rows[i], &t.rows[i + 1], sizeof(TOWNERENTRY) * static_cast<size_t>(t.count - i - 1));
    --t.count;
    return 1;
  }
  return 0;
}

void Register(OwnerTable t, void* block, const char* owner, uint32_t size) {
  if (!block) return;
  if (!owner) owner = "Unknown owner";
  if (Unregister(t, block)) LS_Message(t.reused, SB_Var.LastOwner);
  if (t.count >= t.capacity) return;  // not recorded; the block itself is fine
  TOWNERENTRY& row = t.rows[t.count];
  row.Block = block;
  std::snprintf(row.Owner, sizeof row.Owner, "%s", owner);
  row.Size = size;
  if (++t.count > t.highWater) t.highWater = t.count;
}

// Lists and frees every record; the table is emptied afterwards, so a
// second report cannot free anything twice.
template <typename Free>
void Report(OwnerTable t, const char* message, Free release) {
  for (int32_t i = 0; i < t.count; ++i) {
    LS_Message(message, t.rows[i].Owner);
    release(t.rows[i].Block);
  }
  t.count = 0;
}

void* TakeBlock(uintptr_t heap, int32_t size, const char* owner) {
  if (size < 1) return nullptr;
  void* block = LS_GetMemHeap(heap, static_cast<uint32_t>(size));
  if (!block) return nullptr;
  SB_RegisterMem(block, owner, static_cast<uint32_t>(size));
  std::memset(block, 0, static_cast<size_t>(size));
  return block;
}

}  // namespace

void SB_RegisterMem(void* block, const char* owner, uint32_t size) {
  Register(MemTable(), block, owner, size);
}
void SB_RegisterBmap(void* block, const char* owner, uint32_t size) {
  Register(BmapTable(), block, owner, size);
}
int32_t SB_UnregisterMem(void* block) { return Unregister(MemTable(), block); }
int32_t SB_UnregisterBmap(void* block) { return Unregister(BmapTable(), block); }

void* SB_GetMem(int32_t size, const char* owner) { return TakeBlock(LS_DefaultHeap, size, owner); }
void* SB_GetMemHeap(int32_t size, const char* owner) { return TakeBlock(SB_Var.GameHeap, size, owner); }

int32_t SB_Release(void* block) {
  SB_UnregisterMem(block);
  return LS_Release(block);
}

namespace {

BMAP* Registered(BMAP* bmap, int32_t width, int32_t height, int32_t depth, const char* owner) {
  if (!bmap) return nullptr;
  const uint64_t size =
      static_cast<uint64_t>(depth / 8) * static_cast<uint64_t>(width) * static_cast<uint64_t>(height) +
      SB_BMAPRECORDSIZE;
  SB_RegisterBmap(bmap, owner, static_cast<uint32_t>(size));
  return bmap;
}

}  // namespace

BMAP* SB_CreateBmap(int32_t width, int32_t height, int32_t depth, uintptr_t kind, const char* owner) {
  return Registered(LS_CreateBmap(width, height, depth, kind), width, height, depth, owner);
}

BMAP* SB_CreateBmapIfFits(int32_t width, int32_t height, int32_t depth, uintptr_t kind, const char* owner) {
  return Registered(LSI_CreatePictureBmap(width, height, depth, kind), width, height, depth, owner);
}

void SB_FreeBmap(BMAP* bmap) {
  SB_UnregisterBmap(bmap);
  LS_FreeBmap(bmap);
}

void SB_FreeBmapUntracked(BMAP* bmap) { LS_FreeBmap(bmap); }

uint32_t SB_GetFreeMem() { return LS_GetFreeMem(); }

void SB_ReportBmapLeaks() {
  Report(BmapTable(), "Bmap not released owner: %s",
         [](void* block) { LS_FreeBmap(static_cast<BMAP*>(block)); });
}

void SB_ReportMemLeaks() {
  Report(MemTable(), "Mem not released owner: %s", [](void* block) { LS_Release(block); });
}
