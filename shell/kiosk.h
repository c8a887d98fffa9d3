// Kiosk demo mode: the message hook through which the kiosk shell talks
// with the game, and the information page shown before a race.
#pragma once
#include <cstdint>

// Loads "miscpict>info.tga" into SB_Var.InfoPage when it exists; always 1.
int32_t SB_LoadInfoPage();
// Frees the page if present; always 1.
int32_t SB_FreeInfoPage();

// Installs and removes the hook of the kiosk shell's window message.
void SB_InstallKioskHook();
void SB_RemoveKioskHook();
