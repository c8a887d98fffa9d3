// The stopwatch of the profiling: ticks of the steady clock, in
// nanoseconds, in place of the processor's time-stamp counter. Weak, so
// that tests can put a fake clock in its place.
#include <chrono>

#include "softrender/softrender.h"

namespace {
std::chrono::steady_clock::time_point g_start = std::chrono::steady_clock::now();
}

__attribute__((weak)) void E3D_StartTimer() { g_start = std::chrono::steady_clock::now(); }

__attribute__((weak)) uint64_t E3D_ElapsedTime() {
  const auto elapsed = std::chrono::steady_clock::now() - g_start;
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count());
}
