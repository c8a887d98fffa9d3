// Key names of the controls screen and their virtual-key codes.
#pragma once
#include <cstdint>

// The virtual-key code of a key name; a name not in the table gives its
// first character (for a letter or a digit, its code).
int32_t KeyNameToCode(const char* name);
