// Large memory areas for the library's heaps, and the machine's memory.
#pragma once
#include <cstddef>
#include <cstdint>

namespace plat {

// A zero-filled block of size bytes aligned to 16, or null.
void* AllocArea(size_t size);
void FreeArea(void* area);

struct MemoryStatus {
  uint64_t totalPhysical;
  uint64_t availablePhysical;
  uint64_t availableVirtual;
};
MemoryStatus GetMemoryStatus();

}  // namespace plat
