// Kiosk demo mode: the information page shown before a race.
#pragma once
#include <cstdint>

// Loads "miscpict>info.tga" into SB_Var.InfoPage when it exists; always 1.
int32_t SB_LoadInfoPage();
// Frees the page if present; always 1.
int32_t SB_FreeInfoPage();
