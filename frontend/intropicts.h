// The intro pictures shown while a controlled race loads.
#pragma once

// Loads them, for a CONTROLLEDRACE only.
void SB_LoadIntroPicts();
void SB_FreeIntroPicts();
