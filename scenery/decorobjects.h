// Decor objects: the animated objects a decor script places on the map.
#pragma once

// Reads the decor object list file and loads its decor objects.
void LoadObjectScript(const char* name);
// Every block of every decor object's script starts again from its first
// command (the race-state reset).
void SB_ResetDecorScripts();
