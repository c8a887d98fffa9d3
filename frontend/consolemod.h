// The console's test module: "mod>test.mod" played through the module
// system.
#pragma once
#include <cstdint>

int32_t SB_ConsolePlayMod();
int32_t SB_ConsoleStopMod();
// Frees the test module and closes the module system.
int32_t SB_ConsoleCloseMod();
