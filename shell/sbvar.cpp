// Storage and reset of the game's global record.
#include "shell/sbvar.h"

#include <cstring>

SB_VARS SB_Var;

void SB_ResetVars() {
  std::memset(&SB_Var, 0, sizeof SB_Var);
  SB_Var.MemoryClass = -1;
}
