// Floating-point control: the 3D path runs with every exception masked.
#include "softrender/fpu.h"

#include <cfenv>

namespace {
std::fenv_t g_saved;
bool g_haveSaved = false;
}  // namespace

void E3D_SetFpuControl() {
  // Saves the environment, clears the flags and enters non-stop mode.
  g_haveSaved = std::feholdexcept(&g_saved) == 0;
}

void E3D_RestoreFpuControl() {
  if (g_haveSaved) std::fesetenv(&g_saved);
  g_haveSaved = false;
}
