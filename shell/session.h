// The race session's entry points used by the program's run phase.
#pragma once
#include <cstdint>

void SB_ShowPleaseWait();
int32_t SB_RunConsole();
