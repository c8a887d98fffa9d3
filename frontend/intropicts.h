// The attract pictures of a controlled race, loaded by PLAY before the
// race session and freed after it.
#pragma once

// Only when the network game mode is 4 (CONTROLLEDRACE): "Loading COMDEX
// Intro Picts", and each picture that cannot be read reported with "Pict
// %s missing".
void SB_LoadIntroPicts();
void SB_FreeIntroPicts();
