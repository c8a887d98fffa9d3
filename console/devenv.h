// The development environment: the console session the whole program runs
// in. It loads what every race shares, sets the default circuit and
// settings, runs the start-up script, then edits and runs command lines
// until QUIT, and frees everything on the way out.
#pragma once
#include <cstdint>

// Above this memory class (24 megabytes) textures are halved, not quartered.
constexpr int32_t SB_LARGEMEMORYCLASS = 25165824;
extern const char* const SB_DEVENVPICTURE;  // the background, "pcx>devenv.pcx"

// Runs the console until SB_Var.QuitConsole is set; returns 0.
int32_t SB_DevEnv();
// The start-up; returns the result of the start-up script's command.
int32_t SB_InitDevEnv();
// The tear-down.
void SB_FreeDevEnv();
// Frees the console bitmap when it exists (the background picture:
// SB_FreeDevEnvBackground).
void SB_FreeDevEnvScreen();
