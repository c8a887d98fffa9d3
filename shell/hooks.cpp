// The empty hook points and the table of calls into higher floors.
#include "shell/hooks.h"

SB_HOOKS SB_Hooks;

void SB_NullHook() {}
void SB_ChunkHook() {}
void SB_RaceSetupHook() {}
void SB_ConsoleStartHook() {}
void SB_BatchLineHook() {}
