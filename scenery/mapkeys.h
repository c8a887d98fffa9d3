// What the scenery reads from the circuit's map information file: the
// sun (scenery/sun.cpp) and the night times (scenery/daynight.cpp).
#pragma once

struct TKEYFILE;

// "SUN: %f,%f,%f" from the start of the file into SB_Var.SunPos; nothing
// without a file, and a missing key keeps the previous position.
void SB_ReadSunPosition(TKEYFILE* keys);
// The night times of the day/night cycle: from the kiosk setting in the
// kiosk mode, else "STARTNIGHT1: %d", "ENDNIGHT1: %d", "STARTNIGHT2: %d"
// and "ENDNIGHT2: %d" (150, 240, 510 and 660 s when missing).
void SB_ReadNightTimes(TKEYFILE* keys);
