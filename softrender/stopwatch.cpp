// The stopwatch of the profiling: ticks of the steady clock, in
// nanoseconds, in place of the processor's time-stamp counter. Weak, so
// that tests can put a fake clock in its place.
#include <chrono>

#include "softrender/softrender.h"

namespace {

uint64_t Now() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
}

uint64_t g_start = Now();

}  // namespace

__attribute__((weak)) uint64_t E3D_StartTimer() {
  g_start = Now();
  return g_start;
}

__attribute__((weak)) uint64_t E3D_ElapsedTime() { return Now() - g_start; }
