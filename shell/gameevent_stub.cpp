// The game's event pump: for now only the library's pump.
#include "shell/gameevent.h"

#include "system/win/shell.h"

void SB_UpdateEvent() { LS_UpdateEvent(); }
