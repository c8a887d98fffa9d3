// Key names of the controls (the control map and the controls screen) and
// their codes: Windows virtual-key codes below 256, joystick directions
// and buttons from 1025.
#pragma once
#include <cstdint>

#include "frontend/types.h"

// The table, in its order; row 0 ("P") is the fallback name.
extern const TKEYNAME SB_KeyNames[SB_NBKEYNAMEROWS];

// The code of a key name; a name not in the table gives its first
// character (for a letter or a digit, its code); null or empty gives 0.
int32_t KeyNameToCode(const char* name);
// The name of the first row with that code; row 0's name when none has it.
const char* KeyCodeToName(int32_t code);
