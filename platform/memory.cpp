// Heap areas from the C++ allocator and memory counts from the system.
#include "platform/memory.h"

#include <unistd.h>

#include <cstring>
#include <new>

namespace plat {

void* AllocArea(size_t size) {
  void* area = ::operator new(size, std::align_val_t(16), std::nothrow);
  if (area) std::memset(area, 0, size);
  return area;
}

void FreeArea(void* area) {
  if (area) ::operator delete(area, std::align_val_t(16));
}

MemoryStatus GetMemoryStatus() {
  const long page = ::sysconf(_SC_PAGESIZE);
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long available = ::sysconf(_SC_AVPHYS_PAGES);
  MemoryStatus status{};
  if (page > 0 && pages > 0) status.totalPhysical = static_cast<uint64_t>(page) * pages;
  if (page > 0 && available > 0) status.availablePhysical = static_cast<uint64_t>(page) * available;
  status.availableVirtual = status.availablePhysical;
  return status;
}

}  // namespace plat
