// The development environment: the console session the whole program runs
// in, with what every race shares.
#pragma once
#include <cstdint>

// Runs the console until QUIT; 0.
int32_t SB_DevEnv();
// Frees the console's background picture, when loaded, and forgets it.
void SB_FreeDevEnvBackground();
