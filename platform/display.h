// Display stand-in: result codes of display operations. The surfaces,
// modes and palettes join this header as the library comes to use them.
#pragma once
#include <cstdint>

namespace plat {

enum DisplayResult : int32_t {
  kDisplayOk = 0,
  kDisplayOutOfVideoMemory,
  kDisplayInvalidPixelFormat,
  kDisplayNoHardware,
  kDisplaySurfaceLost,
  kDisplaySurfaceBusy,
  kDisplayWrongMode,
  kDisplayInvalidMode,
  kDisplayGeneric,
};

}  // namespace plat
