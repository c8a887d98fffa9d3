// Films at game level: playing one with its sound, and the film kept in
// memory for the start of a controlled race.
#pragma once
#include <cstdint>

int32_t SB_PlayFli(const char* film, const char* sound, int32_t mode, int32_t flag);
// Loads the film and its optional sound into memory; 1 when one is there.
int32_t SB_PreloadFli(const char* film, const char* sound);
int32_t SB_DiscardFli();
