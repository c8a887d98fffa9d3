// The bitmap-lock guard shared by every guarded library call.
#include "system/bmap.h"
#include "system/error.h"

int32_t LS_BmapLockCount = 0;

int32_t LSI_RefuseWhileLocked(const char* caller) {
  if (LS_BmapLockCount == 0) return 0;
  LS_Error(8, "!\nCannot execute function (%s) while bmap locked", caller ? caller : "");
  return 1;
}
