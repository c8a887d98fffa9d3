// Decor objects: the animated objects a decor script places on the map.
#pragma once

// Reads the decor object list file and loads its decor objects.
void LoadObjectScript(const char* name);
