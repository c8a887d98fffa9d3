// Owner-tagged memory, the least the game's sound channels need until the
// owner tables are built: blocks recorded with their owner, reported and
// freed at the end of the run. No bitmap is recorded yet.
#include <cstring>

#include "shell/owner.h"
#include "system/error.h"
#include "system/heap.h"

namespace {

struct OwnedBlock {
  void* block;
  const char* owner;
};

constexpr int kMaxOwned = 4096;
OwnedBlock g_owned[kMaxOwned];
int g_count = 0;

}  // namespace

void* SB_GetMem(int32_t size, const char* owner) {
  if (size < 1) return nullptr;
  void* block = LS_GetMem(static_cast<uint32_t>(size));
  if (!block) return nullptr;
  std::memset(block, 0, static_cast<size_t>(size));
  if (g_count < kMaxOwned) g_owned[g_count++] = {block, owner ? owner : "Unknown owner"};
  return block;
}

int32_t SB_Release(void* block) {
  for (int i = 0; i < g_count; ++i) {
    if (g_owned[i].block != block) continue;
    std::memmove(&g_owned[i], &g_owned[i + 1], sizeof(OwnedBlock) * static_cast<size_t>(g_count - i - 1));
    --g_count;
    break;
  }
  return LS_Release(block);
}

void SB_ReportBmapLeaks() {}

void SB_ReportMemLeaks() {
  for (int i = 0; i < g_count; ++i) {
    LS_Message("Mem not released owner: %s", g_owned[i].owner);
    LS_Release(g_owned[i].block);
  }
  g_count = 0;
}
