// The game's event pump: for now only the library's pump, and no key
// reaches the game yet.
#include "shell/gameevent.h"

#include "system/win/shell.h"

void SB_UpdateEvent() { LS_UpdateEvent(); }

int32_t SB_KeyDown(int32_t) { return 0; }
