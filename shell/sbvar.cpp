// Storage and reset of the game's global record.
#include "shell/sbvar.h"

#include <cstring>

#include "shell/gamefile.h"

SB_VARS SB_Var;

void SB_ResetVars() {
  std::memset(&SB_Var, 0, sizeof SB_Var);
  SB_Var.MemoryClass = -1;
  SB_Var.ReadChunkSize = SB_READCHUNKSIZE;
  SB_Var.HistoryIndex = SB_HISTORYLINES - 1;
  SB_Var.XState = 1;
}
